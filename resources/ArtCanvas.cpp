#include "resources/ArtCanvas.h"

#include <cmath>
#include <cstring>

namespace orvane {
namespace artwork {

namespace {

// A fixed pseudo-random sequence (xorshift32): the grain of the panels is
// the same on every run.
struct Grain {
  uint32_t state;
  explicit Grain(uint32_t seed) : state(seed ? seed : 0x9E3779B9u) {}
  // -1 .. 1
  double next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return (state & 0xFFFFFF) / double(0x7FFFFF) - 1.0;
  }
};

void selectFont(cairo_t* cr, Font font, double size) {
  cairo_select_font_face(cr, font == Font::kCondensedBold ? "Liberation Sans Narrow" : "Liberation Sans",
                         CAIRO_FONT_SLANT_NORMAL,
                         font == Font::kRegular ? CAIRO_FONT_WEIGHT_NORMAL : CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, size);
}

// Calls `each` with every letter of the text (one UTF-8 sequence, as a
// string of its own) and its extents in the current font.
template <typename F>
void forEachLetter(cairo_t* cr, const char* text, F each) {
  const size_t n = std::strlen(text);
  for (size_t i = 0; i < n;) {
    size_t len = 1;
    while (i + len < n && (static_cast<unsigned char>(text[i + len]) & 0xC0) == 0x80) ++len;
    char one[8] = {};
    std::memcpy(one, text + i, len < 7 ? len : 7);
    cairo_text_extents_t e;
    cairo_text_extents(cr, one, &e);
    each(one, e);
    i += len;
  }
}

// Letter by letter, so that captions can be spaced out as engravers do.
void letters(cairo_t* cr, const char* text, double x, double baseline, double spacing) {
  forEachLetter(cr, text, [&](const char* one, const cairo_text_extents_t& e) {
    cairo_move_to(cr, x, baseline);
    cairo_show_text(cr, one);
    x += e.x_advance + spacing;
  });
}

}  // namespace

Rgb accentOf(int meterType) {
  switch (meterType) {
    case 1:
      return palette::kAccentRMS;
    case 2:
      return palette::kAccentPPM;
    default:
      return palette::kAccentVU;
  }
}

Canvas::Canvas(int width, int height, double scale, bool alpha) : scale_(scale) {
  surface_ = cairo_image_surface_create(alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24,
                                        int(std::lround(width * scale)), int(std::lround(height * scale)));
  cr_ = cairo_create(surface_);
  cairo_scale(cr_, scale, scale);
  // Text outlines only from the font's own shapes: no hinting that a
  // system setting could change.
  cairo_font_options_t* fo = cairo_font_options_create();
  cairo_font_options_set_antialias(fo, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr_, fo);
  cairo_font_options_destroy(fo);
}

Canvas::~Canvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

void Canvas::grain(double ux0, double uy0, double ux1, double uy1, double amount, double streak, uint32_t seed) {
  const int W = cairo_image_surface_get_width(surface_), H = cairo_image_surface_get_height(surface_);
  auto px = [&](double u, int limit) {
    const int p = int(std::lround(u * scale_));
    return p < 0 ? 0 : (p > limit ? limit : p);
  };
  const int x0 = px(ux0, W), x1 = px(ux1, W), y0 = px(uy0, H), y1 = px(uy1, H);
  if (x1 <= x0 || y1 <= y0) return;
  cairo_surface_flush(surface_);
  unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  const int w = x1 - x0;
  const int box = int(std::lround(16 * scale_));
  Grain g(seed);
  std::vector<double> row(w + box), smooth(w);
  for (int y = y0; y < y1; ++y) {
    const double rowShade = g.next() * 0.5;
    for (double& v : row) v = g.next();
    // A box filter along the row draws the noise out into streaks.
    double sum = 0;
    for (int k = 0; k < box; ++k) sum += row[k];
    for (int x = 0; x < w; ++x) {
      smooth[x] = sum / (box / 4.0);
      sum += row[x + box] - row[x];
    }
    auto* p = reinterpret_cast<uint32_t*>(data + y * stride);
    for (int x = 0; x < w; ++x) {
      const double fine = g.next();
      const double d = amount * ((1.0 - streak) * fine + streak * (smooth[x] * 0.5 + rowShade));
      const uint32_t v = p[x0 + x];
      int c[3] = {int((v >> 16) & 255), int((v >> 8) & 255), int(v & 255)};
      for (int& ch : c) {
        ch += int(std::lround(d));
        ch = ch < 0 ? 0 : (ch > 255 ? 255 : ch);
      }
      p[x0 + x] = 0xFF000000u | (uint32_t(c[0]) << 16) | (uint32_t(c[1]) << 8) | uint32_t(c[2]);
    }
  }
  cairo_surface_mark_dirty(surface_);
}

bool Canvas::finish(Image& out) {
  cairo_surface_flush(surface_);
  if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS || cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) return false;
  out.width = cairo_image_surface_get_width(surface_);
  out.height = cairo_image_surface_get_height(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  if (!data) return false;
  out.argb.resize(size_t(out.width) * out.height);
  for (int y = 0; y < out.height; ++y)
    std::memcpy(&out.argb[size_t(y) * out.width], data + y * stride, size_t(out.width) * 4);
  // An RGB24 surface leaves the top byte undefined: it is opaque.
  if (cairo_image_surface_get_format(surface_) == CAIRO_FORMAT_RGB24)
    for (uint32_t& p : out.argb) p |= 0xFF000000u;
  return true;
}

void rgb(cairo_t* cr, Rgb c, double a) { cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, a); }
void rgb(cairo_t* cr, int r, int g, int b, double a) { rgb(cr, Rgb{r, g, b}, a); }
void stop(cairo_pattern_t* p, double at, Rgb c, double a) {
  cairo_pattern_add_color_stop_rgba(p, at, c.r / 255.0, c.g / 255.0, c.b / 255.0, a);
}
void stop(cairo_pattern_t* p, double at, int r, int g, int b, double a) { stop(p, at, Rgb{r, g, b}, a); }

Rgb mix(Rgb a, Rgb b, double t) {
  auto m = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
  return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
  cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
  cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

void line(cairo_t* cr, double x0, double y0, double x1, double y1, int r, int g, int b, double a) {
  rgb(cr, r, g, b, a);
  cairo_set_line_width(cr, 1.0);
  cairo_move_to(cr, x0 + 0.5, y0 + 0.5);
  cairo_line_to(cr, x1 + 0.5, y1 + 0.5);
  cairo_stroke(cr);
}

void groove(cairo_t* cr, double x0, double x1, double y, double dark, double lit) {
  line(cr, x0, y, x1, y, 0, 0, 0, dark);
  line(cr, x0, y + 1, x1, y + 1, 255, 255, 255, lit);
}

void fillWith(cairo_t* cr, cairo_pattern_t* fill) {
  cairo_set_source(cr, fill);
  cairo_fill(cr);
  cairo_pattern_destroy(fill);
}

void fillRect(cairo_t* cr, cairo_pattern_t* fill, double x, double y, double w, double h) {
  cairo_rectangle(cr, x, y, w, h);
  fillWith(cr, fill);
}

void fillDisc(cairo_t* cr, cairo_pattern_t* fill, double cx, double cy, double r) {
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
  fillWith(cr, fill);
}

void paintWith(cairo_t* cr, cairo_pattern_t* fill) {
  cairo_set_source(cr, fill);
  cairo_paint(cr);
  cairo_pattern_destroy(fill);
}

void softSpot(cairo_t* cr, double cx, double cy, double inner, double outer, Rgb c, double a) {
  cairo_pattern_t* spot = cairo_pattern_create_radial(cx, cy, inner, cx, cy, outer);
  stop(spot, 0, c, a);
  stop(spot, 1, c, 0.0);
  fillDisc(cr, spot, cx, cy, outer);
}

void enamel(Canvas& c, double x, double y, double w, double h, uint32_t seed) {
  cairo_t* cr = c.cr();
  // Graphite enamel, a little lighter where the light falls from above.
  cairo_pattern_t* panel = cairo_pattern_create_linear(0, y, 0, y + h);
  stop(panel, 0, palette::kEnamelTop);
  stop(panel, 0.5, palette::kEnamel);
  stop(panel, 1, palette::kEnamelLow);
  fillRect(cr, panel, x, y, w, h);
  c.grain(x, y, x + w, y + h, 2.2, 0.25, seed);
}

void brushed(Canvas& c, double x, double y, double w, double h, uint32_t seed) {
  cairo_t* cr = c.cr();
  cairo_pattern_t* plate = cairo_pattern_create_linear(0, y, 0, y + h);
  stop(plate, 0, 74, 75, 77);
  stop(plate, 1, 52, 53, 55);
  fillRect(cr, plate, x, y, w, h);
  c.grain(x, y, x + w, y + h, 5.0, 0.85, seed);
}

void screw(cairo_t* cr, double cx, double cy, double radius, double turn) {
  // The countersink's shadow.
  softSpot(cr, cx + 0.6, cy + 0.8, radius * 0.6, radius + 1.6, Rgb{0, 0, 0}, 0.55);

  cairo_pattern_t* head =
      cairo_pattern_create_radial(cx - radius * 0.35, cy - radius * 0.4, radius * 0.1, cx, cy, radius);
  stop(head, 0, 226, 224, 218);
  stop(head, 0.55, 150, 148, 142);
  stop(head, 1, 72, 70, 66);
  fillDisc(cr, head, cx, cy, radius);
  rgb(cr, 30, 29, 27, 0.8);
  cairo_set_line_width(cr, 0.8);
  cairo_arc(cr, cx, cy, radius - 0.2, 0, 2 * kPi);
  cairo_stroke(cr);
  rgb(cr, 255, 255, 255, 0.35);
  cairo_set_line_width(cr, 0.7);
  cairo_arc(cr, cx, cy, radius - 0.9, kPi * 0.95, kPi * 1.55);
  cairo_stroke(cr);

  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_rotate(cr, turn);
  const double arm = radius * 0.6;
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  for (int pass = 0; pass < 2; ++pass) {
    // The slot's lit lower edge, then the slot itself.
    const double off = pass == 0 ? 0.6 : 0.0;
    if (pass == 0)
      rgb(cr, 240, 238, 232, 0.5);
    else
      rgb(cr, 34, 32, 30, 0.95);
    cairo_set_line_width(cr, 1.1);
    cairo_move_to(cr, -arm, off);
    cairo_line_to(cr, arm, off);
    cairo_move_to(cr, off, -arm);
    cairo_line_to(cr, off, arm);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

void slot(cairo_t* cr, double x, double y, double w, double h, Rgb inside) {
  rgb(cr, inside);
  cairo_rectangle(cr, x, y, w, h);
  cairo_fill(cr);
  line(cr, x, y, x + w - 1, y, 0, 0, 0, 0.7);
  line(cr, x, y, x, y + h - 1, 0, 0, 0, 0.45);
  line(cr, x, y + h, x + w - 1, y + h, 255, 255, 255, 0.14);
  line(cr, x + w, y, x + w, y + h, 255, 255, 255, 0.08);
}

void key(cairo_t* cr, double x, double y, double w, double h, bool down, double glow) {
  // The well the key sits in.
  roundedRect(cr, x, y, w, h, 2.5);
  rgb(cr, 8, 8, 8, 0.9);
  cairo_fill(cr);
  const double in = down ? 1.4 : 1.0;
  const double kx = x + in, ky = y + in, kw = w - 2 * in, kh = h - 2 * in - (down ? 0 : 0.6);
  cairo_pattern_t* face = cairo_pattern_create_linear(0, ky, 0, ky + kh);
  const Rgb base = palette::kKey;
  const Rgb lit = mix(base, palette::kLamp, 0.55 * glow);
  stop(face, 0, mix(lit, Rgb{255, 255, 255}, down ? 0.05 : 0.22));
  stop(face, 0.5, lit);
  stop(face, 1, mix(lit, Rgb{0, 0, 0}, down ? 0.25 : 0.4));
  roundedRect(cr, kx, ky, kw, kh, 2);
  fillWith(cr, face);
  // A thin lit upper edge.
  rgb(cr, 255, 255, 255, down ? 0.08 : 0.2);
  cairo_set_line_width(cr, 0.8);
  cairo_move_to(cr, kx + 2, ky + 0.5);
  cairo_line_to(cr, kx + kw - 2, ky + 0.5);
  cairo_stroke(cr);
}

double textWidth(cairo_t* cr, const char* text, double size, double spacing, Font font) {
  selectFont(cr, font, size);
  double width = 0;
  size_t count = 0;
  forEachLetter(cr, text, [&](const char*, const cairo_text_extents_t& e) {
    width += e.x_advance;
    ++count;
  });
  return count ? width + spacing * double(count - 1) : 0.0;
}

void print(cairo_t* cr, const char* text, double cx, double baseline, double size, double spacing, Rgb ink, Font font,
           double alpha) {
  const double w = textWidth(cr, text, size, spacing, font);
  rgb(cr, ink, alpha);
  letters(cr, text, cx - w / 2, baseline, spacing);
}

void engrave(cairo_t* cr, const char* text, double cx, double baseline, double size, double spacing, Rgb ink, Font font,
             double depth) {
  const double w = textWidth(cr, text, size, spacing, font);
  const double x = cx - w / 2;
  if (depth > 0) {
    rgb(cr, 0, 0, 0, 0.6 * depth);
    letters(cr, text, x, baseline - 0.8 * depth, spacing);
    rgb(cr, 255, 255, 255, 0.16 * depth);
    letters(cr, text, x, baseline + 0.8 * depth, spacing);
  }
  rgb(cr, ink);
  letters(cr, text, x, baseline, spacing);
}

}  // namespace artwork
}  // namespace orvane
