#include "meters/PeakNeedle.h"

#include "meters/MeterMath.h"

namespace orvane {

void PeakNeedle::setIntegration(float value, float sampleRate) {
  integrationMs_ = timeMs(value, TimeMap::Short, false);
  attack_ = attackCoefficient(sampleRate, integrationMs_);
}

void PeakNeedle::setHoldTime(float value, float sampleRate) {
  holdMs_ = timeMs(value, TimeMap::Long, false);
  holdLength_ = holdSamples(sampleRate, holdMs_);
}

void PeakNeedle::setReturn(float value, float sampleRate) {
  returnMs_ = timeMs(value, TimeMap::Long, false);
  fall_ = fallCoefficient(sampleRate, returnMs_);
}

void PeakNeedle::recomputeCoefficients(float sampleRate) {
  attack_ = attackCoefficient(sampleRate, integrationMs_);
  fall_ = fallCoefficient(sampleRate, returnMs_);
  holdLength_ = holdSamples(sampleRate, holdMs_);
}

bool PeakNeedle::timeText(int32_t index, int32_t integration, int32_t hold, int32_t ret, char* text) const {
  if (index == integration) shortTimeText(integrationMs_, text);
  else if (index == hold) longTimeText(holdMs_, text);
  else if (index == ret) longTimeText(returnMs_, text);
  else return false;
  return true;
}

PeakLanes PeakNeedle::startLanes(const MeterReadout& r) const {
  return {lanes(r.reading(kMainReading, 0), r.reading(kMainReading, 1)),
          {r.reading(kHoldReading, 0), r.reading(kHoldReading, 1), holdCounter_[0], holdCounter_[1],
           holdCountLimit(holdLength_)}};
}

}  // namespace orvane
