#include "controls/ZELCoreTextFont.h"

namespace VSTGUI {

const char* const kZELFontIdentifier = "ZELOrvane.psf";

namespace {

// The face name is the identifier without its four-character extension,
// at most 31 characters so it always fits a GDI face-name field.
std::wstring faceNameOf(UTF8StringPtr identifier) {
  std::string id = identifier ? identifier : "";
  id = id.size() > 4 ? id.substr(0, id.size() - 4) : std::string();
  if (id.size() > 31) id.resize(31);
  // Identifiers are plain ASCII; anything else would not name a face.
  std::wstring face;
  for (char c : id) face.push_back(static_cast<unsigned char>(c) < 0x80 ? static_cast<wchar_t>(c) : L'?');
  return face;
}

}  // namespace

ZELCoreTextFont::ZELCoreTextFont(UTF8StringPtr identifier, CCoord size, int32_t style, const ZELFontSource& source)
    : identifier(identifier ? identifier : ""),
      faceName(faceNameOf(identifier)),
      size(size > 0 ? size : 0),
      weight((style & kBoldFace) ? 700 : 400),
      italic((style & kItalicFace) != 0),
      source(source),
      platform(nullptr) {
  loadIntoPlatform();
}

IPlatformFont* ZELCoreTextFont::createVariant(const CCoord& newSize, const int32_t& newStyle) {
  return new ZELCoreTextFont(identifier.c_str(), newSize, newStyle, source);
}

void ZELCoreTextFont::takeDesignMetrics(double unitsPerEm, double designAscent, double designDescent,
                                        double lineGap, double designCapHeight) {
  if (!(unitsPerEm > 0)) return;
  double factor = size / unitsPerEm;
  ascent = designAscent * factor;
  descent = designDescent * factor;
  leading = lineGap * factor;
  capHeight = designCapHeight * factor;
}

}  // namespace VSTGUI
