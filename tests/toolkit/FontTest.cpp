// A font of the product's own (an embedded face) installed into a font
// description must be what text is drawn with, also when a view asks the
// context for another size or style of it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/vstgui.h"

using namespace VSTGUI;

namespace {

// A face that draws nothing but notes which of its sizes was asked to draw.
class RecordingFont : public IPlatformFont, public IFontPainter {
 public:
  RecordingFont(CCoord size, bool hasVariants, std::vector<std::string>* log)
      : size(size), hasVariants(hasVariants), log(log) {}
  double getAscent() const override { return size * 0.8; }
  double getDescent() const override { return size * 0.2; }
  double getLeading() const override { return 0; }
  double getCapHeight() const override { return size * 0.7; }
  IFontPainter* getPainter() override { return this; }
  void drawString(CDrawContext*, UTF8StringPtr s, const CPoint&, bool) override {
    log->push_back("custom " + std::to_string(int(size)) + " " + s);
  }
  CCoord getStringWidth(CDrawContext*, UTF8StringPtr, bool) override { return 10; }
  IPlatformFont* createVariant(const CCoord& newSize, const int32_t&) override {
    return hasVariants ? new RecordingFont(newSize, true, log) : nullptr;
  }

 private:
  CCoord size;
  bool hasVariants;
  std::vector<std::string>* log;
};

}  // namespace

TEST(CFontDesc, ACustomPlatformFontSurvivesSetFontWithASizeOrStyle) {
  struct Case {
    bool hasVariants;
    CCoord size;
    int32_t style;
    const char* drawnWith;
  };
  const Case cases[] = {
      {true, 0, -1, "custom 12 Tape"},          // the font as it is
      {true, 20, -1, "custom 20 Tape"},         // another size: the face's variant
      {true, 0, kBoldFace, "custom 12 Tape"},   // another style
      {false, 20, kBoldFace, "custom 12 Tape"}, // no variant: the face as it is
  };
  for (const Case& c : cases) {
    std::vector<std::string> log;
    auto* font = new CFontDesc("Tape", 12);
    font->setPlatformFont(new RecordingFont(12, c.hasVariants, &log));
    COffscreenContext* ctx = COffscreenContext::create(nullptr, 40, 20);
    ASSERT_NE(ctx, nullptr);
    ctx->beginDraw();
    ctx->setFont(font, c.size, c.style);
    EXPECT_TRUE(ctx->getFont()->hasCustomPlatformFont());
    ctx->drawString("Tape", CPoint(1, 15));
    ctx->endDraw();
    ctx->forget();
    font->forget();
    EXPECT_EQ(log, std::vector<std::string>{c.drawnWith}) << "size " << c.size << " style " << c.style;
  }
}

TEST(CFontDesc, CopiesShareTheCustomFontUntilTheNameChanges) {
  std::vector<std::string> log;
  CFontDesc original("Tape", 12);
  original.setPlatformFont(new RecordingFont(12, true, &log));
  CFontDesc copy(original);
  CFontDesc assigned;
  assigned = original;
  EXPECT_EQ(copy.getPlatformFont(), original.getPlatformFont());
  EXPECT_EQ(assigned.getPlatformFont(), original.getPlatformFont());
  copy.setName("Arial");
  EXPECT_FALSE(copy.hasCustomPlatformFont()) << "another family is the system's";
  EXPECT_NE(copy.getPlatformFont(), original.getPlatformFont());
  EXPECT_TRUE(original.hasCustomPlatformFont());
}
