// The Windows registry behind RegistryService: one key below a root key,
// opened and closed again by every call. Built only for Windows.
#pragma once

#include <windows.h>

#include <string>

#include "platform/Registry.h"

namespace orvane {

class WindowsRegistry : public RegistryService {
 public:
  // `root` is normally HKEY_CURRENT_USER and `keyPath` kRegistryKeyPath;
  // tests give a throwaway key, or a root that cannot be written.
  WindowsRegistry(HKEY root, std::wstring keyPath);

  HKEY root() const { return root_; }
  const std::wstring& keyPath() const { return keyPath_; }

  bool readBinary4(const char* valueName, unsigned char bytes[4]) override;
  bool writeBinary4(const char* valueName, const unsigned char bytes[4]) override;
  // Reads REG_SZ, and REG_EXPAND_SZ with its %VARIABLES% expanded (an
  // installer may store a path that way). Writes REG_SZ with its null.
  bool readText(const char* valueName, std::string& text) override;
  bool writeText(const char* valueName, const std::string& text) override;

 private:
  bool writeValue(const char* valueName, DWORD type, const BYTE* data, DWORD size);

  HKEY root_;
  std::wstring keyPath_;
};

}  // namespace orvane
