#include "editor/DesktopServices.h"

#include "platform/Shell.h"

namespace orvane {

namespace {

class SystemDesktop : public DesktopServices {
 public:
  void oleInitialize() override { orvane::oleInitialize(); }
  void oleUninitialize() override { orvane::oleUninitialize(); }
  std::string currentDirectory(size_t maxChars) override { return orvane::currentDirectory(maxChars); }
  long openDocument(const std::string& path, void* ownerWindow) override {
    return orvane::openDocument(path, ownerWindow);
  }
  void showMessage(const std::string& text, const std::string& caption, void* ownerWindow) override {
    orvane::showMessage(text, caption, ownerWindow);
  }
};

}  // namespace

DesktopServices& systemDesktop() {
  static SystemDesktop desktop;
  return desktop;
}

}  // namespace orvane
