#include "meters/RMSMeter.h"

#include <cmath>

#include "meters/MeterEngineBody.h"
#include "meters/MeterMath.h"
#include "meters/NumberFormat.h"

namespace orvane {
namespace {

// Over levels 0..6: -6 to 0 dB.
constexpr double kOverLevels[7] = {0.5011872336, 0.5623413252, 0.6309573445, 0.7071,
                                   0.7943282347, 0.8912509381337456, 1.0};

// A mean square falls to 0.109 of itself in half the averaging time.
float averagingCoefficient(float sampleRate, double ms) {
  const float seconds = static_cast<float>(ms) * 0.001f;
  const double samples = static_cast<double>(seconds) * static_cast<double>(sampleRate);
  if (!(samples > 0.0)) return 1.0f;
  return static_cast<float>(1.0 - std::pow(0.109, 2.0 / samples));
}

}  // namespace

// The peak envelopes, hold marks and mean squares of one block, in
// registers.
struct RMSBallistics {
  PeakLanes peak;
  Lanes meanSquare;
  Lanes attack;
  Lanes fall;
  Lanes averaging;

  // The peak needle and its hold take the peak level (in precise mode the
  // largest point found between the samples); the mean square is of the
  // signal itself, as a mean of per-sample maxima would read hot.
  template <bool kHoldMayFall, bool kGuardEach = true>
  void step(Lanes peakLevel, Lanes level) {
    peak.step<kHoldMayFall, kGuardEach>(peakLevel, attack, fall);
    const Lanes square = _mm_mul_pd(level, level);
    const Lanes next = stepToward(meanSquare, square, averaging);
    meanSquare = kGuardEach ? guardTiny(meanSquare, square, next) : next;
  }
  bool holdMayFall(int samples) const { return peak.hold.mayFall(samples); }
  void settle() {
    peak.settle();
    meanSquare = flushBelowTiny(meanSquare);
  }
  template <class F>
  void forEachReading(F f) const {
    f(kMainReading, 0, laneA(peak.env));
    f(kMainReading, 1, laneB(peak.env));
    f(kHoldReading, 0, laneA(peak.hold.mark));
    f(kHoldReading, 1, laneB(peak.hold.mark));
    f(kMeanSquareReading, 0, laneA(meanSquare));
    f(kMeanSquareReading, 1, laneB(meanSquare));
  }
};

RMSMeter::RMSMeter(MeterSettingsOwner* owner, SharedSettings& shared)
    : MeterEngine(3, kRest, kMeterRMS, owner, shared) {
  scope_.initialise();
  reset();
  clearReadings();
}

void RMSMeter::setParameter(int32_t index, float value) {
  if (!scope_.owns(index) || value != value) return;
  const float v = safeSettingValue(value, 0.0f);
  const float rate = core_.sampleRate();
  float stored = v;
  switch (index) {
    case kReference: {
      const int step = static_cast<int>(v * 300.0f + 0.5f);
      const float dB = static_cast<float>(step) * 0.1f - 20.0f;
      setReference(orvane::referenceAmplitude(dB));
      updateOverThreshold();
      break;
    }
    case kIntegration:
      setIntegration(v, rate);
      stored = quantiseTimeSetting(v);
      break;
    case kRmsIntegration:
      averagingMs_ = timeMs(v, TimeMap::Long, false);
      averaging_ = averagingCoefficient(rate, averagingMs_);
      stored = quantiseTimeSetting(v);
      break;
    case kHoldTime:
      setHoldTime(v, rate);
      stored = quantiseTimeSetting(v);
      break;
    case kReturn:
      setReturn(v, rate);
      stored = quantiseTimeSetting(v);
      break;
    case kMsType: core_.setMsType(static_cast<int>(v * 2.0f + 0.5f)); break;
    case kOversTag: core_.setOverSampleCount(static_cast<int>(v * 9.0f + 0.5f) + 1); break;
    case kOverReference:
      overLevel_ = static_cast<int>(v * 6.0f + 0.5f);
      updateOverThreshold();
      break;
    case kPrecise: core_.setPrecise(static_cast<int>(v + 0.5f) != 0); break;
    case kLedRef:
      ledFromFullScale_ = static_cast<int>(v + 0.5f) != 0;
      updateOverThreshold();
      break;
    default: break;
  }
  // The time settings are stored on their knob position, so every instance
  // that follows the store lands on the same position.
  scope_.record(index, v, stored);
}

void RMSMeter::getParameterDisplay(int32_t index, char* text) const {
  if (!text) return;
  text[0] = '\0';
  if (index == kReference) referenceText(ref_.load(), text);
  else if (index == kRmsIntegration) longTimeText(averagingMs_, text);
  else timeText(index, kIntegration, kHoldTime, kReturn, text);
}

void RMSMeter::updateOverThreshold() {
  const double level = kOverLevels[overLevel_ < 0 ? 0 : (overLevel_ > 6 ? 6 : overLevel_)];
  // From full scale: |sample| at or above the level in dBFS. From the
  // reference: at or above the level relative to the reference.
  core_.setOverThreshold(ledFromFullScale_ ? core_.gain() * level : level);
}

void RMSMeter::reset() {
  core_.reset();
  recomputeCoefficients(core_.sampleRate());
  averaging_ = averagingCoefficient(core_.sampleRate(), averagingMs_);
  restReadings(3);
}

void RMSMeter::clearReadings() {
  restReadings(3);
  core_.clearOverCounters();
}

RMSBallistics RMSMeter::beginBallistics() {
  const MeterReadout& r = core_.readout();
  return {startLanes(r),
          lanes(r.reading(kMeanSquareReading, 0), r.reading(kMeanSquareReading, 1)),
          splat(attack()),
          splat(fall()),
          splat(static_cast<double>(averaging_.load()))};
}

void RMSMeter::endBallistics(const RMSBallistics& block) { keepCounts(block.peak); }

template class MeterEngine<RMSMeter>;

}  // namespace orvane
