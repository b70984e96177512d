// The audio thread must never allocate: every engine's processing and every
// read-out the display makes run here under a counting operator new.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "meters/PPMmeter.h"
#include "meters/RMSMeter.h"
#include "meters/VUmeter.h"
#include "tests/meters/MeterTestSupport.h"

namespace {
std::atomic<bool> gCounting{false};
std::atomic<int> gAllocations{0};

// Out of line, so the compiler does not pair an inlined malloc with an
// inlined free and take the replacement for a mismatch.
__attribute__((noinline)) void* countedAlloc(std::size_t size) {
  if (gCounting.load(std::memory_order_relaxed)) gAllocations.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(size ? size : 1);
}
__attribute__((noinline)) void countedFree(void* p) { std::free(p); }
}  // namespace

void* operator new(std::size_t size) {
  if (void* p = countedAlloc(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return countedAlloc(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return countedAlloc(size); }
void operator delete(void* p) noexcept { countedFree(p); }
void operator delete[](void* p) noexcept { countedFree(p); }
void operator delete(void* p, std::size_t) noexcept { countedFree(p); }
void operator delete[](void* p, std::size_t) noexcept { countedFree(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { countedFree(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { countedFree(p); }

namespace orvane {
namespace {

template <class Engine>
int allocationsWhileMetering(SharedSettings& shared) {
  Engine engine(nullptr, shared);
  engine.setLagTime(0.5f);
  engine.setLRMS(1.0f);
  engine.setHold(0.5f);
  engine.setParameter(Engine::kPrecise, 1.0f);
  engine.setParameter(Engine::kReference, 0.3f);  // settings edits land mid-stream
  engine.reset();
  std::vector<float> left = testing::sine(1000.0, 0.9, 44100.0, 4096);
  std::vector<float> right = testing::sine(330.0, 1.1, 44100.0, 4096);
  float* channels[2] = {left.data(), right.data()};

  gAllocations = 0;
  gCounting = true;
  for (int block = 0; block < 20; ++block) {
    engine.processStereo(channels, block % 2 ? 4096 : 37);
    engine.processMono(channels, 64);
    MeterReadout& r = engine.readout();
    for (int c = 0; c < 2; ++c) {
      r.readDisplayValue(0.7f, kMainReading, c);
      r.readHoldDisplay(0.7f, c);
      r.readDisplayValue(0.7f, kMeanSquareReading, c);
      r.readOverState(c);
    }
    engine.setParameter(Engine::kReference, block % 2 ? 0.2f : 0.8f);
    engine.setParameter(Engine::kPrecise, block % 3 ? 1.0f : 0.0f);
  }
  gCounting = false;
  return gAllocations.load();
}

TEST(AudioThread, NoEngineAllocatesWhileProcessingOrBeingRead) {
  testing::SettingsWorld world;
  EXPECT_EQ(allocationsWhileMetering<VUmeter>(*world.shared), 0);
  EXPECT_EQ(allocationsWhileMetering<PPMmeter>(*world.shared), 0);
  EXPECT_EQ(allocationsWhileMetering<RMSMeter>(*world.shared), 0);
  // The counter does count: an allocation in the window is seen.
  gCounting = true;
  std::vector<int>* probe = new std::vector<int>(3);
  gCounting = false;
  delete probe;
  EXPECT_GE(gAllocations.load(), 1);
}

}  // namespace
}  // namespace orvane
