#include "tools/orvane-meter/Report.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#ifndef ORVANE_TOOL_VERSION
#define ORVANE_TOOL_VERSION "0"
#endif

namespace orvane {
namespace metertool {

bool toDecibels(double linear, double& dB) {
  if (!(linear >= 1e-10) || !std::isfinite(linear)) return false;
  dB = 20.0 * std::log10(linear);
  return true;
}

void SummaryCollector::tick(const DisplayTick& t) {
  const bool first = refreshes_ == 0;
  for (int c = 0; c < 2; ++c) {
    ChannelSummary& s = channels_[c];
    if (first || t.needle[c] > s.maxNeedle) {
      s.maxNeedle = t.needle[c];
      s.maxNeedleTime = t.time;
    }
    if (first || t.hold[c] > s.maxHold) {
      s.maxHold = t.hold[c];
      s.maxHoldTime = t.time;
    }
    if (first || t.rms[c] > s.maxRms) {
      s.maxRms = t.rms[c];
      s.maxRmsTime = t.time;
    }
    if (t.over[c] == 1) {
      ++s.overRefreshes;
      if (lastOver_[c] != 1) ++s.overs;
    }
    lastOver_[c] = t.over[c];
  }
  ++refreshes_;
  lastTime_ = t.time;
}

namespace {

// A reading that rounds to zero prints as 0, never as "-0".
double tidy(double v, double resolution) { return std::fabs(v) < resolution ? 0.0 : v; }

const char* overWord(int state) { return state > 0 ? "OVER" : (state == 0 ? "latch" : "-"); }

// Appends printf-style text to a line buffer.
class Line {
 public:
  void clear() { n_ = 0; }
  template <typename... Args>
  void add(const char* format, Args... args) {
    if (n_ >= sizeof(buffer_) - 1) return;
    const int w = std::snprintf(buffer_ + n_, sizeof(buffer_) - n_, format, args...);
    if (w > 0) n_ = std::min(sizeof(buffer_) - 1, n_ + static_cast<std::size_t>(w));
  }
  void text(const std::string& s) { add("%s", s.c_str()); }
  void flush(FILE* out) {
    std::fwrite(buffer_, 1, n_, out);
    n_ = 0;
  }

 private:
  char buffer_[1024];
  std::size_t n_ = 0;
};

std::string channelWord(int channels) { return channels == 1 ? "mono" : "stereo"; }

std::string fileLine(const ReportHeader& h) {
  char buffer[256];
  std::snprintf(buffer, sizeof(buffer), "%d Hz, %s", h.sampleRate, channelWord(h.channels).c_str());
  std::string s = h.file + " (" + h.formatName + "), " + buffer;
  if (h.fileChannels > 2) s += " (first two of " + std::to_string(h.fileChannels) + " channels)";
  std::snprintf(buffer, sizeof(buffer), ", %.3f s", h.sampleRate > 0 ? (double)h.frames / h.sampleRate : 0.0);
  return s + buffer;
}

std::string meterLine(const ReportHeader& h) {
  char buffer[256];
  std::snprintf(buffer, sizeof(buffer), "%s meter, reference %.1f dBFS, channels %s/%s; %g refreshes a second, host blocks of %d frames",
                h.meterName.c_str(), h.referenceDbfs, h.channelNames[0].c_str(), h.channelNames[1].c_str(), h.rateHz,
                h.block);
  return buffer;
}

// ------------------------------------------------------------------ table

class TableWriter : public ReportWriter {
 public:
  TableWriter(FILE* out, const ReportHeader& h) : out_(out), h_(h) {}

  void begin() override {
    std::fprintf(out_, "orvane-meter %s\n", ORVANE_TOOL_VERSION);
    std::fprintf(out_, "file      %s\n", fileLine(h_).c_str());
    std::fprintf(out_, "meter     %s\n", meterLine(h_).c_str());
    std::string line = "settings ";
    for (std::size_t i = 0; i < h_.settings.size(); ++i) {
      std::string item = " " + h_.settings[i].first + " " + h_.settings[i].second + (i + 1 < h_.settings.size() ? "," : "");
      if (line.size() + item.size() > 100) {
        std::fprintf(out_, "%s\n", line.c_str());
        line = "         ";
      }
      line += item;
    }
    std::fprintf(out_, "%s\n", line.c_str());
    for (const std::string& note : h_.notes) std::fprintf(out_, "note      %s\n", note.c_str());
    std::fprintf(out_, "\n");

    // Column titles, right-aligned over their numbers.
    Line l;
    l.add("%8s", "time s");
    for (int c = 0; c < 2; ++c) {
      const char* n = h_.channelNames[c].c_str();
      l.add("%s", " |");
      l.add(" %9s %7s", (std::string(n) + " needle").c_str(), "dB");
      l.add(" %9s %7s", (std::string(n) + " hold").c_str(), "dB");
      if (h_.hasRms) l.add(" %9s %7s", (std::string(n) + " rms").c_str(), "dB");
      l.add(" %6s", "over");
    }
    l.add("%s", "\n");
    l.flush(out_);
  }

  void tick(const DisplayTick& t) override {
    line_.clear();
    line_.add("%8.3f", t.time);
    for (int c = 0; c < 2; ++c) {
      line_.add("%s", " |");
      value(t.needle[c]);
      value(t.hold[c]);
      if (h_.hasRms) value(t.rms[c]);
      line_.add(" %6s", overWord(t.over[c]));
    }
    line_.add("%s", "\n");
    line_.flush(out_);
  }

  void end(const SummaryCollector& s) override {
    std::fprintf(out_, "\nsummary   %lld refreshes in %.3f s\n", (long long)s.refreshes(), s.lastTime());
    if (s.refreshes() == 0) {
      std::fprintf(out_, "          no refresh fell within the file; a higher --rate-hz shows more\n");
      return;
    }
    std::fprintf(out_, "%-12s", "");
    for (int c = 0; c < 2; ++c) std::fprintf(out_, "  %-34s", h_.channelNames[c].c_str());
    std::fprintf(out_, "\n");
    auto row = [&](const char* label, double ChannelSummary::*value, double ChannelSummary::*time) {
      std::fprintf(out_, "%-12s", label);
      for (int c = 0; c < 2; ++c) {
        const ChannelSummary& cs = s.channel(c);
        double dB;
        char db[16];
        if (toDecibels(cs.*value, dB)) std::snprintf(db, sizeof(db), "%+.2f dB", dB);
        else std::snprintf(db, sizeof(db), "-inf dB");
        char cell[64];
        std::snprintf(cell, sizeof(cell), "%.4f %s at %.3f s", cs.*value, db, cs.*time);
        std::fprintf(out_, "  %-34s", cell);
      }
      std::fprintf(out_, "\n");
    };
    row("max needle", &ChannelSummary::maxNeedle, &ChannelSummary::maxNeedleTime);
    row("max hold", &ChannelSummary::maxHold, &ChannelSummary::maxHoldTime);
    if (h_.hasRms) row("max rms", &ChannelSummary::maxRms, &ChannelSummary::maxRmsTime);
    std::fprintf(out_, "%-12s", "overs");
    for (int c = 0; c < 2; ++c) {
      char cell[64];
      std::snprintf(cell, sizeof(cell), "%lld (lit on %lld refreshes)", (long long)s.channel(c).overs,
                    (long long)s.channel(c).overRefreshes);
      std::fprintf(out_, "  %-34s", cell);
    }
    std::fprintf(out_, "\n");
  }

 private:
  void value(double v) {
    double dB;
    line_.add(" %9.4f", tidy(v, 0.00005));
    if (toDecibels(v, dB)) line_.add(" %7.2f", dB);
    else line_.add(" %7s", "-inf");
  }

  FILE* out_;
  ReportHeader h_;
  Line line_;
};

// ------------------------------------------------------------------ CSV

std::string csvField(const std::string& s) {
  if (s.find_first_of(",\"\n") == std::string::npos) return s;
  std::string q = "\"";
  for (char c : s) {
    if (c == '"') q += '"';
    if (c != '\n') q += c;
  }
  return q + "\"";
}

class CsvWriter : public ReportWriter {
 public:
  CsvWriter(FILE* out, const ReportHeader& h) : out_(out), h_(h) {}

  void begin() override {
    std::fprintf(out_, "# orvane-meter %s\n", ORVANE_TOOL_VERSION);
    std::fprintf(out_, "# file: %s\n", fileLine(h_).c_str());
    std::fprintf(out_, "# meter: %s\n", meterLine(h_).c_str());
    for (const auto& s : h_.settings) std::fprintf(out_, "# setting: %s = %s\n", s.first.c_str(), s.second.c_str());
    for (const std::string& note : h_.notes) std::fprintf(out_, "# note: %s\n", note.c_str());
    Line l;
    l.add("%s", "time_s");
    for (int c = 0; c < 2; ++c) {
      const char* n = h_.channelNames[c].c_str();
      l.add(",%s_needle,%s_needle_db,%s_hold,%s_hold_db", n, n, n, n);
      if (h_.hasRms) l.add(",%s_rms,%s_rms_db", n, n);
      l.add(",%s_over", n);
    }
    l.add("%s", "\n");
    l.flush(out_);
  }

  void tick(const DisplayTick& t) override {
    line_.clear();
    line_.add("%.4f", t.time);
    for (int c = 0; c < 2; ++c) {
      value(t.needle[c]);
      value(t.hold[c]);
      if (h_.hasRms) value(t.rms[c]);
      line_.add(",%d", t.over[c]);
    }
    line_.add("%s", "\n");
    line_.flush(out_);
  }

  void end(const SummaryCollector& s) override {
    std::fprintf(out_, "# summary: refreshes=%lld, last_refresh_s=%.4f\n", (long long)s.refreshes(), s.lastTime());
    std::fprintf(out_, "# summary: channel,max_needle,max_needle_db,max_needle_s,max_hold,max_hold_db,max_hold_s%s,overs,over_refreshes\n",
                 h_.hasRms ? ",max_rms,max_rms_db,max_rms_s" : "");
    for (int c = 0; c < 2; ++c) {
      const ChannelSummary& cs = s.channel(c);
      line_.clear();
      line_.add("# summary: %s", csvField(h_.channelNames[c]).c_str());
      value(cs.maxNeedle);
      line_.add(",%.4f", cs.maxNeedleTime);
      value(cs.maxHold);
      line_.add(",%.4f", cs.maxHoldTime);
      if (h_.hasRms) {
        value(cs.maxRms);
        line_.add(",%.4f", cs.maxRmsTime);
      }
      line_.add(",%lld,%lld\n", (long long)cs.overs, (long long)cs.overRefreshes);
      line_.flush(out_);
    }
  }

 private:
  void value(double v) {
    double dB;
    line_.add(",%.6f", tidy(v, 0.0000005));
    if (toDecibels(v, dB)) line_.add(",%.3f", dB);
    else line_.add("%s", ",-inf");
  }

  FILE* out_;
  ReportHeader h_;
  Line line_;
};

// ------------------------------------------------------------------ JSON

std::string jsonString(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      default:
        if (c < 0x20) {
          char u[8];
          std::snprintf(u, sizeof(u), "\\u%04x", c);
          out += u;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

class JsonWriter : public ReportWriter {
 public:
  JsonWriter(FILE* out, const ReportHeader& h) : out_(out), h_(h) {}

  void begin() override {
    std::fprintf(out_, "{\n  \"tool\": \"orvane-meter\",\n  \"version\": %s,\n", jsonString(ORVANE_TOOL_VERSION).c_str());
    std::fprintf(out_, "  \"file\": %s,\n  \"format\": %s,\n", jsonString(h_.file).c_str(), jsonString(h_.formatName).c_str());
    std::fprintf(out_, "  \"sample_rate\": %d,\n  \"file_channels\": %d,\n  \"channels\": %d,\n  \"frames\": %lld,\n",
                 h_.sampleRate, h_.fileChannels, h_.channels, (long long)h_.frames);
    std::fprintf(out_, "  \"meter\": %s,\n  \"channel_names\": [%s, %s],\n  \"reference_dbfs\": %.3f,\n",
                 jsonString(h_.meterName).c_str(), jsonString(h_.channelNames[0]).c_str(),
                 jsonString(h_.channelNames[1]).c_str(), h_.referenceDbfs);
    std::fprintf(out_, "  \"display_rate_hz\": %g,\n  \"block\": %d,\n  \"settings\": {", h_.rateHz, h_.block);
    for (std::size_t i = 0; i < h_.settings.size(); ++i)
      std::fprintf(out_, "%s\n    %s: %s", i ? "," : "", jsonString(h_.settings[i].first).c_str(),
                   jsonString(h_.settings[i].second).c_str());
    std::fprintf(out_, "\n  },\n  \"notes\": [");
    for (std::size_t i = 0; i < h_.notes.size(); ++i)
      std::fprintf(out_, "%s%s", i ? ", " : "", jsonString(h_.notes[i]).c_str());
    std::fprintf(out_, "],\n  \"refreshes\": [");
  }

  void tick(const DisplayTick& t) override {
    line_.clear();
    line_.add("%s\n    {\"t\": %.4f", first_ ? "" : ",", t.time);
    first_ = false;
    pair("needle", t.needle);
    pair("hold", t.hold);
    if (h_.hasRms) pair("rms", t.rms);
    line_.add(", \"over\": [%d, %d]}", t.over[0], t.over[1]);
    line_.flush(out_);
  }

  void end(const SummaryCollector& s) override {
    std::fprintf(out_, "%s],\n  \"summary\": {\n    \"refreshes\": %lld,\n    \"channels\": [", first_ ? "" : "\n  ",
                 (long long)s.refreshes());
    for (int c = 0; c < 2; ++c) {
      const ChannelSummary& cs = s.channel(c);
      line_.clear();
      line_.add("%s\n      {\"name\": %s", c ? "," : "", jsonString(h_.channelNames[c]).c_str());
      stat("max_needle", cs.maxNeedle, cs.maxNeedleTime);
      stat("max_hold", cs.maxHold, cs.maxHoldTime);
      if (h_.hasRms) stat("max_rms", cs.maxRms, cs.maxRmsTime);
      line_.add(", \"overs\": %lld, \"over_refreshes\": %lld}", (long long)cs.overs, (long long)cs.overRefreshes);
      line_.flush(out_);
    }
    std::fprintf(out_, "\n    ]\n  }\n}\n");
  }

 private:
  void number(double v) {
    if (std::isfinite(v)) line_.add("%.6f", tidy(v, 0.0000005));
    else line_.add("%s", "null");
  }
  void decibels(double v) {
    double dB;
    if (toDecibels(v, dB)) line_.add("%.3f", dB);
    else line_.add("%s", "null");
  }
  void pair(const char* name, const double (&v)[2]) {
    line_.add(", \"%s\": [", name);
    number(v[0]);
    line_.add("%s", ", ");
    number(v[1]);
    line_.add("], \"%s_db\": [", name);
    decibels(v[0]);
    line_.add("%s", ", ");
    decibels(v[1]);
    line_.add("%s", "]");
  }
  void stat(const char* name, double v, double time) {
    line_.add(", \"%s\": ", name);
    number(v);
    line_.add(", \"%s_db\": ", name);
    decibels(v);
    line_.add(", \"%s_s\": %.4f", name, time);
  }

  FILE* out_;
  ReportHeader h_;
  Line line_;
  bool first_ = true;
};

}  // namespace

std::unique_ptr<ReportWriter> ReportWriter::create(OutputFormat format, FILE* out, const ReportHeader& header) {
  switch (format) {
    case OutputFormat::Csv: return std::unique_ptr<ReportWriter>(new CsvWriter(out, header));
    case OutputFormat::Json: return std::unique_ptr<ReportWriter>(new JsonWriter(out, header));
    default: return std::unique_ptr<ReportWriter>(new TableWriter(out, header));
  }
}

}  // namespace metertool
}  // namespace orvane
