// The project chunk: one fixed block of 596 bytes that holds everything a
// host project keeps of an instance. Projects saved by every earlier build
// must keep loading, so the layout below never changes.
//
//   offset  size  content
//        0     4  300.0, a format mark (written, ignored on reading)
//        4    40  the tape label, zero-terminated
//       44   256  the 64 host parameter values
//      300    40  RMS meter settings 72..81
//      340    36  VU meter settings 83..91
//      376    32  PPM meter settings 93..100
//      408   188  zero
//
// Numbers are 32-bit floats in the machine's little-endian order.
#pragma once

#include <cstdint>

namespace orvane {

struct StateChunk {
  static constexpr int32_t kSize = 596;
  static constexpr int32_t kMarkOffset = 0;
  static constexpr float kMark = 300.0f;
  static constexpr int32_t kLabelOffset = 4;
  static constexpr int32_t kLabelBytes = 40;
  static constexpr int32_t kParametersOffset = 44;
  static constexpr int32_t kParameterCount = 64;
  static constexpr int32_t kSettingsOffset = 300;
  static constexpr int32_t kSettingCount = 27;
  static constexpr int32_t kTailOffset = 408;

  // Writes a whole chunk into `buffer` (kSize bytes).
  static void write(unsigned char* buffer, const char* label, const float parameters[kParameterCount],
                    const float settings[kSettingCount]);

  // Fills `buffer` (kSize bytes) from what the host gave: at most kSize bytes
  // are read, and whatever the host did not give counts as zero.
  static void load(unsigned char* buffer, const void* data, int32_t byteSize);

  // Readers of a loaded buffer. The label always comes back terminated.
  static void label(const unsigned char* buffer, char out[kLabelBytes]);
  static float parameter(const unsigned char* buffer, int32_t index);
  static float setting(const unsigned char* buffer, int32_t slot);
};

}  // namespace orvane
