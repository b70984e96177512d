// A font description (family name, size in pixels, style) and the toolkit's
// predefined fonts.
#pragma once

#include <string>

#include "toolkit/iplatformfont.h"

namespace VSTGUI {

enum CTxtFace { kNormalFace = 0, kBoldFace = 1 << 0, kItalicFace = 1 << 1, kUnderlineFace = 1 << 2 };

class CFontDesc : public CBaseObject {
 public:
  CFontDesc(UTF8StringPtr name = nullptr, const CCoord& size = 0, const int32_t style = 0);
  CFontDesc(const CFontDesc& font);
  ~CFontDesc() override;
  CFontDesc& operator=(const CFontDesc& f);

  UTF8StringPtr getName() const { return name.c_str(); }
  const CCoord& getSize() const { return size; }
  const int32_t& getStyle() const { return style; }
  virtual void setName(UTF8StringPtr newName);
  virtual void setSize(CCoord newSize);
  virtual void setStyle(int32_t newStyle);

  // The platform font, created on first use from name, size and style.
  virtual IPlatformFont* getPlatformFont();
  bool operator==(const CFontDesc& f) const;

  // Installs a font of one's own (an embedded font, say) in place of the
  // system font the name would give; the description takes the reference.
  // Copies share it, and a new size or style asks it for a variant
  // (IPlatformFont::createVariant) instead of falling back to the system
  // font; a new name drops it.
  void setPlatformFont(IPlatformFont* font);
  bool hasCustomPlatformFont() const { return customFont; }

  // Frees what the predefined fonts hold of the platform, for a library
  // that is about to be unloaded.
  static void cleanup();

 protected:
  virtual void freePlatformFont();
  // After a change of size or style: a custom font is swapped for its
  // variant, a system font is looked up again on next use.
  void sizeOrStyleChanged();

  std::string name;
  CCoord size;
  int32_t style;
  IPlatformFont* platformFont = nullptr;
  bool customFont = false;
};

typedef CFontDesc* CFontRef;

// The predefined fonts: all "Arial" but the symbol font.
extern const CFontRef kSystemFont;
extern const CFontRef kNormalFontVeryBig;
extern const CFontRef kNormalFontBig;
extern const CFontRef kNormalFont;
extern const CFontRef kNormalFontSmall;
extern const CFontRef kNormalFontSmaller;
extern const CFontRef kNormalFontVerySmall;
extern const CFontRef kSymbolFont;

}  // namespace VSTGUI
