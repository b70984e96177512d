#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>
#include <random>
#include <vector>

#include "meters/MeterReadout.h"
#include "tests/core/EffectTestSupport.h"

using namespace orvane;
using orvane_test::EffectFixture;

// GCC cannot see that the replaced operators below pair malloc with free.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

// Every allocation in this test program is counted, so a test can prove that
// the audio path allocates nothing.
static std::atomic<long> gAllocations{0};
void* operator new(std::size_t n) {
  ++gAllocations;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

std::vector<float> noise(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> d(-1.0f, 1.0f);
  std::vector<float> v(n);
  for (auto& x : v) x = d(rng);
  return v;
}

// Runs the whole signal through the effect in blocks of `block` frames.
void run(Templete& e, const std::vector<float>& l, const std::vector<float>& r, std::vector<float>& outL,
         std::vector<float>& outR, size_t block) {
  outL.assign(l.size(), 0.0f);
  outR.assign(r.size(), 0.0f);
  for (size_t at = 0; at < l.size(); at += block) {
    size_t n = std::min(block, l.size() - at);
    float* ins[2] = {const_cast<float*>(&l[at]), const_cast<float*>(&r[at])};
    float* outs[2] = {&outL[at], &outR[at]};
    e.processReplacing(ins, outs, (VstInt32)n);
  }
}

}  // namespace

TEST(AudioPath, ProcessOffIsBitExactForAnyBlockSizeAndSettings) {
  const auto l = noise(10000, 1), r = noise(10000, 2);
  for (size_t block : {1, 7, 64, 1000, 4096}) {
    EffectFixture f;
    Templete& e = *f.effect;
    e.setParameter(kTrim, 0.9f);
    e.setParameter(kProcFlt, 1.0f);
    e.setParameter(kHPFreq, 0.8f);
    e.setParameter(kLPFreq, 0.1f);
    e.setParameter(kHPSlope, 1.0f);
    std::vector<float> outL, outR;
    run(e, l, r, outL, outR, block);
    ASSERT_EQ(0, std::memcmp(outL.data(), l.data(), l.size() * 4)) << block;
    ASSERT_EQ(0, std::memcmp(outR.data(), r.data(), r.size() * 4)) << block;
  }
}

TEST(AudioPath, TrimGlidesTo63PercentInAboutTwoThousandSamplesAt44k1) {
  for (float rate : {44100.0f, 88200.0f}) {
    EffectFixture f;
    Templete& e = *f.effect;
    e.setSampleRate(rate);
    e.resume();
    e.setParameter(kProcess, 1.0f);
    e.setParameter(kTrim, 0.5f);  // 0 dB, unity
    std::vector<float> one(1, 1.0f), outL, outR;
    run(e, one, one, outL, outR, 1);
    e.setParameter(kTrim, 1.0f);  // +20 dB: gain 1 -> 10
    const double target = 1.0 + 0.632 * 9.0;
    std::vector<float> ones(60000, 1.0f);
    run(e, ones, ones, outL, outR, 64);
    size_t reached = 0;
    while (reached < outL.size() && outL[reached] < target) ++reached;
    const double expected = rate == 44100.0f ? 2000 : 4000;
    EXPECT_NEAR((double)reached, expected, expected * 0.02) << rate;
    EXPECT_EQ(outL, outR);  // one gain for both channels
    // The single-precision glide comes to rest a few steps of float short of
    // its target (where the next move is below half a step): within 0.003
    // of a gain of 10, 0.003 dB.
    EXPECT_NEAR(outL.back(), 10.0f, 3e-3f);
  }
}

// The glide as a reference: one step per sample, never skipped.
TEST(AudioPath, TrimGlideIsBitExactToStepwiseGlidingAcrossTargetChanges) {
  EffectFixture f;
  Templete& e = *f.effect;
  e.setParameter(kProcess, 1.0f);
  const auto x = noise(200000, 9);  // long enough for the gain to come to rest
  std::vector<float> expected(x.size()), outL(x.size()), outR(x.size());
  float c = e.trimGainCurrent();
  const float k = 0.0005f;
  const float targets[] = {0.9f, 0.5f, 0.5f, 0.1f, 0.73f, 0.73f};
  size_t at = 0;
  std::mt19937 rng(3);
  for (int round = 0; at < x.size(); ++round) {
    e.setParameter(kTrim, targets[round % 6]);
    const float t = e.trimGainTarget();
    size_t n = std::min<size_t>(x.size() - at, 1 + rng() % 30000);
    for (size_t i = at; i < at + n; ++i) {
      c = (float)((double)((t - c) * k + c) + 1e-14);
      c = (float)((double)c - 1e-14);
      expected[i] = c * x[i];
    }
    // In place on the left, apart on the right.
    std::vector<float> left(x.begin() + at, x.begin() + at + n);
    float* ins[2] = {left.data(), const_cast<float*>(&x[at])};
    float* outs[2] = {left.data(), &outR[at]};
    e.processReplacing(ins, outs, (VstInt32)n);
    std::copy(left.begin(), left.end(), outL.begin() + at);
    at += n;
  }
  ASSERT_EQ(0, std::memcmp(outL.data(), expected.data(), x.size() * 4));
  ASSERT_EQ(0, std::memcmp(outR.data(), expected.data(), x.size() * 4));
}

// The strip as the host hears it: sines through processReplacing with the
// filters in come out at the gain the bank's own sections predict.
TEST(AudioPath, FilteredSinesMatchTheBanksComputedResponse) {
  struct Case {
    float rate, hpFreq, hpSlope, lpFreq, lpSlope;
  };
  const Case cases[] = {{44100, 0.5f, 1, 1.0f, 0}, {48000, 0.2f, 0, 0.4f, 1}, {96000, 0.7f, 1, 0.9f, 1},
                        {192000, 0.0f, 0, 0.95f, 0}};
  for (const Case& c : cases) {
    EffectFixture f;
    Templete& e = *f.effect;
    e.setSampleRate(c.rate);
    e.resume();
    e.setParameter(kProcess, 1.0f);
    e.setParameter(kProcFlt, 1.0f);
    e.setParameter(kHPFreq, c.hpFreq);
    e.setParameter(kHPSlope, c.hpSlope);
    e.setParameter(kLPFreq, c.lpFreq);
    e.setParameter(kLPSlope, c.lpSlope);
    for (double hz : {50.0, 440.0, 3000.0, 15000.0}) {
      const size_t n = (size_t)c.rate;  // one second: the filters settle, then measure
      std::vector<float> x(n), outL, outR;
      for (size_t i = 0; i < n; ++i) x[i] = (float)(0.5 * std::sin(2 * 3.14159265358979323846 * hz * i / c.rate));
      run(e, x, x, outL, outR, 512);
      double sumIn = 0, sumOut = 0;
      for (size_t i = n / 2; i < n; ++i) {
        sumIn += (double)x[i] * x[i];
        sumOut += (double)outL[i] * outL[i];
      }
      const double measured = 10 * std::log10(sumOut / sumIn);
      const double computed = 20 * std::log10(e.filterBank().magnitudeAt(hz));
      EXPECT_NEAR(measured, computed, 0.01) << c.rate << " Hz rate, tone " << hz;
    }
  }
}

TEST(AudioPath, TrimDoesNotGlideAcrossAResume) {
  EffectFixture f;
  Templete& e = *f.effect;
  e.setParameter(kProcess, 1.0f);
  e.setParameter(kTrim, 0.0f);
  e.suspend();
  e.resume();
  EXPECT_FLOAT_EQ(e.trimGainCurrent(), e.trimGainTarget());
}

TEST(AudioPath, OneBufferFedTwiceOrANullRightInputRunsTheMonoPath) {
  const auto x = noise(3000, 3);
  for (int variant = 0; variant < 2; ++variant) {
    EffectFixture f;
    Templete& e = *f.effect;
    e.setParameter(kProcess, 1.0f);
    e.setParameter(kProcFlt, 1.0f);
    e.setParameter(kHPFreq, 0.6f);
    e.setParameter(kLPFreq, 0.3f);
    std::vector<float> outL(x.size()), outR(x.size());
    for (size_t at = 0; at < x.size(); at += 100) {
      float* ins[2] = {const_cast<float*>(&x[at]), variant == 0 ? const_cast<float*>(&x[at]) : nullptr};
      float* outs[2] = {&outL[at], &outR[at]};
      e.processReplacing(ins, outs, 100);
    }
    EXPECT_EQ(outL, outR) << variant;
    EXPECT_NE(outL, x) << variant;  // the filters did act
  }
}

TEST(AudioPath, MonoArrangementUsesTheMonoPathAndARefusedOneAllowsStereo) {
  EffectFixture f;
  Templete& e = *f.effect;
  VstSpeakerArrangement mono{}, stereo{};
  mono.numChannels = 1;
  stereo.numChannels = 2;
  EXPECT_TRUE(e.setSpeakerArrangement(&mono, &mono));
  EXPECT_FALSE(e.stereoInAllowed());
  EXPECT_FALSE(e.stereoOutAllowed());
  std::vector<float> l(64, 0.5f), r(64, -0.25f), outL, outR;
  run(e, l, r, outL, outR, 64);
  EXPECT_EQ(outL, l);
  EXPECT_EQ(outR, std::vector<float>(64, 0.0f));  // right output not usable: untouched
  EXPECT_TRUE(e.setSpeakerArrangement(&mono, &stereo));
  EXPECT_FALSE(e.stereoInAllowed());
  EXPECT_TRUE(e.stereoOutAllowed());
  run(e, l, r, outL, outR, 64);
  EXPECT_EQ(outR, l);  // the mono input on both outputs
  VstSpeakerArrangement three{};
  three.numChannels = 3;
  EXPECT_FALSE(e.setSpeakerArrangement(&stereo, &mono));
  EXPECT_TRUE(e.stereoInAllowed());
  EXPECT_TRUE(e.stereoOutAllowed());
  EXPECT_FALSE(e.setSpeakerArrangement(&three, &stereo));
  EXPECT_TRUE(e.setSpeakerArrangement(&stereo, &stereo));
  run(e, l, r, outL, outR, 64);
  EXPECT_EQ(outR, r);
}

TEST(AudioPath, AnUnconnectedRightPinFallsBackToTheMonoPath) {
  EffectFixture f;
  f.host.pinAnswer = 1;  // nothing connected at pin 1
  std::vector<float> l(32, 0.5f), r(32, -0.25f), outL, outR;
  run(*f.effect, l, r, outL, outR, 32);
  EXPECT_EQ(outL, l);
  EXPECT_EQ(outR, std::vector<float>(32, 0.0f));
  ASSERT_GE(f.host.pinQueries.size(), 2u);
  EXPECT_EQ(f.host.pinQueries[0], std::make_pair(1, (VstIntPtr)0));  // input 1
}

TEST(AudioPath, CrossedInPlaceBuffersKeepBothChannels) {
  EffectFixture f;
  std::vector<float> a(16, 1.0f), b(16, 2.0f);
  float* ins[2] = {a.data(), b.data()};
  float* outs[2] = {b.data(), a.data()};  // left out is the right input's memory
  f.effect->processReplacing(ins, outs, 16);
  EXPECT_EQ(b, std::vector<float>(16, 1.0f));
  EXPECT_EQ(a, std::vector<float>(16, 2.0f));
}

TEST(AudioPath, BadBuffersAndFrameCountsNeitherCrashNorWriteOutOfBounds) {
  EffectFixture f;
  Templete& e = *f.effect;
  std::vector<float> in(8, 0.5f), out(10, 7.0f);
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {out.data(), nullptr};
  e.processReplacing(ins, outs, 0);
  e.processReplacing(ins, outs, -5);
  EXPECT_EQ(out, std::vector<float>(10, 7.0f));
  e.processReplacing(nullptr, outs, 8);  // no input: silence
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_EQ(out[8], 7.0f);
  e.processReplacing(ins, nullptr, 8);
  float* noOut[2] = {nullptr, nullptr};
  e.processReplacing(ins, noOut, 8);
  float* noIn[2] = {nullptr, in.data()};
  e.processReplacing(noIn, outs, 8);
  EXPECT_EQ(out[9], 7.0f);
}

TEST(AudioPath, PublishesBlockTimingAndLatency) {
  EffectFixture f;
  f.host.outputLatency = 480;
  Templete& e = *f.effect;
  e.setSampleRate(48000.0f);
  e.resume();
  EXPECT_DOUBLE_EQ(e.outputLatencySeconds(), 0.01);
  EXPECT_DOUBLE_EQ(e.blockSeconds(), 256.0);
  std::vector<float> x(480, 0.0f), outL, outR;
  run(e, x, x, outL, outR, 480);
  EXPECT_DOUBLE_EQ(e.blockSeconds(), 0.01);
  // An out-of-range host rate runs the processing at 44.1 kHz, but the block
  // duration keeps the host's own rate.
  e.setSampleRate(8000.0f);
  e.resume();
  EXPECT_FLOAT_EQ(e.filterBank().bankRate(), 44100.0f);
  EXPECT_DOUBLE_EQ(e.outputLatencySeconds(), 480 / 44100.0);
  run(e, x, x, outL, outR, 80);
  EXPECT_DOUBLE_EQ(e.blockSeconds(), 0.01);
  e.setSampleRate(0.0f);
  std::vector<float> y(441, 0.0f);
  run(e, y, y, outL, outR, 441);
  EXPECT_DOUBLE_EQ(e.blockSeconds(), 0.01);  // no division by zero
}

TEST(AudioPath, OnlyTheSelectedEngineIsFed) {
  EffectFixture f;
  Templete& e = *f.effect;
  std::vector<float> x(4410, 0.5f), outL, outR;
  e.setParameter(kMeter, 1.0f);  // PPM
  run(e, x, x, outL, outR, 441);
  EXPECT_GT(e.engines().readout(kMeterPPM).reading(kMainReading, 0), 0.5);
  EXPECT_EQ(e.engines().readout(kMeterRMS).reading(kMainReading, 0), 0.0);
  EXPECT_DOUBLE_EQ(e.engines().readout(kMeterVU).reading(kMainReading, 0), -0.05);
}

TEST(AudioPath, AllocatesNothingWhileProcessing) {
  EffectFixture f;
  Templete& e = *f.effect;
  e.setParameter(kProcess, 1.0f);
  e.setParameter(kProcFlt, 1.0f);
  e.setParameter(kLagTime, 0.5f);
  const auto x = noise(4096, 4);
  std::vector<float> outL(4096), outR(4096);
  float* ins[2] = {const_cast<float*>(x.data()), const_cast<float*>(x.data()) + 1};
  float* outs[2] = {outL.data(), outR.data()};
  for (int meter = 0; meter < 3; ++meter) {
    e.setParameter(kMeter, meter * 0.5f);
    long before = gAllocations.load();
    for (int block : {1, 7, 64, 1000, 4000}) e.processReplacing(ins, outs, block);
    float* monoIns[2] = {const_cast<float*>(x.data()), nullptr};
    e.processReplacing(monoIns, outs, 512);
    EXPECT_EQ(gAllocations.load(), before) << meter;
  }
}

TEST(AudioPath, NanInTheInputDoesNotPoisonTheFiltersOrTheMeters) {
  EffectFixture f;
  Templete& e = *f.effect;
  e.setParameter(kProcess, 1.0f);
  e.setParameter(kProcFlt, 1.0f);
  e.setParameter(kHPSlope, 1.0f);
  e.setParameter(kLPSlope, 1.0f);
  e.setParameter(kLPFreq, 0.5f);
  std::vector<float> bad(64, std::numeric_limits<float>::quiet_NaN()), outL, outR;
  bad[3] = std::numeric_limits<float>::infinity();
  run(e, bad, bad, outL, outR, 64);
  std::vector<float> clean(4096, 0.25f);
  run(e, clean, clean, outL, outR, 64);
  for (size_t i = 64; i < outL.size(); ++i) ASSERT_TRUE(std::isfinite(outL[i])) << i;
  MeterReadout& vu = e.engines().readout(kMeterVU);
  EXPECT_TRUE(std::isfinite(vu.reading(kMainReading, 0)));
}
