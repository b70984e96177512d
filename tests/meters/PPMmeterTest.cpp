#include "meters/PPMmeter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/meters/MeterTestSupport.h"

namespace orvane {
namespace {

using testing::SettingsWorld;

std::unique_ptr<PPMmeter> ppmAt(SharedSettings& shared, float rate) {
  std::unique_ptr<PPMmeter> ppm(new PPMmeter(nullptr, shared));
  ppm->setSampleRate(rate);
  ppm->reset();
  return ppm;
}

// Channel-A readings after each sample.
std::vector<double> trace(PPMmeter& ppm, const std::vector<float>& s, int kind) {
  std::vector<double> out;
  testing::feedBoth(ppm, s, 1, [&](std::size_t) { out.push_back(ppm.readout().reading(kind, 0)); });
  return out;
}

std::string display(const PPMmeter& ppm, int32_t index) {
  char text[32];
  ppm.getParameterDisplay(index, text);
  return text;
}

TEST(PPMmeter, AStepReaches99PercentInTheIntegrationTime) {
  SettingsWorld world;
  for (float setting : {0.5f, 1.0f}) {
    auto ppm = ppmAt(*world.shared, 48000.0f);
    ppm->setParameter(PPMmeter::kIntegration, setting);
    const double target = 0.25 / ppm->referenceAmplitude();
    const auto env = trace(*ppm, testing::constant(0.25, 10000), kMainReading);
    std::size_t i = 0;
    while (env[i] < 0.99 * target) ++i;
    // The sample count of the integration time reaches 99 % (counted from 1).
    EXPECT_NEAR(static_cast<double>(i + 1), ppm->integrationMs() * 48.0, 1.0) << setting;
    EXPECT_NEAR(env.back(), target, target * 1e-3);
  }
}

TEST(PPMmeter, ZeroIntegrationFollowsRisesInstantly) {
  SettingsWorld world;
  auto ppm = ppmAt(*world.shared, 44100.0f);
  ppm->setParameter(PPMmeter::kIntegration, 0.0f);
  EXPECT_EQ(ppm->attack(), 1.0);
  const auto env = trace(*ppm, {0.0f, 0.3f, 0.1f}, kMainReading);
  EXPECT_DOUBLE_EQ(env[1], static_cast<double>(0.3f) / ppm->referenceAmplitude());
  EXPECT_LT(env[2], env[1]);  // the fall is still the return time's
  EXPECT_GT(env[2], 0.999 * env[1]);
}

TEST(PPMmeter, SilenceTakesTheEnvelope24dBDownInTheReturnTime) {
  SettingsWorld world;
  auto ppm = ppmAt(*world.shared, 48000.0f);
  ppm->setParameter(PPMmeter::kHoldTime, 1.0f);  // keep the hold out of the way
  auto s = testing::constant(0.25, 4800);
  s.resize(4800 + 48000 * 3, 0.0f);
  const auto env = trace(*ppm, s, kMainReading);
  const double start = env[4799];
  std::size_t i = 4800;
  while (env[i] > start / 16.0) ++i;
  EXPECT_NEAR(static_cast<double>(i - 4799), ppm->returnMs() * 48.0, 1.0);
  // Far below, the recursion parks on a tiny normal number instead of
  // sinking into denormals.
  testing::feedBoth(*ppm, testing::constant(0.0, 48000 * 60), 4096);
  for (int kind : {kMainReading, kHoldReading}) {
    const double v = ppm->readout().reading(kind, 0);
    EXPECT_LT(v, 1e-20);
    EXPECT_TRUE(v == 0.0 || std::fpclassify(v) == FP_NORMAL) << v;
  }
}

TEST(PPMmeter, HoldWaitsThenFallsWithTheReturnCoefficient) {
  SettingsWorld world;
  auto ppm = ppmAt(*world.shared, 48000.0f);
  ppm->setParameter(PPMmeter::kIntegration, 0.0f);
  ppm->setParameter(PPMmeter::kHoldTime, 0.0f);  // 0.1 s
  EXPECT_DOUBLE_EQ(ppm->holdLength(), ppm->holdMs() * 48.0);
  auto s = testing::constant(0.5, 10);
  s.resize(10 + 48000 * 4, 0.0f);
  const auto hold = trace(*ppm, s, kHoldReading);
  const double top = hold[9];
  const std::size_t length = static_cast<std::size_t>(std::ceil(ppm->holdLength()));
  // Raised at sample 0 (counter 0), held until the counter reaches the
  // hold length, then falling 24 dB per return time like the envelope.
  EXPECT_EQ(hold[length - 1], top);
  EXPECT_LT(hold[length], top);
  EXPECT_DOUBLE_EQ(hold[length] , top - top * ppm->fall());
  const std::size_t ret = static_cast<std::size_t>(ppm->returnMs() * 48.0);
  EXPECT_NEAR(hold[length + ret - 1] / top, 1.0 / 16.0, 0.001);
}

TEST(PPMmeter, HoldIsRaisedOnlyWhenTheEnvelopeStrictlyExceedsIt) {
  // A steady level keeps the envelope equal to the hold: the hold counter
  // is not restarted, so the mark dips once per hold length and is raised
  // again by the next sample.
  SettingsWorld world;
  auto ppm = ppmAt(*world.shared, 48000.0f);
  ppm->setParameter(PPMmeter::kIntegration, 0.0f);
  ppm->setParameter(PPMmeter::kHoldTime, 0.0f);
  const auto hold = trace(*ppm, testing::constant(0.5, 12000), kHoldReading);
  const std::size_t length = static_cast<std::size_t>(std::ceil(ppm->holdLength()));
  EXPECT_LT(hold[length], hold[length - 1]);
  EXPECT_EQ(hold[length + 1], hold[length - 1]);
}

TEST(PPMmeter, TheLowestOverReferenceSits8p15dBAboveTheReference) {
  SettingsWorld world;
  for (bool loud : {false, true}) {
    auto ppm = ppmAt(*world.shared, 44100.0f);
    ppm->setParameter(PPMmeter::kOverTag, 0.0f);
    ppm->setParameter(PPMmeter::kOverReference, 0.0f);
    const double dB = -12.0 + (loud ? 8.2 : 8.1);
    trace(*ppm, {0.0f, static_cast<float>(std::pow(10.0, dB / 20.0))}, kMainReading);
    EXPECT_EQ(ppm->readOverState(0), loud ? 1 : -1);
  }
}

TEST(PPMmeter, SettingTextsAtTheEndsAndTheMiddle) {
  SettingsWorld world;
  PPMmeter ppm(nullptr, *world.shared);
  // First-run settings: -12 dBFS, 10 ms, 1 s hold, 2 s return, overs after 3.
  EXPECT_EQ(display(ppm, PPMmeter::kReference), "-12.0dBFS");
  EXPECT_EQ(display(ppm, PPMmeter::kIntegration), "10ms");
  EXPECT_EQ(display(ppm, PPMmeter::kHoldTime), "1.00s");
  EXPECT_EQ(display(ppm, PPMmeter::kReturn), "2.00s");
  EXPECT_EQ(ppm.readout().overSampleCount(), 3.0);
  EXPECT_EQ(display(ppm, PPMmeter::kMsType), "");
  ppm.setParameter(PPMmeter::kReference, 0.0f);
  EXPECT_EQ(display(ppm, PPMmeter::kReference), "-24.0dBFS");
  ppm.setParameter(PPMmeter::kReference, 1.0f);
  EXPECT_EQ(display(ppm, PPMmeter::kReference), "0.0dBFS");
  ppm.setParameter(PPMmeter::kIntegration, 0.0f);
  EXPECT_EQ(display(ppm, PPMmeter::kIntegration), "0ms");
  ppm.setParameter(PPMmeter::kIntegration, 1.0f);
  EXPECT_EQ(display(ppm, PPMmeter::kIntegration), "100ms");
  ppm.setParameter(PPMmeter::kHoldTime, 0.0f);
  EXPECT_EQ(display(ppm, PPMmeter::kHoldTime), "0.10s");
  ppm.setParameter(PPMmeter::kReturn, 1.0f);
  EXPECT_EQ(display(ppm, PPMmeter::kReturn), "10.00s");
  ppm.setParameter(PPMmeter::kReturn, 0.69f);  // position 55 (55.2 truncated)
  EXPECT_EQ(display(ppm, PPMmeter::kReturn), "2.37s");
}

}  // namespace
}  // namespace orvane
