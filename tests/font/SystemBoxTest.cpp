// The system box a text field opens over itself: where it lands, and under
// Windows the real EDIT box in a real window, typed into with key messages
// and ended with Return, with a click elsewhere and by another window's box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/CZELCustomFont.h"
#include "controls/ZELSystemBoxWin32.h"
#include "tests/font/FontTestSupport.h"
#ifdef _WIN32
#include <windows.h>
#else
#include "toolkit/cairo/nativeframe.h"
#endif

using namespace VSTGUI;
using namespace font_test;
#ifdef _WIN32
using namespace window_test;
#endif

TEST(SystemBox, IsAsHighAsTheTextAndCentredOnTheControl) {
  struct Case {
    CRect control;
    double fontSize, scale;
    CRect box;
  } cases[] = {
      {CRect(10, 100, 90, 116), 11, 1, CRect(10, 101.5, 90, 115.5)},
      {CRect(10, 100, 90, 117), 11, 1, CRect(10, 101.5, 90, 115.5)},  // the middle row is truncated
      {CRect(0, 0, 260, 56), 38, 1, CRect(0, 8, 260, 49)},
      {CRect(10, 100, 90, 116), 11, 2, CRect(20, 204, 180, 229)},
      {CRect(10, 100, 90, 116), 0, 1, CRect(10, 107, 90, 110)},
      {CRect(10, 100, 90, 116), 11, 0, CRect(10, 101.5, 90, 115.5)},  // no scale is scale 1
  };
  for (const Case& c : cases) {
    CRect r = systemBoxRect(c.control, c.fontSize, c.scale);
    EXPECT_EQ(r, c.box) << c.control.top << ".." << c.control.bottom << " size " << c.fontSize << " x" << c.scale;
  }
}

namespace {

struct Listener : CControlListener {
  void valueChanged(CControl* c) override { changed.push_back(static_cast<CTextEdit*>(c)->getText()); }
  std::vector<std::string> changed;
};

struct Editor : VSTGUIEditorInterface {
  int32_t getKnobMode() const override { return -1; }
};

// A text field that types in a system box: the tape label's way when it
// uses the embedded font, a plain field's otherwise.
class BoxedEdit : public CTextEdit, public IZELSystemBoxControl {
 public:
  BoxedEdit(const CRect& r, Listener* l, const char* text, CFontRef font, bool embedded)
      : CTextEdit(r, l, 69, text), embedded(embedded) {
    setFont(font);
    setBackColor(CColor(236, 226, 196));
    setFontColor(CColor(20, 30, 90));
  }
  void takeFocus() override {
    if (platformControl) return;
    bWasReturnPressed = false;
    beginEdit();
    platformControl = createZELSystemBox(getFrame(), this);
    if (!platformControl) endEdit();
    invalid();
  }
  int32_t onKeyDown(VstKeyCode& key) override {
    keys.push_back(key.virt);
    return CTextEdit::onKeyDown(key);
  }
  void drawForSystemBox(CDrawContext* c) override {
    // The tape with a pen line across it, the text left out.
    c->setFillColor(getBackColor());
    c->drawRect(size, kDrawFilled);
    c->setFrameColor(CColor(150, 40, 40));
    c->setLineWidth(2);
    c->drawLine(CPoint(size.left, size.bottom - 3), CPoint(size.right, size.bottom - 3));
    ++backgroundDraws;
  }
  bool useEmbeddedFontInEdit() const override { return embedded; }
  std::vector<unsigned char> keys;
  int backgroundDraws = 0;
  bool embedded;
};

}  // namespace

#ifndef _WIN32
TEST(SystemBox, NativelyTheFramesOwnBoxStandsIn) {
  Editor editor;
  Listener listener;
  CFrame* frame = new CFrame(CRect(0, 0, 300, 60), nullptr, &editor);
  auto* font = new CZELCustomFont(24);
  auto* edit = new BoxedEdit(CRect(10, 10, 290, 50), &listener, "Master Track", font, true);
  font->forget();
  frame->addView(edit);
  frame->setFocusView(edit);
  auto* box = static_cast<NativePlatformFrame*>(frame->getPlatformFrame())->getTextEdit();
  ASSERT_NE(box, nullptr);
  box->setText("Vox 2");
  box->pressReturn();
  EXPECT_STREQ(edit->getText(), "Vox 2");
  EXPECT_EQ(listener.changed, std::vector<std::string>{"Vox 2"});
  EXPECT_EQ(createZELSystemBox(nullptr, edit), nullptr);
  frame->close();
}
#else

namespace {

// Types as the keyboard would: one character message per key, through the
// thread's queue.
void type(HWND edit, const wchar_t* text) {
  for (const wchar_t* p = text; *p; ++p) PostMessageW(edit, WM_CHAR, *p, 1);
  pump(50);
}

int gdiObjects() { return static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)); }

// A window with a right-aligned label in the embedded font and a centred
// field in a system font, as the label strip and a frequency entry.
struct Scene {
  explicit Scene(int x = 10) : host(L"FontTestHost", WS_POPUP | WS_VISIBLE, x, 10, 320, 140) {
    frame = new CFrame(CRect(0, 0, 300, 120), host.hwnd, &editor);
    child = static_cast<HWND>(frame->getSystemWindow());
    label = new BoxedEdit(CRect(10, 10, 290, 54), &listener, "Master Track", labelFont = new CZELCustomFont(), true);
    label->setHoriAlign(kRightText);
    plain = new BoxedEdit(CRect(100, 100, 200, 116), &listener, "1000 Hz", kNormalFontSmall, false);
    plain->setHoriAlign(kCenterText);
    frame->addView(label);
    frame->addView(plain);
    frame->idle();
    pump(50);
  }
  ~Scene() {
    frame->close();
    labelFont->forget();
  }
  HWND click(int x, int y) {
    window_test::click(child, x, y);
    return FindWindowExW(child, nullptr, L"EDIT", nullptr);
  }
  HostWindow host;
  Editor editor;
  Listener listener;
  CFrame* frame;
  HWND child;
  CZELCustomFont* labelFont;
  BoxedEdit* label;
  BoxedEdit* plain;
};

RECT rectIn(HWND window, HWND parent) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// What the parent answers when the box asks for its colours.
struct ColourAnswer {
  LOGBRUSH brush = {};
  bool answered = false;
  int bkMode = 0;
  COLORREF text = 0;
};

ColourAnswer askColours(HWND parent, HWND edit) {
  ColourAnswer a;
  HDC dc = GetDC(edit);
  auto brush = reinterpret_cast<HBRUSH>(SendMessageW(parent, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                                      reinterpret_cast<LPARAM>(edit)));
  a.answered = brush && GetObjectW(brush, sizeof a.brush, &a.brush) == sizeof a.brush;
  a.bkMode = GetBkMode(dc);
  a.text = GetTextColor(dc);
  ReleaseDC(edit, dc);
  return a;
}

}  // namespace

TEST(SystemBox, OpensOverTheControlInItsFontTakesTypedTextAndEndsWithReturnOrAClickElsewhere) {
  int gdiBefore = gdiObjects();
  {
    Scene s;
    // The tape label: right-aligned, embedded font, ended with Return.
    HWND edit = s.click(100, 30);
    ASSERT_NE(edit, nullptr);
    CRect want = systemBoxRect(CRect(10, 10, 290, 54), 38);
    RECT r = rectIn(edit, s.child);
    EXPECT_EQ(r.top, static_cast<LONG>(want.top));
    EXPECT_EQ(r.bottom - r.top, static_cast<LONG>(want.getHeight()));
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.right, 290);
    LONG style = GetWindowLongW(edit, GWL_STYLE);
    EXPECT_TRUE(style & ES_RIGHT);
    EXPECT_TRUE(style & ES_AUTOHSCROLL);
    EXPECT_EQ(SendMessageW(edit, EM_GETMARGINS, 0, 0), 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 255);
    DWORD from = 1, to = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, 12u) << "all of the text is selected";
    EXPECT_EQ(GetFocus(), edit);
    HFONT labelGdi = static_cast<HFONT>(s.labelFont->getCoreTextFont()->getGdiFont());
    ASSERT_NE(labelGdi, nullptr);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)), labelGdi) << "types in the embedded font";
    EXPECT_EQ(s.label->backgroundDraws, 1);
    ColourAnswer colours = askColours(s.child, edit);
    ASSERT_TRUE(colours.answered);
    EXPECT_EQ(colours.brush.lbStyle, static_cast<UINT>(BS_PATTERN)) << "the control's drawing behind the text";
    EXPECT_EQ(colours.bkMode, TRANSPARENT);
    EXPECT_EQ(colours.text, RGB(20, 30, 90));

    type(edit, L"Vox 2");
    SendMessageW(edit, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(s.label->keys, std::vector<unsigned char>{VKEY_TAB}) << "Tab is offered to the control";
    EXPECT_TRUE(IsWindow(edit)) << "an unused Tab leaves the box open";
    pump(100);
    CBitmap* image = windowShot(s.frame, "box-typing-d2d.png");
    ASSERT_NE(image, nullptr);
    expectMatchesReference(image, "box-typing-d2d.png");
    image->forget();
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_STREQ(s.label->getText(), "Vox 2");
    EXPECT_TRUE(s.label->bWasReturnPressed);

    // The plain field: centred, a system font of its name, ended by a click
    // on an empty part of the window.
    edit = s.click(150, 108);
    ASSERT_NE(edit, nullptr);
    r = rectIn(edit, s.child);
    EXPECT_EQ(r.top, 101);
    EXPECT_EQ(r.bottom - r.top, 14);
    EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & ES_CENTER);
    HFONT plainFont = reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0));
    LOGFONTW lf = {};
    ASSERT_TRUE(GetObjectW(plainFont, sizeof lf, &lf));
    EXPECT_STREQ(lf.lfFaceName, L"Arial");
    EXPECT_EQ(lf.lfHeight, -11);
    type(edit, L"250");
    s.click(20, 90);
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_STREQ(s.plain->getText(), "250");
    EXPECT_FALSE(s.plain->bWasReturnPressed);
    EXPECT_EQ(s.listener.changed, (std::vector<std::string>{"Vox 2", "250"}));
    pump(50);
  }
  EXPECT_EQ(gdiObjects(), gdiBefore) << "fonts, brushes and bitmaps all went";
}

TEST(SystemBox, TwoEditorWindowsEachAnswerForTheirOwnBoxOnly) {
  Scene a(10), b(400);
  HWND editA = a.click(100, 30);
  ASSERT_NE(editA, nullptr);
  EXPECT_EQ(askColours(a.child, editA).brush.lbStyle, static_cast<UINT>(BS_PATTERN));
  // Window b's frame knows nothing of a's box: it gives the system's
  // default answer, not a's background.
  EXPECT_NE(askColours(b.child, editA).brush.lbStyle, static_cast<UINT>(BS_PATTERN));
  type(editA, L"Kick");
  // Opening b's box takes the focus from a's, which ends with its text.
  HWND editB = b.click(100, 30);
  ASSERT_NE(editB, nullptr);
  EXPECT_FALSE(IsWindow(editA));
  EXPECT_STREQ(a.label->getText(), "Kick");
  EXPECT_EQ(askColours(b.child, editB).brush.lbStyle, static_cast<UINT>(BS_PATTERN));
  type(editB, L"Snare");
  SendMessageW(editB, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_STREQ(b.label->getText(), "Snare");
  // And a's window edits again afterwards.
  editA = a.click(100, 30);
  ASSERT_NE(editA, nullptr);
  EXPECT_EQ(askColours(a.child, editA).brush.lbStyle, static_cast<UINT>(BS_PATTERN));
  type(editA, L"Hat");
  SendMessageW(editA, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_STREQ(a.label->getText(), "Hat");
  EXPECT_EQ(a.listener.changed, (std::vector<std::string>{"Kick", "Hat"}));
  EXPECT_EQ(b.listener.changed, std::vector<std::string>{"Snare"});
}

TEST(SystemBox, TakesAtMost255CharactersAndOpensEmptyOnAnEmptyText) {
  Scene s;
  s.label->setText("");
  HWND edit = s.click(100, 30);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(GetWindowTextLengthW(edit), 0);
  std::wstring many(300, L'x');
  type(edit, many.c_str());
  EXPECT_EQ(GetWindowTextLengthW(edit), 255);
  SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(std::string(s.label->getText()).size(), 255u);
}
#endif
