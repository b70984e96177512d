// What the plug-in binary does once when it loads: tell the toolkit where
// the bitmaps are, let every new effect make its window, and let the
// toolkit's process-wide objects go when the last instance closes.
#pragma once

#include "settings/SharedSettings.h"

namespace orvane {

void installPluginEditor();

// The library-wide state each plug-in binary (the VST 2.4 one and the VST 3
// one alike) makes when it loads, before the host can create any instance:
// the meter settings' Global and Session stores come from the user's
// registry once and every instance in the process shares them, and every
// instance made from then on gets its window.
class PluginLibrary {
 public:
  PluginLibrary();
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  SharedSettings settings;
};

}  // namespace orvane
