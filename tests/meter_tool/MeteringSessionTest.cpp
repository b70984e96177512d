#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/meter_tool/MeterToolTestSupport.h"
#include "tools/orvane-meter/MeteringSession.h"

using namespace orvane::metertool;
using metertool_test::meter;
using metertool_test::silence;
using metertool_test::tone;

namespace {
double dBFS(double dB) { return std::pow(10.0, dB / 20.0); }
}  // namespace

// Refresh k comes at k / rate seconds of audio, whatever the block size,
// and the block position it reads with never reaches the next block.
TEST(MeteringSession, RefreshesFollowTheAudioClockAtTheDisplayRate) {
  const auto audio = tone(1000.0, 0.1, 48000.0, 1.0);
  for (int block : {1, 7, 512, 4096, 48000}) {
    const auto ticks = meter({}, audio, &audio, 48000.0f, block, 30.0);
    ASSERT_EQ(ticks.all.size(), 30u) << block;
    for (std::size_t i = 0; i < ticks.all.size(); ++i) {
      EXPECT_EQ(ticks.all[i].index, (int64_t)i + 1);
      EXPECT_NEAR(ticks.all[i].time, (i + 1) / 30.0, 1e-12);
      EXPECT_GE(ticks.all[i].x, 0.0f);
      EXPECT_LT(ticks.all[i].x, 1.0f) << "block " << block << " refresh " << i;
    }
  }
  // A refresh that falls exactly on the last sample still sees all of it.
  const auto exact = meter({}, tone(1000.0, 0.1, 48000.0, 0.5), nullptr, 48000.0f, 480, 10.0);
  ASSERT_EQ(exact.all.size(), 5u);
  EXPECT_EQ(exact.all.back().x, 0.0f);
}

// A 1 kHz sine whose peak sits at the reference: the needle settles at
// 1.56 x 2/pi = 0.9932 and gets within 1 % of it in about 300 ms.
TEST(MeteringSession, VuNeedleRisesAndSettlesLikeTheMovingCoil) {
  const double ref = dBFS(-18.0);
  const auto audio = silence(tone(1000.0, ref, 44100.0, 2.0, 0.5), 44100.0, 0.5);
  const auto ticks = meter({"--meter", "vu", "--hold", "on"}, audio, &audio, 44100.0f, 512, 100.0);
  EXPECT_NEAR(ticks.at(2.4).needle[0], 0.9932, 0.003);
  EXPECT_NEAR(ticks.at(2.4).needle[1], ticks.at(2.4).needle[0], 1e-12);
  double reached = -1.0;
  for (const auto& t : ticks.all)
    if (reached < 0.0 && t.time > 0.5 && t.needle[0] >= 0.99 * 0.9932) reached = t.time - 0.5;
  EXPECT_GT(reached, 0.25);
  EXPECT_LT(reached, 0.34);
  // The hold mark keeps the top for its second, the needle drops at once.
  EXPECT_NEAR(ticks.at(2.8).hold[0], ticks.at(2.4).needle[0], 0.01);
  EXPECT_LT(ticks.at(2.8).needle[0], 0.3);
}

// The PPM reaches 99 % of a step in its integration time (10 ms), seen at
// 1 ms refreshes over 1 ms host blocks; a sine, rectified, settles just
// below its peak.
TEST(MeteringSession, PpmNeedleReachesTheStepInItsIntegrationTime) {
  const double ref = dBFS(-12.0);
  std::vector<float> step(static_cast<std::size_t>(0.4 * 48000), 0.0f);
  std::fill(step.begin() + 4800, step.end(), static_cast<float>(ref));
  const auto ticks = meter({"--meter", "ppm"}, step, &step, 48000.0f, 48, 1000.0);
  EXPECT_NEAR(ticks.at(0.105).needle[0], 0.9, 0.002);
  EXPECT_LT(ticks.at(0.109).needle[0], 0.988);
  EXPECT_NEAR(ticks.at(0.110).needle[0], 0.99, 0.0005);
  EXPECT_NEAR(ticks.at(0.4).needle[0], 1.0, 1e-6);
  const auto sine = meter({"--meter", "ppm"}, tone(1000.0, ref, 48000.0, 1.0), nullptr, 48000.0f);
  EXPECT_GT(sine.all.back().needle[0], 0.98);
  EXPECT_LE(sine.all.back().needle[0], 1.0);
}

// The RMS needle is sqrt(mean square) x 1.4142: a sine whose peak sits at
// the reference reads 1.0 once the averaging has settled.
TEST(MeteringSession, RmsNeedleShowsASineAtItsPeakLevel) {
  const auto audio = tone(997.0, dBFS(-10.0), 48000.0, 6.0);
  const auto ticks = meter({"--meter", "rms", "--reference", "-10"}, audio, &audio, 48000.0f);
  EXPECT_NEAR(ticks.all.back().rms[0], 1.0, 0.005);
  EXPECT_NEAR(ticks.all.back().rms[1], 1.0, 0.005);
  EXPECT_GT(ticks.all.back().needle[0], 0.98);  // the peak needle, just below the peak
  EXPECT_LE(ticks.all.back().needle[0], 1.0);
}

// A mono file reaches the effect with no right input and shows on both
// needles; in mid/side the side reads nothing and the mid twice the input
// times the M3 factor.
TEST(MeteringSession, MonoFilesShowOnBothChannelsAndAsMidInMidSide) {
  const double ref = dBFS(-12.0);
  const auto audio = tone(1000.0, 0.25 * ref, 48000.0, 1.0);
  const auto ticks = meter({"--meter", "ppm", "--ms"}, audio, nullptr, 48000.0f);
  EXPECT_NEAR(ticks.all.back().needle[0], 2.0 * 0.708 * 0.25, 0.01);
  EXPECT_LT(ticks.all.back().needle[1], 1e-9);
  const auto lr = meter({"--meter", "ppm"}, audio, nullptr, 48000.0f);
  EXPECT_NEAR(lr.all.back().needle[0], 0.25, 0.005);
  EXPECT_EQ(lr.all.back().needle[0], lr.all.back().needle[1]);
}

// Runs of full-scale samples light the over LED at one refresh; after that
// it stays latched, and nothing before the clipping lights it.
TEST(MeteringSession, ClippingLightsTheOverLedThenLatches) {
  std::vector<float> left = tone(1000.0, 0.5, 48000.0, 1.0);
  const std::size_t from = 24000, to = 24000 + 480;
  for (std::size_t i = from; i < to; ++i) left[i] = left[i] > 0 ? 1.0f : -1.0f;
  const std::vector<float> right = tone(1000.0, 0.5, 48000.0, 1.0);
  const auto ticks = meter({"--meter", "vu"}, left, &right, 48000.0f);
  int lit = 0;
  for (const auto& t : ticks.all) {
    if (t.time < 0.5) {
      EXPECT_EQ(t.over[0], -1) << t.time;
    }
    if (t.over[0] == 1) ++lit;
    EXPECT_EQ(t.over[1], -1);
  }
  EXPECT_GE(lit, 1);
  EXPECT_LE(lit, 2);
  EXPECT_EQ(ticks.all.back().over[0], 0);
}

// With blocks far longer than a refresh, a falling needle still moves at
// every refresh: the panel draws the fall across the block.
TEST(MeteringSession, FallsMoveBetweenBlocksAsThePanelDrawsThem) {
  const auto audio = silence(tone(1000.0, dBFS(-12.0), 48000.0, 0.5), 48000.0, 1.0);
  const auto ticks = meter({"--meter", "ppm"}, audio, &audio, 48000.0f, 9600, 30.0);
  int moved = 0, refreshes = 0;
  for (std::size_t i = 1; i < ticks.all.size(); ++i) {
    if (ticks.all[i].time < 0.7 || ticks.all[i].time > 1.3) continue;
    ++refreshes;
    if (ticks.all[i].needle[0] < ticks.all[i - 1].needle[0]) ++moved;
  }
  EXPECT_EQ(moved, refreshes);
}

TEST(MeteringSession, LagTimeDelaysWhatTheDisplayShows) {
  const auto audio = tone(1000.0, dBFS(-12.0), 48000.0, 0.6, 0.4);
  const auto now = meter({"--meter", "ppm"}, audio, &audio, 48000.0f, 256, 1000.0);
  const auto late = meter({"--meter", "ppm", "--lag", "200"}, audio, &audio, 48000.0f, 256, 1000.0);
  EXPECT_GT(now.at(0.45).needle[0], 0.9);
  EXPECT_LT(late.at(0.45).needle[0], 0.01);
  EXPECT_NEAR(late.at(0.65).needle[0], now.at(0.45).needle[0], 0.02);
}

// Trim and filters act only with Process on, as in a host.
TEST(MeteringSession, TheChannelStripActsOnlyWithProcessOn) {
  const auto audio = tone(1000.0, dBFS(-12.0), 48000.0, 1.0);
  const auto plain = meter({"--meter", "ppm", "--trim", "-6"}, audio, &audio, 48000.0f);
  const auto trimmed = meter({"--meter", "ppm", "--process", "--trim", "-6"}, audio, &audio, 48000.0f);
  EXPECT_GT(plain.all.back().needle[0], 0.98);
  EXPECT_NEAR(20.0 * std::log10(trimmed.all.back().needle[0] / plain.all.back().needle[0]), -6.0, 0.02);
  const auto filtered =
      meter({"--meter", "ppm", "--process", "--filters", "--lp", "300", "--lp-slope", "18"}, audio, &audio, 48000.0f);
  EXPECT_LT(filtered.all.back().needle[0], 0.1);
}

// With Hold on infinite the hold shows the largest value since the start.
TEST(MeteringSession, InfiniteHoldKeepsTheHighestReading) {
  const auto audio = silence(tone(1000.0, dBFS(-12.0), 48000.0, 0.3), 48000.0, 12.0);
  const auto ticks = meter({"--meter", "ppm", "--hold", "infinite"}, audio, &audio, 48000.0f);
  for (std::size_t i = 1; i < ticks.all.size(); ++i) ASSERT_GE(ticks.all[i].hold[0], ticks.all[i - 1].hold[0]);
  EXPECT_GT(ticks.all.back().hold[0], 0.9);
  const auto timed = meter({"--meter", "ppm", "--hold", "on"}, audio, &audio, 48000.0f);
  EXPECT_LT(timed.all.back().hold[0], 0.01);
}
