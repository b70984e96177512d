# The meters' cost per stereo frame: the shared front end alone, and each
# engine with precise mode off and on.
orvane_bench(bench_meters
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_meters.cpp
  LIBS orvane_meters)
# The engines through the plug-in's processReplacing, against a baseline
# build of the plug-in (ORVANE_BASELINE_PLUGIN) in the same process.
if(TARGET orvane_plugin AND TARGET orvane_vsthost)
  orvane_bench(bench_engines_ab SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_engines_ab.cpp LIBS orvane_vsthost)
  target_compile_definitions(bench_engines_ab PRIVATE ORVANE_BENCH_PLUGIN="$<TARGET_FILE:orvane_plugin>")
  add_dependencies(bench_engines_ab orvane_plugin)
endif()
