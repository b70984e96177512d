// Reference counting, container ownership, mouse routing and redrawing of
// the view tree, driven through the frame as the platform would.
#include <gtest/gtest.h>

#include "tests/toolkit/ToolkitTestSupport.h"
#ifndef _WIN32
#include "toolkit/cairo/nativeframe.h"
#endif

using namespace VSTGUI;
using namespace toolkit_test;

namespace {

struct CountedObject : CBaseObject {
  explicit CountedObject(int* deleted) : deleted(deleted) {}
  ~CountedObject() override { ++*deleted; }
  int* deleted;
};

// A frame with two views side by side and a container below holding two
// more: every view logs its events into `log`.
struct Scene {
  Scene() {
    frame = new CFrame(CRect(0, 0, 300, 200), nullptr, &editor);
    a = new ProbeView(CRect(10, 10, 60, 60), &log, "A", &deletions);
    b = new ProbeView(CRect(70, 10, 120, 60), &log, "B", &deletions);
    box = new CViewContainer(CRect(100, 100, 250, 180));
    c = new ProbeView(CRect(10, 10, 50, 50), &log, "C", &deletions);
    d = new ProbeView(CRect(60, 10, 100, 50), &log, "D", &deletions);
    box->addView(c);
    box->addView(d);
    frame->addView(a);
    frame->addView(b);
    frame->addView(box);
  }
  ~Scene() {
    if (frame) frame->close();
  }
  void move(double x, double y, int32_t buttons = 0) {
    CPoint p(x, y);
    frame->platformOnMouseMoved(p, buttons);
  }
  CMouseEventResult down(double x, double y, int32_t buttons = kLButton) {
    CPoint p(x, y);
    return frame->platformOnMouseDown(p, buttons);
  }
  void up(double x, double y, int32_t buttons = kLButton) {
    CPoint p(x, y);
    frame->platformOnMouseUp(p, buttons);
  }
  StubEditor editor;
  std::vector<std::string> log;
  int deletions = 0;
  CFrame* frame;
  ProbeView *a, *b, *c, *d;
  CViewContainer* box;
};

}  // namespace

TEST(CBaseObject, StartsWithOneReferenceAndIsDeletedWhenTheLastOneIsForgotten) {
  int deleted = 0;
  auto* obj = new CountedObject(&deleted);
  EXPECT_EQ(obj->getNbReference(), 1);
  obj->remember();
  EXPECT_EQ(obj->getNbReference(), 2);
  obj->forget();
  EXPECT_EQ(deleted, 0);
  {
    CBaseObjectGuard guard(obj);
    EXPECT_EQ(obj->getNbReference(), 2);
  }
  obj->forget();
  EXPECT_EQ(deleted, 1);
}

TEST(CViewContainer, OwnsWhatIsAddedAndReleasesItOnDestruction) {
  int deleted = 0;
  auto* box = new CViewContainer(CRect(0, 0, 100, 100));
  auto* kept = new ProbeView(CRect(0, 0, 10, 10), nullptr, "kept", &deleted);
  auto* owned = new ProbeView(CRect(0, 0, 10, 10), nullptr, "owned", &deleted);
  box->addView(kept);
  box->addView(owned);
  kept->remember();  // someone else still holds this one
  EXPECT_EQ(owned->getNbReference(), 1) << "adding takes the creator's reference, adds none";
  box->forget();
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(kept->getParentView(), nullptr);
  kept->forget();
  EXPECT_EQ(deleted, 2);
}

TEST(CViewContainer, RemoveViewWithoutForgetHandsTheReferenceBack) {
  int deleted = 0;
  CViewContainer* box = new CViewContainer(CRect(0, 0, 100, 100));
  auto* v = new ProbeView(CRect(0, 0, 10, 10), nullptr, "v", &deleted);
  ASSERT_TRUE(box->addView(v));
  EXPECT_FALSE(box->addView(v)) << "a view has one parent";
  auto* other = new CViewContainer(CRect(0, 0, 10, 10));
  EXPECT_FALSE(other->addView(v)) << "a view has one parent";
  EXPECT_TRUE(box->removeView(v, false));
  EXPECT_FALSE(box->isChild(v));
  EXPECT_EQ(deleted, 0);
  EXPECT_TRUE(other->addView(v));
  box->forget();
  EXPECT_EQ(deleted, 0);
  EXPECT_TRUE(other->removeView(v));
  EXPECT_EQ(deleted, 1);
  EXPECT_FALSE(other->removeView(v)) << "no longer a child";
  EXPECT_FALSE(other->addView(nullptr));
  EXPECT_FALSE(other->addView(other));
  other->forget();
}

TEST(CFrame, CloseReleasesEveryViewOfTheTree) {
  Scene s;
  s.frame->close();
  s.frame = nullptr;
  EXPECT_EQ(s.deletions, 4);
}

TEST(CViewContainer, ChildRectanglesAreRelativeToTheContainer) {
  Scene s;
  CPoint p(5, 6);
  s.c->localToFrame(p);
  EXPECT_EQ(p, CPoint(105, 106));
  s.c->frameToLocal(p);
  EXPECT_EQ(p, CPoint(5, 6));
  EXPECT_EQ(s.frame->getViewAt(CPoint(115, 115), true), s.c);
  EXPECT_EQ(s.frame->getViewAt(CPoint(115, 115), false), s.box);
  EXPECT_EQ(s.frame->getViewAt(CPoint(5, 5), true), nullptr);
  s.down(115, 120);
  ASSERT_FALSE(s.log.empty());
  EXPECT_EQ(s.log.back(), "C down 15,20") << "the press reaches C in C's own parent coordinates";
}

TEST(CViewContainer, PressIsCapturedByTheViewThatTookIt) {
  Scene s;
  s.down(20, 20);
  s.move(90, 30, kLButton);    // over B now, but the press belongs to A
  s.move(200, 150, kLButton);  // even outside A's container
  s.up(90, 30);
  std::vector<std::string> want = {"A down 20,20", "A moved 90,30", "A moved 200,150", "A up 90,30",
                                   "B entered 90,30"};
  EXPECT_EQ(s.log, want);
  s.log.clear();
  s.move(95, 35);
  EXPECT_EQ(s.log, std::vector<std::string>{"B moved 95,35"}) << "after the release, moves go to the view under the mouse";
}

TEST(CViewContainer, PressInsideANestedContainerIsCapturedThere) {
  Scene s;
  s.down(120, 120);
  s.move(175, 120, kLButton);  // over D
  s.up(175, 120);
  std::vector<std::string> want = {"C down 20,20", "C moved 75,20", "C up 75,20", "D entered 75,20"};
  EXPECT_EQ(s.log, want);
}

TEST(CViewContainer, AViewThatWantsNoMoreEventsIsNotCaptured) {
  Scene s;
  s.a->downResult = kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  s.down(20, 20);
  s.move(30, 30, kLButton);
  s.up(30, 30);
  std::vector<std::string> want = {"A down 20,20", "A entered 30,30", "A moved 30,30"};
  EXPECT_EQ(s.log, want);
}

TEST(CViewContainer, ReportsEnteredAndExitedInPairsAcrossNestedContainers) {
  Scene s;
  s.move(20, 20);    // into A
  s.move(30, 30);    // within A
  s.move(115, 115);  // A to C inside the container
  s.move(175, 115);  // C to D
  s.move(5, 195);    // nothing
  CPoint out(400, 400);
  s.move(20, 20);
  s.frame->platformOnMouseExited(out, 0);
  std::vector<std::string> want = {"A entered 20,20", "A moved 20,20", "A moved 30,30", "A exited 115,115",
                                   "C entered 15,15", "C moved 15,15", "C exited 75,15", "D entered 75,15",
                                   "D moved 75,15", "D exited -95,95", "A entered 20,20", "A moved 20,20",
                                   "A exited 400,400"};
  EXPECT_EQ(s.log, want);
}

TEST(CViewContainer, RoutesTheWheelWithShiftToTheViewUnderTheMouse) {
  Scene s;
  EXPECT_TRUE(s.frame->platformOnMouseWheel(CPoint(170, 120), kMouseWheelAxisY, 1.f, kShift));
  EXPECT_TRUE(s.frame->platformOnMouseWheel(CPoint(20, 20), kMouseWheelAxisY, -1.f, 0));
  EXPECT_FALSE(s.frame->platformOnMouseWheel(CPoint(5, 195), kMouseWheelAxisY, 1.f, 0));
  std::vector<std::string> want = {"D wheel+shift up 70,20", "A wheel down 20,20"};
  EXPECT_EQ(s.log, want);
}

TEST(CViewContainer, AMovedContainerTakesItsMouseSensitiveAreaAlong) {
  Scene s;
  s.box->setViewSize(CRect(0, 100, 150, 180));
  s.down(15, 115);
  ASSERT_FALSE(s.log.empty());
  EXPECT_EQ(s.log.back(), "C down 15,15");
  s.c->setMouseableArea(CRect(10, 10, 20, 20));  // a part of C only
  s.c->setViewSize(CRect(20, 10, 60, 50));
  EXPECT_EQ(s.c->getMouseableArea(), CRect(20, 10, 30, 20));
}

TEST(CViewContainer, HiddenOrMouseDisabledViewsAreNotHit) {
  Scene s;
  s.a->setVisible(false);
  EXPECT_EQ(s.down(20, 20), kMouseEventNotHandled);
  s.a->setVisible(true);
  s.a->setMouseEnabled(false);
  EXPECT_EQ(s.down(20, 20), kMouseEventNotHandled);
  EXPECT_TRUE(s.log.empty());
}

TEST(CViewContainer, AnUnhandledPressStopsAtAnOpaqueViewButPassesATransparentOne) {
  Scene s;
  auto* cover = new ProbeView(CRect(0, 0, 130, 70), &s.log, "cover");
  cover->downResult = kMouseEventNotHandled;
  s.frame->addView(cover);
  EXPECT_EQ(s.down(20, 20), kMouseEventNotHandled);
  EXPECT_EQ(s.log, std::vector<std::string>{"cover down 20,20"});
  s.log.clear();
  cover->setTransparency(true);
  EXPECT_EQ(s.down(20, 20), kMouseEventHandled);
  std::vector<std::string> want = {"cover down 20,20", "A down 20,20"};
  EXPECT_EQ(s.log, want);
}

TEST(CViewContainer, ForgetsTheCapturedViewWhenItIsRemovedMidGesture) {
  Scene s;
  s.down(20, 20);
  s.frame->removeView(s.a);
  s.move(25, 25, kLButton);
  s.up(25, 25);
  EXPECT_EQ(s.deletions, 1);
  EXPECT_EQ(s.log, std::vector<std::string>{"A down 20,20"});
}

TEST(CControl, ClampsItsValueAndReadsNaNAsTheMinimum) {
  CControl c(CRect(0, 0, 10, 10));
  c.setMin(-1.f);
  c.setMax(2.f);
  c.setValue(5.f);
  EXPECT_EQ(c.getValue(), 2.f);
  c.setValue(-7.f);
  EXPECT_EQ(c.getValue(), -1.f);
  c.setValue(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(c.getValue(), -1.f);
  c.setValueNormalized(0.5f);
  EXPECT_FLOAT_EQ(c.getValue(), 0.5f);
  EXPECT_FLOAT_EQ(c.getValueNormalized(), 0.5f);
}

TEST(CControl, IsDirtyExactlyWhenItsValueDiffersFromTheOneDrawn) {
  CControl c(CRect(0, 0, 10, 10));
  c.setValue(0.3f);
  c.setDirty(false);
  EXPECT_FALSE(c.isDirty());
  c.setValue(0.3f);
  EXPECT_FALSE(c.isDirty());
  c.setValue(0.4f);
  EXPECT_TRUE(c.isDirty());
  c.setDirty(false);
  EXPECT_FALSE(c.isDirty());
  c.setDirty(true);
  EXPECT_TRUE(c.isDirty());
}

TEST(CControl, ReportsTheOutermostBeginAndEndEditToListenerAndEditor) {
  Scene s;
  RecordingListener listener;
  auto* c = new CControl(CRect(0, 0, 10, 10), &listener, 42);
  s.frame->addView(c);
  c->beginEdit();
  c->beginEdit();
  EXPECT_TRUE(c->isEditing());
  c->endEdit();
  EXPECT_TRUE(c->isEditing());
  c->endEdit();
  c->endEdit();  // unbalanced: ignored
  EXPECT_FALSE(c->isEditing());
  EXPECT_EQ(listener.sequence(), "begin end");
  EXPECT_EQ(s.editor.begins, std::vector<int32_t>{42});
  EXPECT_EQ(s.editor.ends, std::vector<int32_t>{42});
}

TEST(CFrame, AsksItsEditorForKnobModeAndTicks) {
  StubEditor editor;
  CFrame* frame = new CFrame(CRect(0, 0, 10, 10), nullptr, &editor);
  EXPECT_EQ(frame->getKnobMode(), kCircularMode) << "no preference means circular";
  editor.knobMode = kLinearMode;
  EXPECT_EQ(frame->getKnobMode(), kLinearMode);
  editor.ticks = 123456;
  EXPECT_EQ(frame->getTicks(), 123456u);
  frame->close();
}

#ifndef _WIN32
TEST(CFrame, IdleRepaintsOnlyTheViewsThatBecameDirty) {
  Scene s;
  auto* pf = static_cast<NativePlatformFrame*>(s.frame->getPlatformFrame());
  ASSERT_NE(pf, nullptr);
  s.frame->idle();  // first paint: everything
  EXPECT_EQ(pf->getLastPaintRect(), CRect(0, 0, 300, 200));
  int aDraws = s.a->draws, cDraws = s.c->draws, dDraws = s.d->draws;
  EXPECT_EQ(aDraws, 1);

  s.frame->idle();
  EXPECT_EQ(pf->getPaintCount(), 1) << "nothing dirty, nothing painted";

  s.c->setDirty(true);
  s.frame->idle();
  EXPECT_EQ(pf->getLastPaintRect(), CRect(110, 110, 150, 150)) << "C's rectangle in frame coordinates";
  EXPECT_EQ(s.c->draws, cDraws + 1);
  EXPECT_EQ(s.d->draws, dDraws);
  EXPECT_EQ(s.a->draws, aDraws);
  EXPECT_FALSE(s.frame->isDirty());

  s.d->setVisible(false);
  s.frame->idle();
  EXPECT_EQ(pf->getLastPaintRect(), CRect(160, 110, 200, 150)) << "hiding a view repaints where it was";
  EXPECT_EQ(s.d->draws, dDraws);
}
#endif
