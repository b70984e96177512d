// orvane-host: loads a VST 2.4 plug-in binary through its entry point and
// prints what it reports, then runs a second of a 1 kHz tone through it.
// With --editor it also shows the plug-in's window for a while (idling it
// as a host does) and can save what the window showed as a PNG.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/vsthost/HostMeasurements.h"
#include "tools/vsthost/VstHost.h"

namespace {

std::string fourCC(VstInt32 v) {
  std::string s;
  for (int shift = 24; shift >= 0; shift -= 8) s += (char)((v >> shift) & 0xff);
  return s;
}

int usage() {
  std::fprintf(stderr,
               "usage: orvane-host [--rate HZ] [--block FRAMES] [--editor SECONDS [--screenshot FILE.png]] PLUGIN\n"
               "       orvane-host --instances N[,N...] [--setting default|precise|strip|rms|ppm] [--rounds R] [--block FRAMES]\n"
               "                   PLUGIN\n"
               "       orvane-host --memory [--cycles N] PLUGIN\n"
               "       orvane-host --editor-cost [--refreshes N] PLUGIN\n"
               "       orvane-host --audio-thread SECONDS PLUGIN\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  float rate = 48000.0f;
  int block = 512;
  bool blockGiven = false;
  double editorSeconds = -1;
  std::string path, screenshot, measure;
  std::vector<int> counts;
  vsthost::RackSetting setting = vsthost::RackSetting::Default;
  int rounds = 15, cycles = 100, refreshes = 300;
  double audioSeconds = 0;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--instances" && i + 1 < argc) {
      measure = a;
      for (char* p = argv[++i]; *p;) {
        char* end = p;
        long n = std::strtol(p, &end, 10);
        if (end == p || n <= 0 || n > 100000) return usage();
        counts.push_back((int)n);
        p = *end == ',' ? end + 1 : end;
        if (*end && *end != ',') return usage();
      }
    } else if (a == "--setting" && i + 1 < argc) {
      if (!vsthost::parseRackSetting(argv[++i], setting)) return usage();
    } else if (a == "--rounds" && i + 1 < argc) {
      rounds = std::max(1, std::atoi(argv[++i]));
    } else if (a == "--memory" || a == "--editor-cost") {
      measure = a;
    } else if (a == "--cycles" && i + 1 < argc) {
      cycles = std::max(1, std::atoi(argv[++i]));
    } else if (a == "--refreshes" && i + 1 < argc) {
      refreshes = std::max(1, std::atoi(argv[++i]));
    } else if (a == "--audio-thread" && i + 1 < argc) {
      measure = a;
      audioSeconds = std::strtod(argv[++i], nullptr);
      if (!(audioSeconds > 0 && audioSeconds <= 3600)) return usage();
    } else if (a == "--rate" && i + 1 < argc)
      rate = std::strtof(argv[++i], nullptr);
    else if (a == "--block" && i + 1 < argc)
      block = std::atoi(argv[++i]), blockGiven = true;
    else if (a == "--editor" && i + 1 < argc)
      editorSeconds = std::strtod(argv[++i], nullptr);
    else if (a == "--screenshot" && i + 1 < argc)
      screenshot = argv[++i];
    else if (!a.empty() && a[0] == '-')
      return usage();
    else
      path = a;
  }
  if (path.empty() || block <= 0 || block > 65536 || !(rate > 0)) return usage();
  if (!screenshot.empty() && editorSeconds < 0) return usage();
  if (editorSeconds > 3600) editorSeconds = 3600;

  vsthost::PluginLibrary library;
  if (!library.load(path)) {
    std::fprintf(stderr, "orvane-host: %s\n", library.error().c_str());
    return 1;
  }
  if (measure == "--instances") return vsthost::measureInstances(library, counts, setting, rounds, blockGiven ? block : 64);
  if (measure == "--memory") return vsthost::measureMemory(library, cycles);
  if (measure == "--editor-cost") return vsthost::measureEditorCost(library, refreshes);
  if (measure == "--audio-thread") return vsthost::measureAudioThread(library, audioSeconds);

  vsthost::HostState host;
  vsthost::Plugin plugin(library.vstPluginMain() ? library.vstPluginMain() : library.mainEntry(), host);
  if (!plugin.valid()) {
    std::fprintf(stderr, "orvane-host: the plug-in made no instance\n");
    return 1;
  }
  AEffect* e = plugin.effect();
  std::printf("plug-in      %s\n", path.c_str());
  std::printf("entry points VSTPluginMain %s, main %s\n", library.vstPluginMain() ? "yes" : "no",
              library.mainEntry() ? "yes" : "no");
  std::printf("effect       %s / %s by %s, version %ld, VST %ld\n", plugin.text(effGetEffectName).c_str(),
              plugin.text(effGetProductString).c_str(), plugin.text(effGetVendorString).c_str(),
              (long)plugin.dispatch(effGetVendorVersion), (long)plugin.dispatch(effGetVstVersion));
  std::printf("record       id '%s', %d in / %d out, %d parameters, %d program(s), flags 0x%x, category %ld\n",
              fourCC(e->uniqueID).c_str(), e->numInputs, e->numOutputs, e->numParams, e->numPrograms, e->flags,
              (long)plugin.dispatch(effGetPlugCategory));
  for (VstInt32 i = 0; i < e->numParams; ++i) {
    std::string name = plugin.text(effGetParamName, i);
    if (name.empty()) continue;
    std::printf("  param %2d   %-8s = %-9s (%.3f)\n", i, name.c_str(), plugin.text(effGetParamDisplay, i).c_str(),
                plugin.getParameter(i));
  }

  plugin.start(rate, block);
  std::vector<float> inL(block), inR(block), outL(block), outR(block);
  float* ins[2] = {inL.data(), inR.data()};
  float* outs[2] = {outL.data(), outR.data()};
  double phase = 0, peak = 0;
  const double step = 2 * 3.14159265358979323846 * 1000.0 / rate;
  for (int done = 0; done < (int)rate; done += block) {
    for (int i = 0; i < block; ++i) {
      inL[i] = inR[i] = (float)(0.5 * std::sin(phase));
      phase += step;
    }
    plugin.process(ins, outs, block);
    for (int i = 0; i < block; ++i) peak = std::fmax(peak, std::fabs((double)outL[i]));
  }
  std::printf("audio        1 s of a 1 kHz tone at -6 dBFS in blocks of %d at %.0f Hz: output peak %.4f\n", block,
              rate, peak);
  std::printf("chunk        %zu bytes\n", plugin.chunk().size());

  int status = 0;
  if (editorSeconds >= 0) {
    if (!(e->flags & effFlagsHasEditor)) {
      std::printf("editor       none\n");
    } else {
      vsthost::EditorWindow window(plugin);
      if (!window.open()) {
        std::printf("editor       refused to open\n");
        status = 1;
      } else {
        const ERect& r = window.openingRect();
        std::printf("editor       %d x %d before opening, %d x %d open\n", r.right - r.left, r.bottom - r.top,
                    window.width(), window.height());
        // Audio keeps flowing while the window shows, as in a host.
        const int idleMs = 30;
        for (double shown = 0; shown < editorSeconds * 1000; shown += idleMs) {
          plugin.process(ins, outs, block);
          window.idle(idleMs, idleMs);
        }
        std::printf("idle         %d calls\n", window.idleCalls());
        if (!screenshot.empty()) {
          const bool saved = window.savePNG(screenshot);
          std::printf("screenshot   %s%s\n", screenshot.c_str(), saved ? "" : " (not saved: no window to capture)");
          if (!saved) status = 1;
        }
        window.close();
        for (const auto& size : host.sizeWindowCalls)
          std::printf("size request %ld x %ld\n", (long)size.first, (long)size.second);
      }
    }
  }
  plugin.dispatch(effMainsChanged, 0, 0);
  std::printf("close        %ld\n", (long)plugin.close());
  return status;
}
