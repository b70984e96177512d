// The product's own controls, with the strips' settings.
#include "strips/StripControls.h"

#include "controls/ZELControls.h"

namespace orvane {
namespace strip {

using namespace VSTGUI;

CControl* makeLampButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bitmap) {
  return new StripActiveButton(size, listener, tag, bitmap);
}

CRect showButtonRect(CBitmap* bitmap) {
  CCoord w = 11, h = 11;
  if (bitmap && bitmap->isLoaded()) {
    w = bitmap->getWidth();
    h = bitmap->getHeight() / 2;
  }
  return CRect(574, 0, 574 + w, h);
}

CControl* makeShowButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bitmap) {
  return new COnOffButtonH(size, listener, tag, bitmap);
}

CControl* makeFilterButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bitmap,
                           bool wheelBoth) {
  CZELOnOffButtonAH* button = new CZELOnOffButtonAH(size, listener, tag, bitmap);
  button->setWheelMode(wheelBoth);
  button->setWheelSign(wheelBoth);
  return button;
}

CControl* makeFrequencySlider(const CRect& size, CControlListener* listener, int32_t tag, int32_t minPos,
                              int32_t maxPos, CBitmap* handle) {
  CZELSliderAH* slider =
      new CZELSliderAH(size, listener, tag, minPos, maxPos, handle, nullptr, CPoint(0, 0), kLeft | kHorizontal);
  slider->setFineDragFactor(1.f);
  slider->setWheelStep(0.025f);
  slider->setWheelFineFactor(0.1f);
  slider->setDefaultValue(0.5f);
  return slider;
}

CTextEdit* makeFrequencyEntry(const CRect& size, CControlListener* listener, int32_t tag) {
  // No background of its own: the strip's shows through, at whatever
  // place the entry has moved to.
  CMyTextEditAH* entry = new CMyTextEditAH(size, listener, tag, "");
  entry->setTransparency(true);
  entry->setFont(kNormalFontVerySmall);
  entry->setFontColor(CColor(170, 170, 170, 255));
  return entry;
}

CControl* makeLagControl(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bitmap) {
  CZELLatencyControl* lag = new CZELLatencyControl(size, listener, tag, bitmap);
  lag->setWheelStep(10.f / 999.f);  // 10 ms a notch
  lag->setWheelFineFactor(0.1f);
  lag->setDefaultValue(0.f);
  return lag;
}

CTextEdit* makeTapeLabel(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background) {
  return new CZELTapeLabel(size, listener, tag, background);
}

CControl* makeCaption(const CRect& size, int32_t tag, CBitmap* bitmap) {
  return new CMovieBitmap(size, nullptr, tag, 1, size.getHeight(), bitmap);
}

void setActive(CControl* control, bool active) {
  const int32_t state = active ? 1 : 0;
  if (auto* b = dynamic_cast<CZELOnOffButtonAH*>(control))
    b->setActive(state);
  else if (auto* s = dynamic_cast<CZELSliderAH*>(control))
    s->setActive(state);
  else if (auto* t = dynamic_cast<CMyTextEditAH*>(control))
    t->setActive(state);
  else
    return;
  control->setDirty(true);
}

bool isActive(CControl* control) {
  if (auto* b = dynamic_cast<CZELOnOffButtonAH*>(control)) return b->getActive() != 0;
  if (auto* s = dynamic_cast<CZELSliderAH*>(control)) return s->getActive() != 0;
  if (auto* t = dynamic_cast<CMyTextEditAH*>(control)) return t->getActive() != 0;
  return control != nullptr;
}

void setHintLabel(CControl* control, CHelpHintLabel* label) {
  if (auto* hinted = dynamic_cast<CZELHintControl*>(control)) hinted->setHintLabel(label);
}

bool takeDoubleClickMark(CControl* lagControl) {
  auto* lag = dynamic_cast<CZELLatencyControl*>(lagControl);
  if (!lag || !lag->getDoubleClickMark()) return false;
  lag->clearDoubleClickMark();
  return true;
}

void animateTapeLabel(CControl* tapeLabel) {
  if (auto* label = dynamic_cast<CZELTapeLabel*>(tapeLabel)) label->animate();
}

}  // namespace strip
}  // namespace orvane
