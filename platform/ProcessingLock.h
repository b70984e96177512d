// The per-instance lock that keeps a processed block and a change of filter
// coefficients apart. It behaves like a Windows mutex: the thread that holds
// it may take it again (a host that changes a filter from inside its own
// audio callback must never wait on itself), and nobody waits longer than the
// given time: after a time-out the caller goes on without the lock, because a
// late block is worse than a block filtered with half-changed coefficients.
#pragma once

#include <cstdint>

namespace orvane {

class ProcessingLock {
 public:
  ProcessingLock();
  ~ProcessingLock();
  ProcessingLock(const ProcessingLock&) = delete;
  ProcessingLock& operator=(const ProcessingLock&) = delete;

  // True when the calling thread now holds the lock (once more, if it held
  // it already); false after waiting `timeoutMs` in vain.
  bool acquire(uint32_t timeoutMs = 1000);
  // Gives back one acquire of the calling thread.
  void release();

 private:
  void* handle_;
};

// Holds the lock for a scope, if it could be had within the time-out.
class ProcessingLockGuard {
 public:
  explicit ProcessingLockGuard(ProcessingLock& lock, uint32_t timeoutMs = 1000)
      : lock_(lock), held_(lock.acquire(timeoutMs)) {}
  ~ProcessingLockGuard() {
    if (held_) lock_.release();
  }
  bool held() const { return held_; }
  ProcessingLockGuard(const ProcessingLockGuard&) = delete;
  ProcessingLockGuard& operator=(const ProcessingLockGuard&) = delete;

 private:
  ProcessingLock& lock_;
  bool held_;
};

// Milliseconds since the system started, wrapping at 2^32 like the Windows
// tick count.
uint32_t systemTickCount();

}  // namespace orvane
