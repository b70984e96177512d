// Where an engine's settings live and how they follow the scope chosen with
// "GSIcal": Global and Session values are shared by every instance in the
// process, Instance values belong to this engine alone (and travel in the
// host's project). One MeterScope per engine; it keeps the engine's current
// value of each setting, its instance store and the store's initialised flag.
#pragma once

#include <cstdint>

#include "meters/Relaxed.h"
#include "settings/SharedSettings.h"

namespace orvane {

class MeterScope {
 public:
  // How a value reaches the engine when there is no owner effect: the
  // engine's own setParameter.
  using ApplyFn = void (*)(void* engine, int32_t index, float value);

  MeterScope(int meterType, SharedSettings& shared, MeterSettingsOwner* owner, ApplyFn applyOwn, void* engine);

  // Engine creation: take the process's current default scope and apply
  // every setting through the engine's own setParameter: from that scope's
  // store, or for Instance from the Session store (marking the instance
  // store initialised).
  void initialise();

  bool owns(int32_t index) const { return index >= first_ && index < first_ + count_; }
  int meterType() const { return meterType_; }
  int32_t firstIndex() const { return first_; }
  int settingCount() const { return count_; }

  // Records a value the engine has just applied and stores `stored` (the
  // value as the store keeps it) in the store of the current scope.
  void record(int32_t index, float applied, float stored);
  // The engine's current value of a setting (0 for an index it does not own).
  float value(int32_t index) const;
  float instanceValue(int32_t index) const;
  bool instanceInitialised() const { return instanceInitialised_; }

  int scope() const { return scope_; }
  // Switches scope (int(2v + 0.5)) and re-applies every setting through
  // the owner, so the owner's mirror and editor follow.
  void setScope(float raw);
  // Global and Session: re-applies every setting whose current value
  // differs from its store, so edits in another instance arrive here.
  void syncSharedSettings();
  // Writes this meter's Global store to the registry.
  void saveGlobalSettings();

 private:
  void applyThroughOwner(int32_t index, float value);
  void applyOwn(int32_t index, float value) { applyOwn_(engine_, index, value); }

  static constexpr int kMaxSettings = 10;
  const int meterType_;
  const int32_t first_;
  const int count_;
  SharedSettings& shared_;
  MeterSettingsOwner* const owner_;
  const ApplyFn applyOwn_;
  void* const engine_;
  Relaxed<int> scope_{kScopeSession};
  Relaxed<float> values_[kMaxSettings];
  Relaxed<float> instance_[kMaxSettings];
  Relaxed<bool> instanceInitialised_{false};
};

}  // namespace orvane
