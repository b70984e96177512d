# Sanitizer builds of the native tree, with nothing but Debian's g++:
#   -DORVANE_SANITIZE=address   AddressSanitizer and UndefinedBehaviorSanitizer
#                               (build/asan: the unit tests and the fuzz run)
#   -DORVANE_SANITIZE=thread    ThreadSanitizer (build/tsan: the tests where
#                               threads meet: audio, automation and editor)
# A finding ends the test program with an error, so ctest reports it.
set(ORVANE_SANITIZE "" CACHE STRING "Sanitizer build of the native tree: address or thread")
# orvane_sanitizer_defaults(<target>): a program of the AddressSanitizer
# build gets the leak suppressions for system libraries (LeakSuppressions.cpp).
function(orvane_sanitizer_defaults target)
  if(ORVANE_SANITIZE STREQUAL "address")
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/LeakSuppressions.cpp)
  endif()
endfunction()
if(NOT ORVANE_SANITIZE)
  return()
endif()
if(WIN32)
  message(FATAL_ERROR "ORVANE_SANITIZE is for the native build only")
endif()
if(ORVANE_SANITIZE STREQUAL "address")
  set(orvane_sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined)
elseif(ORVANE_SANITIZE STREQUAL "thread")
  set(orvane_sanitize_flags -fsanitize=thread)
  # Only the programs where threads meet run in this build: the editor's
  # (parameter hand-over to the window's thread), the plug-in binary's
  # (audio, automation and editor idles on three threads) and the
  # platform's (the processing lock).
  set(ORVANE_THREAD_TESTS editor_tests plugin_binary_tests platform_tests)
else()
  message(FATAL_ERROR "ORVANE_SANITIZE must be address or thread, not '${ORVANE_SANITIZE}'")
endif()
add_compile_options(${orvane_sanitize_flags} -fno-omit-frame-pointer -g)
add_link_options(${orvane_sanitize_flags})
# The sanitizers' defaults are what the tests want: an address error or
# undefined behaviour ends the program at once, a leak or a race makes it
# exit with an error at the end, and the report lands in the test's output.
