// orvane-peak-tables: prints meters/PeakTables.cpp, the interpolator tables of
// the precise mode's peak detector.
//
//   orvane-peak-tables > meters/PeakTables.cpp
//
// Both designs are windowed sincs with the cut-off at the input's Nyquist
// frequency, read at fractional positions in the middle of a 64-sample window
// (w[0] oldest .. w[63] newest). A tap k of a table for position p is
//   sinc(d) * window(d),  d = k - p,  sinc(d) = sin(pi d) / (pi d),
// and the taps are not renormalised: the window alone keeps the DC gain
// within a few parts per million of 1, which is closer than any meter can
// show, and leaving the sum alone keeps the taps the plain values of the
// design.
//
// 4x (rates below 88.2 kHz). A Hann window reaching zero at d = +-32, i.e. a
// 257-tap low-pass at four times the rate whose three fractional phases we
// keep (the fourth phase, at whole samples, is the input itself):
//   window(d) = cos^2(pi d / 64)
//   h1 at p = 31.75 (a quarter sample before w[32]), h2 at p = 31.5,
//   h3 at p = 31.25, built as h1 reversed so the mirror is exact.
// Why Hann: at 44.1 kHz the audio band reaches 0.4535 of the rate, so the
// interpolator needs the narrowest transition a 64-tap window gives. Hann's
// main lobe is the narrowest of the smooth windows; its -31 dB side lobes
// only let a little of the image band through, which for a peak read-out
// (not a resampler) costs nothing audible. The pass band stays within 0.04 dB
// to 20 kHz at 44.1 kHz. The design gives h2's centre taps 0.636236 and h1's
// largest taps 0.900181 (k = 32) and 0.299699 (k = 31).
//
// 2x (88.2 up to 176.4 kHz). A 4-term Blackman-Harris window that reaches
// its end value at d = +-32, i.e. the odd half of a 129-tap half-band
// low-pass at twice the rate:
//   window(d) = 0.35875 + 0.48829 cos(pi d/32) + 0.14128 cos(2 pi d/32)
//               + 0.01168 cos(3 pi d/32)
//   g at p = 31.5, symmetric.
// Why Blackman-Harris: at these rates the audio band ends below a quarter of
// the rate, so a wide transition costs nothing and the -92 dB side lobes keep
// ultrasonic content from bending the reading. It gives g the centre taps
// 0.6357317598066 and the end taps -9.527392564188e-7.
//
// Before printing, the program checks that its tables still have those
// quoted values and unity gain at DC (within 0.00001), and refuses (exit 1)
// if not; the symmetries hold by construction.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace {

constexpr int kTaps = 64;
constexpr double kPi = 3.14159265358979323846;

// sin(pi x) with the argument folded to |x| <= 0.5 first, so the quarter and
// half positions come out as exactly as libm can give them.
double sinPi(double x) {
  double r = std::fmod(x, 2.0);  // -2 < r < 2
  if (r > 1.0) r -= 2.0;
  if (r < -1.0) r += 2.0;        // -1 <= r <= 1
  if (r > 0.5) r = 1.0 - r;      // sin(pi r) = sin(pi (1 - r))
  if (r < -0.5) r = -1.0 - r;
  return std::sin(kPi * r);
}

double sinc(double d) { return d == 0.0 ? 1.0 : sinPi(d) / (kPi * d); }

double hann(double d) {
  double c = std::cos(kPi * d / 64.0);
  return c * c;
}

double blackmanHarris(double d) {
  double x = kPi * d / 32.0;
  return 0.35875 + 0.48829 * std::cos(x) + 0.14128 * std::cos(2.0 * x) +
         0.01168 * std::cos(3.0 * x);
}

struct Tables {
  double h1[kTaps], h2[kTaps], h3[kTaps], g[kTaps];
};

void design(Tables& t) {
  for (int k = 0; k < kTaps; ++k) {
    double d = k - 31.75;
    t.h1[k] = sinc(d) * hann(d);
  }
  for (int k = 0; k < kTaps; ++k) t.h3[k] = t.h1[kTaps - 1 - k];
  // The symmetric tables are computed for one half and mirrored, so their
  // symmetry holds bit for bit.
  for (int k = 0; k < kTaps / 2; ++k) {
    double d = k - 31.5;
    t.h2[k] = t.h2[kTaps - 1 - k] = sinc(d) * hann(d);
    t.g[k] = t.g[kTaps - 1 - k] = sinc(d) * blackmanHarris(d);
  }
}

double sum(const double* h) {
  double s = 0.0;
  for (int k = 0; k < kTaps; ++k) s += h[k];
  return s;
}

// `quoted` is given to `digits` significant digits.
bool matches(double value, double quoted, int digits) {
  double unit = std::pow(10.0, std::floor(std::log10(std::fabs(quoted))) - digits + 1);
  return std::fabs(value - quoted) <= 0.5 * unit;
}

bool check(const Tables& t) {
  bool ok = true;
  auto expect = [&ok](bool c, const char* what) {
    if (!c) {
      std::fprintf(stderr, "orvane-peak-tables: %s\n", what);
      ok = false;
    }
  };
  expect(matches(t.h1[32], 0.900181, 6), "h1[32] is not 0.900181");
  expect(matches(t.h1[31], 0.299699, 6), "h1[31] is not 0.299699");
  expect(matches(t.h2[31], 0.636236, 6), "h2's centre taps are not 0.636236");
  expect(matches(t.g[31], 0.6357317598066, 13), "g's centre taps are not 0.6357317598066");
  expect(matches(t.g[0], -9.527392564188e-7, 13), "g's end taps are not -9.527392564188e-7");
  for (const double* h : {t.h1, t.h2, t.h3})
    expect(std::fabs(sum(h) - 1.0) <= 1e-5, "a 4x phase does not sum to 1 within 0.00001");
  expect(std::fabs(sum(t.g) - 1.0) <= 1e-5, "g does not sum to 1 within 0.00001");
  return ok;
}

void print(const char* name, const char* comment, const double* h) {
  std::printf("\n// %s\nalignas(32) const double %s[64] = {\n", comment, name);
  for (int k = 0; k < kTaps; k += 4)
    std::printf("    %.17g, %.17g, %.17g, %.17g,\n", h[k], h[k + 1], h[k + 2], h[k + 3]);
  std::printf("};\n");
}

void printHalf(const char* name, const char* comment, const double* h) {
  std::printf("\n// %s\nalignas(32) const double %s[32] = {\n", comment, name);
  for (int k = 0; k < kTaps / 2; k += 4)
    std::printf("    %.17g, %.17g, %.17g, %.17g,\n", h[k], h[k + 1], h[k + 2], h[k + 3]);
  std::printf("};\n");
}

}  // namespace

int main() {
  Tables t;
  design(t);
  if (!check(t)) return EXIT_FAILURE;
  std::printf(
      "// Generated by orvane-peak-tables (tools/peak-tables/GeneratePeakTables.cpp); do not edit.\n"
      "// The interpolator tables of the precise mode's peak detector. The design and\n"
      "// the reasons for it are in the generator.\n"
      "#include \"meters/PeakDetector.h\"\n"
      "\n"
      "namespace orvane {\n");
  print("kPeakPhase1", "h1: Hann-windowed sinc, a quarter sample before w[32] (position 31.75)", t.h1);
  print("kPeakPhase2", "h2: Hann-windowed sinc, half-way between w[31] and w[32]", t.h2);
  print("kPeakPhase3", "h3: h1 reversed (position 31.25)", t.h3);
  print("kHalfSample", "g: Blackman-Harris-windowed sinc, half-way between w[31] and w[32]", t.g);
  // The detector's kernels use h3 = h1 reversed to halve their work: with
  // s = w[k] + w[63-k] and d = w[k] - w[63-k] (k < 32), y1 = sum(E s + O d)
  // and y3 = sum(E s - O d).
  double even[kTaps / 2], odd[kTaps / 2];
  for (int k = 0; k < kTaps / 2; ++k) {
    even[k] = (t.h1[k] + t.h3[k]) * 0.5;
    odd[k] = (t.h1[k] - t.h3[k]) * 0.5;
  }
  printHalf("kPeakPhase1Even", "E: h1's even part, (h1[k] + h1[63-k]) / 2", even);
  printHalf("kPeakPhase1Odd", "O: h1's odd part, (h1[k] - h1[63-k]) / 2", odd);
  std::printf("\n}  // namespace orvane\n");
  return EXIT_SUCCESS;
}
