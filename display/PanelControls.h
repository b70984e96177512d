// The controls a meter panel places, made in one place: each factory makes
// the control of one role with its bitmap, tag, listener and tuning, and
// the few operations a panel needs on them (active state, hint line,
// reference text) go through here too. The panel itself never names a
// control class, so it reads as the layout it is.
#pragma once

#include <cstdint>

#include "toolkit/ccontrol.h"
#include "toolkit/ctextlabel.h"

namespace orvane {
namespace panelcontrols {

using VSTGUI::CBitmap;
using VSTGUI::CControl;
using VSTGUI::CControlListener;
using VSTGUI::CPoint;
using VSTGUI::CRect;
using VSTGUI::CTextLabel;

// The hint line: the text of the control under the mouse.
CTextLabel* makeHintLine(const CRect& r);
// Three meter types; zones at the left and right ends step the type, the
// middle flips the back panel (tag 65).
CControl* makeMeterSelector(const CRect& r, CControlListener* l, CBitmap* b);
// Vertical trim slider; handle `b`, `travel` pixels of handle movement.
CControl* makeTrimSlider(const CRect& r, CControlListener* l, CBitmap* b, int travel);
// The typed trim (tag 68) over a part of the panel background.
CControl* makeTrimValue(const CRect& r, CControlListener* l, CBitmap* background);
// Two-frame buttons with a hint: Process (0) and Strips (6).
CControl* makeHintButton(const CRect& r, CControlListener* l, int32_t tag, CBitmap* b);
// The settings scope, three positions.
CControl* makeScopeControl(const CRect& r, CControlListener* l, CBitmap* b);
// The manual button (tag 121), three frames: normal, hover, pressed.
CControl* makeManualButton(const CRect& r, CControlListener* l, CBitmap* b);
// The LR/MS button: two frames, no hint.
CControl* makePlainButton(const CRect& r, CControlListener* l, int32_t tag, CBitmap* b);
// A channel name shown by frame (two frames: L/R, M/S).
CControl* makeChannelLabel(const CRect& r, CControlListener* l, int32_t tag, CBitmap* b);
// The Hold switch: three positions side by side.
CControl* makeHoldSwitch(const CRect& r, CControlListener* l, int32_t tag, CBitmap* b);
// The front reference knob; drag and wheel tuning as given.
CControl* makeReferenceControl(const CRect& r, CControlListener* l, int32_t tag, CBitmap* b, float dragScale,
                               float dragFineFactor, float wheelStep, float wheelFineFactor);

// How many frames the reference knob's bitmap stacks.
int referenceFrames();

void attachHint(CControl* control, CTextLabel* hintLine);
// Whether a control that follows "Process" reacts (it is shown either way).
void setActive(CControl* control, bool active);
bool isActive(const CControl* control);
// The reference knob's text and whether it shows (with the strips).
void setReferenceText(CControl* control, const char* text);
void setReferenceShown(CControl* control, bool shown);
// The typed trim field's text.
void setText(CControl* control, const char* text);
const char* getText(const CControl* control);

}  // namespace panelcontrols
}  // namespace orvane
