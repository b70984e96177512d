// The tape label's embedded font as the toolkit draws it: through DirectWrite
// and GDI from the program's own font resource under Windows, through cairo
// and FreeType from the same file natively.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "controls/CZELCustomFont.h"
#include "tests/font/FontTestSupport.h"
#ifdef _WIN32
#include <windows.h>
#endif

using namespace VSTGUI;
using namespace font_test;

namespace {

#ifdef _WIN32
const char* kBackend = "d2d";
#else
const char* kBackend = "cairo";
#endif

// The font's design: 2048 units per em, Windows ascent 1836, descent 724,
// no line gap, cap height 1253 (resources/font/make-font.py records it).
constexpr double kUnitsPerEm = 2048, kAscent = 1836, kDescent = 724, kCapHeight = 1253;

class EmbeddedFont : public ::testing::Test {
 protected:
  void SetUp() override { setResourceFolder(FONT_TEST_RESOURCES); }
};

// A piece of tape with the label written on it, as the label strip shows
// it: centred, in the font's own size.
class TapeView : public CView {
 public:
  TapeView(const CRect& r, CFontRef font, const char* text, CHoriTxtAlign align = kCenterText)
      : CView(r), font(font), text(text), align(align) {}
  void draw(CDrawContext* c) override {
    c->setFillColor(CColor(236, 226, 196));
    c->drawRect(size, kDrawFilled);
    c->setFont(font);
    c->setFontColor(CColor(20, 30, 90));
    c->drawString(text, size, align);
    setDirty(false);
  }
  CFontRef font;
  const char* text;
  CHoriTxtAlign align;
};

// Text whose baseline starts at a point, on a clear picture.
class BaselineView : public CView {
 public:
  BaselineView(const CRect& r, CFontRef font, const char* text, CPoint at) : CView(r), font(font), text(text), at(at) {}
  void draw(CDrawContext* c) override {
    c->setFont(font);
    c->setFontColor(kBlackCColor);
    c->drawString(text, at);
    setDirty(false);
  }
  CFontRef font;
  const char* text;
  CPoint at;
};

ZELFontSource missingSource() {
  ZELFontSource s;
#ifdef _WIN32
  s.module = GetModuleHandleW(L"kernel32.dll");  // a module without font 111
#else
  s.file = "no-such-folder/ZELOrvane.ttf";
#endif
  return s;
}

}  // namespace

TEST_F(EmbeddedFont, FaceNameStyleAndWeightComeFromTheIdentifierAndStyle) {
  struct Case {
    const char* identifier;
    int32_t style;
    const wchar_t* face;
    int32_t weight;
    bool italic;
  } cases[] = {
      {"ZELOrvane.psf", 0, L"ZELOrvane", 400, false},
      {"ZELOrvane.psf", kBoldFace, L"ZELOrvane", 700, false},
      {"ZELOrvane.psf", kItalicFace | kUnderlineFace, L"ZELOrvane", 400, true},
      {".psf", 0, L"", 400, false},
      {"ab", 0, L"", 400, false},
      {nullptr, 0, L"", 400, false},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.psf", 0, L"ABCDEFGHIJKLMNOPQRSTUVWXYZ01234", 400, false},
  };
  for (const Case& c : cases) {
    auto* font = new ZELCoreTextFont(c.identifier, 38, c.style);
    EXPECT_EQ(font->getFaceName(), c.face) << (c.identifier ? c.identifier : "(null)");
    EXPECT_EQ(font->getWeight(), c.weight);
    EXPECT_EQ(font->isItalic(), c.italic);
    font->forget();
  }
}

TEST_F(EmbeddedFont, StartsWithTheDesignedMetricsThenTakesTheFontsOwnScaledToTheSize) {
  for (double size : {38.0, 11.0, 24.5}) {
    SCOPED_TRACE(size);
    auto* font = new CZELCustomFont(size);
    ZELCoreTextFont* core = font->getCoreTextFont();
    ASSERT_NE(core, nullptr);
    EXPECT_TRUE(core->isLoaded());
    EXPECT_DOUBLE_EQ(core->getAscent(), 34.96);
    EXPECT_DOUBLE_EQ(core->getDescent(), 8.74);
    EXPECT_DOUBLE_EQ(core->getLeading(), 0);
    EXPECT_DOUBLE_EQ(core->getCapHeight(), 25.12);
    EXPECT_GT(core->getStringWidth(nullptr, "Master Track"), 0);
    double k = size / kUnitsPerEm;
    EXPECT_NEAR(core->getAscent(), kAscent * k, 0.01);
    EXPECT_NEAR(core->getDescent(), kDescent * k, 0.01);
    EXPECT_NEAR(core->getLeading(), 0, 0.01);
    EXPECT_NEAR(core->getCapHeight(), kCapHeight * k, 0.01);
    font->forget();
  }
}

TEST_F(EmbeddedFont, TheLabelIsDrawnInItsOwnHandLikeTheReference) {
  auto* font = new CZELCustomFont();
  auto* view = new TapeView(CRect(0, 0, 260, 56), font, "Master Track");
  CBitmap* image = drawOffscreen(view, 260, 56);
  view->forget();
  font->forget();
  expectMatchesReference(image, std::string("label-") + kBackend + ".png");
  if (image) image->forget();
}

TEST_F(EmbeddedFont, TheMeasuredWidthIsTheWidthTheTextIsDrawnWith) {
  auto* font = new CZELCustomFont();
  for (const char* text : {"Master Track", "Bass DI", "Vox 2"}) {
    SCOPED_TRACE(text);
    CCoord width = font->getCoreTextFont()->getStringWidth(nullptr, text);
    ASSERT_GT(width, 20);
    auto* view = new BaselineView(CRect(0, 0, 300, 60), font, text, CPoint(10, 45));
    CBitmap* image = drawOffscreen(view, 300, 60);
    view->forget();
    InkBox ink = inkOf(image);
    ASSERT_FALSE(ink.empty());
    // A hand-drawn stroke may reach a little past its advance either side.
    EXPECT_NEAR(ink.left, 10, 5);
    EXPECT_NEAR(ink.right, 10 + width, 6);
    // The point is the baseline: capitals stand on it, descenders hang
    // below it by no more than the descent.
    EXPECT_NEAR(ink.top, 45 - font->getCoreTextFont()->getCapHeight(), 6);
    EXPECT_LE(ink.bottom, 45 + font->getCoreTextFont()->getDescent() + 1);
    image->forget();
  }
  font->forget();
}

TEST_F(EmbeddedFont, RightAlignedAndCentredTextEndsWhereTheWidthSays) {
  auto* font = new CZELCustomFont(24);
  for (CHoriTxtAlign align : {kRightText, kCenterText, kLeftText}) {
    SCOPED_TRACE(align);
    auto* view = new TapeView(CRect(0, 0, 240, 40), font, "Drums", align);
    CBitmap* image = drawOffscreen(view, 240, 40);
    view->forget();
    InkBox ink = inkOf(image);
    ASSERT_FALSE(ink.empty());
    double width = font->getCoreTextFont()->getStringWidth(nullptr, "Drums");
    double expectLeft = align == kLeftText ? 0 : align == kRightText ? 240 - width : 120 - width / 2;
    EXPECT_NEAR(ink.left, expectLeft, 5);
    EXPECT_NEAR(ink.right, expectLeft + width, 6);
    image->forget();
  }
  font->forget();
}

TEST_F(EmbeddedFont, WithoutItsFontTheLabelDrawsNothingMeasuresZeroAndKeepsItsDesignedMetrics) {
  ZELFontSource noResource;
  noResource.resourceID = 112;
  noResource.file = "no-such-folder/other.ttf";
  for (const ZELFontSource& source : {missingSource(), noResource}) {
    auto* font = new CZELCustomFont(38, 0, source);
    ZELCoreTextFont* core = font->getCoreTextFont();
    EXPECT_FALSE(core->isLoaded());
    EXPECT_EQ(core->getStringWidth(nullptr, "Master Track"), 0);
    EXPECT_EQ(core->getGdiFont(), nullptr);
    EXPECT_DOUBLE_EQ(core->getAscent(), 34.96);
    auto* view = new BaselineView(CRect(0, 0, 200, 60), font, "Master Track", CPoint(10, 45));
    CBitmap* image = drawOffscreen(view, 200, 60);
    view->forget();
    EXPECT_TRUE(inkOf(image).empty());
    if (image) image->forget();
    font->forget();
  }
}

TEST_F(EmbeddedFont, TheSharedLabelFontLivesWhileHeldAndComesBackAfterItsLastUser) {
  CZELCustomFont* a = CZELCustomFont::acquire();
  CZELCustomFont* b = CZELCustomFont::acquire();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a->getSize(), 38);
  EXPECT_EQ(a->getStyle(), 0);
  EXPECT_STREQ(a->getName(), "doesn't matter");
  EXPECT_EQ(a->getNbReference(), 2);
  b->forget();
  a->forget();
  CZELCustomFont* c = CZELCustomFont::acquire();
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->getNbReference(), 1);
  EXPECT_GT(c->getCoreTextFont()->getStringWidth(nullptr, "Master Track"), 0);
  c->forget();
}

TEST_F(EmbeddedFont, ANewSizeOrStyleKeepsTheEmbeddedFace) {
  auto* font = new CZELCustomFont();
  CCoord at38 = font->getCoreTextFont()->getStringWidth(nullptr, "Master Track");
  font->setSize(19);
  font->setStyle(kItalicFace);
  ZELCoreTextFont* core = font->getCoreTextFont();
  ASSERT_NE(core, nullptr);
  EXPECT_EQ(core->getSize(), 19);
  EXPECT_TRUE(core->isItalic());
  EXPECT_EQ(core->getFaceName(), L"ZELOrvane");
  EXPECT_NEAR(core->getStringWidth(nullptr, "Master Track"), at38 / 2, 2);
  font->forget();
  // A context asked for another size of the label font keeps the face.
  auto* label = new CZELCustomFont();
  COffscreenContext* ctx = COffscreenContext::create(nullptr, 10, 10);
  ASSERT_NE(ctx, nullptr);
  ctx->setFont(label, 19);
  EXPECT_NEAR(ctx->getStringWidth("Master Track"), at38 / 2, 2);
  ctx->forget();
  label->forget();
}

#ifdef _WIN32
TEST_F(EmbeddedFont, GdiGetsThePrivateFontByItsNameAtTheScaledHeight) {
  auto* font = new CZELCustomFont(11);
  ZELCoreTextFont* core = font->getCoreTextFont();
  ASSERT_TRUE(core->isLoaded());
  HDC dc = CreateCompatibleDC(nullptr);
  for (double scale : {1.0, 2.0, 1.5}) {
    SCOPED_TRACE(scale);
    auto* gdiFont = static_cast<HFONT>(core->getGdiFont(scale));
    ASSERT_NE(gdiFont, nullptr);
    HGDIOBJ old = SelectObject(dc, gdiFont);
    wchar_t face[LF_FACESIZE] = {0};
    GetTextFaceW(dc, LF_FACESIZE, face);
    EXPECT_STREQ(face, L"ZELOrvane") << "GDI found the private memory font, not a substitute";
    TEXTMETRICW tm;
    ASSERT_TRUE(GetTextMetricsW(dc, &tm));
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, std::lround(11 * scale)) << "character height is the size";
    SelectObject(dc, old);
  }
  DeleteDC(dc);
  font->forget();
}
#endif
