// Many instances in one process, as a host's mixer runs them: N instances
// of the native plug-in, loaded through its entry point, each with its own
// buffers, one 64-frame block of each per round at 48 kHz. The counter
// instances_per_core is how many of them one core keeps in real time. The
// memory per instance: orvane-host --memory PLUGIN. The
// same measurement through the Windows DLLs under Wine:
// orvane-host --instances 1,100,1000 [--setting precise|strip] PLUGIN.
#include <benchmark/benchmark.h>

#include <memory>

#include "tools/vsthost/Measure.h"
#include "tools/vsthost/VstHost.h"

namespace {

vsthost::PluginLibrary& library() {
  static vsthost::PluginLibrary lib;
  static bool loaded = lib.load(ORVANE_BENCH_PLUGIN);
  (void)loaded;
  return lib;
}

void Instances(benchmark::State& state) {
  const int n = (int)state.range(0);
  const auto setting = (vsthost::RackSetting)state.range(1);
  if (!library().vstPluginMain()) {
    state.SkipWithError(library().error().c_str());
    return;
  }
  vsthost::InstanceRack rack(library().vstPluginMain(), n, setting, 48000.0f, 64);
  for (int i = 0; i < 20; ++i) rack.round();
  for (auto _ : state) rack.round();
  // Seconds of audio per second of processing, times N.
  state.counters["instances_per_core"] =
      benchmark::Counter((double)n * 64 / 48000.0 * (double)state.iterations(), benchmark::Counter::kIsRate);
  state.SetLabel(vsthost::rackSettingName(setting));
}

}  // namespace

BENCHMARK(Instances)
    ->ArgsProduct({{1, 100, 1000}, {(int)vsthost::RackSetting::Default}})
    ->ArgsProduct({{100, 1000}, {(int)vsthost::RackSetting::Precise, (int)vsthost::RackSetting::Strip}})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
