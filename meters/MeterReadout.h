// What a meter shows, read the same way whatever the meter type: the
// needle, hold and (RMS) mean-square readings of each channel with their
// block-start values and delay histories, the over indicators and the
// infinite-hold maxima. A meter panel or an offline tool holds a
// MeterReadout& and never needs to know which engine fills it.
//
// Threads: the audio thread writes readings, block starts, histories and
// over counters; the editor reads them and writes the over latches and the
// infinite-hold maxima. Every value is a relaxed atomic written whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "meters/Relaxed.h"

namespace orvane {

// Which reading of a channel. VU: needle; PPM and RMS: peak envelope.
enum ReadingKind : int { kMainReading = 0, kHoldReading = 1, kMeanSquareReading = 2 };

// The delay history holds one slot per millisecond tick, 1001 in all, so a
// delay of 999 ticks never reads a slot that is being rewritten.
constexpr int kHistorySlots = 1001;
constexpr int kMaxLagMs = 999;
// Ticks an over stays lit in the delayed display.
constexpr int kOverCountdownTicks = 30;

class MeterReadout {
 public:
  // `kinds`: 2 (main, hold) or 3 (main, hold, mean square). `rest`: the
  // value the readings return to (VU -0.05, PPM and RMS 0).
  MeterReadout(int kinds, double rest);

  int readingKinds() const { return kinds_; }
  double restValue() const { return rest_; }

  // Live values, as the audio thread left them after its last block.
  double reading(int kind, int channel) const;
  double blockStart(int kind, int channel) const;
  // The delay history of one reading (1001 slots), or of one channel's over
  // countdown; null for a kind this meter does not have.
  const Relaxed<double>* history(int kind, int channel) const;
  const Relaxed<double>* overHistory(int channel) const;

  // One reading as the display shows it. With a display delay, the value
  // stored lagMs ticks ago; without, the live reading when it rose during
  // the block (rises show at once), otherwise a straight line from the
  // block-start value through the reading, x blocks after the block start
  // (x below 0 counts as 0; it is not limited above, so a fall keeps moving
  // while the host sends no audio).
  double readDisplayValue(float x, double reading, double blockStart, const Relaxed<double>* history);
  double readDisplayValue(float x, int kind, int channel);
  // The hold reading; with Hold on infinite, the largest value shown since
  // the last resetOvers.
  double readHoldDisplay(float x, int channel);
  // -1 no over since the last resetOvers, 0 an over happened (latched),
  // 1 over now. Reading it consumes a pending over.
  int readOverState(int channel);
  // Clears both over latches and both infinite-hold maxima.
  void resetOvers();

  int lagMs() const { return lagMs_; }
  int holdMode() const { return holdMode_; }
  double infiniteHoldMaximum(int channel) const;
  int writePosition() const { return writePos_; }
  double overCounter(int channel) const;
  double overSampleCount() const { return overCount_; }

 private:
  friend class MeterCore;
  static int ch(int channel) { return channel == 1 ? 1 : 0; }
  Relaxed<double>* slots(int array) { return history_.get() + static_cast<std::ptrdiff_t>(array) * kHistorySlots; }
  const Relaxed<double>* slots(int array) const { return history_.get() + static_cast<std::ptrdiff_t>(array) * kHistorySlots; }

  const int kinds_;
  const double rest_;
  Relaxed<double> reading_[3][2];
  Relaxed<double> blockStart_[3][2];
  // kinds * 2 reading arrays, then the two over countdowns.
  std::unique_ptr<Relaxed<double>[]> history_;
  Relaxed<int> writePos_{0};
  Relaxed<int> readPos_{0};
  Relaxed<int> lagMs_{0};
  Relaxed<int> holdMode_{0};
  Relaxed<double> overCounter_[2];
  Relaxed<double> overCount_{3.0};
  Relaxed<unsigned char> overLatch_[2];
  Relaxed<double> infiniteHold_[2];
};

}  // namespace orvane
