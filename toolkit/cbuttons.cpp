#include "toolkit/cbuttons.h"

#include "toolkit/cdrawcontext.h"

namespace VSTGUI {

COnOffButton::COnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                           int32_t style)
    : CControl(size, listener, tag, background), style(style) {}

void COnOffButton::draw(CDrawContext* context) {
  if (background) {
    CCoord off = value == vmax ? background->getHeight() / 2 : 0;
    background->draw(context, size, CPoint(0, off));
  }
  setDirty(false);
}

CMouseEventResult COnOffButton::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  value = value == vmax ? vmin : vmax;
  if (style & kPostListenerUpdate) {
    beginEdit();
    valueChanged();
    endEdit();
    invalid();
  } else {
    invalid();
    beginEdit();
    valueChanged();
    endEdit();
  }
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CKickButton::CKickButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                         const CPoint& offset)
    : CControl(size, listener, tag, background), offset(offset), heightOfOneImage(size.getHeight()) {}

CKickButton::CKickButton(const CRect& size, CControlListener* listener, int32_t tag, CCoord heightOfOneImage,
                         CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background), offset(offset), heightOfOneImage(heightOfOneImage) {}

void CKickButton::draw(CDrawContext* context) {
  CPoint where(offset);
  bounceValue();
  if (value == vmax) where.y += heightOfOneImage;
  if (background) background->draw(context, size, where);
  setDirty(false);
}

CMouseEventResult CKickButton::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  entryState = value;
  beginEdit();
  return onMouseMoved(where, buttons);
}

CMouseEventResult CKickButton::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (buttons.isLeftButton()) {
    // Sliding off the button lets it go without a release event.
    value = size.pointInside(where) ? vmax : vmin;
    if (isDirty()) invalid();
  }
  return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseUp(CPoint&, const CButtonState&) {
  if (value == vmax) valueChanged();
  value = vmin;
  valueChanged();
  if (isDirty()) invalid();
  endEdit();
  return kMouseEventHandled;
}

}  // namespace VSTGUI
