// The window's text fields. A click opens the system's edit box over the
// field (placed and styled by the box itself); while it is open the field
// draws its background only, so the typed text seems to sit on it.
#pragma once

#include "controls/CZELHintControl.h"
#include "controls/ZELSystemBoxWin32.h"
#include "toolkit/vstgui.h"

class CZELTextEdit : public VSTGUI::CTextEdit, public VSTGUI::IZELSystemBoxControl {
 public:
  // With useEmbeddedFontInEdit the edit box types in the control's own
  // (embedded) font instead of a system font of that name.
  CZELTextEdit(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag,
               VSTGUI::UTF8StringPtr txt = nullptr, VSTGUI::CBitmap* background = nullptr, const int32_t style = 0,
               bool useEmbeddedFontInEdit = false);

  void draw(VSTGUI::CDrawContext* context) override;
  void takeFocus() override;
  void looseFocus() override;
  // As the toolkit's, then the text follows the value when a value-to-text
  // function is set.
  void setValue(float val) override;

  // True while the edit box is open.
  virtual bool isEditing() const { return editing; }

  // IZELSystemBoxControl: the control's editing look behind the typed text,
  // and whether the box types in the control's own (embedded) font.
  void drawForSystemBox(VSTGUI::CDrawContext* context) override { draw(context); }
  bool useEmbeddedFontInEdit() const override { return embeddedFontInEdit; }

  CLASS_METHODS_NOCOPY(CZELTextEdit, VSTGUI::CTextEdit)

 protected:
  // Opens the system's edit box over the control in the frame's window
  // (the frame's own text box natively); nullptr when there is none.
  virtual VSTGUI::IPlatformTextEdit* openEditBox();

  bool editing = false;
  bool embeddedFontInEdit;
};

// A text field whose mouse-sensitive area is always its whole rectangle,
// also after it moves (the filter entries follow their slider handles).
class CMyTextEdit : public CZELTextEdit {
 public:
  using CZELTextEdit::CZELTextEdit;

  void setViewSize(const VSTGUI::CRect& newSize, bool invalid = true) override;

  CLASS_METHODS_NOCOPY(CMyTextEdit, CZELTextEdit)
};

// A field that can be typed into only while Process is on (the trim value,
// the filter frequencies). Inactive, clicks do nothing and its hint says
// what to do; active, entering it leaves the hint line empty.
class CMyTextEditAH : public CMyTextEdit, public CZELActiveControl, public CZELHintControl {
 public:
  using CMyTextEdit::CMyTextEdit;

  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseEntered(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseExited(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  void takeFocus() override;

  // 1 active, 0 inactive; any non-zero value counts as active.
  virtual void setActive(int32_t state) { active = state != 0 ? 1 : 0; }
  int32_t getActive() const { return active; }

  CLASS_METHODS_NOCOPY(CMyTextEditAH, CMyTextEdit)

 protected:
  int32_t active = 1;
};
