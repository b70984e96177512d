// The editor's frame. A click into the window first takes the keyboard
// focus from the host, so typed text and keys reach the plug-in's views.
#pragma once

#include "toolkit/cframe.h"

class MyFrame : public VSTGUI::CFrame {
 public:
  MyFrame(const VSTGUI::CRect& size, void* systemWindow, VSTGUI::VSTGUIEditorInterface* editor);

  VSTGUI::CMouseEventResult platformOnMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;

  bool getFocusOnClick() const { return focusOnClick; }
  void setFocusOnClick(bool state) { focusOnClick = state; }

 protected:
  ~MyFrame() override = default;

 private:
  bool focusOnClick = true;
};
