#include "meters/MeterMath.h"

#include <cmath>

#include "meters/NumberFormat.h"

namespace orvane {
namespace {

// Nudged steps, by knob position (s = position / 4). 0 means "no nudge".
struct Nudge {
  int position;
  float shortStep;
  float longStep;
};

const Nudge kNudges[] = {
    {7, 1.6f, 1.6f},        // s 1.75
    {8, 1.7f, 1.7f},        // s 2
    {23, 0.0f, 5.6f},       // s 5.75
    {24, 6.25f, 5.7f},      // s 6
    {25, 6.4f, 0.0f},       // s 6.25
    {32, 8.095f, 8.155f},   // s 8: 5 ms on the short scale
    {40, 10.4f, 0.0f},      // s 10
    {41, 10.45f, 0.0f},     // s 10.25
    {42, 10.6f, 0.0f},      // s 10.5
    {47, 11.6f, 11.6f},     // s 11.75
    {48, 11.73f, 11.76f},   // s 12
    {56, 14.12f, 14.47f},   // s 14
    {57, 0.0f, 14.52f},     // s 14.25
    {58, 0.0f, 14.6f},      // s 14.5
    {64, 16.09f, 16.025f},  // s 16
    {72, 18.47f, 18.451f},  // s 18
    {73, 18.5f, 18.5f},     // s 18.25
    {74, 18.65f, 18.6f},    // s 18.5
};

}  // namespace

int timePosition(float value, bool rounding) {
  if (!(value > 0.0f)) return 0;  // NaN and negatives
  if (value > 1.0f) value = 1.0f;
  const float scaled = value * 80.0f;
  return static_cast<int>(rounding ? scaled + 0.5f : scaled);
}

float timeStep(int position, TimeMap map) {
  if (position < 0) position = 0;
  if (position > 80) position = 80;
  for (const Nudge& n : kNudges) {
    if (n.position == position) {
      const float nudged = map == TimeMap::Short ? n.shortStep : n.longStep;
      if (nudged != 0.0f) return nudged;
      break;
    }
  }
  const float quarter = static_cast<float>(position) * 0.0125f;
  return quarter * 20.0f;
}

double timeMs(float value, TimeMap map, bool rounding) {
  const float step = timeStep(timePosition(value, rounding), map);
  const double exponent = static_cast<double>(step) * 0.05;
  if (map == TimeMap::Short) return std::pow(101.0, exponent) - 1.0;
  return 100.0 * std::pow(100.0, exponent);
}

float quantiseTimeSetting(float value) {
  return static_cast<float>(timePosition(value, false)) * 0.0125f;
}

double attackCoefficient(float sampleRate, double ms) {
  if (!(ms > 0.05)) return 1.0;
  return 1.0 - std::pow(0.01, 1.0 / (static_cast<double>(sampleRate) * ms * 0.001));
}

double fallCoefficient(float sampleRate, double ms) {
  // A zero time would divide by zero; the long-time map never goes below
  // 100 ms, but a reading must never become NaN, so it then falls at once.
  const double samples = static_cast<double>(sampleRate) * ms * 0.001;
  if (!(samples > 0.0)) return 1.0;
  return 1.0 - std::pow(0.0625, 1.0 / samples);
}

double holdSamples(float sampleRate, double ms) { return static_cast<double>(sampleRate) * ms * 0.001; }

int holdCountLimit(double holdLength) {
  if (!(holdLength > 0.0)) return 0;
  const double limit = std::ceil(holdLength);
  return limit >= kHoldCounterCeiling ? kHoldCounterCeiling : static_cast<int>(limit);
}

double referenceAmplitude(float dB) { return std::pow(10.0, static_cast<double>(dB) * static_cast<double>(0.05f)); }

float referenceDbFromSetting24(float value) { return value * 24.0f - 24.0f; }

float safeSampleRate(float sampleRate) {
  if (!(sampleRate > 0.0f) || std::isinf(sampleRate)) return 44100.0f;
  // A millisecond must hold at least one sample (the history tick), and a
  // rate beyond any converter would only waste the coefficients' precision.
  if (sampleRate < 1000.0f) return 1000.0f;
  if (sampleRate > 800000.0f) return 800000.0f;
  return sampleRate;
}

void referenceText(double referenceAmplitude, char* text) {
  formatNumberWithUnit(20.0 * std::log10(referenceAmplitude), 1, "dBFS", text, kSettingTextBytes);
}

void shortTimeText(double ms, char* text) {
  formatNumberWithUnit(static_cast<int>(ms + 0.5), 0, "ms", text, kSettingTextBytes);
}

void longTimeText(double ms, char* text) {
  // Seconds in single precision, as the knob's value itself is.
  formatNumberWithUnit(static_cast<float>(ms) * 0.001f, 2, "s", text, kSettingTextBytes);
}

double steppedOverThreshold(double step, double gain, double aboveReference) {
  if (step < 0.25) return aboveReference;
  if (step < 0.5) return gain * 0.7071;               // -3 dBFS
  if (step < 0.75) return gain * 0.8912509381337456;  // -1 dBFS
  return gain;                                        // full scale
}

}  // namespace orvane
