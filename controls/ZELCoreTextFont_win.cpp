// The embedded font on Windows: DirectWrite draws it from a custom font
// collection whose loaders read the module's RT_FONT resource; GDI gets the
// same bytes as a private memory font of the process, for the edit box.
#include <windows.h>

#include <cmath>

#include "controls/ResourceFontLoaders.h"
#include "controls/ZELCoreTextFont.h"
#include "platform/NativeWindow.h"
#include "toolkit/win32/d2ddrawcontext.h"

namespace VSTGUI {

namespace {

template <class T>
void release(T*& p) {
  if (p) {
    p->Release();
    p = nullptr;
  }
}

void anchor() {}

}  // namespace

struct ZELCoreTextFont::Platform {
  HMODULE module = nullptr;
  HANDLE memoryFont = nullptr;
  HFONT gdiFont = nullptr;
  double gdiScale = 1.0;

  // The loaders belong to this font object alone, so two fonts of the same
  // face (a label and a smaller copy of it) never register the same loader
  // twice, which DirectWrite would refuse.
  ResourceFontFileLoader* fileLoader = nullptr;
  ResourceFontCollectionLoader* collectionLoader = nullptr;
  bool handedOver = false;  // the loaders were offered to the factory
  bool fileLoaderRegistered = false;
  bool collectionLoaderRegistered = false;
  HRESULT loaderResult = S_OK;

  IDWriteFontCollection* collection = nullptr;
  IDWriteTextFormat* format = nullptr;
  bool collectionFailed = false;
  bool metricsTaken = false;  // from the resource's tables, or else from the first layout
};

void ZELCoreTextFont::loadIntoPlatform() {
  if (!platform) {
    platform = new Platform;
    platform->module = static_cast<HMODULE>(source.module ? source.module
                                                          : orvane::moduleContaining(reinterpret_cast<const void*>(&anchor)));
  }
  Platform& p = *platform;
  if (!p.memoryFont && p.module && source.resourceID > 0 && source.resourceID <= 0xffff) {
    HRSRC res = FindResourceW(p.module, MAKEINTRESOURCEW(source.resourceID), MAKEINTRESOURCEW(8));
    HGLOBAL loaded = res ? LoadResource(p.module, res) : nullptr;
    void* bytes = loaded ? LockResource(loaded) : nullptr;
    DWORD bytesSize = res ? SizeofResource(p.module, res) : 0;
    DWORD fonts = 0;
    if (bytes && bytesSize) p.memoryFont = AddFontMemResourceEx(bytes, bytesSize, nullptr, &fonts);
    // The metrics from the font's own tables now, not from DirectWrite at
    // the first layout: the first text drawn stands where all later ones do.
    if (p.memoryFont && !p.metricsTaken) p.metricsTaken = takeDesignMetrics(bytes, bytesSize);
  }
  if (p.memoryFont && !p.gdiFont) getGdiFont(p.gdiScale);
}

ZELCoreTextFont::~ZELCoreTextFont() {
  Platform& p = *platform;
  if (p.gdiFont) DeleteObject(p.gdiFont);
  if (p.memoryFont) RemoveFontMemResourceEx(p.memoryFont);
  release(p.format);
  release(p.collection);
  // The factory outlives this object (and this module); it must not keep
  // loaders whose code may be unloaded next.
  if (IDWriteFactory* dw = p.handedOver ? getDWriteFactory() : nullptr) {
    if (p.collectionLoaderRegistered) dw->UnregisterFontCollectionLoader(p.collectionLoader);
    if (p.fileLoaderRegistered) dw->UnregisterFontFileLoader(p.fileLoader);
  }
  release(p.collectionLoader);
  release(p.fileLoader);
  delete platform;
}

bool ZELCoreTextFont::isLoaded() const { return platform && platform->memoryFont; }

void* ZELCoreTextFont::getGdiFont(double scale) {
  Platform& p = *platform;
  if (!p.memoryFont) loadIntoPlatform();
  if (!p.memoryFont || !(size > 0)) return nullptr;
  if (!(scale > 0)) scale = 1.0;
  if (p.gdiFont && p.gdiScale == scale) return p.gdiFont;
  LOGFONTW lf = {};
  lf.lfHeight = -static_cast<LONG>(std::lround(size * scale));
  lf.lfWeight = FW_NORMAL;
  lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  lf.lfQuality = ANTIALIASED_QUALITY;
  lstrcpynW(lf.lfFaceName, faceName.c_str(), LF_FACESIZE);
  HFONT font = CreateFontIndirectW(&lf);
  if (!font) return p.gdiFont;
  if (p.gdiFont) DeleteObject(p.gdiFont);
  p.gdiFont = font;
  p.gdiScale = scale;
  return font;
}

// A layout of the text in the font, or nullptr when the font is not to be
// had: the loaders were refused, the resource is missing or has no face of
// that name.
void* ZELCoreTextFont::makeLayout(UTF8StringPtr string) {
  Platform& p = *platform;
  IDWriteFactory* dw = getDWriteFactory();
  std::wstring text = utf8ToWide(string);
  if (!dw || text.empty() || !(size > 0)) return nullptr;
  if (!p.handedOver) {
    // Handed over on first use, never at library load: DirectWrite must not
    // be called while the loader lock is held.
    p.handedOver = true;
    if (!p.fileLoader) p.fileLoader = new ResourceFontFileLoader(p.module);
    if (!p.collectionLoader) p.collectionLoader = new ResourceFontCollectionLoader(p.fileLoader);
    p.loaderResult = dw->RegisterFontFileLoader(p.fileLoader);
    p.fileLoaderRegistered = SUCCEEDED(p.loaderResult);
    if (p.fileLoaderRegistered) {
      p.loaderResult = dw->RegisterFontCollectionLoader(p.collectionLoader);
      p.collectionLoaderRegistered = SUCCEEDED(p.loaderResult);
    }
  }
  if (FAILED(p.loaderResult) || p.collectionFailed) return nullptr;
  if (!p.collection) {
    uint32_t key = static_cast<uint32_t>(source.resourceID);
    UINT32 index = 0;
    BOOL exists = FALSE;
    if (FAILED(dw->CreateCustomFontCollection(p.collectionLoader, &key, sizeof key, &p.collection)) ||
        FAILED(p.collection->FindFamilyName(faceName.c_str(), &index, &exists)) || !exists) {
      // Without the face DirectWrite would quietly draw a system font.
      release(p.collection);
      p.collectionFailed = true;
      return nullptr;
    }
  }
  if (!p.format &&
      FAILED(dw->CreateTextFormat(faceName.c_str(), p.collection, static_cast<DWRITE_FONT_WEIGHT>(weight),
                                  italic ? DWRITE_FONT_STYLE_ITALIC : DWRITE_FONT_STYLE_NORMAL,
                                  DWRITE_FONT_STRETCH_NORMAL, static_cast<FLOAT>(size), L"en-us", &p.format))) {
    p.format = nullptr;
    return nullptr;
  }
  IDWriteTextLayout* layout = nullptr;
  if (FAILED(dw->CreateTextLayout(text.c_str(), static_cast<UINT32>(text.size()), p.format, 10000.f, 1000.f,
                                  &layout)))
    return nullptr;
  layout->SetWordWrapping(DWRITE_WORD_WRAPPING_NO_WRAP);
  if (!p.metricsTaken) {
    // The font the layout uses: the collection's first family's first face.
    IDWriteFontFamily* family = nullptr;
    IDWriteFont* font = nullptr;
    if (SUCCEEDED(p.collection->GetFontFamily(0, &family)) && SUCCEEDED(family->GetFont(0, &font))) {
      DWRITE_FONT_METRICS m;
      font->GetMetrics(&m);
      takeDesignMetrics(m.designUnitsPerEm, m.ascent, m.descent, m.lineGap, m.capHeight);
      p.metricsTaken = true;
    }
    release(font);
    release(family);
  }
  return layout;
}

void ZELCoreTextFont::drawString(CDrawContext* context, UTF8StringPtr string, const CPoint& point, bool antialias) {
  auto* dc = dynamic_cast<D2DDrawContext*>(context);
  if (!dc || !dc->isDrawing() || !string || !*string) return;
  Platform& p = *platform;
  if (!p.memoryFont) loadIntoPlatform();
  auto* layout = static_cast<IDWriteTextLayout*>(makeLayout(string));
  if (!layout) return;
  dc->drawTextLayout(layout, point, static_cast<float>(ascent), antialias);
  layout->Release();
}

CCoord ZELCoreTextFont::getStringWidth(CDrawContext*, UTF8StringPtr string, bool) {
  // Measuring needs no render target, so any context (or none) will do.
  lastWidth = 0;
  if (!string || !*string) return 0;
  auto* layout = static_cast<IDWriteTextLayout*>(makeLayout(string));
  if (!layout) return 0;
  DWRITE_TEXT_METRICS m;
  if (SUCCEEDED(layout->GetMetrics(&m))) lastWidth = m.widthIncludingTrailingWhitespace;
  layout->Release();
  return lastWidth;
}

}  // namespace VSTGUI
