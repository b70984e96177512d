# The precise mode's peak detector: push + detect for both channels of a
# stereo frame, per detector mode and kernel. Built from the detector's own
# sources so it runs while the rest of the meters library is in progress.
orvane_bench(bench_peak
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_peak.cpp
          ${PROJECT_SOURCE_DIR}/meters/PeakDetector.cpp
          ${PROJECT_SOURCE_DIR}/meters/PeakTables.cpp)
