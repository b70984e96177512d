#include "meters/VUmeter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/meters/MeterTestSupport.h"

namespace orvane {
namespace {

using testing::SettingsWorld;

struct StepResponse {
  double final = 0.0;
  double riseMs = 0.0;
  double overshoot = 0.0;  // fraction of the final reading
};

// A 1 kHz sine of peak `peak` x reference, switched on from rest at 44.1 kHz.
StepResponse stepResponse(VUmeter& vu, double peak, double seconds = 3.0) {
  const double rate = 44100.0;
  const auto tone = testing::sine(1000.0, peak * vu.referenceAmplitude(), rate, static_cast<std::size_t>(seconds * rate));
  std::vector<double> needle;
  testing::feedBoth(vu, tone, 1, [&](std::size_t) { needle.push_back(vu.readout().reading(kMainReading, 0)); });
  StepResponse r;
  const std::size_t last = static_cast<std::size_t>(rate);  // mean over the last second
  for (std::size_t i = needle.size() - last; i < needle.size(); ++i) r.final += needle[i];
  r.final /= static_cast<double>(last);
  std::size_t i = 0;
  while (i < needle.size() && needle[i] < 0.99 * r.final) ++i;
  r.riseMs = static_cast<double>(i) * 1000.0 / rate;
  double top = 0.0;
  for (double v : needle) top = std::max(top, v);
  r.overshoot = top / r.final - 1.0;
  return r;
}

std::string display(const VUmeter& vu, int32_t index) {
  char text[32];
  vu.getParameterDisplay(index, text);
  return text;
}

TEST(VUmeter, TypeARisesTo99PercentIn293msWithASmallOvershoot) {
  SettingsWorld world;
  VUmeter vu(nullptr, *world.shared);
  EXPECT_NEAR(vu.needleFrequency(), 2.3706, 0.0001);
  const StepResponse r = stepResponse(vu, 1.0);
  EXPECT_NEAR(r.final, 0.9932, 0.0005);
  EXPECT_NEAR(r.riseMs, 293.0, 2.0);
  EXPECT_NEAR(r.overshoot, 0.004, 0.001);
  // Linear in the level, whatever the reference: 0.9932 x peak / reference.
  VUmeter low(nullptr, *world.shared);
  low.setParameter(VUmeter::kReference, 1.0f);
  EXPECT_NEAR(stepResponse(low, 0.5).final, 0.9932 * 0.5, 0.0004);
}

TEST(VUmeter, TypeBRisesTo99PercentIn426msWithoutVisibleOvershoot) {
  SettingsWorld world;
  VUmeter vu(nullptr, *world.shared);
  vu.setParameter(VUmeter::kType, 1.0f);
  EXPECT_EQ(vu.needleType(), 1);
  EXPECT_NEAR(vu.needleFrequency(), 2.0996, 0.0001);
  const StepResponse r = stepResponse(vu, 1.0, 4.0);
  EXPECT_NEAR(r.final, 0.9932, 0.0005);
  EXPECT_NEAR(r.riseMs, 426.0, 4.0);
  EXPECT_LT(r.overshoot, 0.0005);
}

TEST(VUmeter, RestsAtMinus0p05AndSilenceReadsWithinAHairOfZero) {
  SettingsWorld world;
  VUmeter vu(nullptr, *world.shared);
  MeterReadout& r = vu.readout();
  EXPECT_EQ(r.reading(kMainReading, 0), -0.05);
  EXPECT_EQ(r.reading(kHoldReading, 1), -0.05);
  EXPECT_EQ(r.readDisplayValue(0.0f, kMainReading, 0), -0.05);
  // The coil's anti-denormal offsets start with a faint transient (far below
  // anything drawn), then silence settles within about 1e-12 of zero.
  double transient = 0.0, settled = 0.0;
  testing::feedBoth(vu, testing::constant(0.0, 44100 * 2), 1, [&](std::size_t done) {
    double& worst = done <= 44100 ? transient : settled;
    worst = std::max(worst, std::fabs(r.reading(kMainReading, 0)));
  });
  EXPECT_LT(transient, 1e-8);
  EXPECT_LT(settled, 2e-12);
  EXPECT_LT(std::fabs(r.reading(kMainReading, 1)), 2e-12);
  // The first silent sample raised the hold mark from its rest to the needle.
  EXPECT_GT(r.reading(kHoldReading, 0), -0.05);

  // clearReadings rests needle and hold; reset rests the needle only.
  vu.clearReadings();
  EXPECT_EQ(r.reading(kHoldReading, 0), -0.05);
  EXPECT_EQ(r.blockStart(kMainReading, 0), -0.05);
  testing::feedBoth(vu, testing::constant(0.0, 10), 10);
  vu.reset();
  EXPECT_EQ(r.reading(kMainReading, 0), -0.05);
  EXPECT_GT(r.reading(kHoldReading, 0), -0.05);
}

TEST(VUmeter, AReadingAboveFullScaleKeepsTheLastSection) {
  SettingsWorld world;
  VUmeter vu(nullptr, *world.shared);
  EXPECT_EQ(vu.currentSection(0), 0);
  const auto tone = testing::sine(1000.0, 2.0 * vu.referenceAmplitude(), 44100.0, 44100 * 2);
  bool leftLast = false;
  std::size_t samples = 0;
  testing::feedBoth(vu, tone, 1, [&](std::size_t) {
    if (++samples > 44100 && vu.currentSection(0) != 15) leftLast = true;
  });
  EXPECT_GT(vu.readout().reading(kMainReading, 0), 1.9);  // never limited by the engine
  EXPECT_FALSE(leftLast);
}

TEST(VUmeter, ANewModelWhileTheNeedleIsUpRestartsFromSectionZerosOldState) {
  SettingsWorld world;
  VUmeter vu(nullptr, *world.shared);
  testing::feedBoth(vu, testing::sine(1000.0, vu.referenceAmplitude(), 44100.0, 44100 * 2), 512);
  ASSERT_GT(vu.readout().reading(kMainReading, 0), 0.98);
  ASSERT_EQ(vu.currentSection(0), 15);
  vu.setParameter(VUmeter::kIntegration, 0.6f);
  float one = static_cast<float>(vu.referenceAmplitude());
  float* channels[2] = {&one, &one};
  vu.processStereo(channels, 1);
  // Section 0 was last used at the start of the rise, near rest.
  EXPECT_LT(vu.readout().reading(kMainReading, 0), 0.1);
}

TEST(VUmeter, HoldMarkWaitsTheHoldTimeThenFalls24dBPerModelTime) {
  SettingsWorld world;
  VUmeter vu(nullptr, *world.shared);
  vu.setParameter(VUmeter::kHoldTime, 0.0f);  // 0.1 s
  const double rate = 44100.0;
  EXPECT_FLOAT_EQ(vu.holdLength(), 4410.0f);
  std::vector<double> needle, hold;
  auto signal = testing::sine(1000.0, vu.referenceAmplitude(), rate, 44100 * 2);
  signal.resize(44100 * 4, 0.0f);
  testing::feedBoth(vu, signal, 1, [&](std::size_t) {
    needle.push_back(vu.readout().reading(kMainReading, 0));
    hold.push_back(vu.readout().reading(kHoldReading, 0));
  });
  // The needle's highest point is where the mark was last raised.
  std::size_t raised = 0;
  for (std::size_t i = 1; i < needle.size(); ++i)
    if (needle[i] >= hold[i - 1]) raised = i;
  const double top = hold[raised];
  EXPECT_EQ(hold[raised + 4409], top);
  EXPECT_LT(hold[raised + 4410], top);
  const std::size_t modelSamples = static_cast<std::size_t>(rate * vu.modelIntegrationMs() * 0.001);
  EXPECT_NEAR(hold[raised + 4410 + modelSamples] / top, 1.0 / 16.0, 0.002);
}

TEST(VUmeter, TheHoldFallIsTakenFromTheIntegrationTimeAtReset) {
  SettingsWorld world;
  VUmeter vu(nullptr, *world.shared);
  const double before = vu.holdDecay();
  vu.setParameter(VUmeter::kIntegration, 1.0f);
  EXPECT_EQ(vu.holdDecay(), before);
  vu.reset();
  EXPECT_LT(vu.holdDecay(), before);
  EXPECT_NEAR(std::pow(1.0 - vu.holdDecay(), 44100.0 * vu.modelIntegrationMs() * 0.001), 1.0 / 16.0, 1e-9);
}

TEST(VUmeter, OverThresholdFollowsTheLedReference) {
  struct Case {
    float ledRef;
    double quiet;  // dBFS just below the threshold
    double loud;   // just above
  };
  // Reference -18 dBFS: 8 dB above it is -10 dBFS.
  const Case cases[] = {{0.0f, -10.05, -9.95}, {1.0f / 3.0f, -3.05, -2.95}, {2.0f / 3.0f, -1.05, -0.95}, {1.0f, -0.01, 0.0}};
  SettingsWorld world;
  for (const Case& c : cases) {
    for (bool loud : {false, true}) {
      VUmeter vu(nullptr, *world.shared);
      vu.setParameter(VUmeter::kOverLed, 0.0f);  // one sample is enough
      vu.setParameter(VUmeter::kLedRef, c.ledRef);
      std::vector<float> s = {0.0f, static_cast<float>(std::pow(10.0, (loud ? c.loud : c.quiet) / 20.0))};
      testing::feedBoth(vu, s, 2);
      EXPECT_EQ(vu.readOverState(0), loud ? 1 : -1) << "LED reference " << c.ledRef << (loud ? " loud" : " quiet");
    }
  }
}

TEST(VUmeter, SettingTextsShowReferenceIntegrationAndHold) {
  SettingsWorld world;
  VUmeter vu(nullptr, *world.shared);
  EXPECT_EQ(display(vu, VUmeter::kReference), "-18.0dBFS");
  vu.setParameter(VUmeter::kReference, 0.0f);
  EXPECT_EQ(display(vu, VUmeter::kReference), "-24.0dBFS");
  vu.setParameter(VUmeter::kReference, 1.0f);
  EXPECT_EQ(display(vu, VUmeter::kReference), "0.0dBFS");
  vu.setParameter(VUmeter::kIntegration, 0.0f);
  EXPECT_EQ(display(vu, VUmeter::kIntegration), "53ms");
  vu.setParameter(VUmeter::kIntegration, 0.5f);
  EXPECT_EQ(display(vu, VUmeter::kIntegration), "300ms");
  EXPECT_NEAR(vu.modelIntegrationMs(), 350.1, 0.01);
  vu.setParameter(VUmeter::kIntegration, 1.0f);
  EXPECT_EQ(display(vu, VUmeter::kIntegration), "1697ms");
  vu.setParameter(VUmeter::kHoldTime, 0.0f);
  EXPECT_EQ(display(vu, VUmeter::kHoldTime), "0.10s");
  vu.setParameter(VUmeter::kHoldTime, 0.5f);
  EXPECT_EQ(display(vu, VUmeter::kHoldTime), "1.00s");
  vu.setParameter(VUmeter::kHoldTime, 1.0f);
  EXPECT_EQ(display(vu, VUmeter::kHoldTime), "10.00s");
  EXPECT_EQ(display(vu, VUmeter::kType), "");
  EXPECT_EQ(display(vu, 93), "");
}

}  // namespace
}  // namespace orvane
