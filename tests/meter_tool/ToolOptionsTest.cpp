#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/Parameters.h"
#include "core/Templete.h"
#include "meters/MeterMath.h"
#include "tests/meter_tool/MeterToolTestSupport.h"
#include "tools/orvane-meter/MeteringSession.h"
#include "tools/orvane-meter/ToolOptions.h"

using namespace orvane;
using namespace orvane::metertool;
using metertool_test::parametersOf;

namespace {

// The effect after a host has applied what a command line asks for.
struct Applied {
  SessionSetup setup;
  std::unique_ptr<MeteringSession> session;
  explicit Applied(const std::vector<std::string>& args) {
    setup.parameters = parametersOf(args);
    setup.sampleRate = 48000.0f;
    session.reset(new MeteringSession(setup));
  }
  std::string display(int32_t index) {
    char text[64] = {0};
    session->effect().getParameterDisplay(index, text);
    return text;
  }
  std::string setting(int32_t index) {
    char text[64] = {0};
    session->effect().engines().settingDisplay(index, text);
    return text;
  }
  float value(int32_t index) { return session->effect().getParameter(index); }
};

ParseOutcome parse(std::vector<std::string> args, ToolOptions& o) {
  std::vector<const char*> argv = {"orvane-meter"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  return parseOptions(static_cast<int>(argv.size()), argv.data(), o);
}

}  // namespace

// Each option goes through the inverse of a mapping; the effect and its
// engines must turn the value back into the physical setting asked for.
TEST(ToolOptions, PhysicalValuesReachTheEffectAsTheSettingsAskedFor) {
  Applied vu({"--meter", "vu", "--reference", "-20", "--integration", "600", "--hold-time", "1500", "--vu-type", "b",
              "--over-count", "5", "--over-ref", "-1", "--ms-type", "6", "--precise", "--trim", "-3.5", "--hp", "80",
              "--lp", "12000", "--lag", "250", "--hold", "infinite", "--ms"});
  EXPECT_EQ(vu.setting(83), "-20.0dBFS");
  EXPECT_EQ(vu.setting(84), "600ms");
  EXPECT_EQ(vu.setting(85), "1.50s");
  EXPECT_EQ(vu.value(86), 1.0f);
  EXPECT_EQ((int)(vu.value(89) * 9.0f + 0.5f) + 1, 5);
  EXPECT_EQ((int)(vu.value(90) * 3.0f + 0.5f), 2);  // -1 dBFS
  EXPECT_EQ((int)(vu.value(87) * 2.0f + 0.5f), 2);  // M6
  EXPECT_EQ(vu.value(91), 1.0f);
  EXPECT_EQ(vu.display(kTrim), "-3.5dB");
  EXPECT_EQ(vu.display(kHPFreq), "80.0");
  EXPECT_EQ(vu.display(kLPFreq), "12k");
  EXPECT_EQ(vu.display(kLagTime), "250 ms");
  EXPECT_EQ(vu.display(kHold), "oo");
  EXPECT_EQ(vu.display(kLRMS), "MS");
  EXPECT_EQ(vu.session->meterType(), 0);

  Applied ppm({"--meter", "ppm", "--reference", "-18", "--integration", "5", "--hold-time", "1500", "--return", "2800",
               "--over-ref", "+8.15"});
  EXPECT_EQ(ppm.session->meterType(), 2);
  EXPECT_EQ(ppm.setting(93), "-18.0dBFS");
  EXPECT_EQ(ppm.setting(94), "5ms");
  EXPECT_EQ(ppm.setting(95), "1.50s");
  EXPECT_EQ(ppm.setting(96), "2.80s");
  EXPECT_EQ(ppm.value(99), 0.0f);

  Applied rms({"--meter", "rms", "--reference", "4.5", "--integration", "70", "--rms-integration", "300", "--return",
               "7000", "--over-ref", "-4", "--led-ref", "reference"});
  EXPECT_EQ(rms.session->meterType(), 1);
  EXPECT_EQ(rms.setting(72), "4.5dBFS");
  EXPECT_EQ(rms.setting(73), "70ms");
  EXPECT_EQ(rms.setting(74), "0.30s");
  EXPECT_EQ(rms.setting(76), "7.00s");
  EXPECT_EQ((int)(rms.value(79) * 6.0f + 0.5f), 2);  // -4 dB
  EXPECT_EQ(rms.value(81), 0.0f);
  EXPECT_NEAR(rms.session->referenceDbfs(), 4.5, 1e-4);
}

TEST(ToolOptions, EveryStepOfTheSteppedParametersRoundTrips) {
  for (int ms = 0; ms <= 999; ++ms) ASSERT_EQ(lagMilliseconds(mapping::lagTime(ms)), ms) << ms;
  for (int step = 0; step <= 400; ++step) {
    const double dB = step * 0.1 - 20.0;
    ASSERT_NEAR(trimDecibels(mapping::trim(dB)), dB, 1e-9) << dB;
  }
  for (int step = 0; step <= 300; ++step) {
    const float v = mapping::rmsReference(step * 0.1 - 20.0);
    ASSERT_EQ((int)(v * 300.0f + 0.5f), step);
  }
  for (int p = 0; p <= 200; ++p) {
    const double ms = 53.0330086 * std::pow(32.0, p / 200.0);
    ASSERT_EQ((int)(mapping::vuIntegration(ms) * 200.0f + 0.5f), p);
  }
  EXPECT_NEAR(hpFrequency(mapping::hpFrequency(80.0)), 80.0, 1e-3);
  EXPECT_NEAR(lpFrequency(mapping::lpFrequency(30000.0)), 30000.0, 1e-2);
}

// Both kinds of time knob: each of the 81 positions is reached from its own
// time, and a time between two positions goes to the nearer one.
TEST(ToolOptions, TimeKnobsLandOnTheNearestReachablePosition) {
  for (int p = 0; p <= 80; ++p) {
    const float v = p * 0.0125f;
    ASSERT_EQ(timePosition(mapping::shortTime(timeMs(v, TimeMap::Short, false)), false), p) << p;
    ASSERT_EQ(timePosition(mapping::longTime(timeMs(v, TimeMap::Long, false), false), false), p) << p;
    ASSERT_EQ(timePosition(mapping::longTime(timeMs(v, TimeMap::Long, true), true), true), p) << p;
  }
  // 1.00 s and 1.06 s are neighbours; 1.02 s is nearer the first.
  EXPECT_NEAR(timeMs(mapping::longTime(1020.0, false), TimeMap::Long, false), 1000.0, 1e-6);
  EXPECT_NEAR(timeMs(mapping::longTime(1045.0, false), TimeMap::Long, false), 1059.25, 0.01);
}

// With the scope applied after the settings, choosing Global would put the
// Global store's values back over what the command line asked for.
TEST(ToolOptions, TheScopeGoesFirstSoItNeverUndoesTheSettings) {
  Applied a({"--reference", "-20", "--scope", "global"});
  EXPECT_EQ(a.setting(83), "-20.0dBFS");
  EXPECT_EQ(a.display(kGSIcal), "Global");
  const auto p = parametersOf({"--reference", "-20", "--scope", "global", "--trim", "2"});
  ASSERT_GE(p.size(), 4u);
  EXPECT_EQ(p[0].index, kGSIcal);
  EXPECT_EQ(p[1].index, kMeter);
  EXPECT_EQ(p[2].index, 83);
}

TEST(ToolOptions, AcceptsBothSpellingsAndNegativeValuesAsSeparateWords) {
  ToolOptions o;
  ASSERT_TRUE(parse({"--trim", "-3.5", "--format=csv", "-o", "out.csv", "--rate-hz=60", "--block", "64", "in.wav"}, o).ok);
  EXPECT_EQ(o.input, "in.wav");
  EXPECT_EQ(o.output, "out.csv");
  EXPECT_EQ(o.format, OutputFormat::Csv);
  EXPECT_EQ(o.rateHz, 60.0);
  EXPECT_EQ(o.block, 64);
  ASSERT_TRUE(parse({"--", "-odd-name.wav"}, o).ok);
  EXPECT_EQ(o.input, "-odd-name.wav");
  ASSERT_TRUE(parse({"--help"}, o).ok);
  EXPECT_TRUE(o.help);
}

TEST(ToolOptions, RefusesBadCommandLinesWithOneClearLine) {
  const struct {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{"--loudness", "x.wav"}, "unknown option '--loudness'"},
      {{"-x", "x.wav"}, "unknown option '-x'"},
      {{"x.wav", "--trim"}, "--trim needs a value"},
      {{"--trim", "loud", "x.wav"}, "'loud' is not a number"},
      {{"--trim", "25", "x.wav"}, "--trim: 25 is out of range (dB, -20 to +20)"},
      {{"--lag", "1000", "x.wav"}, "--lag: 1000 is out of range"},
      {{"--lag", "2.5", "x.wav"}, "not a whole number"},
      {{"--rate-hz", "0", "x.wav"}, "--rate-hz: 0 is out of range"},
      {{"--block", "0", "x.wav"}, "--block: 0 is out of range"},
      {{"--meter", "loudness", "x.wav"}, "'loudness' is not one of vu|rms|ppm"},
      {{"--meter", "ppm", "--vu-type", "b", "x.wav"}, "--vu-type: applies to the VU meter only (the meter is PPM)"},
      {{"--return", "500", "x.wav"}, "--return: applies to the RMS and PPM meters only (the meter is VU)"},
      {{"--reference", "-30", "x.wav"}, "--reference: -30 is out of range (dBFS, -24 to 0)"},
      {{"--meter", "rms", "--reference", "12", "x.wav"}, "out of range (dB, -20 to +10 for the RMS meter)"},
      {{"--over-ref", "-2", "x.wav"}, "not an over level of this meter"},
      {{"--hp", "10", "x.wav"}, "--hp: 10 is out of range"},
      {{"--set", "20=0.5", "x.wav"}, "20 is not a parameter"},
      {{"--set", "3=1.5", "x.wav"}, "1.5 is out of range"},
      {{"--process=yes", "x.wav"}, "--process takes no value"},
      {{"a.wav", "b.wav"}, "'b.wav' is one too many"},
      {{"--meter", "rms"}, "no input file"},
      {{"--make-test-signal", "t.wav", "x.wav"}, "give no input file"},
  };
  for (const auto& c : cases) {
    ToolOptions o;
    const ParseOutcome r = parse(c.args, o);
    EXPECT_FALSE(r.ok) << c.says;
    EXPECT_NE(r.message.find(c.says), std::string::npos) << "got: " << r.message;
    EXPECT_EQ(r.message.find('\n'), std::string::npos) << r.message;
  }
}
