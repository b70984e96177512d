#include "meters/NeedleFilter.h"

#include <cmath>

namespace orvane {
namespace {
constexpr double kPi = 3.14159265358979323846;
}

void NeedleSection::design() {
  if (frequency > sampleRate * 0.499) frequency = sampleRate * 0.499;
  // Near the Nyquist frequency a low-pass of the model's Q would peak; the
  // eighth power leaves every practical needle frequency untouched.
  const double g = std::pow(frequency / (sampleRate * 0.50001), 8.0);
  const double qEased = (1.0 - g) * q;
  const double w0 = 2.0 * kPi * frequency / sampleRate;
  const double alpha = std::sin(w0) / (2.0 * qEased);
  const double cosw = std::cos(w0);
  a0 = 1.0 + alpha;
  a1 = -2.0 * cosw / a0;
  a2 = (1.0 - alpha) / a0;
  b0 = (1.0 - cosw) / 2.0 / a0;
  b2 = b0;
  b1 = (1.0 - cosw) / a0;
}

NeedleModel needleModel(int type, double modelMs) {
  // 857.6 = 0.64 * 1000 * 1.34: the coil's natural frequency for a model
  // time of 1 ms; type B's heavier damping needs a slightly lower one.
  if (type == 0) return {857.6 / (modelMs * 310.0 / 300.0), 0.68, 0.55};
  return {857.6 / (modelMs * 350.0 / 300.0), 0.85, 0.43};
}

void NeedleDesign::design(const NeedleModel& model, double sampleRate) {
  for (int i = 0; i < kNeedleSections; ++i) {
    NeedleSection& s = section[i];
    s.sampleRate = sampleRate;
    s.frequency = model.frequency;
    s.q = model.qStart - i * (model.qStart - model.qEnd) / 15.0;
    s.design();
  }
}

void NeedleMailbox::publish(const NeedleDesign& design) {
  const unsigned start = sequence_.load(std::memory_order_relaxed);
  sequence_.store(start + 1, std::memory_order_relaxed);  // odd: being written
  std::atomic_thread_fence(std::memory_order_release);
  for (int i = 0; i < kNeedleSections; ++i) {
    const NeedleSection& s = design.section[i];
    values_[i * 5 + 0].store(s.b0, std::memory_order_relaxed);
    values_[i * 5 + 1].store(s.b1, std::memory_order_relaxed);
    values_[i * 5 + 2].store(s.b2, std::memory_order_relaxed);
    values_[i * 5 + 3].store(s.a1, std::memory_order_relaxed);
    values_[i * 5 + 4].store(s.a2, std::memory_order_relaxed);
  }
  sequence_.store(start + 2, std::memory_order_release);
}

bool NeedleMailbox::take(unsigned& seen, Coefficients (&out)[kNeedleSections]) const {
  const unsigned before = sequence_.load(std::memory_order_acquire);
  if (before == seen || (before & 1u)) return false;
  Coefficients copy[kNeedleSections];
  for (int i = 0; i < kNeedleSections; ++i) {
    copy[i].b0 = values_[i * 5 + 0].load(std::memory_order_relaxed);
    copy[i].b1 = values_[i * 5 + 1].load(std::memory_order_relaxed);
    copy[i].b2 = values_[i * 5 + 2].load(std::memory_order_relaxed);
    copy[i].a1 = values_[i * 5 + 3].load(std::memory_order_relaxed);
    copy[i].a2 = values_[i * 5 + 4].load(std::memory_order_relaxed);
  }
  std::atomic_thread_fence(std::memory_order_acquire);
  if (sequence_.load(std::memory_order_relaxed) != before) return false;  // torn: next block
  for (int i = 0; i < kNeedleSections; ++i) out[i] = copy[i];
  seen = before;
  return true;
}

NeedleFilterBank::NeedleFilterBank() {
  for (int i = 0; i < kNeedleSections; ++i) {
    coefficients_[i] = {0.0, 0.0, 0.0, 0.0, 0.0};
    offset_[i] = offsetMagnitude_;
  }
}

void NeedleFilterBank::adopt(const NeedleMailbox::Coefficients (&coefficients)[kNeedleSections]) {
  offsetMagnitude_ = 1e-12;
  for (int i = 0; i < kNeedleSections; ++i) {
    coefficients_[i] = coefficients[i];
    offset_[i] = std::copysign(offsetMagnitude_, offset_[i]);
  }
  if (current_ != 0) {
    saved_[current_] = live_;
    live_ = saved_[0];
    current_ = 0;
  }
}

void NeedleFilterBank::clearState() {
  for (State& s : saved_) s = State();
  live_ = State();
}

}  // namespace orvane
