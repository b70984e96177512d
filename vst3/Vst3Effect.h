// One instance of the effect as a VST 3 host sees it: component, audio
// processor and edit controller in one object (hosts ask the component for
// the controller interface when it names no controller class of its own).
// It drives the same effect object as the VST 2.4 entry point does, through
// the effect's own record, so both formats process, store and show alike.
#pragma once

#include <atomic>

#include "core/Templete.h"
#include "vst3/Vst3View.h"
#include "vst3/vst3abi.h"

namespace orvane {

class Vst3Effect final : public v3::IComponent, public v3::IAudioProcessor, public v3::IEditController {
 public:
  // Makes the effect with `factory` (handed the host callback the adapter
  // answers); an instance whose effect could not be made is not valid().
  using EffectFactory = Templete* (*)(audioMasterCallback);
  explicit Vst3Effect(EffectFactory factory);
  bool valid() const { return effect_ != nullptr; }
  Templete* effect() const { return effect_; }

  // FUnknown
  v3::tresult V3CALL queryInterface(const v3::TUID iid, void** obj) override;
  v3::uint32 V3CALL addRef() override;
  v3::uint32 V3CALL release() override;
  // IPluginBase
  v3::tresult V3CALL initialize(v3::FUnknown* context) override;
  v3::tresult V3CALL terminate() override;
  // IComponent
  v3::tresult V3CALL getControllerClassId(v3::TUID classId) override;
  v3::tresult V3CALL setIoMode(v3::int32 mode) override;
  v3::int32 V3CALL getBusCount(v3::int32 type, v3::int32 dir) override;
  v3::tresult V3CALL getBusInfo(v3::int32 type, v3::int32 dir, v3::int32 index, v3::BusInfo& bus) override;
  v3::tresult V3CALL getRoutingInfo(v3::RoutingInfo& inInfo, v3::RoutingInfo& outInfo) override;
  v3::tresult V3CALL activateBus(v3::int32 type, v3::int32 dir, v3::int32 index, v3::TBool state) override;
  v3::tresult V3CALL setActive(v3::TBool state) override;
  // IComponent and IEditController both: the state is the project chunk.
  v3::tresult V3CALL setState(v3::IBStream* state) override;
  v3::tresult V3CALL getState(v3::IBStream* state) override;
  // IAudioProcessor
  v3::tresult V3CALL setBusArrangements(v3::SpeakerArrangement* inputs, v3::int32 numIns,
                                        v3::SpeakerArrangement* outputs, v3::int32 numOuts) override;
  v3::tresult V3CALL getBusArrangement(v3::int32 dir, v3::int32 index, v3::SpeakerArrangement& arr) override;
  v3::tresult V3CALL canProcessSampleSize(v3::int32 symbolicSampleSize) override;
  v3::uint32 V3CALL getLatencySamples() override { return 0; }
  v3::tresult V3CALL setupProcessing(v3::ProcessSetup& setup) override;
  v3::tresult V3CALL setProcessing(v3::TBool state) override;
  v3::tresult V3CALL process(v3::ProcessData& data) override;
  v3::uint32 V3CALL getTailSamples() override { return 0; }
  // IEditController
  v3::tresult V3CALL setComponentState(v3::IBStream* state) override;
  v3::int32 V3CALL getParameterCount() override { return kHostParameterCount; }
  v3::tresult V3CALL getParameterInfo(v3::int32 paramIndex, v3::ParameterInfo& info) override;
  v3::tresult V3CALL getParamStringByValue(v3::ParamID id, v3::ParamValue value, v3::String128 string) override;
  v3::tresult V3CALL getParamValueByString(v3::ParamID id, v3::TChar* string, v3::ParamValue& value) override;
  v3::ParamValue V3CALL normalizedParamToPlain(v3::ParamID id, v3::ParamValue value) override;
  v3::ParamValue V3CALL plainParamToNormalized(v3::ParamID id, v3::ParamValue plain) override;
  v3::ParamValue V3CALL getParamNormalized(v3::ParamID id) override;
  v3::tresult V3CALL setParamNormalized(v3::ParamID id, v3::ParamValue value) override;
  v3::tresult V3CALL setComponentHandler(v3::IComponentHandler* handler) override;
  v3::IPlugView* V3CALL createView(v3::FIDString name) override;

  // The class id hosts know the effect by, the same on every platform.
  static const v3::Uid kClassId;

 private:
  ~Vst3Effect();
  static VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                            void* ptr, float opt);
  VstIntPtr answerHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, float opt);
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0);
  bool applyArrangement(int inChannels, int outChannels);
  void applyChanges(v3::IParameterChanges* changes, v3::int32 frames, float** in, float** out, bool haveInput);
  void run(float** in, float** out, bool haveInput, v3::int32 offset, v3::int32 frames);
  bool readChunk(v3::IBStream* stream, unsigned char* chunk);

  std::atomic<v3::uint32> refs_{1};
  Templete* effect_ = nullptr;
  AEffect* record_ = nullptr;
  std::atomic<v3::IComponentHandler*> handler_{nullptr};
  int inChannels_ = 2, outChannels_ = 2;
  bool active_ = false;
  Vst3View* view_ = nullptr;  // the open view, user-interface thread only
  double sampleRate_ = 44100.0;
  v3::int32 maxBlock_ = 1024;
};

}  // namespace orvane
