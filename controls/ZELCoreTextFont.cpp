#include "controls/ZELCoreTextFont.h"

#include <cstdint>
#include <cstring>

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

// Big-endian fields of a font file, read only inside its bounds.
struct FontBytes {
  const uint8_t* data;
  size_t size;
  bool has(size_t offset, size_t length) const { return offset <= size && length <= size - offset; }
  uint16_t u16(size_t at) const { return static_cast<uint16_t>(data[at] << 8 | data[at + 1]); }
  int16_t s16(size_t at) const { return static_cast<int16_t>(u16(at)); }
  uint32_t u32(size_t at) const { return static_cast<uint32_t>(u16(at)) << 16 | u16(at + 2); }
};

// Where the table of that tag starts and how long it is; false when the
// directory does not list it or it runs past the end of the file.
bool findTable(const FontBytes& f, const char* tag, size_t& offset, size_t& length) {
  if (!f.has(0, 12)) return false;
  const size_t tables = f.u16(4);
  for (size_t i = 0; i < tables && f.has(12 + 16 * i, 16); ++i) {
    const size_t entry = 12 + 16 * i;
    if (std::memcmp(f.data + entry, tag, 4) != 0) continue;
    offset = f.u32(entry + 8);
    length = f.u32(entry + 12);
    return f.has(offset, length);
  }
  return false;
}

}  // namespace

bool readZELDesignMetrics(const void* bytes, size_t size, ZELDesignMetrics& out) {
  if (!bytes) return false;
  const FontBytes f{static_cast<const uint8_t*>(bytes), size};
  size_t head, headLength, hhea, hheaLength, os2, os2Length;
  if (!findTable(f, "head", head, headLength) || headLength < 54 || !findTable(f, "hhea", hhea, hheaLength) ||
      hheaLength < 36 || !findTable(f, "OS/2", os2, os2Length) || os2Length < 78)
    return false;
  ZELDesignMetrics m;
  m.unitsPerEm = f.u16(head + 18);
  if (!(m.unitsPerEm > 0)) return false;
  m.ascent = f.u16(os2 + 74);   // usWinAscent
  m.descent = f.u16(os2 + 76);  // usWinDescent
  m.lineGap = f.s16(hhea + 8);
  m.capHeight = f.s16(hhea + 4) * 0.7;
  if (f.u16(os2) >= 2 && os2Length >= 90 && f.s16(os2 + 88) > 0) m.capHeight = f.s16(os2 + 88);
  out = m;
  return true;
}

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

void ZELCoreTextFont::takeDesignMetrics(double unitsPerEm, double designAscent, double designDescent, double lineGap,
                                        double designCapHeight) {
  if (!(unitsPerEm > 0)) return;
  double factor = size / unitsPerEm;
  ascent = designAscent * factor;
  descent = designDescent * factor;
  leading = lineGap * factor;
  capHeight = designCapHeight * factor;
}

bool ZELCoreTextFont::takeDesignMetrics(const void* bytes, size_t bytesSize) {
  ZELDesignMetrics m;
  if (!readZELDesignMetrics(bytes, bytesSize, m)) return false;
  takeDesignMetrics(m.unitsPerEm, m.ascent, m.descent, m.lineGap, m.capHeight);
  return true;
}

}  // namespace VSTGUI
