#include "state/ProgramNames.h"

#include <cstring>

namespace orvane {

ProgramNames::ProgramNames() { std::memset(names_, 0, sizeof(names_)); }

void ProgramNames::setName(int32_t index, const char* text) {
  if (!text || index < 0 || index >= kCount) return;
  char* name = names_[index];
  std::memset(name, 0, kNameBytes);
  size_t n = 0;
  while (n < kNameBytes - 1 && text[n]) ++n;  // never reads past 23 bytes of the host's text
  std::memcpy(name, text, n);
}

bool ProgramNames::copyName(int32_t index, char* text) const {
  if (!text || index < 0 || index >= kCount) return false;
  // 24 bytes: the host's buffer for a program name is that long, and the
  // name's last byte is always the terminating zero.
  std::memcpy(text, names_[index], kNameBytes);
  return true;
}

const char* ProgramNames::name(int32_t index) const {
  return (index >= 0 && index < kCount) ? names_[index] : "";
}

}  // namespace orvane
