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

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

// Every allocation of this program is counted, so a test can prove that
// processing allocates nothing. Out of line, so that the compiler does not
// pair an inlined malloc with an inlined free and call it a mismatch.
namespace {
std::atomic<long> gAllocations{0};
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

namespace orvane {
namespace {

using Bank = StripFilterBank;
constexpr double kPi = 3.141592653589793;
constexpr double kTolerance = 0.01;  // dB
const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

double dB(double gain) { return 20.0 * std::log10(gain); }

std::vector<float> noise(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> d(-0.5f, 0.5f);
  std::vector<float> v(n);
  for (float& x : v) x = d(rng);
  return v;
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

// Normalised parameter values of one filter setting.
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
  bank.clear();
}

// HP out/12/24 by LP out/6/18, each with the low-pass inside and outside
// its cross-fade region at 44.1 kHz.
std::vector<Setting> allCombinations() {
  std::vector<Setting> v;
  for (int hp = 0; hp < 3; ++hp)
    for (int lp = 0; lp < 3; ++lp)
      for (float lpFreq : {0.5f, 0.95f})
        v.push_back({float(hp > 0), float(hp == 2), 0.4f, float(lp > 0), float(lp == 2), lpFreq});
  return v;
}

// Least-squares amplitude of a*sin + b*cos at w radians per sample over
// y[start..]; needs no whole number of cycles.
double sineAmplitude(const std::vector<float>& y, double w, size_t start) {
  double ss = 0, cc = 0, sc = 0, ys = 0, yc = 0;
  for (size_t n = start; n < y.size(); ++n) {
    const double s = std::sin(w * double(n)), c = std::cos(w * double(n));
    ss += s * s, cc += c * c, sc += s * c, ys += y[n] * s, yc += y[n] * c;
  }
  const double det = ss * cc - sc * sc;
  return std::hypot((ys * cc - yc * sc) / det, (yc * ss - ys * sc) / det);
}

// Gain in dB of left, right and (mono path) left at `hz`: a steady sine in
// odd-sized blocks, half a second to settle (the slowest poles sit at 10 Hz),
// then a least-squares fit. Left and right get different phases and levels.
struct Gains {
  double left, right, mono;
};
Gains measure(Bank& bank, double hz) {
  const double fs = bank.bankRate(), w = 2.0 * kPi * hz / fs;
  const size_t settle = size_t(0.5 * fs), n = settle + size_t(std::max(0.25 * fs, 6.0 * fs / hz));
  std::vector<float> l(n), r(n), m(n);
  for (size_t i = 0; i < n; ++i) {
    m[i] = l[i] = float(0.5 * std::sin(w * double(i)));
    r[i] = float(0.25 * std::cos(w * double(i) + 0.3));
  }
  Bank mono = bank;
  bank.clear();
  mono.clear();
  for (size_t done = 0; done < n; done += 333) {
    const int32_t block = int32_t(std::min<size_t>(333, n - done));
    bank.processStereo(l.data() + done, r.data() + done, block);
    mono.processMono(m.data() + done, nullptr, block);
  }
  return {dB(sineAmplitude(l, w, settle) / 0.5), dB(sineAmplitude(r, w, settle) / 0.25),
          dB(sineAmplitude(m, w, settle) / 0.5)};
}

void expectResponse(Bank& bank, double hz) {
  const double expected = dB(bank.magnitudeAt(hz));
  const Gains g = measure(bank, hz);
  EXPECT_NEAR(g.left, expected, kTolerance) << hz << " Hz at " << bank.bankRate();
  EXPECT_NEAR(g.right, expected, kTolerance) << hz << " Hz at " << bank.bankRate();
  EXPECT_NEAR(g.mono, expected, kTolerance) << hz << " Hz at " << bank.bankRate();
}

// The bank written the plain way: each section over a float buffer of its
// own, one after the other, chunk by chunk; then low-pass * wet + high-pass
// * dry (or the high-pass result alone while the low-pass is out).
class PlainBank {
 public:
  explicit PlainBank(const Bank& bank) : wet_(bank.wet()), dry_(bank.dry()) {
    for (int k = 0; k < Bank::kSectionCount; ++k) s_[k] = bank.section(Bank::Section(k));
  }
  void process(float* left, float* right, int32_t frames) {
    for (int32_t done = 0; done < frames; done += 64) {
      const int32_t n = std::min<int32_t>(64, frames - done);
      channel(left + done, n, Bank::kHP1Left, Bank::kLP1Left);
      if (right) channel(right + done, n, Bank::kHP1Right, Bank::kLP1Right);
    }
  }

 private:
  // The second section of each pair follows the first in the Section order.
  void channel(float* x, int32_t n, int hp1, int lp1) {
    float hp[64], lp[64];
    std::memcpy(hp, x, sizeof(float) * size_t(n));
    s_[hp1].process(hp, n);
    s_[hp1 + 1].process(hp, n);
    std::memcpy(lp, hp, sizeof(float) * size_t(n));
    s_[lp1].process(lp, n);
    s_[lp1 + 1].process(lp, n);
    const bool lpIn = s_[lp1].enabled() || s_[lp1 + 1].enabled();
    for (int32_t i = 0; i < n; ++i) x[i] = lpIn ? lp[i] * wet_ + hp[i] * dry_ : hp[i];
  }
  FilterSection s_[Bank::kSectionCount];
  float wet_, dry_;
};

// ---------------------------------------------------------------------------
// Responses: sines through the bank against the response computed from the
// section coefficients.

TEST(StripFilterBank, MeasuredResponseMatchesSectionFormulasForBothSlopesOfEachFilter) {
  for (float slope : {0.0f, 1.0f}) {
    for (float freq : {0.0f, 0.5f, 1.0f}) {
      Bank bank;
      apply(bank, 48000.0f, {1, slope, freq, 0, 0, 1});
      const double corner = bank.hpFrequency();
      EXPECT_LT(dB(bank.magnitudeAt(corner / 4)), slope > 0 ? -30.0 : -17.0);  // it really cuts
      for (double m : {0.25, 0.5, 1.0, 2.0, 8.0}) expectResponse(bank, corner * m);
    }
    for (float freq : {0.0f, 0.35f, 0.7f}) {
      Bank bank;
      apply(bank, 48000.0f, {0, 0, 0, 1, slope, freq});
      const double corner = bank.lpFrequency();
      EXPECT_LT(dB(bank.magnitudeAt(corner * 2)), slope > 0 ? -12.0 : -4.0);
      for (double m : {0.5, 1.0, 2.0, 4.0})
        if (corner * m < 0.45 * 48000) expectResponse(bank, corner * m);
    }
  }
}

TEST(StripFilterBank, MeasuredResponseMatchesSectionFormulasAcrossTheCrossFadeAt44_96And192kHz) {
  for (float rate : {44100.0f, 96000.0f, 192000.0f})
    for (float slope : {0.0f, 1.0f})
      for (float freq : {0.85f, 0.9f, 0.95f, 1.0f}) {
        Bank bank;
        apply(bank, rate, {1, 0, 0, 1, slope, freq});
        for (double hz : {1000.0, 10000.0, 15000.0, 19000.0, 21000.0, 30000.0, 40000.0})
          if (hz < 0.48 * rate) expectResponse(bank, hz);
      }
}

// Anchors independent of the bank's own response function: a cookbook biquad
// has gain Q at its corner, a one-pole is 3.01 dB down at its frequency. HP1
// runs with Q 0.5 at every corner, so 12 dB/oct is 3.46 dB down at the set
// frequency and 24 dB/oct 5.40 dB; the frequency-dependent Q would give
// -3.2 dB at 20 Hz but -1.0 dB at 2 kHz.
TEST(StripFilterBank, SectionsHaveTextbookGainsAndTheHighPassKeepsOneShape) {
  for (float freq : {0.0f, 0.25f, 0.5f, 0.75f, 1.0f}) {
    Bank bank;
    apply(bank, 48000.0f, {1, 0, freq, 0, 0, 1});
    const double f = bank.hpFrequency();
    EXPECT_EQ(bank.section(Bank::kHP1Left).q(), 0.5);
    EXPECT_EQ(bank.section(Bank::kHP1Right).q(), 0.5);
    EXPECT_NEAR(measure(bank, 0.7 * f).left, dB(0.5), kTolerance) << f;
    EXPECT_NEAR(measure(bank, f).left, -3.46, 0.05) << f;
    bank.setHPSlope(1.0f);
    EXPECT_NEAR(measure(bank, f).left, -5.40, 0.05) << f;
  }
  Bank bank;
  apply(bank, 96000.0f, {0, 0, 0, 1, 0, 0.5f});  // LP 3 kHz
  EXPECT_NEAR(measure(bank, 3600).left, dB(std::sqrt(0.5)), kTolerance);
  const double onePoleAtLp2 = measure(bank, 4200).left;
  bank.setLPSlope(1.0f);
  const double q2 = 0.4 + 0.091 * std::log10(600000.0 / 3000.0);
  EXPECT_NEAR(measure(bank, 4200).left - onePoleAtLp2, dB(q2), kTolerance);
}

// ---------------------------------------------------------------------------
// Settings

TEST(StripFilterBank, DefaultsSwitchesAndCornersFollowTheSettings) {
  Bank bank;
  EXPECT_EQ(bank.bankRate(), 44100.0f);
  EXPECT_TRUE(bank.hpIn() && bank.lpIn());
  EXPECT_EQ(bank.hpSlope() + bank.lpSlope(), 0);
  EXPECT_FLOAT_EQ(bank.hpFrequency(), 20.0f);
  EXPECT_FLOAT_EQ(bank.lpFrequency(), 30000.0f);
  EXPECT_EQ(bank.wet(), 0.0f);  // 30 kHz at 44.1 kHz: the unfiltered signal alone
  EXPECT_EQ(bank.dry(), 1.0f);
  EXPECT_FALSE(bank.section(Bank::kHP2Left).enabled() || bank.section(Bank::kLP2Right).enabled());

  bank.setHPFreq(0.5f);
  EXPECT_FLOAT_EQ(bank.hpFrequency(), 200.0f);
  for (Bank::Section s : {Bank::kHP1Left, Bank::kHP1Right}) EXPECT_NEAR(bank.section(s).frequency(), 140.0, 1e-9);
  for (Bank::Section s : {Bank::kHP2Left, Bank::kHP2Right}) EXPECT_NEAR(bank.section(s).frequency(), 100.0, 1e-9);

  bank.setHPSlope(1.0f);
  bank.setLPSlope(0.7f);
  EXPECT_TRUE(bank.section(Bank::kHP2Right).enabled() && bank.section(Bank::kLP2Left).enabled());
  bank.setHPStat(0.49f);
  bank.setLPStat(0.0f);
  for (int k = 0; k < Bank::kSectionCount; ++k) EXPECT_FALSE(bank.section(Bank::Section(k)).enabled()) << k;
  bank.setHPStat(0.5f);  // half-way counts as in, and the slope was remembered
  EXPECT_TRUE(bank.section(Bank::kHP1Left).enabled() && bank.section(Bank::kHP2Left).enabled());

  // Out-of-range and NaN values end at a limit, never in the coefficients.
  bank.setHPFreq(1.5f);
  EXPECT_FLOAT_EQ(bank.hpFrequency(), 2000.0f);
  bank.setHPFreq(kNaN);
  EXPECT_FLOAT_EQ(bank.hpFrequency(), 20.0f);
  bank.setLPFreq(-7.0f);
  EXPECT_FLOAT_EQ(bank.lpFrequency(), 300.0f);
  bank.setLPStat(kInf);
  EXPECT_TRUE(bank.lpIn());
  for (double hz : {1.0, 100.0, 10000.0, 22000.0}) EXPECT_TRUE(std::isfinite(bank.magnitudeAt(hz)));
}

TEST(StripFilterBank, RateIsLimitedAndMovesTheCrossFadeAtOnce) {
  Bank bank, reference;
  apply(reference, 44100.0f, {1, 1, 0.3f, 1, 1, 0.9f});
  apply(bank, 32000.0f, {1, 1, 0.3f, 1, 1, 0.9f});  // computes as 44.1 kHz
  EXPECT_EQ(bank.bankRate(), 44100.0f);
  std::vector<float> a = noise(3000, 1), b = a, c = noise(3000, 2), d = c;
  bank.processStereo(a.data(), c.data(), 3000);
  reference.processStereo(b.data(), d.data(), 3000);
  EXPECT_TRUE(sameBits(a, b) && sameBits(c, d));
  for (float rate : {250000.0f, kNaN, -1.0f}) {
    bank.setSampleRate(rate);
    EXPECT_EQ(bank.bankRate(), rate > 1 ? 192000.0f : 44100.0f);
  }

  apply(bank, 44100.0f, {1, 0, 0, 1, 0, 0.85f});  // 1.2 F = 18.0 kHz, below fs/2
  EXPECT_EQ(bank.dry(), 0.0f);
  EXPECT_NEAR(bank.section(Bank::kLP1Left).frequency(), 1.2 * bank.lpFrequency(), 1e-6);
  bank.setLPFreq(0.9f);  // 1.2 F = 22.7 kHz: the unfiltered signal starts to come in
  EXPECT_NEAR(bank.dry(), 0.0136721, 2e-6);
  EXPECT_FLOAT_EQ(bank.wet() + bank.dry(), 1.0f);
  EXPECT_EQ(bank.section(Bank::kLP1Right).frequency(), 22050.0);
  bank.setLPFreq(0.95f);
  EXPECT_NEAR(bank.dry(), 0.3440799, 2e-6);
  bank.setSampleRate(48000.0f);
  EXPECT_NEAR(bank.dry(), 0.2583960, 2e-6);
  EXPECT_EQ(bank.section(Bank::kLP1Left).frequency(), 24000.0);

  bank.setLPSlope(1.0f);
  bank.setLPFreq(1.0f);
  bank.setSampleRate(96000.0f);  // 36 kHz is below 48 kHz: no cross-fade
  EXPECT_EQ(bank.wet(), 1.0f);
  EXPECT_EQ(bank.dry(), 0.0f);
  EXPECT_NEAR(bank.section(Bank::kLP1Left).frequency(), 36000.0, 1e-6);
  EXPECT_NEAR(bank.section(Bank::kLP2Right).frequency(), 42000.0, 1e-6);
}

TEST(FilterSection, LimitsItsSettingsAndStaysStableAtTheExtremes) {
  FilterSection s;
  s.setType(FilterSection::kHighPass);
  s.setEnabled(1);
  for (double rate : {10000.0, 500000.0, double(kNaN)}) {
    s.setSampleRate(rate);
    EXPECT_EQ(s.sampleRate(), 44100.0);
  }
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
  // The biquads hold their corner below 0.499 fs; the one-pole is only ever
  // given up to fs/2.
  for (int type : {FilterSection::kHighPass, FilterSection::kLowPass, FilterSection::kOnePoleLowPass})
    for (double q : {0.0, 1000.0})
      for (double f : {0.0, 22000.0, type == FilterSection::kOnePoleLowPass ? 22050.0 : 44100.0}) {
        s.setType(type);
        s.setQ(q);
        s.setFrequency(f);
        EXPECT_TRUE(std::isfinite(s.a1) && std::isfinite(s.b0)) << type;
        EXPECT_LT(std::fabs(s.a2), 1.0) << type << " " << q << " " << f;  // poles inside the unit circle
        EXPECT_LT(std::fabs(s.a1), 1.0 + s.a2) << type << " " << q << " " << f;
      }
}

// ---------------------------------------------------------------------------
// Processing

TEST(StripFilterBank, BothFiltersOutPassesInputBitExactly) {
  // The cross-fade region is included, where x*wet + x*dry need not round
  // back to x, and so are values that any arithmetic would disturb.
  for (float lpFreq : {0.5f, 0.95f}) {
    Bank bank;
    apply(bank, 44100.0f, {0, 1, 0.5f, 0, 1, lpFreq});
    std::vector<float> l = noise(1500, 3), r = noise(1500, 4), right(1500, 9.0f);
    l[0] = 1e-40f, l[1] = -0.0f, r[2] = 1e-35f, r[3] = 3e38f;
    const std::vector<float> l0 = l, r0 = r;
    bank.processStereo(l.data(), r.data(), 1500);
    EXPECT_TRUE(sameBits(l, l0) && sameBits(r, r0));
    bank.processMono(l.data(), right.data(), 1500);
    EXPECT_TRUE(sameBits(l, l0) && sameBits(right, l0));
  }
}

TEST(StripFilterBank, OneLoopProcessingIsBitIdenticalToSectionBySection) {
  for (float rate : {44100.0f, 96000.0f})
    for (const Setting& s : allCombinations()) {
      Bank bank, mono;
      apply(bank, rate, s);
      apply(mono, rate, s);
      PlainBank plain(bank), plainMono(mono);
      std::vector<float> l = noise(5000, 5), r = noise(5000, 6), m = l, pl = l, pr = r, pm = l;
      bank.processStereo(l.data(), r.data(), 5000);
      plain.process(pl.data(), pr.data(), 5000);
      mono.processMono(m.data(), nullptr, 5000);
      plainMono.process(pm.data(), nullptr, 5000);
      EXPECT_TRUE(sameBits(l, pl) && sameBits(r, pr) && sameBits(m, pm))
          << rate << " hp " << s.hpStat << "/" << s.hpSlope << " lp " << s.lpStat << "/" << s.lpSlope;
    }
}

// Also: the mono path is the stereo path's left channel, copied to the right
// buffer when one is given, and it never touches the right sections.
TEST(StripFilterBank, AnyBlockSplitGivesTheSameOutputAndMonoIsTheLeftChannel) {
  const size_t total = 8192;
  const std::vector<float> inL = noise(total, 7), inR = noise(total, 8);
  for (const Setting& s : {Setting{1, 1, 0.2f, 1, 1, 0.6f}, Setting{1, 0, 0.7f, 1, 0, 0.97f}}) {
    Bank whole;
    apply(whole, 48000.0f, s);
    std::vector<float> wl = inL, wr = inR;
    whole.processStereo(wl.data(), wr.data(), int32_t(total));
    for (int32_t block : {1, 7, 64, 1000, 4096}) {
      Bank bank, mono;
      apply(bank, 48000.0f, s);
      apply(mono, 48000.0f, s);
      std::vector<float> l = inL, r = inR, m = inL, copy(total, 7.0f);
      for (size_t done = 0; done < total; done += size_t(block)) {
        const int32_t n = int32_t(std::min<size_t>(size_t(block), total - done));
        bank.processStereo(l.data() + done, r.data() + done, n);
        mono.processMono(m.data() + done, copy.data() + done, n);
      }
      EXPECT_TRUE(sameBits(l, wl) && sameBits(r, wr)) << block;
      EXPECT_TRUE(sameBits(m, wl) && sameBits(copy, wl)) << block;
      EXPECT_TRUE(mono.section(Bank::kHP1Right).y1 == 0.0 && mono.section(Bank::kLP2Right).y1 == 0.0);
    }
  }
}

TEST(StripFilterBank, ClearAndSwitchingOffForgetWhatWasHeard) {
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

  // Switched-off sections are zeroed by the next block, the rest carry on.
  ASSERT_NE(used.section(Bank::kHP2Left).y1, 0.0);
  used.setHPSlope(0.0f);
  used.setLPStat(0.0f);
  used.processStereo(l1.data(), r1.data(), 900);
  for (Bank::Section s : {Bank::kHP2Left, Bank::kHP2Right, Bank::kLP1Left, Bank::kLP2Right})
    EXPECT_TRUE(used.section(s).x1 == 0.0 && used.section(s).y2 == 0.0) << s;
  EXPECT_NE(used.section(Bank::kHP1Left).y1, 0.0);
}

TEST(StripFilterBank, NonFiniteInputIsForgottenAfterItsChunk) {
  const Setting s{1, 1, 0.1f, 1, 1, 0.6f};
  for (float bad : {kNaN, kInf, -kInf}) {
    Bank bank, fresh, clean, mono;
    for (Bank* b : {&bank, &fresh, &clean, &mono}) apply(*b, 48000.0f, s);
    const std::vector<float> inL = noise(600, 17), inR = noise(600, 18);
    std::vector<float> l = inL, r = inR, m = inL;
    l[10] = bad;  // poisons the first chunk (0..63) of the left channel only
    bank.processStereo(l.data(), r.data(), 600);
    for (int k = 0; k < Bank::kSectionCount; ++k) EXPECT_TRUE(bank.section(Bank::Section(k)).stateIsFinite());
    // From the next chunk on, the left channel is what a cleared bank makes
    // of the same input; the right channel never noticed.
    std::vector<float> fl(inL.begin() + 64, inL.end()), fr(inR.begin() + 64, inR.end());
    fresh.processStereo(fl.data(), fr.data(), int32_t(fl.size()));
    EXPECT_TRUE(std::equal(fl.begin(), fl.end(), l.begin() + 64));
    std::vector<float> cl = inL, cr = inR;
    clean.processStereo(cl.data(), cr.data(), 600);
    EXPECT_TRUE(sameBits(cr, r));

    m[70] = bad;  // second chunk of the mono path
    mono.processMono(m.data(), nullptr, 600);
    for (size_t i = 128; i < m.size(); ++i) ASSERT_TRUE(std::isfinite(m[i])) << i;
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
  bank.processMono(l.data(), r.data(), -64);
  EXPECT_TRUE(sameBits(l, l0) && sameBits(r, r0));
  std::vector<float> l2 = l0, r2 = r0;  // and the state is as it was
  bank.processStereo(l.data(), r.data(), 64);
  reference.processStereo(l2.data(), r2.data(), 64);
  EXPECT_TRUE(sameBits(l, l2) && sameBits(r, r2));
}

TEST(StripFilterBank, ProcessingAllocatesNothing) {
  Bank bank;
  std::vector<float> l = noise(4096, 23), r = noise(4096, 24);
  const std::vector<Setting> settings = allCombinations();
  const long before = gAllocations.load();
  for (const Setting& s : settings) {
    apply(bank, 48000.0f, s);
    for (int32_t n : {1, 7, 64, 1000, 4096}) {
      bank.processStereo(l.data(), r.data(), n);
      bank.processMono(l.data(), r.data(), n);
      bank.processMono(l.data(), nullptr, n);
    }
  }
  EXPECT_EQ(gAllocations.load() - before, 0);
}

// Without the flush-to-zero mode around processing, the sections' rounding
// dead band leaves denormal floats in the output for ever after the music
// stops (and makes silence six times as slow as music).
TEST(StripFilterBank, SilenceAfterSignalEndsInExactZerosNotDenormals) {
  Bank bank;
  apply(bank, 192000.0f, {1, 1, 0.0f, 1, 1, 0.0f});  // slowest poles: 10 Hz HP, 300 Hz LP
  std::vector<float> l = noise(4096, 25), r = noise(4096, 26);
  bank.processStereo(l.data(), r.data(), 4096);
  std::vector<float> sl(192000), sr(192000);
  for (int i = 0; i < 5; ++i) {
    std::fill(sl.begin(), sl.end(), 0.0f);
    std::fill(sr.begin(), sr.end(), 0.0f);
    bank.processStereo(sl.data(), sr.data(), 192000);
  }
  for (size_t i = 0; i < sl.size(); ++i)
    ASSERT_TRUE(std::fpclassify(sl[i]) == FP_ZERO && std::fpclassify(sr[i]) == FP_ZERO) << i;
#if defined(__SSE2__)
  // The caller's own floating-point mode comes back unchanged.
  const unsigned mode = _mm_getcsr();
  bank.processStereo(l.data(), r.data(), 100);
  bank.processMono(l.data(), r.data(), 100);
  EXPECT_EQ(_mm_getcsr(), mode);
#endif
}

TEST(FilterSection, DisabledSectionPassesSamplesUntouchedAndForgetsItsState) {
  FilterSection s;
  s.setType(FilterSection::kLowPass);
  s.setFrequency(1000.0);
  s.setEnabled(1);
  std::vector<float> x = noise(100, 27);
  s.process(x.data(), 100);
  ASSERT_NE(s.y1, 0.0);
  s.setEnabled(0);
  x[5] = 1e-42f;  // the 1e-30 guard would turn this into 0
  const std::vector<float> x0 = x;
  s.process(x.data(), 100);
  EXPECT_TRUE(sameBits(x, x0));
  EXPECT_TRUE(s.x1 == 0.0 && s.y2 == 0.0);
  EXPECT_EQ(s.responseAt(1000.0), std::complex<double>(1.0));
}

}  // namespace
}  // namespace orvane
