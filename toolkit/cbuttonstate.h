// The mouse buttons and modifier keys of one mouse event.
#pragma once

#include <cstdint>

namespace VSTGUI {

enum CButton : int32_t {
  kLButton = 1 << 1,
  kMButton = 1 << 2,
  kRButton = 1 << 3,
  kShift = 1 << 4,
  kControl = 1 << 5,
  kAlt = 1 << 6,
  kApple = 1 << 7,
  kButton4 = 1 << 8,
  kButton5 = 1 << 9,
  kDoubleClick = 1 << 10,
};

// A click with this modifier puts a control back to its default value; the
// zoom modifier makes drags and wheel steps finer.
constexpr int32_t kDefaultValueModifier = kControl;
constexpr int32_t kZoomModifier = kShift;

class CButtonState {
 public:
  CButtonState(int32_t state = 0) : state(state) {}

  int32_t getButtonState() const { return state & (kLButton | kMButton | kRButton | kButton4 | kButton5); }
  int32_t getModifierState() const { return state & (kShift | kControl | kAlt | kApple); }
  bool isLeftButton() const { return (state & kLButton) != 0; }
  bool isRightButton() const { return (state & kRButton) != 0; }
  bool isDoubleClick() const { return (state & kDoubleClick) != 0; }
  int32_t operator()() const { return state; }
  int32_t operator&(int32_t mask) const { return state & mask; }
  int32_t operator|(int32_t mask) const { return state | mask; }
  bool operator==(const CButtonState& o) const { return state == o.state; }
  bool operator!=(const CButtonState& o) const { return state != o.state; }

 private:
  int32_t state;
};

enum CMouseEventResult {
  kMouseEventNotHandled = 0,
  kMouseEventHandled,
  kMouseEventNotImplemented,
  kMouseDownEventHandledButDontNeedMovedOrUpEvents,
  kMouseMoveEventHandledButDontNeedMoreEvents,
};

enum CMouseWheelAxis { kMouseWheelAxisX = 0, kMouseWheelAxisY };

}  // namespace VSTGUI
