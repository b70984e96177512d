// The effect's whole audio path per stereo frame at 48 kHz: the copy of
// Process off against a plain copy of both channels, the trim glide, and the
// trim with the filter pair at its two slopes. The meter runs in every case
// (VU, precise off), as it does in the plug-in; the meter alone is measured
// by the meters' own benchmark.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "core/Templete.h"
#include "platform/MemoryRegistry.h"

namespace {

struct Rig {
  orvane::MemoryRegistry registry;
  orvane::SharedSettings shared{registry};
  Templete effect{nullptr, shared};
  std::vector<float> inL, inR, outL, outR;

  explicit Rig(int frames) : inL(frames), inR(frames), outL(frames), outR(frames) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> d(-0.5f, 0.5f);
    for (int i = 0; i < frames; ++i) {
      inL[i] = d(rng);
      inR[i] = d(rng);
    }
    effect.setSampleRate(48000.0f);
    effect.resume();
  }
  void block() {
    float* ins[2] = {inL.data(), inR.data()};
    float* outs[2] = {outL.data(), outR.data()};
    effect.processReplacing(ins, outs, (VstInt32)inL.size());
  }
};

void report(benchmark::State& state, int frames) {
  state.counters["ns/frame"] =
      benchmark::Counter((double)frames * state.iterations(), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void PlainCopy(benchmark::State& state) {
  const int frames = (int)state.range(0);
  Rig rig(frames);
  for (auto _ : state) {
    std::memcpy(rig.outL.data(), rig.inL.data(), frames * sizeof(float));
    std::memcpy(rig.outR.data(), rig.inR.data(), frames * sizeof(float));
    benchmark::ClobberMemory();
  }
  report(state, frames);
}

void Path(benchmark::State& state, bool process, int filters) {
  const int frames = (int)state.range(0);
  Rig rig(frames);
  rig.effect.setParameter(orvane::kProcess, process ? 1.0f : 0.0f);
  rig.effect.setParameter(orvane::kTrim, 0.6f);
  if (filters) {
    rig.effect.setParameter(orvane::kProcFlt, 1.0f);
    rig.effect.setParameter(orvane::kHPFreq, 0.3f);
    rig.effect.setParameter(orvane::kLPFreq, 0.7f);
    rig.effect.setParameter(orvane::kHPSlope, filters == 2 ? 1.0f : 0.0f);
    rig.effect.setParameter(orvane::kLPSlope, filters == 2 ? 1.0f : 0.0f);
  }
  for (auto _ : state) {
    rig.block();
    benchmark::ClobberMemory();
  }
  report(state, frames);
}

// The engine the path feeds, on its own, so its share can be taken out of
// the path's figures.
void VUMeterAlone(benchmark::State& state) {
  const int frames = (int)state.range(0);
  Rig rig(frames);
  float* outs[2] = {rig.inL.data(), rig.inR.data()};
  for (auto _ : state) {
    rig.effect.engines().processStereo(orvane::kMeterVU, outs, frames);
    benchmark::ClobberMemory();
  }
  report(state, frames);
}

void ProcessOff(benchmark::State& s) { Path(s, false, 0); }
void ProcessOnTrimOnly(benchmark::State& s) { Path(s, true, 0); }
void ProcessOnFilters12_6(benchmark::State& s) { Path(s, true, 1); }
void ProcessOnFilters24_18(benchmark::State& s) { Path(s, true, 2); }

}  // namespace

BENCHMARK(PlainCopy)->Arg(64)->Arg(512);
BENCHMARK(VUMeterAlone)->Arg(64)->Arg(512);
BENCHMARK(ProcessOff)->Arg(64)->Arg(512);
BENCHMARK(ProcessOnTrimOnly)->Arg(64)->Arg(512);
BENCHMARK(ProcessOnFilters12_6)->Arg(64)->Arg(512);
BENCHMARK(ProcessOnFilters24_18)->Arg(64)->Arg(512);
BENCHMARK_MAIN();
