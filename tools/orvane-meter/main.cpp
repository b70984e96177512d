// orvane-meter: meters a sound file through the ZEL Orvane effect, offline.
#include <cstdio>

#include "tools/orvane-meter/MeterTool.h"
#include "tools/orvane-meter/Progress.h"

int main(int argc, char** argv) {
  using namespace orvane::metertool;
  return runMeterTool(argc, argv, stdout, stderr, standardErrorIsTerminal());
}
