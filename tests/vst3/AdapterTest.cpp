// The VST 3 adapter in this process, over an effect of its own: what the
// editor tells its host reaches the VST 3 host's component handler as
// begin/perform/end edits, and the meters read what they read under a
// VST 2.4 host given the same block pieces.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/Templete.h"
#include "meters/MeterReadout.h"
#include "platform/MemoryRegistry.h"
#include "settings/SharedSettings.h"
#include "tools/orvane-vst3-host/Vst3Host.h"
#include "vst3/Vst3Effect.h"

using namespace v3;

namespace {

orvane::MemoryRegistry gRegistry;
orvane::SharedSettings gShared{gRegistry};

Templete* makeEffect(audioMasterCallback host) { return new Templete(host, gShared); }

// The adapter holds itself: it goes when the last reference does.
struct Adapter {
  orvane::Vst3Effect* a = new orvane::Vst3Effect(makeEffect);
  ~Adapter() { a->release(); }
};

}  // namespace

TEST(Vst3Adapter, EditorEditsReachTheComponentHandler) {
  struct Case {
    VstInt32 opcode, index;
    float value;
    VstIntPtr answer;
    char kind;  // what the handler records; 0: nothing
  } cases[] = {
      {audioMasterBeginEdit, 1, 0, 1, 'b'},  {audioMasterAutomate, 1, 0.7f, 1, 'p'},
      {audioMasterEndEdit, 1, 0, 1, 'e'},    {audioMasterBeginEdit, 16, 0, 1, 'b'},
      {audioMasterBeginEdit, 40, 0, 0, 0},   {audioMasterAutomate, 69, 0.5f, 0, 0},
      {audioMasterGetOutputLatency, 0, 0, 0, 0},
  };
  Adapter x;
  vst3host::ComponentHandler handler;
  Templete* effect = x.a->effect();
  // Without a handler nothing is answered.
  EXPECT_EQ(effect->callHost(audioMasterBeginEdit, 1), 0);
  ASSERT_EQ(x.a->setComponentHandler(&handler), kResultOk);
  EXPECT_EQ(handler.refs.load(), 1);
  for (const Case& c : cases) {
    handler.edits.clear();
    EXPECT_EQ(effect->callHost(c.opcode, c.index, 0, nullptr, c.value), c.answer) << c.opcode << " " << c.index;
    if (!c.kind) {
      EXPECT_TRUE(handler.edits.empty()) << c.opcode << " " << c.index;
      continue;
    }
    ASSERT_EQ(handler.edits.size(), 1u) << c.opcode;
    EXPECT_EQ(handler.edits[0].kind, c.kind);
    EXPECT_EQ(handler.edits[0].id, (ParamID)c.index);
    EXPECT_FLOAT_EQ((float)handler.edits[0].value, c.value);
  }
  // An edit the editor makes sets the parameter and tells the host.
  handler.edits.clear();
  effect->setParameterAutomated(1, 0.25f);
  EXPECT_EQ(x.a->getParamNormalized(1), 0.25);
  ASSERT_EQ(handler.edits.size(), 1u);
  EXPECT_EQ(handler.edits[0].kind, 'p');
  x.a->terminate();
  EXPECT_EQ(handler.refs.load(), 0);
}

TEST(Vst3Adapter, MetersReadAsUnderAVst2HostSplittingItsBlocks) {
  Adapter x;
  std::unique_ptr<Templete> direct(makeEffect(nullptr));
  ProcessSetup setup{kRealtime, kSample32, 256, 48000.0};
  x.a->setupProcessing(setup);
  x.a->setActive(1);
  direct->setSampleRate(48000.0f);
  direct->setBlockSize(256);
  direct->resume();
  for (int id : {0, 3}) {  // Process on, the PPM
    x.a->setParamNormalized(id, 1.0);
    direct->setParameter(id, 1.0f);
  }
  std::vector<float> inL(256), inR(256), aL(256), aR(256), bL(256), bR(256);
  for (int block = 0; block < 40; ++block) {
    for (int i = 0; i < 256; ++i) {
      inL[i] = 0.5f * (float)std::sin(0.05 * (block * 256 + i));
      inR[i] = 0.25f * (float)std::sin(0.031 * (block * 256 + i));
    }
    vst3host::ParamChanges changes;
    const float trim = (block % 2) ? 0.9f : 0.3f;
    changes.add(1, 100, trim);
    float* ins[2] = {inL.data(), inR.data()};
    float* outs[2] = {aL.data(), aR.data()};
    AudioBusBuffers in{2, 0, {ins}}, out{2, 0, {outs}};
    ProcessData data{kRealtime, kSample32, 256, 1, 1, &in, &out, &changes, nullptr, nullptr, nullptr, nullptr};
    ASSERT_EQ(x.a->process(data), kResultOk);
    float* dins[2] = {inL.data(), inR.data()};
    float* douts[2] = {bL.data(), bR.data()};
    direct->processReplacing(dins, douts, 100);
    direct->setParameter(1, trim);
    float* dins2[2] = {inL.data() + 100, inR.data() + 100};
    float* douts2[2] = {bL.data() + 100, bR.data() + 100};
    direct->processReplacing(dins2, douts2, 156);
    ASSERT_EQ(aL, bL) << block;
    ASSERT_EQ(aR, bR) << block;
  }
  orvane::MeterReadout& ra = x.a->effect()->engines().readout(2);
  orvane::MeterReadout& rb = direct->engines().readout(2);
  for (int kind = 0; kind < ra.readingKinds(); ++kind)
    for (int channel = 0; channel < 2; ++channel) {
      EXPECT_EQ(ra.reading(kind, channel), rb.reading(kind, channel)) << kind << " " << channel;
      EXPECT_GT(ra.reading(kind, channel), 0.0);
    }
}
