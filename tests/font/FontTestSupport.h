// Pictures for the font tests: draw a view offscreen, compare it with a
// committed reference (ORVANE_UPDATE_REFERENCES=1 writes the references
// instead), and find where ink landed.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/WindowTestSupport.h"
#include "toolkit/vstgui.h"

namespace font_test {

using namespace VSTGUI;

// Each channel within this many levels of the reference: room for rounding
// in anti-aliased glyph edges, far too little for a missing or moved word.
constexpr int kTolerance = 40;
// A few edge pixels may round across the tolerance on another rasteriser
// version; a word drawn in another face or place differs in hundreds.
constexpr int kAllowedMismatches = 12;

inline void expectMatchesReference(CBitmap* image, const std::string& name) {
  window_test::expectMatchesReference(image, name, {FONT_TEST_DATA, kTolerance, kAllowedMismatches});
}

using window_test::drawOffscreen;

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
