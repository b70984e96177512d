// The window's knobs: film-strip knobs that drag in a straight line (right
// and up increase) at a rate the placing panel tunes, the front panels'
// reference knob with its value text, and the three-digit lag-time
// control.
#pragma once

#include <string>

#include "controls/CZELHintControl.h"
#include "toolkit/vstgui.h"

// dragScale × 1000 pixels of drag cover the whole range, dragFineFactor
// times as many with Shift; a wheel notch moves wheelStep, times
// wheelFineFactor with Shift. Control-click or double-click puts the
// default value back. The knob ignores the frame's knob mode.
class CAnimKnob4 : public VSTGUI::CAnimKnob {
 public:
  CAnimKnob4(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag, int32_t subPixmaps,
             VSTGUI::CCoord heightOfOneImage, VSTGUI::CBitmap* background,
             const VSTGUI::CPoint& offset = VSTGUI::CPoint(0, 0));
  // As many frames as the bitmap holds of the knob's height.
  CAnimKnob4(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag, VSTGUI::CBitmap* background,
             const VSTGUI::CPoint& offset = VSTGUI::CPoint(0, 0));

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  bool onWheel(const VSTGUI::CPoint& where, const float& distance, const VSTGUI::CButtonState& buttons) override;

  void setDragScale(float v) { dragScale = v; }
  float getDragScale() const { return dragScale; }
  void setDragFineFactor(float v) { dragFineFactor = v; }
  float getDragFineFactor() const { return dragFineFactor; }
  void setWheelStep(float v) { wheelStep = v; }
  float getWheelStep() const { return wheelStep; }
  void setWheelFineFactor(float v) { wheelFineFactor = v; }
  float getWheelFineFactor() const { return wheelFineFactor; }

  // The frame the knob shows now.
  int32_t frameIndex() const;

  CLASS_METHODS(CAnimKnob4, VSTGUI::CAnimKnob)

 protected:
  // Where along the film strip the value is drawn, 0 … 1. Knobs for
  // stepped settings draw their positions at fractions of their own.
  virtual float drawnFraction() const;
  // Pixels of drag for the whole range with or without Shift held.
  float dragDistance(const VSTGUI::CButtonState& buttons) const;

  VSTGUI::CPoint dragStart;
  float dragStartValue = 0.f;
  float dragRate = 0.f;  // value per pixel
  VSTGUI::CButtonState dragButtons;
  float dragScale = 1.f;
  float dragFineFactor = 5.f;
  float wheelStep = 0.01f;
  float wheelFineFactor = 0.1f;
};

// The reference-level knob of the front panels: the bitmap's first frame
// and the reference as text beside it, both only while the strips are
// shown. Hidden, it is neither drawn nor worked by the mouse.
class CFrontReferenceControl : public CAnimKnob4, public CZELHintControl, public CZELActiveControl {
 public:
  CFrontReferenceControl(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag,
                         VSTGUI::CBitmap* background, const VSTGUI::CPoint& offset = VSTGUI::CPoint(0, 0));

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseEntered(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseExited(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  bool onWheel(const VSTGUI::CPoint& where, const float& distance, const VSTGUI::CButtonState& buttons) override;

  // 1 shown, 0 hidden.
  void setShown(int32_t state);
  int32_t getShown() const { return shown; }
  // The reference as the engine words it ("-18 dBFS"); a null text is empty.
  void setValueText(VSTGUI::UTF8StringPtr text);
  VSTGUI::UTF8StringPtr getValueText() const { return valueText.c_str(); }

  CLASS_METHODS(CFrontReferenceControl, CAnimKnob4)

 protected:
  int32_t shown = 1;
  std::string valueText;
};

// The lag time, 0 … 999 (value 0 … 1), as three digits. A press just above
// the centre steps it up, just below down (10, or 1 with Shift); a vertical
// drag changes it by 2 per pixel (a tenth with Shift); a double-click
// elsewhere leaves a mark that asks the listener for the host's latency.
class CZELLatencyControl : public VSTGUI::CAnimKnob {
 public:
  CZELLatencyControl(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag,
                     VSTGUI::CBitmap* background, const VSTGUI::CPoint& offset = VSTGUI::CPoint(0, 0));

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  bool onWheel(const VSTGUI::CPoint& where, const float& distance, const VSTGUI::CButtonState& buttons) override;

  // The mark a double-click leaves; the label strip reads and clears it.
  bool getDoubleClickMark() const { return doubleClickMark; }
  void clearDoubleClickMark() { doubleClickMark = false; }
  void setWheelStep(float v) { wheelStep = v; }
  float getWheelStep() const { return wheelStep; }
  void setWheelFineFactor(float v) { wheelFineFactor = v; }
  float getWheelFineFactor() const { return wheelFineFactor; }
  // The number shown, 0 … 999.
  int32_t shownNumber() const;

  CLASS_METHODS(CZELLatencyControl, VSTGUI::CAnimKnob)

 protected:
  bool doubleClickMark = false;
  float lastDragY = 0.f;
  float wheelStep = 10.f / 999.f;
  float wheelFineFactor = 0.1f;
};
