// The peak programme meter: each channel's rectified sample drives a
// one-pole envelope that rises in the integration time and falls 24 dB in
// the return time; a hold mark follows the envelope and falls back with
// the same return after the hold time; an over LED watches the samples.
#pragma once

#include <cstdint>

#include "meters/MeterEngine.h"
#include "meters/PeakNeedle.h"
#include "meters/Relaxed.h"
#include "settings/SharedSettings.h"

namespace orvane {

struct PPMBallistics;

class PPMmeter : public MeterEngine<PPMmeter>, public PeakNeedle {
 public:
  static constexpr int32_t kReference = 93;      // -24..0 dBFS
  static constexpr int32_t kIntegration = 94;    // 0..100 ms
  static constexpr int32_t kHoldTime = 95;       // 0.1..10 s
  static constexpr int32_t kReturn = 96;         // 0.1..10 s for 24 dB
  static constexpr int32_t kMsType = 97;         // mid 0, 3 or 6 dB down
  static constexpr int32_t kOverTag = 98;        // 1..10 consecutive samples
  static constexpr int32_t kOverReference = 99;  // over threshold
  static constexpr int32_t kPrecise = 100;       // inter-sample peaks
  static constexpr double kRest = 0.0;

  PPMmeter(MeterSettingsOwner* owner, SharedSettings& shared);

  void setParameter(int32_t index, float value);
  void getParameterDisplay(int32_t index, char* text) const;  // >= 32 bytes

  void reset();
  void clearReadings();

  // Read-outs: kMainReading is the envelope.

 private:
  friend class MeterEngine<PPMmeter>;
  PPMBallistics beginBallistics();
  void endBallistics(const PPMBallistics& block);
  void readingRested(int, int) {}
  void updateOverThreshold();

  double overStep_ = 1.0;
};

extern template class MeterEngine<PPMmeter>;

}  // namespace orvane
