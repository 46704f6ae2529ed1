# SPDX-License-Identifier: MIT
# The Debian packages, made by `cpack -G DEB` from a build configured with
# -DCMAKE_INSTALL_PREFIX=/usr (the `deb` presets): erlangb, the programs,
# libvizaza-dev and libteletraffic-dev, the libraries for C++17 programs,
# python3-teletraffic, the Python module, where it is built, and
# erlangb-web, the web page, where the web preset has built it.
set(ERLANGB_MAINTAINER "The erlangb developers <erlangb-dev@example.org>"
  CACHE STRING "Maintainer field of the Debian packages")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME erlangb)
set(CPACK_PACKAGE_VENDOR "The erlangb developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# Each package's description below starts with its own summary line; an
# empty common summary keeps CPack from putting the project's in front.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL programs vizaza teletraffic)
if(TARGET _teletraffic)
  list(APPEND CPACK_COMPONENTS_ALL python)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ERLANGB_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SOURCE erlangb)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # Depends: from the binaries, by dpkg-shlibdeps
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME erlangb)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PROGRAMS_DESCRIPTION "Erlang B and Erlang C: blocking, sizing, overflow and staffing
erlangb asks for the circuits of a loss system and the traffic offered to
them, and prints the blocking probability and the circuits' utilization.
erlangb-size asks for the offered load and a blocking target, and prints the
circuits the target needs, their blocking and utilization, and the most
traffic they carry while meeting it. erlangb-table answers all three
questions from the command line, one value or a whole table of them (the
classic Erlang B table among them), as text or CSV, for scripts.
erlangb-overflow sizes a final group offered overflow traffic by the
equivalent random method, Rapp's or Hayward's. erlangc gives the wait
probability, service level and mean wait of agents whose calls queue, and
the agents a load needs to meet targets on them. Both erlangc and
erlangb-table also answer the rows of a planning file in CSV, a day's
forecast or a route list, with totals.")

set(CPACK_DEBIAN_VIZAZA_PACKAGE_NAME libvizaza-dev)
set(CPACK_DEBIAN_VIZAZA_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_VIZAZA_DESCRIPTION "console dialogue library for C++17 programs
vizaza asks questions at the console and reads typed answers a line at a
time: integers, reals, digits, yes/no and words, each with a default, a
range hint after a wrong answer, a retry limit and a fatal exit. This
package holds the header, the static library, a CMake package
(find_package(vizaza)), a pkg-config module and the manual page vizaza(3).")

set(CPACK_DEBIAN_TELETRAFFIC_PACKAGE_NAME libteletraffic-dev)
set(CPACK_DEBIAN_TELETRAFFIC_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_TELETRAFFIC_DESCRIPTION "teletraffic functions for C++17 programs
teletraffic computes the Erlang B blocking probability of a loss system,
the circuits a blocking target needs and the load they carry at it, the
continuous Erlang B function of a real number of circuits with its two
inverses, overflow traffic by the equivalent random method, and Erlang C
with staffing for waiting systems, each with its domain, accuracy and cost
stated. This package
holds the headers, the static library, a CMake package
(find_package(teletraffic)), a pkg-config module and the manual page
teletraffic(3).")

# The extension is built for one Python version, which the package names;
# numpy's C interface is looked up when the module loads.
if(TARGET _teletraffic)
  math(EXPR next_minor "${ERLANGB_PYTHON_VERSION_MINOR} + 1")
  set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-teletraffic)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
    "python3 (>= 3.${ERLANGB_PYTHON_VERSION_MINOR}~), python3 (<< 3.${next_minor}), ${ERLANGB_NUMPY_DEPENDS}")
  set(CPACK_DEBIAN_PYTHON_DESCRIPTION "teletraffic functions for Python, as numpy ufuncs
The Python module teletraffic computes the Erlang B blocking probability,
the circuits a blocking target needs and the load they carry at it, the
continuous Erlang B function with its inverses, overflow traffic by the
equivalent random method, Erlang C and Erlang A (callers who abandon) with
staffing, each with its domain, accuracy and cost stated. Every function
is a numpy ufunc, or a thin wrapper over one, and gives NaN outside its
domain; pandas, xarray, dask and masked arrays keep their kind. It is the
C++ library of libteletraffic-dev, bound with pybind11 and numpy's C
interface, and ships a type stub.")
endif()

# The web page: a page, a script and styles, for any machine.
if(ERLANGB_WEB_DIR AND EXISTS ${ERLANGB_WEB_DIR}/erlangb.js)
  list(APPEND CPACK_COMPONENTS_ALL web)
  set(CPACK_DEBIAN_WEB_PACKAGE_NAME erlangb-web)
  set(CPACK_DEBIAN_WEB_PACKAGE_SECTION web)
  set(CPACK_DEBIAN_WEB_PACKAGE_ARCHITECTURE all)
  set(CPACK_DEBIAN_WEB_DESCRIPTION "Erlang B, overflow and Erlang C calculator as a web page
The erlangb programs erlangb-table, erlangb-overflow and erlangc compiled to
WebAssembly, in a static page that answers as the user types, with a table,
a CSV download and a chart beside each answer, and a link that is the
command line. It works opened from disk or from any static web server and
makes no network request once loaded. This package holds the page under
/usr/share/erlangb/web/, for teams that host it on their own network.")
endif()

include(CPack)
