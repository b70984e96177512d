#include "toolkit/cdrawcontext.h"

#include <algorithm>

namespace VSTGUI {

CDrawContext::CDrawContext(const CRect& surfaceRect) : surfaceRect(surfaceRect) {
  state.clipRect = surfaceRect;
  state.font = kSystemFont;
  state.font->remember();
}

CDrawContext::~CDrawContext() {
  if (state.font) state.font->forget();
  for (auto& s : stateStack)
    if (s.font) s.font->forget();
}

void CDrawContext::init() { applyClip(); }

void CDrawContext::setFont(const CFontRef font, const CCoord& size, const int32_t& style) {
  if (!font) return;
  CFontRef next = font;
  if (size > 0 || style >= 0) {
    next = new CFontDesc(*font);
    if (size > 0) next->setSize(size);
    if (style >= 0) next->setStyle(style);
  } else {
    next->remember();
  }
  if (state.font) state.font->forget();
  state.font = next;
}

void CDrawContext::setGlobalAlpha(float alpha) { state.globalAlpha = std::clamp(alpha, 0.f, 1.f); }

void CDrawContext::setClipRect(const CRect& clip) {
  CRect c(clip);
  c.offset(state.offset);
  c.bound(surfaceRect);
  state.clipRect = c;
  applyClip();
}

CRect& CDrawContext::getClipRect(CRect& clip) const {
  clip = state.clipRect;
  clip.offset(-state.offset.x, -state.offset.y);
  return clip;
}

void CDrawContext::resetClipRect() {
  state.clipRect = surfaceRect;
  applyClip();
}

void CDrawContext::saveGlobalState() {
  stateStack.push_back(state);
  if (state.font) state.font->remember();
}

void CDrawContext::restoreGlobalState() {
  if (stateStack.empty()) return;
  if (state.font) state.font->forget();
  state = stateStack.back();
  stateStack.pop_back();
  applyClip();
}

void CDrawContext::lineTo(const CPoint& point) {
  drawLine(penPosition, point);
  penPosition = point;
}

void CDrawContext::drawString(UTF8StringPtr string, const CPoint& point, bool antialias) {
  if (!string || !*string || !state.font) return;
  IPlatformFont* pf = state.font->getPlatformFont();
  if (IFontPainter* painter = pf ? pf->getPainter() : nullptr) painter->drawString(this, string, point, antialias);
}

CCoord CDrawContext::getStringWidth(UTF8StringPtr string) {
  if (!string || !*string || !state.font) return 0;
  IPlatformFont* pf = state.font->getPlatformFont();
  IFontPainter* painter = pf ? pf->getPainter() : nullptr;
  return painter ? painter->getStringWidth(this, string, true) : 0;
}

void CDrawContext::drawString(UTF8StringPtr string, const CRect& rect, const CHoriTxtAlign hAlign, bool antialias) {
  if (!string || !*string || !state.font) return;
  // The baseline sits so that capital letters are centred in the rectangle.
  IPlatformFont* pf = state.font->getPlatformFont();
  double capHeight = pf ? pf->getCapHeight() : -1;
  CPoint p(rect.left, rect.bottom);
  if (capHeight > 0.)
    p.y -= rect.getHeight() / 2 - capHeight / 2;
  else
    p.y -= (rect.getHeight() / 2 - state.font->getSize() / 2) + 1;
  if (hAlign != kLeftText) {
    CCoord width = getStringWidth(string);
    p.x = hAlign == kRightText ? rect.right - width : rect.left + rect.getWidth() / 2 - width / 2;
  }
  CRect oldClip;
  getClipRect(oldClip);
  CRect clip(rect);
  clip.bound(oldClip);
  setClipRect(clip);
  drawString(string, p, antialias);
  setClipRect(oldClip);
}

COffscreenContext::COffscreenContext(const CRect& surfaceRect, CBitmap* bitmap)
    : CDrawContext(surfaceRect), bitmap(bitmap) {
  if (bitmap) bitmap->remember();
}

COffscreenContext::~COffscreenContext() {
  if (bitmap) bitmap->forget();
}

}  // namespace VSTGUI
