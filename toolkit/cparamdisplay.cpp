#include "toolkit/cparamdisplay.h"

#include <cstdio>

namespace VSTGUI {

CParamDisplay::CParamDisplay(const CRect& size, CBitmap* background, const int32_t style)
    : CControl(size, nullptr, -1, background), style(style), fontID(kNormalFont) {
  fontID->remember();
  setTransparency(false);
  setMouseEnabled(false);
}

CParamDisplay::CParamDisplay(const CParamDisplay& o)
    : CControl(o),
      valueToString(o.valueToString),
      valueToStringUserData(o.valueToStringUserData),
      horiTxtAlign(o.horiTxtAlign),
      style(o.style),
      fontID(o.fontID),
      fontColor(o.fontColor),
      backColor(o.backColor),
      frameColor(o.frameColor),
      shadowColor(o.shadowColor),
      textInset(o.textInset),
      backOffset(o.backOffset),
      textTransparencyEnabled(o.textTransparencyEnabled),
      antialias(o.antialias) {
  if (fontID) fontID->remember();
}

CParamDisplay::~CParamDisplay() {
  if (fontID) fontID->forget();
}

void CParamDisplay::setValueToStringProc(CParamDisplayValueToStringProc proc, void* userData) {
  valueToString = proc;
  valueToStringUserData = userData;
}

void CParamDisplay::draw(CDrawContext* context) {
  if (style & kNoDrawStyle) return;
  char text[256] = {0};
  if (!valueToString || !valueToString(value, text, valueToStringUserData))
    std::snprintf(text, sizeof text, "%2.3f", value);
  drawBack(context);
  drawText(context, text);
  setDirty(false);
}

void CParamDisplay::drawBack(CDrawContext* context, CBitmap* newBack) {
  CBitmap* back = newBack ? newBack : background;
  if (back) {
    back->draw(context, size, backOffset);
    return;
  }
  // A transparent display draws no background and no frame.
  if (transparencyEnabled) return;
  context->setDrawMode(kAliasing);
  context->setLineWidth(1);
  context->setFillColor(backColor);
  context->setFrameColor(frameColor);
  context->drawRect(size, (style & (k3DIn | k3DOut | kNoFrame)) ? kDrawFilled : kDrawFilledAndStroked);
  if (style & (k3DIn | k3DOut)) {
    // A bevel: light top-left and dark bottom-right edges (swapped for 3D in).
    CColor light(255, 255, 255, 160), dark(0, 0, 0, 160);
    CColor tl = (style & k3DIn) ? dark : light, br = (style & k3DIn) ? light : dark;
    CRect r(size);
    context->setFrameColor(tl);
    context->drawLine(CPoint(r.left, r.top + 0.5), CPoint(r.right, r.top + 0.5));
    context->drawLine(CPoint(r.left + 0.5, r.top), CPoint(r.left + 0.5, r.bottom));
    context->setFrameColor(br);
    context->drawLine(CPoint(r.left, r.bottom - 0.5), CPoint(r.right, r.bottom - 0.5));
    context->drawLine(CPoint(r.right - 0.5, r.top), CPoint(r.right - 0.5, r.bottom));
  }
}

void CParamDisplay::drawText(CDrawContext* context, UTF8StringPtr string) {
  if ((style & kNoTextStyle) || !string || !*string) return;
  CRect textRect(size);
  textRect.inset(textInset.x, textInset.y);
  context->setFont(fontID);
  if (style & kShadowText) {
    CRect shadowRect(textRect);
    shadowRect.offset(1, 1);
    context->setFontColor(shadowColor);
    context->drawString(string, shadowRect, horiTxtAlign, antialias);
  }
  context->setFontColor(fontColor);
  context->drawString(string, textRect, horiTxtAlign, antialias);
}

void CParamDisplay::setFont(CFontRef font) {
  if (!font || font == fontID) return;
  font->remember();
  if (fontID) fontID->forget();
  fontID = font;
  setDirty(true);
}

void CParamDisplay::setFontColor(const CColor& c) {
  fontColor = c;
  setDirty(true);
}
void CParamDisplay::setBackColor(const CColor& c) {
  backColor = c;
  setDirty(true);
}
void CParamDisplay::setFrameColor(const CColor& c) {
  frameColor = c;
  setDirty(true);
}
void CParamDisplay::setShadowColor(const CColor& c) {
  shadowColor = c;
  setDirty(true);
}
void CParamDisplay::setHoriAlign(CHoriTxtAlign align) {
  horiTxtAlign = align;
  setDirty(true);
}
void CParamDisplay::setBackOffset(const CPoint& offset) {
  if (offset == backOffset) return;
  backOffset = offset;
  setDirty(true);
}
void CParamDisplay::setStyle(int32_t val) {
  style = val;
  setDirty(true);
}

}  // namespace VSTGUI
