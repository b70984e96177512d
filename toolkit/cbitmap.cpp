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
}

void CBitmap::setPlatformBitmap(IPlatformBitmap* bitmap) {
  if (bitmap == platformBitmap) return;
  if (platformBitmap) platformBitmap->forget();
  platformBitmap = bitmap;
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
