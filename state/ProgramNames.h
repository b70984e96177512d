// The three named program slots behind the host's single program. Slot 0 is
// always the current one; the names are not part of the project chunk.
#pragma once

#include <cstdint>

namespace orvane {

class ProgramNames {
 public:
  static constexpr int kCount = 3;
  static constexpr int kNameBytes = 24;  // at most 23 characters and a zero

  ProgramNames();

  // Takes at most the first 24 bytes of `text`; a name of 23 characters or
  // more keeps its first 23. A null text changes nothing.
  void setName(int32_t index, const char* text);
  // Copies name `index` (24 bytes, always zero-terminated) into `text`; false
  // and nothing written for an index outside 0..2 or a null text.
  bool copyName(int32_t index, char* text) const;
  const char* name(int32_t index) const;

 private:
  char names_[kCount][kNameBytes];
};

}  // namespace orvane
