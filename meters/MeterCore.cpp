#include "meters/MeterCore.h"

#include <emmintrin.h>

#include "meters/MeterMath.h"
#include "settings/SharedSettings.h"

namespace orvane {

MeterCore::MeterCore(int readingKinds, double restValue) : readout_(readingKinds, restValue) {
  peak_[0].clear();
  peak_[1].clear();
}

bool quietAndFinite(const float* a, const float* b, int32_t frames, double gain, double threshold) {
  // Four frames per pass: the largest magnitude of both channels, and
  // whether any sample was NaN (unordered with the other channel's). An
  // infinity makes the largest magnitude infinite.
  const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
  if (!b) b = a;
  __m128 top = _mm_setzero_ps(), nan = _mm_setzero_ps();
  int32_t i = 0;
  for (; i + 4 <= frames; i += 4) {
    const __m128 x = _mm_loadu_ps(a + i), y = _mm_loadu_ps(b + i);
    nan = _mm_or_ps(nan, _mm_cmpunord_ps(x, y));
    top = _mm_max_ps(top, _mm_and_ps(x, magnitude));
    top = _mm_max_ps(top, _mm_and_ps(y, magnitude));
  }
  alignas(16) float t[4], n[4];
  _mm_store_ps(t, top);
  _mm_store_ps(n, nan);
  float largest = 0.0f;
  bool finite = true;
  for (int k = 0; k < 4; ++k) {
    largest = t[k] > largest ? t[k] : largest;
    finite = finite && n[k] == 0.0f;
  }
  for (; i < frames; ++i) {
    for (const float x : {a[i], b[i]}) {
      const float m = std::fabs(x);
      finite = finite && x == x;
      largest = m > largest ? m : largest;
    }
  }
  return finite && static_cast<double>(largest) * gain < threshold;
}

namespace {
bool cpuRunsAvx() {
  // Also false where the system does not save the wider registers: the
  // compiler's processor check reads that from XCR0.
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx");
}
}  // namespace

const bool gLanesAvx = cpuRunsAvx();

void MeterCore::setLRMS(float raw) {
  raw = safeSettingValue(raw, lrmsRaw_);
  lrmsRaw_ = raw;
  // In double, as the effect reads the same value for its display.
  msOn_ = static_cast<int>(static_cast<double>(raw) + 0.5);
}

void MeterCore::setHold(float raw) {
  raw = safeSettingValue(raw, holdRaw_);
  holdRaw_ = raw;
  readout_.holdMode_ = static_cast<int>(static_cast<double>(raw) * 2.0 + 0.5);
}

void MeterCore::setLagTime(float raw) {
  raw = safeSettingValue(raw, lagRaw_);
  lagRaw_ = raw;
  readout_.lagMs_ = static_cast<int>(raw * 999.0f + 0.5f);
}

void MeterCore::setSampleRate(float sampleRate) { sampleRate_ = safeSampleRate(sampleRate); }

void MeterCore::setMsType(int type) {
  // 0.708 in single precision, as the mid has always been scaled.
  static const double kFactors[3] = {1.0, static_cast<double>(0.708f), 0.5};
  msFactor_ = kFactors[type < 0 ? 0 : (type > 2 ? 2 : type)];
}

void MeterCore::setPrecise(bool on) {
  precise_ = on;
  preciseClearRequest_ = preciseClearRequest_ + 1u;
}

void MeterCore::applyPreciseClear() {
  const unsigned request = preciseClearRequest_;
  if (request == preciseClearDone_) return;
  preciseClearDone_ = request;
  peak_[0].clear();
  peak_[1].clear();
}

void MeterCore::reset() {
  const float rate = sampleRate_;
  tickPeriod_ = static_cast<int>(rate * 0.001f);
  if (tickPeriod_ < 1) tickPeriod_ = 1;
  tickCounter_ = 0;
  readout_.writePos_ = 0;
  readout_.readPos_ = 0;
  const int arrays = readout_.kinds_ * 2 + 2;
  for (int i = 0; i < arrays * kHistorySlots; ++i) readout_.history_[i] = 0.0;
  overCountdown_[0] = overCountdown_[1] = 0.0;
  clearOverCounters();
}

void MeterCore::clearOverCounters() {
  readout_.overCounter_[0] = -1.0;
  readout_.overCounter_[1] = -1.0;
}

void MeterCore::beginBlock() {
  for (int k = 0; k < readout_.kinds_; ++k) {
    for (int c = 0; c < 2; ++c) readout_.blockStart_[k][c] = readout_.reading_[k][c].load();
  }
}

bool MeterCore::publish(int kind, int channel, double value, bool usable) {
  if (kind < 0 || kind >= readout_.kinds_) return true;
  const bool finite = usable && std::isfinite(value);
  readout_.reading_[kind][channel == 1 ? 1 : 0] = finite ? value : readout_.rest_;
  return finite;
}

}  // namespace orvane

namespace orvane {

void MeterCore::restReading(int kind, int channel) {
  if (kind < 0 || kind >= readout_.kinds_) return;
  const int c = channel == 1 ? 1 : 0;
  readout_.reading_[kind][c] = readout_.rest_;
  readout_.blockStart_[kind][c] = readout_.rest_;
}

}  // namespace orvane
