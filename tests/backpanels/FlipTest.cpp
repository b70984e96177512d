// Turning a meter round and back: what closes the plate and what does not,
// the registry write on every close, the scope selector's width, the
// stacking over the meter and the strips, and values that arrive from
// elsewhere (another instance, the host's audio thread, a project).
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "settings/SharedSettings.h"
#include "state/StateChunk.h"
#include "tests/backpanels/BackPanelTestSupport.h"

using namespace backpanels_test;
using orvane::BackPanel;

namespace {

const int kTypes[] = {0, 2, 1};

// The number a label's text starts with ("-17.0 dBFS" is -17).
double number(const std::string& s) { return std::atof(s.c_str()); }

}  // namespace

// A close writes the Global store of every meter type, even when nothing
// changed and whatever the scope; an edit made in another scope leaves the
// registry with the Global values.
TEST(BackPanelFlip, EveryCloseWritesTheGlobalSettingsInEveryScope) {
  for (int scope = 0; scope < 3; ++scope) {
    for (int type : kTypes) {
      Rig r(type);
      r.f.setParameter(2, scope * 0.5f);
      SCOPED_TRACE(testing::Message() << "scope " << scope << " meter " << type);
      r.flip();
      ASSERT_TRUE(r.back()->isShown());
      ASSERT_TRUE(r.plateOnTop());
      EXPECT_TRUE(r.f.registry.binary.empty()) << "opening writes nothing";
      r.clickEmptySpot();
      EXPECT_FALSE(r.back()->isShown());
      EXPECT_FALSE(r.frame()->isChild(r.back()->getContainer()));
      EXPECT_EQ(r.f.registry.binary.size(), (size_t)orvane::kMeterSettingCount) << "unchanged, and still written";
      for (int slot = 0; slot < orvane::kMeterSettingCount; ++slot) {
        const orvane::MeterSettingInfo& s = orvane::meterSettingBySlot(slot);
        EXPECT_FLOAT_EQ(r.registryValue(s.registryName), r.f.shared.storeValue(0, s.index)) << s.registryName;
      }
      // An edit of the reference, then a close: the registry holds what the
      // Global store holds, the edit only in scope Global.
      r.flip();
      const int32_t ref = r.panel()->referenceIndex();
      const float global = r.f.shared.storeValue(0, ref);
      CPoint at = r.centre(ref);
      r.wheel(at.x, at.y, -2);
      r.clickEmptySpot();
      const float stored = r.registryValue(orvane::meterSettingBySlot(orvane::meterSettingSlot(ref)).registryName);
      if (scope == 0)
        EXPECT_FLOAT_EQ(stored, r.f.effect->getParameter(ref));
      else
        EXPECT_FLOAT_EQ(stored, global);
    }
  }
}

TEST(BackPanelFlip, ClicksOnControlsKeepThePlateAndTheMeterUnderItTakesNothing) {
  for (int type : kTypes) {
    Rig r(type);
    r.flip();
    const orvane::BackPanelTable& t = r.back()->getTable();
    for (size_t i = 0; i < t.controlCount; ++i) {
      CPoint at = r.centre(t.controls[i].tag);
      EXPECT_NE(r.click(at.x, at.y), kMouseEventNotHandled);
      EXPECT_TRUE(r.back()->isShown()) << t.controls[i].tag;
    }
    // The scope selector, even right of its three choices.
    r.click(7, 5);
    r.click(60, 5);
    EXPECT_TRUE(r.back()->isShown());
    // Over the meter selector and a meter view (both under the plate), the
    // wheel and a click reach only the plate.
    const float meter = r.f.effect->getParameter(3);
    r.wheel(270, 150, 1);
    EXPECT_FLOAT_EQ(r.f.effect->getParameter(3), meter);
    EXPECT_TRUE(r.back()->isShown());
    r.click(210, 160);  // where the previous-meter key lies under the plate
    EXPECT_FLOAT_EQ(r.f.effect->getParameter(3), meter);
    EXPECT_FALSE(r.back()->isShown()) << "an empty spot of the plate";
  }
}

// One notch is 1 dB on every reference knob, 0.1 dB with Shift.
TEST(BackPanelFlip, AReferenceKnobTurnsOneDbANotchAndATenthWithShift) {
  for (int type : kTypes) {
    Rig r(type);
    r.flip();
    const int32_t ref = r.panel()->referenceIndex();
    CPoint at = r.centre(ref);
    const double start = number(r.label(ref));
    r.wheel(at.x, at.y, 1);
    EXPECT_NEAR(number(r.label(ref)) - start, 1.0, 1e-3) << r.label(ref);
    r.wheel(at.x, at.y, -1, kShift);
    EXPECT_NEAR(number(r.label(ref)) - start, 0.9, 1e-3) << r.label(ref);
    // A reset click brings the default back.
    r.click(at.x, at.y, kLButton | kDoubleClick);
    EXPECT_FLOAT_EQ(r.f.effect->getParameter(ref),
                    orvane::meterSettingBySlot(orvane::meterSettingSlot(ref)).defaultValue);
    EXPECT_NEAR(number(r.label(ref)), type == 0 ? -18 : type == 2 ? -12 : 0, 0.05);
  }
}

TEST(BackPanelFlip, TheScopeSelectorIsNarrowWithTheStripsAndWideWithoutOnEveryShow) {
  Rig r(0, true);
  r.flip();
  EXPECT_EQ(r.back()->getScopeSelector()->getViewSize(), CRect(0, 1, 86, 12));
  r.clickEmptySpot();
  r.f.setParameter(6, 0.f);  // strips hidden while the plate is down
  r.flip();
  EXPECT_EQ(r.back()->getScopeSelector()->getViewSize(), CRect(0, 1, 581, 12));
  // The host shows the strips under a shown plate: the selector follows.
  r.f.setParameter(6, 1.f);
  EXPECT_EQ(r.back()->getScopeSelector()->getViewSize(), CRect(0, 1, 86, 12));
  // Picking a scope on the plate.
  r.click(32, 6);
  EXPECT_FLOAT_EQ(r.f.effect->getParameter(2), 1.f);
  EXPECT_FLOAT_EQ(r.back()->getScopeStrip()->getValue(), 1.f);
  r.click(7, 6);
  EXPECT_FLOAT_EQ(r.f.effect->getParameter(2), 0.f);
  EXPECT_FLOAT_EQ(r.panel()->getControl(2)->getValue(), 0.f) << "the front's scope follows";
}

// The strips are taken out and put back whenever their layout changes; the
// plate stays above them and above the meter.
TEST(BackPanelFlip, ThePlateStaysAboveTheStripsWhateverTheyDo) {
  Rig r(0, true);
  r.flip();
  ASSERT_TRUE(r.plateOnTop());
  const std::pair<int32_t, float> changes[] = {{7, 0.f}, {15, 0.f}, {7, 1.f}, {15, 1.f}, {6, 0.f}, {6, 1.f}};
  for (auto [index, value] : changes) {
    r.f.setParameter(index, value);
    r.f.idle();
    EXPECT_TRUE(r.plateOnTop()) << index << " " << value;
    EXPECT_TRUE(r.back()->isShown());
  }
  EXPECT_TRUE(r.panel()->isCovered());
  // Under the plate, a click at a strip's control reaches the plate: an
  // empty spot there.
  r.click(66, 176);
  EXPECT_FALSE(r.back()->isShown());
}

// The host switches the meter while a plate is up: it turns round with its
// meter (the Global settings are stored as on a click), and the next meter
// is not covered.
TEST(BackPanelFlip, AMeterThatMakesWayTakesItsPlateWithIt) {
  Rig r(0);
  r.flip();
  orvane::BackPanelPart* vuBack = r.back();
  r.f.setParameter(3, 1.f);
  EXPECT_FALSE(vuBack->isShown());
  EXPECT_EQ(r.f.registry.binary.size(), (size_t)orvane::kMeterSettingCount);
  EXPECT_FALSE(r.panel()->isCovered());
  r.flip();
  EXPECT_TRUE(r.back()->isShown());
  EXPECT_TRUE(r.plateOnTop());
}

// Another instance changes a shared setting: a shown plate follows at the
// next refresh; a hidden one keeps its controls until it is shown.
TEST(BackPanelFlip, OtherInstancesChangesReachAShownPlateAndAHiddenOneAtItsNextShow) {
  Rig r(0);
  r.f.setParameter(2, 0.5f);  // Session
  r.flip();
  r.f.shared.setStoreValue(1, 84, 0.75f);  // the other instance's integration
  r.f.idle();
  EXPECT_FLOAT_EQ(r.back()->getControl(84)->getValue(), 0.75f);
  EXPECT_EQ(r.label(84), r.engineText(84));
  r.clickEmptySpot();
  r.f.shared.setStoreValue(1, 85, 0.25f);
  r.f.idle();
  EXPECT_FLOAT_EQ(r.f.effect->getParameter(85), 0.25f) << "the engine follows while the panel shows";
  EXPECT_FLOAT_EQ(r.back()->getControl(85)->getValue(), 0.5f) << "hidden controls are left alone";
  const std::string hiddenLabel = r.label(85);
  r.flip();
  EXPECT_FLOAT_EQ(r.back()->getControl(85)->getValue(), 0.25f);
  EXPECT_NE(r.label(85), hiddenLabel);
  EXPECT_EQ(r.label(85), r.engineText(85));
}

// "GSIcal" is a host parameter: a host may automate it from its audio
// thread. The plate's views follow only on the window's idle.
TEST(BackPanelFlip, AScopeChangeFromTheAudioThreadReachesThePlateOnlyOnIdle) {
  Rig r(2);
  r.f.setParameter(2, 0.f);
  r.flip();
  std::thread audio([&] { r.f.setParameter(2, 1.f); });
  audio.join();
  EXPECT_FLOAT_EQ(r.f.effect->getParameter(2), 1.f);
  EXPECT_FLOAT_EQ(r.back()->getScopeSelector()->getValue(), 0.f) << "untouched off the window's thread";
  EXPECT_FLOAT_EQ(r.back()->getScopeStrip()->getValue(), 0.f);
  r.f.idle();
  EXPECT_FLOAT_EQ(r.back()->getScopeSelector()->getValue(), 1.f);
  EXPECT_FLOAT_EQ(r.back()->getScopeStrip()->getValue(), 1.f);
}

// A project or another instance brings values outside 0..1 or NaN: the
// plate shows them clamped, and every label reads as a value.
TEST(BackPanelFlip, BadValuesShowClampedAndNeverAsNan) {
  for (int type : kTypes) {
    Rig r(type);
    r.f.setParameter(2, 1.f);  // Instance: the project's settings apply
    std::vector<unsigned char> chunk;
    {
      void* data = nullptr;
      const VstIntPtr n = r.f.dispatch(effGetChunk, 0, 0, &data);
      ASSERT_GT(n, 0);
      chunk.assign((unsigned char*)data, (unsigned char*)data + n);
    }
    ASSERT_EQ(chunk.size(), (size_t)orvane::StateChunk::kSize);
    const size_t settings = orvane::StateChunk::kSettingsOffset;
    const float odd[] = {NAN, 7.f, -3.f, INFINITY, -INFINITY, 1.5f};
    for (int s = 0; s < 27; ++s) std::memcpy(&chunk[settings + s * 4], &odd[s % 6], 4);
    r.f.dispatch(effSetChunk, 0, (VstIntPtr)chunk.size(), chunk.data());
    r.f.idle();
    r.flip();
    const orvane::BackPanelTable& t = r.back()->getTable();
    for (size_t i = 0; i < t.controlCount; ++i) {
      const float v = r.back()->getControl(t.controls[i].tag)->getValue();
      EXPECT_TRUE(v >= 0.f && v <= 1.f) << t.controls[i].tag << " " << v;
    }
    for (size_t i = 0; i < t.labelCount; ++i) {
      const std::string text = r.label(t.labels[i].tag);
      EXPECT_FALSE(text.empty() || text.find("nan") != std::string::npos || text.find("inf") != std::string::npos)
          << t.labels[i].tag << " " << text;
    }
    // Another instance's store holding garbage: the same.
    r.f.setParameter(2, 0.5f);
    for (size_t i = 0; i < t.controlCount; ++i) r.f.shared.setStoreValue(1, t.controls[i].tag, NAN);
    r.f.idle();
    for (size_t i = 0; i < t.controlCount; ++i) {
      const float v = r.back()->getControl(t.controls[i].tag)->getValue();
      EXPECT_TRUE(v >= 0.f && v <= 1.f) << t.controls[i].tag << " " << v;
    }
    for (size_t i = 0; i < t.labelCount; ++i) {
      const std::string text = r.label(t.labels[i].tag);
      EXPECT_FALSE(text.empty() || text.find("nan") != std::string::npos) << t.labels[i].tag << " " << text;
    }
  }
}
