// What the plug-in binary does once when it loads: tell the toolkit where
// the bitmaps are, let every new effect make its window, and let the
// toolkit's process-wide objects go when the last instance closes.
#pragma once

namespace orvane {

void installPluginEditor();

}  // namespace orvane
