// The editor base: what it leaves in the registry when it goes, and the
// manual button.
#include <gtest/gtest.h>

#include "tests/editor/EditorTestSupport.h"

using namespace editor_test;

TEST(PresetSystemEditor, AnEditorNeverOpenedStillLeavesItsPlacesInTheRegistry) {
  orvane::MemoryRegistry* registry;
  FakeDesktop* desktop;
  auto f = std::make_unique<EditorFixture>(false);
  registry = &f->registry;
  desktop = &f->desktop;
  EXPECT_TRUE(registry->texts.empty());
  // Nothing is written while the editor lives.
  f->effect.reset();
  EXPECT_EQ(registry->texts["CurrDir"], "C:\\Projects\\Mix");
  EXPECT_EQ(registry->texts["CurrBank"], "");
  EXPECT_EQ(registry->texts["CurrPreset"], "");
  EXPECT_EQ(registry->writes, 3);
  EXPECT_EQ(desktop->oleInits, 1);
  EXPECT_EQ(desktop->oleUninits, 1);
}

TEST(PresetSystemEditor, KeepsAtMost256CharactersAndARefusingRegistryCostsOnlyTheValues) {
  orvane::MemoryRegistry registry;
  FakeDesktop desktop;
  desktop.directory = std::string(300, 'd');
  { CPresetSystemEditor base(nullptr, registry, desktop); }
  EXPECT_EQ(registry.texts["CurrDir"], std::string(256, 'd'));
  orvane::MemoryRegistry locked;
  locked.writable = false;
  { CPresetSystemEditor base(nullptr, locked, desktop); }
  EXPECT_TRUE(locked.texts.empty());
  EXPECT_EQ(desktop.oleUninits, 2);
}

namespace {

// Presses the manual button as the user does.
void pressManual(EditorFixture& f) {
  CKickButton manual(CRect(505, 0, 520, 14), f.editor(), 121, nullptr);
  f.editor()->getFrame()->addView(&manual);
  CPoint p(510, 5);
  manual.onMouseDown(p, CButtonState(kLButton));
  manual.onMouseUp(p, CButtonState(kLButton));
  f.editor()->getFrame()->removeView(&manual, false);
}

}  // namespace

TEST(PresetSystemEditor, TheManualButtonOpensThePathFromTheRegistryOncePerPress) {
  EditorFixture f;
  f.registry.texts["ManualPath"] = "C:\\Program Files\\Zelcraft\\Orvane manual.pdf";
  ASSERT_TRUE(f.open());
  f.log.clear();
  pressManual(f);
  EXPECT_EQ(f.desktop.opened, std::vector<std::string>{"C:\\Program Files\\Zelcraft\\Orvane manual.pdf"});
  EXPECT_TRUE(f.desktop.messages.empty());
  // The manual is no host parameter, but the parts still hear of it.
  EXPECT_TRUE(f.host.automated.empty());
  EXPECT_EQ(f.log.count("vu.control 121"), 2);  // press and release
  // Nor is the host told of a gesture on something it cannot automate.
  EXPECT_EQ(f.host.beginEdits + f.host.endEdits, 0);
  // The path is read afresh at every press.
  f.registry.texts["ManualPath"] = "D:\\manual.pdf";
  pressManual(f);
  EXPECT_EQ(f.desktop.opened.back(), "D:\\manual.pdf");
  // Any other tag opens nothing.
  CControl other(CRect(0, 0, 10, 10), f.editor(), 120);
  other.setValue(1.0f);
  f.editor()->valueChanged(&other);
  EXPECT_EQ(f.desktop.opened.size(), 2u);
}

TEST(PresetSystemEditor, TellsTheUserWhyTheManualDidNotOpen) {
  struct Case {
    long result;
    const char* text;
    const char* caption;
  };
  for (Case c : {Case{31, "Make sure Acrobat Reader is installed", "Could not open manual file"},
                 Case{2, "Could not open user manual", ""}, Case{32, "Could not open user manual", ""},
                 Case{0, "Could not open user manual", ""}, Case{-5, "Could not open user manual", ""}}) {
    EditorFixture f;
    f.registry.texts["ManualPath"] = "C:\\manual.pdf";
    f.desktop.openResult = c.result;
    ASSERT_TRUE(f.open());
    pressManual(f);
    ASSERT_EQ(f.desktop.messages.size(), 1u) << c.result;
    EXPECT_EQ(f.desktop.messages[0].text, c.text);
    EXPECT_EQ(f.desktop.messages[0].caption, c.caption);
    // Modal to the plug-in's window.
    EXPECT_EQ(f.desktop.messages[0].owner, f.editor()->getFrame()->getSystemWindow());
  }
}

TEST(PresetSystemEditor, AMissingOrOverlongManualPathOpensNothingAndSaysSo) {
  EditorFixture f;
  f.desktop.openResult = 2;  // what the shell answers for an empty path
  ASSERT_TRUE(f.open());
  pressManual(f);
  f.registry.texts["ManualPath"] = std::string(1025, 'x');
  pressManual(f);
  // 1024 units fit, even when a character takes two of them.
  std::string fits = std::string(1020, 'y') + "\xF0\x9F\x8E\xB5\xF0\x9F\x8E\xB5";  // 1020 + 2 x 2 units
  f.registry.texts["ManualPath"] = fits;
  pressManual(f);
  EXPECT_EQ(f.desktop.opened, (std::vector<std::string>{"", "", fits}));
  ASSERT_EQ(f.desktop.messages.size(), 3u);
  EXPECT_EQ(f.desktop.messages[0].text, "Could not open user manual");
  EXPECT_EQ(f.desktop.messages[0].caption, "");
}
