#include "meters/RMSMeter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/meters/MeterTestSupport.h"

namespace orvane {
namespace {

using testing::SettingsWorld;

std::unique_ptr<RMSMeter> rmsAt(SharedSettings& shared, float rate) {
  std::unique_ptr<RMSMeter> rms(new RMSMeter(nullptr, shared));
  rms->setSampleRate(rate);
  rms->reset();
  return rms;
}

std::string display(const RMSMeter& rms, int32_t index) {
  char text[32];
  rms.getParameterDisplay(index, text);
  return text;
}

TEST(RMSMeter, ASineAtTheReferenceSettlesTheMeanSquareAtOneHalf) {
  SettingsWorld world;
  for (float reference : {0.667f, 0.2f}) {
    auto rms = rmsAt(*world.shared, 48000.0f);
    rms->setParameter(RMSMeter::kReference, reference);
    testing::feedBoth(*rms, testing::sine(997.0, rms->referenceAmplitude(), 48000.0, 48000 * 8), 4096);
    const double ms = rms->readout().reading(kMeanSquareReading, 0);
    EXPECT_NEAR(ms, 0.5, 0.005) << reference;
    EXPECT_NEAR(std::sqrt(ms) * 1.4142, 1.0, 0.005);  // 0 dB on the scale
  }
}

TEST(RMSMeter, HalfTheAveragingTimeTakesASilencedMeanSquareTo0p109) {
  SettingsWorld world;
  for (float averaging : {0.0f, 0.5f, 1.0f}) {
    auto rms = rmsAt(*world.shared, 44100.0f);
    rms->setParameter(RMSMeter::kRmsIntegration, averaging);
    EXPECT_GT(rms->averaging(), 0.0f);
    EXPECT_LE(rms->averaging(), 1.0f);
    testing::feedBoth(*rms, testing::constant(0.5, 44100 * 40), 4096);
    const double before = rms->readout().reading(kMeanSquareReading, 0);
    ASSERT_NEAR(before, 0.25, 1e-3);
    const auto half = static_cast<std::size_t>(std::lround(rms->averagingMs() * 0.001 * 44100.0 / 2.0));
    testing::feedBoth(*rms, testing::constant(0.0, half), 1000);
    EXPECT_NEAR(rms->readout().reading(kMeanSquareReading, 0) / before, 0.109, 0.001) << averaging;
  }
}

// The fastest falls, in long blocks: every reading sinks to an exact 0
// without passing through denormals on the way.
TEST(RMSMeter, ALongSilenceEndsEveryReadingAtZeroWithoutDenormals) {
  SettingsWorld world;
  auto rms = rmsAt(*world.shared, 48000.0f);
  for (int32_t index : {RMSMeter::kReturn, RMSMeter::kHoldTime, RMSMeter::kRmsIntegration})
    rms->setParameter(index, 0.0f);
  auto s = testing::constant(0.5, 4800);
  s.resize(4800 + 48000 * 30, 0.0f);
  int denormals = 0;
  testing::feedBoth(*rms, s, 65536, [&](std::size_t) {
    for (int kind : {kMainReading, kHoldReading, kMeanSquareReading})
      for (int channel : {0, 1}) denormals += std::fpclassify(rms->readout().reading(kind, channel)) == FP_SUBNORMAL;
  });
  EXPECT_EQ(denormals, 0);
  for (int kind : {kMainReading, kHoldReading, kMeanSquareReading}) EXPECT_EQ(rms->readout().reading(kind, 0), 0.0) << kind;
}

TEST(RMSMeter, OverLevel6CountsFromFullScaleOrFromTheReference) {
  SettingsWorld world;
  struct Case {
    float ledRef;
    float sample;
    int expected;
  };
  // Reference -10 dB (0.316 of full scale).
  const Case cases[] = {{0.0f, 0.317f, 1}, {0.0f, 0.315f, -1}, {1.0f, 0.317f, -1}, {1.0f, 1.0f, 1}, {1.0f, 0.999f, -1}};
  for (const Case& c : cases) {
    auto rms = rmsAt(*world.shared, 44100.0f);
    rms->setParameter(RMSMeter::kReference, 100.0f / 300.0f);
    rms->setParameter(RMSMeter::kOverReference, 1.0f);
    rms->setParameter(RMSMeter::kOversTag, 0.0f);
    rms->setParameter(RMSMeter::kLedRef, c.ledRef);
    ASSERT_EQ(rms->overLevel(), 6);
    testing::feedBoth(*rms, {0.0f, c.sample}, 2);
    EXPECT_EQ(rms->readOverState(0), c.expected) << c.ledRef << " " << c.sample;
  }
  // Level 0 from full scale: -6 dBFS.
  auto rms = rmsAt(*world.shared, 44100.0f);
  rms->setParameter(RMSMeter::kOverReference, 0.0f);
  rms->setParameter(RMSMeter::kOversTag, 0.0f);
  testing::feedBoth(*rms, {0.0f, 0.5f}, 2);
  EXPECT_EQ(rms->readOverState(0), -1);
  testing::feedBoth(*rms, {0.0f, 0.502f}, 2);
  EXPECT_EQ(rms->readOverState(0), 1);
}

TEST(RMSMeter, PeakEnvelopeAndHoldRunLikeThePPMs) {
  SettingsWorld world;
  auto rms = rmsAt(*world.shared, 48000.0f);
  rms->setParameter(RMSMeter::kIntegration, 0.0f);
  std::vector<float> s = {0.0f, 0.5f};
  s.resize(48000, 0.0f);
  testing::feedBoth(*rms, s, 512);
  MeterReadout& r = rms->readout();
  EXPECT_EQ(r.reading(kHoldReading, 0), 0.5);  // held for 1 s
  const double expectedEnv = 0.5 * std::pow(1.0 - rms->fall(), 48000 - 2);
  EXPECT_NEAR(r.reading(kMainReading, 0), expectedEnv, 1e-12);
}

TEST(RMSMeter, SettingTextsAtTheEndsAndTheMiddle) {
  SettingsWorld world;
  RMSMeter rms(nullptr, *world.shared);
  EXPECT_EQ(display(rms, RMSMeter::kReference), "0.0dBFS");
  rms.setParameter(RMSMeter::kReference, 0.0f);
  EXPECT_EQ(display(rms, RMSMeter::kReference), "-20.0dBFS");
  rms.setParameter(RMSMeter::kReference, 1.0f);
  EXPECT_EQ(display(rms, RMSMeter::kReference), "10.0dBFS");
  rms.setParameter(RMSMeter::kReference, 0.5f);
  EXPECT_EQ(display(rms, RMSMeter::kReference), "-5.0dBFS");
  EXPECT_EQ(display(rms, RMSMeter::kIntegration), "10ms");
  EXPECT_EQ(display(rms, RMSMeter::kRmsIntegration), "1.00s");
  EXPECT_EQ(display(rms, RMSMeter::kHoldTime), "1.00s");
  EXPECT_EQ(display(rms, RMSMeter::kReturn), "2.00s");
  rms.setParameter(RMSMeter::kRmsIntegration, 0.0f);
  EXPECT_EQ(display(rms, RMSMeter::kRmsIntegration), "0.10s");
  rms.setParameter(RMSMeter::kHoldTime, 1.0f);
  EXPECT_EQ(display(rms, RMSMeter::kHoldTime), "10.00s");
  EXPECT_EQ(display(rms, RMSMeter::kLedRef), "");
  EXPECT_EQ(rms.readout().readingKinds(), 3);
}

}  // namespace
}  // namespace orvane
