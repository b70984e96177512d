// The precise mode's peak finder: looks between samples for the true peak of
// the band-limited signal, by interpolating the middle of a 64-sample window
// at fractional positions.
#pragma once

namespace orvane {

// One channel's input history for the precise mode. The 64 most recent
// samples are kept twice in a row, so the window from the oldest to the
// newest sample is always contiguous in memory and the dot products run
// without wrapping.
struct PeakHistory {
  alignas(32) double data[128];
  int index;  // write index 0..63: the slot of the oldest sample

  void clear();
  // Stores `x` as the newest sample (it replaces the oldest) and returns the
  // window w[0] (oldest) .. w[63] (newest).
  const double* push(double x);
};

// The detector for the engine's sample rate:
//  below 88200 Hz:        w[0] and three values interpolated between w[31]
//                         and w[32] (4x);
//  88200 up to 176400 Hz: w[0] and the half-sample value (2x);
//  176400 Hz and above:   w[0] alone (the signal is only delayed).
// The answer is the candidate of largest magnitude, the earliest on a tie,
// with its sign.
enum class PeakMode { Oversample4x, Oversample2x, Delay };
PeakMode peakModeForRate(float sampleRate);

double detectPeak(const double* window, PeakMode mode);

// The tables themselves, for tests and for the design script's checks.
extern const double kPeakPhase1[64];  // h1: a quarter sample before w[32]
extern const double kPeakPhase2[64];  // h2: half-way, symmetric
extern const double kPeakPhase3[64];  // h3: h1 reversed
extern const double kHalfSample[64];  // the 2x table (g), symmetric

}  // namespace orvane
