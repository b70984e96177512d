#include "state/StateChunk.h"

#include <cstring>

namespace orvane {

namespace {

void putFloat(unsigned char* at, float v) { std::memcpy(at, &v, 4); }

float getFloat(const unsigned char* at) {
  float v;
  std::memcpy(&v, at, 4);
  return v;
}

}  // namespace

void StateChunk::write(unsigned char* buffer, const char* label, const float parameters[kParameterCount],
                       const float settings[kSettingCount]) {
  std::memset(buffer, 0, kSize);
  putFloat(buffer + kMarkOffset, kMark);
  if (label) {
    int n = 0;
    while (n < kLabelBytes - 1 && label[n]) ++n;
    std::memcpy(buffer + kLabelOffset, label, n);
  }
  for (int32_t i = 0; i < kParameterCount; ++i) putFloat(buffer + kParametersOffset + 4 * i, parameters[i]);
  for (int32_t i = 0; i < kSettingCount; ++i) putFloat(buffer + kSettingsOffset + 4 * i, settings[i]);
}

void StateChunk::load(unsigned char* buffer, const void* data, int32_t byteSize) {
  std::memset(buffer, 0, kSize);
  if (!data || byteSize <= 0) return;
  std::memcpy(buffer, data, byteSize < kSize ? byteSize : kSize);
}

void StateChunk::label(const unsigned char* buffer, char out[kLabelBytes]) {
  std::memcpy(out, buffer + kLabelOffset, kLabelBytes);
  out[kLabelBytes - 1] = 0;  // a label that fills all 40 bytes loses its last byte
}

float StateChunk::parameter(const unsigned char* buffer, int32_t index) {
  if (index < 0 || index >= kParameterCount) return 0.0f;
  return getFloat(buffer + kParametersOffset + 4 * index);
}

float StateChunk::setting(const unsigned char* buffer, int32_t slot) {
  if (slot < 0 || slot >= kSettingCount) return 0.0f;
  return getFloat(buffer + kSettingsOffset + 4 * slot);
}

}  // namespace orvane
