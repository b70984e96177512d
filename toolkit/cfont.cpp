#include "toolkit/cfont.h"

namespace VSTGUI {

CFontDesc::CFontDesc(UTF8StringPtr name, const CCoord& size, const int32_t style)
    : name(name ? name : ""), size(size), style(style) {}

CFontDesc::CFontDesc(const CFontDesc& font)
    : CBaseObject(font), name(font.name), size(font.size), style(font.style) {
  // A system font is cheap to look up again; a custom one may exist nowhere
  // but in the original, so the copy shares it.
  if (font.customFont && font.platformFont) {
    platformFont = font.platformFont;
    platformFont->remember();
    customFont = true;
  }
}

CFontDesc::~CFontDesc() { freePlatformFont(); }

CFontDesc& CFontDesc::operator=(const CFontDesc& f) {
  if (this != &f) {
    name = f.name;
    size = f.size;
    style = f.style;
    if (f.customFont && f.platformFont) {
      f.platformFont->remember();
      setPlatformFont(f.platformFont);
    } else {
      freePlatformFont();
    }
  }
  return *this;
}

void CFontDesc::setName(UTF8StringPtr newName) {
  std::string n = newName ? newName : "";
  if (n == name) return;
  name = n;
  freePlatformFont();
}

void CFontDesc::setSize(CCoord newSize) {
  if (newSize == size) return;
  size = newSize;
  sizeOrStyleChanged();
}

void CFontDesc::setStyle(int32_t newStyle) {
  if (newStyle == style) return;
  style = newStyle;
  sizeOrStyleChanged();
}

void CFontDesc::sizeOrStyleChanged() {
  if (customFont && platformFont) {
    // A font that has no variant stays as it is: the right face at the
    // wrong size reads better than a system face the product never chose.
    if (IPlatformFont* variant = platformFont->createVariant(size, style)) {
      platformFont->forget();
      platformFont = variant;
    }
    return;
  }
  freePlatformFont();
}

IPlatformFont* CFontDesc::getPlatformFont() {
  if (!platformFont) platformFont = IPlatformFont::create(name.c_str(), size, style);
  return platformFont;
}

bool CFontDesc::operator==(const CFontDesc& f) const {
  return name == f.name && size == f.size && style == f.style;
}

void CFontDesc::freePlatformFont() {
  if (platformFont) {
    platformFont->forget();
    platformFont = nullptr;
  }
  customFont = false;
}

void CFontDesc::setPlatformFont(IPlatformFont* font) {
  if (platformFont == font) {
    // Already ours: the caller's reference is one too many.
    if (font) font->forget();
    customFont = font != nullptr;
    return;
  }
  freePlatformFont();
  platformFont = font;
  customFont = font != nullptr;
}

// The predefined fonts live as long as the library; nothing ever deletes
// them, so they are plain static objects that keep their first reference.
namespace {
CFontDesc gSystemFont("Arial", 12);
CFontDesc gNormalFontVeryBig("Arial", 18);
CFontDesc gNormalFontBig("Arial", 14);
CFontDesc gNormalFont("Arial", 12);
CFontDesc gNormalFontSmall("Arial", 11);
CFontDesc gNormalFontSmaller("Arial", 10);
CFontDesc gNormalFontVerySmall("Arial", 9);
CFontDesc gSymbolFont("Symbol", 12);
}  // namespace

const CFontRef kSystemFont = &gSystemFont;
const CFontRef kNormalFontVeryBig = &gNormalFontVeryBig;
const CFontRef kNormalFontBig = &gNormalFontBig;
const CFontRef kNormalFont = &gNormalFont;
const CFontRef kNormalFontSmall = &gNormalFontSmall;
const CFontRef kNormalFontSmaller = &gNormalFontSmaller;
const CFontRef kNormalFontVerySmall = &gNormalFontVerySmall;
const CFontRef kSymbolFont = &gSymbolFont;

void CFontDesc::cleanup() {
  for (CFontDesc* f : {kSystemFont, kNormalFontVeryBig, kNormalFontBig, kNormalFont, kNormalFontSmall,
                       kNormalFontSmaller, kNormalFontVerySmall, kSymbolFont})
    f->freePlatformFont();
}

}  // namespace VSTGUI
