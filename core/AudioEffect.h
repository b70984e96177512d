// The VST 2.4 base layer of the effect: owns the AEffect record that the host
// sees, turns the host's C calls into virtual calls on the object, and
// answers the basic dispatcher opcodes (0 to 24).
#pragma once

#include "core/AEffEditor.h"
#include "core/vst2abi.h"

class AudioEffect {
 public:
  AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
  virtual ~AudioEffect();
  AudioEffect(const AudioEffect&) = delete;
  AudioEffect& operator=(const AudioEffect&) = delete;

  virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

  // The operations of the published interface, in its order.
  virtual void open() {}
  virtual void close() {}
  virtual void setProgram(VstInt32 program) { curProgram = program; }
  virtual VstInt32 getProgram() { return curProgram; }
  virtual void setProgramName(char*) {}
  virtual void getProgramName(char* name) {
    if (name) *name = 0;
  }
  virtual void getParameterLabel(VstInt32, char* label) {
    if (label) *label = 0;
  }
  virtual void getParameterDisplay(VstInt32, char* text) {
    if (text) *text = 0;
  }
  virtual void getParameterName(VstInt32, char* text) {
    if (text) *text = 0;
  }
  virtual VstInt32 getChunk(void** data, bool isPreset = false);
  virtual VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset = false);
  virtual void setParameter(VstInt32, float) {}
  virtual float getParameter(VstInt32) { return 0; }
  virtual void setParameterAutomated(VstInt32 index, float value);
  virtual void setSampleRate(float rate) { sampleRate = rate; }
  virtual void setBlockSize(VstInt32 size) { blockSize = size; }
  virtual void suspend() {}
  virtual void resume() {}
  virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
  virtual void processDoubleReplacing(double**, double**, VstInt32) {}
  // The accumulating process call of older hosts: this effect only replaces.
  virtual void process(float**, float**, VstInt32) {}

  float getSampleRate() const { return sampleRate; }
  VstInt32 getBlockSize() const { return blockSize; }
  AEffect* getAeffect() { return &cEffect; }
  AEffEditor* getEditor() const { return editor; }
  void setEditor(AEffEditor* newEditor);

  // Calls the host; 0 when there is no host callback.
  VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0) const;

  static AudioEffect* fromAeffect(AEffect* e) { return e ? static_cast<AudioEffect*>(e->object) : nullptr; }

  // Instances of the process alive now.
  static int liveInstances();
  // Runs on the host's thread right after the host closed the last instance
  // of the process (effClose): a host may unload the library next, so this
  // is where what the library keeps for all its instances is let go of.
  // Null (the default) runs nothing.
  using LastInstanceClosedHandler = void (*)();
  static void setLastInstanceClosedHandler(LastInstanceClosedHandler handler);

 protected:
  void setNumInputs(VstInt32 n) { cEffect.numInputs = n; }
  void setNumOutputs(VstInt32 n) { cEffect.numOutputs = n; }
  void setUniqueID(VstInt32 id) { cEffect.uniqueID = id; }
  void setInitialDelay(VstInt32 delay) { cEffect.initialDelay = delay; }
  void setFlag(VstInt32 flag, bool on) {
    if (on)
      cEffect.flags |= flag;
    else
      cEffect.flags &= ~flag;
  }
  void programsAreChunks(bool on = true) { setFlag(effFlagsProgramChunks, on); }

  float sampleRate;
  VstInt32 blockSize;
  VstInt32 numPrograms;
  VstInt32 numParams;
  VstInt32 curProgram;
  audioMasterCallback audioMaster;
  AEffEditor* editor;
  AEffect cEffect;
};
