// The angle maps at the ends of each scale and at the marks a user reads
// first; the expected angles are worked out by hand from the scale layouts
// (VU 0 at 136.5, RMS 0 dB at 38.96 + 99.12 x 6/46, PPM 3.75 degrees a dB).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "display/NeedleAngles.h"

using namespace orvane;

namespace {

struct Case {
  const char* what;
  double (*map)(double);
  double value;
  double degrees;
};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

const Case kCases[] = {
    {"VU rest, just left of zero", vuNeedleAngle, -0.05, 139.659722},
    {"VU zero", vuNeedleAngle, 0.0, 136.5},
    {"VU reference", vuNeedleAngle, 1.0, 77.750199},
    {"VU +3.2", vuNeedleAngle, 1.44, 45.5},
    {"VU end of travel", vuNeedleAngle, 1.5, 40.931248},
    {"VU below rest stays at rest", vuNeedleAngle, -3.0, 139.659722},
    {"VU beyond travel stays at the end", vuNeedleAngle, 40.0, 40.931248},
    {"VU not a number rests", vuNeedleAngle, kNaN, 139.659722},
    {"PPM floor at the low stop", ppmNeedleAngle, 0.0001, 150.0},
    {"PPM reference", ppmNeedleAngle, 1.0, 89.691001},
    {"PPM +8 dB", ppmNeedleAngle, 2.5118864315, 59.691001},
    {"PPM top at the high stop", ppmNeedleAngle, 32.0, 30.0},
    {"PPM zero at the low stop", ppmNeedleAngle, 0.0, 150.0},
    {"PPM negative at the low stop", ppmNeedleAngle, -1.0, 150.0},
    {"PPM not a number at the low stop", ppmNeedleAngle, kNaN, 150.0},
    {"PPM infinity at the high stop", ppmNeedleAngle, kInf, 30.0},
    {"RMS floor at the low stop", rmsNeedleAngle, 0.0001, 145.0},
    {"RMS 0 dB", rmsNeedleAngle, 1.0, 51.888696},
    {"RMS -20 dB", rmsNeedleAngle, 0.1, 94.984348},
    {"RMS -40 dB", rmsNeedleAngle, 0.01, 138.08},
    {"RMS -60 dB, squeezed", rmsNeedleAngle, 0.001, 143.747078},
    {"RMS zero at the low stop", rmsNeedleAngle, 0.0, 145.0},
    {"RMS not a number at the low stop", rmsNeedleAngle, kNaN, 145.0},
    {"RMS infinity at the high stop", rmsNeedleAngle, kInf, 34.0},
};

}  // namespace

TEST(NeedleAngles, EdgeAndMarkValuesLieWhereTheScalesPrintThem) {
  for (const Case& c : kCases) {
    const double a = c.map(c.value);
    ASSERT_FALSE(std::isnan(a)) << c.what;
    // The dB value of the RMS scale is kept in single precision.
    EXPECT_NEAR(a, c.degrees, 2e-4) << c.what;
  }
}

TEST(NeedleAngles, EveryMapTurnsRightAsTheReadingRises) {
  double last[3] = {1e9, 1e9, 1e9};
  for (double db = -90; db <= 32; db += 0.25) {
    const double v = std::pow(10.0, db / 20.0);
    const double a[3] = {vuNeedleAngle(v), ppmNeedleAngle(v), rmsNeedleAngle(v)};
    for (int i = 0; i < 3; ++i) {
      EXPECT_LE(a[i], last[i]) << i << " at " << db << " dB";
      last[i] = a[i];
    }
  }
}

TEST(NeedleAngles, NeedlePointsTurnAnticlockwiseFromTheRightWithYDown) {
  // The VU pivot of the left view and its outer radius.
  NeedlePoint up = needlePoint(140, 173, 90, 134);
  EXPECT_NEAR(up.x, 140.5, 1e-9);
  EXPECT_NEAR(up.y, 173.5 - 134, 1e-9);
  NeedlePoint right = needlePoint(140, 173, 0, 10);
  EXPECT_NEAR(right.x, 150.5, 1e-9);
  EXPECT_NEAR(right.y, 173.5, 1e-9);
  NeedlePoint left = needlePoint(0, 0, 135, std::sqrt(2.0));
  EXPECT_NEAR(left.x, -0.5, 1e-9);
  EXPECT_NEAR(left.y, -0.5, 1e-9);
}
