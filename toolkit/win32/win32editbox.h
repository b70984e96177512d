// The system's single-line EDIT box, for anything that lets the user type
// over a view: CTextEdit's platform box is built on it, and so can a
// product's own edit box be. Windows only (win32editbox_win.cpp); the header
// names no Windows type, so holding one needs no Windows header.
//
// Coordinates and the font size are pixels of the parent window: a caller
// whose frame is scaled converts with the frame's scale factor first.
#pragma once

#include <memory>
#include <string>

#include "toolkit/ccolor.h"
#include "toolkit/cdrawcontext.h"
#include "toolkit/cfont.h"
#include "toolkit/crect.h"

namespace VSTGUI {

class Win32EditBox;

// What the box reports. Each call may delete the box: it touches nothing of
// itself after calling out.
class IWin32EditBoxListener {
 public:
  virtual ~IWin32EditBoxListener() = default;
  virtual void onEditBoxReturn(Win32EditBox* box) = 0;
  // Tab (with Shift: backwards) and Escape; true when used. The box itself
  // never types a tab or beeps at either.
  virtual bool onEditBoxTab(Win32EditBox* box, bool backwards) {
    (void)box;
    (void)backwards;
    return false;
  }
  virtual bool onEditBoxEscape(Win32EditBox* box) {
    (void)box;
    return false;
  }
  // The keyboard focus went elsewhere (a click into the host, say). Not
  // reported for a box that is being deleted.
  virtual void onEditBoxLostFocus(Win32EditBox* box) = 0;
};

struct Win32EditBoxStyle {
  // Family, size in pixels and bold/italic; nullptr: Arial, 12 pixels.
  CFontRef font = nullptr;
  // An HFONT to use instead of one made from font (a face added from
  // memory, say); it stays the caller's and must outlive the box.
  void* nativeFont = nullptr;
  CColor fontColor = kBlackCColor;
  CColor backColor = kWhiteCColor;
  CHoriTxtAlign align = kLeftText;
};

class Win32EditBox {
 public:
  // A box over rect (client pixels of parentWindow, an HWND) showing text
  // (UTF-8). It is neither focused nor selected yet. nullptr when the
  // parent is no window or the box cannot be made.
  static std::unique_ptr<Win32EditBox> create(void* parentWindow, const CRect& rect, const Win32EditBoxStyle& style,
                                              UTF8StringPtr text, IWin32EditBoxListener* listener);
  // Destroys the box's window; the listener hears nothing more.
  ~Win32EditBox();
  Win32EditBox(const Win32EditBox&) = delete;
  Win32EditBox& operator=(const Win32EditBox&) = delete;

  // The text as UTF-8.
  std::string getText() const;
  bool setText(UTF8StringPtr text);
  void selectAll();
  // At most this many UTF-16 units can be typed (a character beyond the
  // basic plane counts two); 0 lifts the limit. setText is not cut.
  void setTextLimit(int32_t units);
  void setRect(const CRect& rect);
  // Colours of the text and the box, from the next repaint on.
  void setColors(const CColor& fontColor, const CColor& backColor);
  void takeFocus();
  bool hasFocus() const;
  // The EDIT window (an HWND); nullptr once the parent destroyed it.
  void* getWindow() const;

  struct Impl;

 private:
  explicit Win32EditBox(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl;
};

}  // namespace VSTGUI
