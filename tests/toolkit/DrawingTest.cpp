// One small scene drawn by the platform's backend (cairo natively, Direct2D
// under Windows, offscreen and in a real window) and compared pixel by pixel
// with a committed reference image. Each drawn image is also saved beside
// the test program for a person to look at. With ORVANE_UPDATE_REFERENCES=1
// in the environment the references are written instead of compared.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "tests/support/WindowTestSupport.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#include "toolkit/win32/d2ddrawcontext.h"
#endif

using namespace VSTGUI;
using namespace toolkit_test;
using window_test::drawOffscreen;
using window_test::windowShot;
#ifdef _WIN32
using window_test::at;
using window_test::click;
using window_test::Comparison;
using window_test::pump;
#endif

namespace {

constexpr int kSceneWidth = 260, kSceneHeight = 160;
// A pixel matches when each of its four channels is within this many levels
// (of 255) of the reference: room for rounding in anti-aliased edges and
// glyph rasterising, far too little for a misplaced line, frame or text.
constexpr int kTolerance = 24;
constexpr int kTestBitmap = 7001;  // 40 × 120: red, green, blue frames

// Needles from one pivot at several angles and widths, anti-aliased, the
// way a meter draws them; then one aliased line and two rectangles.
class LinesView : public CView {
 public:
  explicit LinesView(const CRect& r) : CView(r) {}
  void draw(CDrawContext* c) override {
    CPoint pivot(size.left + 60.5, size.top + 100.5);
    const double widths[] = {1.0, 2.4, 4.0};
    const CColor colours[] = {CColor(50, 45, 30), CColor(220, 0, 0), CColor(0, 90, 200)};
    c->setDrawMode(kAntiAliasing);
    for (int i = 0; i < 7; ++i) {
      double theta = (15 + 25 * i) * 3.14159265358979 / 180;
      c->setLineWidth(widths[i % 3]);
      c->setFrameColor(colours[i % 3]);
      c->drawLine(CPoint(pivot.x + 10 * std::cos(theta), pivot.y - 10 * std::sin(theta)),
                  CPoint(pivot.x + 90 * std::cos(theta), pivot.y - 90 * std::sin(theta)));
    }
    c->setDrawMode(kAliasing);
    c->setLineWidth(1);
    c->setFrameColor(kBlackCColor);
    c->drawLine(CPoint(size.left, size.top + 0.5), CPoint(size.right, size.top + 0.5));
    c->setFillColor(CColor(255, 200, 0));
    c->drawRect(CRect(size.left + 2, size.top + 4, size.left + 22, size.top + 14), kDrawFilled);
    c->setFrameColor(CColor(0, 128, 0));
    c->setLineWidth(2);
    c->drawRect(CRect(size.left + 26, size.top + 4, size.left + 46, size.top + 14), kDrawStroked);
    setDirty(false);
  }
};

// The same content at half opacity, twice: once through the global alpha
// and once through the bitmap's own alpha.
class AlphaView : public CView {
 public:
  AlphaView(const CRect& r, CBitmap* bitmap) : CView(r), bitmap(bitmap) {}
  void draw(CDrawContext* c) override {
    c->setFillColor(CColor(0, 0, 0));
    c->drawRect(CRect(size.left, size.top + 10, size.right, size.top + 20), kDrawFilled);
    c->setGlobalAlpha(0.5f);
    c->setFillColor(CColor(0, 0, 255));
    c->drawRect(CRect(size.left + 5, size.top, size.left + 25, size.top + 30), kDrawFilled);
    bitmap->draw(c, CRect(size.left + 30, size.top, size.left + 70, size.top + 30), CPoint(0, 40));
    c->setGlobalAlpha(1.f);
    bitmap->draw(c, CRect(size.left + 75, size.top, size.left + 115, size.top + 30), CPoint(0, 80), 0.5f);
    setDirty(false);
  }
  CBitmap* bitmap;
};

// Builds the scene: a white container with lines, the three frames of the
// test bitmap through movie bitmaps, text in three alignments, the alpha
// row, and a nested container whose child must land at the right offset.
CViewContainer* makeScene(CBitmap* strip) {
  auto* scene = new CViewContainer(CRect(0, 0, kSceneWidth, kSceneHeight));
  scene->setBackgroundColor(kWhiteCColor);
  scene->addView(new LinesView(CRect(5, 5, 125, 115)));
  for (int i = 0; i < 3; ++i)
    scene->addView(new CMovieBitmap(CRect(130 + 42 * i, 5, 170 + 42 * i, 45), nullptr, 0, 3, 40, strip))
        , static_cast<CMovieBitmap*>(scene->getView(scene->getNbViews() - 1))->setValue(i * 0.5f);
  auto* small = new CTextLabel(CRect(130, 50, 255, 64), "Level -18 dB");
  small->setFont(kNormalFontVerySmall);
  small->setHoriAlign(kLeftText);
  small->setFontColor(kBlackCColor);
  small->setBackColor(CColor(230, 230, 230));
  small->setFrameColor(CColor(120, 120, 120));
  scene->addView(small);
  auto* big = new CTextLabel(CRect(130, 66, 255, 86), "Hold 0.1 s");
  auto* bold = new CFontDesc("Arial", 14, kBoldFace);
  big->setFont(bold);
  bold->forget();
  big->setHoriAlign(kCenterText);
  big->setFontColor(CColor(160, 0, 0));
  big->setTransparency(true);
  scene->addView(big);
  auto* right = new CTextLabel(CRect(130, 88, 255, 102), "300 ms");
  right->setFont(kNormalFont);
  right->setHoriAlign(kRightText);
  right->setFontColor(CColor(0, 0, 120));
  right->setTransparency(true);
  scene->addView(right);
  scene->addView(new AlphaView(CRect(130, 110, 255, 140), strip));
  auto* nested = new CViewContainer(CRect(5, 120, 125, 155));
  nested->setBackgroundColor(CColor(200, 200, 200));
  nested->addView(new CMovieBitmap(CRect(70, -10, 110, 30), nullptr, 0, 3, 40, strip));
  scene->addView(nested);
  return scene;
}

// Saves the drawn image beside the program and checks it against the
// reference of that name in the data folder.
void expectMatchesReference(CBitmap* image, const std::string& name) {
  window_test::expectMatchesReference(image, name, {TOOLKIT_TEST_DATA, kTolerance});
}

class Drawing : public ::testing::Test {
 protected:
  void SetUp() override {
    setResourceFolder(TOOLKIT_TEST_DATA);
    strip = new CBitmap(kTestBitmap);
  }
  void TearDown() override { strip->forget(); }
  CBitmap* strip = nullptr;
};

#ifdef _WIN32
const char* kBackend = "d2d";
#else
const char* kBackend = "cairo";
#endif

// Premultiplied BGRA of one pixel of a bitmap.
std::vector<int> pixelAt(CBitmap* b, int x, int y) {
  std::vector<uint8_t> px;
  if (!b->copyPixels(px)) return {};
  size_t i = (static_cast<size_t>(y) * static_cast<size_t>(b->getWidth()) + x) * 4;
  return {px[i], px[i + 1], px[i + 2], px[i + 3]};
}

}  // namespace

TEST_F(Drawing, LoadsAPngResourceByItsNumber) {
  ASSERT_TRUE(strip->isLoaded());
  EXPECT_EQ(strip->getWidth(), 40);
  EXPECT_EQ(strip->getHeight(), 120);
  EXPECT_EQ(pixelAt(strip, 30, 50), (std::vector<int>{60, 160, 40, 255})) << "green frame, blue first";
  EXPECT_EQ(pixelAt(strip, 1, 1), (std::vector<int>{0, 0, 0, 0})) << "clear corner";
  EXPECT_EQ(pixelAt(strip, 20, 35)[3], 128) << "half-transparent band";
}

TEST_F(Drawing, AMissingResourceGivesAnEmptyBitmapThatDrawsNothing) {
  CBitmap missing(9999);
  EXPECT_FALSE(missing.isLoaded());
  EXPECT_EQ(missing.getWidth(), 0);
  auto* view = new CMovieBitmap(CRect(0, 0, 10, 10), nullptr, 0, 3, 10, &missing);
  CBitmap* image = drawOffscreen(view, 10, 10);
  view->forget();
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(pixelAt(image, 5, 5), (std::vector<int>{0, 0, 0, 0}));
  image->forget();
}

TEST_F(Drawing, SceneOffscreenMatchesItsReference) {
  ASSERT_TRUE(strip->isLoaded());
  CViewContainer* scene = makeScene(strip);
  CBitmap* image = drawOffscreen(scene, kSceneWidth, kSceneHeight);
  scene->forget();
  expectMatchesReference(image, std::string("scene-") + kBackend + ".png");
  if (image) image->forget();
}

TEST_F(Drawing, ClipAndOffsetKeepDrawingInsideTheView) {
  COffscreenContext* ctx = COffscreenContext::create(nullptr, 40, 40);
  ASSERT_NE(ctx, nullptr);
  ctx->beginDraw();
  ctx->setOffset(CPoint(10, 10));
  ctx->setClipRect(CRect(0, 0, 10, 10));  // surface 10 … 20
  ctx->setOffset(CPoint(0, 0));           // the clip stays where it was
  ctx->setFillColor(kRedCColor);
  ctx->drawRect(CRect(0, 0, 40, 40), kDrawFilled);
  CRect clip;
  EXPECT_EQ(ctx->getClipRect(clip), CRect(10, 10, 20, 20));
  ctx->endDraw();
  CBitmap* b = ctx->getBitmap();
  EXPECT_EQ(pixelAt(b, 15, 15), (std::vector<int>{0, 0, 255, 255}));
  EXPECT_EQ(pixelAt(b, 25, 15), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(pixelAt(b, 5, 5), (std::vector<int>{0, 0, 0, 0}));
  ctx->forget();
}

#ifndef _WIN32
TEST_F(Drawing, WindowlessFrameShowsTheSceneItPainted) {
  StubEditor editor;
  CFrame* frame = new CFrame(CRect(0, 0, kSceneWidth, kSceneHeight), nullptr, &editor);
  frame->addView(makeScene(strip));
  frame->idle();
  CBitmap* image = windowShot(frame, "scene-frame-cairo.png");
  frame->close();
  ASSERT_NE(image, nullptr);
  expectMatchesReference(image, "scene-cairo.png");
  image->forget();
}

TEST_F(Drawing, AScaledFrameDrawsEachUnitAsThatManyPixels) {
  StubEditor editor;
  CFrame* frame = new CFrame(CRect(0, 0, 40, 20), nullptr, &editor);
  EXPECT_EQ(frame->getScaleFactor(), 1.0);
  auto* fill = new CParamDisplay(CRect(10, 5, 20, 10), nullptr, kNoFrame | kNoTextStyle);
  fill->setBackColor(kRedCColor);
  frame->addView(fill);
  for (double refused : {0.0, -1.0, double(NAN), 100.0}) EXPECT_FALSE(frame->setScaleFactor(refused)) << refused;
  ASSERT_TRUE(frame->setScaleFactor(2.0));
  CBitmap* image = windowShot(frame, "scaled-cairo.png");
  frame->close();
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->getWidth(), 80);
  EXPECT_EQ(image->getHeight(), 40);
  EXPECT_EQ(pixelAt(image, 21, 11), (std::vector<int>{0, 0, 255, 255})) << "unit (10, 5) is pixel (20, 10)";
  EXPECT_EQ(pixelAt(image, 39, 19), (std::vector<int>{0, 0, 255, 255}));
  EXPECT_EQ(pixelAt(image, 19, 15)[2], 0) << "left of the fill";
  EXPECT_EQ(pixelAt(image, 41, 15)[2], 0) << "right of the fill";
  image->forget();
}
#else

namespace {

// A host's window with the frame inside it, as a plug-in editor gets it.
struct HostWindow : window_test::HostWindow {
  HostWindow()
      : window_test::HostWindow(L"ToolkitTestHost", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, kSceneWidth + 40,
                                kSceneHeight + 40, kInside) {}
};

Comparison compare(CBitmap* image, CBitmap* reference) { return window_test::compare(image, reference, kTolerance); }

}  // namespace

TEST_F(Drawing, SceneInAWindowMatchesTheOffscreenReference) {
  HostWindow host;
  ASSERT_NE(host.hwnd, nullptr);
  StubEditor editor;
  CFrame* frame = new CFrame(CRect(0, 0, kSceneWidth, kSceneHeight), host.hwnd, &editor);
  ASSERT_TRUE(frame->isOpen());
  HWND child = static_cast<HWND>(frame->getSystemWindow());
  ASSERT_EQ(GetParent(child), host.hwnd);
  frame->addView(makeScene(strip));
  frame->idle();
  pump(200);
  CBitmap* image = windowShot(frame, "scene-window-d2d.png");
  frame->close();
  ASSERT_NE(image, nullptr);
  expectMatchesReference(image, "scene-window-d2d.png");
  image->forget();
}

TEST_F(Drawing, WindowTurnsWin32MouseMessagesIntoViewEvents) {
  HostWindow host;
  StubEditor editor;
  RecordingListener listener;
  std::vector<std::string> log;
  CFrame* frame = new CFrame(CRect(0, 0, 200, 100), host.hwnd, &editor);
  HWND child = static_cast<HWND>(frame->getSystemWindow());
  auto* button = new COnOffButton(CRect(10, 10, 50, 50), &listener, 5, strip);
  frame->addView(button);
  frame->addView(new ProbeView(CRect(100, 10, 150, 60), &log, "P"));
  click(child, 20, 20);
  EXPECT_EQ(button->getValue(), 1.f);
  EXPECT_EQ(listener.sequence(), "begin changed end");
  EXPECT_EQ(editor.begins, std::vector<int32_t>{5});
  SendMessageW(child, WM_MOUSEMOVE, 0, at(110, 20));
  POINT screen = {120, 30};
  ClientToScreen(child, &screen);
  SendMessageW(child, WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
  SendMessageW(child, WM_LBUTTONDBLCLK, MK_LBUTTON, at(110, 20));
  SendMessageW(child, WM_LBUTTONUP, 0, at(110, 20));
  std::vector<std::string> want = {"P entered 110,20", "P moved 110,20", "P wheel+shift up 120,30", "P down 110,20",
                                   "P up 110,20"};
  EXPECT_EQ(log, want);
  frame->close();
}

TEST_F(Drawing, TextEditOpensTheSystemEditBoxAndTakesTheTypedTextOnReturn) {
  HostWindow host;
  StubEditor editor;
  RecordingListener listener;
  CFrame* frame = new CFrame(CRect(0, 0, 200, 100), host.hwnd, &editor);
  HWND child = static_cast<HWND>(frame->getSystemWindow());
  auto* box = new CViewContainer(CRect(20, 30, 200, 100));
  auto* edit = new CTextEdit(CRect(10, 10, 90, 26), &listener, 68, "0.0 dB");
  box->addView(edit);
  frame->addView(box);
  click(child, 40, 45);
  HWND editWindow = FindWindowExW(child, nullptr, L"EDIT", nullptr);
  ASSERT_NE(editWindow, nullptr);
  RECT r;
  GetWindowRect(editWindow, &r);
  MapWindowPoints(nullptr, child, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.top, 40);
  wchar_t shown[32] = {0};
  GetWindowTextW(editWindow, shown, 32);
  EXPECT_STREQ(shown, L"0.0 dB");
  SetWindowTextW(editWindow, L"6 \u00e9");
  SendMessageW(editWindow, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_FALSE(IsWindow(editWindow));
  EXPECT_STREQ(edit->getText(), "6 \xc3\xa9") << "typed text comes back as UTF-8";
  EXPECT_EQ(listener.sequence(), "begin changed end");
  frame->close();
}

TEST_F(Drawing, TextEditEndsWhenTheSystemBoxLosesTheFocus) {
  HostWindow host;
  StubEditor editor;
  RecordingListener listener;
  CFrame* frame = new CFrame(CRect(0, 0, 200, 100), host.hwnd, &editor);
  HWND child = static_cast<HWND>(frame->getSystemWindow());
  auto* edit = new CTextEdit(CRect(10, 10, 90, 26), &listener, 69, "Master");
  frame->addView(edit);
  SendMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, at(20, 15));
  HWND editWindow = FindWindowExW(child, nullptr, L"EDIT", nullptr);
  ASSERT_NE(editWindow, nullptr);
  EXPECT_EQ(GetFocus(), editWindow);
  SetWindowTextW(editWindow, L"Bass");
  SetFocus(host.hwnd);  // the user clicks into the host
  EXPECT_FALSE(IsWindow(editWindow));
  EXPECT_STREQ(edit->getText(), "Bass");
  EXPECT_FALSE(edit->bWasReturnPressed);
  EXPECT_EQ(listener.count("changed"), 1);
  frame->close();
}
namespace {

// A needle with no background of its own, swinging with its value over
// whatever lies below it, as a meter's pointer does.
class NeedleView : public CControl {
 public:
  explicit NeedleView(const CRect& r) : CControl(r) { setTransparency(true); }
  void draw(CDrawContext* c) override {
    double theta = (150 - 120 * value) * 3.14159265358979 / 180;
    CPoint pivot(size.left + size.getWidth() / 2, size.bottom - 2);
    c->setDrawMode(kAntiAliasing);
    c->setLineWidth(2);
    c->setFrameColor(CColor(20, 20, 20));
    c->drawLine(pivot, CPoint(pivot.x + 70 * std::cos(theta), pivot.y - 70 * std::sin(theta)));
    setDirty(false);
  }
  CLASS_METHODS(NeedleView, CControl)
};

// Repaints the whole window and answers what a partial repaint left on
// the screen compared with that.
Comparison againstFullRepaint(CFrame* frame, CBitmap* partial, const char* name) {
  frame->invalid();
  frame->idle();
  CBitmap* full = windowShot(frame, name);
  Comparison c = compare(partial, full);
  if (full) full->forget();
  return c;
}

}  // namespace

TEST_F(Drawing, RepaintingOneViewOfAWindowShowsWhatAFullRepaintShows) {
  HostWindow host;
  StubEditor editor;
  CFrame* frame = new CFrame(CRect(0, 0, kSceneWidth, kSceneHeight), host.hwnd, &editor);
  CViewContainer* scene = makeScene(strip);
  frame->addView(scene);
  auto* counter = new ProbeView(CRect(250, 150, 260, 160), nullptr, "count");
  frame->addView(counter);
  frame->idle();
  CBitmap* before = windowShot(frame, "partial-before-d2d.png");
  int drawsBefore = counter->draws;
  // The movie bitmap in the nested container: a part away from the origin.
  auto* nested = static_cast<CViewContainer*>(scene->getView(scene->getNbViews() - 1));
  static_cast<CControl*>(nested->getView(0))->setValue(1.f);
  frame->idle();
  CBitmap* partial = windowShot(frame, "partial-d2d.png");
  EXPECT_EQ(counter->draws, drawsBefore) << "a view outside the changed part was drawn again";
  EXPECT_GT(compare(partial, before).mismatches, 100) << "the change did not reach the screen";
  Comparison c = againstFullRepaint(frame, partial, "partial-full-d2d.png");
  ASSERT_TRUE(c.sameSize);
  EXPECT_EQ(c.mismatches, 0) << "worst " << c.worst;
  before->forget();
  partial->forget();
  frame->close();
}

TEST_F(Drawing, AViewWithoutBackgroundRedrawingAMovingLineLeavesNoTrail) {
  HostWindow host;
  StubEditor editor;
  CFrame* frame = new CFrame(CRect(0, 0, kSceneWidth, kSceneHeight), host.hwnd, &editor);
  frame->addView(makeScene(strip));
  auto* needle = new NeedleView(CRect(60, 30, 200, 110));
  frame->addView(needle);
  frame->idle();
  CBitmap* start = windowShot(frame, "needle-start-d2d.png");
  for (int i = 1; i <= 5; ++i) {
    needle->setValue(i / 5.f);
    frame->idle();
  }
  CBitmap* moved = windowShot(frame, "needle-moved-d2d.png");
  EXPECT_GT(compare(moved, start).mismatches, 20) << "the needle did not move";
  Comparison c = againstFullRepaint(frame, moved, "needle-full-d2d.png");
  ASSERT_TRUE(c.sameSize);
  EXPECT_EQ(c.mismatches, 0) << "worst " << c.worst;
  start->forget();
  moved->forget();
  frame->close();
}

TEST_F(Drawing, OpeningAndClosingAWindowAHundredTimesLeavesNothingBehind) {
  HostWindow host;
  StubEditor editor;
  // The bitmap outlives every window, as a plug-in's shared artwork does.
  size_t copiesWhileOpen = 0;
  auto cycle = [&] {
    CFrame* frame = new CFrame(CRect(0, 0, 120, 60), host.hwnd, &editor);
    frame->addView(new CMovieBitmap(CRect(10, 10, 50, 50), nullptr, 0, 3, 40, strip));
    frame->invalid();
    frame->idle();
    copiesWhileOpen = bitmapCopiesOnRenderTargets();
    frame->close();
  };
  auto gui = [](DWORD which) { return GetGuiResources(GetCurrentProcess(), which); };
  auto privateBytes = [] {
    PROCESS_MEMORY_COUNTERS_EX m = {};
    m.cb = sizeof m;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m);
    // Not every system fills in the private bytes: the committed ones then.
    return static_cast<double>(m.PrivateUsage ? m.PrivateUsage : m.PagefileUsage);
  };
  // First-use caches of the system and the driver fill up first (Wine's
  // Direct2D grows by some megabytes over the first few dozen targets, and
  // keeps a few kilobytes of every one after; a leaked target costs more
  // than a megabyte there).
  for (int i = 0; i < 60; ++i) cycle();
  DWORD gdi = gui(GR_GDIOBJECTS), user = gui(GR_USEROBJECTS);
  double memory = privateBytes();
  for (int i = 0; i < 100; ++i) {
    cycle();
    ASSERT_EQ(bitmapCopiesOnRenderTargets(), 0u) << "a closed window's target is still held, cycle " << i;
  }
  EXPECT_EQ(copiesWhileOpen, 1u) << "the window did not draw the bitmap";
  EXPECT_EQ(FindWindowExW(host.hwnd, nullptr, nullptr, nullptr), nullptr) << "a window stayed open";
  if (gdi == 0 && user == 0) {
    std::printf("GetGuiResources counts nothing on this system: handle counts not checked\n");
  } else {
    EXPECT_LE(gui(GR_GDIOBJECTS), gdi) << "GDI objects grew";
    EXPECT_LE(gui(GR_USEROBJECTS), user) << "user objects grew";
  }
  double growth = privateBytes() - memory;
  std::printf("private memory %.0f KB, after 100 windows %+.0f KB\n", memory / 1024, growth / 1024);
  EXPECT_GT(memory, 0) << "the system reports no memory use";
  EXPECT_LT(growth, 2.5 * 1024 * 1024) << "memory grew by " << growth / 1024 << " KB";
}
TEST_F(Drawing, AScaledWindowConvertsSizesRepaintsAndMousePoints) {
  HostWindow host;
  StubEditor editor;
  std::vector<std::string> log;
  CFrame* frame = new CFrame(CRect(0, 0, 40, 20), host.hwnd, &editor);
  HWND child = static_cast<HWND>(frame->getSystemWindow());
  auto* fill = new CParamDisplay(CRect(10, 5, 20, 10), nullptr, kNoFrame | kNoTextStyle);
  fill->setBackColor(kRedCColor);
  frame->addView(fill);
  frame->addView(new ProbeView(CRect(25, 5, 35, 15), &log, "P"));
  for (double refused : {0.0, double(NAN), 100.0}) EXPECT_FALSE(frame->setScaleFactor(refused)) << refused;
  ASSERT_TRUE(frame->setScaleFactor(2.0));
  RECT client;
  GetClientRect(child, &client);
  EXPECT_EQ(client.right, 80);
  EXPECT_EQ(client.bottom, 40);
  CRect units;
  frame->getPlatformFrame()->getSize(units);
  EXPECT_EQ(units, CRect(0, 0, 40, 20));
  click(child, 60, 20);
  EXPECT_NE(std::find(log.begin(), log.end(), "P down 30,10"), log.end()) << "pixel (60, 20) is unit (30, 10)";
  frame->idle();
  fill->setBackColor(kGreenCColor);  // a repaint of the fill alone, in pixels
  frame->idle();
  CBitmap* image = windowShot(frame, "scaled-d2d.png");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->getWidth(), 80);
  EXPECT_EQ(pixelAt(image, 21, 11), (std::vector<int>{0, 255, 0, 255})) << "unit (10, 5) is pixel (20, 10)";
  EXPECT_EQ(pixelAt(image, 39, 19), (std::vector<int>{0, 255, 0, 255}));
  EXPECT_EQ(pixelAt(image, 19, 15)[1], 255) << "white left of the fill";
  EXPECT_EQ(pixelAt(image, 41, 15)[0], 255) << "white right of the fill";
  image->forget();
  frame->close();
}
#endif
