// The few window-system calls the editor makes itself: keyboard focus for
// the frame's window, resizing the host's window, telling threads apart
// cheaply, and finding the module that holds the plug-in's resources.
#pragma once

#include <cstdint>

namespace orvane {

// Gives the native window the keyboard focus (Windows); nothing natively.
void focusNativeWindow(void* window);

// Sets the native window's size without moving it or changing its place
// among its siblings. False when there is no window (natively always).
bool resizeNativeWindow(void* window, int width, int height);

// A number that identifies the calling thread. Cheap enough for the audio
// thread: no allocation, no system call.
uint64_t currentThreadKey();

// The module (Windows HMODULE) whose code holds `address`, without taking a
// reference on it, so a DLL still unloads when the host lets it go. Null
// natively, or when the address belongs to no module.
void* moduleContaining(const void* address);

}  // namespace orvane
