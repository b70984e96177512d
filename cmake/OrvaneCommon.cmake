# Compiler settings shared by the three builds, and the helpers that every
# folder uses to declare its libraries and tests.

set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE Release CACHE STRING "" FORCE)
endif()

# The shipped optimisation: plain -O2 for the SSE2 baseline that every x86-64
# processor has. No -march=native: the benchmarks measure what users run.
# Floating point must round the same way in every build (the trim glide and
# the meters are specified in exact single/double steps), so the 32-bit build
# uses SSE2 arithmetic instead of the x87 stack, and no build contracts a*b+c.
set(CMAKE_CXX_FLAGS_RELEASE "-O2")
set(CMAKE_C_FLAGS_RELEASE "-O2")
add_compile_options(-Wall -Wextra -ffp-contract=off)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "i686|i386|x86$")
  add_compile_options(-msse2 -mfpmath=sse)
endif()

if(WIN32)
  set(ORVANE_WINDOWS ON)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  # libstdc++, libgcc and winpthread go into every binary: a user's machine has
  # only the DLLs that ship with Windows.
  add_link_options(-static -static-libgcc -static-libstdc++)
else()
  set(ORVANE_WINDOWS OFF)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/Sanitizers.cmake)

# GoogleTest, compiled from Debian's sources for each toolchain.
set(ORVANE_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
if(ORVANE_BUILD_TESTS AND NOT TARGET gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(${ORVANE_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL)
  foreach(t gtest gtest_main gmock gmock_main)
    if(TARGET ${t})
      target_compile_options(${t} PRIVATE -w)
    endif()
  endforeach()
endif()

# orvane_test(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>]
#             [ARGS <args...>] [WORKING_DIRECTORY <dir>] [BITMAPS] [DISPLAY] [PLUGIN])
# One test program, run by ctest; under the Windows builds it runs in Wine.
#   BITMAPS  the Windows program carries the plug-in's bitmaps as resources,
#            as the DLL does (natively they are read from resources/).
#   DISPLAY  the Windows program runs on a virtual display of its own: Wine's
#            Direct2D draws through OpenGL and so needs an X server.
#   PLUGIN   the test drives the shipped binary through the test host: it
#            runs in the plug-in's folder once the plug-in is built, and the
#            native plug-in keeps its per-user values in the build folder's
#            XDG configuration folder, never the user's own.
function(orvane_test name)
  cmake_parse_arguments(T "BITMAPS;DISPLAY;PLUGIN" "WORKING_DIRECTORY" "SOURCES;LIBS;LABELS;ARGS" ${ARGN})
  if(NOT ORVANE_BUILD_TESTS)
    return()
  endif()
  if(ORVANE_SANITIZE STREQUAL "thread" AND NOT name IN_LIST ORVANE_THREAD_TESTS)
    return()
  endif()
  set(sources ${T_SOURCES})
  if(T_BITMAPS AND WIN32)
    enable_language(RC)
    list(APPEND sources ${PROJECT_SOURCE_DIR}/resources/orvane.rc)
  endif()
  add_executable(${name} ${sources})
  orvane_sanitizer_defaults(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gmock gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  if(T_BITMAPS AND WIN32)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/resources)
  endif()
  set(wd ${CMAKE_CURRENT_BINARY_DIR})
  if(T_PLUGIN)
    set(wd ${ORVANE_PLUGIN_DIR})
    add_dependencies(${name} orvane_plugin)
  endif()
  if(T_WORKING_DIRECTORY)
    set(wd ${T_WORKING_DIRECTORY})
  endif()
  add_test(NAME ${name} COMMAND ${name} ${T_ARGS} WORKING_DIRECTORY ${wd})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
  if(T_DISPLAY AND WIN32)
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
      "${PROJECT_SOURCE_DIR}/tests/toolkit/run-with-display.sh;${CMAKE_CROSSCOMPILING_EMULATOR}")
  endif()
  if(T_PLUGIN AND NOT WIN32)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/xdg-config")
  endif()
endfunction()

# orvane_test_path(<var> <path>): a path of this machine as the test program
# sees it: under Wine the Unix root is drive Z:.
function(orvane_test_path var path)
  if(WIN32)
    set(${var} "Z:${path}" PARENT_SCOPE)
  else()
    set(${var} "${path}" PARENT_SCOPE)
  endif()
endfunction()

# orvane_test_plugin_file(<var>): the shipped binary as the test host names
# it from the plug-in's folder.
function(orvane_test_plugin_file var)
  if(WIN32)
    set(${var} "${ORVANE_PLUGIN_NAME}.dll" PARENT_SCOPE)
  else()
    set(${var} "./${ORVANE_PLUGIN_NAME}.so" PARENT_SCOPE)
  endif()
endfunction()

# orvane_platform_sources(<var> <dir>): the *.cpp of a folder for this build.
# Foo.cpp builds everywhere, Foo_win.cpp only for Windows, Foo_posix.cpp only
# for the native build.
function(orvane_platform_sources var dir)
  file(GLOB all_sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  set(sources)
  foreach(f ${all_sources})
    if(f MATCHES "_win\\.cpp$")
      if(WIN32)
        list(APPEND sources ${f})
      endif()
    elseif(f MATCHES "_posix\\.cpp$")
      if(NOT WIN32)
        list(APPEND sources ${f})
      endif()
    else()
      list(APPEND sources ${f})
    endif()
  endforeach()
  set(${var} ${sources} PARENT_SCOPE)
endfunction()
