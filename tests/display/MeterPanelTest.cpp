// The full meter panels against a fake effect: what they build and where,
// how parameter changes and control events are routed, and what a refresh
// reads, shows and paints.
#include <gtest/gtest.h>

#include <memory>

#include "controls/CAnimKnob4.h"
#include "display/CZELMeter2.h"
#include "display/CZELMeterFULLPANEL.h"
#include "display/PanelControls.h"
#include "meters/MeterReadout.h"
#include "tests/display/DisplayTestSupport.h"
#if !defined(_WIN32)
#include "toolkit/cairo/nativeframe.h"
#endif

using namespace display_test;
using orvane::CZELMeter2;
using orvane::CZELMeterFULLPANEL;

namespace {

struct Rig {
  explicit Rig(int type, bool withBackPanel = true) {
    locateBitmaps();
    frame = new CFrame(CRect(0, 0, 586, 261), nullptr, nullptr);
    back = withBackPanel ? new FakeBackPanel(backLog) : nullptr;
    panel.reset(static_cast<CZELMeterFULLPANEL*>(orvane::makeMeterPanel(type, &listener, seam, back)));
  }
  ~Rig() {
    panel.reset();
    frame->close();
  }
  // Paints whatever became dirty; answers how many paints that took
  // (natively; a frame without a window on Windows is drawn offscreen whole).
  int paint() {
    frame->idle();
#if defined(_WIN32)
    if (COffscreenContext* c = COffscreenContext::create(frame, 586, 261)) {
      c->beginDraw();
      frame->drawRect(c, CRect(0, 0, 586, 261));
      c->endDraw();
      c->forget();
    }
    return -1;
#else
    return static_cast<NativePlatformFrame*>(frame->getPlatformFrame())->getPaintCount();
#endif
  }
  bool anyViewDirty() const { return panel->getView(0)->isDirty() || panel->getView(1)->isDirty(); }

  FakeSeam seam;
  Listener listener;
  std::vector<std::string> backLog;
  FakeBackPanel* back;
  CFrame* frame;
  std::unique_ptr<CZELMeterFULLPANEL> panel;
};

}  // namespace

TEST(MeterPanel, DoesNothingBeforeItIsBuiltOrAfterItIsTornDown) {
  Rig r(0);
  for (int round = 0; round < 2; ++round) {
    r.panel->parameterChanged(5, 1.0f);
    r.panel->refresh(1.0f);
    r.panel->show();
    EXPECT_EQ(r.seam.count("sync", 0), 0);
    EXPECT_EQ(r.frame->getNbViews(), 0);
    EXPECT_EQ(r.panel->getView(0), nullptr);
    ASSERT_TRUE(r.panel->build(r.frame));
    EXPECT_EQ(r.frame->getNbViews(), 0) << "built, not yet shown";
    r.panel->show();
    r.panel->teardown();
    EXPECT_EQ(r.frame->getNbViews(), 0);
  }
  EXPECT_EQ(r.backLog, (std::vector<std::string>{"build", "detach", "build", "detach"}));
}

TEST(MeterPanel, BuildsEachMetersControlsWhereTheyBelong) {
  struct Case {
    int type;
    const char* viewClass;
    int32_t reference;
  } cases[] = {{0, "CZELVUMeter2", 83}, {1, "CZELRMSMeter2", 72}, {2, "CZELPPMMeter2", 93}};
  for (const Case& c : cases) {
    Rig r(c.type);
    r.seam.values[4] = 1.0f;  // MS
    r.seam.values[5] = 0.5f;  // Hold infinite
    r.seam.values[88] = 0.5f;
    ASSERT_TRUE(r.panel->build(r.frame));
    r.panel->show();
    EXPECT_TRUE(r.panel->isShown());
    EXPECT_EQ(r.panel->getContainer()->getViewSize(), CRect(0, 0, 586, 169));
    EXPECT_EQ(r.panel->referenceIndex(), c.reference);
    struct Place {
      int32_t tag;
      CCoord left, top;
    } places[] = {{3, 195, 144}, {1, 538, 17}, {68, 530, 146}, {0, 531, 1},   {2, 0, 1},           {6, 574, 1},
                  {121, 505, 0}, {4, 8, 144},  {66, 104, 146}, {5, 442, 144}, {c.reference, 96, 1}};
    for (const Place& p : places) {
      CControl* control = r.panel->getControl(p.tag);
      ASSERT_NE(control, nullptr) << c.type << " tag " << p.tag;
      EXPECT_EQ(control->getTag(), p.tag);
      EXPECT_EQ(control->getViewSize().left, p.left) << c.type << " tag " << p.tag;
      EXPECT_EQ(control->getViewSize().top, p.top) << c.type << " tag " << p.tag;
      EXPECT_TRUE(r.panel->getContainer()->isChild(control)) << c.type << " tag " << p.tag;
    }
    EXPECT_EQ(r.panel->getHintLine()->getViewSize(), CRect(304, 0, 496, 14));
    EXPECT_FLOAT_EQ(r.panel->getControl(4)->getValue(), 1.0f);
    EXPECT_FLOAT_EQ(r.panel->getControl(66)->getValue(), 1.0f);
    for (int ch = 0; ch < 2; ++ch) {
      CZELMeter2* v = r.panel->getView(ch);
      EXPECT_TRUE(v->isTypeOf(c.viewClass));
      EXPECT_EQ(v->getViewSize().left, ch == 0 ? 12 : 277);
      EXPECT_EQ(v->getViewSize().top, 18);
      EXPECT_TRUE(v->getHoldVisible());
      EXPECT_EQ(v->getListener(), &r.listener);
    }
    if (c.type == 0) {
      EXPECT_EQ(static_cast<orvane::CZELVUMeter2*>(r.panel->getView(0))->getIllumination(), 2);
    }
    r.panel->hide();
    EXPECT_FALSE(r.panel->isShown());
  }
}

TEST(MeterPanel, ParameterChangesReachTheControlsThatShowThem) {
  Rig r(2);
  ASSERT_TRUE(r.panel->build(r.frame));
  r.panel->show();
  namespace pc = orvane::panelcontrols;
  r.panel->parameterChanged(0, 1.0f);
  EXPECT_FLOAT_EQ(r.panel->getControl(0)->getValue(), 1.0f);
  EXPECT_TRUE(pc::isActive(r.panel->getControl(1)));
  EXPECT_TRUE(pc::isActive(r.panel->getControl(68)));
  r.panel->parameterChanged(0, 0.49f);
  EXPECT_FALSE(pc::isActive(r.panel->getControl(1)));
  EXPECT_FALSE(pc::isActive(r.panel->getControl(68)));

  r.seam.values[1] = 0.65f;
  r.panel->parameterChanged(1, 0.65f);
  EXPECT_FLOAT_EQ(r.panel->getControl(1)->getValue(), 0.65f);
  EXPECT_STREQ(pc::getText(r.panel->getControl(68)), "6.0dB");

  struct Simple {
    int32_t index, tag;
  } simple[] = {{2, 2}, {3, 3}, {4, 4}, {4, 66}, {5, 5}, {6, 6}};
  for (const Simple& s : simple) {
    r.panel->parameterChanged(s.index, 0.5f);
    EXPECT_FLOAT_EQ(r.panel->getControl(s.tag)->getValue(), 0.5f) << s.index;
  }
  for (float hold : {0.0f, 0.24f, 0.25f, 1.0f}) {
    r.panel->parameterChanged(5, hold);
    EXPECT_EQ(r.panel->getView(1)->getHoldVisible(), hold >= 0.25f) << hold;
  }
  // A setting of another meter is not this panel's; its own reference is.
  r.seam.setParameter(93, 0.25f);
  r.panel->parameterChanged(93, 0.25f);
  EXPECT_FLOAT_EQ(r.panel->getControl(93)->getValue(), 0.25f);
  // Only a shown back panel hears of settings.
  EXPECT_TRUE(std::find(r.backLog.begin(), r.backLog.end(), "setting 93") == r.backLog.end());
  r.back->show();
  r.panel->parameterChanged(94, 0.5f);
  EXPECT_EQ(r.backLog.back(), "setting 94");
}

TEST(MeterPanel, RoutesTheBackPanelOverResetTypedTrimAndReferenceEvents) {
  Rig r(1);
  ASSERT_TRUE(r.panel->build(r.frame));
  r.panel->show();
  CControl flip(CRect(0, 0, 1, 1), nullptr, 65);
  r.panel->controlChanged(&flip);
  EXPECT_TRUE(r.back->isShown());
  EXPECT_TRUE(r.panel->isCovered());
  EXPECT_EQ(r.seam.count("set", 65), 0);
  r.panel->controlChanged(&flip);
  EXPECT_FALSE(r.back->isShown());
  EXPECT_EQ(r.seam.count("set", 65), 1) << "closing stores the global settings";

  CControl reset(CRect(0, 0, 1, 1), nullptr, 67);
  r.panel->controlChanged(&reset);
  EXPECT_EQ(r.seam.count("set", 67), 1);

  namespace pc = orvane::panelcontrols;
  struct Typed {
    const char* text;
    float trim;
  } typed[] = {{"6", 0.65f}, {"30", 1.0f}, {"abc", 0.5f}, {"-25", 0.0f}, {"-6.5dB", 0.3375f}};
  CControl* field = r.panel->getControl(68);
  for (const Typed& t : typed) {
    pc::setText(field, t.text);
    r.panel->controlChanged(field);
    ASSERT_NE(r.seam.last("automate"), nullptr);
    EXPECT_EQ(r.seam.last("automate")->index, 1);
    EXPECT_FLOAT_EQ(r.seam.last("automate")->value, t.trim) << t.text;
  }
  CControl* knob = r.panel->getControl(72);
  knob->setValue(0.75f);
  r.panel->controlChanged(knob);
  EXPECT_EQ(r.seam.last("set")->index, 72);
  EXPECT_FLOAT_EQ(r.seam.last("set")->value, 0.75f);
  // Every event also goes to the back panel.
  EXPECT_EQ(r.backLog.back(), "control 72");
}

// With no new blocks x keeps growing, so a falling needle keeps falling;
// the hold follows its own fall, and the RMS needle its mean square.
TEST(MeterPanel, RefreshKeepsFallingNeedlesFallingWhileNoBlocksArrive) {
  for (int type = 0; type < 3; ++type) {
    Rig r(type);
    ASSERT_TRUE(r.panel->build(r.frame));
    r.panel->show();
    for (int b = 0; b < 200; ++b) r.seam.feed(type, 0.1f);
    for (int b = 0; b < 3; ++b) r.seam.feed(type, 0.0f);
    float last = 1e9f;
    for (float x : {0.0f, 1.0f, 5.0f}) {
      r.panel->refresh(x);
      const float reading = r.panel->getView(0)->getReading();
      EXPECT_LT(reading, last) << type << " x " << x;
      EXPECT_FLOAT_EQ(r.panel->getView(1)->getReading(), reading) << "both channels got the same";
      last = reading;
    }
    EXPECT_EQ(r.seam.count("sync", type), 3) << "the engine follows shared settings on every refresh";
  }
}

TEST(MeterPanel, PaintsNothingAtRestOrWhileCoveredButStillReads) {
  Rig r(0);
  ASSERT_TRUE(r.panel->build(r.frame));
  r.panel->show();
  for (int b = 0; b < 4; ++b) r.seam.feed(0, 0.0f);
  r.panel->refresh(0);
  const int first = r.paint();
  EXPECT_FALSE(r.anyViewDirty());
  // Silence, needles at rest: refresh after refresh paints nothing.
  for (int i = 0; i < 5; ++i) {
    r.seam.feed(0, 0.0f);
    r.panel->refresh((float)i);
    EXPECT_FALSE(r.anyViewDirty()) << i;
    EXPECT_EQ(r.paint(), first) << i;
  }
  // Signal moves the needles: painted.
  for (int b = 0; b < 20; ++b) r.seam.feed(0, 0.1f);
  r.panel->refresh(0);
  EXPECT_TRUE(r.anyViewDirty());
  r.paint();
  // Covered by the back panel: read (the needle value follows), not painted.
  r.back->show();
  for (int b = 0; b < 40; ++b) r.seam.feed(0, 0.1f);
  const float before = r.panel->getView(0)->getReading();
  r.panel->refresh(0);
  EXPECT_NE(r.panel->getView(0)->getReading(), before);
  EXPECT_FALSE(r.anyViewDirty());
}

TEST(MeterPanel, RmsNeedleIsTheRootOfTheMeanSquareAsASinesPeak) {
  Rig r(1);
  ASSERT_TRUE(r.panel->build(r.frame));
  r.panel->show();
  for (int b = 0; b < 400; ++b) r.seam.feed(1, 0.25f);
  r.panel->refresh(0);
  auto* v = static_cast<orvane::CZELRMSMeter2*>(r.panel->getView(0));
  const double ms = r.seam.engines.readout(1).readDisplayValue(0.0f, orvane::kMeanSquareReading, 0);
  EXPECT_NEAR(v->getRmsReading(), std::sqrt(ms) * 1.4142, 1e-6);
  EXPECT_GT(v->getRmsReading(), 0.001f);
}

// The mouse through the frame, as the window delivers it: hints on the
// panel's line, the selector's zones.
TEST(MeterPanel, HintsAndSelectorZonesFollowTheMouse) {
  Rig r(0);
  ASSERT_TRUE(r.panel->build(r.frame));
  r.panel->show();
  CTextLabel* line = r.panel->getHintLine();
  ASSERT_NE(r.panel->hintLabel(), nullptr);
  auto move = [&](CCoord x, CCoord y) {
    CPoint p(x, y);
    r.frame->onMouseMoved(p, CButtonState(0));
    return std::string(line->getText());
  };
  const CRect sel = r.panel->getControl(3)->getViewSize();
  const CRect trim = r.panel->getControl(1)->getViewSize();
  r.panel->parameterChanged(0, 0.0f);
  EXPECT_EQ(move(trim.left + 5, trim.top + 60), "Click PROCESS to activate the Trim");
  EXPECT_EQ(move(300, 100), "") << "leaving clears the line";
  r.panel->parameterChanged(0, 1.0f);
  EXPECT_EQ(move(trim.left + 5, trim.top + 60), "");
  EXPECT_EQ(move(sel.left + 5, sel.top + 5), "Changes current meter to PPM3");
  EXPECT_EQ(move(sel.right - 5, sel.top + 5), "Changes current meter to RMS3");
  EXPECT_EQ(move(sel.left + 70, sel.top + 5), "");
  const CRect manual = r.panel->getControl(121)->getViewSize();
  EXPECT_EQ(move(manual.left + 3, manual.top + 3), "Click to open the manual");

  struct Click {
    CCoord x;
    int32_t tag;
    float value;
  } clicks[] = {{sel.left + 5, 3, 1.0f}, {sel.right - 5, 3, 0.5f}, {sel.left + 70, 65, 1.0f}};
  for (const Click& c : clicks) {
    r.listener.tags.clear();
    r.panel->getControl(3)->setValue(0.0f);
    CPoint p(c.x, sel.top + 5);
    r.frame->onMouseMoved(p, CButtonState(0));
    r.frame->onMouseDown(p, CButtonState(kLButton));
    r.frame->onMouseUp(p, CButtonState(kLButton));
    ASSERT_FALSE(r.listener.tags.empty()) << c.x;
    EXPECT_EQ(r.listener.tags.back(), c.tag) << c.x;
    if (c.tag == 3) {
      EXPECT_FLOAT_EQ(r.panel->getControl(3)->getValue(), c.value) << c.x;
    }
  }
}

// The front reference knob of each meter: the engine's text at build, cut
// to 30 characters; value and text follow the setting whichever side
// changed it; it shows only with the strips.
TEST(MeterPanel, TheFrontReferenceKnobShowsTheEnginesTextAndFollowsItsSettingAndTheStrips) {
  for (int type = 0; type < 3; ++type) {
    Rig r(type);
    r.seam.values[6] = 0.0f;  // strips hidden
    ASSERT_TRUE(r.panel->build(r.frame));
    r.panel->show();
    const int32_t ref = r.panel->referenceIndex();
    auto* knob = dynamic_cast<CFrontReferenceControl*>(r.panel->getControl(ref));
    ASSERT_NE(knob, nullptr);
    SCOPED_TRACE(ref);
    char engine[64] = {};
    r.seam.engines.settingDisplay(ref, engine);
    EXPECT_STREQ(knob->getValueText(), engine);
    EXPECT_EQ(knob->getShown(), 0);

    r.seam.setParameter(ref, 0.9f);  // from the host, a project or another instance
    r.panel->parameterChanged(ref, 0.9f);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.9f);
    r.seam.engines.settingDisplay(ref, engine);
    EXPECT_STREQ(knob->getValueText(), engine);

    r.seam.displayTexts[ref] = "0123456789012345678901234567890123456789";
    r.panel->parameterChanged(ref, 0.9f);
    EXPECT_STREQ(knob->getValueText(), "012345678901234567890123456789");

    for (float strips : {1.0f, 0.49f, 0.5f}) {
      r.paint();
      r.panel->parameterChanged(6, strips);
      EXPECT_EQ(knob->getShown(), strips >= 0.5f ? 1 : 0) << strips;
      EXPECT_TRUE(knob->isDirty()) << strips;
    }
  }
}

// The VU's face lights at the backlight setting's level, int(4v + 0.5),
// from the moment it changes after the build: both faces are repainted,
// and only when the level changes.
TEST(MeterPanel, TheVuFacesFollowTheBacklightSettingAfterTheBuild) {
  Rig r(0);
  ASSERT_TRUE(r.panel->build(r.frame));
  r.panel->show();
  const struct {
    float value;
    int level;
  } levels[] = {{0.0f, 0}, {0.3f, 1}, {0.5f, 2}, {0.62f, 2}, {0.63f, 3}, {1.0f, 4}};
  int lit = 2;  // the default, 0.5
  for (const auto& l : levels) {
    r.paint();
    ASSERT_FALSE(r.anyViewDirty());
    r.seam.setParameter(88, l.value);
    r.panel->parameterChanged(88, l.value);
    for (int ch = 0; ch < 2; ++ch) {
      auto* v = static_cast<orvane::CZELVUMeter2*>(r.panel->getView(ch));
      EXPECT_EQ(v->getIllumination(), l.level) << l.value << " channel " << ch;
      EXPECT_EQ(v->isDirty(), l.level != lit) << "repainted when the level changes: " << l.value << " channel " << ch;
    }
    lit = l.level;
  }
}
