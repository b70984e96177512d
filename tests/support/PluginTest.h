// What the test programs that drive the shipped binary through the test
// host share: their --name=value options, the plug-in library loaded once,
// an instance with a host of its own, silence to process, and shots of the
// editor compared with each other. Under Windows also the editor's frame
// window and the user's registry values.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "tools/vsthost/VstHost.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace plugin_test {

// The plug-in binary the program drives (its --plugin option).
inline std::string gPluginPath;

// The library, loaded on first use and kept for the program's life.
inline vsthost::PluginLibrary& library() {
  static vsthost::PluginLibrary lib;
  static bool loaded = lib.load(gPluginPath);
  EXPECT_TRUE(loaded) << lib.error();
  return lib;
}

// One instance with a host of its own, as a host makes it for a track.
struct Instance {
  vsthost::HostState host;
  vsthost::Plugin plugin{library().vstPluginMain(), host};
};

inline void processSilence(vsthost::Plugin& plugin, int blocks) {
  std::vector<float> in(256, 0.0f), l(256), r(256);
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {l.data(), r.data()};
  for (int b = 0; b < blocks; ++b) plugin.process(ins, outs, 256);
}

// The tape label written into the instance's project, as a host restores
// it: the label sits in the chunk's bytes 4 … 43, zero-terminated. The
// chunk carries every parameter too, so callers set theirs after this.
inline void setLabel(vsthost::Plugin& plugin, const std::string& label) {
  std::vector<unsigned char> project = plugin.chunk();
  ASSERT_GT(project.size(), 44u);
  ASSERT_LT(label.size(), 40u);
  std::fill(project.begin() + 4, project.begin() + 44, 0);
  std::copy(label.begin(), label.end(), project.begin() + 4);
  plugin.setChunk(project.data(), (VstInt32)project.size());
}

// An option of the program: --name=value fills *value. A required one that
// is missing (or left empty) makes the program print its usage and end.
struct Option {
  const char* name;
  std::string* value;
  bool required = true;
};

// gtest's options, then the program's own; --plugin is always taken and
// always required. False, with the usage printed, when one is missing.
inline bool takeOptions(int argc, char** argv, const char* program, std::initializer_list<Option> options) {
  testing::InitGoogleTest(&argc, argv);
  std::vector<Option> all(options);
  all.insert(all.begin(), Option{"plugin", &gPluginPath});
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    for (const Option& o : all) {
      const std::string prefix = std::string("--") + o.name + "=";
      if (a.rfind(prefix, 0) == 0) *o.value = a.substr(prefix.size());
    }
  }
  std::string usage;
  bool complete = true;
  for (const Option& o : all) {
    usage += std::string(" ") + (o.required ? "" : "[") + "--" + o.name + "=..." + (o.required ? "" : "]");
    complete = complete && (!o.required || !o.value->empty());
  }
  if (!complete) std::fprintf(stderr, "usage: %s%s\n", program, usage.c_str());
  return complete;
}

// Every test, and with ORVANE_TEST_KEEP_INSTANCE set one more instance
// open all along, as a host with another track keeps one: the drawing
// factories are then made once for the program instead of again after each
// test's last instance. The emulated 32-bit run sets it, since QEMU running
// 32-bit Wine dies of signal 11 when a Direct2D factory, with the Direct3D
// device and threads behind it, is made again and again.
inline int runAllTests() {
  std::unique_ptr<Instance> keeper;
  const char* keep = std::getenv("ORVANE_TEST_KEEP_INSTANCE");
  if (keep && *keep && std::string(keep) != "0") {
    keeper = std::make_unique<Instance>();
    std::printf("one more instance is kept open throughout (ORVANE_TEST_KEEP_INSTANCE)\n");
  }
  return RUN_ALL_TESTS();
}

// main() of such a program: its options, then every test.
inline int runTests(int argc, char** argv, const char* program, std::initializer_list<Option> options) {
  return takeOptions(argc, argv, program, options) ? runAllTests() : 2;
}

// Two shots of the editor, over their first `rows` rows (all when 0): a few
// pixels may differ by a few levels (text and edges drawn on another
// machine, a needle resting a hair apart), no more. Saying so fails the
// test with the shot's name.
inline void expectLooksAlike(const vsthost::Image& shot, const vsthost::Image& other, const std::string& name,
                             int rows = 0) {
  ASSERT_EQ(shot.width, other.width) << name;
  if (rows == 0) {
    ASSERT_EQ(shot.height, other.height) << name;
    rows = shot.height;
  }
  ASSERT_GE(shot.height, rows) << name;
  ASSERT_GE(other.height, rows) << name;
  int farOff = 0, nearOff = 0;
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < shot.width; ++x) {
      const uint8_t* a = &shot.bgra[(size_t(y) * shot.width + x) * 4];
      const uint8_t* b = &other.bgra[(size_t(y) * other.width + x) * 4];
      int d = 0;
      for (int c = 0; c < 3; ++c) d = std::max(d, std::abs(a[c] - b[c]));
      farOff += d > 64;
      nearOff += d > 8;
    }
  EXPECT_LE(farOff, 40) << name;
  EXPECT_LE(nearOff, shot.width * rows / 100) << name;
}

#if defined(_WIN32)
// The window the editor's frame opened into the host's window.
inline HWND frameWindowOf(vsthost::EditorWindow& window) {
  return GetWindow(static_cast<HWND>(window.parentWindow()), GW_CHILD);
}

// Where the plug-in keeps its per-user meter settings.
inline const wchar_t kSettingsKey[] = L"SOFTWARE\\Zelcraft\\ZELMETERS300";

// A meter setting as the user's registry holds it; NaN when it holds none.
inline float registryFloat(const wchar_t* name) {
  float v = NAN;
  DWORD size = sizeof v;
  if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_BINARY, nullptr, &v, &size) != ERROR_SUCCESS ||
      size != 4)
    return NAN;
  return v;
}
#endif

}  // namespace plugin_test
