// How the X11 frame reads the X server's input: button numbers and modifier
// masks to the toolkit's button flags, wheel buttons to steps, the
// double-click rule, and key symbols to the keys the toolkit knows. Pure
// functions of the event's fields, so they are tested without a display.
#pragma once

#ifndef _WIN32

#include <cstdint>

#include "toolkit/cbuttonstate.h"
#include "toolkit/vstguibase.h"

namespace VSTGUI {
namespace x11 {

// The toolkit's flags for an event's state field (the buttons and keys held
// just before the event), plus `pressed` (an X button number, 0 for none)
// for a press, whose own button the state does not hold yet. Alt is Mod1,
// as X servers map it.
int32_t buttonFlags(unsigned int state, unsigned int pressed = 0);

// Modifier keys alone.
int32_t modifierFlags(unsigned int state);

// Buttons 4 to 7 are the wheel: 4 and 5 a notch away from and towards the
// user (+1 and -1 on the vertical axis), 6 and 7 a notch left and right
// (-1 and +1 on the horizontal axis). False for any other button.
bool wheelStep(unsigned int button, CMouseWheelAxis& axis, float& distance);

// Two presses make a double-click as on Windows: the same button, the second
// within the double-click time of the first and inside a 4 x 4 pixel square
// around it; a third press starts again with a single click.
class DoubleClickDetector {
 public:
  static constexpr unsigned long kMaxMilliseconds = 500;
  static constexpr int kMaxDistance = 2;  // pixels each way

  // Records the press (X time in milliseconds, window pixels) and tells
  // whether it completes a double-click.
  bool press(unsigned int button, unsigned long time, int x, int y);

 private:
  unsigned int lastButton = 0;
  unsigned long lastTime = 0;
  int lastX = 0, lastY = 0;
  bool armed = false;
};

// The keys the frame passes on, the ones the Windows frame passes on: Return
// (either Enter key), Escape, Tab (Shift+Tab too), Backspace and the arrows,
// with the modifiers held; false for any other key symbol.
bool keyCodeOf(unsigned long keysym, unsigned int state, VstKeyCode& key);

// The keys a drawn edit field acts on; Character is any key that types
// text (the text comes from the input method), Other a key it ignores
// (Shift alone, function keys).
enum class TextKey { Other, Character, Left, Right, Home, End, Backspace, Delete, Return, Escape, Tab };

// The edit field's key for a key symbol; `typed` tells whether the key
// produced text. Keypad keys count as their main keys whatever Num Lock says
// about digits, which arrive as text.
TextKey textKeyOf(unsigned long keysym, bool typed);

// The edit field's modifiers for an event's state: MODIFIER_SHIFT,
// MODIFIER_CONTROL and MODIFIER_ALTERNATE, as VstKeyCode carries them.
uint32_t textModifiers(unsigned int state);

}  // namespace x11
}  // namespace VSTGUI

#endif
