#include "controls/CZELSliderAH.h"

#include <cmath>

#include "controls/ControlRules.h"

using namespace VSTGUI;

CZELSliderAH::CZELSliderAH(const CRect& size, CControlListener* listener, int32_t tag, int32_t iMinPos, int32_t iMaxPos,
                           CBitmap* handle, CBitmap* background, const CPoint& offset, const int32_t style)
    : CZELSlider(size, listener, tag, iMinPos, iMaxPos, handle, background, offset, style) {}

void CZELSliderAH::setActive(int32_t state) {
  int32_t next = state != 0 ? 1 : 0;
  if (next == active) return;
  active = next;
  if (!active && dragging) {
    dragging = false;
    endEdit();
  }
  setDirty(true);  // drawn at another opacity
}

void CZELSliderAH::draw(CDrawContext* context) {
  if (active) {
    CSlider::draw(context);
    return;
  }
  float alpha = context->getGlobalAlpha();
  context->setGlobalAlpha(alpha * 0.5f);
  CSlider::draw(context);
  context->setGlobalAlpha(alpha);
}

bool CZELSliderAH::onHandle(CCoord position) const {
  CRect handle = getHandleRect();
  CCoord lead = isHorizontal() ? handle.left : handle.top;
  CCoord length = isHorizontal() ? handle.getWidth() : handle.getHeight();
  return position >= lead && position <= lead + length;
}

float CZELSliderAH::valueCentredAt(CCoord position) const {
  CRect handle = getHandleRect();
  CCoord length = isHorizontal() ? handle.getWidth() : handle.getHeight();
  if (rangeHandle <= 0) return value;
  return valueFromFraction(static_cast<float>((position - length / 2 - minPos) / rangeHandle));
}

CMouseEventResult CZELSliderAH::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!active) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  if (buttons.isDoubleClick()) {
    float before = value;
    setValue(getDefaultValue());
    if (value != before) orvane::notifyChange(this);
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  lastPosition = along(where);
  dragging = false;
  beginEdit();
  return kMouseEventHandled;
}

CMouseEventResult CZELSliderAH::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!active) return kMouseEventHandled;
  if (!buttons.isLeftButton() || !isEditing() || rangeHandle <= 0) return kMouseEventHandled;
  CCoord position = along(where);
  if (!std::isfinite(position)) return kMouseEventHandled;
  if (!dragging) {
    if (!onHandle(lastPosition)) return kMouseEventHandled;  // a press beside the handle moves nothing
    dragging = true;
  }
  float before = value;
  bool fine = (buttons & kShift) != 0;
  if (fine || onHandle(lastPosition)) {
    // Relative: the value moves as far as the pointer did, up and right
    // increasing, and stops at its limits; the remembered position only
    // follows while the value can, so the handle waits at a limit until the
    // pointer comes back to where it left it.
    CCoord moved = isHorizontal() ? position - lastPosition : lastPosition - position;
    float change = static_cast<float>(moved / rangeHandle) * getRange();
    if (fine) change *= fineDragFactor;
    float next = value + change;
    if (next >= vmin && next <= vmax) lastPosition = position;
    setValue(next);
  } else if (onHandle(position)) {
    lastPosition = position;  // back on the handle: carry on from here
  }
  if (!fine && !onHandle(position)) {
    setValue(valueCentredAt(position));
    lastPosition = position;
  }
  if (value != before) {
    valueChanged();
    invalid();
  }
  return kMouseEventHandled;
}

CMouseEventResult CZELSliderAH::onMouseUp(CPoint&, const CButtonState&) {
  dragging = false;
  endEdit();
  return kMouseEventHandled;
}

bool CZELSliderAH::onWheel(const CPoint&, const float& distance, const CButtonState& buttons) {
  if (!active) return true;
  float before = value;
  setValue(value + orvane::wheelChange(distance, buttons, wheelStep, wheelFineFactor));
  if (value != before) orvane::notifyChange(this);
  return true;
}

CMouseEventResult CZELSliderAH::onMouseEntered(CPoint&, const CButtonState&) {
  if (active)
    clearHint();
  else
    showHint(tag, 0.f);
  return kMouseEventHandled;
}

CMouseEventResult CZELSliderAH::onMouseExited(CPoint&, const CButtonState&) {
  clearHint();
  return kMouseEventHandled;
}
