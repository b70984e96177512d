// The same effect through its two formats, in one process: one instance of
// each binary of this build, 48 kHz stereo noise around -20 dBFS, 256-frame
// blocks. Batches of blocks alternate between the two (and which goes
// first), so the machine's load falls on both alike; the counters are the
// median nanoseconds per stereo frame of each and their ratio (VST 3 /
// VST 2.4). With "trim points" every VST 3 block carries two trim points
// inside it and the VST 2.4 side splits its blocks there, as it must to do
// the same.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "tools/orvane-vst3-host/Vst3Host.h"
#include "tools/vsthost/Measure.h"
#include "tools/vsthost/VstHost.h"

namespace {

constexpr int kFrames = 256;
constexpr int kBlocksPerBatch = 16;

struct Buffers {
  std::vector<float> inL, inR, outL, outR;
  Buffers() : inL(kFrames), inR(kFrames), outL(kFrames), outR(kFrames) {
    std::mt19937 rng(7);
    std::normal_distribution<float> noise(0.0f, 0.1f);
    for (int i = 0; i < kFrames; ++i) {
      inL[i] = noise(rng);
      inR[i] = noise(rng);
    }
  }
};

void Vst3AgainstVst2(benchmark::State& state) {
  const bool strip = state.range(0) != 0, points = state.range(1) != 0;
  state.SetLabel(std::string(strip ? "Process on, filters in" : "Process off") + (points ? ", trim points" : ""));
  static vsthost::PluginLibrary lib2;
  static vst3host::Module lib3;
  static const bool loaded = lib2.load(ORVANE_BENCH_PLUGIN) && lib3.load(ORVANE_BENCH_VST3);
  if (!loaded) {
    state.SkipWithError("a plug-in binary did not load");
    return;
  }
  vsthost::HostState host;
  vsthost::Plugin p2(lib2.vstPluginMain(), host);
  vst3host::Instance p3(lib3);
  p2.start(48000.0f, kFrames);
  p3.start(48000.0, kFrames);
  if (strip)
    for (int id : {0, 8, 9, 12}) {
      p2.setParameter(id, 1.0f);
      p3.controller->setParamNormalized(id, 1.0);
    }
  Buffers b2, b3;
  float* ins[2] = {b2.inL.data(), b2.inR.data()};
  float* outs[2] = {b2.outL.data(), b2.outR.data()};
  vst3host::ParamChanges changes;
  if (points) {
    changes.add(1, 64, 0.6);
    changes.add(1, 192, 0.4);
  }
  auto run2 = [&] {
    const double t0 = vsthost::nowSeconds();
    for (int k = 0; k < kBlocksPerBatch; ++k) {
      if (points) {
        float* i1[2] = {ins[0] + 64, ins[1] + 64};
        float* o1[2] = {outs[0] + 64, outs[1] + 64};
        float* i2[2] = {ins[0] + 192, ins[1] + 192};
        float* o2[2] = {outs[0] + 192, outs[1] + 192};
        p2.process(ins, outs, 64);
        p2.setParameter(1, 0.6f);
        p2.process(i1, o1, 128);
        p2.setParameter(1, 0.4f);
        p2.process(i2, o2, 64);
      } else {
        p2.process(ins, outs, kFrames);
      }
    }
    return vsthost::nowSeconds() - t0;
  };
  auto run3 = [&] {
    const double t0 = vsthost::nowSeconds();
    for (int k = 0; k < kBlocksPerBatch; ++k)
      p3.process(b3.inL.data(), b3.inR.data(), b3.outL.data(), b3.outR.data(), kFrames, points ? &changes : nullptr);
    return vsthost::nowSeconds() - t0;
  };
  for (int w = 0; w < 20; ++w) {
    run2();
    run3();
  }
  std::vector<double> t2, t3;
  bool vst3First = false;
  for (auto _ : state) {
    if (vst3First) {
      t3.push_back(run3());
      t2.push_back(run2());
    } else {
      t2.push_back(run2());
      t3.push_back(run3());
    }
    vst3First = !vst3First;
  }
  const double perFrame = 1e9 / (kBlocksPerBatch * kFrames);
  const double n3 = vsthost::median(t3) * perFrame, n2 = vsthost::median(t2) * perFrame;
  state.counters["vst3_ns"] = n3;
  state.counters["vst2_ns"] = n2;
  state.counters["ratio"] = n2 > 0 ? n3 / n2 : 0.0;
}

}  // namespace

// Enough batches for a steady median on a busy machine.
BENCHMARK(Vst3AgainstVst2)->Args({0, 0})->Args({1, 0})->Args({1, 1})->Iterations(400);
BENCHMARK_MAIN();
