// A slider: a handle bitmap that moves over an optional background along
// one axis. The handle's leading edge travels from iMinPos to iMaxPos minus
// the handle's length (positions in the parent's coordinates), so the
// handle stays inside that span. Horizontal sliders grow to the right
// (kLeft) and vertical ones upwards (kBottom) unless told otherwise.
#pragma once

#include "toolkit/ccontrol.h"

namespace VSTGUI {

enum CSliderStyle {
  kHorizontal = 1 << 0,
  kVertical = 1 << 1,
  kLeft = 1 << 2,
  kRight = 1 << 3,
  kTop = 1 << 4,
  kBottom = 1 << 5,
};

class CSlider : public CControl {
 public:
  CSlider(const CRect& size, CControlListener* listener, int32_t tag, int32_t iMinPos, int32_t iMaxPos,
          CBitmap* handle, CBitmap* background, const CPoint& offset = CPoint(0, 0),
          const int32_t style = kLeft | kHorizontal);
  CSlider(const CSlider& other);
  ~CSlider() override;

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;

  // Where the handle is drawn now (parent's coordinates).
  CRect getHandleRect() const;
  // Pixels the handle moves over the whole range.
  CCoord getHandleTravel() const { return rangeHandle; }
  // Where the handle's leading edge is at the start of its travel.
  CCoord getMinPos() const { return minPos; }
  int32_t getStyle() const { return style; }
  void setHandle(CBitmap* handle);
  CBitmap* getHandle() const { return pHandle; }
  // With free click the handle jumps under the pointer on a press anywhere;
  // without, only a press on the handle moves it.
  void setFreeClick(bool val) { freeClick = val; }
  bool getFreeClick() const { return freeClick; }
  // Drags with the zoom modifier (Shift) move the value this many times
  // more slowly.
  void setZoomFactor(float val) { zoomFactor = val; }
  float getZoomFactor() const { return zoomFactor; }

  CLASS_METHODS(CSlider, CControl)

 protected:
  bool isHorizontal() const { return (style & kHorizontal) != 0; }
  // The value as the fraction of the travel from the start edge.
  float travelFraction() const;
  float valueFromFraction(float fraction) const;
  CCoord along(const CPoint& p) const { return isHorizontal() ? p.x : p.y; }

  CPoint offset;
  CBitmap* pHandle;
  int32_t style;
  CCoord minPos;      // start of the span, parent's coordinates
  CCoord rangeHandle;  // handle travel in pixels
  float zoomFactor = 10.f;
  bool freeClick = true;
  CCoord delta = 0;   // pointer position minus handle leading edge
  float startValue = 0.f;
  CPoint mouseStart;
  CButtonState oldButton;
};

}  // namespace VSTGUI
