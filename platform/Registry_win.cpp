// The product key in the current user's Windows registry. Every call opens
// the key, does its one read or write and closes it again, so no handle is
// held between calls and nothing has to be cleaned up when the library goes.
#include <windows.h>

#include <climits>
#include <cstring>
#include <cwchar>
#include <vector>

#include "platform/Registry.h"
#include "platform/RegistryRules.h"
#include "platform/RegistryWindows.h"

namespace orvane {

namespace {

bool toWide(const char* utf8, std::size_t size, std::wstring& wide) {
  wide.clear();
  if (size == 0) return true;
  if (size > static_cast<std::size_t>(INT_MAX)) return false;
  const int n = static_cast<int>(size);
  const int units = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, n, nullptr, 0);
  if (units <= 0) return false;
  wide.resize(static_cast<std::size_t>(units));
  return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, n, &wide[0], units) == units;
}

// A lone surrogate (possible in a value someone else wrote) becomes U+FFFD,
// so the answer is always valid UTF-8.
bool toUtf8(const wchar_t* wide, std::size_t units, std::string& utf8) {
  utf8.clear();
  if (units == 0) return true;
  if (units > static_cast<std::size_t>(INT_MAX / 4)) return false;
  const int n = static_cast<int>(units);
  const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, wide, n, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return false;
  utf8.resize(static_cast<std::size_t>(bytes));
  return ::WideCharToMultiByte(CP_UTF8, 0, wide, n, &utf8[0], bytes, nullptr, nullptr) == bytes;
}

bool wideName(const char* valueName, std::wstring& name) {
  return registry::isAcceptableValueName(valueName) &&
         toWide(valueName, std::strlen(valueName), name);
}

// Opens the key for queries only; the key is never created by a read.
class QueryKey {
 public:
  QueryKey(HKEY root, const std::wstring& path) {
    if (path.empty() ||
        ::RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &key_) != ERROR_SUCCESS) {
      key_ = nullptr;
    }
  }
  ~QueryKey() {
    if (key_) ::RegCloseKey(key_);
  }
  QueryKey(const QueryKey&) = delete;
  QueryKey& operator=(const QueryKey&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// Largest stored text accepted, in bytes: the UTF-16 form of the longest text
// that writeText takes, with its null. Anything bigger was not written by us
// and is not worth reading.
constexpr DWORD kMaxStoredTextBytes = static_cast<DWORD>((registry::kMaxTextBytes + 1) * 2);

}  // namespace

WindowsRegistry::WindowsRegistry(HKEY root, std::wstring keyPath)
    : root_(root), keyPath_(std::move(keyPath)) {}

bool WindowsRegistry::readBinary4(const char* valueName, unsigned char bytes[4]) {
  try {
    std::wstring name;
    if (!bytes || !wideName(valueName, name)) return false;
    QueryKey key(root_, keyPath_);
    if (!key.get()) return false;
    BYTE buffer[4] = {};
    DWORD type = REG_NONE;
    DWORD size = sizeof buffer;
    // A longer value answers ERROR_MORE_DATA and is refused with the rest.
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, buffer, &size) !=
            ERROR_SUCCESS ||
        type != REG_BINARY || size != 4) {
      return false;
    }
    std::memcpy(bytes, buffer, 4);
    return true;
  } catch (...) {
    // Out of memory converting a name or text: refused, never thrown into
    // the host.
    return false;
  }
}

bool WindowsRegistry::readText(const char* valueName, std::string& text) {
  try {
    std::wstring name;
    if (!wideName(valueName, name)) return false;
    QueryKey key(root_, keyPath_);
    if (!key.get()) return false;
    std::vector<wchar_t> buffer;
    DWORD type = REG_NONE;
    DWORD size = 0;
    // Ask for the size, then the data; if the value grew in between, ask again.
    for (int attempt = 0;; ++attempt) {
      if (attempt == 3) return false;
      if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
          ERROR_SUCCESS) {
        return false;
      }
      if ((type != REG_SZ && type != REG_EXPAND_SZ) || size > kMaxStoredTextBytes) return false;
      // One spare unit so that a value stored without its null still ends in one.
      buffer.assign(size / sizeof(wchar_t) + 1, L'\0');
      size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
      const LONG status = ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type,
                                             reinterpret_cast<BYTE*>(buffer.data()), &size);
      if (status == ERROR_MORE_DATA) continue;
      if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
      break;
    }
    // The text ends at its first null; an odd last byte is no whole character.
    std::size_t units = size / sizeof(wchar_t);
    for (std::size_t i = 0; i < units; ++i) {
      if (buffer[i] == L'\0') {
        units = i;
        break;
      }
    }
    buffer.resize(units);
    buffer.push_back(L'\0');
    if (type == REG_EXPAND_SZ) {
      const DWORD needed = ::ExpandEnvironmentStringsW(buffer.data(), nullptr, 0);
      if (needed == 0 || needed > kMaxStoredTextBytes / sizeof(wchar_t)) return false;
      std::vector<wchar_t> expanded(needed + 1, L'\0');
      const DWORD written =
          ::ExpandEnvironmentStringsW(buffer.data(), expanded.data(), needed + 1);
      if (written == 0 || written > needed + 1) return false;
      buffer.swap(expanded);
      units = std::wcslen(buffer.data());
    }
    std::string result;
    if (!toUtf8(buffer.data(), units, result)) return false;
    text = std::move(result);
    return true;
  } catch (...) {
    // Out of memory converting a name or text: refused, never thrown into
    // the host.
    return false;
  }
}

bool WindowsRegistry::writeBinary4(const char* valueName, const unsigned char bytes[4]) {
  if (!bytes) return false;
  return writeValue(valueName, REG_BINARY, bytes, 4);
}

bool WindowsRegistry::writeText(const char* valueName, const std::string& text) {
  try {
    std::wstring wide;
    if (!registry::isAcceptableText(text) || !toWide(text.data(), text.size(), wide)) return false;
    // REG_SZ is stored with its terminating null, which c_str() supplies.
    const DWORD size = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t));
    return writeValue(valueName, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()), size);
  } catch (...) {
    // Out of memory converting a name or text: refused, never thrown into
    // the host.
    return false;
  }
}

bool WindowsRegistry::writeValue(const char* valueName, DWORD type, const BYTE* data,
                                 DWORD size) {
  try {
    std::wstring name;
    if (keyPath_.empty() || !wideName(valueName, name)) return false;
    HKEY key = nullptr;
    if (::RegCreateKeyExW(root_, keyPath_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                          nullptr, &key, nullptr) != ERROR_SUCCESS) {
      return false;
    }
    const LONG status = ::RegSetValueExW(key, name.c_str(), 0, type, data, size);
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS;
  } catch (...) {
    // Out of memory converting a name or text: refused, never thrown into
    // the host.
    return false;
  }
}

RegistryService& userRegistry() {
  static WindowsRegistry registry(HKEY_CURRENT_USER, kRegistryKeyPath);
  return registry;
}

}  // namespace orvane
