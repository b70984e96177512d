// The VST 3 binary interface as the plug-in module and our test host use it.
//
// Written by us from the published VST 3 interface: the interfaces' method
// order, their 16-byte ids, the record layouts, the result codes and the
// module's exported function names. Only what this product needs is here.
// Hosts rely on every byte, so the layouts are pinned by static assertions
// below for 32-bit and 64-bit Windows and the native build.
//
// Two details a 64-bit test alone would not catch (published VST 3
// interface): on Windows the ids are COM GUIDs (the first 32-bit field and
// the two 16-bit fields little-endian), elsewhere the 16 bytes are written
// byte for byte, most significant first; and on Windows every interface
// method and exported function is __stdcall, which only changes anything in
// the 32-bit build. Records use 8-byte packing on Windows and the platform's
// natural alignment elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(_WIN32)
#define V3CALL __stdcall
#pragma pack(push, 8)
#else
#define V3CALL
#endif

namespace v3 {

using int8 = int8_t;
using int16 = int16_t;
using uint16 = uint16_t;
using int32 = int32_t;
using uint32 = uint32_t;
using int64 = int64_t;
using uint64 = uint64_t;
using TBool = uint8_t;
using char8 = char;
using char16 = char16_t;
using TChar = char16;
using String128 = char16[128];
using FIDString = const char8*;
using TUID = char[16];
using tresult = int32;
using ParamID = uint32;
using ParamValue = double;
using SpeakerArrangement = uint64;
using Sample32 = float;
using Sample64 = double;

// Result codes (published VST 3 interface): the COM values on Windows.
#if defined(_WIN32)
constexpr tresult kNoInterface = (tresult)0x80004002L;
constexpr tresult kResultOk = 0;
constexpr tresult kResultTrue = 0;
constexpr tresult kResultFalse = 1;
constexpr tresult kInvalidArgument = (tresult)0x80070057L;
constexpr tresult kNotImplemented = (tresult)0x80004001L;
constexpr tresult kInternalError = (tresult)0x80004005L;
constexpr tresult kNotInitialized = (tresult)0x8000FFFFL;
constexpr tresult kOutOfMemory = (tresult)0x8007000EL;
#else
constexpr tresult kNoInterface = -1;
constexpr tresult kResultOk = 0;
constexpr tresult kResultTrue = 0;
constexpr tresult kResultFalse = 1;
constexpr tresult kInvalidArgument = 2;
constexpr tresult kNotImplemented = 3;
constexpr tresult kInternalError = 4;
constexpr tresult kNotInitialized = 5;
constexpr tresult kOutOfMemory = 6;
#endif

// A 16-byte id from its four published 32-bit words.
struct Uid {
  char bytes[16];
  static constexpr Uid make(uint32 a, uint32 b, uint32 c, uint32 d) {
#if defined(_WIN32)
    return Uid{{(char)(a), (char)(a >> 8), (char)(a >> 16), (char)(a >> 24),  //
                (char)(b >> 16), (char)(b >> 24), (char)(b), (char)(b >> 8),  //
                (char)(c >> 24), (char)(c >> 16), (char)(c >> 8), (char)(c),  //
                (char)(d >> 24), (char)(d >> 16), (char)(d >> 8), (char)(d)}};
#else
    return Uid{{(char)(a >> 24), (char)(a >> 16), (char)(a >> 8), (char)(a),  //
                (char)(b >> 24), (char)(b >> 16), (char)(b >> 8), (char)(b),  //
                (char)(c >> 24), (char)(c >> 16), (char)(c >> 8), (char)(c),  //
                (char)(d >> 24), (char)(d >> 16), (char)(d >> 8), (char)(d)}};
#endif
  }
  bool is(const void* other) const { return other && std::memcmp(bytes, other, 16) == 0; }
};

// ---------------------------------------------------------------- base

class FUnknown {
 public:
  virtual tresult V3CALL queryInterface(const TUID iid, void** obj) = 0;
  virtual uint32 V3CALL addRef() = 0;
  virtual uint32 V3CALL release() = 0;
};

class IPluginBase : public FUnknown {
 public:
  virtual tresult V3CALL initialize(FUnknown* context) = 0;
  virtual tresult V3CALL terminate() = 0;
};

enum SeekMode : int32 { kIBSeekSet = 0, kIBSeekCur = 1, kIBSeekEnd = 2 };

class IBStream : public FUnknown {
 public:
  virtual tresult V3CALL read(void* buffer, int32 numBytes, int32* numBytesRead) = 0;
  virtual tresult V3CALL write(void* buffer, int32 numBytes, int32* numBytesWritten) = 0;
  virtual tresult V3CALL seek(int64 pos, int32 mode, int64* result) = 0;
  virtual tresult V3CALL tell(int64* pos) = 0;
};

// ---------------------------------------------------------------- factory

struct PFactoryInfo {
  enum : int32 { kNoFlags = 0, kClassesDiscardable = 1 << 0, kComponentNonDiscardable = 1 << 3, kUnicode = 1 << 4 };
  char8 vendor[64];
  char8 url[256];
  char8 email[128];
  int32 flags;
};

constexpr int32 kManyInstances = 0x7FFFFFFF;

struct PClassInfo {
  TUID cid;
  int32 cardinality;
  char8 category[32];
  char8 name[64];
};

struct PClassInfo2 {
  TUID cid;
  int32 cardinality;
  char8 category[32];
  char8 name[64];
  uint32 classFlags;
  char8 subCategories[128];
  char8 vendor[64];
  char8 version[64];
  char8 sdkVersion[64];
};

struct PClassInfoW {
  TUID cid;
  int32 cardinality;
  char8 category[32];
  char16 name[64];
  uint32 classFlags;
  char8 subCategories[128];
  char16 vendor[64];
  char16 version[64];
  char16 sdkVersion[64];
};

class IPluginFactory : public FUnknown {
 public:
  virtual tresult V3CALL getFactoryInfo(PFactoryInfo* info) = 0;
  virtual int32 V3CALL countClasses() = 0;
  virtual tresult V3CALL getClassInfo(int32 index, PClassInfo* info) = 0;
  virtual tresult V3CALL createInstance(FIDString cid, FIDString iid, void** obj) = 0;
};

class IPluginFactory2 : public IPluginFactory {
 public:
  virtual tresult V3CALL getClassInfo2(int32 index, PClassInfo2* info) = 0;
};

class IPluginFactory3 : public IPluginFactory2 {
 public:
  virtual tresult V3CALL getClassInfoUnicode(int32 index, PClassInfoW* info) = 0;
  virtual tresult V3CALL setHostContext(FUnknown* context) = 0;
};

// ---------------------------------------------------------------- component

enum MediaTypes : int32 { kAudio = 0, kEvent = 1 };
enum BusDirections : int32 { kInput = 0, kOutput = 1 };
enum BusTypes : int32 { kMain = 0, kAux = 1 };
enum IoModes : int32 { kSimple = 0, kAdvanced = 1, kOfflineProcessing = 2 };

struct BusInfo {
  enum : uint32 { kDefaultActive = 1 << 0, kIsControlVoltage = 1 << 1 };
  int32 mediaType;
  int32 direction;
  int32 channelCount;
  String128 name;
  int32 busType;
  uint32 flags;
};

struct RoutingInfo {
  int32 mediaType;
  int32 busIndex;
  int32 channel;
};

class IComponent : public IPluginBase {
 public:
  virtual tresult V3CALL getControllerClassId(TUID classId) = 0;
  virtual tresult V3CALL setIoMode(int32 mode) = 0;
  virtual int32 V3CALL getBusCount(int32 type, int32 dir) = 0;
  virtual tresult V3CALL getBusInfo(int32 type, int32 dir, int32 index, BusInfo& bus) = 0;
  virtual tresult V3CALL getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) = 0;
  virtual tresult V3CALL activateBus(int32 type, int32 dir, int32 index, TBool state) = 0;
  virtual tresult V3CALL setActive(TBool state) = 0;
  virtual tresult V3CALL setState(IBStream* state) = 0;
  virtual tresult V3CALL getState(IBStream* state) = 0;
};

// ---------------------------------------------------------------- processing

// Speaker bits (published VST 3 interface).
constexpr SpeakerArrangement kSpeakerL = 1 << 0;
constexpr SpeakerArrangement kSpeakerR = 1 << 1;
constexpr SpeakerArrangement kSpeakerM = 1 << 19;
constexpr SpeakerArrangement kEmpty = 0;
constexpr SpeakerArrangement kMono = kSpeakerM;
constexpr SpeakerArrangement kStereo = kSpeakerL | kSpeakerR;

enum SymbolicSampleSizes : int32 { kSample32 = 0, kSample64 = 1 };
enum ProcessModes : int32 { kRealtime = 0, kPrefetch = 1, kOffline = 2 };

struct ProcessSetup {
  int32 processMode;
  int32 symbolicSampleSize;
  int32 maxSamplesPerBlock;
  double sampleRate;
};

struct AudioBusBuffers {
  int32 numChannels;
  uint64 silenceFlags;
  union {
    Sample32** channelBuffers32;
    Sample64** channelBuffers64;
  };
};

class IParamValueQueue : public FUnknown {
 public:
  virtual ParamID V3CALL getParameterId() = 0;
  virtual int32 V3CALL getPointCount() = 0;
  virtual tresult V3CALL getPoint(int32 index, int32& sampleOffset, ParamValue& value) = 0;
  virtual tresult V3CALL addPoint(int32 sampleOffset, ParamValue value, int32& index) = 0;
};

class IParameterChanges : public FUnknown {
 public:
  virtual int32 V3CALL getParameterCount() = 0;
  virtual IParamValueQueue* V3CALL getParameterData(int32 index) = 0;
  virtual IParamValueQueue* V3CALL addParameterData(const ParamID& id, int32& index) = 0;
};

class IEventList;       // not used: this effect takes no events
struct ProcessContext;  // not read: the effect needs no transport

struct ProcessData {
  int32 processMode;
  int32 symbolicSampleSize;
  int32 numSamples;
  int32 numInputs;
  int32 numOutputs;
  AudioBusBuffers* inputs;
  AudioBusBuffers* outputs;
  IParameterChanges* inputParameterChanges;
  IParameterChanges* outputParameterChanges;
  IEventList* inputEvents;
  IEventList* outputEvents;
  ProcessContext* processContext;
};

class IAudioProcessor : public FUnknown {
 public:
  virtual tresult V3CALL setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                            int32 numOuts) = 0;
  virtual tresult V3CALL getBusArrangement(int32 dir, int32 index, SpeakerArrangement& arr) = 0;
  virtual tresult V3CALL canProcessSampleSize(int32 symbolicSampleSize) = 0;
  virtual uint32 V3CALL getLatencySamples() = 0;
  virtual tresult V3CALL setupProcessing(ProcessSetup& setup) = 0;
  virtual tresult V3CALL setProcessing(TBool state) = 0;
  virtual tresult V3CALL process(ProcessData& data) = 0;
  virtual uint32 V3CALL getTailSamples() = 0;
};

// ---------------------------------------------------------------- controller

struct ParameterInfo {
  enum : int32 {
    kNoFlags = 0,
    kCanAutomate = 1 << 0,
    kIsReadOnly = 1 << 1,
    kIsWrapAround = 1 << 2,
    kIsList = 1 << 3,
    kIsHidden = 1 << 4,
    kIsProgramChange = 1 << 15,
    kIsBypass = 1 << 16
  };
  ParamID id;
  String128 title;
  String128 shortTitle;
  String128 units;
  int32 stepCount;
  ParamValue defaultNormalizedValue;
  int32 unitId;
  int32 flags;
};

enum RestartFlags : int32 {
  kReloadComponent = 1 << 0,
  kIoChanged = 1 << 1,
  kParamValuesChanged = 1 << 2,
  kLatencyChanged = 1 << 3,
  kParamTitlesChanged = 1 << 4,
};

class IComponentHandler : public FUnknown {
 public:
  virtual tresult V3CALL beginEdit(ParamID id) = 0;
  virtual tresult V3CALL performEdit(ParamID id, ParamValue valueNormalized) = 0;
  virtual tresult V3CALL endEdit(ParamID id) = 0;
  virtual tresult V3CALL restartComponent(int32 flags) = 0;
};

struct ViewRect {
  int32 left;
  int32 top;
  int32 right;
  int32 bottom;
};

class IPlugView;

class IPlugFrame : public FUnknown {
 public:
  virtual tresult V3CALL resizeView(IPlugView* view, ViewRect* newSize) = 0;
};

class IPlugView : public FUnknown {
 public:
  virtual tresult V3CALL isPlatformTypeSupported(FIDString type) = 0;
  virtual tresult V3CALL attached(void* parent, FIDString type) = 0;
  virtual tresult V3CALL removed() = 0;
  virtual tresult V3CALL onWheel(float distance) = 0;
  virtual tresult V3CALL onKeyDown(char16 key, int16 keyCode, int16 modifiers) = 0;
  virtual tresult V3CALL onKeyUp(char16 key, int16 keyCode, int16 modifiers) = 0;
  virtual tresult V3CALL getSize(ViewRect* size) = 0;
  virtual tresult V3CALL onSize(ViewRect* newSize) = 0;
  virtual tresult V3CALL onFocus(TBool state) = 0;
  virtual tresult V3CALL setFrame(IPlugFrame* frame) = 0;
  virtual tresult V3CALL canResize() = 0;
  virtual tresult V3CALL checkSizeConstraint(ViewRect* rect) = 0;
};

// A view that draws at the host's content scale (its screen's pixels per
// point); a factor it cannot draw at is refused.
class IPlugViewContentScaleSupport : public FUnknown {
 public:
  virtual tresult V3CALL setContentScaleFactor(float factor) = 0;
};

// A Linux host's run loop, asked from its frame: the view's timers and
// file descriptors run on the host's user-interface thread.
using FileDescriptor = int;
using TimerInterval = uint64;

class IEventHandler : public FUnknown {
 public:
  virtual void V3CALL onFDIsSet(FileDescriptor fd) = 0;
};

class ITimerHandler : public FUnknown {
 public:
  virtual void V3CALL onTimer() = 0;
};

class IRunLoop : public FUnknown {
 public:
  virtual tresult V3CALL registerEventHandler(IEventHandler* handler, FileDescriptor fd) = 0;
  virtual tresult V3CALL unregisterEventHandler(IEventHandler* handler) = 0;
  virtual tresult V3CALL registerTimer(ITimerHandler* handler, TimerInterval milliseconds) = 0;
  virtual tresult V3CALL unregisterTimer(ITimerHandler* handler) = 0;
};

// Platform type names of a view's parent (published VST 3 interface).
constexpr char kPlatformTypeHWND[] = "HWND";
constexpr char kPlatformTypeX11EmbedWindowID[] = "X11EmbedWindowID";
// The view name a host asks createView for.
constexpr char kEditorViewName[] = "editor";

class IEditController : public IPluginBase {
 public:
  virtual tresult V3CALL setComponentState(IBStream* state) = 0;
  virtual tresult V3CALL setState(IBStream* state) = 0;
  virtual tresult V3CALL getState(IBStream* state) = 0;
  virtual int32 V3CALL getParameterCount() = 0;
  virtual tresult V3CALL getParameterInfo(int32 paramIndex, ParameterInfo& info) = 0;
  virtual tresult V3CALL getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) = 0;
  virtual tresult V3CALL getParamValueByString(ParamID id, TChar* string, ParamValue& valueNormalized) = 0;
  virtual ParamValue V3CALL normalizedParamToPlain(ParamID id, ParamValue valueNormalized) = 0;
  virtual ParamValue V3CALL plainParamToNormalized(ParamID id, ParamValue plainValue) = 0;
  virtual ParamValue V3CALL getParamNormalized(ParamID id) = 0;
  virtual tresult V3CALL setParamNormalized(ParamID id, ParamValue value) = 0;
  virtual tresult V3CALL setComponentHandler(IComponentHandler* handler) = 0;
  virtual IPlugView* V3CALL createView(FIDString name) = 0;
};

// ---------------------------------------------------------------- ids
// The interface ids (published VST 3 interface), as their four words.
inline constexpr Uid kFUnknownIid = Uid::make(0x00000000, 0x00000000, 0xC0000000, 0x00000046);
inline constexpr Uid kIPluginBaseIid = Uid::make(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);
inline constexpr Uid kIPluginFactoryIid = Uid::make(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);
inline constexpr Uid kIPluginFactory2Iid = Uid::make(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);
inline constexpr Uid kIPluginFactory3Iid = Uid::make(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);
inline constexpr Uid kIComponentIid = Uid::make(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);
inline constexpr Uid kIAudioProcessorIid = Uid::make(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D);
inline constexpr Uid kIEditControllerIid = Uid::make(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E);
inline constexpr Uid kIBStreamIid = Uid::make(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);
inline constexpr Uid kIPlugViewIid = Uid::make(0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29);
inline constexpr Uid kIPlugFrameIid = Uid::make(0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3);
inline constexpr Uid kIPlugViewContentScaleSupportIid =
    Uid::make(0x65ED9690, 0x8AC44525, 0x8AADEF7A, 0x72EA703F);
inline constexpr Uid kIRunLoopIid = Uid::make(0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389);
inline constexpr Uid kIEventHandlerIid = Uid::make(0x561E65C9, 0x13A0496F, 0x813A2C35, 0x654D7983);
inline constexpr Uid kITimerHandlerIid = Uid::make(0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9);

// Class category and sub-category texts (published VST 3 interface).
constexpr char kVstAudioEffectClass[] = "Audio Module Class";

// ---------------------------------------------------------------- layouts

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(AudioBusBuffers) == 24 && offsetof(AudioBusBuffers, channelBuffers32) == 16, "");
static_assert(sizeof(ProcessData) == 48 && offsetof(ProcessData, inputs) == 20, "");
#else
static_assert(sizeof(void*) == 8, "the native build is 64-bit");
static_assert(sizeof(AudioBusBuffers) == 24 && offsetof(AudioBusBuffers, channelBuffers32) == 16, "");
static_assert(sizeof(ProcessData) == 80 && offsetof(ProcessData, inputs) == 24, "");
#endif
static_assert(offsetof(AudioBusBuffers, silenceFlags) == 8, "");
static_assert(sizeof(ProcessSetup) == 24 && offsetof(ProcessSetup, sampleRate) == 16, "");
static_assert(sizeof(ParameterInfo) == 792 && offsetof(ParameterInfo, defaultNormalizedValue) == 776, "");
static_assert(offsetof(ParameterInfo, flags) == 788, "");
static_assert(sizeof(BusInfo) == 276, "");
static_assert(sizeof(PFactoryInfo) == 452, "");
static_assert(sizeof(PClassInfo) == 116, "");
static_assert(sizeof(PClassInfo2) == 440, "");
static_assert(sizeof(PClassInfoW) == 696 && offsetof(PClassInfoW, name) == 52, "");
static_assert(sizeof(ViewRect) == 16, "");

}  // namespace v3

#if defined(_WIN32)
#pragma pack(pop)
#endif
