// The native plug-in names its bitmap folder from a static initialiser of
// its own, while the library is being loaded. Static initialisers of
// different files run in an order the language leaves open; the one here
// is linked ahead of the toolkit's, so it runs first, and what it sets must
// still be there once every initialiser has run.
#include <gtest/gtest.h>

#include <string>

#include "toolkit/platformsupport.h"

#if !defined(_WIN32)
namespace {

const char kEarlyFolder[] = "/a/folder/named/before/the/toolkit/initialised";

std::string gFolderAtStart;

// Reads the folder once every initialiser has run, before any test can
// name another.
class ReadsFolderAtStart : public ::testing::Environment {
 public:
  void SetUp() override { gFolderAtStart = VSTGUI::getResourceFolder(); }
};

struct NamesFolderEarly {
  NamesFolderEarly() {
    VSTGUI::setResourceFolder(kEarlyFolder);
    ::testing::AddGlobalTestEnvironment(new ReadsFolderAtStart);
  }
} gNamesFolderEarly;

}  // namespace

TEST(ResourceFolder, NamedBeforeTheToolkitInitialisedIsKept) {
  EXPECT_EQ(gFolderAtStart, kEarlyFolder);
  const std::string before = VSTGUI::getResourceFolder();
  VSTGUI::setResourceFolder("");
  EXPECT_EQ(std::string(VSTGUI::getResourceFolder()), ".");
  VSTGUI::setResourceFolder(before.c_str());
}
#endif
