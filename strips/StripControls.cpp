// Until the product's own strip controls are in the tree, the makers hand
// out the nearest stock controls of the toolkit: the same tags, places,
// bitmaps and values, without hints; "inactive" stops the mouse.
#include "strips/StripControls.h"

namespace orvane {
namespace strip {

using namespace VSTGUI;

namespace {

// The lag time as a film-strip knob that remembers a double-click, which
// the label strip answers with the host's latency.
class StockLagControl : public CAnimKnob {
 public:
  StockLagControl(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bitmap)
      : CAnimKnob(size, listener, tag, 3, 40, bitmap) {}

  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override {
    if (buttons.isLeftButton() && buttons.isDoubleClick() && listener) {
      doubleClickMark = true;
      beginEdit();
      setValue(getDefaultValue());
      valueChanged();
      endEdit();
      return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    return CAnimKnob::onMouseDown(where, buttons);
  }

  bool doubleClickMark = false;
};

}  // namespace

CControl* makeLampButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bitmap) {
  return new COnOffButton(size, listener, tag, bitmap);
}

CControl* makeShowButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bitmap) {
  return new COnOffButton(size, listener, tag, bitmap);
}

CControl* makeFilterButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bitmap,
                           bool /*wheelBoth*/) {
  return new COnOffButton(size, listener, tag, bitmap);
}

CControl* makeFrequencySlider(const CRect& size, CControlListener* listener, int32_t tag, int32_t minPos,
                              int32_t maxPos, CBitmap* handle) {
  CSlider* slider = new CSlider(size, listener, tag, minPos, maxPos, handle, nullptr, CPoint(0, 0),
                                kLeft | kHorizontal);
  slider->setWheelInc(0.025f);
  slider->setDefaultValue(0.5f);
  return slider;
}

CTextEdit* makeFrequencyEntry(const CRect& size, CControlListener* listener, int32_t tag) {
  CTextEdit* entry = new CTextEdit(size, listener, tag, "");
  entry->setTransparency(true);
  entry->setFont(kNormalFontVerySmall);
  entry->setFontColor(CColor(170, 170, 170, 255));
  return entry;
}

CControl* makeLagControl(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bitmap) {
  StockLagControl* lag = new StockLagControl(size, listener, tag, bitmap);
  lag->setWheelInc(10.f / 999.f);
  lag->setDefaultValue(0.f);
  return lag;
}

CTextEdit* makeTapeLabel(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background) {
  CTextEdit* label = new CTextEdit(size, listener, tag, "", background);
  label->setFont(kNormalFontBig);
  label->setFontColor(CColor(4, 45, 85, 205));
  return label;
}

CControl* makeCaption(const CRect& size, int32_t tag, CBitmap* bitmap) {
  return new CMovieBitmap(size, nullptr, tag, 1, size.getHeight(), bitmap);
}

void setActive(CControl* control, bool active) {
  if (!control) return;
  control->setMouseEnabled(active);
  control->setDirty(true);
}

bool isActive(CControl* control) { return control && control->getMouseEnabled(); }

void setHintLabel(CControl*, CHelpHintLabel*) {}

bool takeDoubleClickMark(CControl* lagControl) {
  StockLagControl* lag = dynamic_cast<StockLagControl*>(lagControl);
  if (!lag || !lag->doubleClickMark) return false;
  lag->doubleClickMark = false;
  return true;
}

void animateTapeLabel(CControl*) {}

}  // namespace strip
}  // namespace orvane
