// The shipped binary's window as a host shows it: the test host loads the
// plug-in through its entry point, opens the editor into a window of its
// own (under Wine on a virtual display for the DLLs; windowless natively),
// idles it, looks at what it shows, resizes it on request and closes it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "display/NeedleAngles.h"
#include "tests/support/NeedleShot.h"
#include "tests/support/PluginTest.h"
#include "tools/vsthost/VstHost.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

using plugin_test::Instance;
using plugin_test::processSilence;
std::string gArtworkDir;
std::string gShotDir;
std::string gReferenceDir;

// A 1 kHz sine of this peak for `seconds`, with the editor idled by the
// host's 30 Hz timer in between, as a host plays and shows at once.
void playTone(vsthost::Plugin& plugin, vsthost::EditorWindow& window, float peak, double seconds) {
  std::vector<float> in(256), l(256), r(256);
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {l.data(), r.data()};
  long n = 0;
  const long blocks = (long)(seconds * 48000 / 256);
  for (long b = 0; b < blocks;) {
    // About 30 ms of audio, then 30 ms of the window.
    for (int k = 0; k < 6 && b < blocks; ++k, ++b) {
      for (int i = 0; i < 256; ++i, ++n) in[i] = peak * (float)std::sin(2 * 3.14159265358979323846 * 1000.0 * n / 48000.0);
      plugin.process(ins, outs, 256);
    }
    window.idle(30);
  }
}

#if defined(_WIN32)
// How many pixels of the shot differ from the artwork's rows from `top` on
// by more than `tolerance` in any channel.
int differingPixels(const vsthost::Image& shot, const vsthost::Image& art, int tolerance, int top = 0) {
  int n = 0;
  for (int y = top; y < shot.height; ++y)
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

// Below the meter panel the strips are drawn over the window's background
// (their own look is the strips' window test's).
void expectShowsTheBackground(vsthost::EditorWindow& window, int height, const std::string& shotName) {
  vsthost::Image shot, art;
  ASSERT_TRUE(window.capture(shot));
  EXPECT_TRUE(vsthost::writePNG(gShotDir + "/" + shotName, shot));
  ASSERT_TRUE(vsthost::readPNG(gArtworkDir + "/10000.png", art));
  ASSERT_EQ(art.width, 586);
  ASSERT_EQ(shot.width, 586);
  ASSERT_EQ(shot.height, height);
  if (height > 169) {
    EXPECT_GT(differingPixels(shot, art, 2, 169), 0) << "no strips in " << shotName;
  }
}

// The meter area of a shot (its first 169 rows) against a committed
// reference.
void expectPanelLooksLikeItsReference(const vsthost::Image& shot, const std::string& name) {
  EXPECT_TRUE(vsthost::writePNG(gShotDir + "/" + name, shot));
  vsthost::Image ref;
  ASSERT_TRUE(vsthost::readPNG(gReferenceDir + "/" + name, ref)) << "no reference: see " << gShotDir << "/" << name;
  plugin_test::expectLooksAlike(shot, ref, name, 169);
}

#endif

}  // namespace

TEST(EditorWindow, ReportsItsRectangleBeforeTheFirstOpening) {
  Instance i;
  ASSERT_TRUE(i.plugin.valid());
  EXPECT_TRUE(i.plugin.effect()->flags & effFlagsHasEditor);
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

// A 1 kHz sine at the VU reference level (-18 dBFS) for two seconds puts
// the needle on the 0 VU mark; then the meter selector's keys, clicked with
// the mouse, bring up the PPM and the RMS panels.
TEST(EditorWindow, NeedleStandsAtZeroVuAndTheSelectorsKeysSwapThePanels) {
  Instance i;
  ASSERT_TRUE(i.plugin.valid());
  i.plugin.setParameter(3, 0.0f);  // VU
  i.plugin.start(48000, 256);
  vsthost::EditorWindow window(i.plugin);
  ASSERT_TRUE(window.open());
  processSilence(i.plugin, 8);
  window.idle(200);
#if defined(_WIN32)
  window.mouseMove(300, 100);  // over a meter: no hint
  window.idle(60);
  vsthost::Image rest, up;
  ASSERT_TRUE(window.capture(rest));
  expectPanelLooksLikeItsReference(rest, "panel-vu.png");
#endif
  playTone(i.plugin, window, (float)std::pow(10.0, -18.0 / 20.0), 2.0);
#if defined(_WIN32)
  ASSERT_TRUE(window.capture(up));
  EXPECT_TRUE(vsthost::writePNG(gShotDir + "/panel-vu-0vu.png", up));
  const double measured = plugin_test::needleAngleFromPixels(rest, up);
  const double mark = orvane::vuNeedleAngle(1.0);
  std::printf("needle at %.2f degrees, the 0 VU mark at %.2f\n", measured, mark);
  EXPECT_NEAR(measured, mark, 1.0) << "see panel-vu-0vu.png";
#endif
  processSilence(i.plugin, 400);
  window.idle(100);
  struct Step {
    int x;
    float meter;
    const char* shot;
  } steps[] = {
      {195 + 8, 1.0f, "panel-ppm.png"},          // left key: VU -> PPM
      {195 + 150 - 8, 0.0f, nullptr},            // right key: PPM -> VU
      {195 + 150 - 8, 0.5f, "panel-rms.png"},    // right key: VU -> RMS
  };
  for (const Step& s : steps) {
#if defined(_WIN32)
    ASSERT_TRUE(window.click(s.x, 150));
    window.mouseMove(300, 100);
    window.idle(120);
    EXPECT_FLOAT_EQ(i.plugin.getParameter(3), s.meter) << s.x;
    if (s.shot) {
      vsthost::Image shot;
      ASSERT_TRUE(window.capture(shot));
      expectPanelLooksLikeItsReference(shot, s.shot);
      // The same panel with the tone on, for the eye (README's pictures).
      playTone(i.plugin, window, (float)std::pow(10.0, -18.0 / 20.0), 1.0);
      EXPECT_TRUE(window.savePNG(gShotDir + "/" + std::string(s.shot).insert(std::strlen(s.shot) - 4, "-tone")));
      processSilence(i.plugin, 600);
      window.idle(60);
    }
#else
    (void)s;
#endif
  }
  window.close();
  EXPECT_EQ(i.plugin.close(), 1);
}

#if defined(_WIN32)
namespace {

using plugin_test::frameWindowOf;
using plugin_test::kSettingsKey;
using plugin_test::registryFloat;

// Wheel notches as the system sends them: to the window with the focus, at
// a point of the screen, with the keys held.
void wheel(HWND frame, int x, int y, int notches, WPARAM keys = 0) {
  POINT p = {x, y};
  ClientToScreen(frame, &p);
  for (int n = 0; n < std::abs(notches); ++n)
    SendMessageW(frame, WM_MOUSEWHEEL, MAKEWPARAM(keys, notches < 0 ? -WHEEL_DELTA : WHEEL_DELTA),
                 MAKELPARAM(p.x, p.y));
}

// Leaves the prefix's registry without the reference the test wrote, even
// when the test stops half-way: the next run starts from the defaults.
struct ForgetReference {
  ~ForgetReference() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      RegDeleteValueW(key, L"Avureference");
      RegCloseKey(key);
    }
  }
};

}  // namespace
#endif

// The VU meter turned round with a click on the meter selector's middle,
// its reference knob turned two notches up and one fine notch down with the
// wheel (-16.1 dBFS), the meter turned back with a click on an empty spot
// of the plate: the reference is in the registry, and the plate looked as
// its reference shot.
TEST(EditorWindow, TheBackPanelEditsTheReferenceAndStoresItWhenClosed) {
#if !defined(_WIN32)
  GTEST_SKIP() << "the native plug-in's frame has no window to click (backpanels_tests drive the same flow natively)";
#else
  ForgetReference forget;
  Instance i;
  ASSERT_TRUE(i.plugin.valid());
  i.plugin.setParameter(3, 0.0f);  // VU
  i.plugin.setParameter(2, 0.0f);  // Global: the edit goes to the registry
  i.plugin.setParameter(83, 0.25f);
  vsthost::EditorWindow window(i.plugin);
  ASSERT_TRUE(window.open());
  window.idle(60);
  HWND frame = frameWindowOf(window);
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(window.click(195 + 75, 150));
  window.mouseMove(300, 125);
  window.idle(90);
  vsthost::Image plate;
  ASSERT_TRUE(window.capture(plate));
  expectPanelLooksLikeItsReference(plate, "backpanel-vu.png");

  wheel(frame, 24 + 21, 36 + 20, 2);
  wheel(frame, 24 + 21, 36 + 20, -1, MK_SHIFT);
  window.idle(60);
  const float reference = i.plugin.getParameter(83);
  EXPECT_NEAR((24.0 * reference - 24.0), -16.1, 1e-4);
  vsthost::Image turned;
  ASSERT_TRUE(window.capture(turned));
  EXPECT_TRUE(vsthost::writePNG(gShotDir + "/backpanel-vu-turned.png", turned));

  ASSERT_TRUE(window.click(300, 125));
  window.idle(60);
  EXPECT_FLOAT_EQ(registryFloat(L"Avureference"), reference);
  EXPECT_FLOAT_EQ(registryFloat(L"Avuintegration"), 0.5f) << "the Global store goes whole";

  // The Global store as the other tests of this program expect it; the
  // guard takes the value out of the registry.
  i.plugin.setParameter(83, 0.25f);
  window.close();
  EXPECT_EQ(i.plugin.close(), 1);
#endif
}

int main(int argc, char** argv) {
  return plugin_test::runTests(argc, argv, "editor_window_tests",
                               {{"artwork", &gArtworkDir}, {"shots", &gShotDir}, {"references", &gReferenceDir}});
}
