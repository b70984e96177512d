// Helpers for the metering tool's tests: a private folder, test tones, and a
// run of the whole tool with its output captured.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <stdlib.h>

#include "tools/orvane-meter/MeterTool.h"
#include "tools/orvane-meter/MeteringSession.h"
#include "tools/orvane-meter/ToolOptions.h"

namespace metertool_test {

namespace fs = std::filesystem;

class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/orvane-meter-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    path_ = made ? made : "";
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // Every name in the folder, hidden temporary files included.
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(path_)) out.push_back(e.path().filename().string());
    return out;
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline std::vector<float> tone(double hz, double peak, double sampleRate, double seconds, double startSeconds = 0.0) {
  const std::size_t start = static_cast<std::size_t>(startSeconds * sampleRate);
  const std::size_t n = static_cast<std::size_t>(seconds * sampleRate);
  std::vector<float> s(start + n, 0.0f);
  for (std::size_t i = 0; i < n; ++i)
    s[start + i] = static_cast<float>(peak * std::sin(2.0 * 3.14159265358979323846 * hz * static_cast<double>(i) / sampleRate));
  return s;
}

inline std::vector<float> silence(std::vector<float> s, double sampleRate, double seconds) {
  s.resize(s.size() + static_cast<std::size_t>(seconds * sampleRate), 0.0f);
  return s;
}

// The parameters a command line asks for (input name and options).
inline std::vector<orvane::metertool::ParameterSetting> parametersOf(std::vector<std::string> args) {
  std::vector<const char*> argv = {"orvane-meter"};
  args.push_back("input.wav");
  for (const std::string& a : args) argv.push_back(a.c_str());
  orvane::metertool::ToolOptions o;
  orvane::metertool::parseOptions(static_cast<int>(argv.size()), argv.data(), o);
  return o.parameters;
}

struct Ticks : orvane::metertool::TickSink {
  std::vector<orvane::metertool::DisplayTick> all;
  void tick(const orvane::metertool::DisplayTick& t) override { all.push_back(t); }
  // The first refresh at or after `seconds`.
  const orvane::metertool::DisplayTick& at(double seconds) const {
    for (const auto& t : all)
      if (t.time >= seconds - 1e-9) return t;
    return all.back();
  }
};

// Runs a whole session over one or two channels and collects its refreshes.
inline Ticks meter(const std::vector<std::string>& args, const std::vector<float>& left, const std::vector<float>* right,
                   float sampleRate, int block = 512, double rateHz = 30.0) {
  orvane::metertool::SessionSetup setup;
  setup.parameters = parametersOf(args);
  setup.sampleRate = sampleRate;
  setup.blockSize = block;
  setup.displayRateHz = rateHz;
  setup.mono = right == nullptr;
  orvane::metertool::MeteringSession session(setup);
  Ticks ticks;
  // Fed in uneven pieces, as a file reader would.
  std::size_t done = 0, piece = 1000;
  while (done < left.size()) {
    const std::size_t n = std::min(piece, left.size() - done);
    session.feed(left.data() + done, right ? right->data() + done : nullptr, n, ticks);
    done += n;
    piece = piece == 1000 ? 777 : 1000;
  }
  session.finish(ticks);
  return ticks;
}

struct RunResult {
  int status = -1;
  std::string out, err;
};

inline std::string readAll(FILE* f) {
  std::string s;
  std::rewind(f);
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0) s.append(buffer, n);
  return s;
}

// The whole tool in-process, its two streams captured.
inline RunResult runTool(const std::vector<std::string>& args) {
  std::vector<const char*> argv = {"orvane-meter"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  FILE* out = std::tmpfile();
  FILE* err = std::tmpfile();
  RunResult r;
  r.status = orvane::metertool::runMeterTool(static_cast<int>(argv.size()), argv.data(), out, err, false);
  r.out = readAll(out);
  r.err = readAll(err);
  std::fclose(out);
  std::fclose(err);
  return r;
}

inline int lineCount(const std::string& s) {
  int n = 0;
  for (char c : s) n += c == '\n';
  return n;
}

}  // namespace metertool_test
