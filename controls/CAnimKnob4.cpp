#include "controls/CAnimKnob4.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "controls/ControlRules.h"

using namespace VSTGUI;

CAnimKnob4::CAnimKnob4(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                       CCoord heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CAnimKnob(size, listener, tag, subPixmaps, heightOfOneImage, background, offset) {}

CAnimKnob4::CAnimKnob4(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                       const CPoint& offset)
    : CAnimKnob(size, listener, tag, background, offset) {}

float CAnimKnob4::drawnFraction() const { return getValueNormalized(); }

int32_t CAnimKnob4::frameIndex() const {
  if (subPixmaps < 1) return 0;
  float f = drawnFraction();
  if (!(f > 0.f)) return 0;
  int32_t frame = static_cast<int32_t>(std::min(f, 1.f) * static_cast<float>(subPixmaps - 1) + 0.5f);
  return std::clamp(frame, 0, subPixmaps - 1);
}

void CAnimKnob4::draw(CDrawContext* context) {
  if (heightOfOneImage > 0) orvane::drawStackedFrame(background, context, size, frameIndex(), heightOfOneImage, offset);
  setDirty(false);
}

float CAnimKnob4::dragDistance(const CButtonState& buttons) const {
  float distance = dragScale * 1000.f;
  if (buttons & kShift) distance *= dragFineFactor;
  return distance;
}

CMouseEventResult CAnimKnob4::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton() || !listener) return kMouseEventNotHandled;
  beginEdit();
  if ((buttons & kControl) || buttons.isDoubleClick()) {
    float before = value;
    setValue(getDefaultValue());
    if (value != before) orvane::notifyChange(this);
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  dragStart = where;
  dragStartValue = value;
  float distance = dragDistance(buttons);
  // A knob tuned to no distance at all does not move rather than jump.
  dragRate = distance > 0.f && std::isfinite(distance) ? getRange() / distance : 0.f;
  dragButtons = buttons;
  onMouseMoved(where, buttons);
  return kMouseEventHandled;
}

CMouseEventResult CAnimKnob4::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton() || !isEditing()) return kMouseEventHandled;
  double d = (where.x - dragStart.x) + (dragStart.y - where.y);
  if (!std::isfinite(d)) return kMouseEventHandled;
  if (buttons.getModifierState() != dragButtons.getModifierState()) {
    // Shift pressed or let go mid-drag: a new rate from here on, counted
    // from where the pointer is now, so that the value does not jump.
    float distance = dragDistance(buttons);
    dragRate = distance > 0.f && std::isfinite(distance) ? getRange() / distance : 0.f;
    dragButtons = buttons;
    dragStart = where;
    dragStartValue = value;
    d = 0;
  }
  float before = value;
  setValue(dragStartValue + static_cast<float>(d) * dragRate);
  if (value != before) {
    invalid();
    valueChanged();
  }
  return kMouseEventHandled;
}

bool CAnimKnob4::onWheel(const CPoint&, const float& distance, const CButtonState& buttons) {
  float before = value;
  setValue(value + orvane::wheelChange(distance, buttons, wheelStep, wheelFineFactor));
  if (value != before) orvane::notifyChange(this);
  return true;
}

CFrontReferenceControl::CFrontReferenceControl(const CRect& size, CControlListener* listener, int32_t tag,
                                               CBitmap* background, const CPoint& offset)
    : CAnimKnob4(size, listener, tag, background, offset) {}

void CFrontReferenceControl::setShown(int32_t state) {
  int32_t next = state != 0 ? 1 : 0;
  if (next == shown) return;
  shown = next;
  setDirty(true);
}

void CFrontReferenceControl::setValueText(UTF8StringPtr text) {
  std::string next = text ? text : "";
  if (next == valueText) return;
  valueText = next;
  setDirty(true);
}

void CFrontReferenceControl::draw(CDrawContext* context) {
  if (shown) {
    if (background) background->draw(context, size, offset);
    if (!valueText.empty()) {
      CRect textRect(size.left + 81, size.top, size.right - 2, size.bottom);
      context->setFont(kNormalFontVerySmall);
      context->setFontColor(CColor(200, 193, 193, 255));
      context->drawString(valueText.c_str(), textRect, kCenterText, true);
    }
  }
  setDirty(false);
}

CMouseEventResult CFrontReferenceControl::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!shown) return kMouseEventNotHandled;
  return CAnimKnob4::onMouseDown(where, buttons);
}

CMouseEventResult CFrontReferenceControl::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!shown) return kMouseEventHandled;
  return CAnimKnob4::onMouseMoved(where, buttons);
}

bool CFrontReferenceControl::onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) {
  if (!shown) return false;
  return CAnimKnob4::onWheel(where, distance, buttons);
}

CMouseEventResult CFrontReferenceControl::onMouseEntered(CPoint&, const CButtonState&) {
  if (shown)
    showHint(tag, 0.f);
  else
    clearHint();
  return kMouseEventHandled;
}

CMouseEventResult CFrontReferenceControl::onMouseExited(CPoint&, const CButtonState&) {
  clearHint();
  return kMouseEventHandled;
}

namespace {
constexpr float kUnit = 1.f / 999.f;  // one millisecond of lag
}

CZELLatencyControl::CZELLatencyControl(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                                       const CPoint& offset)
    : CAnimKnob(size, listener, tag, background, offset) {}

int32_t CZELLatencyControl::shownNumber() const {
  float v = std::clamp(getValueNormalized(), 0.f, 1.f);
  return std::clamp(static_cast<int32_t>(v * 999.f + 0.5f), 0, 999);
}

void CZELLatencyControl::draw(CDrawContext* context) {
  if (background) background->draw(context, size, offset);
  // Three boxes side by side across the control, one digit centred in
  // each, in the band between the step-up and step-down zones.
  int32_t n = shownNumber();
  const int32_t digits[3] = {n / 100, (n / 10) % 10, n % 10};
  CCoord boxWidth = getWidth() / 3;
  context->setFont(kNormalFontSmaller);
  context->setFontColor(CColor(220, 213, 213, 255));
  for (int32_t i = 0; i < 3; ++i) {
    char digit[2] = {static_cast<char>('0' + digits[i]), 0};
    CRect box(size.left + boxWidth * i, size.top + 14, size.left + boxWidth * (i + 1), size.top + 26);
    context->drawString(digit, box, kCenterText, true);
  }
  if (background && heightOfOneImage > 0) {
    background->draw(context, size, CPoint(offset.x, offset.y + heightOfOneImage));
    background->draw(context, size, CPoint(offset.x, offset.y + 2 * heightOfOneImage));
  }
  setDirty(false);
}

CMouseEventResult CZELLatencyControl::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton() || !listener) return kMouseEventNotHandled;
  beginEdit();
  CCoord centre = (size.left + size.right) / 2;
  bool central = std::fabs(where.x - centre) <= 10;
  int32_t step = 0;
  if (central && where.y <= size.top + 14) step = 1;
  if (central && where.y >= size.top + 26) step = -1;
  if (step != 0) {
    float before = value;
    setValue(value + static_cast<float>(step) * ((buttons & kShift) ? 1.f : 10.f) * kUnit);
    if (value != before) valueChanged();
    invalid();
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  if (buttons.isDoubleClick()) {
    // The listener replaces the value by the host's latency when it sees
    // the mark, so it must hear of the click even when the default value
    // was already set.
    doubleClickMark = true;
    setValue(getDefaultValue());
    orvane::notifyChange(this);
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  lastDragY = static_cast<float>(where.y);
  return kMouseEventHandled;
}

CMouseEventResult CZELLatencyControl::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton() || !isEditing()) return kMouseEventHandled;
  float y = static_cast<float>(where.y);
  if (!std::isfinite(y)) return kMouseEventHandled;
  float dy = lastDragY - y;
  float before = value;
  setValue(value + ((buttons & kShift) ? dy / 10.f : dy * 2.f) * kUnit);
  if (value != before) {
    valueChanged();
    invalid();
  }
  lastDragY = y;
  return kMouseEventHandled;
}

bool CZELLatencyControl::onWheel(const CPoint&, const float& distance, const CButtonState& buttons) {
  float before = value;
  setValue(value + orvane::wheelChange(distance, buttons, wheelStep, wheelFineFactor));
  if (value != before) orvane::notifyChange(this);
  return true;
}
