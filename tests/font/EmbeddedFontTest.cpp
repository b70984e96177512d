// The tape label's embedded font as the toolkit draws it: through DirectWrite
// and GDI from the program's own font resource under Windows, through cairo
// and FreeType from the same file natively.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "controls/CZELCustomFont.h"
#include "controls/CZELTapeLabel.h"
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

TEST_F(EmbeddedFont, HasItsOwnMetricsScaledToTheSizeFromTheStartAndKeepsThemWhenItLaysOutText) {
  for (double size : {38.0, 11.0, 24.5}) {
    SCOPED_TRACE(size);
    auto* font = new CZELCustomFont(size);
    ZELCoreTextFont* core = font->getCoreTextFont();
    ASSERT_NE(core, nullptr);
    EXPECT_TRUE(core->isLoaded());
    const double k = size / kUnitsPerEm;
    const double made[] = {core->getAscent(), core->getDescent(), core->getLeading(), core->getCapHeight()};
    EXPECT_NEAR(made[0], kAscent * k, 0.01);
    EXPECT_NEAR(made[1], kDescent * k, 0.01);
    EXPECT_NEAR(made[2], 0, 0.01);
    EXPECT_NEAR(made[3], kCapHeight * k, 0.01);
    EXPECT_GT(core->getStringWidth(nullptr, "Master Track"), 0);
    EXPECT_EQ(core->getAscent(), made[0]);
    EXPECT_EQ(core->getDescent(), made[1]);
    EXPECT_EQ(core->getLeading(), made[2]);
    EXPECT_EQ(core->getCapHeight(), made[3]);
    font->forget();
  }
}

namespace {

// The font file's bytes: the program's own resource under Windows (as the
// plug-in reads it), the file natively.
std::vector<uint8_t> fontFileBytes() {
#ifdef _WIN32
  HRSRC res = FindResourceW(nullptr, MAKEINTRESOURCEW(kZELFontResourceID), MAKEINTRESOURCEW(8));
  HGLOBAL loaded = res ? LoadResource(nullptr, res) : nullptr;
  auto* bytes = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
  return bytes ? std::vector<uint8_t>(bytes, bytes + SizeofResource(nullptr, res)) : std::vector<uint8_t>();
#else
  std::vector<uint8_t> bytes;
  if (FILE* f = std::fopen(FONT_TEST_RESOURCES "/font/ZELOrvane.ttf", "rb")) {
    uint8_t buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(f);
  }
  return bytes;
#endif
}

// Where the table of that tag lies in the file (0 when it is not listed).
size_t tableOffset(const std::vector<uint8_t>& f, const char* tag) {
  for (size_t i = 0, n = f[4] << 8 | f[5]; i < n; ++i) {
    const uint8_t* e = &f[12 + 16 * i];
    if (std::memcmp(e, tag, 4) == 0) return size_t(e[8]) << 24 | size_t(e[9]) << 16 | size_t(e[10]) << 8 | e[11];
  }
  return 0;
}

}  // namespace

TEST(EmbeddedFontFile, DesignMetricsComeFromItsTablesAndDamagedBytesGiveNone) {
  const std::vector<uint8_t> file = fontFileBytes();
  ASSERT_GT(file.size(), 1000u) << "the font file";
  ZELDesignMetrics m;
  ASSERT_TRUE(readZELDesignMetrics(file.data(), file.size(), m));
  EXPECT_EQ(m.unitsPerEm, kUnitsPerEm);
  EXPECT_EQ(m.ascent, kAscent);
  EXPECT_EQ(m.descent, kDescent);
  EXPECT_EQ(m.lineGap, 0);
  EXPECT_EQ(m.capHeight, kCapHeight);

  const size_t head = tableOffset(file, "head"), os2 = tableOffset(file, "OS/2");
  ASSERT_TRUE(head && os2);
  // An OS/2 table of version 1 has no cap height: 0.7 of the ascender.
  std::vector<uint8_t> v1 = file;
  v1[os2 + 1] = 1;
  ASSERT_TRUE(readZELDesignMetrics(v1.data(), v1.size(), m));
  EXPECT_DOUBLE_EQ(m.capHeight, kAscent * 0.7);

  struct Damage {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  std::vector<uint8_t> noUnits = file, tooManyTables = file, pastTheEnd = file;
  noUnits[head + 18] = noUnits[head + 19] = 0;
  tooManyTables[4] = tooManyTables[5] = 0xff;
  for (size_t i = 0, n = file[4] << 8 | file[5]; i < n; ++i)
    if (std::memcmp(&pastTheEnd[12 + 16 * i], "OS/2", 4) == 0) pastTheEnd[12 + 16 * i + 8] = 0x7f;
  const Damage damaged[] = {
      {"empty", {}},
      {"the directory alone", std::vector<uint8_t>(file.begin(), file.begin() + 12)},
      {"cut inside the OS/2 table", std::vector<uint8_t>(file.begin(), file.begin() + os2 + 40)},
      {"no units per em", noUnits},
      {"OS/2 placed past the end", pastTheEnd},
  };
  for (const Damage& d : damaged) {
    ZELDesignMetrics none;
    EXPECT_FALSE(readZELDesignMetrics(d.bytes.data(), d.bytes.size(), none)) << d.what;
  }
  EXPECT_FALSE(readZELDesignMetrics(nullptr, 100, m));
  // A directory that claims more tables than the file holds still finds
  // those it lists, reading no further than the file goes.
  EXPECT_TRUE(readZELDesignMetrics(tooManyTables.data(), tooManyTables.size(), m));
  EXPECT_EQ(m.capHeight, kCapHeight);
}

TEST_F(EmbeddedFont, ATapeLabelPaintsItsFirstTextOnceWhereEveryLaterPaintPutsIt) {
  CBitmap* back = window_test::paintOffscreen(506, 34, [](CDrawContext* c) {
    c->setFillColor(CColor(236, 226, 196));
    c->drawRect(CRect(0, 0, 506, 34), kDrawFilled);
  });
  ASSERT_NE(back, nullptr);
  auto* label = new CZELTapeLabel(CRect(0, 0, 506, 34), nullptr, 69, back);
  back->forget();
  label->setText("Bass DI");
  CBitmap* first = drawOffscreen(label, 506, 34);
  EXPECT_FALSE(label->isDirty()) << "the first paint asks for no other";
  CBitmap* second = drawOffscreen(label, 506, 34);
  EXPECT_FALSE(inkOf(first).empty());
  window_test::Comparison c = window_test::compare(first, second, 0);
  EXPECT_TRUE(c.sameSize);
  EXPECT_EQ(c.mismatches, 0) << "the first text moved on the second paint (worst " << c.worst << ")";
  if (first) first->forget();
  if (second) second->forget();
  label->forget();
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
