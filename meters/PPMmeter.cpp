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
  template <bool kHoldMayFall>
  void step(Lanes peakLevel, Lanes) {
    peak.step<kHoldMayFall>(peakLevel, attack, fall);
  }
  bool holdMayFall(int samples) const { return peak.hold.mayFall(samples); }
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
      ref_ = orvane::referenceAmplitude(referenceDbFromSetting24(v));
      core_.setGain(1.0 / ref_);
      updateOverThreshold();
      break;
    case kIntegration:
      integrationMs_ = timeMs(v, TimeMap::Short, false);
      attack_ = attackCoefficient(rate, integrationMs_);
      break;
    case kHoldTime:
      holdMs_ = timeMs(v, TimeMap::Long, false);
      holdLength_ = holdSamples(rate, holdMs_);
      break;
    case kReturn:
      returnMs_ = timeMs(v, TimeMap::Long, false);
      fall_ = fallCoefficient(rate, returnMs_);
      break;
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
  switch (index) {
    case kReference: referenceText(ref_.load(), text); break;
    case kIntegration: shortTimeText(integrationMs_, text); break;
    case kHoldTime: longTimeText(holdMs_, text); break;
    case kReturn: longTimeText(returnMs_, text); break;
    default: break;
  }
}

void PPMmeter::updateOverThreshold() {
  const double gain = core_.gain();
  double threshold;
  if (overStep_ < 0.25) threshold = 2.5556419010641385;  // 8.15 dB above the reference
  else if (overStep_ < 0.5) threshold = gain * 0.7071;  // -3 dBFS
  else if (overStep_ < 0.75) threshold = gain * 0.8912509381337456;  // -1 dBFS
  else threshold = gain;  // full scale
  core_.setOverThreshold(threshold);
}

void PPMmeter::recomputeCoefficients() {
  const float rate = core_.sampleRate();
  attack_ = attackCoefficient(rate, integrationMs_);
  fall_ = fallCoefficient(rate, returnMs_);
  holdLength_ = holdSamples(rate, holdMs_);
}

void PPMmeter::reset() {
  core_.reset();
  recomputeCoefficients();
  restReadings(2);
}

void PPMmeter::clearReadings() {
  restReadings(2);
  core_.clearOverCounters();
}

PPMBallistics PPMmeter::beginBallistics() {
  const MeterReadout& r = core_.readout();
  return {{lanes(r.reading(kMainReading, 0), r.reading(kMainReading, 1)),
           {r.reading(kHoldReading, 0), r.reading(kHoldReading, 1), holdCounter_[0], holdCounter_[1],
            holdCountLimit(holdLength_)}},
          splat(attack_),
          splat(fall_)};
}

void PPMmeter::endBallistics(const PPMBallistics& block) {
  holdCounter_[0] = block.peak.hold.countOf(0);
  holdCounter_[1] = block.peak.hold.countOf(1);
}

template class MeterEngine<PPMmeter>;

}  // namespace orvane
