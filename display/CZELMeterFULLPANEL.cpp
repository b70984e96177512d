#include "display/CZELMeterFULLPANEL.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "controls/CHelpHintLabel.h"
#include "display/CZELMeter2.h"
#include "display/PanelControls.h"
#include "meters/MeterReadout.h"
#include "toolkit/cframe.h"

using namespace VSTGUI;
namespace pc = orvane::panelcontrols;

namespace orvane {

namespace {

// Host parameters the panels show.
constexpr int32_t kProcess = 0, kTrim = 1, kScope = 2, kMeter = 3, kLRMS = 4, kHold = 5, kStrips = 6;

// The reference knob shows at most this much of the engine's text.
constexpr size_t kReferenceTextChars = 30;

int twoState(float v) { return (int)((double)v + 0.5); }
int threeState(float v) { return (int)((double)v * 2.0 + 0.5); }

// A bitmap for as long as a control is being made: the control keeps its
// own reference.
struct Bitmap {
  explicit Bitmap(int32_t id) : b(new CBitmap(CResourceDescription(id))) {}
  ~Bitmap() { b->forget(); }
  CCoord w() const { return b->getWidth(); }
  CCoord h() const { return b->getHeight(); }
  operator CBitmap*() const { return b; }
  CBitmap* b;
};

void setValue(CControl* c, float v) {
  if (c) c->setValue(v);
}

}  // namespace

CZELMeterFULLPANEL::CZELMeterFULLPANEL(int meterType, const Look& look, CControlListener* editor, EffectSeam& effect,
                                       BackPanelPart* backPanel)
    : type(meterType), look(look), editor(editor), effect(effect), backPanel(backPanel) {}

CZELMeterFULLPANEL::~CZELMeterFULLPANEL() {
  if (built || container) teardown();
  delete backPanel;
}

bool CZELMeterFULLPANEL::isShown() const { return frame && container && frame->isChild(container); }

CHelpHintLabel* CZELMeterFULLPANEL::hintLabel() const { return dynamic_cast<CHelpHintLabel*>(hintLine); }

bool CZELMeterFULLPANEL::isCovered() const { return backPanel && backPanel->isShown(); }

void CZELMeterFULLPANEL::add(CView* view) {
  if (view) container->addView(view);
}

CControl* CZELMeterFULLPANEL::getControl(int32_t tag) const {
  switch (tag) {
    case kProcess:
      return process;
    case kTrim:
      return trimSlider;
    case kScope:
      return scope;
    case kMeter:
      return selector;
    case kLRMS:
      return lrms;
    case kHold:
      return holdSwitch;
    case kStrips:
      return strips;
    case kTagChannelLabel:
      return labelA;
    case kTagTrimText:
      return trimText;
    case kTagManual:
      return manual;
    default:
      return tag == look.reference ? reference : nullptr;
  }
}

// ---------------------------------------------------------------- build

bool CZELMeterFULLPANEL::build(CFrame* f) {
  if (built) return true;
  if (!f) return false;
  frame = f;
  Bitmap background(look.background);
  container = new CViewContainer(CRect(0, 0, kWidth, kHeight));
  container->setBackground(background);
  buildCommon(background);

  {
    Bitmap b(look.lrmsButton);
    lrms = pc::makePlainButton(CRect(8, 144, 8 + b.w(), 144 + b.h() / 2), editor, kLRMS, b);
    lrms->setValue(effect.getParameter(kLRMS));
    add(lrms);
  }
  {
    Bitmap a(look.labelA), b(look.labelB);
    labelA = pc::makeChannelLabel(CRect(104, 146, 170, 165), editor, kTagChannelLabel, a);
    labelB = pc::makeChannelLabel(CRect(369, 146, 435, 165), editor, kTagChannelLabel, b);
    labelA->setValue(effect.getParameter(kLRMS));
    labelB->setValue(effect.getParameter(kLRMS));
    add(labelA);
    add(labelB);
  }
  {
    Bitmap b(look.holdSwitch);
    holdSwitch = pc::makeHoldSwitch(CRect(442, 144, 442 + b.w(), 144 + b.h() / 3), editor, kHold, b);
    holdSwitch->setValue(effect.getParameter(kHold));
    add(holdSwitch);
  }
  viewA = makeView(CPoint(kViewX[0], kViewY));
  viewB = makeView(CPoint(kViewX[1], kViewY));
  const bool holdShown = threeState(effect.getParameter(kHold)) != 0;
  for (CZELMeter2* v : {viewA, viewB}) {
    v->setHoldVisible(holdShown);
    add(v);
  }
  {
    Bitmap b(kReferenceBitmap);
    const CCoord h = b.h() / pc::referenceFrames();
    reference = pc::makeReferenceControl(CRect(96, 1, 96 + b.w(), 1 + h), editor, look.reference, b, look.dragScale,
                                         look.dragFineFactor, look.wheelStep, look.wheelFineFactor);
    // A reset click puts the meter's own default reference back, as the
    // back panel's knob does, not the middle of the range.
    reference->setDefaultValue(effect.defaultValue(look.reference));
    reference->setValue(effect.getParameter(look.reference));
    updateReferenceText();
    pc::setReferenceShown(reference, twoState(effect.getParameter(kStrips)) != 0);
    pc::attachHint(reference, hintLine);
    add(reference);
  }
  if (backPanel) backPanel->build(frame);
  built = true;
  return true;
}

void CZELMeterFULLPANEL::buildCommon(CBitmap* background) {
  hintLine = pc::makeHintLine(CRect(304, 0, 496, 14));
  {
    Bitmap b(kSelectorBitmap);
    selector = pc::makeMeterSelector(CRect(195, 144, 195 + b.w(), 144 + b.h() / 3), editor, b);
  }
  {
    Bitmap b(kTrimHandleBitmap);
    // The handle moves within the slider's span from y 17 to 143.
    trimSlider = pc::makeTrimSlider(CRect(538, 17, 538 + b.w(), 143), editor, b, 126);
  }
  trimText = pc::makeTrimValue(CRect(530, 146, 578, 161), editor, background);
  {
    Bitmap b(kProcessBitmap);
    process = pc::makeHintButton(CRect(531, 1, 531 + b.w(), 1 + b.h() / 2), editor, kProcess, b);
  }
  {
    Bitmap b(kScopeBitmap);
    scope = pc::makeScopeControl(CRect(0, 1, b.w(), 1 + b.h() / 3), editor, b);
  }
  {
    Bitmap b(kStripsBitmap);
    strips = pc::makeHintButton(CRect(574, 1, 574 + b.w(), 1 + b.h() / 2), editor, kStrips, b);
  }
  {
    Bitmap b(kManualBitmap);
    manual = pc::makeManualButton(CRect(505, 0, 505 + b.w(), b.h() / 3), editor, b);
  }
  for (CControl* c : {selector, trimSlider, trimText, process, strips, manual}) pc::attachHint(c, hintLine);
  for (CControl* c : {scope, selector, trimSlider, trimText, process, strips, manual}) add(c);
  add(hintLine);
  loadCommon();
}

// The common controls take the effect's values: at build, and whenever the
// panel comes on show (it missed what changed while hidden only if the
// editor skipped it, but a reload costs nothing that shows).
void CZELMeterFULLPANEL::loadCommon() {
  setValue(selector, effect.getParameter(kMeter));
  setValue(trimSlider, effect.getParameter(kTrim));
  setTrimText();
  setProcessState(effect.getParameter(kProcess));
  setValue(scope, effect.getParameter(kScope));
  setValue(strips, effect.getParameter(kStrips));
}

void CZELMeterFULLPANEL::setProcessState(float value) {
  setValue(process, value);
  const bool active = twoState(value) != 0;
  pc::setActive(trimSlider, active);
  pc::setActive(trimText, active);
  if (trimSlider) trimSlider->setDirty();
  if (trimText) trimText->setDirty();
}

void CZELMeterFULLPANEL::setTrimText() {
  if (!trimText) return;
  char text[EffectSeam::kDisplayTextBytes] = {};
  effect.getParameterDisplay(kTrim, text);
  text[sizeof text - 1] = 0;
  if (std::strcmp(pc::getText(trimText), text) != 0) pc::setText(trimText, text);
}

void CZELMeterFULLPANEL::updateReferenceText() {
  if (!reference) return;
  char text[EffectSeam::kDisplayTextBytes] = {};
  effect.getParameterDisplay(look.reference, text);
  text[kReferenceTextChars] = 0;
  pc::setReferenceText(reference, text);
  reference->setDirty();
}

// ---------------------------------------------------------------- lifecycle

void CZELMeterFULLPANEL::clearPointers() {
  viewA = viewB = nullptr;
  selector = trimSlider = trimText = process = scope = strips = manual = nullptr;
  lrms = labelA = labelB = holdSwitch = reference = nullptr;
  hintLine = nullptr;
}

void CZELMeterFULLPANEL::teardown() {
  built = false;
  if (backPanel) backPanel->detach();
  clearPointers();
  if (container) {
    if (frame && frame->isChild(container))
      frame->removeView(container, true);
    else
      container->forget();
  }
  container = nullptr;
  frame = nullptr;
}

void CZELMeterFULLPANEL::show() {
  if (!built) return;
  if (!frame->isChild(container)) frame->addView(container);
  loadCommon();
}

void CZELMeterFULLPANEL::hide() {
  if (!built) return;
  // A meter that makes way for another (the host switched the meter type)
  // turns round as a click would have turned it: its plate would
  // otherwise stay over the next meter.
  if (backPanel && backPanel->isShown()) {
    backPanel->hide();
    effect.saveGlobalSettings();
  }
  if (frame->isChild(container)) frame->removeView(container, false);
}

// ---------------------------------------------------------------- changes

void CZELMeterFULLPANEL::parameterChanged(int32_t index, float value) {
  if (!built) return;
  switch (index) {
    case kProcess:
      setProcessState(value);
      break;
    case kTrim:
      setValue(trimSlider, value);
      setTrimText();
      break;
    case kScope:
      setValue(scope, value);
      break;
    case kMeter:
      setValue(selector, value);
      break;
    case kLRMS:
      setValue(lrms, value);
      setValue(labelA, value);
      setValue(labelB, value);
      break;
    case kHold:
      viewA->setHoldVisible(threeState(value) != 0);
      viewB->setHoldVisible(threeState(value) != 0);
      setValue(holdSwitch, value);
      break;
    case kStrips:
      setValue(strips, value);
      pc::setReferenceShown(reference, twoState(value) != 0);
      reference->setDirty();
      break;
    default:
      if (index == look.reference) {
        // The knob follows a value set from elsewhere (host, project, another
        // instance), so the next drag starts where the setting is.
        setValue(reference, value);
        updateReferenceText();
      }
      break;
  }
  if (backPanel && backPanel->isShown()) backPanel->settingChanged(index, value);
}

bool CZELMeterFULLPANEL::trimFromText(const char* text, float& value) {
  const double db = std::atof(text ? text : "");
  if (std::isnan(db)) return false;
  double v = (db + 20.0) * 0.025;
  value = (float)(v < 0.0 ? 0.0 : v > 1.0 ? 1.0 : v);
  return true;
}

void CZELMeterFULLPANEL::controlChanged(CControl* control) {
  if (!control) return;
  const int32_t tag = control->getTag();
  if (tag == kTagBackPanel) {
    if (backPanel && backPanel->isShown()) {
      backPanel->hide();
      effect.saveGlobalSettings();
    } else if (backPanel) {
      backPanel->show();
    }
  } else if (tag == kTagResetOvers) {
    effect.resetOvers();
  } else if (tag == kTagTrimText) {
    float v;
    if (trimFromText(pc::getText(control), v)) effect.setParameterAutomated(kTrim, v);
    // Whatever was typed, the field goes back to the effect's own text.
    if (built && control == trimText) setTrimText();
  } else if (tag == look.reference) {
    effect.setParameter(tag, control->getValue());
    control->setDirty();
  }
  if (backPanel) backPanel->controlChanged(control);
}

// ---------------------------------------------------------------- refresh

void CZELMeterFULLPANEL::refresh(float x) {
  if (!built) return;
  MeterReadout* readout = effect.readout(type);
  if (!readout) return;
  // A covered or hidden meter still reads (the over latches and hold
  // maxima advance as they would), but paints nothing.
  const bool paint = isShown() && !isCovered();
  for (int channel = 0; channel < 2; ++channel) {
    CZELMeter2* view = channel == 0 ? viewA : viewB;
    view->setReading((float)readout->readDisplayValue(x, kMainReading, channel));
    view->setHoldReading((float)readout->readHoldDisplay(x, channel));
    pushExtra(view, *readout, x, channel);
    view->setOverState(readout->readOverState(channel));
    if (paint) view->updateDirty();
  }
  effect.syncSharedSettings(type);
}

// ---------------------------------------------------------------- VU

// Reference knob tuning: one dB per wheel notch of the -24..0 dB (VU, PPM)
// and -20..+10 dB (RMS) ranges.
CZELVUMeterFULLPANEL::CZELVUMeterFULLPANEL(CControlListener* editor, EffectSeam& effect, BackPanelPart* backPanel)
    : CZELMeterFULLPANEL(0, Look{10000, 10005, 40011, 40012, 10006, 83, 0.5f, 10.0f, 1.0f / 24.0f, 0.1f}, editor,
                         effect, backPanel) {}

CZELMeter2* CZELVUMeterFULLPANEL::makeView(const CPoint& origin) { return new CZELVUMeter2(origin, editor); }

void CZELVUMeterFULLPANEL::updateIllumination() {
  const int level = (int)((double)effect.getParameter(kBacklitIndex) * 4.0 + 0.5);
  static_cast<CZELVUMeter2*>(viewA)->setIllumination(level);
  static_cast<CZELVUMeter2*>(viewB)->setIllumination(level);
}

bool CZELVUMeterFULLPANEL::build(CFrame* f) {
  if (isBuilt()) return true;
  if (!CZELMeterFULLPANEL::build(f)) return false;
  updateIllumination();
  return true;
}

void CZELVUMeterFULLPANEL::parameterChanged(int32_t index, float value) {
  CZELMeterFULLPANEL::parameterChanged(index, value);
  if (!isBuilt() || index != kBacklitIndex) return;
  updateIllumination();
  updateReferenceText();
  // The face changes at once, not at the next refresh.
  if (isShown() && !isCovered()) {
    viewA->updateDirty();
    viewB->updateDirty();
  }
}

// ---------------------------------------------------------------- PPM

CZELPPMMeterFULLPANEL::CZELPPMMeterFULLPANEL(CControlListener* editor, EffectSeam& effect, BackPanelPart* backPanel)
    : CZELMeterFULLPANEL(2, Look{42001, 42005, 42011, 42012, 42006, 93, 0.5f, 10.0f, 1.0f / 24.0f, 0.1f}, editor,
                         effect, backPanel) {}

CZELMeter2* CZELPPMMeterFULLPANEL::makeView(const CPoint& origin) { return new CZELPPMMeter2(origin, editor); }

// ---------------------------------------------------------------- RMS

CZELRMSMeterFULLPANEL::CZELRMSMeterFULLPANEL(CControlListener* editor, EffectSeam& effect, BackPanelPart* backPanel)
    : CZELMeterFULLPANEL(1, Look{41001, 41005, 41011, 41012, 41006, 72, 0.3f, 10.0f, 1.0f / 30.0f, 0.1f}, editor,
                         effect, backPanel) {}

CZELMeter2* CZELRMSMeterFULLPANEL::makeView(const CPoint& origin) { return new CZELRMSMeter2(origin, editor); }

void CZELRMSMeterFULLPANEL::pushExtra(CZELMeter2* view, MeterReadout& readout, float x, int channel) {
  // The mean square's needle reads as a sine's peak (x sqrt 2). Between
  // blocks the interpolated mean square can dip below 0; its root is then
  // not a number and the view rests the needle.
  const double meanSquare = readout.readDisplayValue(x, kMeanSquareReading, channel);
  static_cast<CZELRMSMeter2*>(view)->setRmsReading((float)(std::sqrt(meanSquare) * 1.4142));
}

MeterPanel* makeMeterPanel(int meterType, CControlListener* editor, EffectSeam& effect, BackPanelPart* backPanel) {
  switch (meterType) {
    case 0:
      return new CZELVUMeterFULLPANEL(editor, effect, backPanel);
    case 1:
      return new CZELRMSMeterFULLPANEL(editor, effect, backPanel);
    case 2:
      return new CZELPPMMeterFULLPANEL(editor, effect, backPanel);
    default:
      delete backPanel;
      return nullptr;
  }
}

}  // namespace orvane
