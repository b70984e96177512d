// The editor's life inside the effect: made with it, opened and closed any
// number of times, asked for its rectangle, idled by the host.
#include <gtest/gtest.h>

#include "tests/editor/EditorTestSupport.h"

using namespace editor_test;

TEST(EditorLifecycle, LivesFromTheEffectsConstructionUntilItIsDestroyed) {
  EditorFixture f;
  ASSERT_NE(f.editor(), nullptr);
  EXPECT_TRUE(f.effect->getAeffect()->flags & effFlagsHasEditor);
  EXPECT_EQ(f.editor()->getTemplete(), f.effect.get());
  // Made on this thread: OLE for it once, the working directory remembered.
  EXPECT_EQ(f.desktop.oleInits, 1);
  EXPECT_EQ(f.editor()->getCurrentDirectory(), f.desktop.directory);
  ASSERT_TRUE(f.editor()->getBackground()->isLoaded());
  EXPECT_EQ(f.editor()->getBackground()->getWidth(), 586);
  EXPECT_EQ(f.editor()->getBackground()->getHeight(), 261);
  delete f.editor();
  EXPECT_EQ(f.effect->getEditor(), nullptr);
  EXPECT_FALSE(f.effect->getAeffect()->flags & effFlagsHasEditor);
  EXPECT_EQ(f.desktop.oleUninits, 1);
  EXPECT_EQ(f.dispatch(effEditOpen, 0, 0, f.window.handle()), 0);
}

TEST(EditorLifecycle, ReportsTheDefaultRectangleBeforeTheFirstOpenAndTheStripHeightAfterIt) {
  EditorFixture f;
  ERect r = f.rect();
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.right, 586);
  EXPECT_EQ(r.bottom, 195);
  EXPECT_EQ(f.dispatch(effEditGetRect, 0, 0, nullptr), 0);  // nowhere to put it

  f.setParameter(orvane::kStrips, 0.0f);
  ASSERT_TRUE(f.open());
  EXPECT_EQ(f.rect().bottom, 169);
  EXPECT_EQ(f.rect().right, 586);
  EXPECT_EQ(f.frameHeight(), 169);
  ASSERT_EQ(f.host.sizeWindow.size(), 1u);
  EXPECT_EQ(f.host.sizeWindow[0], (std::pair<VstInt32, VstIntPtr>(586, 169)));
  // The host keeps the pointer it was given: it follows later changes.
  ERect* kept = nullptr;
  f.dispatch(effEditGetRect, 0, 0, &kept);
  f.setParameter(orvane::kStrips, 1.0f);
  EXPECT_EQ(kept->bottom, 195);
}

TEST(EditorLifecycle, OpensAndClosesAgainAndAgainRebuildingEverythingFromTheEffect) {
  EditorFixture f;
  EXPECT_FALSE(f.editor()->isOpen());
  f.close();  // closing a closed window does nothing
  for (int round = 0; round < 3; ++round) {
    f.log.clear();
    // Changes while closed are not remembered by the editor: the next
    // opening reads them from the effect.
    f.setParameter(orvane::kMeter, round * 0.5f);
    f.setParameter(orvane::kShowFlt, round == 1 ? 1.0f : 0.0f);
    EXPECT_TRUE(f.log.lines.empty());
    ASSERT_TRUE(f.open());
    EXPECT_TRUE(f.editor()->isOpen());
    EXPECT_TRUE(f.editor()->hasFrame());
    EXPECT_EQ(f.editor()->getCurrentMeter(), round);
    EXPECT_TRUE(f.parts()->fakePanel(round)->isShown());
    EXPECT_EQ(f.rect().bottom, round == 1 ? 235 : 195);
    EXPECT_EQ(f.editor()->getFrame()->getBackground(), f.editor()->getBackground());
    EXPECT_EQ(f.editor()->getKnobMode(), VSTGUI::kLinearMode);
    f.idle();
    f.close();
    EXPECT_FALSE(f.editor()->isOpen());
    EXPECT_FALSE(f.editor()->hasFrame());
    EXPECT_EQ(f.editor()->getFrame(), nullptr);
    EXPECT_EQ(f.editor()->getParentWindow(), nullptr);
    EXPECT_EQ(f.editor()->getPanel(0), nullptr);
    EXPECT_EQ(f.editor()->getLabelStrip(), nullptr);
  }
  // The background outlives every window; only the editor's end releases it.
  EXPECT_EQ(f.editor()->getBackground()->getNbReference(), 1);
}

TEST(EditorLifecycle, BuildsAndTearsDownThePartsInTheirOrder) {
  EditorFixture f;
  f.setParameter(orvane::kMeter, 1.0f);
  ASSERT_TRUE(f.open());
  EXPECT_EQ(f.log.lines, (std::vector<std::string>{
                             "vu.build", "rms.build", "ppm.build",                  //
                             "vu.hide", "rms.hide", "ppm.hide", "ppm.show",         // selectMeter
                             "filters.open", "label.open", "filters.panels", "label.panels",
                             "filters.collapse 0,169 m2", "label.collapse 0,182 m2",  // layoutStrips
                         }));
  EXPECT_EQ(f.parts()->fakeLabel()->panels[2], f.parts()->fakePanel(2));
  f.log.clear();
  f.close();
  EXPECT_EQ(f.log.lines, (std::vector<std::string>{"label.close", "filters.close", "label.delete", "filters.delete",
                                                   "vu.teardown", "rms.teardown", "ppm.teardown", "vu.delete",
                                                   "rms.delete", "ppm.delete"}));
}

TEST(EditorLifecycle, HostsThatForgetToCloseLeaveNothingBehind) {
  auto f = std::make_unique<EditorFixture>();
  ASSERT_TRUE(f->open());
  ASSERT_TRUE(f->open());  // a second open moves the window
  EXPECT_EQ(f->log.count("vu.build"), 2);
  EXPECT_EQ(f->log.count("vu.delete"), 1);
  EXPECT_TRUE(f->editor()->isOpen());
  Log& log = f->log;
  f->effect.reset();  // closed with the window still open
  EXPECT_EQ(log.count("ppm.delete"), 2);
  EXPECT_EQ(log.count("label.close"), 2);
}

#if defined(_WIN32)
TEST(EditorLifecycle, RefusesToOpenWithoutAParentWindow) {
  EditorFixture f;
  EXPECT_EQ(f.dispatch(effEditOpen, 0, 0, nullptr), 0);
  EXPECT_FALSE(f.editor()->isOpen());
  EXPECT_TRUE(f.log.lines.empty());
}

TEST(EditorLifecycle, PutsItsFrameIntoTheHostWindowAndResizesThatWindow) {
  EditorFixture f;
  f.setParameter(orvane::kShowLbl, 1.0f);
  ASSERT_TRUE(f.open());
  HWND child = static_cast<HWND>(f.editor()->getFrame()->getSystemWindow());
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(GetParent(child), f.window.hwnd);
  RECT r;
  GetClientRect(child, &r);
  EXPECT_EQ(r.right - r.left, 586);
  EXPECT_EQ(r.bottom - r.top, 221);
  // The host's window itself was set to the editor's size.
  GetWindowRect(f.window.hwnd, &r);
  EXPECT_EQ(r.right - r.left, 586);
  EXPECT_EQ(r.bottom - r.top, 221);
}
#endif

namespace {

void processBlock(Templete& effect, int frames) {
  std::vector<float> in(frames, 0.0f), left(frames), right(frames);
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {left.data(), right.data()};
  effect.processReplacing(ins, outs, frames);
}

}  // namespace

TEST(EditorLifecycle, StampsBlocksWithTheFrameClockOnlyWhileTheWindowIsOpen) {
  EditorFixture f;
  f.parts()->clock = 7000;
  processBlock(*f.effect, 64);
  // An editor without a frame: the block carries clock 0.
  EXPECT_EQ(f.effect->frameTickSeconds(), 0.0);
  EXPECT_EQ(f.editor()->frameTickCount(), 4294967295u);
  ASSERT_TRUE(f.open());
  processBlock(*f.effect, 64);
  EXPECT_DOUBLE_EQ(f.effect->frameTickSeconds(), 7.0);
  f.close();
  processBlock(*f.effect, 64);
  EXPECT_EQ(f.effect->frameTickSeconds(), 0.0);
}

TEST(EditorLifecycle, IdleRefreshesTheShownPanelWithThePositionInTheLastBlock) {
  EditorFixture f;
  f.idle();  // closed: nothing to do
  f.setParameter(orvane::kMeter, 0.5f);
  ASSERT_TRUE(f.open());
  f.dispatch(effSetSampleRate, 0, 0, nullptr, 1000.0f);
  f.parts()->clock = 5000;
  processBlock(*f.effect, 100);  // 0.1 s, stamped at 5.0 s
  f.log.clear();
  FakePanel* rms = f.parts()->fakePanel(1);
  f.parts()->clock = 5050;
  f.idle();
  EXPECT_EQ(rms->refreshes, 1);
  EXPECT_FLOAT_EQ(rms->lastPosition, 0.5f);
  EXPECT_EQ(f.parts()->fakePanel(0)->refreshes + f.parts()->fakePanel(2)->refreshes, 0);
  EXPECT_EQ(f.log.lines, std::vector<std::string>{"label.idle"});
  // No new blocks: the position keeps growing, without an upper limit.
  f.parts()->clock = 5300;
  f.idle();
  EXPECT_FLOAT_EQ(rms->lastPosition, 3.0f);
  // A clock behind the block's stamp (a wrapped tick count) gives 0.
  f.parts()->clock = 4900;
  f.idle();
  EXPECT_EQ(rms->lastPosition, 0.0f);
  // A meter type none of the panels has: nobody is refreshed.
  f.editor()->selectMeter(2.0f);
  f.idle();
  EXPECT_EQ(rms->refreshes, 3);
}

TEST(MyFrame, AClickTakesTheFocusAndReachesTheControlsWithTheFrameKeptAlive) {
  EditorFixture f;
  ASSERT_TRUE(f.open());
  MyFrame* frame = f.editor()->getMyFrame();
  EXPECT_TRUE(frame->getFocusOnClick());
  // A control wired as the window wires them: the editor listens.
  auto* strips = new COnOffButton(CRect(574, 1, 585, 12), f.editor(), orvane::kStrips, nullptr);
  strips->setValue(f.effect->getParameter(orvane::kStrips));
  frame->addView(strips);
  const int32_t refs = frame->getNbReference();
  CPoint p(578, 5);
  EXPECT_EQ(frame->platformOnMouseDown(p, CButtonState(kLButton)), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  CPoint q(578, 5);
  frame->platformOnMouseUp(q, CButtonState(kLButton));
  EXPECT_EQ(frame->getNbReference(), refs);
  // The press went out to the host as automation and came back as layout.
  EXPECT_EQ(f.effect->getParameter(orvane::kStrips), 0.0f);
  EXPECT_EQ(f.host.automated, std::vector<VstInt32>{orvane::kStrips});
  EXPECT_EQ(f.host.beginEdits, 1);
  EXPECT_EQ(f.host.endEdits, 1);
  EXPECT_EQ(f.rect().bottom, 169);
}
