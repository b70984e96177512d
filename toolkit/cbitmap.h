// A bitmap: a PNG resource addressed by integer identifier, or an empty
// bitmap that an offscreen context draws into. Controls with several states
// stack their frames vertically in one bitmap.
#pragma once

#include <vector>

#include "toolkit/crect.h"
#include "toolkit/iplatformbitmap.h"

namespace VSTGUI {

class CDrawContext;

class CResourceDescription {
 public:
  CResourceDescription(int32_t id) : id(id) {}
  int32_t id;
};

class CBitmap : public CBaseObject {
 public:
  // Loads the PNG resource; a missing or broken resource leaves a bitmap
  // that reports isLoaded() false, a size of 0 × 0 and draws nothing.
  CBitmap(const CResourceDescription& desc);
  // An empty bitmap of that size.
  CBitmap(CCoord width, CCoord height);
  // Takes over one reference of a platform bitmap.
  explicit CBitmap(IPlatformBitmap* platformBitmap);
  ~CBitmap() override;
  CBitmap(const CBitmap&) = delete;
  CBitmap& operator=(const CBitmap&) = delete;

  // Draws the part of the bitmap that starts at offset into dest (no
  // scaling: dest gives the size of the part), with the given opacity.
  virtual void draw(CDrawContext* context, const CRect& dest, const CPoint& offset = CPoint(0, 0), float alpha = 1.f);

  CCoord getWidth() const;
  CCoord getHeight() const;
  bool isLoaded() const { return platformBitmap != nullptr || platformBitmap2x != nullptr; }
  const CResourceDescription& getResourceDescription() const { return resourceDesc; }
  // The 1x pixels; null for a resource bitmap drawn from its 2x artwork
  // alone (see getPlatformBitmapFor). An empty bitmap's always.
  IPlatformBitmap* getPlatformBitmap() const { return platformBitmap; }
  // The pixels to draw with at this many pixels per unit: above 1 the
  // resource's 2x artwork (loaded on first use, kept while the bitmap
  // lives), otherwise, or where there is no 2x artwork, the 1x pixels. The
  // 1x set is never blown up when a sharper one exists. Sizes and offsets
  // stay in units (the 1x size); a draw context maps them onto the pixels
  // it gets with getPixelDensity.
  // The first time the 2x artwork is drawn, the 1x pixels of a resource are
  // let go: a zoomed window would otherwise hold both sets. Drawn at 1x
  // again, they are decoded once more and from then on kept beside the 2x
  // set, so a window that draws at both scales decodes no more than twice.
  IPlatformBitmap* getPlatformBitmapFor(double scale);
  // Pixels of a platform bitmap from getPlatformBitmapFor per unit (1 or 2).
  double getPixelDensity(const IPlatformBitmap* pixels) const;
  // Replaces the pixels (the bitmap takes the reference).
  void setPlatformBitmap(IPlatformBitmap* bitmap);

  bool copyPixels(std::vector<uint8_t>& bgra) const;
  bool writePNG(UTF8StringPtr path) const;

 protected:
  CResourceDescription resourceDesc;
  IPlatformBitmap* platformBitmap = nullptr;
  IPlatformBitmap* platformBitmap2x = nullptr;
  bool triedLoading2x = false;
  // The 1x size, in units, whichever pixels are held.
  CPoint size;
  bool keep1x = false;
};

}  // namespace VSTGUI
