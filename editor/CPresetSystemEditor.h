// The editor base: OLE for the window's thread while the editor lives, the
// preset-file places remembered per user between runs, and the manual
// button (tag 121).
#pragma once

#include <string>

#include "editor/AEffGUIEditor.h"
#include "editor/DesktopServices.h"
#include "toolkit/ccontrol.h"

namespace orvane {
class RegistryService;
}

class CPresetSystemEditor : public AEffGUIEditor, public VSTGUI::CControlListener {
 public:
  static constexpr int32_t kManualTag = 121;
  // Room of each remembered text, in characters.
  static constexpr size_t kTextChars = 256;
  // The manual's path is read into 2050 bytes of UTF-16 with its
  // terminator: 1024 units of path at most.
  static constexpr size_t kManualPathUnits = 1024;

  // The registry is the product key of the user running the host (tests
  // hand in an in-memory one); desktop opens documents and shows messages.
  CPresetSystemEditor(AudioEffect* effect, orvane::RegistryService& registry,
                      orvane::DesktopServices& desktop = orvane::systemDesktop());
  // Writes "CurrDir", "CurrBank" and "CurrPreset", then ends OLE.
  ~CPresetSystemEditor() override;

  // Of the window's tags only the manual button does anything here.
  void valueChanged(VSTGUI::CControl* control) override;

  // Opens the manual named by "ManualPath", telling the user when that
  // fails.
  void openManual();

  const std::string& getCurrentDirectory() const { return currentDirectory; }
  const std::string& getCurrentBank() const { return currentBank; }
  const std::string& getCurrentPreset() const { return currentPreset; }

 protected:
  orvane::RegistryService& registry;
  orvane::DesktopServices& desktop;
  std::string currentDirectory;
  std::string currentBank;
  std::string currentPreset;
};
