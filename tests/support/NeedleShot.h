// The needle of view A of a meter panel, measured on two shots of the editor
// (Windows' window or the native X11 one): where the pixels that changed
// lie, seen from the pivot.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "display/MeterFaces.h"
#include "tools/vsthost/VstHost.h"

namespace plugin_test {

// The needle's angle in view A of a meter panel, from what changed between a
// shot at rest and one with the needle up: the pixels that got darker or
// lighter, between the pivot's hub and the hold mark, weighted by how much.
// What lies within a few degrees of the rest angle is the needle that left
// it. The shots are `scale` pixels per unit of the layout.
inline double needleAngleFromPixels(const vsthost::Image& rest, const vsthost::Image& up, const orvane::MeterFace& face,
                             double restAngle, double scale = 1.0) {
  const double left = orvane::kViewX[0], top = orvane::kViewY;
  const double px = (left + face.pivotX + 0.5) * scale, py = (top + face.pivotY + 0.5) * scale;
  const double ledX = left + face.ledX, ledY = top + face.ledY;
  double sum = 0, weight = 0;
  const auto units = [scale](int pixel) { return (pixel + 0.5) / scale; };
  for (int y = int(top * scale); y < int((top + face.height) * scale) && y < up.height; ++y)
    for (int x = int(left * scale); x < int((left + face.width) * scale) && x < up.width; ++x) {
      if (units(x) >= ledX && units(x) < ledX + orvane::kLedSize && units(y) >= ledY &&
          units(y) < ledY + orvane::kLedSize)
        continue;
      const double dx = x + 0.5 - px, dy = py - (y + 0.5);
      const double radius = std::sqrt(dx * dx + dy * dy) / scale;
      if (radius < 50 || radius > face.holdInner - 12) continue;
      const uint8_t* a = &rest.bgra[(size_t(y) * rest.width + x) * 4];
      const uint8_t* b = &up.bgra[(size_t(y) * up.width + x) * 4];
      const int changed = std::abs((a[0] + a[1] + a[2]) - (b[0] + b[1] + b[2]));
      if (changed < 60) continue;
      const double degrees = std::atan2(dy, dx) * 180.0 / 3.14159265358979323846;
      if (degrees > restAngle - 5) continue;
      sum += degrees * changed;
      weight += changed;
    }
  return weight > 0 ? sum / weight : -1;
}

}  // namespace plugin_test
