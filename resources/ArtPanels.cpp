// Panel backgrounds: one 586 x 169 meter panel per meter type (the VU
// panel's, 10000, also carries the strip area and is the window's
// background), graphite enamel with the two meter windows, the trim's
// track and the engraved captions of the controls that sit on it.
#include "resources/ArtFamilies.h"

namespace orvane {
namespace artwork {

namespace {

const char* const kMeterNames[] = {"VU METER", "RMS METER", "PPM METER"};

// A bevelled bezel of satin metal around a meter window.
void bezel(cairo_t* cr, double x, double y, double w, double h) {
  const double b = 3;
  roundedRect(cr, x - b - 1, y - b, w + 2 * b + 3, h + 2 * b + 3, 5);
  rgb(cr, 0, 0, 0, 0.35);
  cairo_fill(cr);
  cairo_pattern_t* ring = cairo_pattern_create_linear(0, y - b, 0, y + h + b);
  stop(ring, 0, 196, 193, 186);
  stop(ring, 0.08, 150, 147, 140);
  stop(ring, 0.92, 84, 82, 77);
  stop(ring, 1, 46, 45, 42);
  roundedRect(cr, x - b, y - b, w + 2 * b, h + 2 * b, 4);
  fillWith(cr, ring);
}

void innerEdge(cairo_t* cr, double x, double y, double w, double h) {
  rgb(cr, 20, 19, 17, 0.9);
  cairo_set_line_width(cr, 1);
  cairo_rectangle(cr, x - 0.5, y - 0.5, w + 1, h + 1);
  cairo_stroke(cr);
}

void meterWindow(cairo_t* cr, double x, double y, int meterType) {
  const double w = 250, h = meterType == 0 ? 122 : 116;
  bezel(cr, x, y, w, h);
  cairo_save(cr);
  cairo_translate(cr, x, y);
  if (meterType == 0)
    drawVuFace(cr, 2);
  else
    drawBlackFace(cr, meterType);
  cairo_restore(cr);
  innerEdge(cr, x, y, w, h);
}

void paintMeterArea(Canvas& c, int meterType) {
  cairo_t* cr = c.cr();
  using namespace palette;
  const int W = kBackgroundWidth, H = kMeterAreaHeight;
  enamel(c, 0, 0, W, H, 0x5EED0001u + uint32_t(meterType));

  // The control rail along the bottom, a shade deeper, with a cut line.
  rgb(cr, 0, 0, 0, 0.16);
  cairo_rectangle(cr, 0, 144, W, H - 144);
  cairo_fill(cr);
  groove(cr, 0, W - 1, 143, 0.55, 0.10);

  // The panel's edge: lit on top and left, shadowed on the right.
  line(cr, 0, 0, W - 1, 0, 255, 255, 255, 0.16);
  line(cr, 0, 0, 0, H - 1, 255, 255, 255, 0.10);
  line(cr, W - 1, 0, W - 1, H - 1, 0, 0, 0, 0.45);

  // The hint line's window and the trim's readout.
  slot(cr, 304, 1, 192, 13, Rgb{24, 24, 23});
  slot(cr, 530, 146, 48, 15, kSlot);

  meterWindow(cr, 12, 18, meterType);
  meterWindow(cr, 277, 18, meterType);

  // The trim fader's track, its handle centred on each mark from +20 dB
  // at the top to -20 dB at the bottom.
  const double cx = 549;
  slot(cr, cx - 2, 19, 5, 122, Rgb{14, 14, 13});
  for (int i = 0; i <= 8; ++i) {
    const double y = 24 + i * 14;
    const bool major = i % 2 == 0;
    const double len = major ? 5 : 3;
    line(cr, cx - 6 - len, y, cx - 6, y, 205, 197, 178, major ? 0.85 : 0.5);
    line(cr, cx + 7, y, cx + 7 + len, y, 205, 197, 178, major ? 0.85 : 0.5);
    if (major) {
      static const char* const dB[] = {"+20", "+10", "0", "\u221210", "\u221220"};
      print(cr, dB[i / 2], 573, y + 2.5, 6.5, 0, i == 4 ? kEngraving : kEngravingDim, Font::kBold);
    }
  }

  // Between the meters a screw holds the panel.
  screw(cr, 269.5, 8.5, 4.6, 0.12 + 0.1 * meterType);

  // Captions of the controls on the rail and the top edge.
  engrave(cr, kMeterNames[meterType], 270, 158.5, 10, 1.6, accentOf(meterType), Font::kBold, 0.8);
  engrave(cr, "HOLD", 516, 157.5, 7, 0.8, kEngravingDim, Font::kBold, 0.5);
  engrave(cr, "SCOPE", 55, 11, 7, 0.8, kEngravingDim, Font::kBold, 0.5);
  engrave(cr, "ZEL Orvane", 76, 158.5, 8, 0.5, kEngraving, Font::kBold, 0.8);
}

void paintStripArea(Canvas& c) {
  cairo_t* cr = c.cr();
  const int W = kBackgroundWidth, y0 = kMeterAreaHeight, H = kBackgroundHeight;
  brushed(c, 0, y0, W, H - y0, 0x5EED0002u);

  // The seam against the meter area, and the plate's own edges.
  groove(cr, 0, W - 1, y0, 0.75, 0.20);
  line(cr, 0, H - 1, W - 1, H - 1, 0, 0, 0, 0.5);
  line(cr, W - 1, y0, W - 1, H - 1, 0, 0, 0, 0.4);
  line(cr, 0, y0 + 1, 0, H - 2, 255, 255, 255, 0.10);

  // The name plate: the product's name with cut lines running out to the
  // screws on both sides.
  const double cy = y0 + (H - y0) / 2.0;
  engrave(cr, "ZEL Orvane", W / 2.0, cy + 2, 21, 2.2, Rgb{222, 214, 192}, Font::kBold);
  engrave(cr, "ANALOGUE LEVEL METER", W / 2.0, cy + 19, 8, 2.6, Rgb{170, 166, 156}, Font::kRegular);
  for (int side = 0; side < 2; ++side) {
    const double from = side == 0 ? 24 : W / 2.0 + 88;
    const double to = side == 0 ? W / 2.0 - 88 : W - 25;
    groove(cr, from, to, cy - 6, 0.55, 0.13);
  }
  screw(cr, 11, y0 + 11, 5.0, 0.2);
  screw(cr, W - 11, y0 + 11, 5.0, 0.55);
  screw(cr, 11, H - 11, 5.0, 0.4);
  screw(cr, W - 11, H - 11, 5.0, 0.05);
}

bool paintVuPanel(Image& out, double scale) {
  Canvas c(kBackgroundWidth, kBackgroundHeight, scale, false);
  paintMeterArea(c, 0);
  paintStripArea(c);
  return c.finish(out);
}

template <int kMeterType>
bool paintPanel(Image& out, double scale) {
  Canvas c(kBackgroundWidth, kMeterAreaHeight, scale, false);
  paintMeterArea(c, kMeterType);
  return c.finish(out);
}

}  // namespace

void addPanelArtwork(std::vector<Artwork>& list) {
  list.push_back({kBackgroundId, kBackgroundWidth, kBackgroundHeight, 1,
                  "VU panel (top 169 rows, faces as at illumination 2) and the window background below",
                  &paintVuPanel});
  list.push_back(
      {41001, kBackgroundWidth, kMeterAreaHeight, 1, "RMS panel with its printed scales (-40..+6 dB)", &paintPanel<1>});
  list.push_back(
      {42001, kBackgroundWidth, kMeterAreaHeight, 1, "PPM panel with its printed scales (4 dB marks)", &paintPanel<2>});
}

}  // namespace artwork
}  // namespace orvane
