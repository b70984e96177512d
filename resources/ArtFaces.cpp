// Faces and scales: the VU face in five illumination levels, and the black
// PPM and RMS faces that the panels print. Every tick is put where the
// meter view's angle map puts the needle for that value.
#include <cmath>
#include <cstdio>

#include "display/NeedleAngles.h"
#include "resources/ArtFamilies.h"

namespace orvane {
namespace artwork {

namespace {

double fromDb(double db) { return std::pow(10.0, db / 20.0); }

// The pivots, in the coordinates of the view (the face's top left).
constexpr double kVuPivotX = 128, kVuPivotY = 155;
constexpr double kBlackPivotX = 126, kBlackPivotY = 149.8;

struct Scale {
  double px, py;
  double (*angle)(double);
};

void tick(cairo_t* cr, const Scale& s, double v, double r0, double r1, double width) {
  const double a = s.angle(v);
  const NeedlePoint p0 = needlePoint(s.px, s.py, a, r0), p1 = needlePoint(s.px, s.py, a, r1);
  cairo_set_line_width(cr, width);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  cairo_move_to(cr, p0.x, p0.y);
  cairo_line_to(cr, p1.x, p1.y);
  cairo_stroke(cr);
}

// An arc of the scale between two values, at radius r.
void arc(cairo_t* cr, const Scale& s, double from, double to, double r, double width) {
  const double a0 = s.angle(from) * kPi / 180, a1 = s.angle(to) * kPi / 180;
  cairo_set_line_width(cr, width);
  // Screen angles run clockwise: the anticlockwise scale angle a is -a.
  cairo_new_path(cr);
  cairo_arc(cr, s.px + 0.5, s.py + 0.5, r, -a0, -a1);
  cairo_stroke(cr);
}

// A scale's line at radius r, in `ink` from `from` up to `red` and in
// `redInk` from there to `to`, and under the red part a broad band at
// `bandRadius`, drawn first.
void scaleLine(cairo_t* cr, const Scale& s, double from, double red, double to, Rgb ink, Rgb redInk, double r,
               double width, double bandRadius, double bandWidth) {
  rgb(cr, redInk);
  arc(cr, s, red, to, bandRadius, bandWidth);
  rgb(cr, ink);
  arc(cr, s, from, red, r, width);
  rgb(cr, redInk);
  arc(cr, s, red, to, r, width);
}

// A numeral centred on the point at radius r along the value's ray.
void numeral(cairo_t* cr, const Scale& s, double v, double r, const char* text, double size, Rgb ink, Font font) {
  const NeedlePoint p = needlePoint(s.px, s.py, s.angle(v), r);
  // Centred on the height of a digit, whatever the text (textWidth also
  // selects the font and size).
  textWidth(cr, text, size, 0, font);
  cairo_text_extents_t e;
  cairo_text_extents(cr, "0", &e);
  print(cr, text, p.x, p.y + e.height / 2, size, 0, ink, font);
}

// The glass over a face: a soft reflection across the upper left, and the
// bezel's shadow on the top and left edges.
void glassOver(cairo_t* cr, double w, double h, double strength) {
  cairo_pattern_t* top = cairo_pattern_create_linear(0, 0, 0, 10);
  stop(top, 0, 0, 0, 0, 0.45);
  stop(top, 1, 0, 0, 0, 0.0);
  fillRect(cr, top, 0, 0, w, 10);
  cairo_pattern_t* left = cairo_pattern_create_linear(0, 0, 6, 0);
  stop(left, 0, 0, 0, 0, 0.3);
  stop(left, 1, 0, 0, 0, 0.0);
  fillRect(cr, left, 0, 0, 6, h);
  cairo_pattern_t* glass = cairo_pattern_create_linear(0, 0, w * 0.55, h);
  stop(glass, 0, 255, 255, 255, 0.20 * strength);
  stop(glass, 0.45, 255, 255, 255, 0.05 * strength);
  stop(glass, 0.46, 255, 255, 255, 0.0);
  stop(glass, 1, 255, 255, 255, 0.0);
  fillRect(cr, glass, 0, 0, w, h);
}

// The chrome ring that holds an LED in a face.
void ledRing(cairo_t* cr, double cx, double cy, double r) {
  cairo_pattern_t* ring = cairo_pattern_create_linear(0, cy - r, 0, cy + r);
  stop(ring, 0, 210, 206, 198);
  stop(ring, 0.5, 120, 118, 112);
  stop(ring, 1, 60, 58, 54);
  fillDisc(cr, ring, cx, cy, r);
  rgb(cr, 10, 10, 10);
  cairo_arc(cr, cx, cy, r - 1.6, 0, 2 * kPi);
  cairo_fill(cr);
}

void paintVuFaces(Canvas& c, int level) { drawVuFace(c.cr(), level); }

void blackScaleRms(cairo_t* cr, const Scale& s) {
  using namespace palette;
  // The red zone from 0 dB to the top.
  scaleLine(cr, s, fromDb(-60), fromDb(0), fromDb(6), kPrint, kPrintRed, 100, 1.0, 101.8, 3.6);
  const int majors[] = {-40, -30, -20, -10, -6, -3, 0, 3, 6};
  for (int db : majors) {
    rgb(cr, db > 0 ? kPrintRed : kPrint);
    tick(cr, s, fromDb(db), 100, 112, 1.5);
    char text[16];
    std::snprintf(text, sizeof text, "%d", db < 0 ? -db : db);
    numeral(cr, s, fromDb(db), 121.5, text, 8.5, db > 0 ? kPrintRed : kPrint, Font::kBold);
  }
  // Minor ticks; below -40 dB the scale is squeezed, so only -50 and -60.
  const int minors[] = {-60, -50, -35, -25, -18, -16, -14, -12, -9, -8, -7, -5, -4, -2, -1, 1, 2, 4, 5};
  for (int db : minors) {
    rgb(cr, db > 0 ? kPrintRed : kPrint);
    tick(cr, s, fromDb(db), 100, 106, 1.0);
  }
  print(cr, "\u2212", 27, 97, 10, 0, kPrint, Font::kBold);
  print(cr, "+", 234, 92, 10, 0, kPrintRed, Font::kBold);
  print(cr, "RMS", 126, 84, 15, 1.2, kPrint, Font::kBold);
  print(cr, "dB", 126, 95, 8, 0.5, kEngravingDim, Font::kBold);
}

void blackScalePpm(cairo_t* cr, const Scale& s) {
  using namespace palette;
  // 4 dB between marks, the reference in the middle, red above +8 dB.
  scaleLine(cr, s, fromDb(-14), fromDb(8), fromDb(14), kPrint, kPrintRed, 104, 1.0, 105.8, 3.6);
  for (int db = -12; db <= 12; db += 4) {
    const Rgb ink = db > 8 ? kPrintRed : kPrint;
    rgb(cr, ink);
    tick(cr, s, fromDb(db), 104, 116, db == 0 ? 2.0 : 1.5);
    char text[16];
    if (db == 0)
      std::snprintf(text, sizeof text, "0");
    else
      std::snprintf(text, sizeof text, "%s%d", db < 0 ? "\u2212" : "+", db < 0 ? -db : db);
    numeral(cr, s, fromDb(db), 125.5, text, db == 0 ? 10 : 8.5, ink, Font::kBold);
  }
  for (int db = -14; db <= 14; db += 4) {
    rgb(cr, db > 8 ? kPrintRed : kPrint);
    tick(cr, s, fromDb(db), 104, 110, 1.0);
  }
  print(cr, "PPM", 126, 82, 15, 1.2, kPrint, Font::kBold);
  print(cr, "dB", 126, 93, 8, 0.5, kEngravingDim, Font::kBold);
}

}  // namespace

void drawVuFace(cairo_t* cr, int level) {
  using namespace palette;
  const double W = 250, H = 122;
  const double lit = level / 4.0;
  const Scale s{kVuPivotX, kVuPivotY, &vuNeedleAngle};
  cairo_save(cr);
  cairo_rectangle(cr, 0, 0, W, H);
  cairo_clip(cr);
  // The paper, brightest where the lamp sits below the pivot.
  cairo_pattern_t* paper = cairo_pattern_create_radial(128, 112, 10, 128, 68, 156);
  stop(paper, 0, 252, 240, 202);
  stop(paper, 0.55, kIvory);
  stop(paper, 1, 208, 193, 156);
  paintWith(cr, paper);

  // The VU scale: -20 to +3, red from 0 up.
  scaleLine(cr, s, fromDb(-20), 1.0, fromDb(3), kInk, kInkRed, 112, 1.1, 109.3, 3.8);
  const int majors[] = {-20, -10, -7, -5, -3, -2, -1, 0, 1, 2, 3};
  for (int db : majors) {
    const Rgb ink = db > 0 ? kInkRed : kInk;
    rgb(cr, ink);
    tick(cr, s, fromDb(db), 112, 121, db == 0 ? 1.8 : 1.4);
    char text[16];
    std::snprintf(text, sizeof text, "%d", db < 0 ? -db : db);
    numeral(cr, s, fromDb(db), 128.5, text, 9.5, ink, Font::kBold);
  }
  const double minors[] = {-15, -9, -8, -6, -4, -0.5, 0.5, 1.5, 2.5};
  for (double db : minors) {
    rgb(cr, db > 0 ? kInkRed : kInk);
    tick(cr, s, fromDb(db), 112, 117, 1.0);
  }
  print(cr, "\u2212", 20, 51, 11, 0, kInk, Font::kBold);
  print(cr, "+", 232, 53, 11, 0, kInkRed, Font::kBold);

  // The modulation scale inside: per cent of the reference level.
  rgb(cr, kInk, 0.85);
  arc(cr, s, 0.0, 1.0, 100, 0.8);
  for (int p = 0; p <= 100; p += 10) {
    rgb(cr, kInk, 0.85);
    tick(cr, s, p / 100.0, p % 20 == 0 ? 95 : 97, 100, p % 20 == 0 ? 1.1 : 0.8);
    if (p % 20 == 0) {
      char text[16];
      std::snprintf(text, sizeof text, "%d", p);
      numeral(cr, s, p / 100.0, 89, text, 7, kInk, Font::kRegular);
    }
  }
  print(cr, "VU", 128, 95, 19, 1.0, kInk, Font::kBold);

  // The over LED's ring; the view draws the LED itself at (181, 90).
  ledRing(cr, 191, 100, 11.5);
  print(cr, "OVER", 191, 86, 6.5, 0.6, kInk, Font::kBold);

  // The lamp, from cold (level 0: a pale bluish light, the face in the
  // panel's shade) to warm (level 4: full amber glow from below).
  cairo_set_operator(cr, CAIRO_OPERATOR_MULTIPLY);
  const Rgb dim = mix(Rgb{150, 160, 178}, Rgb{255, 250, 238}, lit);
  rgb(cr, dim);
  cairo_paint(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  if (level > 0) {
    cairo_pattern_t* glow = cairo_pattern_create_radial(128, 150, 8, 128, 120, 150);
    stop(glow, 0, kLamp, 0.32 * lit);
    stop(glow, 1, kLamp, 0.0);
    paintWith(cr, glow);
  }
  glassOver(cr, W, 116, 1.0);

  // The bottom shroud, which the view draws again over the needles.
  cairo_pattern_t* shroud = cairo_pattern_create_linear(0, 116, 0, 122);
  stop(shroud, 0, 92, 89, 84);
  stop(shroud, 0.25, 62, 60, 56);
  stop(shroud, 1, 30, 29, 27);
  fillRect(cr, shroud, 0, 116, W, 6);
  line(cr, 0, 116, W - 1, 116, 255, 255, 255, 0.18);
  cairo_restore(cr);
}

void drawBlackFace(cairo_t* cr, int meterType) {
  const double W = 250, H = 116;
  const Scale s{kBlackPivotX, kBlackPivotY, meterType == 2 ? &ppmNeedleAngle : &rmsNeedleAngle};
  cairo_save(cr);
  cairo_rectangle(cr, 0, 0, W, H);
  cairo_clip(cr);
  cairo_pattern_t* face = cairo_pattern_create_radial(126, 96, 8, 126, 70, 150);
  stop(face, 0, 44, 44, 46);
  stop(face, 1, palette::kBlackFace);
  paintWith(cr, face);
  if (meterType == 2)
    blackScalePpm(cr, s);
  else
    blackScaleRms(cr, s);
  // The over LED's ring; the view draws the LED itself at (210, 14).
  ledRing(cr, 220, 24, 11.5);
  print(cr, "OVER", 194, 27, 6.5, 0.6, palette::kEngravingDim, Font::kBold);
  // Where the needles disappear under the bezel.
  cairo_pattern_t* low = cairo_pattern_create_linear(0, H - 8, 0, H);
  stop(low, 0, 0, 0, 0, 0.0);
  stop(low, 1, 0, 0, 0, 0.6);
  fillRect(cr, low, 0, H - 8, W, 8);
  glassOver(cr, W, H, 0.8);
  cairo_restore(cr);
}

void addFaceArtwork(std::vector<Artwork>& list) {
  list.push_back({40007, 250, 122, 5,
                  "VU face at illumination 0 (cold, dim) to 4 (warm, full); the view draws the needles and the LED",
                  [](Image& out, double scale) { return paintFrames(out, scale, 250, 122, 5, false, paintVuFaces); }});
}

}  // namespace artwork
}  // namespace orvane
