// The VST 3 bundle binary as a host sees it, loaded by our VST 3 test host
// through its exported functions alone, beside the VST 2.4 binary of the
// same build: both must process, store and name everything alike.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/PluginTest.h"
#include "tools/orvane-meter/TestSignal.h"
#include "tools/orvane-vst3-host/Vst3Host.h"

using namespace v3;
using plugin_test::library;

namespace {

std::string gVst3Path, gGoldenDir;

vst3host::Module& module() {
  static vst3host::Module m;
  static bool loaded = m.load(gVst3Path);
  EXPECT_TRUE(loaded) << m.error();
  return m;
}

std::vector<unsigned char> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<unsigned char> goldenChunk() { return readFile(gGoldenDir + "/golden-chunk-v3050.bin"); }

std::string hex(const char* bytes) {
  std::string s;
  char b[3];
  for (int i = 0; i < 16; ++i) {
    std::snprintf(b, sizeof(b), "%02X", (unsigned char)bytes[i]);
    s += b;
  }
  return s;
}

}  // namespace

TEST(Vst3Binary, ExportsExactlyTheModuleFunctions) {
  vst3host::Module& m = module();
  ASSERT_NE(m.factory(), nullptr);
#if defined(_WIN32)
  const char* present[] = {"GetPluginFactory", "InitDll", "ExitDll"};
  const char* absent[] = {"ModuleEntry", "ModuleExit", "VSTPluginMain", "main"};
#else
  const char* present[] = {"GetPluginFactory", "ModuleEntry", "ModuleExit"};
  const char* absent[] = {"InitDll", "ExitDll", "VSTPluginMain", "main"};
#endif
  for (const char* name : present) EXPECT_NE(m.symbol(name), nullptr) << name;
  for (const char* name : absent) EXPECT_EQ(m.symbol(name), nullptr) << name;
}

// The ids in their published text form: on Windows the first three fields
// are stored little-endian, elsewhere every byte in the order written.
TEST(Vst3Binary, InterfaceIdsKeepThePlatformsByteOrder) {
  struct Case {
    const Uid& id;
    const char* text;  // the four words as published
  } cases[] = {
      {kFUnknownIid, "00000000" "00000000" "C0000000" "00000046"},
      {kIComponentIid, "E831FF31" "F2D54301" "928EBBEE" "25697802"},
      {kIEditControllerIid, "DCD7BBE3" "7742448D" "A874AACC" "979C759E"},
  };
  for (const Case& c : cases) {
    std::string t = c.text;
#if defined(_WIN32)
    // GUID {Data1, Data2, Data3, Data4}: the 32-bit and both 16-bit fields
    // in little-endian order, Data4 as written.
    t = t.substr(6, 2) + t.substr(4, 2) + t.substr(2, 2) + t.substr(0, 2) + t.substr(10, 2) + t.substr(8, 2) +
        t.substr(14, 2) + t.substr(12, 2) + t.substr(16);
#endif
    EXPECT_EQ(hex(c.id.bytes), t);
  }
}

TEST(Vst3Binary, FactoryOffersOneEffectClassNamedAsTheVst2Side) {
  vst3host::Module& m = module();
  ASSERT_NE(m.factory(), nullptr);
  plugin_test::Instance vst2;
  PFactoryInfo fi;
  ASSERT_EQ(m.factory()->getFactoryInfo(&fi), kResultOk);
  EXPECT_EQ(std::string(fi.vendor), vst2.plugin.text(effGetVendorString));
  EXPECT_EQ(fi.flags & PFactoryInfo::kUnicode, PFactoryInfo::kUnicode);
  ASSERT_EQ(m.factory()->countClasses(), 1);

  void* obj = nullptr;
  ASSERT_EQ(m.factory()->queryInterface(kIPluginFactory3Iid.bytes, &obj), kResultOk);
  auto* f3 = static_cast<IPluginFactory3*>(obj);
  PClassInfo2 c2;
  PClassInfoW cw;
  ASSERT_EQ(f3->getClassInfo2(0, &c2), kResultOk);
  ASSERT_EQ(f3->getClassInfoUnicode(0, &cw), kResultOk);
  EXPECT_EQ(std::string(c2.category), "Audio Module Class");
  EXPECT_EQ(std::string(c2.subCategories), "Fx|Analyzer");
  EXPECT_EQ(std::string(c2.name), vst2.plugin.text(effGetEffectName));
  EXPECT_EQ(std::string(c2.vendor), vst2.plugin.text(effGetVendorString));
  EXPECT_EQ(std::string(c2.version), "3.0.5");
  EXPECT_EQ(vst3host::narrow(cw.name), c2.name);
  EXPECT_EQ(vst3host::narrow(cw.vendor), c2.vendor);
  EXPECT_EQ(vst3host::narrow(cw.version), c2.version);
  EXPECT_EQ(0, std::memcmp(cw.cid, c2.cid, 16));

  // Another class id or an interface the class lacks: nothing is made.
  TUID other;
  std::memcpy(other, c2.cid, 16);
  other[15] ^= 1;
  obj = &obj;
  EXPECT_NE(m.factory()->createInstance(other, kIComponentIid.bytes, &obj), kResultOk);
  EXPECT_EQ(obj, nullptr);
  EXPECT_EQ(m.factory()->createInstance(c2.cid, kIPlugViewIid.bytes, &obj), kNoInterface);
}

TEST(Vst3Binary, BusArrangementsAreThoseOfTheVst2Side) {
  struct Case {
    SpeakerArrangement in, out;
    bool accepted;
  } cases[] = {
      {kStereo, kStereo, true}, {kMono, kMono, true},    {kMono, kStereo, true},
      {kStereo, kMono, false},  {kEmpty, kStereo, false}, {kStereo | kSpeakerM, kStereo, false},
  };
  for (const Case& c : cases) {
    vst3host::Instance i(module());
    ASSERT_TRUE(i.valid());
    SpeakerArrangement first[2] = {kMono, kMono};
    ASSERT_EQ(i.processor->setBusArrangements(&first[0], 1, &first[1], 1), kResultOk);
    SpeakerArrangement in = c.in, out = c.out;
    EXPECT_EQ(i.processor->setBusArrangements(&in, 1, &out, 1) == kResultOk, c.accepted) << c.in << " " << c.out;
    SpeakerArrangement nowIn = 0, nowOut = 0;
    i.processor->getBusArrangement(kInput, 0, nowIn);
    i.processor->getBusArrangement(kOutput, 0, nowOut);
    EXPECT_EQ(nowIn, c.accepted ? c.in : kMono);
    EXPECT_EQ(nowOut, c.accepted ? c.out : kMono);
  }
  vst3host::Instance i(module());
  EXPECT_EQ(i.processor->canProcessSampleSize(kSample32), kResultTrue);
  EXPECT_EQ(i.processor->canProcessSampleSize(kSample64), kResultFalse);
  EXPECT_EQ(i.processor->getLatencySamples(), 0u);
  EXPECT_EQ(i.processor->getTailSamples(), 0u);
}

TEST(Vst3Binary, ParametersShowAsOnTheVst2Side) {
  vst3host::Instance v3i(module());
  plugin_test::Instance vst2;
  ASSERT_EQ(v3i.controller->getParameterCount(), 17);
  for (int32 p = 0; p < 17; ++p) {
    v3::ParameterInfo info;
    ASSERT_EQ(v3i.controller->getParameterInfo(p, info), kResultOk);
    EXPECT_EQ(info.id, (ParamID)p);
    EXPECT_EQ(vst3host::narrow(info.title), vst2.plugin.text(effGetParamName, p));
    EXPECT_EQ(vst3host::narrow(info.units), vst2.plugin.text(effGetParamLabel, p));
    EXPECT_NE(info.flags & v3::ParameterInfo::kCanAutomate, 0);
    for (float v : {0.0f, 0.3f, 0.5f, 0.77f, 1.0f}) {
      vst2.plugin.setParameter(p, v);
      EXPECT_EQ(v3i.display(p, v), vst2.plugin.text(effGetParamDisplay, p)) << p << " at " << v;
    }
  }
  v3::ParameterInfo info;
  EXPECT_NE(v3i.controller->getParameterInfo(17, info), kResultOk);
}

TEST(Vst3Binary, TypedTextsReadAsTheEditorReadsThem) {
  struct Case {
    ParamID id;
    const char16_t* text;
    bool accepted;
    double value;
  } cases[] = {
      {1, u"6", true, 0.65}, {1, u"-30", true, 0.0}, {1, u"abc", true, 0.5}, {3, u"PPM3", true, 1.0},
      {2, u"Session", true, 0.5}, {0, u"On", true, 1.0}, {4, u"XY", false, 0}, {40, u"On", false, 0},
  };
  vst3host::Instance i(module());
  for (const Case& c : cases) {
    ParamValue v = -1;
    const tresult r = i.controller->getParamValueByString(c.id, (TChar*)c.text, v);
    EXPECT_EQ(r == kResultOk, c.accepted) << c.id;
    if (c.accepted) {
      EXPECT_NEAR(v, c.value, 1e-6) << c.id;
    }
  }
}

// The demo programme through both formats, Process and the filters on,
// the trim automated with points inside the blocks: the VST 2.4 side gets
// the same changes by splitting its blocks at the points. The output must
// match sample for sample.
TEST(Vst3Binary, ProcessesTheProgrammeAsTheVst2SideWithTrimPointsInsideBlocks) {
  orvane::metertool::TestSignalSpec signal;
  signal.seconds = 2.0;
  const auto programme = orvane::metertool::makeTestProgramme(signal);
  const int total = (int)programme[0].size(), block = 256;

  vst3host::Instance a(module());
  ASSERT_TRUE(a.start(48000, block));
  plugin_test::Instance b;
  b.plugin.start(48000, block);
  const std::pair<ParamID, float> setup[] = {{0, 1.0f}, {8, 1.0f}, {9, 1.0f}, {12, 1.0f}, {11, 0.4f}};
  for (auto [id, v] : setup) {
    a.controller->setParamNormalized(id, v);
    b.plugin.setParameter((VstInt32)id, v);
  }
  std::vector<float> inL(programme[0]), inR(programme[1]);
  std::vector<float> aL(total), aR(total), bL(total), bR(total);
  int points = 0;
  for (int start = 0; start + block <= total; start += block) {
    const int n = start / block;
    vst3host::ParamChanges changes;
    std::vector<std::pair<int, float>> at;  // trim points of this block
    if (n % 3 == 1) at = {{37, 0.9f}, {200, 0.2f}};
    if (n % 3 == 2) at = {{0, 0.6f}};
    for (auto [offset, v] : at) changes.add(1, offset, v);
    a.process(&inL[start], &inR[start], &aL[start], &aR[start], block, &changes);
    int done = 0;
    for (auto [offset, v] : at) {
      float* ins[2] = {&inL[start + done], &inR[start + done]};
      float* outs[2] = {&bL[start + done], &bR[start + done]};
      if (offset > done) b.plugin.process(ins, outs, offset - done);
      done = offset;
      b.plugin.setParameter(1, v);
      ++points;
    }
    float* ins[2] = {&inL[start + done], &inR[start + done]};
    float* outs[2] = {&bL[start + done], &bR[start + done]};
    b.plugin.process(ins, outs, block - done);
  }
  ASSERT_GT(points, 100);
  EXPECT_EQ(a.controller->getParamNormalized(1), b.plugin.getParameter(1));
  int differing = 0;
  for (int s = 0; s < total; ++s) differing += aL[s] != bL[s] || aR[s] != bR[s];
  EXPECT_EQ(differing, 0);
  // and the trim did something: the output is not the input
  int trimmed = 0;
  for (int s = 0; s < total; ++s) trimmed += aL[s] != inL[s];
  EXPECT_GT(trimmed, total / 2);
}

TEST(Vst3Binary, AMonoInputReachesBothOutputs) {
  vst3host::Instance i(module());
  SpeakerArrangement in = kMono, out = kStereo;
  ASSERT_EQ(i.processor->setBusArrangements(&in, 1, &out, 1), kResultOk);
  ASSERT_TRUE(i.start(44100, 64));
  float x[64], l[64], r[64];
  for (int s = 0; s < 64; ++s) x[s] = 0.01f * (s % 13) - 0.05f;
  ASSERT_EQ(i.process(x, nullptr, l, r, 64, nullptr, 1, 2), kResultOk);
  EXPECT_EQ(0, std::memcmp(l, x, sizeof(x)));
  EXPECT_EQ(0, std::memcmp(r, x, sizeof(x)));
}

// A project's state is the VST 2.4 chunk: the stored project loads into the
// VST 3 instance and comes back byte for byte, and into a VST 2.4 instance
// from there, with every parameter and the label intact.
TEST(Vst3Binary, StateIsTheVst2ChunkBothWays) {
  const std::vector<unsigned char> golden = goldenChunk();
  ASSERT_EQ(golden.size(), 596u);
  vst3host::Instance a(module());
  ASSERT_EQ(a.setState(golden), kResultOk);
  EXPECT_TRUE(a.state() == golden) << "a stored project reads back differently through VST 3";

  plugin_test::Instance vst2;
  vst2.plugin.setChunk(a.state().data(), 596);
  EXPECT_TRUE(vst2.plugin.chunk() == golden);
  for (int p = 0; p < 17; ++p)
    EXPECT_EQ(a.controller->getParamNormalized(p), vst2.plugin.getParameter(p)) << p;

  // The controller's state is the same chunk.
  vst3host::MemoryStream s;
  ASSERT_EQ(a.controller->getState(&s), kResultOk);
  EXPECT_TRUE(s.data == golden);

  // Saved and restored into a new instance, handed over in small pieces.
  a.controller->setParamNormalized(1, 0.8);
  a.controller->setParamNormalized(3, 1.0);
  const std::vector<unsigned char> saved = a.state();
  vst3host::Instance b(module());
  vst3host::MemoryStream pieces(saved);
  pieces.maxReadPerCall = 7;
  ASSERT_EQ(b.component->setState(&pieces), kResultOk);
  EXPECT_TRUE(b.state() == saved);
  EXPECT_EQ(b.controller->getParamNormalized(1), 0.8f);
}

TEST(Vst3Binary, AShortLongOrDamagedStateIsRefusedAndChangesNothing) {
  const std::vector<unsigned char> golden = goldenChunk();
  ASSERT_EQ(golden.size(), 596u);
  auto damaged = [&](int offset, float v) {
    std::vector<unsigned char> b = golden;
    std::memcpy(&b[offset], &v, 4);
    return b;
  };
  std::vector<unsigned char> longer = golden;
  longer.push_back(0);
  const std::vector<std::pair<const char*, std::vector<unsigned char>>> cases = {
      {"empty", {}},
      {"short", std::vector<unsigned char>(golden.begin(), golden.end() - 1)},
      {"long", longer},
      {"no format mark", damaged(0, 0.0f)},
      {"NaN parameter", damaged(44 + 4, std::nanf(""))},
      {"parameter above 1", damaged(44, 2.0f)},
      {"negative setting", damaged(300 + 8, -0.5f)},
  };
  for (const auto& [name, bytes] : cases) {
    vst3host::Instance i(module());
    i.controller->setParamNormalized(1, 0.3);
    const std::vector<unsigned char> before = i.state();
    EXPECT_EQ(i.setState(bytes), kResultFalse) << name;
    vst3host::MemoryStream s(bytes);
    EXPECT_EQ(i.controller->setState(&s), kResultFalse) << name;
    EXPECT_TRUE(i.state() == before) << name;
  }
}

int main(int argc, char** argv) {
  return plugin_test::runTests(argc, argv, "vst3_binary_tests",
                               {{"vst3", &gVst3Path}, {"golden", &gGoldenDir}});
}
