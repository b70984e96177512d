// A small VST 3 host: loads a bundle binary only through its exported
// functions and drives the class it makes as a host does. The VST 3 tests,
// the fuzzer and the benchmark use it.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "vst3/vst3abi.h"

namespace vst3host {

class Module {
 public:
  Module() = default;
  ~Module();  // the module's exit function, then unloads
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  // Loads the binary, calls its entry function and takes its factory;
  // false with error() set when any of that fails.
  bool load(const std::string& path);
  const std::string& error() const { return error_; }
  v3::IPluginFactory* factory() const { return factory_; }
  // An exported function by name (null when there is none).
  void* symbol(const char* name) const;
  // The first class of the factory.
  bool firstClass(v3::PClassInfo& info) const;

 private:
  void* handle_ = nullptr;
  v3::IPluginFactory* factory_ = nullptr;
  std::string error_;
};

// A stream over a byte vector.
class MemoryStream : public v3::IBStream {
 public:
  MemoryStream() = default;
  explicit MemoryStream(std::vector<unsigned char> bytes) : data(std::move(bytes)) {}
  v3::tresult V3CALL queryInterface(const v3::TUID iid, void** obj) override;
  v3::uint32 V3CALL addRef() override { return 1; }
  v3::uint32 V3CALL release() override { return 1; }
  v3::tresult V3CALL read(void* buffer, v3::int32 numBytes, v3::int32* numBytesRead) override;
  v3::tresult V3CALL write(void* buffer, v3::int32 numBytes, v3::int32* numBytesWritten) override;
  v3::tresult V3CALL seek(v3::int64 pos, v3::int32 mode, v3::int64* result) override;
  v3::tresult V3CALL tell(v3::int64* pos) override;

  std::vector<unsigned char> data;
  v3::int64 position = 0;
  v3::int32 maxReadPerCall = 0x7FFFFFFF;  // a stream that hands out its bytes in pieces
};

class ParamQueue : public v3::IParamValueQueue {
 public:
  explicit ParamQueue(v3::ParamID id) : id_(id) {}
  v3::tresult V3CALL queryInterface(const v3::TUID iid, void** obj) override;
  v3::uint32 V3CALL addRef() override { return 1; }
  v3::uint32 V3CALL release() override { return 1; }
  v3::ParamID V3CALL getParameterId() override { return id_; }
  v3::int32 V3CALL getPointCount() override { return (v3::int32)points_.size(); }
  v3::tresult V3CALL getPoint(v3::int32 index, v3::int32& offset, v3::ParamValue& value) override;
  v3::tresult V3CALL addPoint(v3::int32 offset, v3::ParamValue value, v3::int32& index) override;

 private:
  v3::ParamID id_;
  std::vector<std::pair<v3::int32, v3::ParamValue>> points_;
};

class ParamChanges : public v3::IParameterChanges {
 public:
  v3::tresult V3CALL queryInterface(const v3::TUID iid, void** obj) override;
  v3::uint32 V3CALL addRef() override { return 1; }
  v3::uint32 V3CALL release() override { return 1; }
  v3::int32 V3CALL getParameterCount() override { return (v3::int32)queues_.size(); }
  v3::IParamValueQueue* V3CALL getParameterData(v3::int32 index) override;
  v3::IParamValueQueue* V3CALL addParameterData(const v3::ParamID& id, v3::int32& index) override;

  // A point at `offset` of the next block.
  void add(v3::ParamID id, v3::int32 offset, double value);
  void clear() { queues_.clear(); }

 private:
  std::vector<ParamQueue> queues_;
};

// What the plug-in told the host about edits, in order: 'b'egin, 'p'erform,
// 'e'nd, 'r'estart.
class ComponentHandler : public v3::IComponentHandler {
 public:
  v3::tresult V3CALL queryInterface(const v3::TUID iid, void** obj) override;
  v3::uint32 V3CALL addRef() override { return ++refs; }
  v3::uint32 V3CALL release() override { return --refs; }
  v3::tresult V3CALL beginEdit(v3::ParamID id) override;
  v3::tresult V3CALL performEdit(v3::ParamID id, v3::ParamValue value) override;
  v3::tresult V3CALL endEdit(v3::ParamID id) override;
  v3::tresult V3CALL restartComponent(v3::int32 flags) override;

  struct Edit {
    char kind;
    v3::ParamID id;
    double value;
  };
  std::vector<Edit> edits;
  std::atomic<int> refs{0};
};

// One instance: its component, processor and controller interfaces.
class Instance {
 public:
  Instance(Module& module);
  ~Instance();  // terminates and releases
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  bool valid() const { return component && processor && controller; }
  // Set up for 32-bit float processing, then activated and processing.
  bool start(double sampleRate, int maxBlock);
  // One block of stereo (or mono: right == left) audio with the changes.
  v3::tresult process(float* inL, float* inR, float* outL, float* outR, int frames,
                      v3::IParameterChanges* changes = nullptr, int inChannels = 2, int outChannels = 2);
  std::vector<unsigned char> state();
  v3::tresult setState(const std::vector<unsigned char>& bytes);
  std::string display(v3::ParamID id, double value);

  v3::IComponent* component = nullptr;
  v3::IAudioProcessor* processor = nullptr;
  v3::IEditController* controller = nullptr;
};

std::string narrow(const v3::char16* text);

}  // namespace vst3host
