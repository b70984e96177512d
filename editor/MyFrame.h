// The editor's frame. A click into the window first takes the keyboard
// focus from the host, so typed text and keys reach the plug-in's views. A
// right click that no view takes, and the screen's scale changing under
// the window, are handed to the editor.
#pragma once

#include <functional>

#include "toolkit/cframe.h"

class MyFrame : public VSTGUI::CFrame {
 public:
  MyFrame(const VSTGUI::CRect& size, void* systemWindow, VSTGUI::VSTGUIEditorInterface* editor);

  VSTGUI::CMouseEventResult platformOnMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  void platformOnSystemScaleChanged(double scale) override;

  bool getFocusOnClick() const { return focusOnClick; }
  void setFocusOnClick(bool state) { focusOnClick = state; }

  // The editor's: where a right click that no view took lands (units), and
  // the screen's new scale.
  std::function<void(const VSTGUI::CPoint&)> onBackgroundRightClick;
  std::function<void(double)> onSystemScaleChanged;

 protected:
  ~MyFrame() override = default;

 private:
  bool focusOnClick = true;
};
