#include "platform/ProcessingLock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace orvane;

TEST(ProcessingLock, IsReentrantOnTheThreadThatHoldsIt) {
  ProcessingLock lock;
  ASSERT_TRUE(lock.acquire(0));
  ASSERT_TRUE(lock.acquire(0));  // a host changing a filter from its own audio callback
  lock.release();
  lock.release();
  // Fully released: another thread gets it at once.
  bool other = false;
  std::thread t([&] {
    other = lock.acquire(0);
    if (other) lock.release();
  });
  t.join();
  EXPECT_TRUE(other);
}

TEST(ProcessingLock, AnotherThreadWaitsAtMostTheTimeOutThenGoesOn) {
  ProcessingLock lock;
  ASSERT_TRUE(lock.acquire());
  bool got = true;
  auto start = std::chrono::steady_clock::now();
  std::thread t([&] { got = lock.acquire(50); });
  t.join();
  auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_FALSE(got);
  // It did wait rather than give up at once (loose bound: wall clocks under
  // emulation are coarse).
  EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(waited).count(), 30);
  lock.release();
}

TEST(ProcessingLock, SecondThreadGetsTheLockWhenTheOwnerReleasesWithinTheWait) {
  ProcessingLock lock;
  ASSERT_TRUE(lock.acquire());
  std::atomic<bool> got{false};
  std::thread t([&] {
    ProcessingLockGuard guard(lock, 5000);
    got = guard.held();
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  lock.release();
  t.join();
  EXPECT_TRUE(got);
}

TEST(SystemTickCount, AdvancesWithTime) {
  uint32_t a = systemTickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  uint32_t b = systemTickCount();
  EXPECT_GE(static_cast<uint32_t>(b - a), 15u);
  EXPECT_LT(static_cast<uint32_t>(b - a), 5000u);
}

// An audio thread and a window thread taking turns, nested as a host that
// changes a filter from inside its own callback does: never both inside.
TEST(ProcessingLock, KeepsTwoBusyThreadsApart) {
  ProcessingLock lock;
  std::atomic<int> inside{0};
  std::atomic<int> overlaps{0};
  long counter = 0;
  auto work = [&] {
    for (int i = 0; i < 20000; ++i) {
      ProcessingLockGuard outer(lock, 5000);
      ProcessingLockGuard inner(lock, 5000);
      if (!outer.held() || !inner.held()) {
        ++overlaps;
        continue;
      }
      if (inside.fetch_add(1) != 0) ++overlaps;
      ++counter;
      inside.fetch_sub(1);
    }
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(overlaps.load(), 0);
  EXPECT_EQ(counter, 40000);
}

#if defined(_WIN32)
// As with an abandoned Windows mutex: a thread that ended while holding the
// lock does not keep it from the next taker.
TEST(ProcessingLock, GoesToTheNextTakerWhenItsOwnerEndedHoldingIt) {
  ProcessingLock lock;
  std::thread t([&] { EXPECT_TRUE(lock.acquire(0)); });
  t.join();
  EXPECT_TRUE(lock.acquire(2000));
  lock.release();
}
#endif
