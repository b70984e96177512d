#include "settings/SharedSettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "platform/MemoryRegistry.h"

namespace orvane {
namespace {

std::vector<unsigned char> floatBytes(float v) {
  std::vector<unsigned char> b(4);
  std::memcpy(b.data(), &v, 4);
  return b;
}

float bytesFloat(const std::vector<unsigned char>& b) {
  float v = 0.0f;
  std::memcpy(&v, b.data(), 4);
  return v;
}

TEST(SharedSettings, FirstRunGivesEveryStoreTheTableDefaults) {
  MemoryRegistry registry;
  SharedSettings shared(registry);
  for (int slot = 0; slot < kMeterSettingCount; ++slot) {
    const MeterSettingInfo& info = meterSettingBySlot(slot);
    EXPECT_EQ(shared.storeValue(kScopeGlobal, info.index), info.defaultValue) << info.registryName;
    EXPECT_EQ(shared.storeValue(kScopeSession, info.index), info.defaultValue) << info.registryName;
  }
  // A few that users see at once: VU -18 dBFS and 300 ms, PPM -12 dBFS,
  // RMS 0.0 dB, overs after 3 samples.
  EXPECT_FLOAT_EQ(shared.storeValue(kScopeGlobal, 83), 0.25f);
  EXPECT_FLOAT_EQ(shared.storeValue(kScopeGlobal, 84), 0.5f);
  EXPECT_FLOAT_EQ(shared.storeValue(kScopeGlobal, 93), 0.5f);
  EXPECT_FLOAT_EQ(shared.storeValue(kScopeGlobal, 72), 0.667f);
  EXPECT_FLOAT_EQ(shared.storeValue(kScopeGlobal, 89), 0.22f);
  EXPECT_EQ(shared.defaultScope(), kScopeSession);
  EXPECT_EQ(shared.lastMeterType(), kMeterVU);
  EXPECT_EQ(registry.writes, 0);
}

TEST(SharedSettings, TableCoversTwentySevenIndicesWithTheirOwnersAndDistinctNames) {
  std::set<std::string> names;
  int perType[3] = {0, 0, 0};
  for (int32_t index = 0; index < 128; ++index) {
    const int slot = meterSettingSlot(index);
    const bool named = (index >= 72 && index <= 81) || (index >= 83 && index <= 91) || (index >= 93 && index <= 100);
    ASSERT_EQ(slot >= 0, named) << index;
    if (slot < 0) continue;
    const MeterSettingInfo& info = meterSettingBySlot(slot);
    EXPECT_EQ(info.index, index);
    EXPECT_GE(index, firstMeterSetting(info.meterType));
    EXPECT_LE(index, lastMeterSetting(info.meterType));
    names.insert(info.registryName);
    ++perType[info.meterType];
  }
  EXPECT_EQ(names.size(), 27u);
  EXPECT_EQ(perType[kMeterRMS], meterSettingCount(kMeterRMS));
  EXPECT_EQ(perType[kMeterVU], meterSettingCount(kMeterVU));
  EXPECT_EQ(perType[kMeterPPM], meterSettingCount(kMeterPPM));
  EXPECT_EQ(meterSettingCount(7), 0);
  EXPECT_EQ(meterSettingBySlot(-3).index, meterSettingBySlot(0).index);
  EXPECT_EQ(meterSettingBySlot(99).index, meterSettingBySlot(0).index);
}

TEST(SharedSettings, RegistryDataOfAnySizeOrValueLoadsAsASafeValue) {
  struct Case {
    const char* name;
    std::vector<unsigned char> bytes;
    float expected;
  };
  const float inf = std::numeric_limits<float>::infinity();
  const std::vector<Case> cases = {
      {"Avureference", floatBytes(std::nanf("")), 0.25f},      // NaN keeps the default
      {"Avuintegration", floatBytes(inf), 1.0f},               // limited
      {"Avuholdtime", floatBytes(-inf), 0.0f},
      {"Avutype", floatBytes(-1.0f), 0.0f},
      {"Avumstype", floatBytes(2.0f), 1.0f},
      {"Avubacklit", floatBytes(0.3f), 0.3f},                  // kept as is
      {"Avuoverled", {1, 2, 3}, 0.22f},                        // wrong size: refused
      {"Avuledref", {0, 0, 0, 0, 0, 0, 0x80, 0x3f}, 1.0f},     // 8 bytes: refused
      {"Avuprecise", {}, 0.0f},
      {"Appmreference", floatBytes(1e-45f), 1e-45f},           // a denormal is a valid 0..1 value
  };
  MemoryRegistry registry;
  for (const Case& c : cases) registry.binary[c.name] = c.bytes;
  SharedSettings shared(registry);
  for (const Case& c : cases) {
    int32_t index = -1;
    for (int slot = 0; slot < kMeterSettingCount; ++slot)
      if (std::string(meterSettingBySlot(slot).registryName) == c.name) index = meterSettingBySlot(slot).index;
    ASSERT_GE(index, 0) << c.name;
    for (int scope : {kScopeGlobal, kScopeSession}) {
      const float v = shared.storeValue(scope, index);
      EXPECT_FALSE(std::isnan(v)) << c.name;
      EXPECT_EQ(v, c.expected) << c.name << " scope " << scope;
    }
  }
  // loadMeterSetting on its own: a NaN default is no default.
  EXPECT_EQ(shared.loadMeterSetting("Nothing", std::nanf("")), 0.0f);
  EXPECT_EQ(shared.loadMeterSetting(nullptr, 0.4f), 0.4f);
}

TEST(SharedSettings, SavingWritesOneMetersGlobalStoreInIndexOrderAndNothingElse) {
  MemoryRegistry registry;
  SharedSettings shared(registry);
  shared.setStoreValue(kScopeGlobal, 85, 0.66f);
  shared.setStoreValue(kScopeSession, 85, 0.9f);  // the Session store never reaches the registry
  shared.setStoreValue(kScopeGlobal, 72, 0.1f);   // another meter: not written by a VU save
  shared.saveGlobalSettings(kMeterVU);
  EXPECT_EQ(registry.writes, 9);
  EXPECT_EQ(registry.binary.size(), 9u);
  ASSERT_EQ(registry.binary.count("Avuholdtime"), 1u);
  EXPECT_EQ(bytesFloat(registry.binary["Avuholdtime"]), 0.66f);
  EXPECT_EQ(registry.binary.count("Armsreference"), 0u);

  // What was saved is what the next process starts from, in both stores.
  SharedSettings next(registry);
  EXPECT_EQ(next.storeValue(kScopeGlobal, 85), 0.66f);
  EXPECT_EQ(next.storeValue(kScopeSession, 85), 0.66f);
  EXPECT_EQ(next.storeValue(kScopeGlobal, 83), 0.25f);
}

TEST(SharedSettings, UnknownCodesAndAReadOnlyKeyWriteNothing) {
  MemoryRegistry registry;
  SharedSettings shared(registry);
  shared.saveMeterSetting('R', 0.5f);  // 82 names no setting
  shared.saveMeterSetting('\\', 0.5f);  // 92 neither
  shared.saveMeterSetting('e', 0.5f);
  shared.saveGlobalSettings(5);
  EXPECT_EQ(registry.writes, 0);
  registry.writable = false;
  shared.saveGlobalSettings(kMeterPPM);
  EXPECT_TRUE(registry.binary.empty());
  EXPECT_EQ(shared.storeValue(kScopeGlobal, 93), 0.5f);  // the stores are unaffected
}

TEST(SharedSettings, StoresRefuseNaNAndLimitValuesAndScopesStayInRange) {
  MemoryRegistry registry;
  SharedSettings shared(registry);
  shared.setStoreValue(kScopeSession, 90, std::nanf(""));
  EXPECT_EQ(shared.storeValue(kScopeSession, 90), 1.0f);
  shared.setStoreValue(kScopeSession, 90, -4.0f);
  EXPECT_EQ(shared.storeValue(kScopeSession, 90), 0.0f);
  shared.setStoreValue(kScopeGlobal, 90, 7.0f);
  EXPECT_EQ(shared.storeValue(kScopeGlobal, 90), 1.0f);
  shared.setStoreValue(kScopeInstance, 90, 0.3f);  // no process-wide Instance store
  EXPECT_EQ(shared.storeValue(kScopeInstance, 90), 0.0f);
  EXPECT_EQ(shared.storeValue(kScopeGlobal, 82), 0.0f);

  shared.setDefaultScope(9);
  EXPECT_EQ(shared.defaultScope(), kScopeInstance);
  shared.setDefaultScope(-2);
  EXPECT_EQ(shared.defaultScope(), kScopeGlobal);
  shared.setLastMeterType(2);
  EXPECT_EQ(shared.lastMeterType(), kMeterPPM);
  shared.setLastMeterType(40);
  EXPECT_EQ(shared.lastMeterType(), kMeterPPM);
}

}  // namespace
}  // namespace orvane
