#include "core/AudioEffect.h"

#include <atomic>
#include <cstring>

namespace {

std::atomic<int> gLiveInstances{0};
std::atomic<AudioEffect::LastInstanceClosedHandler> gLastInstanceClosed{nullptr};

// The C entry points the host calls through the AEffect record. Each finds
// the object and calls its operation of the same name. Nothing may unwind
// into the host's C frames: whatever throws below a thunk (an allocation
// that fails while the editor opens, say) ends there, and the host gets the
// answer of a refused call, 0. guarded() runs one call so and answers
// `refused` when it throws.
template <class Result, class Call>
Result guarded(Result refused, Call&& call) noexcept {
  try {
    return call();
  } catch (...) {
    return refused;
  }
}

template <class Call>
void guarded(Call&& call) noexcept {
  try {
    call();
  } catch (...) {
  }
}

VstIntPtr VSTCALLBACK dispatchThunk(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                    float opt) {
  AudioEffect* effect = AudioEffect::fromAeffect(e);
  if (!effect) return 0;
  VstIntPtr result = guarded(VstIntPtr(0), [&] { return effect->dispatcher(opcode, index, value, ptr, opt); });
  if (opcode == effClose) {
    // The host lets go of the instance: it is destroyed here, after the
    // dispatcher has returned, so no member runs on a deleted object.
    delete effect;
    if (AudioEffect::liveInstances() == 0)
      if (AudioEffect::LastInstanceClosedHandler handler = gLastInstanceClosed.load()) guarded([&] { handler(); });
    return 1;
  }
  return result;
}

void VSTCALLBACK setParameterThunk(AEffect* e, VstInt32 index, float value) {
  guarded([&] {
    if (AudioEffect* effect = AudioEffect::fromAeffect(e)) effect->setParameter(index, value);
  });
}

float VSTCALLBACK getParameterThunk(AEffect* e, VstInt32 index) {
  return guarded(0.0f, [&] {
    AudioEffect* effect = AudioEffect::fromAeffect(e);
    return effect ? effect->getParameter(index) : 0.0f;
  });
}

// The audio path allocates nothing and should never throw; the guard costs
// nothing until something does.
void VSTCALLBACK processThunk(AEffect* e, float** inputs, float** outputs, VstInt32 frames) {
  guarded([&] {
    if (AudioEffect* effect = AudioEffect::fromAeffect(e)) effect->process(inputs, outputs, frames);
  });
}

void VSTCALLBACK processReplacingThunk(AEffect* e, float** inputs, float** outputs, VstInt32 frames) {
  guarded([&] {
    if (AudioEffect* effect = AudioEffect::fromAeffect(e)) effect->processReplacing(inputs, outputs, frames);
  });
}

void VSTCALLBACK processDoubleReplacingThunk(AEffect* e, double** inputs, double** outputs, VstInt32 frames) {
  guarded([&] {
    if (AudioEffect* effect = AudioEffect::fromAeffect(e)) effect->processDoubleReplacing(inputs, outputs, frames);
  });
}

}  // namespace

AudioEffect::AudioEffect(audioMasterCallback master, VstInt32 programs, VstInt32 params)
    : sampleRate(44100.0f),
      blockSize(1024),
      numPrograms(programs),
      numParams(params),
      curProgram(0),
      audioMaster(master),
      editor(nullptr) {
  std::memset(&cEffect, 0, sizeof(cEffect));
  cEffect.magic = kEffectMagic;
  cEffect.dispatcher = dispatchThunk;
  cEffect.process = processThunk;
  cEffect.setParameter = setParameterThunk;
  cEffect.getParameter = getParameterThunk;
  cEffect.numPrograms = programs;
  cEffect.numParams = params;
  cEffect.numInputs = 1;
  cEffect.numOutputs = 2;
  cEffect.flags = effFlagsCanReplacing;
  cEffect.ioRatio = 1.0f;
  cEffect.object = this;
  cEffect.uniqueID = vstFourCC('N', 'o', 'E', 'f');
  cEffect.version = 1;
  cEffect.processReplacing = processReplacingThunk;
  cEffect.processDoubleReplacing = processDoubleReplacingThunk;
  gLiveInstances.fetch_add(1);
}

AudioEffect::~AudioEffect() { gLiveInstances.fetch_sub(1); }

int AudioEffect::liveInstances() { return gLiveInstances.load(); }

void AudioEffect::setLastInstanceClosedHandler(LastInstanceClosedHandler handler) { gLastInstanceClosed = handler; }

void AudioEffect::setEditor(AEffEditor* newEditor) {
  editor = newEditor;
  setFlag(effFlagsHasEditor, newEditor != nullptr);
}

VstInt32 AudioEffect::getChunk(void** data, bool) {
  if (data) *data = nullptr;
  return 0;
}

VstInt32 AudioEffect::setChunk(void*, VstInt32, bool) { return 0; }

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
  setParameter(index, value);
  callHost(audioMasterAutomate, index, 0, nullptr, value);
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) const {
  if (!audioMaster) return 0;
  return audioMaster(const_cast<AEffect*>(&cEffect), opcode, index, value, ptr, opt);
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  switch (opcode) {
    case effOpen:
      open();
      return 0;
    case effClose:
      close();
      return 0;
    case effSetProgram:
      // One host program only: anything but program 0 is ignored.
      if (value >= 0 && value < 1) setProgram((VstInt32)value);
      return 0;
    case effGetProgram:
      return getProgram();
    case effSetProgramName:
      if (ptr) setProgramName(static_cast<char*>(ptr));
      return 0;
    case effGetProgramName:
      if (ptr) getProgramName(static_cast<char*>(ptr));
      return 0;
    case effGetParamLabel:
      if (ptr) getParameterLabel(index, static_cast<char*>(ptr));
      return 0;
    case effGetParamDisplay:
      if (ptr) getParameterDisplay(index, static_cast<char*>(ptr));
      return 0;
    case effGetParamName:
      if (ptr) getParameterName(index, static_cast<char*>(ptr));
      return 0;
    case effSetSampleRate:
      setSampleRate(opt);
      return 0;
    case effSetBlockSize:
      setBlockSize((VstInt32)value);
      return 0;
    case effMainsChanged:
      if (value == 0)
        suspend();
      else
        resume();
      return 0;
    case effEditGetRect:
      return (editor && ptr && editor->getRect(static_cast<ERect**>(ptr))) ? 1 : 0;
    case effEditOpen:
      return (editor && editor->open(ptr)) ? 1 : 0;
    case effEditClose:
      if (editor) editor->close();
      return 0;
    case effEditIdle:
      if (editor) editor->idle();
      return 0;
    case effIdentify:
      return vstFourCC('N', 'v', 'E', 'f');
    case effGetChunk:
      return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case effSetChunk:
      setChunk(ptr, (VstInt32)value, index != 0);
      return 0;
    default:
      return 0;
  }
}
