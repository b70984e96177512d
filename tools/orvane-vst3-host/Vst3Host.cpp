#include "tools/orvane-vst3-host/Vst3Host.h"

#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

using namespace v3;

namespace vst3host {

namespace {

using GetFactoryProc = IPluginFactory*(V3CALL*)();
#if defined(_WIN32)
using InitProc = bool(V3CALL*)();
#else
using EntryProc = bool (*)(void*);
using ExitProc = bool (*)();
#endif

tresult answerUnknown(FUnknown* self, const Uid& own, const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (kFUnknownIid.is(iid) || own.is(iid)) {
    *obj = self;
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

}  // namespace

std::string narrow(const char16* text) {
  std::string s;
  for (int i = 0; text && text[i] && i < 128; ++i) s += text[i] < 128 ? (char)text[i] : '?';
  return s;
}

// ---------------------------------------------------------------- module

Module::~Module() {
  if (!handle_) return;
#if defined(_WIN32)
  if (auto exitDll = reinterpret_cast<InitProc>(symbol("ExitDll"))) exitDll();
  FreeLibrary(static_cast<HMODULE>(handle_));
#else
  if (auto moduleExit = reinterpret_cast<ExitProc>(symbol("ModuleExit"))) moduleExit();
  dlclose(handle_);
#endif
}

void* Module::symbol(const char* name) const {
  if (!handle_) return nullptr;
#if defined(_WIN32)
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
#else
  return dlsym(handle_, name);
#endif
}

bool Module::load(const std::string& path) {
#if defined(_WIN32)
  int n = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
  std::wstring wide(n > 0 ? n : 1, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &wide[0], n);
  handle_ = LoadLibraryW(wide.c_str());
  if (!handle_) {
    error_ = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  auto init = reinterpret_cast<InitProc>(symbol("InitDll"));
  if (!init || !init()) {
    error_ = path + ": InitDll missing or failed";
    return false;
  }
#else
  int flags = RTLD_NOW | RTLD_LOCAL;
#if defined(__SANITIZE_ADDRESS__)
  flags |= RTLD_NODELETE;  // so that leak reports can still name the module's code
#endif
  handle_ = dlopen(path.c_str(), flags);
  if (!handle_) {
    const char* e = dlerror();
    error_ = e ? e : ("cannot load " + path);
    return false;
  }
  auto entry = reinterpret_cast<EntryProc>(symbol("ModuleEntry"));
  if (!entry || !entry(handle_)) {
    error_ = path + ": ModuleEntry missing or failed";
    return false;
  }
#endif
  auto get = reinterpret_cast<GetFactoryProc>(symbol("GetPluginFactory"));
  factory_ = get ? get() : nullptr;
  if (!factory_) {
    error_ = path + ": no factory";
    return false;
  }
  return true;
}

bool Module::firstClass(PClassInfo& info) const {
  return factory_ && factory_->countClasses() > 0 && factory_->getClassInfo(0, &info) == kResultOk;
}

// ---------------------------------------------------------------- stream

tresult V3CALL MemoryStream::queryInterface(const TUID iid, void** obj) {
  return answerUnknown(this, kIBStreamIid, iid, obj);
}

tresult V3CALL MemoryStream::read(void* buffer, int32 numBytes, int32* numBytesRead) {
  if (numBytes < 0 || !buffer) return kInvalidArgument;
  int64 left = (int64)data.size() - position;
  int64 n = numBytes < left ? numBytes : left;
  if (n > maxReadPerCall) n = maxReadPerCall;
  if (n < 0) n = 0;
  if (n) std::memcpy(buffer, data.data() + position, (size_t)n);
  position += n;
  if (numBytesRead) *numBytesRead = (int32)n;
  return kResultOk;
}

tresult V3CALL MemoryStream::write(void* buffer, int32 numBytes, int32* numBytesWritten) {
  if (numBytes < 0 || !buffer) return kInvalidArgument;
  if ((size_t)position + numBytes > data.size()) data.resize((size_t)position + numBytes);
  std::memcpy(data.data() + position, buffer, (size_t)numBytes);
  position += numBytes;
  if (numBytesWritten) *numBytesWritten = numBytes;
  return kResultOk;
}

tresult V3CALL MemoryStream::seek(int64 pos, int32 mode, int64* result) {
  int64 base = mode == kIBSeekSet ? 0 : mode == kIBSeekCur ? position : (int64)data.size();
  if (base + pos < 0) return kInvalidArgument;
  position = base + pos;
  if (result) *result = position;
  return kResultOk;
}

tresult V3CALL MemoryStream::tell(int64* pos) {
  if (!pos) return kInvalidArgument;
  *pos = position;
  return kResultOk;
}

// ---------------------------------------------------------------- parameters

tresult V3CALL ParamQueue::queryInterface(const TUID iid, void** obj) {
  return answerUnknown(this, kFUnknownIid, iid, obj);
}

tresult V3CALL ParamQueue::getPoint(int32 index, int32& offset, ParamValue& value) {
  if (index < 0 || index >= (int32)points_.size()) return kInvalidArgument;
  offset = points_[index].first;
  value = points_[index].second;
  return kResultOk;
}

tresult V3CALL ParamQueue::addPoint(int32 offset, ParamValue value, int32& index) {
  index = (int32)points_.size();
  points_.emplace_back(offset, value);
  return kResultOk;
}

tresult V3CALL ParamChanges::queryInterface(const TUID iid, void** obj) {
  return answerUnknown(this, kFUnknownIid, iid, obj);
}

IParamValueQueue* V3CALL ParamChanges::getParameterData(int32 index) {
  return index >= 0 && index < (int32)queues_.size() ? &queues_[index] : nullptr;
}

IParamValueQueue* V3CALL ParamChanges::addParameterData(const ParamID& id, int32& index) {
  for (size_t i = 0; i < queues_.size(); ++i)
    if (queues_[i].getParameterId() == id) {
      index = (int32)i;
      return &queues_[i];
    }
  index = (int32)queues_.size();
  queues_.emplace_back(id);
  return &queues_.back();
}

void ParamChanges::add(ParamID id, int32 offset, double value) {
  int32 index = 0;
  addParameterData(id, index)->addPoint(offset, value, index);
}

// ---------------------------------------------------------------- handler

tresult V3CALL ComponentHandler::queryInterface(const TUID iid, void** obj) {
  return answerUnknown(this, kFUnknownIid, iid, obj);
}
tresult V3CALL ComponentHandler::beginEdit(ParamID id) {
  edits.push_back({'b', id, 0});
  return kResultOk;
}
tresult V3CALL ComponentHandler::performEdit(ParamID id, ParamValue value) {
  edits.push_back({'p', id, value});
  return kResultOk;
}
tresult V3CALL ComponentHandler::endEdit(ParamID id) {
  edits.push_back({'e', id, 0});
  return kResultOk;
}
tresult V3CALL ComponentHandler::restartComponent(int32 flags) {
  edits.push_back({'r', 0, (double)flags});
  return kResultOk;
}

// ---------------------------------------------------------------- instance

Instance::Instance(Module& module) {
  PClassInfo info;
  if (!module.firstClass(info)) return;
  void* obj = nullptr;
  if (module.factory()->createInstance(info.cid, kIComponentIid.bytes, &obj) != kResultOk || !obj) return;
  component = static_cast<IComponent*>(obj);
  if (component->initialize(nullptr) != kResultOk) return;
  if (component->queryInterface(kIAudioProcessorIid.bytes, &obj) == kResultOk) processor = static_cast<IAudioProcessor*>(obj);
  // One object answers both roles: a host asks the component for the
  // controller when the component names no controller class.
  TUID controllerClass;
  if (component->getControllerClassId(controllerClass) != kResultOk &&
      component->queryInterface(kIEditControllerIid.bytes, &obj) == kResultOk)
    controller = static_cast<IEditController*>(obj);
}

Instance::~Instance() {
  if (processor) processor->setProcessing(0);
  if (component) {
    component->setActive(0);
    component->terminate();
  }
  if (controller) controller->release();
  if (processor) processor->release();
  if (component) component->release();
}

bool Instance::start(double sampleRate, int maxBlock) {
  if (!valid()) return false;
  ProcessSetup setup{kRealtime, kSample32, maxBlock, sampleRate};
  if (processor->setupProcessing(setup) != kResultOk) return false;
  if (component->setActive(1) != kResultOk) return false;
  return processor->setProcessing(1) == kResultOk;
}

tresult Instance::process(float* inL, float* inR, float* outL, float* outR, int frames, IParameterChanges* changes,
                          int inChannels, int outChannels) {
  float* ins[2] = {inL, inR};
  float* outs[2] = {outL, outR};
  AudioBusBuffers in{}, out{};
  in.numChannels = inChannels;
  in.channelBuffers32 = ins;
  out.numChannels = outChannels;
  out.channelBuffers32 = outs;
  ProcessData data{};
  data.processMode = kRealtime;
  data.symbolicSampleSize = kSample32;
  data.numSamples = frames;
  data.numInputs = 1;
  data.numOutputs = 1;
  data.inputs = &in;
  data.outputs = &out;
  data.inputParameterChanges = changes;
  return processor->process(data);
}

std::vector<unsigned char> Instance::state() {
  MemoryStream s;
  if (component->getState(&s) != kResultOk) return {};
  return s.data;
}

tresult Instance::setState(const std::vector<unsigned char>& bytes) {
  MemoryStream s(bytes);
  return component->setState(&s);
}

std::string Instance::display(ParamID id, double value) {
  String128 text = {0};
  if (controller->getParamStringByValue(id, value, text) != kResultOk) return "?";
  return narrow(text);
}

}  // namespace vst3host
