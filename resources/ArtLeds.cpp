// LEDs: a red glass dome, dark when off, glowing dimly once an over was
// latched, bright while the level is over now. Drawn with alpha, so the
// dome sits on whatever face or panel it is placed on.
#include "resources/ArtFamilies.h"

namespace orvane {
namespace artwork {

void drawLed(cairo_t* cr, double cx, double cy, double diameter, int state) {
  const double r = diameter / 2;
  // The glow spills past the dome while the LED is over now.
  if (state == 2) softSpot(cr, cx, cy, r * 0.5, r * 1.25, Rgb{255, 60, 40}, 0.55);
  const double dome = r * 0.78;
  Rgb inner, outer;
  switch (state) {
    case 2:
      inner = {255, 236, 200}, outer = {236, 36, 24};
      break;
    case 1:
      inner = {210, 90, 62}, outer = {120, 20, 14};
      break;
    default:
      inner = {96, 30, 26}, outer = {44, 10, 9};
      break;
  }
  cairo_pattern_t* glass = cairo_pattern_create_radial(cx, cy + dome * 0.1, dome * 0.1, cx, cy, dome);
  stop(glass, 0, inner);
  stop(glass, 1, outer);
  fillDisc(cr, glass, cx, cy, dome);
  rgb(cr, 0, 0, 0, 0.7);
  cairo_set_line_width(cr, 0.8);
  cairo_arc(cr, cx, cy, dome, 0, 2 * kPi);
  cairo_stroke(cr);
  // The window's reflection on the dome.
  cairo_pattern_t* spec =
      cairo_pattern_create_radial(cx - dome * 0.35, cy - dome * 0.4, 0, cx - dome * 0.35, cy - dome * 0.4, dome * 0.55);
  stop(spec, 0, 255, 255, 255, 0.75);
  stop(spec, 1, 255, 255, 255, 0.0);
  fillDisc(cr, spec, cx, cy, dome);
}

void addLedArtwork(std::vector<Artwork>& list) {
  list.push_back(
      {40008, 20, 20, 3, "over LED: off, latched (an over happened), over now", [](Image& out, double scale) {
         return paintFrames(out, scale, 20, 20, 3, true, [](Canvas& c, int n) { drawLed(c.cr(), 10, 10, 20, n); });
       }});
}

}  // namespace artwork
}  // namespace orvane
