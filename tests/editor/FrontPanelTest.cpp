// The front panel's own gestures through the frame, with the real editor
// over the real effect: the reference knob's reset and the scope's way to
// the effect.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "controls/CAnimKnob4.h"
#include "tests/backpanels/BackPanelTestSupport.h"

using backpanels_test::Rig;
using namespace VSTGUI;

// A Control-click or a double-click on the front reference knob puts the
// meter's default reference back, as the same gesture on the plate's knob
// does: -18 dBFS on the VU, 0 dB on the RMS meter, -12 dBFS on the PPM.
TEST(FrontPanel, AResetClickOnTheReferenceKnobPutsTheMetersDefaultBack) {
  const struct {
    int type;
    double db;
  } meters[] = {{0, -18}, {1, 0}, {2, -12}};
  for (const auto& m : meters) {
    for (int32_t gesture : {kLButton | kControl, kLButton | kDoubleClick}) {
      Rig r(m.type);
      const int32_t ref = r.panel()->referenceIndex();
      SCOPED_TRACE(testing::Message() << "setting " << ref << " buttons " << gesture);
      r.f.setParameter(ref, 0.9f);
      auto* knob = dynamic_cast<CFrontReferenceControl*>(r.panel()->getControl(ref));
      ASSERT_NE(knob, nullptr);
      const CRect box = knob->getViewSize();
      r.click(box.left + 40, box.top + 7, gesture);
      EXPECT_FLOAT_EQ(r.f.effect->getParameter(ref),
                      orvane::meterSettingBySlot(orvane::meterSettingSlot(ref)).defaultValue);
      EXPECT_NEAR(std::atof(knob->getValueText()), m.db, 0.05) << knob->getValueText();
    }
  }
}

// A scope picked on the plate or on the front reaches the effect once: the
// editor sends it as the host parameter it is, and nothing sends it again.
TEST(FrontPanel, AScopePickedOnThePlateOrTheFrontReachesTheEffectOnce) {
  for (bool onPlate : {true, false}) {
    Rig r(0);
    r.f.setParameter(2, 0.0f);
    if (onPlate) r.flip();
    auto* editor = r.f.clocked();
    const int before = editor->echoes[2].load();
    const size_t automated = r.f.host.automated.size();
    r.click(32, 6);  // the third choice, Instance
    EXPECT_FLOAT_EQ(r.f.effect->getParameter(2), 1.0f) << onPlate;
    EXPECT_EQ(editor->echoes[2].load() - before, 1) << (onPlate ? "plate" : "front");
    EXPECT_EQ(r.f.host.automated.size() - automated, 1u) << "and the host records it once";
  }
}
