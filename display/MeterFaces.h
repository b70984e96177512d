// Where each meter's needles turn and how far they reach, in the units of
// the meter view's own top-left corner, and where a full panel puts its two
// views. The views are built from these numbers, and whatever has to find a
// needle on screen (the window tests) reads them here, so the two cannot
// drift apart. Plain numbers, no toolkit.
#pragma once

namespace orvane {

struct MeterFace {
  double width, height;
  // The pivot lies below the view: the needles' feet are hidden.
  double pivotX, pivotY;
  // The needle, and the hold mark, from and to these distances from the pivot.
  float needleInner, needleOuter;
  float holdInner, holdOuter;
  // The over LED's top-left corner; it is kLedSize square.
  double ledX, ledY;
};

constexpr double kLedSize = 20;

constexpr MeterFace kVuFace = {250, 122, 128, 155, 3, 134, 121, 134, 181, 90};
constexpr MeterFace kPpmFace = {250, 116, 126, 149.8, 3, 121, 108, 121, 210, 14};
// The RMS peak needle's red tip runs from needleOuter back to holdInner.
constexpr MeterFace kRmsFace = {250, 116, 126, 149.8, 3, 120, 103, 120, 210, 14};

// The two views' top-left corners in a full panel, channel A then B.
constexpr double kViewX[2] = {12, 277};
constexpr double kViewY = 18;

}  // namespace orvane
