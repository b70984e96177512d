if(TARGET orvane_core)
  orvane_bench(bench_audio_path SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_audio_path.cpp LIBS orvane_core)
endif()
