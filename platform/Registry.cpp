// The key every build uses, and the input rules shared by both registry
// implementations.
#include "platform/Registry.h"


#include "platform/RegistryRules.h"

namespace orvane {

const wchar_t kRegistryKeyPath[] = L"SOFTWARE\\Zelcraft\\ZELMETERS300";

bool RegistryService::writeBinary4Values(const Binary4Value* values, std::size_t count) {
  if (!values) return count == 0;
  bool all = true;
  for (std::size_t i = 0; i < count; ++i) all = writeBinary4(values[i].name, values[i].bytes) && all;
  return all;
}

namespace registry {

bool isValidUtf8(const char* data, std::size_t size) {
  const auto* s = reinterpret_cast<const unsigned char*>(data);
  std::size_t i = 0;
  auto continuation = [&](std::size_t at, unsigned char lo = 0x80, unsigned char hi = 0xBF) {
    return at < size && s[at] >= lo && s[at] <= hi;
  };
  while (i < size) {
    const unsigned char c = s[i];
    if (c < 0x80) {
      i += 1;
    } else if (c >= 0xC2 && c <= 0xDF) {
      if (!continuation(i + 1)) return false;
      i += 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      // E0 must not encode below U+0800; ED must not encode a surrogate.
      const unsigned char lo = c == 0xE0 ? 0xA0 : 0x80;
      const unsigned char hi = c == 0xED ? 0x9F : 0xBF;
      if (!continuation(i + 1, lo, hi) || !continuation(i + 2)) return false;
      i += 3;
    } else if (c >= 0xF0 && c <= 0xF4) {
      // F0 must not encode below U+10000; F4 must not go past U+10FFFF.
      const unsigned char lo = c == 0xF0 ? 0x90 : 0x80;
      const unsigned char hi = c == 0xF4 ? 0x8F : 0xBF;
      if (!continuation(i + 1, lo, hi) || !continuation(i + 2) || !continuation(i + 3)) {
        return false;
      }
      i += 4;
    } else {
      return false;
    }
  }
  return true;
}

bool isAcceptableValueName(const char* name) {
  if (!name) return false;
  // Never scan further than one byte past the cap: the name may be hostile.
  std::size_t size = 0;
  while (size <= kMaxValueNameBytes && name[size] != '\0') ++size;
  if (size == 0 || size > kMaxValueNameBytes) return false;
  for (std::size_t i = 0; i < size; ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (c < 0x20 || c == 0x7F) return false;
  }
  return isValidUtf8(name, size);
}

bool isAcceptableText(const std::string& text) {
  return text.size() <= kMaxTextBytes && text.find('\0') == std::string::npos &&
         isValidUtf8(text.data(), text.size());
}

std::string keyPathUtf8() {
  std::string path;
  for (const wchar_t* p = kRegistryKeyPath; *p; ++p) path.push_back(static_cast<char>(*p));
  return path;
}

}  // namespace registry
}  // namespace orvane
