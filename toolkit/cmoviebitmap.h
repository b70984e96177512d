// Shows one frame of a vertical film strip chosen by the value; takes no
// mouse input of its own.
#pragma once

#include "toolkit/ccontrol.h"

namespace VSTGUI {

class CMovieBitmap : public CControl {
 public:
  CMovieBitmap(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
               CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint(0, 0));
  // As many frames as the bitmap holds of the view's height.
  CMovieBitmap(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
               const CPoint& offset = CPoint(0, 0));

  void draw(CDrawContext* context) override;

  int32_t getNumSubPixmaps() const { return subPixmaps; }
  CCoord getHeightOfOneImage() const { return heightOfOneImage; }

  CLASS_METHODS(CMovieBitmap, CControl)

 protected:
  CPoint offset;
  int32_t subPixmaps;
  CCoord heightOfOneImage;
};

}  // namespace VSTGUI
