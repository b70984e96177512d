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

NeedlePair::NeedlePair(NeedleFilterBank& a, NeedleFilterBank& b) : bank_{&a, &b} {
  const NeedleFilterBank::State& la = a.live_;
  const NeedleFilterBank::State& lb = b.live_;
  x1 = lanes(la.x1, lb.x1);
  x2 = lanes(la.x2, lb.x2);
  y0 = lanes(la.y0, lb.y0);
  y1 = lanes(la.y1, lb.y1);
  y2 = lanes(la.y2, lb.y2);
  current = _mm_set_epi32(0, 0, b.current_, a.current_);
  offset = lanes(a.offset_[a.current_], b.offset_[b.current_]);
  b0 = b1 = b2 = a1 = a2 = splat(0.0);
  loadSection(0, a.current_);
  loadSection(1, b.current_);
}

void NeedlePair::loadSection(int channel, int section) {
  const NeedleMailbox::Coefficients& k = bank_[channel]->coefficients_[section];
  const double o = bank_[channel]->offset_[section];
  auto set = [channel](Lanes& v, double value) { v = channel ? _mm_move_sd(splat(value), v) : _mm_move_sd(v, splat(value)); };
  set(b0, k.b0);
  set(b1, k.b1);
  set(b2, k.b2);
  set(a1, k.a1);
  set(a2, k.a2);
  set(offset, o);
}

void NeedlePair::moveTo(__m128i next) {
  alignas(16) int now[4], to[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(now), current);
  _mm_store_si128(reinterpret_cast<__m128i*>(to), next);
  for (int c = 0; c < 2; ++c) {
    if (to[c] == now[c]) continue;
    // The section we leave keeps the state it had (and its offset); the
    // next one continues from the state.
    NeedleFilterBank& bank = *bank_[c];
    auto lane = [c](Lanes v) { return c ? laneB(v) : laneA(v); };
    NeedleFilterBank::State& saved = bank.saved_[now[c]];
    saved.x1 = lane(x1);
    saved.x2 = lane(x2);
    saved.y0 = lane(y0);
    saved.y1 = lane(y1);
    saved.y2 = lane(y2);
    bank.offset_[now[c]] = lane(offset);
    loadSection(c, to[c]);
  }
  current = _mm_set_epi32(0, 0, to[1], to[0]);
}

void NeedlePair::park() const {
  alignas(16) int now[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(now), current);
  for (int c = 0; c < 2; ++c) {
    NeedleFilterBank& bank = *bank_[c];
    auto lane = [c](Lanes v) { return c ? laneB(v) : laneA(v); };
    bank.live_.x1 = lane(x1);
    bank.live_.x2 = lane(x2);
    bank.live_.y0 = lane(y0);
    bank.live_.y1 = lane(y1);
    bank.live_.y2 = lane(y2);
    bank.current_ = now[c];
    bank.offset_[now[c]] = lane(offset);
  }
}

}  // namespace orvane
