// The needle views: where each meter puts a reading, what they accept, when
// they ask to be painted, and what a click does.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "display/CZELMeter2.h"
#include "tests/display/DisplayTestSupport.h"

using namespace display_test;
using orvane::CZELMeter2;
using orvane::CZELPPMMeter2;
using orvane::CZELRMSMeter2;
using orvane::CZELVUMeter2;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

CZELMeter2* makeView(int type, CControlListener* l = nullptr) {
  if (type == 0) return new CZELVUMeter2(CPoint(12, 18), l);
  if (type == 1) return new CZELRMSMeter2(CPoint(12, 18), l);
  return new CZELPPMMeter2(CPoint(12, 18), l);
}

struct ViewGuard {
  explicit ViewGuard(CZELMeter2* v) : v(v) {}
  ~ViewGuard() { v->forget(); }
  CZELMeter2* operator->() const { return v; }
  CZELMeter2* v;
};

// Draws the view into an offscreen context the size of its container.
void drawOnce(CZELMeter2* v) {
  COffscreenContext* c = COffscreenContext::create(nullptr, 300, 150);
  ASSERT_NE(c, nullptr);
  c->beginDraw();
  v->draw(c);
  c->endDraw();
  c->forget();
}

}  // namespace

TEST(MeterView, PutsEachReadingAtItsScalesAngleAndClampsWhatItIsGiven) {
  struct Case {
    int type;
    float given;
    float stored;
    double degrees;
  } cases[] = {
      // VU: rest just left of 136.5, +3 VU at 45.5, the top stop just right.
      {0, -0.05f, -0.05f, 136.5 + 91 * 0.05 / 1.44},
      {0, 0.0f, 0.0f, 136.5},
      {0, 1.0f, 1.0f, 136.5 - 91 * std::pow(1 / 1.44, 1.2)},
      {0, 1.44f, 1.44f, 45.5},
      {0, 1.5f, 1.5f, 136.5 - 91 * std::pow(1.5 / 1.44, 1.2)},
      {0, -3.0f, -0.05f, 136.5 + 91 * 0.05 / 1.44},
      {0, 9.0f, 1.5f, 136.5 - 91 * std::pow(1.5 / 1.44, 1.2)},
      {0, kNaN, -0.05f, 136.5 + 91 * 0.05 / 1.44},
      // PPM: the low stop, the reference, the high stop.
      {2, 0.0001f, 0.0001f, 150.0},
      {2, 1.0f, 1.0f, 180.0 - 20 * std::log10(16.0) * 3.75},
      {2, 32.0f, 32.0f, 30.0},
      {2, 0.0f, 0.0001f, 150.0},
      {2, 1000.0f, 32.0f, 30.0},
      {2, kNaN, 0.0001f, 150.0},
      // RMS: 0 dB at 51.89, the low stop.
      {1, 1.0f, 1.0f, 38.96 + 99.12 * 6 / 46},
      {1, 0.0001f, 0.0001f, 145.0},
      {1, -1.0f, 0.0001f, 145.0},
      {1, kNaN, 0.0001f, 145.0},
  };
  for (const Case& c : cases) {
    ViewGuard v(makeView(c.type));
    v->setReading(c.given);
    v->setHoldReading(c.given);
    EXPECT_FLOAT_EQ(v->getReading(), c.stored) << c.type << " " << c.given;
    EXPECT_FLOAT_EQ(v->getHoldReading(), c.stored) << c.type << " " << c.given;
    EXPECT_NEAR(v->angleOf(v->getReading()), c.degrees, 0.01) << c.type << " " << c.given;
  }
  ViewGuard rms(makeView(1));
  static_cast<CZELRMSMeter2*>(rms.v)->setRmsReading(std::sqrt(-1.0f));
  EXPECT_FLOAT_EQ(static_cast<CZELRMSMeter2*>(rms.v)->getRmsReading(), 0.0001f);
}

TEST(MeterView, HasTheGeometryOfItsInstrument) {
  ViewGuard vu(makeView(0)), rms(makeView(1)), ppm(makeView(2));
  EXPECT_EQ(vu->getViewSize(), CRect(12, 18, 262, 140));
  EXPECT_EQ(vu->getPivot(), CPoint(140, 173));
  EXPECT_EQ(vu->getLedRect(), CRect(193, 108, 213, 128));
  EXPECT_EQ(static_cast<CZELVUMeter2*>(vu.v)->getBottomStrip(), CRect(12, 134, 262, 140));
  EXPECT_EQ(ppm->getViewSize(), CRect(12, 18, 262, 134));
  EXPECT_EQ(ppm->getPivot(), CPoint(138, 18 + 149.8));
  EXPECT_EQ(rms->getLedRect(), CRect(222, 32, 242, 52));
  EXPECT_FLOAT_EQ(ppm->getNeedleOuter(), 121);
  EXPECT_FLOAT_EQ(rms->getNeedleOuter(), 120);
  EXPECT_FLOAT_EQ(rms->getHoldInner(), 103);
  EXPECT_TRUE(vu->isTypeOf("CZELMeter2"));
  EXPECT_TRUE(vu->isTypeOf("CControl"));
  CView* copy = rms->newCopy();
  EXPECT_TRUE(copy->isTypeOf("CZELRMSMeter2"));
  copy->forget();
}

// What asks for a repaint: only a change that moves a stroke by a pixel or
// changes the LED, the face or the hold mark's presence.
TEST(MeterView, AsksToBePaintedOnlyWhenItsPictureChanges) {
  locateBitmaps();
  struct Step {
    const char* what;
    std::function<void(CZELMeter2*)> change;
    bool repaint;
  } steps[] = {
      {"nothing", [](CZELMeter2*) {}, false},
      {"same reading again", [](CZELMeter2* v) { v->setReading(v->getReading()); }, false},
      {"a hair's move", [](CZELMeter2* v) { v->setReading(v->getReading() * 1.0001f); }, false},
      {"a visible move", [](CZELMeter2* v) { v->setReading(v->getReading() * 1.5f); }, true},
      {"hold moves while hidden", [](CZELMeter2* v) { v->setHoldReading(v->getReading() * 0.5f); }, false},
      {"hold shown", [](CZELMeter2* v) { v->setHoldVisible(true); }, true},
      {"hold moves while shown", [](CZELMeter2* v) { v->setHoldReading(v->getHoldReading() * 1.5f); }, true},
      {"LED latched", [](CZELMeter2* v) { v->setOverState(0); }, true},
      {"LED latched again", [](CZELMeter2* v) { v->setOverState(0); }, false},
      {"LED over", [](CZELMeter2* v) { v->setOverState(7); }, true},
  };
  for (int type = 0; type < 3; ++type) {
    ViewGuard v(makeView(type));
    v->setReading(0.5f);
    EXPECT_TRUE(v->updateDirty()) << "never drawn";
    drawOnce(v.v);
    EXPECT_FALSE(v->isDirty());
    for (const Step& s : steps) {
      s.change(v.v);
      EXPECT_EQ(v->updateDirty(), s.repaint) << type << ": " << s.what;
      EXPECT_EQ(v->isDirty(), s.repaint) << type << ": " << s.what;
      drawOnce(v.v);
    }
  }
  ViewGuard vu(makeView(0));
  drawOnce(vu.v);
  static_cast<CZELVUMeter2*>(vu.v)->setIllumination(3);
  EXPECT_TRUE(vu->updateDirty());
  static_cast<CZELVUMeter2*>(vu.v)->setIllumination(99);
  EXPECT_EQ(static_cast<CZELVUMeter2*>(vu.v)->getIllumination(), 4);
  ViewGuard rms(makeView(1));
  drawOnce(rms.v);
  static_cast<CZELRMSMeter2*>(rms.v)->setRmsReading(1.0f);
  EXPECT_TRUE(rms->updateDirty()) << "the RMS needle is a stroke of its own";
}

TEST(MeterView, ALeftClickReportsTheOverResetAndOtherButtonsAreNotTaken) {
  Listener listener;
  for (int type = 0; type < 3; ++type) {
    ViewGuard v(makeView(type, &listener));
    CPoint p(100, 60);
    listener.tags.clear();
    EXPECT_EQ(v->onMouseDown(p, CButtonState(kRButton)), kMouseEventNotHandled);
    EXPECT_TRUE(listener.tags.empty());
    EXPECT_EQ(v->onMouseDown(p, CButtonState(kLButton)), kMouseEventHandled);
    ASSERT_EQ(listener.tags.size(), 1u);
    EXPECT_EQ(listener.tags[0], 67);
  }
}

// Only the places a stroke leaves and takes are repainted; the LED alone
// for an over; the whole face for a change of its lamp.
TEST(MeterView, RepaintsOnlyWhereThePictureChanged) {
  ViewGuard v(makeView(0));
  auto* vu = static_cast<CZELVUMeter2*>(v.v);
  v->setReading(0.2f);
  drawOnce(v.v);
  v->setReading(0.3f);
  ASSERT_TRUE(v->updateDirty());
  const CRect needle = v->getChangedArea();
  EXPECT_FALSE(needle.isEmpty());
  EXPECT_LT(needle.getWidth() * needle.getHeight(), v->getWidth() * v->getHeight() / 3);
  for (float reading : {0.2f, 0.3f}) {
    const double t = v->angleOf(reading) * 3.14159265358979323846 / 180.0;
    const CPoint tip(v->getPivot().x + 0.5 + 134 * std::cos(t), v->getPivot().y + 0.5 - 134 * std::sin(t));
    EXPECT_TRUE(needle.pointInside(tip)) << reading;
  }
  drawOnce(v.v);
  EXPECT_TRUE(v->getChangedArea().isEmpty());
  v->setOverState(1);
  ASSERT_TRUE(v->updateDirty());
  EXPECT_EQ(v->getChangedArea(), v->getLedRect());
  drawOnce(v.v);
  vu->setIllumination(4);
  ASSERT_TRUE(v->updateDirty());
  EXPECT_EQ(v->getChangedArea(), v->getViewSize());
}
