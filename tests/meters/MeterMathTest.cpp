// Time maps, coefficients and the number texts the back panels show.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "meters/MeterMath.h"
#include "meters/NumberFormat.h"

namespace orvane {
namespace {

std::string fmt(double v, int decimals, std::size_t size = 32) {
  char text[32];
  formatNumber(v, decimals, text, size);
  return text;
}

// The setting value in the middle of a knob position, safe from float
// rounding at the position's edges.
float positionValue(int position) { return (static_cast<float>(position) + 0.25f) / 80.0f; }

TEST(NumberFormat, RoundsHalvesAwayFromZeroAndCutsAtEightCharacters) {
  EXPECT_EQ(fmt(2.25, 1), "2.3");
  EXPECT_EQ(fmt(-2.25, 1), "-2.3");
  EXPECT_EQ(fmt(2.5, 0), "3");
  EXPECT_EQ(fmt(-2.5, 0), "-3");
  EXPECT_EQ(fmt(0.125, 2), "0.13");
  EXPECT_EQ(fmt(-18.0, 1), "-18.0");
  EXPECT_EQ(fmt(-0.04, 1), "0.0");  // no "-0.0" on a knob
  EXPECT_EQ(fmt(999.999, 2), "1000.00");
  EXPECT_EQ(fmt(12345.678, 2), "12345.68");   // exactly eight characters
  EXPECT_EQ(fmt(1234567.5, 1), "1234567");    // the dangling point goes too
  EXPECT_EQ(fmt(-1234567.25, 2), "-1234567");
  EXPECT_EQ(fmt(1e30, 1), "10000000");
  EXPECT_EQ(fmt(std::numeric_limits<double>::quiet_NaN(), 1), "");
  EXPECT_EQ(fmt(-std::numeric_limits<double>::infinity(), 1), "-oo");
  EXPECT_EQ(fmt(-24.0, 1, 4), "-24");  // a short buffer is never overrun
  char unit[8];
  formatNumberWithUnit(-20.0, 1, "dBFS", unit, sizeof unit);
  EXPECT_STREQ(unit, "-20.0dB");
}

TEST(TimeMaps, NudgedStepsLandOnTheTimesPrintedOnTheScales) {
  auto shortMs = [](int position) { return static_cast<int>(timeMs(positionValue(position), TimeMap::Short, false) + 0.5); };
  EXPECT_EQ(shortMs(0), 0);
  EXPECT_EQ(shortMs(32), 5);    // s 8
  EXPECT_EQ(shortMs(40), 10);   // s 10
  EXPECT_EQ(shortMs(72), 70);   // s 18
  EXPECT_EQ(shortMs(80), 100);  // s 20
  auto longS = [](int position) {
    return static_cast<float>(timeMs(positionValue(position), TimeMap::Long, false)) * 0.001f;
  };
  EXPECT_NEAR(longS(0), 0.10f, 0.005f);
  EXPECT_NEAR(longS(40), 1.00f, 0.005f);
  EXPECT_NEAR(longS(48), 1.50f, 0.005f);
  EXPECT_NEAR(longS(56), 2.80f, 0.005f);
  EXPECT_NEAR(longS(72), 7.00f, 0.005f);
  EXPECT_NEAR(longS(80), 10.00f, 0.005f);
  EXPECT_NEAR(longS(52), 1.995f, 0.001f);
}

TEST(TimeMaps, EveryPositionIsAtLeastAsLongAsTheOneBefore) {
  for (TimeMap map : {TimeMap::Short, TimeMap::Long}) {
    for (int p = 1; p <= 80; ++p) {
      EXPECT_GE(timeStep(p, map), timeStep(p - 1, map)) << "position " << p;
    }
  }
}

TEST(TimeMaps, PositionsTruncateOrRoundAndStoredValuesComeBackToTheirPosition) {
  EXPECT_EQ(timePosition(0.66f, false), 52);
  EXPECT_EQ(timePosition(0.66f, true), 53);
  EXPECT_EQ(timePosition(1.0f, false), 80);
  EXPECT_EQ(timePosition(7.0f, true), 80);
  EXPECT_EQ(timePosition(-1.0f, true), 0);
  EXPECT_EQ(timePosition(std::nanf(""), false), 0);
  EXPECT_FLOAT_EQ(quantiseTimeSetting(0.66f), 0.65f);
  for (int p = 0; p <= 80; ++p) {
    const float stored = quantiseTimeSetting(positionValue(p));
    EXPECT_EQ(timePosition(stored, false), p) << p;
    EXPECT_EQ(quantiseTimeSetting(stored), stored);
  }
}

TEST(Coefficients, RiseAndFallReachTheirMarksInTheGivenTime) {
  const float rate = 48000.0f;
  const double ms = 10.0;
  const double a = attackCoefficient(rate, ms);
  EXPECT_NEAR(std::pow(1.0 - a, rate * ms * 0.001), 0.01, 1e-9);  // 99 % reached
  const double f = fallCoefficient(rate, 2000.0);
  EXPECT_NEAR(std::pow(1.0 - f, rate * 2.0), 1.0 / 16.0, 1e-9);  // 24 dB down
  EXPECT_EQ(attackCoefficient(rate, 0.05), 1.0);
  EXPECT_LT(attackCoefficient(rate, 0.06), 1.0);
  EXPECT_EQ(fallCoefficient(rate, 0.0), 1.0);
  EXPECT_DOUBLE_EQ(holdSamples(rate, 1000.0), 48000.0);
  EXPECT_NEAR(referenceAmplitude(-18.0f), 0.125892541, 1e-8);
  EXPECT_EQ(referenceDbFromSetting24(0.25f), -18.0f);
}

}  // namespace
}  // namespace orvane
