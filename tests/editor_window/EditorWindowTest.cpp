// The shipped binary's window as a host shows it: the test host loads the
// plug-in through its entry point, opens the editor into a window of its
// own (under Wine on a virtual display for the DLLs; windowless natively),
// idles it, looks at what it shows, resizes it on request and closes it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/vsthost/VstHost.h"

namespace {

std::string gPluginPath;
std::string gArtworkDir;
std::string gShotDir;

vsthost::PluginLibrary& library() {
  static vsthost::PluginLibrary lib;
  static bool loaded = lib.load(gPluginPath);
  EXPECT_TRUE(loaded) << lib.error();
  return lib;
}

struct Instance {
  vsthost::HostState host;
  vsthost::Plugin plugin{library().vstPluginMain(), host};
};

void processSilence(vsthost::Plugin& plugin, int blocks) {
  std::vector<float> in(256, 0.0f), l(256), r(256);
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {l.data(), r.data()};
  for (int b = 0; b < blocks; ++b) plugin.process(ins, outs, 256);
}

#if defined(_WIN32)
// How many pixels of the shot differ from the artwork's top rows by more
// than `tolerance` in any channel.
int differingPixels(const vsthost::Image& shot, const vsthost::Image& art, int tolerance) {
  int n = 0;
  for (int y = 0; y < shot.height; ++y)
    for (int x = 0; x < shot.width; ++x) {
      const uint8_t* a = &shot.bgra[(size_t(y) * shot.width + x) * 4];
      const uint8_t* b = &art.bgra[(size_t(y) * art.width + x) * 4];
      for (int c = 0; c < 3; ++c)
        if (std::abs(a[c] - b[c]) > tolerance) {
          ++n;
          break;
        }
    }
  return n;
}

void expectShowsTheBackground(vsthost::EditorWindow& window, int height, const std::string& shotName) {
  vsthost::Image shot, art;
  ASSERT_TRUE(window.capture(shot));
  EXPECT_TRUE(vsthost::writePNG(gShotDir + "/" + shotName, shot));
  ASSERT_TRUE(vsthost::readPNG(gArtworkDir + "/10000.png", art));
  ASSERT_EQ(art.width, 586);
  ASSERT_EQ(shot.width, 586);
  ASSERT_EQ(shot.height, height);
  EXPECT_EQ(differingPixels(shot, art, 2), 0) << "see " << shotName;
}
#endif

}  // namespace

TEST(EditorWindow, ReportsItsRectangleBeforeTheFirstOpening) {
  Instance i;
  ASSERT_TRUE(i.plugin.valid());
#if defined(_WIN32)  // the native shared object does not announce its windowless editor
  EXPECT_TRUE(i.plugin.effect()->flags & effFlagsHasEditor);
#endif
  ERect* r = nullptr;
  EXPECT_EQ(i.plugin.dispatch(effEditGetRect, 0, 0, &r), 1);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->top, 0);
  EXPECT_EQ(r->left, 0);
  EXPECT_EQ(r->bottom, 195);
  EXPECT_EQ(r->right, 586);
}

TEST(EditorWindow, OpensIdlesShowsItsBackgroundClosesAndOpensAgain) {
  Instance i;
  ASSERT_TRUE(i.plugin.valid());
  i.plugin.start(48000, 256);
  vsthost::EditorWindow window(i.plugin);
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(window.open()) << round;
    EXPECT_EQ(window.openingRect().bottom, 195);
    EXPECT_EQ(window.width(), 586);
    EXPECT_EQ(window.height(), 195);
    for (int n = 0; n < 4; ++n) {
      processSilence(i.plugin, 4);
      window.idle(60);
    }
    EXPECT_GT(window.idleCalls(), 0);
#if defined(_WIN32)
    expectShowsTheBackground(window, 195, "editor-window-" + std::to_string(round) + ".png");
#endif
    window.close();
    EXPECT_FALSE(window.isOpen());
  }
  // The default layout is the height the host was told before opening.
  EXPECT_TRUE(i.host.sizeWindowCalls.empty());
  EXPECT_EQ(i.plugin.close(), 1);
}

TEST(EditorWindow, FollowsTheStripsWithItsHeightAndTellsTheHost) {
  Instance i;
  ASSERT_TRUE(i.plugin.valid());
  i.plugin.setParameter(6, 0.0f);  // Strips off: the meter area alone
  vsthost::EditorWindow window(i.plugin);
  ASSERT_TRUE(window.open());
  ASSERT_EQ(i.host.sizeWindowCalls.size(), 1u);
  EXPECT_EQ(i.host.sizeWindowCalls[0], (std::pair<VstInt32, VstIntPtr>(586, 169)));
  EXPECT_EQ(window.height(), 169);
  window.idle(100);
#if defined(_WIN32)
  expectShowsTheBackground(window, 169, "editor-window-169.png");
#endif
  // The host changes the layout while the window is open.
  i.plugin.setParameter(7, 1.0f);
  i.plugin.setParameter(6, 1.0f);
  EXPECT_EQ(i.host.sizeWindowCalls.back(), (std::pair<VstInt32, VstIntPtr>(586, 235)));
  EXPECT_EQ(window.height(), 235);
  window.idle(150);
#if defined(_WIN32)
  expectShowsTheBackground(window, 235, "editor-window-235.png");
#endif
  i.plugin.setParameter(15, 1.0f);
  EXPECT_EQ(window.height(), 261);
  window.close();
  // Reopened, it is rebuilt from the parameters: the host is told nothing
  // new, as the rectangle already has that height.
  ASSERT_TRUE(window.open());
  EXPECT_EQ(window.openingRect().bottom, 261);
  EXPECT_EQ(window.height(), 261);
  window.idle(60);
  window.close();
  EXPECT_EQ(i.plugin.close(), 1);
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a.rfind("--plugin=", 0) == 0) gPluginPath = a.substr(9);
    if (a.rfind("--artwork=", 0) == 0) gArtworkDir = a.substr(10);
    if (a.rfind("--shots=", 0) == 0) gShotDir = a.substr(8);
  }
  if (gPluginPath.empty() || gArtworkDir.empty() || gShotDir.empty()) {
    std::fprintf(stderr, "usage: editor_window_tests --plugin=PATH --artwork=DIR --shots=DIR\n");
    return 2;
  }
  return RUN_ALL_TESTS();
}
