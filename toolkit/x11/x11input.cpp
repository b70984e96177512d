#include "toolkit/x11/x11input.h"

#include <X11/X.h>
#include <X11/keysym.h>

#include <cstdlib>

namespace VSTGUI {
namespace x11 {

int32_t modifierFlags(unsigned int state) {
  int32_t b = 0;
  if (state & ShiftMask) b |= kShift;
  if (state & ControlMask) b |= kControl;
  if (state & Mod1Mask) b |= kAlt;
  return b;
}

int32_t buttonFlags(unsigned int state, unsigned int pressed) {
  int32_t b = modifierFlags(state);
  if ((state & Button1Mask) || pressed == Button1) b |= kLButton;
  if ((state & Button2Mask) || pressed == Button2) b |= kMButton;
  if ((state & Button3Mask) || pressed == Button3) b |= kRButton;
  return b;
}

bool wheelStep(unsigned int button, CMouseWheelAxis& axis, float& distance) {
  switch (button) {
    case 4:
      axis = kMouseWheelAxisY;
      distance = 1;
      return true;
    case 5:
      axis = kMouseWheelAxisY;
      distance = -1;
      return true;
    case 6:
      axis = kMouseWheelAxisX;
      distance = -1;
      return true;
    case 7:
      axis = kMouseWheelAxisX;
      distance = 1;
      return true;
    default:
      return false;
  }
}

bool DoubleClickDetector::press(unsigned int button, unsigned long time, int x, int y) {
  // X times are 32-bit milliseconds that wrap: the difference is taken in
  // that width.
  const unsigned long elapsed = (time - lastTime) & 0xffffffffUL;
  const bool isDouble = armed && button == lastButton && elapsed <= kMaxMilliseconds &&
                        std::abs(x - lastX) <= kMaxDistance && std::abs(y - lastY) <= kMaxDistance;
  armed = !isDouble;
  lastButton = button;
  lastTime = time;
  lastX = x;
  lastY = y;
  return isDouble;
}

bool keyCodeOf(unsigned long keysym, unsigned int state, VstKeyCode& key) {
  key = VstKeyCode();
  switch (keysym) {
    case XK_Return:
    case XK_KP_Enter:
      key.virt = VKEY_RETURN;
      break;
    case XK_Escape:
      key.virt = VKEY_ESCAPE;
      break;
    case XK_Tab:
    case XK_ISO_Left_Tab:
      key.virt = VKEY_TAB;
      break;
    case XK_BackSpace:
      key.virt = VKEY_BACK;
      break;
    case XK_Left:
    case XK_KP_Left:
      key.virt = VKEY_LEFT;
      break;
    case XK_Right:
    case XK_KP_Right:
      key.virt = VKEY_RIGHT;
      break;
    case XK_Up:
    case XK_KP_Up:
      key.virt = VKEY_UP;
      break;
    case XK_Down:
    case XK_KP_Down:
      key.virt = VKEY_DOWN;
      break;
    default:
      return false;
  }
  // Shift+Tab arrives as its own symbol on most keymaps.
  if ((state & ShiftMask) || keysym == XK_ISO_Left_Tab) key.modifier |= MODIFIER_SHIFT;
  if (state & ControlMask) key.modifier |= MODIFIER_CONTROL;
  if (state & Mod1Mask) key.modifier |= MODIFIER_ALTERNATE;
  return true;
}

TextKey textKeyOf(unsigned long keysym, bool typed) {
  switch (keysym) {
    case XK_Left:
    case XK_KP_Left:
      return TextKey::Left;
    case XK_Right:
    case XK_KP_Right:
      return TextKey::Right;
    case XK_Home:
    case XK_KP_Home:
      return TextKey::Home;
    case XK_End:
    case XK_KP_End:
      return TextKey::End;
    case XK_BackSpace:
      return TextKey::Backspace;
    case XK_Delete:
    case XK_KP_Delete:
      return TextKey::Delete;
    case XK_Return:
    case XK_KP_Enter:
      return TextKey::Return;
    case XK_Escape:
      return TextKey::Escape;
    case XK_Tab:
    case XK_ISO_Left_Tab:
      return TextKey::Tab;
    default:
      return typed ? TextKey::Character : TextKey::Other;
  }
}

uint32_t textModifiers(unsigned int state) {
  uint32_t m = 0;
  if (state & ShiftMask) m |= MODIFIER_SHIFT;
  if (state & ControlMask) m |= MODIFIER_CONTROL;
  if (state & Mod1Mask) m |= MODIFIER_ALTERNATE;
  return m;
}

}  // namespace x11
}  // namespace VSTGUI
