#include "toolkit/cslider.h"

#include <algorithm>

#include "toolkit/cdrawcontext.h"

namespace VSTGUI {

CSlider::CSlider(const CRect& size, CControlListener* listener, int32_t tag, int32_t iMinPos, int32_t iMaxPos,
                 CBitmap* handle, CBitmap* background, const CPoint& offset, const int32_t style)
    : CControl(size, listener, tag, background), offset(offset), pHandle(handle), style(style), minPos(iMinPos) {
  if (pHandle) pHandle->remember();
  if (!(this->style & (kHorizontal | kVertical))) this->style |= kHorizontal;
  if (isHorizontal() && !(this->style & (kLeft | kRight))) this->style |= kLeft;
  if (!isHorizontal() && !(this->style & (kTop | kBottom))) this->style |= kBottom;
  CCoord handleLength = pHandle ? (isHorizontal() ? pHandle->getWidth() : pHandle->getHeight()) : 0;
  rangeHandle = std::max<CCoord>(0, iMaxPos - iMinPos - handleLength);
  setWantsFocus(true);
}

CSlider::CSlider(const CSlider& o)
    : CControl(o),
      offset(o.offset),
      pHandle(o.pHandle),
      style(o.style),
      minPos(o.minPos),
      rangeHandle(o.rangeHandle),
      zoomFactor(o.zoomFactor),
      freeClick(o.freeClick) {
  if (pHandle) pHandle->remember();
}

CSlider::~CSlider() {
  if (pHandle) pHandle->forget();
}

void CSlider::setHandle(CBitmap* handle) {
  if (handle) handle->remember();
  if (pHandle) pHandle->forget();
  pHandle = handle;
  setDirty(true);
}

float CSlider::travelFraction() const {
  float v = getValueNormalized();
  // kLeft and kTop put the minimum at the start edge (left or top).
  return (style & (kLeft | kTop)) ? v : 1.f - v;
}

float CSlider::valueFromFraction(float fraction) const {
  fraction = std::clamp(fraction, 0.f, 1.f);
  float v = (style & (kLeft | kTop)) ? fraction : 1.f - fraction;
  return vmin + v * getRange();
}

CRect CSlider::getHandleRect() const {
  CCoord w = pHandle ? pHandle->getWidth() : 0;
  CCoord h = pHandle ? pHandle->getHeight() : 0;
  CCoord lead = minPos + static_cast<int32_t>(travelFraction() * rangeHandle + 0.5f);
  if (isHorizontal()) return CRect(lead, size.top + offset.y, lead + w, size.top + offset.y + h);
  return CRect(size.left + offset.x, lead, size.left + offset.x + w, lead + h);
}

void CSlider::draw(CDrawContext* context) {
  if (background) background->draw(context, size, offset);
  if (pHandle) {
    CRect r = getHandleRect();
    pHandle->draw(context, r);
  }
  setDirty(false);
}

CMouseEventResult CSlider::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  if (checkDefaultValue(buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  CRect handle = getHandleRect();
  CCoord lead = isHorizontal() ? handle.left : handle.top;
  CCoord length = isHorizontal() ? handle.getWidth() : handle.getHeight();
  if (handle.pointInside(where)) {
    delta = along(where) - lead;
  } else {
    if (!freeClick) return kMouseEventNotHandled;
    delta = length / 2;
  }
  startValue = value;
  mouseStart = where;
  oldButton = buttons;
  beginEdit();
  if (buttons & kZoomModifier) return kMouseEventHandled;
  return onMouseMoved(where, buttons);
}

CMouseEventResult CSlider::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton() || !isEditing()) return kMouseEventHandled;
  if (rangeHandle <= 0) return kMouseEventHandled;
  if (buttons & kZoomModifier) {
    // Fine adjustment: relative to where the zoomed drag started.
    if (!(oldButton & kZoomModifier)) {
      startValue = value;
      mouseStart = where;
    }
    CCoord moved = along(where) - along(mouseStart);
    float fraction = static_cast<float>(moved / rangeHandle / zoomFactor);
    float sign = (style & (kLeft | kTop)) ? 1.f : -1.f;
    value = startValue + sign * fraction * getRange();
  } else {
    float fraction = static_cast<float>((along(where) - delta - minPos) / rangeHandle);
    value = valueFromFraction(fraction);
  }
  oldButton = buttons;
  bounceValue();
  if (isDirty()) {
    valueChanged();
    invalid();
  }
  return kMouseEventHandled;
}

CMouseEventResult CSlider::onMouseUp(CPoint&, const CButtonState&) {
  oldButton = 0;
  endEdit();
  return kMouseEventHandled;
}

bool CSlider::onWheel(const CPoint&, const float& distance, const CButtonState& buttons) {
  float step = distance * wheelInc * ((buttons & kZoomModifier) ? 0.1f : 1.f);
  value += step;
  bounceValue();
  if (isDirty()) {
    invalid();
    beginEdit();
    valueChanged();
    endEdit();
  }
  return true;
}

}  // namespace VSTGUI
