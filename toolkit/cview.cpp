#include "toolkit/cview.h"

#include <cmath>

#include "toolkit/cdrawcontext.h"
#include "toolkit/cframe.h"
#include "toolkit/cviewcontainer.h"

namespace VSTGUI {

CView::CView(const CRect& size) : size(size), mouseableArea(size) {}

CView::CView(const CView& v)
    : CBaseObject(v),
      size(v.size),
      mouseableArea(v.mouseableArea),
      background(v.background),
      alphaValue(v.alphaValue),
      zLayer(v.zLayer),
      mouseEnabled(v.mouseEnabled),
      transparencyEnabled(v.transparencyEnabled),
      wantsFocus(v.wantsFocus),
      visible(v.visible) {
  if (background) background->remember();
}

CView::~CView() {
  if (background) background->forget();
}

void CView::draw(CDrawContext* context) {
  if (background) background->draw(context, size);
  setDirty(false);
}

void CView::drawRect(CDrawContext* context, const CRect& /*updateRect*/) { draw(context); }

CMouseEventResult CView::onMouseDown(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseUp(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseMoved(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseEntered(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseExited(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
bool CView::onWheel(const CPoint&, const float&, const CButtonState&) { return false; }
bool CView::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                    const CButtonState& buttons) {
  return axis == kMouseWheelAxisY ? onWheel(where, distance, buttons) : false;
}
int32_t CView::onKeyDown(VstKeyCode&) { return -1; }
int32_t CView::onKeyUp(VstKeyCode&) { return -1; }

void CView::invalid() {
  setDirty(false);
  invalidRect(size);
}

void CView::invalidRect(const CRect& rect) {
  if (!isAttachedFlag || !visible || !parentView) return;
  parentView->invalidRect(rect);
}

void CView::setVisible(bool state) {
  if (visible == state) return;
  if (state) {
    visible = true;
    invalid();
  } else {
    invalid();
    visible = false;
  }
}

void CView::setViewSize(const CRect& rect, bool doInvalid) {
  if (size == rect) return;
  if (doInvalid) invalid();
  // The mouse-sensitive area moves with the view; one that was the whole
  // view stays the whole view.
  if (mouseableArea == size)
    mouseableArea = rect;
  else
    mouseableArea.offset(rect.left - size.left, rect.top - size.top);
  size = rect;
  if (doInvalid) invalid();
}

bool CView::hitTest(const CPoint& where, const CButtonState&) { return mouseableArea.pointInside(where); }

void CView::setBackground(CBitmap* bitmap) {
  if (bitmap == background) return;
  if (bitmap) bitmap->remember();
  if (background) background->forget();
  background = bitmap;
  setDirty(true);
}

void CView::setAlphaValue(float alpha) {
  alpha = std::isnan(alpha) ? 1.f : alpha < 0.f ? 0.f : alpha > 1.f ? 1.f : alpha;
  if (alpha == alphaValue) return;
  alphaValue = alpha;
  setDirty(true);
}

void CView::setZLayer(int32_t layer) {
  if (layer == zLayer) return;
  zLayer = layer;
  if (container) container->restack(this);
}

bool CView::attached(CView* parent) {
  if (isAttachedFlag) return false;
  parentView = parent;
  parentFrame = parent ? parent->getFrame() : nullptr;
  isAttachedFlag = true;
  return true;
}

bool CView::removed(CView* /*parent*/) {
  if (!isAttachedFlag) return false;
  if (parentFrame) parentFrame->onViewRemoved(this);
  parentView = nullptr;
  parentFrame = nullptr;
  isAttachedFlag = false;
  return true;
}

// Every container but the frame (the root, which has no parent) moves its
// children by its own origin.
CPoint& CView::localToFrame(CPoint& point) const {
  for (CView* c = parentView; c && c->parentView; c = c->parentView) point.offset(c->size.left, c->size.top);
  return point;
}

CPoint& CView::frameToLocal(CPoint& point) const {
  for (CView* c = parentView; c && c->parentView; c = c->parentView) point.offset(-c->size.left, -c->size.top);
  return point;
}

}  // namespace VSTGUI
