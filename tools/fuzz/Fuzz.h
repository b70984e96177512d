// The host-boundary fuzzer: one seeded run against a plug-in's entry point.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace fuzz {

struct Options {
  uint64_t seed = 1;
  uint64_t steps = 10000;
  bool trace = false;               // every step's action on stderr
  std::function<bool()> deadline;   // asked between steps; true ends the run early
};

struct Result {
  uint64_t steps = 0;       // steps done (the failing one included)
  uint64_t failedStep = 0;  // meaningful when failure is not empty
  std::string failure;      // empty: every check held
};

// `entry` is the binary's VSTPluginMain.
Result run(void* entry, const Options& options);

// The step under way, for a crash report.
extern std::atomic<uint64_t> currentStep;

}  // namespace fuzz
