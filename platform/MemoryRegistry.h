// A registry that lives only in memory: tests and tools use it so that they
// never read or write the user's real settings.
#pragma once

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace orvane {

class MemoryRegistry : public RegistryService {
 public:
  bool readBinary4(const char* valueName, unsigned char bytes[4]) override {
    auto it = binary.find(valueName ? valueName : "");
    if (it == binary.end() || it->second.size() != 4) return false;
    std::memcpy(bytes, it->second.data(), 4);
    return true;
  }
  bool writeBinary4(const char* valueName, const unsigned char bytes[4]) override {
    if (!writable || !valueName) return false;
    binary[valueName].assign(bytes, bytes + 4);
    ++writes;
    return true;
  }
  bool readText(const char* valueName, std::string& text) override {
    auto it = texts.find(valueName ? valueName : "");
    if (it == texts.end()) return false;
    text = it->second;
    return true;
  }
  bool writeText(const char* valueName, const std::string& text) override {
    if (!writable || !valueName) return false;
    texts[valueName] = text;
    ++writes;
    return true;
  }

  // Open to tests: raw contents (a value of any size, as a hostile or
  // corrupt registry might hold), a write-protected key, a write counter.
  std::map<std::string, std::vector<unsigned char>> binary;
  std::map<std::string, std::string> texts;
  bool writable = true;
  int writes = 0;
};

}  // namespace orvane
