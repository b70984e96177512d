// The list of every bitmap, and PNG files in and out. The bitmaps
// themselves are drawn by the families (ArtFaces.cpp, ArtPanels.cpp,
// ArtButtons.cpp, ArtKnobs.cpp, ArtLeds.cpp, ArtBackPanels.cpp, ArtStrips.cpp).
#include "resources/ArtworkPainter.h"

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "resources/ArtFamilies.h"

namespace orvane {
namespace artwork {

namespace {

uint32_t crc32(const unsigned char* p, size_t n, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void put32(std::vector<unsigned char>& v, uint32_t x) {
  for (int shift = 24; shift >= 0; shift -= 8) v.push_back((unsigned char)(x >> shift));
}

cairo_status_t collect(void* closure, const unsigned char* data, unsigned int length) {
  auto* v = static_cast<std::vector<unsigned char>*>(closure);
  v->insert(v->end(), data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

// cairo reads PNG files into premultiplied pixels, as the painters draw.
bool fromSurface(cairo_surface_t* s, Image& out) {
  cairo_surface_flush(s);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) return false;
  out.width = cairo_image_surface_get_width(s);
  out.height = cairo_image_surface_get_height(s);
  const int stride = cairo_image_surface_get_stride(s);
  const unsigned char* data = cairo_image_surface_get_data(s);
  if (!data) return false;
  out.argb.resize(size_t(out.width) * out.height);
  for (int y = 0; y < out.height; ++y)
    std::memcpy(&out.argb[size_t(y) * out.width], data + y * stride, size_t(out.width) * 4);
  if (cairo_image_surface_get_format(s) == CAIRO_FORMAT_RGB24)
    for (uint32_t& p : out.argb) p |= 0xFF000000u;
  return true;
}

}  // namespace

const std::vector<Artwork>& allArtwork() {
  static const std::vector<Artwork> all = [] {
    std::vector<Artwork> list;
    addFaceArtwork(list);
    addPanelArtwork(list);
    addButtonArtwork(list);
    addKnobArtwork(list);
    addLedArtwork(list);
    addBackPanelArtwork(list);
    addStripArtwork(list);
    std::sort(list.begin(), list.end(), [](const Artwork& a, const Artwork& b) { return a.id < b.id; });
    return list;
  }();
  return all;
}

const Artwork* findArtwork(int id) {
  for (const Artwork& a : allArtwork())
    if (a.id == id) return &a;
  return nullptr;
}

void drawOver(Image& base, const Image& over, int frame, int frameHeight, int x, int y) {
  for (int row = 0; row < frameHeight; ++row) {
    const int sy = frame * frameHeight + row, dy = y + row;
    if (sy < 0 || sy >= over.height || dy < 0 || dy >= base.height) continue;
    for (int col = 0; col < over.width; ++col) {
      const int dx = x + col;
      if (dx < 0 || dx >= base.width) continue;
      const uint32_t s = over.at(col, sy);
      uint32_t& d = base.argb[size_t(dy) * base.width + dx];
      const uint32_t keep = 255 - (s >> 24);
      uint32_t result = 0;
      // Premultiplied "over": source plus what the source lets through.
      for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t v = ((s >> shift) & 255) + (((d >> shift) & 255) * keep + 127) / 255;
        result |= (v > 255 ? 255 : v) << shift;
      }
      d = result;
    }
  }
}

bool writePNG(const Image& image, const std::string& path, const std::string& note) {
  if (image.width <= 0 || image.height <= 0 || image.argb.size() != size_t(image.width) * image.height) return false;
  // Only bitmaps that need transparency become RGBA files.
  const bool opaque = std::all_of(image.argb.begin(), image.argb.end(), [](uint32_t p) { return (p >> 24) == 0xFFu; });
  cairo_surface_t* s =
      cairo_image_surface_create(opaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32, image.width, image.height);
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  if (!data) {
    cairo_surface_destroy(s);
    return false;
  }
  for (int y = 0; y < image.height; ++y)
    std::memcpy(data + y * stride, &image.argb[size_t(y) * image.width], size_t(image.width) * 4);
  cairo_surface_mark_dirty(s);
  std::vector<unsigned char> png;
  const bool encoded = cairo_surface_write_to_png_stream(s, collect, &png) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(s);
  // Signature (8) and the header chunk (25) come first; the comment goes
  // straight after them.
  if (!encoded || png.size() < 33) return false;
  std::vector<unsigned char> text;
  const std::string keyword = "Comment";
  std::vector<unsigned char> body(keyword.begin(), keyword.end());
  body.push_back(0);
  body.insert(body.end(), note.begin(), note.end());
  put32(text, (uint32_t)body.size());
  const size_t typeAt = text.size();
  text.insert(text.end(), {'t', 'E', 'X', 't'});
  text.insert(text.end(), body.begin(), body.end());
  put32(text, crc32(text.data() + typeAt, text.size() - typeAt));
  png.insert(png.begin() + 33, text.begin(), text.end());

  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(png.data(), 1, png.size(), f) == png.size();
  return std::fclose(f) == 0 && written;
}

bool readPNG(const std::string& path, Image& image) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  bool ok = cairo_surface_status(s) == CAIRO_STATUS_SUCCESS && fromSurface(s, image);
  cairo_surface_destroy(s);
  return ok;
}

}  // namespace artwork
}  // namespace orvane
