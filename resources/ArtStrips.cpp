// Strips: the filters and label strips under the meter, expanded and
// collapsed, in the colouring of each meter type; their keys, the filter
// sliders' handle, the lag-time display and the pen that writes the label.
#include <cmath>

#include "resources/ArtFamilies.h"

namespace orvane {
namespace artwork {

namespace {

using namespace palette;

constexpr double kW = 586;

// The strip's plate: brushed aluminium, a seam at the top, a shadow below.
void plate(Canvas& c, double h, uint32_t seed) {
  cairo_t* cr = c.cr();
  brushed(c, 0, 0, kW, h, seed);
  groove(cr, 0, kW - 1, 0, 0.75, 0.18);
  line(cr, 0, h - 1, kW - 1, h - 1, 0, 0, 0, 0.5);
  line(cr, kW - 1, 0, kW - 1, h - 1, 0, 0, 0, 0.4);
}

Rgb captionInk(int meterType) { return mix(accentOf(meterType), Rgb{235, 230, 218}, 0.35); }

// The filter slider's handle centre for a value: the handle's left edge
// travels 144 pixels from the track's left end.
double handleCentre(double trackLeft, double v) { return trackLeft + 9.5 + 144 * v; }

void filterSection(cairo_t* cr, int meterType, double trackLeft, const char* name, const double* values,
                   const char* const* labels, double baseFreq, double slopeX, const char* slopeLow,
                   const char* slopeHigh) {
  const Rgb ink = captionInk(meterType);
  // The track: a dark groove the handle rides in.
  slot(cr, trackLeft + 6, 24, 151, 4, Rgb{16, 16, 15});
  for (int i = 0; i < 5; ++i) {
    const double v = std::log(values[i] / baseFreq) / std::log(100.0);
    const double x = std::floor(handleCentre(trackLeft, v)) + 0.5;
    rgb(cr, ink, 0.9);
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, x, 42.5);
    cairo_line_to(cr, x, 45.5);
    cairo_stroke(cr);
    print(cr, labels[i], x, 52, 6.5, 0.1, ink, Font::kBold);
  }
  engrave(cr, name, trackLeft - 24, 15, 7, 1.0, ink, Font::kBold, 0.5);
  // The slope marks beside the slope toggle's two positions.
  print(cr, slopeLow, slopeX + 7.5, 41, 6.5, 0, ink, Font::kBold);
  print(cr, slopeHigh, slopeX + 21.5, 41, 6.5, 0, ink, Font::kBold);
  print(cr, "dB/oct", slopeX + 14.5, 50, 6, 0.2, kEngravingDim, Font::kRegular);
}

template <int kMeterType>
bool paintFiltersStrip(Image& out, double scale) {
  Canvas c(kW, 53, scale, false);
  cairo_t* cr = c.cr();
  plate(c, 53, 0x31000u + kMeterType);
  static const double hp[] = {20, 60, 200, 600, 2000};
  static const char* const hpLabels[] = {"20", "60", "200Hz", "600", "2k"};
  static const double lp[] = {300, 1000, 3000, 10000, 30000};
  static const char* const lpLabels[] = {"0.3", "1", "3kHz", "10", "30"};
  filterSection(cr, kMeterType, 58, "HPF", hp, hpLabels, 20, 223, "12", "24");
  filterSection(cr, kMeterType, 323, "LPF", lp, lpLabels, 300, 489, "6", "18");
  engrave(cr, "FILTERS IN", 556.5, 45, 6.5, 0.6, captionInk(kMeterType), Font::kBold, 0.5);
  screw(cr, 8, 45, 3.6, 0.4);
  return c.finish(out);
}

template <int kMeterType>
bool paintLabelStrip(Image& out, double scale) {
  Canvas c(kW, 39, scale, false);
  cairo_t* cr = c.cr();
  plate(c, 39, 0x34000u + kMeterType);
  // The tape: cream paper stuck across the plate, its ends torn.
  const double x0 = 17, x1 = 523, y0 = 3, y1 = 34;
  rgb(cr, 0, 0, 0, 0.35);
  cairo_rectangle(cr, x0 + 1, y0 + 1.5, x1 - x0, y1 - y0);
  cairo_fill(cr);
  cairo_new_path(cr);
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y0);
  for (int i = 0; i <= 10; ++i) cairo_line_to(cr, x1 + ((i * 7) % 3) - 1, y0 + (y1 - y0) * i / 10.0);
  cairo_line_to(cr, x0, y1);
  for (int i = 10; i >= 0; --i) cairo_line_to(cr, x0 + ((i * 5) % 3) - 1, y0 + (y1 - y0) * i / 10.0);
  cairo_close_path(cr);
  cairo_pattern_t* tape = cairo_pattern_create_linear(0, y0, 0, y1);
  stop(tape, 0, 236, 228, 204);
  stop(tape, 0.5, 226, 217, 190);
  stop(tape, 1, 212, 202, 174);
  fillWith(cr, tape);
  line(cr, x0 + 2, y0, x1 - 2, y0, 255, 255, 255, 0.4);
  c.grain(x0 + 2, y0 + 1, x1 - 2, y1 - 1, 2.0, 0.5, 0x7A9Eu + kMeterType);
  const Rgb ink = captionInk(kMeterType);
  print(cr, "LAG", 532, 16, 6.5, 0.3, ink, Font::kBold);
  print(cr, "TIME", 532, 24.5, 6.5, 0.3, ink, Font::kBold);
  print(cr, "ms", 573, 30, 7, 0.2, ink, Font::kBold);
  return c.finish(out);
}

// The collapsed bar, shared by both strips; the captions FILTERS and LABEL
// are bitmaps of their own.
template <int kMeterType>
bool paintCollapsed(Image& out, double scale) {
  Canvas c(kW, 13, scale, false);
  cairo_t* cr = c.cr();
  plate(c, 13, 0x40100u + kMeterType);
  // A cut line runs to the caption; the accent marks the meter's colouring.
  groove(cr, 10, 496, 6, 0.45, 0.12);
  rgb(cr, captionInk(kMeterType), 0.8);
  cairo_rectangle(cr, 4, 4.5, 3, 4);
  cairo_fill(cr);
  return c.finish(out);
}

template <int kCaption>
bool paintCaption(Image& out, double scale) {
  const int w = kCaption == 0 ? 33 : 27;
  return paintFrames(out, scale, w, 11, 1, true, [w](Canvas& c, int) {
    print(c.cr(), kCaption == 0 ? "FILTERS" : "LABEL", w / 2.0, 8.5, 7, 0.5, Rgb{222, 214, 192}, Font::kBold);
  });
}

// The filters-in key: off; on while Process is off (the lamp dim); on.
bool paintFiltersIn(Image& out, double scale) {
  return paintFrames(out, scale, 31, 30, 3, true, [](Canvas& c, int n) {
    cairo_t* cr = c.cr();
    key(cr, 0.5, 0.5, 30, 29, n > 0, n == 2 ? 0.35 : 0.0);
    drawLed(cr, 15.5, 11, 10, n == 0 ? 0 : n == 1 ? 1 : 2);
    print(cr, "IN", 15.5, 25, 7, 0.4, n == 2 ? kLamp : kEngraving, Font::kBold);
  });
}

// The lamp of the collapsed filters bar, frames as the key's.
bool paintFiltersLamp(Image& out, double scale) {
  return paintFrames(out, scale, 12, 12, 3, true, [](Canvas& c, int n) {
    drawLed(c.cr(), 6, 6, 12, n == 0 ? 0 : n == 1 ? 1 : 2);
  });
}

// A filter's in key: out, in (lit).
bool paintFilterOn(Image& out, double scale) {
  return paintFrames(out, scale, 36, 12, 2, true, [](Canvas& c, int n) {
    cairo_t* cr = c.cr();
    key(cr, 0.5, 0.5, 35, 11, n == 1, n == 1 ? 0.35 : 0.0);
    print(cr, n == 1 ? "IN" : "OUT", 18, 8.8, 7, 0.5, n == 1 ? kLamp : kEngraving, Font::kBold);
  });
}

// The filter sliders' handle: a fader cap seen from above, its index line
// down the middle.
bool paintFilterHandle(Image& out, double scale) {
  return paintFrames(out, scale, 19, 32, 1, true, [](Canvas& c, int) {
    cairo_t* cr = c.cr();
    roundedRect(cr, 1.5, 2, 17.5, 30, 2.5);
    rgb(cr, 0, 0, 0, 0.5);
    cairo_fill(cr);
    cairo_pattern_t* body = cairo_pattern_create_linear(0.5, 0, 18, 0);
    stop(body, 0, 120, 117, 110);
    stop(body, 0.45, 62, 60, 56);
    stop(body, 0.55, 46, 44, 41);
    stop(body, 1, 84, 81, 76);
    roundedRect(cr, 0.5, 0.5, 17.5, 30.5, 2.5);
    fillWith(cr, body);
    for (double y = 5; y <= 27; y += 4) {
      groove(cr, 3, 15, y, 0.35, 0.10);
    }
    line(cr, 9, 1.5, 9, 29.5, 244, 240, 228, 0.95);
  });
}

// The slope toggle: a small slide switch, left for the gentler slope
// (frame 0), right for the steeper (frame 1).
bool paintSlope(Image& out, double scale) {
  return paintFrames(out, scale, 29, 24, 2, true, [](Canvas& c, int n) {
    cairo_t* cr = c.cr();
    slot(cr, 2, 6, 25, 12, Rgb{14, 14, 13});
    const double x = n == 0 ? 3 : 15;
    key(cr, x, 6.5, 11, 11, false, n == 1 ? 0.3 : 0.0);
    line(cr, x + 5, 8.5, x + 5, 15.5, 244, 240, 228, 0.8);
  });
}

// The lag-time display: its window (frame 0), then drawn over the digits
// the step marks above and below (frame 1) and the glass (frame 2).
bool paintLagTime(Image& out, double scale) {
  return paintFrames(out, scale, 26, 40, 3, true, [](Canvas& c, int n) {
    cairo_t* cr = c.cr();
    if (n == 0) {
      roundedRect(cr, 0.5, 0.5, 25, 39, 3);
      rgb(cr, 30, 29, 27);
      cairo_fill(cr);
      for (int d = 0; d < 3; ++d) slot(cr, 1 + d * 8, 14, 8, 12, Rgb{8, 8, 8});
    } else if (n == 1) {
      rgb(cr, kEngraving);
      for (int dir = 0; dir < 2; ++dir) {
        const double cy = dir == 0 ? 7 : 33, h = dir == 0 ? -3 : 3;
        cairo_move_to(cr, 13, cy + h);
        cairo_line_to(cr, 17.5, cy - h);
        cairo_line_to(cr, 8.5, cy - h);
        cairo_close_path(cr);
        cairo_fill(cr);
      }
    } else {
      cairo_pattern_t* glass = cairo_pattern_create_linear(0, 14, 0, 26);
      stop(glass, 0, 255, 255, 255, 0.16);
      stop(glass, 0.45, 255, 255, 255, 0.04);
      stop(glass, 0.5, 255, 255, 255, 0.0);
      fillRect(cr, glass, 1, 14, 24, 12);
    }
  });
}

// The pen that writes on the tape while the label is edited: a fountain
// pen leaning to the right, its nib at the lower left.
bool paintPen(Image& out, double scale) {
  return paintFrames(out, scale, 26, 30, 1, true, [](Canvas& c, int) {
    cairo_t* cr = c.cr();
    cairo_save(cr);
    cairo_translate(cr, 3, 28);
    cairo_rotate(cr, -0.95);
    // Shadow, barrel, cap band, nib.
    roundedRect(cr, 9.5, -3, 22, 7, 3);
    rgb(cr, 0, 0, 0, 0.3);
    cairo_fill(cr);
    cairo_pattern_t* barrel = cairo_pattern_create_linear(0, -4, 0, 3);
    stop(barrel, 0, 70, 96, 140);
    stop(barrel, 0.4, 24, 44, 84);
    stop(barrel, 1, 10, 20, 40);
    roundedRect(cr, 8, -4, 22, 7, 3);
    fillWith(cr, barrel);
    rgb(cr, 214, 190, 120);
    cairo_rectangle(cr, 12, -4, 2, 7);
    cairo_fill(cr);
    cairo_move_to(cr, 0, -0.5);
    cairo_line_to(cr, 8.5, -3.2);
    cairo_line_to(cr, 8.5, 2.2);
    cairo_close_path(cr);
    rgb(cr, 220, 200, 140);
    cairo_fill(cr);
    line(cr, 1, -0.5, 7.5, -0.5, 60, 50, 30, 0.8);
    cairo_restore(cr);
  });
}

}  // namespace

void addStripArtwork(std::vector<Artwork>& list) {
  list.push_back({10008, 26, 30, 1, "pen that writes the tape label, nib at the lower left", &paintPen});
  list.push_back({10020, 31, 30, 3, "FILTERS IN key: off, on with Process off (lamp dim), on", &paintFiltersIn});
  list.push_back({10021, 36, 12, 2, "filter in key (HPF and LPF): OUT, IN (lit)", &paintFilterOn});
  list.push_back({10024, 19, 32, 1, "filter slider handle, index line down its centre", &paintFilterHandle});
  list.push_back({10100, 27, 11, 1, "caption LABEL of the collapsed label strip", &paintCaption<1>});
  list.push_back({10102, 33, 11, 1, "caption FILTERS of the collapsed filters strip", &paintCaption<0>});
  list.push_back(
      {10103, 12, 12, 3, "filters lamp of the collapsed strip: off, on with Process off, on", &paintFiltersLamp});
  list.push_back(
      {31000, 586, 53, 1, "VU filters strip: HPF and LPF scales, slope marks, FILTERS IN", &paintFiltersStrip<0>});
  list.push_back({31001, 29, 24, 2, "filter slope toggle: gentler (12 or 6 dB/oct), steeper (24 or 18)", &paintSlope});
  list.push_back({31100, 586, 53, 1, "RMS filters strip", &paintFiltersStrip<1>});
  list.push_back({31200, 586, 53, 1, "PPM filters strip", &paintFiltersStrip<2>});
  list.push_back({34000, 586, 39, 1, "VU label strip: the tape (17..523), LAG TIME and ms", &paintLabelStrip<0>});
  list.push_back(
      {34001, 26, 40, 3, "lag-time display: window with three digit boxes, step marks, glass", &paintLagTime});
  list.push_back({34100, 586, 39, 1, "RMS label strip", &paintLabelStrip<1>});
  list.push_back({34200, 586, 39, 1, "PPM label strip", &paintLabelStrip<2>});
  list.push_back({40100, 586, 13, 1, "VU collapsed strip bar (filters and label)", &paintCollapsed<0>});
  list.push_back({41100, 586, 13, 1, "RMS collapsed strip bar", &paintCollapsed<1>});
  list.push_back({42100, 586, 13, 1, "PPM collapsed strip bar", &paintCollapsed<2>});
}

}  // namespace artwork
}  // namespace orvane
