// Native backend: bitmaps, fonts and drawing on cairo image surfaces.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>

#include "toolkit/cairo/cairodrawcontext.h"
#include "toolkit/cfont.h"
#include "toolkit/platformsupport.h"

namespace VSTGUI {

namespace {

// Made on first use: the plug-in names its folder from a static
// initialiser of its own, which may run before this file's.
std::string& resourceFolder() {
  static std::string folder = ".";
  return folder;
}
void* gResourceModule = nullptr;

class CairoBitmap : public IPlatformBitmap {
 public:
  explicit CairoBitmap(cairo_surface_t* surface)
      : surface(surface),
        size(cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface)) {}
  ~CairoBitmap() override { cairo_surface_destroy(surface); }

  const CPoint& getSize() const override { return size; }

  bool copyPixels(std::vector<uint8_t>& bgra) override {
    cairo_surface_flush(surface);
    int w = static_cast<int>(size.x), h = static_cast<int>(size.y);
    int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    if (!data) return false;
    bgra.resize(static_cast<size_t>(w) * h * 4);
    // ARGB32 is a native-endian 32-bit word: blue, green, red, alpha in
    // memory on the little-endian machines this runs on.
    for (int y = 0; y < h; ++y) {
      const uint32_t* row = reinterpret_cast<const uint32_t*>(data + y * stride);
      for (int x = 0; x < w; ++x) {
        uint32_t p = row[x];
        uint8_t* out = &bgra[(static_cast<size_t>(y) * w + x) * 4];
        out[0] = p & 0xff;
        out[1] = (p >> 8) & 0xff;
        out[2] = (p >> 16) & 0xff;
        out[3] = (p >> 24) & 0xff;
      }
    }
    return true;
  }

  bool writePNG(UTF8StringPtr path) override {
    cairo_surface_flush(surface);
    return cairo_surface_write_to_png(surface, path) == CAIRO_STATUS_SUCCESS;
  }

  cairo_surface_t* surface;
  CPoint size;
};

// Every bitmap is kept as ARGB32, whatever the PNG held, so pixels read
// back the same way and alpha is always there.
cairo_surface_t* toArgb32(cairo_surface_t* src) {
  if (!src || cairo_surface_status(src) != CAIRO_STATUS_SUCCESS) {
    if (src) cairo_surface_destroy(src);
    return nullptr;
  }
  int w = cairo_image_surface_get_width(src), h = cairo_image_surface_get_height(src);
  if (w <= 0 || h <= 0) {
    cairo_surface_destroy(src);
    return nullptr;
  }
  if (cairo_image_surface_get_format(src) == CAIRO_FORMAT_ARGB32) return src;
  cairo_surface_t* dst = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_t* cr = cairo_create(dst);
  cairo_set_source_surface(cr, src, 0, 0);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_destroy(src);
  return dst;
}

// The length of the well-formed UTF-8 sequence at s (never an overlong
// form, a surrogate or beyond U+10FFFF), or 0.
size_t utf8SequenceAt(const unsigned char* s) {
  const unsigned char c = s[0];
  if (c < 0x80) return 1;
  size_t n;
  unsigned char lo = 0x80, hi = 0xBF;
  if (c >= 0xC2 && c <= 0xDF) n = 2;
  else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    if (c == 0xE0) lo = 0xA0;
    if (c == 0xED) hi = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    if (c == 0xF0) lo = 0x90;
    if (c == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (s[1] < lo || s[1] > hi) return 0;
  for (size_t i = 2; i < n; ++i)
    if (s[i] < 0x80 || s[i] > 0xBF) return 0;
  return n;
}

class CairoFont : public IPlatformFont, public IFontPainter {
 public:
  CairoFont(UTF8StringPtr name, CCoord size, int32_t style) {
    face = cairo_toy_font_face_create(name, (style & kItalicFace) ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                                      (style & kBoldFace) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_matrix_t fontMatrix, ctm;
    cairo_matrix_init_scale(&fontMatrix, size, size);
    cairo_matrix_init_identity(&ctm);
    // Unhinted outlines and metrics: the same text measures the same at any
    // position, as DirectWrite's does.
    options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    scaled = cairo_scaled_font_create(face, &fontMatrix, &ctm, options);
    cairo_font_extents_t fe;
    cairo_scaled_font_extents(scaled, &fe);
    ascent = fe.ascent;
    descent = fe.descent;
    leading = std::max(0.0, fe.height - fe.ascent - fe.descent);
    cairo_text_extents_t te;
    cairo_scaled_font_text_extents(scaled, "H", &te);
    capHeight = -te.y_bearing;
  }
  ~CairoFont() override {
    cairo_scaled_font_destroy(scaled);
    cairo_font_face_destroy(face);
    cairo_font_options_destroy(options);
  }
  bool ok() const { return cairo_scaled_font_status(scaled) == CAIRO_STATUS_SUCCESS; }

  double getAscent() const override { return ascent; }
  double getDescent() const override { return descent; }
  double getLeading() const override { return leading; }
  double getCapHeight() const override { return capHeight; }
  IFontPainter* getPainter() override { return this; }

  void drawString(CDrawContext* context, UTF8StringPtr string, const CPoint& p, bool antialias) override {
    auto* cc = dynamic_cast<CairoDrawContext*>(context);
    if (!cc || !cc->getCairo()) return;
    cairo_t* cr = cc->getCairo();
    cairo_save(cr);
    cairo_set_scaled_font(cr, scaled);
    cairo_font_options_t* o = cairo_font_options_copy(options);
    cairo_font_options_set_antialias(o, antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    cairo_set_font_options(cr, o);
    cairo_font_options_destroy(o);
    cc->setSourceColor(context->getFontColor());
    cairo_move_to(cr, p.x + context->getOffset().x, p.y + context->getOffset().y);
    cairo_show_text(cr, validUtf8(string).c_str());
    cairo_restore(cr);
  }

  CCoord getStringWidth(CDrawContext*, UTF8StringPtr string, bool) override {
    cairo_text_extents_t te;
    cairo_scaled_font_text_extents(scaled, validUtf8(string).c_str(), &te);
    return te.x_advance;
  }

 private:
  cairo_font_face_t* face;
  cairo_font_options_t* options;
  cairo_scaled_font_t* scaled;
  double ascent = 0, descent = 0, leading = 0, capHeight = 0;
};

}  // namespace

std::string validUtf8(UTF8StringPtr text) {
  std::string out;
  if (!text) return out;
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  while (*s) {
    if (const size_t n = utf8SequenceAt(s)) {
      out.append(reinterpret_cast<const char*>(s), n);
      s += n;
    } else {
      out += "\xEF\xBF\xBD";
      ++s;
    }
  }
  return out;
}

void setResourceModule(void* moduleHandle) { gResourceModule = moduleHandle; }
void* getResourceModule() { return gResourceModule; }
void setResourceFolder(UTF8StringPtr path) { resourceFolder() = path && *path ? path : "."; }
UTF8StringPtr getResourceFolder() { return resourceFolder().c_str(); }

// Nothing process-wide here but the stock fonts' platform fonts.
void releasePlatformResources() { CFontDesc::cleanup(); }

uint32_t getPlatformTicks() {
  using namespace std::chrono;
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

IPlatformBitmap* IPlatformBitmap::createFromResource(int32_t resourceID) {
  if (resourceID <= 0) return nullptr;
  std::string path = resourceFolder() + "/" + std::to_string(resourceID) + ".png";
  return createFromPath(path.c_str());
}

IPlatformBitmap* IPlatformBitmap::createFromResource2x(int32_t resourceID) {
  if (resourceID <= 0) return nullptr;
  std::string path = resourceFolder() + "/2x/" + std::to_string(resourceID) + ".png";
  return createFromPath(path.c_str());
}

// The bitmap takes over the surface; if memory runs out before it can, the
// surface goes with the exception rather than staying behind.
static IPlatformBitmap* adopt(cairo_surface_t* s) {
  try {
    return new CairoBitmap(s);
  } catch (...) {
    cairo_surface_destroy(s);
    throw;
  }
}

IPlatformBitmap* IPlatformBitmap::createFromPath(UTF8StringPtr path) {
  if (!path) return nullptr;
  cairo_surface_t* s = toArgb32(cairo_image_surface_create_from_png(path));
  return s ? adopt(s) : nullptr;
}

IPlatformBitmap* IPlatformBitmap::create(const CPoint& size) {
  int w = static_cast<int>(std::ceil(size.x)), h = static_cast<int>(std::ceil(size.y));
  if (w <= 0 || h <= 0 || w > 32767 || h > 32767) return nullptr;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return nullptr;
  }
  return adopt(s);
}

IPlatformFont* IPlatformFont::create(UTF8StringPtr name, const CCoord& size, const int32_t& style) {
  if (!name || !*name || !(size > 0)) return nullptr;
  auto* font = new CairoFont(name, size, style);
  if (!font->ok()) {
    font->forget();
    return nullptr;
  }
  return font;
}

cairo_surface_t* cairoSurfaceOf(CBitmap* bitmap) {
  auto* cb = bitmap ? dynamic_cast<CairoBitmap*>(bitmap->getPlatformBitmap()) : nullptr;
  return cb ? cb->surface : nullptr;
}

namespace {
// A surface's size in the units drawn on it: its pixels over its device
// scale (a scaled frame's image).
CRect unitsOf(CBitmap* bitmap) {
  double sx = 1, sy = 1;
  if (cairo_surface_t* s = cairoSurfaceOf(bitmap)) cairo_surface_get_device_scale(s, &sx, &sy);
  if (!bitmap) return CRect();
  return CRect(0, 0, bitmap->getWidth() / sx, bitmap->getHeight() / sy);
}
}  // namespace

CairoDrawContext::CairoDrawContext(CBitmap* bitmap) : COffscreenContext(unitsOf(bitmap), bitmap) {
  if (cairo_surface_t* s = cairoSurfaceOf(bitmap)) cr = cairo_create(s);
  if (cr) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    init();
  }
}

CairoDrawContext::~CairoDrawContext() {
  if (cr) {
    cairo_surface_flush(cairo_get_target(cr));
    cairo_destroy(cr);
  }
}

void CairoDrawContext::endDraw() {
  if (cr) cairo_surface_flush(cairo_get_target(cr));
}

void CairoDrawContext::applyClip() {
  if (!cr) return;
  cairo_reset_clip(cr);
  const CRect& c = state.clipRect;
  cairo_rectangle(cr, c.left, c.top, c.getWidth(), c.getHeight());
  cairo_clip(cr);
}

void CairoDrawContext::setSourceColor(const CColor& color) {
  if (cr) cairo_set_source_rgba(cr, color.red / 255.0, color.green / 255.0, color.blue / 255.0, effectiveAlpha(color));
}

void CairoDrawContext::setAntialias() {
  cairo_set_antialias(cr, state.drawMode == kAntiAliasing ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

void CairoDrawContext::drawLine(const CPoint& start, const CPoint& end) {
  if (!cr || !(state.lineWidth > 0)) return;
  setAntialias();
  setSourceColor(state.frameColor);
  cairo_set_line_width(cr, state.lineWidth);
  cairo_move_to(cr, start.x + state.offset.x, start.y + state.offset.y);
  cairo_line_to(cr, end.x + state.offset.x, end.y + state.offset.y);
  cairo_stroke(cr);
}

void CairoDrawContext::drawRect(const CRect& rect, const CDrawStyle drawStyle) {
  if (!cr) return;
  setAntialias();
  CRect r(rect);
  r.offset(state.offset);
  if (drawStyle != kDrawStroked) {
    setSourceColor(state.fillColor);
    cairo_rectangle(cr, r.left, r.top, r.getWidth(), r.getHeight());
    cairo_fill(cr);
  }
  if (drawStyle != kDrawFilled && state.lineWidth > 0) {
    CCoord h = state.lineWidth / 2;
    setSourceColor(state.frameColor);
    cairo_set_line_width(cr, state.lineWidth);
    cairo_rectangle(cr, r.left + h, r.top + h, r.getWidth() - state.lineWidth, r.getHeight() - state.lineWidth);
    cairo_stroke(cr);
  }
}

void CairoDrawContext::drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset, float alpha) {
  if (!cr || !bitmap) return;
  // Above 1x the 2x artwork, its pixels mapped onto the same units.
  double deviceScale = 1, sy = 1;
  cairo_surface_get_device_scale(cairo_get_target(cr), &deviceScale, &sy);
  IPlatformBitmap* pixels = bitmap->getPlatformBitmapFor(deviceScale);
  auto* cb = dynamic_cast<CairoBitmap*>(pixels);
  cairo_surface_t* src = cb ? cb->surface : nullptr;
  if (!src) return;
  const double density = bitmap->getPixelDensity(pixels);
  // The part of the bitmap from offset on, as large as dest, never beyond
  // the bitmap's edges.
  CRect d(dest);
  d.offset(state.offset);
  CRect srcPart(offset.x, offset.y, offset.x + dest.getWidth(), offset.y + dest.getHeight());
  srcPart.bound(CRect(0, 0, bitmap->getWidth(), bitmap->getHeight()));
  if (srcPart.isEmpty()) return;
  CRect area(d.left + (srcPart.left - offset.x), d.top + (srcPart.top - offset.y), 0, 0);
  area.setWidth(srcPart.getWidth()).setHeight(srcPart.getHeight());
  cairo_save(cr);
  cairo_rectangle(cr, area.left, area.top, area.getWidth(), area.getHeight());
  cairo_clip(cr);
  if (density > 1) {
    // Only the part's own pixels, padded at its edges, so the filter never
    // pulls in a neighbouring frame of the strip; filtered down to the
    // zoom (1:1 at 200 %).
    cairo_surface_t* part =
        cairo_surface_create_for_rectangle(src, srcPart.left * density, srcPart.top * density,
                                           srcPart.getWidth() * density, srcPart.getHeight() * density);
    cairo_translate(cr, area.left, area.top);
    cairo_scale(cr, 1 / density, 1 / density);
    cairo_set_source_surface(cr, part, 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_surface_destroy(part);
  } else {
    cairo_set_source_surface(cr, src, d.left - offset.x, d.top - offset.y);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  }
  cairo_paint_with_alpha(cr, std::clamp(alpha, 0.f, 1.f) * state.globalAlpha);
  cairo_restore(cr);
}

COffscreenContext* COffscreenContext::create(CFrame*, CCoord width, CCoord height) {
  IPlatformBitmap* pb = IPlatformBitmap::create(CPoint(width, height));
  if (!pb) return nullptr;
  auto* bitmap = new CBitmap(pb);
  auto* context = new CairoDrawContext(bitmap);
  bitmap->forget();
  return context;
}

}  // namespace VSTGUI
