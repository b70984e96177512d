#include "controls/CHelpHintLabel.h"

#include <cmath>

using namespace VSTGUI;

namespace {

// Every hint of the window but the meter selector's. A control whose state
// changes what a click would do has two texts: the first while its value
// is 0.5 or less (off), the second above.
struct HintEntry {
  int32_t firstTag;
  int32_t lastTag;
  const char* text;
  const char* textWhenOn;
};

constexpr HintEntry kHints[] = {
    {0, 0, "Activates the Trim and FILTERS", nullptr},
    {1, 1, "Click PROCESS to activate the Trim", nullptr},
    {68, 68, "Click PROCESS to activate the Trim", nullptr},
    {6, 6, "Shows Strips", "Hides Strips"},
    {7, 7, "Opens FILTERS editor", "Closes FILTERS editor"},
    {8, 14, "Click PROCESS to activate FILTERS", nullptr},
    {70, 71, "Click PROCESS to activate FILTERS", nullptr},
    {15, 15, "Opens LABEL editor", "Closes LABEL editor"},
    {72, 72, "Click and drag to adjust RMS reference level", nullptr},
    {83, 83, "Click and drag to adjust VU reference level", nullptr},
    {93, 93, "Click and drag to adjust PPM reference level", nullptr},
    {121, 121, "Click to open the manual", nullptr},
};

constexpr int32_t kMeterSelectorTag = 3;

// The meter a click in a zone of the selector would bring, by the meter on
// show now (0 VU, 1 RMS, 2 PPM): left goes back, right goes on, both wrap.
constexpr const char* kMeterHints[2][3] = {
    {"Changes current meter to PPM3", "Changes current meter to VU3", "Changes current meter to RMS3"},
    {"Changes current meter to RMS3", "Changes current meter to PPM3", "Changes current meter to VU3"},
};

}  // namespace

CHelpHintLabel::CHelpHintLabel(const CRect& size, UTF8StringPtr txt, CBitmap* background, const int32_t style)
    : CTextLabel(size, txt, background, style) {
  setFont(kNormalFontVerySmall);
  setFontColor(CColor(220, 213, 213, 255));
  setBackColor(CColor(0, 0, 0, 0));
  setFrameColor(CColor(0, 0, 0, 0));
  setHoriAlign(kCenterText);
  setTransparency(true);
}

UTF8StringPtr CHelpHintLabel::hintText(int32_t tag, float value, const int32_t* sub) {
  if (tag == kMeterSelectorTag) {
    if (std::isnan(value)) return nullptr;
    double index = std::trunc(static_cast<double>(value) * 2 + 0.5);
    if (index < 0 || index > 2) return nullptr;
    int32_t zone = sub ? *sub : 2;
    if (zone != 0 && zone != 1) return "";
    return kMeterHints[zone][static_cast<int32_t>(index)];
  }
  for (const HintEntry& e : kHints) {
    if (tag < e.firstTag || tag > e.lastTag) continue;
    bool on = e.textWhenOn && value > 0.5f;  // NaN: off
    return on ? e.textWhenOn : e.text;
  }
  return "";
}

void CHelpHintLabel::showHint(int32_t tag, float value, int32_t* sub) {
  if (UTF8StringPtr text = hintText(tag, value, sub)) setText(text);
  setDirty(true);
}

void CZELHintControl::showHint(int32_t tag, float value, int32_t* sub) {
  if (hintLabel) hintLabel->showHint(tag, value, sub);
}

void CZELHintControl::clearHint() {
  if (!hintLabel) return;
  hintLabel->setText("");
  hintLabel->setDirty(true);
}
