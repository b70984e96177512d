// The edit field the toolkit draws itself on Linux, as the box of a real
// text edit in a frame: keys, mouse and the end of an edit as the Windows box
// gives them, and what it draws.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/cairo/drawntextedit.h"

using namespace VSTGUI;
using Key = DrawnTextEdit::Key;

namespace {

struct FakeHost : DrawnTextEdit::Host {
  void drawnTextEditInvalid(const CRect&) override {}
  void drawnTextEditEnded(DrawnTextEdit*) override { ++ended; }
  int ended = 0;
};

// A text edit whose box is the field, recording the keys offered to it.
struct FieldEdit : CTextEdit {
  using CTextEdit::CTextEdit;
  void takeFocus() override {
    beginEdit();
    platformControl = new DrawnTextEdit(this, host);
  }
  int32_t onKeyDown(VstKeyCode& key) override {
    offered += key.virt == VKEY_ESCAPE ? "escape" : key.virt == VKEY_TAB ? "tab" : "?";
    if (key.modifier & MODIFIER_SHIFT) offered += "+shift";
    return CTextEdit::onKeyDown(key);
  }
  DrawnTextEdit* field() const { return static_cast<DrawnTextEdit*>(platformControl); }
  DrawnTextEdit::Host* host = nullptr;
  std::string offered;
};

// A frame with the text edit at (20, 10, 120, 26), being edited.
struct Bench {
  explicit Bench(const std::string& text, CHoriTxtAlign align = kLeftText)
      : frame(new CFrame(CRect(0, 0, 160, 40), nullptr, &editor)),
        control(new FieldEdit(CRect(20, 10, 120, 26), &listener, 7, text.c_str())) {
    control->host = &host;
    control->setHoriAlign(align);
    control->setFontColor(CColor(200, 0, 0, 255));
    frame->addView(control);
    frame->setFocusView(control);
  }
  ~Bench() { close(); }
  void close() {
    if (frame) frame->close();
    frame = nullptr;
  }
  toolkit_test::StubEditor editor;
  toolkit_test::RecordingListener listener;
  FakeHost host;
  CFrame* frame;
  FieldEdit* control;
};

// One user action: a key with modifiers and typed text, or focus loss.
struct Step {
  Key key;
  uint32_t modifiers;
  const char* utf8;
};
constexpr Key kLoseFocus = Key::Other;
Step K(Key k, uint32_t m = 0) { return {k, m, nullptr}; }
Step T(const char* typed) { return {Key::Character, 0, typed}; }

const uint32_t kShiftKey = DrawnTextEdit::kShift, kCtrlKey = DrawnTextEdit::kControl, kAltKey = DrawnTextEdit::kAlt;
const std::string k254(254, 'a');
const char* const kSmiley = "\xF0\x9F\x98\x80";  // beyond U+FFFF: two UTF-16 units
const std::string kOverLimit = std::string(253, 'b') + kSmiley + "cd";

}  // namespace

TEST(DrawnTextEdit, KeysEditTheTextAndEndTheEditAsTheWindowsBoxDoes) {
  struct Case {
    const char* name;
    std::string initial;
    std::vector<Step> steps;
    std::string text;  // the field's while open, else the control's
    size_t selStart, selEnd, caret;
    const char* calls;
    const char* offered;
  };
  const Case cases[] = {
      {"opens with all selected", "200", {}, "200", 0, 3, 3, "begin", ""},
      {"typing replaces, Return commits", "200", {T("1"), T("k"), T("5"), K(Key::Return)}, "1k5", 0, 0, 0,
       "begin changed end (Return)", ""},
      {"keypad Enter commits", "200", {T("7"), K(Key::Enter)}, "7", 0, 0, 0, "begin changed end (Return)", ""},
      {"focus loss commits", "200", {K(Key::End), K(Key::Backspace), K(kLoseFocus)}, "20", 0, 0, 0,
       "begin changed end", ""},
      {"Escape puts the old text back", "200", {T("9"), K(Key::Escape)}, "200", 0, 0, 0, "begin end", "escape"},
      {"Tab is offered with Shift", "200", {K(Key::Tab, kShiftKey)}, "200", 0, 3, 3, "begin", "tab+shift"},
      {"Backspace takes a whole character", "Gr\xC3\xBC", {K(Key::End), K(Key::Backspace)}, "Gr", 2, 2, 2, "begin", ""},
      {"Delete takes a whole character", "\xC3\xBC" "b", {K(Key::Home), K(Key::Delete)}, "b", 0, 0, 0, "begin", ""},
      {"Left collapses the selection", "200", {K(Key::Left)}, "200", 0, 0, 0, "begin", ""},
      {"Shift+Left selects, typing replaces it", "ill", {K(Key::End), K(Key::Left, kShiftKey), K(Key::Left, kShiftKey),
       T("W")}, "iW", 2, 2, 2, "begin", ""},
      {"Home, then Shift+End", "200", {K(Key::Home), K(Key::Right), K(Key::End, kShiftKey)}, "200", 1, 3, 3, "begin", ""},
      {"Control+Right steps a word", "ab cd", {K(Key::Home), K(Key::Right, kCtrlKey)}, "ab cd", 3, 3, 3, "begin", ""},
      {"Control+A selects all", "200", {K(Key::Home), {Key::Character, kCtrlKey, "a"}}, "200", 0, 3, 3, "begin", ""},
      {"Control or Alt alone type nothing, AltGr does", "",
       {{Key::Character, kCtrlKey, "x"}, {Key::Character, kAltKey, "y"}, {Key::Character, kCtrlKey | kAltKey, "@"}},
       "@", 1, 1, 1, "begin", ""},
      {"an input method's characters, control characters left out", "", {T("a\t\xE3\x83\x89\x7f"), T("\r")},
       "a\xE3\x83\x89", 4, 4, 4, "begin", ""},
      {"a character beyond U+FFFF counts two", k254, {K(Key::End), T(kSmiley), T("\xC3\xA9")}, k254 + "\xC3\xA9", 256,
       256, 256, "begin", ""},
      {"the limit keeps whole characters", "", {T(kOverLimit.c_str())}, std::string(253, 'b') + kSmiley, 257, 257, 257,
       "begin", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bench b(c.initial);
    for (const Step& s : c.steps) {
      DrawnTextEdit* field = b.control->field();
      ASSERT_NE(field, nullptr) << "a step after the edit ended";
      if (s.key == kLoseFocus)
        field->loseFocus();
      else
        field->keyDown(s.key, s.modifiers, s.utf8);
    }
    EXPECT_EQ(b.listener.sequence() + (b.control->bWasReturnPressed ? " (Return)" : ""), c.calls);
    EXPECT_EQ(b.control->offered, c.offered);
    EXPECT_EQ(b.host.ended, b.listener.count("end")) << "the field goes when the edit ends";
    if (DrawnTextEdit* field = b.control->field()) {
      EXPECT_EQ(field->text(), c.text);
      EXPECT_EQ(field->selectionStart(), c.selStart);
      EXPECT_EQ(field->selectionEnd(), c.selEnd);
      EXPECT_EQ(field->caret(), c.caret);
      // The caret shows where it would in the same text opened afresh.
      Bench same(field->text());
      DrawnTextEdit* fresh = same.control->field();
      fresh->keyDown(Key::Home, 0, nullptr);
      for (size_t i = 0; i < field->text().size() && fresh->caret() < field->caret(); ++i)
        fresh->keyDown(Key::Right, 0, nullptr);
      EXPECT_EQ(fresh->getCaretRect(), field->getCaretRect());
    } else {
      EXPECT_EQ(b.control->getText(), c.text);
    }
    b.close();  // with the field still open, too
    EXPECT_EQ(b.host.ended, 1);
  }
}

TEST(DrawnTextEdit, TheMousePlacesTheCaretAndDragsASelection) {
  Bench b("200");
  DrawnTextEdit& e = *b.control->field();
  e.mouseDown(CPoint(0, 18), false);  // left of the field: the start
  EXPECT_EQ(e.selectionEnd(), 0u);
  e.mouseMoved(CPoint(200, 18));  // dragged beyond the end
  e.mouseUp();
  e.mouseMoved(CPoint(0, 18));  // no button: nothing
  EXPECT_EQ(e.selectionStart(), 0u);
  EXPECT_EQ(e.selectionEnd(), 3u);
  e.mouseDown(CPoint(e.getCaretRect().left, 18), false);
  e.mouseDown(CPoint(0, 18), true);  // Shift extends from where it was
  EXPECT_EQ(e.selectionEnd(), 3u);
  EXPECT_EQ(e.caret(), 0u);
}

// Short text lines up as the control's does; text wider than the field
// scrolls so that the caret stays inside it, where a click finds it.
TEST(DrawnTextEdit, TheCaretStaysInsideTheFieldForEachAlignment) {
  for (const CHoriTxtAlign align : {kLeftText, kCenterText, kRightText}) {
    for (const std::string& text : {std::string("200"), std::string(60, 'W')}) {
      SCOPED_TRACE(std::to_string(align) + " " + text);
      Bench b(text, align);
      DrawnTextEdit& e = *b.control->field();
      const CRect field = e.getRect();
      const bool wide = text.size() > 3;
      e.keyDown(Key::Home, 0, nullptr);
      const CRect home = e.getCaretRect();
      e.keyDown(Key::End, 0, nullptr);
      const CRect end = e.getCaretRect();
      EXPECT_GE(home.left, field.left);
      EXPECT_LE(end.right, field.right);
      EXPECT_EQ(home.left == field.left, wide || align == kLeftText);
      EXPECT_EQ(end.right == field.right, wide || align == kRightText);
      if (!wide && align == kCenterText) {
        EXPECT_NEAR(home.left - field.left, field.right - end.right, 1.5);
      }
      e.mouseDown(CPoint(end.left, 18), false);
      EXPECT_EQ(e.caret(), text.size());
      e.keyDown(Key::Home, 0, nullptr);
      e.mouseDown(CPoint(home.left, 18), false);
      EXPECT_EQ(e.caret(), 0u);
      e.mouseUp();
      if (wide) {
        // Deleting at the end of scrolled text brings back what was hidden.
        e.keyDown(Key::End, 0, nullptr);
        for (int i = 0; i < 10; ++i) e.keyDown(Key::Backspace, 0, nullptr);
        EXPECT_EQ(e.getCaretRect().right, field.right);
      }
    }
  }
}

// Selection, text and caret change pixels inside the field and none outside.
TEST(DrawnTextEdit, DrawsOnlyInsideItsRectangle) {
  Bench b("200");
  DrawnTextEdit& e = *b.control->field();
  auto render = [&](bool withField) {
    COffscreenContext* c = COffscreenContext::create(nullptr, 160, 40);
    c->beginDraw();
    c->setFillColor(CColor(230, 230, 230, 255));
    c->drawRect(CRect(0, 0, 160, 40), kDrawFilled);
    if (withField) e.draw(c);
    c->endDraw();
    std::vector<uint8_t> px;
    c->getBitmap()->copyPixels(px);
    c->forget();
    return px;
  };
  const std::vector<uint8_t> blank = render(false);
  const CRect field = e.getRect();
  std::vector<std::vector<uint8_t>> shots;
  for (Key k : {Key::Other, Key::End, Key::Home, Key::End}) {  // selected, caret after, before; scrolled
    if (shots.size() == 3) e.setText(std::string(60, 'W').c_str());
    e.keyDown(k, 0, nullptr);
    shots.push_back(render(true));
  }
  for (size_t s = 0; s < shots.size(); ++s) {
    SCOPED_TRACE(s);
    int inside = 0, outside = 0, selection = 0;
    for (size_t i = 0; i < blank.size(); i += 4) {
      const CPoint p(i / 4 % 160 + 0.5, i / 4 / 160 + 0.5);
      const bool differs = !std::equal(&blank[i], &blank[i] + 4, &shots[s][i]);
      (field.pointInside(p) ? inside : outside) += differs;
      selection += shots[s][i] == 215 && shots[s][i + 1] == 120 && shots[s][i + 2] == 0;  // BGRA
    }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(selection > 100, s == 0) << "the selection's highlight";
    if (s > 0) {
      EXPECT_NE(shots[s], shots[s - 1]) << "the caret moved";
    }
  }
}

#endif
