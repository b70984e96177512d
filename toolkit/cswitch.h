// A switch of several positions side by side: a press or drag picks the
// position under the pointer; each position shows its own bitmap frame.
#pragma once

#include "toolkit/ccontrol.h"

namespace VSTGUI {

class CHorizontalSwitch : public CControl {
 public:
  CHorizontalSwitch(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                    CCoord heightOfOneImage, int32_t iMaxPositions, CBitmap* background,
                    const CPoint& offset = CPoint(0, 0));

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;

  int32_t getNumSubPixmaps() const { return subPixmaps; }
  CCoord getHeightOfOneImage() const { return heightOfOneImage; }
  int32_t getMaxPositions() const { return maxPositions; }
  // The position (0 … positions − 1) the value stands for.
  int32_t getPosition() const;

  CLASS_METHODS(CHorizontalSwitch, CControl)

 protected:
  CPoint offset;
  int32_t subPixmaps;
  CCoord heightOfOneImage;
  int32_t maxPositions;
};

}  // namespace VSTGUI
