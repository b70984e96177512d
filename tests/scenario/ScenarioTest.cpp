// A whole host project with the shipped binary, the way a user meets it:
// two instances in a session, their editors open in windows of their own,
// the test programme played through both from an audio thread at real-time
// pace while the window thread idles the editors and a third thread
// automates Trim; then real mouse and key messages work the panel, the
// strips and the label; the project is saved, closed and opened again. All
// along: no NaN in any text, no hint left standing, and every host call
// from a thread a VST 2.4 host takes it from.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/PluginTest.h"
#include "tools/orvane-meter/TestSignal.h"
#include "tools/vsthost/Measure.h"
#include "tools/vsthost/VstHost.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

using plugin_test::library;
using plugin_test::processSilence;
std::string gShotDir;
std::string gArtworkDir;
double gSeconds = 12.0;  // of the test programme

// Where each instance's window stands: side by side, so neither covers
// the other's pixels.
const int kLeft[2] = {20, 640};
const int kTop = 40;

enum : int32_t {
  kProcess = 0,
  kTrim = 1,
  kGSIcal = 2,
  kMeter = 3,
  kShowFlt = 7,
  kHPFreq = 11,
  kShowLbl = 15,
  kLagTime = 16,
  kPPMReference = 93,
};

// Every value an instance shows a host and keeps in its project: the 64
// parameter slots and the 27 meter settings.
std::vector<float> stateOf(vsthost::Plugin& p) {
  std::vector<float> v;
  for (int i = 0; i < 64; ++i) v.push_back(p.getParameter(i));
  for (int i = 72; i <= 100; ++i)
    if (i != 82 && i != 92) v.push_back(p.getParameter(i));
  return v;
}

// The display texts of every host parameter: none may read as a NaN or an
// infinity, whatever the audio did.
void expectNoBrokenTexts(vsthost::Plugin& p, const char* when) {
  for (int i = 0; i < 17; ++i) {
    std::string t = p.text(effGetParamDisplay, i);
    std::string lower = t;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return (char)std::tolower(c); });
    EXPECT_EQ(lower.find("nan"), std::string::npos) << when << ": parameter " << i << " reads " << t;
    EXPECT_EQ(lower.find("inf"), std::string::npos) << when << ": parameter " << i << " reads " << t;
  }
}

// Both windows idled by the host's 30 Hz timer for `ms`.
void idleBoth(vsthost::EditorWindow& a, vsthost::EditorWindow& b, int ms) {
  for (int t = 0; t < ms; t += 30) {
    a.idle(15, 30);
    b.idle(15, 30);
  }
}

#if defined(_WIN32)
bool readArtwork(int id, vsthost::Image& image) {
  return vsthost::readPNG(gArtworkDir + "/" + std::to_string(id) + ".png", image);
}

// The hint line (304, 0 to 496, 14) is transparent: with no hint it shows
// the panel's background as it is.
int hintPixels(const vsthost::Image& shot, const vsthost::Image& background) {
  int n = 0;
  for (int y = 0; y < 14; ++y)
    for (int x = 304; x < 496; ++x) {
      const uint8_t* a = &shot.bgra[(size_t(y) * shot.width + x) * 4];
      const uint8_t* b = &background.bgra[(size_t(y) * background.width + x) * 4];
      for (int c = 0; c < 3; ++c)
        if (std::abs(a[c] - b[c]) > 24) {
          ++n;
          break;
        }
    }
  return n;
}

void expectNoHintStanding(vsthost::EditorWindow& w, int backgroundId, const std::string& name) {
  vsthost::Image shot, background;
  ASSERT_TRUE(w.capture(shot));
  ASSERT_TRUE(readArtwork(backgroundId, background));
  ASSERT_GE(shot.height, 14);
  EXPECT_EQ(hintPixels(shot, background), 0) << "a hint is left standing: see " << name;
  if (::testing::Test::HasFailure()) vsthost::writePNG(gShotDir + "/" + name, shot);
}

// Wheel notches over a point and a real mouse away from the window after,
// so nothing stays hovered.
void leave(vsthost::EditorWindow& w) {
  HWND frame = plugin_test::frameWindowOf(w);
  if (frame) SendMessageW(frame, WM_MOUSELEAVE, 0, 0);
  w.pump();
}

using plugin_test::kSettingsKey;
using plugin_test::registryFloat;

// The prefix's registry without the meter settings, before the run and
// after it, however it ends: each run starts from the defaults and proves
// its own write.
struct ForgetMeterSettings {
  ForgetMeterSettings() { forget(); }
  ~ForgetMeterSettings() { forget(); }
  static void forget() { RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKey); }
};

HWND focusedEdit() {
  HWND f = GetFocus();
  wchar_t cls[16] = {0};
  if (f) GetClassNameW(f, cls, 16);
  return f && lstrcmpiW(cls, L"EDIT") == 0 ? f : nullptr;
}
#endif

struct Project {
  std::vector<unsigned char> chunk[2];
  std::vector<float> state[2];
  std::string trimText;
};

}  // namespace

TEST(Scenario, AHostProjectFromOpeningToReopening) {
  ASSERT_TRUE(library().vstPluginMain());
#if defined(_WIN32)
  ForgetMeterSettings forget;
#endif
  vsthost::HostState hosts[2];
  std::unique_ptr<vsthost::Plugin> p[2];
  std::unique_ptr<vsthost::EditorWindow> w[2];

  // 1. Two instances at 48 kHz in 256-frame blocks, both in scope Session,
  // each editor in a window of its own.
  for (int i = 0; i < 2; ++i) {
    p[i] = std::make_unique<vsthost::Plugin>(library().vstPluginMain(), hosts[i]);
    ASSERT_TRUE(p[i]->valid());
    p[i]->setParameter(kGSIcal, 0.5f);
    p[i]->start(48000.0f, 256);
    EXPECT_EQ(p[i]->text(effGetParamDisplay, kGSIcal), "Session");
    w[i] = std::make_unique<vsthost::EditorWindow>(*p[i]);
    ASSERT_TRUE(w[i]->open(kLeft[i], kTop)) << i;
    EXPECT_EQ(w[i]->height(), 195);
  }
  idleBoth(*w[0], *w[1], 150);

  // 2. The test programme through both at real-time pace, the editors
  // idled at 30 Hz, and Trim automated on instance 1 from a third thread.
  {
    orvane::metertool::TestSignalSpec spec;
    spec.seconds = gSeconds;
    const std::vector<std::vector<float>> programme = orvane::metertool::makeTestProgramme(spec);
    const size_t frames = programme[0].size();
    std::atomic<bool> done{false};
    std::atomic<long> blocks{0};
    std::vector<double> blockTimes;
    blockTimes.reserve(frames / 256 + 1);
    std::thread audio([&] {
      std::vector<float> l(256), r(256);
      const double blockSeconds = 256 / 48000.0;
      const double start = vsthost::nowSeconds();
      for (size_t at = 0, b = 0; at + 256 <= frames; at += 256, ++b) {
        float* ins[2] = {const_cast<float*>(&programme[0][at]), const_cast<float*>(&programme[1][at])};
        float* outs[2] = {l.data(), r.data()};
        const double t0 = vsthost::nowSeconds();
        for (auto& plugin : p) plugin->process(ins, outs, 256);
        blockTimes.push_back(vsthost::nowSeconds() - t0);
        blocks.store((long)b + 1);
        const double due = start + (b + 1) * blockSeconds;
        while (vsthost::nowSeconds() < due) std::this_thread::sleep_for(std::chrono::microseconds(500));
      }
      done.store(true);
    });
    std::atomic<float> lastTrim{0.5f};
    std::thread automation([&] {
      // A host's automation lane: a slow triangle between -10 and +10 dB.
      for (int k = 0; !done.load(); ++k) {
        const float v = 0.25f + 0.5f * (float)std::fabs(((k % 200) / 100.0) - 1.0);
        p[0]->setParameter(kTrim, v);
        lastTrim.store(v);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    });
#if defined(_WIN32)
    // Meanwhile the user looks at instance 2's three meters in turn, with
    // the meter selector's right key: VU, RMS, PPM and back to VU.
    struct Moment {
      double at;         // share of the programme played
      const char* shot;  // what the window shows then, or a click
      float meterAfter;  // the meter after the click
    } moments[] = {{0.30, "scenario-vu-playing.png", 0},  {0.35, nullptr, 0.5f},
                   {0.50, "scenario-rms-playing.png", 0}, {0.55, nullptr, 1.0f},
                   {0.70, "scenario-ppm-playing.png", 0}, {0.75, nullptr, 0.0f}};
    size_t next = 0;
    const long total = (long)(frames / 256);
#endif
    while (!done.load()) {
      idleBoth(*w[0], *w[1], 90);
      for (auto& plugin : p) expectNoBrokenTexts(*plugin, "while playing");
#if defined(_WIN32)
      if (next < sizeof moments / sizeof moments[0] && blocks.load() >= (long)(moments[next].at * total)) {
        const Moment& m = moments[next++];
        if (m.shot) {
          EXPECT_TRUE(w[1]->savePNG(gShotDir + "/" + m.shot));
        } else {
          EXPECT_TRUE(w[1]->click(195 + 150 - 8, 150));
          leave(*w[1]);
          idleBoth(*w[0], *w[1], 60);
          EXPECT_FLOAT_EQ(p[1]->getParameter(kMeter), m.meterAfter);
        }
      }
#endif
    }
#if defined(_WIN32)
    EXPECT_EQ(next, sizeof moments / sizeof moments[0]) << "the programme ended before the user was done";
#endif
    audio.join();
    automation.join();
    idleBoth(*w[0], *w[1], 120);
    EXPECT_FLOAT_EQ(p[0]->getParameter(kTrim), lastTrim.load());
    EXPECT_GT(blocks.load(), 0);
    std::vector<double> sorted = blockTimes;
    std::sort(sorted.begin(), sorted.end());
    if (!sorted.empty())
      std::printf(
          "audio thread, two instances, editors open: %zu blocks, median %.1f us, worst %.1f us (a block "
          "lasts %.0f us)\n",
          sorted.size(), sorted[sorted.size() / 2] * 1e6, sorted.back() * 1e6, 256 / 48000.0 * 1e6);
  }

#if defined(_WIN32)
  // 3. Instance 1 to the PPM with the meter selector's left key; on its
  // back panel the reference turned three notches with the wheel; instance
  // 2 takes the session's new reference, and the Global store is in the
  // registry.
  {
    ASSERT_TRUE(w[0]->click(195 + 8, 150));
    leave(*w[0]);
    idleBoth(*w[0], *w[1], 90);
    EXPECT_FLOAT_EQ(p[0]->getParameter(kMeter), 1.0f);
    EXPECT_EQ(p[0]->text(effGetParamDisplay, kMeter), "PPM3");
    expectNoHintStanding(*w[0], 42001, "scenario-hint-after-selector.png");
    const float before = p[0]->getParameter(kPPMReference);
    // The meter turned round with the selector's middle, the reference
    // knob three notches up, the meter turned back with a click on an
    // empty spot of the plate.
    ASSERT_TRUE(w[0]->click(195 + 75, 150));
    w[0]->mouseMove(300, 125);
    idleBoth(*w[0], *w[1], 90);
    EXPECT_TRUE(w[0]->savePNG(gShotDir + "/scenario-ppm-back-panel.png"));
    ASSERT_TRUE(w[0]->wheel(24 + 21, 36 + 20, 3));
    idleBoth(*w[0], *w[1], 60);
    ASSERT_TRUE(w[0]->click(300, 125));
    leave(*w[0]);
    idleBoth(*w[0], *w[1], 90);
    const float after = p[0]->getParameter(kPPMReference);
    EXPECT_NEAR(after - before, 3.0f / 24.0f, 1e-4f);
    // Closing the plate wrote the Global store, all of it, to the registry.
    for (const wchar_t* name : {L"Appmreference", L"Avureference", L"Armsreference"})
      EXPECT_TRUE(std::isfinite(registryFloat(name))) << "no registry value written for a meter setting";
    expectNoHintStanding(*w[0], 42001, "scenario-hint-after-wheel.png");
    // Instance 2 shows its VU meter; switched to its PPM, the panel's first
    // refresh brings the session's new reference, and the project carries
    // it whatever instance 2 shows.
    ASSERT_TRUE(w[1]->click(195 + 8, 150));
    leave(*w[1]);
    idleBoth(*w[0], *w[1], 90);
    EXPECT_FLOAT_EQ(p[1]->getParameter(kMeter), 1.0f);
    EXPECT_FLOAT_EQ(p[1]->getParameter(kPPMReference), after) << "instance 2 follows the session";
    ASSERT_TRUE(w[1]->click(195 + 150 - 8, 150));  // and back to its VU meter
    leave(*w[1]);
    idleBoth(*w[0], *w[1], 90);
    EXPECT_FLOAT_EQ(p[1]->getParameter(kMeter), 0.0f);
  }

  // 4. The strips of instance 1, with real mouse and key messages: Process
  // on, the filters and the label strip opened, a high-pass frequency
  // typed into its entry, a tape label written, a display delay set.
  {
    ASSERT_TRUE(w[0]->click(531 + 21, 1 + 7));  // PROCESS
    idleBoth(*w[0], *w[1], 60);
    EXPECT_FLOAT_EQ(p[0]->getParameter(kProcess), 1.0f);
    ASSERT_TRUE(w[0]->click(579, 169 + 5));  // the filters strip's show button
    idleBoth(*w[0], *w[1], 60);
    EXPECT_FLOAT_EQ(p[0]->getParameter(kShowFlt), 1.0f);
    EXPECT_EQ(w[0]->height(), 235);
    ASSERT_TRUE(w[0]->click(579, 222 + 5));  // the label strip's show button
    idleBoth(*w[0], *w[1], 60);
    EXPECT_FLOAT_EQ(p[0]->getParameter(kShowLbl), 1.0f);
    EXPECT_EQ(w[0]->height(), 261);

    ASSERT_TRUE(w[0]->click(66, 169 + 7));  // the high-pass entry, at 20 Hz
    HWND edit = focusedEdit();
    ASSERT_NE(edit, nullptr) << "a click on the entry opens its edit box with the focus";
    SendMessageW(edit, EM_SETSEL, 0, -1);
    EXPECT_TRUE(w[0]->type("120"));
    EXPECT_TRUE(w[0]->key(VK_RETURN));
    idleBoth(*w[0], *w[1], 60);
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_NEAR(20.0 * std::pow(100.0, (double)p[0]->getParameter(kHPFreq)), 120.0, 0.5);

    ASSERT_TRUE(w[0]->click(200, 222 + 18));  // the tape
    edit = focusedEdit();
    ASSERT_NE(edit, nullptr) << "a click on the tape opens its edit box with the focus";
    SendMessageW(edit, EM_SETSEL, 0, -1);
    EXPECT_TRUE(w[0]->type("Lead Vox 2"));
    EXPECT_TRUE(w[0]->key(VK_RETURN));
    idleBoth(*w[0], *w[1], 90);
    EXPECT_FALSE(IsWindow(edit));

    ASSERT_TRUE(w[0]->wheel(554, 222 + 20, 5));  // the display delay, 10 ms a notch
    leave(*w[0]);
    idleBoth(*w[0], *w[1], 90);
    EXPECT_EQ(p[0]->text(effGetParamDisplay, kLagTime), "50 ms");
    expectNoHintStanding(*w[0], 42001, "scenario-hint-after-strips.png");
    expectNoHintStanding(*w[1], 10000, "scenario-hint-instance-2.png");
  }
#endif

  // 5. Both projects saved; the needles left to rest; editors and
  // instances closed; two new instances from the projects, editors open
  // again: the same parameters, label and picture.
  Project project;
  vsthost::Image shotBefore[2];
  for (int i = 0; i < 2; ++i) processSilence(*p[i], 48000 * 4 / 256);
  idleBoth(*w[0], *w[1], 300);
#if defined(_WIN32)
  // The over LEDs latch what the clipped passage lit until the user
  // clears them with a click on a meter; they are no part of the project.
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(w[i]->click(12 + 125, 18 + 60));
    leave(*w[i]);
  }
  idleBoth(*w[0], *w[1], 150);
#endif
  for (int i = 0; i < 2; ++i) {
    project.chunk[i] = p[i]->chunk();
    project.state[i] = stateOf(*p[i]);
    ASSERT_GT(project.chunk[i].size(), 44u);
#if defined(_WIN32)
    ASSERT_TRUE(w[i]->capture(shotBefore[i]));
    vsthost::writePNG(gShotDir + "/scenario-" + std::to_string(i + 1) + "-before-closing.png", shotBefore[i]);
#endif
  }
#if defined(_WIN32)
  EXPECT_EQ(std::string((const char*)project.chunk[0].data() + 4), "Lead Vox 2");
#endif
  project.trimText = p[0]->text(effGetParamDisplay, kTrim);
  for (int i = 0; i < 2; ++i) {
    w[i].reset();  // closes the editor and its window
    p[i]->dispatch(effMainsChanged, 0, 0);
    EXPECT_EQ(p[i]->close(), 1);
  }
  std::vector<vsthost::HostState::Call> wrong;
  for (auto& h : hosts)
    for (const auto& c : vsthost::callsFromWrongThreads(h)) wrong.push_back(c);

  vsthost::HostState again[2];
  for (int i = 0; i < 2; ++i) {
    p[i] = std::make_unique<vsthost::Plugin>(library().vstPluginMain(), again[i]);
    ASSERT_TRUE(p[i]->valid());
    p[i]->setChunk(project.chunk[i].data(), (VstInt32)project.chunk[i].size());
    p[i]->start(48000.0f, 256);
    EXPECT_EQ(stateOf(*p[i]), project.state[i]) << "instance " << i + 1;
    w[i] = std::make_unique<vsthost::EditorWindow>(*p[i]);
    ASSERT_TRUE(w[i]->open(kLeft[i], kTop));
    processSilence(*p[i], 48000 / 256);
  }
  idleBoth(*w[0], *w[1], 120);
  // Both reopened and refreshed, the session's settings are the ones saved,
  // whichever instance the host restored last.
  for (int i = 0; i < 2; ++i) EXPECT_EQ(stateOf(*p[i]), project.state[i]) << "instance " << i + 1 << ", refreshed";
  EXPECT_EQ(p[0]->text(effGetParamDisplay, kTrim), project.trimText);
  EXPECT_EQ(std::string((const char*)p[0]->chunk().data() + 4), std::string((const char*)project.chunk[0].data() + 4));
  idleBoth(*w[0], *w[1], 300);
#if defined(_WIN32)
  EXPECT_EQ(w[0]->height(), 261);
  for (int i = 0; i < 2; ++i) {
    vsthost::Image shot;
    ASSERT_TRUE(w[i]->capture(shot));
    const std::string name = "scenario-" + std::to_string(i + 1) + "-reopened.png";
    vsthost::writePNG(gShotDir + "/" + name, shot);
    plugin_test::expectLooksAlike(shotBefore[i], shot, name);
  }
#endif
  for (int i = 0; i < 2; ++i) {
    expectNoBrokenTexts(*p[i], "reopened");
    w[i].reset();
    for (const auto& c : vsthost::callsFromWrongThreads(again[i])) wrong.push_back(c);
    EXPECT_EQ(p[i]->close(), 1);
  }

  // 6. Window sizing and automation came from the window thread alone.
  for (const auto& c : wrong)
    ADD_FAILURE() << "audioMaster " << vsthost::hostOpcodeName(c.opcode) << " (index " << c.index
                  << ") from a thread that is not the host's window thread";
#if defined(_WIN32)
  EXPECT_FALSE(hosts[0].automations.empty()) << "the editor's edits reach the host as automation";
#endif
}

int main(int argc, char** argv) {
  std::string seconds;
  if (!plugin_test::takeOptions(argc, argv, "scenario_tests",
                                {{"shots", &gShotDir}, {"artwork", &gArtworkDir}, {"seconds", &seconds, false}}))
    return 2;
  if (!seconds.empty()) gSeconds = std::atof(seconds.c_str());
  if (!(gSeconds > 0)) {
    std::fprintf(stderr, "scenario_tests: --seconds must be a positive number\n");
    return 2;
  }
  return plugin_test::runAllTests();
}
