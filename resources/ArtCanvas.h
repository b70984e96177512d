// The generator's shared palette and drawing helpers. Every family of
// bitmaps (faces and scales, panels, buttons and switches, knobs, strips,
// LEDs) draws with these, so the pieces read as one instrument: graphite
// enamel, ivory faces under glass, engraved captions, lit from the upper
// left.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <vector>

#include "resources/ArtworkPainter.h"

namespace orvane {
namespace artwork {

constexpr double kPi = 3.14159265358979323846;

struct Rgb {
  int r, g, b;
};

namespace palette {
constexpr Rgb kEnamelTop{60, 58, 55};  // graphite enamel under the light
constexpr Rgb kEnamel{46, 44, 42};
constexpr Rgb kEnamelLow{38, 37, 35};
constexpr Rgb kEngraving{200, 191, 168};  // caption ink cut into the enamel
constexpr Rgb kEngravingDim{150, 146, 136};
constexpr Rgb kIvory{242, 229, 193};  // the VU face's paper
constexpr Rgb kInk{40, 36, 30};       // print on ivory
constexpr Rgb kInkRed{176, 30, 24};
constexpr Rgb kBlackFace{22, 22, 24};  // the PPM and RMS faces
constexpr Rgb kPrint{232, 224, 204};   // print on the black faces
constexpr Rgb kPrintRed{226, 72, 54};
constexpr Rgb kSlot{20, 20, 19};    // recessed windows and readouts
constexpr Rgb kKey{70, 68, 64};     // push keys
constexpr Rgb kLamp{255, 186, 84};  // a lit key's amber lamp
// Each meter type has its own accent, on its labels and lit keys.
constexpr Rgb kAccentVU{240, 196, 118};
constexpr Rgb kAccentPPM{160, 200, 236};
constexpr Rgb kAccentRMS{164, 214, 168};
}  // namespace palette

// Meter type index: 0 VU, 1 RMS, 2 PPM.
Rgb accentOf(int meterType);

// A drawing surface of `width` x `height` units at `scale` pixels per unit.
// Opaque surfaces keep RGB only; the others carry alpha.
class Canvas {
 public:
  Canvas(int width, int height, double scale, bool alpha);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  cairo_t* cr() const { return cr_; }
  double scale() const { return scale_; }
  // Grain on the pixels of a rectangle (units): `streak` of it runs along
  // the rows (brushed metal), the rest is fine isotropic grain (enamel).
  // Only for opaque surfaces.
  void grain(double x0, double y0, double x1, double y1, double amount, double streak, uint32_t seed);
  bool finish(Image& out);

 private:
  cairo_surface_t* surface_;
  cairo_t* cr_;
  double scale_;
};

// Draws `frames` frames of `width` x `height` below each other: `one` is
// called once per frame with the origin moved to the frame's top left.
template <typename F>
bool paintFrames(Image& out, double scale, int width, int height, int frames, bool alpha, F one) {
  Canvas c(width, height * frames, scale, alpha);
  for (int n = 0; n < frames; ++n) {
    cairo_save(c.cr());
    cairo_translate(c.cr(), 0, n * height);
    cairo_rectangle(c.cr(), 0, 0, width, height);
    cairo_clip(c.cr());
    one(c, n);
    cairo_restore(c.cr());
  }
  return c.finish(out);
}

void rgb(cairo_t* cr, Rgb c, double a = 1.0);
void rgb(cairo_t* cr, int r, int g, int b, double a = 1.0);
void stop(cairo_pattern_t* p, double at, Rgb c, double a = 1.0);
void stop(cairo_pattern_t* p, double at, int r, int g, int b, double a = 1.0);
Rgb mix(Rgb a, Rgb b, double t);
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
// A one-unit line between pixel centres.
void line(cairo_t* cr, double x0, double y0, double x1, double y1, int r, int g, int b, double a);
// A line cut across the metal from x0 to x1: a dark row y (opacity `dark`)
// with its lit lower edge in the row below (opacity `lit`).
void groove(cairo_t* cr, double x0, double x1, double y, double dark, double lit);

// Fills the current path with a pattern, then lets go of the pattern.
void fillWith(cairo_t* cr, cairo_pattern_t* fill);
// The same for a rectangle, a disc, and everything inside the clip.
void fillRect(cairo_t* cr, cairo_pattern_t* fill, double x, double y, double w, double h);
void fillDisc(cairo_t* cr, cairo_pattern_t* fill, double cx, double cy, double r);
void paintWith(cairo_t* cr, cairo_pattern_t* fill);
// A soft round spot: `c` at opacity `a` out to `inner` from the centre,
// fading to nothing at `outer` (a shadow under a knob or screw, a halo).
void softSpot(cairo_t* cr, double cx, double cy, double inner, double outer, Rgb c, double a);

// The enamel of a panel in the rectangle, with its grain.
void enamel(Canvas& c, double x, double y, double w, double h, uint32_t seed);
// Brushed dark aluminium, the plate of the strips below the meter.
void brushed(Canvas& c, double x, double y, double w, double h, uint32_t seed);
// A cross-head screw sunk in the panel.
void screw(cairo_t* cr, double cx, double cy, double radius, double turn);
// A recessed slot: dark inside, shadowed at the top, lit at the bottom.
void slot(cairo_t* cr, double x, double y, double w, double h, Rgb inside);
// A push key of the panel, lit from above; `down` sinks it, `glow` (0..1)
// lights its face from inside.
void key(cairo_t* cr, double x, double y, double w, double h, bool down, double glow = 0.0);

enum class Font { kRegular, kBold, kCondensedBold };
double textWidth(cairo_t* cr, const char* text, double size, double spacing, Font font);
// Text centred on `cx` at a baseline, in plain ink.
void print(cairo_t* cr, const char* text, double cx, double baseline, double size, double spacing, Rgb ink, Font font,
           double alpha = 1.0);
// Text cut into the enamel: a shadow above, a lit edge below, then the
// filled letters. `depth` 0 gives plain ink (for the smallest captions).
void engrave(cairo_t* cr, const char* text, double cx, double baseline, double size, double spacing, Rgb ink, Font font,
             double depth = 1.0);

}  // namespace artwork
}  // namespace orvane
