// The committed artwork is what the generator draws now (a change to the
// generator without a fresh run of orvane-artwork shows up here), every
// bitmap has the frames the editor cuts it into, and every printed tick
// lies where the meter view's needle points for that value.
#include <gtest/gtest.h>

#include <cmath>

#include "display/NeedleAngles.h"
#include "resources/ArtFamilies.h"
#include "resources/ArtworkPainter.h"

using namespace orvane;
using namespace orvane::artwork;

namespace {

Image drawn(int id, double scale = 1.0) {
  Image image;
  const Artwork* art = findArtwork(id);
  if (art) art->paint(image, scale);
  return image;
}

double luminance(uint32_t p) { return 0.299 * ((p >> 16) & 255) + 0.587 * ((p >> 8) & 255) + 0.114 * (p & 255); }

// Bilinear luminance at a point in pixel coordinates (pixel centres at +0.5).
double sample(const Image& img, double x, double y) {
  x -= 0.5, y -= 0.5;
  const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
  const double fx = x - x0, fy = y - y0;
  auto at = [&](int px, int py) {
    px = px < 0 ? 0 : (px >= img.width ? img.width - 1 : px);
    py = py < 0 ? 0 : (py >= img.height ? img.height - 1 : py);
    return luminance(img.at(px, py));
  };
  return (at(x0, y0) * (1 - fx) + at(x0 + 1, y0) * fx) * (1 - fy) +
         (at(x0, y0 + 1) * (1 - fx) + at(x0 + 1, y0 + 1) * fx) * fy;
}

// Mean luminance along a ray between two radii.
double ray(const Image& img, double px, double py, double degrees, double r0, double r1) {
  double sum = 0;
  int n = 0;
  for (double r = r0; r <= r1; r += 0.25, ++n) {
    const NeedlePoint p = needlePoint(px, py, degrees, r);
    sum += sample(img, p.x, p.y);
  }
  return sum / n;
}

}  // namespace

TEST(Artwork, CommittedBitmapsAreWhatTheGeneratorDrawsNow) {
  // The 1x set and the 2x set the editor draws with above 100 %.
  const struct {
    double scale;
    const char* folder;
  } sets[] = {{1.0, ""}, {2.0, "/2x"}};
  for (const auto& set : sets) {
    const std::string dir = std::string(ORVANE_ARTWORK_DIR) + set.folder;
    const std::string fix = std::string(": run orvane-artwork --out ") + "resources" + set.folder + " --scale " +
                            std::to_string(int(set.scale));
    for (const Artwork& art : allArtwork()) {
      Image image, committed;
      ASSERT_TRUE(art.paint(image, set.scale)) << art.id;
      ASSERT_TRUE(readPNG(dir + "/" + std::to_string(art.id) + ".png", committed)) << art.id << fix;
      ASSERT_EQ(committed.width, image.width) << art.id << fix;
      ASSERT_EQ(committed.height, image.height) << art.id << fix;
      size_t differing = 0;
      for (size_t i = 0; i < image.argb.size(); ++i) differing += committed.argb[i] != image.argb[i];
      EXPECT_EQ(differing, 0u) << art.id << fix;
    }
  }
}

TEST(Artwork, EveryBitmapHasItsFramesStackedAndDrawsAtTwiceTheSize) {
  // The bitmaps the meter panels, their back panels and the main window's
  // controls load.
  const int needed[] = {989, 10000, 10001, 10002, 10003, 10005, 10006, 10010, 10013, 10014, 10015, 10016, 10025, 40000,
                        40001, 40002, 40003, 40007, 40008, 40011, 40012, 41000, 41001, 41003, 41005, 41006, 41007,
                        41008, 41011, 41012, 42000, 42001, 42003, 42005, 42006, 42007, 42011, 42012,
                        // the strips
                        10008, 10020, 10021, 10024, 10100, 10102, 10103, 31000, 31001, 31100, 31200, 34000, 34001,
                        34100, 34200, 40100, 41100, 42100};
  for (int id : needed) EXPECT_NE(findArtwork(id), nullptr) << id;
  int last = 0;
  for (const Artwork& art : allArtwork()) {
    EXPECT_GT(art.id, last) << "identifiers listed once, in order";
    last = art.id;
    const Image one = drawn(art.id), two = drawn(art.id, 2.0);
    EXPECT_EQ(one.width, art.width) << art.id;
    EXPECT_EQ(one.height, art.height * art.frames) << art.id;
    EXPECT_EQ(two.width, 2 * art.width) << art.id;
    EXPECT_EQ(two.height, 2 * art.height * art.frames) << art.id;
  }
  const Artwork* vu = findArtwork(40007);
  ASSERT_NE(vu, nullptr);
  EXPECT_EQ(vu->width, 250);
  EXPECT_EQ(vu->height, 122);
  EXPECT_EQ(vu->frames, 5);
  const Artwork* led = findArtwork(40008);
  ASSERT_NE(led, nullptr);
  EXPECT_EQ(led->width * 100 + led->height * 10 + led->frames, 20 * 100 + 20 * 10 + 3);
}

TEST(Artwork, PanelsAreOpaqueAndOverlaysLetThePanelShowThrough) {
  for (int id : {10000, 41001, 42001, 40007}) {
    const Image img = drawn(id);
    size_t clear = 0;
    for (uint32_t p : img.argb) clear += (p >> 24) != 0xFF;
    EXPECT_EQ(clear, 0u) << id;
  }
  // The LED's corners, the meter selector's window and the fader cap's
  // corners are transparent; their middles are not.
  const Image led = drawn(40008), selector = drawn(10015), handle = drawn(10001);
  for (int frame = 0; frame < 3; ++frame) {
    EXPECT_EQ(led.at(0, frame * 20) >> 24, 0u) << frame;
    EXPECT_EQ(led.at(10, frame * 20 + 10) >> 24, 0xFFu) << frame;
    EXPECT_EQ(selector.at(75, frame * 20 + 10) >> 24, 0u) << frame;
    EXPECT_EQ(selector.at(10, frame * 20 + 10) >> 24, 0xFFu) << frame;
  }
  EXPECT_LT(handle.at(21, 13) >> 24, 0x80u);
  EXPECT_EQ(handle.at(11, 6) >> 24, 0xFFu);
  // The lit LED is brighter than the latched one, the latched than off.
  EXPECT_GT(luminance(led.at(10, 50)), luminance(led.at(10, 30)));
  EXPECT_GT(luminance(led.at(10, 30)), luminance(led.at(10, 10)));
}

// Along the needle's ray for a marked value, between the tick's radii, the
// print is strongest at the needle's own angle: the tick is where the
// needle points, to a third of a degree.
TEST(Artwork, PrintedTicksLieWhereTheNeedlesPointForTheirValues) {
  struct Mark {
    const char* what;
    int id;
    int frame, frameHeight;
    double originX, originY;  // the view's origin in the bitmap
    double pivotX, pivotY;    // from the view's origin
    double r0, r1;            // the band of the ticks, clear of the numerals
    bool darkInk;             // dark print on ivory, or light print on black
    double (*angle)(double);
    double value;
  };
  const double dB8 = std::pow(10.0, 8 / 20.0);
  std::vector<Mark> marks;
  for (double v : {1.0, std::pow(10.0, -10 / 20.0), std::pow(10.0, 3 / 20.0)}) {
    for (int level : {0, 2, 4})
      marks.push_back({"VU face", 40007, level, 122, 0, 0, 128, 155, 113.5, 119.5, true, &vuNeedleAngle, v});
    for (double x0 : {12.0, 277.0})
      marks.push_back({"VU panel", 10000, 0, 261, x0, 18, 128, 155, 113.5, 119.5, true, &vuNeedleAngle, v});
  }
  for (double x0 : {12.0, 277.0}) {
    for (double v : {1.0, dB8, 1 / dB8})
      marks.push_back({"PPM panel", 42001, 0, 169, x0, 18, 126, 149.8, 106.5, 115, false, &ppmNeedleAngle, v});
    for (double v : {1.0, 0.1, 0.01})
      marks.push_back({"RMS panel", 41001, 0, 169, x0, 18, 126, 149.8, 102, 111, false, &rmsNeedleAngle, v});
  }
  for (const Mark& m : marks) {
    const Image img = drawn(m.id);
    ASSERT_GT(img.width, 0) << m.id;
    const double px = m.originX + m.pivotX, py = m.frame * m.frameHeight + m.originY + m.pivotY;
    const double expected = m.angle(m.value);
    double best = 0, bestInk = -1e9;
    for (double d = -1.5; d <= 1.5; d += 0.05) {
      const double l = ray(img, px, py, expected + d, m.r0, m.r1);
      const double ink = m.darkInk ? -l : l;
      if (ink > bestInk) bestInk = ink, best = d;
    }
    const double beside =
        m.darkInk ? -ray(img, px, py, expected + 1.4, m.r0, m.r1) : ray(img, px, py, expected + 1.4, m.r0, m.r1);
    EXPECT_NEAR(best, 0.0, 0.34) << m.what << " frame " << m.frame << " at x " << m.originX << ", value " << m.value;
    EXPECT_GT(bestInk - beside, 25.0) << m.what << " frame " << m.frame << ": no tick at value " << m.value;
  }
}

// The back panels' knob points where its frame says, and the marks printed
// round a stepped knob sit under the pointer of the frame drawn for each
// position.
TEST(Artwork, KnobPointersAndTheirPrintedMarksAgree) {
  const Image knob = drawn(10003);
  ASSERT_EQ(knob.height, 41 * kKnobFrames);
  auto along = [](const Image& img, double cx, double cy, double degrees, double r0, double r1) {
    double sum = 0;
    int n = 0;
    const double a = degrees * 3.14159265358979323846 / 180;
    for (double r = r0; r <= r1; r += 0.25, ++n) sum += sample(img, cx + r * std::cos(a), cy - r * std::sin(a));
    return sum / n;
  };
  for (int frame : {0, 10, 25, 40, 50}) {
    const double a = knobAngle(frame / 50.0), cy = frame * 41 + 20.5;
    const double on = along(knob, 21.5, cy, a, 6, 13);
    EXPECT_GT(on - along(knob, 21.5, cy, a + 25, 6, 13), 60) << "frame " << frame;
    EXPECT_GT(on - along(knob, 21.5, cy, a - 25, 6, 13), 60) << "frame " << frame;
  }
  // The VU panel's LED reference knob at (434, 35): four positions drawn at
  // 10, 38, 62 and 90 per cent of the travel.
  const Image back = drawn(40000);
  for (double f : {0.1, 0.38, 0.62, 0.9}) {
    const double a = knobAngle(std::lround(f * 50) / 50.0);
    const double on = along(back, 455.5, 55.5, a, 19, 22);
    EXPECT_GT(on - along(back, 455.5, 55.5, a + 6, 19, 22), 40) << f;
    EXPECT_GT(on - along(back, 455.5, 55.5, a - 6, 19, 22), 40) << f;
  }
}

// The filters strips' frequency marks sit under the slider handle's centre
// at the value of that frequency (the handle's left edge travels 144 pixels
// from the track's left end; the handle is 19 wide).
TEST(Artwork, FilterScaleMarksSitUnderTheHandleForTheirFrequency) {
  struct Mark {
    double trackLeft, base, frequency;
  };
  const Mark marks[] = {{58, 20, 20},    {58, 20, 200},    {58, 20, 2000},
                        {323, 300, 300}, {323, 300, 3000}, {323, 300, 30000}};
  for (int id : {31000, 31100, 31200}) {
    const Image strip = drawn(id);
    ASSERT_EQ(strip.height, 53) << id;
    for (const Mark& m : marks) {
      const double v = std::log(m.frequency / m.base) / std::log(100.0);
      const int x = int(std::floor(m.trackLeft + 9.5 + 144 * v));
      const double on = luminance(strip.at(x, 44));
      EXPECT_GT(on - luminance(strip.at(x - 3, 44)), 50) << id << " at " << m.frequency << " Hz";
      EXPECT_GT(on - luminance(strip.at(x + 3, 44)), 50) << id << " at " << m.frequency << " Hz";
    }
  }
}

TEST(Artwork, PngFilesRoundTripWithAlphaAndCarryTheirOrigin) {
  Image img;
  img.width = 3;
  img.height = 2;
  // Premultiplied: no channel above its alpha.
  img.argb = {0xFF102030u, 0xFFFFFFFFu, 0x00000000u, 0x80402010u, 0x40404040u, 0x01000100u};
  const std::string path = testing::TempDir() + "/orvane-artwork-roundtrip.png";
  ASSERT_TRUE(writePNG(img, path, "made by a test"));
  Image back;
  ASSERT_TRUE(readPNG(path, back));
  EXPECT_EQ(back.width, 3);
  EXPECT_EQ(back.height, 2);
  EXPECT_EQ(back.argb, img.argb);
  FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  std::string bytes;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  std::fclose(f);
  EXPECT_NE(bytes.find(std::string("tEXtComment\0made by a test", 26)), std::string::npos);
  EXPECT_FALSE(writePNG(Image(), path, ""));
  EXPECT_FALSE(readPNG(path + ".missing", back));
}
