#include "controls/CZELOnOffButton.h"

#include "controls/ControlRules.h"

using namespace VSTGUI;
using orvane::onOffState;

CZELOnOffButton::CZELOnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background)
    : CControl(size, listener, tag, background) {}

void CZELOnOffButton::draw(CDrawContext* context) {
  if (background) orvane::drawStackedFrame(background, context, size, onOffState(value), background->getHeight() / 2);
  setDirty(false);
}

CMouseEventResult CZELOnOffButton::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  value = onOffState(value) == 0 ? 1.f : 0.f;
  bounceValue();
  beginEdit();
  valueChanged();
  endEdit();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool CZELOnOffButton::onWheel(const CPoint&, const float& distance, const CButtonState&) {
  int32_t notch = orvane::wheelNotch(wheelSign ? distance : -distance);
  if (notch == 0) return true;
  float before = value;
  if (!wheelMode)
    value = onOffState(value) == 0 ? 1.f : 0.f;
  else
    value = notch > 0 ? 1.f : 0.f;
  bounceValue();
  if (value != before) orvane::notifyChange(this);
  return true;
}

CMouseEventResult CZELOnOffButtonH::onMouseDown(CPoint& where, const CButtonState& buttons) {
  CMouseEventResult result = CZELOnOffButton::onMouseDown(where, buttons);
  if (result != kMouseEventNotHandled) showHint(tag, value);
  return result;
}

CMouseEventResult CZELOnOffButtonH::onMouseEntered(CPoint&, const CButtonState&) {
  showHint(tag, value);
  return kMouseEventHandled;
}

CMouseEventResult CZELOnOffButtonH::onMouseExited(CPoint&, const CButtonState&) {
  clearHint();
  return kMouseEventHandled;
}

bool CZELOnOffButtonH::onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) {
  bool used = CZELOnOffButton::onWheel(where, distance, buttons);
  showHint(tag, value);
  return used;
}

void CZELOnOffButtonAH::setActive(int32_t state) {
  int32_t next = state != 0 ? 1 : 0;
  if (next == active) return;
  active = next;
  setDirty(true);  // the strips' lamps show the state
}

CMouseEventResult CZELOnOffButtonAH::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!active) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  return CZELOnOffButton::onMouseDown(where, buttons);  // active: no hint after a click
}

CMouseEventResult CZELOnOffButtonAH::onMouseEntered(CPoint&, const CButtonState&) {
  if (active)
    clearHint();
  else
    showHint(tag, 0.f);
  return kMouseEventHandled;
}

bool CZELOnOffButtonAH::onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) {
  if (!active) return true;
  return CZELOnOffButtonH::onWheel(where, distance, buttons);
}

void StripActiveButton::draw(CDrawContext* context) {
  if (background) {
    int32_t frame = onOffState(value) == 0 ? 0 : (active ? 2 : 1);
    orvane::drawStackedFrame(background, context, size, frame, background->getHeight() / 3);
  }
  setDirty(false);
}

COnOffButtonH::COnOffButtonH(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                             int32_t style)
    : COnOffButton(size, listener, tag, background, style) {}

void COnOffButtonH::draw(CDrawContext* context) {
  if (background) orvane::drawStackedFrame(background, context, size, onOffState(value), background->getHeight() / 2);
  setDirty(false);
}

CMouseEventResult COnOffButtonH::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  value = onOffState(value) == 0 ? vmax : vmin;
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
  showHint(tag, value);
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CMouseEventResult COnOffButtonH::onMouseEntered(CPoint&, const CButtonState&) {
  showHint(tag, value);
  return kMouseEventHandled;
}

CMouseEventResult COnOffButtonH::onMouseExited(CPoint&, const CButtonState&) {
  clearHint();
  return kMouseEventHandled;
}
