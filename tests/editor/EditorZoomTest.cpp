// The editor's zoom: the window in pixels for the system's scale times the
// user's zoom, the host told, the views left in their units; the host's
// scale request and what it refuses; the user's choice from the menu and
// where it is kept.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "tests/editor/EditorTestSupport.h"

#if !defined(_WIN32)
#include "toolkit/cairo/nativeframe.h"
#endif

using namespace editor_test;

namespace {

constexpr VstInt32 kScaleRequest = 0x50726553;  // 'PreS'
constexpr VstIntPtr kScaleFactor = 0x41654373;  // 'AeCs'

VstIntPtr sendScale(EditorFixture& f, float scale) {
  return f.dispatch(effVendorSpecific, kScaleRequest, kScaleFactor, nullptr, scale);
}

void storeZoom(orvane::MemoryRegistry& registry, float zoom) {
  unsigned char bytes[4];
  std::memcpy(bytes, &zoom, 4);
  registry.writeBinary4(orvane::kEditorZoomValueName, bytes);
}

}  // namespace

TEST(EditorZoom, TheWindowIsTheLayoutTimesSystemScaleAndZoomAndTheHostIsAsked) {
  struct Row {
    float system;  // 0: the host sends none
    double zoom, scale;
    int width, height;  // strips off: 169 units high
  };
  const Row table[] = {
      {0, 1.0, 1.0, 586, 169},         {0, 1.5, 1.5, 879, 254},     {0, 2.0, 2.0, 1172, 338},
      {1.25f, 1.25, 1.5625, 916, 264}, {2.0f, 2.0, 4.0, 2344, 676}, {3.0f, 1.75, 4.0, 2344, 676},
  };
  for (bool before : {true, false}) {
    for (const Row& row : table) {
      SCOPED_TRACE(testing::Message() << "system " << row.system << " zoom " << row.zoom << " sent before opening "
                                      << before);
      EditorFixture f;
      f.setParameter(orvane::kStrips, 0);
      if (before && row.system > 0) {
        EXPECT_EQ(sendScale(f, row.system), 1);
      }
      ASSERT_TRUE(f.open());
      if (!before && row.system > 0) {
        EXPECT_EQ(sendScale(f, row.system), 1);
      }
      EXPECT_TRUE(f.editor()->setZoom(row.zoom));
      EXPECT_DOUBLE_EQ(f.editor()->getFrame()->getScaleFactor(), row.scale);
      const ERect r = f.rect();
      EXPECT_EQ(r.right - r.left, row.width);
      EXPECT_EQ(r.bottom - r.top, row.height);
      if (row.scale != 1.0) {
        ASSERT_FALSE(f.host.sizeWindow.empty());
        EXPECT_EQ(f.host.sizeWindow.back(), std::make_pair(VstInt32(row.width), VstIntPtr(row.height)));
      }
      // The views keep their layout.
      CRect units;
      f.editor()->getFrame()->getSize(units);
      EXPECT_EQ(units, CRect(0, 0, 586, 169));
      // The strips opening (both collapsed) grow the window by their zoomed
      // height.
      f.setParameter(orvane::kStrips, 1);
      EXPECT_EQ(f.rect().bottom, std::lround(195 * row.scale));
    }
  }
}

TEST(EditorZoom, RefusedScalesAndZoomsChangeNothing) {
  EditorFixture f;
  ASSERT_TRUE(f.open());
  ASSERT_TRUE(f.editor()->setZoom(1.5));
  const ERect before = f.rect();
  const size_t asked = f.host.sizeWindow.size();
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  for (float scale : {0.0f, -1.0f, nan, 4.01f, inf}) EXPECT_EQ(sendScale(f, scale), 0) << scale;
  // Another vendor's request is not ours.
  EXPECT_EQ(f.dispatch(effVendorSpecific, kScaleRequest, 0, nullptr, 2.0f), 0);
  EXPECT_EQ(f.dispatch(effVendorSpecific, 0, kScaleFactor, nullptr, 2.0f), 0);
  for (double zoom : {0.0, 1.1, 3.0, -1.5, double(nan)}) EXPECT_FALSE(f.editor()->setZoom(zoom)) << zoom;
  EXPECT_EQ(f.rect().right, before.right);
  EXPECT_EQ(f.rect().bottom, before.bottom);
  EXPECT_EQ(f.host.sizeWindow.size(), asked);
  EXPECT_DOUBLE_EQ(f.editor()->getFrame()->getScaleFactor(), 1.5);
}

TEST(EditorZoom, TheMenuChoiceResizesAndIsKeptForLaterWindowsAndInstances) {
  EditorFixture f;
  f.setParameter(orvane::kStrips, 0);
  ASSERT_TRUE(f.open());
  PartsEditor* e = f.parts();
  // A right click on the background: no view takes it.
  e->menuAnswer = 4;
  CPoint at(300, 150);
  e->getMyFrame()->platformOnMouseDown(at, CButtonState(kRButton));
  ASSERT_EQ(e->menuShown, 1);
  EXPECT_EQ(e->menuLabels, (std::vector<std::string>{"100 %", "125 %", "150 %", "175 %", "200 %"}));
  EXPECT_EQ(e->menuChecked, 0);
  EXPECT_EQ(f.rect().right, 1172);
  EXPECT_EQ(f.host.sizeWindow.back(), std::make_pair(VstInt32(1172), VstIntPtr(338)));
  // A left click opens no menu; nothing picked changes nothing.
  e->getMyFrame()->platformOnMouseDown(at, CButtonState(kLButton));
  e->menuAnswer = -1;
  e->getMyFrame()->platformOnMouseDown(at, CButtonState(kRButton));
  EXPECT_EQ(e->menuShown, 2);
  EXPECT_EQ(e->menuChecked, 4);
  EXPECT_EQ(f.rect().right, 1172);

  f.close();
  ASSERT_TRUE(f.open());
  EXPECT_DOUBLE_EQ(f.editor()->getFrame()->getScaleFactor(), 2.0);
  // A new instance with the same user's settings opens at the choice.
  Templete other(&EditorFixture::callback, f.shared);
  ERect* r = nullptr;
  ASSERT_TRUE(other.getEditor() && other.getEditor()->getRect(&r) && r);
  EXPECT_EQ(r->right, 1172);
  EXPECT_EQ(r->bottom, 390);
  // And so does the next run of the host, from the registry.
  orvane::SharedSettings nextRun(f.registry);
  EXPECT_EQ(nextRun.editorZoom(), 2.0);
}

TEST(EditorZoom, AStoredZoomThatIsNoLevelReadsAs100Percent) {
  const struct {
    float stored;
    double zoom;
  } table[] = {{1.5f, 1.5}, {1.75f, 1.75}, {1.3f, 1.0},
               {4.0f, 1.0}, {0.0f, 1.0},   {std::numeric_limits<float>::quiet_NaN(), 1.0}};
  for (const auto& row : table) {
    orvane::MemoryRegistry registry;
    storeZoom(registry, row.stored);
    orvane::SharedSettings shared(registry);
    EXPECT_EQ(shared.editorZoom(), row.zoom) << row.stored;
  }
}

#if !defined(_WIN32)
// What the windowless frame shows of the background (the stand-in panels
// draw nothing over it) as one window goes from 100 to 200 % and back: the
// 1x artwork, then the 2x artwork with the 1x pixels let go, then the 1x
// artwork again, pixel for pixel.
TEST(EditorZoom, TheBackgroundIsDrawnFromTheArtworkOfItsScale) {
  const struct {
    double zoom;
    const char* artwork;
  } table[] = {{1.0, "/10000.png"}, {2.0, "/2x/10000.png"}, {1.0, "/10000.png"}};
  EditorFixture f;
  f.setParameter(orvane::kStrips, 0);
  ASSERT_TRUE(f.open());
  for (const auto& row : table) {
    SCOPED_TRACE(testing::Message() << row.zoom << " " << row.artwork);
    ASSERT_TRUE(f.editor()->setZoom(row.zoom));
    f.editor()->getFrame()->idle();
    auto* platform = static_cast<NativePlatformFrame*>(f.editor()->getFrame()->getPlatformFrame());
    std::vector<uint8_t> shown, art;
    ASSERT_TRUE(platform->getImage()->copyPixels(shown));
    CBitmap expected(IPlatformBitmap::createFromPath((std::string(ORVANE_ARTWORK_DIR) + row.artwork).c_str()));
    ASSERT_TRUE(expected.copyPixels(art));
    const int width = (int)platform->getImage()->getWidth(), rows = (int)platform->getImage()->getHeight();
    ASSERT_EQ(width, (int)expected.getWidth());
    size_t differing = 0;
    for (size_t i = 0; i < size_t(width) * rows * 4; ++i) differing += shown[i] != art[i];
    EXPECT_EQ(differing, 0u);
    // The background keeps its size in units whichever pixels it holds.
    CBitmap* background = f.editor()->getFrame()->getBackground();
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->getWidth(), 586);
    EXPECT_EQ(background->getPlatformBitmap() == nullptr, row.zoom > 1);
  }
}
#endif
