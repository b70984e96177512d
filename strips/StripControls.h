// The controls the strips place, made in one spot with the settings the
// strips give them. The views hold them as the toolkit's CControl and reach
// what the product's controls add (active state, hints, the lag's
// double-click mark, the pen) through the helpers below.
#pragma once

#include "toolkit/vstgui.h"

class CHelpHintLabel;

namespace orvane {
namespace strip {

using VSTGUI::CBitmap;
using VSTGUI::CControl;
using VSTGUI::CControlListener;
using VSTGUI::CRect;

// The three-frame lamp of "ProcFlt": off, on but inactive, on and active.
CControl* makeLampButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bitmap);
// Where a strip's show/hide button sits: at the strip's top right, one
// frame of its bitmap large (the window's Strips key shares the bitmap);
// 11 x 11 while there is no artwork.
CRect showButtonRect(CBitmap* bitmap);
// A strip's show/hide button (two frames).
CControl* makeShowButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bitmap);
// A filter's in/out or slope button (two frames); `wheelBoth` turns on the
// wheel mode and sign (up sets, down clears).
CControl* makeFilterButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bitmap, bool wheelBoth);
// A horizontal frequency slider whose handle's left edge travels from
// minPos to maxPos minus the handle's width (container coordinates).
CControl* makeFrequencySlider(const CRect& size, CControlListener* listener, int32_t tag, int32_t minPos,
                              int32_t maxPos, CBitmap* handle);
// The typed frequency over a slider: transparent, so the strip shows
// through wherever it moves.
VSTGUI::CTextEdit* makeFrequencyEntry(const CRect& size, CControlListener* listener, int32_t tag);
// The three-digit lag time.
CControl* makeLagControl(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bitmap);
// The tape label, drawn on the strip's own background.
VSTGUI::CTextEdit* makeTapeLabel(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background);
// A caption bitmap of one frame.
CControl* makeCaption(const CRect& size, int32_t tag, CBitmap* bitmap);

// The active state (Process on) of a control that has one; others ignore it.
void setActive(CControl* control, bool active);
bool isActive(CControl* control);
// Attaches the hint line to a control that shows hints.
void setHintLabel(CControl* control, CHelpHintLabel* label);
// The lag control's double-click mark: answered and cleared.
bool takeDoubleClickMark(CControl* lagControl);
// One step of the tape label's pen, while the label is being written.
void animateTapeLabel(CControl* tapeLabel);

}  // namespace strip
}  // namespace orvane
