// What the meter panels, back panels and strips may ask of the effect. They
// hold an EffectSeam& instead of the effect itself, so they build and test
// without the effect class or the editor (a test hands them a fake), and
// the effect's internals stay free to change behind it.
//
// User-interface thread only. Values the audio thread writes (read-outs,
// block times) are read without locks; a stale one costs one refresh.
#pragma once

#include <cstdint>

namespace orvane {

class MeterReadout;

class EffectSeam {
 public:
  // Room a display text needs (host texts are shorter; meter settings up
  // to 31 characters).
  static constexpr int kDisplayTextBytes = 64;
  // The two commands a panel sends through the parameter path.
  static constexpr int32_t kSaveGlobalSettings = 65;
  static constexpr int32_t kResetOvers = 67;

  virtual ~EffectSeam() = default;

  // The effect's index space: host parameters 0..16, meter settings
  // 72..81, 83..91 and 93..100. Anything else reads 0.
  virtual float getParameter(int32_t index) = 0;
  // Through the effect's own path, which echoes the change to the editor
  // and so to every view.
  virtual void setParameter(int32_t index, float value) = 0;
  // A user's edit of a host parameter: as setParameter, and the host
  // records it for automation.
  virtual void setParameterAutomated(int32_t index, float value) = 0;
  // The text the effect shows for a host parameter or a meter setting;
  // `text` holds kDisplayTextBytes, always terminated.
  virtual void getParameterDisplay(int32_t index, char* text) = 0;
  // The value a reset click puts back: a meter setting's first-run value
  // (the reference knobs: -18 dBFS on the VU, -12 dBFS on the PPM, 0 dB on
  // the RMS meter), a host parameter's default. 0 for anything else.
  virtual float defaultValue(int32_t index) = 0;

  // The read-outs of the engine of a meter type (0 VU, 1 RMS, 2 PPM); null
  // for any other type.
  virtual MeterReadout* readout(int meterType) = 0;
  // Lets that engine take the settings other instances changed in the
  // shared scopes.
  virtual void syncSharedSettings(int meterType) = 0;

  // The two times the audio path stamps on every block: the frame clock at
  // the block, and the block's duration, in seconds.
  virtual double frameTickSeconds() = 0;
  virtual double blockSeconds() = 0;

  // The version the host reads of the plug-in (effGetVendorVersion: 3050
  // for 3.0.5), so that every place that shows the version shows the same
  // one; 0 when there is none to tell.
  virtual int32_t vendorVersion() { return 0; }

  // Command 65: the Global settings go to the registry.
  void saveGlobalSettings() { setParameter(kSaveGlobalSettings, 0.0f); }
  // Command 67: every over indicator and infinite-hold maximum is cleared.
  void resetOvers() { setParameter(kResetOvers, 0.0f); }
};

}  // namespace orvane
