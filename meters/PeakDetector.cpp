// The precise mode's peak detector. Per sample and channel the 4x detector
// runs three 64-tap dot products over the same window (192 multiply-adds),
// which is most of the precise front end's cost, so the dot products are
// written out for the SSE2 baseline and, where the processor has them, for
// AVX2 with fused multiply-add.
#include "meters/PeakDetector.h"

#include <cfloat>
#include <cmath>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ORVANE_PEAK_X86 1
#endif

namespace orvane {

void PeakHistory::clear() {
  std::memset(data, 0, sizeof data);
  index = 0;
}

PeakMode peakModeForRate(float sampleRate) {
  if (sampleRate >= 176400.0f) return PeakMode::Delay;
  if (sampleRate >= 88200.0f) return PeakMode::Oversample2x;
  return PeakMode::Oversample4x;  // also a rate that is not a number
}

namespace {

struct Three {
  double y1, y2, y3;
};

#if ORVANE_PEAK_X86

inline double sum2(__m128d v) { return _mm_cvtsd_f64(_mm_add_sd(v, _mm_unpackhi_pd(v, v))); }

// The tables are symmetric (h2, g) or mirror each other (h1, h3), so each
// kernel folds the window first: s = w[k] + w[63-k], d = w[k] - w[63-k] for
// k < 32. Then y2 = sum(h2 s), g's value = sum(g s), and y1, y3 = sum(E s) +-
// sum(O d) with h1's even and odd halves E and O. Against three plain 64-tap
// sums that saves a third of the SSE2 arithmetic and over a third of the
// loads, which bound the speed of both kernels.

// The newest samples were stored one at a time an instant ago, by push(). A
// vector load that spans such a store cannot be forwarded from it and waits
// until the store has reached the cache, which stalls every sample; so the
// two newest samples are loaded singly. Older stores have long landed.

// w[62-k], w[63-k] as (w[63-k], w[62-k]): the mirror of w[k], w[k+1].
inline __m128d mirror2(const double* w, int k) {
  __m128d b = _mm_loadu_pd(w + 62 - k);
  return _mm_shuffle_pd(b, b, 1);
}

// mirror2(w, 0) from two single loads.
inline __m128d newest2(const double* w) { return _mm_loadh_pd(_mm_load_sd(w + 63), w + 62); }

// Folds w[k], w[k+1] with their mirror images b into the 4x sums.
inline void fold3(__m128d& e, __m128d& o, __m128d& m, const double* w, __m128d b, int k) {
  __m128d a = _mm_loadu_pd(w + k);
  __m128d s = _mm_add_pd(a, b), d = _mm_sub_pd(a, b);
  e = _mm_add_pd(e, _mm_mul_pd(s, _mm_load_pd(kPeakPhase1Even + k)));
  o = _mm_add_pd(o, _mm_mul_pd(d, _mm_load_pd(kPeakPhase1Odd + k)));
  m = _mm_add_pd(m, _mm_mul_pd(s, _mm_load_pd(kPeakPhase2 + k)));
}

// Two sets of sums keep six independent add chains in flight, which hides the
// adder's latency.
Three dot3Sse2(const double* w) {
  __m128d e0 = _mm_setzero_pd(), e1 = e0, o0 = e0, o1 = e0, m0 = e0, m1 = e0;
  fold3(e0, o0, m0, w, newest2(w), 0);
  fold3(e1, o1, m1, w, mirror2(w, 2), 2);
  for (int k = 4; k < 32; k += 4) {
    fold3(e0, o0, m0, w, mirror2(w, k), k);
    fold3(e1, o1, m1, w, mirror2(w, k + 2), k + 2);
  }
  double e = sum2(_mm_add_pd(e0, e1)), o = sum2(_mm_add_pd(o0, o1));
  return {e + o, sum2(_mm_add_pd(m0, m1)), e - o};
}

// sum(h w) for a symmetric 64-tap h, of which the first half is read.
double symmetricDotSse2(const double* w, const double* h) {
  __m128d a = _mm_mul_pd(_mm_add_pd(_mm_loadu_pd(w), newest2(w)), _mm_load_pd(h));
  __m128d b = _mm_mul_pd(_mm_add_pd(_mm_loadu_pd(w + 2), mirror2(w, 2)), _mm_load_pd(h + 2));
  for (int k = 4; k < 32; k += 4) {
    a = _mm_add_pd(a, _mm_mul_pd(_mm_add_pd(_mm_loadu_pd(w + k), mirror2(w, k)), _mm_load_pd(h + k)));
    b = _mm_add_pd(b, _mm_mul_pd(_mm_add_pd(_mm_loadu_pd(w + k + 2), mirror2(w, k + 2)), _mm_load_pd(h + k + 2)));
  }
  return sum2(_mm_add_pd(a, b));
}

// The AVX2 kernels keep every value in registers: mingw-w64 cannot align the
// stack to 32 bytes on 64-bit Windows, so a spilled 256-bit value would be a
// crash there.
#define ORVANE_AVX2 __attribute__((target("avx2,fma")))

ORVANE_AVX2 inline double sum4(__m256d v) {
  __m128d s = _mm_add_pd(_mm256_castpd256_pd128(v), _mm256_extractf128_pd(v, 1));
  return _mm_cvtsd_f64(_mm_add_sd(s, _mm_unpackhi_pd(s, s)));
}

// w[60-k .. 63-k] reversed: the mirror of w[k .. k+3].
ORVANE_AVX2 inline __m256d mirror4(const double* w, int k) {
  return _mm256_permute4x64_pd(_mm256_loadu_pd(w + 60 - k), 0x1B);
}

// mirror4(w, 0) with the two newest samples loaded singly.
ORVANE_AVX2 inline __m256d newest4(const double* w) {
  __m128d older = _mm_loadu_pd(w + 60);
  return _mm256_insertf128_pd(_mm256_castpd128_pd256(newest2(w)), _mm_shuffle_pd(older, older, 1), 1);
}

ORVANE_AVX2 inline void fold3(__m256d& e, __m256d& o, __m256d& m, const double* w, __m256d b, int k) {
  __m256d a = _mm256_loadu_pd(w + k);
  __m256d s = _mm256_add_pd(a, b), d = _mm256_sub_pd(a, b);
  e = _mm256_fmadd_pd(s, _mm256_load_pd(kPeakPhase1Even + k), e);
  o = _mm256_fmadd_pd(d, _mm256_load_pd(kPeakPhase1Odd + k), o);
  m = _mm256_fmadd_pd(s, _mm256_load_pd(kPeakPhase2 + k), m);
}

ORVANE_AVX2 Three dot3Avx2(const double* w) {
  __m256d e0 = _mm256_setzero_pd(), e1 = e0, o0 = e0, o1 = e0, m0 = e0, m1 = e0;
  fold3(e0, o0, m0, w, newest4(w), 0);
  fold3(e1, o1, m1, w, mirror4(w, 4), 4);
  for (int k = 8; k < 32; k += 8) {
    fold3(e0, o0, m0, w, mirror4(w, k), k);
    fold3(e1, o1, m1, w, mirror4(w, k + 4), k + 4);
  }
  double e = sum4(_mm256_add_pd(e0, e1)), o = sum4(_mm256_add_pd(o0, o1));
  return {e + o, sum4(_mm256_add_pd(m0, m1)), e - o};
}

ORVANE_AVX2 double symmetricDotAvx2(const double* w, const double* h) {
  __m256d a = _mm256_mul_pd(_mm256_add_pd(_mm256_loadu_pd(w), newest4(w)), _mm256_load_pd(h));
  __m256d b = _mm256_mul_pd(_mm256_add_pd(_mm256_loadu_pd(w + 4), mirror4(w, 4)), _mm256_load_pd(h + 4));
  for (int k = 8; k < 32; k += 8) {
    a = _mm256_fmadd_pd(_mm256_add_pd(_mm256_loadu_pd(w + k), mirror4(w, k)), _mm256_load_pd(h + k), a);
    b = _mm256_fmadd_pd(_mm256_add_pd(_mm256_loadu_pd(w + k + 4), mirror4(w, k + 4)), _mm256_load_pd(h + k + 4), b);
  }
  return sum4(_mm256_add_pd(a, b));
}

bool cpuHasAvx2Fma() {
  // Also false where the system does not save the 256-bit registers: the
  // compiler's processor check reads that from XCR0.
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}

#else  // not x86: the same sums in plain order

double dot64(const double* w, const double* h) {
  double s = 0.0;
  for (int k = 0; k < 64; ++k) s += h[k] * w[k];
  return s;
}

Three dot3Sse2(const double* w) {
  return {dot64(w, kPeakPhase1), dot64(w, kPeakPhase2), dot64(w, kPeakPhase3)};
}

double symmetricDotSse2(const double* w, const double* h) { return dot64(w, h); }
Three dot3Avx2(const double* w) { return dot3Sse2(w); }
double symmetricDotAvx2(const double* w, const double* h) { return dot64(w, h); }
bool cpuHasAvx2Fma() { return false; }

#endif

// Decided once when the library loads, before any audio runs.
const bool gHasAvx2Fma = cpuHasAvx2Fma();

#if ORVANE_PEAK_X86

// The candidates come in their fixed order, and a later one replaces the
// choice only when its magnitude is strictly larger, so a tie keeps the
// earlier one. The choice is made with masks, not branches: on real
// programme material the winner changes from sample to sample, and a
// mispredicted branch per candidate would cost more than the dot products.
struct Chooser {
  __m128d chosen, magnitude;
  explicit Chooser(double first) : chosen(_mm_set_sd(first)), magnitude(abs(chosen)) {}
  static __m128d abs(__m128d v) { return _mm_andnot_pd(_mm_set_sd(-0.0), v); }
  void offer(double candidate) {
    __m128d c = _mm_set_sd(candidate);
    __m128d m = abs(c);
    __m128d larger = _mm_cmpgt_sd(m, magnitude);  // all ones when strictly larger
    chosen = _mm_or_pd(_mm_and_pd(larger, c), _mm_andnot_pd(larger, chosen));
    magnitude = _mm_max_sd(magnitude, m);
  }
  double result() const { return _mm_cvtsd_f64(chosen); }
};

#else

struct Chooser {
  double chosen;
  explicit Chooser(double first) : chosen(first) {}
  void offer(double candidate) {
    if (std::fabs(candidate) > std::fabs(chosen)) chosen = candidate;
  }
  double result() const { return chosen; }
};

#endif

// One body for both kernels, inlined into each so that the AVX2 one runs
// from end to end in AVX encoding.
template <bool Avx2>
__attribute__((always_inline)) inline double detect(const double* w, PeakMode mode) {
  switch (mode) {
    case PeakMode::Oversample4x: {
      Three y;
      if constexpr (Avx2) y = dot3Avx2(w);
      else y = dot3Sse2(w);
      Chooser c(w[kPeakAlignedSample]);
      c.offer(y.y1);
      c.offer(y.y2);
      c.offer(y.y3);
      return c.result();
    }
    case PeakMode::Oversample2x: {
      Chooser c(w[kPeakAlignedSample]);
      if constexpr (Avx2) c.offer(symmetricDotAvx2(w, kHalfSample));
      else c.offer(symmetricDotSse2(w, kHalfSample));
      return c.result();
    }
    case PeakMode::Delay:
      break;
  }
  return w[kPeakAlignedSample];
}

double detectSse2(const double* w, PeakMode mode) { return detect<false>(w, mode); }

#if ORVANE_PEAK_X86
ORVANE_AVX2 double detectAvx2(const double* w, PeakMode mode) { return detect<true>(w, mode); }
#else
double detectAvx2(const double* w, PeakMode mode) { return detect<false>(w, mode); }
#endif

}  // namespace

bool peakKernelAvailable(PeakKernel kernel) {
  return kernel == PeakKernel::Sse2 || gHasAvx2Fma;
}

double detectPeakWith(const double* window, PeakMode mode, PeakKernel kernel) {
  if (kernel == PeakKernel::Avx2Fma && gHasAvx2Fma) return detectAvx2(window, mode);
  return detectSse2(window, mode);
}

double detectPeak(const double* window, PeakMode mode) {
  return gHasAvx2Fma ? detectAvx2(window, mode) : detectSse2(window, mode);
}

}  // namespace orvane
