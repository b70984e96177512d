#include "backpanels/BackPanel.h"

#include <cmath>

#include "toolkit/cbitmap.h"

using namespace VSTGUI;

namespace orvane {

float clampedSetting(float value, float fallback) {
  if (std::isnan(value)) value = std::isnan(fallback) ? 0.f : fallback;
  return value < 0.f ? 0.f : value > 1.f ? 1.f : value;
}

// ---------------------------------------------------------------- container

CZELBackPanelContainer::CZELBackPanelContainer(const CRect& size, CControlListener* listener)
    : CViewContainer(size), listener(listener) {
  CRect whole(0, 0, size.getWidth(), size.getHeight());
  closeButton = new CZELOnOffButton(whole, listener, BackPanel::kCloseTag, nullptr);
  closeButton->setValue(1.f);
}

CZELBackPanelContainer::~CZELBackPanelContainer() { closeButton->forget(); }

CMouseEventResult CZELBackPanelContainer::onMouseDown(CPoint& where, const CButtonState& buttons) {
  const CMouseEventResult result = CViewContainer::onMouseDown(where, buttons);
  if (result != kMouseEventNotHandled && result != kMouseEventNotImplemented) return result;
  // Keeps the plate alive while the listener takes it out of the window.
  CBaseObjectGuard guard(this);
  if (listener) listener->valueChanged(closeButton);
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool CZELBackPanelContainer::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                                     const CButtonState& buttons) {
  CViewContainer::onWheel(where, axis, distance, buttons);
  return true;
}

// ---------------------------------------------------------------- panel

BackPanel::BackPanel(EffectSeam& effect, CControlListener* editor) : effect(effect), editor(editor) {}

BackPanel::~BackPanel() {
  if (container) BackPanel::detach();
}

CCoord BackPanel::selectorWidth() {
  return effect.getParameter(kStripsIndex) >= 0.5f ? kSelectorNarrow : kSelectorWide;
}

bool BackPanel::attach(CViewContainer* newParent, CBitmap* background) {
  if (container) BackPanel::detach();
  parent = newParent;
  if (!parent || !background) return false;
  const CCoord w = background->getWidth(), h = background->getHeight();
  container = new CZELBackPanelContainer(CRect(0, 0, w, h), editor);
  container->setBackground(background);
  container->setZLayer(kZLayer);
  visible = false;
  {
    CBitmap* b = new CBitmap(CResourceDescription(kScopeSelectorBitmap));
    const CCoord rowHeight = b->getHeight() / 3;
    selector = new CZELCalibrationControl(
        CRect(0, kBackScopeSelectorTop, selectorWidth(), kBackScopeSelectorTop + rowHeight), editor, kScopeIndex, b);
    selector->setValue(effect.getParameter(kScopeIndex));
    container->addView(selector);
    b->forget();
  }
  {
    CBitmap* b = new CBitmap(CResourceDescription(kScopeStripBitmap));
    const CCoord rowHeight = b->getHeight() / 3;
    strip = new CMovieBitmap(CRect(0, kStripTop, 586, kStripTop + rowHeight), editor, kScopeIndex, 3, rowHeight, b);
    strip->setMouseEnabled(false);
    strip->setValue(effect.getParameter(kScopeIndex));
    container->addView(strip);
    b->forget();
  }
  return true;
}

void BackPanel::detach() {
  CZELBackPanelContainer* old = container;
  container = nullptr;
  selector = nullptr;
  strip = nullptr;
  visible = false;
  if (!old) return;
  if (parent && parent->isChild(old))
    parent->removeView(old, true);
  else
    old->forget();
}

void BackPanel::loadScope() {
  const float scope = effect.getParameter(kScopeIndex);
  if (selector) {
    selector->setViewSize(CRect(0, kBackScopeSelectorTop, selectorWidth(), kBackScopeSelectorTop + 11));
    selector->setMouseableArea(selector->getViewSize());
    selector->setValue(scope);
    selector->invalid();
  }
  if (strip) {
    strip->setValue(scope);
    strip->invalid();
  }
}

void BackPanel::show() {
  if (!container || !parent) return;
  if (!parent->isChild(container)) parent->addView(container);
  visible = true;
  loadScope();
}

void BackPanel::hide() {
  if (container && parent && parent->isChild(container)) parent->removeView(container, false);
  visible = false;
}

void BackPanel::settingChanged(int32_t index, float value) {
  if (!visible) return;
  if (index == kScopeIndex) {
    const float v = clampedSetting(value, effect.getParameter(kScopeIndex));
    if (strip) {
      strip->setValue(v);
      strip->invalid();
    }
    if (selector) {
      selector->setValue(v);
      selector->invalid();
    }
  } else if (index == kStripsIndex) {
    // The host showed or hid the strips under a shown plate: the selector
    // follows at once rather than at the next flip.
    loadScope();
  }
}

void BackPanel::controlChanged(CControl* control) {
  if (!visible || !control || control->getTag() != kScopeIndex) return;
  // The scope is a host parameter: the editor has already sent it to the
  // effect (and to the host's automation) before the panels hear of the
  // control. Sending it again would switch every engine's scope twice and
  // reload each store for nothing.
  control->setDirty();
}

}  // namespace orvane
