// What a view's own settings do to the tree around it: its stacking layer,
// the hover that ends when it leaves, its opacity, and the part of a
// background bitmap a text display shows.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/toolkit/ToolkitTestSupport.h"

using namespace VSTGUI;
using namespace toolkit_test;

namespace {

// The frame's children from bottom to top, by name.
std::string order(CViewContainer* c, const std::vector<std::pair<CView*, std::string>>& names) {
  std::string s;
  for (int32_t i = 0; i < c->getNbViews(); ++i)
    for (auto& n : names)
      if (n.first == c->getView(i)) s += n.second;
  return s;
}

// Premultiplied BGRA of the pixel at (x, y) after drawing the view.
std::vector<int> drawnPixel(CView* view, int w, int h, int x, int y) {
  COffscreenContext* ctx = COffscreenContext::create(nullptr, w, h);
  if (!ctx) return {};
  ctx->beginDraw();
  view->draw(ctx);
  ctx->endDraw();
  std::vector<uint8_t> px;
  ctx->getBitmap()->copyPixels(px);
  ctx->forget();
  size_t i = (static_cast<size_t>(y) * w + x) * 4;
  return {px[i], px[i + 1], px[i + 2], px[i + 3]};
}

}  // namespace

TEST(CViewContainer, AViewOnAHigherLayerStaysOnTopWhileOthersAreAddedAgain) {
  StubEditor editor;
  std::vector<std::string> log;
  CFrame* frame = new CFrame(CRect(0, 0, 100, 100), nullptr, &editor);
  auto* a = new ProbeView(CRect(0, 0, 100, 100), &log, "A");
  auto* b = new ProbeView(CRect(0, 0, 100, 100), &log, "B");
  auto* panel = new ProbeView(CRect(0, 0, 100, 100), &log, "P");
  auto* c = new ProbeView(CRect(0, 0, 100, 100), &log, "C");
  std::vector<std::pair<CView*, std::string>> names = {{a, "A"}, {b, "B"}, {panel, "P"}, {c, "C"}};
  panel->setZLayer(1);
  frame->addView(panel);
  frame->addView(a);
  frame->addView(b);
  EXPECT_EQ(order(frame, names), "ABP");
  frame->removeView(a, false);  // a relayout takes a strip out and puts it back
  frame->addView(a);
  EXPECT_EQ(order(frame, names), "BAP");
  frame->addView(c, b);
  EXPECT_EQ(order(frame, names), "CBAP") << "below a view of its own layer";
  frame->removeView(c, false);
  frame->addView(c, panel);
  EXPECT_EQ(order(frame, names), "BACP") << "a view of another layer is no place to go";
  CPoint p(50, 50);
  frame->onMouseDown(p, kLButton);
  EXPECT_EQ(log.back(), "P down 50,50") << "the overlay takes the click";
  panel->setZLayer(-1);
  EXPECT_EQ(order(frame, names), "PBAC");
  frame->close();
}

TEST(CViewContainer, RemovingTheViewUnderTheMouseOrItsContainerEndsTheHover) {
  for (bool removeContainer : {false, true}) {
    StubEditor editor;
    std::vector<std::string> log;
    CFrame* frame = new CFrame(CRect(0, 0, 100, 100), nullptr, &editor);
    auto* box = new CViewContainer(CRect(10, 10, 90, 90));
    auto* v = new ProbeView(CRect(0, 0, 40, 40), &log, "V");
    box->addView(v);
    frame->addView(box);
    CPoint p(20, 20);
    frame->onMouseMoved(p, 0);
    ASSERT_EQ(log.front(), "V entered 10,10");
    log.clear();
    if (removeContainer)
      frame->removeView(box);
    else
      box->removeView(v);
    ASSERT_EQ(log.size(), 1u) << (removeContainer ? "container" : "view");
    EXPECT_EQ(log[0].rfind("V exited", 0), 0u) << log[0];
    EXPECT_EQ(removeContainer ? frame->getMouseOverView() : box->getMouseOverView(), nullptr);
    frame->close();
  }
}

TEST(CView, AlphaValueMultipliesThroughNestedContainers) {
  struct Case {
    float outer, inner;
    int alpha;  // of an opaque red fill, 0 … 255
  };
  const Case cases[] = {{1, 1, 255}, {1, 0.5f, 128}, {0.5f, 0.5f, 64}, {1, 0, 0}, {1, NAN, 255}, {2, 1, 255}};
  for (const Case& c : cases) {
    auto* root = new CViewContainer(CRect(0, 0, 10, 10));
    auto* mid = new CViewContainer(CRect(0, 0, 10, 10));
    auto* fill = new CParamDisplay(CRect(0, 0, 10, 10), nullptr, kNoFrame | kNoTextStyle);
    fill->setBackColor(kRedCColor);
    mid->addView(fill);
    root->addView(mid);
    mid->setAlphaValue(c.outer);
    fill->setAlphaValue(c.inner);
    std::vector<int> px = drawnPixel(root, 10, 10, 5, 5);
    root->forget();
    ASSERT_EQ(px.size(), 4u);
    EXPECT_NEAR(px[3], c.alpha, 2) << c.outer << " x " << c.inner;
    EXPECT_NEAR(px[2], c.alpha, 2) << "red, premultiplied";
  }
}

TEST(CParamDisplay, DrawsTheBackgroundUnderItsPositionGivenAsBackOffset) {
  // A 100 × 20 strip background: red on the left half, blue on the right.
  COffscreenContext* ctx = COffscreenContext::create(nullptr, 100, 20);
  ASSERT_NE(ctx, nullptr);
  ctx->beginDraw();
  ctx->setFillColor(kRedCColor);
  ctx->drawRect(CRect(0, 0, 50, 20), kDrawFilled);
  ctx->setFillColor(kBlueCColor);
  ctx->drawRect(CRect(50, 0, 100, 20), kDrawFilled);
  ctx->endDraw();
  CBitmap* strip = ctx->getBitmap();
  auto* text = new CParamDisplay(CRect(0, 0, 20, 20), strip, kNoTextStyle);
  EXPECT_EQ(drawnPixel(text, 20, 20, 10, 10), (std::vector<int>{0, 0, 255, 255}));
  text->setBackOffset(CPoint(60, 0));  // the handle moved it to x = 60
  EXPECT_TRUE(text->isDirty());
  EXPECT_EQ(drawnPixel(text, 20, 20, 10, 10), (std::vector<int>{255, 0, 0, 255}));
  text->forget();
  ctx->forget();
}
