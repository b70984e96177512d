// The system's text entry box that a text edit opens over itself while the
// user types, and what the box asks of the control that opened it.
#pragma once

#include "toolkit/ccolor.h"
#include "toolkit/cdrawcontext.h"
#include "toolkit/crect.h"

namespace VSTGUI {

class IPlatformTextEditCallback {
 public:
  virtual ~IPlatformTextEditCallback() = default;
  virtual CColor platformGetBackColor() const = 0;
  virtual CColor platformGetFontColor() const = 0;
  virtual CFontRef platformGetFont() const = 0;
  virtual CHoriTxtAlign platformGetHoriTxtAlign() const = 0;
  virtual UTF8StringPtr platformGetText() const = 0;
  // The control's rectangle in frame coordinates.
  virtual CRect platformGetSize() const = 0;
  virtual CRect platformGetVisibleSize() const = 0;
  // The box ends: after Return (true) or when it lost the focus (false).
  virtual void platformLooseFocus(bool returnPressed) = 0;
  // A key the box offers to the control first; true when it was used.
  virtual bool platformOnKeyDown(const VstKeyCode& key) = 0;
};

class IPlatformTextEdit : public CBaseObject {
 public:
  // The typed text as UTF-8 into text (at most maxSize bytes with the
  // terminating zero); false when there is none to give.
  virtual bool getText(char* text, int32_t maxSize) = 0;
  virtual bool setText(UTF8StringPtr text) = 0;
  // Follows a change of the control's size; false when the box cannot.
  virtual bool updateSize() = 0;

 protected:
  explicit IPlatformTextEdit(IPlatformTextEditCallback* textEdit) : textEdit(textEdit) {}
  IPlatformTextEditCallback* textEdit;
};

}  // namespace VSTGUI
