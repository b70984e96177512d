#include "backpanels/SteppedKnobs.h"

#include <algorithm>

using namespace VSTGUI;

namespace orvane {

namespace {

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

// Where each kind draws its positions: BackPanelLayout.h, which the
// artwork generator engraves the scales after.
#define ORVANE_STEPPED_KNOB_DEF(Name, kind)                                               \
  const KnobSteps Name::kSteps = knobSteps(BackControl::kind);                            \
  Name::Name(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bitmap) \
      : CSteppedKnob(size, listener, tag, bitmap, kSteps) {}

ORVANE_STEPPED_KNOB_DEF(CRmsLedRefKnob, kRmsLedRefKnob)
ORVANE_STEPPED_KNOB_DEF(CRmsOverLedKnob, kRmsOverLedKnob)
ORVANE_STEPPED_KNOB_DEF(CVuOverLedKnob, kVuOverLedKnob)
ORVANE_STEPPED_KNOB_DEF(CPpmOverLedKnob, kPpmOverLedKnob)
ORVANE_STEPPED_KNOB_DEF(CVuLedRefKnob, kVuLedRefKnob)
ORVANE_STEPPED_KNOB_DEF(CPpmLedRefKnob, kPpmLedRefKnob)
ORVANE_STEPPED_KNOB_DEF(CVuBackLitKnob, kVuBackLitKnob)

#undef ORVANE_STEPPED_KNOB_DEF

}  // namespace orvane
