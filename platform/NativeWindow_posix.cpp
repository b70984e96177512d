#include <pthread.h>

#include "platform/NativeWindow.h"

namespace orvane {

// The native build has no windows of its own: the frame is windowless.
void focusNativeWindow(void*) {}

bool resizeNativeWindow(void*, int, int) { return false; }

uint64_t currentThreadKey() { return static_cast<uint64_t>(pthread_self()); }

void* moduleContaining(const void*) { return nullptr; }

}  // namespace orvane
