#include "backpanels/MeterBackPanels.h"

#include <cstdio>
#include <cstring>

#include "backpanels/SteppedKnobs.h"
#include "controls/CAnimKnob4.h"
#include "controls/CZELOnOffButton.h"
#include "controls/CZELSelectors.h"
#include "toolkit/cbitmap.h"
#include "toolkit/cfont.h"
#include "toolkit/cframe.h"

using namespace VSTGUI;

namespace orvane {

namespace {

constexpr int32_t kKnobStrip = 10003;  // 43 x 41, 51 frames
constexpr CCoord kKnobWidth = 43, kKnobHeight = 41;
constexpr CColor kLabelColour(200, 193, 193, 255);

constexpr const KnobTuning* C = &kContinuousTuning;
constexpr const KnobTuning* S = &kSteppedTuning;
using K = BackControl;

// tag, control, bitmap, left, top, reset value, wheel step, tuning
const BackControlRow kVuControls[] = {
    {83, K::kKnob, kKnobStrip, 24, 36, 0.25f, 1.f / 24, C},  // reference, 1 dB of -24..0 dBFS
    {84, K::kKnob, kKnobStrip, 105, 35, 0.5f, 1.f / 12, C},  // integration
    {85, K::kKnob, kKnobStrip, 64, 111, 0.5f, 1.f / 12, C},  // hold time
    {88, K::kVuBackLitKnob, kKnobStrip, 195, 35, 0.5f, 1.f / 4, S},
    {90, K::kVuLedRefKnob, kKnobStrip, 434, 35, 1.f, 1.f / 3, S},
    {89, K::kVuOverLedKnob, kKnobStrip, 475, 111, 0.22f, 1.f / 9, S},
    {87, K::kSwitch3, 40002, 215, 127, 0, 0, nullptr},  // mid attenuation M0 / M3 / M6
    {86, K::kOnOff, 40001, 140, 127, 0, 0, nullptr},    // VU type A / B
    {91, K::kOnOff, 40003, 532, 12, 0, 0, nullptr},     // precise / CPU safe
};
const BackLabelRow kVuLabels[] = {
    {83, CRect(14, 79, 76, 93), "-18 dBFS"},
    {84, CRect(100, 78, 152, 92), "300 ms"},
    {85, CRect(59, 153, 111, 167), "0.1 s"},
};

const BackControlRow kPpmControls[] = {
    {93, K::kKnob, kKnobStrip, 24, 36, 0.5f, 1.f / 24, C},     // reference, 1 dB of -24..0 dBFS
    {94, K::kKnob, kKnobStrip, 137, 35, 0.5f, 1.f / 30, C},    // integration
    {95, K::kKnob, kKnobStrip, 80, 111, 0.5f, 1.f / 12, C},    // hold time
    {96, K::kKnob, kKnobStrip, 192, 111, 0.66f, 1.f / 12, C},  // return (fall-back)
    {99, K::kPpmLedRefKnob, kKnobStrip, 418, 35, 1.f, 1.f / 3, S},
    {98, K::kPpmOverLedKnob, kKnobStrip, 475, 111, 0.22f, 1.f / 9, S},
    {97, K::kSwitch3, 42003, 200, 36, 0, 0, nullptr},
    {100, K::kOnOff, 42007, 532, 12, 0, 0, nullptr},
};
const BackLabelRow kPpmLabels[] = {
    {93, CRect(14, 79, 76, 93), "0 dBFS"},
    {94, CRect(133, 78, 184, 92), "300 ms"},
    {95, CRect(75, 154, 127, 168), "0.1 s"},
    {96, CRect(188, 154, 240, 168), "0.1 s"},
};

const BackControlRow kRmsControls[] = {
    {72, K::kKnob, kKnobStrip, 54, 35, 0.667f, 1.f / 30, C},   // reference, 1 dB of -20..+10 dB
    {74, K::kKnob, kKnobStrip, 147, 35, 0.5f, 1.f / 30, C},    // RMS integration
    {73, K::kKnob, kKnobStrip, 24, 113, 0.5f, 1.f / 30, C},    // peak integration
    {75, K::kKnob, kKnobStrip, 118, 113, 0.5f, 1.f / 30, C},   // hold time
    {76, K::kKnob, kKnobStrip, 213, 113, 0.66f, 1.f / 30, C},  // return (fall-back)
    {79, K::kRmsLedRefKnob, kKnobStrip, 434, 35, 1.f, 1.f / 6, S},
    {78, K::kRmsOverLedKnob, kKnobStrip, 498, 113, 0.22f, 1.f / 9, S},
    {77, K::kSwitch3, 41008, 223, 50, 0, 0, nullptr},
    {81, K::kOnOff, 41003, 474, 28, 0, 0, nullptr},  // LED reference: from the reference / full scale
    {80, K::kOnOff, 41007, 532, 12, 0, 0, nullptr},
};
const BackLabelRow kRmsLabels[] = {
    {72, CRect(44, 77, 106, 91), "0 dBFS"},   {74, CRect(143, 76, 195, 90), "300 ms"},
    {73, CRect(18, 154, 70, 168), "300 ms"},  {75, CRect(114, 154, 166, 168), "0.1 s"},
    {76, CRect(208, 154, 260, 168), "0.1 s"},
};

template <size_t N, size_t M>
constexpr BackPanelTable table(const char* name, int type, int32_t background, const BackControlRow (&c)[N],
                               const BackLabelRow (&l)[M], const CRect& version) {
  return {name, type, background, kKnobStrip, c, N, l, M, version, kLabelColour};
}

const BackPanelTable kVu = table("VU", 0, 40000, kVuControls, kVuLabels, CRect(290, 86, 400, 100));
const BackPanelTable kPpm = table("PPM", 2, 42000, kPpmControls, kPpmLabels, CRect(281, 86, 391, 100));
const BackPanelTable kRms = table("RMS", 1, 41000, kRmsControls, kRmsLabels, CRect(293, 86, 403, 100));

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

const BackPanelTable& vuBackPanelTable() { return kVu; }
const BackPanelTable& ppmBackPanelTable() { return kPpm; }
const BackPanelTable& rmsBackPanelTable() { return kRms; }

const BackPanelTable* backPanelTable(int meterType) {
  switch (meterType) {
    case 0:
      return &kVu;
    case 1:
      return &kRms;
    case 2:
      return &kPpm;
    default:
      return nullptr;
  }
}

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
    labels[i] = makeLabel(table.labels[i].rect, table.labels[i].placeholder, table.labelColour);
    loadLabel(i);
    container->addView(labels[i]);
  }
  char version[32];
  versionText(effect.vendorVersion(), version, sizeof version);
  versionLabel = makeLabel(table.versionRect, version, table.labelColour);
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

VUBackPanel::VUBackPanel(EffectSeam& effect, CControlListener* editor) : TableBackPanel(kVu, effect, editor) {}
PPMBackPanel::PPMBackPanel(EffectSeam& effect, CControlListener* editor) : TableBackPanel(kPpm, effect, editor) {}
RMSBackPanel::RMSBackPanel(EffectSeam& effect, CControlListener* editor) : TableBackPanel(kRms, effect, editor) {}

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
