# Run by CTest: install, check the installed files, build and run a consumer.
cmake_minimum_required(VERSION 3.16)
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
foreach(file bin/erlangb bin/erlangb-size share/man/man1/erlangb.1 share/man/man1/erlangb-size.1
             include/vizaza.h lib*/libvizaza.a
             lib*/cmake/vizaza/vizazaConfig.cmake lib*/cmake/vizaza/vizazaConfigVersion.cmake)
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

file(WRITE ${WORK_DIR}/answers "x\n12\n")
execute_process(COMMAND ${WORK_DIR}/build/consumer INPUT_FILE ${WORK_DIR}/answers
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
string(ASCII 7 bell)
if(NOT status EQUAL 0 OR NOT out STREQUAL "${bell}12\n" OR NOT err STREQUAL "dozen [0] > dozen (-1000000000::1000000000) [0] > ")
  message(FATAL_ERROR "consumer: status ${status}, out '${out}', err '${err}'")
endif()
