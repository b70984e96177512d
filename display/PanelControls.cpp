#include "display/PanelControls.h"

#include "controls/ZELControls.h"
#include "toolkit/cmoviebitmap.h"

using namespace VSTGUI;

namespace orvane {
namespace panelcontrols {

namespace {

constexpr CColor kTrimTextColour(170, 170, 170, 255);
// Trim: 1 dB per wheel notch, 0.1 dB with Shift; drags ten times finer
// with Shift.
constexpr float kTrimWheelStep = 0.025f;
constexpr float kTrimWheelFine = 0.1f;
constexpr float kTrimFineDrag = 0.1f;

CCoord frameHeight(CBitmap* b, int frames) { return b ? b->getHeight() / frames : 0; }

// The hint line and text fields draw in "Arial" 9.
CFontRef smallArial() {
  static CFontDesc font("Arial", 9);
  return &font;
}

}  // namespace

CTextLabel* makeHintLine(const CRect& r) { return new CHelpHintLabel(r); }

CControl* makeMeterSelector(const CRect& r, CControlListener* l, CBitmap* b) {
  return new CZELMeterSelectorControl(r, l, 3, b);
}

CControl* makeTrimSlider(const CRect& r, CControlListener* l, CBitmap* b, int travel) {
  // The handle's top edge travels from the span's top down over `travel`
  // pixels less the handle's own height, so the whole handle stays inside.
  auto* s = new CZELSliderAH(r, l, 1, (int)r.top, (int)r.top + travel, b, nullptr, CPoint(0, 0), kVertical | kBottom);
  s->setDefaultValue(0.5f);
  s->setFineDragFactor(kTrimFineDrag);
  s->setWheelStep(kTrimWheelStep);
  s->setWheelFineFactor(kTrimWheelFine);
  return s;
}

CControl* makeTrimValue(const CRect& r, CControlListener* l, CBitmap*) {
  // No bitmap of its own: the panel's background shows through, the part
  // under the field, wherever the field sits.
  auto* e = new CMyTextEditAH(r, l, 68, "", nullptr, kNoFrame);
  e->setFont(smallArial());
  e->setFontColor(kTrimTextColour);
  e->setBackColor(CColor(0, 0, 0, 0));
  e->setFrameColor(CColor(0, 0, 0, 0));
  e->setHoriAlign(kCenterText);
  return e;
}

CControl* makeHintButton(const CRect& r, CControlListener* l, int32_t tag, CBitmap* b) {
  return new CZELOnOffButtonH(r, l, tag, b);
}

CControl* makeScopeControl(const CRect& r, CControlListener* l, CBitmap* b) {
  return new CZELCalibrationControl(r, l, 2, b);
}

CControl* makeManualButton(const CRect& r, CControlListener* l, CBitmap* b) {
  return new CZLKickButtonH(r, l, 121, frameHeight(b, 3), b);
}

CControl* makePlainButton(const CRect& r, CControlListener* l, int32_t tag, CBitmap* b) {
  return new CZELOnOffButton(r, l, tag, b);
}

CControl* makeChannelLabel(const CRect& r, CControlListener* l, int32_t tag, CBitmap* b) {
  auto* m = new CMovieBitmap(r, l, tag, 2, frameHeight(b, 2), b);
  m->setMouseEnabled(false);
  return m;
}

CControl* makeHoldSwitch(const CRect& r, CControlListener* l, int32_t tag, CBitmap* b) {
  return new CZELHorizontalSwitch(r, l, tag, 3, frameHeight(b, 3), 3, b);
}

CControl* makeReferenceControl(const CRect& r, CControlListener* l, int32_t tag, CBitmap* b, float dragScale,
                               float dragFineFactor, float wheelStep, float wheelFineFactor) {
  auto* k = new CFrontReferenceControl(r, l, tag, b);
  k->setDragScale(dragScale);
  k->setDragFineFactor(dragFineFactor);
  k->setWheelStep(wheelStep);
  k->setWheelFineFactor(wheelFineFactor);
  return k;
}

int referenceFrames() { return 1; }

void attachHint(CControl* control, CTextLabel* hintLine) {
  auto* hinted = dynamic_cast<CZELHintControl*>(control);
  auto* line = dynamic_cast<CHelpHintLabel*>(hintLine);
  if (hinted && line) hinted->setHintLabel(line);
}

void setActive(CControl* control, bool active) {
  const int32_t state = active ? 1 : 0;
  if (auto* s = dynamic_cast<CZELSliderAH*>(control))
    s->setActive(state);
  else if (auto* e = dynamic_cast<CMyTextEditAH*>(control))
    e->setActive(state);
  else if (auto* b = dynamic_cast<CZELOnOffButtonAH*>(control))
    b->setActive(state);
  if (control) control->setDirty();
}

bool isActive(const CControl* control) {
  if (auto* s = dynamic_cast<const CZELSliderAH*>(control)) return s->getActive() != 0;
  if (auto* e = dynamic_cast<const CMyTextEditAH*>(control)) return e->getActive() != 0;
  if (auto* b = dynamic_cast<const CZELOnOffButtonAH*>(control)) return b->getActive() != 0;
  return control != nullptr;
}

void setReferenceText(CControl* control, const char* text) {
  if (auto* k = dynamic_cast<CFrontReferenceControl*>(control)) k->setValueText(text);
}

void setReferenceShown(CControl* control, bool shown) {
  if (auto* k = dynamic_cast<CFrontReferenceControl*>(control)) k->setShown(shown ? 1 : 0);
  if (control) control->setDirty();
}

void setText(CControl* control, const char* text) {
  if (auto* e = dynamic_cast<CTextEdit*>(control)) e->setText(text);
}

const char* getText(const CControl* control) {
  if (auto* e = dynamic_cast<const CTextEdit*>(control)) return e->getText();
  return "";
}

}  // namespace panelcontrols
}  // namespace orvane
