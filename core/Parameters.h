// The host parameters: one table gives each its name, its states, its
// default and the properties the host sees; the display texts are derived
// from it. Names, displays, the chunk and the tests read this table; nothing
// lists the parameters again by hand.
#pragma once

#include <cstdint>

#include "core/vst2abi.h"

namespace orvane {

enum ParameterIndex : int32_t {
  kProcess = 0,
  kTrim,
  kGSIcal,
  kMeter,
  kLRMS,
  kHold,
  kStrips,
  kShowFlt,
  kProcFlt,
  kHPStat,
  kHPSlope,
  kHPFreq,
  kLPStat,
  kLPSlope,
  kLPFreq,
  kShowLbl,
  kLagTime,
  kHostParameterCount = 17,  // 0..16 are real and automatable
  kParameterSlots = 64,      // what the host sees; 17..63 carry nothing

  // Internal indices, reached through the same setParameter/getParameter.
  kCommandSaveGlobal = 65,
  kCommandResetOvers = 67,
  kNotifyLabelChanged = 69,
};

// How a parameter's value reads as text.
enum class ParameterText {
  OnOff,     // "On" / "Off"
  InOut,     // "In" / "Out"
  ShowHide,  // "Show" / "Hide"
  TrimDb,    // -20.0dB .. 20.0dB
  Scope,     // "Global" / "Session" / "Instance"
  Meter,     // "VU3" / "RMS3" / "PPM3"
  LrMs,      // "LR" / "MS"
  Hold,      // "Off" / "oo" / "On"
  HPSlope,   // "12" / "24"
  LPSlope,   // "6" / "18"
  HPFreq,    // 20 Hz .. 2 kHz
  LPFreq,    // 300 Hz .. 30 kHz
  LagMs,     // the selected engine's lag, "250 ms"
};

struct ParameterInfo {
  const char* name;
  float defaultValue;  // GSIcal and Meter start from the process-wide last choice instead
  int states;          // 2 or 3 for switches, 0 for continuous values
  ParameterText text;
  VstInt32 flags;      // VstParameterFlags
  float step, smallStep, largeStep;
};

const ParameterInfo& parameterInfo(int32_t index);  // index 0..16
inline bool isHostParameter(int32_t index) { return index >= 0 && index < kHostParameterCount; }
inline bool isParameterSlot(int32_t index) { return index >= 0 && index < kParameterSlots; }

// A two-state choice is trunc(v + 0.5), a three-state one trunc(2v + 0.5),
// taken in double like the filter bank and the engines do, so that a value
// just below a boundary means the same state everywhere.
inline int twoState(float v) { return (int)((double)v + 0.5); }
inline int threeState(float v) { return (int)((double)v * 2.0 + 0.5); }

// Value mappings.
double trimDecibels(float v);   // -20.0 .. +20.0 in 0.1 dB steps
float trimGain(float v);        // 10^(dB/20) of that trim: the glide's target
double hpFrequency(float v);    // 20 * 100^v Hz
double lpFrequency(float v);    // 300 * 100^v Hz
int lagMilliseconds(float v);   // 0 .. 999

// A filter frequency as the strip shows it: "5.00", "63.2", "632", "2k",
// "2k5", "2k54", "2k04", "12k5", "12k0". `out` holds at least 16 bytes.
void formatFrequency(double hz, char* out);

// Copies a text into a host buffer that holds `size` bytes, always
// terminated.
void copyText(char* dst, const char* src, int size);

}  // namespace orvane
