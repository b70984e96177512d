// The precise mode's peak finder: looks between samples for the true peak of
// the band-limited signal, by interpolating the middle of a 64-sample window
// at fractional positions.
#pragma once

#include <cfloat>
#include <cmath>

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
  // window w[0] (oldest) .. w[63] (newest). What a float buffer cannot carry
  // is made safe on the way in: NaN is stored as 0, infinities and larger
  // magnitudes as +-FLT_MAX, and magnitudes below 1e-30 (-600 dB) as 0, so
  // the dot products can neither overflow nor meet denormal numbers.
  const double* push(double x) {
    double a = std::fabs(x);
    if (!(a <= FLT_MAX))  // also NaN, which then reads as silence
      x = x > 0.0 ? FLT_MAX : (x < 0.0 ? -FLT_MAX : 0.0);
    else if (a < 1e-30)
      x = 0.0;
    int i = index & 63;  // a corrupted index still stays inside the buffer
    data[i] = x;
    data[i + 64] = x;
    index = (i + 1) & 63;
    return data + index;
  }
};

// The window sample the interpolated values sit beside: with it they make
// one grid of quarter (or half) samples, w[31], 31.25, 31.5, 31.75. Every
// candidate therefore stands for the same moment of the signal, 32 samples
// after it entered, at every rate. (Offering the sample that leaves the
// window instead would set two moments 31 samples apart side by side, and
// the larger of the two, taken on every sample of a steady tone, is no peak
// of anything: it made the averaging needles read hot by up to 3 dB.)
constexpr int kPeakAlignedSample = 31;
constexpr int kPeakDelaySamples = 63 - kPeakAlignedSample;

// The detector for the engine's sample rate:
//  below 88200 Hz:        w[31] and three values interpolated between w[31]
//                         and w[32] (4x);
//  88200 up to 176400 Hz: w[31] and the half-sample value (2x);
//  176400 Hz and above:   w[31] alone (the signal is only delayed).
// The answer is the candidate of largest magnitude, the earliest on a tie,
// with its sign. A rate that is not a number gets the 4x detector.
enum class PeakMode { Oversample4x, Oversample2x, Delay };
PeakMode peakModeForRate(float sampleRate);

// `window` is the pointer PeakHistory::push returned (64 values, any
// alignment). Runs the fastest kernel this processor has.
double detectPeak(const double* window, PeakMode mode);

// The kernels behind detectPeak, for tests and benchmarks. Sse2 is the
// shipped baseline (a portable loop on processors without it); Avx2Fma is
// chosen at run time where the processor and the system support it. Both
// give the same peaks to within rounding (about 1e-15 relative).
enum class PeakKernel { Sse2, Avx2Fma };
bool peakKernelAvailable(PeakKernel kernel);
// Runs `kernel`, or Sse2 where `kernel` is not available.
double detectPeakWith(const double* window, PeakMode mode, PeakKernel kernel);

// The tables themselves (tools/peak-tables generates them), 32-byte aligned.
extern const double kPeakPhase1[64];  // h1: a quarter sample before w[32]
extern const double kPeakPhase2[64];  // h2: half-way, symmetric
extern const double kPeakPhase3[64];  // h3: h1 reversed
extern const double kHalfSample[64];  // the 2x table (g), symmetric
// h1's even and odd halves, (h1[k] +- h1[63-k]) / 2 for k = 0..31: with h3
// the mirror of h1, the kernels get y1 and y3 from one pass over the folded
// window.
extern const double kPeakPhase1Even[32];
extern const double kPeakPhase1Odd[32];

}  // namespace orvane
