// The plates' knobs and buttons worked with the wheel and the reset click
// through the frame, against the steps the product's description gives
// each knob (one dB of a reference, one position of a stepped setting).
#include <cmath>

#include "controls/CAnimKnob4.h"
#include "settings/SharedSettings.h"
#include "tests/backpanels/BackPanelTestSupport.h"

using namespace backpanels_test;

namespace {

// One wheel notch of each knob, as a fraction of its range: 1 / steps.
// A stepped knob moves one position a notch, with Shift as well.
struct Notch {
  int type;
  int32_t tag;
  int steps;
  bool stepped;
};
const Notch kNotches[] = {
    {0, 83, 24, false}, {0, 84, 12, false}, {0, 85, 12, false}, {0, 88, 4, true},   {0, 90, 3, true},
    {0, 89, 9, true},   {2, 93, 24, false}, {2, 94, 30, false}, {2, 95, 12, false}, {2, 96, 12, false},
    {2, 99, 3, true},   {2, 98, 9, true},   {1, 72, 30, false}, {1, 74, 30, false}, {1, 73, 30, false},
    {1, 75, 30, false}, {1, 76, 30, false}, {1, 79, 6, true},   {1, 78, 9, true},
};

// The RMS meter keeps its times on their knob positions, 1/80 apart.
float tolerance(int32_t tag) { return tag >= 73 && tag <= 76 ? 0.5f / 80 : 1e-5f; }

}  // namespace

TEST(BackPanelKnobs, ANotchTurnsEachKnobByItsStepAndShiftByATenthOfAContinuousOne) {
  for (int type : {0, 2, 1}) {
    Rig r(type);
    r.flip();
    ASSERT_TRUE(r.back()->isShown());
    for (const Notch& n : kNotches) {
      if (n.type != type) continue;
      SCOPED_TRACE(n.tag);
      r.f.setParameter(n.tag, 0.5f);
      const CPoint at = r.centre(n.tag);
      const float start = r.f.effect->getParameter(n.tag);
      r.wheel(at.x, at.y, 1);
      const float up = r.f.effect->getParameter(n.tag);
      EXPECT_NEAR(up - start, 1.0f / n.steps, tolerance(n.tag));
      EXPECT_FLOAT_EQ(r.back()->getControl(n.tag)->getValue(), up) << "the knob shows what the effect holds";
      r.wheel(at.x, at.y, -1, kShift);
      const float fine = (n.stepped ? 1.0f : 0.1f) / n.steps;
      if (!(n.tag >= 73 && n.tag <= 76)) {  // a tenth of an RMS time is less than one of its positions
        EXPECT_NEAR(up - r.f.effect->getParameter(n.tag), fine, tolerance(n.tag));
      }
    }
  }
}

// Wheeled from the bottom, a stepped knob lands on each of its positions
// in turn and shows a new frame each time, then stops at the top.
TEST(BackPanelKnobs, ASteppedKnobMovesExactlyOnePositionPerNotch) {
  for (int type : {0, 2, 1}) {
    Rig r(type);
    r.flip();
    for (const Notch& n : kNotches) {
      if (n.type != type || !n.stepped) continue;
      SCOPED_TRACE(n.tag);
      r.f.setParameter(n.tag, 0.0f);
      auto* knob = dynamic_cast<CAnimKnob4*>(r.back()->getControl(n.tag));
      ASSERT_NE(knob, nullptr);
      const CPoint at = r.centre(n.tag);
      int frame = knob->frameIndex();
      for (int p = 1; p <= n.steps + 1; ++p) {
        r.wheel(at.x, at.y, 1);
        const int position = (int)std::lround(r.f.effect->getParameter(n.tag) * n.steps);
        EXPECT_EQ(position, std::min(p, n.steps)) << "notch " << p;
        if (p <= n.steps) {
          EXPECT_GT(knob->frameIndex(), frame) << "notch " << p;
        }
        frame = knob->frameIndex();
      }
    }
  }
}

// Each two-state button of the plates: the wheel up turns it on, down off,
// and a further notch the same way changes nothing.
TEST(BackPanelButtons, TheWheelUpTurnsOnAndDownTurnsOff) {
  const struct {
    int type;
    int32_t tag;
  } buttons[] = {{0, 86}, {0, 91}, {2, 100}, {1, 81}, {1, 80}};
  for (const auto& b : buttons) {
    Rig r(b.type);
    r.flip();
    SCOPED_TRACE(b.tag);
    r.f.setParameter(b.tag, 0.0f);
    const CPoint at = r.centre(b.tag);
    const int notches[] = {1, 1, -1, -1, 1};
    const float after[] = {1, 1, 0, 0, 1};
    for (int i = 0; i < 5; ++i) {
      r.wheel(at.x, at.y, notches[i]);
      EXPECT_FLOAT_EQ(r.f.effect->getParameter(b.tag), after[i]) << "notch " << i;
      EXPECT_FLOAT_EQ(r.back()->getControl(b.tag)->getValue(), after[i]) << "notch " << i;
    }
  }
}

// A Control-click on any knob of a plate puts its setting's default back,
// and the value label shows the engine's text for it.
TEST(BackPanelKnobs, AControlClickPutsTheSettingsDefaultBack) {
  for (int type : {0, 2, 1}) {
    Rig r(type);
    r.flip();
    for (const Notch& n : kNotches) {
      if (n.type != type) continue;
      SCOPED_TRACE(n.tag);
      r.f.setParameter(n.tag, 0.05f);
      const CPoint at = r.centre(n.tag);
      r.click(at.x, at.y, kLButton | kControl);
      EXPECT_FLOAT_EQ(r.f.effect->getParameter(n.tag),
                      orvane::meterSettingBySlot(orvane::meterSettingSlot(n.tag)).defaultValue);
      if (r.back()->getValueLabel(n.tag)) {
        EXPECT_EQ(r.label(n.tag), r.engineText(n.tag));
      }
      EXPECT_TRUE(r.back()->isShown());
    }
  }
}
