#include "controls/ControlRules.h"

#include <algorithm>
#include <cmath>

using namespace VSTGUI;

namespace orvane {

int32_t wheelNotch(float distance) {
  if (distance > 0.1f) return 1;
  if (distance < -0.1f) return -1;
  return 0;  // NaN lands here too: no comparison holds for it
}

float wheelChange(float distance, const CButtonState& buttons, float step, float fineFactor) {
  float change = static_cast<float>(wheelNotch(distance)) * step;
  if (buttons & kShift) change *= fineFactor;
  return std::isfinite(change) ? change : 0.f;
}

int32_t onOffState(float value) {
  if (!(value >= 0.5f)) return 0;
  return 1;
}

int32_t threeWayIndex(float value) {
  if (std::isnan(value)) return 0;
  float x = std::clamp(value * 2.f + 0.5f, 0.f, 2.f);
  return static_cast<int32_t>(x);
}

void drawStackedFrame(CBitmap* bitmap, CDrawContext* context, const CRect& dest, int32_t frame, CCoord frameHeight,
                      const CPoint& offset, float alpha) {
  if (!bitmap || !context) return;
  if (frameHeight > 0) {
    int32_t frames = static_cast<int32_t>((bitmap->getHeight() - offset.y) / frameHeight);
    frame = std::clamp(frame, 0, std::max(0, frames - 1));
  } else {
    frame = 0;
  }
  bitmap->draw(context, dest, CPoint(offset.x, offset.y + frame * frameHeight), alpha);
}

void notifyChange(CControl* control) {
  if (!control) return;
  control->invalid();
  control->beginEdit();
  control->valueChanged();
  control->endEdit();
}

}  // namespace orvane
