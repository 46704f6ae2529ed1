# SPDX-License-Identifier: MIT
# The package's contents are the extension's; see its docstring.
from ._teletraffic import *  # noqa: F401,F403
from ._teletraffic import __all__, __doc__, __version__  # noqa: F401
