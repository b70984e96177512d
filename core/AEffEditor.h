// What the effect knows of its editor: the window operations the host asks
// for through the dispatcher, and the parameter echo. The editor proper (and
// everything it draws with) lives above the core and reaches the effect only
// through this interface.
#pragma once

#include <cstdint>

#include "core/vst2abi.h"

class AudioEffect;

class AEffEditor {
 public:
  explicit AEffEditor(AudioEffect* effect) : effect(effect) {}
  virtual ~AEffEditor() = default;

  virtual bool getRect(ERect** rect) {
    if (rect) *rect = nullptr;
    return false;
  }
  virtual bool open(void* parentWindow) {
    systemWindow = parentWindow;
    return false;
  }
  virtual void close() { systemWindow = nullptr; }
  virtual bool isOpen() const { return systemWindow != nullptr; }
  virtual void idle() {}
  virtual bool onKeyDown(VstKeyCode&) { return false; }
  virtual bool onKeyUp(VstKeyCode&) { return false; }
  virtual bool setKnobMode(int) { return false; }
  // The host's scale for the screen the window is on (1 = 96 DPI). An
  // editor that can zoom takes it and answers true; false refuses it and
  // changes nothing.
  virtual bool setSystemScale(double) { return false; }

  // The effect echoes every parameter change here, from whatever thread the
  // change came on.
  virtual void setParameter(VstInt32, float) {}

  // The frame's clock for the block timing: the system tick count in
  // milliseconds while the editor's window exists, 4294967295 otherwise.
  // hasFrame() tells whether a frame exists at all.
  virtual bool hasFrame() const { return false; }
  virtual uint32_t frameTickCount() const { return 4294967295u; }

  AudioEffect* getEffect() const { return effect; }

 protected:
  AudioEffect* effect;
  void* systemWindow = nullptr;
};
