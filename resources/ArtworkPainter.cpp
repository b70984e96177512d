#include "resources/ArtworkPainter.h"

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace orvane {
namespace artwork {

namespace {

constexpr double kPi = 3.14159265358979323846;

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

void rgb(cairo_t* cr, int r, int g, int b, double a = 1.0) {
  cairo_set_source_rgba(cr, r / 255.0, g / 255.0, b / 255.0, a);
}

void stop(cairo_pattern_t* p, double at, int r, int g, int b, double a = 1.0) {
  cairo_pattern_add_color_stop_rgba(p, at, r / 255.0, g / 255.0, b / 255.0, a);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
  cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
  cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

// A one-pixel line between pixel centres.
void line(cairo_t* cr, double x0, double y0, double x1, double y1, int r, int g, int b, double a) {
  rgb(cr, r, g, b, a);
  cairo_set_line_width(cr, 1.0);
  cairo_move_to(cr, x0 + 0.5, y0 + 0.5);
  cairo_line_to(cr, x1 + 0.5, y1 + 0.5);
  cairo_stroke(cr);
}

// Adds grain to the pixels of a rectangle: `streak` of it runs along the
// rows (brushed metal), the rest is fine isotropic grain (enamel).
void addGrain(cairo_surface_t* s, int x0, int y0, int x1, int y1, double amount, double streak, uint32_t seed) {
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  const int w = x1 - x0;
  Grain grain(seed);
  std::vector<double> row(w + 16), smooth(w);
  for (int y = y0; y < y1; ++y) {
    const double rowShade = grain.next() * 0.5;
    for (double& v : row) v = grain.next();
    // A box filter along the row draws the noise out into streaks.
    for (int x = 0; x < w; ++x) {
      double sum = 0;
      for (int k = 0; k < 16; ++k) sum += row[x + k];
      smooth[x] = sum / 4.0;
    }
    auto* px = reinterpret_cast<uint32_t*>(data + y * stride);
    for (int x = 0; x < w; ++x) {
      const double fine = grain.next();
      const double d = amount * ((1.0 - streak) * fine + streak * (smooth[x] * 0.5 + rowShade));
      uint32_t p = px[x0 + x];
      int c[3] = {int((p >> 16) & 255), int((p >> 8) & 255), int(p & 255)};
      for (int& v : c) {
        v += int(std::lround(d));
        v = v < 0 ? 0 : (v > 255 ? 255 : v);
      }
      px[x0 + x] = 0xFF000000u | (uint32_t(c[0]) << 16) | (uint32_t(c[1]) << 8) | uint32_t(c[2]);
    }
  }
  cairo_surface_mark_dirty(s);
}

// A cross-head screw sunk in the panel, lit from the upper left.
void screw(cairo_t* cr, double cx, double cy, double radius, double turn) {
  // The countersink's shadow.
  cairo_pattern_t* sink = cairo_pattern_create_radial(cx + 0.6, cy + 0.8, radius * 0.6, cx + 0.6, cy + 0.8, radius + 1.6);
  stop(sink, 0, 0, 0, 0, 0.55);
  stop(sink, 1, 0, 0, 0, 0.0);
  cairo_set_source(cr, sink);
  cairo_arc(cr, cx + 0.6, cy + 0.8, radius + 1.6, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(sink);

  cairo_pattern_t* head = cairo_pattern_create_radial(cx - radius * 0.35, cy - radius * 0.4, radius * 0.1, cx, cy, radius);
  stop(head, 0, 226, 224, 218);
  stop(head, 0.55, 150, 148, 142);
  stop(head, 1, 72, 70, 66);
  cairo_set_source(cr, head);
  cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(head);
  rgb(cr, 30, 29, 27, 0.8);
  cairo_set_line_width(cr, 0.8);
  cairo_arc(cr, cx, cy, radius - 0.2, 0, 2 * kPi);
  cairo_stroke(cr);

  // A thin lit rim on the upper left.
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

// Text cut into the panel: a dark shadow above, a lit edge below, then the
// filled letters.
void engrave(cairo_t* cr, const char* text, double cx, double baseline, double size, double spacing,
             int r, int g, int b, bool bold) {
  cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  // Width with the extra spacing between letters.
  double width = 0;
  const size_t n = std::strlen(text);
  for (size_t i = 0; i < n; ++i) {
    char one[2] = {text[i], 0};
    cairo_text_extents_t e;
    cairo_text_extents(cr, one, &e);
    width += e.x_advance + (i + 1 < n ? spacing : 0);
  }
  auto draw = [&](double dx, double dy) {
    double x = cx - width / 2 + dx;
    for (size_t i = 0; i < n; ++i) {
      char one[2] = {text[i], 0};
      cairo_text_extents_t e;
      cairo_text_extents(cr, one, &e);
      cairo_move_to(cr, x, baseline + dy);
      cairo_show_text(cr, one);
      x += e.x_advance + spacing;
    }
  };
  rgb(cr, 0, 0, 0, 0.6);
  draw(0, -0.8);
  rgb(cr, 255, 255, 255, 0.16);
  draw(0, 0.8);
  rgb(cr, r, g, b);
  draw(0, 0);
}

// One meter window: a bevelled bezel around a backlit ivory face with an
// empty scale, under glass. The meter view covers the face exactly.
void meterWindow(cairo_t* cr, double x, double y, double w, double h) {
  const double bezel = 3;
  // Shadow of the bezel on the panel.
  roundedRect(cr, x - bezel - 1, y - bezel, w + 2 * bezel + 3, h + 2 * bezel + 3, 5);
  rgb(cr, 0, 0, 0, 0.35);
  cairo_fill(cr);
  // The bezel: satin metal, lit from above.
  cairo_pattern_t* ring = cairo_pattern_create_linear(0, y - bezel, 0, y + h + bezel);
  stop(ring, 0, 196, 193, 186);
  stop(ring, 0.08, 150, 147, 140);
  stop(ring, 0.92, 84, 82, 77);
  stop(ring, 1, 46, 45, 42);
  roundedRect(cr, x - bezel, y - bezel, w + 2 * bezel, h + 2 * bezel, 4);
  cairo_set_source(cr, ring);
  cairo_fill(cr);
  cairo_pattern_destroy(ring);

  // The face, brightest where the lamp sits below the pivot.
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  const double cx = x + w / 2, pivotY = y + h + 33;
  cairo_pattern_t* face = cairo_pattern_create_radial(cx, y + h * 0.9, 10, cx, y + h * 0.55, w * 0.62);
  stop(face, 0, 252, 238, 196);
  stop(face, 0.55, 239, 226, 191);
  stop(face, 1, 205, 190, 152);
  cairo_set_source(cr, face);
  cairo_paint(cr);
  cairo_pattern_destroy(face);

  // The scale: an arc of ticks round the pivot, the last stretch red.
  const double radius = h * 0.98;
  const double a0 = -kPi / 2 - 0.72, a1 = -kPi / 2 + 0.72, red = -kPi / 2 + 0.33;
  cairo_set_line_width(cr, 1.2);
  rgb(cr, 40, 36, 30);
  cairo_arc(cr, cx, pivotY, radius, a0, red);
  cairo_stroke(cr);
  cairo_set_line_width(cr, 3.0);
  rgb(cr, 196, 38, 30);
  cairo_arc(cr, cx, pivotY, radius + 1.2, red, a1);
  cairo_stroke(cr);
  for (int i = 0; i <= 20; ++i) {
    const double a = a0 + (a1 - a0) * i / 20.0;
    const double len = i % 5 == 0 ? 9 : 5;
    if (a > red)
      rgb(cr, 176, 30, 24);
    else
      rgb(cr, 40, 36, 30);
    cairo_set_line_width(cr, i % 5 == 0 ? 1.4 : 1.0);
    cairo_move_to(cr, cx + std::cos(a) * radius, pivotY + std::sin(a) * radius);
    cairo_line_to(cr, cx + std::cos(a) * (radius + len), pivotY + std::sin(a) * (radius + len));
    cairo_stroke(cr);
  }
  // The pivot's cover, a dark hood rising from the bottom edge.
  cairo_pattern_t* hood = cairo_pattern_create_linear(0, y + h - 20, 0, y + h);
  stop(hood, 0, 58, 55, 50);
  stop(hood, 1, 24, 23, 21);
  cairo_set_source(cr, hood);
  cairo_arc(cr, cx, y + h + 6, 26, kPi, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(hood);

  // Depth: the bezel's shadow falls on the top and left of the face.
  cairo_pattern_t* top = cairo_pattern_create_linear(0, y, 0, y + 10);
  stop(top, 0, 0, 0, 0, 0.45);
  stop(top, 1, 0, 0, 0, 0.0);
  cairo_set_source(cr, top);
  cairo_rectangle(cr, x, y, w, 10);
  cairo_fill(cr);
  cairo_pattern_destroy(top);
  cairo_pattern_t* left = cairo_pattern_create_linear(x, 0, x + 6, 0);
  stop(left, 0, 0, 0, 0, 0.3);
  stop(left, 1, 0, 0, 0, 0.0);
  cairo_set_source(cr, left);
  cairo_rectangle(cr, x, y, 6, h);
  cairo_fill(cr);
  cairo_pattern_destroy(left);
  // The glass: a soft reflection across the upper left.
  cairo_pattern_t* glass = cairo_pattern_create_linear(x, y, x + w * 0.55, y + h);
  stop(glass, 0, 255, 255, 255, 0.20);
  stop(glass, 0.45, 255, 255, 255, 0.05);
  stop(glass, 0.46, 255, 255, 255, 0.0);
  stop(glass, 1, 255, 255, 255, 0.0);
  cairo_set_source(cr, glass);
  cairo_paint(cr);
  cairo_pattern_destroy(glass);
  cairo_restore(cr);

  // The inner edge of the bezel.
  rgb(cr, 20, 19, 17, 0.9);
  cairo_set_line_width(cr, 1);
  cairo_rectangle(cr, x - 0.5, y - 0.5, w + 1, h + 1);
  cairo_stroke(cr);
}

// A recessed slot: dark inside, shadowed at the top, lit at the bottom.
void slot(cairo_t* cr, double x, double y, double w, double h, int shade) {
  rgb(cr, shade, shade, shade - 1);
  cairo_rectangle(cr, x, y, w, h);
  cairo_fill(cr);
  line(cr, x, y, x + w - 1, y, 0, 0, 0, 0.7);
  line(cr, x, y, x, y + h - 1, 0, 0, 0, 0.45);
  line(cr, x, y + h, x + w - 1, y + h, 255, 255, 255, 0.14);
  line(cr, x + w, y, x + w, y + h, 255, 255, 255, 0.08);
}

void paintMeterArea(cairo_t* cr, cairo_surface_t* s) {
  const int W = kBackgroundWidth, H = kMeterAreaHeight;
  // Graphite enamel, a little lighter where the light falls from above.
  cairo_pattern_t* panel = cairo_pattern_create_linear(0, 0, 0, H);
  stop(panel, 0, 60, 58, 55);
  stop(panel, 0.5, 46, 44, 42);
  stop(panel, 1, 38, 37, 35);
  cairo_set_source(cr, panel);
  cairo_rectangle(cr, 0, 0, W, H);
  cairo_fill(cr);
  cairo_pattern_destroy(panel);
  addGrain(s, 0, 0, W, H, 2.2, 0.25, 0x5EED0001u);

  // The control rail along the bottom, a shade deeper, with a cut line.
  rgb(cr, 0, 0, 0, 0.16);
  cairo_rectangle(cr, 0, 145, W, H - 145);
  cairo_fill(cr);
  line(cr, 0, 144, W - 1, 144, 0, 0, 0, 0.55);
  line(cr, 0, 145, W - 1, 145, 255, 255, 255, 0.10);

  // The panel's edge: lit on top and left, shadowed on the right.
  line(cr, 0, 0, W - 1, 0, 255, 255, 255, 0.16);
  line(cr, 0, 0, 0, H - 1, 255, 255, 255, 0.10);
  line(cr, W - 1, 0, W - 1, H - 1, 0, 0, 0, 0.45);

  // The hint line's window.
  slot(cr, 304, 1, 192, 13, 24);

  meterWindow(cr, 12, 18, 250, 122);
  meterWindow(cr, 277, 18, 250, 122);

  // The trim fader's track with its scale, between the right meter and the
  // edge: 126 pixels of travel.
  const double cx = 549;
  slot(cr, cx - 2, 20, 5, 120, 14);
  for (int i = 0; i <= 8; ++i) {
    const double y = 23 + i * 114.0 / 8;
    const double len = i % 4 == 0 ? 5 : 3;
    line(cr, cx - 6 - len, y, cx - 6, y, 205, 197, 178, i % 4 == 0 ? 0.85 : 0.5);
    line(cr, cx + 7, y, cx + 7 + len, y, 205, 197, 178, i % 4 == 0 ? 0.85 : 0.5);
  }

  // Between the meters: two screws hold the panel.
  screw(cr, 269.5, 8.5, 4.6, 0.12);
  screw(cr, 269.5, 157, 4.6, 0.3);

  engrave(cr, "ZEL Orvane", 332, 161, 9, 0.6, 200, 191, 168, true);
}

void paintStripArea(cairo_t* cr, cairo_surface_t* s) {
  const int W = kBackgroundWidth, y0 = kMeterAreaHeight, H = kBackgroundHeight;
  // Brushed dark aluminium.
  cairo_pattern_t* plate = cairo_pattern_create_linear(0, y0, 0, H);
  stop(plate, 0, 74, 75, 77);
  stop(plate, 1, 52, 53, 55);
  cairo_set_source(cr, plate);
  cairo_rectangle(cr, 0, y0, W, H - y0);
  cairo_fill(cr);
  cairo_pattern_destroy(plate);
  addGrain(s, 0, y0, W, H, 5.0, 0.85, 0x5EED0002u);

  // The seam against the meter area, and the plate's own edges.
  line(cr, 0, y0, W - 1, y0, 0, 0, 0, 0.75);
  line(cr, 0, y0 + 1, W - 1, y0 + 1, 255, 255, 255, 0.20);
  line(cr, 0, H - 1, W - 1, H - 1, 0, 0, 0, 0.5);
  line(cr, W - 1, y0, W - 1, H - 1, 0, 0, 0, 0.4);
  line(cr, 0, y0 + 1, 0, H - 2, 255, 255, 255, 0.10);

  // The name plate: the product's name with cut lines running out to the
  // screws on both sides.
  const double cy = y0 + (H - y0) / 2.0;
  engrave(cr, "ZEL Orvane", W / 2.0, cy + 2, 21, 2.2, 222, 214, 192, true);
  engrave(cr, "ANALOGUE LEVEL METER", W / 2.0, cy + 19, 8, 2.6, 170, 166, 156, false);
  for (int side = 0; side < 2; ++side) {
    const double from = side == 0 ? 24 : W / 2.0 + 88;
    const double to = side == 0 ? W / 2.0 - 88 : W - 25;
    line(cr, from, cy - 6, to, cy - 6, 0, 0, 0, 0.55);
    line(cr, from, cy - 5, to, cy - 5, 255, 255, 255, 0.13);
  }
  screw(cr, 11, y0 + 11, 5.0, 0.2);
  screw(cr, W - 11, y0 + 11, 5.0, 0.55);
  screw(cr, 11, H - 11, 5.0, 0.4);
  screw(cr, W - 11, H - 11, 5.0, 0.05);
}

// cairo keeps premultiplied pixels; every pixel here is opaque, so they are
// the plain colours.
bool fromSurface(cairo_surface_t* s, Image& out) {
  cairo_surface_flush(s);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) return false;
  out.width = cairo_image_surface_get_width(s);
  out.height = cairo_image_surface_get_height(s);
  const int stride = cairo_image_surface_get_stride(s);
  const unsigned char* data = cairo_image_surface_get_data(s);
  if (!data) return false;
  out.argb.resize(size_t(out.width) * out.height);
  for (int y = 0; y < out.height; ++y)
    std::memcpy(&out.argb[size_t(y) * out.width], data + y * stride, size_t(out.width) * 4);
  // An RGB24 surface leaves the top byte undefined: it is opaque.
  if (cairo_image_surface_get_format(s) == CAIRO_FORMAT_RGB24)
    for (uint32_t& p : out.argb) p |= 0xFF000000u;
  return true;
}

uint32_t crc32(const unsigned char* p, size_t n, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void put32(std::vector<unsigned char>& v, uint32_t x) {
  for (int shift = 24; shift >= 0; shift -= 8) v.push_back((unsigned char)(x >> shift));
}

cairo_status_t collect(void* closure, const unsigned char* data, unsigned int length) {
  auto* v = static_cast<std::vector<unsigned char>*>(closure);
  v->insert(v->end(), data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

bool paintBackground(Image& out) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kBackgroundWidth, kBackgroundHeight);
  cairo_t* cr = cairo_create(s);
  // Text outlines only from the font's own shapes: no hinting that a
  // system setting could change.
  cairo_font_options_t* fo = cairo_font_options_create();
  cairo_font_options_set_antialias(fo, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr, fo);
  cairo_font_options_destroy(fo);

  paintMeterArea(cr, s);
  paintStripArea(cr, s);

  const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS && fromSurface(s, out);
  cairo_destroy(cr);
  cairo_surface_destroy(s);
  return ok;
}

const std::vector<Artwork>& allArtwork() {
  static const std::vector<Artwork> all = {{kBackgroundId, &paintBackground}};
  return all;
}

bool writePNG(const Image& image, const std::string& path, const std::string& note) {
  if (image.width <= 0 || image.height <= 0 || image.argb.size() != size_t(image.width) * image.height) return false;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  if (!data) {
    cairo_surface_destroy(s);
    return false;
  }
  for (int y = 0; y < image.height; ++y)
    std::memcpy(data + y * stride, &image.argb[size_t(y) * image.width], size_t(image.width) * 4);
  cairo_surface_mark_dirty(s);
  std::vector<unsigned char> png;
  const bool encoded = cairo_surface_write_to_png_stream(s, collect, &png) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(s);
  // Signature (8) and the header chunk (25) come first; the comment goes
  // straight after them.
  if (!encoded || png.size() < 33) return false;
  std::vector<unsigned char> text;
  const std::string keyword = "Comment";
  std::vector<unsigned char> body(keyword.begin(), keyword.end());
  body.push_back(0);
  body.insert(body.end(), note.begin(), note.end());
  put32(text, (uint32_t)body.size());
  const size_t typeAt = text.size();
  text.insert(text.end(), {'t', 'E', 'X', 't'});
  text.insert(text.end(), body.begin(), body.end());
  put32(text, crc32(text.data() + typeAt, text.size() - typeAt));
  png.insert(png.begin() + 33, text.begin(), text.end());

  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(png.data(), 1, png.size(), f) == png.size();
  return std::fclose(f) == 0 && written;
}

bool readPNG(const std::string& path, Image& image) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  bool ok = cairo_surface_status(s) == CAIRO_STATUS_SUCCESS && fromSurface(s, image);
  cairo_surface_destroy(s);
  return ok;
}

}  // namespace artwork
}  // namespace orvane
