// orvane-vst3-host: loads a VST 3 bundle binary through its exported
// functions and tells what its factory offers; with --steps, fuzzes it.
//   orvane-vst3-host --plugin=FILE [--seed=N --steps=N [--seconds=S]]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/orvane-vst3-host/Vst3Fuzz.h"
#include "tools/orvane-vst3-host/Vst3Host.h"

int main(int argc, char** argv) {
  std::string plugin;
  unsigned long long seed = 1;
  long steps = 0;
  double seconds = 0;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (!std::strncmp(a, "--plugin=", 9)) plugin = a + 9;
    else if (!std::strncmp(a, "--seed=", 7)) seed = std::strtoull(a + 7, nullptr, 10);
    else if (!std::strncmp(a, "--steps=", 8)) steps = std::strtol(a + 8, nullptr, 10);
    else if (!std::strncmp(a, "--seconds=", 10)) seconds = std::atof(a + 10);
    else {
      std::fprintf(stderr, "usage: orvane-vst3-host --plugin=FILE [--seed=N --steps=N [--seconds=S]]\n");
      return 2;
    }
  }
  vst3host::Module module;
  if (plugin.empty() || !module.load(plugin)) {
    std::fprintf(stderr, "orvane-vst3-host: %s\n", plugin.empty() ? "no --plugin" : module.error().c_str());
    return 2;
  }
  if (steps > 0) {
    vst3host::FuzzResult r = vst3host::fuzz(module, seed, steps, seconds);
    if (!r.failure.empty()) {
      std::printf("vst3 fuzz: FAILED at step %ld: %s (replay with --seed=%llu --steps=%ld)\n", r.steps,
                  r.failure.c_str(), seed, r.steps + 1);
      return 1;
    }
    std::printf("vst3 fuzz: seed %llu, %ld steps, no failure\n", seed, r.steps);
    return 0;
  }
  v3::PClassInfoW info;
  auto* f3 = static_cast<v3::IPluginFactory3*>(nullptr);
  void* obj = nullptr;
  if (module.factory()->queryInterface(v3::kIPluginFactory3Iid.bytes, &obj) == v3::kResultOk) f3 = static_cast<v3::IPluginFactory3*>(obj);
  for (int i = 0; f3 && i < f3->countClasses(); ++i)
    if (f3->getClassInfoUnicode(i, &info) == v3::kResultOk)
      std::printf("%s | %s | %s | %s | %s\n", vst3host::narrow(info.name).c_str(), info.category, info.subCategories,
                  vst3host::narrow(info.vendor).c_str(), vst3host::narrow(info.version).c_str());
  return 0;
}
