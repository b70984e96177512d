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
#include <thread>
#include <vector>

#include "display/MeterFaces.h"
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
      for (int i = 0; i < 256; ++i, ++n)
        in[i] = peak * (float)std::sin(2 * 3.14159265358979323846 * 1000.0 * n / 48000.0);
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

// A shot's first `rows` rows (all when 0) against a committed reference.
void expectLooksLikeItsReference(const vsthost::Image& shot, const std::string& name, int rows) {
  EXPECT_TRUE(vsthost::writePNG(gShotDir + "/" + name, shot));
  vsthost::Image ref;
  ASSERT_TRUE(vsthost::readPNG(gReferenceDir + "/" + name, ref)) << "no reference: see " << gShotDir << "/" << name;
  plugin_test::expectLooksAlike(shot, ref, name, rows);
}

// The meter area of a shot (its first 169 rows) against a committed
// reference.
void expectPanelLooksLikeItsReference(const vsthost::Image& shot, const std::string& name) {
  expectLooksLikeItsReference(shot, name, 169);
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
  // The full-height window's state, which the native window test sets up
  // the same way to compare with this one's shot.
  plugin_test::setLabel(i.plugin, "Tape 1");
  i.plugin.setParameter(2, 0.5f);  // Session
  i.plugin.setParameter(3, 0.0f);  // VU
  i.plugin.setParameter(83, 0.25f);  // -18 dBFS, whatever an earlier test left
  i.plugin.setParameter(6, 0.0f);  // Strips off: the meter area alone
  i.plugin.start(48000, 256);
  vsthost::EditorWindow window(i.plugin);
  ASSERT_TRUE(window.open());
  processSilence(i.plugin, 8);
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
#if defined(_WIN32)
  window.mouseMove(300, 100);  // over a meter: no hint
  window.idle(150);
  vsthost::Image full;
  ASSERT_TRUE(window.capture(full));
  expectLooksLikeItsReference(full, "editor-261.png", 0);
#endif
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
  const double mark = orvane::vuNeedleAngle(1.0);
  const double measured = plugin_test::needleAngleFromPixels(rest, up, orvane::kVuFace, orvane::vuNeedleAngle(-1));
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
      {195 + 8, 1.0f, "panel-ppm.png"},        // left key: VU -> PPM
      {195 + 150 - 8, 0.0f, nullptr},          // right key: PPM -> VU
      {195 + 150 - 8, 0.5f, "panel-rms.png"},  // right key: VU -> RMS
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

// ---------------------------------------------------------------- zoom

namespace {

constexpr VstInt32 kScaleRequest = 0x50726553;  // 'PreS'
constexpr VstIntPtr kScaleFactor = 0x41654373;  // 'AeCs'

#if defined(_WIN32)
// How far a shot is from an image of the same size: the mean absolute
// difference per channel over the rows above `rows`.
double meanDifference(const vsthost::Image& a, const vsthost::Image& b, int rows) {
  double sum = 0;
  long n = 0;
  for (int y = 0; y < rows && y < a.height && y < b.height; ++y)
    for (int x = 0; x < a.width && x < b.width; ++x, ++n)
      for (int c = 0; c < 3; ++c)
        sum += std::abs(a.bgra[(size_t(y) * a.width + x) * 4 + c] - b.bgra[(size_t(y) * b.width + x) * 4 + c]);
  return n ? sum / (3.0 * n) : 1e9;
}

// The 1x image blown up to twice its size, pixel for pixel: what a window
// zoomed from the 1x artwork would show at best.
vsthost::Image doubled(const vsthost::Image& img) {
  vsthost::Image out;
  out.width = img.width * 2;
  out.height = img.height * 2;
  out.bgra.resize(size_t(out.width) * out.height * 4);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x)
      std::memcpy(&out.bgra[(size_t(y) * out.width + x) * 4], &img.bgra[(size_t(y / 2) * img.width + x / 2) * 4], 4);
  return out;
}
#endif

}  // namespace

// The host's scale request before the window opens, at 100, 150 and 200 %:
// the window in pixels, each meter's needle on the same angle for a 1 kHz
// sine at that meter's reference, and at 200 % the artwork drawn from the
// 2x set.
TEST(EditorZoomWindow, TheNeedlesKeepTheirAngleAndTheArtworkIsSharpAtEveryZoom) {
#if !defined(_WIN32)
  GTEST_SKIP() << "the native plug-in's frame has no window to capture (editor_tests zoom it natively)";
#else
  const struct Meter {
    float parameter;  // the meter selector's value
    double referenceDb;
    const orvane::MeterFace& face;
    double restAngle;
    const char* shot;
  } meters[] = {
      {0.0f, -18, orvane::kVuFace, orvane::vuNeedleAngle(-1), "zoom-"},
      {1.0f, -12, orvane::kPpmFace, orvane::ppmNeedleAngle(0), "zoom-ppm-"},
      {0.5f, 0, orvane::kRmsFace, orvane::rmsNeedleAngle(0), "zoom-rms-"},
  };
  const double scales[] = {1.0, 1.5, 2.0};
  for (const Meter& m : meters) {
    double angles[3] = {0, 0, 0};
    for (int k = 0; k < 3; ++k) {
      const double s = scales[k];
      const std::string name = m.shot + std::to_string((int)std::lround(s * 100)) + ".png";
      SCOPED_TRACE(name);
      Instance i;
      ASSERT_TRUE(i.plugin.valid());
      i.plugin.setParameter(3, m.parameter);
      i.plugin.setParameter(6, 0.0f);  // Strips off: 169 units high
      i.plugin.start(48000, 256);
      EXPECT_EQ(i.plugin.dispatch(effVendorSpecific, kScaleRequest, kScaleFactor, nullptr, (float)s), 1);
      vsthost::EditorWindow window(i.plugin);
      ASSERT_TRUE(window.open());
      EXPECT_EQ(window.width(), (int)std::lround(586 * s));
      EXPECT_EQ(window.height(), (int)std::lround(169 * s));
      processSilence(i.plugin, 8);
      window.mouseMove((int)(300 * s), (int)(100 * s));
      window.idle(200);
      vsthost::Image rest, up;
      ASSERT_TRUE(window.capture(rest));
      playTone(i.plugin, window, (float)std::pow(10.0, m.referenceDb / 20.0), 2.0);
      ASSERT_TRUE(window.capture(up));
      EXPECT_TRUE(vsthost::writePNG(gShotDir + "/" + name, up));
      angles[k] = plugin_test::needleAngleFromPixels(rest, up, m.face, m.restAngle, s);
      std::printf("%s: needle at %.2f degrees\n", name.c_str(), angles[k]);
      EXPECT_GT(angles[k], 0) << "no needle moved";
      if (s == 2.0 && m.parameter == 0.0f) {
        // The panel at rest against the background's 2x artwork and against
        // its 1x artwork blown up: the shot is the 2x set.
        vsthost::Image art2x, art1x;
        ASSERT_TRUE(vsthost::readPNG(gArtworkDir + "/2x/10000.png", art2x));
        ASSERT_TRUE(vsthost::readPNG(gArtworkDir + "/10000.png", art1x));
        ASSERT_EQ(rest.width, 1172);
        const double from2x = meanDifference(rest, art2x, rest.height);
        const double from1x = meanDifference(rest, doubled(art1x), rest.height);
        std::printf("200 %%: %.2f from the 2x artwork, %.2f from the 1x blown up\n", from2x, from1x);
        EXPECT_LT(from2x * 1.5, from1x) << "see " << name;
      }
      window.close();
      EXPECT_EQ(i.plugin.close(), 1);
    }
    EXPECT_NEAR(angles[1], angles[0], 0.5) << m.shot;
    EXPECT_NEAR(angles[2], angles[0], 0.5) << m.shot;
  }
#endif
}

#if defined(_WIN32)
namespace {

// Picks item `index` of the popup menu the window thread is about to show
// (the system's menu runs modal inside the click): from another thread,
// as keys posted to the menu's window, which the menu's loop reads.
struct MenuPicker {
  explicit MenuPicker(int index)
      : thread([index] {
          for (int n = 0; n < 500; ++n) {
            if (HWND menu = FindWindowW(L"#32768", nullptr)) {
              for (int k = 0; k <= index; ++k) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
              PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
              return;
            }
            Sleep(10);
          }
        }) {}
  ~MenuPicker() { thread.join(); }
  std::thread thread;
};

void rightClick(HWND frame, int x, int y, int pick) {
  MenuPicker picker(pick);
  const LPARAM at = MAKELPARAM(x, y);
  SendMessageW(frame, WM_RBUTTONDOWN, MK_RBUTTON, at);
  SendMessageW(frame, WM_RBUTTONUP, 0, at);
}

struct ForgetZoom {
  ~ForgetZoom() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      RegDeleteValueW(key, L"EditorZoom");
      RegCloseKey(key);
    }
  }
};

}  // namespace
#endif

// The system's popup menu on the window's background: 200 % resizes the
// window and tells the host, and stays for the reopened window, a new
// instance and the registry; then at 150 % clicks land on the same
// controls as at 100 %: the meter selector's middle (the plate turns
// round), a plate knob dragged up, and the filters strip's frequency entry
// (its box opens over it).
TEST(EditorZoomWindow, TheMenusChoiceStaysAndClicksReachTheSameControls) {
#if !defined(_WIN32)
  GTEST_SKIP() << "the native plug-in's frame has no window for a menu (editor_tests drive its seam)";
#else
  ForgetZoom forget;
  Instance i;
  ASSERT_TRUE(i.plugin.valid());
  i.plugin.setParameter(2, 1.0f);  // Instance scope: the knob's value stays with this instance
  i.plugin.setParameter(0, 1.0f);  // Process, and the filters in: the entry takes clicks
  i.plugin.setParameter(8, 1.0f);
  i.plugin.setParameter(3, 0.0f);  // VU
  i.plugin.setParameter(6, 1.0f);  // Strips, the filters strip expanded
  i.plugin.setParameter(7, 1.0f);
  vsthost::EditorWindow window(i.plugin);
  ASSERT_TRUE(window.open());
  ASSERT_EQ(window.width(), 586);
  window.idle(60);
  rightClick(frameWindowOf(window), 300, 100, 4);  // between the meters
  window.idle(60);
  EXPECT_EQ(window.width(), 1172);
  EXPECT_EQ(i.host.sizeWindowCalls.back(), (std::pair<VstInt32, VstIntPtr>(1172, 470)));
  EXPECT_FLOAT_EQ(plugin_test::registryFloat(L"EditorZoom"), 2.0f);
  window.close();
  ASSERT_TRUE(window.open());
  EXPECT_EQ(window.width(), 1172);
  {
    Instance other;
    ERect* r = nullptr;
    ASSERT_EQ(other.plugin.dispatch(effEditGetRect, 0, 0, &r), 1);
    EXPECT_EQ(r->right, 1172);
  }

  rightClick(frameWindowOf(window), 600, 200, 2);  // 150 %
  window.idle(60);
  ASSERT_EQ(window.width(), 879);
  HWND frame = frameWindowOf(window);
  const auto at = [](double units) { return (int)(units * 1.5); };
  // The strip's high-pass entry (x 45 … 87 at 20 Hz, under the meter at y
  // 169): the box opens over it, in pixels.
  i.plugin.setParameter(11, 0.f);
  window.idle(30);
  ASSERT_TRUE(window.click(at(66), at(176)));
  HWND edit = FindWindowExW(frame, nullptr, L"EDIT", nullptr);
  ASSERT_NE(edit, nullptr) << "a click on the entry opens its box";
  RECT box;
  GetWindowRect(edit, &box);
  MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&box), 2);
  EXPECT_GE(box.left, at(40));
  EXPECT_LE(box.right, at(92));
  EXPECT_GE(box.top, at(169));
  SendMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 1);
  window.idle(30);
  // The selector's middle turns the meter round; the plate's reference
  // knob (24, 36; 43 x 41) follows a drag upward.
  ASSERT_TRUE(window.click(at(195 + 75), at(150)));
  window.idle(60);
  const float before = i.plugin.getParameter(83);
  SendMessageW(frame, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at(45), at(56)));
  for (int dy = 4; dy <= 40; dy += 4) SendMessageW(frame, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at(45), at(56) - dy));
  SendMessageW(frame, WM_LBUTTONUP, 0, MAKELPARAM(at(45), at(56) - 40));
  window.idle(30);
  EXPECT_GT(i.plugin.getParameter(83), before) << "the drag reached the reference knob";
  vsthost::Image plate;
  ASSERT_TRUE(window.capture(plate));
  EXPECT_TRUE(vsthost::writePNG(gShotDir + "/zoom-150-plate.png", plate));

  // Back to 100 % for the other tests of this program, which share the
  // library's settings: the plate closed by a click on its empty spot,
  // then the menu on the meter.
  ASSERT_TRUE(window.click(at(300), at(125)));
  window.idle(30);
  rightClick(frame, at(300), at(100), 0);
  window.idle(30);
  EXPECT_EQ(window.width(), 586);
  window.close();
  EXPECT_EQ(i.plugin.close(), 1);
#endif
}

int main(int argc, char** argv) {
  return plugin_test::runTests(argc, argv, "editor_window_tests",
                               {{"artwork", &gArtworkDir}, {"shots", &gShotDir}, {"references", &gReferenceDir}});
}
