# SPDX-License-Identifier: MIT
# The package: the extension's ufuncs, and thin wrappers over the ufuncs
# whose staffing targets or overflow method are keywords, each made from
# the extension's declaration of its function (name, arguments, docstring).
import collections
import inspect
import math

from . import _teletraffic
from ._teletraffic import *  # noqa: F401,F403
from ._teletraffic import __doc__, __version__  # noqa: F401

Traffic = collections.namedtuple("Traffic", ("mean", "variance"))
Traffic.__doc__ = _teletraffic._traffic_doc
EquivalentRandom = collections.namedtuple("EquivalentRandom", ("load", "circuits"))
EquivalentRandom.__doc__ = _teletraffic._group_doc

_TARGETS = ("service_level", "answer_time", "mean_wait", "wait_probability",
            "max_occupancy", "max_abandonment", "max_blocking")
_SERVICE_LEVELS = ("offered", "answered", "virtual")  # their codes: 0, 1, 2
_METHODS = ("equivalent_random", "rapp", "hayward")  # their codes: 0, 1, 2


def _with_targets(ufunc, positional):
    """A function of `positional` and the targets, as keywords, over `ufunc`;
    an unset target is NaN. Other keywords (out=, where=, ...) go to the ufunc."""
    def function(*args, service_level=None, answer_time=None, mean_wait=None,
                 wait_probability=None, max_occupancy=None, max_abandonment=None,
                 max_blocking=None, service_level_of="offered", **kwargs):
        if service_level_of not in _SERVICE_LEVELS:
            raise ValueError(f"unknown service_level_of {service_level_of!r}: "
                             "'offered', 'answered' or 'virtual'")
        targets = (service_level, answer_time, mean_wait, wait_probability,
                   max_occupancy, max_abandonment, max_blocking)
        return ufunc(*_arguments(ufunc, positional, args, kwargs),
                     *(math.nan if t is None else t for t in targets),
                     _SERVICE_LEVELS.index(service_level_of), **kwargs)
    parameters = [inspect.Parameter(p, inspect.Parameter.POSITIONAL_OR_KEYWORD) for p in positional]
    parameters += [inspect.Parameter(t, inspect.Parameter.KEYWORD_ONLY, default=None) for t in _TARGETS]
    parameters.append(inspect.Parameter("service_level_of", inspect.Parameter.KEYWORD_ONLY,
                                        default="offered"))
    return function, parameters


def _with_method(ufunc, positional):
    """A function of `positional` and a method, by name, over `ufunc`; an
    unknown name is ValueError. Other keywords go to the ufunc."""
    def function(*args, **kwargs):
        if len(args) > len(positional):  # the method given by position
            kwargs["method"], args = args[len(positional)], args[:len(positional)] + args[len(positional) + 1:]
        method = kwargs.pop("method", "equivalent_random")
        if method not in _METHODS:
            raise ValueError(f"unknown overflow method {method!r}: "
                             "'equivalent_random', 'rapp' or 'hayward'")
        return ufunc(*_arguments(ufunc, positional, args, kwargs), _METHODS.index(method), **kwargs)
    parameters = [inspect.Parameter(p, inspect.Parameter.POSITIONAL_OR_KEYWORD) for p in positional]
    parameters.append(inspect.Parameter("method", inspect.Parameter.POSITIONAL_OR_KEYWORD,
                                        default="equivalent_random"))
    return function, parameters


def _arguments(ufunc, positional, args, kwargs):
    """The positional arguments, given by position or by name (taken out of
    kwargs); a missing or extra one is TypeError, as Python's own calls raise."""
    if len(args) > len(positional):
        raise TypeError(f"{ufunc.__name__}() takes {len(positional)} positional arguments "
                        f"but {len(args)} were given")
    values = list(args)
    for name in positional[len(args):]:
        if name not in kwargs:
            raise TypeError(f"{ufunc.__name__}() missing required argument: '{name}'")
        values.append(kwargs.pop(name))
    return values


def _wrap(name, args, keywords, doc):
    positional = tuple(a.strip() for a in args.split(","))
    make = _with_targets if keywords == "targets" else _with_method
    function, parameters = make(_teletraffic._ufuncs[name], positional)
    function.__name__ = function.__qualname__ = name
    function.__doc__ = doc
    function.__module__ = __name__
    function.__signature__ = inspect.Signature(parameters + [
        inspect.Parameter("kwargs", inspect.Parameter.VAR_KEYWORD)])
    function.ufunc = _teletraffic._ufuncs[name]
    return function


for _name, _args, _result, _keywords, _doc in _teletraffic._functions:
    if _keywords != "none":
        globals()[_name] = _wrap(_name, _args, _keywords, _doc)

__all__ = ["erlangb_max_load", "erlangb_max_circuits", "overflow_min_mean", "overflow_max_mean",
           "overflow_max_peakedness", "overflow_min_target", "Traffic", "EquivalentRandom"]
__all__ += [entry[0] for entry in _teletraffic._functions]
del _name, _args, _result, _keywords, _doc
