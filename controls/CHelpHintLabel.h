// The hint line: one line of text at the top of each meter panel naming
// what the control under the mouse would do. Hinted controls call
// showHint on entry (and as they change) and empty it when the mouse
// leaves.
#pragma once

#include "controls/CZELHintControl.h"
#include "toolkit/vstgui.h"

class CHelpHintLabel : public VSTGUI::CTextLabel {
 public:
  // Starts empty, in the look of the panels' hint line: "Arial" 9 in
  // (220, 213, 213), centred, with no back or frame colour.
  explicit CHelpHintLabel(const VSTGUI::CRect& size, VSTGUI::UTF8StringPtr txt = nullptr,
                          VSTGUI::CBitmap* background = nullptr, const int32_t style = 0);

  // Picks the text for a control's tag and value (and, for the meter
  // selector, the zone under the mouse), shows it and marks the line dirty.
  virtual void showHint(int32_t tag, float value, int32_t* sub = nullptr);

  // The text showHint would pick; nullptr when it would leave the line as
  // it is (a meter selector value it cannot read).
  static VSTGUI::UTF8StringPtr hintText(int32_t tag, float value, const int32_t* sub);

  CLASS_METHODS(CHelpHintLabel, VSTGUI::CTextLabel)
};
