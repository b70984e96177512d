#include "meters/PPMmeter.h"

#include <cmath>

#include "meters/MeterMath.h"
#include "meters/NumberFormat.h"

namespace orvane {
namespace {

// The envelope and hold recursions of one block, kept in registers.
struct PPMBlock {
  PeakChannel a, b;
  double attack;
  double fall;
  int holdLimit;  // the hold counter at which the mark starts to fall

  void stepChannel(PeakChannel& ch, double level) const { stepPeak(ch, level, attack, fall, holdLimit); }
  // A peak meter: envelope and hold take the peak levels, which precise
  // mode finds between the samples.
  void step(double peakA, double peakB, double, double) {
    stepChannel(a, peakA);
    stepChannel(b, peakB);
  }
  template <class F>
  void forEachReading(F f) const {
    f(kMainReading, 0, a.env);
    f(kMainReading, 1, b.env);
    f(kHoldReading, 0, a.hold);
    f(kHoldReading, 1, b.hold);
  }
};

}  // namespace

PPMmeter::PPMmeter(MeterSettingsOwner* owner, SharedSettings& shared)
    : core_(2, kRest), scope_(kMeterPPM, shared, owner, &PPMmeter::applyOwn, this) {
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

float PPMmeter::getParameter(int32_t index) const { return scope_.value(index); }

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

void PPMmeter::setSampleRate(float sampleRate) { core_.setSampleRate(sampleRate); }

void PPMmeter::reset() {
  core_.reset();
  recomputeCoefficients();
  for (int c = 0; c < 2; ++c) {
    core_.restReading(kMainReading, c);
    core_.restReading(kHoldReading, c);
  }
}

void PPMmeter::clearReadings() {
  for (int c = 0; c < 2; ++c) {
    core_.restReading(kMainReading, c);
    core_.restReading(kHoldReading, c);
  }
  core_.clearOverCounters();
}

void PPMmeter::process(const float* a, const float* b, int32_t frames) {
  if (!a || frames <= 0) return;
  core_.beginBlock();
  MeterReadout& r = core_.readout();
  PPMBlock block{{r.reading(kMainReading, 0), r.reading(kHoldReading, 0), holdCounter_[0]},
                 {r.reading(kMainReading, 1), r.reading(kHoldReading, 1), holdCounter_[1]},
                 attack_,
                 fall_,
                 holdCountLimit(holdLength_)};
  const bool usable = core_.run(a, b, frames, block);
  // NaN or infinity in the audio sends the readings back to rest rather
  // than leaving them NaN or pegged for good.
  block.forEachReading([this, usable](int kind, int channel, double value) { core_.publish(kind, channel, value, usable); });
  holdCounter_[0] = block.a.counter;
  holdCounter_[1] = block.b.counter;
}

void PPMmeter::processStereo(float** outputs, int32_t frames) {
  if (!outputs || !outputs[0]) return;
  process(outputs[0], outputs[1], frames);
}

void PPMmeter::processMono(float** outputs, int32_t frames) {
  if (!outputs || !outputs[0]) return;
  process(outputs[0], nullptr, frames);
}

}  // namespace orvane
