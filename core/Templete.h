// The ZEL Orvane effect: parameters, the audio path (trim, filters, metering),
// host queries and the project chunk.
#pragma once

#include <atomic>
#include <memory>

#include "core/CPresetSystemEffect.h"
#include "core/MeterEngines.h"
#include "core/Parameters.h"
#include "core/StripFilterBank.h"
#include "platform/ProcessingLock.h"
#include "settings/SharedSettings.h"
#include "state/StateChunk.h"

class Templete;

// Makes the effect's editor. The plug-in binary installs the factory of its
// window; a build without one (unit tests, the offline tool) runs with no
// editor, as a host would see an instance whose editor failed to allocate.
using EditorFactory = AEffEditor* (*)(Templete* effect);

class Templete : public CPresetSystemEffect, public orvane::MeterSettingsOwner {
 public:
  static constexpr int kLabelBytes = orvane::StateChunk::kLabelBytes;

  Templete(audioMasterCallback audioMaster, orvane::SharedSettings& shared);
  ~Templete() override;

  static void setEditorFactory(EditorFactory factory);

  // Audio path.
  void suspend() override;
  void resume() override;
  void processReplacing(float** inputs, float** outputs, VstInt32 frames) override;

  // Parameters.
  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 index) override;
  void getParameterLabel(VstInt32 index, char* label) override;
  void getParameterDisplay(VstInt32 index, char* text) override;
  // The display text a host parameter would show at value `v` (within
  // 0..1), without setting it: for hosts that ask about any value.
  void displayFor(VstInt32 index, float v, char* text);
  void getParameterName(VstInt32 index, char* text) override;
  bool canParameterBeAutomated(VstInt32 index) override;
  bool getParameterProperties(VstInt32 index, VstParameterProperties* properties) override;

  // Project chunk.
  VstInt32 getChunk(void** data, bool isPreset = false) override;
  VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset = false) override;

  // Host queries.
  bool getInputProperties(VstInt32 index, VstPinProperties* properties) override;
  bool getOutputProperties(VstInt32 index, VstPinProperties* properties) override;
  bool setSpeakerArrangement(VstSpeakerArrangement* input, VstSpeakerArrangement* output) override;
  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;
  VstInt32 getVendorVersion() override;
  VstInt32 canDo(char* text) override;
  // The one vendor-specific request answered: the host's screen scale
  // ('PreS', 'AeCs', the factor in opt), handed to the editor.
  VstIntPtr vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) override;
  VstPlugCategory getPlugCategory() override { return kPlugCategMastering; }

  // Engines re-apply their settings through the effect's own parameter path.
  void applyMeterSetting(int32_t index, float value) override { setParameter(index, value); }

  // What the editor and the offline tool read.
  const char* labelText() const { return label_; }
  void setLabelText(const char* text);
  int meterType() const { return meterType_.load(std::memory_order_relaxed); }
  double blockSeconds() const { return blockSeconds_.load(std::memory_order_relaxed); }
  double frameTickSeconds() const { return frameTickSeconds_.load(std::memory_order_relaxed); }
  double outputLatencySeconds() const { return outputLatencySeconds_.load(std::memory_order_relaxed); }
  orvane::MeterEngines& engines() { return *engines_; }
  orvane::StripFilterBank& filterBank() { return *filterBank_; }
  orvane::SharedSettings& sharedSettings() { return shared_; }
  float trimGainCurrent() const { return trimGainCurrent_; }
  float trimGainTarget() const { return trimGainTarget_.load(std::memory_order_relaxed); }
  bool stereoInAllowed() const { return stereoInAllowed_.load(std::memory_order_relaxed); }
  bool stereoOutAllowed() const { return stereoOutAllowed_.load(std::memory_order_relaxed); }

 private:
  // The sample rate the processing runs at: the host's, or 44.1 kHz for a
  // rate outside 20 kHz .. 200 kHz.
  float processingRate() const;
  float trimStep(float target);
  VstInt32 glide(const float* inL, const float* inR, float* outL, float* outR, VstInt32 frames);
  void stereoPath(float** inputs, float** outputs, VstInt32 frames);
  void monoPath(float** inputs, float** outputs, VstInt32 frames);
  float* rightOutput(float** outputs);
  void publishTimes(VstInt32 frames);
  void feedEngine(float* left, float* right, VstInt32 frames, bool mono);

  orvane::SharedSettings& shared_;
  orvane::ProcessingLock processingLock;
  std::unique_ptr<unsigned char[]> chunk_;
  std::unique_ptr<orvane::MeterEngines> engines_;
  std::unique_ptr<orvane::StripFilterBank> filterBank_;

  // Host parameters 0..16: the normalised value last set. The audio thread
  // reads Process, ProcFlt, the trim target and the meter type; they are
  // written whole as atomics.
  std::atomic<float> values_[orvane::kHostParameterCount];
  std::atomic<int> processOn_{0};
  std::atomic<int> procFltOn_{0};
  std::atomic<int> meterType_{0};
  std::atomic<float> trimGainTarget_{1.0f};
  std::atomic<float> settingsMirror_[orvane::kMeterSettingCount];  // read by any thread

  // Audio thread only.
  float trimGainCurrent_ = 1.0f;
  float trimGlide_ = 0.0005f;

  std::atomic<bool> stereoInAllowed_{true};
  std::atomic<bool> stereoOutAllowed_{true};
  std::atomic<double> blockSeconds_{256.0};
  std::atomic<double> frameTickSeconds_{0.0};
  std::atomic<double> outputLatencySeconds_{0.0};

  char label_[kLabelBytes];
};
