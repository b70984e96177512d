#include "editor/PluginEditor.h"

#include "core/Templete.h"
#include "editor/EditorPlatform.h"
#include "editor/TemepleteEditor.h"

namespace orvane {

void installPluginEditor() {
  locatePluginResources();
  Templete::setEditorFactory(&makeTemepleteEditor);
}

}  // namespace orvane
