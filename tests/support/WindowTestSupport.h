// What the tests that draw share: a picture drawn offscreen or taken from a
// frame's window, compared pixel by pixel with a committed reference PNG
// (ORVANE_UPDATE_REFERENCES=1 writes the references instead); and under
// Windows the host's window of HostWindow.h.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/HostWindow.h"
#include "toolkit/vstgui.h"

namespace window_test {

using namespace VSTGUI;

inline bool updatingReferences() {
  const char* v = std::getenv("ORVANE_UPDATE_REFERENCES");
  return v && *v && std::string(v) != "0";
}

// How far one picture is from another: the pixels where some channel lies
// more than `tolerance` levels (of 255) off, and the largest difference.
struct Comparison {
  bool sameSize = false;
  int mismatches = 0;
  int worst = 0;
};

inline Comparison compare(CBitmap* image, CBitmap* reference, int tolerance) {
  Comparison result;
  std::vector<uint8_t> a, b;
  if (!image || !reference || image->getWidth() != reference->getWidth() ||
      image->getHeight() != reference->getHeight() || !image->copyPixels(a) || !reference->copyPixels(b))
    return result;
  result.sameSize = true;
  for (size_t i = 0; i < a.size(); i += 4) {
    int d = 0;
    for (int ch = 0; ch < 4; ++ch) d = std::max(d, std::abs(int(a[i + ch]) - int(b[i + ch])));
    result.worst = std::max(result.worst, d);
    result.mismatches += d > tolerance;
  }
  return result;
}

// Where a test's references lie and how close a picture must come to one.
struct References {
  std::string folder;
  int tolerance;
  int allowedMismatches = 0;
};

// Saves the picture beside the program (to look at) and checks it against
// the reference of that name in the folder.
inline void expectMatchesReference(CBitmap* image, const std::string& name, const References& refs) {
  ASSERT_NE(image, nullptr);
  EXPECT_TRUE(image->writePNG(name.c_str())) << "cannot save " << name;
  std::string refPath = refs.folder + "/" + name;
  if (updatingReferences()) {
    ASSERT_TRUE(image->writePNG(refPath.c_str()));
    return;
  }
  IPlatformBitmap* pb = IPlatformBitmap::createFromPath(refPath.c_str());
  ASSERT_NE(pb, nullptr) << "no reference image " << refPath
                         << " (run with ORVANE_UPDATE_REFERENCES=1 once, look at it, commit it)";
  CBitmap reference(pb);
  Comparison c = compare(image, &reference, refs.tolerance);
  ASSERT_TRUE(c.sameSize) << name << " differs in size from its reference";
  EXPECT_LE(c.mismatches, refs.allowedMismatches) << name << ": " << c.mismatches << " pixels beyond " << refs.tolerance
                                                  << " levels of the reference (worst " << c.worst << ")";
}

// A clear w × h picture with what `paint` draws on it (the caller forgets
// it; null when no offscreen context can be had).
template <class Paint>
CBitmap* paintOffscreen(CCoord w, CCoord h, Paint paint) {
  COffscreenContext* ctx = COffscreenContext::create(nullptr, w, h);
  if (!ctx) return nullptr;
  ctx->beginDraw();
  paint(ctx);
  ctx->endDraw();
  CBitmap* b = ctx->getBitmap();
  b->remember();
  ctx->forget();
  return b;
}

// The view drawn alone on a clear w × h picture.
inline CBitmap* drawOffscreen(CView* view, int w, int h) {
  return paintOffscreen(w, h, [view](CDrawContext* c) { view->draw(c); });
}

// A film strip of `frames` frames of w × h, frame n filled with grey
// 10 + 20 n, so that the frame a control drew can be read back.
inline CBitmap* makeGreyStrip(int frames, CCoord w, CCoord h) {
  return paintOffscreen(w, h * frames, [&](CDrawContext* c) {
    for (int n = 0; n < frames; ++n) {
      uint8_t g = static_cast<uint8_t>(10 + 20 * n);
      c->setFillColor(CColor(g, g, g, 255));
      c->drawRect(CRect(0, h * n, w, h * (n + 1)), kDrawFilled);
    }
  });
}

// What the frame shows now, saved beside the program as name (the caller
// forgets it; null when the frame cannot be read).
inline CBitmap* windowShot(CFrame* frame, const char* name) {
  if (!frame->getPlatformFrame()->saveToPNG(name)) return nullptr;
  IPlatformBitmap* pb = IPlatformBitmap::createFromPath(name);
  return pb ? new CBitmap(pb) : nullptr;
}

}  // namespace window_test
