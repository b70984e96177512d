#include "meters/VUmeter.h"

#include <cmath>

#include "meters/MeterEngineBody.h"
#include "meters/MeterMath.h"
#include "meters/NumberFormat.h"

namespace orvane {
namespace {

// The model runs 1.167 times slower than the nominal integration time: the
// time a user sets is when the needle stands at 99 % of its final reading.
constexpr double kModelStretch = 1.167;
constexpr double kModelToShown = 0.85689802913;  // 1 / 1.167
// A steady sine of peak P settles the coil at 1.56 * 2/pi * P = 0.9932 * P.
constexpr double kCoilDrive = 1.56;
}  // namespace

VUmeter::VUmeter(MeterSettingsOwner* owner, SharedSettings& shared)
    : MeterEngine(2, kRest, kMeterVU, owner, shared) {
  scope_.initialise();
  reset();
  clearReadings();
}

void VUmeter::setParameter(int32_t index, float value) {
  if (!scope_.owns(index) || value != value) return;
  const float v = safeSettingValue(value, 0.0f);
  switch (index) {
    case kReference:
      setReference(orvane::referenceAmplitude(referenceDbFromSetting24(v)));
      updateOverThreshold();
      break;
    case kIntegration: {
      const float q = static_cast<float>(static_cast<int>(v * 200.0f + 0.5f)) / 200.0f;
      // 53.03 ms at the left stop, 300 ms in the middle, 1697 ms at the
      // right: five octaves of integration time.
      modelMs_ = std::pow(32.0, static_cast<double>(q)) * 53.0330086 * kModelStretch;
      redesign();
      break;
    }
    case kHoldTime:
      holdMs_ = timeMs(v, TimeMap::Long, true);
      holdLength_ = static_cast<float>(holdSamples(core_.sampleRate(), holdMs_));
      break;
    case kType:
      type_ = v < 0.5f ? 0 : 1;
      redesign();
      break;
    case kMsType: core_.setMsType(static_cast<int>(v * 2.0f + 0.5f)); break;
    case kBacklit: break;  // the view's alone
    case kOverLed: core_.setOverSampleCount(static_cast<int>(v * 9.0f + 0.5f) + 1); break;
    case kLedRef:
      ledStep_ = static_cast<double>(static_cast<int>(v * 3.0f + 0.5f)) / 3.0;
      updateOverThreshold();
      break;
    case kPrecise: core_.setPrecise(static_cast<int>(v + 0.5f) != 0); break;
    default: break;
  }
  scope_.record(index, v, v);
}

void VUmeter::getParameterDisplay(int32_t index, char* text) const {
  if (!text) return;
  text[0] = '\0';
  switch (index) {
    case kReference:
      referenceText(ref_.load(), text);
      break;
    case kIntegration:
      shortTimeText(modelMs_ * kModelToShown, text);
      break;
    case kHoldTime:
      longTimeText(holdMs_, text);
      break;
    default: break;
  }
}

void VUmeter::updateOverThreshold() {
  // The lowest step: 8 dB above the reference.
  core_.setOverThreshold(steppedOverThreshold(ledStep_, core_.gain(), 2.51188643150958));
}

void VUmeter::redesign() {
  model_ = needleModel(type_, modelMs_);
  design_.design(model_, designRate_);
  mailbox_.publish(design_);
}

void VUmeter::reset() {
  core_.reset();
  const float rate = core_.sampleRate();
  designRate_ = rate;
  redesign();
  holdLength_ = static_cast<float>(holdSamples(rate, holdMs_));
  // After the hold time the mark falls 24 dB per model integration time.
  // Taken here only: a new integration time reaches it at the next reset.
  decay_ = 1.0 - std::pow(0.0625, 1.0 / (static_cast<double>(rate) * modelMs_ * 0.001));
  // The needle goes to rest; its coil keeps its state, so silence reads
  // within a hair of zero from the next sample on. The hold mark stays.
  for (int c = 0; c < 2; ++c) core_.restReading(kMainReading, c);
  core_.clearOverCounters();
}

void VUmeter::clearReadings() {
  restReadings(2);
  core_.clearOverCounters();
}

// The needles and hold marks of one block, in registers.
struct VUBallistics {
  NeedlePair coils;
  Lanes needle;
  HoldLanes hold;
  Lanes decay;

  // The coil averages, so it is driven by the signal itself; the peaks
  // found between samples in precise mode serve the over LEDs alone, which
  // the front end lights. The hold mark follows the needle.
  // The coil recursion guards itself; kGuardEach concerns the others.
  template <bool kHoldMayFall, bool kGuardEach = true>
  void step(Lanes, Lanes level) {
    needle = coils.step(_mm_mul_pd(level, splat(kCoilDrive)));
    hold.step<kHoldMayFall, true, false>(needle, decay);
  }
  bool holdMayFall(int samples) const { return hold.mayFall(samples); }
  void settle() {}
  template <class F>
  void forEachReading(F f) const {
    f(kMainReading, 0, laneA(needle));
    f(kMainReading, 1, laneB(needle));
    f(kHoldReading, 0, laneA(hold.mark));
    f(kHoldReading, 1, laneB(hold.mark));
  }
};

VUBallistics VUmeter::beginBallistics() {
  NeedleMailbox::Coefficients coefficients[kNeedleSections];
  if (mailbox_.take(adopted_, coefficients)) {
    bank_[0].adopt(coefficients);
    bank_[1].adopt(coefficients);
  }
  const MeterReadout& r = core_.readout();
  return {NeedlePair(bank_[0], bank_[1]),
          lanes(r.reading(kMainReading, 0), r.reading(kMainReading, 1)),
          {r.reading(kHoldReading, 0), r.reading(kHoldReading, 1), holdCounter_[0], holdCounter_[1],
           holdCountLimit(holdLength_)},
          splat(decay_)};
}

void VUmeter::endBallistics(const VUBallistics& block) {
  block.coils.park();
  holdCounter_[0] = block.hold.countOf(0);
  holdCounter_[1] = block.hold.countOf(1);
}

template class MeterEngine<VUmeter>;

}  // namespace orvane
