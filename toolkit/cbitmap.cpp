#include "toolkit/cbitmap.h"

#include "toolkit/cdrawcontext.h"

namespace VSTGUI {

namespace {
CPoint sizeOf(const IPlatformBitmap* pixels) { return pixels ? pixels->getSize() : CPoint(); }
}  // namespace

CBitmap::CBitmap(const CResourceDescription& desc)
    : resourceDesc(desc), platformBitmap(IPlatformBitmap::createFromResource(desc.id)), size(sizeOf(platformBitmap)) {}

CBitmap::CBitmap(CCoord width, CCoord height)
    : resourceDesc(0), platformBitmap(IPlatformBitmap::create(CPoint(width, height))), size(sizeOf(platformBitmap)) {}

CBitmap::CBitmap(IPlatformBitmap* platformBitmap)
    : resourceDesc(0), platformBitmap(platformBitmap), size(sizeOf(platformBitmap)) {}

CBitmap::~CBitmap() {
  if (platformBitmap) platformBitmap->forget();
  if (platformBitmap2x) platformBitmap2x->forget();
}

void CBitmap::setPlatformBitmap(IPlatformBitmap* bitmap) {
  if (bitmap == platformBitmap) return;
  if (platformBitmap) platformBitmap->forget();
  platformBitmap = bitmap;
  size = sizeOf(bitmap);
  keep1x = true;
  // New pixels have no 2x artwork.
  if (platformBitmap2x) platformBitmap2x->forget();
  platformBitmap2x = nullptr;
  triedLoading2x = true;
}

IPlatformBitmap* CBitmap::getPlatformBitmapFor(double scale) {
  if (!isLoaded()) return nullptr;
  if (scale > 1) {
    if (!triedLoading2x) {
      triedLoading2x = true;
      if (resourceDesc.id > 0) {
        platformBitmap2x = IPlatformBitmap::createFromResource2x(resourceDesc.id);
        // Artwork that is not exactly twice the 1x bitmap is not its 2x form.
        if (platformBitmap2x &&
            (platformBitmap2x->getSize().x != 2 * size.x || platformBitmap2x->getSize().y != 2 * size.y)) {
          platformBitmap2x->forget();
          platformBitmap2x = nullptr;
        }
      }
    }
    if (platformBitmap2x) {
      if (platformBitmap && !keep1x) {
        platformBitmap->forget();
        platformBitmap = nullptr;
      }
      return platformBitmap2x;
    }
  }
  if (!platformBitmap) {
    // Let go for the 2x set; the resource is the same one, so this only
    // fails where memory does, and then the 2x set is drawn filtered.
    platformBitmap = IPlatformBitmap::createFromResource(resourceDesc.id);
    keep1x = true;
    if (!platformBitmap) return platformBitmap2x;
  }
  return platformBitmap;
}

double CBitmap::getPixelDensity(const IPlatformBitmap* pixels) const {
  return pixels && pixels == platformBitmap2x ? 2.0 : 1.0;
}

void CBitmap::draw(CDrawContext* context, const CRect& dest, const CPoint& offset, float alpha) {
  if (context && isLoaded()) context->drawBitmap(this, dest, offset, alpha);
}

CCoord CBitmap::getWidth() const { return size.x; }
CCoord CBitmap::getHeight() const { return size.y; }

namespace {
// The 1x pixels for a look at them, decoded for the while where they were
// let go for the 2x set.
struct Pixels1x {
  Pixels1x(IPlatformBitmap* held, const CResourceDescription& desc)
      : pixels(held          ? held
               : desc.id > 0 ? IPlatformBitmap::createFromResource(desc.id)
                             : nullptr),
        owned(!held) {}
  ~Pixels1x() {
    if (owned && pixels) pixels->forget();
  }
  IPlatformBitmap* pixels;
  bool owned;
};
}  // namespace

bool CBitmap::copyPixels(std::vector<uint8_t>& bgra) const {
  if (!isLoaded()) return false;
  Pixels1x p(platformBitmap, resourceDesc);
  return p.pixels && p.pixels->copyPixels(bgra);
}

bool CBitmap::writePNG(UTF8StringPtr path) const {
  if (!isLoaded() || !path) return false;
  Pixels1x p(platformBitmap, resourceDesc);
  return p.pixels && p.pixels->writePNG(path);
}

}  // namespace VSTGUI
