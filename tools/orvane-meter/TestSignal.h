// A short programme that shows what each meter does: a tone step that reads
// 0 VU, tone bursts at the PPM's reference, pink-ish noise, a tone whose
// peaks fall between the samples, and a clipped passage. Deterministic: the
// same length and rate always give the same samples.
#pragma once

#include <string>
#include <vector>

#include "tools/orvane-meter/ToolOptions.h"

namespace orvane {
namespace metertool {

struct ProgrammeSection {
  std::string name;
  double start, end;  // seconds
};

// The sections of the programme, scaled to spec.seconds.
std::vector<ProgrammeSection> programmeSections(const TestSignalSpec& spec);

// One array per channel (spec.channels of them). The right channel differs
// from the left: bursts 6 dB down, its own noise, no clipping.
std::vector<std::vector<float>> makeTestProgramme(const TestSignalSpec& spec);

// Levels used, in dBFS of the sample peak (noise: of its RMS).
constexpr double kStepPeakDbfs = -18.0;    // 0 VU at the VU meter's first-run reference
constexpr double kBurstPeakDbfs = -12.0;   // the PPM's first-run reference
constexpr double kNoiseRmsDbfs = -20.0;
constexpr double kTruePeakDbtp = 1.0;      // samples at -2 dBFS, peaks between them at +1
constexpr double kClipDriveDb = 6.0;       // a sine 6 dB past full scale, clipped

}  // namespace metertool
}  // namespace orvane
