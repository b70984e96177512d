#include "toolkit/cviewcontainer.h"

#include <algorithm>

#include "toolkit/ccontrol.h"
#include "toolkit/cdrawcontext.h"
#include "toolkit/cframe.h"

namespace VSTGUI {

CViewContainer::CViewContainer(const CRect& size, CFrame* frame, CBitmap* bg) : CView(size) {
  parentFrame = frame;
  if (bg) setBackground(bg);
  setDirty(false);
}

// A copy holds copies of the children, so each has exactly one parent.
CViewContainer::CViewContainer(const CViewContainer& other)
    : CView(other), backgroundColor(other.backgroundColor), backgroundOffset(other.backgroundOffset) {
  for (CView* child : other.children)
    if (CView* copy = child->newCopy()) addView(copy);
}

CViewContainer::~CViewContainer() { removeAll(true); }

bool CViewContainer::addView(CView* view) { return addView(view, nullptr); }

bool CViewContainer::addView(CView* view, CView* before) {
  if (!view || view == this || view->container) return false;
  children.insert(insertionPoint(view->zLayer, before), view);
  view->container = this;
  if (isAttachedFlag) {
    view->attached(this);
    view->invalid();
  }
  return true;
}

std::vector<CView*>::iterator CViewContainer::insertionPoint(int32_t layer, CView* before) {
  // Children stay sorted by layer, each layer in its own order.
  auto top = std::find_if(children.begin(), children.end(), [&](CView* c) { return c->zLayer > layer; });
  if (before && before->container == this && before->zLayer == layer) {
    auto it = std::find(children.begin(), top, before);
    if (it != top) return it;
  }
  return top;
}

void CViewContainer::restack(CView* view) {
  auto it = std::find(children.begin(), children.end(), view);
  if (it == children.end()) return;
  children.erase(it);
  children.insert(insertionPoint(view->zLayer, nullptr), view);
  if (isAttachedFlag && view->isVisible()) view->invalid();
}

bool CViewContainer::removeView(CView* view, const bool& withForget) {
  auto it = std::find(children.begin(), children.end(), view);
  if (it == children.end()) return false;
  if (isAttachedFlag && view->isVisible()) view->invalid();
  children.erase(it);
  view->container = nullptr;
  clearMouseTracking(view);
  if (view->isAttached()) view->removed(this);
  if (withForget) view->forget();
  return true;
}

bool CViewContainer::removeAll(const bool& withForget) {
  while (!children.empty()) removeView(children.back(), withForget);
  return true;
}

bool CViewContainer::isChild(CView* view) const {
  return std::find(children.begin(), children.end(), view) != children.end();
}

CView* CViewContainer::getView(int32_t index) const {
  return index >= 0 && index < getNbViews() ? children[index] : nullptr;
}

CView* CViewContainer::getViewAt(const CPoint& where, bool deep) const {
  CPoint local(where);
  local.offset(-size.left, -size.top);
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    CView* v = *it;
    if (!v->isVisible() || !v->getViewSize().pointInside(local)) continue;
    if (deep) {
      if (auto* c = dynamic_cast<CViewContainer*>(v)) {
        if (CView* inner = c->getViewAt(local, true)) return inner;
      }
    }
    return v;
  }
  return nullptr;
}

void CViewContainer::setBackgroundColor(const CColor& color) {
  backgroundColor = color;
  setDirty(true);
}

void CViewContainer::clearMouseTracking(CView* view) {
  if (mouseDownView == view) mouseDownView = nullptr;
  if (mouseOverView == view) {
    // A hover frame or hint must not outlive the view under the mouse; a
    // container passes the exit on to its own hovered child. Where the
    // mouse is now is unknown here: the point lies outside every view.
    mouseOverView = nullptr;
    CBaseObjectGuard guard(view);
    CPoint nowhere(-1, -1);
    view->onMouseExited(nowhere, 0);
  }
}

void CViewContainer::draw(CDrawContext* context) {
  CRect all(size);
  all.offset(-size.left, -size.top);
  drawRect(context, all);
}

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& rect) {
  // rect is in the children's coordinates, which the context already uses.
  if (background) {
    CRect dest(rect);
    CPoint offset(rect.left + backgroundOffset.x, rect.top + backgroundOffset.y);
    background->draw(context, dest, offset, 1.f);
  } else if (backgroundColor.alpha) {
    context->setFillColor(backgroundColor);
    context->drawRect(rect, kDrawFilled);
  }
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect) {
  // updateRect comes in the container's own coordinates (its parent's); the
  // children are drawn with the context moved to the container's origin.
  CPoint oldOffset = context->getOffset();
  CRect oldClip;
  context->getClipRect(oldClip);

  CRect area(updateRect);
  area.bound(size);
  area.offset(-size.left, -size.top);
  context->setOffset(CPoint(oldOffset.x + size.left, oldOffset.y + size.top));
  CRect clip(oldClip);
  clip.offset(-size.left, -size.top);
  clip.bound(area);
  if (!clip.isEmpty()) {
    context->setClipRect(clip);
    drawBackgroundRect(context, clip);
    for (CView* child : children) {
      if (!child->isVisible() || child->getAlphaValue() <= 0.f || !child->checkUpdate(clip)) continue;
      CRect childClip(child->getViewSize());
      childClip.bound(clip);
      context->saveGlobalState();
      context->setClipRect(childClip);
      // A child's opacity multiplies that of the containers around it.
      context->setGlobalAlpha(context->getGlobalAlpha() * child->getAlphaValue());
      child->drawRect(context, childClip);
      context->restoreGlobalState();
    }
  }
  context->setOffset(oldOffset);
  context->setClipRect(oldClip);
  setDirty(false);
}

bool CViewContainer::isDirty() const {
  if (dirty) return true;
  for (CView* child : children)
    if (child->isVisible() && child->isDirty()) return true;
  return false;
}

void CViewContainer::invalid() {
  setDirty(false);
  CRect r(size);
  r.offset(-size.left, -size.top);
  invalidRect(r);
}

void CViewContainer::invalidRect(const CRect& rect) {
  if (!isAttachedFlag || !visible || !parentView) return;
  CRect r(rect);
  r.offset(size.left, size.top);
  r.bound(size);
  if (r.isEmpty()) return;
  parentView->invalidRect(r);
}

void CViewContainer::invalidateDirtyViews() {
  if (!visible) return;
  if (dirty) {
    invalid();
    return;
  }
  for (CView* child : std::vector<CView*>(children)) {
    if (!child->isVisible()) continue;
    if (auto* c = dynamic_cast<CViewContainer*>(child))
      c->invalidateDirtyViews();
    else if (child->isDirty())
      child->invalid();
  }
}

bool CViewContainer::attached(CView* parent) {
  if (!CView::attached(parent)) return false;
  for (CView* child : children) child->attached(this);
  return true;
}

bool CViewContainer::removed(CView* parent) {
  if (!isAttachedFlag) return false;
  for (CView* child : children) child->removed(this);
  mouseDownView = mouseOverView = nullptr;
  return CView::removed(parent);
}

bool CViewContainer::hitTest(const CPoint& where, const CButtonState& buttons) {
  return CView::hitTest(where, buttons);
}

CMouseEventResult CViewContainer::onMouseDown(CPoint& where, const CButtonState& buttons) {
  CPoint local(where);
  local.offset(-size.left, -size.top);
  mouseDownView = nullptr;
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    CView* v = *it;
    if (!v->isVisible() || !v->getMouseEnabled() || !v->hitTest(local, buttons)) continue;
    CBaseObjectGuard guard(v);
    // A click with a modifier or the right button is first offered to the
    // control's listener.
    if (auto* control = dynamic_cast<CControl*>(v)) {
      if (control->getListener() && (buttons & (kAlt | kShift | kControl | kApple | kRButton))) {
        if (control->getListener()->controlModifierClicked(control, buttons) != 0) return kMouseEventHandled;
      }
    }
    if (v->getWantsFocus() && parentFrame) parentFrame->setFocusView(v);
    CPoint p(local);
    CMouseEventResult result = v->onMouseDown(p, buttons);
    if (result != kMouseEventNotHandled && result != kMouseEventNotImplemented) {
      // Only a view that is still ours and wants the rest of the gesture
      // gets the moves and the release.
      if (result == kMouseEventHandled && isChild(v)) mouseDownView = v;
      return result;
    }
    if (!v->isTransparent()) return result;
  }
  return kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseUp(CPoint& where, const CButtonState& buttons) {
  if (!mouseDownView) return kMouseEventNotHandled;
  CView* v = mouseDownView;
  CBaseObjectGuard guard(v);
  mouseDownView = nullptr;
  CPoint p(where);
  p.offset(-size.left, -size.top);
  v->onMouseUp(p, buttons);
  // The release may land elsewhere: bring entered/exited up to date.
  updateMouseOver(where, buttons);
  return kMouseEventHandled;
}

CMouseEventResult CViewContainer::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (mouseDownView) {
    CView* v = mouseDownView;
    CBaseObjectGuard guard(v);
    CPoint p(where);
    p.offset(-size.left, -size.top);
    CMouseEventResult result = v->onMouseMoved(p, buttons);
    if (result != kMouseEventHandled && result != kMouseEventNotImplemented) mouseDownView = nullptr;
    return kMouseEventHandled;
  }
  updateMouseOver(where, buttons);
  if (mouseOverView) {
    CView* v = mouseOverView;
    CBaseObjectGuard guard(v);
    CPoint p(where);
    p.offset(-size.left, -size.top);
    return v->onMouseMoved(p, buttons);
  }
  return kMouseEventNotHandled;
}

// Tracks which mouse-enabled child is under the pointer and reports the
// change as an exit from the old one followed by an entry into the new one.
void CViewContainer::updateMouseOver(const CPoint& where, const CButtonState& buttons) {
  CPoint local(where);
  local.offset(-size.left, -size.top);
  CView* now = nullptr;
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    CView* v = *it;
    if (v->isVisible() && v->getMouseEnabled() && v->hitTest(local, buttons)) {
      now = v;
      break;
    }
  }
  if (now == mouseOverView) return;
  if (CView* old = mouseOverView) {
    CBaseObjectGuard guard(old);
    mouseOverView = nullptr;
    CPoint p(local);
    old->onMouseExited(p, buttons);
  }
  if (now && isChild(now)) {
    mouseOverView = now;
    CBaseObjectGuard guard(now);
    CPoint p(local);
    now->onMouseEntered(p, buttons);
  }
}

CMouseEventResult CViewContainer::onMouseEntered(CPoint& where, const CButtonState& buttons) {
  updateMouseOver(where, buttons);
  return kMouseEventHandled;
}

CMouseEventResult CViewContainer::onMouseExited(CPoint& where, const CButtonState& buttons) {
  if (CView* old = mouseOverView) {
    CBaseObjectGuard guard(old);
    mouseOverView = nullptr;
    CPoint p(where);
    p.offset(-size.left, -size.top);
    old->onMouseExited(p, buttons);
  }
  return kMouseEventHandled;
}

bool CViewContainer::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                             const CButtonState& buttons) {
  CPoint local(where);
  local.offset(-size.left, -size.top);
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    CView* v = *it;
    if (!v->isVisible() || !v->getMouseEnabled() || !v->hitTest(local, buttons)) continue;
    CBaseObjectGuard guard(v);
    if (v->onWheel(local, axis, distance, buttons)) return true;
    if (!v->isTransparent()) return false;
  }
  return false;
}

bool CViewContainer::onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) {
  return onWheel(where, kMouseWheelAxisY, distance, buttons);
}

int32_t CViewContainer::onKeyDown(VstKeyCode& keyCode) {
  for (auto it = children.rbegin(); it != children.rend(); ++it)
    if ((*it)->onKeyDown(keyCode) == 1) return 1;
  return -1;
}

}  // namespace VSTGUI
