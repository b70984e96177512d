// The three back panels in the real editor: every control of every table
// at its place with its tag and tuning, the stepped knobs' frames, edits
// reaching the engine and the store of each scope, and the flip.
#include <cmath>
#include <cstring>
#include <thread>

#include "backpanels/SteppedKnobs.h"
#include "settings/SharedSettings.h"
#include "tests/backpanels/BackPanelTestSupport.h"

using namespace backpanels_test;
using orvane::BackPanel;

namespace {

// What each panel must hold, as the settings and their plate are designed:
// tag, class, left, top, width, height.
struct Expected {
  int32_t tag;
  const char* cls;
  CCoord left, top, width, height;
};
const Expected kVu[] = {
    {83, "CAnimKnob4", 24, 36, 43, 41},
    {84, "CAnimKnob4", 105, 35, 43, 41},
    {85, "CAnimKnob4", 64, 111, 43, 41},
    {88, "CVuBackLitKnob", 195, 35, 43, 41},
    {90, "CVuLedRefKnob", 434, 35, 43, 41},
    {89, "CVuOverLedKnob", 475, 111, 43, 41},
    {87, "CZELHorizontalSwitch", 215, 127, 70, 41},
    {86, "CZELOnOffButton", 140, 127, 65, 41},
    {91, "CZELOnOffButton", 532, 12, 54, 97},
};
const Expected kPpm[] = {
    {93, "CAnimKnob4", 24, 36, 43, 41},
    {94, "CAnimKnob4", 137, 35, 43, 41},
    {95, "CAnimKnob4", 80, 111, 43, 41},
    {96, "CAnimKnob4", 192, 111, 43, 41},
    {99, "CPpmLedRefKnob", 418, 35, 43, 41},
    {98, "CPpmOverLedKnob", 475, 111, 43, 41},
    {97, "CZELHorizontalSwitch", 200, 36, 70, 67},
    {100, "CZELOnOffButton", 532, 12, 54, 97},
};
const Expected kRms[] = {
    {72, "CAnimKnob4", 54, 35, 43, 41},        {74, "CAnimKnob4", 147, 35, 43, 41},
    {73, "CAnimKnob4", 24, 113, 43, 41},       {75, "CAnimKnob4", 118, 113, 43, 41},
    {76, "CAnimKnob4", 213, 113, 43, 41},      {79, "CRmsLedRefKnob", 434, 35, 43, 41},
    {78, "CRmsOverLedKnob", 498, 113, 43, 41}, {77, "CZELHorizontalSwitch", 223, 50, 70, 41},
    {81, "CZELOnOffButton", 474, 28, 54, 57},  {80, "CZELOnOffButton", 532, 12, 54, 97},
};
struct PanelCase {
  int type;
  const Expected* rows;
  size_t count;
  CCoord width;
  int labels;
};
const PanelCase kPanels[] = {{0, kVu, 9, 586, 3}, {2, kPpm, 8, 585, 4}, {1, kRms, 10, 586, 5}};

}  // namespace

TEST(BackPanels, BuildEveryControlOfTheirTableAtItsPlaceWithItsTagAndTuning) {
  for (const PanelCase& pc : kPanels) {
    Rig r(pc.type);
    TableBackPanel* back = r.back();
    ASSERT_NE(back, nullptr) << pc.type;
    EXPECT_FALSE(back->isShown());
    CRect plate = back->getContainer()->getViewSize();
    EXPECT_EQ(plate, CRect(0, 0, pc.width, 261));
    const orvane::BackPanelTable& t = back->getTable();
    ASSERT_EQ(t.controlCount, pc.count);
    for (size_t i = 0; i < pc.count; ++i) {
      const Expected& e = pc.rows[i];
      SCOPED_TRACE(testing::Message() << "panel " << pc.type << " tag " << e.tag);
      CControl* c = back->getControl(e.tag);
      ASSERT_NE(c, nullptr);
      EXPECT_EQ(t.controls[i].tag, e.tag) << "built in the table's order";
      EXPECT_EQ(c->getTag(), e.tag);
      EXPECT_TRUE(c->isTypeOf(e.cls)) << e.cls;
      EXPECT_EQ(c->getViewSize(), CRect(e.left, e.top, e.left + e.width, e.top + e.height));
      EXPECT_EQ(c->getListener(), r.f.editor()) << "the editor hears every control";
      EXPECT_FLOAT_EQ(c->getValue(), r.f.effect->getParameter(e.tag));
      if (auto* k = dynamic_cast<CAnimKnob4*>(c)) {
        const bool stepped = dynamic_cast<orvane::CSteppedKnob*>(c) != nullptr;
        EXPECT_FLOAT_EQ(k->getDefaultValue(), orvane::meterSettingBySlot(orvane::meterSettingSlot(e.tag)).defaultValue)
            << "a reset click puts back the setting's default";
        EXPECT_FLOAT_EQ(k->getDragScale(), stepped ? 0.1f : 0.2f);
        EXPECT_FLOAT_EQ(k->getDragFineFactor(), stepped ? 1.f : 10.f);
        EXPECT_FLOAT_EQ(k->getWheelFineFactor(), stepped ? 1.f : 0.1f);
      }
    }
    // The scope selector and strip, the value labels and the version.
    ASSERT_NE(back->getScopeSelector(), nullptr);
    EXPECT_EQ(back->getScopeSelector()->getTag(), 2);
    EXPECT_EQ(back->getScopeStrip()->getViewSize(), CRect(0, 180, 586, 191));
    ASSERT_EQ((int)t.labelCount, pc.labels);
    for (size_t i = 0; i < t.labelCount; ++i) {
      const int32_t tag = t.labels[i].tag;
      ASSERT_NE(back->getValueLabel(tag), nullptr);
      EXPECT_EQ(back->getValueLabel(tag)->getViewSize(), orvane::rectOf(t.labels[i].rect));
      EXPECT_EQ(r.label(tag), r.engineText(tag)) << tag;
      EXPECT_EQ(back->getValueLabel(tag)->getFontColor(), CColor(200, 193, 193, 255));
    }
    char version[32];
    orvane::versionText((int32_t)r.f.dispatch(effGetVendorVersion), version, sizeof version);
    ASSERT_NE(back->getVersionLabel(), nullptr);
    EXPECT_STREQ(back->getVersionLabel()->getText(), version);
    EXPECT_STREQ(version, "v.3.0.5");
  }
}

// Every position of every stepped setting draws the frame its mark is
// printed at: round(50 x fraction of the travel).
TEST(SteppedKnobs, DrawTheFrameOfEveryPositionOfTheirSetting) {
  struct Case {
    int32_t tag;  // on its panel
    int meterType;
    int positions;
    std::vector<double> fractions;
  };
  std::vector<double> over9 = {0.4 / 9, 1 / 9., 2 / 9., 3 / 9., 4 / 9., 5 / 9., 6 / 9., 7 / 9., 7.8 / 9, 8.7 / 9};
  std::vector<double> rmsOver9 = over9;
  rmsOver9[8] = 8 / 9.;
  rmsOver9[9] = 8.5 / 9;
  const std::vector<Case> cases = {
      {79, 1, 7, {0, 1 / 6., 2 / 6., 3 / 6., 4 / 6., 5 / 6., 1}},
      {78, 1, 10, rmsOver9},
      {89, 0, 10, over9},
      {98, 2, 10, over9},
      {90, 0, 4, {0.1, 0.38, 0.62, 0.9}},
      {99, 2, 4, {0.1, 0.38, 0.62, 0.9}},
      {88, 0, 5, {0.3, 0.4, 0.5, 0.6, 0.7}},
  };
  for (const Case& c : cases) {
    Rig r(c.meterType);
    auto* knob = dynamic_cast<orvane::CSteppedKnob*>(r.back()->getControl(c.tag));
    ASSERT_NE(knob, nullptr) << c.tag;
    const int n = c.positions - 1;
    for (int p = 0; p <= n; ++p) {
      const int frame = (int)(50 * c.fractions[p] + 0.5);
      // The stored value stays continuous: anything that rounds to p.
      for (double v : {(double)p / n, (p - 0.49) / n, (p + 0.49) / n}) {
        if (v < 0 || v > 1) continue;
        knob->setValue((float)v);
        EXPECT_EQ(knob->position(), p) << c.tag << " at " << v;
        EXPECT_EQ(knob->frameIndex(), frame) << c.tag << " at " << v;
      }
    }
    // Out of range or not a number: the nearest end, never a frame outside
    // the strip.
    const int first = (int)(50 * c.fractions.front() + 0.5), last = (int)(50 * c.fractions.back() + 0.5);
    for (auto [v, frame] : {std::pair<float, int>{NAN, first}, {-3.f, first}, {7.f, last}, {INFINITY, last}}) {
      knob->setValue(v);
      EXPECT_EQ(knob->frameIndex(), frame) << c.tag << " at " << v;
    }
  }
}

// A row of edits on each panel, made with the mouse, in each scope: the
// effect, the engine and the store of that scope take the value; the other
// stores keep theirs; the control and its label show what the engine made
// of it.
TEST(BackPanels, EditsReachTheEngineAndTheStoreOfTheScope) {
  struct Edit {
    int type;
    int32_t tag;
    enum { kWheelUp, kWheelDown, kClick } how;
  };
  const Edit edits[] = {
      {0, 83, Edit::kWheelUp}, {0, 84, Edit::kWheelDown}, {0, 88, Edit::kWheelDown}, {0, 89, Edit::kWheelUp},
      {0, 87, Edit::kClick},   {0, 86, Edit::kClick},     {0, 91, Edit::kClick},     {2, 93, Edit::kWheelDown},
      {2, 96, Edit::kWheelUp}, {2, 99, Edit::kWheelDown}, {2, 97, Edit::kClick},     {2, 100, Edit::kClick},
      {1, 72, Edit::kWheelUp}, {1, 73, Edit::kWheelDown}, {1, 79, Edit::kWheelDown}, {1, 78, Edit::kWheelUp},
      {1, 77, Edit::kClick},   {1, 81, Edit::kClick},     {1, 80, Edit::kClick},
  };
  for (int scope = 0; scope < 3; ++scope) {
    for (int type : {0, 2, 1}) {
      Rig r(type);
      r.f.setParameter(2, scope * 0.5f);
      r.flip();
      ASSERT_TRUE(r.back()->isShown()) << "scope " << scope << " meter " << type;
      for (const Edit& e : edits) {
        if (e.type != type) continue;
        SCOPED_TRACE(testing::Message() << "scope " << scope << " tag " << e.tag);
        const float before = r.f.effect->getParameter(e.tag);
        const float global = r.f.shared.storeValue(0, e.tag), session = r.f.shared.storeValue(1, e.tag);
        CPoint at = r.centre(e.tag);
        if (e.how == Edit::kClick) {
          // The switch's last position, or the button toggled.
          CRect box = r.back()->getControl(e.tag)->getViewSize();
          r.click(e.tag == 87 || e.tag == 97 || e.tag == 77 ? box.right - 3 : at.x, at.y);
        } else {
          r.wheel(at.x, at.y, e.how == Edit::kWheelUp ? 1 : -1);
        }
        const float after = r.f.effect->getParameter(e.tag);
        EXPECT_NE(after, before);
        EXPECT_FLOAT_EQ(r.back()->getControl(e.tag)->getValue(), after);
        EXPECT_FLOAT_EQ(r.f.effect->engines().getSetting(e.tag), after);
        if (r.back()->getValueLabel(e.tag)) {
          EXPECT_EQ(r.label(e.tag), r.engineText(e.tag));
        }
        // What the scope keeps (the RMS times are stored on their positions).
        const float kept = scope == 0   ? r.f.shared.storeValue(0, e.tag)
                           : scope == 1 ? r.f.shared.storeValue(1, e.tag)
                                        : after;
        EXPECT_NEAR(kept, after, 0.0125f);
        if (scope != 0) {
          EXPECT_FLOAT_EQ(r.f.shared.storeValue(0, e.tag), global);
        }
        if (scope != 1) {
          EXPECT_FLOAT_EQ(r.f.shared.storeValue(1, e.tag), session);
        }
        EXPECT_TRUE(r.back()->isShown()) << "a control's click does not close the plate";
      }
    }
  }
}
