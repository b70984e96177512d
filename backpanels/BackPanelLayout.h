// Where everything stands on the three meters' back panels, and where a
// stepped knob draws each of its positions: the one table that the back
// panels build their controls from and that the artwork generator engraves
// the plates' scales and value slots after. Plain data, no toolkit, so the
// generator reads it as it reads display/NeedleAngles.h.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvane {

enum class BackControl {
  kKnob,  // continuous: CAnimKnob4
  kVuBackLitKnob,
  kVuLedRefKnob,
  kVuOverLedKnob,
  kPpmLedRefKnob,
  kPpmOverLedKnob,
  kRmsLedRefKnob,
  kRmsOverLedKnob,
  kSwitch3,  // three positions side by side: CZELHorizontalSwitch
  kOnOff,    // two states: CZELOnOffButton, the wheel turns it on up, off down
};

// How a knob follows the mouse (CAnimKnob4): dragScale × 1000 pixels of
// drag for the whole range, dragFineFactor times more with Shift; a wheel
// notch moves wheelStep, times wheelFineFactor with Shift.
struct KnobTuning {
  float dragScale, dragFineFactor, wheelFineFactor;
};
// 200 pixels for the whole range, ten times finer with Shift, a tenth of a
// step per notch with Shift: one notch of a reference knob is 1 dB, with
// Shift 0.1 dB.
constexpr KnobTuning kContinuousTuning = {0.2f, 10.f, 0.1f};
// A stepped knob moves one whole position per notch, Shift or not.
constexpr KnobTuning kSteppedTuning = {0.1f, 1.f, 1.f};

// Where each position of a stepped setting is drawn: position p of
// `positions` is read from the value as the engine reads it,
// int(value × (positions − 1) + 0.5), and drawn at fractions[p] of the
// knob's travel.
struct KnobSteps {
  int32_t positions;
  const float* fractions;
};

namespace backlayout {

// One to ten samples make an over. The first position stands a little
// inside the start of the travel, the last ones a little inside its end,
// where the printed numbers have room.
inline constexpr float kRmsOvers[10] = {0.4f / 9, 1.f / 9, 2.f / 9, 3.f / 9, 4.f / 9,
                                        5.f / 9,  6.f / 9, 7.f / 9, 8.f / 9, 8.5f / 9};
inline constexpr float kVuOvers[10] = {0.4f / 9, 1.f / 9, 2.f / 9, 3.f / 9,  4.f / 9,
                                       5.f / 9,  6.f / 9, 7.f / 9, 7.8f / 9, 8.7f / 9};
// RMS over level: seven positions spread over the whole travel.
inline constexpr float kRmsOverLevel[7] = {0.f, 1.f / 6, 2.f / 6, 3.f / 6, 4.f / 6, 5.f / 6, 1.f};
// VU LED reference and PPM over reference: never at the travel's ends.
inline constexpr float kLedRef[4] = {0.1f, 0.38f, 0.62f, 0.9f};
// VU backlight: five levels in the middle of the travel.
inline constexpr float kBackLit[5] = {0.3f, 0.4f, 0.5f, 0.6f, 0.7f};

}  // namespace backlayout

// The drawn positions of a stepped kind; none (0 positions) for a
// continuous knob, a switch or a button.
constexpr KnobSteps knobSteps(BackControl kind) {
  using namespace backlayout;
  switch (kind) {
    case BackControl::kVuBackLitKnob:
      return {5, kBackLit};
    case BackControl::kVuLedRefKnob:
    case BackControl::kPpmLedRefKnob:
      return {4, kLedRef};
    case BackControl::kVuOverLedKnob:
    case BackControl::kPpmOverLedKnob:
      return {10, kVuOvers};
    case BackControl::kRmsLedRefKnob:
      return {7, kRmsOverLevel};
    case BackControl::kRmsOverLedKnob:
      return {10, kRmsOvers};
    default:
      return {0, nullptr};
  }
}

// Every plate's scope selector stands at the top left, its row of
// explanations (the scope strip) below the meter area.
constexpr int kBackScopeSelectorTop = 1;
constexpr int kBackScopeStripTop = 180;

// Every knob's rectangle is one frame of the knob strip, 43 × 41.
constexpr int32_t kBackKnobStrip = 10003;  // 51 frames
constexpr int kBackKnobWidth = 43, kBackKnobHeight = 41;

struct BackControlRow {
  int32_t tag;  // the meter setting it edits
  BackControl kind;
  int32_t bitmap;
  int left, top;
  // Knobs only: the value a reset click (Control-click, double-click) puts
  // back, the setting's default; the wheel's step; the mouse tuning.
  float resetValue;
  float wheelStep;
  const KnobTuning* tuning;
};

struct BackBox {
  int left, top, right, bottom;
};

struct BackLabelRow {
  int32_t tag;  // the setting whose engine text it prints
  BackBox rect;
  const char* placeholder;
};

struct BackPanelTable {
  const char* name;
  int meterType;  // 0 VU, 1 RMS, 2 PPM
  int32_t background;
  int32_t knobStrip;
  const BackControlRow* controls;
  size_t controlCount;
  const BackLabelRow* labels;
  size_t labelCount;
  BackBox versionRect;
};

namespace backlayout {

constexpr const KnobTuning* C = &kContinuousTuning;
constexpr const KnobTuning* S = &kSteppedTuning;
using K = BackControl;

// tag, control, bitmap, left, top, reset value, wheel step, tuning
inline constexpr BackControlRow kVuControls[] = {
    {83, K::kKnob, kBackKnobStrip, 24, 36, 0.25f, 1.f / 24, C},  // reference, 1 dB of -24..0 dBFS
    {84, K::kKnob, kBackKnobStrip, 105, 35, 0.5f, 1.f / 12, C},  // integration
    {85, K::kKnob, kBackKnobStrip, 64, 111, 0.5f, 1.f / 12, C},  // hold time
    {88, K::kVuBackLitKnob, kBackKnobStrip, 195, 35, 0.5f, 1.f / 4, S},
    {90, K::kVuLedRefKnob, kBackKnobStrip, 434, 35, 1.f, 1.f / 3, S},
    {89, K::kVuOverLedKnob, kBackKnobStrip, 475, 111, 0.22f, 1.f / 9, S},
    {87, K::kSwitch3, 40002, 215, 127, 0, 0, nullptr},  // mid attenuation M0 / M3 / M6
    {86, K::kOnOff, 40001, 140, 127, 0, 0, nullptr},    // VU type A / B
    {91, K::kOnOff, 40003, 532, 12, 0, 0, nullptr},     // precise / CPU safe
};
inline constexpr BackLabelRow kVuLabels[] = {
    {83, {14, 79, 76, 93}, "-18 dBFS"},
    {84, {100, 78, 152, 92}, "300 ms"},
    {85, {59, 153, 111, 167}, "0.1 s"},
};

inline constexpr BackControlRow kPpmControls[] = {
    {93, K::kKnob, kBackKnobStrip, 24, 36, 0.5f, 1.f / 24, C},     // reference, 1 dB of -24..0 dBFS
    {94, K::kKnob, kBackKnobStrip, 137, 35, 0.5f, 1.f / 30, C},    // integration
    {95, K::kKnob, kBackKnobStrip, 80, 111, 0.5f, 1.f / 12, C},    // hold time
    {96, K::kKnob, kBackKnobStrip, 192, 111, 0.66f, 1.f / 12, C},  // return (fall-back)
    {99, K::kPpmLedRefKnob, kBackKnobStrip, 418, 35, 1.f, 1.f / 3, S},
    {98, K::kPpmOverLedKnob, kBackKnobStrip, 475, 111, 0.22f, 1.f / 9, S},
    {97, K::kSwitch3, 42003, 200, 36, 0, 0, nullptr},
    {100, K::kOnOff, 42007, 532, 12, 0, 0, nullptr},
};
inline constexpr BackLabelRow kPpmLabels[] = {
    {93, {14, 79, 76, 93}, "0 dBFS"},
    {94, {133, 78, 184, 92}, "300 ms"},
    {95, {75, 154, 127, 168}, "0.1 s"},
    {96, {188, 154, 240, 168}, "0.1 s"},
};

inline constexpr BackControlRow kRmsControls[] = {
    {72, K::kKnob, kBackKnobStrip, 54, 35, 0.667f, 1.f / 30, C},   // reference, 1 dB of -20..+10 dB
    {74, K::kKnob, kBackKnobStrip, 147, 35, 0.5f, 1.f / 30, C},    // RMS integration
    {73, K::kKnob, kBackKnobStrip, 24, 113, 0.5f, 1.f / 30, C},    // peak integration
    {75, K::kKnob, kBackKnobStrip, 118, 113, 0.5f, 1.f / 30, C},   // hold time
    {76, K::kKnob, kBackKnobStrip, 213, 113, 0.66f, 1.f / 30, C},  // return (fall-back)
    {79, K::kRmsLedRefKnob, kBackKnobStrip, 434, 35, 1.f, 1.f / 6, S},
    {78, K::kRmsOverLedKnob, kBackKnobStrip, 498, 113, 0.22f, 1.f / 9, S},
    {77, K::kSwitch3, 41008, 223, 50, 0, 0, nullptr},
    {81, K::kOnOff, 41003, 474, 28, 0, 0, nullptr},  // LED reference: from the reference / full scale
    {80, K::kOnOff, 41007, 532, 12, 0, 0, nullptr},
};
inline constexpr BackLabelRow kRmsLabels[] = {
    {72, {44, 77, 106, 91}, "0 dBFS"},   {74, {143, 76, 195, 90}, "300 ms"},  {73, {18, 154, 70, 168}, "300 ms"},
    {75, {114, 154, 166, 168}, "0.1 s"}, {76, {208, 154, 260, 168}, "0.1 s"},
};

template <size_t N, size_t M>
constexpr BackPanelTable table(const char* name, int type, int32_t background, const BackControlRow (&c)[N],
                               const BackLabelRow (&l)[M], const BackBox& version) {
  return {name, type, background, kBackKnobStrip, c, N, l, M, version};
}

inline constexpr BackPanelTable kVu = table("VU", 0, 40000, kVuControls, kVuLabels, {290, 86, 400, 100});
inline constexpr BackPanelTable kPpm = table("PPM", 2, 42000, kPpmControls, kPpmLabels, {281, 86, 391, 100});
inline constexpr BackPanelTable kRms = table("RMS", 1, 41000, kRmsControls, kRmsLabels, {293, 86, 403, 100});

}  // namespace backlayout

// By meter type (0 VU, 1 RMS, 2 PPM); null for any other.
constexpr const BackPanelTable* backPanelTable(int meterType) {
  return meterType == 0   ? &backlayout::kVu
         : meterType == 1 ? &backlayout::kRms
         : meterType == 2 ? &backlayout::kPpm
                          : nullptr;
}

// The row of a setting in a panel's table; null when the panel has none.
constexpr const BackControlRow* backControlRow(const BackPanelTable& t, int32_t tag) {
  for (size_t i = 0; i < t.controlCount; ++i)
    if (t.controls[i].tag == tag) return &t.controls[i];
  return nullptr;
}

}  // namespace orvane
