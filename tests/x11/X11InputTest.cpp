// The X11 frame's reading of input, checked on the events' fields alone:
// the toolkit's button flags, the wheel, the double-click rule and the keys.
#include <gtest/gtest.h>

#include "toolkit/x11/x11input.h"

// clang-format off: X11's headers define None, Bool and Status as macros, so
// they come after every other header.
#include <X11/X.h>
#include <X11/keysym.h>
// clang-format on

using namespace VSTGUI;

TEST(X11Input, ButtonsAndModifiersBecomeTheFlagsWindowsGives) {
  const struct {
    unsigned int state, pressed;
    int32_t flags;
  } cases[] = {
      {0, Button1, kLButton},
      {0, Button2, kMButton},
      {0, Button3, kRButton},
      {ShiftMask, Button1, kLButton | kShift},
      {ControlMask | Mod1Mask, Button3, kRButton | kControl | kAlt},
      {Button1Mask, 0, kLButton},  // a move or a release with the left button held
      {Button1Mask | Button3Mask | ShiftMask, 0, kLButton | kRButton | kShift},
      {LockMask | Mod2Mask | Mod4Mask, Button1, kLButton},  // Caps and Num Lock, the logo key: nothing
  };
  for (const auto& c : cases) EXPECT_EQ(x11::buttonFlags(c.state, c.pressed), c.flags) << c.state << " " << c.pressed;
}

TEST(X11Input, WheelButtonsAreNotchesOnTheirAxis) {
  const struct {
    unsigned int button;
    bool wheel;
    CMouseWheelAxis axis;
    float distance;
  } cases[] = {{4, true, kMouseWheelAxisY, 1}, {5, true, kMouseWheelAxisY, -1}, {6, true, kMouseWheelAxisX, -1},
               {7, true, kMouseWheelAxisX, 1}, {1, false, kMouseWheelAxisY, 0}, {8, false, kMouseWheelAxisY, 0}};
  for (const auto& c : cases) {
    CMouseWheelAxis axis = kMouseWheelAxisY;
    float distance = 0;
    ASSERT_EQ(x11::wheelStep(c.button, axis, distance), c.wheel) << c.button;
    if (!c.wheel) continue;
    EXPECT_EQ(axis, c.axis) << c.button;
    EXPECT_EQ(distance, c.distance) << c.button;
  }
}

TEST(X11Input, DoubleClicksNeedTheSameButtonSoonAndNearby) {
  const struct {
    const char* what;
    unsigned int button;
    unsigned long time;
    int x, y;
    bool isDouble;
  } second[] = {
      {"soon, same place", 1, 1300, 10, 10, true}, {"at the time limit, 2 px off", 1, 1500, 12, 8, true},
      {"too late", 1, 1501, 10, 10, false},        {"too far", 1, 1100, 13, 10, false},
      {"another button", 3, 1100, 10, 10, false},
  };
  for (const auto& s : second) {
    x11::DoubleClickDetector d;
    EXPECT_FALSE(d.press(1, 1000, 10, 10)) << s.what;
    EXPECT_EQ(d.press(s.button, s.time, s.x, s.y), s.isDouble) << s.what;
  }
  // A third quick press is a single click again; the server's clock wraps.
  x11::DoubleClickDetector d;
  EXPECT_FALSE(d.press(1, 0xffffff00UL, 0, 0));
  EXPECT_TRUE(d.press(1, 0x10, 0, 0));
  EXPECT_FALSE(d.press(1, 0x20, 0, 0));
}

TEST(X11Input, KeysBecomeTheToolkitsKeyCodes) {
  const struct {
    unsigned long sym;
    unsigned int state;
    bool known;
    unsigned char virt, modifier;
  } cases[] = {
      {XK_Return, 0, true, VKEY_RETURN, 0},
      {XK_KP_Enter, 0, true, VKEY_RETURN, 0},
      {XK_Escape, 0, true, VKEY_ESCAPE, 0},
      {XK_Tab, 0, true, VKEY_TAB, 0},
      {XK_ISO_Left_Tab, ShiftMask, true, VKEY_TAB, MODIFIER_SHIFT},
      {XK_BackSpace, ControlMask, true, VKEY_BACK, MODIFIER_CONTROL},
      {XK_Up, Mod1Mask, true, VKEY_UP, MODIFIER_ALTERNATE},
      {XK_KP_Down, 0, true, VKEY_DOWN, 0},
      {XK_a, 0, false, 0, 0},
  };
  for (const auto& c : cases) {
    VstKeyCode key;
    ASSERT_EQ(x11::keyCodeOf(c.sym, c.state, key), c.known) << c.sym;
    EXPECT_EQ(key.virt, c.virt) << c.sym;
    EXPECT_EQ(key.modifier, c.modifier) << c.sym;
  }
}
