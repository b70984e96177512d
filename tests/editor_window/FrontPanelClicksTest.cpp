// Clicks on the front panel and the plate of the shipped binary's window,
// sent as the system sends them (a Control-click is a press with the
// Control key in its key state): a reset of the front reference knob, and a
// click on the scope's explanation. Windows only; natively the frame has
// no window, and backpanels_tests drive the same gestures through it.
#include <gtest/gtest.h>

#include "tests/support/PluginTest.h"
#include "tools/vsthost/VstHost.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

using plugin_test::Instance;

#if defined(_WIN32)
// A left press and release at a point of the editor, with the keys held
// (MK_CONTROL), or a double-click (the second press is the double one).
void press(HWND frame, int x, int y, WPARAM keys, bool twice) {
  const LPARAM at = MAKELPARAM(x, y);
  for (int n = 0; n < (twice ? 2 : 1); ++n) {
    SendMessageW(frame, n == 1 ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
    SendMessageW(frame, WM_LBUTTONUP, keys, at);
  }
}

int automationsOf(const vsthost::HostState& host, VstInt32 index) {
  int n = 0;
  for (const auto& a : host.automations) n += a.index == index;
  return n;
}
#endif

}  // namespace

// The front knob (96, 1; 165 x 14, its text from x 177 on) of each meter,
// turned away from the default, then reset by a Control-click and by a
// double-click: the meter's own default reference comes back (VU -18 dBFS
// 0.25, RMS 0 dB 0.667, PPM -12 dBFS 0.5), as on the back panel.
TEST(EditorWindowClicks, TheFrontReferenceKnobResetsToTheMetersDefault) {
#if !defined(_WIN32)
  GTEST_SKIP() << "the native plug-in's frame has no window to click (backpanels_tests reset it through the frame)";
#else
  const struct {
    float meter;
    VstInt32 reference;
    float defaultValue;
  } meters[] = {{0.0f, 83, 0.25f}, {0.5f, 72, 0.667f}, {1.0f, 93, 0.5f}};
  Instance i;
  ASSERT_TRUE(i.plugin.valid());
  i.plugin.setParameter(2, 1.0f);  // Instance scope: nothing of this reaches the other tests
  i.plugin.setParameter(6, 1.0f);  // Strips: the knob shows
  vsthost::EditorWindow window(i.plugin);
  ASSERT_TRUE(window.open());
  HWND frame = plugin_test::frameWindowOf(window);
  ASSERT_NE(frame, nullptr);
  for (const auto& m : meters) {
    i.plugin.setParameter(3, m.meter);
    window.idle(60);
    for (bool doubleClick : {false, true}) {
      SCOPED_TRACE(testing::Message() << "setting " << m.reference
                                      << (doubleClick ? " double-click" : " Control-click"));
      i.plugin.setParameter(m.reference, 0.9f);
      window.idle(30);
      press(frame, 96 + 40, 8, doubleClick ? 0 : MK_CONTROL, doubleClick);
      window.idle(30);
      EXPECT_FLOAT_EQ(i.plugin.getParameter(m.reference), m.defaultValue);
    }
  }
  window.close();
  EXPECT_EQ(i.plugin.close(), 1);
#endif
}

// With the strips hidden the plate's scope selector spans the window and
// shows the explanation of the scope right of its three choices. A click on
// the explanation is no choice: the plate stays, the scope stays, and the
// host records nothing (no automation point of a scope that did not change).
TEST(EditorWindowClicks, AClickOnTheScopesExplanationChangesNothingAndTellsTheHostNothing) {
#if !defined(_WIN32)
  GTEST_SKIP() << "the native plug-in's frame has no window to click (controls_tests click it through the frame)";
#else
  Instance i;
  ASSERT_TRUE(i.plugin.valid());
  i.plugin.setParameter(3, 0.0f);
  i.plugin.setParameter(6, 0.0f);
  i.plugin.setParameter(2, 0.5f);  // Session
  vsthost::EditorWindow window(i.plugin);
  ASSERT_TRUE(window.open());
  window.idle(60);
  ASSERT_TRUE(window.click(195 + 75, 150));  // the meter turned round
  window.idle(30);
  i.host.automations.clear();
  for (int x : {40, 300, 570}) ASSERT_TRUE(window.click(x, 6));
  window.idle(30);
  EXPECT_EQ(automationsOf(i.host, 2), 0);
  EXPECT_FLOAT_EQ(i.plugin.getParameter(2), 0.5f);
  // The plate is still up: a click on the third choice picks Instance.
  ASSERT_TRUE(window.click(32, 6));
  window.idle(30);
  EXPECT_FLOAT_EQ(i.plugin.getParameter(2), 1.0f) << "the click reached the plate's selector";
  EXPECT_EQ(automationsOf(i.host, 2), 1);
  // A click on the chosen scope is still a choice the user made: recorded.
  ASSERT_TRUE(window.click(32, 6));
  window.idle(30);
  EXPECT_EQ(automationsOf(i.host, 2), 2);
  window.close();
  EXPECT_EQ(i.plugin.close(), 1);
#endif
}
