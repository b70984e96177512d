#include "editor/MyFrame.h"

#include "editor/EditorPlatform.h"

MyFrame::MyFrame(const VSTGUI::CRect& size, void* systemWindow, VSTGUI::VSTGUIEditorInterface* editor)
    : CFrame(size, systemWindow, editor) {}

VSTGUI::CMouseEventResult MyFrame::platformOnMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) {
  if (focusOnClick) orvane::focusNativeWindow(getSystemWindow());
  // A click may close the window (and so release the frame) from inside;
  // the frame stays alive until the click is handled.
  remember();
  const VSTGUI::CPoint at(where);
  VSTGUI::CMouseEventResult result = onMouseDown(where, buttons);
  if (buttons.isRightButton() && !(buttons & VSTGUI::kDoubleClick) && isOpen() &&
      (result == VSTGUI::kMouseEventNotHandled || result == VSTGUI::kMouseEventNotImplemented) &&
      onBackgroundRightClick) {
    onBackgroundRightClick(at);
    result = VSTGUI::kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  forget();
  return result;
}

void MyFrame::platformOnSystemScaleChanged(double scale) {
  if (onSystemScaleChanged) onSystemScaleChanged(scale);
}
