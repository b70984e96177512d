// Helpers for the engine tests: an isolated settings world (in-memory
// registry, own SharedSettings), an owner that behaves like the effect's
// parameter path, and signal generators fed in blocks of any size.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/MemoryRegistry.h"
#include "settings/SharedSettings.h"

namespace orvane {
namespace testing {

constexpr double kPi = 3.14159265358979323846;

// A process's worth of settings state that touches nothing outside the test.
struct SettingsWorld {
  MemoryRegistry registry;
  std::unique_ptr<SharedSettings> shared{new SharedSettings(registry)};
};

// Acts like the effect: keeps a mirror of every value it is asked to apply
// and forwards it to the engine, as the effect's setParameter does.
class MirrorOwner : public MeterSettingsOwner {
 public:
  void applyMeterSetting(int32_t index, float value) override {
    float v = value != value ? 0.0f : (value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value));
    mirror[index] = v;
    ++calls;
    if (forward) forward(index, v);
  }
  std::function<void(int32_t, float)> forward;
  std::map<int32_t, float> mirror;
  int calls = 0;
};

// Attaches a MirrorOwner to an engine created with it.
template <class Engine>
std::unique_ptr<Engine> makeOwnedEngine(MirrorOwner& owner, SharedSettings& shared) {
  std::unique_ptr<Engine> engine(new Engine(&owner, shared));
  Engine* raw = engine.get();
  owner.forward = [raw](int32_t index, float value) { raw->setParameter(index, value); };
  return engine;
}

inline std::vector<float> sine(double frequency, double peak, double sampleRate, std::size_t frames,
                               double phase = 0.0) {
  std::vector<float> out(frames);
  for (std::size_t i = 0; i < frames; ++i)
    out[i] = static_cast<float>(peak * std::sin(2.0 * kPi * frequency * static_cast<double>(i) / sampleRate + phase));
  return out;
}

inline std::vector<float> constant(double level, std::size_t frames) {
  return std::vector<float>(frames, static_cast<float>(level));
}

// Feeds left/right to an engine's processStereo in blocks of `block` frames
// and calls `afterBlock(framesDone)` after each block.
template <class Engine>
void feedStereo(Engine& engine, const std::vector<float>& left, const std::vector<float>& right, std::size_t block,
                const std::function<void(std::size_t)>& afterBlock = nullptr) {
  std::vector<float> l(left), r(right);
  for (std::size_t start = 0; start < l.size(); start += block) {
    const std::size_t n = std::min(block, l.size() - start);
    float* channels[2] = {l.data() + start, r.data() + start};
    engine.processStereo(channels, static_cast<int32_t>(n));
    if (afterBlock) afterBlock(start + n);
  }
}

template <class Engine>
void feedBoth(Engine& engine, const std::vector<float>& signal, std::size_t block,
              const std::function<void(std::size_t)>& afterBlock = nullptr) {
  feedStereo(engine, signal, signal, block, afterBlock);
}

}  // namespace testing
}  // namespace orvane
