#include "meters/MeterReadout.h"

#include <cmath>

namespace orvane {

MeterReadout::MeterReadout(int kinds, double rest)
    : kinds_(kinds < 2 ? 2 : (kinds > 3 ? 3 : kinds)),
      rest_(rest),
      history_(new Relaxed<double>[static_cast<std::size_t>(kinds_ * 2 + 2) * kHistorySlots]) {
  for (int k = 0; k < 3; ++k) {
    for (int c = 0; c < 2; ++c) {
      reading_[k][c] = rest;
      blockStart_[k][c] = rest;
    }
  }
  for (int c = 0; c < 2; ++c) {
    overCounter_[c] = -1.0;
    overLatch_[c] = 0;
    infiniteHold_[c] = -1.0;
  }
}

double MeterReadout::reading(int kind, int channel) const {
  if (kind < 0 || kind >= kinds_) return 0.0;
  return reading_[kind][ch(channel)];
}

double MeterReadout::blockStart(int kind, int channel) const {
  if (kind < 0 || kind >= kinds_) return 0.0;
  return blockStart_[kind][ch(channel)];
}

const Relaxed<double>* MeterReadout::history(int kind, int channel) const {
  if (kind < 0 || kind >= kinds_) return nullptr;
  return slots(kind * 2 + ch(channel));
}

const Relaxed<double>* MeterReadout::overHistory(int channel) const { return slots(kinds_ * 2 + ch(channel)); }

double MeterReadout::readDisplayValue(float x, double reading, double blockStart, const Relaxed<double>* history) {
  const int lag = lagMs_;
  if (lag != 0) {
    int pos = writePos_ - (lag < kMaxLagMs ? lag : kMaxLagMs);
    if (pos < 0) pos += kHistorySlots;
    readPos_ = pos;
    return history ? history[pos].load() : 0.0;
  }
  if (reading > blockStart) return reading;
  // The editor computes x from two clocks; a broken clock must not turn a
  // needle into NaN. Far beyond the block end every needle is at rest anyway.
  double t = static_cast<double>(x);
  if (!(t > 0.0)) t = 0.0;
  if (t > 1e6) t = 1e6;
  return (1.0 - t) * blockStart + t * reading;
}

double MeterReadout::readDisplayValue(float x, int kind, int channel) {
  if (kind < 0 || kind >= kinds_) return 0.0;
  const int c = ch(channel);
  return readDisplayValue(x, reading_[kind][c], blockStart_[kind][c], slots(kind * 2 + c));
}

double MeterReadout::readHoldDisplay(float x, int channel) {
  const int c = ch(channel);
  double shown = readDisplayValue(x, kHoldReading, c);
  if (holdMode_ == 1) {
    if (shown > infiniteHold_[c]) {
      infiniteHold_[c] = shown;
    } else {
      shown = infiniteHold_[c];
    }
  }
  return shown;
}

int MeterReadout::readOverState(int channel) {
  const int c = ch(channel);
  if (lagMs_ != 0) {
    if (slots(kinds_ * 2 + c)[readPos_].load() > 0.0) {
      overLatch_[c] = 1;
      return 1;
    }
    return overLatch_[c] ? 0 : -1;
  }
  if (overCounter_[c] >= overCount_) {
    overCounter_[c] = 0.0;
    overLatch_[c] = 1;
    return 1;
  }
  return overLatch_[c] ? 0 : -1;
}

void MeterReadout::resetOvers() {
  for (int c = 0; c < 2; ++c) {
    overLatch_[c] = 0;
    infiniteHold_[c] = -1.0;
  }
}

double MeterReadout::infiniteHoldMaximum(int channel) const { return infiniteHold_[ch(channel)]; }

double MeterReadout::overCounter(int channel) const { return overCounter_[ch(channel)]; }

}  // namespace orvane
