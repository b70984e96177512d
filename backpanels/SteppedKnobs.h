// Knobs for settings that have a few positions only. The stored value stays
// continuous (the engine rounds it to its position); these knobs only draw
// each position at a place of their own along the film strip, so that the
// pointer stands on the mark printed for that position rather than on an
// even division of the travel.
#pragma once

#include "backpanels/BackPanelLayout.h"
#include "controls/CAnimKnob4.h"

namespace orvane {

class CSteppedKnob : public CAnimKnob4 {
 public:
  CSteppedKnob(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag, VSTGUI::CBitmap* background,
               const KnobSteps& steps);

  // The position the value stands for, 0 … positions − 1.
  int32_t position() const;
  const KnobSteps& steps() const { return steps_; }

  CLASS_METHODS(CSteppedKnob, CAnimKnob4)

 protected:
  float drawnFraction() const override;

 private:
  KnobSteps steps_;
};

// The seven stepped knobs of the back panels.
#define ORVANE_STEPPED_KNOB(Name)                                                                              \
  class Name : public CSteppedKnob {                                                                           \
   public:                                                                                                     \
    Name(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag, VSTGUI::CBitmap* bitmap); \
    static const KnobSteps kSteps;                                                                             \
    CLASS_METHODS(Name, CSteppedKnob)                                                                          \
  };

// RMS over level: seven positions spread over the whole travel.
ORVANE_STEPPED_KNOB(CRmsLedRefKnob)
// RMS overs count (1 … 10 samples): the end positions sit just inside the
// ends of the travel.
ORVANE_STEPPED_KNOB(CRmsOverLedKnob)
// VU and PPM overs count: as the RMS one, the last two pulled in further.
ORVANE_STEPPED_KNOB(CVuOverLedKnob)
ORVANE_STEPPED_KNOB(CPpmOverLedKnob)
// VU LED reference and PPM over reference: four positions at 10, 38, 62
// and 90 % of the travel, never at its ends.
ORVANE_STEPPED_KNOB(CVuLedRefKnob)
ORVANE_STEPPED_KNOB(CPpmLedRefKnob)
// VU backlight: five levels in the middle of the travel.
ORVANE_STEPPED_KNOB(CVuBackLitKnob)

#undef ORVANE_STEPPED_KNOB

}  // namespace orvane
