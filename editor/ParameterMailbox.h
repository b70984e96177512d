// Parameter changes that reach the editor on a thread other than the one
// its views live on (a host automating from its audio thread). The sender
// only stores a value and raises a flag: no lock, no allocation, no system
// call, so the audio thread never waits on the window. The window's own
// thread takes the changes on its next idle.
#pragma once

#include <atomic>
#include <cstdint>

namespace orvane {

class ParameterMailbox {
 public:
  // The effect's whole index space: host parameters, commands, meter
  // settings and the label notice all lie below this.
  static constexpr int kSlots = 128;

  ParameterMailbox() {
    for (auto& s : slots_) {
      s.value.store(0.0f, std::memory_order_relaxed);
      s.dirty.store(false, std::memory_order_relaxed);
    }
  }

  // Any thread. An index outside the effect's space has nothing to update
  // and is dropped. A later change of the same index replaces an earlier
  // one that was not yet taken: only the latest value matters to a view.
  bool post(int32_t index, float value) {
    if (index < 0 || index >= kSlots) return false;
    Slot& s = slots_[index];
    s.value.store(value, std::memory_order_relaxed);
    // The flag is raised after the value, so a taker that sees the flag sees
    // this value or a newer one.
    s.dirty.store(true, std::memory_order_release);
    pending_.store(true, std::memory_order_release);
    return true;
  }

  // The window's thread: hands every waiting change to fn(index, value),
  // lowest index first, and forgets it. A change posted while this runs is
  // either handed over now or kept for the next call, never lost.
  template <typename Fn>
  int take(Fn&& fn) {
    if (!pending_.exchange(false, std::memory_order_acquire)) return 0;
    int n = 0;
    for (int i = 0; i < kSlots; ++i) {
      Slot& s = slots_[i];
      if (!s.dirty.load(std::memory_order_relaxed)) continue;
      if (!s.dirty.exchange(false, std::memory_order_acquire)) continue;
      fn(i, s.value.load(std::memory_order_relaxed));
      ++n;
    }
    return n;
  }

  // Drops whatever waits (the window is about to be rebuilt from the
  // effect's current values).
  void clear() {
    pending_.store(false, std::memory_order_relaxed);
    for (auto& s : slots_) s.dirty.store(false, std::memory_order_relaxed);
  }

  bool hasPending() const { return pending_.load(std::memory_order_acquire); }

 private:
  struct Slot {
    std::atomic<float> value;
    std::atomic<bool> dirty;
  };
  Slot slots_[kSlots];
  std::atomic<bool> pending_{false};
};

}  // namespace orvane
