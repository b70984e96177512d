// The committed artwork is what the generator draws now: a change to the
// generator without a fresh run of orvane-artwork shows up here.
#include <gtest/gtest.h>

#include "resources/ArtworkPainter.h"

using namespace orvane::artwork;

TEST(Artwork, CommittedBitmapsAreWhatTheGeneratorDrawsNow) {
  for (const Artwork& art : allArtwork()) {
    Image drawn, committed;
    ASSERT_TRUE(art.paint(drawn)) << art.id;
    ASSERT_TRUE(readPNG(std::string(ORVANE_ARTWORK_DIR) + "/" + std::to_string(art.id) + ".png", committed))
        << art.id << ": run orvane-artwork --out resources";
    if (art.id == kBackgroundId) {
      EXPECT_EQ(drawn.width, 586);
      EXPECT_EQ(drawn.height, 261);
    }
    ASSERT_EQ(committed.width, drawn.width) << art.id;
    ASSERT_EQ(committed.height, drawn.height) << art.id;
    size_t differing = 0;
    for (size_t i = 0; i < drawn.argb.size(); ++i) differing += committed.argb[i] != drawn.argb[i];
    EXPECT_EQ(differing, 0u) << art.id << ": run orvane-artwork --out resources";
  }
}

TEST(Artwork, PngFilesRoundTripAndCarryTheirOrigin) {
  Image img;
  img.width = 3;
  img.height = 2;
  img.argb = {0xFF102030u, 0xFFFFFFFFu, 0xFF000000u, 0xFF808080u, 0xFFC0FFEEu, 0xFF0A0B0Cu};
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
