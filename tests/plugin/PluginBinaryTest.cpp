// The shipped binary as a host sees it: loaded by the test host through its
// exported entry point alone, in the build's own bitness (under Wine for the
// DLLs).
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "tests/support/PluginTest.h"
#include "tools/vsthost/VstHost.h"

namespace {

using plugin_test::Instance;
using plugin_test::library;
std::string gGoldenDir;

std::vector<unsigned char> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(PluginBinary, ExportsItsEntryPointUnderBothNames) {
  ASSERT_NE(library().vstPluginMain(), nullptr);
  ASSERT_NE(library().mainEntry(), nullptr);
  vsthost::HostState host;
  vsthost::Plugin viaMain(library().mainEntry(), host);
  ASSERT_TRUE(viaMain.valid());
  EXPECT_EQ(viaMain.text(effGetEffectName), "ZEL Orvane");
  EXPECT_EQ(host.versionQueries, 2);
  EXPECT_EQ(viaMain.close(), 1);
}

TEST(PluginBinary, AHostThatAnswersNoVersionGetsNoInstanceAndANullHostGetsOne) {
  vsthost::HostState refusing;
  refusing.versionAnswer = 0;
  vsthost::Plugin none(library().vstPluginMain(), refusing);
  EXPECT_FALSE(none.valid());
  vsthost::HostState unused;
  vsthost::Plugin lonely(library().vstPluginMain(), unused, false);
  ASSERT_TRUE(lonely.valid());
  float in[64], out[2][64];
  for (int i = 0; i < 64; ++i) in[i] = 0.125f * (i % 8);
  float* ins[2] = {in, in};
  float* outs[2] = {out[0], out[1]};
  lonely.start(44100, 64);
  lonely.process(ins, outs, 64);
  EXPECT_EQ(0, std::memcmp(out[1], in, sizeof(in)));
}

TEST(PluginBinary, FillsItsRecordAndAnswersIdentity) {
  Instance i;
  ASSERT_TRUE(i.plugin.valid());
  AEffect* e = i.plugin.effect();
  EXPECT_EQ(e->magic, kEffectMagic);
  EXPECT_EQ(e->uniqueID, vstFourCC('Z', 'O', 'm', '3'));
  EXPECT_EQ(e->numParams, 64);
  EXPECT_EQ(e->numPrograms, 1);
  EXPECT_EQ(e->numInputs, 2);
  EXPECT_EQ(e->numOutputs, 2);
  // Has an editor (the native one in an X11 window), can replace, keeps its
  // state in a chunk; no double precision.
  EXPECT_EQ(e->flags, 0x31);
  EXPECT_EQ(e->version, 1);
  EXPECT_EQ(i.plugin.dispatch(effIdentify), vstFourCC('N', 'v', 'E', 'f'));
  EXPECT_EQ(i.plugin.text(effGetVendorString), "zelcraft.example");
  EXPECT_EQ(i.plugin.text(effGetProductString), "ZEL Orvane");
  EXPECT_EQ(i.plugin.dispatch(effGetVendorVersion), 3050);
  EXPECT_EQ(i.plugin.dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(i.plugin.dispatch(effGetPlugCategory), kPlugCategMastering);
  EXPECT_EQ(i.plugin.dispatch(effCanDo, 0, 0, (void*)"2in2out"), 1);
  EXPECT_EQ(i.plugin.dispatch(effCanDo, 0, 0, (void*)"2in1out"), 0);
  VstPinProperties pin{};
  EXPECT_EQ(i.plugin.dispatch(effGetOutputProperties, 1, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "ZEL Orvane 2 Out");
  EXPECT_EQ(i.plugin.dispatch(effGetInputProperties, 2, 0, &pin), 0);
  EXPECT_EQ(i.plugin.dispatch(effGetInputProperties, -1, 0, &pin), 0);
  EXPECT_GE(i.host.versionQueries, 2);
}

TEST(PluginBinary, ParametersThroughTheRecordsThunks) {
  Instance i;
  auto& p = i.plugin;
  EXPECT_EQ(p.text(effGetParamName, 16), "LagTime");
  EXPECT_EQ(p.text(effGetParamDisplay, 14), "30k");
  p.setParameter(1, 0.8125f);
  EXPECT_EQ(p.text(effGetParamDisplay, 1), "12.5dB");
  p.setParameter(1, std::numeric_limits<float>::quiet_NaN());
  EXPECT_FLOAT_EQ(p.getParameter(1), 0.8125f);
  p.setParameter(11, 2.0f);
  EXPECT_EQ(p.text(effGetParamDisplay, 11), "2k");
  for (VstInt32 bad : {-1, 64, 66, 101, 1000, INT_MAX}) {
    p.setParameter(bad, 0.7f);
    EXPECT_EQ(p.getParameter(bad), 0.0f) << bad;
    EXPECT_EQ(p.text(effGetParamDisplay, bad), "") << bad;
    EXPECT_EQ(p.dispatch(effCanBeAutomated, bad), 0) << bad;
  }
  EXPECT_EQ(p.getParameter(20), 0.5f);
  for (VstInt32 op : {80, 999, -1}) EXPECT_EQ(p.dispatch(op, 0, 0, nullptr, 0), 0) << op;
  for (VstInt32 op : {effGetParamDisplay, effGetParamName, effGetChunk, effGetInputProperties, effCanDo,
                      effGetParameterProperties, effGetProgramNameIndexed})
    EXPECT_EQ(p.dispatch(op, 0, 0, nullptr, 0), 0) << op;
}

TEST(PluginBinary, PassesAudioUnchangedAndTrimsWhenProcessing) {
  Instance i;
  auto& p = i.plugin;
  p.start(48000, 480);
  std::vector<float> l(480), r(480), outL(480), outR(480);
  for (int n = 0; n < 480; ++n) {
    l[n] = std::sin(n * 0.1f) * 0.5f;
    r[n] = std::cos(n * 0.07f) * 0.25f;
  }
  float* ins[2] = {l.data(), r.data()};
  float* outs[2] = {outL.data(), outR.data()};
  p.process(ins, outs, 480);
  EXPECT_EQ(outL, l);
  EXPECT_EQ(outR, r);
  EXPECT_GE(i.host.pinQueries, 2);
  p.setParameter(0, 1.0f);
  p.setParameter(1, 0.0f);  // -20 dB, glides from unity
  for (int block = 0; block < 100; ++block) p.process(ins, outs, 480);
  EXPECT_NEAR(outL[100], l[100] * 0.1f, 1e-5f);
  EXPECT_EQ(p.close(), 1);
}

TEST(PluginBinary, ChunkRoundTripsAndAGoldenProjectLoadsIdentically) {
  const std::vector<unsigned char> golden = readFile(gGoldenDir + "/golden-chunk-v3050.bin");
  ASSERT_EQ(golden.size(), 596u);
  Instance i;
  auto& p = i.plugin;
  p.setChunk(golden.data(), (VstInt32)golden.size());
  // The known state of that project.
  EXPECT_EQ(p.text(effGetParamDisplay, 0), "On");
  EXPECT_EQ(p.text(effGetParamDisplay, 1), "-10.0dB");
  EXPECT_EQ(p.text(effGetParamDisplay, 2), "Instance");
  EXPECT_EQ(p.text(effGetParamDisplay, 3), "RMS3");
  EXPECT_EQ(p.text(effGetParamDisplay, 11), "200");
  EXPECT_EQ(p.text(effGetParamDisplay, 14), "9k48");
  EXPECT_EQ(p.text(effGetParamDisplay, 16), "250 ms");
  EXPECT_FLOAT_EQ(p.getParameter(83), 5.0f / 64);  // the first VU setting, chunk slot 10
  EXPECT_FLOAT_EQ(p.getParameter(100), 52.0f / 64);
  std::vector<unsigned char> back = p.chunk();
  ASSERT_EQ(back.size(), 596u);
  EXPECT_TRUE(back == golden) << "a stored project no longer reads back identically";

  // The same bytes into a second instance of the same process.
  Instance j;
  j.plugin.setChunk(back.data(), (VstInt32)back.size());
  EXPECT_TRUE(j.plugin.chunk() == golden);
  // Bad chunks leave a working instance.
  std::vector<unsigned char> ff(596, 0xFF);
  j.plugin.setChunk(ff.data(), 596);
  j.plugin.setChunk(nullptr, 596);
  j.plugin.setChunk(golden.data(), -1);
  for (VstInt32 n = 0; n < 101; ++n) {
    float v = j.plugin.getParameter(n);
    ASSERT_TRUE(v >= 0.0f && v <= 1.0f) << n;
  }
}

TEST(PluginBinary, InstancesOfOneProcessShareTheLastScopeAndMeter) {
  Instance a;
  a.plugin.setParameter(3, 1.0f);
  a.plugin.setParameter(2, 0.0f);
  Instance b;
  EXPECT_EQ(b.plugin.text(effGetParamDisplay, 3), "PPM3");
  EXPECT_EQ(b.plugin.text(effGetParamDisplay, 2), "Global");
  a.plugin.setParameter(2, 0.5f);
  a.plugin.setParameter(3, 0.0f);
}

int main(int argc, char** argv) {
  return plugin_test::runTests(argc, argv, "plugin_binary_tests", {{"golden", &gGoldenDir}});
}
