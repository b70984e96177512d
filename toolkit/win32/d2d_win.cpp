// Windows backend: WIC bitmaps, DirectWrite fonts and the Direct2D context.
#include <algorithm>
#include <cmath>
#include <vector>

#include "toolkit/cfont.h"
#include "toolkit/platformsupport.h"
#include "toolkit/win32/d2ddrawcontext.h"

namespace VSTGUI {

namespace {

HINSTANCE gModule = nullptr;

template <class T>
void release(T*& p) {
  if (p) {
    p->Release();
    p = nullptr;
  }
}

// Factories live as long as the library; COM objects are never released
// from static destructors after the system libraries may have gone.
struct Factories {
  ID2D1Factory* d2d = nullptr;
  IDWriteFactory* dwrite = nullptr;
  IWICImagingFactory* wic = nullptr;
  bool d2dTried = false, dwriteTried = false, wicTried = false;
};
Factories& factories() {
  static Factories* f = new Factories;
  return *f;
}

class WICBitmap;
// Every bitmap alive, so that a render target about to go can take its
// copies along (user-interface thread only, like all drawing).
std::vector<WICBitmap*>& liveBitmaps() {
  static std::vector<WICBitmap*>* v = new std::vector<WICBitmap*>;
  return *v;
}

class WICBitmap : public IPlatformBitmap {
 public:
  explicit WICBitmap(IWICBitmap* bitmap) : bitmap(bitmap) {
    UINT w = 0, h = 0;
    bitmap->GetSize(&w, &h);
    size = CPoint(w, h);
    liveBitmaps().push_back(this);
  }
  ~WICBitmap() override {
    auto& live = liveBitmaps();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
    dropCopies(nullptr);
    release(bitmap);
  }

  const CPoint& getSize() const override { return size; }

  bool copyPixels(std::vector<uint8_t>& bgra) override {
    UINT w = static_cast<UINT>(size.x), h = static_cast<UINT>(size.y);
    bgra.resize(static_cast<size_t>(w) * h * 4);
    WICRect r = {0, 0, static_cast<INT>(w), static_cast<INT>(h)};
    return SUCCEEDED(bitmap->CopyPixels(&r, w * 4, static_cast<UINT>(bgra.size()), bgra.data()));
  }

  bool writePNG(UTF8StringPtr path) override;

  // The Direct2D copy of the pixels for rt, one per target (a bitmap shared
  // by two open editors is drawn on both), made again when the pixels
  // changed. Each copy holds its target until the target is forgotten.
  ID2D1Bitmap* getD2DBitmap(ID2D1RenderTarget* rt) {
    for (Copy& c : copies)
      if (c.target == rt) return c.bitmap;
    Copy c{rt, nullptr};
    if (FAILED(rt->CreateBitmapFromWicBitmap(bitmap, nullptr, &c.bitmap)) || !c.bitmap) return nullptr;
    rt->AddRef();
    copies.push_back(c);
    return c.bitmap;
  }
  void pixelsChanged() { dropCopies(nullptr); }
  // Releases the copy for rt, or all copies for nullptr.
  void dropCopies(ID2D1RenderTarget* rt) {
    for (auto it = copies.begin(); it != copies.end();) {
      if (rt && it->target != rt) {
        ++it;
        continue;
      }
      release(it->bitmap);
      release(it->target);
      it = copies.erase(it);
    }
  }
  size_t copyCount() const { return copies.size(); }

  IWICBitmap* bitmap;
  CPoint size;

 private:
  struct Copy {
    ID2D1RenderTarget* target;
    ID2D1Bitmap* bitmap;
  };
  std::vector<Copy> copies;
};

IWICBitmap* decode(IWICBitmapDecoder* decoder) {
  IWICImagingFactory* wic = getWICFactory();
  IWICBitmapFrameDecode* frame = nullptr;
  IWICFormatConverter* converter = nullptr;
  IWICBitmap* result = nullptr;
  if (SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(wic->CreateFormatConverter(&converter)) &&
      SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                      WICBitmapPaletteTypeCustom)))
    wic->CreateBitmapFromSource(converter, WICBitmapCacheOnLoad, &result);
  release(converter);
  release(frame);
  return result;
}

bool WICBitmap::writePNG(UTF8StringPtr path) {
  IWICImagingFactory* wic = getWICFactory();
  if (!wic || !path) return false;
  std::vector<uint8_t> px;
  if (!copyPixels(px)) return false;
  // PNG keeps straight (not premultiplied) colour.
  for (size_t i = 0; i < px.size(); i += 4) {
    uint8_t a = px[i + 3];
    if (a && a != 255)
      for (int c = 0; c < 3; ++c) px[i + c] = static_cast<uint8_t>(std::min(255, (px[i + c] * 255 + a / 2) / a));
  }
  UINT w = static_cast<UINT>(size.x), h = static_cast<UINT>(size.y);
  IWICStream* stream = nullptr;
  IWICBitmapEncoder* encoder = nullptr;
  IWICBitmapFrameEncode* frame = nullptr;
  bool ok = false;
  std::wstring wpath = utf8ToWide(path);
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
  if (SUCCEEDED(wic->CreateStream(&stream)) && SUCCEEDED(stream->InitializeFromFilename(wpath.c_str(), GENERIC_WRITE)) &&
      SUCCEEDED(wic->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
      SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
      SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
      SUCCEEDED(frame->SetSize(w, h)) && SUCCEEDED(frame->SetPixelFormat(&format)) &&
      IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA) &&
      SUCCEEDED(frame->WritePixels(h, w * 4, static_cast<UINT>(px.size()), px.data())) &&
      SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit()))
    ok = true;
  release(frame);
  release(encoder);
  release(stream);
  return ok;
}

// The name of a family of the system collection, in English where it has
// one.
std::wstring familyName(IDWriteFontFamily* family) {
  IDWriteLocalizedStrings* names = nullptr;
  std::wstring name;
  if (family && SUCCEEDED(family->GetFamilyNames(&names)) && names->GetCount() > 0) {
    UINT32 index = 0, length = 0;
    BOOL exists = FALSE;
    if (FAILED(names->FindLocaleName(L"en-us", &index, &exists)) || !exists) index = 0;
    if (SUCCEEDED(names->GetStringLength(index, &length))) {
      std::vector<wchar_t> buffer(length + 1);
      if (SUCCEEDED(names->GetString(index, buffer.data(), length + 1))) name = buffer.data();
    }
  }
  release(names);
  return name;
}

// The family text in `wanted` is drawn with: that one when the system has
// it; otherwise the system's message font; otherwise the first family the
// system has. A text format of a family the system lacks draws nothing at
// all under Wine, and a Wine prefix without Arial (the toolkit's stock
// family) is the common case there: blank texts would be worse than texts
// in another face.
std::wstring availableFamily(const std::wstring& wanted) {
  IDWriteFontCollection* collection = nullptr;
  if (FAILED(getDWriteFactory()->GetSystemFontCollection(&collection, FALSE)) || !collection) return wanted;
  auto has = [collection](const wchar_t* name) {
    UINT32 index = 0;
    BOOL exists = FALSE;
    return name && *name && SUCCEEDED(collection->FindFamilyName(name, &index, &exists)) && exists;
  };
  std::wstring chosen = wanted;
  if (!has(wanted.c_str())) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    IDWriteFontFamily* first = nullptr;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) &&
        has(metrics.lfMessageFont.lfFaceName)) {
      chosen = metrics.lfMessageFont.lfFaceName;
    } else if (collection->GetFontFamilyCount() > 0 && SUCCEEDED(collection->GetFontFamily(0, &first))) {
      std::wstring name = familyName(first);
      if (!name.empty()) chosen = name;
    }
    release(first);
  }
  release(collection);
  return chosen;
}

class D2DFont : public IPlatformFont, public IFontPainter {
 public:
  D2DFont(IDWriteTextFormat* format, double size, const std::wstring& family, DWRITE_FONT_WEIGHT weight,
          DWRITE_FONT_STYLE style)
      : format(format) {
    // Metrics of the font DirectWrite will use, scaled to the size; a
    // family the system lacks gets plausible proportions of the size.
    ascent = size * 0.905;
    descent = size * 0.212;
    leading = size * 0.033;
    capHeight = size * 0.716;
    IDWriteFontCollection* collection = nullptr;
    IDWriteFontFamily* fam = nullptr;
    IDWriteFont* font = nullptr;
    UINT32 index = 0;
    BOOL exists = FALSE;
    if (SUCCEEDED(getDWriteFactory()->GetSystemFontCollection(&collection, FALSE)) &&
        SUCCEEDED(collection->FindFamilyName(family.c_str(), &index, &exists)) && exists &&
        SUCCEEDED(collection->GetFontFamily(index, &fam)) &&
        SUCCEEDED(fam->GetFirstMatchingFont(weight, DWRITE_FONT_STRETCH_NORMAL, style, &font))) {
      DWRITE_FONT_METRICS m;
      font->GetMetrics(&m);
      double scale = m.designUnitsPerEm ? size / m.designUnitsPerEm : 0;
      if (scale > 0) {
        ascent = m.ascent * scale;
        descent = m.descent * scale;
        leading = m.lineGap * scale;
        capHeight = m.capHeight * scale;
      }
    }
    release(font);
    release(fam);
    release(collection);
  }
  ~D2DFont() override { release(format); }

  double getAscent() const override { return ascent; }
  double getDescent() const override { return descent; }
  double getLeading() const override { return leading; }
  double getCapHeight() const override { return capHeight; }
  IFontPainter* getPainter() override { return this; }

  void drawString(CDrawContext* context, UTF8StringPtr string, const CPoint& p, bool antialias) override {
    auto* dc = dynamic_cast<D2DDrawContext*>(context);
    if (!dc || !dc->isDrawing()) return;
    IDWriteTextLayout* layout = makeLayout(string);
    if (!layout) return;
    dc->drawTextLayout(layout, p, static_cast<float>(ascent), antialias);
    layout->Release();
  }

  CCoord getStringWidth(CDrawContext*, UTF8StringPtr string, bool) override {
    IDWriteTextLayout* layout = makeLayout(string);
    if (!layout) return 0;
    DWRITE_TEXT_METRICS m;
    CCoord width = SUCCEEDED(layout->GetMetrics(&m)) ? m.widthIncludingTrailingWhitespace : 0;
    layout->Release();
    return width;
  }

 private:
  IDWriteTextLayout* makeLayout(UTF8StringPtr string) {
    std::wstring text = utf8ToWide(string);
    IDWriteTextLayout* layout = nullptr;
    if (text.empty() ||
        FAILED(getDWriteFactory()->CreateTextLayout(text.c_str(), static_cast<UINT32>(text.size()), format, 10000.f,
                                                    1000.f, &layout)))
      return nullptr;
    layout->SetWordWrapping(DWRITE_WORD_WRAPPING_NO_WRAP);
    return layout;
  }

  IDWriteTextFormat* format;
  double ascent, descent, leading, capHeight;
};

}  // namespace

ID2D1Factory* getD2DFactory() {
  Factories& f = factories();
  if (!f.d2dTried) {
    f.d2dTried = true;
    D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, __uuidof(ID2D1Factory), nullptr,
                      reinterpret_cast<void**>(&f.d2d));
  }
  return f.d2d;
}

IDWriteFactory* getDWriteFactory() {
  Factories& f = factories();
  if (!f.dwriteTried) {
    f.dwriteTried = true;
    DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                        reinterpret_cast<IUnknown**>(&f.dwrite));
  }
  return f.dwrite;
}

IWICImagingFactory* getWICFactory() {
  Factories& f = factories();
  if (!f.wicTried) {
    f.wicTried = true;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(&f.wic));
    if (hr == CO_E_NOTINITIALIZED) {
      // A host normally has COM running on its window thread; a test
      // program may not, so the toolkit starts it for this thread.
      CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
      CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                       reinterpret_cast<void**>(&f.wic));
    }
  }
  return f.wic;
}

std::wstring utf8ToWide(UTF8StringPtr text) {
  if (!text || !*text) return std::wstring();
  int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, &w[0], n);
  w.resize(static_cast<size_t>(n - 1));
  return w;
}

std::string wideToUtf8(const wchar_t* text) {
  if (!text || !*text) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &s[0], n, nullptr, nullptr);
  s.resize(static_cast<size_t>(n - 1));
  return s;
}

void setResourceModule(void* moduleHandle) { gModule = static_cast<HINSTANCE>(moduleHandle); }
void* getResourceModule() { return gModule ? gModule : GetModuleHandleW(nullptr); }
void setResourceFolder(UTF8StringPtr) {}
UTF8StringPtr getResourceFolder() { return ""; }
uint32_t getPlatformTicks() { return GetTickCount(); }

void releasePlatformResources() {
  CFontDesc::cleanup();
  Factories& f = factories();
  release(f.d2d);
  release(f.dwrite);
  release(f.wic);
  f.d2dTried = f.dwriteTried = f.wicTried = false;
}

namespace {

IPlatformBitmap* decodeResource(int32_t resourceID, const wchar_t* type) {
  IWICImagingFactory* wic = getWICFactory();
  if (!wic || resourceID <= 0 || resourceID > 0xffff) return nullptr;
  HMODULE module = static_cast<HMODULE>(getResourceModule());
  HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(resourceID), type);
  if (!res) return nullptr;
  HGLOBAL loaded = LoadResource(module, res);
  void* bytes = loaded ? LockResource(loaded) : nullptr;
  DWORD size = SizeofResource(module, res);
  if (!bytes || !size) return nullptr;
  IWICStream* stream = nullptr;
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmap* bitmap = nullptr;
  if (SUCCEEDED(wic->CreateStream(&stream)) &&
      SUCCEEDED(stream->InitializeFromMemory(static_cast<BYTE*>(bytes), size)) &&
      SUCCEEDED(wic->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnLoad, &decoder)))
    bitmap = decode(decoder);
  release(decoder);
  release(stream);
  return bitmap ? new WICBitmap(bitmap) : nullptr;
}

}  // namespace

IPlatformBitmap* IPlatformBitmap::createFromResource(int32_t resourceID) { return decodeResource(resourceID, L"PNG"); }

IPlatformBitmap* IPlatformBitmap::createFromResource2x(int32_t resourceID) {
  return decodeResource(resourceID, L"PNG2X");
}

IPlatformBitmap* IPlatformBitmap::createFromPath(UTF8StringPtr path) {
  IWICImagingFactory* wic = getWICFactory();
  if (!wic || !path) return nullptr;
  std::wstring wpath = utf8ToWide(path);
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmap* bitmap = nullptr;
  if (SUCCEEDED(wic->CreateDecoderFromFilename(wpath.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnLoad,
                                               &decoder)))
    bitmap = decode(decoder);
  release(decoder);
  return bitmap ? new WICBitmap(bitmap) : nullptr;
}

IPlatformBitmap* IPlatformBitmap::create(const CPoint& size) {
  IWICImagingFactory* wic = getWICFactory();
  UINT w = static_cast<UINT>(std::ceil(size.x)), h = static_cast<UINT>(std::ceil(size.y));
  if (!wic || size.x <= 0 || size.y <= 0 || w > 32767 || h > 32767) return nullptr;
  IWICBitmap* bitmap = nullptr;
  if (FAILED(wic->CreateBitmap(w, h, GUID_WICPixelFormat32bppPBGRA, WICBitmapCacheOnLoad, &bitmap))) return nullptr;
  return new WICBitmap(bitmap);
}

IPlatformBitmap* createBitmapFromPixels(const uint8_t* bgra, int w, int h) {
  IWICImagingFactory* wic = getWICFactory();
  IWICBitmap* bitmap = nullptr;
  if (!wic || !bgra || w <= 0 || h <= 0 ||
      FAILED(wic->CreateBitmapFromMemory(w, h, GUID_WICPixelFormat32bppPBGRA, w * 4, w * h * 4,
                                         const_cast<BYTE*>(bgra), &bitmap)))
    return nullptr;
  return new WICBitmap(bitmap);
}

IPlatformFont* IPlatformFont::create(UTF8StringPtr name, const CCoord& size, const int32_t& style) {
  IDWriteFactory* dw = getDWriteFactory();
  if (!dw || !name || !*name || !(size > 0)) return nullptr;
  std::wstring family = availableFamily(utf8ToWide(name));
  DWRITE_FONT_WEIGHT weight = (style & kBoldFace) ? DWRITE_FONT_WEIGHT_BOLD : DWRITE_FONT_WEIGHT_NORMAL;
  DWRITE_FONT_STYLE fstyle = (style & kItalicFace) ? DWRITE_FONT_STYLE_ITALIC : DWRITE_FONT_STYLE_NORMAL;
  IDWriteTextFormat* format = nullptr;
  if (FAILED(dw->CreateTextFormat(family.c_str(), nullptr, weight, fstyle, DWRITE_FONT_STRETCH_NORMAL,
                                  static_cast<FLOAT>(size), L"en-us", &format)))
    return nullptr;
  return new D2DFont(format, size, family, weight, fstyle);
}

D2DDrawContext::D2DDrawContext(ID2D1RenderTarget* rt, const CRect& surfaceRect, CBitmap* bitmap)
    : COffscreenContext(surfaceRect, bitmap), renderTarget(rt) {
  if (renderTarget) {
    renderTarget->AddRef();
    renderTarget->CreateSolidColorBrush(D2D1::ColorF(0, 0, 0, 1), &brush);
  }
}

D2DDrawContext::~D2DDrawContext() {
  if (drawing) endDraw();
  release(brush);
  if (ownsTarget && renderTarget) forgetRenderTarget(renderTarget);
  release(renderTarget);
}

void forgetRenderTarget(ID2D1RenderTarget* rt) {
  if (!rt) return;
  for (WICBitmap* b : liveBitmaps()) b->dropCopies(rt);
}

size_t bitmapCopiesOnRenderTargets() {
  size_t n = 0;
  for (WICBitmap* b : liveBitmaps()) n += b->copyCount();
  return n;
}

void D2DDrawContext::beginDraw() {
  if (drawing || !renderTarget) return;
  renderTarget->BeginDraw();
  drawing = true;
  float s = static_cast<float>(deviceScale);
  renderTarget->SetTransform(D2D1::Matrix3x2F::Scale(s, s) * D2D1::Matrix3x2F::Translation(
                                                                 static_cast<float>(-deviceOrigin.x),
                                                                 static_cast<float>(-deviceOrigin.y)));
  if (clearOnFirstDraw) {
    renderTarget->Clear(D2D1::ColorF(0, 0, 0, 0));
    clearOnFirstDraw = false;
  }
  applyClip();
}

void D2DDrawContext::endDraw() {
  if (!drawing) return;
  if (clipPushed) renderTarget->PopAxisAlignedClip();
  clipPushed = false;
  lastResult = renderTarget->EndDraw();
  drawing = false;
  if (bitmap)
    if (auto* wb = dynamic_cast<WICBitmap*>(bitmap->getPlatformBitmap())) wb->pixelsChanged();
}

void D2DDrawContext::applyClip() {
  if (!drawing) return;
  if (clipPushed) renderTarget->PopAxisAlignedClip();
  const CRect& c = state.clipRect;
  renderTarget->PushAxisAlignedClip(D2D1::RectF(static_cast<float>(c.left), static_cast<float>(c.top),
                                                static_cast<float>(c.right), static_cast<float>(c.bottom)),
                                    D2D1_ANTIALIAS_MODE_ALIASED);
  clipPushed = true;
}

ID2D1SolidColorBrush* D2DDrawContext::getBrush(const CColor& color) {
  if (brush)
    brush->SetColor(D2D1::ColorF(color.red / 255.f, color.green / 255.f, color.blue / 255.f, effectiveAlpha(color)));
  return brush;
}

void D2DDrawContext::drawTextLayout(IDWriteTextLayout* layout, const CPoint& point, float fallbackBaseline,
                                    bool antialias) {
  if (!drawing || !layout) return;
  // The point is the baseline: the layout's first line sits that far below
  // its top.
  DWRITE_LINE_METRICS line;
  UINT32 lines = 0;
  float baseline = fallbackBaseline;
  if (SUCCEEDED(layout->GetLineMetrics(&line, 1, &lines)) && lines > 0) baseline = line.baseline;
  renderTarget->SetTextAntialiasMode(antialias ? D2D1_TEXT_ANTIALIAS_MODE_GRAYSCALE
                                               : D2D1_TEXT_ANTIALIAS_MODE_ALIASED);
  D2D1_POINT_2F origin = D2D1::Point2F(static_cast<float>(point.x + getOffset().x),
                                       static_cast<float>(point.y + getOffset().y) - baseline);
  if (ID2D1SolidColorBrush* b = getBrush(getFontColor()))
    renderTarget->DrawTextLayout(origin, layout, b, D2D1_DRAW_TEXT_OPTIONS_NONE);
}

void D2DDrawContext::drawLine(const CPoint& start, const CPoint& end) {
  if (!drawing || !(state.lineWidth > 0)) return;
  renderTarget->SetAntialiasMode(state.drawMode == kAntiAliasing ? D2D1_ANTIALIAS_MODE_PER_PRIMITIVE
                                                                  : D2D1_ANTIALIAS_MODE_ALIASED);
  if (ID2D1SolidColorBrush* b = getBrush(state.frameColor))
    renderTarget->DrawLine(D2D1::Point2F(static_cast<float>(start.x + state.offset.x),
                                         static_cast<float>(start.y + state.offset.y)),
                           D2D1::Point2F(static_cast<float>(end.x + state.offset.x),
                                         static_cast<float>(end.y + state.offset.y)),
                           b, static_cast<float>(state.lineWidth));
}

void D2DDrawContext::drawRect(const CRect& rect, const CDrawStyle drawStyle) {
  if (!drawing) return;
  renderTarget->SetAntialiasMode(state.drawMode == kAntiAliasing ? D2D1_ANTIALIAS_MODE_PER_PRIMITIVE
                                                                  : D2D1_ANTIALIAS_MODE_ALIASED);
  CRect r(rect);
  r.offset(state.offset);
  if (drawStyle != kDrawStroked)
    if (ID2D1SolidColorBrush* b = getBrush(state.fillColor))
      renderTarget->FillRectangle(D2D1::RectF(static_cast<float>(r.left), static_cast<float>(r.top),
                                              static_cast<float>(r.right), static_cast<float>(r.bottom)),
                                  b);
  if (drawStyle != kDrawFilled && state.lineWidth > 0) {
    float h = static_cast<float>(state.lineWidth / 2);
    if (ID2D1SolidColorBrush* b = getBrush(state.frameColor))
      renderTarget->DrawRectangle(D2D1::RectF(static_cast<float>(r.left) + h, static_cast<float>(r.top) + h,
                                              static_cast<float>(r.right) - h, static_cast<float>(r.bottom) - h),
                                  b, static_cast<float>(state.lineWidth));
  }
}

void D2DDrawContext::drawBitmap(CBitmap* bmp, const CRect& dest, const CPoint& offset, float alpha) {
  if (!drawing || !bmp) return;
  // Above 1x the 2x artwork, its pixels mapped onto the same units.
  auto* wb = dynamic_cast<WICBitmap*>(bmp->getPlatformBitmapFor(deviceScale));
  if (!wb) return;
  const double density = bmp->getPixelDensity(wb);
  CRect srcPart(offset.x, offset.y, offset.x + dest.getWidth(), offset.y + dest.getHeight());
  srcPart.bound(CRect(0, 0, bmp->getWidth(), bmp->getHeight()));
  if (srcPart.isEmpty()) return;
  ID2D1Bitmap* d2dBitmap = wb->getD2DBitmap(renderTarget);
  if (!d2dBitmap) return;
  CRect d(dest.left + (srcPart.left - offset.x), dest.top + (srcPart.top - offset.y), 0, 0);
  d.setWidth(srcPart.getWidth()).setHeight(srcPart.getHeight());
  d.offset(state.offset);
  D2D1_RECT_F dr = D2D1::RectF(static_cast<float>(d.left), static_cast<float>(d.top), static_cast<float>(d.right),
                               static_cast<float>(d.bottom));
  D2D1_RECT_F sr =
      D2D1::RectF(static_cast<float>(srcPart.left * density), static_cast<float>(srcPart.top * density),
                  static_cast<float>(srcPart.right * density), static_cast<float>(srcPart.bottom * density));
  // The 1x pixels land on whole pixels at 100 %; the 2x artwork is
  // filtered down to the zoom (exactly 1:1 at 200 %).
  renderTarget->DrawBitmap(
      d2dBitmap, dr, std::clamp(alpha, 0.f, 1.f) * state.globalAlpha,
      density > 1 ? D2D1_BITMAP_INTERPOLATION_MODE_LINEAR : D2D1_BITMAP_INTERPOLATION_MODE_NEAREST_NEIGHBOR, sr);
}

COffscreenContext* COffscreenContext::create(CFrame*, CCoord width, CCoord height) {
  ID2D1Factory* d2d = getD2DFactory();
  IPlatformBitmap* pb = IPlatformBitmap::create(CPoint(width, height));
  auto* wb = static_cast<WICBitmap*>(pb);
  if (!d2d || !wb) {
    if (pb) pb->forget();
    return nullptr;
  }
  ID2D1RenderTarget* rt = nullptr;
  D2D1_RENDER_TARGET_PROPERTIES props = D2D1::RenderTargetProperties(
      D2D1_RENDER_TARGET_TYPE_DEFAULT, D2D1::PixelFormat(DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_PREMULTIPLIED),
      96.f, 96.f);  // one unit, one pixel, whatever the system's setting
  if (FAILED(d2d->CreateWicBitmapRenderTarget(wb->bitmap, props, &rt))) {
    pb->forget();
    return nullptr;
  }
  auto* bitmap = new CBitmap(pb);
  auto* context = new D2DDrawContext(rt, CRect(0, 0, wb->getSize().x, wb->getSize().y), bitmap);
  context->setClearOnFirstDraw(true);
  context->setOwnsTarget(true);
  bitmap->forget();
  rt->Release();
  return context;
}

}  // namespace VSTGUI
