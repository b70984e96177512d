#include "tools/vsthost/VstHost.h"

#include <cstring>
#include <map>
#include <mutex>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace vsthost {

namespace {

typedef AEffect*(VSTCALLBACK* EntryProc)(audioMasterCallback);

// The callback has no user pointer: instances are found by their AEffect,
// and the instance being created (which asks before it has one) by the
// host that is creating it.
std::mutex gMutex;
std::map<AEffect*, HostState*> gHosts;
HostState* gCreating = nullptr;

// Finds the instance's host and logs the call, under the one lock.
HostState* hostOf(AEffect* effect, VstInt32 opcode, VstInt32 index) {
  std::lock_guard<std::mutex> lock(gMutex);
  HostState* host = gCreating;
  if (effect) {
    auto it = gHosts.find(effect);
    if (it != gHosts.end()) host = it->second;
  }
  if (host && host->logCalls) host->calls.push_back({opcode, index, std::this_thread::get_id()});
  return host;
}

VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*,
                                   float opt) {
  HostState* host = hostOf(effect, opcode, index);
  if (!host) return 0;
  switch (opcode) {
    case audioMasterVersion: {
      std::lock_guard<std::mutex> lock(gMutex);
      ++host->versionQueries;
      return host->versionAnswer;
    }
    case audioMasterAutomate: {
      std::lock_guard<std::mutex> lock(gMutex);
      host->automations.push_back({index, opt});
      return 0;
    }
    case audioMasterPinConnected: {
      std::lock_guard<std::mutex> lock(gMutex);
      ++host->pinQueries;
      return host->pinConnectedAnswer;
    }
    case audioMasterGetOutputLatency:
      return host->outputLatency;
    case audioMasterSizeWindow:
      {
        std::lock_guard<std::mutex> lock(gMutex);
        host->sizeWindowCalls.emplace_back(index, value);
      }
      // Outside the lock: resizing the window may call the plug-in again.
      if (host->editorWindow) host->editorWindow->resize((int)index, (int)value);
      return 1;
    default:
      return 0;
  }
}

}  // namespace

const char* hostOpcodeName(VstInt32 opcode) {
  switch (opcode) {
    case audioMasterAutomate: return "automate";
    case audioMasterVersion: return "version";
    case audioMasterCurrentId: return "currentId";
    case audioMasterIdle: return "idle";
    case audioMasterPinConnected: return "pinConnected";
    case audioMasterGetTime: return "getTime";
    case audioMasterSizeWindow: return "sizeWindow";
    case audioMasterGetSampleRate: return "getSampleRate";
    case audioMasterGetBlockSize: return "getBlockSize";
    case audioMasterGetInputLatency: return "getInputLatency";
    case audioMasterGetOutputLatency: return "getOutputLatency";
    case audioMasterGetVendorString: return "getVendorString";
    case audioMasterGetProductString: return "getProductString";
    case audioMasterGetVendorVersion: return "getVendorVersion";
    case audioMasterCanDo: return "canDo";
    case audioMasterBeginEdit: return "beginEdit";
    case audioMasterEndEdit: return "endEdit";
    default: return "other";
  }
}

std::vector<HostState::Call> callsFromWrongThreads(const HostState& host) {
  std::vector<HostState::Call> wrong;
  std::lock_guard<std::mutex> lock(gMutex);
  for (const HostState::Call& c : host.calls) {
    const bool uiOnly = c.opcode == audioMasterSizeWindow || c.opcode == audioMasterAutomate ||
                        c.opcode == audioMasterBeginEdit || c.opcode == audioMasterEndEdit ||
                        c.opcode == audioMasterIdle;
    if (uiOnly && c.thread != host.uiThread) wrong.push_back(c);
  }
  return wrong;
}

PluginLibrary::~PluginLibrary() {
#if defined(_WIN32)
  if (handle_) FreeLibrary(static_cast<HMODULE>(handle_));
#else
  if (handle_) dlclose(handle_);
#endif
}

bool PluginLibrary::load(const std::string& path) {
#if defined(_WIN32)
  int n = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
  std::wstring wide(n > 0 ? n : 1, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &wide[0], n);
  HMODULE module = LoadLibraryW(wide.c_str());
  if (!module) {
    error_ = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  handle_ = module;
  vstPluginMain_ = reinterpret_cast<void*>(GetProcAddress(module, "VSTPluginMain"));
  main_ = reinterpret_cast<void*>(GetProcAddress(module, "main"));
#else
  int flags = RTLD_NOW | RTLD_LOCAL;
#if defined(__SANITIZE_ADDRESS__)
  // LeakSanitizer looks for leaks when the program ends. A plug-in unloaded
  // before that leaves its allocations (and those of the libraries it
  // brought in) with no module to name: nothing could be told apart or
  // suppressed. Under AddressSanitizer the object stays mapped after
  // dlclose, so every report names the code that made it.
  flags |= RTLD_NODELETE;
#endif
  handle_ = dlopen(path.c_str(), flags);
  if (!handle_) {
    const char* e = dlerror();
    error_ = e ? e : ("cannot load " + path);
    return false;
  }
  vstPluginMain_ = dlsym(handle_, "VSTPluginMain");
  main_ = dlsym(handle_, "main");
#endif
  if (!vstPluginMain_ && !main_) {
    error_ = path + " exports no VST 2.4 entry point";
    return false;
  }
  return true;
}

Plugin::Plugin(void* entry, HostState& host, bool withCallback) : host_(host) {
  if (!entry) return;
  {
    std::lock_guard<std::mutex> lock(gMutex);
    gCreating = &host;
    host.uiThread = std::this_thread::get_id();
  }
  effect_ = reinterpret_cast<EntryProc>(entry)(withCallback ? hostCallback : nullptr);
  std::lock_guard<std::mutex> lock(gMutex);
  gCreating = nullptr;
  if (effect_ && effect_->magic != kEffectMagic) effect_ = nullptr;
  if (effect_) gHosts[effect_] = &host;
}

Plugin::~Plugin() {
  if (effect_) close();
}

VstIntPtr Plugin::close() {
  if (!effect_) return 0;
  VstIntPtr r = effect_->dispatcher(effect_, effClose, 0, 0, nullptr, 0);
  std::lock_guard<std::mutex> lock(gMutex);
  gHosts.erase(effect_);
  effect_ = nullptr;
  return r;
}

VstIntPtr Plugin::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string Plugin::text(VstInt32 opcode, VstInt32 index) {
  char buffer[256];
  std::memset(buffer, 0, sizeof(buffer));
  dispatch(opcode, index, 0, buffer, 0);
  buffer[sizeof(buffer) - 1] = 0;
  return buffer;
}

void Plugin::start(float sampleRate, VstInt32 blockSize) {
  dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
  dispatch(effSetBlockSize, 0, blockSize);
  dispatch(effMainsChanged, 0, 1);
}

std::vector<unsigned char> Plugin::chunk() {
  void* data = nullptr;
  VstIntPtr size = dispatch(effGetChunk, 0, 0, &data);
  if (!data || size <= 0) return {};
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  return std::vector<unsigned char>(bytes, bytes + size);
}

void Plugin::setChunk(const void* data, VstInt32 size) {
  dispatch(effSetChunk, 0, size, const_cast<void*>(data));
}

}  // namespace vsthost
