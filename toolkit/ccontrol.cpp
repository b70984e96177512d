#include "toolkit/ccontrol.h"

#include <cmath>

#include "toolkit/cframe.h"

namespace VSTGUI {

CControl::CControl(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bg)
    : CView(size), listener(listener), tag(tag) {
  if (bg) setBackground(bg);
  setTransparency(false);
  setDirty(true);
}

CControl::CControl(const CControl& c)
    : CView(c),
      listener(c.listener),
      tag(c.tag),
      oldValue(c.oldValue),
      defaultValue(c.defaultValue),
      value(c.value),
      vmin(c.vmin),
      vmax(c.vmax),
      wheelInc(c.wheelInc) {}

void CControl::setValue(float val) {
  // A NaN from a caller never reaches the drawing: it reads as the minimum.
  value = std::isnan(val) ? vmin : val;
  bounceValue();
}

float CControl::getValueNormalized() const {
  float range = getRange();
  return range == 0.f ? 0.f : (value - vmin) / range;
}

void CControl::setValueNormalized(float val) {
  if (std::isnan(val)) val = 0.f;
  if (val < 0.f) val = 0.f;
  if (val > 1.f) val = 1.f;
  setValue(vmin + val * getRange());
}

void CControl::beginEdit() {
  if (editing++ > 0) return;
  if (listener) listener->controlBeginEdit(this);
  if (CFrame* f = getFrame()) f->beginEdit(tag);
}

void CControl::endEdit() {
  if (editing == 0) return;
  if (--editing > 0) return;
  if (CFrame* f = getFrame()) f->endEdit(tag);
  if (listener) listener->controlEndEdit(this);
}

void CControl::valueChanged() {
  if (listener) listener->valueChanged(this);
}

void CControl::bounceValue() {
  if (value > vmax) value = vmax;
  if (value < vmin) value = vmin;
}

bool CControl::checkDefaultValue(CButtonState button) {
  if (button.isLeftButton() && button.getModifierState() == kDefaultValueModifier) {
    float old = value;
    value = defaultValue;
    bounceValue();
    if (value != old) {
      beginEdit();
      valueChanged();
      endEdit();
      invalid();
    }
    return true;
  }
  return false;
}

bool CControl::isDirty() const { return oldValue != value || CView::isDirty(); }

void CControl::setDirty(const bool val) {
  CView::setDirty(val);
  // A clean control remembers the value it shows; a dirty one forgets it so
  // that the next check always finds a difference.
  if (val)
    oldValue = value != -1.f ? -1.f : 0.f;
  else
    oldValue = value;
}

}  // namespace VSTGUI
