#include <windows.h>

#include "platform/ProcessingLock.h"

namespace orvane {

// An unnamed kernel mutex, not initially owned: re-entrant on the owning
// thread by nature, and WaitForSingleObject gives the time-out.
ProcessingLock::ProcessingLock() : handle_(CreateMutexW(nullptr, FALSE, nullptr)) {}

ProcessingLock::~ProcessingLock() {
  if (handle_) CloseHandle(static_cast<HANDLE>(handle_));
}

bool ProcessingLock::acquire(uint32_t timeoutMs) {
  if (!handle_) return false;
  DWORD r = WaitForSingleObject(static_cast<HANDLE>(handle_), timeoutMs);
  // An abandoned mutex (its owner thread ended while holding it) is ours now.
  return r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
}

void ProcessingLock::release() {
  if (handle_) ReleaseMutex(static_cast<HANDLE>(handle_));
}

uint32_t systemTickCount() { return GetTickCount(); }

}  // namespace orvane
