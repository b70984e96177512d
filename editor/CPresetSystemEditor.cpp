#include "editor/CPresetSystemEditor.h"

#include "platform/Registry.h"
#include "toolkit/cframe.h"

namespace {

// UTF-16 units a UTF-8 text needs: two for a character beyond the basic
// plane (a four-byte sequence), one for any other.
size_t utf16Units(const std::string& text) {
  size_t units = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) == 0x80) continue;  // continuation byte
    units += c >= 0xF0 ? 2 : 1;
  }
  return units;
}

}  // namespace

CPresetSystemEditor::CPresetSystemEditor(AudioEffect* effect, orvane::RegistryService& registry,
                                         orvane::DesktopServices& desktop)
    : AEffGUIEditor(effect), registry(registry), desktop(desktop) {
  desktop.oleInitialize();
  currentDirectory = desktop.currentDirectory(kTextChars);
}

CPresetSystemEditor::~CPresetSystemEditor() {
  // Where the user last worked with preset files, for the next session. A
  // key that cannot be written gets nothing: the first refusal ends it.
  if (registry.writeText("CurrDir", currentDirectory) && registry.writeText("CurrBank", currentBank))
    registry.writeText("CurrPreset", currentPreset);
  desktop.oleUninitialize();
}

void CPresetSystemEditor::valueChanged(VSTGUI::CControl* control) {
  if (!control || control->getTag() != kManualTag) return;
  // A press opens the manual. A button that also reports its release
  // (back to its minimum) must not open it a second time.
  if (control->getValueNormalized() < 0.5f) return;
  openManual();
}

void CPresetSystemEditor::openManual() {
  std::string path;
  if (!registry.readText("ManualPath", path)) path.clear();
  // A path longer than the value's room cannot be read whole; a cut path
  // would name another file, so it is treated as missing.
  if (utf16Units(path) > kManualPathUnits) path.clear();
  void* owner = frame ? frame->getSystemWindow() : nullptr;
  const long result = desktop.openDocument(path, owner);
  if (result == 31)
    desktop.showMessage("Make sure Acrobat Reader is installed", "Could not open manual file", owner);
  else if (result <= 32)
    desktop.showMessage("Could not open user manual", "", owner);
}
