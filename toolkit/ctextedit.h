// A text the user can click and edit: the click opens the system's text box
// over the control (the frame's platform makes it); Return or a click
// elsewhere ends the edit, and a changed text is reported to the listener.
#pragma once

#include <string>

#include "toolkit/cparamdisplay.h"
#include "toolkit/iplatformtextedit.h"

namespace VSTGUI {

// Turns typed text into a value; false: keep the value.
typedef bool (*CTextEditStringToValueProc)(UTF8StringPtr txt, float& result, void* userData);

class CTextEdit : public CParamDisplay, public IPlatformTextEditCallback {
 public:
  CTextEdit(const CRect& size, CControlListener* listener, int32_t tag, UTF8StringPtr txt = nullptr,
            CBitmap* background = nullptr, const int32_t style = 0);
  ~CTextEdit() override;

  virtual void setText(UTF8StringPtr txt);
  virtual UTF8StringPtr getText() const { return text.c_str(); }
  void setStringToValueProc(CTextEditStringToValueProc proc, void* userData = nullptr);

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  int32_t onKeyDown(VstKeyCode& keyCode) override;
  void setViewSize(const CRect& newSize, bool invalid = true) override;
  void takeFocus() override;
  void looseFocus() override;

  IPlatformTextEdit* getPlatformTextEdit() const { return platformControl; }
  bool bWasReturnPressed = false;

  // IPlatformTextEditCallback
  CColor platformGetBackColor() const override { return getBackColor(); }
  CColor platformGetFontColor() const override { return getFontColor(); }
  CFontRef platformGetFont() const override { return getFont(); }
  CHoriTxtAlign platformGetHoriTxtAlign() const override { return getHoriAlign(); }
  UTF8StringPtr platformGetText() const override { return text.c_str(); }
  CRect platformGetSize() const override;
  CRect platformGetVisibleSize() const override;
  void platformLooseFocus(bool returnPressed) override;
  bool platformOnKeyDown(const VstKeyCode& key) override;

  CLASS_METHODS_NOCOPY(CTextEdit, CParamDisplay)

 protected:
  // Takes the box's text; reports it when it differs from the shown one.
  void updateText(IPlatformTextEdit* box);

  IPlatformTextEdit* platformControl = nullptr;
  std::string text;
  CTextEditStringToValueProc textToValue = nullptr;
  void* textToValueUserData = nullptr;
};

}  // namespace VSTGUI
