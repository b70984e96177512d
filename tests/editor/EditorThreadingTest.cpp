// Parameter changes that arrive on another thread than the window's (a
// host automating from its audio thread) reach the views on the next idle,
// and never from that other thread. Build this program with
// -fsanitize=thread to have the race detector watch it.
#include <gtest/gtest.h>

#include <thread>

#include "tests/editor/EditorTestSupport.h"

using namespace editor_test;

TEST(ParameterMailbox, KeepsTheLatestValuePerIndexAndHandsThemOverInIndexOrder) {
  orvane::ParameterMailbox box;
  EXPECT_FALSE(box.hasPending());
  EXPECT_TRUE(box.post(6, 1.0f));
  EXPECT_TRUE(box.post(3, 0.5f));
  EXPECT_TRUE(box.post(6, 0.0f));
  EXPECT_TRUE(box.post(127, 0.25f));
  EXPECT_FALSE(box.post(128, 1.0f));
  EXPECT_FALSE(box.post(-1, 1.0f));
  std::vector<std::pair<int, float>> got;
  EXPECT_EQ(box.take([&](int i, float v) { got.emplace_back(i, v); }), 3);
  EXPECT_EQ(got, (std::vector<std::pair<int, float>>{{3, 0.5f}, {6, 0.0f}, {127, 0.25f}}));
  EXPECT_EQ(box.take([&](int, float) { FAIL(); }), 0);
  box.post(9, 1.0f);
  box.clear();
  EXPECT_EQ(box.take([&](int, float) { FAIL(); }), 0);
}

TEST(ParameterMailbox, LosesNothingWhilePostsAndTakesOverlap) {
  orvane::ParameterMailbox box;
  constexpr int kPosts = 20000;
  std::atomic<bool> done{false};
  std::thread sender([&] {
    for (int n = 1; n <= kPosts; ++n) box.post(n % 17, (float)n);
    done = true;
  });
  float last[17] = {0};
  while (!done) box.take([&](int i, float v) { last[i] = v; });
  sender.join();
  box.take([&](int i, float v) { last[i] = v; });
  // Whatever the interleaving, every index ends with its last value.
  for (int i = 0; i < 17; ++i) {
    int n = kPosts - ((kPosts - i) % 17);
    EXPECT_EQ(last[i], (float)n) << i;
  }
}

TEST(EditorThreading, AChangeFromAnotherThreadReachesTheViewsOnlyOnTheNextIdle) {
  EditorFixture f;
  ASSERT_TRUE(f.open());
  f.log.clear();
  const uint64_t windowThread = orvane::currentThreadKey();
  std::thread audio([&] {
    f.setParameter(orvane::kLRMS, 1.0f);
    f.setParameter(orvane::kMeter, 1.0f);
    f.setParameter(orvane::kShowFlt, 1.0f);
  });
  audio.join();
  // The effect has the values; the window does not show them yet.
  EXPECT_EQ(f.effect->getParameter(orvane::kMeter), 1.0f);
  EXPECT_TRUE(f.log.lines.empty());
  EXPECT_EQ(f.editor()->getCurrentMeter(), 0);
  EXPECT_EQ(f.rect().bottom, 195);
  f.idle();
  // Now it does, exactly as if the changes had come on this thread.
  EXPECT_EQ(f.editor()->getCurrentMeter(), 2);
  EXPECT_TRUE(f.parts()->fakePanel(2)->isShown());
  EXPECT_EQ(f.rect().bottom, 235);
  EXPECT_EQ(f.host.sizeWindow.back(), (std::pair<VstInt32, VstIntPtr>(586, 235)));
  EXPECT_EQ(f.log.with("vu.param"),
            (std::vector<std::string>{"vu.param 3 1", "vu.param 4 1", "vu.param 7 1"}));
  EXPECT_EQ(f.parts()->fakePanel(2)->probe->getValue(), 1.0f);
  for (int t = 0; t < 3; ++t)
    for (uint64_t thread : f.parts()->fakePanel(t)->threads) EXPECT_EQ(thread, windowThread);
  f.log.clear();
  f.idle();
  EXPECT_TRUE(f.log.with("vu.param").empty());  // taken once only
}

TEST(EditorThreading, TheViewsEndWithTheEffectsValueWhenBothThreadsChangeIt) {
  EditorFixture f;
  ASSERT_TRUE(f.open());
  std::atomic<bool> go{false};
  std::thread audio([&] {
    while (!go) std::this_thread::yield();
    for (int n = 0; n < 2000; ++n) f.setParameter(orvane::kLRMS, (n & 1) ? 1.0f : 0.0f);
  });
  go = true;
  for (int n = 0; n < 2000; ++n) {
    f.setParameter(orvane::kLRMS, (n & 1) ? 0.0f : 1.0f);
    if (n % 50 == 0) f.idle();
  }
  audio.join();
  f.idle();
  EXPECT_EQ(f.parts()->fakePanel(0)->probe->getValue(), f.effect->getParameter(orvane::kLRMS));
}

TEST(EditorThreading, ChangesMadeWhileTheWindowWasClosedAreNotReplayedIntoTheNextOne) {
  EditorFixture f;
  std::thread audio([&] { f.setParameter(orvane::kMeter, 1.0f); });
  audio.join();
  ASSERT_TRUE(f.open());  // reads the meter from the effect
  EXPECT_EQ(f.editor()->getCurrentMeter(), 2);
  f.log.clear();
  f.idle();
  EXPECT_TRUE(f.log.with("vu.param").empty());
}

TEST(EditorThreading, ProcessingBlocksWhileTheWindowOpensAndClosesIsSafe) {
  EditorFixture f;
  std::atomic<bool> stop{false};
  std::thread audio([&] {
    float in[64] = {0}, out[2][64];
    float* ins[2] = {in, in};
    float* outs[2] = {out[0], out[1]};
    while (!stop) {
      f.effect->processReplacing(ins, outs, 64);
      f.setParameter(orvane::kHold, 0.5f);
    }
  });
  for (int round = 0; round < 50; ++round) {
    ASSERT_TRUE(f.open());
    f.idle();
    f.close();
  }
  stop = true;
  audio.join();
}
