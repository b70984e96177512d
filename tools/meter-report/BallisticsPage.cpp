#include "tools/meter-report/BallisticsPage.h"

#include <cairo.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

namespace orvane {
namespace ballistics {

namespace {

constexpr double kPi = 3.14159265358979323846;

__attribute__((format(printf, 1, 2))) std::string fmt(const char* format, ...);
std::string fmt(const char* format, ...) {
  va_list args, again;
  va_start(args, format);
  va_copy(again, args);
  const int n = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string out(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
  if (n > 0) std::vsnprintf(&out[0], out.size() + 1, format, again);
  va_end(again);
  return out;
}

// What the standards publish, kept here in one place.
//
// IEC 60268-17, the VU meter: a sine at the reference level applied
// suddenly brings the pointer to 99 % of its steady reading in 300 ms
// (+-10 %), overshooting it by at least 1 % and at most 1.5 %.
constexpr double kVuRiseMs = 300.0, kVuRiseTolerance = 0.10;
constexpr double kVuOvershootLow = 1.0, kVuOvershootHigh = 1.5;

// BS.1770's table of the largest under-read of a true-peak meter that
// oversamples 4 times: a sine at a quarter of the sample rate whose crest
// falls half-way between two of the oversampled points.
constexpr double kBs1770FourTimesDb = 0.169;

// What a perfect 4x interpolator reads of a sine of frequency f whose crest
// falls half-way between two of its points: the bound of the grid itself.
double gridBoundDb(double hz, double rate) { return -20.0 * std::log10(std::cos(kPi * hz / (4.0 * rate))); }

std::string verdict(bool within) { return within ? "within" : "outside"; }

void vuSection(std::string& p, const Figures& f) {
  p += "## VU meter\n\n";
  p += fmt(
      "First-run settings: reference %.1f dBFS, integration %.0f ms. The signal: a 1 kHz sine at the reference level "
      "(0 VU) switched on from rest for 4 s, then silence, at %.0f kHz. The steady reading, the mean over the "
      "tone's last second, is %.4f of the reference (%.2f dB) for both needle types: the moving coil reads "
      "the rectified average, scaled so that a sine at the reference reads about 0 VU.\n\n",
      f.get("vu.a.reference_dbfs"), f.get("vu.a.integration_ms"), kRate / 1000.0, f.get("vu.a.steady"),
      20.0 * std::log10(f.get("vu.a.steady")));
  p += "| | Type A | Type B | IEC 60268-17 |\n|---|---|---|---|\n";
  const auto rise = [&](const char* k) { return f.get(std::string("vu.") + k + ".rise99_ms"); };
  const auto over = [&](const char* k) { return f.get(std::string("vu.") + k + ".overshoot_pct"); };
  const double lo = kVuRiseMs * (1.0 - kVuRiseTolerance), hi = kVuRiseMs * (1.0 + kVuRiseTolerance);
  const auto riseCell = [&](const char* k) {
    return fmt("%.1f ms (%s)", rise(k), verdict(rise(k) >= lo && rise(k) <= hi).c_str());
  };
  const auto overCell = [&](const char* k) {
    return fmt("%.2f %% (%s)", over(k), verdict(over(k) >= kVuOvershootLow && over(k) <= kVuOvershootHigh).c_str());
  };
  p += fmt("| Time to 99 %% of the steady reading | %s | %s | %.0f ms +-%.0f %% (%.0f to %.0f ms) |\n",
           riseCell("a").c_str(), riseCell("b").c_str(), kVuRiseMs, kVuRiseTolerance * 100.0, lo, hi);
  p += fmt("| Overshoot | %s | %s | %.1f %% to %.1f %% |\n", overCell("a").c_str(), overCell("b").c_str(),
           kVuOvershootLow, kVuOvershootHigh);
  p += fmt("| Back to 1 %% after the tone stops | %.1f ms | %.1f ms | |\n", f.get("vu.a.fall1_ms"),
           f.get("vu.b.fall1_ms"));
  p += fmt("| Swing below rest on the way down | %.2f %% | %.2f %% | |\n\n", f.get("vu.a.undershoot_pct"),
           f.get("vu.b.undershoot_pct"));
  const bool bothUnder = over("a") < kVuOvershootLow && over("b") < kVuOvershootLow;
  p += "Type A is the quicker needle, its damping changing little over the scale. Type B is damped lightly near rest "
       "and hard near "
       "full scale: it rises more slowly, with no overshoot to speak of, and swings further below rest when the tone "
       "stops. ";
  if (bothUnder) p += "Neither overshoots as far as the standard's 1 % to 1.5 %: both are damped more than that. ";
  p += "The rise time scales with the integration setting on the back panel.\n\n";
  p += "![VU step response](ballistics-vu.png)\n![VU step response near the top](ballistics-vu-detail.png)\n\n";
}

const PpmBurst* typeBurst(int type, double ms) {
  for (const PpmBurst& b : kPpmTypes[type].bursts)
    if (b.ms == ms) return &b;
  return nullptr;
}

// A reading against a type's table entry: nominal, tolerance and whether
// the reading is within it; empty where the type's table has no such burst.
std::string typeCell(double reading, const PpmBurst* b) {
  if (!b) return "";
  const bool within = std::fabs(reading - b->dB) <= b->tolerance;
  return fmt("%+.1f +-%.1f dB (%s)", b->dB, b->tolerance, verdict(within).c_str());
}

std::string fallCell(double ms, const PpmType& type) {
  return fmt("%.1f +-%.2f s (%s)", type.fallMs / 1000.0, type.fallToleranceMs / 1000.0,
             verdict(std::fabs(ms - type.fallMs) <= type.fallToleranceMs).c_str());
}

void ppmSection(std::string& p, const Figures& f) {
  p += "## PPM\n\n";
  p +=
      fmt("First-run settings: reference %.1f dBFS, integration %.2f ms, hold %.2f s, return %.2f s for 24 dB. "
          "The signal: 5 kHz tone bursts at the reference level, each from rest, read as the highest reading "
          "against the steady tone's (%.2f dB against the reference: the sampled crests of a 5 kHz tone at "
          "%.0f kHz fall a little below its true peak).\n\n",
          f.get("ppm.reference_dbfs"), f.get("ppm.integration_ms"), f.get("ppm.hold_ms") / 1000.0,
          f.get("ppm.return_ms") / 1000.0, f.get("ppm.steady_db"), kRate / 1000.0);
  p += "| Burst | Reading | IEC 60268-10 type I | IEC 60268-10 type II |\n|---|---|---|---|\n";
  for (int b = 0; b < kBurstCount; ++b) {
    const double ms = kBurstMs[b];
    const double reading = f.get("ppm." + burstKey(ms));
    p += fmt("| %g ms | %+.2f dB | %s | %s |\n", ms, reading, typeCell(reading, typeBurst(0, ms)).c_str(),
             typeCell(reading, typeBurst(1, ms)).c_str());
  }
  const double fall20 = f.get("ppm.fall20_ms"), fall24 = f.get("ppm.fall24_ms");
  p += fmt("| Return: %.0f dB | %.1f ms | %s | |\n", kPpmTypes[0].fallDb, fall20,
           fallCell(fall20, kPpmTypes[0]).c_str());
  p += fmt("| Return: %.0f dB | %.1f ms | | %s |\n\n", kPpmTypes[1].fallDb, fall24,
           fallCell(fall24, kPpmTypes[1]).c_str());
  // How many of a type's bursts and its return the figures under `prefix` meet.
  const auto meets = [&](int t, const std::string& prefix, const std::string& fallKey) {
    int n = 0;
    for (const PpmBurst& b : kPpmTypes[t].bursts)
      if (std::fabs(f.get(prefix + burstKey(b.ms)) - b.dB) <= b.tolerance) ++n;
    if (std::fabs(f.get(fallKey) - kPpmTypes[t].fallMs) <= kPpmTypes[t].fallToleranceMs) ++n;
    return n;
  };
  const int defaults[2] = {meets(0, "ppm.", "ppm.fall20_ms"), meets(1, "ppm.", "ppm.fall24_ms")};
  const int tuned[2] = {meets(0, "ppm.type1.", "ppm.type1.fall_ms"), meets(1, "ppm.type2.", "ppm.type2.fall_ms")};
  p +=
      fmt("With its defaults the PPM meets %d of type I's 5 entries (4 bursts and the return) and %d of type II's "
          "5: its return setting (%.2f s for a fall to 1/16, 24.1 dB) lies between type I's (20 dB in 1.5 s) and "
          "type II's (24 dB in 2.8 s). Two back-panel settings, integration and return, bring it nearer each type; "
          "the one-pole envelope has a single time for every burst length, so it meets %d of type I's entries and "
          "%d of type II's:\n\n",
          defaults[0], defaults[1], f.get("ppm.return_ms") / 1000.0, tuned[0], tuned[1]);
  p += "| | Type I | Type II |\n|---|---|---|\n";
  p += fmt("| Integration | %.2f ms | %.2f ms |\n", f.get("ppm.type1.integration_ms"),
           f.get("ppm.type2.integration_ms"));
  p += fmt("| Return (24 dB) | %.2f s | %.2f s |\n", f.get("ppm.type1.return_ms") / 1000.0,
           f.get("ppm.type2.return_ms") / 1000.0);
  for (int t = 0; t < 2; ++t)
    for (const PpmBurst& b : kPpmTypes[t].bursts) {
      const double reading = f.get(fmt("ppm.type%d.", t + 1) + burstKey(b.ms));
      const std::string cell = fmt("%+.2f dB against %s", reading, typeCell(reading, &b).c_str());
      p += fmt("| %g ms burst | %s | %s |\n", b.ms, t == 0 ? cell.c_str() : "", t == 1 ? cell.c_str() : "");
    }
  const double f1 = f.get("ppm.type1.fall_ms"), f2 = f.get("ppm.type2.fall_ms");
  p += fmt("| Return: %.0f dB / %.0f dB | %.1f ms against %s | %.1f ms against %s |\n\n", kPpmTypes[0].fallDb,
           kPpmTypes[1].fallDb, f1, fallCell(f1, kPpmTypes[0]).c_str(), f2, fallCell(f2, kPpmTypes[1]).c_str());
  p += "(The integration chosen is the back panel's step whose burst readings stand least far outside the type's "
       "tolerances; the return, the step nearest the type's fall.)\n\n";
  p += "![PPM tone bursts](ballistics-ppm-bursts.png)\n![PPM return](ballistics-ppm-fall.png)\n\n";
}

void rmsSection(std::string& p, const Figures& f) {
  p += "## RMS meter\n\n";
  p +=
      fmt("First-run settings: reference 0.0 dBFS, averaging %.2f s, peak needle integration %.2f ms, return "
          "%.2f s for 24 dB, hold %.2f s. The signal: a 1 kHz sine at the reference level for 6 s from rest, then "
          "silence. The RMS needle shows the square root of the running mean square times 1.4142, so that a sine "
          "reads its peak: it settles at %.4f.\n\n",
          f.get("rms.averaging_ms") / 1000.0, f.get("rms.peak.integration_ms"), f.get("rms.peak.return_ms") / 1000.0,
          f.get("rms.peak.hold_ms") / 1000.0, f.get("rms.steady"));
  p += "| | |\n|---|---|\n";
  p += fmt("| Mean square to 63 %% of its steady value (its time constant) | %.1f ms |\n", f.get("rms.rise63_ms"));
  p += fmt("| RMS needle to 99 %% of its steady reading | %.1f ms |\n", f.get("rms.rise99_ms"));
  p += fmt("| RMS needle down 20 dB after the tone stops | %.1f ms |\n", f.get("rms.fall20_ms"));
  p += fmt("| Peak needle's steady reading | %+.2f dB |\n", f.get("rms.peak.steady_db"));
  p += fmt("| Peak needle to 99 %% of its steady reading | %.1f ms |\n", f.get("rms.peak.rise99_ms"));
  p += fmt("| Peak needle down 24 dB after the tone stops | %.1f ms |\n", f.get("rms.peak.fall24_ms"));
  p += fmt("| Hold mark stays after its last rise | %.1f ms |\n\n", f.get("rms.peak.hold_stays_ms"));
  p +=
      fmt("A silenced mean square falls to 0.109 of its value in half the averaging time, so its time constant is "
          "%.3f of the averaging time. The peak needle is the PPM's envelope with the RMS meter's own times.\n\n",
          f.get("rms.rise63_ms") / f.get("rms.averaging_ms"));
  p += "![RMS meter](ballistics-rms.png)\n\n";
}

void preciseSection(std::string& p, const Figures& f) {
  p += "## Precise mode: the peaks between samples\n\n";
  p += "With precise on, each meter reads its samples through a 4x oversampling peak detector. Full-scale sines from "
       "20 Hz to 20 kHz at every phase (36 a cycle, then 288 around each worst case) through the PPM with a 0 dBFS "
       "reference, instant integration and a long hold, so the reading is the largest value the detector gave. "
       "Under-read: how far the reading stays below the sine's true peak.\n\n";
  p += "| | 44.1 kHz | 48 kHz |\n|---|---|---|\n";
  const auto at = [&](const std::string& rate, const std::string& name) {
    const std::string k = "precise." + rate + "." + name;
    return fmt("%.3f dB at %.2f Hz, phase %.2f deg", f.get(k + "_db"), f.get(k + "_hz"), f.get(k + "_deg"));
  };
  p += "| Worst under-read up to a quarter of the rate | " + at("44k1", "quarter") + " | " + at("48k", "quarter") +
       " |\n";
  p += "| Worst under-read, 20 Hz to 20 kHz | " + at("44k1", "worst") + " | " + at("48k", "worst") + " |\n";
  p += fmt("| A perfect 4x interpolator's bound at that frequency | %.3f dB | %.3f dB |\n",
           gridBoundDb(f.get("precise.44k1.worst_hz"), 44100.0), gridBoundDb(f.get("precise.48k.worst_hz"), 48000.0));
  p += fmt("| Mean under-read, 1 kHz to 20 kHz every 250 Hz, 16 phases (below 0: over) | %.4f dB | %.4f dB |\n",
           f.get("precise.44k1.mean_db"), f.get("precise.48k.mean_db"));
  p += "| Largest over-read | " + at("44k1", "over") + " | " + at("48k", "over") + " |\n\n";
  const bool quarter =
      f.get("precise.44k1.quarter_db") <= kBs1770FourTimesDb && f.get("precise.48k.quarter_db") <= kBs1770FourTimesDb;
  p +=
      fmt("BS.1770 gives %.3f dB as the largest under-read of a meter that oversamples 4 times, for a sine at a "
          "quarter of the sample rate whose crest falls half-way between two oversampled points: up to that "
          "frequency the detector stays %s it. Above it the bound of a 4x grid itself rises, to %.3f dB at 20 kHz "
          "and 48 kHz and towards 0.688 dB at the Nyquist frequency. A steady tone offers the detector many crests "
          "at different offsets, so most tones read far better than that bound; the worst are tones whose period "
          "is a short fraction of samples (%.4g samples at 48 kHz), whose crests keep meeting the same "
          "offsets, and there the detector reads %.3f dB (48 kHz) under, against the grid's own %.3f dB.\n\n",
          kBs1770FourTimesDb, quarter ? "within" : "outside", gridBoundDb(20000.0, 48000.0),
          48000.0 / f.get("precise.48k.worst_hz"), f.get("precise.48k.worst_db"),
          gridBoundDb(f.get("precise.48k.worst_hz"), 48000.0));
  p += "![Precise mode's under-read](ballistics-precise.png)\n\n";
}

// ---- pictures ----

struct Guide {
  bool vertical;
  double at;
  std::string label;
};

struct Chart {
  std::string title, xLabel, yLabel;
  double x0, x1, xStep, y0, y1, yStep;
  std::vector<Curve> curves;
  std::vector<Guide> guides;
  double legendX = 0.0, legendY = 0.0;  // the legend's corner, as fractions of the plot area
};

const int kColours[] = {0x1f5fa8, 0xc23b22, 0x2e8b57, 0x8a4fb0, 0xd98a00, 0x444444, 0x009aa6};

void setColour(cairo_t* cr, int hex) {
  cairo_set_source_rgb(cr, ((hex >> 16) & 255) / 255.0, ((hex >> 8) & 255) / 255.0, (hex & 255) / 255.0);
}

void text(cairo_t* cr, double x, double y, const std::string& s, double size, double alignX) {
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_text_extents_t e;
  cairo_text_extents(cr, s.c_str(), &e);
  cairo_move_to(cr, x - e.x_advance * alignX, y);
  cairo_show_text(cr, s.c_str());
}

std::string tickText(double v, double step) {
  const int decimals = step >= 1.0 ? 0 : step >= 0.1 ? 1 : step >= 0.01 ? 2 : 3;
  return fmt("%.*f", decimals, v);
}

bool draw(const Chart& c, const std::string& path, std::string& error) {
  const int W = 900, H = 440;
  const double left = 70, right = W - 20, top = 40, bottom = H - 50;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, W, H);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  const auto X = [&](double x) { return left + (x - c.x0) / (c.x1 - c.x0) * (right - left); };
  const auto Y = [&](double y) { return bottom - (y - c.y0) / (c.y1 - c.y0) * (bottom - top); };

  cairo_set_line_width(cr, 1.0);
  for (double x = c.x0; x <= c.x1 + 1e-9; x += c.xStep) {
    cairo_set_source_rgb(cr, 0.9, 0.9, 0.9);
    cairo_move_to(cr, std::round(X(x)) + 0.5, top);
    cairo_line_to(cr, std::round(X(x)) + 0.5, bottom);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
    text(cr, X(x), bottom + 16, tickText(x, c.xStep), 11, 0.5);
  }
  for (double y = c.y0; y <= c.y1 + 1e-9; y += c.yStep) {
    cairo_set_source_rgb(cr, 0.9, 0.9, 0.9);
    cairo_move_to(cr, left, std::round(Y(y)) + 0.5);
    cairo_line_to(cr, right, std::round(Y(y)) + 0.5);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
    text(cr, left - 6, Y(y) + 4, tickText(y, c.yStep), 11, 1.0);
  }
  cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
  text(cr, left, 24, c.title, 15, 0.0);
  text(cr, (left + right) / 2, H - 12, c.xLabel, 12, 0.5);
  cairo_save(cr);
  cairo_translate(cr, 16, (top + bottom) / 2);
  cairo_rotate(cr, -kPi / 2);
  text(cr, 0, 0, c.yLabel, 12, 0.5);
  cairo_restore(cr);

  cairo_rectangle(cr, left, top, right - left, bottom - top);
  cairo_clip(cr);
  const double dash[] = {6.0, 4.0};
  int verticals = 0;
  for (const Guide& g : c.guides) {
    cairo_set_source_rgb(cr, 0.45, 0.45, 0.45);
    cairo_set_dash(cr, dash, 2, 0);
    if (g.vertical) {
      cairo_move_to(cr, X(g.at), top);
      cairo_line_to(cr, X(g.at), bottom);
    } else {
      cairo_move_to(cr, left, Y(g.at));
      cairo_line_to(cr, right, Y(g.at));
    }
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    if (g.vertical)
      text(cr, X(g.at) + 4, top + 14 + 14 * (verticals++ % 2), g.label, 11, 0.0);
    else
      text(cr, right - 4, Y(g.at) - 4, g.label, 11, 1.0);
  }
  cairo_set_line_width(cr, 1.8);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  for (std::size_t i = 0; i < c.curves.size(); ++i) {
    const Curve& curve = c.curves[i];
    setColour(cr, kColours[i % (sizeof kColours / sizeof kColours[0])]);
    for (std::size_t j = 0; j < curve.x.size(); ++j) {
      const double y = std::fmax(c.y0 - (c.y1 - c.y0), std::fmin(c.y1 + (c.y1 - c.y0), curve.y[j]));
      if (j == 0)
        cairo_move_to(cr, X(curve.x[j]), Y(y));
      else
        cairo_line_to(cr, X(curve.x[j]), Y(y));
    }
    cairo_stroke(cr);
  }
  // The legend on a white ground, over the curves.
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, 12);
  double widest = 0.0;
  for (const Curve& curve : c.curves) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, curve.label.c_str(), &e);
    widest = std::fmax(widest, e.x_advance);
  }
  const double lx = left + 6 + c.legendX * (right - left - 12), ly = top + 6 + c.legendY * (bottom - top - 12);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.9);
  cairo_rectangle(cr, lx, ly, widest + 44, 18.0 * c.curves.size() + 8);
  cairo_fill(cr);
  for (std::size_t i = 0; i < c.curves.size(); ++i) {
    setColour(cr, kColours[i % (sizeof kColours / sizeof kColours[0])]);
    cairo_rectangle(cr, lx + 6, ly + 6 + 18 * i, 20, 3);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    text(cr, lx + 32, ly + 11 + 18 * i, c.curves[i].label, 12, 0.0);
  }
  cairo_reset_clip(cr);
  cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
  cairo_set_line_width(cr, 1.0);
  cairo_rectangle(cr, left + 0.5, top + 0.5, right - left, bottom - top);
  cairo_stroke(cr);

  cairo_destroy(cr);
  const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) {
    error = "cannot write " + path + ": " + cairo_status_to_string(status);
    return false;
  }
  return true;
}

std::vector<Curve> scaledX(std::vector<Curve> curves, double factor) {
  for (Curve& c : curves)
    for (double& x : c.x) x *= factor;
  return curves;
}

}  // namespace

std::string renderPage(const Figures& f) {
  std::string p;
  p += "*Generated by `scripts/update-ballistics.sh` (`orvane-ballistics` in tools/meter-report) from the engines "
       "themselves: change the engines or the generator and run it again, never edit this page by hand. The test "
       "`ballistics_page_current` measures every figure again and fails when the page no longer states them.*\n\n";
  p += "# How the needles move\n\n";
  p +=
      fmt("The ballistics of the three meters, measured on the plug-in's own engines with the settings of a first "
          "run, fed one sample at a time at %.0f kHz. The standards' figures are quoted beside ours; where a "
          "meter's defaults differ from a standard, the back panel's settings move it.\n\n",
          kRate / 1000.0);
  vuSection(p, f);
  ppmSection(p, f);
  rmsSection(p, f);
  preciseSection(p, f);
  return p;
}

bool drawPlots(const Traces& t, const std::string& dir, std::string& error) {
  std::vector<Chart> charts;
  const double riseLo = kVuRiseMs * (1.0 - kVuRiseTolerance), riseHi = kVuRiseMs * (1.0 + kVuRiseTolerance);
  charts.push_back({"VU: 1 kHz at the reference level, switched on from rest",
                    "ms after the tone starts",
                    "% of the steady reading",
                    0,
                    1000,
                    100,
                    0,
                    110,
                    10,
                    t.vuStep,
                    {{false, 99.0, "99 %"}, {true, kVuRiseMs, "300 ms"}},
                    0.75,
                    0.7});
  charts.push_back({"VU: near the top (IEC 60268-17: 99 % in 270 to 330 ms, 1 % to 1.5 % overshoot)",
                    "ms after the tone starts",
                    "% of the steady reading",
                    150,
                    750,
                    50,
                    96,
                    102,
                    0.5,
                    t.vuStep,
                    {{false, 99.0, "99 %"},
                     {false, 100.0 + kVuOvershootLow, ""},
                     {false, 100.0 + kVuOvershootHigh, "overshoot band"},
                     {true, riseLo, "270"},
                     {true, riseHi, "330"}},
                    0.8,
                    0.75});
  charts.push_back({"PPM: 5 kHz tone bursts from rest",
                    "ms after the burst starts",
                    "dB against the steady reading",
                    0,
                    30,
                    2,
                    -34,
                    2,
                    2,
                    t.ppmBursts,
                    {{false, -2.5, "-2.5 dB (type II, 10 ms)"}, {false, -1.0, "-1 dB (type I, 10 ms)"}},
                    0.85,
                    0.62});
  charts.push_back({"PPM: return after the tone stops",
                    "ms after the tone stops",
                    "dB against the reading at the stop",
                    0,
                    3500,
                    250,
                    -30,
                    0,
                    2,
                    t.ppmFall,
                    {{false, -kPpmTypes[0].fallDb, "-20 dB"},
                     {false, -kPpmTypes[1].fallDb, "-24 dB"},
                     {true, kPpmTypes[0].fallMs, "type I"},
                     {true, kPpmTypes[1].fallMs, "type II"}},
                    0.02,
                    0.75});
  charts.push_back({"RMS meter: 1 kHz at the reference level for 6 s, then silence",
                    "s",
                    "reading (1 = the reference)",
                    0,
                    12,
                    1,
                    0,
                    1.1,
                    0.1,
                    scaledX(t.rms, 0.001),
                    {{false, 0.99, "99 %"}},
                    0.2,
                    0.4});
  std::vector<Curve> precise = scaledX(t.underRead, 0.001);
  for (double rate : {44100.0, 48000.0}) {
    Curve bound;
    bound.label = fmt("perfect 4x grid at %.1f kHz", rate / 1000.0);
    for (double hz = 0.0; hz <= 20000.0; hz += 100.0) {
      bound.x.push_back(hz * 0.001);
      bound.y.push_back(gridBoundDb(hz, rate));
    }
    precise.push_back(bound);
  }
  charts.push_back(
      {"Precise mode: worst under-read of full-scale sines over all phases",
       "kHz",
       "dB below the true peak",
       0,
       20,
       1,
       0,
       0.6,
       0.05,
       precise,
       {{false, kBs1770FourTimesDb, "BS.1770, 4x"}, {true, 11.025, "44.1 kHz / 4"}, {true, 12.0, "48 kHz / 4"}},
       0.0,
       0.0});
  const char* names[] = {"ballistics-vu.png",       "ballistics-vu-detail.png", "ballistics-ppm-bursts.png",
                         "ballistics-ppm-fall.png", "ballistics-rms.png",       "ballistics-precise.png"};
  for (std::size_t i = 0; i < charts.size(); ++i)
    if (!draw(charts[i], dir + "/" + names[i], error)) return false;
  return true;
}

}  // namespace ballistics
}  // namespace orvane
