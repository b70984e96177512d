// Back-panel backgrounds: the settings side of each meter, 261 pixels high
// (the window with both strips shown). The plate carries every control's
// engraved caption and the printed scale round each knob, each mark where
// the knob's pointer stands for that position, and the value labels' slots,
// all where the back panels' own table (backpanels/BackPanelLayout.h) puts
// the controls; and the scope strips, which name the three settings scopes
// and say what each one means.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "backpanels/BackPanelLayout.h"
#include "resources/ArtFamilies.h"

namespace orvane {
namespace artwork {

namespace {

using namespace palette;

struct KnobScale {
  int32_t tag;  // the setting: its knob's place and drawn positions come from the back panels' table
  const char* caption;
  std::vector<const char*> labels;  // one per mark, or the two ends
  // Moves the caption off the knob's axis where a neighbour's caption
  // stands beside it.
  double captionShift = 0;
};

struct Caption {
  const char* text;
  double cx, baseline;
};

struct BackPanel {
  int meterType;  // the back panels' table of that meter gives the plate's id and the knobs' places
  int width;
  const char* title;
  std::vector<KnobScale> knobs;
  std::vector<Caption> captions;
};

const std::vector<const char*> kOversLabels = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
const std::vector<const char*> kLedRefLabels = {"+8", "\u22123", "\u22121", "0"};

std::vector<BackPanel> panels() {
  return {
      {0,
       586,
       "VU SETTINGS",
       {{83, "REFERENCE", {"\u221224", "0"}},
        {84, "INTEGRATION", {}},
        {85, "HOLD", {}},
        {88, "BACKLIT", {"COLD", "", "", "", "WARM"}},
        {90, "LED REF", kLedRefLabels},
        {89, "OVERS", kOversLabels}},
       {{"MID ATTEN", 250, 123}, {"VU TYPE", 172.5, 123}, {"MEASURE", 559, 120}}},
      {2,
       585,
       "PPM SETTINGS",
       {{93, "REFERENCE", {"\u221224", "0"}},
        {94, "INTEGRATION", {}},
        {95, "HOLD", {}},
        {96, "FALL-BACK", {}},
        {99, "LED REF", kLedRefLabels},
        {98, "OVERS", kOversLabels}},
       {{"MID ATTEN", 235, 31}, {"MEASURE", 559, 120}}},
      {1,
       586,
       "RMS SETTINGS",
       {{72, "REFERENCE", {"\u221220", "+10"}},
        {74, "RMS INTEG", {}},
        {73, "PEAK INTEG", {}},
        {75, "HOLD", {}},
        {76, "FALL-BACK", {}},
        {79, "OVER LEVEL", {"\u22126", "\u22125", "\u22124", "\u22123", "\u22122", "\u22121", "0"}, -16},
        {78, "OVERS", kOversLabels}},
       {{"MID ATTEN", 258, 46}, {"LED REF", 506, 24}, {"MEASURE", 564, 119}}},
  };
}

void knobScale(cairo_t* cr, const BackControlRow& row, const KnobScale& k) {
  const double cx = row.left + kKnobWidth / 2, cy = row.top + kKnobHeight / 2;
  // A stepped knob's marks stand where it draws its positions; a
  // continuous one has 11 even marks.
  const KnobSteps steps = knobSteps(row.kind);
  std::vector<double> marks;
  for (int32_t i = 0; i < steps.positions; ++i) marks.push_back(steps.fractions[i]);
  if (marks.empty())
    for (int i = 0; i <= 10; ++i) marks.push_back(i / 10.0);
  const bool stepped = steps.positions > 0;
  for (size_t i = 0; i < marks.size(); ++i) {
    // The mark sits on the frame the knob draws for that position.
    const double frame = std::lround(marks[i] * (kKnobFrames - 1)) / double(kKnobFrames - 1);
    const double a = knobAngle(frame) * kPi / 180, dx = std::cos(a), dy = -std::sin(a);
    const bool major = stepped || i % 5 == 0;
    rgb(cr, major ? kEngraving : kEngravingDim);
    cairo_set_line_width(cr, major ? 1.3 : 0.9);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_move_to(cr, cx + dx * 18.5, cy + dy * 18.5);
    cairo_line_to(cr, cx + dx * (major ? 22.5 : 21), cy + dy * (major ? 22.5 : 21));
    cairo_stroke(cr);
    const char* label = nullptr;
    double la = a, r = 27.5;
    if (k.labels.size() == marks.size()) {
      label = k.labels[i];
      // Words stand further out than numbers.
      if (std::strlen(label) > 3 && label[0] != '\xE2') r = 31;
    } else if (k.labels.size() == 2 && (i == 0 || i + 1 == marks.size())) {
      // The two ends' values sit level with the end marks, outside them.
      label = k.labels[i == 0 ? 0 : 1];
      print(cr, label, cx + (i == 0 ? -25 : 25), cy + 19, 7, 0.2, kEngraving, Font::kBold);
      continue;
    }
    if (label && *label)
      print(cr, label, cx + std::cos(la) * r, cy - std::sin(la) * r + 2.5, 7, 0.2, kEngraving, Font::kBold);
  }
  const bool crowded = stepped && k.labels.size() == marks.size();
  engrave(cr, k.caption, cx + k.captionShift, row.top - (crowded ? 11 : 1), 7.5, 0.9, kEngraving, Font::kBold, 0.5);
}

bool paintBack(const BackPanel& p, Image& out, double scale) {
  const BackPanelTable* table = backPanelTable(p.meterType);
  if (!table) return false;
  Canvas c(p.width, 261, scale, false);
  cairo_t* cr = c.cr();
  enamel(c, 0, 0, p.width, 261, 0x8AC0000u + uint32_t(table->background));
  const double W = p.width;
  // Edges, and the seam where the strips' area begins.
  line(cr, 0, 0, W - 1, 0, 255, 255, 255, 0.16);
  line(cr, 0, 0, 0, 260, 255, 255, 255, 0.10);
  line(cr, W - 1, 0, W - 1, 260, 0, 0, 0, 0.45);
  line(cr, 0, 260, W - 1, 260, 0, 0, 0, 0.45);
  line(cr, 0, 169, W - 1, 169, 0, 0, 0, 0.55);
  line(cr, 0, 170, W - 1, 170, 255, 255, 255, 0.10);
  for (const KnobScale& k : p.knobs)
    if (const BackControlRow* row = backControlRow(*table, k.tag)) knobScale(cr, *row, k);
  for (const Caption& t : p.captions) engrave(cr, t.text, t.cx, t.baseline, 7.5, 0.9, kEngraving, Font::kBold, 0.5);
  // The slots the value labels print in.
  for (size_t i = 0; i < table->labelCount; ++i) {
    const BackBox& r = table->labels[i].rect;
    slot(cr, r.left, r.top, r.right - r.left, r.bottom - r.top, Rgb{26, 25, 24});
  }
  // The title over the version label, and how to turn the meter round.
  const double mid = p.meterType == 2 ? 336 : p.meterType == 1 ? 348 : 345;
  engrave(cr, "ZEL Orvane", mid, 62, 14, 1.2, Rgb{222, 214, 192}, Font::kBold);
  engrave(cr, p.title, mid, 78, 8, 2.0, accentOf(p.meterType), Font::kBold, 0.6);
  print(cr, "Click an empty spot to turn the meter round", 375, 150, 7.5, 0.2, kEngravingDim, Font::kRegular);
  // Below the meter area: the scope strip's place and the name plate.
  engrave(cr, "SETTINGS SCOPE", W / 2, 178, 7, 1.2, kEngravingDim, Font::kBold, 0.5);
  engrave(cr, "ZEL Orvane", W / 2, 226, 18, 2.0, Rgb{222, 214, 192}, Font::kBold);
  engrave(cr, p.title, W / 2, 242, 8, 2.6, accentOf(p.meterType), Font::kBold, 0.6);
  screw(cr, 11, 250, 5.0, 0.3);
  screw(cr, W - 11, 250, 5.0, 0.7);
  return c.finish(out);
}

const char* const kScopeNames[] = {"GLOBAL", "SESSION", "INSTANCE"};
const char* const kScopeMeaning[] = {
    "shared by every meter of this type in every session, and remembered for your user account",
    "shared by the meters of this type in this session, and saved with the project",
    "this meter's own settings, independent of the others, and saved with the project"};

// The scope selector of the back panels: G, S and I in the control's click
// zones (x below 14, 26, 38), the chosen scope's name beside them, and what
// it means to the right.
bool paintScopeRows(Image& out, double scale) {
  return paintFrames(out, scale, 581, 11, 3, false, [](Canvas& c, int n) {
    cairo_t* cr = c.cr();
    rgb(cr, kSlot);
    cairo_paint(cr);
    static const char* const kLetters[] = {"G", "S", "I"};
    static const double kCentres[] = {7, 20, 32};
    for (int k = 0; k < 3; ++k) {
      if (k == n) {
        roundedRect(cr, kCentres[k] - 5.5, 0.5, 11, 10, 2);
        rgb(cr, kLamp, 0.22);
        cairo_fill(cr);
      }
      print(cr, kLetters[k], kCentres[k], 8.6, 8, 0, k == n ? kLamp : mix(kLamp, kSlot, 0.6), Font::kBold);
    }
    print(cr, kScopeNames[n], 62, 8.6, 7.5, 0.6, kLamp, Font::kBold);
    const double w = textWidth(cr, kScopeMeaning[n], 7.5, 0.15, Font::kRegular);
    print(cr, kScopeMeaning[n], 92 + w / 2, 8.6, 7.5, 0.15, kPrint, Font::kRegular);
    line(cr, 87, 2, 87, 8, 255, 255, 255, 0.15);
  });
}

// The explanations alone, for the strip below the meter area.
bool paintScopeMeanings(Image& out, double scale) {
  return paintFrames(out, scale, 586, 11, 3, false, [](Canvas& c, int n) {
    cairo_t* cr = c.cr();
    rgb(cr, kSlot);
    cairo_paint(cr);
    char text[160];
    std::snprintf(text, sizeof text, "%s: %s", kScopeNames[n], kScopeMeaning[n]);
    print(cr, text, 293, 8.6, 7.5, 0.15, kPrint, Font::kRegular);
  });
}

template <int kIndex>
bool paintBackPanel(Image& out, double scale) {
  static const std::vector<BackPanel> all = panels();
  return paintBack(all[kIndex], out, scale);
}

}  // namespace

void addBackPanelArtwork(std::vector<Artwork>& list) {
  list.push_back({10014, 581, 11, 3, "back-panel scope selector: G/S/I (zones x < 14, < 26, < 38), name, meaning",
                  &paintScopeRows});
  list.push_back({10016, 586, 11, 3, "scope meanings alone (Global, Session, Instance), for the strip at y 180",
                  &paintScopeMeanings});
  list.push_back({40000, 586, 261, 1, "VU back panel: captions, knob scales, readout windows", &paintBackPanel<0>});
  list.push_back({41000, 586, 261, 1, "RMS back panel: captions, knob scales, readout windows", &paintBackPanel<2>});
  list.push_back({42000, 585, 261, 1, "PPM back panel: captions, knob scales, readout windows", &paintBackPanel<1>});
}

}  // namespace artwork
}  // namespace orvane
