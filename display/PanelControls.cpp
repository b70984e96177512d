#include "display/PanelControls.h"

#include "toolkit/cbuttons.h"
#include "toolkit/cknob.h"
#include "toolkit/cmoviebitmap.h"
#include "toolkit/cslider.h"
#include "toolkit/cswitch.h"
#include "toolkit/ctextedit.h"

using namespace VSTGUI;

namespace orvane {
namespace panelcontrols {

namespace {
constexpr CColor kHintColour(220, 213, 213, 255);
constexpr CColor kTrimTextColour(170, 170, 170, 255);
CCoord frameHeight(CBitmap* b, int frames) { return b ? b->getHeight() / frames : 0; }
}  // namespace

CTextLabel* makeHintLine(const CRect& r) {
  auto* label = new CTextLabel(r, "");
  label->setFont(kNormalFontVerySmall);
  label->setFontColor(kHintColour);
  label->setBackColor(CColor(0, 0, 0, 0));
  label->setFrameColor(CColor(0, 0, 0, 0));
  label->setHoriAlign(kCenterText);
  label->setStyle(kNoFrame);
  label->setMouseEnabled(false);
  return label;
}

CControl* makeMeterSelector(const CRect& r, CControlListener* l, CBitmap* b) {
  return new CHorizontalSwitch(r, l, 3, 3, frameHeight(b, 3), 3, b);
}

CControl* makeTrimSlider(const CRect& r, CControlListener* l, CBitmap* b, int travel) {
  const int handle = b ? (int)b->getHeight() : 0;
  auto* s = new CSlider(r, l, 1, (int)r.top, (int)r.top + travel + handle, b, nullptr, CPoint(0, 0),
                        kVertical | kBottom);
  s->setDefaultValue(0.5f);
  s->setWheelInc(0.025f);
  return s;
}

CControl* makeTrimValue(const CRect& r, CControlListener* l, CBitmap* background) {
  auto* e = new CTextEdit(r, l, 68, "", background);
  e->setFont(kNormalFontVerySmall);
  e->setFontColor(kTrimTextColour);
  e->setStyle(kNoFrame);
  return e;
}

CControl* makeHintButton(const CRect& r, CControlListener* l, int32_t tag, CBitmap* b) {
  return new COnOffButton(r, l, tag, b);
}

CControl* makeScopeControl(const CRect& r, CControlListener* l, CBitmap* b) {
  return new CHorizontalSwitch(r, l, 2, 3, frameHeight(b, 3), 3, b);
}

CControl* makeManualButton(const CRect& r, CControlListener* l, CBitmap* b) {
  return new CKickButton(r, l, 121, frameHeight(b, 3), b);
}

CControl* makePlainButton(const CRect& r, CControlListener* l, int32_t tag, CBitmap* b) {
  return new COnOffButton(r, l, tag, b);
}

CControl* makeChannelLabel(const CRect& r, CControlListener* l, int32_t tag, CBitmap* b) {
  auto* m = new CMovieBitmap(r, l, tag, 2, frameHeight(b, 2), b);
  m->setMouseEnabled(false);
  return m;
}

CControl* makeHoldSwitch(const CRect& r, CControlListener* l, int32_t tag, CBitmap* b) {
  return new CHorizontalSwitch(r, l, tag, 3, frameHeight(b, 3), 3, b);
}

CControl* makeReferenceControl(const CRect& r, CControlListener* l, int32_t tag, CBitmap* b, float, float, float,
                               float) {
  return new CAnimKnob(r, l, tag, b);
}

int referenceFrames() { return 1; }

void attachHint(CControl*, CTextLabel*) {}

void setActive(CControl* control, bool active) {
  if (control) control->setMouseEnabled(active);
}

bool isActive(const CControl* control) { return control && control->getMouseEnabled(); }

void setReferenceText(CControl*, const char*) {}

void setReferenceShown(CControl* control, bool shown) {
  if (control) control->setVisible(shown);
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
