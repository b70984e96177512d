// Nanoseconds per stereo frame of the metering engines, in host-sized
// blocks of 4096 frames. "frame" is the time per stereo frame; "core48k"
// the share of one core that metering a 48 kHz stream takes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "meters/MeterCore.h"
#include "meters/PPMmeter.h"
#include "meters/RMSMeter.h"
#include "meters/VUmeter.h"
#include "platform/MemoryRegistry.h"
#include "settings/SharedSettings.h"

namespace {

using namespace orvane;

constexpr int kFrames = 4096;

struct Noise {
  std::vector<float> left, right;
  Noise() : left(kFrames), right(kFrames) {
    uint32_t s = 12345u;
    for (int i = 0; i < kFrames; ++i) {
      s = s * 1664525u + 1013904223u;
      left[i] = static_cast<float>(static_cast<int32_t>(s)) * (0.5f / 2147483648.0f);
      s = s * 1664525u + 1013904223u;
      right[i] = static_cast<float>(static_cast<int32_t>(s)) * (0.5f / 2147483648.0f);
    }
  }
};

void perFrame(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * kFrames);
  state.counters["frame"] = benchmark::Counter(kFrames, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["core48k"] = benchmark::Counter(kFrames / 48000.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The front end with no ballistics at all: what every engine pays first.
struct NullBallistics {
  Lanes last = splat(0.0);
  template <bool kHoldMayFall, bool kGuardEach = true>
  void step(Lanes peak, Lanes level) {
    last = _mm_add_pd(peak, level);
  }
  void settle() {}
  bool holdMayFall(int) const { return false; }
  template <class F>
  void forEachReading(F f) const {
    f(kMainReading, 0, laneA(last));
    f(kMainReading, 1, laneB(last));
    f(kHoldReading, 0, laneA(last));
    f(kHoldReading, 1, laneB(last));
  }
};

void BM_FrontEnd(benchmark::State& state, float rate, bool precise, bool lag) {
  MeterCore core(2, 0.0);
  core.setSampleRate(rate);
  core.reset();
  core.setPrecise(precise);
  core.setLagTime(lag ? 0.1f : 0.0f);
  core.setLRMS(0.0f);
  Noise n;
  NullBallistics block;
  for (auto _ : state) {
    core.run(n.left.data(), n.right.data(), kFrames, block);
    benchmark::DoNotOptimize(block.last);
  }
  perFrame(state);
}

template <class Engine>
void BM_Engine(benchmark::State& state, bool precise) {
  MemoryRegistry registry;
  SharedSettings shared(registry);
  Engine engine(nullptr, shared);
  engine.setSampleRate(48000.0f);
  engine.setParameter(Engine::kPrecise, precise ? 1.0f : 0.0f);
  engine.reset();
  Noise n;
  float* channels[2] = {n.left.data(), n.right.data()};
  for (auto _ : state) {
    engine.processStereo(channels, kFrames);
    benchmark::DoNotOptimize(engine.readout().reading(kMainReading, 0));
  }
  perFrame(state);
}

BENCHMARK_CAPTURE(BM_FrontEnd, 44k1_plain_lag, 44100.0f, false, true);
BENCHMARK_CAPTURE(BM_FrontEnd, 44k1_precise_lag, 44100.0f, true, true);
BENCHMARK_CAPTURE(BM_FrontEnd, 96k_plain_lag, 96000.0f, false, true);
BENCHMARK_CAPTURE(BM_FrontEnd, 96k_precise_lag, 96000.0f, true, true);
BENCHMARK_CAPTURE(BM_FrontEnd, 192k_plain_lag, 192000.0f, false, true);
BENCHMARK_CAPTURE(BM_FrontEnd, 192k_precise_lag, 192000.0f, true, true);
BENCHMARK_CAPTURE(BM_FrontEnd, 48k_plain_nolag, 48000.0f, false, false);

void BM_VU(benchmark::State& state, bool precise) { BM_Engine<VUmeter>(state, precise); }
void BM_PPM(benchmark::State& state, bool precise) { BM_Engine<PPMmeter>(state, precise); }
void BM_RMS(benchmark::State& state, bool precise) { BM_Engine<RMSMeter>(state, precise); }

BENCHMARK_CAPTURE(BM_VU, 48k_plain, false);
BENCHMARK_CAPTURE(BM_VU, 48k_precise, true);
BENCHMARK_CAPTURE(BM_PPM, 48k_plain, false);
BENCHMARK_CAPTURE(BM_PPM, 48k_precise, true);
BENCHMARK_CAPTURE(BM_RMS, 48k_plain, false);
BENCHMARK_CAPTURE(BM_RMS, 48k_precise, true);

}  // namespace

BENCHMARK_MAIN();
