#include "toolkit/cframe.h"

#include "toolkit/cdrawcontext.h"
#include "toolkit/platformsupport.h"

namespace VSTGUI {

uint32_t VSTGUIEditorInterface::getTicks() const { return getPlatformTicks(); }

CFrame::CFrame(const CRect& inSize, void* systemWindow, VSTGUIEditorInterface* editor)
    : CViewContainer(CRect(0, 0, inSize.getWidth(), inSize.getHeight()), nullptr), editor(editor) {
  parentFrame = this;
  isAttachedFlag = true;
  platformFrame = IPlatformFrame::create(this, size, systemWindow);
}

CFrame::~CFrame() {
  inClose = true;
  removeAll(true);
  if (platformFrame) platformFrame->forget();
}

void CFrame::close() {
  inClose = true;
  setFocusView(nullptr);
  removeAll(true);
  if (platformFrame) {
    platformFrame->forget();
    platformFrame = nullptr;
  }
  forget();
}

void CFrame::idle() {
  if (inClose) return;
  if (isDirty()) invalidateDirtyViews();
  if (platformFrame) platformFrame->update();
}

uint32_t CFrame::getTicks() const { return editor ? editor->getTicks() : getPlatformTicks(); }

int32_t CFrame::getKnobMode() const {
  int32_t mode = editor ? editor->getKnobMode() : -1;
  return mode == -1 ? kCircularMode : mode;
}

bool CFrame::setSize(CCoord width, CCoord height) {
  if (width <= 0 || height <= 0) return false;
  if (width == size.getWidth() && height == size.getHeight()) return false;
  CRect r(0, 0, width, height);
  size = mouseableArea = r;
  if (platformFrame) platformFrame->setSize(r);
  invalid();
  return true;
}

void CFrame::setViewSize(const CRect& rect, bool doInvalid) {
  setSize(rect.getWidth(), rect.getHeight());
  if (doInvalid) invalid();
}

bool CFrame::getSize(CRect& rect) const {
  rect = size;
  return true;
}

bool CFrame::getPosition(CCoord& x, CCoord& y) const {
  CPoint p;
  if (!platformFrame || !platformFrame->getGlobalPosition(p)) return false;
  x = p.x;
  y = p.y;
  return true;
}

void CFrame::setFocusView(CView* view) {
  if (view == focusView) return;
  CView* old = focusView;
  focusView = view;
  if (old) old->looseFocus();
  // The old view may have moved the focus on while losing it.
  if (focusView == view && view) view->takeFocus();
}

void CFrame::onViewRemoved(CView* view) {
  if (view == focusView) {
    focusView = nullptr;
    view->looseFocus();
  }
}

void CFrame::invalidRect(const CRect& rect) {
  if (!platformFrame || inClose) return;
  CRect r(rect);
  r.bound(size);
  if (!r.isEmpty()) platformFrame->invalidRect(r);
}

void CFrame::invalid() {
  setDirty(false);
  for (CView* child : children) child->setDirty(false);
  invalidRect(size);
}

CMouseEventResult CFrame::onMouseDown(CPoint& where, const CButtonState& buttons) {
  // A click outside the view that has the focus ends its editing.
  if (focusView) {
    CRect r(focusView->getViewSize());
    CPoint p(where);
    focusView->frameToLocal(p);
    if (!r.pointInside(p)) setFocusView(nullptr);
  }
  return CViewContainer::onMouseDown(where, buttons);
}

CMouseEventResult CFrame::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  return CViewContainer::onMouseMoved(where, buttons);
}

CMouseEventResult CFrame::onMouseUp(CPoint& where, const CButtonState& buttons) {
  return CViewContainer::onMouseUp(where, buttons);
}

CMouseEventResult CFrame::onMouseExited(CPoint& where, const CButtonState& buttons) {
  return CViewContainer::onMouseExited(where, buttons);
}

int32_t CFrame::onKeyDown(VstKeyCode& keyCode) {
  if (focusView && focusView->onKeyDown(keyCode) == 1) return 1;
  return -1;
}

bool CFrame::platformDrawRect(CDrawContext* context, const CRect& rect) {
  if (!context || inClose) return false;
  CRect r(rect);
  r.bound(size);
  if (r.isEmpty()) return false;
  context->saveGlobalState();
  context->setClipRect(r);
  context->setGlobalAlpha(context->getGlobalAlpha() * alphaValue);
  drawRect(context, r);
  context->restoreGlobalState();
  return true;
}

CMouseEventResult CFrame::platformOnMouseDown(CPoint& where, const CButtonState& buttons) {
  CBaseObjectGuard guard(this);
  return onMouseDown(where, buttons);
}

CMouseEventResult CFrame::platformOnMouseMoved(CPoint& where, const CButtonState& buttons) {
  CBaseObjectGuard guard(this);
  return onMouseMoved(where, buttons);
}

CMouseEventResult CFrame::platformOnMouseUp(CPoint& where, const CButtonState& buttons) {
  CBaseObjectGuard guard(this);
  return onMouseUp(where, buttons);
}

CMouseEventResult CFrame::platformOnMouseExited(CPoint& where, const CButtonState& buttons) {
  CBaseObjectGuard guard(this);
  return onMouseExited(where, buttons);
}

bool CFrame::platformOnMouseWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                                  const CButtonState& buttons) {
  CBaseObjectGuard guard(this);
  return onWheel(where, axis, distance, buttons);
}

int32_t CFrame::platformOnKeyDown(VstKeyCode& keyCode) {
  CBaseObjectGuard guard(this);
  return onKeyDown(keyCode);
}

void CFrame::platformOnActivate(bool state) {
  if (!state && focusView) setFocusView(nullptr);
}

}  // namespace VSTGUI
