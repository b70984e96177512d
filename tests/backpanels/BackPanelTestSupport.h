// The real editor over the real effect, opened into a windowless frame
// (natively) or a real window (Windows), with the mouse worked through the
// frame as the system delivers it. The effect keeps its settings in an
// in-memory registry.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "backpanels/MeterBackPanels.h"
#include "display/CZELMeterFULLPANEL.h"
#include "tests/editor/EditorTestSupport.h"

namespace backpanels_test {

using namespace VSTGUI;
using orvane::TableBackPanel;

struct Rig {
  editor_test::EditorFixture f{false};

  // Opens the editor on a meter type, its back panel not yet shown.
  explicit Rig(int meterType = 0, bool strips = true) {
    f.setParameter(3, meterType * 0.5f);
    f.setParameter(6, strips ? 1.f : 0.f);
    EXPECT_TRUE(f.open());
  }
  CFrame* frame() const { return f.editor()->getFrame(); }
  orvane::CZELMeterFULLPANEL* panel() const {
    return static_cast<orvane::CZELMeterFULLPANEL*>(f.editor()->getPanel(f.editor()->getCurrentMeter()));
  }
  TableBackPanel* back() const { return dynamic_cast<TableBackPanel*>(panel()->getBackPanel()); }

  CMouseEventResult click(CCoord x, CCoord y, int32_t buttons = kLButton) {
    CPoint p(x, y);
    frame()->platformOnMouseMoved(p, 0);
    p = CPoint(x, y);
    CMouseEventResult r = frame()->platformOnMouseDown(p, buttons);
    p = CPoint(x, y);
    frame()->platformOnMouseUp(p, buttons);
    return r;
  }
  // One wheel notch up (+1) or down (-1) over a point.
  void wheel(CCoord x, CCoord y, int notches, int32_t buttons = 0) {
    for (int n = 0; n < (notches < 0 ? -notches : notches); ++n)
      frame()->platformOnMouseWheel(CPoint(x, y), kMouseWheelAxisY, notches < 0 ? -1.f : 1.f, buttons);
  }
  // The meter selector's middle flips the meter round.
  void flip() { click(195 + 75, 150); }
  // A spot of the plate no control covers (between the title and the
  // hint of how to close).
  void clickEmptySpot() { click(300, 125); }
  // The centre of a control of the plate.
  CPoint centre(int32_t tag) const {
    CRect r = back()->getControl(tag)->getViewSize();
    return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  bool plateOnTop() const {
    CFrame* fr = frame();
    return fr->getNbViews() > 0 && fr->getView(fr->getNbViews() - 1) == back()->getContainer();
  }
  std::string label(int32_t tag) const {
    CTextLabel* l = back()->getValueLabel(tag);
    return l ? l->getText() : "";
  }
  std::string engineText(int32_t index) {
    char text[64] = {};
    f.effect->engines().settingDisplay(index, text);
    return text;
  }
  float registryValue(const char* name) {
    unsigned char b[4];
    float v = -1.f;
    if (f.registry.readBinary4(name, b)) std::memcpy(&v, b, 4);
    return v;
  }
};

}  // namespace backpanels_test
