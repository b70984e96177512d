// The stock controls driven with the mouse and wheel as a user would, with
// a recording listener and editor: values, clamping, and the order of the
// begin-edit, value-changed and end-edit calls.
#include <gtest/gtest.h>

#include "tests/support/WindowTestSupport.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#ifndef _WIN32
#include "toolkit/cairo/nativeframe.h"
#endif

using namespace VSTGUI;
using namespace toolkit_test;

namespace {

// A frame with one control in a container at (50, 40), so every press
// travels through two levels of coordinates.
struct Bench {
  Bench() {
    frame = new CFrame(CRect(0, 0, 400, 300), nullptr, &editor);
    box = new CViewContainer(CRect(50, 40, 350, 280));
    frame->addView(box);
  }
  ~Bench() { frame->close(); }
  template <class T>
  T* add(T* control) {
    box->addView(control);
    return control;
  }
  // Coordinates inside the container.
  CMouseEventResult down(double x, double y, int32_t buttons = kLButton) {
    CPoint p(x + 50, y + 40);
    return frame->platformOnMouseDown(p, buttons);
  }
  void move(double x, double y, int32_t buttons = kLButton) {
    CPoint p(x + 50, y + 40);
    frame->platformOnMouseMoved(p, buttons);
  }
  void up(double x, double y, int32_t buttons = kLButton) {
    CPoint p(x + 50, y + 40);
    frame->platformOnMouseUp(p, buttons);
  }
  bool wheel(double x, double y, float distance, int32_t buttons = 0) {
    return frame->platformOnMouseWheel(CPoint(x + 50, y + 40), kMouseWheelAxisY, distance, buttons);
  }
  StubEditor editor;
  RecordingListener listener;
  CFrame* frame;
  CViewContainer* box;
};

using window_test::makeGreyStrip;

// Draws the view offscreen and answers the frame number its centre shows.
int drawnFrame(CView* view) {
  CRect r = view->getViewSize();
  COffscreenContext* ctx = COffscreenContext::create(nullptr, r.right + 1, r.bottom + 1);
  if (!ctx) return -1;
  ctx->beginDraw();
  view->draw(ctx);
  ctx->endDraw();
  std::vector<uint8_t> px;
  ctx->getBitmap()->copyPixels(px);
  int w = static_cast<int>(ctx->getBitmap()->getWidth());
  CPoint c = r.getCenter();
  int g = px[(static_cast<int>(c.y) * w + static_cast<int>(c.x)) * 4 + 1];
  ctx->forget();
  return (g - 10 + 10) / 20;
}

}  // namespace

TEST(COnOffButton, ToggleOnEachLeftClickAndReportsTheGesture) {
  Bench b;
  CBitmap* strip = makeGreyStrip(2, 20, 10);
  ASSERT_NE(strip, nullptr);
  auto* button = b.add(new COnOffButton(CRect(10, 10, 30, 20), &b.listener, 7, strip));
  strip->forget();
  EXPECT_EQ(drawnFrame(button), 0);
  EXPECT_EQ(b.down(15, 15), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  EXPECT_EQ(button->getValue(), 1.f);
  EXPECT_EQ(drawnFrame(button), 1);
  b.down(15, 15);
  EXPECT_EQ(button->getValue(), 0.f);
  EXPECT_EQ(b.listener.sequence(), "begin changed end begin changed end");
  EXPECT_EQ(b.listener.changedValues(), (std::vector<float>{1.f, 0.f}));
  EXPECT_EQ(b.editor.begins, (std::vector<int32_t>{7, 7}));
  EXPECT_EQ(b.editor.ends, (std::vector<int32_t>{7, 7}));
}

TEST(COnOffButton, IgnoresTheRightButton) {
  Bench b;
  auto* button = b.add(new COnOffButton(CRect(10, 10, 30, 20), &b.listener, 7, nullptr));
  EXPECT_EQ(b.down(15, 15, kRButton), kMouseEventNotHandled);
  EXPECT_EQ(button->getValue(), 0.f);
  EXPECT_TRUE(b.listener.calls.empty());
}

TEST(CKickButton, ReportsThePressAndTheRelease) {
  Bench b;
  auto* kick = b.add(new CKickButton(CRect(10, 10, 30, 30), &b.listener, 3, 20, nullptr));
  b.down(15, 15);
  EXPECT_EQ(kick->getValue(), 1.f);
  EXPECT_TRUE(kick->isEditing());
  b.up(15, 15);
  EXPECT_EQ(kick->getValue(), 0.f);
  EXPECT_EQ(b.listener.sequence(), "begin changed changed end");
  EXPECT_EQ(b.listener.changedValues(), (std::vector<float>{1.f, 0.f}));
}

TEST(CKickButton, LetsGoWhenThePointerSlidesOff) {
  Bench b;
  auto* kick = b.add(new CKickButton(CRect(10, 10, 30, 30), &b.listener, 3, 20, nullptr));
  b.down(15, 15);
  b.move(100, 100);
  EXPECT_EQ(kick->getValue(), 0.f);
  b.up(100, 100);
  EXPECT_EQ(b.listener.changedValues(), std::vector<float>{0.f}) << "no press is reported for a release off the button";
}

TEST(CSlider, FollowsADragOfTheHandleAndStopsAtItsEnds) {
  Bench b;
  CBitmap* handle = makeGreyStrip(1, 10, 20);
  ASSERT_NE(handle, nullptr);
  // Span 20 … 130 with a 10-pixel handle: 100 pixels of travel.
  auto* slider = b.add(new CSlider(CRect(20, 10, 130, 30), &b.listener, 11, 20, 130, handle, nullptr));
  handle->forget();
  EXPECT_EQ(slider->getHandleTravel(), 100);
  EXPECT_EQ(slider->getHandleRect(), CRect(20, 10, 30, 30));
  b.down(25, 20);  // on the handle, 5 pixels into it
  b.move(75, 20);
  EXPECT_FLOAT_EQ(slider->getValue(), 0.5f);
  EXPECT_EQ(slider->getHandleRect(), CRect(70, 10, 80, 30));
  b.move(500, 20);
  EXPECT_FLOAT_EQ(slider->getValue(), 1.f);
  b.move(-500, 20);
  EXPECT_FLOAT_EQ(slider->getValue(), 0.f);
  b.up(-500, 20);
  EXPECT_EQ(b.listener.calls.front().what, "begin");
  EXPECT_EQ(b.listener.calls.back().what, "end");
  EXPECT_EQ(b.listener.changedValues(), (std::vector<float>{0.5f, 1.f, 0.f}));
}

TEST(CSlider, VerticalGrowsUpwardsAndShiftDragsFiner) {
  Bench b;
  CBitmap* handle = makeGreyStrip(1, 20, 10);
  ASSERT_NE(handle, nullptr);
  auto* slider =
      b.add(new CSlider(CRect(10, 20, 30, 130), &b.listener, 1, 20, 130, handle, nullptr, CPoint(), kVertical | kBottom));
  handle->forget();
  EXPECT_EQ(slider->getHandleRect(), CRect(10, 120, 30, 130)) << "value 0 at the bottom";
  b.down(20, 125);
  b.move(20, 75);
  EXPECT_FLOAT_EQ(slider->getValue(), 0.5f);
  b.up(20, 75);
  b.down(20, 75, kLButton | kShift);
  b.move(20, 25, kLButton | kShift);  // 50 pixels with Shift: a tenth of 0.5
  EXPECT_FLOAT_EQ(slider->getValue(), 0.55f);
  b.up(20, 25);
}

TEST(CSlider, ControlClickRestoresTheDefaultAndTheWheelStepsByItsIncrement) {
  Bench b;
  auto* slider = b.add(new CSlider(CRect(20, 10, 130, 30), &b.listener, 11, 20, 130, nullptr, nullptr));
  slider->setDefaultValue(0.25f);
  slider->setValue(0.9f);
  b.down(50, 20, kLButton | kControl);
  EXPECT_FLOAT_EQ(slider->getValue(), 0.25f);
  slider->setWheelInc(0.1f);
  EXPECT_TRUE(b.wheel(50, 20, 1.f));
  EXPECT_FLOAT_EQ(slider->getValue(), 0.35f);
  b.wheel(50, 20, -1.f, kShift);
  EXPECT_FLOAT_EQ(slider->getValue(), 0.34f);
  for (int i = 0; i < 20; ++i) b.wheel(50, 20, 1.f);
  EXPECT_FLOAT_EQ(slider->getValue(), 1.f);
  EXPECT_EQ(b.listener.count("begin"), b.listener.count("end"));
}

TEST(CAnimKnob, InLinearModeFollowsRightAndUpwardDrags) {
  Bench b;
  b.editor.knobMode = kLinearMode;
  auto* knob = b.add(new CAnimKnob(CRect(100, 100, 140, 140), &b.listener, 84, 51, 40, nullptr));
  b.down(120, 120);
  b.move(120, 70);  // 50 up: a quarter of 200 pixels
  EXPECT_FLOAT_EQ(knob->getValue(), 0.25f);
  b.move(170, 70);  // and 50 right
  EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
  b.move(170, 70, kLButton | kShift);  // Shift mid-drag: no jump
  EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
  b.move(170, 50, kLButton | kShift);  // 20 more with Shift: 2000 pixels for the range
  EXPECT_FLOAT_EQ(knob->getValue(), 0.51f);
  b.move(170, -1000, kLButton);
  EXPECT_FLOAT_EQ(knob->getValue(), 1.f);
  b.up(170, -1000);
  EXPECT_EQ(b.listener.calls.front().what, "begin");
  EXPECT_EQ(b.listener.calls.back().what, "end");
  EXPECT_EQ(b.editor.begins, std::vector<int32_t>{84});
}

TEST(CAnimKnob, InCircularModeTakesTheAngleOfThePointer) {
  Bench b;
  auto* knob = b.add(new CAnimKnob(CRect(100, 100, 140, 140), &b.listener, 1, 51, 40, nullptr));
  b.down(120, 101);  // straight above the centre: the middle of the sweep
  EXPECT_NEAR(knob->getValue(), 0.5f, 1e-5);
  b.move(139, 120);  // to the right: three quarters
  EXPECT_NEAR(knob->getValue(), 0.8333f, 1e-3);
  b.move(101, 139.9);  // into the gap at the bottom left: too far to jump
  EXPECT_NEAR(knob->getValue(), 0.8333f, 1e-3);
  b.up(101, 139.9);
}

TEST(CAnimKnob, ControlClickResetsAndTheWheelClamps) {
  Bench b;
  auto* knob = b.add(new CAnimKnob(CRect(100, 100, 140, 140), &b.listener, 1, 51, 40, nullptr));
  knob->setDefaultValue(0.3f);
  knob->setValue(0.8f);
  EXPECT_EQ(b.down(120, 120, kLButton | kControl), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  EXPECT_FLOAT_EQ(knob->getValue(), 0.3f);
  EXPECT_FALSE(knob->isEditing());
  knob->setWheelInc(0.5f);
  b.wheel(120, 120, 1.f);
  b.wheel(120, 120, 1.f);
  EXPECT_FLOAT_EQ(knob->getValue(), 1.f);
  b.wheel(120, 120, -1.f, kShift);
  EXPECT_FLOAT_EQ(knob->getValue(), 0.95f);
  EXPECT_EQ(b.listener.changedValues(), (std::vector<float>{0.3f, 0.8f, 1.f, 0.95f}));
}

TEST(CAnimKnob, DrawsTheFrameOfItsValue) {
  Bench b;
  CBitmap* strip = makeGreyStrip(5, 20, 20);
  ASSERT_NE(strip, nullptr);
  auto* knob = b.add(new CAnimKnob(CRect(0, 0, 20, 20), nullptr, 0, strip));
  strip->forget();
  EXPECT_EQ(knob->getNumSubPixmaps(), 5);
  for (auto [v, frame] : std::vector<std::pair<float, int>>{{0.f, 0}, {0.24f, 0}, {0.25f, 1}, {0.74f, 2}, {1.f, 4}}) {
    knob->setValue(v);
    EXPECT_EQ(drawnFrame(knob), frame) << "value " << v;
  }
}

TEST(CHorizontalSwitch, PicksThePositionUnderThePointer) {
  Bench b;
  CBitmap* strip = makeGreyStrip(3, 60, 10);
  ASSERT_NE(strip, nullptr);
  auto* sw = b.add(new CHorizontalSwitch(CRect(10, 10, 70, 20), &b.listener, 87, 3, 10, 3, strip));
  strip->forget();
  b.down(65, 15);
  EXPECT_FLOAT_EQ(sw->getValue(), 1.f);
  EXPECT_EQ(drawnFrame(sw), 2);
  b.move(35, 15);
  EXPECT_FLOAT_EQ(sw->getValue(), 0.5f);
  b.move(-100, 15);
  EXPECT_FLOAT_EQ(sw->getValue(), 0.f);
  EXPECT_EQ(drawnFrame(sw), 0);
  b.up(-100, 15);
  EXPECT_EQ(b.listener.sequence(), "begin changed changed changed end");
}

TEST(CMovieBitmap, ShowsTheFrameNearestItsValueAndIgnoresTheMouse) {
  Bench b;
  CBitmap* strip = makeGreyStrip(3, 20, 10);
  ASSERT_NE(strip, nullptr);
  auto* movie = b.add(new CMovieBitmap(CRect(0, 0, 20, 10), &b.listener, 66, strip));
  strip->forget();
  EXPECT_EQ(movie->getNumSubPixmaps(), 3);
  movie->setValue(0.5f);
  EXPECT_EQ(drawnFrame(movie), 1);
  movie->setValue(0.8f);
  EXPECT_EQ(drawnFrame(movie), 2);
  EXPECT_EQ(b.down(5, 5), kMouseEventNotImplemented);
  EXPECT_TRUE(b.listener.calls.empty());
}

TEST(CParamDisplay, DrawsTheTextItsValueToStringFunctionGives) {
  // The display of value 0.18 through the function must look exactly like a
  // label showing the function's text, and unlike the plain number.
  auto draw = [](CParamDisplay* d) {
    d->setFont(kNormalFontBig);
    d->setFontColor(kBlackCColor);
    d->setBackColor(kWhiteCColor);
    COffscreenContext* ctx = COffscreenContext::create(nullptr, 60, 20);
    std::vector<uint8_t> px;
    if (ctx) {
      ctx->beginDraw();
      d->draw(ctx);
      ctx->endDraw();
      ctx->getBitmap()->copyPixels(px);
      ctx->forget();
    }
    return px;
  };
  CParamDisplay display(CRect(0, 0, 60, 20));
  display.setValue(0.18f);
  std::vector<uint8_t> plain = draw(&display);
  display.setValueToStringProc(
      [](float v, char text[256], void*) {
        std::snprintf(text, 256, "-%d dB", int(v * 100 + 0.5f));
        return true;
      },
      nullptr);
  std::vector<uint8_t> converted = draw(&display);
  CTextLabel label(CRect(0, 0, 60, 20), "-18 dB");
  std::vector<uint8_t> reference = draw(&label);
  ASSERT_FALSE(reference.empty());
  EXPECT_EQ(converted, reference);
  EXPECT_NE(plain, reference);
}

TEST(CTextLabel, BecomesDirtyOnlyWhenItsTextChanges) {
  CTextLabel label(CRect(0, 0, 10, 10), "x");
  label.setDirty(false);
  label.setText("x");
  EXPECT_FALSE(label.isDirty());
  label.setText("y");
  EXPECT_TRUE(label.isDirty());
  EXPECT_STREQ(label.getText(), "y");
  label.setText(nullptr);
  EXPECT_STREQ(label.getText(), "");
}

#ifndef _WIN32
TEST(CTextEdit, OpensABoxOverItselfAndReportsTheTypedTextOnReturn) {
  Bench b;
  auto* edit = b.add(new CTextEdit(CRect(10, 20, 60, 35), &b.listener, 68, "0.0"));
  auto* pf = static_cast<NativePlatformFrame*>(b.frame->getPlatformFrame());
  EXPECT_EQ(b.down(20, 25), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  NativeTextEdit* box = pf->getTextEdit();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text(), "0.0");
  EXPECT_EQ(box->getRect(), CRect(60, 60, 110, 75)) << "the control's rectangle in frame coordinates";
  EXPECT_EQ(b.frame->getFocusView(), edit);
  box->setText("6");
  box->pressReturn();
  EXPECT_EQ(pf->getTextEdit(), nullptr);
  EXPECT_STREQ(edit->getText(), "6");
  EXPECT_TRUE(edit->bWasReturnPressed);
  EXPECT_EQ(b.frame->getFocusView(), nullptr);
  EXPECT_EQ(b.listener.sequence(), "begin changed end");
}

TEST(CTextEdit, ReportsNothingWhenTheTextStaysTheSameAndEndsOnAClickElsewhere) {
  Bench b;
  auto* edit = b.add(new CTextEdit(CRect(10, 20, 60, 35), &b.listener, 69, "Label"));
  auto* pf = static_cast<NativePlatformFrame*>(b.frame->getPlatformFrame());
  b.down(20, 25);
  ASSERT_NE(pf->getTextEdit(), nullptr);
  b.down(200, 200);  // elsewhere
  EXPECT_EQ(pf->getTextEdit(), nullptr);
  EXPECT_EQ(b.listener.count("changed"), 0);
  b.down(20, 25);
  pf->getTextEdit()->setText("");
  pf->getTextEdit()->loseFocus();
  EXPECT_STREQ(edit->getText(), "") << "an empty text is a text";
  EXPECT_FALSE(edit->bWasReturnPressed);
  EXPECT_EQ(b.listener.count("changed"), 1);
}

TEST(CTextEdit, EscapeThrowsTheTypingAway) {
  Bench b;
  auto* edit = b.add(new CTextEdit(CRect(10, 20, 60, 35), &b.listener, 69, "keep"));
  auto* pf = static_cast<NativePlatformFrame*>(b.frame->getPlatformFrame());
  b.down(20, 25);
  pf->getTextEdit()->setText("typed");
  VstKeyCode esc;
  esc.virt = VKEY_ESCAPE;
  EXPECT_TRUE(pf->getTextEdit()->pressKey(esc));
  EXPECT_EQ(pf->getTextEdit(), nullptr);
  EXPECT_STREQ(edit->getText(), "keep");
  EXPECT_EQ(b.listener.count("changed"), 0);
}

TEST(CTextEdit, WithTheDoubleClickStyleOpensOnlyOnADoubleClick) {
  Bench b;
  b.add(new CTextEdit(CRect(10, 20, 60, 35), &b.listener, 69, "x", nullptr, kDoubleClickStyle));
  auto* pf = static_cast<NativePlatformFrame*>(b.frame->getPlatformFrame());
  b.down(20, 25);
  EXPECT_EQ(pf->getTextEdit(), nullptr);
  b.down(20, 25, kLButton | kDoubleClick);
  EXPECT_NE(pf->getTextEdit(), nullptr);
}

TEST(CTextEdit, ClosesItsBoxWhenRemovedFromTheFrame) {
  Bench b;
  auto* edit = b.add(new CTextEdit(CRect(10, 20, 60, 35), &b.listener, 69, "x"));
  auto* pf = static_cast<NativePlatformFrame*>(b.frame->getPlatformFrame());
  b.down(20, 25);
  pf->getTextEdit()->setText("y");
  b.box->removeView(edit);
  EXPECT_EQ(pf->getTextEdit(), nullptr);
  EXPECT_EQ(b.frame->getFocusView(), nullptr);
}
#endif
