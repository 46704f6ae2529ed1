# SPDX-License-Identifier: MIT
"""The Python module against the reference values the C++ tests hold, and
its numpy conventions: ufuncs and the array types they serve, broadcasting,
dtypes, NaN outside the domains, the errors, memory, and the README's
Python session."""
import doctest
import importlib
import math
import os
import re
import signal
import threading
import time
import tracemalloc
from pathlib import Path

import numpy as np
import pytest

import teletraffic as tt

TESTS = Path(__file__).resolve().parent.parent
nan = math.nan


def rows(source, array):
    """The rows of the C++ array `array` in tests/`source`: the 40- and
    60-digit values the reference scripts generated there (CI checks they
    still do), as columns of floats, names such as Kind::wait kept as text."""
    text = (TESTS / source).read_text()
    body = re.search(r"\b%s\[\] = \{\n(.*?)\n\};" % array, text, re.S).group(1)

    def value(field):
        try:
            return float(field)
        except ValueError:
            return field.strip('"')

    table = [[value(f.strip()) for f in r.split(",")] for r in re.findall(r"\{([^{}]*)\}", body)]
    return [np.array(column) if isinstance(column[0], float) else list(column)
            for column in zip(*table)]


def optional(module):
    """A test dependency (pandas, xarray, dask): its tests are skipped
    without it, except in CI, which installs them all."""
    return importlib.import_module(module) if os.environ.get("CI") else pytest.importorskip(module)


def near(got, want, rtol):
    """Relative error at most rtol, element by element (exact where want is 0)."""
    np.testing.assert_allclose(got, want, rtol=rtol, atol=0)


# ---- Every figure against the reference rows, one vectorised call a table.

def test_erlang_b_reference():
    x, A, B = rows("continuous_test.cpp", "reference")
    near(tt.erlangb_continuous(x, A), B, 1e-12)
    n, target, load, _ = rows("sizing_test.cpp", "reference")
    near(tt.erlangb_load(n.astype(np.int64), target), load, 1e-12)


def test_erlang_c_reference():
    s, A, t, C, level, wait = rows("erlangc_test.cpp", "figure_rows")
    near(tt.erlangc(s, A), C, 1e-12)
    near(tt.erlangc_service_level(s, A, t), level, 1e-12)
    near(tt.erlangc_mean_wait(s, A), wait, 1e-12)

    def keywords(kinds, value, t):
        """The staffing keywords for rows of targets of each kind."""
        names = {"Kind::level": "service_level", "Kind::wait": "mean_wait",
                 "Kind::probability": "wait_probability", "Kind::occupancy": "max_occupancy"}
        arrays = {name: np.where([names[k] == name for k in kinds], value, nan)
                  for name in names.values()}
        arrays["answer_time"] = np.where([k == "Kind::level" for k in kinds], t, nan)
        return arrays

    A, kind, value, t, whole, real = rows("erlangc_test.cpp", "staffing_rows")
    agents = tt.erlangc_agents(A, **keywords(kind, value, t))
    assert agents.dtype == np.int64 and agents.tolist() == whole.tolist()
    np.testing.assert_allclose(tt.erlangc_fractional_agents(A, **keywords(kind, value, t)),
                               real, rtol=0, atol=1e-9)
    s, kind, value, t, load = rows("erlangc_test.cpp", "load_rows")
    near(tt.erlangc_load(s, **keywords(kind, value, t)), load, 1e-12)


def test_erlang_a_reference():
    s, A, patience, t, wait, abandoned, level, within, mean_wait = rows(
        "erlanga_test.cpp", "reference")
    near(tt.erlanga_wait_probability(s, A, patience), wait, 1e-12)
    near(tt.erlanga_abandonment(s, A, patience), abandoned, 1e-12)
    near(tt.erlanga_service_level(s, A, patience, t), level, 1e-12)
    near(tt.erlanga_abandoned_within(s, A, patience, t), within, 1e-12)
    near(tt.erlanga_mean_wait(s, A, patience), mean_wait, 1e-12)


def test_engset_reference():
    n, S, beta, time, call, traffic, carried, offered = rows("loss_test.cpp", "figures")
    near(tt.engset_time_congestion(n, S, beta), time, 1e-12)
    near(tt.engset_call_congestion(n, S, beta), call, 1e-12)
    near(tt.engset_traffic_congestion(n, S, beta), traffic, 1e-12)
    near(tt.engset_carried(n, S, beta), carried, 1e-12)
    near(tt.engset_offered(n, S, beta), offered, 1e-12)
    near(tt.engset_beta(n, S, offered), beta, 1e-12)
    S, E, target, count = rows("loss_test.cpp", "circuits")
    assert tt.engset_circuits(S, E, target).tolist() == count.tolist()
    n, S, target, E = rows("loss_test.cpp", "loads")
    near(tt.engset_load(n, S, target), E, 1e-12)
    n, a, target, S = rows("loss_test.cpp", "sources")
    assert tt.engset_sources(n, a, target).tolist() == S.tolist()


def test_erlang_x_reference():
    s, A, lines, patience, t, *want = rows("erlangx_test.cpp", "figures")
    got = [tt.erlangx_blocking(s, A, lines, patience),
           tt.erlangx_wait_probability(s, A, lines, patience),
           tt.erlangx_abandonment(s, A, lines, patience),
           tt.erlangx_service_level(s, A, lines, patience, t),
           tt.erlangx_answered_service_level(s, A, lines, patience, t),
           tt.erlangx_virtual_service_level(s, A, lines, patience, t),
           tt.erlangx_mean_wait(s, A, lines, patience),
           tt.erlangx_virtual_mean_wait(s, A, lines, patience)]
    for g, w in zip(got, want):  # 0 in the reference: below 1e-300
        assert (g[w == 0] < 1e-300).all()
        near(g[w != 0], w[w != 0], 1e-12)
    s, A0, lines, patience, redial, A = rows("erlangx_test.cpp", "offered_rows")
    near(tt.erlangx_offered(s, A0, lines, patience, redial), A, 1e-12)



def test_erlang_x_staffing_by_each_definition():
    # Each definition staffs by its own figure: met at the answer, missed
    # one agent below; the load of those agents answers back.
    figure = {"offered": tt.erlangx_service_level, "answered": tt.erlangx_answered_service_level,
              "virtual": tt.erlangx_virtual_service_level}
    for of, level in figure.items():
        n = tt.erlangx_agents(100.0, 110, 0.5, 0.0, service_level=0.8, answer_time=0.1,
                              service_level_of=of)
        assert level(n, 100.0, 110, 0.5, 0.1) >= 0.8 > level(n - 1, 100.0, 110, 0.5, 0.1)
        load = tt.erlangx_load(n, 110, 0.5, 0.0, service_level=0.8, answer_time=0.1,
                               service_level_of=of)
        near(level(n, load, 110, 0.5, 0.1), 0.8, 1e-12)
    assert tt.erlangx_agents(10.0, 16, 1.0, 0.0, max_blocking=0.01) == 0  # 16 lines block 2 %
    near(tt.erlangx_patience(12, 10.0, 16, 0.049116736711544987), 2 / 3, 1e-12)
    with pytest.raises(ValueError, match="service_level_of"):
        tt.erlangx_agents(10.0, 16, 1.0, 0.0, service_level=0.8, answer_time=0.1,
                          service_level_of="abandoned")


def test_retrial_and_poisson_reference():
    x, A0, recall, offered, blocking, lost = rows("loss_test.cpp", "retrials")
    near(tt.extended_erlangb_offered(x, A0, recall), offered, 1e-12)
    near(tt.extended_erlangb(x, A0, recall), blocking, 1e-12)
    near(tt.extended_erlangb_lost(x, A0, recall), lost, 1e-12)
    A0, recall, target, count = rows("loss_test.cpp", "retrial_circuits")
    assert tt.extended_erlangb_circuits(A0, recall, target).tolist() == count.tolist()
    x, recall, target, A0 = rows("loss_test.cpp", "retrial_loads")
    near(tt.extended_erlangb_load(x, recall, target), A0, 1e-12)
    n, A, P = rows("loss_test.cpp", "poisson_rows")
    near(tt.poisson_blocking(n, A), P, 1e-12)
    A, _, target, count = rows("loss_test.cpp", "poisson_circuit_rows")
    assert tt.poisson_circuits(A, target).tolist() == count.tolist()
    n, _, target, A = rows("loss_test.cpp", "poisson_loads")
    near(tt.poisson_load(n, target), A, 1e-12)
    A, recall, target, x = rows("loss_test.cpp", "fractional")
    held = recall < 0
    near(tt.poisson_fractional_circuits(A[held], target[held]), x[held], 1e-12)
    near(tt.extended_erlangb_fractional_circuits(A[~held], recall[~held], target[~held]),
         x[~held], 1e-12)


def test_overflow_reference():
    x, A, M, V = rows("overflow_test.cpp", "groups")
    mean, variance = tt.erlangb_overflow(x, A)
    light = A <= x + 1  # 1e-12, overloaded groups 1e-10
    near(mean[light], M[light], 1e-12)
    near(variance[light], V[light], 1e-12)
    near(mean, M, 1e-10)
    near(variance, V, 1e-10)
    M, V, load, circuits, c, er, rapp, hayward = rows("overflow_test.cpp", "finals")
    group = tt.EquivalentRandom(*tt.erlangb_equivalent_random(M, V))
    near(group.load, load, 1e-10)
    np.testing.assert_allclose(group.circuits - circuits, 0, atol=1e-10 * load.max())
    near(tt.erlangb_overflow_blocking(M, V, c), er, 1e-9)
    near(tt.erlangb_overflow_blocking(M, V, c, method="rapp"), rapp, 1e-11)
    near(tt.erlangb_overflow_blocking(M, V, c, "hayward"), hayward, 1e-11)
    near(tt.erlangb_group_blocking(M, V, group.load, group.circuits, c), er, 1e-9)


# ---- Broadcasting: each result equals the scalar calls, element by element.

grid = np.arange(12.0).reshape(3, 4) + 1

broadcasting = [
    # (function, arguments, shape of the result)
    (tt.erlangb_continuous, (grid, 5.0), (3, 4)),
    (tt.erlangb_continuous, (np.arange(3.0).reshape(3, 1), np.arange(4.0) + 1), (3, 4)),
    (tt.erlangb_continuous, (grid.T, 5.0), (4, 3)),                 # strided, Fortran order
    (tt.erlangb_continuous, (grid[:, ::2], grid[::-1, 1::2]), (3, 2)),  # steps, negative too
    (tt.erlangc_service_level, (grid, 0.5, [[0.0], [0.1], [1.0]]), (3, 4)),
    (tt.erlangb, (np.array(10), np.array(5.0)), ()),                # 0-d arrays: a number
    (tt.erlangb, ([], 5.0), (0,)),
    (tt.erlangb_circuits, (np.zeros((0, 3)), [0.1, 0.01, 0.001]), (0, 3)),
    (tt.erlangb_circuits, (grid, 0.01), (3, 4)),
]


@pytest.mark.parametrize("function, args, shape", broadcasting)
def test_broadcasting(function, args, shape):
    got = function(*args)
    if shape == ():
        assert np.ndim(got) == 0
        return
    assert got.shape == shape
    for index in np.ndindex(shape):
        scalars = [float(np.broadcast_to(a, shape)[index]) for a in args]
        assert got[index] == function(*scalars)


def test_numbers_give_numbers():
    assert type(tt.erlangb(10, 5.0)) is np.float64
    assert type(tt.erlangb_circuits(5.0, 0.01)) is np.int64
    assert type(tt.erlangc_agents(10, service_level=0.8, answer_time=0.1)) is np.int64
    mean, variance = tt.erlangb_overflow(10, 8.0)
    assert type(mean) is np.float64 and type(variance) is np.float64


# ---- Ufuncs: numpy's keywords, and other array types through its protocol.

def test_every_function_is_a_ufunc_or_wraps_one():
    for name in tt.__all__:
        thing = getattr(tt, name)
        if callable(thing) and not isinstance(thing, type):
            assert isinstance(thing, np.ufunc) or isinstance(thing.ufunc, np.ufunc), name


def test_out_where_and_dtype():
    out = np.full(3, -1.0)
    assert tt.erlangb([1, 2, 3], 2.0, out=out) is out and out[2] == tt.erlangb(3, 2.0)
    counts = np.zeros(2, dtype=np.int64)
    tt.erlangc_agents([10.0, 100.0], service_level=0.8, answer_time=0.1, out=counts)
    assert counts.tolist() == [14, 107]
    kept = np.full(2, 7.0)
    tt.erlangb_overflow_blocking(5.0, 10.0, [3.0, 4.0], "rapp", out=kept, where=[False, True])
    assert kept[0] == 7.0 and kept[1] == tt.erlangb_overflow_blocking(5.0, 10.0, 4.0, "rapp")
    with pytest.raises(TypeError):
        tt.erlangb(10, 5.0, dtype=np.float32)  # only float64 loops


def test_array_types_keep_their_kind():
    pd = optional("pandas")
    series = tt.erlangc_agents(pd.Series([10.0, 100.0], index=["a", "b"]), mean_wait=0.1)
    assert series.index.tolist() == ["a", "b"] and series.dtype == np.int64
    xr = optional("xarray")
    grid = xr.DataArray([[10.0, 20.0]], dims=("day", "route"), coords={"route": ["x", "y"]})
    blocking = tt.erlangb(15, grid)
    assert blocking.dims == ("day", "route") and blocking.route.values.tolist() == ["x", "y"]
    da = optional("dask.array")
    lazy = tt.erlangb_continuous(da.from_array(np.arange(1.0, 5.0), chunks=2), 3.0)
    assert isinstance(lazy, da.Array)
    assert (lazy.compute() == tt.erlangb_continuous(np.arange(1.0, 5.0), 3.0)).all()


def test_keywords_broadcast_with_the_load():
    agents = tt.erlangc_agents([[10.0], [100.0]], service_level=[0.8, 0.9], answer_time=20 / 180)
    assert agents.tolist() == [[14, 15], [107, 110]]


# ---- Dtypes: booleans, integers and reals of any width read as their values.

@pytest.mark.parametrize("dtype", [np.int8, np.uint16, np.int32, np.int64, np.float16,
                                   np.float32, np.float64, bool])
def test_dtypes(dtype):
    values = np.array([1, 3, 12]).astype(dtype)
    want = np.array([tt.erlangb_continuous(float(v), 7.0) for v in values])
    got = tt.erlangb_continuous(values, 7.0)
    assert got.dtype == np.float64 and (got == want).all()
    assert (tt.erlangb(values, 7.0) == [tt.erlangb(int(v), 7.0) for v in values]).all()
    assert tt.erlangb_circuits(values, 0.01).dtype == np.int64


def test_lists_and_numpy_scalars():
    assert tt.erlangb([[10, 20]], [5.0]).shape == (1, 2)
    assert tt.erlangb(np.int16(10), np.float32(5.0)) == tt.erlangb(10, 5.0)


# ---- Outside the domains: NaN (0 for a count) in place, the rest answered.

outside = [
    # (function, arguments with one outside its domain, what it gives)
    (tt.erlangb, (2.5, 5.0), nan),            # circuits not whole
    (tt.erlangb, (2.0**40, 5.0), nan),        # more than a count holds
    (tt.erlangb, (10, -1.0), nan),
    (tt.erlangb_circuits, (5.0, 1.0), 0),
    (tt.erlangb_circuits, (6e6, 0.01), 0),
    (tt.erlangb_load, (0, 0.01), nan),
    (tt.erlangb_load, (1.5, 0.01), nan),
    (tt.erlangb_continuous, (-0.5, 5.0), nan),
    (tt.erlangb_fractional_circuits, (5.0, 0.0), nan),
    (tt.erlangb_continuous_load, (0.0, 0.01), nan),
    (tt.erlangb_overflow_blocking, (5.0, 4.0, 10), nan),        # smooth traffic
    (tt.erlangb_overflow_circuits, (5.0, 10.0, 1e-300), 0),
    (tt.erlangb_overflow_fractional_circuits, (2e4, 4e4, 0.01), nan),
    (tt.erlangb_group_blocking, (5.0, 10.0, nan, 3.0, 2.0), nan),
    (tt.erlangc, (0.0, 1.0), nan),
    (tt.erlangc_service_level, (2.0, 1.0, -1.0), nan),
    (tt.erlangc_mean_wait, (2.0, -1.0), nan),
    (tt.erlanga_wait_probability, (2.0, 1.0, 0.0), nan),
    (tt.erlanga_abandonment, (2.0, 1.0, -1.0), nan),
    (tt.erlanga_service_level, (2.0, 1.0, 1.0, -1.0), nan),
    (tt.erlanga_abandoned_within, (2.0, 6e6, 1.0, 1.0), nan),
    (tt.erlanga_mean_wait, (-2.0, 1.0, 1.0), nan),
]


@pytest.mark.parametrize("function, args, gives", outside)
def test_outside_the_domain(function, args, gives):
    for got in (function(*args), function(*[[a, a] for a in args])[1]):
        assert got == gives or (math.isnan(gives) and math.isnan(got))


staffing_outside = [
    # (function, leading arguments, targets)
    (tt.erlangc_agents, (10.0,), {}),                            # no target
    (tt.erlangc_agents, (10.0,), {"service_level": 1.0, "answer_time": 0.1}),
    (tt.erlangc_fractional_agents, (10.0,), {"mean_wait": 0.0}),
    (tt.erlangc_load, (10.0,), {"max_occupancy": 1.5}),
    (tt.erlanga_agents, (10.0, 0.0), {"max_abandonment": 0.05}),  # no patience
    (tt.erlanga_fractional_agents, (-1.0, 1.0), {"wait_probability": 0.2}),
    (tt.erlanga_load, (10.0, 1.0), {"max_abandonment": 0.0}),
]


@pytest.mark.parametrize("function, leading, targets", staffing_outside)
def test_staffing_outside_the_domain(function, leading, targets):
    got = function(*leading, **targets)
    assert got == 0 or math.isnan(got)


def test_one_bad_element_keeps_the_others():
    got = tt.erlangc_agents([10.0, -1.0, 100.0], service_level=[0.8, 0.8, 1.2],
                            answer_time=0.1)
    assert got.tolist() == [tt.erlangc_agents(10.0, service_level=0.8, answer_time=0.1), 0, 0]
    blocking = tt.erlangb_continuous([1.0, nan, -1.0, 2.0], 1.0)
    assert np.isnan(blocking).tolist() == [False, True, True, False]


def test_masked_and_missing_values():
    loads = np.ma.masked_array([10.0, 20.0, 30.0], mask=[False, True, False])
    got = tt.erlangb_continuous(np.ma.masked_array([[15.0], [16.0]], mask=[[True], [False]]), loads)
    assert got.mask.tolist() == [[True, True, True], [False, True, False]]
    assert got[1, 2] == tt.erlangb_continuous(16.0, 30.0)
    pd = optional("pandas")
    for series in (pd.Series([10, None, 30], dtype="Int64"), pd.array([10.0, None, 30.0], dtype="Float64")):
        got = tt.erlangb(15, series)
        assert pd.isna(got).tolist() == [False, True, False] and got[2] == tt.erlangb(15, 30.0)


def test_ctrl_c_ends_a_long_call():
    """A call of about 20 s (10^5 staffings at 1000 erlangs) ends within a
    few of its elements after the signal, not when it is done."""
    loads = np.broadcast_to(1000.0, (10**5,))
    timer = threading.Timer(0.2, os.kill, (os.getpid(), signal.SIGINT))
    start = time.monotonic()
    timer.start()
    with pytest.raises(KeyboardInterrupt):
        tt.erlanga_agents(loads, 1.0, service_level=0.8, answer_time=0.1)
    assert time.monotonic() - start < 10


# ---- Wrong types are TypeError, shapes that do not broadcast ValueError.

@pytest.mark.parametrize("bad", [None, "10", b"10", 1j, [1, None], np.array([1 + 1j]),
                                 np.array(["1"]), object(), np.datetime64("2026-01-01")])
def test_type_errors(bad):
    with pytest.raises(TypeError, match="ufunc 'erlangb'"):
        tt.erlangb(10, bad)
    if bad is not None:  # a target of None is unset
        with pytest.raises(TypeError, match="ufunc 'erlangc_agents'"):
            tt.erlangc_agents(10.0, service_level=bad, answer_time=0.1)


def test_other_argument_errors():
    errors = [
        (TypeError, "unexpected keyword argument 'service_lvl'", dict(args=(1.0,), service_lvl=0.8)),
        (TypeError, "missing required argument: 'A'", dict(mean_wait=0.1)),
        (TypeError, "takes 1 positional arguments but 2", dict(args=(1.0, 2.0))),
    ]
    for error, message, keywords in errors:
        with pytest.raises(error, match=message):
            tt.erlangc_agents(*keywords.pop("args", ()), **keywords)
    for method in (1, "wilkinson"):
        with pytest.raises(ValueError, match="unknown overflow method"):
            tt.erlangb_overflow_blocking(5.0, 10.0, 3.0, method=method)
    with pytest.raises(ValueError, match="could not be broadcast"):
        tt.erlangb_continuous([1.0, 2.0, 3.0], [1.0, 2.0])


# ---- The package itself.

def test_version_and_names():
    assert tt.__version__ == os.environ["ERLANGB_VERSION"]
    assert "erlangb_load_near" in tt.__doc__ and "erlangb_load_near" not in tt.__all__
    for name in tt.__all__:
        thing = getattr(tt, name)
        if callable(thing) and not isinstance(thing, type):
            assert thing.__doc__.startswith(name + "(") and "Cost" in thing.__doc__, name


def test_memory_of_a_million():
    loads = np.linspace(1.0, 100.0, 10**6)
    tracemalloc.start()
    tt.erlangb_continuous(50.0, loads)
    peak = tracemalloc.get_traced_memory()[1]
    tracemalloc.stop()
    assert peak < loads.nbytes + 64 * 1024  # the output and no more


def test_readme_session():
    readme = (TESTS.parent / "README.md").read_text()
    blocks = re.findall(r"```python\n(.*?)```", readme, re.S)
    test = doctest.DocTestParser().get_doctest("\n".join(blocks), {}, "README.md", None, 0)
    runner = doctest.DocTestRunner(optionflags=doctest.NORMALIZE_WHITESPACE)
    runner.run(test)
    assert runner.summarize(verbose=False).failed == 0
