// orvane-artwork: draws the plug-in's bitmaps into PNG files named by their
// resource identifier, or checks that files already there are what it
// draws now.
//   orvane-artwork [--out DIR] [--scale S] [--only ID]
//                                  write DIR/N.png (default: .); the 2x set
//                                  the editor zooms with lives in its own
//                                  folder (--out resources/2x --scale 2)
//   orvane-artwork --check DIR [--scale S]
//                                  exit 1 when a file differs or is missing
//   orvane-artwork --table         print the table of bitmaps (Markdown)
//   orvane-artwork --mockup DIR    the three panels with their controls
//                                  placed, as DIR/mockup-N.png (not shipped)
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "backpanels/BackPanelLayout.h"
#include "resources/ArtworkPainter.h"

using namespace orvane::artwork;

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: orvane-artwork [--out DIR] [--scale S] [--only ID] | --check DIR [--scale S] | --table\n");
  return 2;
}

void table() {
  std::printf("| Id | Frame (w x h) | Frames | Pixels | Shows |\n|---|---|---|---|---|\n");
  for (const Artwork& a : allArtwork()) {
    Image image;
    a.paint(image, 1.0);
    bool opaque = true;
    for (uint32_t p : image.argb) opaque = opaque && (p >> 24) == 0xFFu;
    std::printf("| %d | %d x %d | %d | %s | %s |\n", a.id, a.width, a.height, a.frames, opaque ? "opaque" : "alpha",
                a.shows);
  }
}

Image draw(int id) {
  Image image;
  if (const Artwork* a = findArtwork(id)) a->paint(image, 1.0);
  return image;
}

// Each panel with frame 0 of its controls where the editor places them.
int mockup(const std::string& dir) {
  struct Panel {
    int background, lrms, labelA, labelB, hold;
  };
  const Panel panels[] = {
      {10000, 10005, 40011, 40012, 10006}, {41001, 41005, 41011, 41012, 41006}, {42001, 42005, 42011, 42012, 42006}};
  for (const Panel& p : panels) {
    Image base = draw(p.background);
    auto put = [&](int id, int frame, int x, int y) {
      const Artwork* a = findArtwork(id);
      if (a) drawOver(base, draw(id), frame, a->height, x, y);
    };
    if (p.background == 10000) {
      put(40007, 3, 12, 18);
      put(40007, 3, 277, 18);
      put(40008, 2, 12 + 181, 18 + 90);
      put(40008, 0, 277 + 181, 18 + 90);
    } else {
      put(40008, 1, 12 + 210, 18 + 14);
      put(40008, 0, 277 + 210, 18 + 14);
    }
    put(p.lrms, 0, 8, 144);
    put(p.labelA, 0, 104, 146);
    put(p.labelB, 0, 369, 146);
    put(p.hold, 1, 442, 144);
    put(10013, 0, 96, 1);
    put(10015, 0, 195, 144);
    put(10001, 0, 538, 73);
    put(10002, 1, 531, 1);
    put(10010, 1, 0, 1);
    put(10025, 0, 574, 1);
    put(989, 0, 505, 0);
    const std::string path = dir + "/mockup-" + std::to_string(p.background) + ".png";
    if (!writePNG(base, path, "A mock-up of orvane-artwork's bitmaps in place; not shipped.")) return 1;
    std::printf("%s\n", path.c_str());
  }
  // The window at full height: each meter's strips, expanded, under it.
  for (int type = 0; type < 3; ++type) {
    static const int kPanels[] = {10000, 41001, 42001};
    Image base = draw(10000);
    Image panel = draw(kPanels[type]);
    drawOver(base, panel, 0, 169, 0, 0);
    auto put = [&](int id, int frame, int x, int y) {
      const Artwork* a = findArtwork(id);
      if (a) drawOver(base, draw(id), frame, a->height, x, y);
    };
    put(31000 + 100 * type, 0, 0, 169);
    put(10020, 2, 541, 169 + 4);
    put(10025, 1, 574, 169);
    put(10021, 1, 16, 169 + 20);
    put(10021, 0, 281, 169 + 20);
    put(10024, 0, 58 + 36, 169 + 10);
    put(10024, 0, 323 + 100, 169 + 10);
    put(31001, 0, 223, 169 + 8);
    put(31001, 1, 489, 169 + 8);
    put(34000 + 100 * type, 0, 0, 222);
    put(34001, 0, 541, 223);
    put(34001, 1, 541, 223);
    put(34001, 2, 541, 223);
    put(10025, 1, 574, 222);
    put(10008, 0, 523 - 20 - 26, 223);
    const std::string path = dir + "/mockup-strips-" + std::to_string(type) + ".png";
    if (!writePNG(base, path, "A mock-up of orvane-artwork's bitmaps in place; not shipped.")) return 1;
    std::printf("%s\n", path.c_str());
  }

  // The back panels as their table builds them: knobs at their reset
  // values (a stepped knob where it draws that position), switches in the
  // middle, buttons off, the scope selector and strip on one scope each.
  for (int type : {0, 2, 1}) {
    const orvane::BackPanelTable& t = *orvane::backPanelTable(type);
    Image base = draw(t.background);
    auto put = [&](int id, int frame, int x, int y) {
      const Artwork* a = findArtwork(id);
      if (a) drawOver(base, draw(id), frame, a->height, x, y);
    };
    for (size_t i = 0; i < t.controlCount; ++i) {
      const orvane::BackControlRow& row = t.controls[i];
      if (row.kind == orvane::BackControl::kSwitch3 || row.kind == orvane::BackControl::kOnOff) {
        put(row.bitmap, row.kind == orvane::BackControl::kSwitch3 ? 1 : 0, row.left, row.top);
        continue;
      }
      const orvane::KnobSteps steps = orvane::knobSteps(row.kind);
      double drawn = row.resetValue;
      if (steps.positions > 1) drawn = steps.fractions[int(row.resetValue * (steps.positions - 1) + 0.5f)];
      put(row.bitmap, int(std::lround(50 * drawn)), row.left, row.top);
    }
    put(10014, type, 0, orvane::kBackScopeSelectorTop);
    put(10016, type, 0, orvane::kBackScopeStripTop);
    const std::string path = dir + "/mockup-" + std::to_string(t.background) + ".png";
    if (!writePNG(base, path, "A mock-up of orvane-artwork's bitmaps in place; not shipped.")) return 1;
    std::printf("%s\n", path.c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = ".";
  bool check = false;
  double scale = 1.0;
  int only = 0;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if ((a == "--out" || a == "--check") && i + 1 < argc) {
      check = a == "--check";
      dir = argv[++i];
    } else if (a == "--scale" && i + 1 < argc) {
      scale = std::atof(argv[++i]);
      if (!(scale >= 0.5 && scale <= 4)) return usage();
    } else if (a == "--only" && i + 1 < argc) {
      only = std::atoi(argv[++i]);
    } else if (a == "--mockup" && i + 1 < argc) {
      return mockup(argv[i + 1]);
    } else if (a == "--table") {
      table();
      return 0;
    } else {
      return usage();
    }
  }
  int failures = 0;
  for (const Artwork& art : allArtwork()) {
    if (only && art.id != only) continue;
    const std::string path = dir + "/" + std::to_string(art.id) + ".png";
    Image image;
    if (!art.paint(image, scale)) {
      std::fprintf(stderr, "orvane-artwork: cannot draw %d\n", art.id);
      ++failures;
      continue;
    }
    if (check) {
      Image committed;
      if (!readPNG(path, committed) || committed.width != image.width || committed.height != image.height ||
          committed.argb != image.argb) {
        std::fprintf(stderr, "orvane-artwork: %s differs from what the generator draws\n", path.c_str());
        ++failures;
      }
    } else if (!writePNG(image, path, "Generated by orvane-artwork (resources/); do not edit.")) {
      std::fprintf(stderr, "orvane-artwork: cannot write %s\n", path.c_str());
      ++failures;
    } else {
      std::printf("%s  %d x %d\n", path.c_str(), image.width, image.height);
    }
  }
  return failures ? 1 : 0;
}
