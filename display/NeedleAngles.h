// The needle angle of every meter reading, shared by the meter views and the
// artwork generator that prints the scales: a tick and the needle for the
// same value come from the same function and can never disagree.
//
// Angles are in degrees, anticlockwise from the positive x axis, with the
// pivot below the face: larger readings turn the needle to the right, to
// smaller angles. Readings are linear amplitudes relative to the meter's
// reference (1.0 is the reference level). Pure functions, no toolkit.
#pragma once

#include <cmath>

namespace orvane {

// VU: the scale of a moving coil, slightly stretched at the top end by the
// 1.2 power; 0 sits at 136.5 degrees and +3 VU (1.44) at 45.5 degrees. The
// needle's travel ends at the rest stop (-0.05) and at 1.5, so readings
// outside are drawn at the nearer end; a reading that is not a number rests.
inline double vuNeedleAngle(double v) {
  if (!(v >= -0.05)) v = -0.05;  // also a NaN
  if (v > 1.5) v = 1.5;
  const double m = v > 0 ? std::pow(v / 1.44, 1.2) : v / 1.44;
  return 136.5 - 91.0 * m;
}

// PPM: 3.75 degrees per dB, the reference (1.0) at 89.7 degrees, between
// the stops at 150 (low) and 30 (high) degrees. Nothing, or a value that is
// not a number, lies at the low stop.
inline double ppmNeedleAngle(double v) {
  if (!(v > 0)) return 150.0;
  const double d = 20.0 * std::log10(16.0 * v);
  double a = 180.0 - d * 180.0 / 48.0;
  if (!(a <= 150.0)) a = 150.0;
  if (a < 30.0) a = 30.0;
  return a;
}

// RMS: -40 dB at 138.08 degrees, +6 dB at 38.96 degrees, linear in dB in
// between; below -40 dB the scale is squeezed tenfold, blending back to the
// plain dB value as the reading nears -40 dB. The dB value is kept in single
// precision, as the meter has always drawn it. Stops at 145 and 34 degrees.
inline double rmsNeedleAngle(double v) {
  if (!(v > 0)) return 145.0;
  float d = float(20.0 * std::log10(v));
  if (d < -40.0f) {
    const double t = 35.0 * v;
    d = float(((d + 40.0) * 0.1 - 40.0) * (1.0 - t) + d * t);
  }
  double a = (1.0 - (d + 40.0) / 46.0) * (138.08 - 38.96) + 38.96;
  if (!(a <= 145.0)) a = 145.0;
  if (a < 34.0) a = 34.0;
  return a;
}

struct NeedlePoint {
  double x, y;
};

// The point at `radius` along a needle at `degrees` from the pivot. The half
// pixel puts integer pivots on pixel centres; screen y grows downwards.
inline NeedlePoint needlePoint(double pivotX, double pivotY, double degrees, double radius) {
  const double t = degrees * 3.14159265358979323846 / 180.0;
  return {pivotX + 0.5 + radius * std::cos(t), pivotY + 0.5 - radius * std::sin(t)};
}

}  // namespace orvane
