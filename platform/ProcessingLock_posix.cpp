#include <time.h>

#include <chrono>
#include <mutex>

#include "platform/ProcessingLock.h"

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#endif

namespace orvane {

// std::recursive_timed_mutex has exactly the Windows mutex's semantics that
// matter here: re-entrant on the owner, bounded wait.
ProcessingLock::ProcessingLock() : handle_(new std::recursive_timed_mutex) {}

ProcessingLock::~ProcessingLock() { delete static_cast<std::recursive_timed_mutex*>(handle_); }

bool ProcessingLock::acquire(uint32_t timeoutMs) {
  auto* m = static_cast<std::recursive_timed_mutex*>(handle_);
  // Uncontended, as nearly every block is: no clock to read.
  if (m->try_lock()) return true;
#if defined(__SANITIZE_THREAD__)
  // The bounded wait ends in pthread_mutex_clocklock, which this compiler's
  // ThreadSanitizer does not intercept: without being told, it would miss
  // that the lock is held, report its release as an unlock of an unlocked
  // mutex and everything done under it as a race.
  __tsan_mutex_pre_lock(m, __tsan_mutex_try_lock);
  const bool held = m->try_lock_for(std::chrono::milliseconds(timeoutMs));
  __tsan_mutex_post_lock(m, held ? __tsan_mutex_try_lock : __tsan_mutex_try_lock_failed, 0);
  return held;
#else
  return m->try_lock_for(std::chrono::milliseconds(timeoutMs));
#endif
}

void ProcessingLock::release() { static_cast<std::recursive_timed_mutex*>(handle_)->unlock(); }

uint32_t systemTickCount() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
}

}  // namespace orvane
