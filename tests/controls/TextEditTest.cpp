// The text fields and the tape label worked as a user does, with the
// native build's stand-in for the system's edit box.
#include <gtest/gtest.h>

#include "tests/controls/ControlsTestSupport.h"

#ifndef _WIN32

using namespace VSTGUI;
using namespace controls_test;

namespace {

const char* const kUnchecked = nullptr;

struct EditRow {
  const char* what;
  CZELTextEdit* (*make)(Bench&);
  const char* script;
  const char* text;
  const char* calls;
  const char* hint;
  bool boxOpen;
};

CMyTextEditAH* trimValue(Bench& b, int active, int32_t style = 0) {
  auto* c = b.add(new CMyTextEditAH(CRect(20, 10, 68, 25), &b.listener, 68, "+0.0 dB", nullptr, style));
  c->setActive(active);
  return c;
}

bool dbToText(float value, char text[256], void*) {
  std::snprintf(text, 256, "%+.1f dB", value * 40 - 20);
  return true;
}

}  // namespace

TEST(TextEdits, BehaveAsTheirTable) {
  const EditRow rows[] = {
      {"inactive: a click opens nothing, the hint says why", [](Bench& b) -> CZELTextEdit* { return trimValue(b, 0); },
       "enter 5,5; click 5,5", "+0.0 dB", "", "Click PROCESS to activate the Trim", false},
      {"active: entering empties the hint line, a click opens the box",
       [](Bench& b) -> CZELTextEdit* {
         b.hint->setText("old");
         return trimValue(b, 1);
       },
       "enter 5,5; click 5,5", "+0.0 dB", "b", "", true},
      {"Return takes the typed text and tells the listener", [](Bench& b) -> CZELTextEdit* { return trimValue(b, 1); },
       "click 5,5; type 6; return", "6", "b 68=0 e", kUnchecked, false},
      {"a click elsewhere ends the edit too", [](Bench& b) -> CZELTextEdit* { return trimValue(b, 1); },
       "click 5,5; type -3; elsewhere", "-3", "b 68=0 e", kUnchecked, false},
      {"an unchanged text is not reported", [](Bench& b) -> CZELTextEdit* { return trimValue(b, 1); },
       "click 5,5; return", "+0.0 dB", "b e", kUnchecked, false},
      {"double-click style: one click is not enough",
       [](Bench& b) -> CZELTextEdit* { return trimValue(b, 1, kDoubleClickStyle); }, "click 5,5", "+0.0 dB", "",
       kUnchecked, false},
      {"double-click style: a double-click opens",
       [](Bench& b) -> CZELTextEdit* { return trimValue(b, 1, kDoubleClickStyle); }, "click 5,5 dbl", "+0.0 dB", "b",
       kUnchecked, true},
      {"a field that moved takes clicks where it is now",
       [](Bench& b) -> CZELTextEdit* {
         auto* c = trimValue(b, 1);
         c->setViewSize(CRect(120, 10, 168, 25));
         return c;
       },
       "click 5,5", "+0.0 dB", "b", kUnchecked, true},
  };
  for (const EditRow& row : rows) {
    Bench b;
    CZELTextEdit* c = row.make(b);
    b.listener.calls.clear();
    b.run(row.script);
    std::string where = std::string(row.what) + " [" + row.script + "]";
    EXPECT_STREQ(c->getText(), row.text) << where;
    EXPECT_EQ(b.listener.calls, row.calls) << where;
    if (row.hint) {
      EXPECT_EQ(b.hintText(), row.hint) << where;
    }
    EXPECT_EQ(b.boxOpen(), row.boxOpen) << where;
    EXPECT_EQ(c->isEditing(), row.boxOpen) << where;
  }
}

TEST(TextEdits, ShowTheirValueThroughTheValueToTextFunction) {
  Bench b;
  CMyTextEditAH* c = trimValue(b, 1);
  c->setValueToStringProc(dbToText);
  c->setValue(0.65f);
  EXPECT_STREQ(c->getText(), "+6.0 dB");
  c->setValue(NAN);
  EXPECT_STREQ(c->getText(), "-20.0 dB");
}

namespace {

// The pen's path as the product describes it: the counter values of each
// move, written out from that description (not from the control's table).
struct PenRow {
  std::vector<int> counters;  // a pair {a, -b} stands for a to b
  CCoord dx, dy;
};
const PenRow kPenPath[] = {
    {{4, 6, 8, 10, 25, 26, 28, 29, 31, 35, 42, 45, 46, 48}, 0, 1},
    {{5, 7, 9, 11, 27, 30, 32, 34, 41, 43}, 1, 1},
    {{12, 33}, 1, 0},
    {{13, 15, 18, 36, 38, 50}, 1, -1},
    {{14, 16, 17, 19, 20, 21, 37, 39, 40}, 0, -1},
    {{44, 47}, 1, -2},
    {{49}, 0, 2},
    {{51, -59, 61, -66}, -1, 0},
    {{60, 67, 68, 70, 71}, -1, -1},
    {{69}, -1, -2},
    {{1, 2, 3, 22, 23, 24, 72, -94}, 0, 0},
};

// The move of the step that brings the counter to n; counts how many rows
// name n, so that the table itself is checked to name each step once.
CPoint penMoveOf(int n, int& rows) {
  CPoint move;
  rows = 0;
  for (const PenRow& r : kPenPath)
    for (size_t i = 0; i < r.counters.size(); ++i) {
      const int from = r.counters[i];
      const int to = i + 1 < r.counters.size() && r.counters[i + 1] < 0 ? -r.counters[++i] : from;
      if (n >= from && n <= to) {
        move = CPoint(r.dx, r.dy);
        ++rows;
      }
    }
  return move;
}

}  // namespace

TEST(TapeLabel, WritesWithThePenWhileTheUserTypes) {
  Bench b;
  CBitmap* back = makeGreyStrip(1, 586, 39);
  auto* label = b.add(new CZELTapeLabel(CRect(17, 1, 523, 35), &b.listener, 69, back));
  back->forget();
  label->setText("Master Track");
  const CRect home = label->getPenHome();
  EXPECT_EQ(home.right, 523 - 20);
  EXPECT_EQ(home.top, 1);

  b.run("tick 100");
  label->animate();
  EXPECT_EQ(label->getPenCounter(), 0) << "no animation before the edit";

  b.run("click 50,10");
  ASSERT_TRUE(label->isEditing());
  label->animate();
  EXPECT_EQ(label->getPenCounter(), 0) << "at most one step per 30 ms";
  CRect expected = home;
  for (int n = 1; n < CZELTapeLabel::kPenSteps; ++n) {
    b.run("tick 30");
    label->animate();
    label->animate();  // a second idle within the same 30 ms does nothing
    int rows = 0;
    expected.offset(penMoveOf(n, rows));
    ASSERT_EQ(rows, 1) << "the path names step " << n << " once";
    ASSERT_EQ(label->getPenCounter(), n);
    ASSERT_EQ(label->getPenRect(), expected) << "step " << n;
  }
  EXPECT_NE(label->getPenRect(), home);
  b.run("tick 45");
  label->animate();
  EXPECT_EQ(label->getPenCounter(), 0);
  EXPECT_EQ(label->getPenRect(), home) << "home again after 95 steps";

  b.run("type Bass; return");
  EXPECT_FALSE(label->isEditing());
  EXPECT_STREQ(label->getText(), "Bass");
  EXPECT_EQ(b.listener.calls, "b 69=0 e");
  b.run("tick 30");
  label->animate();
  EXPECT_EQ(label->getPenCounter(), 0);
}

#endif
