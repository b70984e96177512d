// The RMS meter: per channel a peak envelope (integration and return
// times), a hold mark on it, and a running mean square with its own
// averaging time; the view shows sqrt(mean square) * 1.4142, so a sine
// reads its peak. Over detection at seven levels, counted from full scale
// or from the reference level.
#pragma once

#include <cstdint>

#include "meters/MeterEngine.h"
#include "meters/PeakNeedle.h"
#include "meters/Relaxed.h"
#include "settings/SharedSettings.h"

namespace orvane {

struct RMSBallistics;

class RMSMeter : public MeterEngine<RMSMeter>, public PeakNeedle {
 public:
  static constexpr int32_t kReference = 72;         // -20..+10 dB in 0.1 dB
  static constexpr int32_t kIntegration = 73;       // peak rise, 0..100 ms
  static constexpr int32_t kRmsIntegration = 74;    // averaging, 0.1..10 s
  static constexpr int32_t kHoldTime = 75;          // 0.1..10 s
  static constexpr int32_t kReturn = 76;            // 0.1..10 s for 24 dB
  static constexpr int32_t kMsType = 77;            // mid 0, 3 or 6 dB down
  static constexpr int32_t kOversTag = 78;          // 1..10 consecutive samples
  static constexpr int32_t kOverReference = 79;     // over level 0..6 (-6..0 dB)
  static constexpr int32_t kPrecise = 80;           // inter-sample peaks
  static constexpr int32_t kLedRef = 81;            // from full scale / reference
  static constexpr double kRest = 0.0;

  RMSMeter(MeterSettingsOwner* owner, SharedSettings& shared);

  void setParameter(int32_t index, float value);
  void getParameterDisplay(int32_t index, char* text) const;  // >= 32 bytes

  void reset();
  void clearReadings();

  // Read-outs: kMainReading is the peak envelope, kMeanSquareReading the
  // mean square (relative to the reference squared).
  double averagingMs() const { return averagingMs_; }
  float averaging() const { return averaging_; }
  int overLevel() const { return overLevel_; }

 private:
  friend class MeterEngine<RMSMeter>;
  RMSBallistics beginBallistics();
  void endBallistics(const RMSBallistics& block);
  void readingRested(int, int) {}
  void updateOverThreshold();

  Relaxed<double> averagingMs_{1000.0};
  Relaxed<float> averaging_{1.0f};
  int overLevel_ = 6;
  bool ledFromFullScale_ = true;
};

extern template class MeterEngine<RMSMeter>;

}  // namespace orvane
