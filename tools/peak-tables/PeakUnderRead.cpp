// orvane-peak-underread: how far below the true peak the 4x detector can read
// a full-scale sine, at 44.1 and 48 kHz, 20 Hz to 20 kHz, any phase.
//
//   orvane-peak-underread [phase steps per cycle, default 72]
//
// For each frequency and starting phase the sine runs through the detector
// after the window has filled, and the largest magnitude the detector returns
// is the reading. The reading spans 32 samples more than two cycles (at least
// 10 ms). The detector offers all four quarter-sample points of a moment at
// once (the window sample w[31] and the three points after it), so two
// cycles would do; the 32 samples keep the span, and so the figures, those
// of the surveys before the window sample moved there. Frequencies step by 1/96
// octave from 20 Hz and by 1 Hz from 10 kHz to 20 kHz, where the worst cases
// are; the worst case found is then refined in 0.05 Hz and finer phase
// steps. The phase matters only where the tone's period is a short rational
// number of samples (2/5 of the rate: 2.5 samples), so that its crests keep
// meeting the grid at the same few offsets. The grid bound printed beside the
// worst case is what a perfect 4x interpolator would read with a crest
// half-way between two of its points: 20 log10(cos(pi f / (4 fs))).
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

// The largest magnitude read over `outputs` samples after the window has
// filled, in dB relative to the true peak.
double read(double fs, double f, double phase, int outputs) {
  orvane::PeakHistory h;
  h.clear();
  double w = 2.0 * kPi * f / fs;
  double peak = 0.0;
  for (int n = 0; n < 63 + outputs; ++n) {
    // The plug-in meters float buffers, so the test tone is rounded the same.
    double x = static_cast<float>(std::sin(w * n + phase));
    double y = orvane::detectPeak(h.push(x), orvane::PeakMode::Oversample4x);
    if (n >= 63) peak = std::fmax(peak, std::fabs(y));
  }
  return 20.0 * std::log10(peak);
}

struct Survey {
  Reading worst, over;
  std::vector<Reading> bandWorst;
};

const double kBands[] = {20.0, 1000.0, 5000.0, 10000.0, 15000.0, 18000.0, 20000.01};
const int kBandCount = sizeof kBands / sizeof kBands[0] - 1;

void consider(Survey& s, double fs, double f, double phase) {
  int outputs = static_cast<int>(std::ceil(32.0 + std::fmax(2.0 * fs / f, 0.01 * fs)));
  Reading r{read(fs, f, phase, outputs), f, phase * 180.0 / kPi};
  if (r.dB < s.worst.dB) s.worst = r;
  if (r.dB > s.over.dB) s.over = r;
  for (int b = 0; b < kBandCount; ++b)
    if (f >= kBands[b] && f < kBands[b + 1] && r.dB < s.bandWorst[b].dB) s.bandWorst[b] = r;
}

Survey survey(double fs, const std::vector<double>& freqs, int phases) {
  Survey s;
  s.worst.dB = 1e9;
  s.over.dB = -1e9;
  s.bandWorst.assign(kBandCount, s.worst);
  for (double f : freqs)
    for (int p = 0; p < phases; ++p) consider(s, fs, f, 2.0 * kPi * p / phases);
  double centre = s.worst.freq;
  for (double f = centre - 2.0; f <= centre + 2.0; f += 0.05)
    for (int p = 0; p < 8 * phases; ++p) consider(s, fs, f, 2.0 * kPi * p / (8 * phases));
  return s;
}

void print(const Survey& s, double fs) {
  std::printf("  worst under-read %.4f dB at %.1f Hz, phase %.1f deg (grid bound there %.4f dB)\n", -s.worst.dB,
              s.worst.freq, s.worst.phaseDeg, -20.0 * std::log10(std::cos(kPi * s.worst.freq / (4.0 * fs))));
  std::printf("  largest over-read %.4f dB at %.1f Hz, phase %.1f deg\n", s.over.dB, s.over.freq, s.over.phaseDeg);
  for (int b = 0; b < kBandCount; ++b)
    std::printf("  %5.0f .. %5.0f Hz: worst under-read %.4f dB at %.1f Hz, phase %.1f deg\n", kBands[b],
                std::floor(kBands[b + 1]), -s.bandWorst[b].dB, s.bandWorst[b].freq, s.bandWorst[b].phaseDeg);
}

}  // namespace

int main(int argc, char** argv) {
  int phases = argc > 1 ? std::atoi(argv[1]) : 72;
  if (phases < 1) phases = 72;

  std::vector<double> freqs;
  for (double f = 20.0; f < 10000.0; f *= std::pow(2.0, 1.0 / 96.0)) freqs.push_back(f);
  for (double f = 10000.0; f <= 20000.0; f += 1.0) freqs.push_back(f);

  std::printf("4x detector, full-scale sines, 20 Hz .. 20 kHz, %d phases per cycle\n", phases);
  for (double fs : {44100.0, 48000.0}) {
    std::printf("\n%.1f kHz\n", fs / 1000.0);
    print(survey(fs, freqs, phases), fs);
  }
  return 0;
}
