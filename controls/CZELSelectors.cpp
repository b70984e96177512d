#include "controls/CZELSelectors.h"

#include <algorithm>
#include <cmath>

#include "controls/ControlRules.h"

using namespace VSTGUI;
using orvane::threeWayIndex;

namespace {

constexpr int32_t kMeterTag = 3;

// A value of a three-way control moved by some steps of 0.5, on the grid
// and inside the range.
float stepThreeWay(float value, int32_t steps, float vmin, float vmax) {
  float next = std::round((value + 0.5f * static_cast<float>(steps)) * 2.f) * 0.5f;
  if (std::isnan(next)) next = vmin;
  return std::clamp(next, vmin, vmax);
}

}  // namespace

CZELCalibrationControl::CZELCalibrationControl(const CRect& size, CControlListener* listener, int32_t tag,
                                               CBitmap* background)
    : CControl(size, listener, tag, background) {}

void CZELCalibrationControl::draw(CDrawContext* context) {
  orvane::drawStackedFrame(background, context, size, threeWayIndex(value), getHeight());
  setDirty(false);
}

int32_t CZELCalibrationControl::positionAt(CCoord x) {
  if (x < 14) return 0;
  if (x < 26) return 1;
  if (x < 38) return 2;
  return -1;
}

CMouseEventResult CZELCalibrationControl::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  int32_t position = positionAt(where.x - size.left);
  // Right of the three choices lies the explanation of the scope, not a
  // choice: a click there keeps the plate up and tells no one. Sending the
  // current scope again would give the host an automation point and the
  // engines a scope switch that changes nothing.
  if (position >= 0) {
    value = static_cast<float>(position) * 0.5f;
    bounceValue();
    valueChanged();
    invalid();
  }
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CMouseEventResult CZELCalibrationControl::onMouseMoved(CPoint&, const CButtonState&) { return kMouseEventHandled; }

bool CZELCalibrationControl::onWheel(const CPoint&, const float& distance, const CButtonState&) {
  int32_t notch = orvane::wheelNotch(distance);
  if (notch == 0) return true;
  float before = value;
  value = stepThreeWay(value, notch, vmin, vmax);
  if (value != before) {
    valueChanged();
    invalid();
  }
  return true;
}

CZELMeterSelectorControl::CZELMeterSelectorControl(const CRect& size, CControlListener* listener, int32_t tag,
                                                   CBitmap* background)
    : CControl(size, listener, tag, background),
      flipButton(new CZELOnOffButton(size, listener, kFlipTag, background)),
      leftLimit(static_cast<int32_t>(size.left) + 20),
      rightLimit(static_cast<int32_t>(size.right) - 20) {
  flipButton->setValue(1.f);
}

CZELMeterSelectorControl::~CZELMeterSelectorControl() { flipButton->forget(); }

void CZELMeterSelectorControl::setViewSize(const CRect& rect, bool doInvalid) {
  CControl::setViewSize(rect, doInvalid);
  leftLimit = static_cast<int32_t>(size.left) + 20;
  rightLimit = static_cast<int32_t>(size.right) - 20;
  flipButton->setViewSize(rect, false);
}

void CZELMeterSelectorControl::setListener(CControlListener* l) {
  CControl::setListener(l);
  flipButton->setListener(l);
}

void CZELMeterSelectorControl::draw(CDrawContext* context) {
  int32_t frame = zone == kLeftZone ? 1 : zone == kRightZone ? 2 : 0;
  orvane::drawStackedFrame(background, context, size, frame, getHeight());
  setDirty(false);
}

int32_t CZELMeterSelectorControl::zoneAt(const CPoint& where) const {
  if (where.x <= leftLimit) return kLeftZone;
  if (where.x >= rightLimit) return kRightZone;
  return kNoZone;
}

void CZELMeterSelectorControl::updateZone(const CPoint& where) {
  int32_t next = zoneAt(where);
  if (next != zone) {
    zone = next;
    setDirty(true);
  }
  showHint(kMeterTag, value, &zone);
}

CMouseEventResult CZELMeterSelectorControl::onMouseMoved(CPoint& where, const CButtonState&) {
  updateZone(where);
  return kMouseEventHandled;
}

CMouseEventResult CZELMeterSelectorControl::onMouseEntered(CPoint& where, const CButtonState&) {
  updateZone(where);
  return kMouseEventHandled;
}

CMouseEventResult CZELMeterSelectorControl::onMouseExited(CPoint&, const CButtonState&) {
  if (zone != kNoZone) setDirty(true);
  zone = kNoZone;
  showHint(kMeterTag, value, &zone);  // the middle has no hint: empties the line
  return kMouseEventHandled;
}

CMouseEventResult CZELMeterSelectorControl::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  // The zone of the press itself, whether or not a move came first.
  int32_t pressed = zoneAt(where);
  if (pressed != zone) {
    zone = pressed;
    setDirty(true);
  }
  if (zone == kNoZone) {
    CBaseObjectGuard guard(this);
    flipButton->setValue(1.f);
    if (listener) listener->valueChanged(flipButton);
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  int32_t current = threeWayIndex(value);
  int32_t next = zone == kLeftZone ? (current + 2) % 3 : (current + 1) % 3;
  value = std::clamp(static_cast<float>(next) * 0.5f, 0.f, 1.f);
  bounceValue();
  CBaseObjectGuard guard(this);
  valueChanged();
  invalid();
  // Choosing another meter usually takes this panel off the screen; its
  // hint line then must not keep a text for when it comes back.
  if (isAttached()) showHint(kMeterTag, value, &zone);
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool CZELMeterSelectorControl::onWheel(const CPoint&, const float& distance, const CButtonState&) {
  int32_t notch = orvane::wheelNotch(distance);
  if (notch != 0) {
    float before = value;
    value = stepThreeWay(value, notch, vmin, vmax);
    if (value != before) {
      CBaseObjectGuard guard(this);
      valueChanged();
      invalid();
    }
  }
  if (isAttached()) showHint(kMeterTag, value, &zone);
  return true;
}

bool CZELHorizontalSwitch::onWheel(const CPoint&, const float& distance, const CButtonState&) {
  int32_t notch = orvane::wheelNotch(distance);
  if (notch == 0 || maxPositions < 2) return true;
  float range = getRange();
  float before = value;
  if (range > 0) {
    int32_t position = getPosition() + notch;
    position = std::clamp(position, 0, maxPositions - 1);
    value = vmin + range * static_cast<float>(position) / static_cast<float>(maxPositions - 1);
  }
  bounceValue();
  if (value != before) {
    valueChanged();
    invalid();
  }
  return true;
}
