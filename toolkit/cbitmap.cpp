#include "toolkit/cbitmap.h"

#include "toolkit/cdrawcontext.h"

namespace VSTGUI {

CBitmap::CBitmap(const CResourceDescription& desc)
    : resourceDesc(desc), platformBitmap(IPlatformBitmap::createFromResource(desc.id)) {}

CBitmap::CBitmap(CCoord width, CCoord height)
    : resourceDesc(0), platformBitmap(IPlatformBitmap::create(CPoint(width, height))) {}

CBitmap::CBitmap(IPlatformBitmap* platformBitmap) : resourceDesc(0), platformBitmap(platformBitmap) {}

CBitmap::~CBitmap() {
  if (platformBitmap) platformBitmap->forget();
  if (platformBitmap2x) platformBitmap2x->forget();
}

void CBitmap::setPlatformBitmap(IPlatformBitmap* bitmap) {
  if (bitmap == platformBitmap) return;
  if (platformBitmap) platformBitmap->forget();
  platformBitmap = bitmap;
  // New pixels have no 2x artwork.
  if (platformBitmap2x) platformBitmap2x->forget();
  platformBitmap2x = nullptr;
  triedLoading2x = true;
}

IPlatformBitmap* CBitmap::getPlatformBitmapFor(double scale) {
  if (!(scale > 1) || !platformBitmap) return platformBitmap;
  if (!triedLoading2x) {
    triedLoading2x = true;
    if (resourceDesc.id > 0) {
      platformBitmap2x = IPlatformBitmap::createFromResource2x(resourceDesc.id);
      // Artwork that is not exactly twice the 1x bitmap is not its 2x form.
      if (platformBitmap2x && (platformBitmap2x->getSize().x != 2 * platformBitmap->getSize().x ||
                               platformBitmap2x->getSize().y != 2 * platformBitmap->getSize().y)) {
        platformBitmap2x->forget();
        platformBitmap2x = nullptr;
      }
    }
  }
  return platformBitmap2x ? platformBitmap2x : platformBitmap;
}

double CBitmap::getPixelDensity(const IPlatformBitmap* pixels) const {
  return pixels && pixels == platformBitmap2x ? 2.0 : 1.0;
}

void CBitmap::draw(CDrawContext* context, const CRect& dest, const CPoint& offset, float alpha) {
  if (context && platformBitmap) context->drawBitmap(this, dest, offset, alpha);
}

CCoord CBitmap::getWidth() const { return platformBitmap ? platformBitmap->getSize().x : 0; }
CCoord CBitmap::getHeight() const { return platformBitmap ? platformBitmap->getSize().y : 0; }

bool CBitmap::copyPixels(std::vector<uint8_t>& bgra) const {
  return platformBitmap && platformBitmap->copyPixels(bgra);
}

bool CBitmap::writePNG(UTF8StringPtr path) const { return platformBitmap && path && platformBitmap->writePNG(path); }

}  // namespace VSTGUI
