// The rules every control of the window shares, written once: how a wheel
// turn becomes a step, which frame of a stacked bitmap a state shows, how
// a stored value becomes an on/off or three-way state, and how a change is
// told to the listener and the host.
#pragma once

#include <cstdint>

#include "toolkit/vstgui.h"

namespace orvane {

// A wheel turn counts as one notch up (+1) beyond +0.1, one notch down (-1)
// below -0.1, else nothing. A whole turn is one notch however far the
// system says it went, so a runaway or broken distance (huge, infinite,
// NaN) moves a control one step at most.
int32_t wheelNotch(float distance);

// The change one wheel event makes: one notch times step, times fineFactor
// while Shift is held.
float wheelChange(float distance, const VSTGUI::CButtonState& buttons, float step, float fineFactor);

// On/off as stored values say it: the integer part of value + 0.5, so a
// host that sends 0.9999 for "on" is read as on. NaN reads as off.
int32_t onOffState(float value);

// A three-way choice (0, 0.5, 1): the integer part of value × 2 + 0.5,
// kept to 0 … 2; NaN reads as 0.
int32_t threeWayIndex(float value);

// Frame n of a bitmap whose frames are stacked vertically, frameHeight
// pixels each: the part from y = n × frameHeight (plus offset) is drawn
// over dest. A frame outside the bitmap is brought back to the nearest
// frame it has.
void drawStackedFrame(VSTGUI::CBitmap* bitmap, VSTGUI::CDrawContext* context, const VSTGUI::CRect& dest, int32_t frame,
                      VSTGUI::CCoord frameHeight, const VSTGUI::CPoint& offset = VSTGUI::CPoint(0, 0),
                      float alpha = 1.f);

// What a control does after the user changed its value with one discrete
// action (a wheel step, a reset click): redraw, then begin edit, tell the
// listener, end edit, so the host records the change as one gesture.
void notifyChange(VSTGUI::CControl* control);

}  // namespace orvane
