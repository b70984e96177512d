// A windowless frame with one panel in it, a hint line and a recording
// listener, driven by short scripts of mouse actions the way a user works
// the controls: "enter 5,5; click 5,5 shift; wheel 1; leave".
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "controls/ZELControls.h"
#include "tests/support/WindowTestSupport.h"
#ifndef _WIN32
#include "toolkit/cairo/nativeframe.h"
#endif

namespace controls_test {

using namespace VSTGUI;

// Writes every call as one word: "b" begin edit, "e" end edit, "TAG=VALUE"
// a changed value (the value rounded to 4 digits).
struct Recorder : CControlListener {
  void valueChanged(CControl* c) override {
    char s[48];
    std::snprintf(s, sizeof s, "%d=%.4g", c->getTag(), c->getValue());
    add(s);
    if (onChange) onChange(c);
  }
  void controlBeginEdit(CControl*) override { add("b"); }
  void controlEndEdit(CControl*) override { add("e"); }
  void add(const std::string& w) { calls += (calls.empty() ? "" : " ") + w; }
  std::string calls;
  void (*onChange)(CControl*) = nullptr;
};

struct Clock : VSTGUIEditorInterface {
  uint32_t getTicks() const override { return ticks; }
  uint32_t ticks = 1000;
};

using window_test::makeGreyStrip;

// Draws the view alone and answers the frame its centre shows (-1 for
// nothing drawn) and the opacity there.
inline int drawnFrame(CView* view, int* alpha = nullptr) {
  CRect r = view->getViewSize();
  COffscreenContext* ctx = COffscreenContext::create(nullptr, r.right + 1, r.bottom + 1);
  if (!ctx) return -2;
  ctx->beginDraw();
  view->draw(ctx);
  ctx->endDraw();
  std::vector<uint8_t> px;
  ctx->getBitmap()->copyPixels(px);
  int w = static_cast<int>(ctx->getBitmap()->getWidth());
  CPoint c = r.getCenter();
  size_t i = (static_cast<size_t>(c.y) * w + static_cast<size_t>(c.x)) * 4;
  int a = px[i + 3];
  int g = a ? px[i + 1] * 255 / a : 0;
  ctx->forget();
  if (alpha) *alpha = a;
  return a ? (g - 10 + 10) / 20 : -1;
}

// The panel lies at (10, 20) in the frame, the control at (20, 10) in the
// panel; script coordinates are the control's own (0, 0 its top-left).
struct Bench {
  static constexpr double kX = 30, kY = 30;
  Bench() {
    frame = new CFrame(CRect(0, 0, 600, 400), nullptr, &clock);
    panel = new CViewContainer(CRect(10, 20, 590, 390));
    frame->addView(panel);
    hint = new CHelpHintLabel(CRect(300, 0, 500, 14));
    panel->addView(hint);
  }
  ~Bench() {
    if (!panel->isAttached()) frame->addView(panel);
    frame->close();
  }
  template <class T>
  T* add(T* control) {
    panel->addView(control);
    if (auto* h = dynamic_cast<CZELHintControl*>(control)) h->setHintLabel(hint);
    this->control = control;
    return control;
  }
  std::string hintText() const { return hint->getText(); }

  // Runs the actions of a script, separated by ';'.
  void run(const std::string& script) {
    std::stringstream all(script);
    std::string step;
    while (std::getline(all, step, ';')) act(step);
  }
  void act(const std::string& step) {
    std::stringstream in(step);
    std::string verb, arg, word;
    in >> verb;
    if (verb.empty()) return;
    double x = 0, y = 0;
    float d = 0;
    if (verb == "wheel") {
      in >> arg;
      d = arg == "nan" ? NAN : std::stof(arg);
    } else if (verb != "leave" && verb != "remove") {
      in >> arg;
      std::sscanf(arg.c_str(), "%lf,%lf", &x, &y);
    }
    int32_t mods = 0;
    while (in >> word) {
      if (word == "shift") mods |= kShift;
      if (word == "ctrl") mods |= kControl;
      if (word == "dbl") mods |= kDoubleClick;
      if (word == "right") mods |= kRButton;
    }
    int32_t left = (mods & kRButton) ? 0 : kLButton;
    CPoint p(x + kX + control->getViewSize().left - 20, y + kY + control->getViewSize().top - 10);
    if (verb == "enter" || verb == "hover") {
      frame->platformOnMouseMoved(p, mods);
    } else if (verb == "down") {
      frame->platformOnMouseDown(p, left | mods);
    } else if (verb == "move") {
      frame->platformOnMouseMoved(p, kLButton | mods);
    } else if (verb == "up") {
      frame->platformOnMouseUp(p, mods);
    } else if (verb == "click") {
      frame->platformOnMouseDown(p, left | mods);
      frame->platformOnMouseUp(p, mods);
    } else if (verb == "wheel") {
      CPoint c = control->getViewSize().getCenter();
      c.offset(10, 20);
      frame->platformOnMouseWheel(c, kMouseWheelAxisY, d, mods);
    } else if (verb == "leave") {
      CPoint away(599, 399);
      frame->platformOnMouseMoved(away, 0);
    } else if (verb == "remove") {
      frame->removeView(panel, false);
    } else if (verb == "tick") {
      clock.ticks += static_cast<uint32_t>(x);
    }
#ifndef _WIN32
    // The system's edit box as the user works it.
    NativeTextEdit* box = static_cast<NativePlatformFrame*>(frame->getPlatformFrame())->getTextEdit();
    if (verb == "type" && box) box->setText(arg.c_str());
    if (verb == "return" && box) box->pressReturn();
    if (verb == "elsewhere" && box) box->loseFocus();
#endif
  }
  bool boxOpen() const {
#ifndef _WIN32
    return static_cast<NativePlatformFrame*>(frame->getPlatformFrame())->getTextEdit() != nullptr;
#else
    return false;
#endif
  }

  Clock clock;
  Recorder listener;
  CFrame* frame;
  CViewContainer* panel;
  CHelpHintLabel* hint;
  CControl* control = nullptr;
};

// One row of a behaviour table: a control made and set up on the bench, a
// script, and what must hold afterwards (NAN value, null calls or hint, or
// frame -2: not checked).
struct Row {
  const char* what;
  CControl* (*make)(Bench&);
  const char* script;
  float value;
  const char* calls;
  const char* hint;
  int frame;
};

// Runs every row on a bench of its own.
inline void runTable(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    Bench b;
    CControl* c = row.make(b);
    b.listener.calls.clear();
    b.run(row.script);
    std::string where = std::string(row.what) + " [" + row.script + "]";
    if (!std::isnan(row.value)) {
      EXPECT_NEAR(c->getValue(), row.value, 1e-5) << where;
    }
    if (row.calls) {
      EXPECT_EQ(b.listener.calls, row.calls) << where;
    }
    if (row.hint) {
      EXPECT_EQ(b.hintText(), row.hint) << where;
    }
    if (row.frame != -2) {
      EXPECT_EQ(drawnFrame(c), row.frame) << where;
    }
  }
}

}  // namespace controls_test
