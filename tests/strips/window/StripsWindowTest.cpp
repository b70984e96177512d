// The strips of the shipped binary as a user works them: the test host
// loads the plug-in through its entry point and opens the editor at full
// height in a window of its own (under Wine on a virtual display); a click
// opens the high-pass entry's edit box, keys typed into it set the filter,
// which the audio then shows; a label written into the tape label comes
// back in a new instance from the project.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/support/PluginTest.h"
#include "tools/vsthost/VstHost.h"

#if defined(_WIN32)
#include <windows.h>

#include "tests/support/HostWindow.h"
using window_test::click;
#endif

namespace {

using plugin_test::Instance;
std::string gShotDir;

#if defined(_WIN32)
// The level (RMS) of a sine of `hz` after the plug-in, once the filters
// have settled.
double levelAfter(vsthost::Plugin& plugin, double hz) {
  std::vector<float> in(256), l(256), r(256);
  double sum = 0;
  int counted = 0;
  for (int b = 0; b < 150; ++b) {
    for (int i = 0; i < 256; ++i) in[i] = 0.5f * (float)std::sin(2 * 3.141592653589793 * hz * (b * 256 + i) / 48000.0);
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {l.data(), r.data()};
    plugin.process(ins, outs, 256);
    if (b >= 100)
      for (int i = 0; i < 256; ++i, ++counted) sum += (double)l[i] * l[i];
  }
  return std::sqrt(sum / counted);
}

void showAllStrips(vsthost::Plugin& plugin) {
  plugin.setParameter(6, 1.f);   // Strips
  plugin.setParameter(7, 1.f);   // ShowFlt
  plugin.setParameter(15, 1.f);  // ShowLbl
}

using plugin_test::frameWindowOf;

// Keys as the keyboard sends them: down, the character, up; then Return.
void typeAndReturn(HWND edit, const std::wstring& text) {
  for (wchar_t c : text) {
    const SHORT vk = VkKeyScanW(c);
    SendMessageW(edit, WM_KEYDOWN, LOBYTE(vk), 1);
    SendMessageW(edit, WM_CHAR, c, 1);
    SendMessageW(edit, WM_KEYUP, LOBYTE(vk), 0xC0000001);
  }
  SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
}
#endif

}  // namespace

TEST(StripsWindow, AHighPassFrequencyTypedIntoTheEntrySetsTheFilterThatTheAudioHears) {
#if !defined(_WIN32)
  GTEST_SKIP() << "the native plug-in's frame has no window to type into";
#else
  Instance i;
  ASSERT_TRUE(i.plugin.valid());
  i.plugin.start(48000.f, 256);
  showAllStrips(i.plugin);
  i.plugin.setParameter(0, 1.f);   // Process
  i.plugin.setParameter(8, 1.f);   // ProcFlt: filters in
  i.plugin.setParameter(11, 0.f);  // high-pass at 20 Hz
  const double open = levelAfter(i.plugin, 100.0);

  vsthost::EditorWindow window(i.plugin);
  ASSERT_TRUE(window.open());
  EXPECT_EQ(window.height(), 261);
  window.idle(100);
  HWND frame = frameWindowOf(window);
  ASSERT_NE(frame, nullptr);
  // The entry sits above the slider's handle: at 20 Hz, x 45 … 87 of the
  // filters strip, which starts under the meter at y 169.
  click(frame, 66, 176);
  HWND edit = FindWindowExW(frame, nullptr, L"EDIT", nullptr);
  ASSERT_NE(edit, nullptr) << "a click on the entry opens the edit box";
  typeAndReturn(edit, L"1k5");
  window.idle(60);
  EXPECT_FALSE(IsWindow(edit));

  const float v = i.plugin.getParameter(11);
  EXPECT_NEAR(20.0 * std::pow(100.0, (double)v), 1500.0, 0.5);
  ASSERT_FALSE(i.host.automations.empty());
  EXPECT_EQ(i.host.automations.back().index, 11);
  EXPECT_EQ(i.plugin.text(effGetParamDisplay, 11), "1k5");
  // 100 Hz lies more than three octaves under a 1.5 kHz high-pass of 12
  // dB/oct: at least 35 dB down, where the 20 Hz one let it through.
  const double filtered = levelAfter(i.plugin, 100.0);
  EXPECT_GT(open, 0.3);
  EXPECT_LT(filtered, open * 0.018);
  window.close();
  EXPECT_EQ(i.plugin.close(), 1);
#endif
}

TEST(StripsWindow, ALabelWrittenOnTheTapeComesBackFromTheProject) {
#if !defined(_WIN32)
  GTEST_SKIP() << "the native plug-in's frame has no window to type into";
#else
  std::vector<unsigned char> project;
  vsthost::Image before, after;
  {
    Instance i;
    ASSERT_TRUE(i.plugin.valid());
    showAllStrips(i.plugin);
    vsthost::EditorWindow window(i.plugin);
    ASSERT_TRUE(window.open());
    window.idle(60);
    HWND frame = frameWindowOf(window);
    click(frame, 200, 240);  // the tape, in the label strip at y 222 … 261
    HWND edit = FindWindowExW(frame, nullptr, L"EDIT", nullptr);
    ASSERT_NE(edit, nullptr) << "a click on the tape opens the edit box";
    SendMessageW(edit, EM_SETSEL, 0, -1);
    typeAndReturn(edit, L"Bass DI \u00e9t\u00e9");
    window.idle(120);
    ASSERT_TRUE(window.capture(before));
    vsthost::writePNG(gShotDir + "/strips-label-written.png", before);
    project = i.plugin.chunk();
    window.close();
    EXPECT_EQ(i.plugin.close(), 1);
  }
  ASSERT_FALSE(project.empty());
  // The label is in the project chunk, after its first four bytes.
  ASSERT_GT(project.size(), 44u);
  EXPECT_EQ(std::string((const char*)project.data() + 4), "Bass DI \xC3\xA9t\xC3\xA9");

  Instance j;
  ASSERT_TRUE(j.plugin.valid());
  j.plugin.setChunk(project.data(), (VstInt32)project.size());
  vsthost::EditorWindow window(j.plugin);
  ASSERT_TRUE(window.open());
  EXPECT_EQ(window.height(), 261);
  window.idle(120);
  ASSERT_TRUE(window.capture(after));
  vsthost::writePNG(gShotDir + "/strips-label-restored.png", after);
  ASSERT_EQ(after.width, before.width);
  ASSERT_EQ(after.height, before.height);
  // Only the meters' needles may differ (they rest where they rest); the
  // strips under the meter area must be the same to the pixel.
  int differing = 0;
  for (int y = 169; y < after.height; ++y)
    for (int x = 0; x < after.width; ++x)
      for (int c = 0; c < 3; ++c)
        if (after.bgra[(size_t(y) * after.width + x) * 4 + c] != before.bgra[(size_t(y) * before.width + x) * 4 + c]) {
          ++differing;
          break;
        }
  EXPECT_EQ(differing, 0);
  window.close();
  EXPECT_EQ(j.plugin.close(), 1);
#endif
}

int main(int argc, char** argv) {
  return plugin_test::runTests(argc, argv, "strips_window_tests", {{"shots", &gShotDir}});
}
