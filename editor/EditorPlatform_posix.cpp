#include <pthread.h>

#include "editor/EditorPlatform.h"
#include "toolkit/platformsupport.h"

namespace orvane {

// The native build has no windows of its own: the frame is windowless.
void focusNativeWindow(void*) {}

bool resizeNativeWindow(void*, int, int) { return false; }

uint64_t currentThreadKey() { return static_cast<uint64_t>(pthread_self()); }

void locatePluginResources() {
#ifdef ORVANE_RESOURCE_DIR
  // The native plug-in is a development build: it reads the bitmaps from
  // the source tree's resources folder, which the build names here.
  VSTGUI::setResourceFolder(ORVANE_RESOURCE_DIR);
#endif
}

}  // namespace orvane
