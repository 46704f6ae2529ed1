// SPDX-License-Identifier: MIT
// The teletraffic library for Python: each function of functions.h as a
// numpy ufunc, one float64 loop each (int64 for counts), so that numpy
// does what it does for its own functions: broadcasting, casting, out=,
// where=, dtype=, and other array types (pandas, xarray, dask, masked
// arrays) through their __array_ufunc__. Nothing here computes a figure:
// the loop calls the library for each element.
#include <pybind11/pybind11.h>

#define NPY_NO_DEPRECATED_API NPY_1_7_API_VERSION
#include <numpy/arrayobject.h>
#include <numpy/ufuncobject.h>

#include <cfenv>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "functions.h"

namespace py = pybind11;
using functions::Function;
using functions::Keywords;
using functions::Result;

namespace {

constexpr std::size_t count = sizeof functions::table / sizeof *functions::table;

// The numeric inputs of a function's ufunc: its arguments, then the eight
// targets (the last its definition's code) or the method's code.
int inputs(const Function& f)
{
    int n = 1;
    for (const char* c = f.args; *c != '\0'; ++c) n += *c == ',';
    return n + (f.keywords == Keywords::targets ? 8 : f.keywords == Keywords::method ? 1 : 0);
}

int outputs(const Function& f)
{
    return f.result == Result::traffic || f.result == Result::group ? 2 : 1;
}

// The loop numpy runs over a stretch of elements, without the GIL: `data`
// is the function's entry. Every 4096 elements it takes the GIL to let a
// signal's handler run (Ctrl-C: KeyboardInterrupt); if that raises, the
// loop stops and numpy raises the exception when the call returns. The
// library's own floating-point flags (a log of 0 on the way to a figure)
// are its business, not the caller's: cleared, so that numpy warns of none.
void loop(char** args, const npy_intp* dimensions, const npy_intp* steps, void* data)
{
    const auto& f = *static_cast<const Function*>(data);
    const int in = inputs(f);
    const int out = outputs(f);
    double v[16];
    double r[2];
    for (npy_intp e = 0; e < dimensions[0]; ++e) {
        if ((e & 0xFFF) == 0xFFF) {
            const PyGILState_STATE state = PyGILState_Ensure();
            const bool stop = PyErr_CheckSignals() != 0;
            PyGILState_Release(state);
            if (stop) break;
        }
        for (int i = 0; i < in; ++i) std::memcpy(&v[i], args[i] + e * steps[i], sizeof(double));
        f.element(v, r);
        for (int k = 0; k < out; ++k) {
            char* at = args[in + k] + e * steps[in + k];
            if (f.result == Result::count) {
                const auto n = static_cast<std::int64_t>(r[k]);
                std::memcpy(at, &n, sizeof n);
            } else {
                std::memcpy(at, &r[k], sizeof(double));
            }
        }
    }
    std::feclearexcept(FE_ALL_EXCEPT);
}

// The signature line of a function as a user calls it.
std::string signature(const Function& f)
{
    std::string s = std::string(f.name) + "(" + f.args;
    if (f.keywords == Keywords::targets)
        s += ", *, service_level=None, answer_time=None, mean_wait=None,\n    "
             "wait_probability=None, max_occupancy=None, max_abandonment=None,\n    "
             "max_blocking=None, service_level_of='offered'";
    if (f.keywords == Keywords::method) s += ", method='equivalent_random'";
    return s + ")";
}

// The whole docstring: the signature line, the function's text, the
// targets' where it takes them, and its closing text.
std::string docstring(const Function& f)
{
    std::string s = signature(f) + "\n\n" + f.doc;
    if (f.keywords == Keywords::targets) s += docs::staffing_targets;
    if (f.more != nullptr) s += f.more;
    return s;
}

const char* result_name(Result r)
{
    return r == Result::figure    ? "figure"
           : r == Result::count   ? "count"
           : r == Result::traffic ? "traffic"
                                  : "group";
}

const char* keywords_name(Keywords k)
{
    return k == Keywords::none ? "none" : k == Keywords::targets ? "targets" : "method";
}

}  // namespace

PYBIND11_MODULE(_teletraffic, m)
{
    if (_import_array() < 0 || _import_umath() < 0) throw py::error_already_set();
    m.doc() = docs::module;
    m.attr("__version__") = TELETRAFFIC_VERSION;
    m.attr("erlangb_max_load") = erlangb_max_load;
    m.attr("erlangb_max_circuits") = erlangb_max_circuits;
    m.attr("overflow_min_mean") = overflow_min_mean;
    m.attr("overflow_max_mean") = overflow_max_mean;
    m.attr("overflow_max_peakedness") = overflow_max_peakedness;
    m.attr("overflow_min_target") = overflow_min_target;
    m.attr("_traffic_doc") = docs::traffic;
    m.attr("_group_doc") = docs::equivalent_random_type;

    // numpy keeps pointers to these for as long as the ufuncs live: the
    // module's life, so they are never freed.
    static PyUFuncGenericFunction loops[count];
    static void* data[count];
    static char types[count][16];  // at most 12 inputs and 2 outputs
    static std::vector<std::string> docstrings(count);
    py::list entries;
    py::dict ufuncs;
    for (std::size_t i = 0; i < count; ++i) {
        const Function& f = functions::table[i];
        const int in = inputs(f);
        const int out = outputs(f);
        // loop()'s v and these types hold 16: a longer signature is this
        // module's fault, not the caller's.
        if (in + out > 16) throw std::logic_error(std::string(f.name) + ": too many inputs");
        loops[i] = loop;
        data[i] = const_cast<Function*>(&f);
        for (int j = 0; j < in + out; ++j)
            types[i][j] =
                static_cast<char>(j >= in && f.result == Result::count ? NPY_INT64 : NPY_DOUBLE);
        docstrings[i] = docstring(f);
        auto ufunc = py::reinterpret_steal<py::object>(
            PyUFunc_FromFuncAndData(&loops[i], &data[i], types[i], 1, in, out, PyUFunc_None, f.name,
                                    docstrings[i].c_str(), 0));
        if (!ufunc) throw py::error_already_set();
        ufuncs[f.name] = ufunc;
        if (f.keywords == Keywords::none) m.attr(f.name) = ufunc;
        entries.append(py::make_tuple(f.name, f.args, result_name(f.result),
                                      keywords_name(f.keywords), docstrings[i]));
    }
    m.attr("_ufuncs") = ufuncs;
    m.attr("_functions") = entries;
}
