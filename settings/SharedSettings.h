// The 27 meter settings and the process-wide state that all instances of the
// plug-in in one host process share: the Global and Session stores, the scope
// and meter type chosen last, and their persistence in the user's registry.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace orvane {

class RegistryService;

// Settings scope, as chosen by the "GSIcal" parameter.
enum Scope : int { kScopeGlobal = 0, kScopeSession = 1, kScopeInstance = 2 };

// Meter type index, as chosen by the "Meter" parameter.
enum MeterType : int { kMeterVU = 0, kMeterRMS = 1, kMeterPPM = 2 };

struct MeterSettingInfo {
  int32_t index;             // effect parameter index, 72..81, 83..91, 93..100
  const char* registryName;  // value name under the product's registry key
  float defaultValue;        // used when the registry holds nothing
  int meterType;             // MeterType of the engine that owns it
};

constexpr int kMeterSettingCount = 27;

// Slots run in the order the chunk and the registry writer use:
// RMS 72..81, VU 83..91, PPM 93..100.
const MeterSettingInfo& meterSettingBySlot(int slot);
// The slot of a meter-setting index, or -1 when the index names no setting.
int meterSettingSlot(int32_t index);
// First and last meter-setting index of one meter type.
int32_t firstMeterSetting(int meterType);
int32_t lastMeterSetting(int meterType);
// How many settings one meter type has (RMS 10, VU 9, PPM 8; 0 for none).
int meterSettingCount(int meterType);
// A normalised setting made safe to apply: NaN gives `fallback`, anything
// else is limited to 0..1 (infinities go to the nearer end).
float safeSettingValue(float value, float fallback);

// The editor's zoom levels a user can choose, 100 to 200 %.
constexpr int kEditorZoomLevelCount = 5;
constexpr double kEditorZoomLevels[kEditorZoomLevelCount] = {1.0, 1.25, 1.5, 1.75, 2.0};
// True for exactly one of the levels.
bool isEditorZoomLevel(double zoom);
// The registry value beside the meter settings that keeps the user's zoom
// (4 bytes: the factor as a float).
constexpr const char* kEditorZoomValueName = "EditorZoom";

// The library-wide object. The plug-in binary owns exactly one, filled from
// the user's registry when the library loads; tests make isolated copies
// with an in-memory registry.
class SharedSettings {
 public:
  // Fills both stores from the registry (each value through
  // loadMeterSetting), default scope Session, last meter type VU.
  explicit SharedSettings(RegistryService& registry);

  // The plug-in library's own object; null in programs that did not install
  // one (unit tests).
  static SharedSettings* library();
  static void setLibrary(SharedSettings* settings);

  // Global (0) or Session (1) store value of a meter-setting index; 0 for an
  // index that names no setting or another scope.
  float storeValue(int scope, int32_t index) const;
  void setStoreValue(int scope, int32_t index, float value);

  // The scope and meter type that a new instance starts with: the ones the
  // most recent setParameter of any instance chose.
  int defaultScope() const;
  void setDefaultScope(int scope);
  int lastMeterType() const;
  void setLastMeterType(int meterType);

  // Writes every setting of the given meter types (in that order, each in
  // index order) from the Global store to the registry as one save: the
  // back panel's close command. A type that names no meter adds nothing.
  void saveGlobalSettings(const int* meterTypes, int count);
  void saveGlobalSettings(int meterType) { saveGlobalSettings(&meterType, 1); }

  // One registry value; `code` is the setting's letter code (its index read
  // as a character). A code that names no setting writes nothing.
  void saveMeterSetting(char code, float value);
  // Reads one registry value, starting from `defaultValue`; whatever the
  // registry holds, the answer is finite and within 0..1.
  float loadMeterSetting(const char* name, float defaultValue);

  // The zoom the user chose last, for every new window of every instance:
  // read from the registry with the meter settings; a stored value that is
  // not one of the levels reads as 1. Setting a level saves it at once
  // (per user, never in a project); anything else is refused.
  double editorZoom() const;
  bool setEditorZoom(double zoom);

  RegistryService& registry() { return registry_; }

 private:
  RegistryService& registry_;
  std::array<std::atomic<float>, kMeterSettingCount> global_;
  std::array<std::atomic<float>, kMeterSettingCount> session_;
  std::atomic<int> defaultScope_{kScopeSession};
  std::atomic<int> lastMeterType_{kMeterVU};
  std::atomic<double> editorZoom_{1.0};
};

// What an engine needs of its owner: re-applying a setting through the
// owner's parameter path (so the owner's mirror and editor follow) when a
// scope is applied or another instance changed a shared store.
class MeterSettingsOwner {
 public:
  virtual ~MeterSettingsOwner() = default;
  virtual void applyMeterSetting(int32_t index, float value) = 0;
};

}  // namespace orvane
