// Text that is not UTF-8 (a label from a damaged chunk, a host's odd name)
// must draw as replacement marks and leave the context and the font able
// to draw what comes after it.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <memory>
#include <string>

#include "toolkit/cairo/cairodrawcontext.h"
#include "toolkit/vstgui.h"

using namespace VSTGUI;

namespace {

const std::string kMark = "\xEF\xBF\xBD";

// Pixels with any ink in them.
int inkIn(COffscreenContext& c) {
  cairo_surface_t* s = cairoSurfaceOf(c.getBitmap());
  cairo_surface_flush(s);
  const unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  int ink = 0;
  for (int y = 0; y < cairo_image_surface_get_height(s); ++y)
    for (int x = 0; x < cairo_image_surface_get_width(s); ++x) ink += data[y * stride + x * 4 + 3] != 0;
  return ink;
}

void clear(COffscreenContext& c) {
  cairo_surface_t* s = cairoSurfaceOf(c.getBitmap());
  cairo_t* cr = cairo_create(s);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_mark_dirty(s);
}

}  // namespace

TEST(MalformedText, EveryMalformedByteBecomesOneReplacementMark) {
  const struct {
    const char* in;
    std::string out;
  } cases[] = {
      {"Master Track", "Master Track"},
      {"\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},                    // well formed
      {"\xF0\x9F\x8E\x9A", "\xF0\x9F\x8E\x9A"},                      // four bytes
      {"a\xFF" "b", "a" + kMark + "b"},                               // never a lead byte
      {"\xC3", kMark},                                                // cut short at the end
      {"\xE2\x82" "x", kMark + kMark + "x"},                          // cut short inside
      {"\xC0\xAF", kMark + kMark},                                    // overlong
      {"\xED\xA0\x80", kMark + kMark + kMark},                        // a surrogate
      {"\xF4\x90\x80\x80", kMark + kMark + kMark + kMark},            // beyond U+10FFFF
      {"\x80\xBF", kMark + kMark},                                    // lone continuations
  };
  for (const auto& c : cases) EXPECT_EQ(validUtf8(c.in), c.out) << c.in;
  EXPECT_EQ(validUtf8(nullptr), "");
}

TEST(MalformedText, DrawingItLeavesContextAndFontWorking) {
  std::unique_ptr<COffscreenContext> c(COffscreenContext::create(nullptr, 120, 30));
  ASSERT_TRUE(c);
  c->setFont(kNormalFont);
  c->setFontColor(kBlackCColor);
  const CRect box(0, 0, 120, 30);
  c->drawString("Level", box);
  if (inkIn(*c) == 0) GTEST_SKIP() << "no font on this machine draws text";
  clear(*c);
  c->drawString("Lev\xFF\xC3" "el", box);
  EXPECT_GT(inkIn(*c), 0);
  clear(*c);
  c->drawString("Level", box);
  EXPECT_GT(inkIn(*c), 0) << "the malformed text stopped all drawing after it";
}
#endif
