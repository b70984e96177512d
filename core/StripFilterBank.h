// The channel strip's filters: a high-pass of 12 or 24 dB/oct (20 Hz .. 2 kHz)
// and a low-pass of 6 or 18 dB/oct (300 Hz .. 30 kHz), run in place on one or
// two channels. Near the top of the band the low-pass does not press its
// corner against the Nyquist frequency: it fades into the unfiltered signal.
//
// Not thread-safe by itself: the effect calls the setters, recompute and
// clear under its processing lock, or while no block is being processed.
#pragma once

#include <complex>
#include <cstdint>

#include "core/FilterSection.h"

namespace orvane {

class StripFilterBank {
 public:
  // The sections, in the order the bank keeps them.
  enum Section : int {
    kHP1Left = 0,
    kHP2Left,
    kHP1Right,
    kHP2Right,
    kLP1Left,
    kLP2Left,
    kLP1Right,
    kLP2Right,
    kSectionCount
  };

  // Blocks are filtered in chunks of at most this many frames.
  static constexpr int32_t kChunk = 64;
  static constexpr int32_t kWorkBufferLength = 128;

  static constexpr float kMinBankRate = 44100.0f;
  static constexpr float kMaxBankRate = 192000.0f;
  static constexpr float kMinHighPassHz = 20.0f;
  static constexpr float kMaxHighPassHz = 2000.0f;
  static constexpr float kMinLowPassHz = 300.0f;
  static constexpr float kMaxLowPassHz = 30000.0f;
  // Both high-pass sections are critically damped (Q 0.5): the same curve
  // shape over the whole range, no overshoot, -3.5 dB at the set frequency
  // for 12 dB/oct.
  static constexpr double kHighPassQ = 0.5;

  // Defaults: HP in, 12 dB/oct, 20 Hz; LP in, 6 dB/oct, 30 kHz; 44.1 kHz;
  // all state cleared.
  StripFilterBank();

  // Bank rate := rate limited to 44.1 .. 192 kHz (NaN gives 44.1 kHz), then
  // everything is recomputed for it, cross-fade included.
  void setSampleRate(float rate);
  // Every section takes the bank rate and recomputes; the HPStat, HPFreq,
  // LPStat and LPFreq setters run again with their stored values.
  void recompute();
  // Zeroes the work buffers and every section's state.
  void clear();

  // The six parameter setters take normalised values; anything outside
  // 0..1 is limited to it (NaN counts as 0).
  void setHPStat(float v);   // r(v): 1 = in
  void setHPSlope(float v);  // r(v): 0 = 12 dB/oct, 1 = 24 dB/oct
  void setHPFreq(float v);   // 20 * 100^v Hz
  void setLPStat(float v);   // r(v): 1 = in
  void setLPSlope(float v);  // r(v): 0 = 6 dB/oct, 1 = 18 dB/oct
  void setLPFreq(float v);   // 300 * 100^v Hz

  // In place. Null buffers or frames <= 0: nothing happens.
  void processStereo(float* left, float* right, int32_t frames);
  // Left sections only; the result also goes to rightOrNull when given.
  void processMono(float* left, float* rightOrNull, int32_t frames);

  // Read-only views for the effect, the strip editor and tests.
  float bankRate() const { return bankRate_; }
  float hpStatValue() const { return hpStatValue_; }
  float hpSlopeValue() const { return hpSlopeValue_; }
  float hpFreqValue() const { return hpFreqValue_; }
  float lpStatValue() const { return lpStatValue_; }
  float lpSlopeValue() const { return lpSlopeValue_; }
  float lpFreqValue() const { return lpFreqValue_; }
  bool hpIn() const { return hpIn_ != 0; }
  int hpSlope() const { return hpSlope_; }
  bool lpIn() const { return lpIn_ != 0; }
  int lpSlope() const { return lpSlope_; }
  float hpFrequency() const { return hpFrequency_; }
  float lpFrequency() const { return lpFrequency_; }
  float wet() const { return wet_; }
  float dry() const { return dry_; }
  const FilterSection& section(Section s) const { return sections_[s]; }

  // The bank's transfer function at `hz`, computed from the current section
  // coefficients and cross-fade weights (left sections; the right ones are
  // always set alike): HP1 * HP2 * (wet * LP1 * LP2 + dry), or HP1 * HP2
  // alone while the low-pass is out.
  std::complex<double> responseAt(double hz) const;
  double magnitudeAt(double hz) const { return std::abs(responseAt(hz)); }

 private:
  template <class Lanes>
  void run(float* left, float* right, float* monoCopy, int32_t frames);
  void guardState();
  void setHighPassEnables();
  void setLowPassEnables();

  float bankRate_ = kMinBankRate;
  float hpStatValue_ = 1.0f, hpSlopeValue_ = 0.0f, hpFreqValue_ = 0.0f;
  float lpStatValue_ = 1.0f, lpSlopeValue_ = 0.0f, lpFreqValue_ = 1.0f;
  int hpIn_ = 1, hpSlope_ = 0, lpIn_ = 1, lpSlope_ = 0;
  float hpFrequency_ = kMinHighPassHz;
  float lpFrequency_ = kMaxLowPassHz;
  float wet_ = 1.0f, dry_ = 0.0f;

  FilterSection sections_[kSectionCount];

  // High-pass results and low-pass copies of one chunk.
  alignas(16) float hpLeft_[kWorkBufferLength];
  alignas(16) float hpRight_[kWorkBufferLength];
  alignas(16) float lpLeft_[kWorkBufferLength];
  alignas(16) float lpRight_[kWorkBufferLength];
};

}  // namespace orvane
