// The editor with its real meter panels, driven through the effect: audio
// in, idle, and what the panels show and send back.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "controls/CAnimKnob4.h"
#include "display/CZELMeter2.h"
#include "display/CZELMeterFULLPANEL.h"
#include "display/PanelControls.h"
#include "meters/MeterReadout.h"
#include "tests/editor/EditorTestSupport.h"

using namespace editor_test;
using orvane::CZELMeter2;
using orvane::CZELMeterFULLPANEL;

namespace {

// A 1 kHz sine, or with `square` a full-scale square wave of that rate
// (every sample over).
void play(Templete& effect, float amplitude, int blocks, bool square = false) {
  std::vector<float> in(256), l(256), r(256);
  static long phase = 0;
  for (int b = 0; b < blocks; ++b) {
    for (int i = 0; i < 256; ++i) {
      const float s = (float)std::sin(2 * 3.14159265358979323846 * 1000.0 * (phase + i) / 48000.0);
      in[i] = amplitude * (square ? (s >= 0 ? 1.0f : -1.0f) : s);
    }
    phase += 256;
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {l.data(), r.data()};
    effect.processReplacing(ins, outs, 256);
  }
}

CZELMeterFULLPANEL* panelOf(TemepleteEditor* e, int type) {
  return static_cast<CZELMeterFULLPANEL*>(e->getPanel(type));
}

}  // namespace

TEST(EditorPanels, ShowsThePanelOfTheMeterAndFollowsProcessForTheTrim) {
  EditorFixture f(false);
  f.setParameter(orvane::kMeter, 1.0f);
  ASSERT_TRUE(f.open());
  for (int t = 0; t < 3; ++t) {
    ASSERT_NE(panelOf(f.editor(), t), nullptr);
    EXPECT_EQ(panelOf(f.editor(), t)->isShown(), t == 2) << t;
  }
  namespace pc = orvane::panelcontrols;
  CZELMeterFULLPANEL* ppm = panelOf(f.editor(), 2);
  f.setParameter(orvane::kProcess, 1.0f);
  EXPECT_TRUE(pc::isActive(ppm->getControl(1)));
  f.setParameter(orvane::kProcess, 0.0f);
  EXPECT_FALSE(pc::isActive(ppm->getControl(1)));
  EXPECT_FALSE(pc::isActive(panelOf(f.editor(), 0)->getControl(68))) << "hidden panels follow too";
  // Typed trim: the host hears of it and the field shows the effect's text.
  CControl* field = ppm->getControl(68);
  pc::setText(field, "6");
  f.editor()->valueChanged(field);
  EXPECT_FLOAT_EQ(f.effect->getParameter(orvane::kTrim), 0.65f);
  ASSERT_FALSE(f.host.automated.empty());
  EXPECT_EQ(f.host.automated.back(), orvane::kTrim);
  char text[64];
  f.effect->getParameterDisplay(orvane::kTrim, text);
  EXPECT_STREQ(pc::getText(field), text);
  // The selector's value goes to the host, and the panels swap.
  CControl* selector = ppm->getControl(3);
  selector->setValue(0.0f);
  f.editor()->valueChanged(selector);
  EXPECT_TRUE(panelOf(f.editor(), 0)->isShown());
  EXPECT_FALSE(ppm->isShown());
  f.close();
}

// While the host sends no blocks, the needle keeps falling with the clock;
// a host that stops idling and comes back shows the reading of that moment.
TEST(EditorPanels, NeedlesKeepFallingOnTheClockWhenTheHostStops) {
  EditorFixture f(false);
  f.setParameter(orvane::kMeter, 0.0f);
  f.effect->setSampleRate(48000.0f);
  f.effect->resume();
  ASSERT_TRUE(f.open());
  f.clocked()->clock = 100000;
  play(*f.effect, 0.12f, 200);
  play(*f.effect, 0.0f, 1);
  CZELMeter2* view = panelOf(f.editor(), 0)->getView(0);
  std::vector<float> seen;
  for (uint32_t ms : {0u, 30u, 60u, 90u}) {
    f.clocked()->clock = 100000 + ms;
    f.idle();
    seen.push_back(view->getReading());
  }
  for (size_t i = 1; i < seen.size(); ++i) EXPECT_LT(seen[i], seen[i - 1]) << i;
  // Two seconds without idle: the needle is back at rest at once.
  f.clocked()->clock = 102000;
  f.idle();
  EXPECT_NEAR(view->getReading(), -0.05f, 0.02f);
  f.close();
}

TEST(EditorPanels, AClickOnAMeterViewClearsBothLedsAndEveryInfiniteHoldMaximum) {
  EditorFixture f(false);
  f.setParameter(orvane::kMeter, 1.0f);  // PPM
  f.setParameter(orvane::kHold, 0.5f);   // infinite
  f.effect->setSampleRate(48000.0f);
  f.effect->resume();
  ASSERT_TRUE(f.open());
  play(*f.effect, 1.0f, 40, true);
  f.idle();
  CZELMeterFULLPANEL* ppm = panelOf(f.editor(), 2);
  orvane::MeterReadout& readout = f.effect->engines().readout(2);
  EXPECT_GE(ppm->getView(0)->getOverState(), 0);
  EXPECT_GE(ppm->getView(1)->getOverState(), 0);
  EXPECT_GT(readout.infiniteHoldMaximum(0), 0.5);
  CPoint p(100, 60);
  EXPECT_EQ(ppm->getView(1)->onMouseDown(p, CButtonState(kLButton)), kMouseEventHandled);
  for (int t = 0; t < 3; ++t) {
    for (int ch = 0; ch < 2; ++ch)
      EXPECT_LE(f.effect->engines().readout(t).infiniteHoldMaximum(ch), 0.0) << t << " " << ch;
  }
  play(*f.effect, 0.0f, 2);
  f.idle();
  EXPECT_EQ(ppm->getView(0)->getOverState(), -1);
  EXPECT_EQ(ppm->getView(1)->getOverState(), -1);
  f.close();
}

// Session scope: a setting changed in one instance reaches the other while
// its panel shows, by the panel's refresh.
TEST(EditorPanels, TwoInstancesInSessionFollowEachOthersSettingsWhileTheirPanelsShow) {
  EditorFixture f(false);
  f.setParameter(orvane::kGSIcal, 0.5f);
  f.setParameter(orvane::kMeter, 0.0f);
  Templete other(&EditorFixture::callback, f.shared);
  other.setParameter(orvane::kGSIcal, 0.5f);
  ASSERT_TRUE(f.open());
  const float before = f.effect->getParameter(83);
  const float changed = before > 0.5f ? 0.25f : 0.75f;
  other.setParameter(83, changed);
  EXPECT_FLOAT_EQ(f.effect->getParameter(83), before) << "nothing moves until the panel refreshes";
  f.idle();
  EXPECT_FLOAT_EQ(f.effect->getParameter(83), changed);
  EXPECT_FLOAT_EQ(panelOf(f.editor(), 0)->getControl(83)->getValue(), changed);
  char text[64] = {};
  f.effect->engines().settingDisplay(83, text);
  auto* knob = dynamic_cast<CFrontReferenceControl*>(panelOf(f.editor(), 0)->getControl(83));
  ASSERT_NE(knob, nullptr);
  EXPECT_STREQ(knob->getValueText(), text) << "the front knob's text follows too";
  f.close();
}
