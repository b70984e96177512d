#include "meters/PPMmeter.h"

#include <cmath>

#include "meters/MeterEngineBody.h"
#include "meters/MeterMath.h"
#include "meters/NumberFormat.h"

namespace orvane {

// The envelopes and hold marks of one block, in registers.
struct PPMBallistics {
  PeakLanes peak;
  Lanes attack;
  Lanes fall;

  // A peak meter: envelope and hold take the peak levels, which precise
  // mode finds between the samples.
  template <bool kHoldMayFall, bool kGuardEach = true>
  void step(Lanes peakLevel, Lanes) {
    peak.step<kHoldMayFall, kGuardEach>(peakLevel, attack, fall);
  }
  bool holdMayFall(int samples) const { return peak.hold.mayFall(samples); }
  void settle() { peak.settle(); }
  template <class F>
  void forEachReading(F f) const {
    f(kMainReading, 0, laneA(peak.env));
    f(kMainReading, 1, laneB(peak.env));
    f(kHoldReading, 0, laneA(peak.hold.mark));
    f(kHoldReading, 1, laneB(peak.hold.mark));
  }
};

PPMmeter::PPMmeter(MeterSettingsOwner* owner, SharedSettings& shared)
    : MeterEngine(2, kRest, kMeterPPM, owner, shared) {
  scope_.initialise();
  reset();
  clearReadings();
}

void PPMmeter::setParameter(int32_t index, float value) {
  if (!scope_.owns(index) || value != value) return;
  const float v = safeSettingValue(value, 0.0f);
  const float rate = core_.sampleRate();
  switch (index) {
    case kReference:
      setReference(orvane::referenceAmplitude(referenceDbFromSetting24(v)));
      updateOverThreshold();
      break;
    case kIntegration: setIntegration(v, rate); break;
    case kHoldTime: setHoldTime(v, rate); break;
    case kReturn: setReturn(v, rate); break;
    case kMsType: core_.setMsType(static_cast<int>(v * 2.0f + 0.5f)); break;
    case kOverTag: core_.setOverSampleCount(static_cast<int>(v * 9.0f + 0.5f) + 1); break;
    case kOverReference:
      overStep_ = static_cast<double>(static_cast<int>(v * 3.0f + 0.5f)) / 3.0;
      updateOverThreshold();
      break;
    case kPrecise: core_.setPrecise(static_cast<int>(v + 0.5f) != 0); break;
    default: break;
  }
  scope_.record(index, v, v);
}

void PPMmeter::getParameterDisplay(int32_t index, char* text) const {
  if (!text) return;
  text[0] = '\0';
  if (index == kReference) referenceText(ref_.load(), text);
  else timeText(index, kIntegration, kHoldTime, kReturn, text);
}

void PPMmeter::updateOverThreshold() {
  // The lowest step: 8.15 dB above the reference.
  core_.setOverThreshold(steppedOverThreshold(overStep_, core_.gain(), 2.5556419010641385));
}

void PPMmeter::reset() {
  core_.reset();
  recomputeCoefficients(core_.sampleRate());
  restReadings(2);
}

void PPMmeter::clearReadings() {
  restReadings(2);
  core_.clearOverCounters();
}

PPMBallistics PPMmeter::beginBallistics() { return {startLanes(core_.readout()), splat(attack()), splat(fall())}; }

void PPMmeter::endBallistics(const PPMBallistics& block) { keepCounts(block.peak); }

template class MeterEngine<PPMmeter>;

}  // namespace orvane
