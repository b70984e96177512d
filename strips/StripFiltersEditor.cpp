#include "strips/StripFiltersEditor.h"

#include "strips/StripControls.h"
#include "strips/StripRules.h"

using namespace VSTGUI;

namespace orvane {

namespace {

// The filter parameters of the effect.
enum : int32_t {
  kProcess = 0,
  kShowFlt = 7,
  kProcFlt = 8,
  kHPStat = 9,
  kHPSlope = 10,
  kHPFreq = 11,
  kLPStat = 12,
  kLPSlope = 13,
  kLPFreq = 14,
};

// Bitmaps of the controls.
enum : int32_t {
  kLampBitmap = 10020,           // 31 x 90, three frames
  kCollapsedLampBitmap = 10103,  // 12 x 36, three frames
  kFilterInBitmap = 10021,       // 36 x 24, two frames
  kHandleBitmap = 10024,         // 19 x 32
  kShowBitmap = 10025,           // 11 x 22, two frames
  kSlopeBitmap = 31001,          // 29 x 48, two frames
  kCaptionBitmap = 10102,        // 33 x 11, FILTERS
};

StripFilter filterOfEntry(int32_t tag) {
  return tag == StripFiltersEditor::kHPEntry ? StripFilter::HighPass : StripFilter::LowPass;
}

CRect entryRect(StripFilter filter, float value) {
  const int left = frequencyEntryLeft(filter, value);
  return CRect(left, 0, left + kFrequencyEntryWidth, kFrequencyEntryHeight);
}

// A bitmap for one control; the control takes its own reference.
struct Bitmap {
  explicit Bitmap(int32_t id) : bitmap(new CBitmap(CResourceDescription(id))) {}
  ~Bitmap() { bitmap->forget(); }
  operator CBitmap*() const { return bitmap; }
  CBitmap* bitmap;
};

}  // namespace

bool StripFiltersEditor::build(CViewContainer* newParent, CBitmap* background, bool expandedForm) {
  if (!attach(newParent, background, expandedForm ? kExpandedHeight : kCollapsedHeight)) return false;
  expanded = expandedForm;
  const Bitmap show(kShowBitmap);
  CControl* c = nullptr;
  if (expandedForm) {
    c = add(strip::makeLampButton(CRect(541, 4, 572, 34), editor, kProcFlt, Bitmap(kLampBitmap)));
    c = add(strip::makeShowButton(strip::showButtonRect(show), editor, kShowFlt, show));
    c = add(strip::makeFilterButton(CRect(16, 20, 52, 32), editor, kHPStat, Bitmap(kFilterInBitmap), false));
    c = add(strip::makeFilterButton(CRect(281, 20, 317, 32), editor, kLPStat, Bitmap(kFilterInBitmap), false));
    c = add(strip::makeFrequencySlider(CRect(58, 10, 220, 42), editor, kHPFreq, 58, 220, Bitmap(kHandleBitmap)));
    c = add(strip::makeFrequencySlider(CRect(323, 10, 485, 42), editor, kLPFreq, 323, 485, Bitmap(kHandleBitmap)));
    c = add(strip::makeFilterButton(CRect(223, 8, 252, 32), editor, kHPSlope, Bitmap(kSlopeBitmap), true));
    c = add(strip::makeFilterButton(CRect(489, 8, 518, 32), editor, kLPSlope, Bitmap(kSlopeBitmap), true));
    hpEntry = add(strip::makeFrequencyEntry(entryRect(StripFilter::HighPass, 0), editor, kHPEntry));
    lpEntry = add(strip::makeFrequencyEntry(entryRect(StripFilter::LowPass, 0), editor, kLPEntry));
  } else {
    c = add(strip::makeShowButton(strip::showButtonRect(show), editor, kShowFlt, show));
    c = add(strip::makeCaption(CRect(503, 2, 536, 13), kCaption, Bitmap(kCaptionBitmap)));
    c = add(strip::makeLampButton(CRect(547, 1, 559, 13), editor, kProcFlt, Bitmap(kCollapsedLampBitmap)));
  }
  (void)c;
  if (expandedForm && (!hpEntry || !lpEntry || controls.size() != 10)) return false;
  if (!expandedForm && controls.size() != 3) return false;
  for (CControl* control : controls)
    if (control->getTag() <= kLPFreq) control->setValue(effect.getParameter(control->getTag()));
  if (expandedForm) {
    followHandle(kHPFreq, effect.getParameter(kHPFreq));
    followHandle(kLPFreq, effect.getParameter(kLPFreq));
  }
  setActive(effect.getParameter(kProcess));
  return true;
}

void StripFiltersEditor::detach() {
  hpEntry = lpEntry = nullptr;
  StripEditor::detach();
}

void StripFiltersEditor::setHintLabel(CHelpHintLabel* label) {
  StripEditor::setHintLabel(label);
  for (CControl* c : controls)
    if (c->getTag() != kCaption) strip::setHintLabel(c, label);
}

void StripFiltersEditor::followHandle(int32_t index, float value) {
  CTextEdit* entry = index == kHPFreq ? hpEntry : index == kLPFreq ? lpEntry : nullptr;
  if (!entry) return;
  entry->setViewSize(entryRect(index == kHPFreq ? StripFilter::HighPass : StripFilter::LowPass, value));
  char text[EffectSeam::kDisplayTextBytes] = {};
  effect.getParameterDisplay(index, text);
  text[EffectSeam::kDisplayTextBytes - 1] = 0;
  entry->setText(text);
}

void StripFiltersEditor::show(const CPoint& where) {
  StripEditor::show(where);
  // A hidden view follows every change already; reading the effect again
  // also mends what a host changed while the window could not hear it.
  for (CControl* c : controls)
    if (c->getTag() <= kLPFreq) c->setValue(effect.getParameter(c->getTag()));
  followHandle(kHPFreq, effect.getParameter(kHPFreq));
  followHandle(kLPFreq, effect.getParameter(kLPFreq));
  setActive(effect.getParameter(kProcess));
  redraw();
}

void StripFiltersEditor::settingChanged(int32_t index, float value) {
  switch (index) {
    case kShowFlt:
    case kProcFlt:
    case kHPStat:
    case kHPSlope:
    case kLPStat:
    case kLPSlope:
      for (CControl* c : controls)
        if (c->getTag() == index) c->setValue(value);
      break;
    case kHPFreq:
    case kLPFreq:
      if (CControl* slider = findControl(index)) slider->setValue(value);
      followHandle(index, value);
      redraw();
      break;
    default:
      break;
  }
}

void StripFiltersEditor::controlChanged(CControl* control) {
  if (!visible || !ownsControl(control)) return;
  const int32_t tag = control->getTag();
  // "ShowFlt" the editor sends itself, as every show button of the window.
  if (tag >= kProcFlt && tag <= kLPFreq) {
    effect.setParameterAutomated(tag, control->getValue());
    control->setDirty();
  } else if (tag == kHPEntry || tag == kLPEntry) {
    CTextEdit* entry = getEntry(tag);
    float value = 0;
    const int32_t index = tag == kHPEntry ? kHPFreq : kLPFreq;
    if (strip::isActive(entry) && filterValueFromText(filterOfEntry(tag), entry->getText(), value))
      effect.setParameterAutomated(index, value);
    // The entry shows the effect's text again, so "2500" reads "2k5" and
    // a refused text the frequency in force.
    followHandle(index, effect.getParameter(index));
  }
}

void StripFiltersEditor::setActive(float processValue) {
  const bool active = (int)((double)processValue + 0.5) != 0;
  for (CControl* c : controls)
    if (c->getTag() != kShowFlt && c->getTag() != kCaption) strip::setActive(c, active);
}

// ---------------------------------------------------------------- manager

void StripFiltersSafeEditor::setActive(float processValue) {
  for (StripEditor* v : views)
    if (v) static_cast<StripFiltersEditor*>(v)->setActive(processValue);
}

StripEditor* StripFiltersSafeEditor::makeView() { return new StripFiltersEditor(editor, effect); }

int32_t StripFiltersSafeEditor::backgroundId(bool expandedForm, int type) const {
  static const int32_t expandedIds[3] = {31000, 31100, 31200};
  static const int32_t collapsedIds[3] = {40100, 41100, 42100};
  return (expandedForm ? expandedIds : collapsedIds)[type];
}

}  // namespace orvane
