// What the window costs the audio thread, and what the window thread pays
// on idle: a host parameter change posted from the audio thread while the
// editor is open, a 256-frame block with and without an open window (the
// block is stamped with the frame's clock), an edit-idle that takes a
// batch of changes, and one refresh of the meter on show (read-outs,
// views, painting what changed) with both needles moving and at rest.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/Templete.h"
#include "editor/EditorPlatform.h"
#include "editor/ParameterMailbox.h"
#include "editor/TemepleteEditor.h"
#include "platform/MemoryRegistry.h"
#include "toolkit/cairo/nativeframe.h"
#include "toolkit/cframe.h"

namespace {

// An effect whose editor was made, and whose window was opened, on a
// thread of its own: every call from the benchmark's thread is then a call
// from "another" thread, as the host's audio thread is.
struct Rig {
  orvane::MemoryRegistry registry;
  orvane::SharedSettings shared{registry};
  std::unique_ptr<Templete> effect;
  std::vector<float> in, outL, outR;

  Rig(bool withEditor, bool open) : in(256, 0.1f), outL(256), outR(256) {
    orvane::locatePluginResources();
    Templete::setEditorFactory(withEditor ? &makeTemepleteEditor : nullptr);
    std::thread window([&] {
      effect.reset(new Templete(nullptr, shared));
      if (open) effect->getAeffect()->dispatcher(effect->getAeffect(), effEditOpen, 0, 0, nullptr, 0);
    });
    window.join();
    Templete::setEditorFactory(nullptr);
    effect->setSampleRate(48000.0f);
    effect->resume();
  }
  ~Rig() {
    std::thread window([&] { effect.reset(); });
    window.join();
  }
  void block() {
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {outL.data(), outR.data()};
    effect->processReplacing(ins, outs, 256);
  }
};

void MailboxPost(benchmark::State& state) {
  orvane::ParameterMailbox box;
  int i = 0;
  for (auto _ : state) {
    box.post(i & 15, 0.5f);
    ++i;
  }
}
BENCHMARK(MailboxPost);

// The effect's own work for "LR/MS" plus the editor's record of it.
void SetParameterFromAudioThreadWindowOpen(benchmark::State& state) {
  Rig rig(true, true);
  float v = 0;
  for (auto _ : state) {
    rig.effect->setParameter(orvane::kLRMS, v);
    v = v > 0.5f ? 0.0f : 1.0f;
  }
}
BENCHMARK(SetParameterFromAudioThreadWindowOpen);

void SetParameterNoEditor(benchmark::State& state) {
  Rig rig(false, false);
  float v = 0;
  for (auto _ : state) {
    rig.effect->setParameter(orvane::kLRMS, v);
    v = v > 0.5f ? 0.0f : 1.0f;
  }
}
BENCHMARK(SetParameterNoEditor);

void Block256(benchmark::State& state) {
  const bool withEditor = state.range(0) > 0, open = state.range(0) > 1;
  Rig rig(withEditor, open);
  for (auto _ : state) rig.block();
  state.SetLabel(!withEditor ? "no editor" : open ? "window open" : "window closed");
}
BENCHMARK(Block256)->Arg(0)->Arg(1)->Arg(2);

// An edit-idle on the window's thread after the audio thread posted
// changes to 8 parameters; the window has no panels yet, so this is the
// editor's own share.
void IdleTakingEightChanges(benchmark::State& state) {
  orvane::MemoryRegistry registry;
  orvane::SharedSettings shared{registry};
  orvane::locatePluginResources();
  Templete::setEditorFactory(&makeTemepleteEditor);
  Templete effect(nullptr, shared);
  Templete::setEditorFactory(nullptr);
  AEffect* e = effect.getAeffect();
  e->dispatcher(e, effEditOpen, 0, 0, nullptr, 0);
  float v = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::thread audio([&] {
      for (int i : {1, 2, 4, 5, 8, 9, 10, 16}) effect.setParameter(i, v);
    });
    audio.join();
    v = v > 0.5f ? 0.0f : 1.0f;
    state.ResumeTiming();
    e->dispatcher(e, effEditIdle, 0, 0, nullptr, 0);
  }
  e->dispatcher(e, effEditClose, 0, 0, nullptr, 0);
}
BENCHMARK(IdleTakingEightChanges)->Iterations(2000);

// One edit-idle of an open window: the shown panel's refresh (read-outs
// into both views, the shared-settings check) and the frame painting what
// became dirty. Moving: a block of a tone whose level changes every time
// arrives between idles (outside the timing), so both needles move on
// every refresh. At rest: silence, needles on their stops, nothing painted.
// At a zoom (the third argument, in percent) the same views paint into
// that many more pixels, the bitmaps from the 2x artwork; the memory the
// open window holds (heap and mapped blocks, the frame's image and the
// bitmaps included) is reported with it.
size_t heapInUse() {
  const struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

void RefreshOneIdle(benchmark::State& state) {
  const int meter = (int)state.range(0);
  const bool moving = state.range(1) != 0;
  const double zoom = state.range(2) / 100.0;
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
  static_cast<TemepleteEditor*>(effect.getEditor())->setZoom(zoom);
  const size_t heapClosed = heapInUse();
  e->dispatcher(e, effEditOpen, 0, 0, nullptr, 0);
  auto* frame = static_cast<VSTGUI::NativePlatformFrame*>(
      static_cast<TemepleteEditor*>(effect.getEditor())->getFrame()->getPlatformFrame());
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
  e->dispatcher(e, effEditIdle, 0, 0, nullptr, 0);
  state.counters["open_window_kib"] = (double)(heapInUse() - heapClosed) / 1024.0;
  const int paintsBefore = frame->getPaintCount();
  for (auto _ : state) {
    if (moving) {
      state.PauseTiming();
      // A level that climbs 24 dB over 32 idles and drops back: every
      // needle, the slow VU too, is always on its way somewhere.
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
  state.SetLabel(std::string(names[meter]) + (moving ? " moving" : " at rest") + " at " +
                 std::to_string(state.range(2)) + " %");
  e->dispatcher(e, effEditClose, 0, 0, nullptr, 0);
}
BENCHMARK(RefreshOneIdle)
    ->Args({0, 1, 100})
    ->Args({0, 0, 100})
    ->Args({1, 1, 100})
    ->Args({1, 0, 100})
    ->Args({2, 1, 100})
    ->Args({2, 0, 100})
    ->Args({0, 1, 200})
    ->Args({0, 0, 150})
    ->Args({0, 0, 200})
    ->Args({1, 1, 200})
    ->Args({2, 1, 200});

}  // namespace

BENCHMARK_MAIN();
