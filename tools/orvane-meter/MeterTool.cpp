#include "tools/orvane-meter/MeterTool.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "core/Templete.h"
#include "meters/MeterReadout.h"
#include "tools/orvane-meter/MeteringSession.h"
#include "tools/orvane-meter/OutputFile.h"
#include "tools/orvane-meter/Plot.h"
#include "tools/orvane-meter/Progress.h"
#include "tools/orvane-meter/Report.h"
#include "tools/orvane-meter/SoundFile.h"
#include "tools/orvane-meter/TestSignal.h"
#include "tools/orvane-meter/ToolOptions.h"

#ifndef ORVANE_TOOL_VERSION
#define ORVANE_TOOL_VERSION "0"
#endif

namespace orvane {
namespace metertool {

namespace {

const char* const kMeterNames[3] = {"VU", "RMS", "PPM"};

// Frames read from the file at a time: large enough that decoding runs in
// long strides, small enough to stay in the cache.
constexpr std::size_t kReadFrames = 16384;

struct Fanout : TickSink {
  std::vector<TickSink*> sinks;
  void tick(const DisplayTick& t) override {
    for (TickSink* s : sinks) s->tick(t);
  }
};

std::string baseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string lookup(const std::vector<std::pair<std::string, std::string>>& settings, const std::string& label) {
  for (const auto& s : settings)
    if (s.first == label) return s.second;
  return "";
}

class Messages {
 public:
  explicit Messages(FILE* err) : err_(err) {}
  int fail(int status, const std::string& message) {
    std::fprintf(err_, "orvane-meter: %s\n", message.c_str());
    return status;
  }
  void note(const std::string& message) { std::fprintf(err_, "orvane-meter: note: %s\n", message.c_str()); }

 private:
  FILE* err_;
};

int makeTestSignal(const ToolOptions& o, FILE* out, Messages& messages) {
  const auto channels = makeTestProgramme(o.signal);
  std::string error;
  if (!writeSoundFile(o.makeTestSignal, o.signal.sampleRate, channels, error)) return messages.fail(1, error);
  std::fprintf(out, "wrote %s: %.3f s at %d Hz, %s\n", o.makeTestSignal.c_str(), o.signal.seconds, o.signal.sampleRate,
               channels.size() == 1 ? "mono" : "stereo");
  for (const ProgrammeSection& s : programmeSections(o.signal))
    std::fprintf(out, "  %7.3f - %7.3f s  %s\n", s.start, s.end, s.name.c_str());
  return 0;
}

bool wantsStrip(const ToolOptions& o) {
  for (const ParameterSetting& p : o.parameters)
    if ((p.index == kTrim && p.value != 0.5f) || (p.index >= kHPStat && p.index <= kLPFreq)) return true;
  return false;
}

bool wantsFilters(const ToolOptions& o) {
  for (const ParameterSetting& p : o.parameters)
    if (p.index >= kHPStat && p.index <= kLPFreq) return true;
  return false;
}

}  // namespace

int runMeterTool(int argc, const char* const* argv, FILE* out, FILE* err, bool errIsTerminal) {
  Messages messages(err);
  ToolOptions o;
  const ParseOutcome parsed = parseOptions(argc, argv, o);
  if (!parsed.ok) return messages.fail(2, parsed.message);
  if (o.help) {
    std::fputs(helpText().c_str(), out);
    return 0;
  }
  if (o.version) {
    std::fprintf(out, "orvane-meter %s\n", ORVANE_TOOL_VERSION);
    return 0;
  }
  if (!o.makeTestSignal.empty()) return makeTestSignal(o, out, messages);

  // Outputs must never replace the audio they describe, nor each other.
  // "-o -" is standard output.
  if (o.output == "-") o.output.clear();
  if (!o.output.empty() && sameFile(o.output, o.input))
    return messages.fail(2, "--output '" + o.output + "' is the input file; choose another name");
  if (!o.plot.empty() && sameFile(o.plot, o.input))
    return messages.fail(2, "--plot '" + o.plot + "' is the input file; choose another name");
  if (!o.plot.empty() && !o.output.empty() && sameFile(o.plot, o.output))
    return messages.fail(2, "--plot and --output name the same file");

  SoundReader reader;
  std::string error;
  if (!reader.open(o.input, error)) return messages.fail(1, error);
  const SoundInfo& info = reader.info();

  ReportHeader header;
  if (info.fileChannels > 2) {
    header.notes.push_back("the file has " + std::to_string(info.fileChannels) +
                           " channels; the first two are metered");
    messages.note(header.notes.back());
  }
  if (info.sampleRate < 20000 || info.sampleRate > 200000) {
    header.notes.push_back("the file runs at " + std::to_string(info.sampleRate) +
                           " Hz, outside 20 kHz to 200 kHz: the meters run as at 44.1 kHz, as the plug-in does");
    messages.note(header.notes.back());
  }

  SessionSetup setup;
  setup.parameters = o.parameters;
  setup.sampleRate = static_cast<float>(info.sampleRate);
  setup.blockSize = o.block;
  setup.displayRateHz = o.rateHz;
  setup.mono = info.channels == 1;
  MeteringSession session(setup);
  Templete& effect = session.effect();

  if (wantsStrip(o) && effect.getParameter(kProcess) < 0.5f) {
    header.notes.push_back("the trim and the filters act only with --process");
    messages.note(header.notes.back());
  } else if (wantsFilters(o) && effect.getParameter(kProcFlt) < 0.5f) {
    header.notes.push_back("the filters act only with --filters");
    messages.note(header.notes.back());
  }
  if (info.seconds() * o.rateHz < 1.0) {
    header.notes.push_back("the file is shorter than one display refresh; a higher --rate-hz shows more");
    messages.note(header.notes.back());
  }

  const int type = session.meterType();
  header.file = o.input;
  header.formatName = info.formatName;
  header.sampleRate = info.sampleRate;
  header.fileChannels = info.fileChannels;
  header.channels = info.channels;
  header.frames = info.frames;
  header.meterName = kMeterNames[type >= 0 && type <= 2 ? type : 0];
  if (session.midSide()) {
    header.channelNames[0] = "M";
    header.channelNames[1] = "S";
  }
  header.hasRms = session.hasRms();
  header.referenceDbfs = session.referenceDbfs();
  header.rateHz = o.rateHz;
  header.block = o.block;
  header.settings = session.describeSettings();

  // Open every output before the long part, so a folder that cannot take
  // them is reported at once.
  OutputFile reportFile, plotFile;
  FILE* stream = out;
  if (!o.output.empty()) {
    if (!reportFile.open(o.output, error)) return messages.fail(1, error);
    stream = reportFile.stream();
    if (!stream) return messages.fail(1, "cannot write '" + o.output + "'");
  }
  if (!o.plot.empty() && !plotFile.open(o.plot, error)) return messages.fail(1, error);

  std::unique_ptr<ReportWriter> writer = ReportWriter::create(o.format, stream, header);
  SummaryCollector summary;
  Fanout sinks;
  sinks.sinks = {writer.get(), &summary};
  std::unique_ptr<PlotCollector> plot;
  if (!o.plot.empty()) {
    PlotSetup ps;
    ps.meterType = type;
    ps.title = "orvane-meter: " + baseName(o.input);
    const auto& s = header.settings;
    std::string sub = header.meterName + " meter, reference " + lookup(s, "reference") + ", integration " +
                      lookup(s, "integration");
    if (type == 1) sub += ", rms " + lookup(s, "rms integration");
    sub += ", Hold " + lookup(s, "Hold");
    if (effect.engines().readout(type).holdMode() != 0) sub += " " + lookup(s, "hold time");
    if (type != 0) sub += ", return " + lookup(s, "return");
    sub += ", LagTime " + lookup(s, "LagTime") + ", precise " + lookup(s, "precise");
    char tail[96];
    std::snprintf(tail, sizeof(tail), "   |   %d Hz, %s, %.2f s", info.sampleRate, info.channels == 1 ? "mono" : "stereo",
                  info.seconds());
    ps.subtitle = sub + tail;
    ps.channelNames[0] = header.channelNames[0];
    ps.channelNames[1] = header.channelNames[1];
    ps.showHold = effect.engines().readout(type).holdMode() != 0;
    ps.referenceDbfs = header.referenceDbfs;
    ps.seconds = info.seconds();
    ps.rateHz = o.rateHz;
    plot.reset(new PlotCollector(ps));
    sinks.sinks.push_back(plot.get());
  }

  writer->begin();
  ProgressBar progress(err, o.progress && errIsTerminal, info.seconds());
  std::vector<float> left(kReadFrames), right(kReadFrames);
  uint64_t framesRead = 0;
  for (;;) {
    const std::size_t n = reader.read(left.data(), right.data(), kReadFrames);
    if (n == 0) break;
    session.feed(left.data(), info.channels == 2 ? right.data() : nullptr, n, sinks);
    framesRead += n;
    progress.update(static_cast<double>(framesRead) / info.sampleRate);
  }
  progress.finish();
  if (!reader.error().empty()) return messages.fail(1, "cannot read '" + o.input + "': " + reader.error());
  if (framesRead == 0) return messages.fail(1, "'" + o.input + "' holds no audio");
  if (static_cast<int64_t>(framesRead) < info.frames) {
    char text[160];
    std::snprintf(text, sizeof(text), "the file ends after %.3f s of the %.3f s its header announces",
                  static_cast<double>(framesRead) / info.sampleRate, info.seconds());
    messages.note(text);
  }
  session.finish(sinks);
  writer->end(summary);

  if (plot) {
    FILE* png = plotFile.stream();
    if (!png || !plot->render(png, error)) return messages.fail(1, error.empty() ? "cannot write '" + o.plot + "'" : error);
    if (!plotFile.close(error)) return messages.fail(1, error);
  }
  if (!o.output.empty()) {
    if (!reportFile.commit(error)) return messages.fail(1, error);
  } else if (std::fflush(out) != 0 || std::ferror(out)) {
    return messages.fail(1, "cannot write the output");
  }
  if (plot && !plotFile.commit(error)) return messages.fail(1, error);
  return 0;
}

}  // namespace metertool
}  // namespace orvane
