// The edit field the toolkit draws itself on Linux: keys, mouse and the end
// of an edit as the Windows box gives them, and what it draws.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/cairo/drawntextedit.h"
#include "toolkit/vstgui.h"

using namespace VSTGUI;
using Key = DrawnTextEdit::Key;

namespace {

// A control as CTextEdit is one: it owns the field, takes its text when the
// edit ends and lets it go; Escape puts the old text back and ends too.
struct FakeControl : IPlatformTextEditCallback {
  std::string text = "200";
  CRect size{20, 10, 120, 26};
  CHoriTxtAlign align = kLeftText;
  CColor fontColor{200, 0, 0, 255};
  CFontDesc font{"Arial", 12};
  DrawnTextEdit* edit = nullptr;
  std::string outcome, committed, offered;

  CColor platformGetBackColor() const override { return kWhiteCColor; }
  CColor platformGetFontColor() const override { return fontColor; }
  CFontRef platformGetFont() const override { return const_cast<CFontDesc*>(&font); }
  CHoriTxtAlign platformGetHoriTxtAlign() const override { return align; }
  UTF8StringPtr platformGetText() const override { return text.c_str(); }
  CRect platformGetSize() const override { return size; }
  CRect platformGetVisibleSize() const override { return size; }
  void platformLooseFocus(bool returnPressed) override { end(returnPressed ? "return" : "focus lost"); }
  bool platformOnKeyDown(const VstKeyCode& key) override {
    offered += key.virt == VKEY_ESCAPE ? "escape" : key.virt == VKEY_TAB ? "tab" : "?";
    if (key.modifier & MODIFIER_SHIFT) offered += "+shift";
    if (key.virt != VKEY_ESCAPE) return false;
    edit->setText(text.c_str());
    end("escape");
    return true;
  }
  void end(const char* how) {
    char buffer[1024];
    ASSERT_TRUE(edit->getText(buffer, sizeof buffer));
    committed = buffer;
    outcome = how;
    DrawnTextEdit* e = edit;
    edit = nullptr;
    e->forget();
  }
};

struct FakeHost : DrawnTextEdit::Host {
  void drawnTextEditInvalid(const CRect& r) override { invalid.push_back(r); }
  void drawnTextEditEnded(DrawnTextEdit*) override { ++ended; }
  std::vector<CRect> invalid;
  int ended = 0;
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

const uint32_t kShiftKey = DrawnTextEdit::kShift, kCtrlKey = DrawnTextEdit::kControl, kAltGr = kCtrlKey | DrawnTextEdit::kAlt;
const std::string k254(254, 'a');
const char* const kSmiley = "\xF0\x9F\x98\x80";  // beyond U+FFFF: two UTF-16 units
const std::string kOverLimit = std::string(253, 'b') + kSmiley + "cd";

}  // namespace

TEST(DrawnTextEdit, KeysEditTheTextAndEndTheEditAsTheWindowsBoxDoes) {
  struct Case {
    const char* name;
    std::string initial;
    std::vector<Step> steps;
    std::string text;  // while open; after the end: what the control took
    size_t selStart, selEnd, caret;
    const char* outcome;
    const char* offered;
  };
  const Case cases[] = {
      {"opens with all selected", "200", {}, "200", 0, 3, 3, "", ""},
      {"typing replaces, Return commits", "200", {T("1"), T("k"), T("5"), K(Key::Return)}, "1k5", 0, 0, 0, "return", ""},
      {"keypad Enter commits", "200", {T("7"), K(Key::Enter)}, "7", 0, 0, 0, "return", ""},
      {"focus loss commits", "200", {T("x"), K(kLoseFocus)}, "x", 0, 0, 0, "focus lost", ""},
      {"Escape restores through the control", "200", {T("9"), K(Key::Escape)}, "200", 0, 0, 0, "escape", "escape"},
      {"Tab is offered with Shift", "200", {K(Key::Tab, kShiftKey)}, "200", 0, 3, 3, "", "tab+shift"},
      {"Backspace takes a whole character", "Gr\xC3\xBC", {K(Key::End), K(Key::Backspace)}, "Gr", 2, 2, 2, "", ""},
      {"Delete takes a whole character", "\xC3\xBC" "b", {K(Key::Home), K(Key::Delete)}, "b", 0, 0, 0, "", ""},
      {"Left steps over a character", "a\xE2\x82\xAC", {K(Key::End), K(Key::Left)}, "a\xE2\x82\xAC", 1, 1, 1, "", ""},
      {"Left collapses the selection", "200", {K(Key::Left)}, "200", 0, 0, 0, "", ""},
      {"Shift+Left selects, typing replaces it", "ill", {K(Key::End), K(Key::Left, kShiftKey), K(Key::Left, kShiftKey), T("W")},
       "iW", 2, 2, 2, "", ""},
      {"Home, then Shift+End", "200", {K(Key::Home), K(Key::Right), K(Key::End, kShiftKey)}, "200", 1, 3, 3, "", ""},
      {"Control+Right steps a word", "ab cd", {K(Key::Home), K(Key::Right, kCtrlKey)}, "ab cd", 3, 3, 3, "", ""},
      {"Control+A selects all", "200", {K(Key::Home), {Key::Character, kCtrlKey, "a"}}, "200", 0, 3, 3, "", ""},
      {"Control or Alt alone type nothing, AltGr does", "",
       {{Key::Character, kCtrlKey, "x"}, {Key::Character, DrawnTextEdit::kAlt, "y"}, {Key::Character, kAltGr, "@"}},
       "@", 1, 1, 1, "", ""},
      {"control characters are not typed", "", {T("a\tb\x7f"), T("\r")}, "ab", 2, 2, 2, "", ""},
      {"an input method's several characters", "", {T("\xE3\x83\x89\xE3\x83\xAC")}, "\xE3\x83\x89\xE3\x83\xAC", 6, 6, 6,
       "", ""},
      {"a character beyond U+FFFF counts two", k254, {K(Key::End), T(kSmiley), T("\xC3\xA9")}, k254 + "\xC3\xA9", 256,
       256, 256, "", ""},
      {"the limit keeps whole characters", "", {T(kOverLimit.c_str())},
       std::string(253, 'b') + kSmiley, 257, 257, 257, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeControl control;
    FakeHost host;
    control.text = c.initial;
    control.edit = new DrawnTextEdit(&control, &host);
    for (const Step& s : c.steps) {
      ASSERT_NE(control.edit, nullptr) << "a step after the edit ended";
      if (s.key == kLoseFocus)
        control.edit->loseFocus();
      else
        control.edit->keyDown(s.key, s.modifiers, s.utf8);
    }
    EXPECT_EQ(control.outcome, c.outcome);
    EXPECT_EQ(control.offered, c.offered);
    if (control.edit) {
      EXPECT_EQ(control.edit->text(), c.text);
      EXPECT_EQ(control.edit->selectionStart(), c.selStart);
      EXPECT_EQ(control.edit->selectionEnd(), c.selEnd);
      EXPECT_EQ(control.edit->caret(), c.caret);
      EXPECT_EQ(host.ended, 0);
      // The caret shows where it would in the same text opened afresh.
      FakeControl same;
      same.text = c.text;
      DrawnTextEdit fresh(&same, nullptr);
      fresh.keyDown(Key::Home, 0, nullptr);
      while (fresh.caret() < control.edit->caret()) fresh.keyDown(Key::Right, 0, nullptr);
      EXPECT_EQ(fresh.getCaretRect(), control.edit->getCaretRect());
      control.edit->forget();
    } else {
      EXPECT_EQ(control.committed, c.text);
    }
    EXPECT_EQ(host.ended, 1);
  }
}

// The toolkit's own text edit with the field as its box: the edit ends as
// the control ends it, and the field goes with it.
TEST(DrawnTextEdit, EndsATextEditAsTheControlEndsIt) {
  struct FieldEdit : CTextEdit {
    using CTextEdit::CTextEdit;
    void takeFocus() override {
      beginEdit();
      platformControl = new DrawnTextEdit(this, host);
    }
    DrawnTextEdit::Host* host = nullptr;
  };
  struct Case {
    std::vector<Step> steps;
    const char* text;
    const char* calls;
  };
  const Case cases[] = {
      {{T("1"), T("k"), T("5"), K(Key::Return)}, "1k5", "begin changed end"},
      {{T("1"), K(Key::Escape)}, "200", "begin end"},
      {{K(Key::End), K(Key::Backspace), K(kLoseFocus)}, "20", "begin changed end"},
      {{T("1")}, "200", "begin"},  // the frame closes with the field open
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    toolkit_test::StubEditor editor;
    toolkit_test::RecordingListener listener;
    FakeHost host;
    auto* frame = new CFrame(CRect(0, 0, 200, 100), nullptr, &editor);
    auto* control = new FieldEdit(CRect(20, 10, 120, 26), &listener, 7, "200");
    control->host = &host;
    frame->addView(control);
    frame->setFocusView(control);
    for (const Step& s : c.steps) {
      auto* field = static_cast<DrawnTextEdit*>(control->getPlatformTextEdit());
      ASSERT_NE(field, nullptr);
      if (s.key == kLoseFocus)
        field->loseFocus();
      else
        EXPECT_TRUE(field->keyDown(s.key, s.modifiers, s.utf8));
    }
    EXPECT_STREQ(control->getText(), c.text);
    EXPECT_EQ(listener.sequence(), c.calls);
    EXPECT_EQ(host.ended, listener.count("end"));
    frame->close();
    EXPECT_EQ(host.ended, 1);
  }
}

TEST(DrawnTextEdit, TheMousePlacesTheCaretAndDragsASelection) {
  FakeControl control;
  FakeHost host;
  control.edit = new DrawnTextEdit(&control, &host);
  DrawnTextEdit& e = *control.edit;
  e.mouseDown(CPoint(0, 18), false);  // left of the field: the start
  EXPECT_EQ(e.caret(), 0u);
  EXPECT_EQ(e.selectionEnd(), 0u);
  e.mouseMoved(CPoint(200, 18));  // dragged beyond the end
  e.mouseUp();
  EXPECT_EQ(e.selectionStart(), 0u);
  EXPECT_EQ(e.selectionEnd(), 3u);
  e.mouseMoved(CPoint(0, 18));  // no button: nothing
  EXPECT_EQ(e.selectionEnd(), 3u);
  e.mouseDown(CPoint(e.getCaretRect().left, 18), false);
  e.mouseDown(CPoint(0, 18), true);  // Shift extends from where it was
  EXPECT_EQ(e.selectionStart(), 0u);
  EXPECT_EQ(e.selectionEnd(), 3u);
  EXPECT_EQ(e.caret(), 0u);
  e.forget();
}

// Short text lines up as the control does; text wider than the field
// scrolls so the caret at either end stays inside it.
TEST(DrawnTextEdit, TheCaretStaysInsideTheFieldForEachAlignment) {
  for (const CHoriTxtAlign align : {kLeftText, kCenterText, kRightText}) {
    for (const std::string& text : {std::string("200"), std::string(60, 'W')}) {
      SCOPED_TRACE(std::to_string(align) + " " + text);
      FakeControl control;
      FakeHost host;
      control.align = align;
      control.text = text;
      DrawnTextEdit e(&control, &host);
      const CRect field = e.getRect();
      e.keyDown(Key::Home, 0, nullptr);
      const CRect home = e.getCaretRect();
      e.keyDown(Key::End, 0, nullptr);
      const CRect end = e.getCaretRect();
      // A click where the caret shows puts it there again.
      e.mouseDown(CPoint(end.left, 18), false);
      EXPECT_EQ(e.caret(), text.size());
      e.keyDown(Key::Home, 0, nullptr);
      e.mouseDown(CPoint(home.left, 18), false);
      EXPECT_EQ(e.caret(), 0u);
      e.mouseUp();
      EXPECT_GE(home.left, field.left);
      EXPECT_LE(end.right, field.right);
      EXPECT_LT(home.left, end.left);
      if (text.size() > 3 || align == kLeftText) {
        EXPECT_EQ(home.left, field.left);
      }
      if (text.size() > 3 || align == kRightText) {
        EXPECT_EQ(end.right, field.right);
      }
      if (text.size() == 3 && align == kCenterText) {
        EXPECT_NEAR(home.left - field.left, field.right - end.right, 1.5);
      }
      if (text.size() > 3) {
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
  FakeControl control;
  FakeHost host;
  DrawnTextEdit e(&control, &host);
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
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 160; ++x) {
        const size_t i = (static_cast<size_t>(y) * 160 + x) * 4;
        const bool differs = std::equal(&blank[i], &blank[i] + 4, &shots[s][i]) == false;
        (field.pointInside(CPoint(x + 0.5, y + 0.5)) ? inside : outside) += differs;
        selection += shots[s][i] == 215 && shots[s][i + 1] == 120 && shots[s][i + 2] == 0;
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
