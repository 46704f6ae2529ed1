# SPDX-License-Identifier: MIT
# Types of the teletraffic module. Each function has two forms: numbers in,
# a number out; arrays (or anything numpy reads as one) in, an array out.
# The first form also fits the second's arguments, which mypy reports as
# overlapping overloads (misc); the runtime returns a number only when
# every argument is one, as the first form says.
from typing import Any, Literal, NamedTuple, overload

import numpy as np
from numpy.typing import ArrayLike, NDArray

__version__: str

erlangb_max_load: float
erlangb_max_circuits: int
overflow_min_mean: float
overflow_max_mean: float
overflow_max_peakedness: float
overflow_min_target: float

_Method = Literal["equivalent_random", "rapp", "hayward"]

class Traffic(NamedTuple):
    mean: Any
    variance: Any

class EquivalentRandom(NamedTuple):
    load: Any
    circuits: Any

@overload
def erlangb(n: float, A: float) -> float: ...  # type: ignore[misc]
@overload
def erlangb(n: ArrayLike, A: ArrayLike) -> NDArray[np.float64]: ...

@overload
def erlangb_circuits(A: float, target: float) -> int: ...  # type: ignore[misc]
@overload
def erlangb_circuits(A: ArrayLike, target: ArrayLike) -> NDArray[np.int64]: ...

@overload
def erlangb_load(n: float, target: float) -> float: ...  # type: ignore[misc]
@overload
def erlangb_load(n: ArrayLike, target: ArrayLike) -> NDArray[np.float64]: ...

@overload
def erlangb_continuous(x: float, A: float) -> float: ...  # type: ignore[misc]
@overload
def erlangb_continuous(x: ArrayLike, A: ArrayLike) -> NDArray[np.float64]: ...

@overload
def erlangb_fractional_circuits(A: float, target: float) -> float: ...  # type: ignore[misc]
@overload
def erlangb_fractional_circuits(A: ArrayLike, target: ArrayLike) -> NDArray[np.float64]: ...

@overload
def erlangb_continuous_load(x: float, target: float) -> float: ...  # type: ignore[misc]
@overload
def erlangb_continuous_load(x: ArrayLike, target: ArrayLike) -> NDArray[np.float64]: ...

def erlangb_overflow(x: ArrayLike, A: ArrayLike) -> Traffic: ...

def erlangb_equivalent_random(mean: ArrayLike, variance: ArrayLike) -> EquivalentRandom: ...

def erlangb_rapp(mean: ArrayLike, variance: ArrayLike) -> EquivalentRandom: ...

@overload
def erlangb_overflow_blocking(mean: float, variance: float, c: float, method: _Method = ...) -> float: ...  # type: ignore[misc]
@overload
def erlangb_overflow_blocking(mean: ArrayLike, variance: ArrayLike, c: ArrayLike, method: _Method = ...) -> NDArray[np.float64]: ...

@overload
def erlangb_group_blocking(mean: float, variance: float, load: float, circuits: float, c: float) -> float: ...  # type: ignore[misc]
@overload
def erlangb_group_blocking(mean: ArrayLike, variance: ArrayLike, load: ArrayLike, circuits: ArrayLike, c: ArrayLike) -> NDArray[np.float64]: ...

@overload
def erlangb_overflow_circuits(mean: float, variance: float, target: float, method: _Method = ...) -> int: ...  # type: ignore[misc]
@overload
def erlangb_overflow_circuits(mean: ArrayLike, variance: ArrayLike, target: ArrayLike, method: _Method = ...) -> NDArray[np.int64]: ...

@overload
def erlangb_overflow_fractional_circuits(mean: float, variance: float, target: float, method: _Method = ...) -> float: ...  # type: ignore[misc]
@overload
def erlangb_overflow_fractional_circuits(mean: ArrayLike, variance: ArrayLike, target: ArrayLike, method: _Method = ...) -> NDArray[np.float64]: ...

@overload
def erlangc(s: float, A: float) -> float: ...  # type: ignore[misc]
@overload
def erlangc(s: ArrayLike, A: ArrayLike) -> NDArray[np.float64]: ...

@overload
def erlangc_service_level(s: float, A: float, t: float) -> float: ...  # type: ignore[misc]
@overload
def erlangc_service_level(s: ArrayLike, A: ArrayLike, t: ArrayLike) -> NDArray[np.float64]: ...

@overload
def erlangc_mean_wait(s: float, A: float) -> float: ...  # type: ignore[misc]
@overload
def erlangc_mean_wait(s: ArrayLike, A: ArrayLike) -> NDArray[np.float64]: ...

@overload
def erlangc_agents(A: float, *, service_level: float | None = ..., answer_time: float | None = ..., mean_wait: float | None = ..., wait_probability: float | None = ..., max_occupancy: float | None = ..., max_abandonment: float | None = ...) -> int: ...  # type: ignore[misc]
@overload
def erlangc_agents(A: ArrayLike, *, service_level: ArrayLike | None = ..., answer_time: ArrayLike | None = ..., mean_wait: ArrayLike | None = ..., wait_probability: ArrayLike | None = ..., max_occupancy: ArrayLike | None = ..., max_abandonment: ArrayLike | None = ...) -> NDArray[np.int64]: ...

@overload
def erlangc_fractional_agents(A: float, *, service_level: float | None = ..., answer_time: float | None = ..., mean_wait: float | None = ..., wait_probability: float | None = ..., max_occupancy: float | None = ..., max_abandonment: float | None = ...) -> float: ...  # type: ignore[misc]
@overload
def erlangc_fractional_agents(A: ArrayLike, *, service_level: ArrayLike | None = ..., answer_time: ArrayLike | None = ..., mean_wait: ArrayLike | None = ..., wait_probability: ArrayLike | None = ..., max_occupancy: ArrayLike | None = ..., max_abandonment: ArrayLike | None = ...) -> NDArray[np.float64]: ...

@overload
def erlangc_load(s: float, *, service_level: float | None = ..., answer_time: float | None = ..., mean_wait: float | None = ..., wait_probability: float | None = ..., max_occupancy: float | None = ..., max_abandonment: float | None = ...) -> float: ...  # type: ignore[misc]
@overload
def erlangc_load(s: ArrayLike, *, service_level: ArrayLike | None = ..., answer_time: ArrayLike | None = ..., mean_wait: ArrayLike | None = ..., wait_probability: ArrayLike | None = ..., max_occupancy: ArrayLike | None = ..., max_abandonment: ArrayLike | None = ...) -> NDArray[np.float64]: ...

@overload
def erlanga_wait_probability(s: float, A: float, patience: float) -> float: ...  # type: ignore[misc]
@overload
def erlanga_wait_probability(s: ArrayLike, A: ArrayLike, patience: ArrayLike) -> NDArray[np.float64]: ...

@overload
def erlanga_abandonment(s: float, A: float, patience: float) -> float: ...  # type: ignore[misc]
@overload
def erlanga_abandonment(s: ArrayLike, A: ArrayLike, patience: ArrayLike) -> NDArray[np.float64]: ...

@overload
def erlanga_service_level(s: float, A: float, patience: float, t: float) -> float: ...  # type: ignore[misc]
@overload
def erlanga_service_level(s: ArrayLike, A: ArrayLike, patience: ArrayLike, t: ArrayLike) -> NDArray[np.float64]: ...

@overload
def erlanga_abandoned_within(s: float, A: float, patience: float, t: float) -> float: ...  # type: ignore[misc]
@overload
def erlanga_abandoned_within(s: ArrayLike, A: ArrayLike, patience: ArrayLike, t: ArrayLike) -> NDArray[np.float64]: ...

@overload
def erlanga_mean_wait(s: float, A: float, patience: float) -> float: ...  # type: ignore[misc]
@overload
def erlanga_mean_wait(s: ArrayLike, A: ArrayLike, patience: ArrayLike) -> NDArray[np.float64]: ...

@overload
def erlanga_agents(A: float, patience: float, *, service_level: float | None = ..., answer_time: float | None = ..., mean_wait: float | None = ..., wait_probability: float | None = ..., max_occupancy: float | None = ..., max_abandonment: float | None = ...) -> int: ...  # type: ignore[misc]
@overload
def erlanga_agents(A: ArrayLike, patience: ArrayLike, *, service_level: ArrayLike | None = ..., answer_time: ArrayLike | None = ..., mean_wait: ArrayLike | None = ..., wait_probability: ArrayLike | None = ..., max_occupancy: ArrayLike | None = ..., max_abandonment: ArrayLike | None = ...) -> NDArray[np.int64]: ...

@overload
def erlanga_fractional_agents(A: float, patience: float, *, service_level: float | None = ..., answer_time: float | None = ..., mean_wait: float | None = ..., wait_probability: float | None = ..., max_occupancy: float | None = ..., max_abandonment: float | None = ...) -> float: ...  # type: ignore[misc]
@overload
def erlanga_fractional_agents(A: ArrayLike, patience: ArrayLike, *, service_level: ArrayLike | None = ..., answer_time: ArrayLike | None = ..., mean_wait: ArrayLike | None = ..., wait_probability: ArrayLike | None = ..., max_occupancy: ArrayLike | None = ..., max_abandonment: ArrayLike | None = ...) -> NDArray[np.float64]: ...

@overload
def erlanga_load(s: float, patience: float, *, service_level: float | None = ..., answer_time: float | None = ..., mean_wait: float | None = ..., wait_probability: float | None = ..., max_occupancy: float | None = ..., max_abandonment: float | None = ...) -> float: ...  # type: ignore[misc]
@overload
def erlanga_load(s: ArrayLike, patience: ArrayLike, *, service_level: ArrayLike | None = ..., answer_time: ArrayLike | None = ..., mean_wait: ArrayLike | None = ..., wait_probability: ArrayLike | None = ..., max_occupancy: ArrayLike | None = ..., max_abandonment: ArrayLike | None = ...) -> NDArray[np.float64]: ...
