# The VST 3 process call against the VST 2.4 one, both binaries of this build.
if(TARGET orvane_plugin AND TARGET orvane_vst3_plugin AND TARGET orvane_vsthost AND TARGET orvane_vst3host)
  orvane_bench(bench_vst3 SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_vst3.cpp LIBS orvane_vsthost orvane_vst3host)
  target_compile_definitions(bench_vst3 PRIVATE ORVANE_BENCH_PLUGIN="$<TARGET_FILE:orvane_plugin>"
    ORVANE_BENCH_VST3="$<TARGET_FILE:orvane_vst3_plugin>")
  add_dependencies(bench_vst3 orvane_plugin orvane_vst3_plugin)
endif()
