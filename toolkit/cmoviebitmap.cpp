#include "toolkit/cmoviebitmap.h"

#include <algorithm>

#include "toolkit/cdrawcontext.h"

namespace VSTGUI {

CMovieBitmap::CMovieBitmap(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                           CCoord heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background),
      offset(offset),
      subPixmaps(subPixmaps),
      heightOfOneImage(heightOfOneImage) {}

CMovieBitmap::CMovieBitmap(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                           const CPoint& offset)
    : CControl(size, listener, tag, background), offset(offset), subPixmaps(1), heightOfOneImage(size.getHeight()) {
  if (background && heightOfOneImage > 0)
    subPixmaps = std::max<int32_t>(1, static_cast<int32_t>(background->getHeight() / heightOfOneImage));
}

void CMovieBitmap::draw(CDrawContext* context) {
  bounceValue();
  if (background && heightOfOneImage > 0 && subPixmaps > 0) {
    int32_t frame = static_cast<int32_t>(getValueNormalized() * (subPixmaps - 1) + 0.5f);
    frame = std::clamp(frame, 0, subPixmaps - 1);
    background->draw(context, size, CPoint(offset.x, offset.y + heightOfOneImage * frame));
  }
  setDirty(false);
}

}  // namespace VSTGUI
