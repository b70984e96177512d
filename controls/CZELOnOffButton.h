// The window's on/off buttons. All of them read a stored value by rounding
// (a host may send 0.9999 for "on"), draw the off frame above the on frame
// in one bitmap, and toggle on a left click.
#pragma once

#include "controls/CZELHintControl.h"
#include "toolkit/vstgui.h"

// The plain two-frame button. The wheel toggles it too; with wheel mode on
// it instead turns on upwards and off downwards, and without wheel sign the
// wheel's direction is reversed first.
class CZELOnOffButton : public VSTGUI::CControl {
 public:
  CZELOnOffButton(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag,
                  VSTGUI::CBitmap* background);

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  bool onWheel(const VSTGUI::CPoint& where, const float& distance, const VSTGUI::CButtonState& buttons) override;

  void setWheelMode(bool on) { wheelMode = on; }
  bool getWheelMode() const { return wheelMode; }
  void setWheelSign(bool on) { wheelSign = on; }
  bool getWheelSign() const { return wheelSign; }

  CLASS_METHODS(CZELOnOffButton, VSTGUI::CControl)

 protected:
  bool wheelMode = false;
  bool wheelSign = false;
};

// With a hint that follows the button's state: shown on entry and again
// after every click or wheel step, so "Shows Strips" turns into "Hides
// Strips" at once.
class CZELOnOffButtonH : public CZELOnOffButton, public CZELHintControl {
 public:
  using CZELOnOffButton::CZELOnOffButton;

  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseEntered(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseExited(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  bool onWheel(const VSTGUI::CPoint& where, const float& distance, const VSTGUI::CButtonState& buttons) override;

  CLASS_METHODS(CZELOnOffButtonH, CZELOnOffButton)
};

// A button that works only while Process is on. Inactive, it takes clicks
// and wheel turns without doing anything and its hint says what to do;
// active, entering it leaves the hint line empty.
class CZELOnOffButtonAH : public CZELOnOffButtonH, public CZELActiveControl {
 public:
  using CZELOnOffButtonH::CZELOnOffButtonH;

  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseEntered(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  bool onWheel(const VSTGUI::CPoint& where, const float& distance, const VSTGUI::CButtonState& buttons) override;

  // 1 active, 0 inactive; any non-zero value counts as active.
  virtual void setActive(int32_t state);
  int32_t getActive() const { return active; }

  CLASS_METHODS(CZELOnOffButtonAH, CZELOnOffButtonH)

 protected:
  int32_t active = 1;
};

// The strips' lamp buttons: three frames, a third of the bitmap each: off,
// on but inactive (Process off), on and active.
class StripActiveButton : public CZELOnOffButtonAH {
 public:
  using CZELOnOffButtonAH::CZELOnOffButtonAH;

  void draw(VSTGUI::CDrawContext* context) override;

  CLASS_METHODS(StripActiveButton, CZELOnOffButtonAH)
};

// The toolkit's on/off button with a hint, for the strips' show/hide
// buttons. It reads and toggles its value by rounding like the others.
class COnOffButtonH : public VSTGUI::COnOffButton, public CZELHintControl {
 public:
  COnOffButtonH(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag, VSTGUI::CBitmap* background,
                int32_t style = VSTGUI::kPreListenerUpdate);

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseEntered(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseExited(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;

  CLASS_METHODS(COnOffButtonH, VSTGUI::COnOffButton)
};
