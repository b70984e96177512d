// The test host's editor window and its PNG screenshots.
#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "tools/vsthost/Measure.h"
#include "tools/vsthost/VstHost.h"

#if defined(_WIN32)
#include <windows.h>
#include <wincodec.h>
#endif

namespace vsthost {

#if defined(_WIN32)

namespace {

const wchar_t kWindowClass[] = L"OrvaneHostWindow";
constexpr DWORD kTopStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

bool registerClass() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kWindowClass;
  registered = RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return registered;
}

// The outer size of a top-level window whose client area is w x h.
SIZE outerSize(int w, int h) {
  RECT r = {0, 0, w, h};
  AdjustWindowRectEx(&r, kTopStyle, FALSE, 0);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// The editors open on this thread, and the message hooks that see their
// paint messages: WM_PAINT arrives either sent (UpdateWindow from inside an
// idle: the call-window hooks see it) or from the queue (timed where it is
// dispatched).
thread_local std::vector<EditorWindow*> tOpenEditors;
thread_local HHOOK tBeforeHook = nullptr;
thread_local HHOOK tAfterHook = nullptr;
thread_local std::vector<double> tPaintStarts;

EditorWindow* editorOwning(HWND window) {
  for (EditorWindow* e : tOpenEditors)
    if (e->owns(window)) return e;
  return nullptr;
}

LRESULT CALLBACK beforeSent(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (m->message == WM_PAINT && editorOwning(m->hwnd)) tPaintStarts.push_back(nowSeconds());
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK afterSent(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const CWPRETSTRUCT* m = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (m->message == WM_PAINT && !tPaintStarts.empty()) {
      if (EditorWindow* e = editorOwning(m->hwnd)) e->addPaint(nowSeconds() - tPaintStarts.back());
      tPaintStarts.pop_back();
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void watchPaints(EditorWindow* editor) {
  if (tOpenEditors.empty()) {
    tBeforeHook = SetWindowsHookExW(WH_CALLWNDPROC, beforeSent, nullptr, GetCurrentThreadId());
    tAfterHook = SetWindowsHookExW(WH_CALLWNDPROCRET, afterSent, nullptr, GetCurrentThreadId());
  }
  tOpenEditors.push_back(editor);
}

void unwatchPaints(EditorWindow* editor) {
  auto it = std::find(tOpenEditors.begin(), tOpenEditors.end(), editor);
  if (it == tOpenEditors.end()) return;
  tOpenEditors.erase(it);
  if (tOpenEditors.empty()) {
    if (tBeforeHook) UnhookWindowsHookEx(tBeforeHook);
    if (tAfterHook) UnhookWindowsHookEx(tAfterHook);
    tBeforeHook = tAfterHook = nullptr;
  }
}

void pumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    EditorWindow* painted = msg.message == WM_PAINT ? editorOwning(msg.hwnd) : nullptr;
    const double start = painted ? nowSeconds() : 0;
    DispatchMessageW(&msg);
    if (painted) painted->addPaint(nowSeconds() - start);
  }
}

std::wstring widen(const std::string& text) {
  int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(n > 0 ? n : 1, L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], n);
  return wide;
}

// COM for the calling thread while an imaging call runs.
struct ComScope {
  ComScope() : ok(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (ok) CoUninitialize();
  }
  bool ok;
};

template <typename T>
void release(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

}  // namespace

bool readPNG(const std::string& path, Image& image) {
  ComScope com;
  IWICImagingFactory* factory = nullptr;
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  IWICFormatConverter* converter = nullptr;
  bool ok = false;
  UINT w = 0, h = 0;
  if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) &&
      SUCCEEDED(factory->CreateDecoderFromFilename(widen(path).c_str(), nullptr, GENERIC_READ,
                                                   WICDecodeMetadataCacheOnDemand, &decoder)) &&
      SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
      SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                      WICBitmapPaletteTypeCustom)) &&
      SUCCEEDED(converter->GetSize(&w, &h)) && w > 0 && h > 0) {
    image.width = (int)w;
    image.height = (int)h;
    image.bgra.assign(size_t(w) * h * 4, 0);
    ok = SUCCEEDED(converter->CopyPixels(nullptr, w * 4, (UINT)image.bgra.size(), image.bgra.data()));
  }
  release(converter);
  release(frame);
  release(decoder);
  release(factory);
  return ok;
}

bool writePNG(const std::string& path, const Image& image) {
  if (image.width <= 0 || image.height <= 0 || image.bgra.size() != size_t(image.width) * image.height * 4)
    return false;
  ComScope com;
  IWICImagingFactory* factory = nullptr;
  IWICStream* stream = nullptr;
  IWICBitmapEncoder* encoder = nullptr;
  IWICBitmapFrameEncode* frame = nullptr;
  bool ok = false;
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
  if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) &&
      SUCCEEDED(factory->CreateStream(&stream)) &&
      SUCCEEDED(stream->InitializeFromFilename(widen(path).c_str(), GENERIC_WRITE)) &&
      SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
      SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
      SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
      SUCCEEDED(frame->SetSize((UINT)image.width, (UINT)image.height)) &&
      SUCCEEDED(frame->SetPixelFormat(&format)) && IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA) &&
      SUCCEEDED(frame->WritePixels((UINT)image.height, (UINT)image.width * 4, (UINT)image.bgra.size(),
                                   const_cast<BYTE*>(image.bgra.data()))) &&
      SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit()))
    ok = true;
  release(frame);
  release(encoder);
  release(stream);
  release(factory);
  return ok;
}

EditorWindow::EditorWindow(Plugin& plugin) : plugin_(plugin) {}

EditorWindow::~EditorWindow() { close(); }

void EditorWindow::pump() { pumpMessages(); }

bool EditorWindow::open(int left, int topEdge) {
  if (open_ || !plugin_.valid() || !registerClass()) return false;
  ERect* r = nullptr;
  plugin_.dispatch(effEditGetRect, 0, 0, &r);
  if (!r || r->right - r->left <= 0 || r->bottom - r->top <= 0) return false;
  openingRect_ = *r;
  width_ = r->right - r->left;
  height_ = r->bottom - r->top;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  SIZE outer = outerSize(width_, height_);
  HWND top = CreateWindowExW(0, kWindowClass, L"orvane-host", kTopStyle | WS_VISIBLE, left, topEdge, outer.cx, outer.cy,
                             nullptr, nullptr, instance, nullptr);
  // Hosts hand the plug-in a child window of their own, not their frame.
  HWND container = top ? CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                         width_, height_, top, nullptr, instance, nullptr)
                       : nullptr;
  if (!container) {
    if (top) DestroyWindow(top);
    return false;
  }
  topLevel_ = top;
  container_ = container;
  plugin_.host().editorWindow = this;
  if (plugin_.dispatch(effEditOpen, 0, 0, container) == 0) {
    plugin_.host().editorWindow = nullptr;
    DestroyWindow(top);
    topLevel_ = container_ = nullptr;
    return false;
  }
  open_ = true;
  resetCost();
  watchPaints(this);
  UpdateWindow(top);
  return true;
}

bool EditorWindow::owns(void* window) const {
  HWND w = static_cast<HWND>(window);
  HWND top = static_cast<HWND>(topLevel_);
  return top && w && (w == top || IsChild(top, w));
}

void EditorWindow::idleOnce() {
  if (!open_) return;
  const double start = nowSeconds();
  plugin_.dispatch(effEditIdle);
  cost_.idleSeconds += nowSeconds() - start;
  ++cost_.idles;
  ++idleCalls_;
}

void EditorWindow::close() {
  if (open_) plugin_.dispatch(effEditClose);
  open_ = false;
  unwatchPaints(this);
  if (plugin_.host().editorWindow == this) plugin_.host().editorWindow = nullptr;
  if (topLevel_) DestroyWindow(static_cast<HWND>(topLevel_));
  topLevel_ = container_ = nullptr;
  pumpMessages();
}

void EditorWindow::idle(int milliseconds, int intervalMs) {
  const DWORD start = GetTickCount();
  DWORD last = start - (DWORD)intervalMs;
  do {
    pumpMessages();
    if (open_ && GetTickCount() - last >= (DWORD)intervalMs) {
      last = GetTickCount();
      idleOnce();
    }
    Sleep(5);
  } while (GetTickCount() - start < (DWORD)milliseconds);
  pumpMessages();
}

void EditorWindow::resize(int width, int height) {
  if (width <= 0 || height <= 0) return;
  width_ = width;
  height_ = height;
  if (!container_) return;
  SetWindowPos(static_cast<HWND>(container_), nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE);
  SIZE outer = outerSize(width, height);
  SetWindowPos(static_cast<HWND>(topLevel_), nullptr, 0, 0, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOMOVE);
}

int EditorWindow::width() const {
  RECT r;
  if (container_ && GetClientRect(static_cast<HWND>(container_), &r)) return r.right - r.left;
  return width_;
}

int EditorWindow::height() const {
  RECT r;
  if (container_ && GetClientRect(static_cast<HWND>(container_), &r)) return r.bottom - r.top;
  return height_;
}

bool EditorWindow::capture(Image& image) {
  if (!container_) return false;
  HWND window = static_cast<HWND>(container_);
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  const int w = width(), h = height();
  if (w <= 0 || h <= 0) return false;
  HDC source = GetDC(window);
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;  // top row first
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(memory, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (dib) {
    HGDIOBJ old = SelectObject(memory, dib);
    if (BitBlt(memory, 0, 0, w, h, source, 0, 0, SRCCOPY)) {
      GdiFlush();
      image.width = w;
      image.height = h;
      image.bgra.assign(static_cast<uint8_t*>(bits), static_cast<uint8_t*>(bits) + size_t(w) * h * 4);
      for (size_t i = 3; i < image.bgra.size(); i += 4) image.bgra[i] = 255;  // a window is opaque
      ok = true;
    }
    SelectObject(memory, old);
    DeleteObject(dib);
  }
  DeleteDC(memory);
  ReleaseDC(window, source);
  return ok;
}

namespace {

// The innermost visible window under a point of `parent`'s client area, and
// the point in its own client coordinates.
HWND windowAt(HWND parent, POINT& p) {
  HWND at = parent;
  for (;;) {
    HWND child = ChildWindowFromPointEx(at, p, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    if (!child || child == at) return at;
    MapWindowPoints(at, child, &p, 1);
    at = child;
  }
}

}  // namespace

bool EditorWindow::mouseMove(int x, int y) {
  if (!container_) return false;
  POINT p = {x, y};
  HWND target = windowAt(static_cast<HWND>(container_), p);
  SendMessageW(target, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
  pumpMessages();
  return true;
}

bool EditorWindow::click(int x, int y) {
  if (!container_) return false;
  POINT p = {x, y};
  HWND target = windowAt(static_cast<HWND>(container_), p);
  const LPARAM at = MAKELPARAM(p.x, p.y);
  SendMessageW(target, WM_MOUSEMOVE, 0, at);
  SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(target, WM_LBUTTONUP, 0, at);
  pumpMessages();
  return true;
}

bool EditorWindow::wheel(int x, int y, int notches) {
  if (!container_) return false;
  POINT p = {x, y};
  HWND target = windowAt(static_cast<HWND>(container_), p);
  POINT screen = {x, y};
  ClientToScreen(static_cast<HWND>(container_), &screen);
  SendMessageW(target, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
  const int step = notches > 0 ? WHEEL_DELTA : -WHEEL_DELTA;
  for (int n = 0; n < std::abs(notches); ++n)
    SendMessageW(target, WM_MOUSEWHEEL, MAKEWPARAM(0, step), MAKELPARAM(screen.x, screen.y));
  pumpMessages();
  return true;
}

namespace {

void sendKey(HWND target, UINT vk, wchar_t ch) {
  const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
  const LPARAM down = 1 | (LPARAM(scan) << 16);
  const LPARAM up = down | (LPARAM(1) << 30) | (LPARAM(1) << 31);
  SendMessageW(target, WM_KEYDOWN, vk, down);
  if (ch) SendMessageW(target, WM_CHAR, ch, down);
  SendMessageW(target, WM_KEYUP, vk, up);
}

}  // namespace

bool EditorWindow::type(const std::string& text) {
  HWND target = GetFocus();
  if (!container_ || !target) return false;
  for (char c : text) {
    const SHORT vk = VkKeyScanW((wchar_t)(unsigned char)c);
    sendKey(target, vk == -1 ? 0 : (UINT)(vk & 0xff), (wchar_t)(unsigned char)c);
    pumpMessages();
  }
  return true;
}

bool EditorWindow::key(int virtualKey) {
  HWND target = GetFocus();
  if (!container_ || !target) return false;
  wchar_t ch = 0;
  if (virtualKey == VK_RETURN) ch = L'\r';
  if (virtualKey == VK_ESCAPE) ch = 0x1b;
  if (virtualKey == VK_BACK) ch = 0x08;
  if (virtualKey == VK_TAB) ch = L'\t';
  sendKey(target, (UINT)virtualKey, ch);
  pumpMessages();
  return true;
}

#else  // the native build: no windows

bool readPNG(const std::string&, Image&) { return false; }
bool writePNG(const std::string&, const Image&) { return false; }

EditorWindow::EditorWindow(Plugin& plugin) : plugin_(plugin) {}

EditorWindow::~EditorWindow() { close(); }

void EditorWindow::pump() {}

bool EditorWindow::open(int, int) {
  if (open_ || !plugin_.valid()) return false;
  ERect* r = nullptr;
  plugin_.dispatch(effEditGetRect, 0, 0, &r);
  if (!r) return false;
  openingRect_ = *r;
  width_ = r->right - r->left;
  height_ = r->bottom - r->top;
  plugin_.host().editorWindow = this;
  open_ = plugin_.dispatch(effEditOpen, 0, 0, nullptr) != 0;
  if (!open_) plugin_.host().editorWindow = nullptr;
  resetCost();
  return open_;
}

void EditorWindow::close() {
  if (open_) plugin_.dispatch(effEditClose);
  open_ = false;
  if (plugin_.host().editorWindow == this) plugin_.host().editorWindow = nullptr;
}

void EditorWindow::idle(int milliseconds, int intervalMs) {
  using clock = std::chrono::steady_clock;
  const auto end = clock::now() + std::chrono::milliseconds(milliseconds);
  do {
    idleOnce();
    std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
  } while (clock::now() < end);
}

void EditorWindow::resize(int width, int height) {
  if (width <= 0 || height <= 0) return;
  width_ = width;
  height_ = height;
}

void EditorWindow::idleOnce() {
  if (!open_) return;
  const double start = nowSeconds();
  plugin_.dispatch(effEditIdle);
  cost_.idleSeconds += nowSeconds() - start;
  ++cost_.idles;
  ++idleCalls_;
}

bool EditorWindow::owns(void*) const { return false; }

int EditorWindow::width() const { return width_; }
int EditorWindow::height() const { return height_; }
bool EditorWindow::capture(Image&) { return false; }
bool EditorWindow::mouseMove(int, int) { return false; }
bool EditorWindow::click(int, int) { return false; }
bool EditorWindow::wheel(int, int, int) { return false; }
bool EditorWindow::type(const std::string&) { return false; }
bool EditorWindow::key(int) { return false; }

#endif

bool EditorWindow::savePNG(const std::string& path) {
  Image image;
  return capture(image) && writePNG(path, image);
}

}  // namespace vsthost
