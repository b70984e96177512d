// Many instances in one process, as a host's mixer runs them: N instances
// of the native plug-in, loaded through its entry point, each with its own
// buffers, one 64-frame block of each per round at 48 kHz. The counter
// instances_per_core is how many of them one core keeps in real time. The
// memory per instance: orvane-host --memory PLUGIN. The
// same measurement through the Windows DLLs under Wine:
// orvane-host --instances 1,100,1000 [--setting precise|strip] PLUGIN.
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>

#include "tools/vsthost/Measure.h"
#include "tools/vsthost/VstHost.h"

namespace {

double threadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

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
  const double cpuBefore = threadCpuSeconds();
  for (auto _ : state) rack.round();
  const double cpu = threadCpuSeconds() - cpuBefore;
  // Seconds of audio per second of this thread's processor time, times N:
  // a plain count of instances, not a rate (the library's rate counters
  // would print it with a "/s").
  const double audio = (double)n * 64 / 48000.0 * (double)state.iterations();
  state.counters["instances_per_core"] = benchmark::Counter(cpu > 0 ? audio / cpu : 0.0);
  state.SetLabel(vsthost::rackSettingName(setting));
}

}  // namespace

BENCHMARK(Instances)
    ->ArgsProduct({{1, 100, 1000}, {(int)vsthost::RackSetting::Default}})
    ->ArgsProduct({{100, 1000}, {(int)vsthost::RackSetting::Precise, (int)vsthost::RackSetting::Strip}})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
