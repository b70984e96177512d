#include "controls/CZELTextEdit.h"

using namespace VSTGUI;

CZELTextEdit::CZELTextEdit(const CRect& size, CControlListener* listener, int32_t tag, UTF8StringPtr txt,
                           CBitmap* background, const int32_t style, bool useEmbeddedFontInEdit)
    : CTextEdit(size, listener, tag, txt, background, style), embeddedFontInEdit(useEmbeddedFontInEdit) {}

// The box lives in the window's pixels: at a zoom it takes the frame's
// scale for its rectangle and font, so it covers the control as drawn.
IPlatformTextEdit* CZELTextEdit::openEditBox() {
  CFrame* f = getFrame();
  return createZELSystemBox(f, this, f ? f->getScaleFactor() : 1.0);
}

void CZELTextEdit::takeFocus() {
  if (platformControl) return;
  bWasReturnPressed = false;
  // The box draws the control behind its text when it opens, so the
  // control must already be in its editing look.
  editing = true;
  beginEdit();
  platformControl = openEditBox();
  if (!platformControl) {
    editing = false;
    endEdit();
  }
  invalid();
}

void CZELTextEdit::looseFocus() {
  editing = false;
  CTextEdit::looseFocus();
  invalid();
}

void CZELTextEdit::draw(CDrawContext* context) {
  if (background) drawBack(context);
  if (!editing) drawText(context, text.c_str());
  setDirty(false);
}

void CZELTextEdit::setValue(float val) {
  CTextEdit::setValue(val);
  char buffer[256] = {0};
  if (valueToString && valueToString(value, buffer, valueToStringUserData)) {
    buffer[sizeof buffer - 1] = 0;
    setText(buffer);
  }
}

void CMyTextEdit::setViewSize(const CRect& newSize, bool doInvalid) {
  CZELTextEdit::setViewSize(newSize, doInvalid);
  setMouseableArea(newSize);
}

CMouseEventResult CMyTextEditAH::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!active) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  return CMyTextEdit::onMouseDown(where, buttons);
}

void CMyTextEditAH::takeFocus() {
  if (!active) return;
  CMyTextEdit::takeFocus();
}

CMouseEventResult CMyTextEditAH::onMouseEntered(CPoint&, const CButtonState&) {
  if (active)
    clearHint();
  else
    showHint(tag, 0.f);
  return kMouseEventHandled;
}

CMouseEventResult CMyTextEditAH::onMouseExited(CPoint&, const CButtonState&) {
  clearHint();
  return kMouseEventHandled;
}
