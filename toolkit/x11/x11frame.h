// The frame's X11 child window as tests and benchmarks see it: how often it
// painted and which window it is. IPlatformFrame::create makes one when the
// host gives a window; a frame's platform frame is then this class.
#pragma once

#ifndef _WIN32

#include <cstdint>

#include "toolkit/iplatformframe.h"
#include "toolkit/x11/x11input.h"

namespace VSTGUI {

class CDrawContext;

// A drawn edit field as the window sees it while the user types: it gets
// the keys (with the text the input method made of them, UTF-8), the
// presses and drags over its rectangle, and the news that the window lost
// the keyboard; it draws itself after the views. The window never deletes
// it.
class X11TextInput {
 public:
  virtual ~X11TextInput() = default;
  // Frame coordinates (units).
  virtual CRect textInputRect() const = 0;
  virtual bool keyDown(x11::TextKey key, uint32_t modifiers, const char* utf8) = 0;
  virtual void mouseDown(const CPoint& where, bool shift) = 0;
  virtual void mouseMoved(const CPoint& where) = 0;
  // The button that pressed on the field went up.
  virtual void mouseUp() {}
  // The window lost the keyboard to another window: the edit ends (with
  // its text, as on Windows).
  virtual void loseFocus() = 0;
  virtual void draw(CDrawContext* context) = 0;
};

class X11PlatformFrame : public IPlatformFrame {
 public:
  // Paints of the back buffer (one per invalid rectangle) since the window
  // was made.
  virtual int32_t getPaintCount() const = 0;
  // The child window's X id.
  virtual unsigned long getWindow() const = 0;

  // A drawn edit field starts taking the keyboard: the window takes the
  // focus from the host (given back by endTextInput) and repaints the
  // field's rectangle. Any call of the input may end it.
  virtual void beginTextInput(X11TextInput* input) = 0;
  virtual void endTextInput(X11TextInput* input) = 0;
};

}  // namespace VSTGUI

#endif
