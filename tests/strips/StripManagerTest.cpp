// Both strip managers driven through a fake editor seam in a windowless
// frame: which of the six views is shown, where, and which hears the
// window's control events; hidden views follow parameter changes; the
// filters' typed frequencies and the label's text and lag.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/Parameters.h"
#include "strips/StripControls.h"
#include "strips/StripFiltersEditor.h"
#include "strips/StripLabelEditor.h"

using namespace VSTGUI;
using orvane::StripEditor;
using orvane::StripSafeEditor;

namespace {

// The effect as the strips see it, with the echo an effect gives: every
// change reaches the manager's parameterChanged, as through the editor.
struct FakeEffect : orvane::EffectSeam, orvane::LabelSeam, CControlListener {
  float params[128] = {};
  std::vector<std::pair<int32_t, float>> automated;
  std::string label = "Master Track";
  double latency = 0;
  orvane::StripManager* echo = nullptr;

  FakeEffect() {
    for (int i = 0; i < orvane::kHostParameterCount; ++i) params[i] = orvane::parameterInfo(i).defaultValue;
  }
  float getParameter(int32_t index) override { return index >= 0 && index < 128 ? params[index] : 0.f; }
  void setParameter(int32_t index, float value) override {
    if (index >= 0 && index < 128) params[index] = value;
    if (echo) echo->parameterChanged(index, value);
  }
  void setParameterAutomated(int32_t index, float value) override {
    automated.emplace_back(index, value);
    setParameter(index, value);
  }
  void getParameterDisplay(int32_t index, char* text) override {
    if (index == orvane::kHPFreq) return orvane::formatFrequency(orvane::hpFrequency(params[index]), text);
    if (index == orvane::kLPFreq) return orvane::formatFrequency(orvane::lpFrequency(params[index]), text);
    std::snprintf(text, kDisplayTextBytes, "%g", params[index]);
  }
  float defaultValue(int32_t index) override {
    return orvane::isHostParameter(index) ? orvane::parameterInfo(index).defaultValue : 0.f;
  }
  orvane::MeterReadout* readout(int) override { return nullptr; }
  void syncSharedSettings(int) override {}
  double frameTickSeconds() override { return 0; }
  double blockSeconds() override { return 0.01; }

  void getLabelText(char* text) override { std::snprintf(text, kLabelBytes, "%s", label.c_str()); }
  void setLabelText(const char* text) override { label = text; }
  double outputLatencySeconds() override { return latency; }

  // The window's listener: a control event goes to the strip.
  void valueChanged(CControl* control) override {
    if (echo) echo->controlChanged(control);
  }
};

// One strip under test: how to make its manager and what its views hold.
struct StripKind {
  const char* name;
  int expandedHeight;
  int32_t ownTag;  // a tag the shown view sends to the effect as it is
  std::function<orvane::StripManager*(FakeEffect&)> make;
};

const StripKind kinds[] = {
    {"filters", 53, orvane::kHPStat,
     [](FakeEffect& e) -> orvane::StripManager* { return new orvane::StripFiltersSafeEditor(&e, e); }},
    {"label", 39, orvane::kLagTime,
     [](FakeEffect& e) -> orvane::StripManager* { return new orvane::StripLabelSafeEditor(&e, e, e); }},
};

struct Window {
  explicit Window(const StripKind& kind) : manager(kind.make(effect)) {
    effect.params[orvane::kProcess] = 1.f;
    frame = new CFrame(CRect(0, 0, 586, 261), nullptr, &editor);
    effect.echo = manager.get();
    EXPECT_TRUE(manager->open(frame));
  }
  ~Window() {
    manager->close();
    frame->close();
  }
  StripSafeEditor& strip() { return static_cast<StripSafeEditor&>(*manager); }
  int shownCount() const {
    int n = 0;
    for (int i = 0; i < frame->getNbViews(); ++i)
      if (frame->getView(i)->isTypeOf("CViewContainer")) ++n;
    return n;
  }

  struct : VSTGUIEditorInterface {
  } editor;
  FakeEffect effect;
  std::unique_ptr<orvane::StripManager> manager;
  CFrame* frame;
};

}  // namespace

TEST(StripManagers, ShowExactlyTheViewOfTheFormAndMeterTypeAskedFor) {
  for (const StripKind& kind : kinds) {
    SCOPED_TRACE(kind.name);
    Window w(kind);
    EXPECT_EQ(w.shownCount(), 0);  // nothing until the editor lays the strips out
    for (int type : {0, 1, 2, 1}) {
      w.manager->expand(CPoint(0, 182), type);
      ASSERT_EQ(w.shownCount(), 1);
      StripEditor* view = w.strip().shownView();
      ASSERT_NE(view, nullptr);
      EXPECT_EQ(view, w.strip().getView(true, type));
      EXPECT_TRUE(view->isVisible());
      EXPECT_TRUE(w.frame->isChild(view->getContainer()));
      EXPECT_EQ(view->getContainer()->getViewSize(), CRect(0, 182, 586, 182 + kind.expandedHeight));

      w.manager->collapse(CPoint(0, 222), type);
      ASSERT_EQ(w.shownCount(), 1);
      view = w.strip().shownView();
      EXPECT_EQ(view, w.strip().getView(false, type));
      EXPECT_EQ(view->getContainer()->getViewSize(), CRect(0, 222, 586, 235));
      EXPECT_FALSE(w.strip().getView(true, type)->isVisible());
    }
    // A meter type that does not exist shows nothing and hears nothing.
    w.manager->expand(CPoint(0, 169), 3);
    EXPECT_EQ(w.shownCount(), 0);
    EXPECT_EQ(w.strip().shownView(), nullptr);
    w.manager->collapse(CPoint(0, 169), -1);
    EXPECT_EQ(w.shownCount(), 0);
  }
}

TEST(StripManagers, OnlyTheShownViewSendsItsControlsToTheEffect) {
  for (const StripKind& kind : kinds) {
    SCOPED_TRACE(kind.name);
    Window w(kind);
    w.manager->expand(CPoint(0, 169), 1);
    CControl* shown = w.strip().getView(true, 1)->findControl(kind.ownTag);
    CControl* hidden = w.strip().getView(true, 2)->findControl(kind.ownTag);
    CControl* collapsedShow = w.strip().getView(false, 1)->findControl(kind.ownTag == orvane::kHPStat ? 7 : 15);
    ASSERT_TRUE(shown && hidden && collapsedShow);

    hidden->setValue(0.3f);
    w.manager->controlChanged(hidden);
    w.manager->controlChanged(collapsedShow);
    EXPECT_TRUE(w.effect.automated.empty());

    shown->setValue(0.f);
    w.manager->controlChanged(shown);
    ASSERT_EQ(w.effect.automated.size(), 1u);
    EXPECT_EQ(w.effect.automated[0], std::make_pair(kind.ownTag, 0.f));
    // The echo reached the other colourings, shown or not.
    EXPECT_EQ(hidden->getValue(), 0.f);
    EXPECT_EQ(w.strip().getView(true, 0)->findControl(kind.ownTag)->getValue(), 0.f);

    w.manager->expand(CPoint(0, 169), 7);
    shown->setValue(1.f);
    w.manager->controlChanged(shown);
    EXPECT_EQ(w.effect.automated.size(), 1u);
  }
}

TEST(StripManagers, SurviveMissingArtworkAndReopening) {
  // No bitmap folder is set in this program: every bitmap is missing, the
  // views are built all the same and draw nothing of it.
  for (const StripKind& kind : kinds) {
    SCOPED_TRACE(kind.name);
    Window w(kind);
    for (int round = 0; round < 3; ++round) {
      w.manager->expand(CPoint(0, 169), round);
      EXPECT_EQ(w.shownCount(), 1);
      w.manager->close();
      EXPECT_EQ(w.shownCount(), 0);
      EXPECT_EQ(w.strip().shownView(), nullptr);
      ASSERT_TRUE(w.manager->open(w.frame));
      for (int type = 0; type < 3; ++type) {
        EXPECT_NE(w.strip().getView(true, type), nullptr);
        EXPECT_NE(w.strip().getView(false, type), nullptr);
      }
    }
    w.manager->expand(CPoint(0, 169), 0);
    w.frame->idle();  // draws without a window: nothing to crash on
  }
}

TEST(FiltersStrip, TypedFrequenciesReachTheEffectAndTheEntryReadsTheEffectsText) {
  Window w(kinds[0]);
  w.manager->expand(CPoint(0, 169), 0);
  auto* view = static_cast<orvane::StripFiltersEditor*>(w.strip().shownView());
  CTextEdit* hp = view->getEntry(orvane::StripFiltersEditor::kHPEntry);
  CTextEdit* lp = view->getEntry(orvane::StripFiltersEditor::kLPEntry);
  ASSERT_TRUE(hp && lp);
  EXPECT_STREQ(hp->getText(), "20.0");
  EXPECT_STREQ(lp->getText(), "30k");
  EXPECT_EQ(lp->getViewSize().left, 310 + 144);

  const struct {
    CTextEdit* entry;
    const char* typed;
    int32_t index;
    const char* shown;
    int left;
  } cases[] = {
      {hp, "200", orvane::kHPFreq, "200", 45 + 72},   {hp, "5k", orvane::kHPFreq, "2k", 45 + 144},
      {hp, "nan", orvane::kHPFreq, "20.0", 45},       {lp, "3", orvane::kLPFreq, "3k", 310 + 72},
      {lp, "2500", orvane::kLPFreq, "2k5", 310 + 66},
  };
  for (const auto& c : cases) {
    c.entry->setText(c.typed);
    w.manager->controlChanged(c.entry);
    ASSERT_FALSE(w.effect.automated.empty());
    EXPECT_EQ(w.effect.automated.back().first, c.index) << c.typed;
    EXPECT_STREQ(c.entry->getText(), c.shown) << c.typed;
    EXPECT_EQ(c.entry->getViewSize().left, c.left) << c.typed;
    EXPECT_EQ(c.entry->getViewSize().getWidth(), 42);
  }
  // Cleared and confirmed: the filter stays, the entry shows it again.
  const size_t sent = w.effect.automated.size();
  lp->setText("");
  w.manager->controlChanged(lp);
  EXPECT_EQ(w.effect.automated.size(), sent);
  EXPECT_STREQ(lp->getText(), "2k5");
  // The hidden colourings followed, sliders and entries.
  auto* other = static_cast<orvane::StripFiltersEditor*>(w.strip().getView(true, 2));
  EXPECT_STREQ(other->getEntry(orvane::StripFiltersEditor::kLPEntry)->getText(), "2k5");
  EXPECT_FLOAT_EQ(other->findControl(orvane::kLPFreq)->getValue(), w.effect.params[orvane::kLPFreq]);
}

TEST(FiltersStrip, FollowsProcessInEveryView) {
  Window w(kinds[0]);
  auto controlsActive = [&](bool expandedForm, int type, int32_t tag) {
    return orvane::strip::isActive(w.strip().getView(expandedForm, type)->findControl(tag));
  };
  w.effect.params[orvane::kProcess] = 0.f;
  w.manager->setActive(0.f);
  for (int type = 0; type < 3; ++type) {
    for (int32_t tag : {8, 9, 10, 11, 12, 13, 14, 70, 71}) EXPECT_FALSE(controlsActive(true, type, tag)) << tag;
    EXPECT_FALSE(controlsActive(false, type, 8));
    EXPECT_TRUE(controlsActive(true, type, 7));  // the strip can always be collapsed
  }
  // A click on an inactive button changes nothing; once Process is on it
  // reaches the effect.
  w.manager->expand(CPoint(0, 169), 1);
  CControl* hpIn = w.strip().shownView()->findControl(orvane::kHPStat);
  CPoint at = hpIn->getViewSize().getCenter();
  hpIn->localToFrame(at);
  w.frame->platformOnMouseDown(at, kLButton);
  EXPECT_TRUE(w.effect.automated.empty());
  w.effect.params[orvane::kProcess] = 1.f;
  w.manager->setActive(1.f);
  for (int32_t tag : {8, 11, 71}) EXPECT_TRUE(controlsActive(true, 1, tag));
  w.frame->platformOnMouseDown(at, kLButton);
  ASSERT_EQ(w.effect.automated.size(), 1u);
  EXPECT_EQ(w.effect.automated[0], std::make_pair((int32_t)orvane::kHPStat, 0.f));
}

TEST(LabelStrip, KeepsTheCutTextEverywhereAndTakesTheHostsLatency) {
  Window w(kinds[1]);
  w.manager->expand(CPoint(0, 222), 2);
  auto* view = static_cast<orvane::StripLabelEditor*>(w.strip().shownView());
  ASSERT_NE(view->getTapeLabel(), nullptr);
  EXPECT_STREQ(view->getTapeLabel()->getText(), "Master Track");

  std::string typed;
  for (int i = 0; i < 20; ++i) typed += "\xC3\xA9\xC3\xA0\xE2\x82\xAC";  // 7 bytes for 3 characters: 60 in all
  view->getTapeLabel()->setText(typed.c_str());
  w.manager->controlChanged(view->getTapeLabel());
  EXPECT_EQ(w.effect.label, typed.substr(0, 37));
  EXPECT_TRUE(w.effect.automated.empty());  // a notification, not a host parameter
  for (int type = 0; type < 3; ++type)
    EXPECT_EQ(static_cast<orvane::StripLabelEditor*>(w.strip().getView(true, type))->getTapeLabel()->getText(),
              typed.substr(0, 37));

  view->getTapeLabel()->setText("");
  w.manager->controlChanged(view->getTapeLabel());
  EXPECT_EQ(w.effect.label, "");

  // A double-click on the lag digits: 512 samples at 48 kHz read 11 ms.
  w.effect.latency = 512.0 / 48000.0;
  CControl* lag = view->findControl(orvane::kLagTime);
  CPoint at(lag->getViewSize().getCenter().x, lag->getViewSize().top + 20);
  lag->localToFrame(at);
  w.frame->platformOnMouseDown(at, kLButton | kDoubleClick);
  ASSERT_FALSE(w.effect.automated.empty());
  EXPECT_EQ(w.effect.automated.back().first, orvane::kLagTime);
  EXPECT_EQ(orvane::lagMilliseconds(w.effect.params[orvane::kLagTime]), 11);
  EXPECT_EQ(w.strip().getView(true, 0)->findControl(orvane::kLagTime)->getValue(), w.effect.params[orvane::kLagTime]);
}
