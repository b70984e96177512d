// The box a text field opens over itself while the user types: the
// system's EDIT box, exactly as high as the text, centred on the control, in
// the control's font (the embedded font for the tape label), with the
// control's own drawing behind the typed text, so editing looks like
// writing onto the control. Return keeps the text, a click elsewhere ends
// the edit too, Tab and Escape are offered to the control first.
//
// A control opens it from its takeFocus, in place of the frame's plain box:
//
//   void CZELTextEdit::takeFocus() {
//     if (platformControl) return;
//     bWasReturnPressed = false;
//     beginEdit();
//     platformControl = createZELSystemBox(getFrame(), this);
//     if (!platformControl) endEdit();
//     invalid();
//   }
//
// and CTextEdit's looseFocus takes the text and releases the box as usual.
#pragma once

#include "toolkit/vstgui.h"

namespace VSTGUI {

// What a control may offer the box beyond IPlatformTextEditCallback. A
// control without it gets a box in a system font of its font's name, on its
// back colour.
class IZELSystemBoxControl {
 public:
  virtual ~IZELSystemBoxControl() = default;
  // Draws the control as it looks while its text is being typed (the text
  // left out; the tape label draws its pen instead), exactly as its
  // container would draw it: in its own view coordinates, the context's
  // offset set by the caller. This becomes the background behind the typed
  // text.
  virtual void drawForSystemBox(CDrawContext* context) = 0;
  // True: type in the control font's own GDI font (the embedded font);
  // false: in a GDI font made from the font's name and size.
  virtual bool useEmbeddedFontInEdit() const = 0;
};

// The box's rectangle for a control at `control` (frame coordinates) with a
// font of fontSize pixels, both scaled by the frame's scale factor: as high
// as the text, centred on the control's middle row. An 11-pixel font on a
// control from y 100 to 116 gives 101.5 to 115.5 (the window at 101, 14
// high: window coordinates are the rectangle's truncated).
CRect systemBoxRect(const CRect& control, double fontSize, double scale = 1.0);

// Opens the box over the control in the frame's window, with the keyboard
// focus and all of its text selected; nullptr when there is no window to
// open it in. Natively (no system box) it is the frame's own text box, so
// the same control code runs in tests.
IPlatformTextEdit* createZELSystemBox(CFrame* frame, IPlatformTextEditCallback* control, double scale = 1.0);

// The longest text the box takes, in UTF-16 units.
constexpr int32_t kZELSystemBoxTextLimit = 255;

}  // namespace VSTGUI
