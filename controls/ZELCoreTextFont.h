// The embedded font as the toolkit draws it: the tape label's TrueType font,
// read from the plug-in's own resource 111 (RT_FONT) on Windows, where
// DirectWrite draws it through a custom font collection and GDI gets it as
// a private memory font for the edit box; natively the same file
// (resources/font/ZELOrvane.ttf) drawn with cairo and FreeType. Nothing is
// installed on the user's machine and nothing is looked up by name.
#pragma once

#include <cstddef>
#include <string>

#include "toolkit/cfont.h"

namespace VSTGUI {

// The font's identifier; its face name is this without the extension.
extern const char* const kZELFontIdentifier;  // "ZELOrvane.psf"
constexpr int32_t kZELFontResourceID = 111;

// Where the font's bytes come from. The defaults are the shipped ones; tests
// point them elsewhere (a module without the resource, a missing file) to
// see a font that cannot load.
struct ZELFontSource {
  // Windows: the module whose RT_FONT resource holds the font; null means
  // the module that holds this code (the plug-in DLL).
  void* module = nullptr;
  int32_t resourceID = kZELFontResourceID;
  // Natively: the font file; empty means font/ZELOrvane.ttf in the
  // toolkit's resource folder.
  std::string file;
};

// A TrueType file's design metrics in font units, as DirectWrite reports
// them: the Windows ascent and descent, the horizontal header's line gap,
// the cap height (0.7 of the ascent where the file gives none).
struct ZELDesignMetrics {
  double unitsPerEm = 0, ascent = 0, descent = 0, lineGap = 0, capHeight = 0;
};
// Reads them from the font file's bytes; false when the bytes hold no
// well-formed head, hhea and OS/2 tables to read them from.
bool readZELDesignMetrics(const void* bytes, size_t size, ZELDesignMetrics& out);

class ZELCoreTextFont : public IPlatformFont, public IFontPainter {
 public:
  // size in pixels; style: kBoldFace and kItalicFace of CTxtFace.
  ZELCoreTextFont(UTF8StringPtr identifier, CCoord size, int32_t style, const ZELFontSource& source = {});
  ~ZELCoreTextFont() override;

  // The font's own design metrics scaled to the size, read from its file
  // when the font is made, so the first text drawn already stands where
  // every later one does; the proportions the label was designed with
  // (34.96, 8.74, 0, 25.12 at any size) while the font cannot be loaded.
  double getAscent() const override { return ascent; }
  double getDescent() const override { return descent; }
  double getLeading() const override { return leading; }
  double getCapHeight() const override { return capHeight; }
  IFontPainter* getPainter() override { return this; }
  // The same embedded face at another size or style.
  IPlatformFont* createVariant(const CCoord& size, const int32_t& style) override;

  // The baseline starts at p. Draws nothing (and measures 0) when the font
  // could not be loaded or the context is not this platform's.
  void drawString(CDrawContext* context, UTF8StringPtr string, const CPoint& p, bool antialias = true) override;
  CCoord getStringWidth(CDrawContext* context, UTF8StringPtr string, bool antialias = true) override;

  CCoord getSize() const { return size; }
  const std::wstring& getFaceName() const { return faceName; }
  int32_t getWeight() const { return weight; }
  bool isItalic() const { return italic; }
  CCoord getLastMeasuredWidth() const { return lastWidth; }

  // Windows: the GDI font (HFONT) of this face, its height the size times
  // scale (the frame's scale factor), owned by this object; null when GDI
  // could not load the font. Always null natively.
  void* getGdiFont(double scale = 1.0);
  // True once the platform holds the font's bytes (GDI's memory font on
  // Windows, the FreeType face natively).
  bool isLoaded() const;

 private:
  void loadIntoPlatform();
  // Windows: a new IDWriteTextLayout of the text, or null; the first one
  // also brings in DirectWrite's design metrics if the file gave none.
  void* makeLayout(UTF8StringPtr string);
  void takeDesignMetrics(double unitsPerEm, double designAscent, double designDescent, double lineGap,
                         double designCapHeight);
  // Takes the metrics of the font file's bytes; false when they have none.
  bool takeDesignMetrics(const void* bytes, size_t size);

  std::string identifier;
  std::wstring faceName;
  CCoord size;
  int32_t weight;
  bool italic;
  ZELFontSource source;
  double ascent = 34.96, descent = 8.74, leading = 0, capHeight = 25.12;
  CCoord lastWidth = 0;

  struct Platform;
  Platform* platform;
};

}  // namespace VSTGUI
