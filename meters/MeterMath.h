// The arithmetic the three meters share: how a 0..1 setting becomes a time
// or a reference level, and how a time becomes a per-sample coefficient.
#pragma once

namespace orvane {

// Time knobs have 81 positions (0..80, a step s of 0.25 each, 0..20). Some
// steps are nudged so that the printed scale falls on round times.
enum class TimeMap {
  Short,  // 0..100 ms: ms = 101^(s/20) - 1
  Long,   // 0.1..10 s: ms = 100 * 100^(s/20)
};

// Knob position 0..80 of a time setting: truncating (PPM, RMS) or rounding
// (the VU hold time). Any input, NaN included, gives a valid position.
int timePosition(float value, bool rounding);
// The step s' (after the nudges) of a position.
float timeStep(int position, TimeMap map);
// The time in milliseconds of a setting.
double timeMs(float value, TimeMap map, bool rounding);

// The stored form of an RMS time setting: its position times 1/80, so that
// applying the stored value again lands on the same position.
float quantiseTimeSetting(float value);

// Per-sample coefficients at `sampleRate` (Hz).
// Rise: a step is reached to 99 % in `ms`; 0.05 ms or less rises at once.
double attackCoefficient(float sampleRate, double ms);
// Fall: a reading falls to 1/16 (24 dB) in `ms`.
double fallCoefficient(float sampleRate, double ms);
// Hold length in samples.
double holdSamples(float sampleRate, double ms);

// Hold counters count samples since a mark was raised; they stop here, long
// after any hold length, so they never overflow.
constexpr int kHoldCounterCeiling = 1 << 30;
// The first whole count at or past a hold length: comparing a counter with
// it in integers answers exactly as comparing with the length itself.
int holdCountLimit(double holdLength);

// The over threshold of the VU's and the PPM's four-step setting (0, 1/3,
// 2/3, 1): `aboveReference` (a level above the reference), -3 dBFS, -1 dBFS
// or full scale, as a magnitude times `gain` (1 / reference).
double steppedOverThreshold(double step, double gain, double aboveReference);

// Reference amplitude of a level in dBFS: 10^(dB/20), with the 1/20 taken
// in single precision as the level knobs always have.
double referenceAmplitude(float dB);
// Reference level of the VU and PPM knobs: v * 24 - 24 dBFS (-24..0).
float referenceDbFromSetting24(float value);

// The sample rate an engine works at: the effect already replaces rates
// outside 20..200 kHz with 44.1 kHz; anything else that reaches an engine
// (NaN, zero, negative, absurd) is made safe here.
float safeSampleRate(float sampleRate);

// The texts beside the back-panel knobs; `text` holds at least 32 bytes.
// A reference as "-18.0dBFS", a short time in whole milliseconds ("10ms"),
// a long time in seconds with two decimals ("1.00s").
constexpr int kSettingTextBytes = 32;
void referenceText(double referenceAmplitude, char* text);
void shortTimeText(double ms, char* text);
void longTimeText(double ms, char* text);

}  // namespace orvane
