// What the window costs the audio thread, and what the window thread pays
// on idle: a host parameter change posted from the audio thread while the
// editor is open, a 256-frame block with and without an open window (the
// block is stamped with the frame's clock), and an edit-idle that takes a
// batch of changes.
#include <benchmark/benchmark.h>

#include <memory>
#include <thread>
#include <vector>

#include "core/Templete.h"
#include "editor/EditorPlatform.h"
#include "editor/ParameterMailbox.h"
#include "editor/TemepleteEditor.h"
#include "platform/MemoryRegistry.h"

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

}  // namespace

BENCHMARK_MAIN();
