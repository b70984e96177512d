// The tape label of the label strip: the channel's name written across a
// strip of tape in the embedded font (38 pixels), also while it is typed. While the user types, a pen writes
// along the tape; its animation is stepped from the editor's idle.
#pragma once

#include "controls/CZELTextEdit.h"

class CZELTapeLabel : public CMyTextEdit {
 public:
  // Pen animation: 95 steps (0 … 94), at most one every 30 ms.
  static constexpr int32_t kPenSteps = 95;
  static constexpr uint32_t kPenStepMs = 30;
  static constexpr int32_t kPenBitmap = 10008;

  // background: the strip view's background (the tape under the text).
  CZELTapeLabel(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag,
                VSTGUI::CBitmap* background);
  ~CZELTapeLabel() override;
  CZELTapeLabel(const CZELTapeLabel&) = delete;
  CZELTapeLabel& operator=(const CZELTapeLabel&) = delete;

  void draw(VSTGUI::CDrawContext* context) override;
  void takeFocus() override;
  void setViewSize(const VSTGUI::CRect& newSize, bool invalid = true) override;

  // One step of the pen, while the box is open and 30 ms of the frame's
  // clock have passed since the last one; called on every editor idle.
  virtual void animate();

  int32_t getPenCounter() const { return penCounter; }
  const VSTGUI::CRect& getPenHome() const { return penHome; }
  const VSTGUI::CRect& getPenRect() const { return penRect; }

  // How far the pen moves on the step that brings the counter to n
  // (1 … 94); step 0 takes it home.
  static VSTGUI::CPoint penMove(int32_t n);

  CLASS_METHODS_NOCOPY(CZELTapeLabel, CMyTextEdit)

 protected:
  void placePenHome();

  VSTGUI::CBitmap* penBitmap;
  VSTGUI::CRect penHome;
  VSTGUI::CRect penRect;
  int32_t penCounter = 0;
  uint32_t lastPenStep = 0;
};
