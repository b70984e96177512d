// The VU meter's moving coil: a second-order low-pass whose damping changes
// with the needle's own position. Sixteen sections share the needle's
// frequency and step their Q from the damping at rest to the damping at
// full scale; each sample runs the section that matches where the needle
// stands, and the needle's state moves with it to the next section.
#pragma once

#include <atomic>

namespace orvane {

constexpr int kNeedleSections = 16;

// One second-order low-pass section's design.
struct NeedleSection {
  double sampleRate = 44100.0;
  double frequency = 1.0;  // Hz
  double q = 0.707;
  double a0 = 1.0, a1 = 0.0, a2 = 0.0, b0 = 0.0, b1 = 0.0, b2 = 0.0;

  // Recomputes the normalised coefficients from sampleRate, frequency, q.
  // The frequency stays below 0.499 of the rate (and the stored frequency
  // changes with it); the damping is eased near the Nyquist frequency so
  // the section stays stable there.
  void design();
};

// The needle model's constants for one integration time and type.
struct NeedleModel {
  double frequency;  // Hz
  double qStart;     // damping with the needle at rest
  double qEnd;       // damping at full scale
};
// T: the model's integration time in ms (1.167 times the nominal time).
// Type 0 (A) overshoots slightly and settles fast; type 1 (B) is heavier.
NeedleModel needleModel(int type, double modelMs);

// The sixteen sections of one model at one sample rate: section i has
// Q = qStart - i * (qStart - qEnd) / 15.
struct NeedleDesign {
  NeedleSection section[kNeedleSections];
  void design(const NeedleModel& model, double sampleRate);
};

// The coefficients the audio thread uses, as they travel from the editor's
// thread to the audio thread: the editor publishes a whole design, the
// audio thread takes it at the start of its next block only if it read it
// untorn, and otherwise tries again at the next block.
class NeedleMailbox {
 public:
  struct Coefficients {
    double b0, b1, b2, a1, a2;
  };
  void publish(const NeedleDesign& design);
  // True when a design newer than `seen` was taken into `out`.
  bool take(unsigned& seen, Coefficients (&out)[kNeedleSections]) const;

 private:
  std::atomic<unsigned> sequence_{0};
  std::atomic<double> values_[kNeedleSections * 5] = {};
};

// One channel's needle.
class NeedleFilterBank {
 public:
  NeedleFilterBank();

  // Adopts new coefficients: the offsets take their designed size, and the
  // needle continues from section 0 with the state section 0 was left in.
  void adopt(const NeedleMailbox::Coefficients (&coefficients)[kNeedleSections]);
  // Zeroes every section's state (a needle that went NaN starts over).
  void clearState();

  // The running state of the current section. A block keeps it in a local
  // and steps with step(x, live), so it stays in registers instead of
  // travelling through memory on every sample.
  struct State {
    double x1 = 0, x2 = 0, y0 = 0, y1 = 0, y2 = 0;
  };
  const State& live() const { return live_; }
  void setLive(const State& live) { live_ = live; }

  // One sample: runs the current section, answers the needle position in
  // single precision, not limited, and moves to the section of that
  // position. A reading above 1 keeps using the last section.
  double step(double x) { return step(x, live_); }
  double step(double x, State& live) {
    // Each section adds its own tiny offset, alternating in sign on every
    // call, so its state never sinks into denormal numbers.
    const double offset = -offset_[current_];
    offset_[current_] = offset;
    const double xs = x + offset;
    const NeedleMailbox::Coefficients& k = coefficients_[current_];
    const double y = k.b0 * xs + k.b1 * live.x1 + k.b2 * live.x2 - k.a1 * live.y1 - k.a2 * live.y2;
    live.x2 = live.x1;
    live.x1 = xs;
    live.y2 = live.y1;
    live.y1 = y + offset;
    live.y0 = y;
    const float yf = static_cast<float>(y);
    // Written so that NaN lands on section 0 rather than on a wild index.
    const float p = yf > 0.0f ? (yf < 1.0f ? yf : 1.0f) : 0.0f;
    const int next = static_cast<int>(15.0f * p + 0.5f);
    if (next != current_) {
      // The section we leave keeps the state it had; the next one
      // continues from it.
      saved_[current_] = live;
      current_ = next;
    }
    return static_cast<double>(yf);
  }

  int currentSection() const { return current_; }
  // The state section i holds (the live one for the current section).
  double sectionY1(int i) const { return i == current_ ? live_.y1 : saved_[i].y1; }
  double offsetMagnitude() const { return offsetMagnitude_; }

 private:
  NeedleMailbox::Coefficients coefficients_[kNeedleSections];
  double offset_[kNeedleSections];
  double offsetMagnitude_ = 1e-14;
  State saved_[kNeedleSections];
  State live_;
  int current_ = 0;
};

}  // namespace orvane
