// Draws the plug-in's artwork with cairo, deterministically: the same
// program on the same libraries always gives the same pixels, so the
// committed PNGs can be checked against what the generator makes now.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvane {
namespace artwork {

// Opaque pixels, 0xAARRGGBB, top row first.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> argb;
};

// The window background, bitmap 10000: 586 pixels wide and as tall as the
// tallest window (261): the meter area in the top 169 rows, the strip area
// below.
constexpr int kBackgroundId = 10000;
constexpr int kBackgroundWidth = 586;
constexpr int kBackgroundHeight = 261;
constexpr int kMeterAreaHeight = 169;
bool paintBackground(Image& out);

// Every bitmap the generator makes, by resource identifier.
struct Artwork {
  int id;
  bool (*paint)(Image&);
};
const std::vector<Artwork>& allArtwork();

// PNG files. The writer stores `note` as the file's comment (a tEXt
// chunk), so a reader of the file learns where it came from.
bool writePNG(const Image& image, const std::string& path, const std::string& note);
bool readPNG(const std::string& path, Image& image);

}  // namespace artwork
}  // namespace orvane
