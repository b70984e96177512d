#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <string>

#include "platform/Shell.h"

namespace orvane {

namespace {

std::wstring widen(const std::string& text) {
  if (text.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), (int)text.size(), nullptr, 0);
  std::wstring wide(n > 0 ? n : 0, L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), (int)text.size(), &wide[0], n);
  return wide;
}

std::string narrow(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
  std::string text(n > 0 ? n : 0, '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), (int)wide.size(), &text[0], n, nullptr, nullptr);
  return text;
}

}  // namespace

long openDocument(const std::string& path, void* ownerWindow) {
  std::wstring file = widen(path);
  HINSTANCE r = ShellExecuteW(static_cast<HWND>(ownerWindow), L"open", file.c_str(), nullptr, nullptr, SW_SHOW);
  return (long)(INT_PTR)r;
}

void showMessage(const std::string& text, const std::string& caption, void* ownerWindow) {
  MessageBoxW(static_cast<HWND>(ownerWindow), widen(text).c_str(), widen(caption).c_str(), MB_OK);
}

void oleInitialize() { OleInitialize(nullptr); }

void oleUninitialize() { OleUninitialize(); }

std::string currentDirectory(size_t maxChars) {
  wchar_t buffer[1024];
  DWORD n = GetCurrentDirectoryW(1024, buffer);
  if (n == 0 || n >= 1024) return std::string();
  std::wstring dir(buffer, n);
  if (dir.size() > maxChars) dir.resize(maxChars);
  return narrow(dir);
}

}  // namespace orvane
