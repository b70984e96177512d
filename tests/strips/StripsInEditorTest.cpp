// The real strips in the real editor over the effect: where the editor
// puts them for each layout and meter type, and what reaches the effect,
// the host and a restored project when the user edits them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/CHelpHintLabel.h"
#include "strips/StripFiltersEditor.h"
#include "strips/StripLabelEditor.h"
#include "tests/editor/EditorTestSupport.h"

using namespace editor_test;
using orvane::StripSafeEditor;

namespace {

StripSafeEditor* filtersOf(TemepleteEditor* e) { return static_cast<StripSafeEditor*>(e->getFiltersStrip()); }
StripSafeEditor* labelOf(TemepleteEditor* e) { return static_cast<StripSafeEditor*>(e->getLabelStrip()); }

CRect placeOf(StripSafeEditor* strip) {
  orvane::StripEditor* v = strip->shownView();
  return v ? v->getContainer()->getViewSize() : CRect(-1, -1, -1, -1);
}

}  // namespace

TEST(StripsInEditor, TakeTheirPlacesForEveryLayoutAndMeterType) {
  EditorFixture f(false);
  const struct {
    float showFlt, showLbl;
    int labelTop, height;
  } rows[] = {{0, 0, 182, 195}, {0, 1, 182, 221}, {1, 0, 222, 235}, {1, 1, 222, 261}};
  f.setParameter(orvane::kStrips, 1.f);
  for (const auto& row : rows) {
    f.setParameter(orvane::kShowFlt, row.showFlt);
    f.setParameter(orvane::kShowLbl, row.showLbl);
    ASSERT_TRUE(f.open());
    for (float meter : {0.f, 0.5f, 1.f}) {
      f.setParameter(orvane::kMeter, meter);
      const int type = (int)(meter * 2 + 0.5f);
      SCOPED_TRACE(testing::Message() << "flt " << row.showFlt << " lbl " << row.showLbl << " meter " << type);
      StripSafeEditor* filters = filtersOf(f.editor());
      StripSafeEditor* label = labelOf(f.editor());
      EXPECT_EQ(filters->shownView(), filters->getView(row.showFlt > 0, type));
      EXPECT_EQ(label->shownView(), label->getView(row.showLbl > 0, type));
      EXPECT_EQ(placeOf(filters).top, 169);
      EXPECT_EQ(placeOf(label).top, row.labelTop);
      EXPECT_EQ(placeOf(label).bottom, row.height);
      EXPECT_EQ(f.frameHeight(), row.height);
      EXPECT_EQ(f.rect().bottom, row.height);
    }
    f.close();
  }
}

TEST(StripsInEditor, TheShowButtonCollapsesTheFiltersThroughTheParameter) {
  EditorFixture f(false);
  f.setParameter(orvane::kStrips, 1.f);
  f.setParameter(orvane::kShowFlt, 1.f);
  f.setParameter(orvane::kShowLbl, 1.f);
  ASSERT_TRUE(f.open());
  EXPECT_EQ(f.frameHeight(), 261);
  CControl* show = filtersOf(f.editor())->shownView()->findControl(orvane::kShowFlt);
  ASSERT_NE(show, nullptr);
  show->setValue(0.f);
  f.editor()->valueChanged(show);
  EXPECT_EQ(f.effect->getParameter(orvane::kShowFlt), 0.f);
  EXPECT_EQ(f.host.automated, std::vector<VstInt32>{orvane::kShowFlt});  // once, from the editor
  EXPECT_TRUE(filtersOf(f.editor())->isCollapsed());
  EXPECT_EQ(placeOf(labelOf(f.editor())).top, 182);
  EXPECT_EQ(f.frameHeight(), 221);
  ASSERT_FALSE(f.host.sizeWindow.empty());
  EXPECT_EQ(f.host.sizeWindow.back().second, 221);
}

TEST(StripsInEditor, ATypedHighPassFrequencyIsAutomatedAndShownAsTheEffectShowsIt) {
  EditorFixture f(false);
  f.setParameter(orvane::kProcess, 1.f);
  f.setParameter(orvane::kShowFlt, 1.f);
  ASSERT_TRUE(f.open());
  auto* view = static_cast<orvane::StripFiltersEditor*>(filtersOf(f.editor())->shownView());
  CTextEdit* entry = view->getEntry(orvane::StripFiltersEditor::kHPEntry);
  entry->setText("1k5");
  f.editor()->valueChanged(entry);
  EXPECT_NEAR(orvane::hpFrequency(f.effect->getParameter(orvane::kHPFreq)), 1500.0, 0.01);
  EXPECT_EQ(f.host.automated, std::vector<VstInt32>{orvane::kHPFreq});
  EXPECT_STREQ(entry->getText(), "1k5");
  EXPECT_FLOAT_EQ(view->findControl(orvane::kHPFreq)->getValue(), f.effect->getParameter(orvane::kHPFreq));
}

TEST(StripsInEditor, TheLabelIsKeptCutAndComesBackFromTheProject) {
  EditorFixture f(false);
  f.setParameter(orvane::kShowLbl, 1.f);
  ASSERT_TRUE(f.open());
  auto* view = static_cast<orvane::StripLabelEditor*>(labelOf(f.editor())->shownView());
  ASSERT_NE(view, nullptr);
  EXPECT_STREQ(view->getTapeLabel()->getText(), "Master Track");
  const std::string typed = "Lead vocal, take 7, comped from the \xE2\x80\x94 three best passes";
  view->getTapeLabel()->setText(typed.c_str());
  f.editor()->valueChanged(view->getTapeLabel());
  const std::string kept = typed.substr(0, 36);  // the dash's three bytes would cross the 38th
  EXPECT_EQ(f.effect->labelText(), kept);
  EXPECT_TRUE(f.host.automated.empty());

  void* chunk = nullptr;
  const VstIntPtr size = f.dispatch(effGetChunk, 0, 0, &chunk);
  ASSERT_GT(size, 0);
  std::vector<char> saved((char*)chunk, (char*)chunk + size);
  f.close();

  Templete restored(&EditorFixture::callback, f.shared);
  AEffect* e = restored.getAeffect();
  e->dispatcher(e, effSetChunk, 0, (VstIntPtr)saved.size(), saved.data(), 0);
  EXPECT_EQ(restored.labelText(), kept);
  ASSERT_EQ(e->dispatcher(e, effEditOpen, 0, 0, f.window.handle(), 0), 1);
  auto* editor = static_cast<TemepleteEditor*>(restored.getEditor());
  for (int type = 0; type < 3; ++type)
    EXPECT_EQ(static_cast<orvane::StripLabelEditor*>(labelOf(editor)->getView(true, type))->getTapeLabel()->getText(),
              kept);
  e->dispatcher(e, effEditClose, 0, 0, nullptr, 0);
}

TEST(StripsInEditor, InactiveFilterControlsExplainThemselvesOnTheirPanelsHintLine) {
  EditorFixture f(false);
  f.setParameter(orvane::kShowFlt, 1.f);
  f.setParameter(orvane::kMeter, 0.5f);
  ASSERT_TRUE(f.open());
  CHelpHintLabel* rmsLine = f.editor()->getPanel(1)->hintLabel();
  ASSERT_NE(rmsLine, nullptr);
  const char* expected = CHelpHintLabel::hintText(orvane::kHPFreq, 0.f, nullptr);
  ASSERT_TRUE(expected && *expected);
  // Process is off: the slider shows its hint on entry, on the line of
  // the panel above it.
  CControl* slider = filtersOf(f.editor())->shownView()->findControl(orvane::kHPFreq);
  CPoint at = slider->getViewSize().getCenter();
  slider->onMouseEntered(at, 0);
  EXPECT_STREQ(rmsLine->getText(), expected);
  EXPECT_STREQ(f.editor()->getPanel(0)->hintLabel()->getText(), "");
}
