#include "editor/TemepleteEditor.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <new>

#include "core/Parameters.h"
#include "backpanels/MeterBackPanels.h"
#include "core/Templete.h"
#include "display/CZELMeterFULLPANEL.h"
#include "editor/EditorPlatform.h"
#include "editor/MyFrame.h"
#include "settings/SharedSettings.h"
#include "strips/StripFiltersEditor.h"
#include "strips/StripLabelEditor.h"

using namespace VSTGUI;
using orvane::MeterPanel;
using orvane::StripManager;

namespace {

// trunc(v * scale + 0.5) in double, as the effect reads its switches; a
// value that is not a number selects nothing (-1).
int stateOf(float value, double scale) {
  const double x = (double)value * scale + 0.5;
  if (!(x > -1.0e9 && x < 1.0e9)) return -1;
  return (int)x;
}

// Indices whose value the effect keeps, so the value it holds now is the
// one the views must end up with.
bool effectKeepsValue(int32_t index) {
  return orvane::isHostParameter(index) || orvane::meterSettingSlot(index) >= 0;
}

constexpr int kFiltersStripTop = 169;
constexpr int kFiltersExpanded = 53;
constexpr int kFiltersCollapsed = 13;
constexpr int kLabelExpanded = 39;
constexpr int kLabelCollapsed = 13;

}  // namespace

TemepleteEditor::TemepleteEditor(Templete* effect, orvane::DesktopServices& desktop)
    : CPresetSystemEditor(effect, effect->sharedSettings().registry(), desktop), templete(effect), seam(*effect) {
  windowThread.store(orvane::currentThreadKey(), std::memory_order_relaxed);
  background = new CBitmap(CResourceDescription(kBackgroundBitmap));
  // The size the user chose last; the window opens at it.
  userZoom = effect->sharedSettings().editorZoom();
  rect.top = 0;
  rect.left = 0;
  applyWindowSize();
}

TemepleteEditor::~TemepleteEditor() {
  // A host that ends the instance with the window still open gets it
  // closed here rather than left behind with nothing to drive it.
  if (frame) close();
  if (effect && effect->getEditor() == this) effect->setEditor(nullptr);
  if (background) background->forget();
  background = nullptr;
}

MyFrame* TemepleteEditor::getMyFrame() const { return static_cast<MyFrame*>(frame); }

MeterPanel* TemepleteEditor::getPanel(int meterType) const {
  return meterType >= 0 && meterType < 3 ? panels[meterType] : nullptr;
}

// The editor listens to every control of a panel; the panel reaches the
// effect through the seam.
MeterPanel* TemepleteEditor::createPanel(int meterType) {
  return orvane::makeMeterPanel(meterType, this, seam, createBackPanel(meterType));
}

// The meter's settings plate; its controls report to the editor like every
// other control, and it reaches the effect through the seam.
orvane::BackPanelPart* TemepleteEditor::createBackPanel(int meterType) {
  return orvane::makeBackPanel(meterType, seam, this);
}

StripManager* TemepleteEditor::createFiltersStrip() { return new orvane::StripFiltersSafeEditor(this, seam); }

StripManager* TemepleteEditor::createLabelStrip() {
  // The label text and the host's latency are the effect's; the strip
  // reaches them through this, which it owns.
  struct EffectLabel : orvane::LabelSeam {
    explicit EffectLabel(Templete& effect) : effect(effect) {}
    void getLabelText(char* text) override { orvane::copyText(text, effect.labelText(), kLabelBytes); }
    void setLabelText(const char* text) override { effect.setLabelText(text); }
    double outputLatencySeconds() override { return effect.outputLatencySeconds(); }
    Templete& effect;
  };
  return new orvane::StripLabelSafeEditor(this, seam, std::make_unique<EffectLabel>(*templete));
}

bool TemepleteEditor::onWindowThread() const {
  return orvane::currentThreadKey() == windowThread.load(std::memory_order_relaxed);
}

// ---------------------------------------------------------------- lifecycle

bool TemepleteEditor::open(void* parentWindow) {
  // A host that opens again without closing moves the window: the old one
  // goes first, so nothing of it is left behind.
  if (frame) close();
  systemWindow = parentWindow;
  bool usable = background != nullptr;
#ifdef _WIN32
  usable = usable && parentWindow != nullptr;
#endif
  if (!usable) {
    systemWindow = nullptr;
    return false;
  }
  windowThread.store(orvane::currentThreadKey(), std::memory_order_relaxed);
  // Everything below is read from the effect afresh.
  mailbox.clear();

  MyFrame* newFrame = new MyFrame(CRect(rect.left, rect.top, rect.left + kWidth, rect.top + kInitialHeight),
                                  parentWindow, this);
  if (!newFrame->isOpen()) {  // the system would not give us a window (no X display)
    newFrame->close();
    systemWindow = nullptr;
    return false;
  }
  frame = newFrame;
  frameCreated();
  newFrame->onBackgroundRightClick = [this](const CPoint& where) { showZoomMenu(where); };
  newFrame->onSystemScaleChanged = [this](double scale) {
    // The window moved to a screen of another density; a host that sends
    // its own scale tells us itself.
    if (hostSetScale || !(scale > 0 && scale <= kMaxScale) || scale == systemScale) return;
    systemScale = scale;
    applyScale();
  };
  // Without the host's word, the density of the screen the host's window
  // is on, where the system can tell (a window the system stretches says
  // 1).
  if (!hostSetScale) {
    const double scale = frame->getPlatformFrame() ? frame->getPlatformFrame()->getSystemScale() : 0;
    if (scale > 0 && scale <= kMaxScale) systemScale = scale;
  }
  frame->setScaleFactor(getScaleFactor());
  frame->setBackground(background);
  setKnobMode(kLinearMode);  // knobs follow vertical drags

  currentMeter = -1;
  lastStrips = lastShowFlt = lastShowLbl = -1;
  for (int t = 0; t < 3; ++t) panels[t] = createPanel(t);
  for (MeterPanel* p : panels)
    if (p) p->build(frame);
  selectMeter(templete->getParameter(orvane::kMeter));

  filtersStrip = createFiltersStrip();
  labelStrip = createLabelStrip();
  if (filtersStrip) filtersStrip->open(frame);
  if (labelStrip) labelStrip->open(frame);
  if (filtersStrip) filtersStrip->setPanels(panels[0], panels[1], panels[2]);
  if (labelStrip) labelStrip->setPanels(panels[0], panels[1], panels[2]);

  // The meter selection above laid out no strips (there were none yet):
  // now the layout is made for real, and the window takes its height.
  lastStrips = -1;
  layoutStrips(true);
  return true;
}

void TemepleteEditor::close() {
  systemWindow = nullptr;
  if (!frame) return;
  commitTyping();
  if (!frame) return;  // the commit's listener closed the window meanwhile
  frameClosing();
  if (labelStrip) labelStrip->close();
  if (filtersStrip) filtersStrip->close();
  delete labelStrip;
  labelStrip = nullptr;
  delete filtersStrip;
  filtersStrip = nullptr;
  for (MeterPanel* p : panels)
    if (p) p->teardown();
  for (MeterPanel*& p : panels) {
    delete p;
    p = nullptr;
  }
  CFrame* old = frame;
  frame = nullptr;
  old->close();
}

void TemepleteEditor::idle() {
  if (!frame) return;
  applyPendingParameters();
  if (labelStrip) labelStrip->idle();

  // How far the present lies into the last processed block, in blocks:
  // the audio path stamped the block with the same clock. Past the end of
  // the block the readings keep falling as they would have.
  const double now = frameTickCount() * 0.001;
  double position = (now - templete->frameTickSeconds()) / templete->blockSeconds();
  if (!(position >= 0.0)) position = 0.0;
  if (position > FLT_MAX) position = FLT_MAX;  // stays a number in single precision
  if (MeterPanel* p = getPanel(currentMeter)) p->refresh((float)position);

  if (!inIdleStuff) frame->idle();
}

// ---------------------------------------------------------------- parameters

void TemepleteEditor::setParameter(VstInt32 index, float value) {
  if (onWindowThread()) {
    if (frame) applyParameter(index, value);
  } else {
    mailbox.post(index, value);
  }
}

void TemepleteEditor::applyPendingParameters() {
  mailbox.take([this](int32_t index, float posted) {
    applyParameter(index, effectKeepsValue(index) ? templete->getParameter(index) : posted);
  });
}

void TemepleteEditor::applyParameter(VstInt32 index, float value) {
  if (!frame) return;
  switch (index) {
    case orvane::kProcess:
      if (filtersStrip) filtersStrip->setActive(value);
      break;
    case orvane::kMeter:
      selectMeter(value);
      break;
    case orvane::kStrips:
    case orvane::kShowFlt:
    case orvane::kShowLbl:
      layoutStrips(true);
      break;
    default:
      break;
  }
  if (labelStrip) labelStrip->parameterChanged(index, value);
  if (filtersStrip) filtersStrip->parameterChanged(index, value);
  for (MeterPanel* p : panels)
    if (p) p->parameterChanged(index, value);
}

void TemepleteEditor::valueChanged(CControl* control) {
  if (!control) return;
  CPresetSystemEditor::valueChanged(control);
  if (!frame) return;  // the host closed the window meanwhile
  const int32_t tag = control->getTag();
  if ((tag >= 0 && tag <= 7) || tag == orvane::kShowLbl) {
    // The effect echoes this to setParameter, which updates every view.
    templete->setParameterAutomated(tag, control->getValue());
    control->setDirty();
    if (!frame) return;
  }
  if (MeterPanel* p = getPanel(currentMeter)) p->controlChanged(control);
  if (labelStrip) labelStrip->controlChanged(control);
  if (filtersStrip) filtersStrip->controlChanged(control);
}

// ---------------------------------------------------------------- layout

void TemepleteEditor::commitTyping() {
  if (frame) frame->setFocusView(nullptr);
}

void TemepleteEditor::selectMeter(float value) {
  const int index = stateOf(value, 2.0);
  if (index == currentMeter) return;
  // The panel and the strips of the meter on show still hear the field's
  // change; after the switch only the new meter's would.
  commitTyping();
  if (!frame) return;
  currentMeter = index;
  if (index >= 0 && index < 3) {
    for (MeterPanel* p : panels)
      if (p) p->hide();
    if (panels[index]) panels[index]->show();
  }
  // The strips take the new meter's colouring; the height stays.
  lastStrips = -1;
  layoutStrips(false);
}

int TemepleteEditor::stripLayoutHeight(bool strips, bool showFlt, bool showLbl) {
  if (!strips) return kMeterAreaHeight;
  return kFiltersStripTop + (showFlt ? kFiltersExpanded : kFiltersCollapsed) +
         (showLbl ? kLabelExpanded : kLabelCollapsed);
}

void TemepleteEditor::layoutStrips(bool resize) {
  // A strip that is not there is skipped; the window still takes the
  // height of the layout, so it is the same whether the strips draw yet.
  if (!effect || !frame) return;
  const int strips = stateOf(templete->getParameter(orvane::kStrips), 1.0);
  const int showFlt = stateOf(templete->getParameter(orvane::kShowFlt), 1.0);
  const int showLbl = stateOf(templete->getParameter(orvane::kShowLbl), 1.0);
  const int height = stripLayoutHeight(strips != 0, showFlt != 0, showLbl != 0);
  if (strips == lastStrips && showFlt == lastShowFlt && showLbl == lastShowLbl) {
    // Laid out already, but perhaps without resizing: a meter change taken
    // from another thread on idle can see strip values whose own change is
    // still on its way. The window still ends with the layout's height.
    if (resize) resizeHeight(height);
    return;
  }
  // The strip view with the field is still the one on show.
  commitTyping();
  if (!frame) return;
  lastStrips = strips;
  lastShowFlt = showFlt;
  lastShowLbl = showLbl;

  if (strips) {
    const CPoint filtersAt(0, kFiltersStripTop);
    const int labelTop = kFiltersStripTop + (showFlt ? kFiltersExpanded : kFiltersCollapsed);
    if (filtersStrip) {
      if (showFlt)
        filtersStrip->expand(filtersAt, currentMeter);
      else
        filtersStrip->collapse(filtersAt, currentMeter);
    }
    const CPoint labelAt(0, labelTop);
    if (labelStrip) {
      if (showLbl)
        labelStrip->expand(labelAt, currentMeter);
      else
        labelStrip->collapse(labelAt, currentMeter);
    }
  }
  if (resize) resizeHeight(height);
}

void TemepleteEditor::resizeHeight(int height) {
  if (height <= 0 || !frame) return;
  if (height > 32767) height = 32767;
  unitHeight = height;
  CRect frameSize;
  frame->getSize(frameSize);
  if (frameSize.getHeight() != height) frame->setSize(frameSize.getWidth(), height);
  applyWindowSize();
}

// ---------------------------------------------------------------- zoom

double TemepleteEditor::getScaleFactor() const {
  const double scale = systemScale * userZoom;
  return scale < kMaxScale ? scale : kMaxScale;
}

bool TemepleteEditor::setZoom(double zoom) {
  if (!orvane::isEditorZoomLevel(zoom)) return false;
  userZoom = zoom;
  applyScale();
  return true;
}

bool TemepleteEditor::setSystemScale(double scale) {
  if (!(scale > 0 && scale <= kMaxScale)) return false;
  hostSetScale = true;
  systemScale = scale;
  applyScale();
  return true;
}

bool TemepleteEditor::chooseZoom(double zoom) {
  if (!setZoom(zoom)) return false;
  templete->sharedSettings().setEditorZoom(zoom);
  return true;
}

void TemepleteEditor::showZoomMenu(const CPoint& where) {
  if (!frame) return;
  std::vector<std::string> labels;
  int checked = -1;
  for (int i = 0; i < orvane::kEditorZoomLevelCount; ++i) {
    const double level = orvane::kEditorZoomLevels[i];
    labels.push_back(std::to_string((int)(level * 100 + 0.5)) + " %");
    if (level == userZoom) checked = i;
  }
  const int picked = popUpZoomMenu(where, labels, checked);
  if (picked >= 0 && picked < orvane::kEditorZoomLevelCount) chooseZoom(orvane::kEditorZoomLevels[picked]);
}

int TemepleteEditor::popUpZoomMenu(const CPoint& where, const std::vector<std::string>& labels, int checked) {
  IPlatformFrame* platform = frame ? frame->getPlatformFrame() : nullptr;
  return platform ? platform->popUpMenu(where, labels, checked) : -1;
}

void TemepleteEditor::applyScale() {
  if (frame) {
    // An open edit box lives in the old scale's pixels: its text is kept.
    commitTyping();
    if (!frame) return;
    frame->setScaleFactor(getScaleFactor());
  }
  applyWindowSize();
}

void TemepleteEditor::applyWindowSize() {
  const double scale = getScaleFactor();
  // The rectangle holds 16-bit values.
  const long width = std::min(std::lround(kWidth * scale), 32767L - rect.left);
  const long height = std::min(std::lround(unitHeight * scale), 32767L - rect.top);
  if (rect.right - rect.left == width && rect.bottom - rect.top == height) return;
  rect.right = (VstInt16)(rect.left + width);
  rect.bottom = (VstInt16)(rect.top + height);
  // Before the window opens the host reads the size from getRect.
  if (!frame) return;
  orvane::resizeNativeWindow(systemWindow, rect.right, rect.bottom);
  templete->sizeWindow(rect.right, rect.bottom);
  if (!frame) return;  // a host may close the window while it resizes
  frame->invalid();
  frame->setDirty(true);
}

// ---------------------------------------------------------------- factory

AEffEditor* makeTemepleteEditor(Templete* effect) {
  if (!effect) return nullptr;
  // No exception crosses into the host: an editor that cannot be made
  // leaves the effect without one, which hosts understand.
  try {
    return new TemepleteEditor(effect);
  } catch (...) {
    return nullptr;
  }
}
