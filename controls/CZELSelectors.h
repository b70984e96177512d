// Switches and selectors: the settings-scope selector (three positions
// side by side), the meter-type selector (previous and next zones at its
// ends, the back-panel flip in the middle) and the multi-position switch
// with wheel stepping.
#pragma once

#include "controls/CZELHintControl.h"
#include "controls/CZELOnOffButton.h"
#include "toolkit/vstgui.h"

// Three positions (values 0, 0.5, 1), each frame as high as the control.
// A click picks the position under the pointer: x below 14 (from the
// control's left) the first, below 26 the second, below 38 the third;
// further right (the explanation beside the choices) chooses nothing.
class CZELCalibrationControl : public VSTGUI::CControl {
 public:
  CZELCalibrationControl(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag,
                         VSTGUI::CBitmap* background);

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  bool onWheel(const VSTGUI::CPoint& where, const float& distance, const VSTGUI::CButtonState& buttons) override;

  // The position a press at x (the control's own coordinates) picks, or -1.
  static int32_t positionAt(VSTGUI::CCoord x);

  CLASS_METHODS(CZELCalibrationControl, VSTGUI::CControl)
};

// The meter-type selector (values 0 VU, 0.5 RMS, 1 PPM). The 20 pixels at
// its left end step back to the previous meter type, those at its right
// end on to the next (both wrap), and the middle flips the panel's
// settings back panel by reporting its inner button (tag 65) instead. The
// bitmap shows the zone under the mouse: frame 1 left, frame 2 right,
// frame 0 elsewhere.
class CZELMeterSelectorControl : public VSTGUI::CControl, public CZELHintControl {
 public:
  static constexpr int32_t kFlipTag = 65;
  enum Zone : int32_t { kLeftZone = 0, kRightZone = 1, kNoZone = 2 };

  CZELMeterSelectorControl(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag,
                           VSTGUI::CBitmap* background);
  ~CZELMeterSelectorControl() override;
  CZELMeterSelectorControl(const CZELMeterSelectorControl&) = delete;
  CZELMeterSelectorControl& operator=(const CZELMeterSelectorControl&) = delete;

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseEntered(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseExited(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  bool onWheel(const VSTGUI::CPoint& where, const float& distance, const VSTGUI::CButtonState& buttons) override;
  void setViewSize(const VSTGUI::CRect& rect, bool invalid = true) override;
  void setListener(VSTGUI::CControlListener* l) override;

  int32_t getZone() const { return zone; }
  // The button the middle zone reports (tag 65, value 1).
  CZELOnOffButton* getFlipButton() const { return flipButton; }

  CLASS_METHODS_NOCOPY(CZELMeterSelectorControl, VSTGUI::CControl)

 protected:
  int32_t zoneAt(const VSTGUI::CPoint& where) const;
  void updateZone(const VSTGUI::CPoint& where);

  CZELOnOffButton* flipButton;
  int32_t leftLimit;
  int32_t rightLimit;
  int32_t zone = kNoZone;
};

// The toolkit's multi-position switch; the wheel moves it one position per
// notch.
class CZELHorizontalSwitch : public VSTGUI::CHorizontalSwitch {
 public:
  using VSTGUI::CHorizontalSwitch::CHorizontalSwitch;

  bool onWheel(const VSTGUI::CPoint& where, const float& distance, const VSTGUI::CButtonState& buttons) override;

  CLASS_METHODS(CZELHorizontalSwitch, VSTGUI::CHorizontalSwitch)
};
