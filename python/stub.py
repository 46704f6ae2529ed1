# SPDX-License-Identifier: MIT
"""Writes the package's type stub (__init__.pyi) from the extension's own
declarations of its functions, so that the stub cannot drift from them:
a ufunc is typed as one, a wrapper by its signature.

    python3 python/stub.py OUTPUT    (the built package on PYTHONPATH)
"""
import importlib
import sys

# The built package on PYTHONPATH, not the source folder beside this script,
# which Python would search first.
sys.path.remove(sys.path[0])
_teletraffic = importlib.import_module("teletraffic._teletraffic")

HEAD = '''# SPDX-License-Identifier: MIT
# Types of the teletraffic module, written by python/stub.py from the
# module's declarations at build time. A function whose arguments are all
# numbers is a numpy ufunc (numpy's own stubs type its calls); the others
# wrap one, and take its keywords (out=, where=, ...) as well as theirs.
from typing import Any, Literal, NamedTuple

import numpy as np
from numpy.typing import ArrayLike

__version__: str

erlangb_max_load: float
erlangb_max_circuits: int
overflow_min_mean: float
overflow_max_mean: float
overflow_max_peakedness: float
overflow_min_target: float

class Traffic(NamedTuple):
    mean: Any
    variance: Any

class EquivalentRandom(NamedTuple):
    load: Any
    circuits: Any
'''

TARGETS = ("service_level", "answer_time", "mean_wait", "wait_probability",
           "max_occupancy", "max_abandonment", "max_blocking")
SERVICE_LEVEL_OF = "service_level_of: Literal['offered', 'answered', 'virtual'] = ..."
METHOD = "method: Literal['equivalent_random', 'rapp', 'hayward'] = ..."


def declaration(name, args, keywords):
    """The stub's line for one function."""
    if keywords == "none":
        return f"{name}: np.ufunc"
    params = [f"{a.strip()}: ArrayLike" for a in args.split(",")]
    if keywords == "targets":
        params += ["*"] + [f"{t}: ArrayLike | None = ..." for t in TARGETS] + [SERVICE_LEVEL_OF]
    else:
        params.append(METHOD)
    return f"def {name}({', '.join(params)}, **kwargs: Any) -> Any: ..."


def main(output):
    lines = [HEAD]
    lines += [declaration(name, args, keywords)
              for name, args, _, keywords, _ in _teletraffic._functions]
    with open(output, "w") as stub:
        stub.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main(sys.argv[1])
