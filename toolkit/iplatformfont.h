// A font as the platform draws it, and the painter that puts text on a
// draw context. A product can install its own (an embedded font, say) into a
// CFontDesc in place of the system font that the name would give.
#pragma once

#include "toolkit/cpoint.h"

namespace VSTGUI {

class CDrawContext;

class IFontPainter {
 public:
  virtual ~IFontPainter() = default;
  // p is the start of the baseline, in the context's coordinates (before
  // the context's offset is applied).
  virtual void drawString(CDrawContext* context, UTF8StringPtr string, const CPoint& p, bool antialias = true) = 0;
  virtual CCoord getStringWidth(CDrawContext* context, UTF8StringPtr string, bool antialias = true) = 0;
};

class IPlatformFont : public CBaseObject {
 public:
  // The system font of that family; nullptr when the platform has none.
  static IPlatformFont* create(UTF8StringPtr name, const CCoord& size, const int32_t& style);

  virtual double getAscent() const = 0;
  virtual double getDescent() const = 0;
  virtual double getLeading() const = 0;
  virtual double getCapHeight() const = 0;
  virtual IFontPainter* getPainter() = 0;
  // The same face at another size (pixels) or style, with one reference for
  // the caller; nullptr when the font has none (the default), and the
  // description then keeps this one. Custom fonts override it.
  virtual IPlatformFont* createVariant(const CCoord& size, const int32_t& style) {
    (void)size;
    (void)style;
    return nullptr;
  }
};

}  // namespace VSTGUI
