#include "tools/orvane-vst3-host/Vst3Fuzz.h"

#include <chrono>
#include <cmath>
#include <limits>
#include <memory>
#include <random>

using namespace v3;

namespace vst3host {

namespace {

constexpr int kMaxFrames = 1024;

struct Fuzzer {
  Module& module;
  std::mt19937_64 rng;
  std::unique_ptr<Instance> inst;
  std::vector<unsigned char> lastGoodState;
  float in[2][kMaxFrames], out[2][kMaxFrames];

  Fuzzer(Module& m, uint64_t seed) : module(m), rng(seed) {}

  uint32_t pick(uint32_t n) { return (uint32_t)(rng() % n); }
  double unit() { return std::uniform_real_distribution<double>(0.0, 1.0)(rng); }

  double oddValue() {
    switch (pick(8)) {
      case 0: return std::numeric_limits<double>::quiet_NaN();
      case 1: return std::numeric_limits<double>::infinity();
      case 2: return -std::numeric_limits<double>::infinity();
      case 3: return -unit() * 1e6;
      case 4: return 1.0 + unit() * 1e6;
      default: return unit();
    }
  }
  ParamID oddId() {
    switch (pick(4)) {
      case 0: return (ParamID)rng();
      case 1: return 17 + pick(100);
      default: return pick(17);
    }
  }
  SpeakerArrangement oddArrangement() {
    static const SpeakerArrangement kinds[] = {kMono, kStereo, kEmpty, kSpeakerL, kStereo | kSpeakerM, ~0ull};
    return kinds[pick(6)];
  }

  void fresh() {
    inst.reset();
    inst.reset(new Instance(module));
  }

  std::string step() {
    if (!inst || !inst->valid()) fresh();
    if (!inst->valid()) return "no instance";
    switch (pick(14)) {
      case 0:
      case 1:
      case 2:
      case 3:
      case 4: return processBlock();
      case 5: {  // a state of any length, often a real one damaged
        std::vector<unsigned char> bytes;
        if (!lastGoodState.empty() && pick(2)) {
          bytes = lastGoodState;
          if (pick(2)) bytes[pick((uint32_t)bytes.size())] = (unsigned char)rng();
          if (pick(3) == 0) bytes.resize(pick(700));
        } else {
          bytes.resize(pick(4) == 0 ? 596 : pick(1200));
          for (auto& b : bytes) b = (unsigned char)rng();
        }
        MemoryStream s(bytes);
        s.maxReadPerCall = 1 + (int32)pick(700);
        if (pick(2))
          inst->component->setState(&s);
        else if (pick(2))
          inst->controller->setState(&s);
        else
          inst->controller->setComponentState(&s);
        break;
      }
      case 6: {
        MemoryStream s;
        if (inst->component->getState(&s) == kResultOk) {
          if (s.data.size() != 596) return "a saved state of " + std::to_string(s.data.size()) + " bytes";
          lastGoodState = s.data;
        }
        break;
      }
      case 7: {
        SpeakerArrangement ins[2] = {oddArrangement(), oddArrangement()};
        SpeakerArrangement outs[2] = {oddArrangement(), oddArrangement()};
        inst->processor->setBusArrangements(pick(5) ? ins : nullptr, (int32)pick(3), pick(5) ? outs : nullptr,
                                            (int32)pick(3));
        break;
      }
      case 8: {
        ProcessSetup setup{(int32)pick(3), (int32)pick(3) == 0 ? kSample64 : kSample32, (int32)pick(4096) - 8,
                           pick(4) == 0 ? oddValue() * 1e5 : 22050.0 + unit() * 170000.0};
        inst->processor->setupProcessing(setup);
        break;
      }
      case 9: inst->component->setActive((TBool)pick(2)); break;
      case 10: inst->processor->setProcessing((TBool)pick(2)); break;
      case 11: {
        ParamID id = oddId();
        inst->controller->setParamNormalized(id, oddValue());
        const double v = inst->controller->getParamNormalized(id);
        if (!std::isfinite(v) || v < 0 || v > 1) return "parameter " + std::to_string(id) + " reads " + std::to_string(v);
        String128 text;
        inst->controller->getParamStringByValue(id, oddValue(), text);
        char16 typed[8];
        for (auto& c : typed) c = (char16)(pick(3) ? 32 + pick(90) : rng());
        typed[pick(8)] = 0;
        ParamValue parsed = 0;
        inst->controller->getParamValueByString(id, typed, parsed);
        v3::ParameterInfo info;
        inst->controller->getParameterInfo((int32)rng(), info);
        BusInfo bus;
        inst->component->getBusInfo((int32)pick(3), (int32)pick(3), (int32)pick(3) - 1, bus);
        break;
      }
      case 12:
        if (pick(20) == 0) fresh();
        break;
      default: {
        // An out-of-order teardown: terminate, then keep calling.
        if (pick(10) == 0) inst->component->terminate();
        break;
      }
    }
    return "";
  }

  std::string processBlock() {
    const int frames = pick(8) == 0 ? 0 : 1 + (int)pick(kMaxFrames);
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < frames; ++i) in[c][i] = (float)(unit() * 2.0 - 1.0);
    ParamChanges changes;
    const int queues = (int)pick(4);
    for (int q = 0; q < queues; ++q) {
      const ParamID id = oddId();
      const int points = 1 + (int)pick(4);
      for (int p = 0; p < points; ++p)
        changes.add(id, pick(6) == 0 ? (int32)rng() : (int32)pick((uint32_t)frames + 2), oddValue());
    }
    const int inChannels = (int)pick(4), outChannels = 1 + (int)pick(3);
    float* inR = pick(6) == 0 ? nullptr : in[1];
    float* outR = pick(6) == 0 ? nullptr : out[1];
    inst->process(pick(10) == 0 ? nullptr : in[0], inR, out[0], outR, frames, pick(4) ? &changes : nullptr,
                  inChannels, outChannels);
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < frames; ++i)
        if (!std::isfinite(out[c][i])) return "output " + std::to_string(out[c][i]) + " at channel " +
                                              std::to_string(c) + " frame " + std::to_string(i);
    return "";
  }
};

}  // namespace

FuzzResult fuzz(Module& module, uint64_t seed, long steps, double seconds) {
  FuzzResult result;
  std::unique_ptr<Fuzzer> f(new Fuzzer(module, seed));
  const auto start = std::chrono::steady_clock::now();
  for (; result.steps < steps; ++result.steps) {
    result.failure = f->step();
    if (!result.failure.empty()) break;
    if (seconds > 0 && (result.steps & 255) == 0 &&
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() > seconds)
      break;
  }
  return result;
}

}  // namespace vst3host
