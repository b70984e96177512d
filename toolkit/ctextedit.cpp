#include "toolkit/ctextedit.h"

#include "toolkit/cframe.h"

namespace VSTGUI {

CTextEdit::CTextEdit(const CRect& size, CControlListener* listener, int32_t tag, UTF8StringPtr txt,
                     CBitmap* background, const int32_t style)
    : CParamDisplay(size, background, style), text(txt ? txt : "") {
  this->listener = listener;
  this->tag = tag;
  setMouseEnabled(true);
  // The press itself decides whether to take the focus (see the double-click
  // style), so the container must not hand it over first.
  setWantsFocus(false);
}

CTextEdit::~CTextEdit() {
  if (platformControl) {
    platformControl->forget();
    platformControl = nullptr;
  }
}

void CTextEdit::setStringToValueProc(CTextEditStringToValueProc proc, void* userData) {
  textToValue = proc;
  textToValueUserData = userData;
}

void CTextEdit::setText(UTF8StringPtr txt) {
  std::string next = txt ? txt : "";
  if (next == text) return;
  text = next;
  if (platformControl) platformControl->setText(text.c_str());
  setDirty(true);
}

void CTextEdit::draw(CDrawContext* context) {
  // While the box is open it shows the text itself.
  drawBack(context);
  if (!platformControl) drawText(context, text.c_str());
  setDirty(false);
}

CMouseEventResult CTextEdit::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  CFrame* frame = getFrame();
  if (frame && frame->getFocusView() != this) {
    if ((style & kDoubleClickStyle) && !buttons.isDoubleClick()) return kMouseEventNotHandled;
    frame->setFocusView(this);
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  return kMouseEventHandled;
}

int32_t CTextEdit::onKeyDown(VstKeyCode& keyCode) {
  if (!platformControl) return -1;
  if (keyCode.virt == VKEY_ESCAPE) {
    // Escape throws the typing away.
    bWasReturnPressed = false;
    platformControl->setText(text.c_str());
    if (CFrame* f = getFrame()) f->setFocusView(nullptr);
    return 1;
  }
  if (keyCode.virt == VKEY_RETURN || keyCode.virt == VKEY_ENTER) {
    bWasReturnPressed = true;
    if (CFrame* f = getFrame()) f->setFocusView(nullptr);
    return 1;
  }
  return -1;
}

void CTextEdit::setViewSize(const CRect& newSize, bool doInvalid) {
  CParamDisplay::setViewSize(newSize, doInvalid);
  if (platformControl) platformControl->updateSize();
}

void CTextEdit::takeFocus() {
  if (platformControl) return;
  bWasReturnPressed = false;
  CFrame* frame = getFrame();
  IPlatformFrame* pf = frame ? frame->getPlatformFrame() : nullptr;
  if (!pf) return;
  beginEdit();
  platformControl = pf->createPlatformTextEdit(this);
  if (!platformControl) endEdit();
  invalid();
}

void CTextEdit::looseFocus() {
  if (!platformControl) return;
  IPlatformTextEdit* box = platformControl;
  platformControl = nullptr;
  CBaseObjectGuard guard(this);
  updateText(box);
  box->forget();
  endEdit();
  invalid();
}

void CTextEdit::updateText(IPlatformTextEdit* box) {
  char newText[256] = {0};
  if (!box->getText(newText, sizeof newText)) return;
  if (text == newText) return;
  setText(newText);
  if (textToValue) {
    float v = value;
    if (textToValue(newText, v, textToValueUserData)) setValue(v);
  }
  valueChanged();
}

CRect CTextEdit::platformGetSize() const {
  CRect r(size);
  CPoint p(0, 0);
  localToFrame(p);
  r.offset(p);
  return r;
}

CRect CTextEdit::platformGetVisibleSize() const {
  CRect r = platformGetSize();
  if (CFrame* f = getFrame()) r.bound(f->getViewSize());
  return r;
}

void CTextEdit::platformLooseFocus(bool returnPressed) {
  CBaseObjectGuard guard(this);
  bWasReturnPressed = returnPressed;
  CFrame* f = getFrame();
  if (f && f->getFocusView() == this)
    f->setFocusView(nullptr);
  else
    looseFocus();
}

bool CTextEdit::platformOnKeyDown(const VstKeyCode& key) {
  VstKeyCode k = key;
  return onKeyDown(k) == 1;
}

}  // namespace VSTGUI
