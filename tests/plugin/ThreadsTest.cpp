// The host's threads meeting in one instance, as in a session: the audio
// thread processing, automation arriving on a second thread (filter changes
// among it, which take the processing lock), and the user-interface thread
// idling the open editor and reading display texts. The ThreadSanitizer
// build (build/tsan) runs this program to watch for data races; every build
// checks what a host sees.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "tests/support/PluginTest.h"
#include "tools/vsthost/VstHost.h"

TEST(PluginThreads, AudioAutomationAndEditorIdlesTogether) {
  vsthost::HostState host;
  vsthost::Plugin plugin(plugin_test::library().vstPluginMain(), host);
  ASSERT_TRUE(plugin.valid());
  plugin.start(48000, 256);
  plugin.setParameter(0, 1.0f);  // Process on: trim and filters in the path
  plugin.setParameter(8, 1.0f);

  std::atomic<bool> stop{false};
  std::atomic<long> blocks{0}, changes{0}, badOutput{0};
  std::thread audio([&] {
    std::vector<float> in(256), outL(256), outR(256);
    double phase = 0;
    while (!stop.load()) {
      for (float& x : in) x = (float)(0.5 * std::sin(phase += 0.05));
      float* ins[2] = {in.data(), in.data()};
      float* outs[2] = {outL.data(), outR.data()};
      plugin.process(ins, outs, 256);
      for (int i = 0; i < 256; ++i)
        if (!std::isfinite(outL[i]) || !std::isfinite(outR[i])) ++badOutput;
      ++blocks;
    }
  });
  std::thread automation([&] {
    unsigned n = 0;
    while (!stop.load()) {
      const int index = (int)(n % 17);
      plugin.setParameter(index == 6 ? 1 : index, (float)((n * 37) % 101) / 100.0f);
      ++n;
      ++changes;
      if (n % 64 == 0) std::this_thread::yield();
    }
  });

  // The user-interface thread. Natively the editor opens without a window
  // (its frame is off screen); the DLLs' editors need a real parent window
  // and a display, which the editor-window tests give them.
#if !defined(_WIN32)
  ERect* rect = nullptr;
  ASSERT_EQ(plugin.dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_EQ(plugin.dispatch(effEditOpen, 0, 0, nullptr), 1);
#endif
  for (int round = 0; round < 200 && (blocks.load() < 200 || changes.load() < 2000 || round < 50); ++round) {
#if !defined(_WIN32)
    plugin.dispatch(effEditIdle);
#endif
    for (int i = 0; i < 17; ++i) {
      const std::string text = plugin.text(effGetParamDisplay, i);
      EXPECT_LT(text.size(), 24u);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
#if !defined(_WIN32)
  plugin.dispatch(effEditClose);
#endif
  stop = true;
  audio.join();
  automation.join();
  EXPECT_GT(blocks.load(), 0);
  EXPECT_GT(changes.load(), 0);
  EXPECT_EQ(badOutput.load(), 0);
  for (int i = 0; i < 17; ++i) {
    const float v = plugin.getParameter(i);
    EXPECT_TRUE(v >= 0.0f && v <= 1.0f) << i;
  }
  EXPECT_EQ(plugin.close(), 1);
}
