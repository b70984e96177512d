// The VU meter: the rectified signal, scaled to the reference level, drives
// a modelled moving coil (NeedleFilterBank); a hold mark follows the needle
// and falls back after the hold time; an over LED watches the samples.
#pragma once

#include <cstdint>

#include "meters/MeterEngine.h"
#include "meters/NeedleFilter.h"
#include "meters/Relaxed.h"
#include "settings/SharedSettings.h"

namespace orvane {

struct VUBallistics;

class VUmeter : public MeterEngine<VUmeter> {
 public:
  static constexpr int32_t kReference = 83;    // -24..0 dBFS reads 0 VU
  static constexpr int32_t kIntegration = 84;  // 53 ms .. 1.7 s
  static constexpr int32_t kHoldTime = 85;     // 0.1 .. 10 s
  static constexpr int32_t kType = 86;         // A or B
  static constexpr int32_t kMsType = 87;       // mid 0, 3 or 6 dB down
  static constexpr int32_t kBacklit = 88;      // face illumination (the view's)
  static constexpr int32_t kOverLed = 89;      // 1..10 consecutive samples
  static constexpr int32_t kLedRef = 90;       // over threshold
  static constexpr int32_t kPrecise = 91;      // inter-sample peaks
  // Needle and hold rest a little below the scale's zero, on the pin.
  static constexpr double kRest = -0.05;

  VUmeter(MeterSettingsOwner* owner, SharedSettings& shared);

  // Meter settings 83..91 (other indices are ignored / answer 0 or "").
  void setParameter(int32_t index, float value);
  // `text` holds at least 32 bytes.
  void getParameterDisplay(int32_t index, char* text) const;

  void reset();
  void clearReadings();

  // Read-outs: kMainReading is the needle.
  // Derived values, for the panel, tools and tests.
  double modelIntegrationMs() const { return modelMs_; }  // T
  double needleFrequency() const { return model_.frequency; }
  float holdLength() const { return holdLength_; }
  double holdDecay() const { return decay_; }
  int needleType() const { return type_; }
  int currentSection(int channel) const { return bank_[channel == 1 ? 1 : 0].currentSection(); }

 private:
  friend class MeterEngine<VUmeter>;
  VUBallistics beginBallistics();
  void endBallistics(const VUBallistics& block);
  // A needle that went to rest after a broken buffer starts over with its
  // coil at rest too.
  void readingRested(int kind, int channel) {
    if (kind == kMainReading) bank_[channel].clearState();
  }
  void redesign();
  void updateOverThreshold();

  NeedleFilterBank bank_[2];
  NeedleMailbox mailbox_;
  unsigned adopted_ = 0;
  NeedleDesign design_;
  NeedleModel model_{};
  double designRate_ = 44100.0;

  Relaxed<double> modelMs_{350.1};
  Relaxed<int> type_{0};
  Relaxed<double> holdMs_{1000.0};
  Relaxed<float> holdLength_{44100.0f};
  Relaxed<double> decay_{0.0};
  double ledStep_ = 1.0;
  // Samples since each hold mark was last raised (audio thread only).
  int holdCounter_[2] = {0, 0};
};

extern template class MeterEngine<VUmeter>;

}  // namespace orvane
