// The needle of view A of the VU panel, measured on two shots of the editor
// (Windows' window or the native X11 one): where the pixels that got darker
// lie, seen from the pivot.
#pragma once

#include <cmath>
#include <cstdint>

#include "tools/vsthost/VstHost.h"

namespace plugin_test {

// The needle's angle in view A of the VU panel, from what changed between a
// shot at rest and one with the needle up: the pixels that got darker,
// between the pivot's hub and the printed ticks, weighted by how much.
inline double needleAngleFromPixels(const vsthost::Image& rest, const vsthost::Image& up) {
  const double px = 12 + 128 + 0.5, py = 18 + 155 + 0.5;
  double sum = 0, weight = 0;
  for (int y = 18; y < 18 + 116; ++y)
    for (int x = 12; x < 12 + 250; ++x) {
      if (x >= 12 + 181 && x < 12 + 201 && y >= 18 + 90 && y < 18 + 110) continue;  // the LED
      const double dx = x + 0.5 - px, dy = py - (y + 0.5);
      const double radius = std::sqrt(dx * dx + dy * dy);
      if (radius < 50 || radius > 108) continue;
      const uint8_t* a = &rest.bgra[(size_t(y) * rest.width + x) * 4];
      const uint8_t* b = &up.bgra[(size_t(y) * up.width + x) * 4];
      const int darker = (a[0] + a[1] + a[2]) - (b[0] + b[1] + b[2]);
      if (darker < 60) continue;
      const double degrees = std::atan2(dy, dx) * 180.0 / 3.14159265358979323846;
      if (degrees > 134) continue;  // the needle that left its rest
      sum += degrees * darker;
      weight += darker;
    }
  return weight > 0 ? sum / weight : -1;
}

}  // namespace plugin_test
