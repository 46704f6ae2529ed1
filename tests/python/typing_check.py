# SPDX-License-Identifier: MIT
# Calls as a user writes them, which mypy --strict must accept against the
# package's stub: numbers give numpy scalars, arrays give arrays.
import numpy as np
from numpy.typing import NDArray

import teletraffic as tt

blocking: float = tt.erlangb(10, 5.0)
agents: int = tt.erlangc_agents(10.0, service_level=0.8, answer_time=0.1)
column: NDArray[np.float64] = tt.erlangb_continuous(np.arange(3.0), 5.0)
counts: NDArray[np.int64] = tt.erlanga_agents([1.0, 2.0], 1.0, max_abandonment=0.05)
lines: int = tt.erlangx_agents(10.0, 16, 1.0, 0.3, service_level=0.8, answer_time=0.1,
                               service_level_of="virtual")
mean, variance = tt.erlangb_overflow(10, 8.0)
group = tt.EquivalentRandom(*tt.erlangb_equivalent_random(mean, variance))
lost: float = tt.erlangb_overflow_blocking(mean, variance, 5, method="hayward")
print(blocking, agents, lines, column, counts, group.load, lost, tt.__version__)
