// Tables of behaviour per family of controls: each row sets a control up,
// works it with the mouse and wheel through the frame, and checks the
// value, what the listener heard, the hint line and the frame drawn.
#include <gtest/gtest.h>

#include "tests/controls/ControlsTestSupport.h"

using namespace VSTGUI;
using namespace controls_test;

namespace {

constexpr float kAny = NAN;
constexpr int kAnyFrame = -2;
const char* const kUnchecked = nullptr;

// A control of the size of one frame of a strip of `frames`, at (20, 10)
// of the panel, taking the strip as its bitmap.
template <class T, class... A>
T* place(Bench& b, int frames, CCoord w, CCoord h, A... args) {
  CBitmap* strip = makeGreyStrip(frames, w, h);
  T* c = b.add(new T(CRect(20, 10, 20 + w, 10 + h), &b.listener, args..., strip));
  if (strip) strip->forget();
  return c;
}

CZELOnOffButton* onOff(Bench& b, int32_t tag, float v) {
  auto* c = place<CZELOnOffButton>(b, 2, 20, 10, tag);
  c->setValue(v);
  return c;
}
template <class T>
T* hinted(Bench& b, int32_t tag, float v, int active = 1, int frames = 2) {
  auto* c = place<T>(b, frames, 20, 10, tag);
  c->setValue(v);
  if constexpr (std::is_base_of_v<CZELOnOffButtonAH, T>) c->setActive(active);
  return c;
}

}  // namespace

TEST(Buttons, BehaveAsTheirTable) {
  runTable({
      {"a click turns the button on", [](Bench& b) -> CControl* { return onOff(b, 4, 0); }, "click 5,5", 1, "b 4=1 e",
       "", 1},
      {"0.9999 from the host reads and draws as on", [](Bench& b) -> CControl* { return onOff(b, 4, 0.9999f); }, "",
       kAny, "", "", 1},
      {"and a click turns it off", [](Bench& b) -> CControl* { return onOff(b, 4, 0.9999f); }, "click 5,5", 0,
       "b 4=0 e", "", 0},
      {"the right button does nothing", [](Bench& b) -> CControl* { return onOff(b, 4, 0); }, "click 5,5 right", 0, "",
       "", 0},
      {"NaN draws the off frame", [](Bench& b) -> CControl* { return onOff(b, 4, NAN); }, "", 0, "", "", 0},
      {"any notch toggles", [](Bench& b) -> CControl* { return onOff(b, 4, 0); }, "wheel 1; wheel -1", 0,
       "b 4=1 e b 4=0 e", "", 0},
      {"less than a notch, NaN or runaway: nothing or one toggle", [](Bench& b) -> CControl* { return onOff(b, 4, 0); },
       "wheel 0.1; wheel -0.05; wheel nan; wheel 1e30", 1, "b 4=1 e", "", 1},
      {"wheel mode with sign: up turns on, once",
       [](Bench& b) -> CControl* {
         auto* c = onOff(b, 86, 0);
         c->setWheelMode(true);
         c->setWheelSign(true);
         return c;
       },
       "wheel 1; wheel 1", 1, "b 86=1 e", "", 1},
      {"wheel mode without sign: directions reversed",
       [](Bench& b) -> CControl* {
         auto* c = onOff(b, 86, 0);
         c->setWheelMode(true);
         return c;
       },
       "wheel 1; wheel -1", 1, "b 86=1 e", "", 1},
      {"Strips: hint on entry", [](Bench& b) -> CControl* { return hinted<CZELOnOffButtonH>(b, 6, 0); }, "enter 5,5", 0,
       "", "Shows Strips", 0},
      {"Strips: hint follows the click at once",
       [](Bench& b) -> CControl* { return hinted<CZELOnOffButtonH>(b, 6, 0); }, "enter 5,5; click 5,5", 1, "b 6=1 e",
       "Hides Strips", 1},
      {"Strips: and the wheel", [](Bench& b) -> CControl* { return hinted<CZELOnOffButtonH>(b, 6, 1); },
       "enter 5,5; wheel 1", 0, "b 6=0 e", "Shows Strips", 0},
      {"leaving clears the hint", [](Bench& b) -> CControl* { return hinted<CZELOnOffButtonH>(b, 0, 0); },
       "enter 5,5; leave", 0, "", "", 0},
      {"inactive: clicks and wheel do nothing, the hint says why",
       [](Bench& b) -> CControl* { return hinted<CZELOnOffButtonAH>(b, 9, 0, 0); },
       "enter 5,5; click 5,5; wheel 1; wheel -1", 0, "", "Click PROCESS to activate FILTERS", 0},
      {"active: entry empties the line, a click gives no hint",
       [](Bench& b) -> CControl* {
         b.hint->setText("old");
         return hinted<CZELOnOffButtonAH>(b, 9, 0, 1);
       },
       "enter 5,5; click 5,5", 1, "b 9=1 e", "", 1},
      {"active: a wheel step shows the hint",
       [](Bench& b) -> CControl* { return hinted<CZELOnOffButtonAH>(b, 10, 0, 1); }, "enter 5,5; wheel 1", 1,
       "b 10=1 e", "Click PROCESS to activate FILTERS", 1},
      {"strip lamp: off", [](Bench& b) -> CControl* { return hinted<StripActiveButton>(b, 8, 0, 1, 3); }, "", 0, "", "",
       0},
      {"strip lamp: on, inactive", [](Bench& b) -> CControl* { return hinted<StripActiveButton>(b, 8, 1, 0, 3); }, "",
       1, "", "", 1},
      {"strip lamp: on, active", [](Bench& b) -> CControl* { return hinted<StripActiveButton>(b, 8, 1, 1, 3); }, "", 1,
       "", "", 2},
      {"plain hint button reads 0.9999 as on and toggles off",
       [](Bench& b) -> CControl* { return hinted<COnOffButtonH>(b, 7, 0.9999f); }, "enter 5,5; click 5,5", 0, "b 7=0 e",
       "Opens FILTERS editor", 0},
      {"plain hint button: hint on entry", [](Bench& b) -> CControl* { return hinted<COnOffButtonH>(b, 15, 1); },
       "enter 5,5", 1, "", "Closes LABEL editor", 1},
      {"kick: hover frame and hint", [](Bench& b) -> CControl* { return hinted<CZLKickButtonH>(b, 121, 0, 1, 3); },
       "enter 5,5", 0, "", "Click to open the manual", 1},
      {"kick: pressed frame, the press is reported",
       [](Bench& b) -> CControl* { return hinted<CZLKickButtonH>(b, 121, 0, 1, 3); }, "enter 5,5; down 5,5", 1, "121=1",
       kUnchecked, 2},
      {"kick: the release is not", [](Bench& b) -> CControl* { return hinted<CZLKickButtonH>(b, 121, 0, 1, 3); },
       "enter 5,5; down 5,5; up 5,5", 0, "121=1", kUnchecked, 1},
      {"kick: leaving ends hover and hint",
       [](Bench& b) -> CControl* { return hinted<CZLKickButtonH>(b, 121, 0, 1, 3); }, "enter 5,5; leave", 0, "", "", 0},
      {"kick: the right button does nothing",
       [](Bench& b) -> CControl* { return hinted<CZLKickButtonH>(b, 121, 0, 1, 3); }, "enter 5,5; down 5,5 right", 0,
       "", kUnchecked, 1},
  });
}

namespace {

CControl* scope(Bench& b, float v) {
  auto* c = place<CZELCalibrationControl>(b, 3, 86, 11, 2);
  c->setValue(v);
  return c;
}
CControl* selector(Bench& b, float v) {
  auto* c = place<CZELMeterSelectorControl>(b, 3, 100, 10, 3);
  c->setValue(v);
  return c;
}
CControl* holdSwitch(Bench& b, float v) {
  CBitmap* strip = makeGreyStrip(3, 60, 10);
  auto* c = b.add(new CZELHorizontalSwitch(CRect(20, 10, 80, 20), &b.listener, 5, 3, 10, 3, strip));
  strip->forget();
  c->setValue(v);
  return c;
}

}  // namespace

TEST(SwitchesAndSelectors, BehaveAsTheirTable) {
  runTable({
      {"scope: x 13.9 picks the first", [](Bench& b) { return scope(b, 1); }, "click 13.9,5", 0, "2=0", "", 0},
      {"scope: x 14 the second", [](Bench& b) { return scope(b, 1); }, "click 14,5", 0.5f, "2=0.5", "", 1},
      {"scope: x 37.9 the third", [](Bench& b) { return scope(b, 0); }, "click 37.9,5", 1, "2=1", "", 2},
      // Deliberately not "sends the current value again": a click on the
      // explanation right of the choices is no edit for the host to record.
      {"scope: right of the choices (x 38, 80) keeps the scope and tells no one",
       [](Bench& b) { return scope(b, 0.5f); }, "click 38,5; click 80,5", 0.5f, "", "", 1},
      {"scope: wheel steps by one without wrapping", [](Bench& b) { return scope(b, 0); },
       "wheel 1; wheel 1; wheel 1; wheel -0.05", 1, "2=0.5 2=1", "", 2},
      {"scope: wheel rounds an odd value to a position", [](Bench& b) { return scope(b, 0.3f); }, "wheel 1", 1, "2=1",
       "", 2},
      {"scope: NaN draws the first frame", [](Bench& b) { return scope(b, NAN); }, "", 0, "", "", 0},
      {"selector: left zone, VU shown: the hint names PPM", [](Bench& b) { return selector(b, 0); }, "enter 10,5", 0,
       "", "Changes current meter to PPM3", 1},
      {"selector: right zone, VU shown: RMS", [](Bench& b) { return selector(b, 0); }, "enter 80,5", 0, "",
       "Changes current meter to RMS3", 2},
      {"selector: the middle has no hint", [](Bench& b) { return selector(b, 0.5f); }, "enter 10,5; hover 50,5", 0.5f,
       "", "", 0},
      {"selector: left from VU wraps to PPM", [](Bench& b) { return selector(b, 0); }, "enter 10,5; click 10,5", 1,
       "3=1", "Changes current meter to RMS3", 1},
      {"selector: right from PPM wraps to VU", [](Bench& b) { return selector(b, 1); }, "click 90,5", 0, "3=0",
       "Changes current meter to RMS3", 2},
      {"selector: the middle flips the back panel, never the meter", [](Bench& b) { return selector(b, 0.5f); },
       "click 50,5; click 21,5; click 79,5", 0.5f, "65=1 65=1 65=1", "", 0},
      {"selector: leaving ends the zone and the hint", [](Bench& b) { return selector(b, 0); }, "enter 10,5; leave", 0,
       "", "", 0},
      {"selector: the wheel does not wrap", [](Bench& b) { return selector(b, 0.5f); }, "wheel -1; wheel -1; wheel nan",
       0, "3=0", "", 0},
      {"hold switch: one position per notch", [](Bench& b) { return holdSwitch(b, 0); }, "wheel 1", 0.5f, "5=0.5", "",
       1},
      {"hold switch: stops at the end", [](Bench& b) { return holdSwitch(b, 1); },
       "wheel 1; wheel -1; wheel -1; wheel -1", 0, "5=0.5 5=0", "", 0},
      {"hold switch: from between positions to the next one", [](Bench& b) { return holdSwitch(b, 0.7f); }, "wheel 1",
       1, "5=1", "", 2},
  });
}

namespace {

// A 200-pixel horizontal slider (handle 20 × 20: 180 pixels of travel).
CZELSliderAH* hSlider(Bench& b, float v, int32_t tag = 11) {
  CBitmap* handle = makeGreyStrip(1, 20, 20);
  auto* c = b.add(new CZELSliderAH(CRect(20, 10, 220, 30), &b.listener, tag, 20, 220, handle, nullptr));
  handle->forget();
  c->setDefaultValue(0.5f);
  c->setValue(v);
  return c;
}
// The trim: vertical, 0.1 fine drag, 180 pixels of travel.
CZELSliderAH* trim(Bench& b, float v, int active = 1) {
  CBitmap* handle = makeGreyStrip(1, 20, 20);
  auto* c = b.add(new CZELSliderAH(CRect(20, 10, 40, 210), &b.listener, 1, 10, 210, handle, nullptr, CPoint(0, 0),
                                   kVertical | kBottom));
  handle->forget();
  c->setDefaultValue(0.5f);
  c->setFineDragFactor(0.1f);
  c->setValue(v);
  c->setActive(active);
  return c;
}

}  // namespace

TEST(Sliders, BehaveAsTheirTable) {
  runTable({
      {"dragging the handle follows the pointer", [](Bench& b) -> CControl* { return hSlider(b, 0.5f); },
       "down 100,10; move 118,10; up 118,10", 0.6f, "b 11=0.6 e", kUnchecked, kAnyFrame},
      {"a press beside the handle moves nothing", [](Bench& b) -> CControl* { return hSlider(b, 0.5f); },
       "down 10,10; move 60,10; move 150,10; up 150,10", 0.5f, "b e", kUnchecked, kAnyFrame},
      {"Shift drags finely, also off the handle",
       [](Bench& b) -> CControl* {
         auto* s = hSlider(b, 0.5f);
         s->setFineDragFactor(0.1f);
         return s;
       },
       "down 100,10 shift; move 190,10 shift; up 190,10", 0.55f, "b 11=0.55 e", kUnchecked, kAnyFrame},
      {"the value stops at its limit", [](Bench& b) -> CControl* { return hSlider(b, 0.5f); },
       "down 100,10; move 400,10; up 400,10", 1, "b 11=1 e", kUnchecked, kAnyFrame},
      {"coming back, the handle's centre is under the pointer", [](Bench& b) -> CControl* { return hSlider(b, 0.5f); },
       "down 100,10; move 400,10; move 150,10; up 150,10", 7.f / 9, "b 11=1 11=0.7778 e", kUnchecked, kAnyFrame},
      {"trim: upwards increases", [](Bench& b) -> CControl* { return trim(b, 0.5f); },
       "down 10,100; move 10,82; up 10,82", 0.6f, "b 1=0.6 e", kUnchecked, kAnyFrame},
      {"trim: a double-click puts 0 dB back", [](Bench& b) -> CControl* { return trim(b, 0.9f); }, "click 10,30 dbl",
       0.5f, "b 1=0.5 e", kUnchecked, kAnyFrame},
      {"trim: 0.025 per notch", [](Bench& b) -> CControl* { return trim(b, 0.5f); }, "wheel 1", 0.525f, "b 1=0.525 e",
       kUnchecked, kAnyFrame},
      {"trim: 0.0025 with Shift", [](Bench& b) -> CControl* { return trim(b, 0.5f); }, "wheel -3 shift", 0.4975f,
       "b 1=0.4975 e", kUnchecked, kAnyFrame},
      {"trim: NaN and runaway distances: nothing or one step", [](Bench& b) -> CControl* { return trim(b, 0.5f); },
       "wheel nan; wheel 1e30; wheel 0.1", 0.525f, "b 1=0.525 e", kUnchecked, kAnyFrame},
      {"trim: at the top a notch tells nobody", [](Bench& b) -> CControl* { return trim(b, 1); }, "wheel 1", 1, "",
       kUnchecked, kAnyFrame},
      {"trim inactive: mouse and wheel do nothing, the hint says why",
       [](Bench& b) -> CControl* { return trim(b, 0.5f, 0); },
       "enter 10,100; down 10,100; move 10,50; up 10,50; click 10,30 dbl; wheel 1", 0.5f, "",
       "Click PROCESS to activate the Trim", kAnyFrame},
      {"trim active: entering empties the hint line",
       [](Bench& b) -> CControl* {
         b.hint->setText("old");
         return trim(b, 0.5f, 1);
       },
       "enter 10,100", 0.5f, "", "", kAnyFrame},
      {"trim inactive: leaving clears the hint", [](Bench& b) -> CControl* { return trim(b, 0.5f, 0); },
       "enter 10,100; leave", 0.5f, "", "", kAnyFrame},
  });
}

TEST(Sliders, InactiveIsDrawnAtHalfOpacity) {
  Bench b;
  CZELSliderAH* s = trim(b, 0.5f, 1);
  s->setViewSize(CRect(20, 90, 40, 110));  // the handle fills the view at 0.5
  int alpha = 0;
  drawnFrame(s, &alpha);
  EXPECT_EQ(alpha, 255);
  s->setActive(0);
  drawnFrame(s, &alpha);
  EXPECT_NEAR(alpha, 128, 2);
}

namespace {

// An 11-frame knob strip of 20 × 10 frames.
CAnimKnob4* knob(Bench& b, float v, float defaultValue = 0.25f) {
  auto* c = place<CAnimKnob4>(b, 11, 20, 10, 84);
  c->setDefaultValue(defaultValue);
  c->setValue(v);
  return c;
}
CFrontReferenceControl* reference(Bench& b, int shown) {
  auto* c = place<CFrontReferenceControl>(b, 1, 100, 12, 83);
  c->setValue(0.25f);
  c->setShown(shown);
  c->setWheelStep(1.f / 24);
  return c;
}
CZELLatencyControl* lag(Bench& b, float v) {
  auto* c = place<CZELLatencyControl>(b, 3, 26, 40, 16);
  c->setDefaultValue(0);
  c->setValue(v);
  return c;
}

}  // namespace

TEST(Knobs, BehaveAsTheirTable) {
  runTable({
      {"500 pixels right: half the range", [](Bench& b) -> CControl* { return knob(b, 0); },
       "down 5,5; move 505,5; up 505,5", 0.5f, "b 84=0.5 e", kUnchecked, 5},
      {"500 pixels up: half the range", [](Bench& b) -> CControl* { return knob(b, 0); },
       "down 5,5; move 5,-495; up 5,-495", 0.5f, "b 84=0.5 e", kUnchecked, 5},
      {"with Shift a tenth", [](Bench& b) -> CControl* { return knob(b, 0); },
       "down 5,5 shift; move 505,5 shift; up 505,5", 0.1f, "b 84=0.1 e", kUnchecked, 1},
      {"Shift pressed mid-drag: no jump, finer from there", [](Bench& b) -> CControl* { return knob(b, 0); },
       "down 5,5; move 105,5; move 105,5 shift; move 605,5 shift; up 605,5", 0.2f, "b 84=0.1 84=0.2 e", kUnchecked, 2},
      {"dragScale 0.2: 200 pixels for the whole range, and no further",
       [](Bench& b) -> CControl* {
         auto* k = knob(b, 0.5f);
         k->setDragScale(0.2f);
         return k;
       },
       "down 5,5; move 5,-95; move 5,-495; up 5,-495", 1, "b 84=1 e", kUnchecked, 10},
      {"Control-click puts the default back", [](Bench& b) -> CControl* { return knob(b, 0.8f); }, "click 5,5 ctrl",
       0.25f, "b 84=0.25 e", kUnchecked, 3},
      {"so does a double-click", [](Bench& b) -> CControl* { return knob(b, 0.8f); }, "click 5,5 dbl", 0.25f,
       "b 84=0.25 e", kUnchecked, 3},
      {"wheel: one step, a tenth with Shift", [](Bench& b) -> CControl* { return knob(b, 0.5f); },
       "wheel 1; wheel -1 shift; wheel nan", 0.509f, "b 84=0.51 e b 84=0.509 e", kUnchecked, 5},
      {"frames: 0.04 still the first, 0.05 the second", [](Bench& b) -> CControl* { return knob(b, 0.04f); }, "", kAny,
       "", kUnchecked, 0},
      {"", [](Bench& b) -> CControl* { return knob(b, 0.05f); }, "", kAny, "", kUnchecked, 1},
      {"out of range and NaN draw the nearest frame", [](Bench& b) -> CControl* { return knob(b, 7.f); }, "", 1, "",
       kUnchecked, 10},
      {"", [](Bench& b) -> CControl* { return knob(b, NAN); }, "", 0, "", kUnchecked, 0},
      {"reference shown: hint on entry", [](Bench& b) -> CControl* { return reference(b, 1); }, "enter 5,5", kAny, "",
       "Click and drag to adjust VU reference level", 0},
      {"reference shown: one dB per notch", [](Bench& b) -> CControl* { return reference(b, 1); }, "wheel 1",
       0.25f + 1.f / 24, "b 83=0.2917 e", kUnchecked, 0},
      {"reference hidden: not drawn, deaf, no hint",
       [](Bench& b) -> CControl* {
         b.hint->setText("old");
         return reference(b, 0);
       },
       "enter 5,5; down 5,5; move 505,5; up 505,5; wheel 1", 0.25f, "", "", -1},
      {"lag: upper step zone adds 10", [](Bench& b) -> CControl* { return lag(b, 0.5f); }, "click 13,5",
       0.5f + 10.f / 999, "b 16=0.51 e", kUnchecked, kAnyFrame},
      {"lag: lower zone with Shift takes 1", [](Bench& b) -> CControl* { return lag(b, 0.5f); }, "click 3,39 shift",
       0.5f - 1.f / 999, "b 16=0.499 e", kUnchecked, kAnyFrame},
      {"lag: at 999 the upper zone stays at 999", [](Bench& b) -> CControl* { return lag(b, 1); }, "click 23,0", 1,
       "b e", kUnchecked, kAnyFrame},
      {"lag: a vertical drag is 2 per pixel", [](Bench& b) -> CControl* { return lag(b, 0); },
       "down 13,20; move 13,15; move 40,10; up 40,10", 20.f / 999, "b 16=0.01001 16=0.02002 e", kUnchecked, kAnyFrame},
      {"lag: a tenth with Shift", [](Bench& b) -> CControl* { return lag(b, 0); },
       "down 13,20; move 13,0 shift; up 13,0", 2.f / 999, "b 16=0.002002 e", kUnchecked, kAnyFrame},
      {"lag: 10 per notch, 1 with Shift", [](Bench& b) -> CControl* { return lag(b, 0); }, "wheel 1; wheel 1 shift",
       11.f / 999, "b 16=0.01001 e b 16=0.01101 e", kUnchecked, kAnyFrame},
  });
}

TEST(Knobs, LagDoubleClickAsksForTheHostLatencyEvenAtTheDefault) {
  for (float start : {0.3f, 0.f}) {
    Bench b;
    CZELLatencyControl* c = lag(b, start);
    b.listener.calls.clear();
    b.run("click 13,20 dbl");
    EXPECT_TRUE(c->getDoubleClickMark()) << start;
    EXPECT_EQ(b.listener.calls, "b 16=0 e") << start;
    c->clearDoubleClickMark();
    b.run("click 13,20");
    EXPECT_FALSE(c->getDoubleClickMark());
  }
}

TEST(Knobs, LagShowsThreeDigitsOfTheRoundedValue) {
  Bench b;
  CZELLatencyControl* c = lag(b, 0);
  const std::pair<float, int> cases[] = {{0.f, 0}, {0.5f, 500}, {1.f, 999}, {10.f / 999, 10}, {NAN, 0}, {5.f, 999}};
  for (auto [v, n] : cases) {
    c->setValue(v);
    EXPECT_EQ(c->shownNumber(), n) << v;
  }
}

TEST(HoverAndHints, EndWhenThePanelIsHidden) {
  runTable({
      {"hint button", [](Bench& b) -> CControl* { return hinted<CZELOnOffButtonH>(b, 0, 0); }, "enter 5,5; remove", 0,
       "", "", 0},
      {"kick button", [](Bench& b) -> CControl* { return hinted<CZLKickButtonH>(b, 121, 0, 1, 3); },
       "enter 5,5; remove", 0, "", "", 0},
      {"meter selector", [](Bench& b) { return selector(b, 0); }, "enter 10,5; remove", 0, "", "", 0},
  });
}

TEST(HintLine, PicksItsTextByTagValueAndZone) {
  Bench b;
  int32_t left = 0, right = 1, middle = 2;
  const struct {
    int32_t tag;
    float value;
    int32_t* sub;
    const char* text;
  } cases[] = {
      {0, 0, nullptr, "Activates the Trim and FILTERS"},
      {68, 0, nullptr, "Click PROCESS to activate the Trim"},
      {6, 0.5f, nullptr, "Shows Strips"},
      {6, NAN, nullptr, "Shows Strips"},
      {7, 0.51f, nullptr, "Closes FILTERS editor"},
      {14, 0, nullptr, "Click PROCESS to activate FILTERS"},
      {71, 0, nullptr, "Click PROCESS to activate FILTERS"},
      {72, 0, nullptr, "Click and drag to adjust RMS reference level"},
      {93, 0, nullptr, "Click and drag to adjust PPM reference level"},
      {3, 0.5f, &left, "Changes current meter to VU3"},
      {3, 1, &right, "Changes current meter to VU3"},
      {3, 1.4f, &right, "Changes current meter to VU3"},  // 3.3 is no meter: unchanged
      {3, NAN, &left, "Changes current meter to VU3"},
      {3, 1, &middle, ""},
      {16, 0, nullptr, ""},
      {69, 1, nullptr, ""},
  };
  for (const auto& c : cases) {
    b.hint->showHint(c.tag, c.value, c.sub);
    EXPECT_STREQ(b.hint->getText(), c.text) << c.tag << " " << c.value;
  }
}
