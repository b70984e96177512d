#include "toolkit/ctextlabel.h"

namespace VSTGUI {

CTextLabel::CTextLabel(const CRect& size, UTF8StringPtr txt, CBitmap* background, const int32_t style)
    : CParamDisplay(size, background, style), text(txt ? txt : "") {}

void CTextLabel::setText(UTF8StringPtr txt) {
  std::string next = txt ? txt : "";
  if (next == text) return;
  text = next;
  setDirty(true);
}

void CTextLabel::draw(CDrawContext* context) {
  drawBack(context);
  drawText(context, text.c_str());
  setDirty(false);
}

}  // namespace VSTGUI
