// What the plug-in binary does once when it loads: tell the toolkit where
// the bitmaps are and let every new effect make its window.
#pragma once

namespace orvane {

void installPluginEditor();

}  // namespace orvane
