// The two-channel needle step against the bank's own: a block steps both
// coils through NeedlePair, and each must move bit for bit as
// NeedleFilterBank::step moves it, across changes of section and of design.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "meters/NeedleFilter.h"

namespace orvane {
namespace {

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(NeedlePair, StepsEachCoilAsTheBankDoes) {
  NeedleFilterBank single[2], paired[2];
  NeedleMailbox mailbox;
  NeedleDesign design;
  unsigned seen[2] = {0, 0};
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> jitter(0.0, 0.3);
  for (int block = 0; block < 40; ++block) {
    if (block % 13 == 0) {
      // A new integration time now and then: both take it at a block start.
      design.design(needleModel(block % 2, 60.0 + 40.0 * block), 48000.0);
      mailbox.publish(design);
      NeedleMailbox::Coefficients k[kNeedleSections];
      for (int s = 0; s < 2; ++s) {
        seen[s] = 0;
        ASSERT_TRUE(mailbox.take(seen[s], k));
        (s ? paired : single)[0].adopt(k);
        (s ? paired : single)[1].adopt(k);
      }
    }
    NeedlePair pair(paired[0], paired[1]);
    for (int i = 0; i < 300; ++i) {
      // Bursts sweep the needles through every section; the right channel
      // lags, so the two change section at different samples.
      const double a = (block % 4 < 2 ? 1.4 : 0.05) + jitter(rng);
      const double b = block % 4 == 1 ? 1.2 : jitter(rng);
      const Lanes both = pair.step(lanes(a, b));
      ASSERT_TRUE(sameBits(laneA(both), single[0].step(a))) << block << " " << i;
      ASSERT_TRUE(sameBits(laneB(both), single[1].step(b))) << block << " " << i;
    }
    pair.park();
    for (int c = 0; c < 2; ++c) {
      EXPECT_EQ(paired[c].currentSection(), single[c].currentSection());
      for (int s = 0; s < kNeedleSections; ++s) EXPECT_TRUE(sameBits(paired[c].sectionY1(s), single[c].sectionY1(s)));
    }
  }
}

}  // namespace
}  // namespace orvane
