#include <windows.h>

#include <atomic>

#include "platform/ProcessingLock.h"

namespace orvane {

// The lock is taken twice per block on the audio thread and nearly never
// contended, so its uncontended path must cost no system call: a kernel
// mutex costs one call per acquire and one per release (a round trip to
// the server under Wine), which alone would cap the instances one core can
// run. So: the owner thread's id in an atomic word, a depth count only the
// owner touches, and an auto-reset event that waiters sleep on, signalled
// by a release only when someone waits. It keeps the kernel mutex's
// behaviour: re-entrant on the owner, waits bounded by the time-out, and a
// lock whose owner thread ended while holding it goes to the next taker
// (as an abandoned mutex does).
namespace {

struct LockState {
  std::atomic<DWORD> owner{0};
  std::atomic<long> waiters{0};
  long depth = 0;  // the owner's alone
  HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
};

bool tryTake(LockState& s, DWORD self) {
  DWORD expected = 0;
  if (s.owner.compare_exchange_strong(expected, self, std::memory_order_acquire)) {
    s.depth = 1;
    return true;
  }
  return false;
}

// The owner's thread is gone (it ended holding the lock): take it over.
bool takeAbandoned(LockState& s, DWORD self) {
  DWORD owner = s.owner.load(std::memory_order_relaxed);
  if (owner == 0 || owner == self) return false;
  HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, owner);
  bool ended = true;
  if (thread) {
    ended = WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
    CloseHandle(thread);
  }
  if (!ended) return false;
  if (!s.owner.compare_exchange_strong(owner, self, std::memory_order_acquire)) return false;
  s.depth = 1;
  return true;
}

}  // namespace

ProcessingLock::ProcessingLock() : handle_(new LockState) {}

ProcessingLock::~ProcessingLock() {
  auto* s = static_cast<LockState*>(handle_);
  if (s->wake) CloseHandle(s->wake);
  delete s;
}

bool ProcessingLock::acquire(uint32_t timeoutMs) {
  auto& s = *static_cast<LockState*>(handle_);
  const DWORD self = GetCurrentThreadId();
  if (s.owner.load(std::memory_order_relaxed) == self) {
    ++s.depth;
    return true;
  }
  if (tryTake(s, self)) return true;
  if (!s.wake) return false;
  // A short spin first: a block or a filter change holds the lock for
  // microseconds.
  for (int spin = 0; spin < 64; ++spin) {
    YieldProcessor();
    if (s.owner.load(std::memory_order_relaxed) == 0 && tryTake(s, self)) return true;
  }
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    // Announce the wait before the last look, so a release that sees no
    // waiter has already freed the lock for that look.
    s.waiters.fetch_add(1);
    if (tryTake(s, self)) {
      s.waiters.fetch_sub(1);
      return true;
    }
    const ULONGLONG waited = GetTickCount64() - start;
    const DWORD left = waited >= timeoutMs ? 0 : (DWORD)(timeoutMs - waited);
    const DWORD r = left ? WaitForSingleObject(s.wake, left) : WAIT_TIMEOUT;
    s.waiters.fetch_sub(1);
    if (tryTake(s, self) || takeAbandoned(s, self)) return true;
    if (r != WAIT_OBJECT_0 && GetTickCount64() - start >= timeoutMs) return false;
  }
}

void ProcessingLock::release() {
  auto& s = *static_cast<LockState*>(handle_);
  if (s.owner.load(std::memory_order_relaxed) != GetCurrentThreadId()) return;
  if (--s.depth > 0) return;
  s.owner.store(0);
  if (s.waiters.load() > 0) SetEvent(s.wake);
}

uint32_t systemTickCount() { return GetTickCount(); }

}  // namespace orvane
