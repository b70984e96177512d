// Meter selection, the strip layout and the window height that follows it,
// and the routing of parameter and control changes to the parts.
#include <gtest/gtest.h>

#include "tests/editor/EditorTestSupport.h"

using namespace editor_test;

TEST(EditorLayout, WindowHeightFollowsTheStripTableAndReachesTheHostAsSizeWindow) {
  struct Row {
    float strips, showFlt, showLbl;
    int height;
  };
  const Row table[] = {
      {0, 0, 0, 169}, {0, 1, 1, 169}, {1, 0, 0, 195}, {1, 0, 1, 221}, {1, 1, 0, 235}, {1, 1, 1, 261},
  };
  for (bool withParts : {true, false}) {
    for (const Row& row : table) {
      EditorFixture f(withParts);
      f.setParameter(orvane::kStrips, row.strips);
      f.setParameter(orvane::kShowFlt, row.showFlt);
      f.setParameter(orvane::kShowLbl, row.showLbl);
      ASSERT_TRUE(f.open());
      SCOPED_TRACE(testing::Message() << "parts " << withParts << " strips " << row.strips << " flt "
                                      << row.showFlt << " lbl " << row.showLbl);
      EXPECT_EQ(TemepleteEditor::stripLayoutHeight(row.strips > 0, row.showFlt > 0, row.showLbl > 0), row.height);
      EXPECT_EQ(f.rect().bottom, row.height);
      EXPECT_EQ(f.frameHeight(), row.height);
      // 195 is the height the host was told before the opening: no call.
      if (row.height == 195) {
        EXPECT_TRUE(f.host.sizeWindow.empty());
      } else {
        ASSERT_EQ(f.host.sizeWindow.size(), 1u);
        EXPECT_EQ(f.host.sizeWindow[0].first, 586);
        EXPECT_EQ(f.host.sizeWindow[0].second, row.height);
      }
    }
  }
}

TEST(EditorLayout, StripsAreStackedUnderTheMeterAreaInTheCurrentMeterColouring) {
  EditorFixture f;
  f.setParameter(orvane::kMeter, 0.5f);
  ASSERT_TRUE(f.open());
  f.log.clear();
  f.setParameter(orvane::kShowFlt, 1.0f);
  EXPECT_EQ(f.log.with("filters.expand"), std::vector<std::string>{"filters.expand 0,169 m1"});
  EXPECT_EQ(f.log.with("label.collapse"), std::vector<std::string>{"label.collapse 0,222 m1"});
  f.log.clear();
  f.setParameter(orvane::kShowLbl, 1.0f);
  EXPECT_EQ(f.log.with("label.expand"), std::vector<std::string>{"label.expand 0,222 m1"});
  EXPECT_EQ(f.rect().bottom, 261);
  f.log.clear();
  // Hiding the strips leaves them where they are and cuts the window.
  f.setParameter(orvane::kStrips, 0.0f);
  EXPECT_TRUE(f.log.with("label.expand").empty());
  EXPECT_TRUE(f.log.with("label.collapse").empty());
  EXPECT_EQ(f.rect().bottom, 169);
  EXPECT_EQ(f.host.sizeWindow.back().second, 169);
}

TEST(EditorLayout, ShowLabelWhileStripsAreOffWaitsForTheStrips) {
  EditorFixture f;
  f.setParameter(orvane::kStrips, 0.0f);
  ASSERT_TRUE(f.open());
  const size_t calls = f.host.sizeWindow.size();
  f.setParameter(orvane::kShowLbl, 1.0f);
  EXPECT_EQ(f.rect().bottom, 169);
  EXPECT_EQ(f.host.sizeWindow.size(), calls);  // same height: the host is not asked again
  f.setParameter(orvane::kStrips, 1.0f);
  EXPECT_EQ(f.rect().bottom, 221);
  EXPECT_EQ(f.host.sizeWindow.back(), (std::pair<VstInt32, VstIntPtr>(586, 221)));
}

TEST(EditorLayout, ResizeHeightIgnoresNonsenseAndOnlyMendsTheFrameWhenTheRectangleAgrees) {
  EditorFixture f;
  f.editor()->resizeHeight(300);  // no frame: nothing
  EXPECT_EQ(f.rect().bottom, 195);
  ASSERT_TRUE(f.open());
  const size_t calls = f.host.sizeWindow.size();
  f.editor()->resizeHeight(0);
  f.editor()->resizeHeight(-20);
  EXPECT_EQ(f.rect().bottom, 195);
  EXPECT_EQ(f.host.sizeWindow.size(), calls);
  // The frame out of step with the rectangle: only the frame is set.
  f.editor()->getFrame()->setSize(586, 100);
  f.editor()->resizeHeight(195);
  EXPECT_EQ(f.frameHeight(), 195);
  EXPECT_EQ(f.host.sizeWindow.size(), calls);
  f.editor()->resizeHeight(240);
  EXPECT_EQ(f.rect().bottom, 240);
  EXPECT_EQ(f.frameHeight(), 240);
  EXPECT_EQ(f.host.sizeWindow.back(), (std::pair<VstInt32, VstIntPtr>(586, 240)));
  EXPECT_TRUE(f.editor()->getFrame()->isDirty());
}

TEST(EditorLayout, MeterValuesSelectTheirPanelAndTheSameMeterChangesNothing) {
  EditorFixture f;
  ASSERT_TRUE(f.open());
  struct Case {
    float value;
    int meter;
  };
  for (Case c : {Case{0.0f, 0}, Case{0.2499f, 0}, Case{0.25f, 1}, Case{0.7499f, 1}, Case{0.75f, 2}, Case{1.0f, 2},
                 Case{0.5f, 1}, Case{0.1f, 0}}) {
    f.setParameter(orvane::kMeter, c.value);
    EXPECT_EQ(f.editor()->getCurrentMeter(), c.meter) << c.value;
    for (int t = 0; t < 3; ++t) EXPECT_EQ(f.parts()->fakePanel(t)->isShown(), t == c.meter) << c.value;
  }
  f.log.clear();
  f.editor()->selectMeter(0.2f);  // VU again
  EXPECT_TRUE(f.log.lines.empty());
  // A new meter re-colours the strips without resizing.
  const size_t calls = f.host.sizeWindow.size();
  f.editor()->selectMeter(1.0f);
  EXPECT_EQ(f.log.with("filters.collapse"), std::vector<std::string>{"filters.collapse 0,169 m2"});
  EXPECT_EQ(f.host.sizeWindow.size(), calls);
}

TEST(EditorLayout, EveryParameterChangeReachesStripsAndPanelsInOrder) {
  EditorFixture f;
  ASSERT_TRUE(f.open());
  f.log.clear();
  f.setParameter(orvane::kLRMS, 1.0f);
  EXPECT_EQ(f.log.lines, (std::vector<std::string>{"label.param 4 1", "filters.param 4 1", "vu.param 4 1",
                                                   "rms.param 4 1", "ppm.param 4 1"}));
  f.log.clear();
  f.setParameter(orvane::kProcess, 1.0f);
  EXPECT_EQ(f.log.lines.front(), "filters.active 1");
  EXPECT_EQ(f.log.lines.size(), 6u);
  f.log.clear();
  f.setParameter(83, 0.25f);  // a VU meter setting reaches everyone too
  EXPECT_EQ(f.log.with("vu.param 83").size(), 1u);
  EXPECT_EQ(f.log.lines.size(), 5u);
  f.log.clear();
  f.setParameter(200, 1.0f);  // no such parameter: the effect tells nobody
  EXPECT_TRUE(f.log.lines.empty());
}

TEST(EditorLayout, ControlChangesAutomateHostParametersAndReachTheShownPanelAndTheStrips) {
  EditorFixture f;
  f.setParameter(orvane::kMeter, 1.0f);
  ASSERT_TRUE(f.open());
  f.log.clear();
  CControl lrms(CRect(0, 0, 10, 10), f.editor(), orvane::kLRMS);
  lrms.setValue(1.0f);
  f.editor()->valueChanged(&lrms);
  EXPECT_EQ(f.effect->getParameter(orvane::kLRMS), 1.0f);
  EXPECT_EQ(f.host.automated, std::vector<VstInt32>{orvane::kLRMS});
  // The effect's echo first (every view), then the control's own round.
  EXPECT_EQ(f.log.lines.back(), "filters.control 4");
  EXPECT_EQ(f.log.with("ppm.control"), std::vector<std::string>{"ppm.control 4"});
  EXPECT_TRUE(f.log.with("vu.control").empty());
  EXPECT_EQ(f.log.with("ppm.param 4").size(), 1u);

  // Tags 8 and up (other than 15) are the parts' business alone.
  f.log.clear();
  f.host.automated.clear();
  CControl hpFreq(CRect(0, 0, 10, 10), f.editor(), orvane::kHPFreq);
  hpFreq.setValue(0.7f);
  f.editor()->valueChanged(&hpFreq);
  EXPECT_TRUE(f.host.automated.empty());
  EXPECT_NE(f.effect->getParameter(orvane::kHPFreq), 0.7f);
  EXPECT_EQ(f.log.lines, (std::vector<std::string>{"ppm.control 11", "label.control 11", "filters.control 11"}));

  CControl showLbl(CRect(0, 0, 10, 10), f.editor(), orvane::kShowLbl);
  showLbl.setValue(1.0f);
  f.editor()->valueChanged(&showLbl);
  EXPECT_EQ(f.host.automated, std::vector<VstInt32>{orvane::kShowLbl});
  EXPECT_EQ(f.rect().bottom, 221);
}
