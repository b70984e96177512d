// Knobs. CKnob draws a background and a line handle; CAnimKnob draws one
// frame of a vertical film strip per value. How they follow the mouse is
// the frame's knob mode: circular (the value follows the pointer's angle
// round the centre) or linear (right and up increase: 200 pixels for the
// whole range, ten times as far with Shift).
#pragma once

#include "toolkit/ccolor.h"
#include "toolkit/ccontrol.h"

namespace VSTGUI {

class CKnob : public CControl {
 public:
  CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background, CBitmap* handle,
        const CPoint& offset = CPoint(0, 0));
  CKnob(const CKnob& other);
  ~CKnob() override;

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;

  // The sweep: value 0 at startAngle, value 1 rangeAngle further clockwise
  // (radians; 0 points right, angles grow anticlockwise).
  void setStartAngle(float val) { startAngle = val; }
  float getStartAngle() const { return startAngle; }
  void setRangeAngle(float val) { rangeAngle = val; }
  float getRangeAngle() const { return rangeAngle; }
  void setZoomFactor(float val) { zoomFactor = val; }
  float getZoomFactor() const { return zoomFactor; }
  void setColorHandle(const CColor& c) { colorHandle = c; }
  void setInsetValue(CCoord val) { inset = val; }

  // Value of a point given relative to the knob's top-left.
  virtual float valueFromPoint(CPoint& point) const;
  virtual void valueToPoint(CPoint& point) const;

  CLASS_METHODS(CKnob, CControl)

 protected:
  CPoint offset;
  CBitmap* pHandle;
  CColor colorHandle = kWhiteCColor;
  CCoord inset = 3;
  float startAngle;
  float rangeAngle;
  float zoomFactor = 10.f;
  // drag state
  CPoint firstPoint;
  CPoint lastPoint;
  float startValue = 0.f;
  float entryState = 0.f;
  float range = 200.f;
  float coef = 0.f;
  CButtonState oldButton;
  bool modeLinear = false;
};

class CAnimKnob : public CKnob {
 public:
  // subPixmaps frames of heightOfOneImage pixels, stacked vertically.
  CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
            CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint(0, 0));
  // As many frames as the bitmap holds of the knob's height.
  CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
            const CPoint& offset = CPoint(0, 0));

  void draw(CDrawContext* context) override;

  int32_t getNumSubPixmaps() const { return subPixmaps; }
  void setNumSubPixmaps(int32_t n) { subPixmaps = n; }
  CCoord getHeightOfOneImage() const { return heightOfOneImage; }
  void setHeightOfOneImage(const CCoord& h) { heightOfOneImage = h; }
  // Inverse: value 0 shows the last frame.
  void setInverseBitmap(bool val) { inverseBitmap = val; }

  CLASS_METHODS(CAnimKnob, CKnob)

 protected:
  int32_t subPixmaps;
  CCoord heightOfOneImage;
  bool inverseBitmap = false;
};

}  // namespace VSTGUI
