// SPDX-License-Identifier: MIT
// The teletraffic library for Python: every function of its headers but
// the walk helpers, vectorised over numpy arrays. Nothing here computes a
// figure; it reads the arguments, broadcasts them and calls the library
// for each element.
//
// Why not py::vectorize: it reports shapes that do not broadcast as
// RuntimeError where numpy raises ValueError, and its array_t<double>
// arguments take None as NaN and a complex number's real part where a
// numpy user expects TypeError. So each argument is read by real_array()
// below, the shapes are broadcast by numpy itself, and one strided loop
// runs the library without the GIL.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

#include "docs.h"
#include "teletraffic/erlanga.h"
#include "teletraffic/erlangb.h"
#include "teletraffic/erlangc.h"
#include "teletraffic/overflow.h"

namespace py = pybind11;

namespace {

constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();

// One argument of a call: its value and its name, for messages.
struct Arg {
    py::object value;
    const char* name;
};

// `x` as a float64 array, with no copy where it is one already: numbers,
// numpy scalars, arrays and nested sequences of booleans, integers and
// reals; a masked array's data with NaN where it is masked; pandas'
// nullable integers and reals with NaN where they are missing. Anything
// else (None, a string, a complex number, an object array) raises
// TypeError naming `function` and the argument.
py::array real_array(const py::object& x, const char* function, const char* name)
{
    auto numpy = py::module_::import("numpy");
    py::array a = numpy.attr("asarray")(x);
    char kind = a.dtype().kind();
    if (kind == 'O' && py::hasattr(x, "to_numpy") && py::hasattr(x, "dtype") &&
        py::hasattr(x.attr("dtype"), "numpy_dtype") &&
        std::strchr("biuf", x.attr("dtype").attr("numpy_dtype").attr("kind").cast<char>()) !=
            nullptr) {
        // pandas' nullable Int64, Float64, boolean and the like, Series or array.
        a = x.attr("to_numpy")(py::arg("dtype") = "float64", py::arg("na_value") = not_a_number);
        kind = 'f';
    }
    if (kind == 'b' || kind == 'i' || kind == 'u' || kind == 'f') {
        a = a.attr("astype")("float64", py::arg("copy") = false);
        if (py::isinstance(x, numpy.attr("ma").attr("MaskedArray")))
            a = numpy.attr("ma").attr("filled")(x.attr("astype")("float64"), not_a_number);
        return a;
    }
    std::string type = py::str(py::type::of(x).attr("__name__"));
    if (a.ndim() > 0) type += " of " + std::string(py::str(a.dtype()));
    throw py::type_error(std::string(function) + "(): argument '" + name +
                         "' must be real numbers, not " + type);
}

// Runs f(v, out) for every element of the arguments broadcast together, v
// the element's N values and out its K results, without the GIL. Returns
// K arrays of the broadcast shape, or K Python numbers where that shape is
// () (every argument a number); masked arrays, masked where any argument
// is. Shapes that do not broadcast raise numpy's own ValueError. A signal
// (Ctrl-C) is taken every 4096 elements (a millisecond at the cheapest,
// under a second at the dearest): KeyboardInterrupt, or whatever its
// handler raises, ends the call.
template <class T, std::size_t K, std::size_t N, class F>
std::array<py::object, K> vectorise(const char* function, const Arg (&args)[N], F f)
{
    std::array<py::array, N> arrays;
    py::tuple shapes(N);
    for (std::size_t i = 0; i < N; ++i) {
        arrays[i] = real_array(args[i].value, function, args[i].name);
        shapes[i] = arrays[i].attr("shape");
    }
    std::vector<py::ssize_t> shape;
    for (py::handle extent : py::module_::import("numpy").attr("broadcast_shapes")(*shapes))
        shape.push_back(extent.cast<py::ssize_t>());
    const std::size_t d = shape.size();

    // Each argument's strides over the broadcast shape: 0 along the axes
    // it is repeated over.
    std::array<std::vector<py::ssize_t>, N> strides;
    std::array<const char*, N> at;
    for (std::size_t i = 0; i < N; ++i) {
        const std::size_t skip = d - static_cast<std::size_t>(arrays[i].ndim());
        strides[i].assign(d, 0);
        for (std::size_t j = skip; j < d; ++j)
            if (arrays[i].shape(static_cast<py::ssize_t>(j - skip)) != 1)
                strides[i][j] = arrays[i].strides(static_cast<py::ssize_t>(j - skip));
        at[i] = static_cast<const char*>(arrays[i].data());
    }
    std::array<py::array_t<T>, K> results;
    std::array<T*, K> out;
    for (std::size_t k = 0; k < K; ++k) {
        results[k] = py::array_t<T>(shape);
        out[k] = results[k].mutable_data();
    }
    py::ssize_t size = 1;
    for (py::ssize_t extent : shape) size *= extent;

    {
        py::gil_scoped_release unlocked;
        std::vector<py::ssize_t> index(d, 0);
        std::array<double, N> v;
        std::array<T, K> r;
        for (py::ssize_t e = 0; e < size; ++e) {
            if ((e & 0xFFF) == 0xFFF) {
                py::gil_scoped_acquire locked;
                if (PyErr_CheckSignals() != 0) throw py::error_already_set();
            }
            for (std::size_t i = 0; i < N; ++i)
                std::memcpy(&v[i], at[i], sizeof(double));  // numpy allows unaligned data
            f(v, r);
            for (std::size_t k = 0; k < K; ++k) out[k][e] = r[k];
            // The next element in C order: the last axis moves fastest.
            for (std::size_t axis = d; axis-- > 0;) {
                for (std::size_t i = 0; i < N; ++i) at[i] += strides[i][axis];
                if (++index[axis] < shape[axis]) break;
                for (std::size_t i = 0; i < N; ++i) at[i] -= strides[i][axis] * shape[axis];
                index[axis] = 0;
            }
        }
    }

    // The masks of the masked arguments, together over the broadcast shape.
    auto ma = py::module_::import("numpy").attr("ma");
    py::object mask = py::none();
    for (std::size_t i = 0; i < N; ++i) {
        if (!py::isinstance(args[i].value, ma.attr("MaskedArray"))) continue;
        py::object own = ma.attr("getmaskarray")(args[i].value);
        mask = mask.is_none() ? own : py::object(own.attr("__or__")(mask));
    }
    std::array<py::object, K> answer;
    for (std::size_t k = 0; k < K; ++k) {
        answer[k] = d == 0 ? py::cast(*out[k]) : py::object(results[k]);
        if (!mask.is_none())
            answer[k] = ma.attr("masked_array")(
                answer[k], py::arg("mask") = py::module_::import("numpy").attr("broadcast_to")(
                               mask, results[k].attr("shape")));
    }
    return answer;
}

// A function of one result, a float64 figure.
template <std::size_t N, class F>
py::object figure(const char* function, const Arg (&args)[N], F f)
{
    return vectorise<double, 1>(
        function, args,
        [&f](const std::array<double, N>& v, std::array<double, 1>& r) { r[0] = f(v); })[0];
}

// A function of one result, an int64 count.
template <std::size_t N, class F>
py::object count(const char* function, const Arg (&args)[N], F f)
{
    return vectorise<std::int64_t, 1>(
        function, args,
        [&f](const std::array<double, N>& v, std::array<std::int64_t, 1>& r) { r[0] = f(v); })[0];
}

// A function of two results, returned as the named tuple `type`.
template <std::size_t N, class F>
py::object pair(const py::object& type, const char* function, const Arg (&args)[N], F f)
{
    auto r = vectorise<double, 2>(function, args, f);
    return type(r[0], r[1]);
}

// A count of circuits given as a real: itself where it is a whole number
// that int holds, else false.
bool whole(double x, int& n)
{
    if (!(x >= INT_MIN && x <= INT_MAX) || x != std::floor(x)) return false;
    n = static_cast<int>(x);
    return true;
}

// The overflow method named `name`; ValueError for any other name.
OverflowMethod method_of(const std::string& name)
{
    if (name == "equivalent_random") return OverflowMethod::equivalent_random;
    if (name == "rapp") return OverflowMethod::rapp;
    if (name == "hayward") return OverflowMethod::hayward;
    throw py::value_error("unknown overflow method '" + name +
                          "': 'equivalent_random', 'rapp' or 'hayward'");
}

// The staffing targets, keyword arguments in StaffingTarget's order; an
// absent one (or None) is unset, NaN.
constexpr const char* target_names[] = {"service_level",    "answer_time",   "mean_wait",
                                        "wait_probability", "max_occupancy", "max_abandonment"};
constexpr std::size_t targets = sizeof target_names / sizeof *target_names;

// Fills args[first..] with the targets in `keywords`; an unknown keyword
// raises TypeError, as Python's own calls do.
template <std::size_t N>
void read_targets(const char* function, const py::kwargs& keywords, Arg (&args)[N],
                  std::size_t first)
{
    for (auto item : keywords) {
        const std::string key = py::str(item.first);
        bool known = false;
        for (const char* name : target_names) known = known || key == name;
        if (!known)
            throw py::type_error(std::string(function) + "() got an unexpected keyword argument '" +
                                 key + "'");
    }
    for (std::size_t i = 0; i < targets; ++i) {
        py::object value = py::none();
        if (keywords.contains(target_names[i])) value = keywords[target_names[i]];
        args[first + i] = {value.is_none() ? py::object(py::float_(not_a_number)) : value,
                           target_names[i]};
    }
}

// The targets from an element's values, from v[first] on.
template <std::size_t N>
StaffingTarget target_of(const std::array<double, N>& v, std::size_t first)
{
    StaffingTarget t;
    t.service_level = v[first];
    t.answer_time = v[first + 1];
    t.mean_wait = v[first + 2];
    t.wait_probability = v[first + 3];
    t.max_occupancy = v[first + 4];
    t.max_abandonment = v[first + 5];
    return t;
}

// The docstring made of `parts`, which pybind11 copies.
std::string joined(std::initializer_list<const char*> parts)
{
    std::string text;
    for (const char* part : parts) text += part;
    return text;
}

using Values2 = std::array<double, 2>;
using Values3 = std::array<double, 3>;
using Values4 = std::array<double, 4>;
using Values5 = std::array<double, 5>;
using Staffing1 = std::array<double, 1 + targets>;
using Staffing2 = std::array<double, 2 + targets>;

}  // namespace

PYBIND11_MODULE(_teletraffic, m)
{
    py::options options;
    options.disable_function_signatures();  // each docstring starts with its own
    m.doc() = docs::module;
    m.attr("__version__") = TELETRAFFIC_VERSION;
    m.attr("erlangb_max_load") = erlangb_max_load;
    m.attr("erlangb_max_circuits") = erlangb_max_circuits;
    m.attr("overflow_min_mean") = overflow_min_mean;
    m.attr("overflow_max_mean") = overflow_max_mean;
    m.attr("overflow_max_peakedness") = overflow_max_peakedness;
    m.attr("overflow_min_target") = overflow_min_target;

    auto namedtuple = py::module_::import("collections").attr("namedtuple");
    py::object traffic = namedtuple("Traffic", py::make_tuple("mean", "variance"),
                                    py::arg("module") = "teletraffic");
    traffic.attr("__doc__") = docs::traffic;
    m.attr("Traffic") = traffic;
    py::object group = namedtuple("EquivalentRandom", py::make_tuple("load", "circuits"),
                                  py::arg("module") = "teletraffic");
    group.attr("__doc__") = docs::equivalent_random_type;
    m.attr("EquivalentRandom") = group;

    using py::arg;

    // ---- Erlang B
    m.def(
        "erlangb",
        [](py::object n, py::object A) {
            return figure("erlangb", {{n, "n"}, {A, "A"}}, [](const Values2& v) {
                int n = 0;
                return whole(v[0], n) ? erlangb(n, v[1]) : not_a_number;
            });
        },
        arg("n"), arg("A"), docs::erlangb);
    m.def(
        "erlangb_circuits",
        [](py::object A, py::object target) {
            return count("erlangb_circuits", {{A, "A"}, {target, "target"}},
                         [](const Values2& v) { return erlangb_circuits(v[0], v[1]); });
        },
        arg("A"), arg("target"), docs::erlangb_circuits);
    m.def(
        "erlangb_load",
        [](py::object n, py::object target) {
            return figure("erlangb_load", {{n, "n"}, {target, "target"}}, [](const Values2& v) {
                int n = 0;
                return whole(v[0], n) ? erlangb_load(n, v[1]) : not_a_number;
            });
        },
        arg("n"), arg("target"), docs::erlangb_load);
    m.def(
        "erlangb_continuous",
        [](py::object x, py::object A) {
            return figure("erlangb_continuous", {{x, "x"}, {A, "A"}},
                          [](const Values2& v) { return erlangb_continuous(v[0], v[1]); });
        },
        arg("x"), arg("A"), docs::erlangb_continuous);
    m.def(
        "erlangb_fractional_circuits",
        [](py::object A, py::object target) {
            return figure("erlangb_fractional_circuits", {{A, "A"}, {target, "target"}},
                          [](const Values2& v) { return erlangb_fractional_circuits(v[0], v[1]); });
        },
        arg("A"), arg("target"), docs::erlangb_fractional_circuits);
    m.def(
        "erlangb_continuous_load",
        [](py::object x, py::object target) {
            return figure("erlangb_continuous_load", {{x, "x"}, {target, "target"}},
                          [](const Values2& v) { return erlangb_continuous_load(v[0], v[1]); });
        },
        arg("x"), arg("target"), docs::erlangb_continuous_load);

    // ---- Overflow traffic
    m.def(
        "erlangb_overflow",
        [traffic](py::object x, py::object A) {
            return pair(traffic, "erlangb_overflow", {{x, "x"}, {A, "A"}},
                        [](const Values2& v, Values2& r) {
                            const Traffic t = erlangb_overflow(v[0], v[1]);
                            r = {t.mean, t.variance};
                        });
        },
        arg("x"), arg("A"), docs::erlangb_overflow);
    m.def(
        "erlangb_equivalent_random",
        [group](py::object mean, py::object variance) {
            return pair(group, "erlangb_equivalent_random",
                        {{mean, "mean"}, {variance, "variance"}}, [](const Values2& v, Values2& r) {
                            const EquivalentRandom g = erlangb_equivalent_random({v[0], v[1]});
                            r = {g.load, g.circuits};
                        });
        },
        arg("mean"), arg("variance"), docs::erlangb_equivalent_random);
    m.def(
        "erlangb_rapp",
        [group](py::object mean, py::object variance) {
            return pair(group, "erlangb_rapp", {{mean, "mean"}, {variance, "variance"}},
                        [](const Values2& v, Values2& r) {
                            const EquivalentRandom g = erlangb_rapp({v[0], v[1]});
                            r = {g.load, g.circuits};
                        });
        },
        arg("mean"), arg("variance"), docs::erlangb_rapp);
    m.def(
        "erlangb_overflow_blocking",
        [](py::object mean, py::object variance, py::object c, const std::string& method) {
            const OverflowMethod how = method_of(method);
            return figure("erlangb_overflow_blocking",
                          {{mean, "mean"}, {variance, "variance"}, {c, "c"}},
                          [how](const Values3& v) {
                              return erlangb_overflow_blocking({v[0], v[1]}, v[2], how);
                          });
        },
        arg("mean"), arg("variance"), arg("c"), arg("method") = "equivalent_random",
        docs::erlangb_overflow_blocking);
    m.def(
        "erlangb_group_blocking",
        [](py::object mean, py::object variance, py::object load, py::object circuits,
           py::object c) {
            return figure("erlangb_group_blocking",
                          {{mean, "mean"},
                           {variance, "variance"},
                           {load, "load"},
                           {circuits, "circuits"},
                           {c, "c"}},
                          [](const Values5& v) {
                              return erlangb_group_blocking({v[0], v[1]}, {v[2], v[3]}, v[4]);
                          });
        },
        arg("mean"), arg("variance"), arg("load"), arg("circuits"), arg("c"),
        docs::erlangb_group_blocking);
    m.def(
        "erlangb_overflow_circuits",
        [](py::object mean, py::object variance, py::object target, const std::string& method) {
            const OverflowMethod how = method_of(method);
            return count("erlangb_overflow_circuits",
                         {{mean, "mean"}, {variance, "variance"}, {target, "target"}},
                         [how](const Values3& v) {
                             return erlangb_overflow_circuits({v[0], v[1]}, v[2], how);
                         });
        },
        arg("mean"), arg("variance"), arg("target"), arg("method") = "equivalent_random",
        docs::erlangb_overflow_circuits);
    m.def(
        "erlangb_overflow_fractional_circuits",
        [](py::object mean, py::object variance, py::object target, const std::string& method) {
            const OverflowMethod how = method_of(method);
            return figure("erlangb_overflow_fractional_circuits",
                          {{mean, "mean"}, {variance, "variance"}, {target, "target"}},
                          [how](const Values3& v) {
                              return erlangb_overflow_fractional_circuits({v[0], v[1]}, v[2], how);
                          });
        },
        arg("mean"), arg("variance"), arg("target"), arg("method") = "equivalent_random",
        docs::erlangb_overflow_fractional_circuits);

    // ---- Erlang C
    m.def(
        "erlangc",
        [](py::object s, py::object A) {
            return figure("erlangc", {{s, "s"}, {A, "A"}},
                          [](const Values2& v) { return erlangc(v[0], v[1]); });
        },
        arg("s"), arg("A"), docs::erlangc);
    m.def(
        "erlangc_service_level",
        [](py::object s, py::object A, py::object t) {
            return figure("erlangc_service_level", {{s, "s"}, {A, "A"}, {t, "t"}},
                          [](const Values3& v) { return erlangc_service_level(v[0], v[1], v[2]); });
        },
        arg("s"), arg("A"), arg("t"), docs::erlangc_service_level);
    m.def(
        "erlangc_mean_wait",
        [](py::object s, py::object A) {
            return figure("erlangc_mean_wait", {{s, "s"}, {A, "A"}},
                          [](const Values2& v) { return erlangc_mean_wait(v[0], v[1]); });
        },
        arg("s"), arg("A"), docs::erlangc_mean_wait);
    m.def(
        "erlangc_agents",
        [](py::object A, const py::kwargs& keywords) {
            Arg args[1 + targets] = {{A, "A"}};
            read_targets("erlangc_agents", keywords, args, 1);
            return count("erlangc_agents", args,
                         [](const Staffing1& v) { return erlangc_agents(v[0], target_of(v, 1)); });
        },
        arg("A"), joined({docs::erlangc_agents, docs::staffing_targets}).c_str());
    m.def(
        "erlangc_fractional_agents",
        [](py::object A, const py::kwargs& keywords) {
            Arg args[1 + targets] = {{A, "A"}};
            read_targets("erlangc_fractional_agents", keywords, args, 1);
            return figure("erlangc_fractional_agents", args, [](const Staffing1& v) {
                return erlangc_fractional_agents(v[0], target_of(v, 1));
            });
        },
        arg("A"), joined({docs::erlangc_fractional_agents, docs::staffing_targets}).c_str());
    m.def(
        "erlangc_load",
        [](py::object s, const py::kwargs& keywords) {
            Arg args[1 + targets] = {{s, "s"}};
            read_targets("erlangc_load", keywords, args, 1);
            return figure("erlangc_load", args,
                          [](const Staffing1& v) { return erlangc_load(v[0], target_of(v, 1)); });
        },
        arg("s"), joined({docs::erlangc_load, docs::staffing_targets}).c_str());

    // ---- Erlang A
    m.def(
        "erlanga_wait_probability",
        [](py::object s, py::object A, py::object patience) {
            return figure(
                "erlanga_wait_probability", {{s, "s"}, {A, "A"}, {patience, "patience"}},
                [](const Values3& v) { return erlanga_wait_probability(v[0], v[1], v[2]); });
        },
        arg("s"), arg("A"), arg("patience"),
        joined({docs::erlanga_wait_probability, docs::erlanga_common}).c_str());
    m.def(
        "erlanga_abandonment",
        [](py::object s, py::object A, py::object patience) {
            return figure("erlanga_abandonment", {{s, "s"}, {A, "A"}, {patience, "patience"}},
                          [](const Values3& v) { return erlanga_abandonment(v[0], v[1], v[2]); });
        },
        arg("s"), arg("A"), arg("patience"),
        joined({docs::erlanga_abandonment, docs::erlanga_common}).c_str());
    m.def(
        "erlanga_service_level",
        [](py::object s, py::object A, py::object patience, py::object t) {
            return figure(
                "erlanga_service_level", {{s, "s"}, {A, "A"}, {patience, "patience"}, {t, "t"}},
                [](const Values4& v) { return erlanga_service_level(v[0], v[1], v[2], v[3]); });
        },
        arg("s"), arg("A"), arg("patience"), arg("t"),
        joined({docs::erlanga_service_level, docs::erlanga_common}).c_str());
    m.def(
        "erlanga_abandoned_within",
        [](py::object s, py::object A, py::object patience, py::object t) {
            return figure(
                "erlanga_abandoned_within", {{s, "s"}, {A, "A"}, {patience, "patience"}, {t, "t"}},
                [](const Values4& v) { return erlanga_abandoned_within(v[0], v[1], v[2], v[3]); });
        },
        arg("s"), arg("A"), arg("patience"), arg("t"),
        joined({docs::erlanga_abandoned_within, docs::erlanga_common}).c_str());
    m.def(
        "erlanga_mean_wait",
        [](py::object s, py::object A, py::object patience) {
            return figure("erlanga_mean_wait", {{s, "s"}, {A, "A"}, {patience, "patience"}},
                          [](const Values3& v) { return erlanga_mean_wait(v[0], v[1], v[2]); });
        },
        arg("s"), arg("A"), arg("patience"),
        joined({docs::erlanga_mean_wait, docs::erlanga_common}).c_str());
    m.def(
        "erlanga_agents",
        [](py::object A, py::object patience, const py::kwargs& keywords) {
            Arg args[2 + targets] = {{A, "A"}, {patience, "patience"}};
            read_targets("erlanga_agents", keywords, args, 2);
            return count("erlanga_agents", args, [](const Staffing2& v) {
                return erlanga_agents(v[0], v[1], target_of(v, 2));
            });
        },
        arg("A"), arg("patience"),
        joined({docs::erlanga_agents, docs::staffing_targets, docs::erlanga_common}).c_str());
    m.def(
        "erlanga_fractional_agents",
        [](py::object A, py::object patience, const py::kwargs& keywords) {
            Arg args[2 + targets] = {{A, "A"}, {patience, "patience"}};
            read_targets("erlanga_fractional_agents", keywords, args, 2);
            return figure("erlanga_fractional_agents", args, [](const Staffing2& v) {
                return erlanga_fractional_agents(v[0], v[1], target_of(v, 2));
            });
        },
        arg("A"), arg("patience"),
        joined({docs::erlanga_fractional_agents, docs::staffing_targets, docs::erlanga_common})
            .c_str());
    m.def(
        "erlanga_load",
        [](py::object s, py::object patience, const py::kwargs& keywords) {
            Arg args[2 + targets] = {{s, "s"}, {patience, "patience"}};
            read_targets("erlanga_load", keywords, args, 2);
            return figure("erlanga_load", args, [](const Staffing2& v) {
                return erlanga_load(v[0], v[1], target_of(v, 2));
            });
        },
        arg("s"), arg("patience"),
        joined({docs::erlanga_load, docs::staffing_targets, docs::erlanga_common}).c_str());

    // The public names, for `from teletraffic import *` and the stub's check.
    py::list names;
    for (auto item : m.attr("__dict__").cast<py::dict>()) {
        const std::string name = py::str(item.first);
        if (name[0] != '_') names.append(name);
    }
    m.attr("__all__") = names;
}
