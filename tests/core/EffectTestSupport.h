// A test host for driving the effect object directly: an isolated settings
// object over an in-memory registry, and a host callback that records.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/Templete.h"
#include "platform/MemoryRegistry.h"
#include "settings/SharedSettings.h"

namespace orvane_test {

struct RecordingHost {
  VstIntPtr version = 2400;
  VstIntPtr pinAnswer = 0;     // 0 = connected
  VstIntPtr outputLatency = 0;
  std::vector<VstInt32> opcodes;
  std::vector<std::pair<VstInt32, float>> automations;
  std::vector<std::pair<VstInt32, VstIntPtr>> pinQueries;

  // Room for every call a test makes, so the host's own records never
  // allocate while the effect processes.
  RecordingHost() {
    opcodes.reserve(1 << 16);
    automations.reserve(1 << 10);
    pinQueries.reserve(1 << 16);
  }

  static RecordingHost*& current() {
    static RecordingHost* host = nullptr;
    return host;
  }
  static VstIntPtr VSTCALLBACK callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*,
                                        float opt) {
    RecordingHost* h = current();
    if (!h) return 0;
    h->opcodes.push_back(opcode);
    switch (opcode) {
      case audioMasterVersion: return h->version;
      case audioMasterAutomate: h->automations.emplace_back(index, opt); return 0;
      case audioMasterPinConnected: h->pinQueries.emplace_back(index, value); return h->pinAnswer;
      case audioMasterGetOutputLatency: return h->outputLatency;
      default: return 0;
    }
  }
};

// One effect with its own process-wide state.
struct EffectFixture {
  orvane::MemoryRegistry registry;
  orvane::SharedSettings shared{registry};
  RecordingHost host;
  std::unique_ptr<Templete> effect;

  explicit EffectFixture(bool withHost = true) {
    RecordingHost::current() = &host;
    effect.reset(new Templete(withHost ? &RecordingHost::callback : nullptr, shared));
  }
  ~EffectFixture() {
    effect.reset();
    RecordingHost::current() = nullptr;
  }
  std::unique_ptr<Templete> another() { return std::unique_ptr<Templete>(new Templete(&RecordingHost::callback, shared)); }

  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0) {
    AEffect* e = effect->getAeffect();
    return e->dispatcher(e, opcode, index, value, ptr, opt);
  }
  std::string text(VstInt32 opcode, VstInt32 index) {
    char buffer[128];
    std::memset(buffer, 0x55, sizeof(buffer));
    dispatch(opcode, index, 0, buffer);
    buffer[sizeof(buffer) - 1] = 0;
    return buffer;
  }
  std::string display(VstInt32 index) { return text(effGetParamDisplay, index); }
};

}  // namespace orvane_test
