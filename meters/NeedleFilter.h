// The VU meter's moving coil: a second-order low-pass whose damping changes
// with the needle's own position. Sixteen sections share the needle's
// frequency and step their Q from the damping at rest to the damping at
// full scale; each sample runs the section that matches where the needle
// stands, and the needle's state moves with it to the next section.
#pragma once

#include <atomic>

#include "meters/MeterLanes.h"

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

  // One sample: runs the current section, answers the needle position in
  // single precision, not limited, and moves to the section of that
  // position. A reading above 1 keeps using the last section. (A block
  // steps both channels at once through NeedlePair, which does the same.)
  double step(double x) {
    // Each section adds its own tiny offset, alternating in sign on every
    // call, so its state never sinks into denormal numbers.
    const double offset = -offset_[current_];
    offset_[current_] = offset;
    const double xs = x + offset;
    const NeedleMailbox::Coefficients& k = coefficients_[current_];
    const double y = k.b0 * xs + k.b1 * live_.x1 + k.b2 * live_.x2 - k.a1 * live_.y1 - k.a2 * live_.y2;
    live_.x2 = live_.x1;
    live_.x1 = xs;
    live_.y2 = live_.y1;
    live_.y1 = y + offset;
    live_.y0 = y;
    const float yf = static_cast<float>(y);
    // Written so that NaN lands on section 0 rather than on a wild index.
    const float p = yf > 0.0f ? (yf < 1.0f ? yf : 1.0f) : 0.0f;
    const int next = static_cast<int>(15.0f * p + 0.5f);
    if (next != current_) {
      // The section we leave keeps the state it had; the next one
      // continues from it.
      saved_[current_] = live_;
      current_ = next;
    }
    return static_cast<double>(yf);
  }

  int currentSection() const { return current_; }
  // The state section i holds (the live one for the current section).
  double sectionY1(int i) const { return i == current_ ? live_.y1 : saved_[i].y1; }
  double offsetMagnitude() const { return offsetMagnitude_; }

 private:
  friend class NeedlePair;
  struct State {
    double x1 = 0, x2 = 0, y0 = 0, y1 = 0, y2 = 0;
  };
  NeedleMailbox::Coefficients coefficients_[kNeedleSections];
  double offset_[kNeedleSections];
  double offsetMagnitude_ = 1e-14;
  State saved_[kNeedleSections];
  State live_;
  int current_ = 0;
};

// Both channels' needles stepped together, one channel per lane, for the
// length of a block: the running states, the current sections' offsets and
// coefficients stay in registers, and only a change of section (rare: the
// needle moves slowly) touches the banks. Every operation is the one
// NeedleFilterBank::step does, so each needle moves bit for bit as it would
// there. park() hands the state back to the banks.
class NeedlePair {
 public:
  NeedlePair(NeedleFilterBank& a, NeedleFilterBank& b);
  void park() const;

  Lanes step(Lanes x) {
    offset = _mm_xor_pd(offset, splat(-0.0));
    const Lanes xs = _mm_add_pd(x, offset);
    Lanes y = _mm_add_pd(_mm_mul_pd(b0, xs), _mm_mul_pd(b1, x1));
    y = _mm_add_pd(y, _mm_mul_pd(b2, x2));
    y = _mm_sub_pd(y, _mm_mul_pd(a1, y1));
    y = _mm_sub_pd(y, _mm_mul_pd(a2, y2));
    x2 = x1;
    x1 = xs;
    y2 = y1;
    y1 = _mm_add_pd(y, offset);
    y0 = y;
    const __m128 yf = _mm_cvtpd_ps(y);
    // max first, so that NaN lands on section 0 as in the bank.
    const __m128 p = _mm_min_ps(_mm_max_ps(yf, _mm_setzero_ps()), _mm_set1_ps(1.0f));
    const __m128i next = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(_mm_set1_ps(15.0f), p), _mm_set1_ps(0.5f)));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(next, current)) != 0xffff) moveTo(next);
    return _mm_cvtps_pd(yf);
  }

 private:
  void moveTo(__m128i next);
  void loadSection(int channel, int section);

  NeedleFilterBank* bank_[2];
  Lanes x1, x2, y0, y1, y2;
  Lanes offset;
  Lanes b0, b1, b2, a1, a2;
  __m128i current;  // the sections, in the two low 32-bit lanes
};

}  // namespace orvane
