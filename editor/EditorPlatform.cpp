#include "editor/EditorPlatform.h"

#include "toolkit/platformsupport.h"

namespace orvane {

void locatePluginResources() {
#if defined(_WIN32)
  // The module that holds this very function: the plug-in DLL when linked
  // into it, the program itself in a test.
  if (void* module = moduleContaining(reinterpret_cast<const void*>(&locatePluginResources)))
    VSTGUI::setResourceModule(module);
#elif defined(ORVANE_RESOURCE_DIR)
  // The native plug-in is a development build: it reads the bitmaps from
  // the source tree's resources folder, which the build names here.
  VSTGUI::setResourceFolder(ORVANE_RESOURCE_DIR);
#endif
}

}  // namespace orvane
