// Two stock buttons: an on/off button that toggles on each click, and a kick
// button that is on only while it is held down.
#pragma once

#include "toolkit/ccontrol.h"

namespace VSTGUI {

enum { kPreListenerUpdate = 0, kPostListenerUpdate = 1 };

// Frame 0 (top half of the bitmap) off, frame 1 (bottom half) on.
class COnOffButton : public CControl {
 public:
  COnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
               int32_t style = kPreListenerUpdate);

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

  int32_t getStyle() const { return style; }
  void setStyle(int32_t newStyle) { style = newStyle; }

  CLASS_METHODS(COnOffButton, CControl)

 protected:
  int32_t style;
};

// Frame 0 released, frame 1 pressed. The value is the maximum while the
// button is held with the pointer on it; the listener hears the press and
// the release.
class CKickButton : public CControl {
 public:
  CKickButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
              const CPoint& offset = CPoint(0, 0));
  CKickButton(const CRect& size, CControlListener* listener, int32_t tag, CCoord heightOfOneImage,
              CBitmap* background, const CPoint& offset = CPoint(0, 0));

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;

  CCoord getHeightOfOneImage() const { return heightOfOneImage; }
  void setHeightOfOneImage(const CCoord& height) { heightOfOneImage = height; }

  CLASS_METHODS(CKickButton, CControl)

 protected:
  CPoint offset;
  CCoord heightOfOneImage;
  float entryState = 0.f;
};

}  // namespace VSTGUI
