#include "tools/orvane-meter/Plot.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <cairo.h>

#include "tools/orvane-meter/Report.h"

namespace orvane {
namespace metertool {

namespace {

// Layout of the picture, in pixels.
constexpr double kLeft = 78, kRight = 78, kTop = 96, kBottom = 58, kGap = 34;

struct Rgb {
  double r, g, b;
};
Rgb rgb(int hex) { return {((hex >> 16) & 255) / 255.0, ((hex >> 8) & 255) / 255.0, (hex & 255) / 255.0}; }

void setColour(cairo_t* cr, int hex, double alpha = 1.0) {
  const Rgb c = rgb(hex);
  cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

// The colours of the product's faces: a warm cream face, a dark needle, a
// red hold mark and red over LEDs.
constexpr int kPaper = 0xfbfaf6, kFace = 0xf5efdf, kRedZone = 0xf2d6cb, kGrid = 0xd9d1bd, kGridZero = 0x8a7f66,
              kInk = 0x2b2924, kMuted = 0x6b6457, kNeedleColour = 0x2f2b24, kHoldColour = 0xd11f1f,
              kPeakColour = 0xc27a2c, kRmsColour = 0x2f4f6f, kOverColour = 0xe01010;

std::string markText(double dB) {
  char buffer[16];
  if (dB == 0.0) dB = 0.0;  // never "-0"
  if (dB > 0.0) std::snprintf(buffer, sizeof(buffer), "+%g", dB);
  else std::snprintf(buffer, sizeof(buffer), "%g", dB);
  return buffer;
}

double niceStep(double span, int maxTicks) {
  const double raw = span / std::max(1, maxTicks);
  const double p = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (m * p >= raw) return m * p;
  return 10.0 * p;
}

std::string timeText(double t, double step, bool minutes) {
  char buffer[32];
  if (minutes) {
    const long s = std::lround(t);
    std::snprintf(buffer, sizeof(buffer), "%ld:%02ld", s / 60, s % 60);
  } else {
    const int decimals = step >= 1.0 ? 0 : (step >= 0.1 ? 1 : (step >= 0.01 ? 2 : 3));
    std::snprintf(buffer, sizeof(buffer), "%.*f s", decimals, t);
  }
  return buffer;
}

void text(cairo_t* cr, double x, double y, const std::string& s, double size, bool bold, int colour, double alignX = 0.0,
          double alignY = 0.0) {
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_text_extents_t e;
  cairo_text_extents(cr, s.c_str(), &e);
  setColour(cr, colour);
  cairo_move_to(cr, x - e.x_advance * alignX, y + e.height * alignY);
  cairo_show_text(cr, s.c_str());
}

cairo_status_t writeToFile(void* closure, const unsigned char* data, unsigned int length) {
  FILE* out = static_cast<FILE*>(closure);
  return std::fwrite(data, 1, length, out) == length ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

}  // namespace

PlotScale plotScaleFor(int meterType) {
  switch (meterType) {
    case 1: return {{-40, -30, -20, -15, -10, -6, -3, 0, 3, 6}, true};
    case 2: return {{-16, -12, -8, -4, 0, 4, 8, 12, 16}, true};
    default: return {{-20, -10, -7, -5, -3, -2, -1, 0, 1, 2, 3}, false};
  }
}

double needleFraction(int meterType, double v) {
  if (!std::isfinite(v)) v = 0.0;
  switch (meterType) {
    case 1: {
      // -40 dB at 138.08 degrees, +6 dB at 38.96; below -40 dB the scale
      // is squeezed tenfold, blending in over the last 40 dB.
      v = std::min(32.0, std::max(0.0001, v));
      double d = 20.0 * std::log10(v);
      if (d < -40.0) {
        const double t = 35.0 * v;
        d = ((d + 40.0) * 0.1 - 40.0) * (1.0 - t) + d * t;
      }
      double angle = (1.0 - (d + 40.0) / 46.0) * (138.08 - 38.96) + 38.96;
      angle = std::min(145.0, std::max(34.0, angle));
      return (145.0 - angle) / (145.0 - 34.0);
    }
    case 2: {
      // 3.75 degrees a dB; the reference sits at the top of the arc.
      v = std::min(32.0, std::max(0.0001, v));
      double angle = 180.0 - 20.0 * std::log10(16.0 * v) * 180.0 / 48.0;
      angle = std::min(150.0, std::max(30.0, angle));
      return (150.0 - angle) / 120.0;
    }
    default: {
      // The moving coil's face: 1.44 (+3.2 VU) at 45.5 degrees, 0 at 136.5.
      auto angleOf = [](double x) {
        const double m = x > 0.0 ? std::pow(x / 1.44, 1.2) : x / 1.44;
        return 136.5 - 91.0 * m;
      };
      v = std::min(1.5, std::max(-0.05, v));
      const double left = angleOf(-0.05), right = angleOf(1.5);
      return (left - angleOf(v)) / (left - right);
    }
  }
}

PlotCollector::PlotCollector(const PlotSetup& setup) : setup_(setup) {
  if (setup_.width < 400) setup_.width = 400;
  if (setup_.height < 300) setup_.height = 300;
  const int dataWidth = static_cast<int>(setup_.width - kLeft - kRight);
  const std::size_t limit = static_cast<std::size_t>(dataWidth) * 2;
  const double expected = std::floor(setup_.seconds * setup_.rateHz + 1e-9);
  pointMode_ = !(expected > static_cast<double>(limit));
  if (pointMode_) {
    columns_.reserve(static_cast<std::size_t>(expected) + 1);
  } else {
    columns_.resize(limit);
    columnSeconds_ = setup_.seconds / static_cast<double>(limit);
    for (std::size_t i = 0; i < limit; ++i) columns_[i].time = columnSeconds_ * static_cast<double>(i);
  }
}

void PlotCollector::tick(const DisplayTick& t) {
  Column* col;
  if (pointMode_) {
    columns_.emplace_back();
    col = &columns_.back();
    col->time = t.time;
  } else {
    std::size_t i = columnSeconds_ > 0.0 ? static_cast<std::size_t>(t.time / columnSeconds_) : 0;
    if (i >= columns_.size()) i = columns_.size() - 1;
    col = &columns_[i];
  }
  const double* values[3] = {t.needle, t.hold, t.rms};
  for (int k = 0; k < 3; ++k) {
    for (int c = 0; c < 2; ++c) {
      const float v = static_cast<float>(values[k][c]);
      if (!col->used || v < col->low[k][c]) col->low[k][c] = v;
      if (!col->used || v > col->high[k][c]) col->high[k][c] = v;
    }
  }
  for (int c = 0; c < 2; ++c) {
    if (t.over[c] == 1) {
      col->over[c] = true;
      if (lastOver_[c] != 1) {
        col->overStart[c] = true;
        ++overs_[c];
      }
    }
    lastOver_[c] = t.over[c];
  }
  col->used = true;
}

bool PlotCollector::render(FILE* out, std::string& error) const {
  const int W = setup_.width, H = setup_.height;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, W, H);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    error = "cannot draw the picture: " + std::string(cairo_status_to_string(cairo_surface_status(surface)));
    cairo_surface_destroy(surface);
    return false;
  }
  cairo_t* cr = cairo_create(surface);
  const PlotScale scale = plotScaleFor(setup_.meterType);
  const bool rmsMeter = setup_.meterType == 1;
  const double x0 = kLeft, x1 = W - kRight;
  const double panelHeight = (H - kTop - kBottom - kGap) / 2.0;
  const double seconds = setup_.seconds > 0.0 ? setup_.seconds : 1.0;
  auto xOf = [&](double t) { return x0 + (x1 - x0) * std::min(1.0, std::max(0.0, t / seconds)); };

  setColour(cr, kPaper);
  cairo_paint(cr);

  // Title, subtitle and legend.
  text(cr, kLeft, 30, setup_.title, 18, true, kInk);
  text(cr, kLeft, 52, setup_.subtitle, 12, false, kMuted);
  {
    struct Item {
      const char* label;
      int colour;
      bool over;
    };
    std::vector<Item> items;
    if (rmsMeter) {
      items.push_back({"rms", kRmsColour, false});
      items.push_back({"peak", kPeakColour, false});
    } else {
      items.push_back({"needle", kNeedleColour, false});
    }
    if (setup_.showHold) items.push_back({"hold", kHoldColour, false});
    items.push_back({"over", kOverColour, true});
    double x = kLeft;
    const double y = 76;
    for (const Item& item : items) {
      if (item.over) {
        setColour(cr, item.colour);
        cairo_move_to(cr, x + 6, y - 4);
        cairo_line_to(cr, x + 16, y - 4);
        cairo_line_to(cr, x + 11, y + 4);
        cairo_close_path(cr);
        cairo_fill(cr);
      } else {
        setColour(cr, item.colour);
        cairo_set_line_width(cr, 2.4);
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + 22, y);
        cairo_stroke(cr);
      }
      text(cr, x + 28, y + 4, item.label, 12, false, kInk);
      cairo_text_extents_t e;
      cairo_text_extents(cr, item.label, &e);
      x += 28 + e.x_advance + 22;
    }
    if (!setup_.showHold) text(cr, x, y + 4, "(Hold off: no hold mark)", 12, false, kMuted);
  }

  // Time axis.
  const bool minutes = seconds >= 120.0;
  double step = niceStep(seconds, 12);
  if (minutes) {
    step = 30.0;
    for (double s : {30.0, 60.0, 120.0, 300.0, 600.0, 900.0, 1800.0, 3600.0, 7200.0})
      if (seconds / s <= 12.0) {
        step = s;
        break;
      }
  }

  for (int c = 0; c < 2; ++c) {
    const double top = kTop + c * (panelHeight + kGap);
    const double bottom = top + panelHeight;
    // Heights follow the needle's travel across the face.
    const double inset = 6.0;
    auto yOfReading = [&](double v) {
      return bottom - inset - needleFraction(setup_.meterType, v) * (panelHeight - 2.0 * inset);
    };
    auto yOf = [&](double dB) { return yOfReading(std::pow(10.0, dB / 20.0)); };

    // The face, its red zone above the reference, the scale marks.
    setColour(cr, kFace);
    cairo_rectangle(cr, x0, top, x1 - x0, panelHeight);
    cairo_fill(cr);
    setColour(cr, kRedZone);
    cairo_rectangle(cr, x0, top, x1 - x0, yOf(0.0) - top);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1.0);
    for (double mark : scale.marks) {
      const double y = std::round(yOf(mark)) + 0.5;
      setColour(cr, mark == 0.0 ? kGridZero : kGrid);
      cairo_move_to(cr, x0, y);
      cairo_line_to(cr, x1, y);
      cairo_stroke(cr);
      text(cr, x0 - 8, y, markText(mark), 11, mark == 0.0, kInk, 1.0, 0.5);
      if (scale.dbfsAxis) text(cr, x1 + 8, y, markText(std::round((mark + setup_.referenceDbfs) * 10) / 10), 11, false, kMuted, 0.0, 0.5);
    }
    for (double t = step; t < seconds; t += step) {
      const double x = std::round(xOf(t)) + 0.5;
      setColour(cr, kGrid);
      cairo_move_to(cr, x, top);
      cairo_line_to(cr, x, bottom);
      cairo_stroke(cr);
    }

    // Axis titles and the channel's name.
    cairo_save(cr);
    cairo_translate(cr, 22, (top + bottom) / 2);
    cairo_rotate(cr, -M_PI / 2);
    text(cr, 0, 0, setup_.meterType == 0 ? "VU" : "dB re reference", 11, false, kMuted, 0.5, 0.0);
    cairo_restore(cr);
    if (scale.dbfsAxis) {
      cairo_save(cr);
      cairo_translate(cr, W - 18, (top + bottom) / 2);
      cairo_rotate(cr, M_PI / 2);
      text(cr, 0, 0, "dBFS", 11, false, kMuted, 0.5, 0.0);
      cairo_restore(cr);
    }

    // Traces: clip to the face so a pinned needle sits on its stop.
    cairo_save(cr);
    cairo_rectangle(cr, x0, top, x1 - x0, panelHeight);
    cairo_clip(cr);
    auto trace = [&](int kind, int colour, double width) {
      if (columns_.empty()) return;
      if (!pointMode_) {
        // The band each column covered, then the line along its top.
        setColour(cr, colour, 0.28);
        bool open = false;
        std::vector<std::pair<double, double>> lower;
        for (const Column& col : columns_) {
          if (!col.used) continue;
          const double x = xOf(col.time + columnSeconds_ * 0.5);
          const double yHigh = yOfReading(col.high[kind][c]);
          if (!open) cairo_move_to(cr, x, yHigh);
          else cairo_line_to(cr, x, yHigh);
          open = true;
          lower.emplace_back(x, yOfReading(col.low[kind][c]));
        }
        for (auto it = lower.rbegin(); it != lower.rend(); ++it) cairo_line_to(cr, it->first, it->second);
        cairo_close_path(cr);
        cairo_fill(cr);
      }
      setColour(cr, colour);
      cairo_set_line_width(cr, width);
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
      bool open = false;
      for (const Column& col : columns_) {
        if (!col.used) continue;
        const double x = pointMode_ ? xOf(col.time) : xOf(col.time + columnSeconds_ * 0.5);
        const double y = yOfReading(col.high[kind][c]);
        if (!open) cairo_move_to(cr, x, y);
        else cairo_line_to(cr, x, y);
        open = true;
      }
      cairo_stroke(cr);
    };
    // The hold first, so the needle stays readable where they meet.
    if (setup_.showHold) trace(kHold, kHoldColour, 1.4);
    if (rmsMeter) {
      trace(kNeedle, kPeakColour, 1.4);
      trace(kRms, kRmsColour, 1.8);
    } else {
      trace(kNeedle, kNeedleColour, 1.6);
    }

    // Over LED: a red strip along the top while lit, a mark where it lit up.
    setColour(cr, kOverColour, 0.85);
    const double colWidth = pointMode_ ? (x1 - x0) / std::max(1.0, seconds * setup_.rateHz)
                                       : (x1 - x0) / static_cast<double>(columns_.size());
    for (const Column& col : columns_) {
      if (!col.over[c]) continue;
      const double x = pointMode_ ? xOf(col.time) - colWidth : xOf(col.time);
      cairo_rectangle(cr, x, top, std::max(1.5, colWidth), 5);
    }
    cairo_fill(cr);
    cairo_restore(cr);
    setColour(cr, kOverColour);
    for (const Column& col : columns_) {
      if (!col.overStart[c]) continue;
      const double x = pointMode_ ? xOf(col.time) : xOf(col.time + columnSeconds_ * 0.5);
      cairo_move_to(cr, x - 5, top - 9);
      cairo_line_to(cr, x + 5, top - 9);
      cairo_line_to(cr, x, top - 1);
      cairo_close_path(cr);
    }
    cairo_fill(cr);
    // The channel's name and its over count on a patch of face, so a
    // needle passing underneath never hides them.
    {
      char count[64];
      std::snprintf(count, sizeof(count), "%lld over%s", (long long)overs_[c], overs_[c] == 1 ? "" : "s");
      cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
      cairo_set_font_size(cr, 14);
      cairo_text_extents_t nameSize;
      cairo_text_extents(cr, setup_.channelNames[c].c_str(), &nameSize);
      cairo_set_font_size(cr, 12);
      cairo_text_extents_t countSize;
      cairo_text_extents(cr, count, &countSize);
      const double boxWidth = 10 + nameSize.x_advance + 12 + countSize.x_advance + 10;
      setColour(cr, kFace, 0.88);
      cairo_rectangle(cr, x0 + 1, top + 1, boxWidth, 26);
      cairo_fill(cr);
      text(cr, x0 + 10, top + 20, setup_.channelNames[c], 14, true, kInk);
      text(cr, x0 + 10 + nameSize.x_advance + 12, top + 19, count, 12, overs_[c] > 0,
           overs_[c] > 0 ? kOverColour : kMuted);
    }

    // The frame.
    setColour(cr, kMuted);
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, x0 + 0.5, top + 0.5, x1 - x0 - 1, panelHeight - 1);
    cairo_stroke(cr);

    if (c == 1) {
      for (double t = 0.0; t <= seconds + 1e-9; t += step) {
        const double x = std::round(xOf(t)) + 0.5;
        setColour(cr, kMuted);
        cairo_move_to(cr, x, bottom);
        cairo_line_to(cr, x, bottom + 5);
        cairo_stroke(cr);
        text(cr, x, bottom + 20, timeText(t, step, minutes), 11, false, kInk, 0.5);
      }
      text(cr, (x0 + x1) / 2, bottom + 44, minutes ? "time (min:s)" : "time", 11, false, kMuted, 0.5);
    }
  }

  cairo_destroy(cr);
  cairo_surface_flush(surface);
  const cairo_status_t status = cairo_surface_write_to_png_stream(surface, writeToFile, out);
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) {
    error = std::string("cannot write the picture: ") + cairo_status_to_string(status);
    return false;
  }
  return true;
}

}  // namespace metertool
}  // namespace orvane
