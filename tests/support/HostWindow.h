// A host's window for a frame to open into, the message pump that lets it
// paint, and the mouse as the user works it: for the tests that open real
// windows under Windows (Wine on a virtual display). Needs nothing of the
// toolkit, so that a test program standing in for a host can use it too.
#pragma once

#ifdef _WIN32
#include <windows.h>

namespace window_test {

// Hands the thread's queued messages on for `ms` milliseconds: painting,
// timers and what the tests posted.
inline void pump(int ms) {
  DWORD start = GetTickCount();
  MSG msg;
  do {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(5);
  } while (GetTickCount() - start < static_cast<DWORD>(ms));
}

inline LPARAM at(int x, int y) { return MAKELPARAM(x, y); }

// A click of the left button at a point of the window.
inline void click(HWND window, int x, int y) {
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at(x, y));
  SendMessageW(window, WM_LBUTTONUP, 0, at(x, y));
}

// A visible top-level window of the host's, as a plug-in editor gets it to
// open into. The size is the window's own, or with kInside its client
// area's (the style's frame and title bar come around it).
struct HostWindow {
  enum Size { kOuter, kInside };
  HostWindow(const wchar_t* className, DWORD style, int x, int y, int width, int height, Size size = kOuter) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    RegisterClassW(&wc);
    RECT r = {0, 0, width, height};
    if (size == kInside) AdjustWindowRect(&r, style, FALSE);
    hwnd = CreateWindowExW(0, className, L"host", style, x, y, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                           wc.hInstance, nullptr);
  }
  ~HostWindow() { DestroyWindow(hwnd); }
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;
  HWND hwnd;
};

}  // namespace window_test

#endif
