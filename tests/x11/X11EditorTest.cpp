// The native plug-in's editor in a Linux host's window, on a virtual X
// display: the test host loads the .so through its entry point, opens the
// editor into a top-level window of its own, works it with real input
// (XTest) and looks at the screen (XGetImage).
#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "display/NeedleAngles.h"
#include "tests/support/NeedleShot.h"
#include "tests/support/PluginTest.h"
#include "tests/x11/X11Host.h"

// clang-format off: it needs Xlib.h (X11Host.h's) before it.
#include <X11/extensions/XRes.h>
// clang-format on

namespace {

using plugin_test::Instance;
using x11_test::HostWindow;
using x11_test::Image;
std::string gShotDir;
std::string gDllReferenceDir;

void saveShot(const Image& shot, const std::string& name) {
  EXPECT_TRUE(x11_test::writePNG(gShotDir + "/" + name, shot)) << name;
}

// A shot's first `rows` rows (the meter area by default) against the 64-bit
// DLL's shot of the same state. Text is drawn by FreeType here and DirectWrite
// there, and a needle's antialiased edge falls a little differently: up to
// 2 % of the pixels may be more than 8 levels off (measured: 0.6 % on the VU
// panel, 0.5 % on its plate) and 0.3 % (about 300 pixels) more than 64
// levels (measured: 131 on the panel, in its two read-outs and the resting
// needles' edges; 192 on the plate, all in its four read-outs).
//
// The full-height window's handwritten tape label is laid out a little
// tighter here than by Wine's DirectWrite ("Ta" sits closer), which shifts
// most of its glyphs' edges by a pixel or two: 404 of the 558 pixels more
// than 64 levels off over its 261 rows are in that label (131 in the meter
// area, 23 in the filters strip), so that comparison allows 0.4 %.
void expectLooksLikeTheDlls(const Image& shot, const std::string& name, int rows = 169, int farPerMille = 3) {
  saveShot(shot, "x11-" + name);
  Image dll;
  ASSERT_TRUE(x11_test::readPNG(gDllReferenceDir + "/" + name, dll)) << name;
  ASSERT_EQ(shot.width, dll.width);
  ASSERT_GE(shot.height, rows);
  ASSERT_GE(dll.height, rows);
  int nearOff = 0, farOff = 0;
  for (size_t p = 0; p < size_t(shot.width) * rows * 4; p += 4) {
    int d = 0;
    for (int c = 0; c < 3; ++c) d = std::max(d, std::abs(shot.bgra[p + c] - dll.bgra[p + c]));
    nearOff += d > 8;
    farOff += d > 64;
  }
  std::printf("%s against the DLL's: %d pixels more than 8 levels off, %d more than 64\n", name.c_str(), nearOff,
              farOff);
  EXPECT_LE(nearOff, shot.width * rows / 50) << name;
  EXPECT_LE(farOff, shot.width * rows * farPerMille / 1000) << name;
}

// A 1 kHz sine of this peak for `seconds`, the editor idled in between, as a
// host plays and shows at once. The last idle comes straight after the last
// block, so that a shot taken then shows the reading at the block's end
// however late the machine's timers ran (the needle falls on past a block's
// end, as it would between blocks).
void playTone(vsthost::Plugin& plugin, HostWindow& window, float peak, double seconds) {
  std::vector<float> in(256), l(256), r(256);
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {l.data(), r.data()};
  long n = 0;
  const long blocks = (long)(seconds * 48000 / 256);
  for (long b = 0; b < blocks;) {
    for (int k = 0; k < 6 && b < blocks; ++k, ++b) {
      for (int i = 0; i < 256; ++i, ++n)
        in[i] = peak * (float)std::sin(2 * 3.14159265358979323846 * 1000.0 * n / 48000.0);
      plugin.process(ins, outs, 256);
    }
    if (b < blocks)
      window.idle(30);
    else
      window.idleOnce();
  }
}

}  // namespace

// The window the plug-in makes is a child of the host's, of the rectangle it
// reported, and follows the strips' layout (the host is asked, and the
// child resized) while open. Full height, it looks like the 64-bit DLL's
// window in the same state (its window test sets it up alike).
TEST(X11Editor, OpensInTheHostsWindowAndFollowsTheStrips) {
  Instance i;
  ASSERT_TRUE(i.plugin.valid());
  EXPECT_TRUE(i.plugin.effect()->flags & effFlagsHasEditor);
  plugin_test::setLabel(i.plugin, "Tape 1");
  i.plugin.setParameter(2, 0.5f);  // Session, as in the DLL's shot
  i.plugin.setParameter(3, 0.0f);  // VU
  i.plugin.setParameter(83, 0.25f);  // -18 dBFS, whatever an earlier test left
  i.plugin.setParameter(6, 0.0f);
  i.plugin.start(48000, 256);
  HostWindow host(i.plugin);
  ASSERT_NE(host.display(), nullptr);
  ASSERT_TRUE(host.open());
  plugin_test::processSilence(i.plugin, 8);
  host.idle(100);
  ASSERT_EQ(host.childCount(), 1);
  const struct {
    int parameter;
    float value;
    int height;
  } steps[] = {
      {6, 0.0f, 169},   // strips off: the meter area alone
      {6, 1.0f, 195},   // the default layout
      {7, 1.0f, 235},   // the filters strip open
      {15, 1.0f, 261},  // and the label strip
      {7, 0.0f, 221},   // the label strip alone
  };
  for (const auto& s : steps) {
    i.plugin.setParameter(s.parameter, s.value);
    host.idle(60);
    int w = 0, h = 0;
    ASSERT_TRUE(host.sizeOf(host.editorWindow(), w, h));
    EXPECT_EQ(w, 586) << s.height;
    EXPECT_EQ(h, s.height);
    ASSERT_FALSE(i.host.sizeWindowCalls.empty());
    EXPECT_EQ(i.host.sizeWindowCalls.back().second, s.height);
    if (s.height == 261) {
      host.moveTo(300, 100);  // over a meter: no hint
      host.idle(150);
    }
    Image shot;
    ASSERT_TRUE(host.capture(shot));
    saveShot(shot, "x11-editor-" + std::to_string(s.height) + ".png");
    if (s.height == 261) expectLooksLikeTheDlls(shot, "editor-261.png", 261, 4);
  }
  host.close();
  host.idle(30);
  EXPECT_EQ(host.childCount(), 0) << "the editor's window outlived effEditClose";
  EXPECT_EQ(i.plugin.close(), 1);
}

// Real clicks, wheel notches and modifier keys through the server: the meter
// selector's keys swap the panels; a click on its middle turns the VU meter
// round, two wheel notches up and one fine (Shift) notch down on the
// reference knob make -16.1 dBFS, a click on the plate turns it back; the
// front reference knob goes back to its default on a Control-click and on a
// double-click.
TEST(X11Editor, MouseWheelAndModifiersWorkTheControls) {
  Instance i;
  ASSERT_TRUE(i.plugin.valid());
  i.plugin.setParameter(3, 0.0f);  // VU
  i.plugin.setParameter(2, 0.0f);  // Global, as the DLL's shot of the plate (the test's own settings folder)
  i.plugin.setParameter(83, 0.25f);
  HostWindow host(i.plugin);
  ASSERT_TRUE(host.open());
  host.idle(100);

  const struct {
    int x;
    float meter;
  } selector[] = {{195 + 8, 1.0f}, {195 + 150 - 8, 0.0f}, {195 + 150 - 8, 0.5f}, {195 + 8, 0.0f}};
  for (const auto& s : selector) {
    host.click(s.x, 150);
    host.idle(40);
    EXPECT_FLOAT_EQ(i.plugin.getParameter(3), s.meter) << "click at " << s.x;
  }

  host.click(195 + 75, 150);  // the VU meter turned round
  host.moveTo(300, 125);
  host.idle(60);
  Image plate;
  ASSERT_TRUE(host.capture(plate));
  expectLooksLikeTheDlls(plate, "backpanel-vu.png");
  host.wheel(24 + 21, 36 + 20, 2);
  host.key(XK_Shift_L, true);
  host.wheel(24 + 21, 36 + 20, -1);
  host.key(XK_Shift_L, false);
  host.idle(40);
  EXPECT_NEAR(24.0 * i.plugin.getParameter(83) - 24.0, -16.1, 1e-4);
  host.click(300, 125);  // an empty spot of the plate turns it back
  host.idle(60);
  Image front;
  ASSERT_TRUE(host.capture(front));
  saveShot(front, "x11-front-after-backpanel.png");

  // The front knob (96, 1; 165 x 14) of the VU meter, away from its default.
  for (bool doubleClick : {false, true}) {
    i.plugin.setParameter(83, 0.9f);
    host.idle(60);
    host.moveTo(96 + 40, 8);
    if (!doubleClick) host.key(XK_Control_L, true);
    for (int n = 0; n < (doubleClick ? 2 : 1); ++n) {
      host.button(1, true);
      host.button(1, false);
    }
    if (!doubleClick) host.key(XK_Control_L, false);
    host.idle(40);
    EXPECT_FLOAT_EQ(i.plugin.getParameter(83), 0.25f) << (doubleClick ? "double-click" : "Control-click");
  }

  // The Global store as the other tests expect it.
  i.plugin.setParameter(83, 0.25f);
  host.close();
  EXPECT_EQ(i.plugin.close(), 1);
}

// A click opens the field the toolkit draws, with the artwork showing
// through it; keys typed on the keyboard go into it. Return keeps the
// typing (the high-pass entry reads "1k5", the label is in the project),
// and so does a click on another field, which opens that one; Escape puts
// the old label back. The keyboard goes back to the host.
TEST(X11Editor, TypingIntoTheFieldsSetsTheHighPassAndTheLabel) {
  Instance i;
  ASSERT_TRUE(i.plugin.valid());
  i.plugin.setParameter(2, 1.0f);   // Instance scope
  i.plugin.setParameter(11, 0.0f);  // 20 Hz: the entry stands at x 45 ... 87 of the filters strip
  i.plugin.setParameter(0, 1.0f);   // processing, and the filters in: the entry opens
  i.plugin.setParameter(8, 1.0f);
  HostWindow host(i.plugin);
  ASSERT_TRUE(host.open());
  for (int strip : {6, 7, 15}) i.plugin.setParameter(strip, 1.0f);
  host.idle(100);
  auto label = [&] {
    const std::vector<unsigned char> chunk = i.plugin.chunk();
    return chunk.size() > 4 ? std::string(reinterpret_cast<const char*>(chunk.data()) + 4) : std::string("?");
  };
  const std::string oldLabel = label();

  Window hostFocus = 0;
  int revert = 0;
  XGetInputFocus(host.display(), &hostFocus, &revert);
  const struct {
    int x, y;
    const char* typed;
    KeySym end;            // none: the next row's click ends the field
    const char* highPass;  // the parameter's display text after
    std::string label;     // in the project after
  } rows[] = {
      {200, 240, "Tape 1", NoSymbol, "20.0", oldLabel},
      {66, 176, "1k5", XK_Return, "1k5", "Tape 1"},
      {200, 240, "Bass Di", XK_Escape, "1k5", "Tape 1"},
      {200, 240, "Bass Di", XK_Return, "1k5", "Bass Di"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.typed) + (r.end == XK_Return ? " Return" : r.end == XK_Escape ? " Escape" : ""));
    host.moveTo(r.x, r.y);
    host.idle(40);
    Image before, selected, open;
    ASSERT_TRUE(host.capture(before));
    host.click(r.x, r.y);
    ASSERT_TRUE(host.capture(selected));
    for (const char* c = r.typed; *c; ++c) {
      const bool upper = *c >= 'A' && *c <= 'Z';
      if (upper) host.key(XK_Shift_L, true);
      host.key(static_cast<KeySym>(*c), true);
      host.key(static_cast<KeySym>(*c), false);
      if (upper) host.key(XK_Shift_L, false);
    }
    host.idle(40);
    ASSERT_TRUE(host.capture(open));
    if (r.x == 66) {
      saveShot(open, "x11-highpass-field-open.png");
      // The field has no background of its own: around the control's
      // middle row, most pixels are the artwork's as before, apart from the
      // text and the caret.
      // It opens with its text selected (white on blue).
      int same = 0, all = 0, blue = 0;
      for (int y = 170; y < 183; ++y)
        for (int x = 45; x < 88; ++x, ++all) {
          const size_t p = (size_t(y) * open.width + x) * 4;
          same += std::equal(&open.bgra[p], &open.bgra[p + 3], &before.bgra[p]);
          blue += selected.bgra[p] == 215 && selected.bgra[p + 1] == 120 && selected.bgra[p + 2] == 0;
        }
      std::printf("open high-pass field: %d of %d pixels as before; %d selection pixels on opening\n", same, all, blue);
      EXPECT_GT(same, all / 2) << "see x11-highpass-field-open.png";
      EXPECT_LT(same, all) << "nothing typed shows";
      EXPECT_GT(blue, 20) << "no selection on opening";
    }
    Window focus = 0;
    XGetInputFocus(host.display(), &focus, &revert);
    EXPECT_EQ(focus, host.editorWindow()) << "the field has the keyboard";
    if (r.end != NoSymbol) {
      host.key(r.end, true);
      host.key(r.end, false);
    }
    host.idle(60);
    EXPECT_EQ(i.plugin.text(effGetParamDisplay, 11), r.highPass);
    EXPECT_EQ(label(), r.label);
    XGetInputFocus(host.display(), &focus, &revert);
    EXPECT_EQ(focus, r.end != NoSymbol ? hostFocus : host.editorWindow()) << "the keyboard goes back to the host";
  }
  EXPECT_NEAR(20.0 * std::pow(100.0, double(i.plugin.getParameter(11))), 1500.0, 0.5);
  // The editor closes with a field open and typed into: nothing of the
  // field outlives the window (valgrind's run watches this too).
  host.click(200, 240);
  host.key(XK_x, true);
  host.key(XK_x, false);
  host.close();
  host.idle(30);
  EXPECT_EQ(host.childCount(), 0);
  EXPECT_EQ(i.plugin.close(), 1);
}

// A 1 kHz sine at each meter's reference (VU -18, PPM -12, RMS 0 dBFS) puts
// its needle on its reference mark in the window's own pixels; each panel
// at rest looks like the 64-bit DLL's.
TEST(X11Editor, EachNeedleStandsOnItsMarkAndEachPanelLooksLikeTheDlls) {
  const struct {
    float meter;    // the meter selector's value
    int reference;  // the meter's reference setting
    float setting;  // ... at this level
    double db;      // the tone's peak, dBFS
    const orvane::MeterFace& face;
    double restAngle;
    double mark;
    const char* shot;  // the DLL's shot of the panel at rest
  } meters[] = {
      {0.0f, 83, 0.25f, -18, orvane::kVuFace, orvane::vuNeedleAngle(-1), orvane::vuNeedleAngle(1), "panel-vu.png"},
      {1.0f, 93, 0.5f, -12, orvane::kPpmFace, orvane::ppmNeedleAngle(0), orvane::ppmNeedleAngle(1), "panel-ppm.png"},
      {0.5f, 72, 2.0f / 3, 0, orvane::kRmsFace, orvane::rmsNeedleAngle(0), orvane::rmsNeedleAngle(1), "panel-rms.png"},
  };
  for (const auto& m : meters) {
    SCOPED_TRACE(m.shot);
    Instance i;
    ASSERT_TRUE(i.plugin.valid());
    i.plugin.setParameter(3, m.meter);
    i.plugin.setParameter(2, 0.5f);                 // Session, as in the DLL's shots
    i.plugin.setParameter(m.reference, m.setting);  // whatever an earlier test left
    i.plugin.start(48000, 256);
    HostWindow host(i.plugin);
    ASSERT_TRUE(host.open());
    plugin_test::processSilence(i.plugin, 8);
    host.moveTo(300, 100);  // over a meter: no hint
    host.idle(200);
    Image rest, up;
    ASSERT_TRUE(host.capture(rest));
    expectLooksLikeTheDlls(rest, m.shot);

    playTone(i.plugin, host, (float)std::pow(10.0, m.db / 20.0), 2.0);
    ASSERT_TRUE(host.capture(up));
    const std::string name = std::string("x11-") + m.shot;
    saveShot(up, name.substr(0, name.size() - 4) + "-reference.png");
    const double measured = plugin_test::needleAngleFromPixels(rest, up, m.face, m.restAngle);
    std::printf("%s: needle at %.2f degrees, the reference mark at %.2f\n", m.shot, measured, m.mark);
    EXPECT_NEAR(measured, m.mark, 1.0);
    host.close();
    EXPECT_EQ(i.plugin.close(), 1);
  }
}

namespace {

// What the X server holds for all its clients, and how many clients it has.
struct ServerResources {
  int clients = 0;
  long resources = 0;
};

ServerResources serverResources(Display* d) {
  ServerResources r;
  int n = 0;
  XResClient* clients = nullptr;
  if (!XResQueryClients(d, &n, &clients)) return r;
  r.clients = n;
  for (int c = 0; c < n; ++c) {
    int types = 0;
    XResType* counts = nullptr;
    // The client's resource base is its XID range: any id in it names it.
    if (XResQueryClientResources(d, clients[c].resource_base, &types, &counts)) {
      for (int t = 0; t < types; ++t) r.resources += counts[t].count;
      XFree(counts);
    }
  }
  XFree(clients);
  return r;
}

size_t heapInUse() { return mallinfo2().uordblks; }

}  // namespace

// 100 openings and closings of two instances' editors, in either order,
// and both open at once: the server's resources (windows, pixmaps, GCs, the
// editors' connections) come back to where they were, and the process's
// heap grows by no more than the same cycles of the windowless frame make it
// grow (cairo keeps up to 256 recently used fonts, and the editor makes its
// fonts anew at each opening: a bounded cache that is not the window's).
TEST(X11Editor, OpeningAndClosingLeavesNothingBehind) {
  int event = 0, error = 0;
  Display* probe = XOpenDisplay(nullptr);
  ASSERT_NE(probe, nullptr);
  if (!XResQueryExtension(probe, &event, &error)) {
    XCloseDisplay(probe);
    GTEST_SKIP() << "the X server has no X-Resource extension to count with";
  }
  Instance a, b;
  ASSERT_TRUE(a.plugin.valid() && b.plugin.valid());
  a.host.logCalls = b.host.logCalls = false;  // the host's own log would grow
  a.plugin.setParameter(2, 1.0f);
  b.plugin.setParameter(2, 1.0f);
  HostWindow hostA(a.plugin, 20, 20), hostB(b.plugin, 40, 300);
  vsthost::EditorWindow windowlessA(a.plugin), windowlessB(b.plugin);
  auto cycle = [&](bool inWindows, int n) {
    for (int k = 0; k < n; ++k) {
      if (inWindows) {
        ASSERT_TRUE(hostA.open());
        ASSERT_TRUE(hostB.open());
        hostA.idleOnce();
        hostB.idleOnce();
        if (k % 2) {
          hostA.close();
          hostB.close();
        } else {
          hostB.close();
          hostA.close();
        }
      } else {
        ASSERT_TRUE(windowlessA.open());
        ASSERT_TRUE(windowlessB.open());
        windowlessA.idleOnce();
        windowlessB.idleOnce();
        windowlessA.close();
        windowlessB.close();
      }
    }
  };
  // The first openings make what lives as long as the library (artwork,
  // fonts' files, cairo's per-connection setup).
  cycle(true, 5);
  XSync(probe, False);
  const ServerResources before = serverResources(probe);
  const size_t heap0 = heapInUse();
  cycle(false, 100);
  const size_t heap1 = heapInUse();
  cycle(true, 100);
  const size_t heap2 = heapInUse();
  XSync(probe, False);
  const ServerResources after = serverResources(probe);
  const long windowless = long(heap1) - long(heap0), inWindows = long(heap2) - long(heap1);
  std::printf(
      "X clients %d -> %d, resources %ld -> %ld; heap growth over 100 cycles: %ld bytes windowless, %ld in "
      "X11 windows\n",
      before.clients, after.clients, before.resources, after.resources, windowless, inWindows);
  EXPECT_EQ(after.clients, before.clients) << "an editor's connection stayed open";
  EXPECT_EQ(after.resources, before.resources);
  EXPECT_LT(inWindows, windowless + 64 * 1024) << "the X11 window left memory behind";

  // Both open: two windows, each in its own host window, each editor with
  // its own connection.
  ASSERT_TRUE(hostA.open());
  ASSERT_TRUE(hostB.open());
  hostA.idle(60);
  hostB.idle(60);
  EXPECT_EQ(hostA.childCount(), 1);
  EXPECT_EQ(hostB.childCount(), 1);
  EXPECT_EQ(serverResources(probe).clients, before.clients + 2);
  hostA.close();
  hostB.close();
  XCloseDisplay(probe);
}

// With no X server to reach, or a window id of no window, effEditOpen
// answers 0 (the reason goes to stderr) and the instance goes on working;
// a host that destroys its window before closing the editor (which takes
// the editor's window with it) sees the editor idle and close without the
// process ending on an X error.
TEST(X11Editor, SurvivesNoDisplayABadWindowAndAWindowDestroyedFirst) {
  Instance i;
  ASSERT_TRUE(i.plugin.valid());
  const std::string saved = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
  Display* host = XOpenDisplay(nullptr);
  ASSERT_NE(host, nullptr);
  Window w = XCreateSimpleWindow(host, DefaultRootWindow(host), 0, 0, 586, 195, 0, 0, 0);
  XSync(host, False);
  setenv("DISPLAY", ":4093", 1);  // no server there
  EXPECT_EQ(i.plugin.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(w))), 0);
  setenv("DISPLAY", saved.c_str(), 1);
  EXPECT_EQ(i.plugin.dispatch(effEditIdle), 0);
  i.plugin.dispatch(effEditClose);
  // A window id of no window: refused as well, without ending the process.
  EXPECT_EQ(i.plugin.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(0x3fffffff))), 0);
  XDestroyWindow(host, w);
  XCloseDisplay(host);

  {
    HostWindow destroyed(i.plugin);
    ASSERT_TRUE(destroyed.open());
    destroyed.idle(60);
    destroyed.destroyWindow();
    i.plugin.setParameter(7, 1.0f);  // the editor resizes its (gone) window
    EXPECT_EQ(i.plugin.dispatch(effEditIdle), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    i.plugin.dispatch(effEditIdle);
    destroyed.close();
  }
  EXPECT_EQ(i.plugin.close(), 1);
}

int main(int argc, char** argv) {
  return plugin_test::runTests(argc, argv, "x11_editor_tests",
                               {{"shots", &gShotDir}, {"dll-references", &gDllReferenceDir}});
}
