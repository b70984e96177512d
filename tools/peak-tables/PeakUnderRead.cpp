// orvane-peak-underread: how far below the true peak the 4x detector can read
// a full-scale sine, at 44.1 and 48 kHz, 20 Hz to 20 kHz, any phase.
//
//   orvane-peak-underread [phase steps per cycle, default 360]
//
// For each frequency and starting phase the sine runs through the detector for
// one period after the window has filled, and the largest magnitude the
// detector returns in that period is the reading: a single cycle is the
// hardest case, since a steady tone slides its crests past the quarter-sample
// grid and is read ever closer to its peak. Frequencies step by 1/96 octave
// from 20 Hz and by 1 Hz from 10 kHz to 20 kHz, where the worst cases are.
// The grid bound printed beside the worst case is what a perfect 4x
// interpolator would read with the crest half-way between two of its points:
// 20 log10(cos(pi f / (4 fs))).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "meters/PeakDetector.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Reading {
  double dB = 0.0;  // reading relative to the true peak
  double freq = 0.0, phaseDeg = 0.0;
};

// The largest magnitude read over one period after the window has filled.
double readCycle(double fs, double f, double phase) {
  orvane::PeakHistory h;
  h.clear();
  int period = static_cast<int>(std::ceil(fs / f));
  double w = 2.0 * kPi * f / fs;
  double peak = 0.0;
  for (int n = 0; n < 64 + period; ++n) {
    // The plug-in meters float buffers, so the test tone is rounded the same.
    double x = static_cast<float>(std::sin(w * n + phase));
    double y = orvane::detectPeak(h.push(x), orvane::PeakMode::Oversample4x);
    if (n >= 63) peak = std::fmax(peak, std::fabs(y));
  }
  return 20.0 * std::log10(peak);
}

}  // namespace

int main(int argc, char** argv) {
  int phases = argc > 1 ? std::atoi(argv[1]) : 360;
  if (phases < 1) phases = 360;

  std::vector<double> freqs;
  for (double f = 20.0; f < 10000.0; f *= std::pow(2.0, 1.0 / 96.0)) freqs.push_back(f);
  for (double f = 10000.0; f <= 20000.0; f += 1.0) freqs.push_back(f);

  const double bands[] = {20.0, 1000.0, 5000.0, 10000.0, 15000.0, 18000.0, 20000.01};
  const int nBands = sizeof bands / sizeof bands[0] - 1;

  std::printf("4x detector, full-scale sines, one cycle, %d phases per cycle\n", phases);
  for (double fs : {44100.0, 48000.0}) {
    Reading worst, over;
    worst.dB = 1e9;
    over.dB = -1e9;
    std::vector<Reading> bandWorst(nBands);
    for (auto& b : bandWorst) b.dB = 1e9;
    for (double f : freqs) {
      for (int p = 0; p < phases; ++p) {
        double phase = 2.0 * kPi * p / phases;
        Reading r{readCycle(fs, f, phase), f, 360.0 * p / phases};
        if (r.dB < worst.dB) worst = r;
        if (r.dB > over.dB) over = r;
        for (int b = 0; b < nBands; ++b)
          if (f >= bands[b] && f < bands[b + 1] && r.dB < bandWorst[b].dB) bandWorst[b] = r;
      }
    }
    std::printf("\n%.1f kHz\n", fs / 1000.0);
    std::printf("  worst under-read %.4f dB at %.1f Hz, phase %.1f deg (grid bound %.4f dB)\n", -worst.dB,
                worst.freq, worst.phaseDeg, -20.0 * std::log10(std::cos(kPi * worst.freq / (4.0 * fs))));
    std::printf("  largest over-read %.4f dB at %.1f Hz, phase %.1f deg\n", over.dB, over.freq, over.phaseDeg);
    for (int b = 0; b < nBands; ++b)
      std::printf("  %7.0f .. %5.0f Hz: worst under-read %.4f dB at %.1f Hz, phase %.1f deg\n", bands[b],
                  std::floor(bands[b + 1]), -bandWorst[b].dB, bandWorst[b].freq, bandWorst[b].phaseDeg);
  }
  return 0;
}
