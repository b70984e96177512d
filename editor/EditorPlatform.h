// The few window-system calls the editor makes itself: keyboard focus for
// the frame's window, resizing the host's window, telling threads apart
// cheaply, and finding the plug-in's own bitmaps.
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

// Points the toolkit at the plug-in's bitmaps: on Windows the PNG
// resources of the module this code is linked into, natively the folder
// the build placed them in.
void locatePluginResources();

}  // namespace orvane
