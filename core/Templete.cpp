#include "core/Templete.h"

#include "meters/NumberFormat.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

using namespace orvane;

namespace {

EditorFactory gEditorFactory = nullptr;

constexpr char kEffectName[] = "ZEL Orvane";
constexpr char kVendor[] = "zelcraft.example";
// Host buffers for names and display texts: we never write more than this.
constexpr int kTextBytes = 24;

float clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

bool isMeterSetting(VstInt32 index) { return meterSettingSlot(index) >= 0; }

}  // namespace

void Templete::setEditorFactory(EditorFactory factory) { gEditorFactory = factory; }

Templete::Templete(audioMasterCallback audioMaster, SharedSettings& shared)
    : CPresetSystemEffect(audioMaster, 1, kParameterSlots), shared_(shared) {
  // The whole construction runs under the lock, as every later block and
  // filter change will.
  ProcessingLockGuard guard(processingLock);

  setNumInputs(2);
  setNumOutputs(2);
  setUniqueID(vstFourCC('Z', 'O', 'm', '3'));
  setInitialDelay(0);
  setFlag(effFlagsCanReplacing | effFlagsProgramChunks, true);
  sampleRate = 44100.0f;

  chunk_.reset(new unsigned char[StateChunk::kSize]());
  engines_.reset(new MeterEngines(this, shared_));
  filterBank_.reset(new StripFilterBank());

  for (int i = 0; i < kHostParameterCount; ++i) values_[i].store(parameterInfo(i).defaultValue);
  // A new instance starts with the scope and meter type chosen last by any
  // instance in the process.
  values_[kGSIcal].store(shared_.defaultScope() * 0.5f);
  values_[kMeter].store(shared_.lastMeterType() * 0.5f);
  meterType_.store(threeState(values_[kMeter].load()));
  trimGainTarget_.store(trimGain(values_[kTrim].load()));
  for (int slot = 0; slot < kMeterSettingCount; ++slot)
    settingsMirror_[slot].store(engines_->getSetting(meterSettingBySlot(slot).index), std::memory_order_relaxed);
  std::snprintf(label_, sizeof(label_), "%s", "Master Track");

  // An editor that cannot be made (memory runs out while it builds) leaves
  // an instance without one, as a host expects, rather than no instance.
  if (gEditorFactory) {
    try {
      setEditor(gEditorFactory(this));
    } catch (...) {
      setEditor(nullptr);
    }
  }

  suspend();
  resume();
  suspend();
}

Templete::~Templete() {
  filterBank_.reset();
  engines_.reset();
  chunk_.reset();
  // The editor goes last: it may still look at the effect while it closes.
  AEffEditor* e = editor;
  editor = nullptr;
  delete e;
}

// ---------------------------------------------------------------- audio path

float Templete::processingRate() const {
  float sr = sampleRate;
  if (!(sr >= 20000.0f && sr <= 200000.0f)) sr = 44100.0f;
  return sr;
}

void Templete::resume() {
  float sr = processingRate();
  trimGainCurrent_ = trimGainTarget_.load(std::memory_order_relaxed);  // no glide across a resume
  trimGlide_ = 0.0005f * 44100.0f / sr;
  filterBank_->setSampleRate(sr);
  filterBank_->recompute();
  engines_->prepare(sr);
  outputLatencySeconds_.store(getOutputLatency() / (double)sr, std::memory_order_relaxed);
}

void Templete::suspend() {
  trimGainCurrent_ = trimGainTarget_.load(std::memory_order_relaxed);
  filterBank_->clear();
  engines_->clearReadings();
}

// One step of the trim glide. The mix of single and double precision is
// deliberate: adding and removing 1e-14 in double flushes a gain that would
// otherwise creep into denormal range as it settles.
inline float Templete::trimStep(float target) {
  const float k = trimGlide_;
  float c = trimGainCurrent_;
  c = (float)((double)((target - c) * k + c) + 1e-14);
  c = (float)((double)c - 1e-14);
  trimGainCurrent_ = c;
  return c;
}

float* Templete::rightOutput(float** outputs) {
  float* right = outputs[1];
  if (right && right != outputs[0] && stereoOutAllowed_.load(std::memory_order_relaxed) && isOutputConnected(1))
    return right;
  return outputs[0];
}

void Templete::processReplacing(float** inputs, float** outputs, VstInt32 frames) {
  if (frames <= 0 || !outputs || !outputs[0]) return;
  ProcessingLockGuard guard(processingLock);
  if (!inputs || !inputs[0]) {
    // No input at all: the plug-in's output is silence, never stale memory.
    std::memset(outputs[0], 0, sizeof(float) * (size_t)frames);
    float* right = rightOutput(outputs);
    if (right != outputs[0]) std::memset(right, 0, sizeof(float) * (size_t)frames);
    return;
  }
  if (inputs[1] && inputs[1] != inputs[0] && stereoInAllowed_.load(std::memory_order_relaxed) &&
      isInputConnected(1))
    stereoPath(inputs, outputs, frames);
  else
    monoPath(inputs, outputs, frames);
}

namespace {

bool overlaps(const float* a, const float* b, VstInt32 n) {
  const uintptr_t x = (uintptr_t)a, y = (uintptr_t)b, bytes = (uintptr_t)n * sizeof(float);
  return x < y + bytes && y < x + bytes;
}

// out = g * in over buffers that are either the same or apart.
void scale(const float* in, float* out, float g, VstInt32 n) {
  if (in == out) {
    for (VstInt32 i = 0; i < n; ++i) out[i] *= g;
  } else {
    const float* __restrict src = in;
    float* __restrict dst = out;
    for (VstInt32 i = 0; i < n; ++i) dst[i] = g * src[i];
  }
}

void copy(const float* in, float* out, VstInt32 n) {
  if (in != out) std::memcpy(out, in, sizeof(float) * (size_t)n);
}

}  // namespace

// Runs the glide over the first samples of a block, as long as the gain is
// still moving, writing gain x input to both outputs; answers how many
// samples it did. The glide is a deterministic step of the current gain:
// once a step leaves the gain unchanged, every later step would too, so the
// rest of the block takes that gain as a constant, bit for bit the same as
// stepping on.
VstInt32 Templete::glide(const float* inL, const float* inR, float* outL, float* outR, VstInt32 frames) {
  const float target = trimGainTarget_.load(std::memory_order_relaxed);
  VstInt32 i = 0;
  while (i < frames) {
    const float before = trimGainCurrent_;
    const float g = trimStep(target);
    const float l = inL[i], r = inR[i];
    outL[i] = g * l;
    outR[i] = g * r;
    ++i;
    if (g == before) break;
  }
  return i;
}

// The output buffers may be the inputs themselves (in-place hosts), or even
// crossed. Where every output is its own input or apart from all others, the
// channels are copied or scaled one after the other; otherwise frame by
// frame, reading both inputs before writing.
void Templete::stereoPath(float** inputs, float** outputs, VstInt32 frames) {
  const float* inL = inputs[0];
  const float* inR = inputs[1];
  float* outL = outputs[0];
  float* outR = rightOutput(outputs);
  const bool process = processOn_.load(std::memory_order_relaxed) != 0;
  VstInt32 done = process ? glide(inL, inR, outL, outR, frames) : 0;
  const VstInt32 n = frames - done;
  if (n > 0) {
    const float *l = inL + done, *r = inR + done;
    float *ol = outL + done, *orr = outR + done;
    const bool channelWise = (ol == l || !overlaps(ol, l, n)) && !overlaps(ol, r, n) && !overlaps(orr, l, n) &&
                             (orr == r || !overlaps(orr, r, n)) && !overlaps(ol, orr, n);
    const float g = trimGainCurrent_;
    if (channelWise && process) {
      scale(l, ol, g, n);
      scale(r, orr, g, n);
    } else if (channelWise) {
      copy(l, ol, n);
      copy(r, orr, n);
    } else {
      for (VstInt32 i = 0; i < n; ++i) {
        const float a = l[i], b = r[i];
        ol[i] = process ? g * a : a;
        orr[i] = process ? g * b : b;
      }
    }
  }
  if (process && procFltOn_.load(std::memory_order_relaxed)) filterBank_->processStereo(outL, outR, frames);
  publishTimes(frames);
  feedEngine(outL, outR, frames, false);
}

void Templete::monoPath(float** inputs, float** outputs, VstInt32 frames) {
  const float* in = inputs[0];
  float* outL = outputs[0];
  float* outR = rightOutput(outputs);
  const bool rightUsable = outR != outL;
  const bool process = processOn_.load(std::memory_order_relaxed) != 0;
  VstInt32 done = process ? glide(in, in, outL, outR, frames) : 0;
  const VstInt32 n = frames - done;
  if (n > 0) {
    const float* x = in + done;
    float *ol = outL + done, *orr = outR + done;
    const bool apart = (ol == x || !overlaps(ol, x, n)) && (!rightUsable || (!overlaps(orr, x, n) && !overlaps(ol, orr, n)));
    const float g = trimGainCurrent_;
    if (apart) {
      if (process)
        scale(x, ol, g, n);
      else
        copy(x, ol, n);
      if (rightUsable) copy(ol, orr, n);
    } else {
      for (VstInt32 i = 0; i < n; ++i) {
        const float y = process ? g * x[i] : x[i];
        ol[i] = y;
        orr[i] = y;
      }
    }
  }
  if (process && procFltOn_.load(std::memory_order_relaxed))
    filterBank_->processMono(outL, rightUsable ? outR : nullptr, frames);
  publishTimes(frames);
  feedEngine(outL, outR, frames, true);
}

void Templete::publishTimes(VstInt32 frames) {
  if (editor) {
    double ticks = editor->hasFrame() ? (double)editor->frameTickCount() : 0.0;
    frameTickSeconds_.store(ticks * 0.001, std::memory_order_relaxed);
  }
  // The block's duration uses the host's own rate, even one the processing
  // replaced; a host that never gave a usable rate is taken as 44.1 kHz so
  // the display never divides by zero.
  double sr = sampleRate;
  if (!(sr > 0.0) || !std::isfinite(sr)) sr = 44100.0;
  blockSeconds_.store(frames / sr, std::memory_order_relaxed);
}

void Templete::feedEngine(float* left, float* right, VstInt32 frames, bool mono) {
  float* channels[2] = {left, right};
  const int type = meterType_.load(std::memory_order_relaxed);
  if (mono)
    engines_->processMono(type, channels, frames);
  else
    engines_->processStereo(type, channels, frames);
}

// ---------------------------------------------------------------- parameters

void Templete::setParameter(VstInt32 index, float value) {
  if (std::isnan(value)) return;  // a NaN is never stored or passed on
  const float v = clamp01(value);
  if (isHostParameter(index)) {
    switch (index) {
      case kProcess: {
        // The filters' state and coefficients change here: never inside a
        // block the audio thread is processing.
        ProcessingLockGuard guard(processingLock);
        values_[index].store(v);
        processOn_.store(twoState(v));
        if (twoState(v))
          filterBank_->recompute();
        else
          filterBank_->clear();
        break;
      }
      case kTrim:
        values_[index].store(v);
        trimGainTarget_.store(trimGain(v), std::memory_order_relaxed);
        break;
      case kGSIcal:
        values_[index].store(v);
        shared_.setDefaultScope(threeState(v));
        engines_->setScope(v);
        break;
      case kMeter:
        values_[index].store(v);
        meterType_.store(threeState(v), std::memory_order_relaxed);
        shared_.setLastMeterType(threeState(v));
        break;
      case kLRMS:
        values_[index].store(v);
        engines_->setMsMode(v);
        break;
      case kHold:
        values_[index].store(v);
        engines_->setHoldMode(v);
        break;
      case kProcFlt: {
        ProcessingLockGuard guard(processingLock);
        values_[index].store(v);
        procFltOn_.store(twoState(v), std::memory_order_relaxed);
        if (twoState(v))
          filterBank_->recompute();
        else
          filterBank_->clear();
        break;
      }
      case kHPStat:
      case kHPSlope:
      case kHPFreq:
      case kLPStat:
      case kLPSlope:
      case kLPFreq: {
        // Filter coefficients never change inside a processed block.
        ProcessingLockGuard guard(processingLock);
        values_[index].store(v);
        switch (index) {
          case kHPStat: filterBank_->setHPStat(v); break;
          case kHPSlope: filterBank_->setHPSlope(v); break;
          case kHPFreq: filterBank_->setHPFreq(v); break;
          case kLPStat: filterBank_->setLPStat(v); break;
          case kLPSlope: filterBank_->setLPSlope(v); break;
          default: filterBank_->setLPFreq(v); break;
        }
        break;
      }
      case kLagTime:
        values_[index].store(v);
        engines_->setLagTime(v);
        break;
      default:  // Strips, ShowFlt, ShowLbl: the editor's layout alone
        values_[index].store(v);
        break;
    }
  } else if (index == kCommandSaveGlobal) {
    engines_->saveGlobalSettings();
  } else if (index == kCommandResetOvers) {
    engines_->resetOvers();
  } else if (isMeterSetting(index)) {
    settingsMirror_[meterSettingSlot(index)].store(v, std::memory_order_relaxed);
    engines_->setSetting(index, v);
  } else if (index != kNotifyLabelChanged) {
    return;  // no such parameter: nothing to tell the editor either
  }
  if (editor) editor->setParameter(index, v);
}

float Templete::getParameter(VstInt32 index) {
  if (isHostParameter(index)) return values_[index].load();
  if (isParameterSlot(index)) return 0.5f;  // the empty host slots
  int slot = meterSettingSlot(index);
  if (slot >= 0) return settingsMirror_[slot].load(std::memory_order_relaxed);
  return 0.0f;
}

void Templete::getParameterName(VstInt32 index, char* text) {
  copyText(text, isHostParameter(index) ? parameterInfo(index).name : "", kTextBytes);
}

void Templete::getParameterLabel(VstInt32 index, char* label) {
  copyText(label, isParameterSlot(index) ? "  " : "", kTextBytes);
}

void Templete::getParameterDisplay(VstInt32 index, char* text) {
  if (!text) return;
  if (!isHostParameter(index)) {
    copyText(text, "", kTextBytes);
    return;
  }
  displayFor(index, values_[index].load(), text);
}

void Templete::displayFor(VstInt32 index, float v, char* text) {
  if (!text) return;
  if (!isHostParameter(index) || std::isnan(v)) {
    copyText(text, "", kTextBytes);
    return;
  }
  v = clamp01(v);
  static const char* const kOnOff[] = {"Off", "On"};
  static const char* const kInOut[] = {"Out", "In"};
  static const char* const kShowHide[] = {"Hide", "Show"};
  static const char* const kScope[] = {"Global", "Session", "Instance"};
  static const char* const kMeterNames[] = {"VU3", "RMS3", "PPM3"};
  static const char* const kLrMs[] = {"LR", "MS"};
  static const char* const kHoldNames[] = {"Off", "oo", "On"};
  static const char* const kHPSlopes[] = {"12", "24"};
  static const char* const kLPSlopes[] = {"6", "18"};

  const int two = twoState(v) ? 1 : 0;
  int three = threeState(v);
  if (three > 2) three = 2;
  char buffer[32] = {0};
  switch (parameterInfo(index).text) {
    case ParameterText::OnOff: copyText(buffer, kOnOff[two], sizeof(buffer)); break;
    case ParameterText::InOut: copyText(buffer, kInOut[two], sizeof(buffer)); break;
    case ParameterText::ShowHide: copyText(buffer, kShowHide[two], sizeof(buffer)); break;
    case ParameterText::Scope: copyText(buffer, kScope[three], sizeof(buffer)); break;
    case ParameterText::Meter: copyText(buffer, kMeterNames[three], sizeof(buffer)); break;
    case ParameterText::LrMs: copyText(buffer, kLrMs[two], sizeof(buffer)); break;
    case ParameterText::Hold: copyText(buffer, kHoldNames[three], sizeof(buffer)); break;
    case ParameterText::HPSlope: copyText(buffer, kHPSlopes[two], sizeof(buffer)); break;
    case ParameterText::LPSlope: copyText(buffer, kLPSlopes[two], sizeof(buffer)); break;
    case ParameterText::TrimDb:
      formatNumberWithUnit(trimDecibels(v), 1, "dB", buffer, sizeof(buffer));
      break;
    case ParameterText::HPFreq: formatFrequency(hpFrequency(v), buffer); break;
    case ParameterText::LPFreq: formatFrequency(lpFrequency(v), buffer); break;
    case ParameterText::LagMs:
      // The value in force shows the lag the engine on show really uses;
      // any other value the lag it would set.
      formatNumberWithUnit(v == values_[index].load() ? engines_->lagMs(meterType()) : lagMilliseconds(v), 0,
                           " ms", buffer, sizeof(buffer));
      break;
  }
  copyText(text, buffer, kTextBytes);
}

bool Templete::canParameterBeAutomated(VstInt32 index) { return isHostParameter(index); }

bool Templete::getParameterProperties(VstInt32 index, VstParameterProperties* p) {
  if (!p || !isHostParameter(index)) return false;
  const ParameterInfo& info = parameterInfo(index);
  p->stepFloat = info.step;
  p->smallStepFloat = info.smallStep;
  p->largeStepFloat = info.largeStep;
  p->flags = info.flags;
  copyText(p->label, info.name, kVstMaxLabelLen);
  copyText(p->shortLabel, info.name, kVstMaxShortLabelLen);  // its first seven characters
  return true;
}

// ---------------------------------------------------------------- chunk

void Templete::setLabelText(const char* text) { copyText(label_, text ? text : "", kLabelBytes); }

VstInt32 Templete::getChunk(void** data, bool) {
  if (!data) return 0;
  // In a shared scope another instance may have changed a setting of a
  // meter this one does not show, whose engine no panel has brought up to
  // date: take the store's values first, or the project would carry the
  // old ones and, reloaded, put them back into the store over the new.
  engines_->syncSharedSettings();
  float parameters[StateChunk::kParameterCount];
  for (int i = 0; i < StateChunk::kParameterCount; ++i) parameters[i] = getParameter(i);
  float settings[kMeterSettingCount];
  for (int slot = 0; slot < kMeterSettingCount; ++slot) settings[slot] = getParameter(meterSettingBySlot(slot).index);
  StateChunk::write(chunk_.get(), label_, parameters, settings);
  *data = chunk_.get();
  return StateChunk::kSize;
}

VstInt32 Templete::setChunk(void* data, VstInt32 byteSize, bool) {
  // Nothing to restore from: the instance keeps its state rather than being
  // wiped to zeros.
  if (!data || byteSize <= 0) return 0;
  unsigned char* buffer = chunk_.get();
  // The host may hand back the very buffer getChunk gave it.
  if (data != buffer) StateChunk::load(buffer, data, byteSize);
  else if (byteSize < StateChunk::kSize) std::memset(buffer + byteSize, 0, StateChunk::kSize - byteSize);
  StateChunk::label(buffer, label_);
  setParameter(kNotifyLabelChanged, 0.0f);
  for (int i = 0; i < StateChunk::kParameterCount; ++i) setParameter(i, StateChunk::parameter(buffer, i));
  // In scope Global the registry-backed Global store stays in force.
  const int scope = threeState(values_[kGSIcal].load());
  if (scope == kScopeSession || scope == kScopeInstance) {
    for (int slot = 0; slot < kMeterSettingCount; ++slot)
      setParameter(meterSettingBySlot(slot).index, StateChunk::setting(buffer, slot));
  }
  return 0;
}

// ---------------------------------------------------------------- host queries

namespace {

bool pinProperties(VstInt32 index, VstPinProperties* p, const char* format) {
  // Only pins 0 and 1 exist; a negative index is refused rather than named.
  if (!p || index < 0 || index > 1) return false;
  std::snprintf(p->label, sizeof(p->label), format, (int)(index + 1));
  p->flags = kVstPinIsActive | kVstPinIsStereo;
  return true;
}

int channelCount(const VstSpeakerArrangement* a) { return a ? a->numChannels : -1; }

}  // namespace

bool Templete::getInputProperties(VstInt32 index, VstPinProperties* p) {
  return pinProperties(index, p, "ZEL Orvane %1d In");
}

bool Templete::getOutputProperties(VstInt32 index, VstPinProperties* p) {
  return pinProperties(index, p, "ZEL Orvane %1d Out");
}

bool Templete::setSpeakerArrangement(VstSpeakerArrangement* input, VstSpeakerArrangement* output) {
  const int in = channelCount(input), out = channelCount(output);
  bool stereoIn = true, stereoOut = true, accepted = false;
  if (in == 1 && out == 1) {
    stereoIn = stereoOut = false;
    accepted = true;
  } else if (in == 1 && out == 2) {
    stereoIn = false;
    accepted = true;
  } else if (in == 2 && out == 2) {
    accepted = true;
  }
  stereoInAllowed_.store(stereoIn);
  stereoOutAllowed_.store(stereoOut);
  return accepted;
}

bool Templete::getEffectName(char* name) {
  copyText(name, kEffectName, kVstMaxEffectNameLen);
  return true;
}

bool Templete::getVendorString(char* text) {
  copyText(text, kVendor, kVstMaxVendorStrLen);
  return true;
}

bool Templete::getProductString(char* text) {
  copyText(text, kEffectName, kVstMaxProductStrLen);
  return true;
}

// The build passes the project's version (core/CMakeLists.txt), so the one
// definition in the root CMakeLists.txt is what the host and the back panels
// show.
#ifndef ORVANE_VENDOR_VERSION
#error "ORVANE_VENDOR_VERSION comes from the project's version in CMakeLists.txt"
#endif
VstInt32 Templete::getVendorVersion() { return ORVANE_VENDOR_VERSION; }

VstIntPtr Templete::vendorSpecific(VstInt32 index, VstIntPtr value, void*, float opt) {
  constexpr VstInt32 kScaleRequest = 0x50726553;  // 'PreS'
  constexpr VstIntPtr kScaleFactor = 0x41654373;  // 'AeCs'
  if (index != kScaleRequest || value != kScaleFactor || !editor) return 0;
  // The editor refuses what no screen has (zero, negative, NaN, above 4).
  return editor->setSystemScale(opt) ? 1 : 0;
}

VstInt32 Templete::canDo(char* text) {
  static const char* const kCanDo[] = {"offline", "plugAsChannelInsert", "1in1out", "1in2out", "2in2out"};
  if (!text) return 0;
  for (const char* candidate : kCanDo) {
    // Byte for byte, the terminating zero included; never reads the host's
    // text beyond the candidate's length.
    size_t i = 0;
    while (candidate[i] && text[i] == candidate[i]) ++i;
    if (candidate[i] == 0 && text[i] == 0) return 1;
  }
  return 0;
}
