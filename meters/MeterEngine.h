// What the VU, PPM and RMS engines share around their ballistics: the front
// end (MeterCore), the settings scope, the controls every meter has (LR/MS,
// Hold, LagTime, scope), the read-outs and the block: readings to their
// block-start values, the ballistics run over the samples, the readings
// published (or put to rest after a broken buffer). An engine derives from
// MeterEngine<itself> and supplies
//   Ballistics beginBallistics();        // its block object (see
//                                        // MeterCore::run) from its state
//   void endBallistics(const Ballistics&);  // the state back after the block
//   void readingRested(int kind, int channel);  // a reading went to rest
//                                        // (after endBallistics)
//   void setParameter(int32_t index, float value);
#pragma once

#include <cstdint>

#include "meters/MeterCore.h"
#include "meters/MeterScope.h"
#include "settings/SharedSettings.h"

namespace orvane {

template <class Engine>
class MeterEngine {
 public:
  MeterEngine(const MeterEngine&) = delete;
  MeterEngine& operator=(const MeterEngine&) = delete;

  float getParameter(int32_t index) const { return scope_.value(index); }
  double referenceAmplitude() const { return ref_; }

  void setSampleRate(float sampleRate) { core_.setSampleRate(sampleRate); }
  float sampleRate() const { return core_.sampleRate(); }

  // The audio thread's block (MeterEngineBody.h; each engine's own file
  // instantiates them with its ballistics).
  void processStereo(float** outputs, int32_t frames);
  void processMono(float** outputs, int32_t frames);
  void resetOvers() { core_.readout().resetOvers(); }

  void setLRMS(float raw) { core_.setLRMS(raw); }
  void setHold(float raw) { core_.setHold(raw); }
  void setLagTime(float raw) { core_.setLagTime(raw); }
  int lagMs() const { return core_.lagMs(); }
  int msOn() const { return core_.msOn(); }
  int holdMode() const { return core_.holdMode(); }

  void setScope(float raw) { scope_.setScope(raw); }
  void syncSharedSettings() { scope_.syncSharedSettings(); }
  void saveGlobalSettings() { scope_.saveGlobalSettings(); }
  int scope() const { return scope_.scope(); }
  const MeterScope& settingsScope() const { return scope_; }

  MeterReadout& readout() { return core_.readout(); }
  double readDisplayValue(float x, int kind, int channel) { return readout().readDisplayValue(x, kind, channel); }
  int readOverState(int channel) { return readout().readOverState(channel); }

 protected:
  MeterEngine(int readingKinds, double rest, int meterType, MeterSettingsOwner* owner, SharedSettings& shared)
      : core_(readingKinds, rest), scope_(meterType, shared, owner, &applyOwn, static_cast<Engine*>(this)) {}
  ~MeterEngine() = default;

  // Puts readings of the given kinds (0..kinds-1) of both channels to rest.
  void restReadings(int kinds) {
    for (int k = 0; k < kinds; ++k) {
      core_.restReading(k, 0);
      core_.restReading(k, 1);
    }
  }

  // The reference level as an amplitude; the front end's gain is its
  // inverse.
  void setReference(double amplitude) {
    ref_ = amplitude;
    core_.setGain(1.0 / amplitude);
  }

  MeterCore core_;
  MeterScope scope_;
  Relaxed<double> ref_{1.0};

 private:
  static void applyOwn(void* engine, int32_t index, float value) { static_cast<Engine*>(engine)->setParameter(index, value); }

  void process(const float* a, const float* b, int32_t frames);
};

}  // namespace orvane
