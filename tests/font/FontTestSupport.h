// Pictures for the font tests: draw a view offscreen, compare it with a
// committed reference (ORVANE_UPDATE_REFERENCES=1 writes the references
// instead), and find where ink landed.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "toolkit/vstgui.h"

namespace font_test {

using namespace VSTGUI;

// Each channel within this many levels of the reference: room for rounding
// in anti-aliased glyph edges, far too little for a missing or moved word.
constexpr int kTolerance = 40;
// A few edge pixels may round across the tolerance on another rasteriser
// version; a word drawn in another face or place differs in hundreds.
constexpr int kAllowedMismatches = 12;

inline std::string dataPath(const std::string& file) { return std::string(FONT_TEST_DATA) + "/" + file; }

inline bool updatingReferences() {
  const char* v = std::getenv("ORVANE_UPDATE_REFERENCES");
  return v && *v && std::string(v) != "0";
}

inline void expectMatchesReference(CBitmap* image, const std::string& name) {
  ASSERT_NE(image, nullptr);
  EXPECT_TRUE(image->writePNG(name.c_str())) << "cannot save " << name;
  std::string refPath = dataPath(name);
  if (updatingReferences()) {
    ASSERT_TRUE(image->writePNG(refPath.c_str()));
    return;
  }
  IPlatformBitmap* pb = IPlatformBitmap::createFromPath(refPath.c_str());
  ASSERT_NE(pb, nullptr) << "no reference image " << refPath
                         << " (run with ORVANE_UPDATE_REFERENCES=1 once, look at it, commit it)";
  CBitmap reference(pb);
  std::vector<uint8_t> a, b;
  ASSERT_TRUE(image->copyPixels(a) && reference.copyPixels(b));
  ASSERT_EQ(a.size(), b.size()) << name << " differs in size from its reference";
  int mismatches = 0, worst = 0;
  for (size_t i = 0; i < a.size(); i += 4) {
    int d = 0;
    for (int ch = 0; ch < 4; ++ch) d = std::max(d, std::abs(int(a[i + ch]) - int(b[i + ch])));
    worst = std::max(worst, d);
    mismatches += d > kTolerance;
  }
  EXPECT_LE(mismatches, kAllowedMismatches)
      << name << ": " << mismatches << " pixels beyond " << kTolerance << " levels (worst " << worst << ")";
}

inline CBitmap* drawOffscreen(CView* view, int w, int h) {
  COffscreenContext* ctx = COffscreenContext::create(nullptr, w, h);
  if (!ctx) return nullptr;
  ctx->beginDraw();
  view->draw(ctx);
  ctx->endDraw();
  CBitmap* b = ctx->getBitmap();
  b->remember();
  ctx->forget();
  return b;
}

// The columns and rows that hold ink: pixels differing from the top-left
// corner's colour by more than a quarter of the range in some channel.
struct InkBox {
  int left = -1, top = -1, right = -1, bottom = -1;  // right and bottom exclusive
  bool empty() const { return left < 0; }
};

inline InkBox inkOf(CBitmap* image) {
  InkBox box;
  std::vector<uint8_t> px;
  if (!image || !image->copyPixels(px)) return box;
  int w = static_cast<int>(image->getWidth()), h = static_cast<int>(image->getHeight());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = &px[(static_cast<size_t>(y) * w + x) * 4];
      int d = 0;
      for (int ch = 0; ch < 4; ++ch) d = std::max(d, std::abs(int(p[ch]) - int(px[ch])));
      if (d <= 64) continue;
      if (box.empty()) {
        box.left = box.right = x;
        box.top = box.bottom = y;
      }
      box.left = std::min(box.left, x);
      box.top = std::min(box.top, y);
      box.right = std::max(box.right, x + 1);
      box.bottom = std::max(box.bottom, y + 1);
    }
  return box;
}

}  // namespace font_test
