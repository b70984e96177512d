// Both channels of a stereo frame side by side in one SSE2 register (every
// build has SSE2; the 32-bit one does its arithmetic there too), so the
// engines run each recursion once per frame instead of once per channel.
// Every operation is the scalar one per lane, in the same order, so a lane
// holds bit for bit what the channel's scalar recursion would.
#pragma once

#include <emmintrin.h>

#include "meters/MeterMath.h"

namespace orvane {

using Lanes = __m128d;  // lane 0: channel A (left or mid), lane 1: B

inline Lanes lanes(double a, double b) { return _mm_set_pd(b, a); }
inline Lanes splat(double v) { return _mm_set1_pd(v); }
inline double laneA(Lanes v) { return _mm_cvtsd_f64(v); }
inline double laneB(Lanes v) { return _mm_cvtsd_f64(_mm_unpackhi_pd(v, v)); }
// Where `mask` is set, `ifSet`, elsewhere `otherwise`.
inline Lanes select(Lanes mask, Lanes ifSet, Lanes otherwise) {
  return _mm_or_pd(_mm_and_pd(mask, ifSet), _mm_andnot_pd(mask, otherwise));
}
// |v| exactly as fabs: the sign bit cleared.
inline Lanes absLanes(Lanes v) { return _mm_and_pd(v, _mm_castsi128_pd(_mm_set1_epi64x(0x7fffffffffffffffLL))); }
// The tiny add and subtract that turns values below about 1e-30 into exact
// zeros instead of denormals.
inline Lanes flushTiny(Lanes v) { return _mm_sub_pd(_mm_add_pd(v, _mm_set1_pd(1e-14)), _mm_set1_pd(1e-14)); }

// A hold mark per channel and the samples since each was last raised. The
// counts are whole numbers held in doubles (exact far beyond the ceiling).
struct HoldLanes {
  Lanes mark;
  Lanes count;
  Lanes limit;  // the count at which a mark starts to fall

  HoldLanes(double markA, double markB, int countA, int countB, int holdLimit)
      : mark(lanes(markA, markB)), count(lanes(countA, countB)), limit(splat(holdLimit)) {}
  int countOf(int channel) const { return static_cast<int>(channel ? laneB(count) : laneA(count)); }

  // Whether either mark could reach its fall, or a count its ceiling, within
  // the next `samples` samples. When not, the block runs the cheaper step
  // without both checks, with the same result.
  bool mayFall(int samples) const {
    const double most = laneA(_mm_max_pd(count, _mm_unpackhi_pd(count, count)));
    return most + samples - 1 >= laneA(limit) || most + samples > kHoldCounterCeiling;
  }

  // One sample. The mark is raised to `value` when the value passes it
  // (kRaiseOnEqual: or meets it), which restarts the count; once the count
  // reaches the limit the mark falls by `fall` of itself per sample.
  // kFlushAlways: the mark is flushed of tiny values on every sample, not
  // only on a falling one.
  template <bool kMayFall, bool kRaiseOnEqual, bool kFlushAlways>
  void step(Lanes value, Lanes fall) {
    const Lanes raise = kRaiseOnEqual ? _mm_cmpge_pd(value, mark) : _mm_cmpgt_pd(value, mark);
    // Raised only when it passes: the larger of the two, which is what
    // maxpd answers (the mark where either is NaN, as the comparison).
    Lanes h = kRaiseOnEqual ? select(raise, value, mark) : _mm_max_pd(value, mark);
    Lanes n = _mm_andnot_pd(raise, count);
    if (kMayFall) {
      const Lanes falling = _mm_cmpge_pd(n, limit);
      if (kFlushAlways) {
        h = _mm_sub_pd(h, _mm_and_pd(falling, _mm_mul_pd(h, fall)));
      } else {
        h = select(falling, flushTiny(_mm_sub_pd(h, _mm_mul_pd(h, fall))), h);
      }
      n = _mm_min_pd(_mm_add_pd(n, splat(1.0)), splat(kHoldCounterCeiling));
    } else {
      n = _mm_add_pd(n, splat(1.0));
    }
    mark = kFlushAlways ? flushTiny(h) : h;
    count = n;
  }
};

// Below this an envelope, mark or mean square goes to an exact zero instead
// of sinking toward denormals in a long silence.
constexpr double kTinyLevel = 1e-30;

// v + (target - v) * coefficient: the step of a first-order recursion.
inline Lanes stepToward(Lanes v, Lanes target, Lanes coefficient) {
  return _mm_add_pd(v, _mm_mul_pd(_mm_sub_pd(target, v), coefficient));
}

// v, or 0 below kTinyLevel. A NaN passes (no comparison with it holds), so
// the block still tells it was unusable.
inline Lanes flushBelowTiny(Lanes v) { return _mm_andnot_pd(_mm_cmplt_pd(v, splat(kTinyLevel)), v); }

// A step from v toward target, guarded against denormals: 0 when both v
// and target are below kTinyLevel (the step lands between the two).
inline Lanes guardTiny(Lanes v, Lanes target, Lanes step) {
  const Lanes tiny = splat(kTinyLevel);
  return _mm_andnot_pd(_mm_and_pd(_mm_cmplt_pd(v, tiny), _mm_cmplt_pd(target, tiny)), step);
}

// The guard against denormals costs as much time on a recursion's chain of
// dependent operations (which sets the pace) as a step's own arithmetic,
// so the plain loop runs its steps unguarded (kGuardEach false) in
// stretches of at most kUnguardedStretch samples and flushes the values
// below kTinyLevel after each. No fall is faster than 1 - 0.0625^(1/n) per
// sample, n the samples of the shortest time (100 ms, a few hundred samples
// at any rate a host runs): over a stretch a value from kTinyLevel stays
// hundreds of decades clear of the denormals.
constexpr int kUnguardedStretch = 4096;

// A peak envelope with its hold mark, as the PPM and the RMS meter's peak
// needle move them: the envelope rises with `attack` and falls with
// `fall`; the mark waits out the hold and then falls with the same fall.
struct PeakLanes {
  Lanes env;
  HoldLanes hold;

  template <bool kMayFall, bool kGuardEach>
  void step(Lanes level, Lanes attack, Lanes fall) {
    Lanes e = env;
    // Rises are rare and well predicted: the branch keeps the choice of
    // coefficient off the recursion's critical path.
    const Lanes rising = _mm_cmpgt_pd(level, e);
    const Lanes coefficient = _mm_movemask_pd(rising) ? select(rising, attack, fall) : fall;
    const Lanes next = stepToward(e, level, coefficient);
    e = kGuardEach ? guardTiny(e, level, next) : next;
    env = e;
    stepHold<kMayFall, kGuardEach>(e, fall);
  }

  // After an unguarded stretch.
  void settle() {
    env = flushBelowTiny(env);
    hold.mark = flushBelowTiny(hold.mark);
  }

 private:
  // The mark takes the larger of itself and the envelope (neither is ever a
  // denormal, so neither is their maximum); once the hold is out it falls
  // by `fall` of itself per sample, down to kTinyLevel and then to 0.
  template <bool kMayFall, bool kGuardEach>
  void stepHold(Lanes value, Lanes fall) {
    const Lanes raise = _mm_cmpgt_pd(value, hold.mark);
    Lanes h = _mm_max_pd(value, hold.mark);
    Lanes n = _mm_andnot_pd(raise, hold.count);
    if (kMayFall) {
      const Lanes falling = _mm_cmpge_pd(n, hold.limit);
      Lanes fallen = _mm_sub_pd(h, _mm_mul_pd(h, fall));
      if (kGuardEach) fallen = _mm_andnot_pd(_mm_cmplt_pd(h, splat(kTinyLevel)), fallen);
      h = select(falling, fallen, h);
      n = _mm_min_pd(_mm_add_pd(n, splat(1.0)), splat(kHoldCounterCeiling));
    } else {
      n = _mm_add_pd(n, splat(1.0));
    }
    hold.mark = h;
    hold.count = n;
  }
};

}  // namespace orvane
