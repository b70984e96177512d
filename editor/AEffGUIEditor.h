// The glue between the effect's view of an editor (the dispatcher's window
// operations) and the toolkit's view of one (knob mode, gestures, clock,
// idle work). It records the effect and the clock when it is made and
// becomes the effect's editor at once, so the host sees the has-editor flag
// from the effect's first moment.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/AEffEditor.h"
#include "core/vst2abi.h"
#include "toolkit/vstguieditorinterface.h"

class AudioEffect;

class AEffGUIEditor : public AEffEditor, public VSTGUI::VSTGUIEditorInterface {
 public:
  explicit AEffGUIEditor(AudioEffect* effect);
  ~AEffGUIEditor() override;
  AEffGUIEditor(const AEffGUIEditor&) = delete;
  AEffGUIEditor& operator=(const AEffGUIEditor&) = delete;

  // The editor rectangle; it stays valid for the editor's whole life, as
  // hosts keep the pointer.
  bool getRect(ERect** rect) override;
  bool onKeyDown(VstKeyCode& key) override;
  bool onKeyUp(VstKeyCode& key) override;
  // The host's preferred knob behaviour (circular, relative circular or
  // linear); the window sets its own when it opens.
  bool setKnobMode(int mode) override;
  int32_t getKnobMode() const override { return knobMode; }

  // A control's outermost gesture, passed on to the host so that it groups
  // the automation it records.
  bool beginEdit(int32_t index) override;
  bool endEdit(int32_t index) override;
  // Lets the host breathe during a long modal interaction. While the host
  // is inside that call, an edit-idle it sends back does not redraw.
  void doIdleStuff() override;

  bool isOpen() const override { return frame != nullptr; }
  // Read by the audio thread at every block, so only atomics are touched.
  bool hasFrame() const override { return frameLive.load(std::memory_order_acquire); }
  uint32_t frameTickCount() const override;

  // The clock when the editor was made, or at its last idle work.
  uint32_t lastTicks() const { return lLastTicks; }
  bool isInIdleStuff() const { return inIdleStuff; }

 protected:
  // Frame bookkeeping for the audio thread: set right after a frame exists,
  // cleared before it goes.
  void frameCreated();
  void frameClosing();
  bool isHostParameter(int32_t index) const;

  ERect rect;
  int32_t knobMode = VSTGUI::kCircularMode;
  bool inIdleStuff = false;
  uint32_t lLastTicks = 0;

 private:
  std::atomic<bool> frameLive{false};
  std::atomic<bool> windowLive{false};
};
