#include "core/Parameters.h"

#include "meters/NumberFormat.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace orvane {

namespace {

constexpr VstInt32 kSwitch = kVstParameterIsSwitch | kVstParameterUsesFloatStep;  // 5
constexpr VstInt32 kStepped = kVstParameterUsesFloatStep;                         // 4

// Trim and the two frequencies move in 41 coarse and 401 fine steps across
// their range; LagTime in tenths and single milliseconds of its 999.
const ParameterInfo kTable[kHostParameterCount] = {
    {"Process", 0.0f, 2, ParameterText::OnOff, kSwitch, 1.0f, 1.0f, 1.0f},
    {"Trim", 0.5f, 0, ParameterText::TrimDb, kStepped, 1.0f / 41, 1.0f / 401, 1.0f / 41},
    {"GSIcal", 0.5f, 3, ParameterText::Scope, kStepped, 0.5f, 0.5f, 0.5f},
    // Meter has three states, like GSIcal and Hold, so it reports their
    // half steps rather than a two-state switch.
    {"Meter", 0.0f, 3, ParameterText::Meter, kStepped, 0.5f, 0.5f, 0.5f},
    {"LR/MS", 0.0f, 2, ParameterText::LrMs, kSwitch, 1.0f, 1.0f, 1.0f},
    {"Hold", 0.0f, 3, ParameterText::Hold, kStepped, 0.5f, 0.5f, 0.5f},
    {"Strips", 1.0f, 2, ParameterText::ShowHide, kSwitch, 1.0f, 1.0f, 1.0f},
    {"ShowFlt", 0.0f, 2, ParameterText::ShowHide, kSwitch, 1.0f, 1.0f, 1.0f},
    {"ProcFlt", 0.0f, 2, ParameterText::InOut, kSwitch, 1.0f, 1.0f, 1.0f},
    {"HPStat", 1.0f, 2, ParameterText::InOut, kSwitch, 1.0f, 1.0f, 1.0f},
    {"HPSlope", 0.0f, 2, ParameterText::HPSlope, kSwitch, 1.0f, 1.0f, 1.0f},
    {"HPFreq", 0.0f, 0, ParameterText::HPFreq, kStepped, 1.0f / 41, 1.0f / 401, 1.0f / 41},
    {"LPStat", 1.0f, 2, ParameterText::InOut, kSwitch, 1.0f, 1.0f, 1.0f},
    {"LPSlope", 0.0f, 2, ParameterText::LPSlope, kSwitch, 1.0f, 1.0f, 1.0f},
    {"LPFreq", 1.0f, 0, ParameterText::LPFreq, kStepped, 1.0f / 41, 1.0f / 401, 1.0f / 41},
    {"ShowLbl", 0.0f, 2, ParameterText::ShowHide, kSwitch, 1.0f, 1.0f, 1.0f},
    {"LagTime", 0.0f, 0, ParameterText::LagMs, kStepped, 1.0f / 99.9f, 1.0f / 999, 1.0f / 99.9f},
};

}  // namespace

const ParameterInfo& parameterInfo(int32_t index) {
  return kTable[isHostParameter(index) ? index : 0];
}

double trimDecibels(float v) { return (int)(v * 400.0f + 0.5f) * 0.1 - 20.0; }

float trimGain(float v) { return (float)std::pow(10.0, (float)trimDecibels(v) * 0.05); }

double hpFrequency(float v) { return 20.0 * std::pow(100.0, (double)v); }

double lpFrequency(float v) { return 300.0 * std::pow(100.0, (double)v); }

int lagMilliseconds(float v) { return (int)(v * 999.0f + 0.5f); }

void formatFrequency(double hz, char* out) {
  if (!out) return;
  if (!std::isfinite(hz) || hz < 0) hz = 0;
  if (hz < 10) {
    formatNumber(hz, 2, out, 16);
  } else if (hz < 100) {
    formatNumber(hz, 1, out, 16);
  } else if (hz < 1000) {
    formatNumber(hz, 0, out, 16);
  } else {
    int k = (int)(hz / 1000);
    int h = (int)((hz - 1000.0 * k) / 100);
    int t = (int)((hz - 1000.0 * k - 100.0 * h) / 10);
    char buffer[32];
    int n = std::snprintf(buffer, sizeof(buffer), "%dk", k);
    if (h != 0 || t != 0) {
      n += std::snprintf(buffer + n, sizeof(buffer) - n, "%d", h);
      if (t != 0 && hz < 10000) std::snprintf(buffer + n, sizeof(buffer) - n, "%d", t);
    }
    std::memcpy(out, buffer, std::strlen(buffer) + 1);
  }
}

void copyText(char* dst, const char* src, int size) {
  if (!dst || size <= 0) return;
  int n = 0;
  if (src)
    while (n < size - 1 && src[n]) {
      dst[n] = src[n];
      ++n;
    }
  dst[n] = 0;
}

}  // namespace orvane
