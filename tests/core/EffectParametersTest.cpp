#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "meters/VUmeter.h"
#include "tests/core/EffectTestSupport.h"

using namespace orvane;
using orvane_test::EffectFixture;

namespace {
const VstInt32 kBadIndices[] = {-1, 64, 66, 101, 1000, INT_MAX, INT_MIN};
}

TEST(EffectRecord, CarriesTheValuesAHostReadsAfterConstruction) {
  EffectFixture f;
  AEffect* e = f.effect->getAeffect();
  EXPECT_EQ(e->magic, 0x56737450);
  EXPECT_EQ(e->numPrograms, 1);
  EXPECT_EQ(e->numParams, 64);
  EXPECT_EQ(e->numInputs, 2);
  EXPECT_EQ(e->numOutputs, 2);
  // Can replace and carries its state in a chunk; no editor in this build,
  // so the editor flag is clear, and double precision is not announced.
  EXPECT_EQ(e->flags, 0x30);
  EXPECT_EQ(e->initialDelay, 0);
  EXPECT_EQ(e->uniqueID, 0x5A4F6D33);
  EXPECT_EQ(e->version, 1);
  EXPECT_FLOAT_EQ(e->ioRatio, 1.0f);
  EXPECT_EQ(e->object, f.effect.get());
  EXPECT_FLOAT_EQ(f.effect->getSampleRate(), 44100.0f);
  EXPECT_EQ(f.effect->getBlockSize(), 1024);
  // The constructor asked for the output latency on its resume.
  EXPECT_NE(std::find(f.host.opcodes.begin(), f.host.opcodes.end(), audioMasterGetOutputLatency),
            f.host.opcodes.end());
}

TEST(EffectDispatcher, AnswersTheFixedOpcodesAsAHostExpects) {
  EffectFixture f;
  EXPECT_EQ(f.dispatch(effIdentify, 5, 7), 0x4E764566);
  EXPECT_EQ(f.dispatch(effGetPlugCategory), 4);
  EXPECT_EQ(f.dispatch(effGetVendorVersion), 3050);
  EXPECT_EQ(f.dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(f.dispatch(effGetTailSize), 0);
  EXPECT_EQ(f.dispatch(effGetCurrentMidiProgram), -1);
  EXPECT_EQ(f.dispatch(effSetTotalSampleToProcess, 0, 12345), 12345);
  EXPECT_EQ(f.dispatch(effSetBypass, 0, 1), 0);
  EXPECT_EQ(f.dispatch(effSetProcessPrecision, 0, 1), 0);
  EXPECT_EQ(f.dispatch(effProcessEvents), 0);
  EXPECT_EQ(f.dispatch(effString2Parameter, 1, 0, (void*)"3"), 0);
  EXPECT_EQ(f.text(effGetEffectName, 0), "ZEL Orvane");
  EXPECT_EQ(f.text(effGetProductString, 0), "ZEL Orvane");
  EXPECT_EQ(f.text(effGetVendorString, 0), "zelcraft.example");
  // Without an editor every editor opcode answers 0.
  ERect* rect = nullptr;
  EXPECT_EQ(f.dispatch(effEditGetRect, 0, 0, &rect), 0);
  EXPECT_EQ(f.dispatch(effEditOpen, 0, 0, (void*)1), 0);
  EXPECT_EQ(f.dispatch(effEditKeyDown, 'a', 0, nullptr, 0), 0);
  EXPECT_EQ(f.dispatch(effSetEditKnobMode, 0, 2), 0);
}

TEST(EffectDispatcher, ProgramChangesChangeNothing) {
  EffectFixture f;
  for (VstIntPtr p : {(VstIntPtr)0, (VstIntPtr)1, (VstIntPtr)5, (VstIntPtr)-3}) {
    EXPECT_EQ(f.dispatch(effSetProgram, 0, p), 0);
    EXPECT_EQ(f.dispatch(effGetProgram), 0);
  }
}

TEST(EffectDispatcher, UnknownDeprecatedAndNullPointerCallsAnswerZeroWithoutHarm) {
  EffectFixture f;
  for (VstInt32 op : {9, 16, 17, 18, 20, 21, 28, 30, 31, 32, 36, 37, 43, 46, 53, 54, 55, 57, 80, 999, -1, INT_MAX})
    EXPECT_EQ(f.dispatch(op, 1, 1, nullptr, 1.0f), 0) << op;
  // Opcodes that write text or read a structure, given no buffer.
  for (VstInt32 op : {effGetProgramName, effSetProgramName, effGetParamLabel, effGetParamDisplay, effGetParamName,
                      effGetChunk, effSetChunk, effGetProgramNameIndexed, effGetInputProperties,
                      effGetOutputProperties, effSetSpeakerArrangement, effGetEffectName, effGetVendorString,
                      effGetProductString, effCanDo, effGetParameterProperties, effGetSpeakerArrangement,
                      effEditGetRect})
    EXPECT_EQ(f.dispatch(op, 0, 0, nullptr, 0), 0) << op;
  // The instance still works.
  f.effect->setParameter(kTrim, 1.0f);
  EXPECT_EQ(f.display(kTrim), "20.0dB");
}

TEST(EffectParameters, StartAtTheirDefaults) {
  EffectFixture f;
  const float expected[kHostParameterCount] = {0, 0.5f, 0.5f, 0, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0};
  const char* texts[kHostParameterCount] = {"Off", "0.0dB", "Session", "VU3", "LR", "Off", "Show", "Hide", "Out",
                                            "In",  "12",    "20.0",    "In",  "6",  "30k", "Hide", "0 ms"};
  for (VstInt32 i = 0; i < kHostParameterCount; ++i) {
    EXPECT_FLOAT_EQ(f.effect->getParameter(i), expected[i]) << i;
    EXPECT_EQ(f.display(i), texts[i]) << i;
  }
  EXPECT_FLOAT_EQ(f.effect->trimGainTarget(), 1.0f);
}

TEST(EffectParameters, NamesLabelsAndAutomationFollowTheTable) {
  EffectFixture f;
  const char* names[] = {"Process", "Trim",    "GSIcal",  "Meter",  "LR/MS",  "Hold",   "Strips",  "ShowFlt", "ProcFlt",
                         "HPStat",  "HPSlope", "HPFreq",  "LPStat", "LPSlope", "LPFreq", "ShowLbl", "LagTime"};
  for (VstInt32 i = 0; i < kParameterSlots; ++i) {
    EXPECT_EQ(f.text(effGetParamName, i), i < kHostParameterCount ? names[i] : "") << i;
    EXPECT_EQ(f.text(effGetParamLabel, i), "  ") << i;
    EXPECT_EQ(f.dispatch(effCanBeAutomated, i), i < kHostParameterCount ? 1 : 0) << i;
    if (i >= kHostParameterCount) {
      EXPECT_EQ(f.display(i), "");
      f.effect->setParameter(i, 0.9f);
      EXPECT_FLOAT_EQ(f.effect->getParameter(i), 0.5f);  // empty slots read 0.5 whatever was set
    }
  }
}

TEST(EffectParameters, PropertiesGiveStepsAndShortLabels) {
  EffectFixture f;
  VstParameterProperties p;
  std::memset(&p, 0, sizeof(p));
  ASSERT_EQ(f.dispatch(effGetParameterProperties, kLagTime, 0, &p), 1);
  EXPECT_STREQ(p.label, "LagTime");
  EXPECT_STREQ(p.shortLabel, "LagTime");
  EXPECT_EQ(p.flags, kVstParameterUsesFloatStep);
  EXPECT_FLOAT_EQ(p.smallStepFloat, 1.0f / 999);
  ASSERT_EQ(f.dispatch(effGetParameterProperties, kProcess, 0, &p), 1);
  EXPECT_EQ(p.flags, kVstParameterIsSwitch | kVstParameterUsesFloatStep);
  EXPECT_FLOAT_EQ(p.stepFloat, 1.0f);
  ASSERT_EQ(f.dispatch(effGetParameterProperties, kTrim, 0, &p), 1);
  EXPECT_FLOAT_EQ(p.largeStepFloat, 1.0f / 41);
  EXPECT_FLOAT_EQ(p.smallStepFloat, 1.0f / 401);
  // The three-state choices move in half steps.
  for (VstInt32 i : {kGSIcal, kMeter, kHold}) {
    ASSERT_EQ(f.dispatch(effGetParameterProperties, i, 0, &p), 1);
    EXPECT_EQ(p.flags, kVstParameterUsesFloatStep) << i;
    EXPECT_FLOAT_EQ(p.stepFloat, 0.5f) << i;
  }
  EXPECT_EQ(f.dispatch(effGetParameterProperties, 17, 0, &p), 0);
}

TEST(EffectParameters, MapValuesToStatesAndTexts) {
  EffectFixture f;
  Templete& e = *f.effect;
  e.setParameter(kTrim, 0.5f);
  EXPECT_EQ(f.display(kTrim), "0.0dB");
  EXPECT_FLOAT_EQ(e.trimGainTarget(), 1.0f);
  e.setParameter(kTrim, 1.3f);  // clamps to +20 dB
  EXPECT_FLOAT_EQ(e.getParameter(kTrim), 1.0f);
  EXPECT_EQ(f.display(kTrim), "20.0dB");
  EXPECT_NEAR(e.trimGainTarget(), 10.0f, 1e-5);
  e.setParameter(kTrim, 0.8125f);
  EXPECT_EQ(f.display(kTrim), "12.5dB");
  e.setParameter(kTrim, -std::numeric_limits<float>::infinity());
  EXPECT_EQ(f.display(kTrim), "-20.0dB");

  e.setParameter(kHPFreq, 0.5f);
  EXPECT_EQ(f.display(kHPFreq), "200");
  e.setParameter(kHPFreq, 1.0f);
  EXPECT_EQ(f.display(kHPFreq), "2k");
  e.setParameter(kLPFreq, 0.5f);
  EXPECT_EQ(f.display(kLPFreq), "3k");
  e.setParameter(kLagTime, 1.0f);
  EXPECT_EQ(f.display(kLagTime), "999 ms");
  e.setParameter(kLagTime, 0.25025f);
  EXPECT_EQ(f.display(kLagTime), "250 ms");

  e.setParameter(kGSIcal, 0.0f);
  EXPECT_EQ(f.display(kGSIcal), "Global");
  e.setParameter(kGSIcal, 1.0f);
  EXPECT_EQ(f.display(kGSIcal), "Instance");
  e.setParameter(kHold, 0.5f);
  EXPECT_EQ(f.display(kHold), "oo");
  e.setParameter(kHold, 1.0f);
  EXPECT_EQ(f.display(kHold), "On");
  e.setParameter(kLRMS, 0.7f);
  EXPECT_EQ(f.display(kLRMS), "MS");
  e.setParameter(kHPSlope, 1.0f);
  e.setParameter(kLPSlope, 1.0f);
  EXPECT_EQ(f.display(kHPSlope), "24");
  EXPECT_EQ(f.display(kLPSlope), "18");
  // Meter: 0..0.2499 VU, 0.25..0.7499 RMS, 0.75..1 PPM.
  e.setParameter(kMeter, 0.2499f);
  EXPECT_EQ(e.meterType(), 0);
  e.setParameter(kMeter, 0.25f);
  EXPECT_EQ(e.meterType(), 1);
  EXPECT_EQ(f.display(kMeter), "RMS3");
  e.setParameter(kMeter, 0.75f);
  EXPECT_EQ(e.meterType(), 2);
  EXPECT_EQ(f.display(kMeter), "PPM3");
}

TEST(EffectParameters, FrequencyTextsFollowTheStripsNotation) {
  const std::pair<double, const char*> cases[] = {
      {5.0, "5.00"},   {63.2, "63.2"},  {632.0, "632"},  {2000.0, "2k"},   {2500.0, "2k5"},
      {2540.0, "2k54"}, {2040.0, "2k04"}, {12500.0, "12k5"}, {12050.0, "12k0"}, {30000.0, "30k"}};
  for (auto& c : cases) {
    char text[32];
    formatFrequency(c.first, text);
    EXPECT_STREQ(text, c.second) << c.first;
  }
}

TEST(EffectParameters, NanChangesNothingAndBadIndicesDoNothing) {
  EffectFixture f;
  Templete& e = *f.effect;
  e.setParameter(kTrim, 0.75f);
  e.setParameter(kTrim, std::numeric_limits<float>::quiet_NaN());
  EXPECT_FLOAT_EQ(e.getParameter(kTrim), 0.75f);
  e.setParameter(83, std::numeric_limits<float>::quiet_NaN());
  EXPECT_FALSE(std::isnan(e.getParameter(83)));
  e.setParameter(kLPFreq, std::numeric_limits<float>::infinity());
  EXPECT_FLOAT_EQ(e.getParameter(kLPFreq), 1.0f);
  for (VstInt32 i : kBadIndices) {
    e.setParameter(i, 0.3f);
    EXPECT_EQ(e.getParameter(i), 0.0f) << i;
    EXPECT_EQ(f.display(i), "") << i;
    EXPECT_EQ(f.text(effGetParamName, i), "") << i;
    EXPECT_EQ(f.text(effGetParamLabel, i), "") << i;
    EXPECT_EQ(f.dispatch(effCanBeAutomated, i), 0) << i;
    VstParameterProperties p;
    EXPECT_EQ(f.dispatch(effGetParameterProperties, i, 0, &p), 0) << i;
  }
  EXPECT_FLOAT_EQ(e.getParameter(kTrim), 0.75f);
}

TEST(EffectParameters, JustBelowAStateBoundaryTheEffectAndItsEnginesAgree) {
  EffectFixture f;
  const float below = std::nextafter(0.5f, 0.0f);  // + 0.5 rounds up to 1 in float
  f.effect->setParameter(kLRMS, below);
  EXPECT_EQ(f.display(kLRMS), "LR");
  EXPECT_EQ(f.effect->engines().vu().msOn(), 0);
  f.effect->setParameter(kHold, std::nextafter(0.25f, 0.0f));
  EXPECT_EQ(f.display(kHold), "Off");
  EXPECT_EQ(f.effect->engines().vu().holdMode(), 0);
  f.effect->setParameter(kGSIcal, std::nextafter(0.75f, 0.0f));
  EXPECT_EQ(f.display(kGSIcal), "Session");
  EXPECT_EQ(f.effect->engines().vu().scope(), kScopeSession);
}

TEST(EffectParameters, ANewInstanceStartsWithTheScopeAndMeterChosenLast) {
  EffectFixture f;
  f.effect->setParameter(kMeter, 0.5f);
  f.effect->setParameter(kGSIcal, 1.0f);
  auto second = f.another();
  EXPECT_FLOAT_EQ(second->getParameter(kMeter), 0.5f);
  EXPECT_EQ(second->meterType(), 1);
  EXPECT_FLOAT_EQ(second->getParameter(kGSIcal), 1.0f);
}

TEST(EffectParameters, AutomatedChangesAreAppliedThenReported) {
  EffectFixture f;
  f.effect->setParameterAutomated(kTrim, 0.25f);
  EXPECT_FLOAT_EQ(f.effect->getParameter(kTrim), 0.25f);
  ASSERT_EQ(f.host.automations.size(), 1u);
  EXPECT_EQ(f.host.automations[0].first, kTrim);
  EXPECT_FLOAT_EQ(f.host.automations[0].second, 0.25f);
}

TEST(EffectParameters, MeterSettingsAreMirroredAndReachTheirEngine) {
  EffectFixture f;
  // Defaults of a first run: VU reference -18 dBFS, PPM reference -12 dBFS.
  EXPECT_FLOAT_EQ(f.effect->getParameter(83), 0.25f);
  EXPECT_FLOAT_EQ(f.effect->getParameter(93), 0.5f);
  f.effect->setParameter(83, 0.5f);
  EXPECT_FLOAT_EQ(f.effect->getParameter(83), 0.5f);
  EXPECT_FLOAT_EQ(f.effect->engines().getSetting(83), 0.5f);
  // 82 and 92 name no setting.
  f.effect->setParameter(82, 0.7f);
  EXPECT_EQ(f.effect->getParameter(82), 0.0f);
}

TEST(EffectEntry, ANullHostStillGivesAWorkingInstance) {
  EffectFixture f(false);
  float in[64], out[2][64];
  for (int i = 0; i < 64; ++i) in[i] = 0.25f;
  float* ins[2] = {in, in};
  float* outs[2] = {out[0], out[1]};
  f.effect->processReplacing(ins, outs, 64);
  EXPECT_EQ(out[1][63], 0.25f);
  EXPECT_EQ(f.display(kMeter), "VU3");
}
