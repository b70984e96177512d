#include "vst3/Vst3Effect.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <new>

#include "display/CZELMeterFULLPANEL.h"
#include "state/StateChunk.h"

using namespace v3;

namespace orvane {

// A fixed id of our own, never to change: hosts store it in projects.
const Uid Vst3Effect::kClassId = Uid::make(0x3F1B7C42, 0x9D0E4A6B, 0x8C25E1D7, 0x64A0B953);

namespace {

constexpr int kTextBytes = 64;

void toUtf16(const char* text, char16* out, int size) {
  int i = 0;
  for (; text && text[i] && i < size - 1; ++i) out[i] = (char16)(unsigned char)text[i];
  out[i] = 0;
}

// Texts typed in a host: what is not plain ASCII cannot match any of ours.
void fromUtf16(const char16* text, char* out, int size) {
  int i = 0;
  for (; text && text[i] && i < size - 1; ++i) out[i] = text[i] < 128 ? (char)text[i] : '?';
  out[i] = 0;
}

bool isOurs(ParamID id) { return id < (ParamID)kHostParameterCount; }

// A host's normalised value as the effect takes it. A double beyond the
// float's range has no float (the conversion would be undefined), so it is
// limited first; NaN stays NaN, which the effect ignores.
float toValue(double v) {
  if (v < -1.0) v = -1.0;
  if (v > 2.0) v = 2.0;
  return (float)v;
}

int channelsOf(SpeakerArrangement a) {
  if (a == kMono) return 1;
  if (a == kStereo) return 2;
  return 0;
}

// A chunk this effect could have written: the format mark, and every value
// a normalised one. Anything else is a damaged stream, refused whole.
bool plausibleChunk(const unsigned char* chunk) {
  float f;
  std::memcpy(&f, chunk + StateChunk::kMarkOffset, 4);
  if (f != StateChunk::kMark) return false;
  for (int i = 0; i < StateChunk::kParameterCount + StateChunk::kSettingCount; ++i) {
    const int offset = i < StateChunk::kParameterCount
                           ? StateChunk::kParametersOffset + 4 * i
                           : StateChunk::kSettingsOffset + 4 * (i - StateChunk::kParameterCount);
    std::memcpy(&f, chunk + offset, 4);
    if (!(f >= 0.0f && f <= 1.0f)) return false;
  }
  return true;
}

}  // namespace

Vst3Effect::Vst3Effect(EffectFactory factory) {
  effect_ = factory ? factory(&Vst3Effect::hostCallback) : nullptr;
  if (!effect_) return;
  record_ = effect_->getAeffect();
  record_->user = this;
}

Vst3Effect::~Vst3Effect() {
  if (record_) {
    if (active_) dispatch(effMainsChanged, 0, 0);
    // Closing the record deletes the effect, as under a VST 2.4 host.
    record_->dispatcher(record_, effClose, 0, 0, nullptr, 0.0f);
  }
}

// ---------------------------------------------------------------- FUnknown

tresult V3CALL Vst3Effect::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  *obj = nullptr;
  if (kFUnknownIid.is(iid) || kIPluginBaseIid.is(iid) || kIComponentIid.is(iid))
    *obj = static_cast<IComponent*>(this);
  else if (kIAudioProcessorIid.is(iid))
    *obj = static_cast<IAudioProcessor*>(this);
  else if (kIEditControllerIid.is(iid))
    *obj = static_cast<IEditController*>(this);
  else
    return kNoInterface;
  addRef();
  return kResultOk;
}

uint32 V3CALL Vst3Effect::addRef() { return ++refs_; }

uint32 V3CALL Vst3Effect::release() {
  const uint32 left = --refs_;
  if (left == 0) delete this;
  return left;
}

tresult V3CALL Vst3Effect::initialize(FUnknown*) { return kResultOk; }

tresult V3CALL Vst3Effect::terminate() {
  if (active_) setActive(0);
  v3::IComponentHandler* h = handler_.exchange(nullptr);
  if (h) h->release();
  return kResultOk;
}

// ---------------------------------------------------------------- host side

VstIntPtr VSTCALLBACK Vst3Effect::hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                               void*, float opt) {
  Vst3Effect* self = effect ? static_cast<Vst3Effect*>(effect->user) : nullptr;
  if (opcode == audioMasterVersion) return 2400;
  // Everything else VST 3 has no counterpart for (host latency, process
  // level, pin connections) answers 0, the VST 2.4 "don't know": the lag
  // control then starts from no host latency and every pin counts as
  // connected, the bus arrangement deciding mono or stereo.
  return self ? self->answerHost(opcode, index, value, opt) : 0;
}

VstIntPtr Vst3Effect::answerHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, float opt) {
  if (opcode == audioMasterSizeWindow) return view_ && view_->resizeTo(index, (int)value) ? 1 : 0;
  v3::IComponentHandler* h = handler_.load();
  if (!h || !isOurs((ParamID)index)) return 0;
  switch (opcode) {
    case audioMasterAutomate: return h->performEdit((ParamID)index, opt) == kResultOk ? 1 : 0;
    case audioMasterBeginEdit: return h->beginEdit((ParamID)index) == kResultOk ? 1 : 0;
    case audioMasterEndEdit: return h->endEdit((ParamID)index) == kResultOk ? 1 : 0;
    default: return 0;
  }
}

VstIntPtr Vst3Effect::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  return record_ ? record_->dispatcher(record_, opcode, index, value, ptr, opt) : 0;
}

// ---------------------------------------------------------------- component

tresult V3CALL Vst3Effect::getControllerClassId(TUID classId) {
  // No controller class of its own: the host finds the controller on this
  // object.
  if (classId) std::memset(classId, 0, sizeof(TUID));
  return kResultFalse;
}

tresult V3CALL Vst3Effect::setIoMode(int32) { return kResultOk; }

int32 V3CALL Vst3Effect::getBusCount(int32 type, int32 dir) {
  return type == kAudio && (dir == kInput || dir == kOutput) ? 1 : 0;
}

tresult V3CALL Vst3Effect::getBusInfo(int32 type, int32 dir, int32 index, BusInfo& bus) {
  if (type != kAudio || index != 0 || (dir != kInput && dir != kOutput)) return kInvalidArgument;
  std::memset(&bus, 0, sizeof(bus));
  bus.mediaType = kAudio;
  bus.direction = dir;
  bus.channelCount = dir == kInput ? inChannels_ : outChannels_;
  toUtf16(dir == kInput ? "Input" : "Output", bus.name, 128);
  bus.busType = kMain;
  bus.flags = BusInfo::kDefaultActive;
  return kResultOk;
}

tresult V3CALL Vst3Effect::getRoutingInfo(RoutingInfo&, RoutingInfo&) { return kNotImplemented; }

tresult V3CALL Vst3Effect::activateBus(int32 type, int32 dir, int32 index, TBool) {
  return type == kAudio && index == 0 && (dir == kInput || dir == kOutput) ? kResultOk : kInvalidArgument;
}

tresult V3CALL Vst3Effect::setActive(TBool state) {
  if (!record_) return kNotInitialized;
  const bool on = state != 0;
  if (on == active_) return kResultOk;
  if (on) {
    dispatch(effSetSampleRate, 0, 0, nullptr, (float)sampleRate_);
    dispatch(effSetBlockSize, 0, maxBlock_);
  }
  dispatch(effMainsChanged, 0, on ? 1 : 0);
  active_ = on;
  return kResultOk;
}

bool Vst3Effect::readChunk(IBStream* stream, unsigned char* chunk) {
  if (!stream) return false;
  // One byte more than a chunk: a longer stream is not ours either.
  int32 got = 0;
  unsigned char extra = 0;
  while (got <= StateChunk::kSize) {
    int32 n = 0;
    void* at = got < StateChunk::kSize ? (void*)(chunk + got) : (void*)&extra;
    const int32 want = got < StateChunk::kSize ? StateChunk::kSize - got : 1;
    if (stream->read(at, want, &n) != kResultOk || n <= 0 || n > want) break;
    got += n;
  }
  return got == StateChunk::kSize && plausibleChunk(chunk);
}

tresult V3CALL Vst3Effect::setState(IBStream* state) {
  unsigned char chunk[StateChunk::kSize];
  if (!record_ || !readChunk(state, chunk)) return kResultFalse;
  dispatch(effSetChunk, 0, StateChunk::kSize, chunk);
  if (v3::IComponentHandler* h = handler_.load()) h->restartComponent(kParamValuesChanged);
  return kResultOk;
}

tresult V3CALL Vst3Effect::getState(IBStream* state) {
  if (!record_ || !state) return kResultFalse;
  void* data = nullptr;
  const VstIntPtr size = dispatch(effGetChunk, 0, 0, &data);
  if (!data || size != StateChunk::kSize) return kResultFalse;
  int32 written = 0;
  if (state->write(data, (int32)size, &written) != kResultOk || written != (int32)size) return kResultFalse;
  return kResultOk;
}

tresult V3CALL Vst3Effect::setComponentState(IBStream* state) {
  // The same object is the component: its state is in force already. The
  // stream is still read and checked, so a host's damaged copy is refused.
  unsigned char chunk[StateChunk::kSize];
  return readChunk(state, chunk) ? kResultOk : kResultFalse;
}

// ---------------------------------------------------------------- processing

bool Vst3Effect::applyArrangement(int in, int out) {
  VstSpeakerArrangement a{}, b{};
  a.numChannels = in;
  b.numChannels = out;
  return dispatch(effSetSpeakerArrangement, 0, (VstIntPtr)&a, &b) != 0;
}

tresult V3CALL Vst3Effect::setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                              int32 numOuts) {
  if (!record_ || active_) return kResultFalse;
  if (numIns != 1 || numOuts != 1 || !inputs || !outputs) return kResultFalse;
  const int in = channelsOf(inputs[0]), out = channelsOf(outputs[0]);
  // The VST 2.4 side takes 1 in 1 out, 1 in 2 out and 2 in 2 out; a
  // refused arrangement leaves the one in force.
  if (in == 0 || out == 0 || !applyArrangement(in, out)) {
    applyArrangement(inChannels_, outChannels_);
    return kResultFalse;
  }
  inChannels_ = in;
  outChannels_ = out;
  return kResultOk;
}

tresult V3CALL Vst3Effect::getBusArrangement(int32 dir, int32 index, SpeakerArrangement& arr) {
  if (index != 0 || (dir != kInput && dir != kOutput)) return kInvalidArgument;
  arr = (dir == kInput ? inChannels_ : outChannels_) == 1 ? kMono : kStereo;
  return kResultOk;
}

tresult V3CALL Vst3Effect::canProcessSampleSize(int32 size) { return size == kSample32 ? kResultTrue : kResultFalse; }

tresult V3CALL Vst3Effect::setupProcessing(ProcessSetup& setup) {
  if (!record_ || active_ || setup.symbolicSampleSize != kSample32) return kResultFalse;
  // The effect itself replaces a rate it cannot run at; it is handed on
  // as given, as a VST 2.4 host would (one no float holds as 0).
  sampleRate_ = setup.sampleRate > 0.0 && setup.sampleRate < 1e7 ? setup.sampleRate : 0.0;
  maxBlock_ = setup.maxSamplesPerBlock;
  dispatch(effSetSampleRate, 0, 0, nullptr, (float)sampleRate_);
  dispatch(effSetBlockSize, 0, maxBlock_);
  return kResultOk;
}

tresult V3CALL Vst3Effect::setProcessing(TBool state) {
  if (!record_) return kNotInitialized;
  dispatch(state ? effStartProcess : effStopProcess);
  return kResultOk;
}

void Vst3Effect::run(float** in, float** out, bool haveInput, int32 offset, int32 frames) {
  float* ins[2] = {in[0] + offset, in[1] + offset};
  float* outs[2] = {out[0] + offset, out[1] + offset};
  record_->processReplacing(record_, haveInput ? ins : nullptr, outs, frames);
}

// The host's parameter points, applied at their sample offsets: the block
// is processed in pieces between them, so a change lands on the sample it
// names (the trim glide starts there, as under a VST 2.4 host that split
// its block at that point). No allocation: up to kMaxQueues parameters are
// followed point by point, any further one takes its last value at once.
void Vst3Effect::applyChanges(IParameterChanges* changes, int32 frames, float** in, float** out, bool haveInput) {
  constexpr int kMaxQueues = 64;
  IParamValueQueue* queues[kMaxQueues];
  ParamID ids[kMaxQueues];
  int32 counts[kMaxQueues], cursors[kMaxQueues];
  int used = 0;
  const int32 queueCount = changes ? changes->getParameterCount() : 0;
  for (int32 i = 0; i < queueCount; ++i) {
    IParamValueQueue* q = changes->getParameterData(i);
    if (!q) continue;
    const ParamID id = q->getParameterId();
    const int32 points = q->getPointCount();
    if (!isOurs(id) || points <= 0) continue;
    if (used < kMaxQueues) {
      queues[used] = q;
      ids[used] = id;
      counts[used] = points;
      cursors[used] = 0;
      ++used;
    } else {
      int32 offset = 0;
      ParamValue v = 0;
      if (q->getPoint(points - 1, offset, v) == kResultOk) record_->setParameter(record_, (VstInt32)id, toValue(v));
    }
  }
  int32 pos = 0;
  for (;;) {
    int best = -1;
    int32 bestOffset = INT32_MAX;
    ParamValue bestValue = 0;
    for (int k = 0; k < used; ++k) {
      while (cursors[k] < counts[k]) {
        int32 offset = 0;
        ParamValue v = 0;
        if (queues[k]->getPoint(cursors[k], offset, v) == kResultOk) {
          if (offset < bestOffset) {
            best = k;
            bestOffset = offset;
            bestValue = v;
          }
          break;
        }
        ++cursors[k];  // a point the host cannot give is skipped
      }
    }
    if (best < 0) break;
    // A point before the piece done already (out of order, negative) takes
    // effect now; one past the block's end at its end.
    const int32 at = bestOffset < pos ? pos : (bestOffset > frames ? frames : bestOffset);
    if (at > pos) {
      run(in, out, haveInput, pos, at - pos);
      pos = at;
    }
    record_->setParameter(record_, (VstInt32)ids[best], toValue(bestValue));
    ++cursors[best];
  }
  if (pos < frames) run(in, out, haveInput, pos, frames - pos);
}

tresult V3CALL Vst3Effect::process(ProcessData& data) {
  if (!record_) return kNotInitialized;
  if (data.symbolicSampleSize != kSample32) return kInvalidArgument;
  float* in[2] = {nullptr, nullptr};
  float* out[2] = {nullptr, nullptr};
  const AudioBusBuffers* ob = data.numOutputs > 0 ? data.outputs : nullptr;
  if (ob && ob->numChannels > 0 && ob->channelBuffers32 && ob->channelBuffers32[0]) {
    out[0] = ob->channelBuffers32[0];
    out[1] = ob->numChannels > 1 && ob->channelBuffers32[1] ? ob->channelBuffers32[1] : out[0];
    data.outputs[0].silenceFlags = 0;
  }
  const AudioBusBuffers* ib = data.numInputs > 0 ? data.inputs : nullptr;
  if (ib && ib->numChannels > 0 && ib->channelBuffers32 && ib->channelBuffers32[0]) {
    in[0] = ib->channelBuffers32[0];
    in[1] = ib->numChannels > 1 && ib->channelBuffers32[1] ? ib->channelBuffers32[1] : in[0];
  }
  // Without audio (a host flushing parameters) the changes still apply.
  const int32 frames = out[0] && data.numSamples > 0 ? data.numSamples : 0;
  applyChanges(data.inputParameterChanges, frames, in, out, in[0] != nullptr);
  return kResultOk;
}

// ---------------------------------------------------------------- controller

tresult V3CALL Vst3Effect::getParameterInfo(int32 index, v3::ParameterInfo& info) {
  if (!record_ || !isOurs((ParamID)index)) return kInvalidArgument;
  std::memset(&info, 0, sizeof(info));
  char text[kTextBytes] = {0};
  info.id = (ParamID)index;
  dispatch(effGetParamName, index, 0, text);
  toUtf16(text, info.title, 128);
  VstParameterProperties properties{};
  if (dispatch(effGetParameterProperties, index, 0, &properties)) toUtf16(properties.shortLabel, info.shortTitle, 128);
  std::memset(text, 0, sizeof(text));
  dispatch(effGetParamLabel, index, 0, text);
  toUtf16(text, info.units, 128);
  const orvane::ParameterInfo& p = parameterInfo(index);
  info.stepCount = p.states > 1 ? p.states - 1 : 0;
  info.defaultNormalizedValue = p.defaultValue;
  info.unitId = 0;  // the root unit
  info.flags = (dispatch(effCanBeAutomated, index) ? v3::ParameterInfo::kCanAutomate : 0) |
               (p.states > 1 ? v3::ParameterInfo::kIsList : 0);
  return kResultOk;
}

tresult V3CALL Vst3Effect::getParamStringByValue(ParamID id, ParamValue value, String128 string) {
  if (!effect_ || !isOurs(id) || !string || std::isnan(value)) return kInvalidArgument;
  char text[kTextBytes] = {0};
  effect_->displayFor((VstInt32)id, toValue(value), text);
  toUtf16(text, string, 128);
  return kResultOk;
}

tresult V3CALL Vst3Effect::getParamValueByString(ParamID id, TChar* string, ParamValue& value) {
  if (!effect_ || !isOurs(id) || !string) return kInvalidArgument;
  char typed[kTextBytes];
  fromUtf16(string, typed, kTextBytes);
  if (id == (ParamID)kTrim) {
    // What the trim field of the editor takes, read the same way.
    float v = 0;
    if (!CZELMeterFULLPANEL::trimFromText(typed, v)) return kResultFalse;
    value = v;
    return kResultOk;
  }
  // A switch: one of its own display texts.
  const int states = parameterInfo((int32_t)id).states;
  for (int s = 0; s < states; ++s) {
    const float v = (float)s / (float)(states - 1);
    char shown[kTextBytes] = {0};
    effect_->displayFor((VstInt32)id, v, shown);
    if (std::strcmp(shown, typed) == 0) {
      value = v;
      return kResultOk;
    }
  }
  return kResultFalse;
}

// A switch's plain value counts its states; everything else is its own
// normalised value.
ParamValue V3CALL Vst3Effect::normalizedParamToPlain(ParamID id, ParamValue value) {
  if (!isOurs(id)) return value;
  const int steps = parameterInfo((int32_t)id).states - 1;
  return steps > 0 ? std::floor(value * steps + 0.5) : value;
}

ParamValue V3CALL Vst3Effect::plainParamToNormalized(ParamID id, ParamValue plain) {
  if (!isOurs(id)) return plain;
  const int steps = parameterInfo((int32_t)id).states - 1;
  return steps > 0 ? plain / steps : plain;
}

ParamValue V3CALL Vst3Effect::getParamNormalized(ParamID id) {
  return record_ && isOurs(id) ? record_->getParameter(record_, (VstInt32)id) : 0.0;
}

tresult V3CALL Vst3Effect::setParamNormalized(ParamID id, ParamValue value) {
  if (!record_ || !isOurs(id)) return kInvalidArgument;
  record_->setParameter(record_, (VstInt32)id, toValue(value));  // NaN ignored and range clamped there
  return kResultOk;
}

tresult V3CALL Vst3Effect::setComponentHandler(IComponentHandler* handler) {
  if (handler) handler->addRef();
  IComponentHandler* old = handler_.exchange(handler);
  if (old) old->release();
  return kResultOk;
}

IPlugView* V3CALL Vst3Effect::createView(FIDString name) {
  if (!effect_ || !effect_->getEditor() || !name || std::strcmp(name, kEditorViewName) != 0 || view_) return nullptr;
  return new (std::nothrow) Vst3View(static_cast<IComponent*>(this), record_, &view_);
}

}  // namespace orvane
