// The frame's X11 child window as tests and benchmarks see it: how often it
// painted and which window it is. IPlatformFrame::create makes one when the
// host gives a window; a frame's platform frame is then this class.
#pragma once

#ifndef _WIN32

#include <cstdint>

#include "toolkit/iplatformframe.h"

namespace VSTGUI {

class X11PlatformFrame : public IPlatformFrame {
 public:
  // Paints of the back buffer (one per invalid rectangle) since the window
  // was made.
  virtual int32_t getPaintCount() const = 0;
  // The child window's X id.
  virtual unsigned long getWindow() const = 0;
};

}  // namespace VSTGUI

#endif
