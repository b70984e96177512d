// How settings follow the scope: engine creation in each scope, instances
// following each other through the shared stores, the instance store, and
// what reaches the registry.
#include <gtest/gtest.h>

#include <cstring>

#include "meters/PPMmeter.h"
#include "meters/RMSMeter.h"
#include "meters/VUmeter.h"
#include "tests/meters/MeterTestSupport.h"

namespace orvane {
namespace {

using testing::MirrorOwner;
using testing::SettingsWorld;
using testing::makeOwnedEngine;

std::string text(const VUmeter& vu, int32_t index) {
  char buffer[32];
  vu.getParameterDisplay(index, buffer);
  return buffer;
}

TEST(MeterScope, NewEnginesStartFromTheStoreOfTheCurrentDefaultScope) {
  SettingsWorld world;
  world.shared->setStoreValue(kScopeGlobal, 83, 0.75f);
  world.shared->setStoreValue(kScopeSession, 83, 0.5f);

  world.shared->setDefaultScope(kScopeGlobal);
  VUmeter global(nullptr, *world.shared);
  EXPECT_EQ(global.scope(), kScopeGlobal);
  EXPECT_EQ(global.getParameter(83), 0.75f);
  EXPECT_EQ(text(global, 83), "-6.0dBFS");

  world.shared->setDefaultScope(kScopeSession);
  VUmeter session(nullptr, *world.shared);
  EXPECT_EQ(session.getParameter(83), 0.5f);
  EXPECT_FALSE(session.settingsScope().instanceInitialised());

  // Instance after another instance chose it: the Session values, and the
  // instance store is ready for the next switch back.
  world.shared->setDefaultScope(kScopeInstance);
  VUmeter instance(nullptr, *world.shared);
  EXPECT_EQ(instance.scope(), kScopeInstance);
  EXPECT_EQ(instance.getParameter(83), 0.5f);
  EXPECT_TRUE(instance.settingsScope().instanceInitialised());
  EXPECT_EQ(instance.settingsScope().instanceValue(83), 0.5f);
  // Creation never goes through an owner (the effect is still being built).
  MirrorOwner owner;
  auto owned = makeOwnedEngine<PPMmeter>(owner, *world.shared);
  EXPECT_EQ(owner.calls, 0);
  EXPECT_EQ(owned->getParameter(93), 0.5f);
}

TEST(MeterScope, TwoEnginesInSessionFollowEachOtherAtTheNextSync) {
  SettingsWorld world;
  MirrorOwner ownerA, ownerB;
  auto a = makeOwnedEngine<VUmeter>(ownerA, *world.shared);
  auto b = makeOwnedEngine<VUmeter>(ownerB, *world.shared);
  a->setParameter(83, 0.5f);  // -12 dBFS in instance A
  EXPECT_EQ(world.shared->storeValue(kScopeSession, 83), 0.5f);
  EXPECT_EQ(b->getParameter(83), 0.25f);  // B has not looked yet
  b->syncSharedSettings();
  EXPECT_EQ(b->getParameter(83), 0.5f);
  EXPECT_EQ(ownerB.mirror[83], 0.5f);  // through B's own parameter path
  EXPECT_EQ(ownerB.calls, 1);           // and only the setting that changed
  EXPECT_NEAR(b->referenceAmplitude(), std::pow(10.0, -12.0 / 20.0), 1e-6);

  // Nothing reaches the registry until a back panel closes, and then only
  // the Global store, which the Session edit did not touch.
  EXPECT_EQ(world.registry.writes, 0);
  b->saveGlobalSettings();
  float saved = 0.0f;
  std::memcpy(&saved, world.registry.binary["Avureference"].data(), 4);
  EXPECT_EQ(saved, 0.25f);

  // An engine in Instance ignores the shared stores.
  b->setScope(1.0f);
  a->setParameter(83, 1.0f);
  const int callsBefore = ownerB.calls;
  b->syncSharedSettings();
  EXPECT_EQ(ownerB.calls, callsBefore);
  EXPECT_EQ(b->getParameter(83), 0.5f);
}

TEST(MeterScope, InstanceToGlobalAndBackRestoresTheInstanceValues) {
  SettingsWorld world;
  MirrorOwner owner;
  auto ppm = makeOwnedEngine<PPMmeter>(owner, *world.shared);
  ppm->setScope(1.0f);  // first visit: starts from the Session values
  EXPECT_EQ(ppm->getParameter(96), 0.66f);
  ppm->setParameter(93, 0.9f);
  ppm->setParameter(96, 0.1f);
  EXPECT_EQ(world.shared->storeValue(kScopeSession, 93), 0.5f);  // Instance edits stay private

  world.shared->setStoreValue(kScopeGlobal, 93, 0.2f);
  ppm->setScope(0.0f);
  EXPECT_EQ(ppm->scope(), kScopeGlobal);
  EXPECT_EQ(ppm->getParameter(93), 0.2f);
  EXPECT_EQ(owner.mirror[93], 0.2f);
  EXPECT_EQ(ppm->getParameter(96), 0.66f);

  ppm->setScope(1.0f);
  EXPECT_EQ(ppm->getParameter(93), 0.9f);
  EXPECT_EQ(ppm->getParameter(96), 0.1f);
  EXPECT_EQ(owner.mirror[96], 0.1f);
  // Values between the named scopes round to the nearest: 0.3 is Session.
  ppm->setScope(0.3f);
  EXPECT_EQ(ppm->scope(), kScopeSession);
  ppm->setScope(std::nanf(""));
  EXPECT_EQ(ppm->scope(), kScopeSession);
}

TEST(MeterScope, RmsTimesAreStoredOnTheirKnobPositionOtherSettingsAsGiven) {
  SettingsWorld world;
  world.shared->setDefaultScope(kScopeGlobal);
  MirrorOwner rmsOwner, vuOwner;
  auto rms = makeOwnedEngine<RMSMeter>(rmsOwner, *world.shared);
  auto vu = makeOwnedEngine<VUmeter>(vuOwner, *world.shared);
  rms->setParameter(76, 0.66f);
  vu->setParameter(85, 0.66f);
  EXPECT_EQ(rms->getParameter(76), 0.66f);  // the engine keeps what it was given
  const float position52 = 52 * 0.0125f;  // 0.65, as the store computes it
  EXPECT_EQ(world.shared->storeValue(kScopeGlobal, 76), position52);
  EXPECT_EQ(world.shared->storeValue(kScopeGlobal, 85), 0.66f);
  rms->setParameter(72, 0.661f);  // not a time: stored as given
  EXPECT_EQ(world.shared->storeValue(kScopeGlobal, 72), 0.661f);

  rms->saveGlobalSettings();
  vu->saveGlobalSettings();
  SharedSettings next(world.registry);
  EXPECT_EQ(next.storeValue(kScopeGlobal, 76), position52);
  EXPECT_FLOAT_EQ(next.storeValue(kScopeGlobal, 76), 0.65f);
  EXPECT_EQ(next.storeValue(kScopeGlobal, 85), 0.66f);

  // The quantised value lands on the same knob position: same time.
  const double before = rms->returnMs();
  rms->syncSharedSettings();
  EXPECT_EQ(rms->getParameter(76), position52);
  EXPECT_EQ(rms->returnMs(), before);
  // The instance store keeps positions too.
  rms->setScope(1.0f);
  rms->setParameter(73, 0.999f);
  EXPECT_EQ(rms->settingsScope().instanceValue(73), 79 * 0.0125f);
}

TEST(MeterScope, WithoutAnOwnerScopeChangesApplyToTheEngineItself) {
  SettingsWorld world;
  RMSMeter rms(nullptr, *world.shared);
  world.shared->setStoreValue(kScopeGlobal, 72, 0.0f);
  rms.setScope(0.0f);
  EXPECT_EQ(rms.getParameter(72), 0.0f);
  char buffer[32];
  rms.getParameterDisplay(72, buffer);
  EXPECT_STREQ(buffer, "-20.0dBFS");
}

TEST(MeterScope, SettingsOutsideTheEngineOrNotANumberChangeNothing) {
  SettingsWorld world;
  VUmeter vu(nullptr, *world.shared);
  vu.setParameter(72, 0.1f);  // an RMS setting
  vu.setParameter(92, 0.1f);
  vu.setParameter(83, std::nanf(""));
  EXPECT_EQ(vu.getParameter(83), 0.25f);
  EXPECT_EQ(vu.getParameter(72), 0.0f);
  EXPECT_EQ(world.shared->storeValue(kScopeSession, 83), 0.25f);
  vu.setParameter(83, 3.0f);
  EXPECT_EQ(vu.getParameter(83), 1.0f);
  vu.setParameter(83, -3.0f);
  EXPECT_EQ(vu.getParameter(83), 0.0f);
}

}  // namespace
}  // namespace orvane
