// What the frame asks of the editor that owns it: the knob mode, the
// host's begin/end of a gesture on a parameter, the clock, and idle work.
#pragma once

#include <cstdint>

namespace VSTGUI {

class CFrame;

// How knobs follow the mouse: round the knob, round relative to the press
// point, or in a straight line (right and up increase).
enum CKnobMode { kCircularMode = 0, kRelativCircularMode, kLinearMode };

class VSTGUIEditorInterface {
 public:
  virtual ~VSTGUIEditorInterface() = default;

  virtual void doIdleStuff() {}
  // -1: no preference (the frame then uses circular mode).
  virtual int32_t getKnobMode() const { return -1; }
  virtual bool beginEdit(int32_t /*index*/) { return false; }
  virtual bool endEdit(int32_t /*index*/) { return false; }
  // Milliseconds of the system clock; an editor may supply its own clock.
  virtual uint32_t getTicks() const;
  virtual CFrame* getFrame() const { return frame; }

 protected:
  VSTGUIEditorInterface() = default;
  CFrame* frame = nullptr;
};

}  // namespace VSTGUI
