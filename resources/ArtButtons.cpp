// Buttons and switches: push keys on the rail and the top edge, the Hold
// switch, the meter selector and the channel labels. A lit caption takes
// the meter type's accent (the common keys the amber lamp). All carry
// alpha: their rounded corners show the panel they sit on.
#include "resources/ArtFamilies.h"

namespace orvane {
namespace artwork {

namespace {

using namespace palette;

Rgb dimOf(Rgb c) { return mix(c, kEnamel, 0.45); }

void triangle(cairo_t* cr, double cx, double cy, double size, int direction) {
  // direction: 0 left, 1 right, 2 up, 3 down
  const double h = size / 2;
  cairo_new_path(cr);
  switch (direction) {
    case 0:
      cairo_move_to(cr, cx - h, cy), cairo_line_to(cr, cx + h * 0.8, cy - h), cairo_line_to(cr, cx + h * 0.8, cy + h);
      break;
    case 1:
      cairo_move_to(cr, cx + h, cy), cairo_line_to(cr, cx - h * 0.8, cy - h), cairo_line_to(cr, cx - h * 0.8, cy + h);
      break;
    case 2:
      cairo_move_to(cr, cx, cy - h * 0.9), cairo_line_to(cr, cx + h, cy + h * 0.7),
          cairo_line_to(cr, cx - h, cy + h * 0.7);
      break;
    default:
      cairo_move_to(cr, cx, cy + h * 0.9), cairo_line_to(cr, cx + h, cy - h * 0.7),
          cairo_line_to(cr, cx - h, cy - h * 0.7);
      break;
  }
  cairo_close_path(cr);
  cairo_fill(cr);
}

// A lit caption glows a little into the key around it.
void litText(cairo_t* cr, const char* text, double cx, double baseline, double size, double spacing, Rgb ink, bool lit,
             Font font = Font::kBold) {
  if (lit) {
    print(cr, text, cx - 0.4, baseline, size, spacing, ink, font, 0.25);
    print(cr, text, cx + 0.4, baseline, size, spacing, ink, font, 0.25);
  }
  print(cr, text, cx, baseline, size, spacing, lit ? ink : dimOf(ink), font);
}

// LR/MS: both modes printed on one key, the chosen one lit.
template <int kMeterType>
bool paintLrMs(Image& out, double scale) {
  return paintFrames(out, scale, 40, 20, 2, true, [](Canvas& c, int n) {
    cairo_t* cr = c.cr();
    key(cr, 0.5, 0.5, 39, 19, false, 0.0);
    const Rgb accent = accentOf(kMeterType);
    litText(cr, "LR", 11, 13.5, 8, 0.3, accent, n == 0);
    litText(cr, "MS", 29, 13.5, 8, 0.3, accent, n == 1);
    line(cr, 19.5, 4, 19.5, 15, 0, 0, 0, 0.5);
  });
}

// The channel labels: a recessed window naming the channel, for left/right
// (frame 0) and mid/side (frame 1).
template <int kMeterType, int kChannel>
bool paintChannelLabel(Image& out, double scale) {
  return paintFrames(out, scale, 66, 19, 2, true, [](Canvas& c, int n) {
    cairo_t* cr = c.cr();
    roundedRect(cr, 0.5, 0.5, 65, 18, 2.5);
    rgb(cr, 0, 0, 0, 0.6);
    cairo_fill(cr);
    slot(cr, 2, 2, 61, 14, kSlot);
    static const char* const kNames[2][2] = {{"LEFT", "MID"}, {"RIGHT", "SIDE"}};
    litText(cr, kNames[kChannel][n], 33, 13, 9, 1.6, accentOf(kMeterType), true);
  });
}

// Hold: three keys in a row, off, infinite and on; the chosen one is down.
template <int kMeterType>
bool paintHold(Image& out, double scale) {
  return paintFrames(out, scale, 60, 20, 3, true, [](Canvas& c, int n) {
    cairo_t* cr = c.cr();
    static const char* const kNames[] = {"OFF", "\u221E", "ON"};
    for (int k = 0; k < 3; ++k) {
      key(cr, k * 20 + 0.5, 0.5, 19, 19, k == n, k == n ? 0.25 : 0.0);
      litText(cr, kNames[k], k * 20 + 10, k == 1 ? 15 : 13.5, k == 1 ? 13 : 7, 0.2, accentOf(kMeterType), k == n);
    }
  });
}

bool paintProcess(Image& out, double scale) {
  return paintFrames(out, scale, 42, 14, 2, true, [](Canvas& c, int n) {
    cairo_t* cr = c.cr();
    key(cr, 0.5, 0.5, 41, 13, n == 1, n == 1 ? 0.35 : 0.0);
    litText(cr, "PROCESS", 21, 9.8, 6.5, 0.4, kLamp, n == 1);
  });
}

// Show or hide: the window's Strips key and each strip's own key.
bool paintStrips(Image& out, double scale) {
  return paintFrames(out, scale, 11, 11, 2, true, [](Canvas& c, int n) {
    cairo_t* cr = c.cr();
    key(cr, 0.5, 0.5, 10, 10, n == 1, 0.0);
    rgb(cr, n == 1 ? kLamp : kEngraving);
    triangle(cr, 5.5, 5.5, 5, n == 1 ? 2 : 3);
  });
}

// The manual: normal, under the mouse, pressed.
bool paintManual(Image& out, double scale) {
  return paintFrames(out, scale, 24, 15, 3, true, [](Canvas& c, int n) {
    cairo_t* cr = c.cr();
    key(cr, 0.5, 0.5, 23, 14, n == 2, n == 1 ? 0.2 : 0.0);
    litText(cr, "?", 12, 11.3, 10, 0, n == 0 ? kEngraving : kLamp, true);
  });
}

// The settings scope: Global, Session, Instance, in the control's three
// click zones (0..14, 14..26, 26..38).
bool paintScope(Image& out, double scale) {
  return paintFrames(out, scale, 38, 14, 3, true, [](Canvas& c, int n) {
    cairo_t* cr = c.cr();
    slot(cr, 1, 1, 36, 12, kSlot);
    static const char* const kLetters[] = {"G", "S", "I"};
    static const double kCentres[] = {8, 20, 31};
    for (int k = 0; k < 3; ++k) litText(cr, kLetters[k], kCentres[k], 10.3, 8.5, 0, kLamp, k == n);
  });
}

// The meter selector: keys for the previous and next meter at the ends,
// lit while the mouse is over them (frames 1 and 2); between them a
// window, transparent, through which the panel's name shows.
bool paintSelector(Image& out, double scale) {
  return paintFrames(out, scale, 150, 20, 3, true, [](Canvas& c, int n) {
    cairo_t* cr = c.cr();
    for (int side = 0; side < 2; ++side) {
      const double x = side == 0 ? 0.5 : 128.5;
      const bool hover = n == 1 + side;
      key(cr, x, 0.5, 21, 19, false, hover ? 0.3 : 0.0);
      rgb(cr, hover ? kLamp : kEngraving);
      triangle(cr, x + 10.5, 10, 8, side);
    }
    // The window's frame, cut into the enamel.
    roundedRect(cr, 24.5, 1.5, 101, 17, 3);
    cairo_set_line_width(cr, 1);
    rgb(cr, 0, 0, 0, 0.55);
    cairo_stroke(cr);
    roundedRect(cr, 25.5, 2.5, 101, 17, 3);
    rgb(cr, 255, 255, 255, 0.10);
    cairo_stroke(cr);
  });
}

// Back-panel switches. A row of keys, the chosen one down and lit.
void keyRow(Canvas& c, double w, double h, const char* const* labels, int count, int chosen, Rgb accent) {
  cairo_t* cr = c.cr();
  const double kw = w / count;
  for (int k = 0; k < count; ++k) {
    key(cr, k * kw + 1, 1, kw - 2, h - 2, k == chosen, k == chosen ? 0.25 : 0.0);
    litText(cr, labels[k], k * kw + kw / 2, h / 2 + 4, 11, 0.3, accent, k == chosen);
  }
}

// A bat-handle toggle between two engraved positions: `up` (frame 1) or
// down (frame 0).
void lever(Canvas& c, double w, double h, const char* top, const char* bottom, bool up, Rgb accent) {
  cairo_t* cr = c.cr();
  const double cx = w / 2, cy = h / 2;
  litText(cr, top, cx, 10, 8, 0.6, accent, up);
  litText(cr, bottom, cx, h - 4, 8, 0.6, accent, !up);
  // The bushing.
  cairo_pattern_t* nut = cairo_pattern_create_radial(cx - 2, cy - 2, 1, cx, cy, 8);
  stop(nut, 0, 220, 216, 206);
  stop(nut, 1, 70, 68, 62);
  fillDisc(cr, nut, cx, cy, 7.5);
  rgb(cr, 10, 10, 10);
  cairo_arc(cr, cx, cy, 3.2, 0, 2 * kPi);
  cairo_fill(cr);
  // The handle, foreshortened towards its end.
  const double reach = (h / 2 - 16) * (up ? -1 : 1);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  rgb(cr, 0, 0, 0, 0.45);
  cairo_set_line_width(cr, 5.5);
  cairo_move_to(cr, cx + 1.5, cy + 1.5);
  cairo_line_to(cr, cx + 1.5, cy + reach + 1.5);
  cairo_stroke(cr);
  cairo_pattern_t* bar = cairo_pattern_create_linear(cx - 3, 0, cx + 3, 0);
  stop(bar, 0, 120, 117, 110);
  stop(bar, 0.35, 236, 232, 222);
  stop(bar, 1, 90, 88, 82);
  cairo_set_source(cr, bar);
  cairo_set_line_width(cr, 4.5);
  cairo_move_to(cr, cx, cy);
  cairo_line_to(cr, cx, cy + reach);
  cairo_stroke(cr);
  cairo_pattern_destroy(bar);
  cairo_pattern_t* tip = cairo_pattern_create_radial(cx - 1.5, cy + reach - 1.5, 0.5, cx, cy + reach, 4.5);
  stop(tip, 0, 250, 248, 240);
  stop(tip, 1, 110, 108, 100);
  fillDisc(cr, tip, cx, cy + reach, 4.2);
}

const char* const kMidAtten[] = {"M0", "M3", "M6"};
const char* const kVuTypes[] = {"A", "B"};

template <int kMeterType, int kHeight>
bool paintMidAtten(Image& out, double scale) {
  return paintFrames(out, scale, 70, kHeight, 3, true,
                     [](Canvas& c, int n) { keyRow(c, 70, kHeight, kMidAtten, 3, n, accentOf(kMeterType)); });
}

bool paintVuType(Image& out, double scale) {
  return paintFrames(out, scale, 65, 41, 2, true,
                     [](Canvas& c, int n) { keyRow(c, 65, 41, kVuTypes, 2, n, accentOf(0)); });
}

template <int kMeterType>
bool paintPrecise(Image& out, double scale) {
  return paintFrames(out, scale, 54, 97, 2, true,
                     [](Canvas& c, int n) { lever(c, 54, 97, "PRECISE", "CPU SAFE", n == 1, accentOf(kMeterType)); });
}

bool paintRmsLedRef(Image& out, double scale) {
  return paintFrames(out, scale, 54, 57, 2, true,
                     [](Canvas& c, int n) { lever(c, 54, 57, "FS", "REF", n == 1, accentOf(1)); });
}

}  // namespace

void addButtonArtwork(std::vector<Artwork>& list) {
  list.push_back({40001, 65, 41, 2, "VU type switch: A, B", &paintVuType});
  list.push_back({40002, 70, 41, 3, "VU mid attenuation switch: M0, M3, M6", &paintMidAtten<0, 41>});
  list.push_back({40003, 54, 97, 2, "VU measure toggle: CPU SAFE (off), PRECISE (on)", &paintPrecise<0>});
  list.push_back({41003, 54, 57, 2, "RMS LED reference toggle: REF (off, from the reference), FS (on, from full scale)",
                  &paintRmsLedRef});
  list.push_back({41007, 54, 97, 2, "RMS measure toggle: CPU SAFE (off), PRECISE (on)", &paintPrecise<1>});
  list.push_back({41008, 70, 41, 3, "RMS mid attenuation switch: M0, M3, M6", &paintMidAtten<1, 41>});
  list.push_back({42003, 70, 67, 3, "PPM mid attenuation switch: M0, M3, M6", &paintMidAtten<2, 67>});
  list.push_back({42007, 54, 97, 2, "PPM measure toggle: CPU SAFE (off), PRECISE (on)", &paintPrecise<2>});
  list.push_back({989, 24, 15, 3, "manual key: normal, under the mouse, pressed", &paintManual});
  list.push_back({10002, 42, 14, 2, "PROCESS key: off, on (lit)", &paintProcess});
  list.push_back({10005, 40, 20, 2, "VU LR/MS key: LR lit, MS lit", &paintLrMs<0>});
  list.push_back({10006, 60, 20, 3, "VU Hold switch: off, infinite, on", &paintHold<0>});
  list.push_back({10010, 38, 14, 3, "settings scope G/S/I (zones x < 14, < 26, < 38): Global, Session, Instance lit",
                  &paintScope});
  list.push_back({10015, 150, 20, 3, "meter selector (its middle shows the panel): normal, left key lit, right key lit",
                  &paintSelector});
  list.push_back({10025, 11, 11, 2,
                  "show/hide key (Strips, and each strip's own): hidden (arrow down), shown (up, lit)", &paintStrips});
  list.push_back({40011, 66, 19, 2, "VU channel label A: LEFT, MID", &paintChannelLabel<0, 0>});
  list.push_back({40012, 66, 19, 2, "VU channel label B: RIGHT, SIDE", &paintChannelLabel<0, 1>});
  list.push_back({41005, 40, 20, 2, "RMS LR/MS key: LR lit, MS lit", &paintLrMs<1>});
  list.push_back({41006, 60, 20, 3, "RMS Hold switch: off, infinite, on", &paintHold<1>});
  list.push_back({41011, 66, 19, 2, "RMS channel label A: LEFT, MID", &paintChannelLabel<1, 0>});
  list.push_back({41012, 66, 19, 2, "RMS channel label B: RIGHT, SIDE", &paintChannelLabel<1, 1>});
  list.push_back({42005, 40, 20, 2, "PPM LR/MS key: LR lit, MS lit", &paintLrMs<2>});
  list.push_back({42006, 60, 20, 3, "PPM Hold switch: off, infinite, on", &paintHold<2>});
  list.push_back({42011, 66, 19, 2, "PPM channel label A: LEFT, MID", &paintChannelLabel<2, 0>});
  list.push_back({42012, 66, 19, 2, "PPM channel label B: RIGHT, SIDE", &paintChannelLabel<2, 1>});
}

}  // namespace artwork
}  // namespace orvane
