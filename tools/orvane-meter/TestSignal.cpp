#include "tools/orvane-meter/TestSignal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace orvane {
namespace metertool {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBaseSeconds = 12.0;

double amplitude(double dB) { return std::pow(10.0, dB / 20.0); }

// A small, fixed noise source, so the programme is the same everywhere.
class Noise {
 public:
  explicit Noise(uint32_t seed) : state_(seed ? seed : 1u) {}
  double white() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 2147483648.0 - 1.0;
  }
  // Three one-pole sections spread over the audio band give a slope of
  // about 3 dB an octave, close enough to pink for a meter.
  double pink() {
    const double w = white();
    b0_ = 0.99765 * b0_ + w * 0.0990460;
    b1_ = 0.96300 * b1_ + w * 0.2965164;
    b2_ = 0.57000 * b2_ + w * 1.0526913;
    return b0_ + b1_ + b2_ + w * 0.1848;
  }

 private:
  uint32_t state_;
  double b0_ = 0.0, b1_ = 0.0, b2_ = 0.0;
};

struct Span {
  std::size_t begin, end;
};

}  // namespace

std::vector<ProgrammeSection> programmeSections(const TestSignalSpec& spec) {
  const double k = spec.seconds / kBaseSeconds;
  const std::vector<ProgrammeSection> base = {
      {"1 kHz step at -18 dBFS (0 VU)", 0.5, 3.5},
      {"5 kHz bursts of 5, 10, 50 and 200 ms at -12 dBFS (right 6 dB down)", 4.5, 6.0},
      {"pink noise at -20 dBFS RMS", 6.5, 9.5},
      {"quarter-rate tone, samples at -2 dBFS, peaks at +1 dBFS between them", 9.75, 11.0},
      {"1 kHz clipped at full scale (left only)", 11.25, 11.5},
  };
  std::vector<ProgrammeSection> out;
  for (const ProgrammeSection& s : base) out.push_back({s.name, s.start * k, s.end * k});
  return out;
}

std::vector<std::vector<float>> makeTestProgramme(const TestSignalSpec& spec) {
  const double sr = spec.sampleRate > 0 ? spec.sampleRate : 48000;
  const double k = spec.seconds / kBaseSeconds;
  const std::size_t frames = static_cast<std::size_t>(std::llround(spec.seconds * sr));
  const int channels = spec.channels == 1 ? 1 : 2;
  std::vector<std::vector<float>> out(static_cast<std::size_t>(channels), std::vector<float>(frames, 0.0f));
  auto span = [&](double start, double end) {
    Span s{static_cast<std::size_t>(std::llround(start * k * sr)), static_cast<std::size_t>(std::llround(end * k * sr))};
    s.begin = std::min(s.begin, frames);
    s.end = std::min(std::max(s.end, s.begin), frames);
    return s;
  };
  auto sine = [&](double hz, std::size_t i, double phase) { return std::sin(2.0 * kPi * hz * static_cast<double>(i) / sr + phase); };
  auto put = [&](int channel, std::size_t i, double v) {
    if (channel < channels) out[static_cast<std::size_t>(channel)][i] = static_cast<float>(v);
  };

  // The VU step: switched on and off at once, so the needle's rise and fall
  // are the meter's own.
  {
    const Span s = span(0.5, 3.5);
    const double a = amplitude(kStepPeakDbfs);
    for (std::size_t i = s.begin; i < s.end; ++i) {
      const double v = a * sine(1000.0, i - s.begin, 0.0);
      put(0, i, v);
      put(1, i, v);
    }
  }
  // Bursts: short ones read low on a PPM with 10 ms integration, the long
  // one reaches the reference. Kept below a fifth of the rate.
  {
    const double hz = std::min(5000.0, sr * 0.2);
    const double a = amplitude(kBurstPeakDbfs);
    const double starts[] = {4.5, 4.9, 5.3, 5.8};
    const double lengths[] = {0.005, 0.010, 0.050, 0.200};
    for (int b = 0; b < 4; ++b) {
      const Span s = span(starts[b], starts[b] + lengths[b]);
      for (std::size_t i = s.begin; i < s.end; ++i) {
        const double v = a * sine(hz, i - s.begin, 0.0);
        put(0, i, v);
        put(1, i, 0.5 * v);
      }
    }
  }
  // Noise: each channel its own, scaled to the wanted RMS over the section.
  {
    const Span s = span(6.5, 9.5);
    for (int c = 0; c < channels; ++c) {
      Noise noise(c == 0 ? 0x2545F491u : 0x9E3779B9u);
      std::vector<double> v(s.end - s.begin);
      double sum = 0.0;
      for (double& x : v) {
        x = noise.pink();
        sum += x * x;
      }
      const double rms = v.empty() ? 1.0 : std::sqrt(sum / static_cast<double>(v.size()));
      const double gain = rms > 0.0 ? amplitude(kNoiseRmsDbfs) / rms : 0.0;
      for (std::size_t i = 0; i < v.size(); ++i) put(c, s.begin + i, v[i] * gain);
    }
  }
  // A tone at a quarter of the rate, 45 degrees off the sample instants:
  // every sample lands at 0.7071 of the true peak.
  {
    const Span s = span(9.75, 11.0);
    const double a = amplitude(kTruePeakDbtp);
    for (std::size_t i = s.begin; i < s.end; ++i) {
      const double v = a * sine(sr * 0.25, i - s.begin, kPi * 0.25);
      put(0, i, v);
      put(1, i, v);
    }
  }
  // Clipping: runs of full-scale samples that every over LED counts.
  {
    const Span s = span(11.25, 11.5);
    const double drive = amplitude(kClipDriveDb);
    for (std::size_t i = s.begin; i < s.end; ++i) {
      const double x = sine(1000.0, i - s.begin, 0.0);
      put(0, i, std::max(-1.0, std::min(1.0, drive * x)));
      put(1, i, 0.5 * x);
    }
  }
  return out;
}

}  // namespace metertool
}  // namespace orvane
