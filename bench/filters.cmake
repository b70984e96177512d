orvane_bench(bench_filters SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_filters.cpp LIBS orvane_filters)
