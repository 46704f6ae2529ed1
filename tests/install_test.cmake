# SPDX-License-Identifier: MIT
# Run by CTest: install, check the installed files, build and run the
# consumers of both libraries through their CMake packages and through
# pkg-config, and, where PYTHON is given, import the Python package from
# where it was installed.
cmake_minimum_required(VERSION 3.16)
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
foreach(file bin/erlangb bin/erlangb-size bin/erlangb-table bin/erlangb-overflow bin/erlangc
             share/man/man1/erlangb-overflow.1.gz share/man/man1/erlangc.1.gz
             include/teletraffic/overflow.h include/teletraffic/erlangc.h include/teletraffic/erlanga.h
             include/teletraffic/erlangx.h
             share/man/man1/erlangb.1.gz
             share/man/man1/erlangb-table.1.gz share/man/man3/vizaza.3.gz
             share/man/man1/erlangb-size.1.gz share/doc/erlangb/copyright
             share/doc/libvizaza-dev/changelog.gz include/vizaza.h lib*/libvizaza.a
             lib*/cmake/vizaza/vizazaConfig.cmake lib*/cmake/vizaza/vizazaConfigVersion.cmake
             lib*/pkgconfig/vizaza.pc include/teletraffic/erlangb.h lib*/libteletraffic.a
             lib*/cmake/teletraffic/teletrafficConfig.cmake
             lib*/cmake/teletraffic/teletrafficConfigVersion.cmake lib*/pkgconfig/teletraffic.pc
             share/man/man3/teletraffic.3.gz share/doc/libteletraffic-dev/copyright)
  file(GLOB found ${prefix}/${file})
  if(NOT found)
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/build
  -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX} "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}/build OUTPUT_QUIET
  COMMAND_ERROR_IS_FATAL ANY)

# The pkg-config modules name the prefix installed to; a plain compiler
# command builds the same consumers with their flags.
file(GLOB pc_dir ${prefix}/lib*/pkgconfig)
set(ENV{PKG_CONFIG_PATH} ${pc_dir})
find_program(PKG_CONFIG pkg-config REQUIRED)
separate_arguments(flags UNIX_COMMAND "${CXX_FLAGS}")
foreach(module vizaza teletraffic)
  execute_process(COMMAND ${PKG_CONFIG} --variable=prefix ${module} OUTPUT_VARIABLE pc_prefix
    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  if(NOT pc_prefix STREQUAL prefix)
    message(FATAL_ERROR "${module}.pc names prefix '${pc_prefix}', installed to '${prefix}'")
  endif()
  execute_process(COMMAND ${PKG_CONFIG} --cflags --libs ${module} OUTPUT_VARIABLE pc_flags
    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
  execute_process(COMMAND ${CXX} ${flags} -std=c++17 ${CONSUMER_DIR}/${module}.cpp ${pc_flags}
    -o ${WORK_DIR}/pc_${module} COMMAND_ERROR_IS_FATAL ANY)
endforeach()

file(WRITE ${WORK_DIR}/answers "x\n12\n")
string(ASCII 7 bell)
foreach(consumer build/vizaza_consumer pc_vizaza)
  execute_process(COMMAND ${WORK_DIR}/${consumer} INPUT_FILE ${WORK_DIR}/answers
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT out STREQUAL "${bell}12\n"
     OR NOT err STREQUAL "dozen [0] > dozen (-1000000000::1000000000) [0] > ")
    message(FATAL_ERROR "${consumer}: status ${status}, out '${out}', err '${err}'")
  endif()
endforeach()
foreach(consumer build/teletraffic_consumer pc_teletraffic)
  execute_process(COMMAND ${WORK_DIR}/${consumer} OUTPUT_VARIABLE out RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT out STREQUAL "blocking 3.455725e-01\ntrunks for 1 %: 46\nagents: 12\n")
    message(FATAL_ERROR "${consumer}: status ${status}, out '${out}'")
  endif()
endforeach()

if(PYTHON)
  set(ENV{PYTHONPATH} ${prefix}/lib/python3/dist-packages)
  execute_process(COMMAND ${PYTHON} -c
    "import teletraffic; print(teletraffic.__file__); print(teletraffic.erlangb_circuits(34.2, 0.01))"
    OUTPUT_VARIABLE out RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT out STREQUAL
     "${prefix}/lib/python3/dist-packages/teletraffic/__init__.py\n46\n")
    message(FATAL_ERROR "python: status ${status}, out '${out}'")
  endif()
endif()
