// The 27 meter settings: which engine owns each one, the name of its value in
// the user's registry, and the value a first run starts from.
#include <cstddef>

#include "settings/SharedSettings.h"

namespace orvane {
namespace {

// In slot order: RMS 72..81, VU 83..91, PPM 93..100. The chunk and the
// registry writer walk the settings in this order.
const MeterSettingInfo kSettings[kMeterSettingCount] = {
    {72, "Armsreference", 0.667f, kMeterRMS},        // 0.0 dB
    {73, "Armsintegration", 0.5f, kMeterRMS},        // 10 ms
    {74, "ARMSRmsIntegration", 0.5f, kMeterRMS},     // 1 s
    {75, "Armsholdtime", 0.5f, kMeterRMS},           // 1 s
    {76, "Armsreturn", 0.66f, kMeterRMS},            // position 52, 1.995 s
    {77, "ARMSMSType", 0.5f, kMeterRMS},             // mid 3 dB down
    {78, "ARMSOversTag", 0.22f, kMeterRMS},          // 3 samples make an over
    {79, "Armsoverreference", 1.0f, kMeterRMS},      // over at 0 dB
    {80, "Armsprecise", 0.0f, kMeterRMS},            // CPU safe
    {81, "Armsledref", 0.5f, kMeterRMS},             // counted from full scale
    {83, "Avureference", 0.25f, kMeterVU},           // -18 dBFS reads 0 VU
    {84, "Avuintegration", 0.5f, kMeterVU},          // 300 ms
    {85, "Avuholdtime", 0.5f, kMeterVU},             // 1 s
    {86, "Avutype", 0.0f, kMeterVU},                 // type A
    {87, "Avumstype", 0.5f, kMeterVU},               // mid 3 dB down
    {88, "Avubacklit", 0.5f, kMeterVU},              // middle illumination
    {89, "Avuoverled", 0.22f, kMeterVU},             // 3 samples make an over
    {90, "Avuledref", 1.0f, kMeterVU},               // over at 0 dBFS
    {91, "Avuprecise", 0.0f, kMeterVU},              // CPU safe
    {93, "Appmreference", 0.5f, kMeterPPM},          // -12 dBFS
    {94, "Appmintegration", 0.5f, kMeterPPM},        // 10 ms
    {95, "Appmholdtime", 0.5f, kMeterPPM},           // 1 s
    {96, "Appmreturn", 0.66f, kMeterPPM},            // position 52, 1.995 s
    {97, "Appmmstype", 0.5f, kMeterPPM},             // mid 3 dB down
    {98, "Appmovertag", 0.22f, kMeterPPM},           // 3 samples make an over
    {99, "Appmoverreference", 1.0f, kMeterPPM},      // over at 0 dBFS
    {100, "Appmprecise", 0.0f, kMeterPPM},           // CPU safe
};

}  // namespace

const MeterSettingInfo& meterSettingBySlot(int slot) {
  // An out-of-range slot answers the first setting rather than reading
  // past the table.
  if (slot < 0 || slot >= kMeterSettingCount) slot = 0;
  return kSettings[slot];
}

int meterSettingSlot(int32_t index) {
  if (index >= 72 && index <= 81) return index - 72;
  if (index >= 83 && index <= 91) return 10 + (index - 83);
  if (index >= 93 && index <= 100) return 19 + (index - 93);
  return -1;
}

int32_t firstMeterSetting(int meterType) {
  switch (meterType) {
    case kMeterRMS: return 72;
    case kMeterVU: return 83;
    case kMeterPPM: return 93;
    default: return -1;
  }
}

int32_t lastMeterSetting(int meterType) {
  switch (meterType) {
    case kMeterRMS: return 81;
    case kMeterVU: return 91;
    case kMeterPPM: return 100;
    default: return -2;
  }
}

int meterSettingCount(int meterType) {
  const int32_t first = firstMeterSetting(meterType);
  return first < 0 ? 0 : static_cast<int>(lastMeterSetting(meterType) - first + 1);
}

}  // namespace orvane
