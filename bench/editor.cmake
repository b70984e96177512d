if(TARGET orvane_editor)
  orvane_bench(bench_editor SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_editor.cpp LIBS orvane_editor)
endif()
