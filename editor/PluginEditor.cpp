#include "editor/PluginEditor.h"

#include "core/Templete.h"
#include "editor/EditorPlatform.h"
#include "editor/TemepleteEditor.h"
#include "toolkit/platformsupport.h"

namespace orvane {

void installPluginEditor() {
  locatePluginResources();
  Templete::setEditorFactory(&makeTemepleteEditor);
  // The last instance's window is gone with it: what the toolkit keeps for
  // the process goes too, as the host may unload the library next.
  AudioEffect::setLastInstanceClosedHandler(&VSTGUI::releasePlatformResources);
}

}  // namespace orvane
