// The strips' arithmetic: typed frequencies, the entries' positions, the
// label cut and the display delay from the host's latency.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "core/Parameters.h"
#include "strips/StripRules.h"

using orvane::StripFilter;

namespace {

struct TypedCase {
  StripFilter filter;
  const char* text;
  double hz;  // what the parameter must mean afterwards
};

double frequencyOf(StripFilter filter, float v) {
  return filter == StripFilter::HighPass ? orvane::hpFrequency(v) : orvane::lpFrequency(v);
}

}  // namespace

TEST(StripRules, TypedFrequenciesSetTheFilterToTheNearestFrequencyInItsRange) {
  const StripFilter hp = StripFilter::HighPass, lp = StripFilter::LowPass;
  const std::string longDigits(255, '7');
  const std::string longLetters = "1k" + std::string(253, 'x');
  const TypedCase cases[] = {
      {lp, "3", 3000},
      {hp, "3", 20},
      {lp, "500", 500},
      {hp, "5k", 2000},
      {hp, "2k5", 2000},
      {lp, "2k5", 2500},
      {hp, "1.5k", 1500},
      {hp, "1.5K", 1500},
      {hp, " 500 ", 500},
      {hp, "500 Hz", 500},
      {lp, "12k", 12000},
      {lp, "0.3", 300},
      {lp, "30", 30000},
      {lp, "31", 300},
      {hp, "k", 20},
      {lp, "k", 300},
      {hp, "abc", 20},
      {lp, "abc", 300},
      {hp, "1e9", 2000},
      {lp, "1e9", 30000},
      {hp, "-3", 20},
      {lp, "-3", 300},
      {hp, "nan", 20},
      {lp, "inf", 300},
      {hp, "1e999", 2000},
      {hp, "1e-999", 20},
      {lp, "0.0200k", 300},
      {hp, longDigits.c_str(), 2000},
      {hp, longLetters.c_str(), 1000},
      {hp, "200", 200},
      {lp, "3k", 3000},
      {hp, "63.2", 63.2},
  };
  for (const TypedCase& c : cases) {
    float v = -1.f;
    ASSERT_TRUE(orvane::filterValueFromText(c.filter, c.text, v)) << c.text;
    ASSERT_TRUE(v >= 0.f && v <= 1.f) << c.text << " gave " << v;
    EXPECT_NEAR(frequencyOf(c.filter, v), c.hz, c.hz * 1e-5) << c.text;
  }
}

TEST(StripRules, AnEmptyEntryChangesNothing) {
  for (const char* text : {"", "   ", "\t"}) {
    float v = 0.25f;
    EXPECT_FALSE(orvane::filterValueFromText(StripFilter::LowPass, text, v));
    EXPECT_EQ(v, 0.25f);
  }
  float v = 0.25f;
  EXPECT_FALSE(orvane::filterValueFromText(StripFilter::HighPass, nullptr, v));
  EXPECT_EQ(v, 0.25f);
}

TEST(StripRules, FrequencyValuesInvertTheEffectsMapping) {
  for (float v : {0.f, 0.1f, 0.5f, 0.77f, 1.f}) {
    EXPECT_NEAR(orvane::filterValueOf(StripFilter::HighPass, orvane::hpFrequency(v)), v, 1e-6);
    EXPECT_NEAR(orvane::filterValueOf(StripFilter::LowPass, orvane::lpFrequency(v)), v, 1e-6);
  }
  EXPECT_EQ(orvane::filterValueOf(StripFilter::HighPass, std::nan("")), 0.f);
  EXPECT_EQ(orvane::filterValueOf(StripFilter::LowPass, INFINITY), 1.f);
}

TEST(StripRules, FrequencyEntriesSitAboveTheirHandles) {
  EXPECT_EQ(orvane::frequencyEntryLeft(StripFilter::HighPass, 0.f), 45);
  EXPECT_EQ(orvane::frequencyEntryLeft(StripFilter::HighPass, 1.f), 189);
  EXPECT_EQ(orvane::frequencyEntryLeft(StripFilter::LowPass, 0.5f), 382);
  EXPECT_EQ(orvane::frequencyEntryLeft(StripFilter::LowPass, std::nanf("")), 310);
}

TEST(StripRules, TheLabelKeepsAtMost38BytesOfWholeCharacters) {
  struct Case {
    std::string text;
    size_t kept;
  };
  const std::string sixty(60, 'a');
  const std::string ae = "\xC3\xA4";            // two bytes
  const std::string euro = "\xE2\x82\xAC";      // three bytes
  const std::string clef = "\xF0\x9D\x84\x9E";  // four bytes
  const Case cases[] = {
      {"", 0},
      {"Master Track", 12},
      {sixty, 38},
      {std::string(37, 'a') + ae + "b", 37},  // the two-byte character would straddle the cut
      {std::string(36, 'a') + ae + "b", 38},  // it just fits
      {std::string(36, 'a') + euro, 36},
      {std::string(35, 'a') + clef + "zz", 35},
      {std::string(34, 'a') + clef + "zz", 38},
      {[&] {
         std::string s;
         for (int i = 0; i < 20; ++i) s += euro;
         return s;
       }(),
       36},
      {std::string(60, '\x80'), 38},  // not UTF-8 at all: cut where it falls
  };
  for (const Case& c : cases) {
    char out[40];
    std::memset(out, 0x55, sizeof out);
    EXPECT_EQ(orvane::cutLabelText(c.text.c_str(), out), c.kept) << c.text;
    EXPECT_EQ(std::strlen(out), c.kept);
    EXPECT_EQ(std::string(out), c.text.substr(0, c.kept));
  }
}

TEST(StripRules, TheHostsLatencyBecomesTheDisplayDelayInMilliseconds) {
  struct Case {
    double seconds;
    int ms;
  };
  const Case cases[] = {{512.0 / 48000.0, 11}, {0, 0},  {0.25, 250},       {0.999, 999},   {1.0, 999},
                        {30.0, 999},           {-1, 0}, {std::nan(""), 0}, {INFINITY, 999}};
  for (const Case& c : cases) {
    const float v = orvane::lagValueOfLatency(c.seconds);
    ASSERT_TRUE(v >= 0.f && v <= 1.f);
    EXPECT_EQ(orvane::lagMilliseconds(v), c.ms) << c.seconds;
  }
}
