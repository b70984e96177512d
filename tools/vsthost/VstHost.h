// A small VST 2.4 host: loads a plug-in binary only through its exported
// entry point and drives it as a host does. The plug-in-binary tests and the
// command-line host use it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/vst2abi.h"

namespace vsthost {

// What the host answers and what it has been asked; tests change the
// answers and read the records.
struct HostState {
  VstIntPtr versionAnswer = 2400;
  VstIntPtr pinConnectedAnswer = 0;  // 0 = connected
  VstIntPtr outputLatency = 0;
  struct Automation {
    VstInt32 index;
    float value;
  };
  std::vector<Automation> automations;
  std::vector<std::pair<VstInt32, VstIntPtr>> sizeWindowCalls;  // width, height
  int versionQueries = 0;
  int pinQueries = 0;
};

class PluginLibrary {
 public:
  PluginLibrary() = default;
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  // Loads the binary; false with error() set when it cannot be loaded or
  // exports no entry point.
  bool load(const std::string& path);
  const std::string& error() const { return error_; }
  // The entry points the binary exports (either may be null).
  void* vstPluginMain() const { return vstPluginMain_; }
  void* mainEntry() const { return main_; }

 private:
  void* handle_ = nullptr;
  void* vstPluginMain_ = nullptr;
  void* main_ = nullptr;
  std::string error_;
};

// One instance of a plug-in.
class Plugin {
 public:
  // Creates an instance through `entry` (VSTPluginMain or main). With
  // `withCallback` false the plug-in gets a null host callback.
  Plugin(void* entry, HostState& host, bool withCallback = true);
  ~Plugin();  // closes the instance unless close() ran
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  bool valid() const { return effect_ != nullptr; }
  AEffect* effect() const { return effect_; }

  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0);
  void setParameter(VstInt32 index, float value) { effect_->setParameter(effect_, index, value); }
  float getParameter(VstInt32 index) { return effect_->getParameter(effect_, index); }
  std::string text(VstInt32 opcode, VstInt32 index = 0);  // a dispatcher text query
  void process(float** inputs, float** outputs, VstInt32 frames) {
    effect_->processReplacing(effect_, inputs, outputs, frames);
  }
  // Sample rate, block size, then resume.
  void start(float sampleRate, VstInt32 blockSize);
  std::vector<unsigned char> chunk();
  void setChunk(const void* data, VstInt32 size);
  VstIntPtr close();

 private:
  AEffect* effect_ = nullptr;
  HostState& host_;
};

}  // namespace vsthost
