// Knobs and handles: the reference control of the meter panels and the
// trim fader's handle. Both carry alpha.
#include <cmath>

#include "resources/ArtFamilies.h"

namespace orvane {
namespace artwork {

namespace {

using namespace palette;

// A small knurled knob seen from above, its index towards `turn`.
void knurledKnob(cairo_t* cr, double cx, double cy, double r, double turn) {
  softSpot(cr, cx + 0.5, cy + 0.8, r * 0.7, r + 1.4, Rgb{0, 0, 0}, 0.6);
  // The knurled skirt: alternating light and dark teeth.
  for (int i = 0; i < 24; ++i) {
    const double a0 = i * 2 * kPi / 24, a1 = a0 + 2 * kPi / 24;
    rgb(cr, i % 2 ? Rgb{60, 58, 54} : Rgb{112, 109, 102});
    cairo_move_to(cr, cx, cy);
    cairo_arc(cr, cx, cy, r, a0, a1);
    cairo_close_path(cr);
    cairo_fill(cr);
  }
  cairo_pattern_t* cap = cairo_pattern_create_radial(cx - r * 0.3, cy - r * 0.35, 0.3, cx, cy, r * 0.78);
  stop(cap, 0, 190, 186, 178);
  stop(cap, 1, 70, 68, 64);
  fillDisc(cr, cap, cx, cy, r * 0.72);
  rgb(cr, kLamp);
  cairo_set_line_width(cr, 1.2);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr, cx + std::cos(turn) * r * 0.2, cy - std::sin(turn) * r * 0.2);
  cairo_line_to(cr, cx + std::cos(turn) * r * 0.68, cy - std::sin(turn) * r * 0.68);
  cairo_stroke(cr);
}

// The reference control: a knob to drag, its caption, and the readout in
// which the control prints the reference level (from x = 81).
bool paintReference(Image& out, double scale) {
  return paintFrames(out, scale, 165, 14, 1, true, [](Canvas& c, int) {
    cairo_t* cr = c.cr();
    knurledKnob(cr, 8, 7, 6, kPi * 0.62);
    engrave(cr, "REF LEVEL", 46.5, 10.2, 7, 0.9, kEngraving, Font::kBold, 0.5);
    slot(cr, 79, 1, 85, 12, kSlot);
  });
}

// The trim fader's cap: ribbed graphite with a white index at its centre.
bool paintTrimHandle(Image& out, double scale) {
  return paintFrames(out, scale, 22, 14, 1, true, [](Canvas& c, int) {
    cairo_t* cr = c.cr();
    roundedRect(cr, 1, 1.5, 21, 12.5, 2.2);
    rgb(cr, 0, 0, 0, 0.55);
    cairo_fill(cr);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, 0.5, 0, 13);
    stop(body, 0, 124, 121, 114);
    stop(body, 0.45, 64, 62, 58);
    stop(body, 0.55, 48, 46, 43);
    stop(body, 1, 86, 83, 78);
    roundedRect(cr, 0.5, 0.5, 20.5, 12.5, 2.2);
    fillWith(cr, body);
    for (int i = 0; i < 2; ++i) {
      const double y = i == 0 ? 3.5 : 10.5;
      groove(cr, 3, 17, y - 0.5, 0.45, 0.14);
    }
    line(cr, 1.5, 6.5, 19.5, 6.5, 244, 240, 228, 0.95);
  });
}

// The back panels' knob: a knurled skirt and a graphite cap with an ivory
// pointer, lit from the upper left whatever its turn.
void settingsKnob(Canvas& c, int frame) {
  cairo_t* cr = c.cr();
  const double cx = kKnobWidth / 2, cy = kKnobHeight / 2, r = 16;
  const double turn = knobAngle(frame / double(kKnobFrames - 1)) * kPi / 180;
  cairo_pattern_t* shadow = cairo_pattern_create_radial(cx + 0.8, cy + 1.4, r * 0.8, cx + 0.8, cy + 1.4, r + 3);
  stop(shadow, 0, 0, 0, 0, 0.65);
  stop(shadow, 1, 0, 0, 0, 0.0);
  cairo_set_source(cr, shadow);
  cairo_arc(cr, cx + 0.8, cy + 1.4, r + 3, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(shadow);
  // The skirt's teeth turn with the knob.
  for (int i = 0; i < 36; ++i) {
    const double a0 = -turn + i * 2 * kPi / 36, a1 = a0 + 2 * kPi / 36;
    const double light = 0.5 + 0.5 * std::cos((a0 + a1) / 2 + 3 * kPi / 4);
    rgb(cr, mix(Rgb{34, 33, 31}, Rgb{120, 117, 110}, i % 2 ? light * 0.6 : light));
    cairo_move_to(cr, cx, cy);
    cairo_arc(cr, cx, cy, r, a0, a1);
    cairo_close_path(cr);
    cairo_fill(cr);
  }
  rgb(cr, 0, 0, 0, 0.6);
  cairo_set_line_width(cr, 0.8);
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
  cairo_stroke(cr);
  cairo_pattern_t* cap = cairo_pattern_create_linear(cx - r, cy - r, cx + r, cy + r);
  stop(cap, 0, 132, 129, 122);
  stop(cap, 0.5, 70, 68, 64);
  stop(cap, 1, 36, 35, 33);
  cairo_set_source(cr, cap);
  cairo_arc(cr, cx, cy, r * 0.74, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(cap);
  cairo_pattern_t* top = cairo_pattern_create_radial(cx - 3, cy - 4, 0.5, cx, cy, r * 0.72);
  stop(top, 0, 255, 255, 255, 0.18);
  stop(top, 1, 255, 255, 255, 0.0);
  cairo_set_source(cr, top);
  cairo_arc(cr, cx, cy, r * 0.72, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(top);
  // The pointer, a white line engraved in the cap and running onto the skirt.
  const double dx = std::cos(turn), dy = -std::sin(turn);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  rgb(cr, 0, 0, 0, 0.5);
  cairo_set_line_width(cr, 2.6);
  cairo_move_to(cr, cx + dx * 4, cy + dy * 4 + 0.5);
  cairo_line_to(cr, cx + dx * (r - 1.5), cy + dy * (r - 1.5) + 0.5);
  cairo_stroke(cr);
  rgb(cr, 244, 238, 222);
  cairo_set_line_width(cr, 1.8);
  cairo_move_to(cr, cx + dx * 4, cy + dy * 4);
  cairo_line_to(cr, cx + dx * (r - 1.5), cy + dy * (r - 1.5));
  cairo_stroke(cr);
}

}  // namespace

void addKnobArtwork(std::vector<Artwork>& list) {
  list.push_back(
      {10003, 43, 41, kKnobFrames, "back-panel knob: pointer from 225 degrees (lowest) clockwise to -45",
       [](Image& out, double scale) { return paintFrames(out, scale, 43, 41, kKnobFrames, true, settingsKnob); }});
  list.push_back({10001, 22, 14, 1, "trim fader handle, index line at its centre row", &paintTrimHandle});
  list.push_back(
      {10013, 165, 14, 1, "reference control: knob, caption, readout from x 79 (text from x 81)", &paintReference});
}

}  // namespace artwork
}  // namespace orvane
