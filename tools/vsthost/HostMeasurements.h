// The command-line host's measuring modes: what many instances, an open
// editor and the window thread cost, measured the way a host meets them.
// They print figures (medians and worst cases) and judge nothing.
#pragma once

#include <string>
#include <vector>

#include "tools/vsthost/Measure.h"
#include "tools/vsthost/VstHost.h"

namespace vsthost {

// N instances side by side in blocks of `blockFrames` at 48 kHz: seconds per round
// and the instances one core keeps in real time, for each N in turn.
int measureInstances(PluginLibrary& library, const std::vector<int>& counts, RackSetting setting, int rounds,
                     int blockFrames = 64);
// Memory per instance with and without an open editor, then `cycles`
// instances created and closed and `cycles` editor open/close cycles:
// working set and window-system objects along the way.
int measureMemory(PluginLibrary& library, int cycles);
// One refresh of an open editor at 586 x 195 and at full height, needles
// moving and at rest: time per idle, paints per idle, time painting.
int measureEditorCost(PluginLibrary& library, int refreshes);
// Two instances fed from an audio thread at real-time pace for `seconds`,
// in alternating phases with their editors open (idled at 30 Hz) and
// closed: the block times of each phase.
int measureAudioThread(PluginLibrary& library, double seconds);

}  // namespace vsthost
