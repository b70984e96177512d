// The editor through the VST 3 view: in a host's window on Windows, sized
// and resized through the host's frame as the strips open, looking as the
// VST 2.4 editor does. Natively there is no view yet.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/PluginTest.h"
#include "tools/orvane-vst3-host/Vst3Host.h"

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

TEST(Vst3View, NoViewNativelyYet) {
  vst3host::Instance a(module());
  ASSERT_TRUE(a.valid());
  EXPECT_EQ(a.controller->createView("editor"), nullptr);
}

#endif

int main(int argc, char** argv) {
  return plugin_test::runTests(argc, argv, "vst3_view_tests", {{"vst3", &gVst3Path}});
}
