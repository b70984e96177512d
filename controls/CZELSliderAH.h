// The trim and filter-frequency sliders. They work only while Process is
// on: inactive, they are drawn at half opacity, take the mouse without
// doing anything and explain on entry what to do.
#pragma once

#include "controls/CZELHintControl.h"
#include "toolkit/vstgui.h"

// The toolkit's slider, unchanged: the base the window's sliders share.
class CZELSlider : public VSTGUI::CSlider {
 public:
  using VSTGUI::CSlider::CSlider;

  CLASS_METHODS(CZELSlider, VSTGUI::CSlider)
};

// Dragging starts only on the handle and then follows the pointer (up and
// right increase); with Shift it moves fineDragFactor times as far, also
// off the handle. Without Shift a pointer that leaves the handle brings the
// handle's centre under it. A double-click puts the default value back.
class CZELSliderAH : public CZELSlider, public CZELActiveControl, public CZELHintControl {
 public:
  CZELSliderAH(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag, int32_t iMinPos,
               int32_t iMaxPos, VSTGUI::CBitmap* handle, VSTGUI::CBitmap* background,
               const VSTGUI::CPoint& offset = VSTGUI::CPoint(0, 0),
               const int32_t style = VSTGUI::kLeft | VSTGUI::kHorizontal);

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseEntered(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseExited(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  bool onWheel(const VSTGUI::CPoint& where, const float& distance, const VSTGUI::CButtonState& buttons) override;

  virtual void setFineDragFactor(float factor) { fineDragFactor = factor; }
  float getFineDragFactor() const { return fineDragFactor; }
  void setWheelStep(float step) { wheelStep = step; }
  float getWheelStep() const { return wheelStep; }
  void setWheelFineFactor(float factor) { wheelFineFactor = factor; }
  float getWheelFineFactor() const { return wheelFineFactor; }
  // 1 active, 0 inactive; any non-zero value counts as active.
  virtual void setActive(int32_t state);
  int32_t getActive() const { return active; }
  bool isDragging() const { return dragging; }

  CLASS_METHODS(CZELSliderAH, CZELSlider)

 protected:
  // Whether a position along the slider's axis lies on the handle.
  bool onHandle(VSTGUI::CCoord position) const;
  // The value that puts the handle's centre at a position along the axis.
  float valueCentredAt(VSTGUI::CCoord position) const;

  float fineDragFactor = 1.f;
  bool dragging = false;
  float wheelStep = 0.025f;
  float wheelFineFactor = 0.1f;
  int32_t active = 1;
  VSTGUI::CCoord lastPosition = 0;  // along the axis, where the pointer was last followed
};
