// The front end and read-outs every engine shares, exercised through the
// real engines (mostly the PPM with instant integration, whose envelope
// shows the front end's output directly).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "meters/MeterReadout.h"
#include "meters/PPMmeter.h"
#include "meters/RMSMeter.h"
#include "meters/VUmeter.h"
#include "tests/meters/MeterTestSupport.h"

namespace orvane {
namespace {

using testing::SettingsWorld;

// A PPM whose envelope follows rises at once and whose over LED counts
// full-scale samples: what it reads is what the front end produced.
std::unique_ptr<PPMmeter> transparentPPM(SharedSettings& shared, float rate = 44100.0f) {
  std::unique_ptr<PPMmeter> ppm(new PPMmeter(nullptr, shared));
  ppm->setParameter(PPMmeter::kIntegration, 0.0f);
  ppm->setParameter(PPMmeter::kReference, 1.0f);  // gain 1
  ppm->setParameter(PPMmeter::kOverReference, 1.0f);
  ppm->setSampleRate(rate);
  ppm->reset();
  return ppm;
}

void processOne(PPMmeter& ppm, float left, float right) {
  float* channels[2] = {&left, &right};
  ppm.processStereo(channels, 1);
}

std::vector<float> noise(std::size_t frames, unsigned seed, float peak = 1.0f) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> d(-peak, peak);
  std::vector<float> out(frames);
  for (float& v : out) v = d(rng);
  return out;
}

TEST(MeterSkeleton, DelayedReadingsShowTheTickFromLagMillisecondsAgoAndNeverOverrun) {
  SettingsWorld world;
  for (int lag : {1, 100, 999}) {
    auto ppm = transparentPPM(*world.shared);
    ppm->setLagTime(static_cast<float>(lag) / 999.0f);
    ASSERT_EQ(ppm->lagMs(), lag);
    const int tick = 44;  // samples per history tick at 44.1 kHz
    const auto signal = noise(static_cast<std::size_t>(tick) * 2600, 7u, 0.9f);
    std::vector<double> live;  // the envelope at each tick
    std::vector<float> left(signal), right(signal);
    int mismatches = 0;
    for (std::size_t start = 0; start < signal.size(); start += tick) {
      float* channels[2] = {left.data() + start, right.data() + start};
      ppm->processStereo(channels, tick);
      live.push_back(ppm->readout().reading(kMainReading, 0));
      const std::size_t k = live.size() - 1;
      const double shown = ppm->readDisplayValue(0.0f, kMainReading, 0);
      const double expected = k >= static_cast<std::size_t>(lag) ? live[k - lag] : 0.0;  // history starts zeroed
      if (shown != expected) ++mismatches;
    }
    EXPECT_EQ(mismatches, 0) << "lag " << lag;
  }
}

TEST(MeterSkeleton, ADelayedOverStaysLitFor29TicksThenLatches) {
  SettingsWorld world;
  auto ppm = transparentPPM(*world.shared);
  ppm->setParameter(PPMmeter::kOverTag, 0.0f);  // one sample makes an over
  ppm->setLagTime(10.0f / 999.0f);
  std::vector<float> block(44, 0.0f);
  std::vector<int> states;
  for (int t = 0; t < 80; ++t) {
    std::fill(block.begin(), block.end(), 0.0f);
    if (t == 5) block[20] = 1.0f;  // a single full-scale sample
    float* channels[2] = {block.data(), block.data()};
    ppm->processStereo(channels, 44);
    ppm->readDisplayValue(0.0f, kMainReading, 0);  // moves the read position
    states.push_back(ppm->readOverState(0));
  }
  int lit = 0, firstLit = -1;
  for (int t = 0; t < 80; ++t) {
    if (states[t] == 1) {
      if (firstLit < 0) firstLit = t;
      ++lit;
    }
  }
  EXPECT_EQ(lit, 29);
  EXPECT_EQ(firstLit, 5 + 10);  // shown 10 ticks late
  for (int t = 0; t < firstLit; ++t) EXPECT_EQ(states[t], -1) << t;
  for (int t = firstLit; t < firstLit + 29; ++t) EXPECT_EQ(states[t], 1) << t;
  for (int t = firstLit + 29; t < 80; ++t) EXPECT_EQ(states[t], 0) << t;
  ppm->resetOvers();
  EXPECT_EQ(ppm->readOverState(0), -1);
}

TEST(MeterSkeleton, OverCountingNeedsTheSetNumberOfConsecutiveSamples) {
  SettingsWorld world;
  {
    auto ppm = transparentPPM(*world.shared);
    ppm->setParameter(PPMmeter::kOverTag, 0.0f);  // count 1
    processOne(*ppm, 0.0f, 0.0f);
    EXPECT_EQ(ppm->readOverState(0), -1);
    processOne(*ppm, 1.0f, 0.0f);  // exactly at the threshold
    EXPECT_EQ(ppm->readOverState(0), 1);
    EXPECT_EQ(ppm->readOverState(1), -1);  // the other channel saw nothing
    EXPECT_EQ(ppm->readOverState(0), 0);   // consumed, now latched
    processOne(*ppm, 0.99999f, 0.0f);
    EXPECT_EQ(ppm->readOverState(0), 0);
  }
  {
    auto ppm = transparentPPM(*world.shared);
    ppm->setParameter(PPMmeter::kOverTag, 1.0f);  // count 10
    processOne(*ppm, 0.0f, 0.0f);
    for (int i = 0; i < 9; ++i) processOne(*ppm, -1.0f, 0.0f);  // the sign does not matter
    processOne(*ppm, 0.5f, 0.0f);
    EXPECT_EQ(ppm->readOverState(0), -1);
    for (int i = 0; i < 10; ++i) processOne(*ppm, 1.0f, 0.0f);
    EXPECT_EQ(ppm->readOverState(0), 1);
  }
  {
    // Right after a reset the counter rests at -1: an over sample first
    // brings it to 0, so one quiet sample is needed before a count of 1.
    auto ppm = transparentPPM(*world.shared);
    ppm->setParameter(PPMmeter::kOverTag, 0.0f);
    processOne(*ppm, 1.0f, 1.0f);
    EXPECT_EQ(ppm->readout().overCounter(0), 0.0);
    EXPECT_EQ(ppm->readOverState(0), -1);
  }
}

TEST(MeterSkeleton, AReachedCountSurvivesQuietSamplesUntilConsumed) {
  SettingsWorld world;
  auto ppm = transparentPPM(*world.shared);  // default count: 3
  processOne(*ppm, 0.0f, 0.0f);
  for (int i = 0; i < 3; ++i) processOne(*ppm, 1.0f, 1.0f);
  std::vector<float> quiet(500, 0.0f);
  testing::feedBoth(*ppm, quiet, 100);
  EXPECT_EQ(ppm->readOverState(0), 1);
  EXPECT_EQ(ppm->readOverState(1), 1);
  EXPECT_EQ(ppm->readOverState(0), 0);

  // With a display delay the next tick takes it instead, into the countdown.
  ppm->setLagTime(1.0f / 999.0f);
  for (int i = 0; i < 3; ++i) processOne(*ppm, 1.0f, 0.0f);
  testing::feedBoth(*ppm, std::vector<float>(44 * 3, 0.0f), 44);
  EXPECT_EQ(ppm->readout().overCounter(0), 0.0);
  double countdownMax = 0.0;
  const Relaxed<double>* countdown = ppm->readout().overHistory(0);
  for (int i = 0; i < kHistorySlots; ++i) countdownMax = std::max(countdownMax, countdown[i].load());
  EXPECT_EQ(countdownMax, 29.0);
}

TEST(MeterSkeleton, PreciseModeFindsPeaksBetweenSamples) {
  // A sine at a quarter of the sample rate, sampled 45 degrees off its
  // peaks: every sample is at 0.707 of the true peak.
  SettingsWorld world;
  for (bool precise : {false, true}) {
    auto ppm = transparentPPM(*world.shared, 48000.0f);
    ppm->setParameter(PPMmeter::kPrecise, precise ? 1.0f : 0.0f);
    const auto s = testing::sine(12000.0, 0.5, 48000.0, 4800, testing::kPi / 4.0);
    testing::feedBoth(*ppm, s, 256);
    const double reading = ppm->readout().reading(kMainReading, 0);
    if (precise) EXPECT_NEAR(reading, 0.5, 0.01);
    else EXPECT_NEAR(reading, 0.5 * std::sqrt(0.5), 0.001);
  }
}

TEST(MeterSkeleton, MidSideMatrixScalesTheMidOnly) {
  SettingsWorld world;
  const float factors[3] = {1.0f, 0.708f, 0.5f};
  for (int type = 0; type < 3; ++type) {
    auto ppm = transparentPPM(*world.shared);
    ppm->setParameter(PPMmeter::kMsType, type * 0.5f);
    ppm->setLRMS(1.0f);
    ASSERT_EQ(ppm->msOn(), 1);
    std::vector<float> mono(32, 0.25f);
    float* channels[2] = {mono.data(), nullptr};
    ppm->processMono(channels, 32);
    EXPECT_NEAR(ppm->readout().reading(kMainReading, 0), 2.0 * 0.25 * factors[type], 1e-7) << type;
    EXPECT_EQ(ppm->readout().reading(kMainReading, 1), 0.0) << type;

    auto stereo = transparentPPM(*world.shared);
    stereo->setParameter(PPMmeter::kMsType, type * 0.5f);
    stereo->setLRMS(0.7f);
    processOne(*stereo, 0.5f, -0.25f);
    EXPECT_NEAR(stereo->readout().reading(kMainReading, 0), 0.25 * factors[type], 1e-7);
    EXPECT_EQ(stereo->readout().reading(kMainReading, 1), 0.75);  // side: never scaled
  }
  // LR: mono feeds the same signal to both channels.
  auto lr = transparentPPM(*world.shared);
  std::vector<float> mono(8, -0.3f);
  float* channels[2] = {mono.data(), nullptr};
  lr->processMono(channels, 8);
  EXPECT_FLOAT_EQ(static_cast<float>(lr->readout().reading(kMainReading, 1)), 0.3f);
}

TEST(MeterSkeleton, FallingReadingsAreDrawnAsALineThroughTheBlock) {
  SettingsWorld world;
  auto ppm = transparentPPM(*world.shared);
  ppm->setParameter(PPMmeter::kReturn, 0.0f);  // 0.1 s: a visible fall per block
  testing::feedBoth(*ppm, testing::constant(0.75, 64), 64);
  MeterReadout& r = ppm->readout();
  // A rise shows at once, whatever x.
  EXPECT_EQ(r.readDisplayValue(0.0f, kMainReading, 0), 0.75);
  testing::feedBoth(*ppm, testing::constant(0.0, 512), 512);
  const double start = r.blockStart(kMainReading, 0);
  const double now = r.reading(kMainReading, 0);
  ASSERT_LT(now, start);
  EXPECT_EQ(r.readDisplayValue(0.0f, kMainReading, 0), start);
  EXPECT_DOUBLE_EQ(r.readDisplayValue(1.0f, kMainReading, 0), now);
  EXPECT_DOUBLE_EQ(r.readDisplayValue(2.0f, kMainReading, 0), 2.0 * now - start);
  EXPECT_EQ(r.readDisplayValue(-1.0f, kMainReading, 0), start);
  EXPECT_EQ(r.readDisplayValue(std::nanf(""), kMainReading, 0), start);
  EXPECT_TRUE(std::isfinite(r.readDisplayValue(std::numeric_limits<float>::infinity(), kMainReading, 0)));
  EXPECT_EQ(r.readDisplayValue(0.5f, kMeanSquareReading, 0), 0.0);  // the PPM has none
  EXPECT_EQ(r.history(kMeanSquareReading, 0), nullptr);
}

TEST(MeterSkeleton, InfiniteHoldKeepsTheLargestShownValueUntilOversAreReset) {
  SettingsWorld world;
  auto ppm = transparentPPM(*world.shared);
  ppm->setParameter(PPMmeter::kHoldTime, 0.0f);  // 0.1 s
  ppm->setParameter(PPMmeter::kReturn, 0.0f);
  ppm->setHold(0.5f);
  ASSERT_EQ(ppm->holdMode(), 1);
  testing::feedBoth(*ppm, testing::constant(0.625, 100), 100);
  EXPECT_EQ(ppm->readout().readHoldDisplay(1.0f, 0), 0.625);
  testing::feedBoth(*ppm, testing::constant(0.0, 44100), 4410);
  ASSERT_LT(ppm->readout().reading(kHoldReading, 0), 0.1);
  EXPECT_EQ(ppm->readout().readHoldDisplay(1.0f, 0), 0.625);
  ppm->resetOvers();
  EXPECT_EQ(ppm->readout().infiniteHoldMaximum(0), -1.0);
  EXPECT_LT(ppm->readout().readHoldDisplay(1.0f, 0), 0.1);
  // With Hold on (not infinite) the hold display is just the hold reading.
  ppm->setHold(1.0f);
  EXPECT_EQ(ppm->readout().readHoldDisplay(1.0f, 0), ppm->readout().reading(kHoldReading, 0));
}

// Runs the same audio through an engine in blocks of the given size.
template <class Engine>
std::vector<double> runInBlocks(SharedSettings& shared, const std::vector<float>& left, const std::vector<float>& right,
                                std::size_t block, void (*configure)(Engine&)) {
  Engine engine(nullptr, shared);
  configure(engine);
  engine.setSampleRate(48000.0f);
  engine.reset();
  testing::feedStereo(engine, left, right, block);
  std::vector<double> state;
  MeterReadout& r = engine.readout();
  for (int k = 0; k < r.readingKinds(); ++k) {
    for (int c = 0; c < 2; ++c) {
      state.push_back(r.reading(k, c));
      const Relaxed<double>* h = r.history(k, c);
      for (int i = 0; i < kHistorySlots; ++i) state.push_back(h[i]);
    }
  }
  for (int c = 0; c < 2; ++c) {
    state.push_back(r.overCounter(c));
    const Relaxed<double>* h = r.overHistory(c);
    for (int i = 0; i < kHistorySlots; ++i) state.push_back(h[i]);
  }
  state.push_back(r.writePosition());
  return state;
}

template <class Engine>
void expectBlockSizeIndependence(void (*configure)(Engine&)) {
  SettingsWorld world;
  // Bursts of loud noise, quiet noise and silence: rises, falls, holds
  // and overs, in blocks that can light an over and blocks that cannot.
  std::vector<float> left = noise(48000, 11u, 1.2f), right = noise(48000, 12u, 0.4f);
  for (std::size_t i = 0; i < left.size(); ++i) {
    if ((i / 6000) % 4 == 1) left[i] = right[i] = 0.0f;
    if ((i / 6000) % 4 == 3) left[i] *= 0.01f, right[i] *= 0.01f;
  }
  const auto reference = runInBlocks<Engine>(*world.shared, left, right, 1, configure);
  for (std::size_t block : {7u, 64u, 1000u, 4096u}) {
    EXPECT_EQ(runInBlocks<Engine>(*world.shared, left, right, block, configure), reference) << "block " << block;
  }
}

template <class Engine>
void everything(Engine& e) {
  e.setLagTime(0.3f);
  e.setLRMS(1.0f);
  e.setHold(1.0f);
}

// L/R without precise mode, hold marks that fall within a block.
template <class Engine>
void plainWithShortHolds(Engine& e) {
  e.setLagTime(0.3f);
  e.setHold(1.0f);
  e.setParameter(Engine::kHoldTime, 0.0f);
}

template <class Engine>
void everythingPrecise(Engine& e) {
  everything(e);
  e.setParameter(Engine::kPrecise, 1.0f);
}

TEST(MeterSkeleton, BlockSizeNeverChangesAReading) {
  expectBlockSizeIndependence<VUmeter>(&everything<VUmeter>);
  expectBlockSizeIndependence<PPMmeter>(&everything<PPMmeter>);
  expectBlockSizeIndependence<RMSMeter>(&everything<RMSMeter>);
  expectBlockSizeIndependence<VUmeter>(&plainWithShortHolds<VUmeter>);
  expectBlockSizeIndependence<PPMmeter>(&plainWithShortHolds<PPMmeter>);
  expectBlockSizeIndependence<RMSMeter>(&plainWithShortHolds<RMSMeter>);
  expectBlockSizeIndependence<VUmeter>(&everythingPrecise<VUmeter>);
  expectBlockSizeIndependence<PPMmeter>(&everythingPrecise<PPMmeter>);
  expectBlockSizeIndependence<RMSMeter>(&everythingPrecise<RMSMeter>);
}

template <class Engine>
void expectRecoveryFromBadAudio(bool precise) {
  SettingsWorld world;
  Engine engine(nullptr, *world.shared);
  engine.setParameter(Engine::kPrecise, precise ? 1.0f : 0.0f);
  engine.setLagTime(0.01f);
  engine.reset();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  std::vector<float> bad = noise(256, 5u);
  bad[10] = nan;
  bad[40] = inf;
  bad[41] = -inf;
  std::vector<float> badRight(bad);
  badRight[100] = inf;
  testing::feedStereo(engine, bad, badRight, 256);
  MeterReadout& r = engine.readout();
  for (int k = 0; k < r.readingKinds(); ++k) {
    for (int c = 0; c < 2; ++c) {
      EXPECT_TRUE(std::isfinite(r.reading(k, c))) << k << c;
      EXPECT_TRUE(std::isfinite(r.blockStart(k, c)));
      EXPECT_TRUE(std::isfinite(r.readDisplayValue(0.5f, k, c)));
      const Relaxed<double>* h = r.history(k, c);
      for (int i = 0; i < kHistorySlots; ++i) ASSERT_TRUE(std::isfinite(h[i].load()));
    }
  }
  // Good audio afterwards reads as good audio.
  testing::feedBoth(engine, testing::sine(1000.0, 0.25, 44100.0, 44100), 512);
  for (int k = 0; k < r.readingKinds(); ++k) {
    for (int c = 0; c < 2; ++c) {
      EXPECT_TRUE(std::isfinite(r.reading(k, c)));
      EXPECT_GT(r.reading(k, c), 0.01) << "kind " << k << " channel " << c;
      EXPECT_LT(r.reading(k, c), 10.0) << "kind " << k << " channel " << c;
    }
  }
}

TEST(MeterSkeleton, NaNOrInfinityInTheAudioNeverLeavesAReadingStuck) {
  for (bool precise : {false, true}) {
    expectRecoveryFromBadAudio<VUmeter>(precise);
    expectRecoveryFromBadAudio<PPMmeter>(precise);
    expectRecoveryFromBadAudio<RMSMeter>(precise);
  }
}

template <class Engine>
void expectSafeAtTheEdges() {
  SettingsWorld world;
  Engine engine(nullptr, *world.shared);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float rates[] = {0.0f, -5.0f, nan, 1.0f, 1e9f, 20000.0f, 200000.0f, 44100.0f};
  for (float setting : {0.0f, 1.0f}) {
    for (int32_t index = firstMeterSetting(engine.settingsScope().meterType());
         index <= lastMeterSetting(engine.settingsScope().meterType()); ++index)
      engine.setParameter(index, setting);
    for (float raw : {setting, nan}) {
      engine.setLRMS(raw);
      engine.setHold(raw);
      engine.setLagTime(raw);
    }
    for (float rate : rates) {
      engine.setSampleRate(rate);
      engine.reset();
      EXPECT_TRUE(engine.sampleRate() >= 1000.0f && engine.sampleRate() <= 800000.0f) << rate;
      testing::feedBoth(engine, noise(3000, 9u, 1.5f), 333);
      testing::feedBoth(engine, testing::constant(0.0, 2000), 500);
      MeterReadout& r = engine.readout();
      for (int k = 0; k < r.readingKinds(); ++k)
        for (int c = 0; c < 2; ++c)
          ASSERT_TRUE(std::isfinite(r.readDisplayValue(1.0f, k, c))) << "rate " << rate << " setting " << setting;
      const int state = r.readOverState(0);
      EXPECT_TRUE(state >= -1 && state <= 1);
      char text[32];
      for (int32_t index = 72; index <= 100; ++index) {
        engine.getParameterDisplay(index, text);
        ASSERT_LT(std::strlen(text), 32u);
      }
    }
  }
  // Null buffers and empty blocks are ignored.
  engine.processStereo(nullptr, 64);
  float* none[2] = {nullptr, nullptr};
  engine.processStereo(none, 64);
  engine.processMono(none, 64);
  float one = 0.5f;
  float* channels[2] = {&one, &one};
  engine.processStereo(channels, 0);
  engine.processStereo(channels, -4);
  engine.getParameterDisplay(83, nullptr);
}

TEST(MeterSkeleton, SettingsAndSampleRatesAtAndBeyondTheirEdgesStaySafe) {
  expectSafeAtTheEdges<VUmeter>();
  expectSafeAtTheEdges<PPMmeter>();
  expectSafeAtTheEdges<RMSMeter>();
}

}  // namespace
}  // namespace orvane
