#include "core/StripFilterBank.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#include <xmmintrin.h>
#endif

namespace orvane {

namespace {

constexpr double kPi = 3.141592653589793;

// ---------------------------------------------------------------------------
// The per-sample kernel.
//
// Every section runs the same recursion in double precision, in the same
// order of operations as FilterSection::tick, and every section's output is
// rounded to float before the next section sees it, just as if each section
// ran over a float buffer of its own. What differs is only the loop shape:
// all active sections of a chunk run inside one loop over the samples, and in
// stereo the left and right sections share one SSE2 register (one lane each,
// the same IEEE operations per lane). The recursions of different sections
// do not depend on each other within a sample step, so the processor
// overlaps them instead of waiting out one section's 20-cycle chain at a
// time. The results are bit-identical to section-by-section processing.

#if defined(__SSE2__)
struct StereoLanes {
  using V = __m128d;  // lane 0 left, lane 1 right
  static V splat(double x) { return _mm_set1_pd(x); }
  static V make(double l, double r) { return _mm_setr_pd(l, r); }
  static double left(V v) { return _mm_cvtsd_f64(v); }
  static double right(V v) { return _mm_cvtsd_f64(_mm_unpackhi_pd(v, v)); }
  static V add(V a, V b) { return _mm_add_pd(a, b); }
  static V sub(V a, V b) { return _mm_sub_pd(a, b); }
  static V mul(V a, V b) { return _mm_mul_pd(a, b); }
  static V load(const float* l, const float* r, int32_t i) {
    return _mm_cvtps_pd(_mm_unpacklo_ps(_mm_load_ss(l + i), _mm_load_ss(r + i)));
  }
  static V toFloat(V y) { return _mm_cvtps_pd(_mm_cvtpd_ps(y)); }
  static V store(V y, float* l, float* r, int32_t i) {
    const __m128 f = _mm_cvtpd_ps(y);
    _mm_store_ss(l + i, f);
    _mm_store_ss(r + i, _mm_shuffle_ps(f, f, 1));
    return _mm_cvtps_pd(f);
  }
};
#else
struct StereoLanes {
  struct V {
    double l, r;
  };
  static V splat(double x) { return {x, x}; }
  static V make(double l, double r) { return {l, r}; }
  static double left(V v) { return v.l; }
  static double right(V v) { return v.r; }
  static V add(V a, V b) { return {a.l + b.l, a.r + b.r}; }
  static V sub(V a, V b) { return {a.l - b.l, a.r - b.r}; }
  static V mul(V a, V b) { return {a.l * b.l, a.r * b.r}; }
  static V load(const float* l, const float* r, int32_t i) { return {double(l[i]), double(r[i])}; }
  static V toFloat(V y) { return {double(float(y.l)), double(float(y.r))}; }
  static V store(V y, float* l, float* r, int32_t i) {
    l[i] = float(y.l);
    r[i] = float(y.r);
    return {double(l[i]), double(r[i])};
  }
};
#endif

struct MonoLanes {
  using V = double;
  static V splat(double x) { return x; }
  static V make(double l, double) { return l; }
  static double left(V v) { return v; }
  static double right(V v) { return v; }
  static V add(V a, V b) { return a + b; }
  static V sub(V a, V b) { return a - b; }
  static V mul(V a, V b) { return a * b; }
  static V load(const float* l, const float*, int32_t i) { return double(l[i]); }
  static V toFloat(V y) { return double(float(y)); }
  static V store(V y, float* l, float*, int32_t i) {
    const float f = float(y);
    l[i] = f;
    return double(f);
  }
};

template <class Lanes>
struct Stage {
  using V = typename Lanes::V;
  V b0, b1, b2, a1, a2, x1, x2, y1, y2;

  void load(const FilterSection& l, const FilterSection& r) {
    b0 = Lanes::make(l.b0, r.b0);
    b1 = Lanes::make(l.b1, r.b1);
    b2 = Lanes::make(l.b2, r.b2);
    a1 = Lanes::make(l.a1, r.a1);
    a2 = Lanes::make(l.a2, r.a2);
    x1 = Lanes::make(l.x1, r.x1);
    x2 = Lanes::make(l.x2, r.x2);
    y1 = Lanes::make(l.y1, r.y1);
    y2 = Lanes::make(l.y2, r.y2);
  }
  void save(FilterSection& l, FilterSection& r) const {
    l.x1 = Lanes::left(x1);
    l.x2 = Lanes::left(x2);
    l.y1 = Lanes::left(y1);
    l.y2 = Lanes::left(y2);
    r.x1 = Lanes::right(x1);
    r.x2 = Lanes::right(x2);
    r.y1 = Lanes::right(y1);
    r.y2 = Lanes::right(y2);
  }

  // FilterSection::tick, lane by lane:
  // y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2, then the denormal guard.
  V tick(V x, V guard) {
    V y = Lanes::sub(Lanes::sub(Lanes::add(Lanes::add(Lanes::mul(b0, x), Lanes::mul(b1, x1)),
                                           Lanes::mul(b2, x2)),
                                Lanes::mul(a1, y1)),
                     Lanes::mul(a2, y2));
    y = Lanes::sub(Lanes::add(y, guard), guard);
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }
};

// Runs the NHP high-pass and then the NLP low-pass stages over n frames of
// (inL, inR): the float result after the high-pass goes to (hpL, hpR), the
// float result after the low-pass to (lpL, lpR).
template <class Lanes, int NHP, int NLP>
void runStages(Stage<Lanes>* stages, const float* inL, const float* inR, float* hpL, float* hpR,
               float* lpL, float* lpR, int32_t n) {
  using V = typename Lanes::V;
  constexpr int kCount = NHP + NLP;
  const V guard = Lanes::splat(FilterSection::kDenormalGuard);
  Stage<Lanes> s[kCount];
  for (int k = 0; k < kCount; ++k) s[k] = stages[k];
  for (int32_t i = 0; i < n; ++i) {
    V x = Lanes::load(inL, inR, i);
    if constexpr (NHP > 0) {
      for (int k = 0; k < NHP - 1; ++k) x = Lanes::toFloat(s[k].tick(x, guard));
      x = s[NHP - 1].tick(x, guard);
    }
    x = Lanes::store(x, hpL, hpR, i);
    if constexpr (NLP > 0) {
      for (int k = NHP; k < kCount - 1; ++k) x = Lanes::toFloat(s[k].tick(x, guard));
      Lanes::store(s[kCount - 1].tick(x, guard), lpL, lpR, i);
    }
  }
  for (int k = 0; k < kCount; ++k) stages[k] = s[k];
}

template <class Lanes>
using StageRunner = void (*)(Stage<Lanes>*, const float*, const float*, float*, float*, float*,
                             float*, int32_t);

// Indexed by 3 * (active high-pass sections) + (active low-pass sections).
template <class Lanes>
StageRunner<Lanes> stageRunner(int hpCount, int lpCount) {
  static constexpr StageRunner<Lanes> kRunners[9] = {
      nullptr,
      &runStages<Lanes, 0, 1>,
      &runStages<Lanes, 0, 2>,
      &runStages<Lanes, 1, 0>,
      &runStages<Lanes, 1, 1>,
      &runStages<Lanes, 1, 2>,
      &runStages<Lanes, 2, 0>,
      &runStages<Lanes, 2, 1>,
      &runStages<Lanes, 2, 2>,
  };
  return kRunners[3 * hpCount + lpCount];
}

// The 1e-30 guard keeps the double recursion itself clear of denormals, but
// on digital silence a section can come to rest a hair away from zero, held
// there by its own rounding dead band (up to about 1e-39 for the 10 Hz
// high-pass section at 192 kHz). Stored as float, that value is a denormal,
// and every conversion of it costs a microcode assist: silence measured six
// times slower than music. So while the bank runs, the processor flushes
// denormal results and inputs to zero (FTZ, DAZ); the caller's mode comes
// back on return. Only values below 1.2e-38 (-758 dBFS) are affected.
class DenormalsOff {
 public:
#if defined(__SSE2__)
  DenormalsOff() : saved_(_mm_getcsr()) { _mm_setcsr(saved_ | kFlushToZero | kDenormalsAreZero); }
  ~DenormalsOff() { _mm_setcsr(saved_); }

 private:
  static constexpr unsigned kFlushToZero = 0x8000;
  static constexpr unsigned kDenormalsAreZero = 0x0040;
  unsigned saved_;
#endif
};

bool active(const FilterSection& s) { return s.enabled() != 0 && s.type() != FilterSection::kNone; }

constexpr int kLeftOrder[4] = {StripFilterBank::kHP1Left, StripFilterBank::kHP2Left,
                               StripFilterBank::kLP1Left, StripFilterBank::kLP2Left};
constexpr int kRightOrder[4] = {StripFilterBank::kHP1Right, StripFilterBank::kHP2Right,
                                StripFilterBank::kLP1Right, StripFilterBank::kLP2Right};

float unitValue(float v) {
  // NaN fails both comparisons and ends at 0.
  return v >= 0.0f ? (v <= 1.0f ? v : 1.0f) : 0.0f;
}

// A two-state choice: trunc(v + 0.5), computed exactly.
int switchState(float v) { return static_cast<int>(double(v) + 0.5); }

}  // namespace

// ---------------------------------------------------------------------------
// FilterSection

void FilterSection::setSampleRate(double rate) {
  rate_ = (rate >= kMinRate && rate <= kMaxRate) ? rate : kFallbackRate;
  computeCoefficients();
}

void FilterSection::setType(int type) {
  switch (type) {
    case kHighPass:
    case kLowPass:
    case kOnePoleLowPass:
      type_ = type;
      break;
    default:
      type_ = kNone;
      break;
  }
  computeCoefficients();
}

void FilterSection::setFrequency(double hz) {
  if (!(hz >= kMinFrequency)) hz = kMinFrequency;
  if (hz > rate_) hz = rate_;
  frequency_ = hz;
  computeCoefficients();
}

void FilterSection::setQ(double q) {
  if (!(q >= kMinQ)) q = kMinQ;
  if (q > kMaxQ) q = kMaxQ;
  q_ = q;
  computeCoefficients();
}

void FilterSection::setEnabled(int on) {
  const int e = on != 0 ? 1 : 0;
  if (e == enabled_) return;
  enabled_ = e;
  computeCoefficients();
}

bool FilterSection::stateIsFinite() const {
  return std::isfinite(x1) && std::isfinite(x2) && std::isfinite(y1) && std::isfinite(y2);
}

void FilterSection::computeCoefficients() {
  a0 = 1.0;
  a1 = a2 = 0.0;
  b0 = 1.0;
  b1 = b2 = 0.0;
  if (!enabled_) return;

  const double fs = rate_;
  // The biquads never put their corner above 0.499 fs.
  const double fc = std::min(frequency_, 0.499 * fs);
  const double w = 2.0 * kPi * fc / fs;
  switch (type_) {
    case kHighPass: {
      // Q falls off as the corner nears fs/2 ((fc / 0.5001 fs)^6), so the
      // section stays well-behaved at the top of the band.
      const double r = fc / (0.5001 * fs);
      const double r2 = r * r;
      const double k = r2 * r2 * r2;
      const double q = (1.0 - k) * q_;
      const double alpha = std::sin(w) / (2.0 * q);
      const double cw = std::cos(w);
      a0 = 1.0 + alpha;
      a1 = -2.0 * cw / a0;
      a2 = (1.0 - alpha) / a0;
      b0 = (1.0 + cw) * 0.5 / a0;
      b2 = b0;
      b1 = -(1.0 + cw) / a0;
      break;
    }
    case kLowPass: {
      const double r = fc / (0.50001 * fs);
      const double r2 = r * r;
      const double r4 = r2 * r2;
      const double k = r4 * r4;
      const double q = (1.0 - k) * q_;
      const double alpha = std::sin(w) / (2.0 * q);
      const double cw = std::cos(w);
      a0 = 1.0 + alpha;
      a1 = -2.0 * cw / a0;
      a2 = (1.0 - alpha) / a0;
      b0 = (1.0 - cw) * 0.5 / a0;
      b2 = b0;
      b1 = (1.0 - cw) / a0;
      break;
    }
    case kOnePoleLowPass: {
      // Uses the set frequency itself, not the 0.499 fs limit: the bank
      // hands it at most fs/2, where the pole sits at 2*sqrt(2) - 3.
      const double wp = 2.0 * kPi * frequency_ / fs;
      const double c = 2.0 - std::cos(wp);
      a1 = std::sqrt(c * c - 1.0) - c;
      b0 = 1.0 + a1;
      break;
    }
    default:
      break;
  }
}

void FilterSection::process(float* samples, int32_t n) {
  if (type_ == kNone || samples == nullptr || n <= 0) return;
  if (!enabled_) {
    clear();
    return;
  }
  for (int32_t i = 0; i < n; ++i) samples[i] = static_cast<float>(tick(samples[i]));
}

std::complex<double> FilterSection::responseAt(double hz) const {
  if (!enabled_ || type_ == kNone) return 1.0;
  const double w = 2.0 * kPi * hz / rate_;
  const std::complex<double> z1 = std::polar(1.0, -w);
  const std::complex<double> z2 = z1 * z1;
  return (b0 + b1 * z1 + b2 * z2) / (1.0 + a1 * z1 + a2 * z2);
}

// ---------------------------------------------------------------------------
// StripFilterBank

StripFilterBank::StripFilterBank() {
  for (int side = 0; side < 2; ++side) {
    const int* order = side == 0 ? kLeftOrder : kRightOrder;
    sections_[order[0]].setType(FilterSection::kHighPass);
    sections_[order[1]].setType(FilterSection::kHighPass);
    sections_[order[1]].setQ(kHighPassQ);
    sections_[order[2]].setType(FilterSection::kOnePoleLowPass);
    sections_[order[3]].setType(FilterSection::kLowPass);
  }
  setSampleRate(kMinBankRate);
  clear();
}

void StripFilterBank::setSampleRate(float rate) {
  if (!(rate >= kMinBankRate)) rate = kMinBankRate;  // NaN as well
  if (rate > kMaxBankRate) rate = kMaxBankRate;
  bankRate_ = rate;
  // The cross-fade and the one-pole corner depend on the rate too, so the
  // whole bank follows at once rather than waiting for the next recompute.
  recompute();
}

void StripFilterBank::recompute() {
  for (FilterSection& s : sections_) s.setSampleRate(bankRate_);
  setHPStat(hpStatValue_);
  setHPFreq(hpFreqValue_);
  setLPStat(lpStatValue_);
  setLPFreq(lpFreqValue_);
}

void StripFilterBank::clear() {
  std::memset(hpLeft_, 0, sizeof hpLeft_);
  std::memset(hpRight_, 0, sizeof hpRight_);
  std::memset(lpLeft_, 0, sizeof lpLeft_);
  std::memset(lpRight_, 0, sizeof lpRight_);
  for (FilterSection& s : sections_) s.clear();
}

void StripFilterBank::setHighPassEnables() {
  sections_[kHP1Left].setEnabled(hpIn_);
  sections_[kHP1Right].setEnabled(hpIn_);
  sections_[kHP2Left].setEnabled(hpIn_ * hpSlope_);
  sections_[kHP2Right].setEnabled(hpIn_ * hpSlope_);
}

void StripFilterBank::setLowPassEnables() {
  sections_[kLP1Left].setEnabled(lpIn_);
  sections_[kLP1Right].setEnabled(lpIn_);
  sections_[kLP2Left].setEnabled(lpIn_ * lpSlope_);
  sections_[kLP2Right].setEnabled(lpIn_ * lpSlope_);
}

void StripFilterBank::setHPStat(float v) {
  hpStatValue_ = unitValue(v);
  hpIn_ = switchState(hpStatValue_);
  setHighPassEnables();
}

void StripFilterBank::setHPSlope(float v) {
  hpSlopeValue_ = unitValue(v);
  hpSlope_ = switchState(hpSlopeValue_);
  setHighPassEnables();
}

void StripFilterBank::setHPFreq(float v) {
  hpFreqValue_ = unitValue(v);
  const double f = 20.0 * std::pow(100.0, double(hpFreqValue_));
  hpFrequency_ = static_cast<float>(std::min(std::max(f, double(kMinHighPassHz)), double(kMaxHighPassHz)));
  // HP1 sits at 0.7 and HP2 at 0.5 of the set frequency, both critically
  // damped: 12 dB/oct is -3.5 dB at the set frequency, 24 dB/oct -5.4 dB.
  for (Section s : {kHP1Left, kHP1Right}) {
    sections_[s].setFrequency(0.7 * hpFrequency_);
    sections_[s].setQ(kHighPassQ);
  }
  for (Section s : {kHP2Left, kHP2Right}) sections_[s].setFrequency(0.5 * hpFrequency_);
}

void StripFilterBank::setLPStat(float v) {
  lpStatValue_ = unitValue(v);
  lpIn_ = switchState(lpStatValue_);
  setLowPassEnables();
}

void StripFilterBank::setLPSlope(float v) {
  lpSlopeValue_ = unitValue(v);
  lpSlope_ = switchState(lpSlopeValue_);
  setLowPassEnables();
}

void StripFilterBank::setLPFreq(float v) {
  lpFreqValue_ = unitValue(v);
  const double f = 300.0 * std::pow(100.0, double(lpFreqValue_));
  lpFrequency_ = static_cast<float>(std::min(std::max(f, double(kMinLowPassHz)), double(kMaxLowPassHz)));

  // The one-pole corner sits at 1.2 F. Once that would pass fs/2 it stays
  // at fs/2 and the unfiltered signal fades in instead, along a 1.41 power
  // curve that reaches the dry signal alone at 1.2 F = 36 kHz (F = 30 kHz).
  wet_ = 1.0f;
  dry_ = 0.0f;
  double h = 1.2 * lpFrequency_;
  const double half = bankRate_ / 2.0;
  if (h > half) {
    // h > half implies half < 36 kHz here, so the divisor is positive.
    const double t = std::min(1.0, std::pow((h - half) / (36000.0 - half), 1.41));
    dry_ = static_cast<float>(t);
    wet_ = static_cast<float>(1.0 - t);
    h = half;
  }
  for (Section s : {kLP1Left, kLP1Right}) {
    sections_[s].setType(FilterSection::kOnePoleLowPass);
    sections_[s].setFrequency(h);
    sections_[s].setQ(0.5);
  }
  // A slightly higher Q towards low corners keeps the 18 dB/oct knee firm.
  const double q2 = 0.4 + 0.091 * std::log10(600000.0 / lpFrequency_);
  for (Section s : {kLP2Left, kLP2Right}) {
    sections_[s].setType(FilterSection::kLowPass);
    sections_[s].setFrequency(1.4 * lpFrequency_);
    sections_[s].setQ(q2);
  }
}

// A deliberate guard, not part of the filter maths: NaN or infinity in the
// input would otherwise sit in a section's state and silence (or poison) the
// channel until the next clear. A section whose state is not finite at the
// end of a chunk starts again from zero, so clean input gives clean output
// again from the next chunk on.
void StripFilterBank::guardState() {
  for (FilterSection& s : sections_)
    if (!s.stateIsFinite()) s.clear();
}

void StripFilterBank::processStereo(float* left, float* right, int32_t frames) {
  if (left == nullptr || right == nullptr || frames <= 0) return;
  run<StereoLanes>(left, right, nullptr, frames);
}

void StripFilterBank::processMono(float* left, float* rightOrNull, int32_t frames) {
  if (left == nullptr || frames <= 0) return;
  run<MonoLanes>(left, nullptr, rightOrNull == left ? nullptr : rightOrNull, frames);
}

// Stereo runs the left and right sections side by side (right != nullptr);
// mono runs the left sections alone and copies the result to monoCopy when
// one is given.
template <class Lanes>
void StripFilterBank::run(float* left, float* right, float* monoCopy, int32_t frames) {
  // The sections that run, in processing order. Switched-off sections still
  // have their state zeroed, as running them one by one would do.
  int ls[4], rs[4], count = 0, hpCount = 0;
  for (int k = 0; k < 4; ++k) {
    const int l = kLeftOrder[k], r = right != nullptr ? kRightOrder[k] : l;
    if (active(sections_[l])) {
      ls[count] = l;
      rs[count++] = r;
      if (k < 2) ++hpCount;
    } else if (sections_[l].type() != FilterSection::kNone) {
      sections_[l].clear();
      sections_[r].clear();
    }
  }
  const int lpCount = count - hpCount;
  if (count == 0) {  // both out: the input stays exactly as it is
    if (monoCopy != nullptr) std::memmove(monoCopy, left, sizeof(float) * size_t(frames));
    return;
  }

  const DenormalsOff denormalsOff;
  const StageRunner<Lanes> kernel = stageRunner<Lanes>(hpCount, lpCount);
  const float wet = wet_, dry = dry_;
  Stage<Lanes> stages[4];
  // Stepping by n rather than kChunk keeps `done` within frames, so even a
  // block of 2^31 - 1 frames cannot overflow the counter.
  for (int32_t done = 0, n = 0; done < frames; done += n) {
    n = std::min(kChunk, frames - done);
    float* l = left + done;
    float* r = right != nullptr ? right + done : nullptr;

    for (int k = 0; k < count; ++k) stages[k].load(sections_[ls[k]], sections_[rs[k]]);
    kernel(stages, l, r, hpLeft_, hpRight_, lpLeft_, lpRight_, n);
    for (int k = 0; k < count; ++k) stages[k].save(sections_[ls[k]], sections_[rs[k]]);
    guardState();

    if (lpCount > 0) {
      for (int32_t i = 0; i < n; ++i) l[i] = lpLeft_[i] * wet + hpLeft_[i] * dry;
      if (r != nullptr)
        for (int32_t i = 0; i < n; ++i) r[i] = lpRight_[i] * wet + hpRight_[i] * dry;
    } else {
      // With the low-pass out the high-pass result is the output: no mix,
      // which could round x*wet + x*dry away from x.
      std::memcpy(l, hpLeft_, sizeof(float) * size_t(n));
      if (r != nullptr) std::memcpy(r, hpRight_, sizeof(float) * size_t(n));
    }
    if (monoCopy != nullptr) std::memmove(monoCopy + done, l, sizeof(float) * size_t(n));
  }
}

std::complex<double> StripFilterBank::responseAt(double hz) const {
  const std::complex<double> hp =
      sections_[kHP1Left].responseAt(hz) * sections_[kHP2Left].responseAt(hz);
  if (!active(sections_[kLP1Left]) && !active(sections_[kLP2Left])) return hp;
  const std::complex<double> lp =
      sections_[kLP1Left].responseAt(hz) * sections_[kLP2Left].responseAt(hz);
  return hp * (double(wet_) * lp + double(dry_));
}

}  // namespace orvane
