#include "tools/vsthost/Measure.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>

#if defined(_WIN32)
#include <windows.h>
// after windows.h, whose types it uses
#include <psapi.h>
#else
#include <unistd.h>
#endif

namespace vsthost {

double nowSeconds() {
  using clock = std::chrono::steady_clock;
  return std::chrono::duration<double>(clock::now().time_since_epoch()).count();
}

double median(std::vector<double>& v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

#if defined(_WIN32)

namespace {

// The system's memory counters of this process; all zero when it has none.
PROCESS_MEMORY_COUNTERS memoryCounters() {
  PROCESS_MEMORY_COUNTERS pmc = {};
  pmc.cb = sizeof pmc;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc)) return PROCESS_MEMORY_COUNTERS{};
  return pmc;
}

}  // namespace

size_t workingSetBytes() { return memoryCounters().WorkingSetSize; }
size_t committedBytes() { return memoryCounters().PagefileUsage; }

namespace {

BOOL CALLBACK countChild(HWND, LPARAM counter) {
  ++*reinterpret_cast<long*>(counter);
  return TRUE;
}

BOOL CALLBACK countTopLevel(HWND window, LPARAM counter) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == GetCurrentProcessId()) {
    ++*reinterpret_cast<long*>(counter);
    EnumChildWindows(window, countChild, counter);  // every descendant
  }
  return TRUE;
}

}  // namespace

GuiObjects guiObjects() {
  GuiObjects g;
  g.gdi = (long)GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  g.how = "GetGuiResources";
  if (g.gdi == 0) {
    // Wine answers 0 there. Its GDI handle table accepts a handle's slot
    // number alone (as 16-bit code passes them), so asking every slot for
    // its object type counts what the process has alive.
    g.how = "handle-table probe";
    for (uintptr_t slot = 1; slot < 0x10000; ++slot)
      if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0) ++g.gdi;
  }
  EnumWindows(countTopLevel, reinterpret_cast<LPARAM>(&g.windows));
  // Message-only windows are not top-level windows.
  for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
       w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr))
    countTopLevel(w, reinterpret_cast<LPARAM>(&g.windows));
  return g;
}

#else

namespace {

// The kernel's page counts of this process: its whole address space and
// what of it is resident; both zero when they cannot be read.
struct PageCounts {
  long size = 0, resident = 0;
};
PageCounts pageCounts() {
  PageCounts c;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &c.size, &c.resident) != 2) c = PageCounts();
    std::fclose(f);
  }
  return c;
}

}  // namespace

size_t workingSetBytes() { return (size_t)pageCounts().resident * (size_t)sysconf(_SC_PAGESIZE); }
size_t committedBytes() { return (size_t)pageCounts().size * (size_t)sysconf(_SC_PAGESIZE); }

GuiObjects guiObjects() {
  GuiObjects g;
  g.how = "none natively";
  return g;
}

#endif

const char* rackSettingName(RackSetting s) {
  switch (s) {
    case RackSetting::Default:
      return "default";
    case RackSetting::Precise:
      return "precise";
    case RackSetting::Strip:
      return "strip";
    case RackSetting::Rms:
      return "rms";
    case RackSetting::Ppm:
      return "ppm";
  }
  return "?";
}

bool parseRackSetting(const std::string& name, RackSetting& s) {
  for (RackSetting r : {RackSetting::Default, RackSetting::Precise, RackSetting::Strip, RackSetting::Rms, RackSetting::Ppm})
    if (name == rackSettingName(r)) {
      s = r;
      return true;
    }
  return false;
}

InstanceRack::InstanceRack(void* entry, int instances, RackSetting setting, float sampleRate, int blockFrames)
    : rate_(sampleRate), frames_(blockFrames) {
  std::mt19937 rng(11);
  std::normal_distribution<float> noise(0.0f, 0.1f);  // about -20 dBFS RMS
  for (int n = 0; n < instances; ++n) {
    hosts_.push_back(std::make_unique<HostState>());
    hosts_.back()->logCalls = false;
    auto plugin = std::make_unique<Plugin>(entry, *hosts_.back());
    if (!plugin->valid()) break;
    // Settings stay per instance, so no instance's choice reaches another.
    plugin->setParameter(2, 1.0f);  // GSIcal: Instance
    // A new instance opens on the meter type last chosen in the process,
    // so the type is always set.
    plugin->setParameter(3, 0.0f);  // Meter: VU
    switch (setting) {
      case RackSetting::Default:
        break;
      case RackSetting::Precise:
        plugin->setParameter(91, 1.0f);  // the VU meter's precise mode
        break;
      case RackSetting::Strip:
        plugin->setParameter(0, 1.0f);   // Process
        plugin->setParameter(1, 0.6f);   // Trim +4 dB
        plugin->setParameter(8, 1.0f);   // ProcFlt in
        plugin->setParameter(9, 1.0f);   // high-pass in
        plugin->setParameter(10, 1.0f);  // 24 dB/oct
        plugin->setParameter(11, 0.3f);
        plugin->setParameter(12, 1.0f);  // low-pass in
        plugin->setParameter(13, 1.0f);  // 18 dB/oct
        plugin->setParameter(14, 0.7f);
        break;
      case RackSetting::Rms:
        plugin->setParameter(3, 0.5f);  // Meter: RMS
        break;
      case RackSetting::Ppm:
        plugin->setParameter(3, 1.0f);  // Meter: PPM
        break;
    }
    plugin->start(sampleRate, blockFrames);
    Channel c;
    c.inL.resize((size_t)blockFrames);
    c.inR.resize((size_t)blockFrames);
    c.outL.assign((size_t)blockFrames, 0.0f);
    c.outR.assign((size_t)blockFrames, 0.0f);
    for (int i = 0; i < blockFrames; ++i) {
      c.inL[(size_t)i] = noise(rng);
      c.inR[(size_t)i] = noise(rng);
    }
    channels_.push_back(std::move(c));
    plugins_.push_back(std::move(plugin));
  }
}

InstanceRack::~InstanceRack() {
  for (auto& p : plugins_) {
    p->dispatch(effMainsChanged, 0, 0);
    p->close();
  }
}

void InstanceRack::round() {
  for (size_t n = 0; n < plugins_.size(); ++n) {
    Channel& c = channels_[n];
    float* ins[2] = {c.inL.data(), c.inR.data()};
    float* outs[2] = {c.outL.data(), c.outR.data()};
    plugins_[n]->process(ins, outs, frames_);
  }
}

double InstanceRack::instancesPerCore(double secondsPerRound) const {
  if (!(secondsPerRound > 0)) return 0;
  return plugins_.size() * (frames_ / (double)rate_) / secondsPerRound;
}

}  // namespace vsthost
