# The meters' cost per stereo frame: the shared front end alone, and each
# engine with precise mode off and on.
orvane_bench(bench_meters
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_meters.cpp
  LIBS orvane_meters)
