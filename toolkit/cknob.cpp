#include "toolkit/cknob.h"

#include <cmath>

#include "toolkit/cdrawcontext.h"
#include "toolkit/cframe.h"

namespace VSTGUI {

namespace {
constexpr float kPi = 3.14159265358979f;
}

// The classic sweep: from lower left (225°) clockwise through the top to
// lower right (−45°), leaving a 90° gap at the bottom.
CKnob::CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background, CBitmap* handle,
             const CPoint& offset)
    : CControl(size, listener, tag, background),
      offset(offset),
      pHandle(handle),
      startAngle(1.25f * kPi),
      rangeAngle(1.5f * kPi) {
  if (pHandle) pHandle->remember();
  setWantsFocus(true);
}

CKnob::CKnob(const CKnob& o)
    : CControl(o),
      offset(o.offset),
      pHandle(o.pHandle),
      colorHandle(o.colorHandle),
      inset(o.inset),
      startAngle(o.startAngle),
      rangeAngle(o.rangeAngle),
      zoomFactor(o.zoomFactor) {
  if (pHandle) pHandle->remember();
}

CKnob::~CKnob() {
  if (pHandle) pHandle->forget();
}

void CKnob::valueToPoint(CPoint& point) const {
  float angle = startAngle - getValueNormalized() * rangeAngle;
  CCoord radius = getWidth() / 2 - inset;
  point.x = getWidth() / 2 + radius * std::cos(angle);
  point.y = getHeight() / 2 - radius * std::sin(angle);
}

float CKnob::valueFromPoint(CPoint& point) const {
  double dx = point.x - getWidth() / 2;
  double dy = getHeight() / 2 - point.y;
  if (dx == 0 && dy == 0) return value;
  double angle = std::atan2(dy, dx);
  // Clockwise distance from the start angle, 0 … 2π.
  double swept = startAngle - angle;
  while (swept < 0) swept += 2 * kPi;
  while (swept >= 2 * kPi) swept -= 2 * kPi;
  double fraction;
  if (swept <= rangeAngle)
    fraction = swept / rangeAngle;
  else  // in the gap: the nearer end
    fraction = (swept - rangeAngle) < (2 * kPi - swept) ? 1.0 : 0.0;
  return vmin + static_cast<float>(fraction) * getRange();
}

void CKnob::draw(CDrawContext* context) {
  if (background) background->draw(context, size, offset);
  CPoint tip;
  valueToPoint(tip);
  CPoint centre(getWidth() / 2, getHeight() / 2);
  tip.offset(size.left, size.top);
  centre.offset(size.left, size.top);
  if (pHandle) {
    CRect r(tip.x - pHandle->getWidth() / 2, tip.y - pHandle->getHeight() / 2, 0, 0);
    r.setWidth(pHandle->getWidth()).setHeight(pHandle->getHeight());
    pHandle->draw(context, r);
  } else {
    context->setDrawMode(kAntiAliasing);
    context->setFrameColor(colorHandle);
    context->setLineWidth(1);
    context->drawLine(centre, tip);
  }
  setDirty(false);
}

CMouseEventResult CKnob::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  beginEdit();
  if (checkDefaultValue(buttons)) {
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  firstPoint = lastPoint = where;
  startValue = entryState = value;
  oldButton = buttons;
  int32_t mode = getFrame() ? getFrame()->getKnobMode() : kCircularMode;
  // Alt swaps linear and circular for one drag.
  modeLinear = (mode == kLinearMode) != ((buttons & kAlt) != 0);
  range = 200.f;
  if (modeLinear && (buttons & kZoomModifier)) range *= zoomFactor;
  coef = getRange() / range;
  if (!modeLinear) {
    CPoint p(where);
    p.offset(-size.left, -size.top);
    startValue = valueFromPoint(p);
    // Circular: the value goes straight to the angle pressed; relative:
    // it keeps its distance from it.
    if (mode == kRelativCircularMode)
      entryState = value - startValue;
    else
      value = startValue;
  }
  return onMouseMoved(where, buttons);
}

CMouseEventResult CKnob::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton() || !isEditing()) return kMouseEventHandled;
  if (modeLinear) {
    CCoord diff = (firstPoint.y - where.y) + (where.x - firstPoint.x);
    if (buttons != oldButton) {
      // Shift pressed or let go mid-drag: rebase so the value does not jump.
      range = 200.f;
      if (buttons & kZoomModifier) range *= zoomFactor;
      float coef2 = getRange() / range;
      entryState += static_cast<float>(diff) * (coef - coef2);
      coef = coef2;
      oldButton = buttons;
    }
    value = entryState + static_cast<float>(diff) * coef;
  } else {
    CPoint p(where);
    p.offset(-size.left, -size.top);
    float v = valueFromPoint(p);
    int32_t mode = getFrame() ? getFrame()->getKnobMode() : kCircularMode;
    if (mode == kRelativCircularMode) v += entryState;
    // No jump across the gap at the bottom from one end to the other.
    if (std::fabs(v - value) < 0.5f * getRange() || getRange() == 0) value = v;
  }
  lastPoint = where;
  bounceValue();
  if (isDirty()) {
    invalid();
    valueChanged();
  }
  return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseUp(CPoint&, const CButtonState&) {
  endEdit();
  return kMouseEventHandled;
}

bool CKnob::onWheel(const CPoint&, const float& distance, const CButtonState& buttons) {
  float v = value;
  if (buttons & kZoomModifier)
    v += 0.1f * distance * wheelInc;
  else
    v += distance * wheelInc;
  setValue(v);
  if (isDirty()) {
    invalid();
    beginEdit();
    valueChanged();
    endEdit();
  }
  return true;
}

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                     CCoord heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CKnob(size, listener, tag, background, nullptr, offset),
      subPixmaps(subPixmaps),
      heightOfOneImage(heightOfOneImage) {}

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                     const CPoint& offset)
    : CKnob(size, listener, tag, background, nullptr, offset),
      subPixmaps(0),
      heightOfOneImage(size.getHeight()) {
  if (background && heightOfOneImage > 0)
    subPixmaps = static_cast<int32_t>(background->getHeight() / heightOfOneImage);
}

void CAnimKnob::draw(CDrawContext* context) {
  if (background && heightOfOneImage > 0 && subPixmaps > 0) {
    float v = getValueNormalized();
    if (inverseBitmap) v = 1.f - v;
    int32_t frame = static_cast<int32_t>(std::floor(v * (subPixmaps - 1)));
    if (frame < 0) frame = 0;
    if (frame > subPixmaps - 1) frame = subPixmaps - 1;
    background->draw(context, size, CPoint(offset.x, offset.y + frame * heightOfOneImage));
  }
  setDirty(false);
}

}  // namespace VSTGUI
