// orvane-meter-report: how the three meters answer standard test signals,
// measured on the real engines with their first-run settings. Run it after
// changing any ballistics and compare the numbers with the last release.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "meters/MeterReadout.h"
#include "meters/PPMmeter.h"
#include "meters/RMSMeter.h"
#include "meters/VUmeter.h"
#include "platform/MemoryRegistry.h"
#include "settings/SharedSettings.h"

using namespace orvane;

namespace {

constexpr double kPi = 3.14159265358979323846;

// One sample at a time through processStereo, both channels alike, and the
// channel-A reading of `kind` after each sample.
template <class Engine>
std::vector<double> trace(Engine& engine, const std::vector<float>& signal, int kind) {
  std::vector<double> out(signal.size());
  for (std::size_t i = 0; i < signal.size(); ++i) {
    float a = signal[i], b = signal[i];
    float* channels[2] = {&a, &b};
    engine.processStereo(channels, 1);
    out[i] = engine.readout().reading(kind, 0);
  }
  return out;
}

std::vector<float> toneThenSilence(double hz, double peak, double rate, double onSeconds, double offSeconds) {
  const std::size_t on = static_cast<std::size_t>(onSeconds * rate);
  const std::size_t total = on + static_cast<std::size_t>(offSeconds * rate);
  std::vector<float> s(total, 0.0f);
  for (std::size_t i = 0; i < on; ++i) s[i] = static_cast<float>(peak * std::sin(2.0 * kPi * hz * i / rate));
  return s;
}

void vuStepResponse(SharedSettings& shared, int type) {
  const double rate = 44100.0;
  VUmeter vu(nullptr, shared);
  vu.setParameter(VUmeter::kType, type == 0 ? 0.0f : 1.0f);
  vu.setSampleRate(static_cast<float>(rate));
  vu.reset();
  const double onSeconds = 4.0;
  const auto signal = toneThenSilence(1000.0, vu.referenceAmplitude(), rate, onSeconds, 3.0);
  const auto needle = trace(vu, signal, kMainReading);
  const std::size_t on = static_cast<std::size_t>(onSeconds * rate);
  // The final reading: the mean over the tone's last second.
  double final = 0.0;
  for (std::size_t i = on - static_cast<std::size_t>(rate); i < on; ++i) final += needle[i];
  final /= rate;
  std::size_t rise = 0;
  while (rise < on && needle[rise] < 0.99 * final) ++rise;
  double peak = -1.0;
  for (std::size_t i = 0; i < on; ++i) peak = std::max(peak, needle[i]);
  std::size_t fall = on;
  while (fall < needle.size() && needle[fall] > 0.01 * final) ++fall;
  std::printf("VU type %s (300 ms, 1 kHz at the reference, 44.1 kHz): final %.4f, 99 %% after %.1f ms, "
              "overshoot %.2f %%, back to 1 %% after %.1f ms\n",
              type == 0 ? "A" : "B", final, rise * 1000.0 / rate, (peak / final - 1.0) * 100.0,
              (fall - on) * 1000.0 / rate);
}

void ppmBursts(SharedSettings& shared) {
  const double rate = 48000.0;
  PPMmeter ppm(nullptr, shared);
  ppm.setSampleRate(static_cast<float>(rate));
  ppm.reset();
  const double amplitude = ppm.referenceAmplitude();
  // Steady state of a 5 kHz tone at the reference.
  auto steadyTrace = trace(ppm, toneThenSilence(5000.0, amplitude, rate, 1.0, 0.0), kMainReading);
  double steady = 0.0;
  for (std::size_t i = steadyTrace.size() - 4800; i < steadyTrace.size(); ++i) steady = std::max(steady, steadyTrace[i]);
  std::printf("PPM (integration %.2f ms, return %.0f ms, 48 kHz): 5 kHz steady reading %.4f\n", ppm.integrationMs(),
              ppm.returnMs(), steady);
  {
    // The same tone with the precise mode finding the peaks between samples.
    PPMmeter precise(nullptr, shared);
    precise.setSampleRate(static_cast<float>(rate));
    precise.setParameter(PPMmeter::kPrecise, 1.0f);
    precise.reset();
    const auto t = trace(precise, toneThenSilence(5000.0, amplitude, rate, 1.0, 0.0), kMainReading);
    double top = 0.0;
    for (std::size_t i = t.size() - 4800; i < t.size(); ++i) top = std::max(top, t[i]);
    std::printf("  precise mode: 5 kHz steady reading %.4f\n", top);
  }
  for (double ms : {0.5, 1.5, 5.0, 10.0, 100.0}) {
    ppm.reset();
    ppm.clearReadings();
    const auto t = trace(ppm, toneThenSilence(5000.0, amplitude, rate, ms * 0.001, 0.05), kMainReading);
    double maxReading = 0.0;
    for (double v : t) maxReading = std::max(maxReading, v);
    std::printf("  burst %6.1f ms: %+6.2f dB relative to steady state\n", ms, 20.0 * std::log10(maxReading / steady));
  }
  // 24 dB fall: from a steady reading to 1/16 of it after the signal stops.
  ppm.reset();
  ppm.clearReadings();
  const auto t = trace(ppm, toneThenSilence(5000.0, amplitude, rate, 0.5, 3.0), kMainReading);
  const std::size_t off = static_cast<std::size_t>(0.5 * rate);
  const double start = t[off - 1];
  std::size_t i = off;
  while (i < t.size() && t[i] > start / 16.0) ++i;
  std::printf("  24 dB fall after %.1f ms\n", (i - off) * 1000.0 / rate);
}

void rmsSettling(SharedSettings& shared) {
  const double rate = 48000.0;
  RMSMeter rms(nullptr, shared);
  rms.setSampleRate(static_cast<float>(rate));
  rms.reset();
  const auto t = trace(rms, toneThenSilence(1000.0, rms.referenceAmplitude(), rate, 6.0, 0.0), kMeanSquareReading);
  const double final = t.back();
  std::size_t i = 0;
  while (i < t.size() && std::sqrt(t[i]) * 1.4142 < 0.99 * std::sqrt(final) * 1.4142) ++i;
  std::size_t j = 0;
  while (j < t.size() && std::fabs(t[j] / final - 1.0) > 0.01) ++j;
  std::printf("RMS (averaging %.0f ms, 48 kHz, 1 kHz at the reference): mean square settles at %.4f "
              "(shown %.4f); shown RMS at 99 %% after %.1f ms; mean square within 1 %% after %.1f ms\n",
              rms.averagingMs(), final, std::sqrt(final) * 1.4142, i * 1000.0 / rate, j * 1000.0 / rate);
}

// A steady tone at the engine's reference, `seconds` long, fed in blocks of
// 64 frames like a host's buffers; over the last half second the reading of
// `kind` after each block, as the display would pick it up.
template <class Engine>
std::vector<double> blockReadings(Engine& engine, double hz, double rate, double seconds, int kind) {
  const std::size_t frames = static_cast<std::size_t>(seconds * rate);
  std::vector<float> left(frames), right(frames);
  for (std::size_t i = 0; i < frames; ++i)
    left[i] = right[i] = static_cast<float>(engine.referenceAmplitude() * std::sin(2.0 * kPi * hz * i / rate));
  const std::size_t block = 64, settled = frames - static_cast<std::size_t>(0.5 * rate);
  std::vector<double> out;
  for (std::size_t start = 0; start + block <= frames; start += block) {
    float* channels[2] = {left.data() + start, right.data() + start};
    engine.processStereo(channels, static_cast<int32_t>(block));
    if (start >= settled) out.push_back(engine.readout().reading(kind, 0));
  }
  return out;
}

double meanOf(const std::vector<double>& v) {
  double s = 0.0;
  for (double x : v) s += x;
  return s / static_cast<double>(v.size());
}

double maxOf(const std::vector<double>& v) {
  double m = -1e300;
  for (double x : v) m = std::max(m, x);
  return m;
}

double dB(double x) { return 20.0 * std::log10(x); }

// Each steady reading in dB against the reference, with precise off (index
// 0) and on (1).
struct PreciseRow {
  double vu[2], rms[2], rmsPeak[2], ppm[2];
};

template <class Engine>
Engine& prepared(Engine& engine, double rate, bool precise) {
  engine.setSampleRate(static_cast<float>(rate));
  engine.setParameter(Engine::kPrecise, precise ? 1.0f : 0.0f);
  engine.reset();
  engine.clearReadings();
  return engine;
}

// What the precise mode does to every needle on steady sines. The averaging
// needles (VU, RMS) must read as with precise off (they do to 0.01 dB: they
// take the window sample, not the peaks found between samples; fed those
// peaks they read up to 3 dB hot); the peak needles (PPM, the RMS meter's
// peak needle) read a little higher, toward the true peak between the
// samples, never lower.
void preciseAgainstPlain(SharedSettings& shared) {
  std::printf("Precise off -> on, steady sines at each meter's reference, first-run settings, dB against the "
              "reference\n(VU needle and RMS needle: mean over the last 0.5 s of a 2 s tone; PPM and RMS peak "
              "needle: highest)\n");
  std::printf("  rate   tone    VU needle        RMS needle       RMS peak needle  PPM\n");
  for (double rate : {44100.0, 48000.0, 96000.0}) {
    for (double hz : {100.0, 1000.0, 5000.0, 10000.0}) {
      PreciseRow r;
      for (int on = 0; on < 2; ++on) {
        VUmeter vu(nullptr, shared);
        r.vu[on] = dB(meanOf(blockReadings(prepared(vu, rate, on), hz, rate, 2.0, kMainReading)));
        RMSMeter rms(nullptr, shared);
        const auto ms = blockReadings(prepared(rms, rate, on), hz, rate, 2.0, kMeanSquareReading);
        std::vector<double> shown;
        for (double m : ms) shown.push_back(std::sqrt(m) * 1.4142);
        r.rms[on] = dB(meanOf(shown));
        RMSMeter rmsPeak(nullptr, shared);
        r.rmsPeak[on] = dB(maxOf(blockReadings(prepared(rmsPeak, rate, on), hz, rate, 2.0, kMainReading)));
        PPMmeter ppm(nullptr, shared);
        r.ppm[on] = dB(maxOf(blockReadings(prepared(ppm, rate, on), hz, rate, 2.0, kMainReading)));
      }
      std::printf("  %4.1fk %6.0f  %+6.2f -> %+6.2f  %+6.2f -> %+6.2f  %+6.2f -> %+6.2f  %+6.2f -> %+6.2f\n",
                  rate / 1000.0, hz, r.vu[0], r.vu[1], r.rms[0], r.rms[1], r.rmsPeak[0], r.rmsPeak[1], r.ppm[0],
                  r.ppm[1]);
    }
  }
}

}  // namespace

int main() {
  // First-run settings, from a registry that lives only in this process.
  MemoryRegistry registry;
  SharedSettings shared(registry);
  vuStepResponse(shared, 0);
  vuStepResponse(shared, 1);
  ppmBursts(shared);
  rmsSettling(shared);
  preciseAgainstPlain(shared);
  return 0;
}
