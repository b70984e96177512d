// A value that one thread writes and another reads, without a lock: the
// audio thread writes the readings while the editor reads them, the editor
// writes settings while the audio thread reads them. Each value is written
// whole; a stale value costs at most one display refresh. Relaxed atomics
// compile to plain loads and stores on every target we ship.
#pragma once

#include <atomic>

namespace orvane {

template <class T>
class Relaxed {
 public:
  static_assert(std::atomic<T>::is_always_lock_free, "the audio thread must never wait on a hidden lock");

  constexpr Relaxed(T value = T()) noexcept : value_(value) {}
  Relaxed(const Relaxed&) = delete;
  Relaxed& operator=(const Relaxed&) = delete;

  operator T() const noexcept { return value_.load(std::memory_order_relaxed); }
  T load() const noexcept { return value_.load(std::memory_order_relaxed); }
  void store(T value) noexcept { value_.store(value, std::memory_order_relaxed); }
  Relaxed& operator=(T value) noexcept {
    value_.store(value, std::memory_order_relaxed);
    return *this;
  }

 private:
  std::atomic<T> value_;
};

}  // namespace orvane
