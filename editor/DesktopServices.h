// What the editor base asks of the desktop: OLE for its thread, the
// working directory, opening the manual and telling the user when that
// fails. The plug-in uses the system's services; tests put in their own so
// that no document opens and no modal message box waits for a click.
#pragma once

#include <string>

namespace orvane {

class DesktopServices {
 public:
  virtual ~DesktopServices() = default;
  virtual void oleInitialize() = 0;
  virtual void oleUninitialize() = 0;
  // At most maxChars characters; empty when it cannot be had.
  virtual std::string currentDirectory(size_t maxChars) = 0;
  // Shell-style result: above 32 success, 31 no associated application,
  // anything else up to 32 another failure.
  virtual long openDocument(const std::string& path, void* ownerWindow) = 0;
  virtual void showMessage(const std::string& text, const std::string& caption, void* ownerWindow) = 0;
};

// The services of the system the plug-in runs on (platform/Shell.h).
DesktopServices& systemDesktop();

}  // namespace orvane
