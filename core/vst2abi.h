// The VST 2.4 binary interface as the plug-in and our test host use it.
//
// Written from the published facts of the interface (record layouts, opcode
// and flag numbers, string lengths); hosts rely on these bytes, so every
// layout is pinned by static assertions for 32-bit and 64-bit Windows and for
// the native build.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define VSTCALLBACK __cdecl
#else
#define VSTCALLBACK
#endif

#if defined(_WIN32)
#pragma pack(push, 8)
#endif

typedef int16_t VstInt16;
typedef int32_t VstInt32;
typedef int64_t VstInt64;
typedef intptr_t VstIntPtr;

struct AEffect;

typedef VstIntPtr(VSTCALLBACK* audioMasterCallback)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                    VstIntPtr value, void* ptr, float opt);
typedef VstIntPtr(VSTCALLBACK* AEffectDispatcherProc)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                      VstIntPtr value, void* ptr, float opt);
typedef void(VSTCALLBACK* AEffectProcessProc)(AEffect* effect, float** inputs, float** outputs,
                                              VstInt32 sampleFrames);
typedef void(VSTCALLBACK* AEffectProcessDoubleProc)(AEffect* effect, double** inputs, double** outputs,
                                                    VstInt32 sampleFrames);
typedef void(VSTCALLBACK* AEffectSetParameterProc)(AEffect* effect, VstInt32 index, float parameter);
typedef float(VSTCALLBACK* AEffectGetParameterProc)(AEffect* effect, VstInt32 index);

// Four-character codes are stored with the first character in the top byte.
constexpr VstInt32 vstFourCC(char a, char b, char c, char d) {
  return (VstInt32)(((uint32_t)(uint8_t)a << 24) | ((uint32_t)(uint8_t)b << 16) |
                    ((uint32_t)(uint8_t)c << 8) | (uint32_t)(uint8_t)d);
}
constexpr VstInt32 kEffectMagic = vstFourCC('V', 's', 't', 'P');

struct AEffect {
  VstInt32 magic;
  AEffectDispatcherProc dispatcher;
  AEffectProcessProc process;  // accumulating process, obsolete in 2.4
  AEffectSetParameterProc setParameter;
  AEffectGetParameterProc getParameter;
  VstInt32 numPrograms;
  VstInt32 numParams;
  VstInt32 numInputs;
  VstInt32 numOutputs;
  VstInt32 flags;
  VstIntPtr resvd1;
  VstIntPtr resvd2;
  VstInt32 initialDelay;
  VstInt32 realQualities;
  VstInt32 offQualities;
  float ioRatio;
  void* object;
  void* user;
  VstInt32 uniqueID;
  VstInt32 version;
  AEffectProcessProc processReplacing;
  AEffectProcessDoubleProc processDoubleReplacing;
  char future[56];
};

enum VstAEffectFlags : VstInt32 {
  effFlagsHasEditor = 1 << 0,
  effFlagsCanReplacing = 1 << 4,
  effFlagsProgramChunks = 1 << 5,
  effFlagsIsSynth = 1 << 8,
  effFlagsNoSoundInStop = 1 << 9,
  effFlagsCanDoubleReplacing = 1 << 12,
};

// Plug-in opcodes (the dispatcher's), 2.4 numbering including the gaps of
// the deprecated ones.
enum AEffectOpcodes : VstInt32 {
  effOpen = 0,
  effClose,
  effSetProgram,
  effGetProgram,
  effSetProgramName,
  effGetProgramName,
  effGetParamLabel,
  effGetParamDisplay,
  effGetParamName,
  effGetVu,  // deprecated
  effSetSampleRate,
  effSetBlockSize,
  effMainsChanged,
  effEditGetRect,
  effEditOpen,
  effEditClose,
  effEditDraw,   // deprecated
  effEditMouse,  // deprecated
  effEditKey,    // deprecated
  effEditIdle,
  effEditTop,    // deprecated
  effEditSleep,  // deprecated
  effIdentify,
  effGetChunk,
  effSetChunk,
  effProcessEvents,
  effCanBeAutomated,
  effString2Parameter,
  effGetNumProgramCategories,  // deprecated
  effGetProgramNameIndexed,
  effCopyProgram,          // deprecated
  effConnectInput,         // deprecated
  effConnectOutput,        // deprecated
  effGetInputProperties,
  effGetOutputProperties,
  effGetPlugCategory,
  effGetCurrentPosition,   // deprecated
  effGetDestinationBuffer, // deprecated
  effOfflineNotify,
  effOfflinePrepare,
  effOfflineRun,
  effProcessVarIo,
  effSetSpeakerArrangement,
  effSetBlockSizeAndSampleRate,  // deprecated
  effSetBypass,
  effGetEffectName,
  effGetErrorText,  // deprecated
  effGetVendorString,
  effGetProductString,
  effGetVendorVersion,
  effVendorSpecific,
  effCanDo,
  effGetTailSize,
  effIdle,             // deprecated
  effGetIcon,          // deprecated
  effSetViewPosition,  // deprecated
  effGetParameterProperties,
  effKeysRequired,  // deprecated
  effGetVstVersion,
  effEditKeyDown,
  effEditKeyUp,
  effSetEditKnobMode,
  effGetMidiProgramName,
  effGetCurrentMidiProgram,
  effGetMidiProgramCategory,
  effHasMidiProgramsChanged,
  effGetMidiKeyName,
  effBeginSetProgram,
  effEndSetProgram,
  effGetSpeakerArrangement,
  effShellGetNextPlugin,
  effStartProcess,
  effStopProcess,
  effSetTotalSampleToProcess,
  effSetPanLaw,
  effBeginLoadBank,
  effBeginLoadProgram,
  effSetProcessPrecision,
  effGetNumMidiInputChannels,
  effGetNumMidiOutputChannels,
};

// Host opcodes (the audioMaster callback's) that this product uses.
enum AudioMasterOpcodes : VstInt32 {
  audioMasterAutomate = 0,
  audioMasterVersion = 1,
  audioMasterCurrentId = 2,
  audioMasterIdle = 3,
  audioMasterPinConnected = 4,
  audioMasterGetTime = 7,
  audioMasterSizeWindow = 15,
  audioMasterGetSampleRate = 16,
  audioMasterGetBlockSize = 17,
  audioMasterGetInputLatency = 18,
  audioMasterGetOutputLatency = 19,
  audioMasterGetVendorString = 32,
  audioMasterGetProductString = 33,
  audioMasterGetVendorVersion = 34,
  audioMasterCanDo = 37,
  audioMasterBeginEdit = 43,
  audioMasterEndEdit = 44,
};

enum VstStringLengths {
  kVstMaxProgNameLen = 24,
  kVstMaxParamStrLen = 8,
  kVstMaxVendorStrLen = 64,
  kVstMaxProductStrLen = 64,
  kVstMaxEffectNameLen = 32,
  kVstMaxNameLen = 64,
  kVstMaxLabelLen = 64,
  kVstMaxShortLabelLen = 8,
  kVstMaxCategLabelLen = 24,
};

enum VstPlugCategory : VstInt32 {
  kPlugCategUnknown = 0,
  kPlugCategEffect,
  kPlugCategSynth,
  kPlugCategAnalysis,
  kPlugCategMastering,
  kPlugCategSpacializer,
  kPlugCategRoomFx,
  kPlugSurroundFx,
  kPlugCategRestoration,
  kPlugCategOfflineProcess,
  kPlugCategShell,
  kPlugCategGenerator,
};

struct ERect {
  VstInt16 top;
  VstInt16 left;
  VstInt16 bottom;
  VstInt16 right;
};

struct VstKeyCode {
  VstInt32 character;
  unsigned char virt;
  unsigned char modifier;
};

enum VstPinPropertiesFlags : VstInt32 {
  kVstPinIsActive = 1 << 0,
  kVstPinIsStereo = 1 << 1,
  kVstPinUseSpeaker = 1 << 2,
};

struct VstPinProperties {
  char label[kVstMaxLabelLen];
  VstInt32 flags;
  VstInt32 arrangementType;
  char shortLabel[kVstMaxShortLabelLen];
  char future[48];
};

enum VstParameterFlags : VstInt32 {
  kVstParameterIsSwitch = 1 << 0,
  kVstParameterUsesIntegerMinMax = 1 << 1,
  kVstParameterUsesFloatStep = 1 << 2,
  kVstParameterUsesIntStep = 1 << 3,
  kVstParameterSupportsDisplayIndex = 1 << 4,
  kVstParameterSupportsDisplayCategory = 1 << 5,
  kVstParameterCanRamp = 1 << 6,
};

struct VstParameterProperties {
  float stepFloat;
  float smallStepFloat;
  float largeStepFloat;
  char label[kVstMaxLabelLen];
  VstInt32 flags;
  VstInt32 minInteger;
  VstInt32 maxInteger;
  VstInt32 stepInteger;
  VstInt32 largeStepInteger;
  char shortLabel[kVstMaxShortLabelLen];
  VstInt16 displayIndex;
  VstInt16 category;
  VstInt16 numParametersInCategory;
  VstInt16 reserved;
  char categoryLabel[kVstMaxCategLabelLen];
  char future[16];
};

struct VstSpeakerProperties {
  float azimuth;
  float elevation;
  float radius;
  float reserved;
  char name[kVstMaxNameLen];
  VstInt32 type;
  char future[28];
};

struct VstSpeakerArrangement {
  VstInt32 type;
  VstInt32 numChannels;
  VstSpeakerProperties speakers[8];
};

enum VstSpeakerArrangementType : VstInt32 {
  kSpeakerArrUserDefined = -2,
  kSpeakerArrEmpty = -1,
  kSpeakerArrMono = 0,
  kSpeakerArrStereo = 1,
};

#if defined(_WIN32)
#pragma pack(pop)
#endif

// The layouts hosts were compiled against. Pointer-sized fields move with
// the pointer size; everything else is fixed.
static_assert(sizeof(VstInt32) == 4 && sizeof(VstInt16) == 2, "fixed-width integers");
static_assert(sizeof(VstIntPtr) == sizeof(void*), "VstIntPtr is pointer sized");
static_assert(sizeof(ERect) == 8, "ERect");
static_assert(sizeof(VstKeyCode) == 8, "VstKeyCode");
static_assert(sizeof(VstPinProperties) == 128, "VstPinProperties");
static_assert(offsetof(VstPinProperties, flags) == 64, "VstPinProperties.flags");
static_assert(offsetof(VstPinProperties, shortLabel) == 72, "VstPinProperties.shortLabel");
static_assert(sizeof(VstParameterProperties) == 152, "VstParameterProperties");
static_assert(offsetof(VstParameterProperties, label) == 12, "VstParameterProperties.label");
static_assert(offsetof(VstParameterProperties, flags) == 76, "VstParameterProperties.flags");
static_assert(offsetof(VstParameterProperties, shortLabel) == 96, "VstParameterProperties.shortLabel");
static_assert(offsetof(VstParameterProperties, displayIndex) == 104, "VstParameterProperties.displayIndex");
static_assert(offsetof(VstParameterProperties, categoryLabel) == 112, "VstParameterProperties.categoryLabel");
static_assert(sizeof(VstSpeakerProperties) == 112, "VstSpeakerProperties");
static_assert(sizeof(VstSpeakerArrangement) == 8 + 8 * 112, "VstSpeakerArrangement");
static_assert(offsetof(AEffect, magic) == 0, "AEffect.magic");
#if INTPTR_MAX == INT64_MAX
static_assert(sizeof(AEffect) == 192, "AEffect (64-bit)");
static_assert(offsetof(AEffect, dispatcher) == 8, "AEffect.dispatcher");
static_assert(offsetof(AEffect, setParameter) == 24, "AEffect.setParameter");
static_assert(offsetof(AEffect, getParameter) == 32, "AEffect.getParameter");
static_assert(offsetof(AEffect, numPrograms) == 40, "AEffect.numPrograms");
static_assert(offsetof(AEffect, flags) == 56, "AEffect.flags");
static_assert(offsetof(AEffect, resvd1) == 64, "AEffect.resvd1");
static_assert(offsetof(AEffect, initialDelay) == 80, "AEffect.initialDelay");
static_assert(offsetof(AEffect, ioRatio) == 92, "AEffect.ioRatio");
static_assert(offsetof(AEffect, object) == 96, "AEffect.object");
static_assert(offsetof(AEffect, uniqueID) == 112, "AEffect.uniqueID");
static_assert(offsetof(AEffect, processReplacing) == 120, "AEffect.processReplacing");
static_assert(offsetof(AEffect, processDoubleReplacing) == 128, "AEffect.processDoubleReplacing");
static_assert(offsetof(AEffect, future) == 136, "AEffect.future");
#else
static_assert(sizeof(AEffect) == 144, "AEffect (32-bit)");
static_assert(offsetof(AEffect, dispatcher) == 4, "AEffect.dispatcher");
static_assert(offsetof(AEffect, setParameter) == 12, "AEffect.setParameter");
static_assert(offsetof(AEffect, getParameter) == 16, "AEffect.getParameter");
static_assert(offsetof(AEffect, numPrograms) == 20, "AEffect.numPrograms");
static_assert(offsetof(AEffect, flags) == 36, "AEffect.flags");
static_assert(offsetof(AEffect, resvd1) == 40, "AEffect.resvd1");
static_assert(offsetof(AEffect, initialDelay) == 48, "AEffect.initialDelay");
static_assert(offsetof(AEffect, ioRatio) == 60, "AEffect.ioRatio");
static_assert(offsetof(AEffect, object) == 64, "AEffect.object");
static_assert(offsetof(AEffect, uniqueID) == 72, "AEffect.uniqueID");
static_assert(offsetof(AEffect, processReplacing) == 80, "AEffect.processReplacing");
static_assert(offsetof(AEffect, processDoubleReplacing) == 84, "AEffect.processDoubleReplacing");
static_assert(offsetof(AEffect, future) == 88, "AEffect.future");
#endif
