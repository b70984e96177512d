// The window's text fields as a user meets them in the shipped binary: the
// test host opens the editor, clicks a field and types into its edit box
// with real key messages. What the open box shows, what becomes of typed
// text the user never confirmed, and whether the editor's texts are drawn
// at all on a system without the fonts they ask for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/PluginTest.h"
#include "tools/vsthost/VstHost.h"

#if defined(_WIN32)
#include <dwrite.h>
#include <windows.h>
#endif

namespace {

using plugin_test::Instance;
std::string gShotDir;
std::string gWithoutArial;

// Host parameters the tests set.
constexpr int kProcess = 0, kTrim = 1, kMeter = 3, kStrips = 6, kShowFlt = 7, kHPFreq = 11, kShowLbl = 15;

#if defined(_WIN32)

// The fields that open an edit box over artwork, by kind, where a click
// opens them with every strip expanded (the window 261 high).
enum Kind { kLabelKind, kFrequencyKind, kTrimKind };
struct Field {
  const char* name;
  Kind kind;
  int x, y;
};
const Field kTapeLabel = {"tape-label", kLabelKind, 200, 222 + 18};
const Field kFrequencyEntry = {"frequency-entry", kFrequencyKind, 66, 169 + 7};  // the high-pass entry at 20 Hz
const Field kTrimValue = {"trim-value", kTrimKind, 554, 153};

// An instance with Process on (the frequency entries and the trim value
// take typing only then) and both strips expanded.
void prepare(Instance& i) {
  i.plugin.setParameter(kProcess, 1.0f);
  i.plugin.setParameter(kStrips, 1.0f);
  i.plugin.setParameter(kShowFlt, 1.0f);
  i.plugin.setParameter(kShowLbl, 1.0f);
}

// The edit box open in the editor's window, if any.
HWND openEditBox(vsthost::EditorWindow& window) {
  HWND frame = plugin_test::frameWindowOf(window);
  return frame ? FindWindowExW(frame, nullptr, L"EDIT", nullptr) : nullptr;
}

// A click on the field, then `text` typed over its selected text.
HWND typeInto(vsthost::EditorWindow& window, const Field& field, const std::string& text) {
  if (!window.click(field.x, field.y)) return nullptr;
  HWND edit = openEditBox(window);
  if (!edit || GetFocus() != edit) return nullptr;
  SendMessageW(edit, EM_SETSEL, 0, -1);
  window.type(text);
  return edit;
}

// The label the instance would save with the project.
std::string chunkLabel(vsthost::Plugin& plugin) {
  std::vector<unsigned char> chunk = plugin.chunk();
  if (chunk.size() < 44) return "(no chunk)";
  return std::string(reinterpret_cast<const char*>(&chunk[4]), strnlen(reinterpret_cast<const char*>(&chunk[4]), 40));
}

// A rectangle of a window in the editor's area.
RECT rectInEditor(HWND window, vsthost::EditorWindow& editor) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, static_cast<HWND>(editor.parentWindow()), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// How many pixels of the rectangle are within `tolerance` levels in every
// channel in both shots.
int matchingPixels(const vsthost::Image& a, const vsthost::Image& b, const RECT& r, int tolerance) {
  int n = 0;
  for (int y = std::max<LONG>(r.top, 0); y < std::min<LONG>(r.bottom, a.height); ++y)
    for (int x = std::max<LONG>(r.left, 0); x < std::min<LONG>(r.right, a.width); ++x) {
      const uint8_t* p = &a.bgra[(size_t(y) * a.width + x) * 4];
      const uint8_t* q = &b.bgra[(size_t(y) * b.width + x) * 4];
      bool same = true;
      for (int c = 0; c < 3; ++c) same = same && std::abs(p[c] - q[c]) <= tolerance;
      n += same;
    }
  return n;
}

#endif

}  // namespace

// A field's edit box shows the window behind the typed text: most of the
// box looks as that spot of the window did before it opened (only the
// field's own text and the typed text differ), never a box of the field's
// back colour.
TEST(EditFields, TheOpenEditBoxShowsTheArtworkBehindIt) {
#if !defined(_WIN32)
  GTEST_SKIP() << "the native plug-in's frame has no window to type into (the strips tests type natively)";
#else
  // One more instance open throughout, as in a host with another track:
  // the drawing factories are then made once, not again for each case.
  Instance keeper;
  for (const Field& field : {kFrequencyEntry, kTrimValue, kTapeLabel}) {
    SCOPED_TRACE(field.name);
    Instance i;
    prepare(i);
    vsthost::EditorWindow window(i.plugin);
    ASSERT_TRUE(window.open());
    window.idle(60);
    vsthost::Image before, typing;
    ASSERT_TRUE(window.capture(before));
    HWND edit = typeInto(window, field, "7");
    ASSERT_NE(edit, nullptr) << "a click on the field opens its edit box with the focus";
    window.idle(60);
    ASSERT_TRUE(window.capture(typing));
    EXPECT_TRUE(vsthost::writePNG(gShotDir + "/edit-box-" + field.name + ".png", typing));
    const RECT box = rectInEditor(edit, window);
    const int area = (box.right - box.left) * (box.bottom - box.top);
    ASSERT_GT(area, 0);
    const int same = matchingPixels(before, typing, box, 24);
    std::printf("%s: %d of %d pixels of the box as before it opened\n", field.name, same, area);
    EXPECT_GE(same, area * 3 / 4) << "see edit-box-" << field.name << ".png";
    EXPECT_LT(same, area) << "the typed text shows";
    window.close();
  }
#endif
}

// Text typed and not confirmed with Return is kept, as a click elsewhere
// keeps it, when the window closes or when a change from the host takes
// the field's view away: the label in the project, the typed frequency and
// trim in their parameters; and no edit box is left behind.
TEST(EditFields, TypedTextIsKeptWhenTheWindowClosesOrTheHostChangesTheView) {
#if !defined(_WIN32)
  GTEST_SKIP() << "the native plug-in's frame has no window to type into (the strips tests type natively)";
#else
  enum Change { kCloseWindow, kOtherMeter, kCollapseStrip };
  struct Case {
    Field field;
    Change change;
    const char* text;
  } cases[] = {
      {kTapeLabel, kCloseWindow, "Lead Vox"},
      {kTapeLabel, kOtherMeter, "Bass DI"},
      {kTapeLabel, kCollapseStrip, "Kick In"},
      {kFrequencyEntry, kCloseWindow, "120"},
      {kFrequencyEntry, kOtherMeter, "120"},
      {kFrequencyEntry, kCollapseStrip, "120"},
      // The meter panel takes the trim value's commit even while it makes
      // way for another: one case keeps it so.
      {kTrimValue, kOtherMeter, "6"},
  };
  Instance keeper;  // as above
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.field.name) + " " + std::to_string(c.change));
    Instance i;
    prepare(i);
    i.plugin.setParameter(kMeter, 0.0f);  // VU
    vsthost::EditorWindow window(i.plugin);
    ASSERT_TRUE(window.open());
    window.idle(60);
    ASSERT_NE(typeInto(window, c.field, c.text), nullptr) << "a click on the field opens its edit box";
    window.idle(60);
    switch (c.change) {
      case kCloseWindow:
        window.close();
        ASSERT_TRUE(window.open());
        break;
      case kOtherMeter:
        i.plugin.setParameter(kMeter, 1.0f);  // PPM: another panel and other strip views
        break;
      case kCollapseStrip:
        i.plugin.setParameter(c.field.kind == kLabelKind ? kShowLbl : kShowFlt, 0.0f);
        break;
    }
    window.idle(60);
    EXPECT_EQ(openEditBox(window), nullptr) << "the edit box went with its view";
    switch (c.field.kind) {
      case kLabelKind:
        EXPECT_EQ(chunkLabel(i.plugin), c.text);
        break;
      case kFrequencyKind:
        EXPECT_NEAR(20.0 * std::pow(100.0, (double)i.plugin.getParameter(kHPFreq)), 120.0, 0.5);
        break;
      case kTrimKind:
        EXPECT_FLOAT_EQ(i.plugin.getParameter(kTrim), (6.0f + 20.0f) * 0.025f);
        break;
    }
    window.close();
  }
#endif
}

#if defined(_WIN32)
namespace {

// Whether DirectWrite finds a family of this name on the system.
bool systemHasFamily(const wchar_t* name) {
  IDWriteFactory* factory = nullptr;
  if (FAILED(DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                                 reinterpret_cast<IUnknown**>(&factory))))
    return false;
  IDWriteFontCollection* collection = nullptr;
  UINT32 index = 0;
  BOOL exists = FALSE;
  if (SUCCEEDED(factory->GetSystemFontCollection(&collection, FALSE)))
    collection->FindFamilyName(name, &index, &exists);
  if (collection) collection->Release();
  factory->Release();
  return exists;
}

}  // namespace
#endif

// The stock texts are drawn whatever fonts the system has: the trim value
// and the hint line change on screen when their texts change. Run again in
// a Wine prefix with no Arial (the stock family) and nothing in its place,
// where they must still be drawn in a family the system has.
TEST(EditorText, TheStockTextsAreDrawnWhateverFontsTheSystemHas) {
#if !defined(_WIN32)
  GTEST_SKIP() << "the native plug-in draws its text with cairo and the system's fontconfig";
#else
  const bool hasArial = systemHasFamily(L"Arial");
  std::printf("the system has %s font family \"Arial\"\n", hasArial ? "a" : "no");
  if (gWithoutArial == "1") {
    ASSERT_FALSE(hasArial) << "this run is meant for a prefix without Arial";
  }
  Instance i;
  prepare(i);
  vsthost::EditorWindow window(i.plugin);
  ASSERT_TRUE(window.open());
  window.mouseMove(300, 100);  // over a meter: no hint
  window.idle(60);
  vsthost::Image plain, changed;
  ASSERT_TRUE(window.capture(plain));
  i.plugin.setParameter(kTrim, 1.0f);  // "+20.0"
  window.mouseMove(552, 8);            // the Process button's hint
  window.idle(90);
  ASSERT_TRUE(window.capture(changed));
  const std::string shot = hasArial ? "editor-text.png" : "editor-text-without-arial.png";
  EXPECT_TRUE(vsthost::writePNG(gShotDir + "/" + shot, changed));
  struct Area {
    const char* name;
    RECT rect;
  } areas[] = {{"trim value", {530, 146, 578, 161}}, {"hint line", {304, 0, 496, 14}}};
  for (const Area& a : areas) {
    const int pixels = (a.rect.right - a.rect.left) * (a.rect.bottom - a.rect.top);
    const int changedPixels = pixels - matchingPixels(plain, changed, a.rect, 24);
    EXPECT_GE(changedPixels, 20) << a.name << ": see " << shot;
  }
  window.close();
#endif
}

int main(int argc, char** argv) {
  return plugin_test::runTests(argc, argv, "edit_fields_window_tests",
                               {{"shots", &gShotDir}, {"without-arial", &gWithoutArial, false}});
}
