#include "controls/CZELCustomFont.h"

namespace VSTGUI {

namespace {
CZELCustomFont* gShared = nullptr;
}

CZELCustomFont::CZELCustomFont(CCoord size, int32_t style, const ZELFontSource& source)
    : CFontDesc("doesn't matter", size, style), source(source) {
  setPlatformFont(new ZELCoreTextFont(kZELFontIdentifier, size, style, source));
}

CZELCustomFont::~CZELCustomFont() {
  if (gShared == this) gShared = nullptr;
}

CZELCustomFont* CZELCustomFont::acquire() {
  if (gShared)
    gShared->remember();
  else
    gShared = new CZELCustomFont(38, 0);
  return gShared;
}

IPlatformFont* CZELCustomFont::getPlatformFont() {
  if (!platformFont) setPlatformFont(new ZELCoreTextFont(kZELFontIdentifier, size, style, source));
  return platformFont;
}

ZELCoreTextFont* CZELCustomFont::getCoreTextFont() { return static_cast<ZELCoreTextFont*>(getPlatformFont()); }

}  // namespace VSTGUI
