// One edit-idle of the editor in an X11 child window at 100 %: the shown
// panel's refresh, draining the window's connection, painting what became
// dirty into the back buffer and copying it to the window. Moving: a block
// of a tone whose level changes every time arrives between idles (outside
// the timing), so both needles move on every refresh. At rest: silence,
// needles on their stops; paints_per_idle must be 0. CPU time is the
// plug-in's thread; the X server's share of the copy is the server's.
// Needs an X display (run it through tests/x11/run-with-xvfb.sh); without
// one it reports why and measures nothing.
#include <X11/Xlib.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Templete.h"
#include "editor/EditorPlatform.h"
#include "editor/TemepleteEditor.h"
#include "platform/MemoryRegistry.h"
#include "toolkit/cframe.h"
#include "toolkit/x11/x11frame.h"

namespace {

void RefreshOneIdleInX11Window(benchmark::State& state) {
  const int meter = (int)state.range(0);
  const bool moving = state.range(1) != 0;
  Display* host = XOpenDisplay(nullptr);
  if (!host) {
    state.SkipWithError("no X display (run through tests/x11/run-with-xvfb.sh)");
    return;
  }
  Window parent = XCreateSimpleWindow(host, DefaultRootWindow(host), 0, 0, 586, 195, 0, 0, 0);
  XMapWindow(host, parent);
  XSync(host, False);
  {
    orvane::MemoryRegistry registry;
    orvane::SharedSettings shared{registry};
    orvane::locatePluginResources();
    Templete::setEditorFactory(&makeTemepleteEditor);
    Templete effect(nullptr, shared);
    Templete::setEditorFactory(nullptr);
    effect.setParameter(orvane::kMeter, meter * 0.5f);
    effect.setSampleRate(48000.0f);
    effect.resume();
    AEffect* e = effect.getAeffect();
    e->dispatcher(e, effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(parent)), 0);
    auto* editor = static_cast<TemepleteEditor*>(effect.getEditor());
    auto* frame =
        editor->getFrame() ? dynamic_cast<VSTGUI::X11PlatformFrame*>(editor->getFrame()->getPlatformFrame()) : nullptr;
    if (!frame) {
      state.SkipWithError("the editor did not open in an X11 window");
    } else {
      std::vector<float> in(256), l(256), r(256);
      float* ins[2] = {in.data(), in.data()};
      float* outs[2] = {l.data(), r.data()};
      long n = 0;
      int step = 0;
      auto block = [&](float peak) {
        for (int i = 0; i < 256; ++i, ++n) in[i] = peak * (float)std::sin(6.283185307179586 * 1000.0 * n / 48000.0);
        effect.processReplacing(ins, outs, 256);
      };
      for (int i = 0; i < 200; ++i) block(moving ? 0.1f : 0.0f);
      for (int i = 0; i < 5; ++i) e->dispatcher(e, effEditIdle, 0, 0, nullptr, 0);
      const int paintsBefore = frame->getPaintCount();
      for (auto _ : state) {
        if (moving) {
          state.PauseTiming();
          const float peak = 0.01f * std::pow(10.0f, 1.2f * (float)(step % 32) / 31.0f);
          for (int i = 0; i < 4; ++i) block(peak);
          ++step;
          state.ResumeTiming();
        }
        e->dispatcher(e, effEditIdle, 0, 0, nullptr, 0);
      }
      state.counters["paints_per_idle"] =
          benchmark::Counter((double)(frame->getPaintCount() - paintsBefore) / (double)state.iterations());
      static const char* names[3] = {"VU", "RMS", "PPM"};
      state.SetLabel(std::string(names[meter]) + (moving ? " moving" : " at rest"));
    }
    e->dispatcher(e, effEditClose, 0, 0, nullptr, 0);
  }
  XDestroyWindow(host, parent);
  XCloseDisplay(host);
}
BENCHMARK(RefreshOneIdleInX11Window)
    ->Args({0, 1})
    ->Args({0, 0})
    ->Args({1, 1})
    ->Args({1, 0})
    ->Args({2, 1})
    ->Args({2, 0})
    ->MeasureProcessCPUTime();

}  // namespace

BENCHMARK_MAIN();
