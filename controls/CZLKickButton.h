// The kick buttons: three frames stacked (normal, under the mouse,
// pressed). The listener hears the press only, with the value 1.
#pragma once

#include "controls/CZELHintControl.h"
#include "toolkit/vstgui.h"

class CZLKickButton : public VSTGUI::CKickButton {
 public:
  // Frames as high as the button.
  CZLKickButton(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag, VSTGUI::CBitmap* background,
                const VSTGUI::CPoint& offset = VSTGUI::CPoint(0, 0));
  CZLKickButton(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag,
                VSTGUI::CCoord heightOfOneImage, VSTGUI::CBitmap* background,
                const VSTGUI::CPoint& offset = VSTGUI::CPoint(0, 0));

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseEntered(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseExited(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;

  bool isHovered() const { return hover; }
  bool isPressed() const { return pressed; }

  CLASS_METHODS(CZLKickButton, VSTGUI::CKickButton)

 protected:
  int32_t frameHeight;
  VSTGUI::CPoint frameOffset;
  bool hover = false;
  bool pressed = false;
};

// With its hint shown while the mouse is over it (the manual button).
class CZLKickButtonH : public CZLKickButton, public CZELHintControl {
 public:
  using CZLKickButton::CZLKickButton;

  VSTGUI::CMouseEventResult onMouseEntered(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseExited(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;

  CLASS_METHODS(CZLKickButtonH, CZLKickButton)
};
