#include "meters/RMSMeter.h"

#include <cmath>

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

struct RMSChannel {
  PeakChannel peak;
  double meanSquare;
};

// The three recursions of one block, kept in registers.
struct RMSBlock {
  RMSChannel a, b;
  double attack;
  double fall;
  int holdLimit;  // the hold counter at which the mark starts to fall
  double averaging;

  // The peak needle and its hold take the peak level (in precise mode the
  // largest point found between the samples); the mean square is of the
  // signal itself, as a mean of per-sample maxima would read hot.
  void stepChannel(RMSChannel& ch, double peak, double level) const {
    stepPeak(ch.peak, peak, attack, fall, holdLimit);
    double m = ch.meanSquare;
    m += (level * level - m) * averaging;
    ch.meanSquare = (m + 1e-14) - 1e-14;
  }
  void step(double peakA, double peakB, double levelA, double levelB) {
    stepChannel(a, peakA, levelA);
    stepChannel(b, peakB, levelB);
  }
  template <class F>
  void forEachReading(F f) const {
    f(kMainReading, 0, a.peak.env);
    f(kMainReading, 1, b.peak.env);
    f(kHoldReading, 0, a.peak.hold);
    f(kHoldReading, 1, b.peak.hold);
    f(kMeanSquareReading, 0, a.meanSquare);
    f(kMeanSquareReading, 1, b.meanSquare);
  }
};

}  // namespace

RMSMeter::RMSMeter(MeterSettingsOwner* owner, SharedSettings& shared)
    : core_(3, kRest), scope_(kMeterRMS, shared, owner, &RMSMeter::applyOwn, this) {
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
      ref_ = orvane::referenceAmplitude(dB);
      core_.setGain(1.0 / ref_);
      updateOverThreshold();
      break;
    }
    case kIntegration:
      integrationMs_ = timeMs(v, TimeMap::Short, false);
      attack_ = attackCoefficient(rate, integrationMs_);
      stored = quantiseTimeSetting(v);
      break;
    case kRmsIntegration:
      averagingMs_ = timeMs(v, TimeMap::Long, false);
      averaging_ = averagingCoefficient(rate, averagingMs_);
      stored = quantiseTimeSetting(v);
      break;
    case kHoldTime:
      holdMs_ = timeMs(v, TimeMap::Long, false);
      holdLength_ = holdSamples(rate, holdMs_);
      stored = quantiseTimeSetting(v);
      break;
    case kReturn:
      returnMs_ = timeMs(v, TimeMap::Long, false);
      fall_ = fallCoefficient(rate, returnMs_);
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

float RMSMeter::getParameter(int32_t index) const { return scope_.value(index); }

void RMSMeter::getParameterDisplay(int32_t index, char* text) const {
  if (!text) return;
  text[0] = '\0';
  switch (index) {
    case kReference: referenceText(ref_.load(), text); break;
    case kIntegration: shortTimeText(integrationMs_, text); break;
    case kRmsIntegration: longTimeText(averagingMs_, text); break;
    case kHoldTime: longTimeText(holdMs_, text); break;
    case kReturn: longTimeText(returnMs_, text); break;
    default: break;
  }
}

void RMSMeter::updateOverThreshold() {
  const double level = kOverLevels[overLevel_ < 0 ? 0 : (overLevel_ > 6 ? 6 : overLevel_)];
  // From full scale: |sample| at or above the level in dBFS. From the
  // reference: at or above the level relative to the reference.
  core_.setOverThreshold(ledFromFullScale_ ? core_.gain() * level : level);
}

void RMSMeter::recomputeCoefficients() {
  const float rate = core_.sampleRate();
  attack_ = attackCoefficient(rate, integrationMs_);
  fall_ = fallCoefficient(rate, returnMs_);
  holdLength_ = holdSamples(rate, holdMs_);
  averaging_ = averagingCoefficient(rate, averagingMs_);
}

void RMSMeter::setSampleRate(float sampleRate) { core_.setSampleRate(sampleRate); }

void RMSMeter::reset() {
  core_.reset();
  recomputeCoefficients();
  for (int k = 0; k < 3; ++k) {
    core_.restReading(k, 0);
    core_.restReading(k, 1);
  }
}

void RMSMeter::clearReadings() {
  for (int k = 0; k < 3; ++k) {
    core_.restReading(k, 0);
    core_.restReading(k, 1);
  }
  core_.clearOverCounters();
}

void RMSMeter::process(const float* a, const float* b, int32_t frames) {
  if (!a || frames <= 0) return;
  core_.beginBlock();
  MeterReadout& r = core_.readout();
  RMSBlock block{{{r.reading(kMainReading, 0), r.reading(kHoldReading, 0), holdCounter_[0]}, r.reading(kMeanSquareReading, 0)},
                 {{r.reading(kMainReading, 1), r.reading(kHoldReading, 1), holdCounter_[1]}, r.reading(kMeanSquareReading, 1)},
                 attack_,
                 fall_,
                 holdCountLimit(holdLength_),
                 static_cast<double>(averaging_.load())};
  const bool usable = core_.run(a, b, frames, block);
  // NaN or infinity in the audio sends the readings back to rest rather
  // than leaving them NaN or pegged for good.
  block.forEachReading([this, usable](int kind, int channel, double value) { core_.publish(kind, channel, value, usable); });
  holdCounter_[0] = block.a.peak.counter;
  holdCounter_[1] = block.b.peak.counter;
}

void RMSMeter::processStereo(float** outputs, int32_t frames) {
  if (!outputs || !outputs[0]) return;
  process(outputs[0], outputs[1], frames);
}

void RMSMeter::processMono(float** outputs, int32_t frames) {
  if (!outputs || !outputs[0]) return;
  process(outputs[0], nullptr, frames);
}

}  // namespace orvane
