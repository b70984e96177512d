#include "toolkit/cswitch.h"

#include <algorithm>
#include <cmath>

#include "toolkit/cdrawcontext.h"

namespace VSTGUI {

CHorizontalSwitch::CHorizontalSwitch(const CRect& size, CControlListener* listener, int32_t tag,
                                     int32_t subPixmaps, CCoord heightOfOneImage, int32_t iMaxPositions,
                                     CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background),
      offset(offset),
      subPixmaps(subPixmaps),
      heightOfOneImage(heightOfOneImage),
      maxPositions(std::max<int32_t>(1, iMaxPositions)) {
  setDefaultValue(0.f);
}

int32_t CHorizontalSwitch::getPosition() const {
  if (maxPositions < 2) return 0;
  int32_t pos = static_cast<int32_t>(getValueNormalized() * (maxPositions - 1) + 0.5f);
  return std::clamp(pos, 0, maxPositions - 1);
}

void CHorizontalSwitch::draw(CDrawContext* context) {
  if (background) {
    int32_t frame = std::min(getPosition(), std::max(0, subPixmaps - 1));
    background->draw(context, size, CPoint(offset.x, offset.y + heightOfOneImage * frame));
  }
  setDirty(false);
}

CMouseEventResult CHorizontalSwitch::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  beginEdit();
  if (checkDefaultValue(buttons)) {
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  return onMouseMoved(where, buttons);
}

CMouseEventResult CHorizontalSwitch::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton() || !isEditing()) return kMouseEventHandled;
  if (getWidth() <= 0) return kMouseEventHandled;
  // Equal slices of the width, one per position.
  int32_t pos = static_cast<int32_t>(std::floor((where.x - size.left) * maxPositions / getWidth()));
  pos = std::clamp(pos, 0, maxPositions - 1);
  value = maxPositions > 1 ? vmin + getRange() * pos / (maxPositions - 1) : vmin;
  bounceValue();
  if (isDirty()) {
    valueChanged();
    invalid();
  }
  return kMouseEventHandled;
}

CMouseEventResult CHorizontalSwitch::onMouseUp(CPoint&, const CButtonState&) {
  endEdit();
  return kMouseEventHandled;
}

}  // namespace VSTGUI
