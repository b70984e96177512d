// orvane-fuzz: drives a plug-in binary through its entry point with a
// seeded stream of host calls and checks it after every step.
//   orvane-fuzz --plugin=PATH [--seed=N] [--steps=N] [--seconds=S] [--trace]
// Prints one line: the seed, the steps done and the result. A failure (or a
// crash) names the seed and the step, then prints the whole command that
// replays it up to that step with a trace.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/fuzz/Fuzz.h"
#include "tools/vsthost/VstHost.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

uint64_t gSeed = 0;
char gPlugin[512];
char gCrashLine[1024];

void printCrash() {
  const unsigned long long step = fuzz::currentStep.load(std::memory_order_relaxed);
  const int n = std::snprintf(gCrashLine, sizeof gCrashLine,
                              "orvane-fuzz: CRASH with --seed=%llu at step %llu\n"
                              "orvane-fuzz: replay with orvane-fuzz --plugin=\"%s\" --seed=%llu --steps=%llu --trace\n",
                              (unsigned long long)gSeed, step, gPlugin, (unsigned long long)gSeed, step + 1);
  const size_t len = n < 0 ? 0 : (size_t)n < sizeof gCrashLine ? (size_t)n : sizeof gCrashLine - 1;
#if defined(_WIN32)
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), gCrashLine, (DWORD)len, &written, nullptr);
#else
  if (write(2, gCrashLine, len) < 0) {
  }
#endif
}

#if defined(_WIN32)
LONG WINAPI onCrash(EXCEPTION_POINTERS*) {
  printCrash();
  return EXCEPTION_CONTINUE_SEARCH;
}
#else
void onSignal(int signal) {
  printCrash();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}
#endif

bool number(const std::string& arg, const char* name, uint64_t& out) {
  const size_t n = std::strlen(name);
  if (arg.compare(0, n, name) != 0) return false;
  out = std::strtoull(arg.c_str() + n, nullptr, 0);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string plugin;
  fuzz::Options options;
  uint64_t seconds = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a.rfind("--plugin=", 0) == 0) plugin = a.substr(9);
    else if (number(a, "--seed=", options.seed) || number(a, "--steps=", options.steps) ||
             number(a, "--seconds=", seconds)) {
    } else if (a == "--trace") options.trace = true;
    else {
      std::fprintf(stderr, "usage: orvane-fuzz --plugin=PATH [--seed=N] [--steps=N] [--seconds=S] [--trace]\n");
      return 2;
    }
  }
  if (plugin.empty()) {
    std::fprintf(stderr, "orvane-fuzz: --plugin=PATH is needed\n");
    return 2;
  }
  gSeed = options.seed;
  std::snprintf(gPlugin, sizeof gPlugin, "%s", plugin.c_str());
#if defined(_WIN32)
  SetUnhandledExceptionFilter(onCrash);
#else
  for (int s : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) std::signal(s, onSignal);
#endif
  vsthost::PluginLibrary library;
  if (!library.load(plugin)) {
    std::fprintf(stderr, "orvane-fuzz: %s\n", library.error().c_str());
    return 2;
  }
  if (!library.vstPluginMain()) {
    std::fprintf(stderr, "orvane-fuzz: %s exports no VSTPluginMain\n", plugin.c_str());
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  if (seconds) {
    options.deadline = [start, seconds] {
      return std::chrono::steady_clock::now() - start >= std::chrono::seconds(seconds);
    };
  }
  const fuzz::Result r = fuzz::run(library.vstPluginMain(), options);
  const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!r.failure.empty()) {
    std::printf("orvane-fuzz: FAILED with --seed=%llu at step %llu: %s\n", (unsigned long long)options.seed,
                (unsigned long long)r.failedStep, r.failure.c_str());
    std::printf("orvane-fuzz: replay with orvane-fuzz --plugin=\"%s\" --seed=%llu --steps=%llu --trace\n",
                plugin.c_str(), (unsigned long long)options.seed, (unsigned long long)(r.failedStep + 1));
    return 1;
  }
  std::printf("orvane-fuzz: seed %llu, %llu steps, no failure (%.1f s)\n", (unsigned long long)options.seed,
              (unsigned long long)r.steps, took);
  return 0;
}
