#include "backpanels/MeterBackPanels.h"

#include <cstdio>
#include <cstring>

#include "backpanels/SteppedKnobs.h"
#include "controls/CAnimKnob4.h"
#include "controls/CZELOnOffButton.h"
#include "controls/CZELSelectors.h"
#include "toolkit/cbitmap.h"
#include "toolkit/ccolor.h"
#include "toolkit/cfont.h"
#include "toolkit/cframe.h"

using namespace VSTGUI;

namespace orvane {

namespace {

constexpr CCoord kKnobWidth = kBackKnobWidth, kKnobHeight = kBackKnobHeight;
// The value and version labels' text.
constexpr CColor kLabelColour(200, 193, 193, 255);
using K = BackControl;

CTextLabel* makeLabel(const CRect& r, const char* text, const CColor& colour) {
  auto* label = new CTextLabel(r, text, nullptr, kNoFrame);
  label->setFont(kNormalFontVerySmall);
  label->setFontColor(colour);
  label->setBackColor(CColor(0, 0, 0, 0));
  label->setFrameColor(CColor(0, 0, 0, 0));
  label->setTransparency(true);
  label->setMouseEnabled(false);
  return label;
}

}  // namespace

const BackPanelTable& vuBackPanelTable() { return backlayout::kVu; }
const BackPanelTable& ppmBackPanelTable() { return backlayout::kPpm; }
const BackPanelTable& rmsBackPanelTable() { return backlayout::kRms; }

void versionText(int32_t v, char* text, size_t size) {
  if (!text || size == 0) return;
  text[0] = 0;
  if (v <= 0) return;
  // The vendor version counts thousands, hundreds and tens: 3050 is 3.0.5;
  // a last digit, when there is one, is a fourth part.
  if (v % 10)
    std::snprintf(text, size, "v.%d.%d.%d.%d", (int)(v / 1000), (int)(v / 100 % 10), (int)(v / 10 % 10), (int)(v % 10));
  else
    std::snprintf(text, size, "v.%d.%d.%d", (int)(v / 1000), (int)(v / 100 % 10), (int)(v / 10 % 10));
}

// ---------------------------------------------------------------- builder

TableBackPanel::TableBackPanel(const BackPanelTable& table, EffectSeam& effect, CControlListener* editor)
    : BackPanel(effect, editor), table(table) {}

TableBackPanel::~TableBackPanel() {
  if (container) TableBackPanel::detach();
}

int TableBackPanel::rowOf(int32_t tag) const {
  for (size_t i = 0; i < table.controlCount && i < kMaxRows; ++i)
    if (table.controls[i].tag == tag) return (int)i;
  return -1;
}

int TableBackPanel::labelOf(int32_t tag) const {
  for (size_t i = 0; i < table.labelCount && i < kMaxRows; ++i)
    if (table.labels[i].tag == tag) return (int)i;
  return -1;
}

CControl* TableBackPanel::getControl(int32_t tag) const {
  const int i = rowOf(tag);
  return i >= 0 ? controls[i] : nullptr;
}

CTextLabel* TableBackPanel::getValueLabel(int32_t tag) const {
  const int i = labelOf(tag);
  return i >= 0 ? labels[i] : nullptr;
}

CControl* TableBackPanel::makeControl(const BackControlRow& row, CBitmap* knobStrip) {
  const CRect knob(row.left, row.top, row.left + kKnobWidth, row.top + kKnobHeight);
  CAnimKnob4* k = nullptr;
  switch (row.kind) {
    case K::kKnob:
      k = new CAnimKnob4(knob, editor, row.tag, knobStrip);
      break;
    case K::kVuBackLitKnob:
      k = new CVuBackLitKnob(knob, editor, row.tag, knobStrip);
      break;
    case K::kVuLedRefKnob:
      k = new CVuLedRefKnob(knob, editor, row.tag, knobStrip);
      break;
    case K::kVuOverLedKnob:
      k = new CVuOverLedKnob(knob, editor, row.tag, knobStrip);
      break;
    case K::kPpmLedRefKnob:
      k = new CPpmLedRefKnob(knob, editor, row.tag, knobStrip);
      break;
    case K::kPpmOverLedKnob:
      k = new CPpmOverLedKnob(knob, editor, row.tag, knobStrip);
      break;
    case K::kRmsLedRefKnob:
      k = new CRmsLedRefKnob(knob, editor, row.tag, knobStrip);
      break;
    case K::kRmsOverLedKnob:
      k = new CRmsOverLedKnob(knob, editor, row.tag, knobStrip);
      break;
    case K::kSwitch3:
    case K::kOnOff: {
      CBitmap* b = new CBitmap(CResourceDescription(row.bitmap));
      const int frames = row.kind == K::kSwitch3 ? 3 : 2;
      const CCoord h = b->getHeight() / frames;
      const CRect r(row.left, row.top, row.left + b->getWidth(), row.top + h);
      CControl* c;
      if (row.kind == K::kSwitch3) {
        c = new CZELHorizontalSwitch(r, editor, row.tag, 3, h, 3, b);
      } else {
        auto* button = new CZELOnOffButton(r, editor, row.tag, b);
        button->setWheelMode(true);
        button->setWheelSign(true);
        c = button;
      }
      c->setMin(0.f);
      c->setMax(1.f);
      b->forget();
      return c;
    }
  }
  if (!k) return nullptr;
  k->setDefaultValue(row.resetValue);
  const KnobTuning& t = row.tuning ? *row.tuning : kContinuousTuning;
  k->setDragScale(t.dragScale);
  k->setDragFineFactor(t.dragFineFactor);
  k->setWheelStep(row.wheelStep);
  k->setWheelFineFactor(t.wheelFineFactor);
  return k;
}

bool TableBackPanel::build(CFrame* frame) {
  if (container) return true;
  {
    CBitmap* background = new CBitmap(CResourceDescription(table.background));
    const bool attached = attach(frame, background->isLoaded() ? background : nullptr);
    background->forget();
    if (!attached) return false;
  }
  CBitmap* knobStrip = new CBitmap(CResourceDescription(table.knobStrip));
  for (size_t i = 0; i < table.controlCount && i < kMaxRows; ++i) {
    CControl* c = makeControl(table.controls[i], knobStrip);
    if (!c) continue;
    c->setValue(effect.getParameter(table.controls[i].tag));
    controls[i] = c;
    container->addView(c);
  }
  knobStrip->forget();
  for (size_t i = 0; i < table.labelCount && i < kMaxRows; ++i) {
    labels[i] = makeLabel(rectOf(table.labels[i].rect), table.labels[i].placeholder, kLabelColour);
    loadLabel(i);
    container->addView(labels[i]);
  }
  char version[32];
  versionText(effect.vendorVersion(), version, sizeof version);
  versionLabel = makeLabel(rectOf(table.versionRect), version, kLabelColour);
  container->addView(versionLabel);
  return true;
}

void TableBackPanel::detach() {
  for (CControl*& c : controls) c = nullptr;
  for (CTextLabel*& l : labels) l = nullptr;
  versionLabel = nullptr;
  BackPanel::detach();
}

void TableBackPanel::loadControl(size_t i, float value) {
  CControl* c = controls[i];
  if (!c) return;
  const float v = clampedSetting(value, c->getDefaultValue());
  if (v != c->getValue()) {
    c->setValue(v);
    c->invalid();
  }
}

void TableBackPanel::loadLabel(size_t i) {
  CTextLabel* label = labels[i];
  if (!label) return;
  char text[EffectSeam::kDisplayTextBytes] = {};
  effect.getParameterDisplay(table.labels[i].tag, text);
  text[sizeof text - 1] = 0;
  if (std::strcmp(label->getText(), text) == 0) return;
  label->setText(text);
  label->invalid();
}

void TableBackPanel::show() {
  BackPanel::show();
  if (!visible) return;
  // Whatever changed while the plate was hidden (another instance, the
  // host, a project) shows now.
  for (size_t i = 0; i < table.controlCount && i < kMaxRows; ++i)
    loadControl(i, effect.getParameter(table.controls[i].tag));
  for (size_t i = 0; i < table.labelCount && i < kMaxRows; ++i) loadLabel(i);
}

void TableBackPanel::settingChanged(int32_t index, float value) {
  BackPanel::settingChanged(index, value);
  if (!visible) return;
  const int i = rowOf(index);
  if (i < 0) return;
  // The effect has applied the value before it tells us; NaN (which the
  // effect never passes on) would show the setting as it stands.
  loadControl((size_t)i, clampedSetting(value, effect.getParameter(index)));
  const int l = labelOf(index);
  if (l >= 0) loadLabel((size_t)l);
}

void TableBackPanel::controlChanged(CControl* control) {
  BackPanel::controlChanged(control);
  if (!visible || !control || rowOf(control->getTag()) < 0) return;
  effect.setParameter(control->getTag(), control->getValue());
  control->setDirty();
}

// ---------------------------------------------------------------- panels

VUBackPanel::VUBackPanel(EffectSeam& effect, CControlListener* editor) : TableBackPanel(backlayout::kVu, effect, editor) {}
PPMBackPanel::PPMBackPanel(EffectSeam& effect, CControlListener* editor) : TableBackPanel(backlayout::kPpm, effect, editor) {}
RMSBackPanel::RMSBackPanel(EffectSeam& effect, CControlListener* editor) : TableBackPanel(backlayout::kRms, effect, editor) {}

BackPanelPart* makeBackPanel(int meterType, EffectSeam& effect, CControlListener* editor) {
  switch (meterType) {
    case 0:
      return new VUBackPanel(effect, editor);
    case 1:
      return new RMSBackPanel(effect, editor);
    case 2:
      return new PPMBackPanel(effect, editor);
    default:
      return nullptr;
  }
}

}  // namespace orvane
