// The text format of the native build's registry file: one key, one value a
// line, in the spirit of a registry export so that a person can read it.
//
//   ORVANE-REGISTRY 1
//   [HKEY_CURRENT_USER\SOFTWARE\Zelcraft\ZELMETERS300]
//   "Avureference"=hex:00,00,80,3e
//   "CurrDir"="/home/me/projects"
//   "Odd"=hex(4):01,00,00,00
//
// Binary values are written byte for byte as given (the meter settings hand
// in little-endian floats); texts are UTF-8 between quotes with \\ \" \n \r
// \t and \xHH escapes; any other registry type is kept as hex(type). The
// parser is forgiving line by line and strict within a line: a line that
// does not parse, or a value under another key, is skipped, so a damaged
// file loses only what is damaged and never yields a half-read value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orvane::registryfile {

// Registry type numbers, as Windows numbers them.
constexpr std::uint32_t kTypeText = 1;    // REG_SZ
constexpr std::uint32_t kTypeBinary = 3;  // REG_BINARY

// First line of every file we write; a file that starts otherwise is not ours
// and holds no values.
extern const char kFileHeader[];

// Largest file we read or write. Far above what the product stores (27 short
// binaries and four texts), low enough that a hostile file costs little.
constexpr std::size_t kMaxFileBytes = std::size_t{8} << 20;

struct Value {
  std::string name;
  std::uint32_t type = 0;
  std::vector<unsigned char> data;
};

class Contents {
 public:
  // Value names compare without regard to ASCII case, as registry value
  // names do.
  const Value* find(const char* name) const;
  // Replaces the data and type of a value of that name (keeping the name as
  // first stored) or appends a new one.
  void set(const char* name, std::uint32_t type, const unsigned char* data, std::size_t size);
  const std::vector<Value>& values() const { return values_; }

 private:
  std::size_t indexOf(const char* name) const;  // values_.size() when absent
  std::vector<Value> values_;
};

// The values that `text` holds under `keyPath` (compared without regard to
// ASCII case). Never fails: what cannot be read is left out.
Contents parse(const std::string& text, const std::string& keyPath);

// The file text for `contents` under `keyPath`; parse() reads it back to the
// same values.
std::string serialise(const Contents& contents, const std::string& keyPath);

}  // namespace orvane::registryfile
