#include "backpanels/SteppedKnobs.h"

#include <algorithm>

using namespace VSTGUI;

namespace orvane {

namespace {

// One to ten samples make an over. The first position stands a little
// inside the start of the travel, the last ones a little inside its end,
// where the printed numbers have room.
constexpr float kRmsOvers[10] = {0.4f / 9, 1.f / 9, 2.f / 9, 3.f / 9, 4.f / 9,
                                 5.f / 9,  6.f / 9, 7.f / 9, 8.f / 9, 8.5f / 9};
constexpr float kVuOvers[10] = {0.4f / 9, 1.f / 9, 2.f / 9, 3.f / 9,  4.f / 9,
                                5.f / 9,  6.f / 9, 7.f / 9, 7.8f / 9, 8.7f / 9};
constexpr float kRmsOverLevel[7] = {0.f, 1.f / 6, 2.f / 6, 3.f / 6, 4.f / 6, 5.f / 6, 1.f};
constexpr float kLedRef[4] = {0.1f, 0.38f, 0.62f, 0.9f};
constexpr float kBackLit[5] = {0.3f, 0.4f, 0.5f, 0.6f, 0.7f};

// Every knob of the back panels uses the 51 frames of the knob strip; a
// stepped knob's rectangle is one frame of it.
int32_t framesOf(CBitmap* bitmap, const CRect& size) {
  const CCoord h = size.getHeight();
  if (!bitmap || h <= 0) return 1;
  return std::max<int32_t>(1, static_cast<int32_t>(bitmap->getHeight() / h));
}

}  // namespace

CSteppedKnob::CSteppedKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                           const KnobSteps& steps)
    : CAnimKnob4(size, listener, tag, framesOf(background, size), size.getHeight(), background), steps_(steps) {}

int32_t CSteppedKnob::position() const {
  if (steps_.positions < 2) return 0;
  // getValueNormalized is within 0 … 1: the control clamps every value it
  // takes and reads NaN as its minimum.
  const float v = std::clamp(getValueNormalized(), 0.f, 1.f);
  const int32_t p = static_cast<int32_t>(v * static_cast<float>(steps_.positions - 1) + 0.5f);
  return std::clamp<int32_t>(p, 0, steps_.positions - 1);
}

float CSteppedKnob::drawnFraction() const { return steps_.fractions ? steps_.fractions[position()] : 0.f; }

#define ORVANE_STEPPED_KNOB_DEF(Name, table)                                                      \
  const KnobSteps Name::kSteps = {static_cast<int32_t>(sizeof(table) / sizeof(table[0])), table}; \
  Name::Name(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bitmap)         \
      : CSteppedKnob(size, listener, tag, bitmap, kSteps) {}

ORVANE_STEPPED_KNOB_DEF(CRmsLedRefKnob, kRmsOverLevel)
ORVANE_STEPPED_KNOB_DEF(CRmsOverLedKnob, kRmsOvers)
ORVANE_STEPPED_KNOB_DEF(CVuOverLedKnob, kVuOvers)
ORVANE_STEPPED_KNOB_DEF(CPpmOverLedKnob, kVuOvers)
ORVANE_STEPPED_KNOB_DEF(CVuLedRefKnob, kLedRef)
ORVANE_STEPPED_KNOB_DEF(CPpmLedRefKnob, kLedRef)
ORVANE_STEPPED_KNOB_DEF(CVuBackLitKnob, kBackLit)

#undef ORVANE_STEPPED_KNOB_DEF

}  // namespace orvane
