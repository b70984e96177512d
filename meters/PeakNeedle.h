// The peak needle the PPM and the RMS meter share: an envelope that rises
// in the integration time and falls 24 dB in the return time, with a hold
// mark that waits out the hold time. Its three time settings, the
// coefficients they give at the engine's rate, and the hold counts that
// carry from one block to the next.
#pragma once

#include <cstdint>

#include "meters/MeterLanes.h"
#include "meters/MeterReadout.h"
#include "meters/Relaxed.h"

namespace orvane {

class PeakNeedle {
 public:
  double integrationMs() const { return integrationMs_; }
  double holdMs() const { return holdMs_; }
  double returnMs() const { return returnMs_; }
  double attack() const { return attack_; }
  double fall() const { return fall_; }
  double holdLength() const { return holdLength_; }

 protected:
  // The settings' 0..1 values at the engine's sample rate.
  void setIntegration(float value, float sampleRate);
  void setHoldTime(float value, float sampleRate);
  void setReturn(float value, float sampleRate);
  void recomputeCoefficients(float sampleRate);
  // The panel's text of one of the three times ("10ms", "1.00s"), given the
  // engine's indices of them; false for any other index.
  bool timeText(int32_t index, int32_t integration, int32_t hold, int32_t ret, char* text) const;

  // The envelopes and hold marks as a block starts, from the readings.
  PeakLanes startLanes(const MeterReadout& r) const;
  void keepCounts(const PeakLanes& lanes) {
    holdCounter_[0] = lanes.hold.countOf(0);
    holdCounter_[1] = lanes.hold.countOf(1);
  }

 private:
  Relaxed<double> integrationMs_{10.0};
  Relaxed<double> holdMs_{1000.0};
  Relaxed<double> returnMs_{2000.0};
  Relaxed<double> attack_{1.0};
  Relaxed<double> fall_{1.0};
  Relaxed<double> holdLength_{44100.0};
  int holdCounter_[2] = {0, 0};
};

}  // namespace orvane
