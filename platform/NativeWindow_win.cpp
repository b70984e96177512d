#include <windows.h>

#include "platform/NativeWindow.h"

namespace orvane {

void focusNativeWindow(void* window) {
  if (window) SetFocus(static_cast<HWND>(window));
}

bool resizeNativeWindow(void* window, int width, int height) {
  if (!window || width <= 0 || height <= 0) return false;
  return SetWindowPos(static_cast<HWND>(window), nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE) != FALSE;
}

uint64_t currentThreadKey() { return GetCurrentThreadId(); }

void* moduleContaining(const void* address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<LPCWSTR>(address), &module))
    return nullptr;
  return module;
}

}  // namespace orvane
