// The front end every meter engine is built on: the LR/MS, Hold and
// LagTime inputs, the precise (inter-sample peak) mode, the mid/side matrix,
// rectification against the reference level, over counting and the display
// delay history. An engine owns one MeterCore and hands it a small block
// object with its own ballistics; run() is a template so those ballistics
// inline into the per-sample loop.
#pragma once

#include <cmath>
#include <cstdint>

#include "meters/MeterLanes.h"
#include "meters/MeterReadout.h"
#include "meters/PeakDetector.h"
#include "meters/Relaxed.h"

namespace orvane {

class MeterCore {
 public:

  MeterCore(int readingKinds, double restValue);

  MeterReadout& readout() { return readout_; }
  const MeterReadout& readout() const { return readout_; }

  // The effect's LR/MS (4), Hold (5) and LagTime (16) values, raw 0..1.
  void setLRMS(float raw);
  void setHold(float raw);
  void setLagTime(float raw);
  float lrmsRaw() const { return lrmsRaw_; }
  float holdRaw() const { return holdRaw_; }
  float lagRaw() const { return lagRaw_; }
  int msOn() const { return msOn_; }
  int holdMode() const { return readout_.holdMode(); }
  int lagMs() const { return readout_.lagMs(); }

  void setSampleRate(float sampleRate);
  float sampleRate() const { return sampleRate_; }
  int tickPeriod() const { return tickPeriod_; }

  // Derived from the engine's settings.
  void setGain(double gain) { gain_ = gain; }
  double gain() const { return gain_; }
  // Mid attenuation of the M/S type 0, 1, 2: 0, 3 and 6 dB.
  void setMsType(int type);
  void setOverSampleCount(int count) { readout_.overCount_ = static_cast<double>(count); }
  // A sample is over when |value| * gain reaches this.
  void setOverThreshold(double threshold) { overThreshold_ = threshold; }
  // Switching precise mode on or off empties the input histories; the audio
  // thread does it at its next block, so the editor never writes them.
  void setPrecise(bool on);
  bool precise() const { return precise_; }

  // reset(): tick period from the sample rate, history positions and tick
  // counter to 0, every history slot to 0, over counters to -1.
  void reset();
  // Over counters to -1 (the readings are the engine's).
  void clearOverCounters();

  // Copies every reading to its block-start value.
  void beginBlock();
  // Publishes one reading at the end of a block. A reading that is not
  // finite, or any reading of a block that run() found unusable, goes back
  // to rest, so one bad buffer never leaves a needle NaN or pegged for good.
  // Answers false when it had to.
  bool publish(int kind, int channel, double value, bool usable = true);
  // Puts one reading and its block-start value to rest.
  void restReading(int kind, int channel);

  // The per-sample loop over one block. `b` null: mono (B := A after the
  // precise step). Block must provide
  //   template <bool kHoldMayFall, bool kGuardEach> void step(Lanes peak,
  //                                      Lanes level);
  //                                      // the engine's ballistics for one
  //                                      // frame: peak, hold and envelope
  //                                      // recursions take the peak levels,
  //                                      // averaging ones (coil, mean
  //                                      // square) the levels; the two
  //                                      // differ only in precise mode.
  //                                      // With kHoldMayFall false no hold
  //                                      // mark falls or count reaches its
  //                                      // ceiling on this frame. With
  //                                      // kGuardEach false the step may
  //                                      // leave values below kTinyLevel
  //   void settle();                     // flushes those to 0 (after at
  //                                      // most kUnguardedStretch steps)
  //   bool holdMayFall(int samples) const;  // whether one could within
  //                                      // the next `samples` frames
  //   template <class F> void forEachReading(F f) const;
  //                                      // f(kind, channel, value) for each
  //                                      // reading
  // Answers false when the block carried NaN or infinity: the engine then
  // puts every reading to rest, and the precise input history has already
  // been emptied here, so one broken buffer never pegs or freezes a needle.
  template <class Block>
  bool run(const float* a, const float* b, int32_t frames, Block& block);

 private:
  void storeHistory(int pos, int kind, int channel, double value) {
    readout_.slots(kind * 2 + channel)[pos] = std::isfinite(value) ? value : readout_.rest_;
  }
  void applyPreciseClear();
  template <bool kPrecise, bool kMono, class Block>
  bool loop(const float* a, const float* b, int32_t frames, Block& block);
  template <bool kMono, class Block>
  void plainLoop(const float* a, const float* b, int32_t frames, double gain, Block& block);
  template <bool kMono, bool kHoldMayFall, class Block>
  static void plainSteps(const float* a, const float* b, int32_t frames, double gain, Block& block);
  template <bool kMono, bool kHoldMayFall, class Block>
  static void plainStepsAvx(const float* a, const float* b, int32_t frames, double gain, Block& block);
  template <class Block>
  void tick(const Block& block, double count, double& counterA, double& counterB);

  MeterReadout readout_;
  Relaxed<float> lrmsRaw_{0.0f};
  Relaxed<int> msOn_{0};
  Relaxed<float> holdRaw_{0.0f};
  Relaxed<float> lagRaw_{0.0f};
  Relaxed<float> sampleRate_{44100.0f};
  int tickPeriod_ = 44;
  int tickCounter_ = 0;
  Relaxed<double> gain_{1.0};
  Relaxed<double> msFactor_{1.0};
  Relaxed<double> overThreshold_{1.0};
  Relaxed<bool> precise_{false};
  Relaxed<unsigned> preciseClearRequest_{0};
  unsigned preciseClearDone_ = 0;
  double overCountdown_[2] = {0.0, 0.0};
  PeakHistory peak_[2];
};

// Whether every sample of a block is finite and none can light an over:
// then the block needs no over counting and no check for NaN per sample.
// The largest magnitude times the gain is exactly the largest of the
// per-sample products, since rounding a product keeps its order.
bool quietAndFinite(const float* a, const float* b, int32_t frames, double gain, double threshold);
// Whether this processor and system run the AVX encoding (decided once when
// the library loads).
extern const bool gLanesAvx;

template <class Block>
bool MeterCore::run(const float* a, const float* b, int32_t frames, Block& block) {
  if (!a || frames <= 0) return true;
  applyPreciseClear();
  // Settings are read once per block: an edit lands at the next block.
  // The loop is compiled once per precise/mono combination, so the common
  // case keeps every reading in registers. Plain L/R metering of a block
  // that neither clips nor carries NaN takes the lean loop.
  const bool precise = precise_;
  const double gain = gain_;  // the same gain for the check and the loop
  if (!precise && msOn_ == 0 && quietAndFinite(a, b, frames, gain, overThreshold_)) {
    if (b == nullptr) plainLoop<true>(a, b, frames, gain, block);
    else plainLoop<false>(a, b, frames, gain, block);
    return true;
  }
  bool usable;
  if (b == nullptr) {
    usable = precise ? loop<true, true>(a, b, frames, block) : loop<false, true>(a, b, frames, block);
  } else {
    usable = precise ? loop<true, false>(a, b, frames, block) : loop<false, false>(a, b, frames, block);
  }
  if (!usable) {
    peak_[0].clear();
    peak_[1].clear();
  }
  return usable;
}

// One display-delay tick: every reading and both over countdowns into the
// next history slot.
template <class Block>
void MeterCore::tick(const Block& block, double count, double& counterA, double& counterB) {
  int pos = readout_.writePos_ + 1;
  if (pos >= kHistorySlots) pos = 0;
  block.forEachReading([this, pos](int kind, int channel, double value) { storeHistory(pos, kind, channel, value); });
  // A reached count lights the delayed LED for 30 ticks.
  if (counterA >= count) {
    overCountdown_[0] = kOverCountdownTicks;
    counterA = 0.0;
  }
  if (counterB >= count) {
    overCountdown_[1] = kOverCountdownTicks;
    counterB = 0.0;
  }
  for (int c = 0; c < 2; ++c) {
    if (overCountdown_[c] > 0.0) overCountdown_[c] -= 1.0;
    readout_.slots(readout_.kinds_ * 2 + c)[pos] = overCountdown_[c];
  }
  readout_.writePos_ = pos;
}

// The plain loop's samples, two frames per pass: both channels' floats
// load, lose their sign and widen together. Compiled twice, for SSE2 and
// for the AVX encoding of the same operations (three operands, no register
// copies), which every processor of the last decade runs; the lanes hold
// the same values either way.
#define ORVANE_PLAIN_STEPS_BODY                                                                        \
  Block local = block; /* a copy the loads cannot alias stays in registers */                          \
  const Lanes g = splat(gain);                                                                         \
  const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));                               \
  int32_t i = 0;                                                                                       \
  for (; i + 2 <= frames; i += 2) {                                                                    \
    const __m128 fa = _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a + i)));      \
    const __m128 fb =                                                                                  \
        kMono ? fa : _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(b + i)));       \
    const __m128 x = _mm_and_ps(_mm_unpacklo_ps(fa, fb), magnitude);                                   \
    const Lanes first = _mm_mul_pd(_mm_cvtps_pd(x), g);                                                \
    const Lanes second = _mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(x, x)), g);                             \
    local.template step<kHoldMayFall, false>(first, first);                                            \
    local.template step<kHoldMayFall, false>(second, second);                                          \
  }                                                                                                    \
  if (i < frames) {                                                                                    \
    const __m128 x = kMono ? _mm_set1_ps(a[i]) : _mm_unpacklo_ps(_mm_load_ss(a + i), _mm_load_ss(b + i)); \
    const Lanes level = _mm_mul_pd(_mm_cvtps_pd(_mm_and_ps(x, magnitude)), g);                         \
    local.template step<kHoldMayFall, false>(level, level);                                            \
  }                                                                                                    \
  local.settle();                                                                                      \
  block = local;

template <bool kMono, bool kHoldMayFall, class Block>
void MeterCore::plainSteps(const float* a, const float* b, int32_t frames, double gain, Block& block) {
  ORVANE_PLAIN_STEPS_BODY
}

template <bool kMono, bool kHoldMayFall, class Block>
__attribute__((target("avx,prefer-vector-width=128"))) void MeterCore::plainStepsAvx(const float* a, const float* b, int32_t frames,
                                                              double gain, Block& block) {
  ORVANE_PLAIN_STEPS_BODY
}

#undef ORVANE_PLAIN_STEPS_BODY

// A block that quietAndFinite passed, metered in L/R without precise mode:
// no sample is over, so each over count does at the first sample what it
// would at every one (it drops to 0 unless it already reached the
// over-sample count), and the samples run in stretches between the display
// ticks, each stretch with the hold checks only where a mark can fall.
template <bool kMono, class Block>
void MeterCore::plainLoop(const float* a, const float* b, int32_t frames, double gain, Block& block) {
  const double count = readout_.overCount_;
  const int lag = readout_.lagMs_;
  const int tickPeriod = tickPeriod_ > 0 ? tickPeriod_ : 1;
  double counterA = readout_.overCounter_[0];
  double counterB = readout_.overCounter_[1];
  if (counterA < count) counterA = 0.0;
  if (counterB < count) counterB = 0.0;
  int ticks = tickCounter_;
  for (int32_t i = 0; i < frames;) {
    int32_t n = frames - i < kUnguardedStretch ? frames - i : kUnguardedStretch;
    bool ticking = false;
    if (lag != 0) {
      const int32_t untilTick = tickPeriod - ticks > 1 ? tickPeriod - ticks : 1;
      if (untilTick <= n) {
        n = untilTick;
        ticking = true;
      } else {
        ticks += n;
      }
    }
    const float* bi = kMono ? a : b + i;
    if (block.holdMayFall(n)) {
      if (gLanesAvx) plainStepsAvx<kMono, true>(a + i, bi, n, gain, block);
      else plainSteps<kMono, true>(a + i, bi, n, gain, block);
    } else {
      if (gLanesAvx) plainStepsAvx<kMono, false>(a + i, bi, n, gain, block);
      else plainSteps<kMono, false>(a + i, bi, n, gain, block);
    }
    i += n;
    if (ticking) {
      ticks = 0;
      tick(block, count, counterA, counterB);
    }
  }
  tickCounter_ = ticks;
  readout_.overCounter_[0] = counterA;
  readout_.overCounter_[1] = counterB;
}

template <bool kPrecise, bool kMono, class Block>
bool MeterCore::loop(const float* a, const float* b, int32_t frames, Block& block) {
  const PeakMode peakMode = peakModeForRate(sampleRate_);
  const bool ms = msOn_ != 0;
  const double msFactor = msFactor_;
  const double gain = gain_;
  const double threshold = overThreshold_;
  const double count = readout_.overCount_;
  const int lag = readout_.lagMs_;
  const int tickPeriod = tickPeriod_ > 0 ? tickPeriod_ : 1;
  // The consecutive-over counters live in registers for the block. The
  // display may consume a published count meanwhile (readOverState puts it
  // to 0); that is seen at the next block, and in the rare case that the
  // write-back below lands on top of it the display shows "over" for one
  // more refresh.
  double counterA = readout_.overCounter_[0];
  double counterB = readout_.overCounter_[1];
  // x - x is 0 for every finite sample and NaN for NaN and infinities; the
  // sum tells at the block's end whether the audio was usable.
  double poison = 0.0;
  int ticks = tickCounter_;

  // Two samples per pass halve the loop overhead around the short
  // recursions.
#pragma GCC unroll 2
  for (int32_t i = 0; i < frames; ++i) {
    double va = a[i];
    double vb = kMono ? va : static_cast<double>(b[i]);
    poison += (va - va) + (vb - vb);
    // Precise mode: the peak path gets the largest of the window's
    // quarter-sample points, the averaging path the window sample at the
    // same moment. An average of per-sample maxima is not the average of
    // the signal: fed the maxima, a VU needle reads a steady tone at the
    // reference 0.4 dB hot at 1 kHz and 2.8 dB at 10 kHz (44.1 kHz), the RMS
    // needle 0.3 and 2 dB. Plain mode: both are the sample.
    double sa = va, sb = vb;
    if (kPrecise) {
      const double* wa = peak_[0].push(va);
      va = detectPeak(wa, peakMode);
      sa = wa[kPeakAlignedSample];
      if (kMono) {
        vb = va;
        sb = sa;
      } else {
        const double* wb = peak_[1].push(vb);
        vb = detectPeak(wb, peakMode);
        sb = wb[kPeakAlignedSample];
      }
    }
    if (ms) {
      // The side is never scaled; the mid loses 0, 3 or 6 dB.
      const double mid = (va + vb) * msFactor;
      vb = va - vb;
      va = mid;
      if (kPrecise) {
        const double smid = (sa + sb) * msFactor;
        sb = sa - sb;
        sa = smid;
      }
    }
    const double ca = std::fabs(va) * gain;
    const double cb = std::fabs(vb) * gain;
    const double la = kPrecise ? std::fabs(sa) * gain : ca;
    const double lb = kPrecise ? std::fabs(sb) * gain : cb;

    // A count of consecutive overs. Once it reaches the over-sample count it
    // stays there through quiet samples until a tick or the display takes it.
    if (ca >= threshold) counterA += 1.0;
    else if (counterA < count) counterA = 0.0;
    if (cb >= threshold) counterB += 1.0;
    else if (counterB < count) counterB = 0.0;

    block.template step<true>(lanes(ca, cb), lanes(la, lb));

    if (lag != 0 && ++ticks >= tickPeriod) {
      ticks = 0;
      tick(block, count, counterA, counterB);
    }
  }
  tickCounter_ = ticks;
  readout_.overCounter_[0] = counterA;
  readout_.overCounter_[1] = counterB;
  return poison == 0.0;
}

}  // namespace orvane
