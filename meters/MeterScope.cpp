#include "meters/MeterScope.h"

namespace orvane {

MeterScope::MeterScope(int meterType, SharedSettings& shared, MeterSettingsOwner* owner, ApplyFn applyOwn, void* engine)
    : meterType_(meterType),
      first_(firstMeterSetting(meterType)),
      count_(meterSettingCount(meterType) > kMaxSettings ? kMaxSettings : meterSettingCount(meterType)),
      shared_(shared),
      owner_(owner),
      applyOwn_(applyOwn),
      engine_(engine) {}

void MeterScope::initialise() {
  const int scope = shared_.defaultScope();
  scope_ = scope;
  const int source = scope == kScopeInstance ? kScopeSession : scope;
  for (int i = 0; i < count_; ++i) {
    // The owner is still being built: the engine's own setParameter applies.
    applyOwn(first_ + i, shared_.storeValue(source, first_ + i));
  }
  if (scope == kScopeInstance) instanceInitialised_ = true;
}

void MeterScope::record(int32_t index, float applied, float stored) {
  if (!owns(index)) return;
  const int i = index - first_;
  values_[i] = applied;
  switch (scope_.load()) {
    case kScopeGlobal: shared_.setStoreValue(kScopeGlobal, index, stored); break;
    case kScopeSession: shared_.setStoreValue(kScopeSession, index, stored); break;
    default: instance_[i] = stored; break;
  }
}

float MeterScope::value(int32_t index) const { return owns(index) ? values_[index - first_].load() : 0.0f; }

float MeterScope::instanceValue(int32_t index) const { return owns(index) ? instance_[index - first_].load() : 0.0f; }

void MeterScope::applyThroughOwner(int32_t index, float value) {
  if (owner_) owner_->applyMeterSetting(index, value);
  else applyOwn(index, value);
}

void MeterScope::setScope(float raw) {
  if (raw != raw) return;  // NaN names no scope: stay where we are
  const float v = safeSettingValue(raw, 0.0f);
  // In double, as the effect reads the same value for its display.
  const int scope = static_cast<int>(static_cast<double>(v) * 2.0 + 0.5);
  scope_ = scope;
  if (scope == kScopeInstance) {
    // The first visit to Instance starts from the Session values; later
    // visits get back what was set while in Instance.
    const bool fromInstance = instanceInitialised_;
    for (int i = 0; i < count_; ++i) {
      const float value = fromInstance ? instance_[i].load() : shared_.storeValue(kScopeSession, first_ + i);
      applyThroughOwner(first_ + i, value);
    }
    instanceInitialised_ = true;
    return;
  }
  for (int i = 0; i < count_; ++i) applyThroughOwner(first_ + i, shared_.storeValue(scope, first_ + i));
}

void MeterScope::syncSharedSettings() {
  const int scope = scope_;
  if (scope != kScopeGlobal && scope != kScopeSession) return;
  for (int i = 0; i < count_; ++i) {
    const float stored = shared_.storeValue(scope, first_ + i);
    if (values_[i].load() != stored) applyThroughOwner(first_ + i, stored);
  }
}

void MeterScope::saveGlobalSettings() { shared_.saveGlobalSettings(meterType_); }

}  // namespace orvane
