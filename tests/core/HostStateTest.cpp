#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>

#include "tests/core/EffectTestSupport.h"

using namespace orvane;
using orvane_test::EffectFixture;

namespace {

std::vector<unsigned char> chunkOf(EffectFixture& f) {
  void* data = nullptr;
  VstIntPtr size = f.dispatch(effGetChunk, 0, 0, &data);
  EXPECT_EQ(size, 596);
  auto* bytes = static_cast<unsigned char*>(data);
  return std::vector<unsigned char>(bytes, bytes + size);
}

void restore(EffectFixture& f, const std::vector<unsigned char>& bytes, VstInt32 size = -1) {
  f.dispatch(effSetChunk, 0, size < 0 ? (VstInt32)bytes.size() : size, const_cast<unsigned char*>(bytes.data()));
}

// Everything a project restores, as a host would compare it.
struct Snapshot {
  std::vector<float> values;
  std::string label;
  bool operator==(const Snapshot& o) const { return values == o.values && label == o.label; }
};

Snapshot snapshot(Templete& e) {
  Snapshot s;
  for (VstInt32 i = 0; i < kHostParameterCount; ++i) s.values.push_back(e.getParameter(i));
  for (int slot = 0; slot < kMeterSettingCount; ++slot) {
    VstInt32 index = meterSettingBySlot(slot).index;
    s.values.push_back(e.getParameter(index));
    s.values.push_back(e.engines().getSetting(index));
  }
  s.label = e.labelText();
  return s;
}

void changeEverything(Templete& e) {
  const float v[kHostParameterCount] = {1, 0.3f, 0.5f, 1, 1, 0.5f, 0, 1, 1, 0, 1, 0.4f, 0, 1, 0.2f, 1, 0.6f};
  for (VstInt32 i = 0; i < kHostParameterCount; ++i) e.setParameter(i, v[i]);
  for (int slot = 0; slot < kMeterSettingCount; ++slot)
    e.setParameter(meterSettingBySlot(slot).index, (slot * 37 % 80) / 80.0f);
  e.setLabelText("Lead Vocal");
}

}  // namespace

TEST(HostChunk, HasTheFixedLayout) {
  EffectFixture f;
  f.effect->setParameter(kTrim, 0.25f);
  f.effect->setParameter(84, 0.75f);
  auto c = chunkOf(f);
  float mark, trim, setting, empty;
  std::memcpy(&mark, &c[0], 4);
  std::memcpy(&trim, &c[44 + 4 * kTrim], 4);
  std::memcpy(&setting, &c[340 + 4], 4);  // VU integration, second VU slot
  std::memcpy(&empty, &c[44 + 4 * 40], 4);
  EXPECT_EQ(mark, 300.0f);
  EXPECT_EQ(trim, 0.25f);
  EXPECT_EQ(setting, 0.75f);
  EXPECT_EQ(empty, 0.5f);
  EXPECT_STREQ(reinterpret_cast<char*>(&c[4]), "Master Track");
  for (size_t i = 408; i < 596; ++i) ASSERT_EQ(c[i], 0) << i;
  // Preset or bank: the same answer.
  void* data = nullptr;
  EXPECT_EQ(f.dispatch(effGetChunk, 1, 0, &data), 596);
}

TEST(HostChunk, RoundTripsInSessionAndInstanceAndIntoASecondInstance) {
  for (float scope : {0.5f, 1.0f}) {
    EffectFixture f;
    changeEverything(*f.effect);
    f.effect->setParameter(kGSIcal, scope);
    Snapshot before = snapshot(*f.effect);
    auto bytes = chunkOf(f);
    restore(f, bytes);
    EXPECT_TRUE(snapshot(*f.effect) == before) << scope;
    // The host may hand back the buffer it was given.
    void* data = nullptr;
    f.dispatch(effGetChunk, 0, 0, &data);
    f.dispatch(effSetChunk, 0, 596, data);
    EXPECT_TRUE(snapshot(*f.effect) == before) << scope;

    auto second = f.another();
    second->setChunk(bytes.data(), (VstInt32)bytes.size());
    EXPECT_TRUE(snapshot(*second) == before) << scope;
  }
}

TEST(HostChunk, GlobalScopeKeepsTheGlobalSettingsAndInstanceRestoresTheSavedOnes) {
  EffectFixture f;
  f.effect->setParameter(kGSIcal, 0.0f);
  f.effect->setParameter(83, 0.9f);  // into the Global store
  auto savedGlobal = chunkOf(f);
  f.effect->setParameter(kGSIcal, 1.0f);
  f.effect->setParameter(83, 0.1f);
  auto savedInstance = chunkOf(f);

  // Another project changed the Global store since.
  f.effect->setParameter(kGSIcal, 0.0f);
  f.effect->setParameter(83, 0.6f);
  restore(f, savedGlobal);
  EXPECT_FLOAT_EQ(f.effect->getParameter(83), 0.6f);
  EXPECT_FLOAT_EQ(f.shared.storeValue(kScopeGlobal, 83), 0.6f);
  restore(f, savedInstance);
  EXPECT_FLOAT_EQ(f.effect->getParameter(kGSIcal), 1.0f);
  EXPECT_FLOAT_EQ(f.effect->getParameter(83), 0.1f);
  EXPECT_FLOAT_EQ(f.effect->engines().getSetting(83), 0.1f);
}

TEST(HostChunk, AFourByteChunkZeroesEverything) {
  EffectFixture f;
  changeEverything(*f.effect);
  float mark = 300.0f;
  f.dispatch(effSetChunk, 0, 4, &mark);
  EXPECT_STREQ(f.effect->labelText(), "");
  for (VstInt32 i = 0; i < kHostParameterCount; ++i) EXPECT_EQ(f.effect->getParameter(i), 0.0f) << i;
  EXPECT_EQ(f.display(kProcess), "Off");
  EXPECT_EQ(f.display(kTrim), "-20.0dB");
  EXPECT_EQ(f.display(kGSIcal), "Global");
  EXPECT_EQ(f.display(kMeter), "VU3");
}

TEST(HostChunk, BadChunksLeaveAWorkingInstanceWithSafeValues) {
  EffectFixture f;
  changeEverything(*f.effect);
  f.effect->setParameter(kGSIcal, 1.0f);
  Snapshot before = snapshot(*f.effect);
  // Nothing to restore from: the state stays as it is.
  f.dispatch(effSetChunk, 0, 596, nullptr);
  f.dispatch(effSetChunk, 0, 0, (void*)"x");
  f.dispatch(effSetChunk, 0, -12, (void*)"x");
  EXPECT_TRUE(snapshot(*f.effect) == before);

  // Larger than a chunk: only 596 bytes are read.
  std::vector<unsigned char> big(4096, 0);
  auto good = chunkOf(f);
  std::memcpy(big.data(), good.data(), good.size());
  std::memset(big.data() + 596, 0xFF, big.size() - 596);
  restore(f, big);
  EXPECT_TRUE(snapshot(*f.effect) == before);

  // An unterminated label, NaN, infinities and negative values.
  std::vector<unsigned char> hostile = good;
  std::memset(&hostile[4], 'A', 40);
  const float odd[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                       -std::numeric_limits<float>::infinity(), -3.0f, 7.5f};
  for (int i = 0; i < 64 + 27; ++i) {
    size_t at = i < 64 ? 44 + 4 * i : 300 + 4 * (i - 64);
    std::memcpy(&hostile[at], &odd[i % 5], 4);
  }
  restore(f, hostile);
  EXPECT_EQ(std::string(f.effect->labelText()), std::string(39, 'A'));
  // Every byte 0xFF: a NaN in every slot.
  std::vector<unsigned char> ff(596, 0xFF);
  restore(f, ff);
  for (VstInt32 i = 0; i < 101; ++i) {
    float v = f.effect->getParameter(i);
    ASSERT_TRUE(v >= 0.0f && v <= 1.0f) << i << " " << v;
  }
  for (int slot = 0; slot < kMeterSettingCount; ++slot) {
    float v = f.effect->engines().getSetting(meterSettingBySlot(slot).index);
    ASSERT_TRUE(v >= 0.0f && v <= 1.0f) << slot;
  }
  // Still processes.
  float in[32] = {0.5f}, out[2][32];
  float* ins[2] = {in, in};
  float* outs[2] = {out[0], out[1]};
  f.effect->processReplacing(ins, outs, 32);
  EXPECT_TRUE(std::isfinite(out[0][0]));
}

TEST(ProgramNames, RenameTheCurrentProgramOnlyAndStayOutOfTheChunk) {
  EffectFixture f;
  char name[64];
  EXPECT_EQ(f.dispatch(effGetProgramNameIndexed, 1, 0, name), 1);
  EXPECT_STREQ(name, "");
  EXPECT_EQ(f.dispatch(effGetProgramNameIndexed, 3, 0, name), 0);
  EXPECT_EQ(f.dispatch(effGetProgramNameIndexed, -1, 0, name), 0);
  f.dispatch(effSetProgramName, 0, 0, (void*)"Drums");
  EXPECT_EQ(f.text(effGetProgramName, 0), "Drums");
  f.dispatch(effGetProgramNameIndexed, 0, 0, name);
  EXPECT_STREQ(name, "Drums");
  f.dispatch(effGetProgramNameIndexed, 2, 0, name);
  EXPECT_STREQ(name, "");
  f.dispatch(effSetProgramName, 0, 0, (void*)"abcdefghijklmnopqrstuvw");  // 23: kept whole
  EXPECT_EQ(f.text(effGetProgramName, 0), "abcdefghijklmnopqrstuvw");
  f.dispatch(effSetProgramName, 0, 0, (void*)"abcdefghijklmnopqrstuvwxyz0123");  // 30: first 23
  EXPECT_EQ(f.text(effGetProgramName, 0), "abcdefghijklmnopqrstuvw");
  // The host's name buffer is 24 bytes: nothing is written past it.
  char exact[25];
  std::memset(exact, 'Z', sizeof(exact));
  f.dispatch(effGetProgramName, 0, 0, exact);
  EXPECT_EQ(exact[24], 'Z');

  auto bytes = chunkOf(f);
  auto second = f.another();
  second->setChunk(bytes.data(), 596);
  char other[64];
  second->getProgramName(other);
  EXPECT_STREQ(other, "");
}

TEST(HostQueries, CanDoMatchesExactTextsOnly) {
  EffectFixture f;
  for (const char* yes : {"offline", "plugAsChannelInsert", "1in1out", "1in2out", "2in2out"})
    EXPECT_EQ(f.dispatch(effCanDo, 0, 0, (void*)yes), 1) << yes;
  for (const char* no : {"2in1out", "receiveVstMidiEvent", "2in2ou", "2in2outx", "", "Offline", "bypass"})
    EXPECT_EQ(f.dispatch(effCanDo, 0, 0, (void*)no), 0) << no;
}

TEST(HostQueries, PinsAreNamedAndOnlyZeroAndOneExist) {
  EffectFixture f;
  VstPinProperties p;
  std::memset(&p, 0, sizeof(p));
  p.arrangementType = 77;
  ASSERT_EQ(f.dispatch(effGetInputProperties, 1, 0, &p), 1);
  EXPECT_STREQ(p.label, "ZEL Orvane 2 In");
  EXPECT_EQ(p.flags, 3);
  EXPECT_EQ(p.arrangementType, 77);  // left as the host passed it
  ASSERT_EQ(f.dispatch(effGetOutputProperties, 0, 0, &p), 1);
  EXPECT_STREQ(p.label, "ZEL Orvane 1 Out");
  for (VstInt32 bad : {2, -1, -2, 1000}) {
    std::memset(&p, 0x11, sizeof(p));
    EXPECT_EQ(f.dispatch(effGetInputProperties, bad, 0, &p), 0) << bad;
    EXPECT_EQ(f.dispatch(effGetOutputProperties, bad, 0, &p), 0) << bad;
    EXPECT_EQ(p.label[0], 0x11) << bad;  // nothing written
  }
}

TEST(HostQueries, SpeakerArrangementQueryClearsBothPointers) {
  EffectFixture f;
  VstSpeakerArrangement a{};
  VstSpeakerArrangement* in = &a;
  VstSpeakerArrangement* out = &a;
  EXPECT_EQ(f.dispatch(effGetSpeakerArrangement, 0, (VstIntPtr)&in, &out), 0);
  EXPECT_EQ(in, nullptr);
  EXPECT_EQ(out, nullptr);
}
