// Precise mode through the real engines: every rate band delays the audio by
// the same 32 samples, the averaging needles (VU, RMS) read a steady tone as
// with precise off, and the peak needles read toward the true peak.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "meters/MeterReadout.h"
#include "meters/PPMmeter.h"
#include "meters/PeakDetector.h"
#include "meters/RMSMeter.h"
#include "meters/VUmeter.h"
#include "tests/meters/MeterTestSupport.h"

namespace orvane {
namespace {

using testing::SettingsWorld;

TEST(PreciseMode, DelaysByTheSameSamplesInEveryRateBand) {
  SettingsWorld world;
  for (float rate : {44100.0f, 48000.0f, 96000.0f, 176400.0f, 192000.0f}) {
    for (bool precise : {false, true}) {
      // Instant integration and gain 1: the envelope is the front end's output.
      PPMmeter ppm(nullptr, *world.shared);
      ppm.setParameter(PPMmeter::kIntegration, 0.0f);
      ppm.setParameter(PPMmeter::kReference, 1.0f);
      ppm.setParameter(PPMmeter::kPrecise, precise ? 1.0f : 0.0f);
      ppm.setSampleRate(rate);
      ppm.reset();
      // The impulse's own value shows when it passes the window sample the
      // interpolated points sit beside; before that only their taps do.
      int arrival = -1;
      for (int i = 0; i < 100 && arrival < 0; ++i) {
        float a = i == 0 ? 0.5f : 0.0f, b = 0.0f;
        float* channels[2] = {&a, &b};
        ppm.processStereo(channels, 1);
        if (ppm.readout().reading(kMainReading, 0) >= 0.5) arrival = i;
      }
      EXPECT_EQ(arrival, precise ? kPeakDelaySamples : 0) << rate << " Hz";
    }
  }
}

// One tone at the engine's reference; the channel-A readings of `kind` at the
// end of each 64-frame block over the last half second.
template <class Engine>
std::vector<double> settledReadings(SharedSettings& shared, float rate, double hz, bool precise, int kind) {
  Engine e(nullptr, shared);
  e.setSampleRate(rate);
  e.setParameter(Engine::kPrecise, precise ? 1.0f : 0.0f);
  e.reset();
  const std::size_t frames = static_cast<std::size_t>(1.5 * rate);
  const std::size_t settled = frames - static_cast<std::size_t>(0.5 * rate);
  auto s = testing::sine(hz, e.referenceAmplitude(), rate, frames);
  std::vector<double> out;
  testing::feedBoth(e, s, 64, [&](std::size_t done) {
    if (done > settled) out.push_back(e.readout().reading(kind, 0));
  });
  return out;
}

double meanDb(const std::vector<double>& v, bool rms = false) {
  double s = 0.0;
  for (double x : v) s += rms ? std::sqrt(x) * 1.4142 : x;
  return 20.0 * std::log10(s / static_cast<double>(v.size()));
}

double maxDb(const std::vector<double>& v) { return 20.0 * std::log10(*std::max_element(v.begin(), v.end())); }

TEST(PreciseMode, AveragingNeedlesReadAsWithPreciseOffAndPeakNeedlesNoLower) {
  SettingsWorld world;
  SharedSettings& sh = *world.shared;
  for (float rate : {44100.0f, 48000.0f, 96000.0f, 192000.0f}) {
    for (double hz : {100.0, 1000.0, 5000.0, 10000.0}) {
      SCOPED_TRACE(::testing::Message() << rate << " Hz rate, " << hz << " Hz tone");
      double vu[2], rms[2], rmsPeak[2], ppm[2];
      for (int on = 0; on < 2; ++on) {
        vu[on] = meanDb(settledReadings<VUmeter>(sh, rate, hz, on, kMainReading));
        rms[on] = meanDb(settledReadings<RMSMeter>(sh, rate, hz, on, kMeanSquareReading), true);
        rmsPeak[on] = maxDb(settledReadings<RMSMeter>(sh, rate, hz, on, kMainReading));
        ppm[on] = maxDb(settledReadings<PPMmeter>(sh, rate, hz, on, kMainReading));
      }
      // A tone at the reference reads 0 VU (the coil settles at 0.9932 of
      // the peak) and 0 dB RMS (within 0.05 dB after 1.5 s of the 1 s
      // averaging), precise or not.
      EXPECT_NEAR(vu[1], vu[0], 0.02);
      EXPECT_NEAR(vu[1], -0.06, hz < 10000.0 ? 0.02 : 0.1);
      EXPECT_NEAR(rms[1], rms[0], 0.02);
      EXPECT_NEAR(rms[1], 0.0, 0.05);
      // The peak needles never read lower than the samples, nor above the
      // true peak by more than the interpolator's ripple; their 10 ms
      // integration keeps them about 0.1 dB below it.
      for (const double* peak : {rmsPeak, ppm}) {
        EXPECT_GE(peak[1], peak[0] - 0.005);
        EXPECT_LT(peak[1], 0.02);
        EXPECT_GT(peak[1], -0.15);
      }
    }
  }
}

}  // namespace
}  // namespace orvane
