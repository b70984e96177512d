// Per-user persistent values of the product, under one key of the current
// user's registry hive (a per-user file on the native build). Meter settings
// are 4-byte binary values; the editor base keeps a few texts there.
#pragma once

#include <cstddef>
#include <string>

namespace orvane {

// The key below HKEY_CURRENT_USER that holds every per-user value.
extern const wchar_t kRegistryKeyPath[];  // L"SOFTWARE\\Zelcraft\\ZELMETERS300"

// One 4-byte binary value of a batch write.
struct Binary4Value {
  const char* name;
  unsigned char bytes[4];
};

class RegistryService {
 public:
  virtual ~RegistryService() = default;

  // Reads a binary value of exactly four bytes. Answers false, leaving
  // `bytes` untouched, when the key or the value is missing, or the value has
  // another type or size.
  virtual bool readBinary4(const char* valueName, unsigned char bytes[4]) = 0;
  // Creates the key if needed and writes a 4-byte binary value. False when
  // the key cannot be created or written; nothing is reported to the user.
  virtual bool writeBinary4(const char* valueName, const unsigned char bytes[4]) = 0;
  // Writes several 4-byte binary values as one save, in the order given.
  // The file store replaces its file once for all of them, all or nothing;
  // the Windows registry (and this default) writes them one by one, each
  // with its own opening of the key. False when any value was not written.
  virtual bool writeBinary4Values(const Binary4Value* values, std::size_t count);

  // Text values (REG_SZ on Windows), UTF-8 here.
  virtual bool readText(const char* valueName, std::string& text) = 0;
  virtual bool writeText(const char* valueName, const std::string& text) = 0;
};

// The registry of the user running the process: the Windows registry on
// Windows, a file under the XDG configuration directory on the native build.
RegistryService& userRegistry();

}  // namespace orvane
