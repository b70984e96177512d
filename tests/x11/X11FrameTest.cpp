// The X11 frame with real input through XTest: at a zoom the window takes
// the size in pixels and the pointer comes back in units; and the window's
// side of a drawn edit field, with a stand-in field: real
// keys typed through XTest reach it as the field's keys with their UTF-8
// text, the window takes the keyboard while the field is open and gives it
// back to the host's window after, a press on the field goes to it, the
// field draws after the views, and the host taking the keyboard ends it;
// with no field open the keys stay the host's.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "toolkit/cframe.h"
#include "toolkit/x11/x11frame.h"

// clang-format off: X11's headers define None, Bool and Status as macros, so
// they come after every other header.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
// clang-format on

using namespace VSTGUI;

namespace {

struct Field : X11TextInput {
  CRect rect{20, 10, 120, 30};
  std::vector<std::pair<x11::TextKey, std::string>> keys;
  std::vector<uint32_t> modifiers;
  int presses = 0, draws = 0, focusLosses = 0;
  bool shiftPress = false;

  CRect textInputRect() const override { return rect; }
  bool keyDown(x11::TextKey key, uint32_t mods, const char* utf8) override {
    keys.emplace_back(key, utf8 ? utf8 : "");
    modifiers.push_back(mods);
    return true;
  }
  void mouseDown(const CPoint&, bool shift) override {
    ++presses;
    shiftPress = shift;
  }
  void mouseMoved(const CPoint&) override {}
  void loseFocus() override { ++focusLosses; }
  void draw(CDrawContext*) override { ++draws; }
};

// Where the left button went down on it, in its coordinates.
struct Recorder : CView {
  explicit Recorder(const CRect& r) : CView(r) {}
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override {
    pressedAt = where;
    pressedWith = buttons();
    return kMouseEventHandled;
  }
  CPoint pressedAt{-1, -1};
  int32_t pressedWith = 0;
};

struct Host {
  Display* d = XOpenDisplay(nullptr);
  Window window = 0;
  CFrame* frame = nullptr;
  Host() {
    if (!d) return;
    window = XCreateSimpleWindow(d, DefaultRootWindow(d), 10, 10, 200, 100, 0, 0, 0);
    XSelectInput(d, window, FocusChangeMask | KeyPressMask);
    XMapWindow(d, window);
    XSync(d, False);
    XSetInputFocus(d, window, RevertToParent, CurrentTime);  // the host has the keyboard
    XSync(d, False);
    frame = new CFrame(CRect(0, 0, 200, 100), reinterpret_cast<void*>(static_cast<uintptr_t>(window)), nullptr);
    pump();
  }
  ~Host() {
    if (frame) frame->close();
    if (d) XCloseDisplay(d);
  }
  X11PlatformFrame* x11() const { return frame ? dynamic_cast<X11PlatformFrame*>(frame->getPlatformFrame()) : nullptr; }
  void pump() {
    for (int i = 0; i < 6; ++i) {
      XSync(d, False);
      frame->idle();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  Window focus() {
    Window f = 0;
    int revert = 0;
    XGetInputFocus(d, &f, &revert);
    return f;
  }
  void key(KeySym sym, bool down) { XTestFakeKeyEvent(d, XKeysymToKeycode(d, sym), down, CurrentTime); }
  void tap(KeySym sym, KeySym modifier = NoSymbol) {
    if (modifier != NoSymbol) key(modifier, true);
    key(sym, true);
    key(sym, false);
    if (modifier != NoSymbol) key(modifier, false);
    pump();
  }
  void click(int x, int y, bool shift) {
    int rx = 0, ry = 0;
    Window child;
    XTranslateCoordinates(d, window, DefaultRootWindow(d), x, y, &rx, &ry, &child);
    XTestFakeMotionEvent(d, DefaultScreen(d), rx, ry, CurrentTime);
    if (shift) key(XK_Shift_L, true);
    XTestFakeButtonEvent(d, 1, True, CurrentTime);
    XTestFakeButtonEvent(d, 1, False, CurrentTime);
    if (shift) key(XK_Shift_L, false);
    pump();
  }
};

}  // namespace

TEST(X11Frame, AtAZoomTheWindowHasItsPixelsAndThePointerComesBackInUnits) {
  Host host;
  ASSERT_NE(host.d, nullptr);
  X11PlatformFrame* pf = host.x11();
  ASSERT_NE(pf, nullptr);
  auto* view = new Recorder(CRect(100, 50, 140, 70));
  host.frame->addView(view);
  const struct {
    double scale;
    int width, height;
  } zooms[] = {{1.0, 200, 100}, {1.5, 300, 150}, {0.5, 100, 50}};
  for (const auto& z : zooms) {
    ASSERT_TRUE(host.frame->setScaleFactor(z.scale)) << z.scale;
    host.pump();
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(host.d, pf->getWindow(), &a));
    EXPECT_EQ(a.width, z.width) << z.scale;
    EXPECT_EQ(a.height, z.height) << z.scale;
    view->pressedAt = CPoint(-1, -1);
    // The point (110, 60) of the frame, in pixels.
    host.click(int(110 * z.scale), int(60 * z.scale), false);
    EXPECT_NEAR(view->pressedAt.x, 110, 1) << z.scale;
    EXPECT_NEAR(view->pressedAt.y, 60, 1) << z.scale;
    EXPECT_EQ(view->pressedWith, kLButton) << z.scale;
  }
}

TEST(X11TextInput, TypedKeysReachTheFieldWhichHasTheKeyboardUntilItEnds) {
  Host host;
  ASSERT_NE(host.d, nullptr);
  X11PlatformFrame* pf = host.x11();
  ASSERT_NE(pf, nullptr);
  ASSERT_EQ(host.focus(), host.window);
  Field field;
  pf->beginTextInput(&field);
  host.pump();
  EXPECT_EQ(host.focus(), Window(pf->getWindow())) << "the field took no keyboard";
  EXPECT_GT(field.draws, 0) << "the field was not drawn after the views";

  const struct {
    KeySym sym, modifier;
    x11::TextKey key;
    const char* text;
    uint32_t modifiers;
  } typed[] = {
      {XK_1, NoSymbol, x11::TextKey::Character, "1", 0},
      {XK_k, NoSymbol, x11::TextKey::Character, "k", 0},
      {XK_5, NoSymbol, x11::TextKey::Character, "5", 0},
      {XK_a, XK_Shift_L, x11::TextKey::Character, "A", MODIFIER_SHIFT},
      {XK_a, XK_Control_L, x11::TextKey::Character, "a", MODIFIER_CONTROL},
      {XK_Left, XK_Shift_L, x11::TextKey::Left, "", MODIFIER_SHIFT},
      {XK_BackSpace, NoSymbol, x11::TextKey::Backspace, "", 0},
      {XK_Home, NoSymbol, x11::TextKey::Home, "", 0},
      {XK_Escape, NoSymbol, x11::TextKey::Escape, "", 0},
      {XK_Return, NoSymbol, x11::TextKey::Return, "", 0},
  };
  for (const auto& t : typed) host.tap(t.sym, t.modifier);
  ASSERT_EQ(field.keys.size(), std::size(typed));
  for (size_t i = 0; i < std::size(typed); ++i) {
    EXPECT_EQ(field.keys[i].first, typed[i].key) << i;
    // Keys that type nothing may still carry their control character.
    if (typed[i].key == x11::TextKey::Character) {
      EXPECT_EQ(field.keys[i].second, typed[i].text) << i;
    }
    EXPECT_EQ(field.modifiers[i], typed[i].modifiers) << i;
  }

  host.click(40, 20, true);  // on the field, with Shift: the field's
  EXPECT_EQ(field.presses, 1);
  EXPECT_TRUE(field.shiftPress);

  // The host takes its keyboard back: the field hears it.
  XSetInputFocus(host.d, host.window, RevertToParent, CurrentTime);
  host.pump();
  EXPECT_EQ(field.focusLosses, 1);

  // Begun again and ended: the keyboard goes back to where it was.
  pf->beginTextInput(&field);
  host.pump();
  EXPECT_EQ(host.focus(), Window(pf->getWindow()));
  pf->endTextInput(&field);
  host.pump();
  EXPECT_EQ(host.focus(), host.window) << "the keyboard stayed with the editor";
  // With no field open, a key typed with the mouse over the editor is the
  // host's (its shortcuts), not the editor's.
  XEvent e;
  while (XCheckTypedWindowEvent(host.d, host.window, KeyPress, &e)) {
  }
  const size_t keysBefore = field.keys.size();
  host.tap(XK_x);
  EXPECT_EQ(field.keys.size(), keysBefore) << "an ended field still got keys";
  EXPECT_TRUE(XCheckTypedWindowEvent(host.d, host.window, KeyPress, &e)) << "the editor took the host's key";
}
