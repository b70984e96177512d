// The editor through the VST 3 view: in a host's window (an HWND on
// Windows, an X11 window natively), sized and resized through the host's
// frame as the strips open and at the host's content scale, looking as the
// VST 2.4 editor does.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/PluginTest.h"
#include "tools/orvane-vst3-host/Vst3Host.h"
#if !defined(_WIN32)
#include "tests/x11/X11Host.h"
#endif

using namespace v3;

namespace {

std::string gVst3Path;

vst3host::Module& module() {
  static vst3host::Module m;
  static bool loaded = m.load(gVst3Path);
  EXPECT_TRUE(loaded) << m.error();
  return m;
}

}  // namespace

#if defined(_WIN32)

namespace {

// The host's side of a view: a window of its own that takes the sizes the
// view asks for.
struct Frame : IPlugFrame {
  HWND window = nullptr;
  std::vector<ViewRect> requests;
  tresult V3CALL queryInterface(const TUID iid, void** obj) override {
    if (kFUnknownIid.is(iid) || kIPlugFrameIid.is(iid)) {
      *obj = this;
      return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 V3CALL addRef() override { return 1; }
  uint32 V3CALL release() override { return 1; }
  tresult V3CALL resizeView(IPlugView* view, ViewRect* r) override {
    requests.push_back(*r);
    SetWindowPos(window, nullptr, 0, 0, r->right - r->left, r->bottom - r->top, SWP_NOMOVE | SWP_NOZORDER);
    return view->onSize(r);
  }
};

void pump(int ms) {
  const DWORD end = GetTickCount() + ms;
  while ((int)(end - GetTickCount()) > 0) {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    Sleep(5);
  }
}

bool capture(HWND window, int w, int h, vsthost::Image& image) {
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  HDC source = GetDC(window);
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
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
      for (size_t i = 3; i < image.bgra.size(); i += 4) image.bgra[i] = 255;
      ok = true;
    }
    SelectObject(memory, old);
    DeleteObject(dib);
  }
  DeleteDC(memory);
  ReleaseDC(window, source);
  return ok;
}

}  // namespace

TEST(Vst3View, OpensInTheHostsWindowResizesWithTheStripsAndLooksAsTheVst2Editor) {
  vst3host::Instance a(module());
  ASSERT_TRUE(a.valid());
  IPlugView* view = a.controller->createView("editor");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->isPlatformTypeSupported("HWND"), kResultTrue);
  EXPECT_EQ(view->isPlatformTypeSupported("X11EmbedWindowID"), kResultFalse);
  ViewRect size{};
  ASSERT_EQ(view->getSize(&size), kResultOk);

  plugin_test::Instance vst2;
  vsthost::EditorWindow window2(vst2.plugin);
  ASSERT_TRUE(window2.open(40, 40));
  EXPECT_EQ(size.right, window2.width());
  EXPECT_EQ(size.bottom, window2.height());

  Frame frame;
  frame.window = CreateWindowExW(0, L"STATIC", L"vst3 view", WS_POPUP | WS_VISIBLE, 700, 40, size.right, size.bottom,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(frame.window, nullptr);
  ASSERT_EQ(view->setFrame(&frame), kResultOk);
  ASSERT_EQ(view->attached(frame.window, "HWND"), kResultOk);
  pump(300);
  window2.idle(300);
  vsthost::Image shot3, shot2;
  ASSERT_TRUE(capture(frame.window, size.right, size.bottom, shot3));
  ASSERT_TRUE(window2.capture(shot2));
  plugin_test::expectLooksAlike(shot3, shot2, "VST 3 editor against the VST 2.4 one");

  // The strips open: the view asks the host's frame for the taller size
  // the VST 2.4 editor asks its host for.
  for (int id : {6, 7, 15}) {
    a.controller->setParamNormalized(id, 1.0);
    vst2.plugin.setParameter(id, 1.0f);
  }
  pump(100);
  window2.idle(100);
  ASSERT_FALSE(frame.requests.empty());
  ASSERT_FALSE(vst2.host.sizeWindowCalls.empty());
  EXPECT_EQ(frame.requests.back().bottom, vst2.host.sizeWindowCalls.back().second);
  EXPECT_GT(frame.requests.back().bottom, size.bottom);
  ViewRect grown{};
  ASSERT_EQ(view->getSize(&grown), kResultOk);
  EXPECT_EQ(grown.bottom, frame.requests.back().bottom);

  EXPECT_EQ(view->removed(), kResultOk);
  view->release();
  DestroyWindow(frame.window);
}

#else

namespace {

// A Linux host's side of a view: a top-level X window of its own that takes
// the sizes the view asks for, and a run loop whose timers it runs, as a
// host's user-interface thread does.
struct Frame : IPlugFrame, IRunLoop {
  Display* display = XOpenDisplay(nullptr);
  Window window = 0;
  std::vector<ViewRect> requests;
  std::vector<std::pair<ITimerHandler*, TimerInterval>> timers;

  ~Frame() {
    if (!display) return;
    if (window) XDestroyWindow(display, window);
    XCloseDisplay(display);
  }
  bool open(int width, int height) {
    if (!display) return false;
    window = XCreateSimpleWindow(display, DefaultRootWindow(display), 40, 300, width, height, 0, 0, 0);
    XMapWindow(display, window);
    XSync(display, False);
    return true;
  }
  tresult V3CALL queryInterface(const TUID iid, void** obj) override {
    if (kFUnknownIid.is(iid) || kIPlugFrameIid.is(iid))
      *obj = static_cast<IPlugFrame*>(this);
    else if (kIRunLoopIid.is(iid))
      *obj = static_cast<IRunLoop*>(this);
    else
      *obj = nullptr;
    return *obj ? kResultOk : kNoInterface;
  }
  uint32 V3CALL addRef() override { return 1; }
  uint32 V3CALL release() override { return 1; }
  tresult V3CALL resizeView(IPlugView* view, ViewRect* r) override {
    requests.push_back(*r);
    XResizeWindow(display, window, r->right - r->left, r->bottom - r->top);
    XSync(display, False);
    return view->onSize(r);
  }
  tresult V3CALL registerEventHandler(IEventHandler*, FileDescriptor) override { return kResultFalse; }
  tresult V3CALL unregisterEventHandler(IEventHandler*) override { return kResultFalse; }
  tresult V3CALL registerTimer(ITimerHandler* handler, TimerInterval ms) override {
    timers.emplace_back(handler, ms);
    return kResultOk;
  }
  tresult V3CALL unregisterTimer(ITimerHandler* handler) override {
    for (size_t i = 0; i < timers.size(); ++i)
      if (timers[i].first == handler) {
        timers.erase(timers.begin() + (long)i);
        return kResultOk;
      }
    return kInvalidArgument;
  }

  // The host's loop for `ms`: every registered timer at its interval.
  void run(int ms) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::chrono::steady_clock::time_point> due(timers.size(), start);
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(ms)) {
      for (size_t i = 0; i < timers.size() && i < due.size(); ++i)
        if (std::chrono::steady_clock::now() >= due[i]) {
          due[i] += std::chrono::milliseconds(timers[i].second);
          timers[i].first->onTimer();
        }
      while (XPending(display)) {
        XEvent e;
        XNextEvent(display, &e);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  Window child() const {
    Window root, parent, *children = nullptr, found = 0;
    unsigned int n = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &n) && n > 0) found = children[n - 1];
    if (children) XFree(children);
    return found;
  }
  bool sizeOf(Window w, int& width, int& height) const { return x11_test::windowSize(display, w, width, height); }
  bool capture(vsthost::Image& image) { return x11_test::captureWindow(display, window, image); }
};

int differingPixels(const vsthost::Image& a, const vsthost::Image& b) {
  int n = 0;
  for (size_t p = 0; p + 3 < a.bgra.size() && p + 3 < b.bgra.size(); p += 4)
    n += a.bgra[p] != b.bgra[p] || a.bgra[p + 1] != b.bgra[p + 1] || a.bgra[p + 2] != b.bgra[p + 2];
  return n;
}

}  // namespace

// The host's content scale before the window opens: what no screen has is
// refused and changes nothing; 2 doubles the size the host reads.
TEST(Vst3View, ContentScaleSetsTheSizeAndRefusesWhatNoScreenHas) {
  vst3host::Instance a(module());
  ASSERT_TRUE(a.valid());
  a.controller->setParamNormalized(2, 1.0);  // Instance scope: nothing reaches the user's settings
  IPlugView* view = a.controller->createView("editor");
  ASSERT_NE(view, nullptr);
  IPlugViewContentScaleSupport* scale = nullptr;
  ASSERT_EQ(view->queryInterface(kIPlugViewContentScaleSupportIid.bytes, reinterpret_cast<void**>(&scale)), kResultOk);
  const struct {
    float factor;
    tresult result;
    int width;
  } steps[] = {
      {0.0f, kResultFalse, 586}, {-1.0f, kResultFalse, 586}, {NAN, kResultFalse, 586}, {4.5f, kResultFalse, 586},
      {2.0f, kResultOk, 1172},   {0.0f, kResultFalse, 1172}, {1.0f, kResultOk, 586},
  };
  for (const auto& s : steps) {
    EXPECT_EQ(scale->setContentScaleFactor(s.factor), s.result) << s.factor;
    ViewRect size{};
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.right, s.width) << s.factor;
  }
  scale->release();
  view->release();
}

// A host that gives its frame only after opening the window still gets the
// refresh timer in its run loop, and back when the window closes.
TEST(Vst3View, JoinsARunLoopGivenAfterTheWindowOpened) {
  vst3host::Instance a(module());
  ASSERT_TRUE(a.valid());
  a.controller->setParamNormalized(2, 1.0);
  IPlugView* view = a.controller->createView("editor");
  ASSERT_NE(view, nullptr);
  Frame frame;
  ASSERT_TRUE(frame.open(586, 195));
  ASSERT_EQ(view->attached(reinterpret_cast<void*>(static_cast<uintptr_t>(frame.window)), "X11EmbedWindowID"),
            kResultOk);
  ASSERT_EQ(view->setFrame(&frame), kResultOk);
  EXPECT_EQ(frame.timers.size(), 1u);
  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_TRUE(frame.timers.empty());
  view->release();
}

TEST(Vst3View, OpensInTheHostsX11WindowRefreshesFromItsRunLoopAndResizesThroughItsFrame) {
  vst3host::Instance a(module());
  ASSERT_TRUE(a.valid());
  ASSERT_TRUE(a.start(48000, 256));
  a.controller->setParamNormalized(2, 1.0);
  IPlugView* view = a.controller->createView("editor");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->isPlatformTypeSupported("X11EmbedWindowID"), kResultTrue);
  EXPECT_EQ(view->isPlatformTypeSupported("HWND"), kResultFalse);
  ViewRect size{};
  ASSERT_EQ(view->getSize(&size), kResultOk);

  Frame frame;
  ASSERT_TRUE(frame.open(size.right, size.bottom));
  ASSERT_EQ(view->setFrame(&frame), kResultOk);
  ASSERT_EQ(view->attached(reinterpret_cast<void*>(static_cast<uintptr_t>(frame.window)), "X11EmbedWindowID"),
            kResultOk);
  ASSERT_EQ(frame.timers.size(), 1u) << "no refresh timer in the host's run loop";
  frame.run(200);
  int w = 0, h = 0;
  ASSERT_TRUE(frame.sizeOf(frame.child(), w, h));
  EXPECT_EQ(w, size.right);
  EXPECT_EQ(h, size.bottom);

  // As the VST 2.4 editor looks in the same host's window.
  plugin_test::Instance vst2;
  vst2.plugin.setParameter(2, 1.0f);
  {
    x11_test::HostWindow window2(vst2.plugin, 40, 40);
    ASSERT_TRUE(window2.open());
    window2.idle(200);
    vsthost::Image shot3, shot2;
    ASSERT_TRUE(frame.capture(shot3));
    ASSERT_TRUE(window2.capture(shot2));
    plugin_test::expectLooksAlike(shot3, shot2, "VST 3 editor against the VST 2.4 one");
  }

  // A tone moves the needles: the host's timer alone refreshes the window.
  vsthost::Image rest, playing;
  ASSERT_TRUE(frame.capture(rest));
  std::vector<float> in(256), l(256), r(256);
  for (long b = 0, n = 0; b < 48000 / 256; ++b) {
    for (float& x : in) x = 0.5f * (float)std::sin(2 * 3.14159265358979323846 * 1000.0 * n++ / 48000.0);
    a.process(in.data(), in.data(), l.data(), r.data(), 256);
    if (b % 6 == 5) frame.run(30);
  }
  ASSERT_TRUE(frame.capture(playing));
  EXPECT_GT(differingPixels(rest, playing), 100) << "the needles stood still";

  // The strips and the content scale: the view asks the host's frame, the
  // editor's window follows.
  IPlugViewContentScaleSupport* scale = nullptr;
  ASSERT_EQ(view->queryInterface(kIPlugViewContentScaleSupportIid.bytes, reinterpret_cast<void**>(&scale)), kResultOk);
  const struct {
    int parameter;  // -1: the content scale
    double value;
    int width, height;
  } steps[] = {{7, 1.0, 586, 235}, {-1, 2.0, 1172, 470}, {-1, 1.0, 586, 235}, {7, 0.0, 586, 195}};
  for (const auto& s : steps) {
    const size_t before = frame.requests.size();
    if (s.parameter < 0)
      EXPECT_EQ(scale->setContentScaleFactor((float)s.value), kResultOk);
    else
      a.controller->setParamNormalized(s.parameter, s.value);
    frame.run(60);
    ASSERT_GT(frame.requests.size(), before) << s.height;
    EXPECT_EQ(frame.requests.back().right, s.width);
    EXPECT_EQ(frame.requests.back().bottom, s.height);
    ASSERT_TRUE(frame.sizeOf(frame.child(), w, h));
    EXPECT_EQ(w, s.width);
    EXPECT_EQ(h, s.height);
  }
  scale->release();

  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_TRUE(frame.timers.empty()) << "the timer outlived the view's window";
  frame.run(30);
  EXPECT_EQ(frame.child(), 0u) << "the editor's window outlived removed()";
  view->release();
}

#endif

int main(int argc, char** argv) {
  return plugin_test::runTests(argc, argv, "vst3_view_tests", {{"vst3", &gVst3Path}});
}
