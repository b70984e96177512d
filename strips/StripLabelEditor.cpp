#include "strips/StripLabelEditor.h"

#include "strips/StripControls.h"
#include "strips/StripRules.h"

using namespace VSTGUI;

namespace orvane {

namespace {

enum : int32_t { kShowLbl = 15, kLagTime = 16 };

enum : int32_t {
  kShowBitmap = 10025,     // 11 x 22, two frames
  kLagBitmap = 34001,      // 26 x 120, three frames of 40
  kCaptionBitmap = 10100,  // 27 x 11, LABEL
};

// Stands in when the strip is given no label seam: an empty label that
// keeps nothing, and no latency.
struct NoLabel : LabelSeam {
  void getLabelText(char* text) override { text[0] = 0; }
  void setLabelText(const char*) override {}
  double outputLatencySeconds() override { return 0; }
};

struct Bitmap {
  explicit Bitmap(int32_t id) : bitmap(new CBitmap(CResourceDescription(id))) {}
  ~Bitmap() { bitmap->forget(); }
  operator CBitmap*() const { return bitmap; }
  CBitmap* bitmap;
};

}  // namespace

StripLabelEditor::StripLabelEditor(CControlListener* editor, EffectSeam& effect, LabelSeam& label)
    : StripEditor(editor, effect), label(label) {}

bool StripLabelEditor::build(CViewContainer* newParent, CBitmap* background, bool expandedForm) {
  if (!attach(newParent, background, expandedForm ? kExpandedHeight : kCollapsedHeight)) return false;
  expanded = expandedForm;
  const Bitmap show(kShowBitmap);
  showButton = add(strip::makeShowButton(strip::showButtonRect(show), editor, kShowLbl, show));
  if (!showButton) return false;
  showButton->setValue(effect.getParameter(kShowLbl));
  if (!expandedForm)
    return add(strip::makeCaption(CRect(506, 2, 533, 13), kCaption, Bitmap(kCaptionBitmap))) != nullptr;

  lagControl = add(strip::makeLagControl(CRect(541, 1, 567, 41), editor, kLagTime, Bitmap(kLagBitmap)));
  tapeLabel = add(strip::makeTapeLabel(CRect(17, 1, 523, 35), editor, kLabelTag, background));
  if (!lagControl || !tapeLabel) return false;
  lagControl->setValue(effect.getParameter(kLagTime));
  loadLabel();
  return true;
}

void StripLabelEditor::detach() {
  showButton = lagControl = nullptr;
  tapeLabel = nullptr;
  StripEditor::detach();
}

void StripLabelEditor::setHintLabel(CHelpHintLabel* line) {
  StripEditor::setHintLabel(line);
  strip::setHintLabel(showButton, line);
}

void StripLabelEditor::loadLabel() {
  if (!tapeLabel) return;
  char text[LabelSeam::kLabelBytes] = {};
  label.getLabelText(text);
  text[LabelSeam::kLabelBytes - 1] = 0;
  tapeLabel->setText(text);
}

void StripLabelEditor::settingChanged(int32_t index, float value) {
  switch (index) {
    case kShowLbl:
      if (showButton) showButton->setValue(value);
      break;
    case kLagTime:
      if (lagControl) lagControl->setValue(value);
      break;
    case kLabelTag:
      loadLabel();
      break;
    default:
      break;
  }
}

void StripLabelEditor::controlChanged(CControl* control) {
  if (!visible || !ownsControl(control)) return;
  if (control == lagControl) {
    // A double-click on the digits takes the host's latency, so the meter
    // lines up with what the user hears.
    if (strip::takeDoubleClickMark(lagControl))
      effect.setParameterAutomated(kLagTime, lagValueOfLatency(label.outputLatencySeconds()));
    else
      effect.setParameterAutomated(kLagTime, lagControl->getValue());
    lagControl->setDirty();
  } else if (control == tapeLabel) {
    char kept[LabelSeam::kLabelBytes] = {};
    cutLabelText(tapeLabel->getText(), kept);
    label.setLabelText(kept);
    // The effect passes this on to every view, so every tape label shows
    // the text as kept. Not as automation: the host has no parameter 69.
    effect.setParameter(kLabelTag, 0.f);
  }
}

void StripLabelEditor::animate() { strip::animateTapeLabel(tapeLabel); }

// ---------------------------------------------------------------- manager

StripLabelSafeEditor::StripLabelSafeEditor(CControlListener* editor, EffectSeam& effect, LabelSeam& label)
    : StripSafeEditor(editor, effect), label(label) {}

StripLabelSafeEditor::StripLabelSafeEditor(CControlListener* editor, EffectSeam& effect,
                                           std::unique_ptr<LabelSeam> owned)
    : StripSafeEditor(editor, effect),
      ownedLabel(owned ? std::move(owned) : std::make_unique<NoLabel>()),
      label(*ownedLabel) {}

// The views go before the seam they read.
StripLabelSafeEditor::~StripLabelSafeEditor() { close(); }

void StripLabelSafeEditor::idle() {
  if (collapsed) return;
  if (StripEditor* v = shownView()) v->animate();
}

StripEditor* StripLabelSafeEditor::makeView() { return new StripLabelEditor(editor, effect, label); }

int32_t StripLabelSafeEditor::backgroundId(bool expandedForm, int type) const {
  static const int32_t expandedIds[3] = {34000, 34100, 34200};
  static const int32_t collapsedIds[3] = {40100, 41100, 42100};
  return (expandedForm ? expandedIds : collapsedIds)[type];
}

}  // namespace orvane
