#include "core/StripFilterBank.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <random>
#include <vector>

// ---------------------------------------------------------------------------
// Every allocation of this test program is counted, so a test can prove that
// the audio path allocates nothing.

namespace {
std::atomic<long> gAllocations{0};

// Out of line, so that the compiler does not pair an inlined malloc with an
// inlined free and mistake the replacement for a mismatch.
__attribute__((noinline)) void* countedAlloc(std::size_t n) {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(n ? n : 1);
}
__attribute__((noinline)) void countedFree(void* p) { std::free(p); }
}  // namespace

void* operator new(std::size_t n) {
  if (void* p = countedAlloc(n)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return countedAlloc(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return countedAlloc(n); }
void operator delete(void* p) noexcept { countedFree(p); }
void operator delete[](void* p) noexcept { countedFree(p); }
void operator delete(void* p, std::size_t) noexcept { countedFree(p); }
void operator delete[](void* p, std::size_t) noexcept { countedFree(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { countedFree(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { countedFree(p); }

namespace orvane {
namespace {

using Bank = StripFilterBank;
constexpr double kPi = 3.141592653589793;

double dB(double gain) { return 20.0 * std::log10(gain); }

std::vector<float> noise(size_t n, unsigned seed, float amplitude = 0.5f) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> d(-amplitude, amplitude);
  std::vector<float> v(n);
  for (float& x : v) x = d(rng);
  return v;
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

// Filter settings of one test case, as normalised parameter values.
struct Setting {
  float hpStat, hpSlope, hpFreq, lpStat, lpSlope, lpFreq;
};

void apply(Bank& bank, float rate, const Setting& s) {
  bank.setHPStat(s.hpStat);
  bank.setHPSlope(s.hpSlope);
  bank.setHPFreq(s.hpFreq);
  bank.setLPStat(s.lpStat);
  bank.setLPSlope(s.lpSlope);
  bank.setLPFreq(s.lpFreq);
  bank.setSampleRate(rate);
  bank.recompute();
  bank.clear();
}

// Every combination of HP out/12/24 and LP out/6/18, with the low-pass in
// its cross-fade region at 44.1 kHz (LPFreq 0.95) or not, and a mid HP.
std::vector<Setting> allCombinations() {
  std::vector<Setting> v;
  for (int hp = 0; hp < 3; ++hp)
    for (int lp = 0; lp < 3; ++lp)
      for (float lpFreq : {0.5f, 0.95f})
        v.push_back({hp > 0 ? 1.0f : 0.0f, hp == 2 ? 1.0f : 0.0f, 0.4f, lp > 0 ? 1.0f : 0.0f,
                     lp == 2 ? 1.0f : 0.0f, lpFreq});
  return v;
}

// Least-squares amplitude of a sinusoid of angular frequency w (radians per
// sample) in y[start..]: fits a*sin + b*cos, which needs no whole number of
// cycles in the window.
double sineAmplitude(const std::vector<float>& y, double w, size_t start) {
  double ss = 0, cc = 0, sc = 0, ys = 0, yc = 0;
  for (size_t n = start; n < y.size(); ++n) {
    const double s = std::sin(w * double(n)), c = std::cos(w * double(n));
    ss += s * s;
    cc += c * c;
    sc += s * c;
    ys += y[n] * s;
    yc += y[n] * c;
  }
  const double det = ss * cc - sc * sc;
  const double a = (ys * cc - yc * sc) / det;
  const double b = (yc * ss - ys * sc) / det;
  return std::sqrt(a * a + b * b);
}

struct Gains {
  double left, right;
};

// Runs a steady sine through processStereo (left and right with different
// phases and levels) in odd-sized blocks, lets the slowest section (a double
// pole at 10 Hz) settle for half a second, then measures the gain of each
// channel in dB.
Gains measureStereo(Bank& bank, double hz) {
  bank.clear();
  const double fs = bank.bankRate();
  const double w = 2.0 * kPi * hz / fs;
  const size_t settle = size_t(0.5 * fs);
  const size_t measure = size_t(std::max(0.25 * fs, 6.0 * fs / hz));
  const size_t n = settle + measure;
  std::vector<float> l(n), r(n);
  for (size_t i = 0; i < n; ++i) {
    l[i] = float(0.5 * std::sin(w * double(i)));
    r[i] = float(0.25 * std::cos(w * double(i) + 0.3));
  }
  for (size_t done = 0; done < n;) {
    const int32_t block = int32_t(std::min<size_t>(333, n - done));
    bank.processStereo(l.data() + done, r.data() + done, block);
    done += size_t(block);
  }
  return {dB(sineAmplitude(l, w, settle) / 0.5), dB(sineAmplitude(r, w, settle) / 0.25)};
}

double measureMono(Bank& bank, double hz) {
  bank.clear();
  const double fs = bank.bankRate();
  const double w = 2.0 * kPi * hz / fs;
  const size_t settle = size_t(0.5 * fs);
  const size_t n = settle + size_t(std::max(0.25 * fs, 6.0 * fs / hz));
  std::vector<float> x(n);
  for (size_t i = 0; i < n; ++i) x[i] = float(0.5 * std::sin(w * double(i)));
  for (size_t done = 0; done < n;) {
    const int32_t block = int32_t(std::min<size_t>(1000, n - done));
    bank.processMono(x.data() + done, nullptr, block);
    done += size_t(block);
  }
  return dB(sineAmplitude(x, w, settle) / 0.5);
}

constexpr double kResponseTolerance = 0.01;  // dB

// Checks the measured stereo (and optionally mono) gain at `hz` against the
// response computed from the section coefficients.
void expectResponse(Bank& bank, double hz, bool alsoMono) {
  const double expected = dB(bank.magnitudeAt(hz));
  const Gains g = measureStereo(bank, hz);
  EXPECT_NEAR(g.left, expected, kResponseTolerance) << hz << " Hz at " << bank.bankRate();
  EXPECT_NEAR(g.right, expected, kResponseTolerance) << hz << " Hz at " << bank.bankRate();
  if (alsoMono) {
    EXPECT_NEAR(measureMono(bank, hz), expected, kResponseTolerance) << hz << " Hz";
  }
}

// The bank's processing written the plain way: every section runs over a
// float buffer of its own, one section after the other, chunk by chunk, then
// the low-pass result and the high-pass result are mixed by wet and dry (or,
// with the low-pass out, the high-pass result is the output). The sections
// are copies of the bank's, so both start from the same coefficients.
class PlainBank {
 public:
  explicit PlainBank(const Bank& bank) : wet_(bank.wet()), dry_(bank.dry()) {
    for (int k = 0; k < Bank::kSectionCount; ++k) s_[k] = bank.section(Bank::Section(k));
  }

  void process(float* left, float* right, int32_t frames) {
    for (int32_t done = 0; done < frames; done += 64) {
      const int32_t n = std::min<int32_t>(64, frames - done);
      channel(left + done, n, Bank::kHP1Left, Bank::kHP2Left, Bank::kLP1Left, Bank::kLP2Left);
      if (right)
        channel(right + done, n, Bank::kHP1Right, Bank::kHP2Right, Bank::kLP1Right, Bank::kLP2Right);
      for (FilterSection& s : s_)
        if (!s.stateIsFinite()) s.clear();
    }
  }

 private:
  void channel(float* x, int32_t n, int hp1, int hp2, int lp1, int lp2) {
    float hp[128], lp[128];
    std::memcpy(hp, x, sizeof(float) * size_t(n));
    s_[hp1].process(hp, n);
    s_[hp2].process(hp, n);
    std::memcpy(lp, hp, sizeof(float) * size_t(n));
    s_[lp1].process(lp, n);
    s_[lp2].process(lp, n);
    const bool lpIn = s_[lp1].enabled() || s_[lp2].enabled();
    for (int32_t i = 0; i < n; ++i) x[i] = lpIn ? lp[i] * wet_ + hp[i] * dry_ : hp[i];
  }

  FilterSection s_[Bank::kSectionCount];
  float wet_, dry_;
};

// ---------------------------------------------------------------------------
// Responses

TEST(StripFilterBank, HighPassResponseMatchesSectionFormulasAt12And24DbPerOctave) {
  for (float slope : {0.0f, 1.0f}) {
    for (float freq : {0.0f, 0.5f, 1.0f}) {
      Bank bank;
      apply(bank, 48000.0f, {1, slope, freq, 0, 0, 1});
      const double corner = bank.hpFrequency();
      // The filter must really cut: a quarter of the corner is far down.
      EXPECT_LT(dB(bank.magnitudeAt(corner / 4)), slope > 0 ? -30.0 : -17.0);
      for (double m : {0.25, 0.5, 1.0, 2.0, 8.0}) expectResponse(bank, corner * m, false);
    }
  }
}

TEST(StripFilterBank, LowPassResponseMatchesSectionFormulasAt6And18DbPerOctave) {
  for (float slope : {0.0f, 1.0f}) {
    for (float freq : {0.0f, 0.35f, 0.7f}) {
      Bank bank;
      apply(bank, 48000.0f, {0, 0, 0, 1, slope, freq});
      const double corner = bank.lpFrequency();
      EXPECT_LT(dB(bank.magnitudeAt(corner * 2)), slope > 0 ? -12.0 : -4.0);
      for (double m : {0.5, 1.0, 2.0, 4.0})
        if (corner * m < 0.45 * 48000) expectResponse(bank, corner * m, false);
    }
  }
}

TEST(StripFilterBank, CrossFadeRegionMatchesSectionFormulasAt44_96And192kHz) {
  for (float rate : {44100.0f, 96000.0f, 192000.0f}) {
    for (float slope : {0.0f, 1.0f}) {
      for (float freq : {0.85f, 0.9f, 0.95f, 1.0f}) {
        Bank bank;
        apply(bank, rate, {1, 0, 0, 1, slope, freq});
        for (double hz : {1000.0, 5000.0, 10000.0, 15000.0, 19000.0, 21000.0, 30000.0, 40000.0})
          if (hz < 0.48 * rate) expectResponse(bank, hz, freq == 0.95f);
      }
    }
  }
}

// Anchors that do not come from the bank's own response function: an RBJ
// biquad has gain Q at its corner, and the one-pole is 3.01 dB down at its
// frequency. These pin down the coefficient formulas themselves.
TEST(StripFilterBank, SectionsHaveTheirTextbookGainAtTheirCorners) {
  for (float freq : {0.0f, 0.25f, 0.5f, 0.75f, 1.0f}) {
    Bank bank;
    apply(bank, 48000.0f, {1, 0, freq, 0, 0, 1});
    // HP1 alone, critically damped: -6.02 dB at 0.7 * HP frequency.
    EXPECT_NEAR(measureStereo(bank, 0.7 * bank.hpFrequency()).left, dB(0.5), kResponseTolerance) << freq;
  }
  Bank bank;
  apply(bank, 96000.0f, {0, 0, 0, 1, 0, 0.5f});  // LP 3 kHz, 6 dB/oct
  EXPECT_NEAR(measureStereo(bank, 1.2 * 3000).left, dB(std::sqrt(0.5)), kResponseTolerance);
  // 18 dB/oct: at its own corner 1.4 F, LP2 adds exactly its Q to what the
  // one-pole alone gives there.
  const double atLp2 = measureStereo(bank, 1.4 * 3000).left;
  apply(bank, 96000.0f, {0, 0, 0, 1, 1, 0.5f});
  const double q2 = 0.4 + 0.091 * std::log10(600000.0 / 3000.0);
  EXPECT_NEAR(measureStereo(bank, 1.4 * 3000).left - atLp2, dB(q2), kResponseTolerance);
}

// HP1 runs with Q 0.5 at every corner: at the set frequency 12 dB/oct is
// 3.46 dB down and 24 dB/oct 5.40 dB (two critically damped sections at 0.7
// and 0.5 of it); a frequency-dependent Q would give -3.2 dB at 20 Hz but
// -1.0 dB at 2 kHz.
TEST(StripFilterBank, HighPassKeepsOneCurveShapeOverItsWholeRange) {
  for (float freq : {0.0f, 0.25f, 0.5f, 0.75f, 1.0f}) {
    Bank bank;
    apply(bank, 48000.0f, {1, 0, freq, 0, 0, 1});
    EXPECT_DOUBLE_EQ(bank.section(Bank::kHP1Left).q(), 0.5);
    EXPECT_DOUBLE_EQ(bank.section(Bank::kHP1Right).q(), 0.5);
    EXPECT_NEAR(measureStereo(bank, bank.hpFrequency()).left, -3.46, 0.05) << freq;
    bank.setHPSlope(1.0f);
    EXPECT_NEAR(measureStereo(bank, bank.hpFrequency()).left, -5.40, 0.05) << freq;
  }
}

// ---------------------------------------------------------------------------
// Settings

TEST(StripFilterBank, StartsWithTheDefaultSettings) {
  Bank bank;
  EXPECT_EQ(bank.bankRate(), 44100.0f);
  EXPECT_TRUE(bank.hpIn());
  EXPECT_EQ(bank.hpSlope(), 0);
  EXPECT_FLOAT_EQ(bank.hpFrequency(), 20.0f);
  EXPECT_TRUE(bank.lpIn());
  EXPECT_EQ(bank.lpSlope(), 0);
  EXPECT_FLOAT_EQ(bank.lpFrequency(), 30000.0f);
  // 30 kHz at 44.1 kHz: fully faded to the unfiltered signal.
  EXPECT_EQ(bank.wet(), 0.0f);
  EXPECT_EQ(bank.dry(), 1.0f);
  EXPECT_TRUE(bank.section(Bank::kHP1Left).enabled());
  EXPECT_FALSE(bank.section(Bank::kHP2Left).enabled());
  EXPECT_TRUE(bank.section(Bank::kLP1Right).enabled());
  EXPECT_FALSE(bank.section(Bank::kLP2Right).enabled());
}

TEST(StripFilterBank, HalfwayHighPassSettingPutsCornersAt140And100Hz) {
  Bank bank;
  bank.setHPFreq(0.5f);
  EXPECT_FLOAT_EQ(bank.hpFrequency(), 200.0f);
  for (Bank::Section s : {Bank::kHP1Left, Bank::kHP1Right})
    EXPECT_NEAR(bank.section(s).frequency(), 140.0, 1e-9);
  for (Bank::Section s : {Bank::kHP2Left, Bank::kHP2Right}) {
    EXPECT_NEAR(bank.section(s).frequency(), 100.0, 1e-9);
    EXPECT_DOUBLE_EQ(bank.section(s).q(), 0.5);
  }
}

TEST(StripFilterBank, SlopeSwitchesEnableTheSecondSections) {
  Bank bank;
  bank.setHPSlope(1.0f);
  bank.setLPSlope(0.7f);
  EXPECT_TRUE(bank.section(Bank::kHP2Left).enabled() && bank.section(Bank::kHP2Right).enabled());
  EXPECT_TRUE(bank.section(Bank::kLP2Left).enabled() && bank.section(Bank::kLP2Right).enabled());
  bank.setHPStat(0.49f);  // below the half-way point: out
  bank.setLPStat(0.0f);
  for (int k = 0; k < Bank::kSectionCount; ++k) EXPECT_FALSE(bank.section(Bank::Section(k)).enabled()) << k;
  bank.setHPStat(0.5f);  // the half-way point counts as in
  EXPECT_TRUE(bank.section(Bank::kHP1Left).enabled());
  EXPECT_TRUE(bank.section(Bank::kHP2Left).enabled());
  EXPECT_FALSE(bank.section(Bank::kLP1Left).enabled());
}

TEST(StripFilterBank, RatesOutsideItsRangeAreLimited) {
  Bank bank, reference;
  apply(reference, 44100.0f, {1, 1, 0.3f, 1, 1, 0.9f});
  apply(bank, 32000.0f, {1, 1, 0.3f, 1, 1, 0.9f});
  EXPECT_EQ(bank.bankRate(), 44100.0f);
  for (int k = 0; k < Bank::kSectionCount; ++k) {
    EXPECT_EQ(bank.section(Bank::Section(k)).sampleRate(), 44100.0);
    EXPECT_EQ(bank.section(Bank::Section(k)).b0, reference.section(Bank::Section(k)).b0);
    EXPECT_EQ(bank.section(Bank::Section(k)).a1, reference.section(Bank::Section(k)).a1);
  }
  std::vector<float> a = noise(3000, 1), b = a, c = noise(3000, 2), d = c;
  bank.processStereo(a.data(), c.data(), 3000);
  reference.processStereo(b.data(), d.data(), 3000);
  EXPECT_TRUE(sameBits(a, b) && sameBits(c, d));

  bank.setSampleRate(250000.0f);
  EXPECT_EQ(bank.bankRate(), 192000.0f);
  bank.setSampleRate(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(bank.bankRate(), 44100.0f);
  bank.setSampleRate(-1.0f);
  EXPECT_EQ(bank.bankRate(), 44100.0f);
}

TEST(StripFilterBank, TopLowPassAt96kHzHasNoCrossFade) {
  Bank bank;
  apply(bank, 96000.0f, {1, 0, 0, 1, 1, 1});
  EXPECT_EQ(bank.wet(), 1.0f);
  EXPECT_EQ(bank.dry(), 0.0f);
  EXPECT_NEAR(bank.section(Bank::kLP1Left).frequency(), 36000.0, 1e-6);
  EXPECT_NEAR(bank.section(Bank::kLP2Left).frequency(), 42000.0, 1e-6);
}

TEST(StripFilterBank, CrossFadeFollowsTheSetFrequencyAndTheRate) {
  Bank bank;
  apply(bank, 44100.0f, {1, 0, 0, 1, 0, 0.85f});  // 1.2 F = 18.0 kHz: below 22.05 kHz
  EXPECT_EQ(bank.wet(), 1.0f);
  EXPECT_EQ(bank.dry(), 0.0f);
  EXPECT_NEAR(bank.section(Bank::kLP1Left).frequency(), 1.2 * bank.lpFrequency(), 1e-6);
  bank.setLPFreq(0.9f);  // 1.2 F = 22.7 kHz: the unfiltered signal just starts to come in
  EXPECT_NEAR(bank.dry(), 0.0136721, 2e-6);
  EXPECT_FLOAT_EQ(bank.wet() + bank.dry(), 1.0f);
  EXPECT_EQ(bank.section(Bank::kLP1Left).frequency(), 22050.0);  // held at fs/2
  bank.setLPFreq(0.95f);
  EXPECT_NEAR(bank.dry(), 0.3440799, 2e-6);
  bank.setLPFreq(1.0f);
  EXPECT_EQ(bank.dry(), 1.0f);
  EXPECT_EQ(bank.wet(), 0.0f);
  // A new rate moves the cross-fade at once.
  bank.setLPFreq(0.95f);
  bank.setSampleRate(48000.0f);
  EXPECT_NEAR(bank.dry(), 0.2583960, 2e-6);
  EXPECT_EQ(bank.section(Bank::kLP1Left).frequency(), 24000.0);
  bank.setSampleRate(96000.0f);
  EXPECT_EQ(bank.dry(), 0.0f);
  EXPECT_NEAR(bank.section(Bank::kLP1Right).frequency(), 1.2 * bank.lpFrequency(), 1e-6);
}

TEST(StripFilterBank, SettersLimitOutOfRangeValues) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  Bank bank;
  bank.setHPFreq(-3.0f);
  EXPECT_FLOAT_EQ(bank.hpFrequency(), 20.0f);
  bank.setHPFreq(1.5f);
  EXPECT_FLOAT_EQ(bank.hpFrequency(), 2000.0f);
  bank.setHPFreq(nan);
  EXPECT_FLOAT_EQ(bank.hpFrequency(), 20.0f);
  bank.setLPFreq(7.0f);
  EXPECT_FLOAT_EQ(bank.lpFrequency(), 30000.0f);
  bank.setLPFreq(nan);
  EXPECT_FLOAT_EQ(bank.lpFrequency(), 300.0f);
  bank.setHPStat(nan);
  EXPECT_FALSE(bank.hpIn());
  bank.setLPSlope(std::numeric_limits<float>::infinity());
  EXPECT_EQ(bank.lpSlope(), 1);
  EXPECT_EQ(bank.lpSlopeValue(), 1.0f);
  for (double hz : {1.0, 100.0, 10000.0, 22000.0}) EXPECT_TRUE(std::isfinite(bank.magnitudeAt(hz)));
}

TEST(StripFilterBank, RecomputeKeepsTheSettings) {
  Bank bank, reference;
  apply(reference, 88200.0f, {1, 1, 0.6f, 1, 1, 0.8f});
  apply(bank, 88200.0f, {1, 1, 0.6f, 1, 1, 0.8f});
  bank.recompute();
  bank.recompute();
  for (int k = 0; k < Bank::kSectionCount; ++k) {
    const FilterSection &a = bank.section(Bank::Section(k)), &b = reference.section(Bank::Section(k));
    EXPECT_EQ(a.enabled(), b.enabled());
    EXPECT_EQ(a.frequency(), b.frequency());
    EXPECT_EQ(a.q(), b.q());
    EXPECT_EQ(a.b0, b.b0);
    EXPECT_EQ(a.a2, b.a2);
  }
}

// ---------------------------------------------------------------------------
// Processing

TEST(StripFilterBank, BothFiltersOutPassesInputBitExactly) {
  // Includes the cross-fade region, where x*wet + x*dry would not always
  // round back to x, and values that any arithmetic would disturb.
  for (float lpFreq : {0.5f, 0.95f}) {
    Bank bank;
    apply(bank, 44100.0f, {0, 1, 0.5f, 0, 1, lpFreq});
    std::vector<float> l = noise(1500, 3), r = noise(1500, 4);
    l[0] = 1e-40f;  // denormal
    l[1] = -0.0f;
    r[2] = 1e-35f;
    r[3] = 3e38f;
    const std::vector<float> l0 = l, r0 = r;
    bank.processStereo(l.data(), r.data(), 1500);
    EXPECT_TRUE(sameBits(l, l0));
    EXPECT_TRUE(sameBits(r, r0));
    std::vector<float> m = l0, right(1500, 9.0f);
    bank.processMono(m.data(), right.data(), 1500);
    EXPECT_TRUE(sameBits(m, l0));
    EXPECT_TRUE(sameBits(right, l0));
  }
}

TEST(StripFilterBank, OneLoopProcessingIsBitIdenticalToSectionBySection) {
  for (float rate : {44100.0f, 96000.0f}) {
    for (const Setting& s : allCombinations()) {
      Bank bank;
      apply(bank, rate, s);
      PlainBank plain(bank);
      std::vector<float> l = noise(5000, 5), r = noise(5000, 6);
      std::vector<float> pl = l, pr = r, ml = l;
      bank.processStereo(l.data(), r.data(), 5000);
      plain.process(pl.data(), pr.data(), 5000);
      EXPECT_TRUE(sameBits(l, pl)) << rate << " hp " << s.hpStat << "/" << s.hpSlope << " lp " << s.lpStat
                                   << "/" << s.lpSlope << " " << s.lpFreq;
      EXPECT_TRUE(sameBits(r, pr));

      Bank mono;
      apply(mono, rate, s);
      PlainBank plainMono(mono);
      std::vector<float> pm = ml;
      mono.processMono(ml.data(), nullptr, 5000);
      plainMono.process(pm.data(), nullptr, 5000);
      EXPECT_TRUE(sameBits(ml, pm));
    }
  }
}

TEST(StripFilterBank, AnyBlockSplitGivesTheSameOutput) {
  const size_t total = 8192;
  const std::vector<float> inL = noise(total, 7), inR = noise(total, 8);
  for (const Setting& s : {Setting{1, 1, 0.2f, 1, 1, 0.6f}, Setting{1, 0, 0.7f, 1, 0, 0.97f}}) {
    Bank whole;
    apply(whole, 48000.0f, s);
    std::vector<float> wl = inL, wr = inR;
    whole.processStereo(wl.data(), wr.data(), int32_t(total));
    for (int32_t block : {1, 7, 64, 1000, 4096}) {
      Bank bank;
      apply(bank, 48000.0f, s);
      std::vector<float> l = inL, r = inR, m = inL;
      Bank mono;
      apply(mono, 48000.0f, s);
      for (size_t done = 0; done < total; done += size_t(block)) {
        const int32_t n = int32_t(std::min<size_t>(size_t(block), total - done));
        bank.processStereo(l.data() + done, r.data() + done, n);
        mono.processMono(m.data() + done, nullptr, n);
      }
      EXPECT_TRUE(sameBits(l, wl)) << block;
      EXPECT_TRUE(sameBits(r, wr)) << block;
      EXPECT_TRUE(sameBits(m, wl)) << block;
    }
  }
}

TEST(StripFilterBank, MonoPathEqualsLeftChannelOfStereoPath) {
  for (const Setting& s : allCombinations()) {
    Bank stereo, mono;
    apply(stereo, 44100.0f, s);
    apply(mono, 44100.0f, s);
    std::vector<float> l = noise(2000, 9), r = noise(2000, 10), m = l, right(2000, 7.0f);
    stereo.processStereo(l.data(), r.data(), 2000);
    mono.processMono(m.data(), right.data(), 2000);
    EXPECT_TRUE(sameBits(m, l));
    EXPECT_TRUE(sameBits(right, l));
    // The right sections of the mono bank were never touched.
    EXPECT_EQ(mono.section(Bank::kHP1Right).y1, 0.0);
    EXPECT_EQ(mono.section(Bank::kLP1Right).y1, 0.0);
  }
}

TEST(StripFilterBank, ClearForgetsEverythingItHeard) {
  Bank used, fresh;
  apply(used, 48000.0f, {1, 1, 0.5f, 1, 1, 0.5f});
  apply(fresh, 48000.0f, {1, 1, 0.5f, 1, 1, 0.5f});
  std::vector<float> a = noise(700, 11), b = noise(700, 12);
  used.processStereo(a.data(), b.data(), 700);
  used.clear();
  std::vector<float> l1 = noise(900, 13), r1 = noise(900, 14), l2 = l1, r2 = r1;
  used.processStereo(l1.data(), r1.data(), 900);
  fresh.processStereo(l2.data(), r2.data(), 900);
  EXPECT_TRUE(sameBits(l1, l2) && sameBits(r1, r2));
}

TEST(StripFilterBank, SwitchedOffSectionsForgetTheirState) {
  Bank bank;
  apply(bank, 48000.0f, {1, 1, 0.5f, 1, 1, 0.5f});
  std::vector<float> l = noise(300, 15), r = noise(300, 16);
  bank.processStereo(l.data(), r.data(), 300);
  ASSERT_NE(bank.section(Bank::kHP2Left).y1, 0.0);
  bank.setHPSlope(0.0f);
  bank.setLPStat(0.0f);
  bank.processStereo(l.data(), r.data(), 300);
  for (Bank::Section s : {Bank::kHP2Left, Bank::kHP2Right, Bank::kLP1Left, Bank::kLP2Right}) {
    EXPECT_EQ(bank.section(s).x1, 0.0);
    EXPECT_EQ(bank.section(s).y2, 0.0);
  }
  EXPECT_NE(bank.section(Bank::kHP1Left).y1, 0.0);
}

TEST(StripFilterBank, NonFiniteInputIsForgottenAfterItsChunk) {
  const float bad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                       -std::numeric_limits<float>::infinity()};
  for (float value : bad) {
    Bank bank, fresh, clean;
    for (Bank* b : {&bank, &fresh, &clean}) apply(*b, 48000.0f, {1, 1, 0.1f, 1, 1, 0.6f});
    std::vector<float> l = noise(600, 17), r = noise(600, 18);
    const std::vector<float> inL = l, inR = r;
    l[10] = value;  // the first chunk (0..63) of the left channel is poisoned
    bank.processStereo(l.data(), r.data(), 600);
    EXPECT_FALSE(std::isfinite(l[10]));
    for (int k = 0; k < Bank::kSectionCount; ++k) EXPECT_TRUE(bank.section(Bank::Section(k)).stateIsFinite());

    // From the next chunk on the left channel is what a cleared bank makes
    // of the same input.
    std::vector<float> fl(inL.begin() + 64, inL.end()), fr(inR.begin() + 64, inR.end());
    fresh.processStereo(fl.data(), fr.data(), int32_t(fl.size()));
    EXPECT_TRUE(std::equal(fl.begin(), fl.end(), l.begin() + 64));
    // The right channel never saw the bad sample and carries on untouched.
    std::vector<float> cl = inL, cr = inR;
    clean.processStereo(cl.data(), cr.data(), 600);
    EXPECT_TRUE(sameBits(cr, r));

    // And a later block is clean from its first sample.
    std::vector<float> next = noise(200, 19), nextR = noise(200, 20);
    bank.processStereo(next.data(), nextR.data(), 200);
    for (float x : next) ASSERT_TRUE(std::isfinite(x));

    // The mono path recovers the same way.
    Bank mono;
    apply(mono, 48000.0f, {1, 1, 0.1f, 1, 1, 0.6f});
    std::vector<float> m = inL;
    m[70] = value;  // second chunk
    mono.processMono(m.data(), nullptr, 600);
    for (size_t i = 128; i < m.size(); ++i) ASSERT_TRUE(std::isfinite(m[i])) << i;
    for (int k = 0; k < Bank::kSectionCount; ++k) EXPECT_TRUE(mono.section(Bank::Section(k)).stateIsFinite());
  }
}

TEST(StripFilterBank, BadArgumentsWriteNothingAndChangeNothing) {
  Bank bank, reference;
  apply(bank, 48000.0f, {1, 1, 0.5f, 1, 1, 0.5f});
  apply(reference, 48000.0f, {1, 1, 0.5f, 1, 1, 0.5f});
  std::vector<float> l = noise(64, 21), r = noise(64, 22);
  const std::vector<float> l0 = l, r0 = r;
  bank.processStereo(l.data(), r.data(), 0);
  bank.processStereo(l.data(), r.data(), -5);
  bank.processStereo(nullptr, r.data(), 64);
  bank.processStereo(l.data(), nullptr, 64);
  bank.processMono(nullptr, r.data(), 64);
  bank.processMono(l.data(), r.data(), 0);
  bank.processMono(l.data(), r.data(), -64);
  EXPECT_TRUE(sameBits(l, l0) && sameBits(r, r0));
  // The state is untouched too: the next real block matches a bank that
  // never saw those calls.
  std::vector<float> l2 = l;
  bank.processStereo(l.data(), r.data(), 64);
  std::vector<float> r2 = r0;
  reference.processStereo(l2.data(), r2.data(), 64);
  EXPECT_TRUE(sameBits(l, l2) && sameBits(r, r2));
}

TEST(StripFilterBank, ProcessingAllocatesNothing) {
  Bank bank;
  std::vector<float> l = noise(4096, 23), r = noise(4096, 24);
  const long before = gAllocations.load();
  for (const Setting& s : {Setting{1, 1, 0.5f, 1, 1, 0.95f}, Setting{1, 0, 0.5f, 0, 0, 1}, Setting{0, 0, 0, 1, 0, 0.3f}}) {
    bank.setHPStat(s.hpStat);
    bank.setHPSlope(s.hpSlope);
    bank.setLPStat(s.lpStat);
    bank.setLPSlope(s.lpSlope);
    bank.setLPFreq(s.lpFreq);
    for (int32_t n : {1, 7, 64, 1000, 4096}) {
      bank.processStereo(l.data(), r.data(), n);
      bank.processMono(l.data(), r.data(), n);
      bank.processMono(l.data(), nullptr, n);
    }
    bank.clear();
  }
  EXPECT_EQ(gAllocations.load() - before, 0);
}

// After the music stops, every section's state ends in exact zeros (the
// 1e-30 guard) and the output with it.
TEST(StripFilterBank, SilenceAfterSignalDecaysToExactZero) {
  Bank bank;
  apply(bank, 192000.0f, {1, 1, 0.0f, 1, 1, 0.0f});  // slowest poles: 10 Hz HP, 300 Hz LP
  std::vector<float> l = noise(4096, 25), r = noise(4096, 26);
  bank.processStereo(l.data(), r.data(), 4096);
  std::vector<float> sl(192000), sr(192000);
  for (int i = 0; i < 20; ++i) {
    std::fill(sl.begin(), sl.end(), 0.0f);
    std::fill(sr.begin(), sr.end(), 0.0f);
    bank.processStereo(sl.data(), sr.data(), 192000);
  }
  for (float x : sl) ASSERT_EQ(std::fpclassify(x), FP_ZERO);
  for (float x : sr) ASSERT_EQ(std::fpclassify(x), FP_ZERO);
}

// ---------------------------------------------------------------------------
// One section

TEST(FilterSection, LimitsRateFrequencyAndQ) {
  FilterSection s;
  s.setType(FilterSection::kHighPass);
  s.setEnabled(1);
  s.setSampleRate(10000.0);
  EXPECT_EQ(s.sampleRate(), 44100.0);
  s.setSampleRate(500000.0);
  EXPECT_EQ(s.sampleRate(), 44100.0);
  s.setSampleRate(400000.0);
  EXPECT_EQ(s.sampleRate(), 400000.0);
  s.setSampleRate(std::nan(""));
  EXPECT_EQ(s.sampleRate(), 44100.0);
  s.setFrequency(0.0);
  EXPECT_EQ(s.frequency(), 0.001);
  s.setFrequency(1e6);
  EXPECT_EQ(s.frequency(), 44100.0);
  s.setQ(0.0);
  EXPECT_EQ(s.q(), 0.0001);
  s.setQ(5000.0);
  EXPECT_EQ(s.q(), 1000.0);
  s.setType(42);
  EXPECT_EQ(s.type(), FilterSection::kNone);
  // Extreme settings still give a finite, stable section.
  for (int type : {FilterSection::kHighPass, FilterSection::kLowPass, FilterSection::kOnePoleLowPass}) {
    s.setType(type);
    for (double q : {0.0, 1000.0})
      for (double f : {0.0, 22000.0, 44100.0}) {
        s.setQ(q);
        s.setFrequency(f);
        EXPECT_TRUE(std::isfinite(s.a1) && std::isfinite(s.a2) && std::isfinite(s.b0)) << type;
        EXPECT_LT(std::fabs(s.a2), 1.0) << type << " " << q << " " << f;
      }
  }
}

TEST(FilterSection, DisabledSectionPassesSamplesAndForgetsItsState) {
  FilterSection s;
  s.setType(FilterSection::kLowPass);
  s.setFrequency(1000.0);
  s.setEnabled(1);
  std::vector<float> x = noise(100, 27);
  s.process(x.data(), 100);
  ASSERT_NE(s.y1, 0.0);
  s.setEnabled(0);
  EXPECT_EQ(s.b0, 1.0);
  std::vector<float> y = noise(100, 28);
  y[5] = 1e-42f;
  const std::vector<float> y0 = y;
  s.process(y.data(), 100);
  EXPECT_TRUE(sameBits(y, y0));
  EXPECT_EQ(s.x1, 0.0);
  EXPECT_EQ(s.y2, 0.0);
  EXPECT_EQ(s.responseAt(1000.0), std::complex<double>(1.0));
}

}  // namespace
}  // namespace orvane
