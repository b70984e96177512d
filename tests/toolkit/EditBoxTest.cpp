// The system's edit box as the toolkit wraps it: text in and out as UTF-8,
// the keys that end an edit, focus loss, and colours answered per box even
// with two editors' boxes open in one process.
#ifdef _WIN32
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/HostWindow.h"
#include "toolkit/win32/win32editbox.h"

using namespace VSTGUI;

namespace {

struct Parent : window_test::HostWindow {
  Parent() : HostWindow(L"EditBoxTestParent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 120) {}
};

struct Recorder : IWin32EditBoxListener {
  void onEditBoxReturn(Win32EditBox* b) override {
    log.push_back("return " + b->getText());
    if (deleteOnReturn) owned.reset();
  }
  bool onEditBoxTab(Win32EditBox*, bool backwards) override {
    log.push_back(backwards ? "tab back" : "tab");
    return true;
  }
  bool onEditBoxEscape(Win32EditBox*) override {
    log.push_back("escape");
    return true;
  }
  void onEditBoxLostFocus(Win32EditBox*) override { log.push_back("focus lost"); }
  std::vector<std::string> log;
  std::unique_ptr<Win32EditBox> owned;
  bool deleteOnReturn = false;
};

HWND editOf(const std::unique_ptr<Win32EditBox>& b) { return static_cast<HWND>(b->getWindow()); }

void setShift(bool down) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

}  // namespace

TEST(Win32EditBox, TakesAndGivesUtf8AndLimitsWhatIsTyped) {
  Parent p;
  Recorder r;
  auto box = Win32EditBox::create(p.hwnd, CRect(10, 10, 110, 30), Win32EditBoxStyle(), "Gr\xc3\xbc\xc3\x9f" "e", &r);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->getText(), "Gr\xc3\xbc\xc3\x9f" "e");
  wchar_t shown[16] = {0};
  GetWindowTextW(editOf(box), shown, 16);
  EXPECT_STREQ(shown, L"Gr\u00fc\u00dfe");
  box->selectAll();
  DWORD from = 0, to = 0;
  SendMessageW(editOf(box), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 5u);
  box->setText("");
  box->setTextLimit(3);
  for (wchar_t c : std::wstring(L"abcde")) SendMessageW(editOf(box), WM_CHAR, c, 0);
  EXPECT_EQ(box->getText(), "abc");
  EXPECT_TRUE(r.log.empty());
}

TEST(Win32EditBox, ReportsReturnTabEscapeAndFocusLossAndMayBeDeletedFromACallback) {
  Parent p;
  Recorder r;
  r.owned = Win32EditBox::create(p.hwnd, CRect(10, 10, 110, 30), Win32EditBoxStyle(), "Bass", &r);
  ASSERT_NE(r.owned, nullptr);
  HWND edit = editOf(r.owned);
  r.owned->takeFocus();
  EXPECT_TRUE(r.owned->hasFocus());
  SendMessageW(edit, WM_KEYDOWN, VK_TAB, 0);
  setShift(true);
  SendMessageW(edit, WM_KEYDOWN, VK_TAB, 0);
  setShift(false);
  SendMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
  for (wchar_t c : {L'\t', L'\r', L'\x1b'}) SendMessageW(edit, WM_CHAR, c, 0);
  EXPECT_EQ(r.owned->getText(), "Bass") << "the keys that end an edit type nothing";
  SetFocus(p.hwnd);
  r.deleteOnReturn = true;
  SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(r.owned, nullptr);
  EXPECT_FALSE(IsWindow(edit));
  EXPECT_EQ(r.log, (std::vector<std::string>{"tab", "tab back", "escape", "focus lost", "return Bass"}));
}

TEST(Win32EditBox, EachParentAnswersTheColoursOfItsOwnBoxOnly) {
  Parent a, b;
  Recorder ra, rb;
  Win32EditBoxStyle red, blue;
  red.fontColor = CColor(200, 0, 0);
  red.backColor = CColor(10, 20, 30);
  blue.fontColor = CColor(0, 0, 200);
  blue.backColor = CColor(30, 20, 10);
  auto boxA = Win32EditBox::create(a.hwnd, CRect(0, 0, 100, 20), red, "A", &ra);
  auto boxB = Win32EditBox::create(b.hwnd, CRect(0, 0, 100, 20), blue, "B", &rb);
  ASSERT_TRUE(boxA && boxB);
  HDC dc = GetDC(a.hwnd);
  auto ask = [&](HWND parent, const std::unique_ptr<Win32EditBox>& box) {
    SetTextColor(dc, RGB(1, 2, 3));
    SendMessageW(parent, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(box->getWindow()));
    return GetTextColor(dc);
  };
  EXPECT_EQ(ask(a.hwnd, boxA), RGB(200, 0, 0));
  EXPECT_EQ(GetBkColor(dc), RGB(10, 20, 30));
  EXPECT_EQ(ask(b.hwnd, boxB), RGB(0, 0, 200));
  COLORREF stranger = ask(a.hwnd, boxB);  // the system's default answer
  EXPECT_NE(stranger, RGB(200, 0, 0)) << "a box is not its neighbour's to colour";
  EXPECT_NE(stranger, RGB(0, 0, 200));
  boxA.reset();
  EXPECT_EQ(ask(b.hwnd, boxB), RGB(0, 0, 200)) << "closing one editor's box leaves the other's alone";
  boxB->setColors(CColor(0, 120, 0), CColor(255, 255, 255));
  EXPECT_EQ(ask(b.hwnd, boxB), RGB(0, 120, 0));
  ReleaseDC(a.hwnd, dc);
}

TEST(Win32EditBox, SurvivesItsParentBeingDestroyedFirst) {
  Recorder r;
  std::unique_ptr<Win32EditBox> box;
  {
    Parent p;
    box = Win32EditBox::create(p.hwnd, CRect(0, 0, 100, 20), Win32EditBoxStyle(), "x", &r);
    ASSERT_NE(box, nullptr);
  }
  EXPECT_EQ(box->getWindow(), nullptr);
  EXPECT_EQ(box->getText(), "");
  box.reset();
}
#endif
