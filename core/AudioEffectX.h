// The VST 2.4 extended layer: the dispatcher opcodes from 25 up, and the
// host callbacks the effect relies on.
#pragma once

#include "core/AudioEffect.h"

class AudioEffectX : public AudioEffect {
 public:
  AudioEffectX(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
      : AudioEffect(audioMaster, numPrograms, numParams) {}

  VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

  virtual VstInt32 processEvents(void*) { return 0; }
  virtual bool canParameterBeAutomated(VstInt32) { return false; }
  virtual bool string2parameter(VstInt32, char*) { return false; }
  virtual bool getProgramNameIndexed(VstInt32, VstInt32, char*) { return false; }
  virtual bool getInputProperties(VstInt32, VstPinProperties*) { return false; }
  virtual bool getOutputProperties(VstInt32, VstPinProperties*) { return false; }
  virtual VstPlugCategory getPlugCategory() { return kPlugCategEffect; }
  virtual bool setSpeakerArrangement(VstSpeakerArrangement*, VstSpeakerArrangement*) { return false; }
  virtual bool getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output) {
    if (input) *input = nullptr;
    if (output) *output = nullptr;
    return false;
  }
  virtual bool setBypass(bool) { return false; }
  virtual bool getEffectName(char*) { return false; }
  virtual bool getVendorString(char*) { return false; }
  virtual bool getProductString(char*) { return false; }
  virtual VstInt32 getVendorVersion() { return 0; }
  virtual VstIntPtr vendorSpecific(VstInt32, VstIntPtr, void*, float) { return 0; }
  virtual VstInt32 canDo(char*) { return 0; }
  virtual VstInt32 getGetTailSize() { return 0; }
  virtual bool getParameterProperties(VstInt32, VstParameterProperties*) { return false; }
  virtual VstInt32 getVstVersion() { return 2400; }

  // Host callbacks. The pin queries answer true ("connected") when the host
  // gives no callback or answers 0.
  bool isInputConnected(VstInt32 input) const { return callHost(audioMasterPinConnected, input, 0) == 0; }
  bool isOutputConnected(VstInt32 output) const { return callHost(audioMasterPinConnected, output, 1) == 0; }
  VstInt32 getOutputLatency() const { return (VstInt32)callHost(audioMasterGetOutputLatency); }
  bool sizeWindow(VstInt32 width, VstInt32 height) {
    return callHost(audioMasterSizeWindow, width, height) != 0;
  }
};
