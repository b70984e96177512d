// The two small bases that run through the window's controls: the hint
// mixin, which tells the window's hint line what the control under the
// mouse does, and the marker of the controls that can be made inactive
// (shown, but deaf to the mouse, explaining what to do instead).
#pragma once

#include <cstdint>

class CHelpHintLabel;

class CZELHintControl {
 public:
  CZELHintControl() = default;
  virtual ~CZELHintControl() = default;

  // The hint line of the panel the control sits on; the control does not
  // own it (the line lives as long as the window).
  virtual void setHintLabel(CHelpHintLabel* label) { hintLabel = label; }
  // Puts the hint for (tag, value, sub-position) on the line, when there
  // is one.
  virtual void showHint(int32_t tag, float value, int32_t* sub = nullptr);
  // Empties the line.
  virtual void clearHint();

  CHelpHintLabel* getHintLabel() const { return hintLabel; }

 protected:
  CHelpHintLabel* hintLabel = nullptr;
};

// Controls with an active state keep their own `active` flag (1 active,
// 0 inactive); this base only marks them.
class CZELActiveControl {
 public:
  virtual ~CZELActiveControl() = default;
};
