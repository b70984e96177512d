// The EDIT box, subclassed through comctl32 so that any number of boxes and
// other subclasses can sit on one window and come off in any order. The
// parent is subclassed too, by each box for itself: WM_CTLCOLOREDIT goes to
// the parent, and each box answers only for its own window, so the boxes of
// two editors open in one process never see each other's colours.
#include "toolkit/win32/win32editbox.h"

#include <windows.h>
#include <commctrl.h>

#include "toolkit/cbuttonstate.h"
#include "toolkit/platformsupport.h"
#include "toolkit/win32/d2ddrawcontext.h"

namespace VSTGUI {

namespace {

COLORREF colorRef(const CColor& c) { return RGB(c.red, c.green, c.blue); }

constexpr UINT_PTR kEditSubclass = 1;

}  // namespace

struct Win32EditBox::Impl {
  Win32EditBox* owner = nullptr;
  IWin32EditBoxListener* listener = nullptr;
  HWND parent = nullptr;
  HWND edit = nullptr;
  HFONT ownFont = nullptr;
  HBRUSH backBrush = nullptr;
  CColor fontColor, backColor;
  bool closing = false;

  ~Impl() {
    closing = true;
    if (parent) RemoveWindowSubclass(parent, &Impl::parentProc, reinterpret_cast<UINT_PTR>(this));
    if (edit) {
      RemoveWindowSubclass(edit, &Impl::editProc, kEditSubclass);
      DestroyWindow(edit);
    }
    if (ownFont) DeleteObject(ownFont);
    if (backBrush) DeleteObject(backBrush);
  }

  static LRESULT CALLBACK editProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<Impl*>(data);
    switch (msg) {
      case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
      case WM_CHAR:
        if (wParam == VK_RETURN || wParam == VK_ESCAPE || wParam == VK_TAB) return 0;
        break;
      case WM_KEYDOWN:
        // From here on the listener may have deleted the box.
        if (wParam == VK_RETURN) {
          self->listener->onEditBoxReturn(self->owner);
          return 0;
        }
        if (wParam == VK_TAB) {
          self->listener->onEditBoxTab(self->owner, GetKeyState(VK_SHIFT) < 0);
          return 0;
        }
        if (wParam == VK_ESCAPE) {
          self->listener->onEditBoxEscape(self->owner);
          return 0;
        }
        break;
      case WM_KILLFOCUS:
        if (!self->closing) {
          self->listener->onEditBoxLostFocus(self->owner);
          return 0;
        }
        break;
      case WM_NCDESTROY:
        // The parent went first and took the box with it.
        RemoveWindowSubclass(hwnd, &Impl::editProc, kEditSubclass);
        self->edit = nullptr;
        break;
      default:
        break;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
  }

  static LRESULT CALLBACK parentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
    auto* self = reinterpret_cast<Impl*>(data);
    if (msg == WM_CTLCOLOREDIT && self->edit && reinterpret_cast<HWND>(lParam) == self->edit) {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, colorRef(self->fontColor));
      SetBkColor(dc, colorRef(self->backColor));
      return reinterpret_cast<LRESULT>(self->backBrush);
    }
    if (msg == WM_NCDESTROY) {
      RemoveWindowSubclass(hwnd, &Impl::parentProc, id);
      self->parent = nullptr;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
  }
};

std::unique_ptr<Win32EditBox> Win32EditBox::create(void* parentWindow, const CRect& r, const Win32EditBoxStyle& style,
                                                   UTF8StringPtr text, IWin32EditBoxListener* listener) {
  HWND parent = static_cast<HWND>(parentWindow);
  if (!parent || !IsWindow(parent) || !listener) return nullptr;
  auto impl = std::make_unique<Impl>();
  impl->listener = listener;
  impl->fontColor = style.fontColor;
  impl->backColor = style.backColor;
  impl->backBrush = CreateSolidBrush(colorRef(style.backColor));
  HFONT font = static_cast<HFONT>(style.nativeFont);
  if (!font) {
    CFontRef f = style.font;
    double size = f ? f->getSize() : 12;
    int32_t fs = f ? f->getStyle() : 0;
    std::wstring face = utf8ToWide(f && *f->getName() ? f->getName() : "Arial");
    font = impl->ownFont =
        CreateFontW(-static_cast<int>(size + 0.5), 0, 0, 0, (fs & kBoldFace) ? FW_BOLD : FW_NORMAL,
                    (fs & kItalicFace) ? TRUE : FALSE, (fs & kUnderlineFace) ? TRUE : FALSE, 0, DEFAULT_CHARSET,
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, face.c_str());
  }
  DWORD wstyle = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
  if (style.align == kCenterText) wstyle |= ES_CENTER;
  if (style.align == kRightText) wstyle |= ES_RIGHT;
  std::wstring w = utf8ToWide(text);
  impl->edit = CreateWindowExW(0, L"EDIT", w.c_str(), wstyle, static_cast<int>(r.left), static_cast<int>(r.top),
                               static_cast<int>(r.getWidth()), static_cast<int>(r.getHeight()), parent, nullptr,
                               static_cast<HINSTANCE>(getResourceModule()), nullptr);
  if (!impl->edit) return nullptr;
  SendMessageW(impl->edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageW(impl->edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  Impl* raw = impl.get();
  if (!SetWindowSubclass(impl->edit, &Impl::editProc, kEditSubclass, reinterpret_cast<DWORD_PTR>(raw)) ||
      !SetWindowSubclass(parent, &Impl::parentProc, reinterpret_cast<UINT_PTR>(raw), reinterpret_cast<DWORD_PTR>(raw)))
    return nullptr;  // the destructor takes off whatever was put on
  impl->parent = parent;
  std::unique_ptr<Win32EditBox> box(new Win32EditBox(std::move(impl)));
  raw->owner = box.get();
  return box;
}

Win32EditBox::Win32EditBox(std::unique_ptr<Impl> i) : impl(std::move(i)) {}
Win32EditBox::~Win32EditBox() = default;

std::string Win32EditBox::getText() const {
  if (!impl->edit) return std::string();
  int n = GetWindowTextLengthW(impl->edit);
  std::wstring w(static_cast<size_t>(n) + 1, L'\0');
  n = GetWindowTextW(impl->edit, &w[0], n + 1);
  w.resize(static_cast<size_t>(n > 0 ? n : 0));
  return wideToUtf8(w.c_str());
}

bool Win32EditBox::setText(UTF8StringPtr text) {
  return impl->edit && SetWindowTextW(impl->edit, utf8ToWide(text).c_str()) != FALSE;
}

void Win32EditBox::selectAll() {
  if (impl->edit) SendMessageW(impl->edit, EM_SETSEL, 0, -1);
}

void Win32EditBox::setTextLimit(int32_t units) {
  if (impl->edit) SendMessageW(impl->edit, EM_SETLIMITTEXT, units > 0 ? static_cast<WPARAM>(units) : 0, 0);
}

void Win32EditBox::setRect(const CRect& r) {
  if (impl->edit)
    SetWindowPos(impl->edit, nullptr, static_cast<int>(r.left), static_cast<int>(r.top),
                 static_cast<int>(r.getWidth()), static_cast<int>(r.getHeight()), SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32EditBox::setColors(const CColor& fontColor, const CColor& backColor) {
  impl->fontColor = fontColor;
  if (!(backColor == impl->backColor)) {
    impl->backColor = backColor;
    if (impl->backBrush) DeleteObject(impl->backBrush);
    impl->backBrush = CreateSolidBrush(colorRef(backColor));
  }
  if (impl->edit) InvalidateRect(impl->edit, nullptr, TRUE);
}

void Win32EditBox::takeFocus() {
  if (impl->edit) SetFocus(impl->edit);
}

bool Win32EditBox::hasFocus() const { return impl->edit && GetFocus() == impl->edit; }

void* Win32EditBox::getWindow() const { return impl->edit; }

}  // namespace VSTGUI
