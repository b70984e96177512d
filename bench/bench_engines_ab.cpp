// The meter engines through the plug-in's processReplacing, this build
// against a baseline build of the plug-in, in one process: one instance of
// each, 48 kHz stereo, 256-frame blocks, Process off, default settings but
// the meter type (and precise mode). Batches of blocks alternate between the
// two, so the machine's load falls on both alike; the counters are the
// median nanoseconds per stereo frame of each and their ratio (new / base).
// The baseline library: ORVANE_BASELINE_PLUGIN=/path/to/ZEL\ Orvane.so
// (without it the case is skipped); ORVANE_PLUGIN=/path names another
// library than this build's to compare.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tools/vsthost/Measure.h"
#include "tools/vsthost/VstHost.h"

namespace {

constexpr int kFrames = 256;
constexpr int kBlocksPerBatch = 16;

vsthost::PluginLibrary* library(bool baseline) {
  static vsthost::PluginLibrary current, base;
  static const char* override = std::getenv("ORVANE_PLUGIN");
  static const bool currentLoaded = current.load(override && *override ? override : ORVANE_BENCH_PLUGIN);
  static const char* basePath = std::getenv("ORVANE_BASELINE_PLUGIN");
  static const bool baseLoaded = basePath && *basePath && base.load(basePath);
  if (baseline) return baseLoaded && base.vstPluginMain() ? &base : nullptr;
  return currentLoaded && current.vstPluginMain() ? &current : nullptr;
}

double batchSeconds(vsthost::InstanceRack& rack) {
  const double t0 = vsthost::nowSeconds();
  for (int k = 0; k < kBlocksPerBatch; ++k) rack.round();
  return vsthost::nowSeconds() - t0;
}

void EnginesAgainstBaseline(benchmark::State& state) {
  const auto setting = (vsthost::RackSetting)state.range(0);
  state.SetLabel(vsthost::rackSettingName(setting));
  vsthost::PluginLibrary* now = library(false);
  vsthost::PluginLibrary* base = library(true);
  if (!now || !base) {
    state.SkipWithError(now ? "ORVANE_BASELINE_PLUGIN names no loadable plug-in" : "this build's plug-in did not load");
    return;
  }
  vsthost::InstanceRack rackNow(now->vstPluginMain(), 1, setting, 48000.0f, kFrames);
  vsthost::InstanceRack rackBase(base->vstPluginMain(), 1, setting, 48000.0f, kFrames);
  for (int w = 0; w < 20; ++w) {
    rackNow.round();
    rackBase.round();
  }
  std::vector<double> tNow, tBase;
  bool baseFirst = false;
  for (auto _ : state) {
    // Which goes first alternates too, so neither always finds the other's
    // cache footprint.
    if (baseFirst) {
      tBase.push_back(batchSeconds(rackBase));
      tNow.push_back(batchSeconds(rackNow));
    } else {
      tNow.push_back(batchSeconds(rackNow));
      tBase.push_back(batchSeconds(rackBase));
    }
    baseFirst = !baseFirst;
  }
  const double perFrame = 1e9 / (kBlocksPerBatch * kFrames);
  const double n = vsthost::median(tNow) * perFrame, b = vsthost::median(tBase) * perFrame;
  state.counters["new_ns"] = n;
  state.counters["base_ns"] = b;
  state.counters["ratio"] = b > 0 ? n / b : 0.0;
}

}  // namespace

BENCHMARK(EnginesAgainstBaseline)
    ->Arg((int)vsthost::RackSetting::Default)
    ->Arg((int)vsthost::RackSetting::Ppm)
    ->Arg((int)vsthost::RackSetting::Rms)
    ->Arg((int)vsthost::RackSetting::Precise)
    ->MinTime(1.0);

BENCHMARK_MAIN();
