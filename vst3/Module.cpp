// The VST 3 module: the library-wide state, the class factory and the
// exported functions. Beside core/entry.cpp it is the second place that
// knows both the effect and its editor.
#include <atomic>
#include <cstdio>
#include <cstring>
#include <new>

#include "core/Templete.h"
#include "editor/PluginEditor.h"
#include "vst3/Vst3Effect.h"

using namespace v3;

#if defined(_WIN32)
#define ORVANE_EXPORT extern "C" __declspec(dllexport)
#else
#define ORVANE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#ifndef ORVANE_VERSION_STRING
#error "ORVANE_VERSION_STRING comes from the project's version in CMakeLists.txt"
#endif

namespace {

// What the class is called and who makes it: the same texts the VST 2.4
// side answers (effGetEffectName, effGetVendorString); a test holds the two
// sides together.
constexpr char kName[] = "ZEL Orvane";
constexpr char kVendor[] = "zelcraft.example";
constexpr char kSubCategories[] = "Fx|Analyzer";
constexpr char kInterfaceVersion[] = "VST 3.7.0";

orvane::PluginLibrary gLibrary;

Templete* makeEffect(audioMasterCallback host) {
  try {
    return new Templete(host, gLibrary.settings);
  } catch (...) {
    return nullptr;
  }
}

void copy8(char* dst, const char* src, size_t size) { std::snprintf(dst, size, "%s", src); }

void copy16(char16* dst, const char* src, size_t size) {
  size_t i = 0;
  for (; src[i] && i + 1 < size; ++i) dst[i] = (char16)(unsigned char)src[i];
  dst[i] = 0;
}

class Factory : public IPluginFactory3 {
 public:
  tresult V3CALL queryInterface(const TUID iid, void** obj) override {
    if (!obj) return kInvalidArgument;
    if (kFUnknownIid.is(iid) || kIPluginFactoryIid.is(iid) || kIPluginFactory2Iid.is(iid) ||
        kIPluginFactory3Iid.is(iid)) {
      *obj = this;
      return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
  }
  // One factory for the library's whole life: counting changes nothing.
  uint32 V3CALL addRef() override { return 1; }
  uint32 V3CALL release() override { return 1; }

  tresult V3CALL getFactoryInfo(PFactoryInfo* info) override {
    if (!info) return kInvalidArgument;
    std::memset(info, 0, sizeof(*info));
    copy8(info->vendor, kVendor, sizeof(info->vendor));
    info->flags = PFactoryInfo::kUnicode;
    return kResultOk;
  }
  int32 V3CALL countClasses() override { return 1; }
  tresult V3CALL getClassInfo(int32 index, PClassInfo* info) override {
    if (index != 0 || !info) return kInvalidArgument;
    std::memset(info, 0, sizeof(*info));
    std::memcpy(info->cid, orvane::Vst3Effect::kClassId.bytes, 16);
    info->cardinality = kManyInstances;
    copy8(info->category, kVstAudioEffectClass, sizeof(info->category));
    copy8(info->name, kName, sizeof(info->name));
    return kResultOk;
  }
  tresult V3CALL createInstance(FIDString cid, FIDString iid, void** obj) override {
    if (!obj) return kInvalidArgument;
    *obj = nullptr;
    if (!orvane::Vst3Effect::kClassId.is(cid) || !iid) return kNoInterface;
    orvane::Vst3Effect* effect = new (std::nothrow) orvane::Vst3Effect(makeEffect);
    if (!effect) return kOutOfMemory;
    if (!effect->valid()) {
      effect->release();
      return kOutOfMemory;
    }
    const tresult result = effect->queryInterface(iid, obj);
    effect->release();  // the creation's own reference: the host's is the one left
    return result;
  }
  tresult V3CALL getClassInfo2(int32 index, PClassInfo2* info) override {
    if (index != 0 || !info) return kInvalidArgument;
    std::memset(info, 0, sizeof(*info));
    std::memcpy(info->cid, orvane::Vst3Effect::kClassId.bytes, 16);
    info->cardinality = kManyInstances;
    copy8(info->category, kVstAudioEffectClass, sizeof(info->category));
    copy8(info->name, kName, sizeof(info->name));
    info->classFlags = 0;  // component and controller are one object
    copy8(info->subCategories, kSubCategories, sizeof(info->subCategories));
    copy8(info->vendor, kVendor, sizeof(info->vendor));
    copy8(info->version, ORVANE_VERSION_STRING, sizeof(info->version));
    copy8(info->sdkVersion, kInterfaceVersion, sizeof(info->sdkVersion));
    return kResultOk;
  }
  tresult V3CALL getClassInfoUnicode(int32 index, PClassInfoW* info) override {
    if (index != 0 || !info) return kInvalidArgument;
    std::memset(info, 0, sizeof(*info));
    std::memcpy(info->cid, orvane::Vst3Effect::kClassId.bytes, 16);
    info->cardinality = kManyInstances;
    copy8(info->category, kVstAudioEffectClass, sizeof(info->category));
    copy16(info->name, kName, 64);
    info->classFlags = 0;
    copy8(info->subCategories, kSubCategories, sizeof(info->subCategories));
    copy16(info->vendor, kVendor, 64);
    copy16(info->version, ORVANE_VERSION_STRING, 64);
    copy16(info->sdkVersion, kInterfaceVersion, 64);
    return kResultOk;
  }
  tresult V3CALL setHostContext(FUnknown*) override { return kResultOk; }
};

Factory gFactory;

}  // namespace

ORVANE_EXPORT IPluginFactory* V3CALL GetPluginFactory() { return &gFactory; }

// Everything the module needs is set up as the library loads and let go of
// as it unloads; the host's calls around that have nothing left to do.
#if defined(_WIN32)
ORVANE_EXPORT bool V3CALL InitDll() { return true; }
ORVANE_EXPORT bool V3CALL ExitDll() { return true; }
#else
ORVANE_EXPORT bool ModuleEntry(void*) { return true; }
ORVANE_EXPORT bool ModuleExit() { return true; }
#endif
