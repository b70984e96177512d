#include "controls/CZLKickButton.h"

#include "controls/ControlRules.h"

using namespace VSTGUI;

CZLKickButton::CZLKickButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                             const CPoint& offset)
    : CKickButton(size, listener, tag, background, offset),
      frameHeight(static_cast<int32_t>(size.getHeight())),
      frameOffset(offset) {}

CZLKickButton::CZLKickButton(const CRect& size, CControlListener* listener, int32_t tag, CCoord heightOfOneImage,
                             CBitmap* background, const CPoint& offset)
    : CKickButton(size, listener, tag, heightOfOneImage, background, offset),
      frameHeight(static_cast<int32_t>(heightOfOneImage)),
      frameOffset(offset) {}

void CZLKickButton::draw(CDrawContext* context) {
  int32_t frame = pressed ? 2 : hover ? 1 : 0;
  orvane::drawStackedFrame(background, context, size, frame, frameHeight, frameOffset);
  setDirty(false);
}

CMouseEventResult CZLKickButton::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  pressed = true;
  value = 1.f;
  bounceValue();
  CBaseObjectGuard guard(this);
  valueChanged();
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CZLKickButton::onMouseMoved(CPoint&, const CButtonState&) { return kMouseEventHandled; }

CMouseEventResult CZLKickButton::onMouseUp(CPoint&, const CButtonState&) {
  value = 0.f;
  bounceValue();
  pressed = false;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CZLKickButton::onMouseEntered(CPoint&, const CButtonState&) {
  hover = true;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CZLKickButton::onMouseExited(CPoint&, const CButtonState&) {
  hover = false;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CZLKickButtonH::onMouseEntered(CPoint& where, const CButtonState& buttons) {
  CZLKickButton::onMouseEntered(where, buttons);
  showHint(tag, 0.f);
  return kMouseEventHandled;
}

CMouseEventResult CZLKickButtonH::onMouseExited(CPoint& where, const CButtonState& buttons) {
  CZLKickButton::onMouseExited(where, buttons);
  clearHint();
  return kMouseEventHandled;
}
