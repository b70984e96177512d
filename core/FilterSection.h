// One second-order (or one-pole) recursive section of the strip filters.
//
// Coefficients and state are double so that a 10 Hz corner at 192 kHz (pole
// radius within 3e-4 of the unit circle) keeps its shape; samples enter and
// leave as float, the way the host hands them over.
#pragma once

#include <complex>
#include <cstdint>

namespace orvane {

class FilterSection {
 public:
  enum Type : int {
    kNone = 0,            // the section does nothing at all
    kHighPass = 1,        // high-pass biquad
    kLowPass = 8,         // low-pass biquad
    kOnePoleLowPass = 9,  // one-pole low-pass, 6 dB/oct
  };

  // Limits of the setters.
  static constexpr double kMinRate = 20000.0;
  static constexpr double kMaxRate = 400000.0;
  static constexpr double kFallbackRate = 44100.0;
  static constexpr double kMinFrequency = 0.001;
  static constexpr double kMinQ = 0.0001;
  static constexpr double kMaxQ = 1000.0;
  // Added and taken away again after every output value: anything smaller
  // than about 1e-46 rounds to exactly zero, so a decaying tail ends in zero
  // instead of crawling through the slow denormal range.
  static constexpr double kDenormalGuard = 1e-30;

  FilterSection() = default;

  // A rate outside 20 kHz .. 400 kHz (NaN included) is taken as 44.1 kHz.
  void setSampleRate(double rate);
  // An unknown type is taken as kNone.
  void setType(int type);
  // Limited to 0.001 Hz .. the section rate (NaN gives the lower limit).
  void setFrequency(double hz);
  // Limited to 0.0001 .. 1000 (NaN gives the lower limit).
  void setQ(double q);
  // Any non-zero value enables; only a change recomputes.
  void setEnabled(int on);

  // Zeroes x1, x2, y1, y2.
  void clear() { x1 = x2 = y1 = y2 = 0.0; }
  bool stateIsFinite() const;

  // Runs the section over n samples in place, one sample after the other.
  // A disabled section zeroes its state and leaves the samples untouched.
  void process(float* samples, int32_t n);

  // One step of the recursion, exactly as process() runs it.
  double tick(double x) {
    double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    y = (y + kDenormalGuard) - kDenormalGuard;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }

  // The transfer function of the current coefficients at `hz`
  // (1 for a disabled section or one of type kNone).
  std::complex<double> responseAt(double hz) const;

  double sampleRate() const { return rate_; }
  int type() const { return type_; }
  double frequency() const { return frequency_; }
  double q() const { return q_; }
  int enabled() const { return enabled_; }

  // Coefficients, normalised so that the recursion reads
  // y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2; a0 keeps the normaliser
  // (1 + alpha) of the biquads for reference.
  double a0 = 1.0, a1 = 0.0, a2 = 0.0, b0 = 1.0, b1 = 0.0, b2 = 0.0;
  // State: the last two inputs and outputs.
  double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;

 private:
  void computeCoefficients();

  double rate_ = kFallbackRate;
  int type_ = kNone;
  double frequency_ = 1000.0;
  double q_ = 0.5;
  int enabled_ = 0;
};

}  // namespace orvane
