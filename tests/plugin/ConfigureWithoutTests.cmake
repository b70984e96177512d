# A packager's configuration: ORVANE_BUILD_TESTS=OFF must configure cleanly
# and still offer the plug-in and the offline tool, with no test program and
# no GoogleTest in the build. Run by ctest as
#   cmake -DSOURCE_DIR=... -DSCRATCH_DIR=... -DCXX=... -DC=... -P ConfigureWithoutTests.cmake
# Configuring takes seconds; the compile itself is what the normal build
# already checks, so it is not repeated here.
file(REMOVE_RECURSE "${SCRATCH_DIR}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${SCRATCH_DIR}" -DORVANE_BUILD_TESTS=OFF
          -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_C_COMPILER=${C} -DCMAKE_BUILD_TYPE=Release
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "configuring with ORVANE_BUILD_TESTS=OFF failed:\n${out}\n${err}")
endif()
if(err MATCHES "CMake (Error|Warning)")
  message(FATAL_ERROR "configuring with ORVANE_BUILD_TESTS=OFF was not clean:\n${err}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build "${SCRATCH_DIR}" --target help
  RESULT_VARIABLE rc OUTPUT_VARIABLE targets)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the configured build lists no targets")
endif()
foreach(wanted orvane_plugin orvane-meter)
  if(NOT targets MATCHES "\\.\\.\\. ${wanted}\n")
    message(FATAL_ERROR "ORVANE_BUILD_TESTS=OFF lost the target ${wanted}")
  endif()
endforeach()
if(targets MATCHES "_tests\n" OR targets MATCHES "\\.\\.\\. gtest")
  message(FATAL_ERROR "ORVANE_BUILD_TESTS=OFF still builds tests:\n${targets}")
endif()
file(REMOVE_RECURSE "${SCRATCH_DIR}")
message(STATUS "ORVANE_BUILD_TESTS=OFF configures the plug-in and the tool, and no test")
