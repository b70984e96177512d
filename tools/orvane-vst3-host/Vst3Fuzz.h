// Random calls through the VST 3 boundary: damaged state streams of any
// length, parameter ids out of range, NaN and out-of-range values, odd bus
// arrangements and channel counts, calls in the wrong order. A run fails on
// a NaN or infinity in the output (a crash ends it anyway).
#pragma once

#include <cstdint>
#include <string>

#include "tools/orvane-vst3-host/Vst3Host.h"

namespace vst3host {

struct FuzzResult {
  long steps = 0;
  std::string failure;  // empty when none
};

// `steps` steps from `seed`; ends early after `seconds` when above 0.
FuzzResult fuzz(Module& module, uint64_t seed, long steps, double seconds = 0);

}  // namespace vst3host
