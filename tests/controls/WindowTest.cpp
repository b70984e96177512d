// The hint line and one control of each family in a real window (Direct2D
// under Wine on a virtual display), with the mouse over the meter
// selector's left zone; the window's picture is compared with a committed
// reference. With ORVANE_UPDATE_REFERENCES=1 the reference is written
// instead. Each picture is also saved beside the program to look at.
#include <gtest/gtest.h>

#ifdef _WIN32

#include <windows.h>

#include <algorithm>

#include "tests/controls/ControlsTestSupport.h"
#include "tests/support/WindowTestSupport.h"

using namespace VSTGUI;
using namespace controls_test;
using namespace window_test;

namespace {

constexpr int kWidth = 320, kHeight = 110;
constexpr int kTolerance = 24;  // levels of 255: anti-aliasing, not a misplaced frame

// Frames in colours of their own, each with a dark rim, so a wrong frame
// or a shifted one shows.
CBitmap* makeFrames(int frames, CCoord w, CCoord h) {
  static const CColor palette[] = {CColor(90, 90, 100), CColor(230, 160, 40), CColor(60, 170, 90), CColor(70, 120, 220),
                                   CColor(200, 60, 60)};
  return paintOffscreen(w, h * frames, [&](CDrawContext* ctx) {
    for (int n = 0; n < frames; ++n) {
      ctx->setFillColor(palette[n % 5]);
      ctx->drawRect(CRect(0, h * n, w, h * (n + 1)), kDrawFilled);
      ctx->setFrameColor(CColor(20, 20, 20));
      ctx->drawRect(CRect(0, h * n, w, h * (n + 1)), kDrawStroked);
      ctx->setFillColor(CColor(250, 250, 250));
      CCoord x = (w - 4) * n / std::max(1, frames - 1);
      ctx->drawRect(CRect(x, h * n + 1, x + 4, h * (n + 1) - 1), kDrawFilled);
    }
  });
}

// The lag display's three frames: its face, then two overlays drawn over
// the digits (marks of the step-up and step-down zones).
CBitmap* makeLagFrames() {
  return paintOffscreen(26, 120, [](CDrawContext* ctx) {
    ctx->setFillColor(CColor(20, 22, 26));
    ctx->drawRect(CRect(0, 0, 26, 40), kDrawFilled);
    ctx->setFillColor(CColor(230, 160, 40));
    ctx->drawRect(CRect(9, 42, 17, 48), kDrawFilled);
    ctx->setFillColor(CColor(60, 170, 90));
    ctx->drawRect(CRect(9, 112, 17, 118), kDrawFilled);
  });
}

template <class T>
T* keep(CViewContainer* panel, T* view, CBitmap* bitmap = nullptr) {
  panel->addView(view);
  if (bitmap) bitmap->forget();
  return view;
}

}  // namespace

TEST(ControlsWindow, HintLineAndOneControlOfEachFamilyMatchTheirReference) {
  HostWindow host(L"ControlsTestHost", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, kWidth + 40, kHeight + 40,
                  HostWindow::kInside);
  ASSERT_NE(host.hwnd, nullptr);
  Clock clock;
  Recorder listener;
  CFrame* frame = new CFrame(CRect(0, 0, kWidth, kHeight), host.hwnd, &clock);
  ASSERT_TRUE(frame->isOpen());
  HWND child = static_cast<HWND>(frame->getSystemWindow());
  auto* panel = new CViewContainer(CRect(0, 0, kWidth, kHeight));
  panel->setBackgroundColor(CColor(38, 40, 46));
  frame->addView(panel);

  auto* hint = keep(panel, new CHelpHintLabel(CRect(100, 0, 300, 14)));
  CBitmap* bm = makeFrames(2, 20, 12);
  auto* process = keep(panel, new CZELOnOffButtonH(CRect(10, 20, 30, 32), &listener, 0, bm), bm);
  process->setValue(0.9999f);
  bm = makeFrames(3, 100, 12);
  auto* selector = keep(panel, new CZELMeterSelectorControl(CRect(40, 20, 140, 32), &listener, 3, bm), bm);
  selector->setValue(0);
  bm = makeFrames(1, 12, 20);
  auto* slider = keep(panel, new CZELSliderAH(CRect(150, 16, 300, 36), &listener, 11, 150, 300, bm, nullptr), bm);
  slider->setValue(0.25f);
  slider->setActive(0);
  bm = makeFrames(5, 30, 30);
  auto* knob = keep(panel, new CAnimKnob4(CRect(10, 50, 40, 80), &listener, 84, bm), bm);
  knob->setValue(0.7f);
  bm = makeLagFrames();
  auto* lag = keep(panel, new CZELLatencyControl(CRect(50, 45, 76, 85), &listener, 16, bm), bm);
  lag->setValue(123.f / 999);
  auto* trimValue = keep(panel, new CMyTextEditAH(CRect(90, 60, 160, 75), &listener, 68, "+0.0 dB"));
  trimValue->setFont(kNormalFontVerySmall);
  trimValue->setFontColor(CColor(170, 170, 170, 255));
  for (CControl* c : std::initializer_list<CControl*>{process, selector, slider})
    if (auto* h = dynamic_cast<CZELHintControl*>(c)) h->setHintLabel(hint);

  // The mouse comes to rest over the selector's left zone.
  SendMessageW(child, WM_MOUSEMOVE, 0, MAKELPARAM(50, 25));
  EXPECT_STREQ(hint->getText(), "Changes current meter to PPM3");
  EXPECT_EQ(selector->getZone(), CZELMeterSelectorControl::kLeftZone);
  frame->idle();
  pump(200);
  CBitmap* image = windowShot(frame, "controls-window-d2d.png");
  ASSERT_NE(image, nullptr);
  expectMatchesReference(image, "controls-window-d2d.png", {CONTROLS_TEST_DATA, kTolerance});
  image->forget();

  // A real click through the window's messages reaches the button.
  SendMessageW(child, WM_MOUSEMOVE, 0, MAKELPARAM(15, 25));
  EXPECT_STREQ(hint->getText(), "Activates the Trim and FILTERS");
  click(child, 15, 25);
  EXPECT_EQ(process->getValue(), 0.f);
  EXPECT_EQ(listener.calls, "b 0=0 e");

  // The trim value opens the system's edit box over itself, as high as its
  // text, and takes what was typed on Return.
  listener.calls.clear();
  click(child, 100, 67);
  HWND box = FindWindowExW(child, nullptr, L"EDIT", nullptr);
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(trimValue->isEditing());
  RECT r;
  GetWindowRect(box, &r);
  MapWindowPoints(nullptr, child, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 90);
  EXPECT_EQ(r.top, 61);  // 9-pixel font around the middle row 67: 61.5 … 71.5
  SetWindowTextW(box, L"6");
  SendMessageW(box, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_FALSE(IsWindow(box));
  EXPECT_FALSE(trimValue->isEditing());
  EXPECT_STREQ(trimValue->getText(), "6");
  EXPECT_EQ(listener.calls, "b 68=0 e");
  frame->close();
}

#endif
