#include "tools/vsthost/HostMeasurements.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <thread>

#include "tools/orvane-meter/TestSignal.h"

namespace vsthost {

namespace {

void* entryOf(PluginLibrary& library) {
  return library.vstPluginMain() ? library.vstPluginMain() : library.mainEntry();
}

double mib(size_t bytes) { return bytes / (1024.0 * 1024.0); }

// A 1 kHz tone whose level climbs 24 dB over 32 refreshes and drops back,
// so every needle, the slow VU's too, is always on its way somewhere.
struct MovingTone {
  long n = 0;
  int step = 0;
  std::vector<float> in = std::vector<float>(256), l = std::vector<float>(256), r = std::vector<float>(256);
  void blocks(Plugin& p, int count, bool silent) {
    const float peak = silent ? 0.0f : 0.01f * std::pow(10.0f, 1.2f * (float)(step % 32) / 31.0f);
    ++step;
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {l.data(), r.data()};
    for (int b = 0; b < count; ++b) {
      for (int i = 0; i < 256; ++i, ++n) in[i] = peak * (float)std::sin(6.283185307179586 * 1000.0 * n / 48000.0);
      p.process(ins, outs, 256);
    }
  }
};

}  // namespace

int measureInstances(PluginLibrary& library, const std::vector<int>& counts, RackSetting setting, int rounds,
                     int blockFrames) {
  std::printf("instances: %s setting, %d-frame blocks at 48 kHz, median of %d batches\n", rackSettingName(setting),
              blockFrames, rounds);
  std::printf("%8s %14s %16s %12s\n", "N", "us/round", "instances/core", "KiB/instance");
  for (int n : counts) {
    const size_t before = workingSetBytes();
    InstanceRack rack(entryOf(library), n, setting, 48000.0f, blockFrames);
    const size_t after = workingSetBytes();
    if (rack.size() != n) {
      std::printf("%8d only %d instances could be made\n", n, rack.size());
      return 1;
    }
    for (int w = 0; w < 20; ++w) rack.round();  // warm caches and the needles
    // Batches of about 20 ms of work each; the median batch speaks.
    const int perBatch = std::max(1, 128000 / (n * blockFrames));
    std::vector<double> perRound;
    for (int b = 0; b < rounds; ++b) {
      const double t0 = nowSeconds();
      for (int k = 0; k < perBatch; ++k) rack.round();
      perRound.push_back((nowSeconds() - t0) / perBatch);
    }
    const double m = median(perRound);
    std::printf("%8d %14.1f %16.0f %12.1f\n", n, m * 1e6, rack.instancesPerCore(m),
                after > before ? (after - before) / 1024.0 / n : 0.0);
    std::fflush(stdout);
  }
  return 0;
}

int measureMemory(PluginLibrary& library, int cycles) {
  void* entry = entryOf(library);
  auto line = [](const char* what, int i) {
    GuiObjects g = guiObjects();
    std::printf("%-34s %4d  working set %8.2f MiB  GDI objects %5ld (%s)  windows %4ld\n", what, i,
                mib(workingSetBytes()), g.gdi, g.how.c_str(), g.windows);
    std::fflush(stdout);
  };
  // One of each first, so what the library makes once is not charged to an
  // instance.
  {
    HostState h;
    Plugin p(entry, h);
    EditorWindow w(p);
    w.open();
    w.idle(60);
    w.close();
  }
  line("after a first instance and editor", 0);

  const int kept = 20;
  {
    const size_t base = workingSetBytes();
    std::vector<std::unique_ptr<HostState>> hosts;
    std::vector<std::unique_ptr<Plugin>> plugins;
    for (int i = 0; i < kept; ++i) {
      hosts.push_back(std::make_unique<HostState>());
      plugins.push_back(std::make_unique<Plugin>(entry, *hosts.back()));
      plugins.back()->start(48000.0f, 256);
    }
    const size_t withInstances = workingSetBytes();
    std::vector<std::unique_ptr<EditorWindow>> windows;
    for (auto& p : plugins) {
      windows.push_back(std::make_unique<EditorWindow>(*p));
      windows.back()->open();
    }
    for (auto& w : windows) w->idle(0);
    const size_t withEditors = workingSetBytes();
    std::printf("per instance, %d kept: %.1f KiB without editor, %.1f KiB more with its editor open\n", kept,
                (withInstances - base) / 1024.0 / kept,
                withEditors > withInstances ? (withEditors - withInstances) / 1024.0 / kept : 0.0);
    line("with them, editors open", kept);
  }
  line("after closing them", 0);

  for (int i = 1; i <= cycles; ++i) {
    HostState h;
    Plugin p(entry, h);
    p.start(48000.0f, 256);
    MovingTone tone;
    tone.blocks(p, 4, false);
    if (i == 1 || i % (cycles / 4 > 0 ? cycles / 4 : 1) == 0) {
      p.close();
      line("instances created and closed", i);
    }
  }
  {
    HostState h;
    Plugin p(entry, h);
    p.start(48000.0f, 256);
    MovingTone tone;
    EditorWindow w(p);
    for (int i = 1; i <= cycles; ++i) {
      w.open();
      tone.blocks(p, 2, false);
      w.idle(0);
      w.idleOnce();
      w.close();
      if (i == 1 || i % (cycles / 4 > 0 ? cycles / 4 : 1) == 0) line("editor open/close cycles", i);
    }
  }
  return 0;
}

int measureEditorCost(PluginLibrary& library, int refreshes) {
  std::printf(
      "editor cost: median per refresh over %d refreshes (idle incl. painting), 4 blocks of 256 frames "
      "at 48 kHz between refreshes\n",
      refreshes);
  std::printf("%-5s %-7s %-8s %12s %12s %12s\n", "meter", "height", "needles", "us/refresh", "paints/ref",
              "us paint/ref");
  const char* names[3] = {"VU", "RMS", "PPM"};
  for (int meter = 0; meter < 3; ++meter)
    for (int full = 0; full < 2; ++full)
      for (int moving = 1; moving >= 0; --moving) {
        HostState h;
        Plugin p(entryOf(library), h);
        p.setParameter(2, 1.0f);  // Instance scope
        p.setParameter(3, meter * 0.5f);
        p.setParameter(6, 1.0f);
        p.setParameter(7, full ? 1.0f : 0.0f);
        p.setParameter(15, full ? 1.0f : 0.0f);
        p.start(48000.0f, 256);
        EditorWindow w(p);
        if (!w.open()) {
          std::printf("the editor did not open\n");
          return 1;
        }
        MovingTone tone;
        for (int i = 0; i < 60; ++i) {
          tone.blocks(p, 4, !moving);
          w.pump();
          w.idleOnce();
        }
        if (!moving)  // needles settle on their stops
          for (int i = 0; i < 200; ++i) {
            tone.blocks(p, 4, true);
            w.idleOnce();
            w.pump();
          }
        w.idle(50);
        std::vector<double> times;
        w.resetCost();
        for (int i = 0; i < refreshes; ++i) {
          tone.blocks(p, 4, !moving);
          const double t0 = nowSeconds();
          w.idleOnce();
          w.pump();  // queued paints, if any
          times.push_back(nowSeconds() - t0);
        }
        const EditorWindow::Cost c = w.cost();
        std::printf("%-5s %-7d %-8s %12.1f %12.2f %12.1f\n", names[meter], w.height(), moving ? "moving" : "rest",
                    median(times) * 1e6, (double)c.paints / refreshes, c.paintSeconds / refreshes * 1e6);
        std::fflush(stdout);
        w.close();
      }
  return 0;
}

int measureAudioThread(PluginLibrary& library, double seconds) {
  void* entry = entryOf(library);
  HostState hosts[2];
  std::unique_ptr<Plugin> plugins[2];
  for (int i = 0; i < 2; ++i) {
    plugins[i] = std::make_unique<Plugin>(entry, hosts[i]);
    plugins[i]->setParameter(2, 0.5f);  // Session
    plugins[i]->start(48000.0f, 256);
  }
  orvane::metertool::TestSignalSpec spec;
  spec.seconds = seconds;
  const std::vector<std::vector<float>> programme = orvane::metertool::makeTestProgramme(spec);
  const size_t frames = programme[0].size();

  // Phases of two seconds, editors open in every other one.
  const double phaseSeconds = 2.0;
  std::atomic<int> phase{0};
  std::atomic<bool> done{false};
  std::vector<double> times[2];  // closed, open
  std::thread audio([&] {
    std::vector<float> l(256), r(256);
    const double blockSeconds = 256 / 48000.0;
    const double start = nowSeconds();
    for (size_t at = 0, block = 0; at + 256 <= frames; at += 256, ++block) {
      const int ph = (int)(block * blockSeconds / phaseSeconds);
      phase.store(ph);
      float* ins[2] = {const_cast<float*>(&programme[0][at]), const_cast<float*>(&programme[1][at])};
      float* outs[2] = {l.data(), r.data()};
      const double t0 = nowSeconds();
      for (auto& p : plugins) p->process(ins, outs, 256);
      times[ph % 2].push_back(nowSeconds() - t0);
      // Real-time pace: the next block is due one block after this one.
      const double due = start + (block + 1) * blockSeconds;
      while (nowSeconds() < due) std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    done.store(true);
  });
  std::unique_ptr<EditorWindow> windows[2];
  while (!done.load()) {
    const bool wantOpen = phase.load() % 2 == 1;
    if (wantOpen && !windows[0])
      for (int i = 0; i < 2; ++i) {
        windows[i] = std::make_unique<EditorWindow>(*plugins[i]);
        windows[i]->open();
      }
    if (!wantOpen && windows[0])
      for (auto& w : windows) w.reset();
    if (windows[0])
      for (auto& w : windows) w->idle(15, 30);
    else
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  audio.join();
  for (auto& w : windows) w.reset();
  std::printf(
      "audio thread: two instances, %.0f s of the test programme in 256-frame blocks at 48 kHz, real-time "
      "pace, editors open every other %.0f s\n",
      seconds, phaseSeconds);
  const char* what[2] = {"editors closed", "editors open"};
  for (int k = 0; k < 2; ++k) {
    std::vector<double>& t = times[k];
    if (t.empty()) continue;
    const double worst = *std::max_element(t.begin(), t.end());
    std::vector<double> sorted = t;
    std::sort(sorted.begin(), sorted.end());
    const double p99 = sorted[(size_t)(0.99 * (sorted.size() - 1))];
    std::printf("%-15s %6zu blocks  median %7.1f us  99%% %7.1f us  worst %8.1f us (of a %.0f us block)\n", what[k],
                t.size(), median(t) * 1e6, p99 * 1e6, worst * 1e6, 256 / 48000.0 * 1e6);
  }
  for (auto& p : plugins) p->close();
  return 0;
}

}  // namespace vsthost
