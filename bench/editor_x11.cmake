# The editor in an X11 child window (needs an X display when run, e.g.
# tests/x11/run-with-xvfb.sh build/native/bench/bench_editor_x11).
if(TARGET orvane_editor)
  orvane_bench(bench_editor_x11 SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_editor_x11.cpp LIBS orvane_editor)
endif()
