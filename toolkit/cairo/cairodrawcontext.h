// The native build's draw context: cairo on an image surface.
#pragma once

#ifndef _WIN32

#include <cairo.h>

#include <string>

#include "toolkit/cdrawcontext.h"

namespace VSTGUI {

class CairoDrawContext : public COffscreenContext {
 public:
  // Draws into the bitmap (which must come from this platform).
  explicit CairoDrawContext(CBitmap* bitmap);
  ~CairoDrawContext() override;

  void drawLine(const CPoint& start, const CPoint& end) override;
  void drawRect(const CRect& rect, const CDrawStyle drawStyle = kDrawStroked) override;
  void drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset = CPoint(0, 0), float alpha = 1.f) override;
  void endDraw() override;

  // For font painters: the cairo context with the clip in effect, and the
  // source colour set with the global alpha applied.
  cairo_t* getCairo() const { return cr; }
  void setSourceColor(const CColor& color);

 protected:
  void applyClip() override;
  void setAntialias();

  cairo_t* cr = nullptr;
};

// The cairo surface of a bitmap made on this platform, or nullptr.
cairo_surface_t* cairoSurfaceOf(CBitmap* bitmap);

// Text as cairo may be given it: cairo refuses text that is not UTF-8 by
// putting the context (and the font) into a lasting error state, after
// which nothing draws again. Every malformed byte becomes U+FFFD, as
// Windows' conversion makes it in the DLLs.
std::string validUtf8(UTF8StringPtr text);

}  // namespace VSTGUI

#endif
