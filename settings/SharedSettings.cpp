// The process-wide meter-setting stores and their registry persistence.
#include "settings/SharedSettings.h"

#include <cstring>

#include "platform/Registry.h"

namespace orvane {
namespace {

std::atomic<SharedSettings*> gLibrarySettings{nullptr};

constexpr std::memory_order kRelaxed = std::memory_order_relaxed;

int clampScope(int scope) { return scope < kScopeGlobal ? kScopeGlobal : (scope > kScopeInstance ? kScopeInstance : scope); }

}  // namespace

bool isEditorZoomLevel(double zoom) {
  for (double level : kEditorZoomLevels)
    if (zoom == level) return true;
  return false;
}

float safeSettingValue(float value, float fallback) {
  if (value != value) return fallback;  // NaN
  if (value < 0.0f) return 0.0f;
  if (value > 1.0f) return 1.0f;
  return value;
}

SharedSettings::SharedSettings(RegistryService& registry) : registry_(registry) {
  // Each store reads the registry on its own, as the library does at load:
  // both start from the same remembered values.
  for (int slot = 0; slot < kMeterSettingCount; ++slot) {
    const MeterSettingInfo& info = meterSettingBySlot(slot);
    global_[slot].store(loadMeterSetting(info.registryName, info.defaultValue), kRelaxed);
  }
  for (int slot = 0; slot < kMeterSettingCount; ++slot) {
    const MeterSettingInfo& info = meterSettingBySlot(slot);
    session_[slot].store(loadMeterSetting(info.registryName, info.defaultValue), kRelaxed);
  }
  unsigned char bytes[4];
  float zoom = 0.0f;
  if (registry_.readBinary4(kEditorZoomValueName, bytes)) std::memcpy(&zoom, bytes, 4);
  // Every level is exact in single precision.
  editorZoom_.store(isEditorZoomLevel(zoom) ? zoom : 1.0, kRelaxed);
}

double SharedSettings::editorZoom() const { return editorZoom_.load(kRelaxed); }

bool SharedSettings::setEditorZoom(double zoom) {
  if (!isEditorZoomLevel(zoom)) return false;
  editorZoom_.store(zoom, kRelaxed);
  const float stored = static_cast<float>(zoom);
  unsigned char bytes[4];
  std::memcpy(bytes, &stored, 4);
  registry_.writeBinary4(kEditorZoomValueName, bytes);
  return true;
}

SharedSettings* SharedSettings::library() { return gLibrarySettings.load(std::memory_order_acquire); }

void SharedSettings::setLibrary(SharedSettings* settings) { gLibrarySettings.store(settings, std::memory_order_release); }

float SharedSettings::storeValue(int scope, int32_t index) const {
  const int slot = meterSettingSlot(index);
  if (slot < 0) return 0.0f;
  if (scope == kScopeGlobal) return global_[slot].load(kRelaxed);
  if (scope == kScopeSession) return session_[slot].load(kRelaxed);
  return 0.0f;
}

void SharedSettings::setStoreValue(int scope, int32_t index, float value) {
  const int slot = meterSettingSlot(index);
  if (slot < 0) return;
  // A store that every instance reads must never hold a value an engine
  // cannot apply: NaN is refused, the rest limited to 0..1.
  if (value != value) return;
  value = safeSettingValue(value, 0.0f);
  if (scope == kScopeGlobal) global_[slot].store(value, kRelaxed);
  else if (scope == kScopeSession) session_[slot].store(value, kRelaxed);
}

int SharedSettings::defaultScope() const { return defaultScope_.load(kRelaxed); }

void SharedSettings::setDefaultScope(int scope) { defaultScope_.store(clampScope(scope), kRelaxed); }

int SharedSettings::lastMeterType() const { return lastMeterType_.load(kRelaxed); }

void SharedSettings::setLastMeterType(int meterType) {
  lastMeterType_.store(meterType < kMeterVU ? kMeterVU : (meterType > kMeterPPM ? kMeterPPM : meterType), kRelaxed);
}

void SharedSettings::saveGlobalSettings(const int* meterTypes, int count) {
  // One batch for the registry service: natively a single replacement of
  // the settings file instead of one synced file per value; the Windows
  // registry still takes them one value at a time.
  Binary4Value values[kMeterSettingCount];
  std::size_t n = 0;
  for (int t = 0; meterTypes && t < count; ++t) {
    const int32_t first = firstMeterSetting(meterTypes[t]);
    if (first < 0) continue;
    for (int32_t index = first; index <= lastMeterSetting(meterTypes[t]) && n < kMeterSettingCount; ++index) {
      const float value = storeValue(kScopeGlobal, index);
      values[n].name = meterSettingBySlot(meterSettingSlot(index)).registryName;
      std::memcpy(values[n].bytes, &value, 4);
      ++n;
    }
  }
  if (n > 0) registry_.writeBinary4Values(values, n);
}

void SharedSettings::saveMeterSetting(char code, float value) {
  const int slot = meterSettingSlot(static_cast<unsigned char>(code));
  if (slot < 0) return;
  // Four bytes, the float as the store holds it (the machine's own order,
  // little-endian on every target).
  unsigned char bytes[4];
  std::memcpy(bytes, &value, 4);
  registry_.writeBinary4(meterSettingBySlot(slot).registryName, bytes);
}

float SharedSettings::loadMeterSetting(const char* name, float defaultValue) {
  const float fallback = safeSettingValue(defaultValue, 0.0f);
  if (!name) return fallback;
  unsigned char bytes[4];
  // A missing value, or one of another type or size, is refused by the
  // registry service: the default stands.
  if (!registry_.readBinary4(name, bytes)) return fallback;
  float value;
  std::memcpy(&value, bytes, 4);
  // Whatever another program or a damaged profile left there, an engine
  // gets a value it can apply: NaN keeps the default, the rest is limited.
  return safeSettingValue(value, fallback);
}

}  // namespace orvane
