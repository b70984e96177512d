#include <windows.h>

#include "editor/EditorPlatform.h"
#include "toolkit/platformsupport.h"

namespace orvane {

void focusNativeWindow(void* window) {
  if (window) SetFocus(static_cast<HWND>(window));
}

bool resizeNativeWindow(void* window, int width, int height) {
  if (!window || width <= 0 || height <= 0) return false;
  return SetWindowPos(static_cast<HWND>(window), nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE) != FALSE;
}

uint64_t currentThreadKey() { return GetCurrentThreadId(); }

void locatePluginResources() {
  // The module that holds this very function: the plug-in DLL when linked
  // into it, the program itself in a test. Its reference count is left
  // alone, so the DLL still unloads when the host lets it go.
  HMODULE module = nullptr;
  if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&locatePluginResources), &module))
    VSTGUI::setResourceModule(module);
}

}  // namespace orvane
