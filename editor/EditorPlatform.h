// Where the editor's window-system needs meet the toolkit: the native calls
// themselves live in platform/NativeWindow.h.
#pragma once

#include "platform/NativeWindow.h"

namespace orvane {

// Points the toolkit at the plug-in's bitmaps: on Windows the PNG
// resources of the module this code is linked into, natively the folder
// the build placed them in.
void locatePluginResources();

}  // namespace orvane
