// The strip filters at 48 kHz: time per stereo (or mono) frame and the share
// of one core that real-time processing takes.
//
//   bench_filters --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//
// Each iteration copies a fresh block of noise in and filters it in place;
// the copy is part of the measured time (a few hundred picoseconds a frame).
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "core/StripFilterBank.h"

namespace {

constexpr double kRate = 48000.0;
constexpr size_t kSourceFrames = 1 << 16;

struct Source {
  std::vector<float> left, right;
  Source() : left(kSourceFrames), right(kSourceFrames) {
    std::mt19937 rng(1);
    std::uniform_real_distribution<float> d(-0.5f, 0.5f);
    for (size_t i = 0; i < kSourceFrames; ++i) {
      left[i] = d(rng);
      right[i] = d(rng);
    }
  }
};

const Source& source() {
  static const Source s;
  return s;
}

enum Slopes { k12and6, k24and18 };

void configure(orvane::StripFilterBank& bank, Slopes slopes) {
  const float slope = slopes == k24and18 ? 1.0f : 0.0f;
  bank.setSampleRate(float(kRate));
  bank.setHPStat(1.0f);
  bank.setHPSlope(slope);
  bank.setHPFreq(0.3f);  // 80 Hz
  bank.setLPStat(1.0f);
  bank.setLPSlope(slope);
  bank.setLPFreq(0.8f);  // 12 kHz
  bank.recompute();
  bank.clear();
}

// Both counters are inverted rates, which the console shows with an "s"
// after the number: "ns/frame=16.2s" reads as 16.2 ns per frame, and
// "%core@48k=0.078s" as 0.078 % of one core for real time at 48 kHz.
void report(benchmark::State& state, int64_t framesPerIteration) {
  const double frames = double(framesPerIteration);
  const auto kPerFrame = benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert;
  state.counters["ns/frame"] = benchmark::Counter(frames * 1e-9, kPerFrame);
  state.counters["%core@48k"] = benchmark::Counter(frames / kRate / 100.0, kPerFrame);
}

void stereo(benchmark::State& state, Slopes slopes) {
  const int32_t block = int32_t(state.range(0));
  orvane::StripFilterBank bank;
  configure(bank, slopes);
  std::vector<float> l(static_cast<size_t>(block)), r(static_cast<size_t>(block));
  size_t at = 0;
  for (auto _ : state) {
    std::memcpy(l.data(), source().left.data() + at, sizeof(float) * size_t(block));
    std::memcpy(r.data(), source().right.data() + at, sizeof(float) * size_t(block));
    bank.processStereo(l.data(), r.data(), block);
    benchmark::DoNotOptimize(l.data());
    benchmark::DoNotOptimize(r.data());
    at = (at + size_t(block)) % (kSourceFrames - size_t(block));
  }
  report(state, block);
}

void mono(benchmark::State& state, Slopes slopes) {
  const int32_t block = int32_t(state.range(0));
  orvane::StripFilterBank bank;
  configure(bank, slopes);
  std::vector<float> l(static_cast<size_t>(block)), r(static_cast<size_t>(block));
  size_t at = 0;
  for (auto _ : state) {
    std::memcpy(l.data(), source().left.data() + at, sizeof(float) * size_t(block));
    bank.processMono(l.data(), r.data(), block);
    benchmark::DoNotOptimize(l.data());
    benchmark::DoNotOptimize(r.data());
    at = (at + size_t(block)) % (kSourceFrames - size_t(block));
  }
  report(state, block);
}

// Digital silence after a burst of noise: the sections decay towards their
// resting state; this is the case where very small numbers could slow the
// processor down.
void silenceTail(benchmark::State& state) {
  const int32_t block = int32_t(state.range(0));
  orvane::StripFilterBank bank;
  configure(bank, k24and18);
  bank.setSampleRate(192000.0f);
  bank.setHPFreq(0.0f);
  std::vector<float> l(source().left.begin(), source().left.begin() + 4096);
  std::vector<float> r(source().right.begin(), source().right.begin() + 4096);
  bank.processStereo(l.data(), r.data(), 4096);
  l.assign(size_t(block), 0.0f);
  r.assign(size_t(block), 0.0f);
  // Ten seconds of silence first, so the measurement sees the resting state.
  for (int32_t i = 0; i < 1920000 / block; ++i) {
    std::fill(l.begin(), l.end(), 0.0f);
    std::fill(r.begin(), r.end(), 0.0f);
    bank.processStereo(l.data(), r.data(), block);
  }
  for (auto _ : state) {
    std::fill(l.begin(), l.end(), 0.0f);
    std::fill(r.begin(), r.end(), 0.0f);
    bank.processStereo(l.data(), r.data(), block);
    benchmark::DoNotOptimize(l.data());
  }
  report(state, block);
}

}  // namespace

BENCHMARK_CAPTURE(stereo, 12_6, k12and6)->Arg(64)->Arg(512);
BENCHMARK_CAPTURE(stereo, 24_18, k24and18)->Arg(64)->Arg(512);
BENCHMARK_CAPTURE(mono, 12_6, k12and6)->Arg(64)->Arg(512);
BENCHMARK_CAPTURE(mono, 24_18, k24and18)->Arg(64)->Arg(512);
BENCHMARK(silenceTail)->Arg(512);

BENCHMARK_MAIN();
