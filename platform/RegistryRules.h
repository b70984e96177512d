// What every implementation of the per-user registry accepts. The Windows
// registry and the native file refuse exactly the same names and texts, so a
// caller sees one behaviour on every build.
#pragma once

#include <cstddef>
#include <string>

namespace orvane::registry {

// Our own value names are short; the cap keeps a hostile name from costing
// anything and stays far inside the registry's own limit.
constexpr std::size_t kMaxValueNameBytes = 255;

// Longest text value, in UTF-8 bytes. A Windows path is at most 32767 UTF-16
// units, so any real path fits many times over.
constexpr std::size_t kMaxTextBytes = std::size_t{1} << 20;

// A value name is 1 to kMaxValueNameBytes bytes of valid UTF-8 without
// control characters. A null or empty name is refused: an empty name would
// address the key's unnamed default value, which is none of ours.
bool isAcceptableValueName(const char* name);

// Strict UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool isValidUtf8(const char* data, std::size_t size);

// A text value is valid UTF-8, at most kMaxTextBytes long, and holds no
// zero byte (a registry string ends at its first zero, so one inside the text
// could not survive the round trip).
bool isAcceptableText(const std::string& text);

// The key path as UTF-8 (it is plain ASCII), for the native file.
std::string keyPathUtf8();

}  // namespace orvane::registry
