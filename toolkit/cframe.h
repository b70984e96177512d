// The root of the view tree: a container the size of the editor window that
// lives in a platform frame (a child window of the host's window on
// Windows, a windowless surface natively). It turns platform events into
// view events, keeps the focus view and redraws dirty views on idle.
#pragma once

#include "toolkit/cviewcontainer.h"
#include "toolkit/iplatformframe.h"
#include "toolkit/vstguieditorinterface.h"

namespace VSTGUI {

class CFrame : public CViewContainer, public IPlatformFrameCallback {
 public:
  // The frame's rectangle is moved to (0, 0); its width and height are the
  // window's. systemWindow is the host's parent window (HWND) on Windows.
  CFrame(const CRect& size, void* systemWindow, VSTGUIEditorInterface* editor);

  // Takes every view out, destroys the native window and releases the
  // frame's own reference.
  virtual void close();
  // Draws whatever became dirty since the last idle.
  virtual void idle();
  void doIdleStuff() {
    if (editor) editor->doIdleStuff();
  }
  uint32_t getTicks() const;
  int32_t getKnobMode() const;
  bool beginEdit(int32_t index) { return editor ? editor->beginEdit(index) : false; }
  bool endEdit(int32_t index) { return editor ? editor->endEdit(index) : false; }

  virtual bool setSize(CCoord width, CCoord height);
  // Pixels per unit of the views' coordinates (1.0 until the editor zooms):
  // the window's size, repaints and mouse points are converted with it, so
  // no view may assume one pixel per unit. A factor that is not finite or
  // outside 0.25 … 8 is refused.
  bool setScaleFactor(double factor);
  double getScaleFactor() const { return platformFrame ? platformFrame->getScaleFactor() : scaleFactor; }
  bool getSize(CRect& rect) const;
  bool getPosition(CCoord& x, CCoord& y) const;

  virtual void setFocusView(CView* view);
  CView* getFocusView() const { return focusView; }
  // Called by a view that leaves the tree, so no pointer to it stays behind.
  void onViewRemoved(CView* view);

  VSTGUIEditorInterface* getEditor() const { return editor; }
  IPlatformFrame* getPlatformFrame() const { return platformFrame; }
  void* getSystemWindow() const { return platformFrame ? platformFrame->getPlatformRepresentation() : nullptr; }
  bool isOpen() const { return platformFrame != nullptr; }

  void invalidRect(const CRect& rect) override;
  void invalid() override;
  void setViewSize(const CRect& rect, bool invalid = true) override;

  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;
  int32_t onKeyDown(VstKeyCode& keyCode) override;

  // IPlatformFrameCallback
  bool platformDrawRect(CDrawContext* context, const CRect& rect) override;
  CMouseEventResult platformOnMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult platformOnMouseMoved(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult platformOnMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult platformOnMouseExited(CPoint& where, const CButtonState& buttons) override;
  bool platformOnMouseWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                            const CButtonState& buttons) override;
  int32_t platformOnKeyDown(VstKeyCode& keyCode) override;
  void platformOnActivate(bool state) override;
  // Nothing here; an editor's frame follows the screen's scale.
  void platformOnSystemScaleChanged(double) override {}

  CLASS_METHODS_NOCOPY(CFrame, CViewContainer)

 protected:
  ~CFrame() override;

  VSTGUIEditorInterface* editor;
  IPlatformFrame* platformFrame = nullptr;
  CView* focusView = nullptr;
  bool inClose = false;
  double scaleFactor = 1.0;
};

}  // namespace VSTGUI
