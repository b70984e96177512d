#include "editor/PluginEditor.h"

#include "core/Templete.h"
#include "editor/EditorPlatform.h"
#include "editor/TemepleteEditor.h"
#include "platform/Registry.h"
#include "toolkit/platformsupport.h"

namespace orvane {

void installPluginEditor() {
  locatePluginResources();
  Templete::setEditorFactory(&makeTemepleteEditor);
  // The last instance's window is gone with it: what the toolkit keeps for
  // the process goes too, as the host may unload the library next.
  AudioEffect::setLastInstanceClosedHandler(&VSTGUI::releasePlatformResources);
}

PluginLibrary::PluginLibrary() : settings(userRegistry()) {
  SharedSettings::setLibrary(&settings);
  // This runs while the host loads the library, where an exception could
  // only end the host; if the window's resources cannot be set up,
  // instances come without one.
  try {
    installPluginEditor();
  } catch (...) {
    Templete::setEditorFactory(nullptr);
  }
}

PluginLibrary::~PluginLibrary() { SharedSettings::setLibrary(nullptr); }

}  // namespace orvane
