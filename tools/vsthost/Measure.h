// What a host sees a plug-in cost: its instances processing side by side as
// a mixer runs them, the memory the process holds, the window-system
// objects it keeps. The benchmarks and the command-line host's measuring
// modes use these; nothing here judges a figure.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "tools/vsthost/VstHost.h"

namespace vsthost {

// A monotonic clock with sub-microsecond steps, in seconds.
double nowSeconds();

// Bytes the process holds in memory now: the working set on Windows, the
// resident set natively.
size_t workingSetBytes();
// Bytes of memory the process has committed: its private bytes on Windows,
// its whole address space natively. Memory a library left behind when it
// was unloaded shows here even where the system has paged it out.
size_t committedBytes();

// Window-system objects the process has alive. On Windows the GDI objects
// come from the system's own count, or, where that answers 0 (Wine), from
// probing the process's GDI handle table slot by slot; `windows` counts the
// windows the process owns (top-level and child). Natively both are 0.
struct GuiObjects {
  long gdi = 0;
  long windows = 0;
  std::string how;  // where the GDI figure came from
};
GuiObjects guiObjects();

// What the instances of a rack are set to.
enum class RackSetting {
  Default,  // as created: VU, Process off
  Precise,  // the VU meter's precise mode on
  Strip,    // Process on, trim, both filters at their steep slopes, in
  Rms,      // the RMS meter, Process off
  Ppm,      // the PPM, Process off
};
const char* rackSettingName(RackSetting s);
bool parseRackSetting(const std::string& name, RackSetting& s);

// N instances of one plug-in, each with its own stereo buffers, as a host's
// mixer has them: one round processes one block of every instance in turn.
// The input is noise around -20 dBFS, different for every instance.
class InstanceRack {
 public:
  InstanceRack(void* entry, int instances, RackSetting setting, float sampleRate, int blockFrames);
  ~InstanceRack();
  InstanceRack(const InstanceRack&) = delete;
  InstanceRack& operator=(const InstanceRack&) = delete;

  int size() const { return (int)plugins_.size(); }
  int blockFrames() const { return frames_; }
  Plugin& plugin(int i) { return *plugins_[(size_t)i]; }
  // One block of every instance.
  void round();
  // Instances of this rack one core keeps in real time when a round takes
  // `secondsPerRound`.
  double instancesPerCore(double secondsPerRound) const;

 private:
  struct Channel {
    std::vector<float> inL, inR, outL, outR;
  };
  std::vector<std::unique_ptr<HostState>> hosts_;
  std::vector<std::unique_ptr<Plugin>> plugins_;
  std::vector<Channel> channels_;
  float rate_;
  int frames_;
};

// The median of a set of figures (0 for none); sorts them.
double median(std::vector<double>& v);

}  // namespace vsthost
