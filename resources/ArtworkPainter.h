// Draws the plug-in's artwork with cairo, deterministically: the same
// program on the same libraries always gives the same pixels, so the
// committed PNGs can be checked against what the generator makes now.
// Every bitmap can also be drawn at a larger scale (2x for a zoomed
// editor); only the 1x pictures are committed and embedded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvane {
namespace artwork {

// Pixels 0xAARRGGBB, top row first, with the colour premultiplied by alpha
// as cairo keeps it: an opaque pixel holds its plain colour.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> argb;
  uint32_t at(int x, int y) const { return argb[size_t(y) * width + x]; }
};

// The window background, bitmap 10000: 586 pixels wide and as tall as the
// tallest window (261): the VU panel in the top 169 rows, the strip area
// below.
constexpr int kBackgroundId = 10000;
constexpr int kBackgroundWidth = 586;
constexpr int kBackgroundHeight = 261;
constexpr int kMeterAreaHeight = 169;

// One bitmap of the plug-in: its resource identifier, the size of one frame
// at 1x, how many frames are stacked (frame n at y = n x height), and what
// it shows. `paint` draws all frames at the given scale.
struct Artwork {
  int id;
  int width;
  int height;
  int frames;
  const char* shows;
  bool (*paint)(Image& out, double scale);
};
// Every bitmap the generator makes, in identifier order.
const std::vector<Artwork>& allArtwork();
const Artwork* findArtwork(int id);

// Draws frame `frame` (of height `frameHeight`) of `over` onto `base` with
// its top left at (x, y), as the editor blends a bitmap over its
// background; for mock-ups and tests of how the pieces sit together.
void drawOver(Image& base, const Image& over, int frame, int frameHeight, int x, int y);

// PNG files. The writer stores `note` as the file's comment (a tEXt
// chunk), so a reader of the file learns where it came from.
bool writePNG(const Image& image, const std::string& path, const std::string& note);
bool readPNG(const std::string& path, Image& image);

}  // namespace artwork
}  // namespace orvane
