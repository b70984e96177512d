// Windows backend: the frame's child window, painted with Direct2D through
// the window's device context, and the system's EDIT box (Win32EditBox) for
// text edits.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "toolkit/win32/d2ddrawcontext.h"
#include "toolkit/cbuttonstate.h"
#include "toolkit/iplatformframe.h"
#include "toolkit/iplatformtextedit.h"
#include "toolkit/platformsupport.h"
#include "toolkit/win32/win32editbox.h"

namespace VSTGUI {

namespace {

int gFrameCount = 0;

// Sent to child windows after the top-level window moved to a screen of
// another density (newer systems; older headers lack the names).
constexpr UINT kDpiChanged = 0x02E0;
constexpr UINT kDpiChangedAfterParent = 0x02E3;

// The window's DPI, looked up at run time so the library still loads on
// systems that do not have it; 0 there.
UINT dpiForWindow(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const GetDpiForWindowFn fn = [] {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32
               ? reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")))
               : nullptr;
  }();
  return fn && window ? fn(window) : 0;
}
wchar_t gClassName[64] = {0};

LRESULT CALLBACK frameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// One window class per module, registered while frames exist, so a library
// unloaded and loaded again never finds a class whose procedure is gone.
bool registerFrameClass() {
  if (gFrameCount++ > 0) return true;
  HINSTANCE module = static_cast<HINSTANCE>(getResourceModule());
  swprintf(gClassName, 64, L"OrvaneToolkitFrame%p", static_cast<void*>(module));
  WNDCLASSW wc = {};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = frameProc;
  wc.hInstance = module;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
  wc.lpszClassName = gClassName;
  if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    --gFrameCount;
    return false;
  }
  return true;
}

void unregisterFrameClass() {
  if (gFrameCount > 0 && --gFrameCount == 0)
    UnregisterClassW(gClassName, static_cast<HINSTANCE>(getResourceModule()));
}

int32_t buttonsOf(WPARAM keys) {
  int32_t b = 0;
  if (keys & MK_LBUTTON) b |= kLButton;
  if (keys & MK_RBUTTON) b |= kRButton;
  if (keys & MK_MBUTTON) b |= kMButton;
  if (keys & MK_SHIFT) b |= kShift;
  if (keys & MK_CONTROL) b |= kControl;
  if (GetKeyState(VK_MENU) < 0) b |= kAlt;
  return b;
}

int32_t modifiersNow() {
  int32_t b = 0;
  if (GetKeyState(VK_SHIFT) < 0) b |= kShift;
  if (GetKeyState(VK_CONTROL) < 0) b |= kControl;
  if (GetKeyState(VK_MENU) < 0) b |= kAlt;
  return b;
}

bool keyCodeOf(WPARAM vk, VstKeyCode& key) {
  key = VstKeyCode();
  switch (vk) {
    case VK_RETURN: key.virt = VKEY_RETURN; break;
    case VK_ESCAPE: key.virt = VKEY_ESCAPE; break;
    case VK_TAB: key.virt = VKEY_TAB; break;
    case VK_BACK: key.virt = VKEY_BACK; break;
    case VK_LEFT: key.virt = VKEY_LEFT; break;
    case VK_RIGHT: key.virt = VKEY_RIGHT; break;
    case VK_UP: key.virt = VKEY_UP; break;
    case VK_DOWN: key.virt = VKEY_DOWN; break;
    default: return false;
  }
  int32_t m = modifiersNow();
  if (m & kShift) key.modifier |= MODIFIER_SHIFT;
  if (m & kControl) key.modifier |= MODIFIER_CONTROL;
  if (m & kAlt) key.modifier |= MODIFIER_ALTERNATE;
  return true;
}

// CTextEdit's box: the system's EDIT box over the control, in the control's
// font and colours. Return ends the edit with the text, Escape and Tab are
// offered to the control, losing the focus ends it too.
class Win32TextEdit : public IPlatformTextEdit, IWin32EditBoxListener {
 public:
  Win32TextEdit(HWND parent, IPlatformTextEditCallback* callback, double scale)
      : IPlatformTextEdit(callback), scale(scale) {
    // The box lives in pixels: the control's rectangle and font are scaled.
    CFontRef f = callback->platformGetFont();
    CFontDesc font(f ? f->getName() : "Arial", (f ? f->getSize() : 12) * scale, f ? f->getStyle() : 0);
    Win32EditBoxStyle style;
    style.font = &font;
    style.fontColor = callback->platformGetFontColor();
    style.backColor = callback->platformGetBackColor();
    style.align = callback->platformGetHoriTxtAlign();
    box = Win32EditBox::create(parent, pixels(callback->platformGetSize()), style, callback->platformGetText(), this);
    if (!box) return;
    box->selectAll();
    box->takeFocus();
  }

  bool isValid() const { return box != nullptr; }

  bool getText(char* text, int32_t maxSize) override {
    if (!box || !text || maxSize <= 0) return false;
    std::string s = box->getText();
    size_t len = std::min(s.size(), static_cast<size_t>(maxSize - 1));
    // Never cut a character in two.
    while (len > 0 && len < s.size() && (static_cast<unsigned char>(s[len]) & 0xC0) == 0x80) --len;
    std::memcpy(text, s.data(), len);
    text[len] = 0;
    return true;
  }

  bool setText(UTF8StringPtr text) override { return box && box->setText(text); }

  bool updateSize() override {
    if (!box) return false;
    box->setRect(pixels(textEdit->platformGetSize()));
    return true;
  }

 private:
  // Each callback may close and delete this object: nothing of it is
  // touched afterwards.
  void onEditBoxReturn(Win32EditBox*) override { textEdit->platformLooseFocus(true); }
  bool onEditBoxTab(Win32EditBox*, bool backwards) override {
    VstKeyCode key;
    key.virt = VKEY_TAB;
    if (backwards) key.modifier |= MODIFIER_SHIFT;
    return textEdit->platformOnKeyDown(key);
  }
  bool onEditBoxEscape(Win32EditBox*) override {
    VstKeyCode key;
    key.virt = VKEY_ESCAPE;
    return textEdit->platformOnKeyDown(key);
  }
  void onEditBoxLostFocus(Win32EditBox*) override { textEdit->platformLooseFocus(false); }

  CRect pixels(CRect r) const {
    return CRect(std::round(r.left * scale), std::round(r.top * scale), std::round(r.right * scale),
                 std::round(r.bottom * scale));
  }

  double scale;
  std::unique_ptr<Win32EditBox> box;
};

class Win32Frame : public IPlatformFrame {
 public:
  Win32Frame(IPlatformFrameCallback* frame, const CRect& size, HWND parent) : frame(frame) {
    if (!registerFrameClass()) return;
    classRegistered = true;
    window = CreateWindowExW(0, gClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                             static_cast<int>(size.left), static_cast<int>(size.top), static_cast<int>(size.getWidth()),
                             static_cast<int>(size.getHeight()), parent, nullptr,
                             static_cast<HINSTANCE>(getResourceModule()), nullptr);
    if (window) SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }

  ~Win32Frame() override {
    if (renderTarget) {
      forgetRenderTarget(renderTarget);
      renderTarget->Release();
    }
    if (window) {
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      DestroyWindow(window);
    }
    if (classRegistered) unregisterFrameClass();
  }

  bool isValid() const { return window != nullptr; }

  // Sizes, rectangles and points are units here and pixels in the window.
  bool getSize(CRect& size) const override {
    RECT r;
    if (!GetClientRect(window, &r)) return false;
    size = CRect(0, 0, (r.right - r.left) / scale, (r.bottom - r.top) / scale);
    return true;
  }

  bool setSize(const CRect& s) override {
    return SetWindowPos(window, nullptr, 0, 0, static_cast<int>(std::lround(s.getWidth() * scale)),
                        static_cast<int>(std::lround(s.getHeight() * scale)),
                        SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE) != FALSE;
  }

  bool invalidRect(const CRect& rect) override {
    RECT r = {static_cast<LONG>(std::floor(rect.left * scale)), static_cast<LONG>(std::floor(rect.top * scale)),
              static_cast<LONG>(std::ceil(rect.right * scale)), static_cast<LONG>(std::ceil(rect.bottom * scale))};
    return InvalidateRect(window, &r, FALSE) != FALSE;
  }

  bool setScaleFactor(double factor) override {
    if (!(factor > 0)) return false;
    if (factor == scale) return true;
    CRect units;
    getSize(units);
    scale = factor;
    setSize(units);
    InvalidateRect(window, nullptr, FALSE);
    return true;
  }
  double getScaleFactor() const override { return scale; }

  // The host's window's DPI over 96: a DPI-unaware host's window says 96,
  // and the system stretches it.
  double getSystemScale() const override {
    HWND parent = window ? GetParent(window) : nullptr;
    const UINT dpi = dpiForWindow(parent ? parent : window);
    return dpi ? dpi / 96.0 : 0.0;
  }

  int popUpMenu(const CPoint& where, const std::vector<std::string>& items, int checked) override {
    if (!window || items.empty()) return -1;
    HMENU menu = CreatePopupMenu();
    if (!menu) return -1;
    for (size_t i = 0; i < items.size(); ++i)
      AppendMenuW(menu, MF_STRING | (static_cast<int>(i) == checked ? MF_CHECKED : MF_UNCHECKED), i + 1,
                  utf8ToWide(items[i].c_str()).c_str());
    POINT p = {static_cast<LONG>(std::lround(where.x * scale)), static_cast<LONG>(std::lround(where.y * scale))};
    ClientToScreen(window, &p);
    // Modal until the user picks or dismisses: the answer comes back here
    // instead of as a command message. The frame may be closed meanwhile,
    // so nothing of this object is touched afterwards.
    const int picked =
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, p.x, p.y, 0,
                       window, nullptr);
    DestroyMenu(menu);
    return picked > 0 ? picked - 1 : -1;
  }

  bool update() override { return UpdateWindow(window) != FALSE; }

  bool getGlobalPosition(CPoint& pos) const override {
    POINT p = {0, 0};
    if (!ClientToScreen(window, &p)) return false;
    pos = CPoint(p.x / scale, p.y / scale);
    return true;
  }

  uint32_t getTicks() const override { return GetTickCount(); }
  void* getPlatformRepresentation() const override { return window; }

  IPlatformTextEdit* createPlatformTextEdit(IPlatformTextEditCallback* callback) override {
    if (!callback) return nullptr;
    auto* edit = new Win32TextEdit(window, callback, scale);
    if (!edit->isValid()) {
      edit->forget();
      return nullptr;
    }
    return edit;
  }

  // What the window shows, read back through GDI.
  bool saveToPNG(UTF8StringPtr path) override {
    update();
    RECT client;
    if (!GetClientRect(window, &client)) return false;
    int w = client.right - client.left, h = client.bottom - client.top;
    if (w <= 0 || h <= 0) return false;
    HDC wdc = GetDC(window);
    HDC mdc = CreateCompatibleDC(wdc);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top row first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(mdc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (dib) {
      HGDIOBJ old = SelectObject(mdc, dib);
      if (BitBlt(mdc, 0, 0, w, h, wdc, 0, 0, SRCCOPY)) {
        GdiFlush();
        auto* px = static_cast<uint8_t*>(bits);
        for (int i = 0; i < w * h; ++i) px[i * 4 + 3] = 255;  // a window is opaque
        if (IPlatformBitmap* shot = createBitmapFromPixels(px, w, h)) {
          ok = shot->writePNG(path);
          shot->forget();
        }
      }
      SelectObject(mdc, old);
      DeleteObject(dib);
    }
    DeleteDC(mdc);
    ReleaseDC(window, wdc);
    return ok;
  }

  LRESULT handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  void paint(HWND hwnd);

  IPlatformFrameCallback* frame;
  HWND window = nullptr;
  ID2D1DCRenderTarget* renderTarget = nullptr;
  CPoint unitsAt(LPARAM lParam) const { return CPoint(GET_X_LPARAM(lParam) / scale, GET_Y_LPARAM(lParam) / scale); }

  bool classRegistered = false;
  bool mouseInside = false;
  double scale = 1.0;
};

void Win32Frame::paint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT r = ps.rcPaint;
  if (dc && r.right > r.left && r.bottom > r.top) {
    if (!renderTarget) {
      // 96 DPI: one Direct2D unit is one pixel whatever the system's
      // setting; the frame's own scale factor does any zooming.
      D2D1_RENDER_TARGET_PROPERTIES props = D2D1::RenderTargetProperties(
          D2D1_RENDER_TARGET_TYPE_DEFAULT, D2D1::PixelFormat(DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_IGNORE), 96.f,
          96.f);
      if (ID2D1Factory* f = getD2DFactory()) f->CreateDCRenderTarget(&props, &renderTarget);
    }
    // Only the part to repaint is bound, so what lies outside stays as it
    // was on the screen.
    if (renderTarget && SUCCEEDED(renderTarget->BindDC(dc, &r))) {
      CRect client;
      getSize(client);
      D2DDrawContext context(renderTarget, client);
      context.setDeviceOrigin(CPoint(r.left, r.top));
      context.setDeviceScale(scale);
      context.beginDraw();
      renderTarget->Clear(D2D1::ColorF(1, 1, 1, 1));
      frame->platformDrawRect(&context, CRect(std::floor(r.left / scale), std::floor(r.top / scale),
                                              std::ceil(r.right / scale), std::ceil(r.bottom / scale)));
      context.endDraw();
      if (context.getLastResult() == static_cast<HRESULT>(D2DERR_RECREATE_TARGET)) {
        forgetRenderTarget(renderTarget);
        renderTarget->Release();
        renderTarget = nullptr;
        InvalidateRect(hwnd, nullptr, FALSE);
      }
    }
  }
  EndPaint(hwnd, &ps);
}

LRESULT Win32Frame::handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // A callback may close the frame, which deletes this object: each case
  // returns straight after calling out.
  IPlatformFrameCallback* cb = frame;
  switch (msg) {
    case WM_PAINT:
      paint(hwnd);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case kDpiChanged:
    case kDpiChangedAfterParent: {
      const double s = getSystemScale();
      if (s > 0) cb->platformOnSystemScaleChanged(s);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: {
      int32_t b = buttonsOf(wParam);
      if (msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK) b |= kDoubleClick;
      SetCapture(hwnd);
      CPoint p = unitsAt(lParam);
      cb->platformOnMouseDown(p, b);
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      int32_t b = buttonsOf(wParam);
      b |= msg == WM_LBUTTONUP ? kLButton : msg == WM_RBUTTONUP ? kRButton : kMButton;
      ReleaseCapture();
      CPoint p = unitsAt(lParam);
      cb->platformOnMouseUp(p, b);
      return 0;
    }
    case WM_MOUSEMOVE: {
      if (!mouseInside) {
        TRACKMOUSEEVENT tme = {sizeof(TRACKMOUSEEVENT), TME_LEAVE, hwnd, 0};
        TrackMouseEvent(&tme);
        mouseInside = true;
      }
      CPoint p = unitsAt(lParam);
      cb->platformOnMouseMoved(p, buttonsOf(wParam));
      return 0;
    }
    case WM_MOUSELEAVE: {
      mouseInside = false;
      CPoint p(-1, -1);
      cb->platformOnMouseExited(p, modifiersNow());
      return 0;
    }
    case WM_MOUSEWHEEL: {
      POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ScreenToClient(hwnd, &pt);
      float distance = static_cast<float>(GET_WHEEL_DELTA_WPARAM(wParam)) / WHEEL_DELTA;
      cb->platformOnMouseWheel(CPoint(pt.x / scale, pt.y / scale), kMouseWheelAxisY, distance, buttonsOf(GET_KEYSTATE_WPARAM(wParam)));
      return 0;
    }
    case WM_KEYDOWN: {
      VstKeyCode key;
      if (keyCodeOf(wParam, key) && cb->platformOnKeyDown(key) == 1) return 0;
      break;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK frameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Win32Frame*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  return self->handle(hwnd, msg, wParam, lParam);
}

}  // namespace

IPlatformFrame* IPlatformFrame::create(IPlatformFrameCallback* frame, const CRect& size, void* parent) {
  if (!frame || !parent) return nullptr;
  auto* f = new Win32Frame(frame, size, static_cast<HWND>(parent));
  if (!f->isValid()) {
    f->forget();
    return nullptr;
  }
  return f;
}

}  // namespace VSTGUI
