#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/meter_tool/MeterToolTestSupport.h"
#include "tools/orvane-meter/Report.h"

using namespace orvane::metertool;

namespace {

// A strict reader of JSON's grammar, enough to prove a document well
// formed: no trailing commas, no NaN or infinity, every string closed.
class JsonChecker {
 public:
  explicit JsonChecker(const std::string& s) : s_(s) {}
  bool valid() {
    ws();
    if (!value()) return false;
    ws();
    return i_ == s_.size();
  }

 private:
  void ws() {
    while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
  }
  bool eat(char c) {
    ws();
    if (i_ < s_.size() && s_[i_] == c) {
      ++i_;
      return true;
    }
    return false;
  }
  bool literal(const char* word) {
    const std::string w(word);
    if (s_.compare(i_, w.size(), w) != 0) return false;
    i_ += w.size();
    return true;
  }
  bool string() {
    if (!eat('"')) return false;
    while (i_ < s_.size() && s_[i_] != '"') {
      if (static_cast<unsigned char>(s_[i_]) < 0x20) return false;
      if (s_[i_] == '\\') ++i_;
      ++i_;
    }
    return i_ < s_.size() && s_[i_++] == '"';
  }
  bool number() {
    const std::size_t start = i_;
    if (i_ < s_.size() && s_[i_] == '-') ++i_;
    while (i_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[i_])) || s_[i_] == '.' || s_[i_] == 'e' ||
                              s_[i_] == 'E' || s_[i_] == '+' || s_[i_] == '-'))
      ++i_;
    return i_ > start && std::isdigit(static_cast<unsigned char>(s_[i_ - 1]));
  }
  bool value() {
    ws();
    if (i_ >= s_.size()) return false;
    const char c = s_[i_];
    if (c == '{') {
      ++i_;
      if (eat('}')) return true;
      do {
        ws();
        if (!string() || !eat(':') || !value()) return false;
      } while (eat(','));
      return eat('}');
    }
    if (c == '[') {
      ++i_;
      if (eat(']')) return true;
      do {
        if (!value()) return false;
      } while (eat(','));
      return eat(']');
    }
    if (c == '"') return string();
    if (c == 't') return literal("true");
    if (c == 'f') return literal("false");
    if (c == 'n') return literal("null");
    return number();
  }
  const std::string& s_;
  std::size_t i_ = 0;
};

ReportHeader header(bool rms) {
  ReportHeader h;
  h.file = "dir/a \"quoted\" name.wav";
  h.formatName = "WAV, 16 bit";
  h.sampleRate = 48000;
  h.fileChannels = 2;
  h.channels = 2;
  h.frames = 48000;
  h.meterName = rms ? "RMS" : "VU";
  h.hasRms = rms;
  h.referenceDbfs = -18.0;
  h.settings = {{"Hold", "On"}, {"reference", "-18.0dBFS"}};
  h.notes = {"a note, with a comma"};
  return h;
}

// Refreshes that cover the awkward values: rest below zero, silence, a
// tiny value, over states of every kind.
std::vector<DisplayTick> ticks() {
  std::vector<DisplayTick> out;
  const double needles[] = {-0.05, 0.0, 1e-12, 0.5, 1.0, 2.0, 0.25};
  const int overs[] = {-1, -1, -1, 1, 1, 0, 1};
  for (int i = 0; i < 7; ++i) {
    DisplayTick t;
    t.index = i + 1;
    t.time = (i + 1) / 30.0;
    t.needle[0] = needles[i];
    t.needle[1] = needles[6 - i];
    t.hold[0] = t.hold[1] = 1.0;
    t.rms[0] = t.rms[1] = 0.5;
    t.over[0] = overs[i];
    t.over[1] = -1;
    out.push_back(t);
  }
  return out;
}

std::string write(OutputFormat format, bool rms, SummaryCollector& summary) {
  FILE* f = std::tmpfile();
  auto writer = ReportWriter::create(format, f, header(rms));
  writer->begin();
  for (const DisplayTick& t : ticks()) {
    writer->tick(t);
    summary.tick(t);
  }
  writer->end(summary);
  const std::string text = metertool_test::readAll(f);
  std::fclose(f);
  return text;
}

std::vector<std::string> split(const std::string& s, char sep) {
  std::vector<std::string> out;
  std::string field;
  std::istringstream in(s);
  while (std::getline(in, field, sep)) out.push_back(field);
  return out;
}

}  // namespace

// The LED lit at refreshes 4 and 5 (one event) and again at 7 (another).
TEST(Report, SummaryCountsEachLightingOfTheOverLedOnce) {
  SummaryCollector s;
  for (const DisplayTick& t : ticks()) s.tick(t);
  EXPECT_EQ(s.refreshes(), 7);
  EXPECT_EQ(s.channel(0).overs, 2);
  EXPECT_EQ(s.channel(0).overRefreshes, 3);
  EXPECT_EQ(s.channel(1).overs, 0);
  EXPECT_EQ(s.channel(0).maxNeedle, 2.0);
  EXPECT_NEAR(s.channel(0).maxNeedleTime, 6 / 30.0, 1e-12);
  EXPECT_EQ(s.channel(1).maxNeedle, 2.0);
  EXPECT_NEAR(s.channel(1).maxNeedleTime, 2 / 30.0, 1e-12);
}

TEST(Report, CsvHasOneHeaderAndRowsWhoseDecibelsMatchTheirValues) {
  for (bool rms : {false, true}) {
    SummaryCollector s;
    const std::string csv = write(OutputFormat::Csv, rms, s);
    std::vector<std::string> rows;
    for (const std::string& line : split(csv, '\n'))
      if (!line.empty() && line[0] != '#') rows.push_back(line);
    ASSERT_EQ(rows.size(), 8u);
    const auto head = split(rows[0], ',');
    ASSERT_EQ(head.size(), rms ? 15u : 11u);
    EXPECT_EQ(head[0], "time_s");
    EXPECT_EQ(head[1], "L_needle");
    EXPECT_EQ(head[2], "L_needle_db");
    EXPECT_EQ(head.back(), "R_over");
    for (std::size_t r = 1; r < rows.size(); ++r) {
      const auto f = split(rows[r], ',');
      ASSERT_EQ(f.size(), head.size()) << rows[r];
      for (std::size_t c = 1; c < f.size(); ++c) {
        if (head[c].size() < 3 || head[c].compare(head[c].size() - 3, 3, "_db") != 0) continue;
        const double linear = std::atof(f[c - 1].c_str());
        if (f[c] == "-inf") EXPECT_LT(linear, 1e-9) << rows[r];
        else EXPECT_NEAR(std::atof(f[c].c_str()), 20.0 * std::log10(linear), 0.002) << rows[r];
      }
    }
    EXPECT_NE(csv.find("# note: a note, with a comma\n"), std::string::npos);
    EXPECT_NE(csv.find("# summary: L,2.000000,6.021,0.2000"), std::string::npos) << csv;
    EXPECT_EQ(csv.find("-0.000000"), std::string::npos);
  }
}

TEST(Report, JsonIsWellFormedWithNullForSilence) {
  for (bool rms : {false, true}) {
    SummaryCollector s;
    const std::string json = write(OutputFormat::Json, rms, s);
    EXPECT_TRUE(JsonChecker(json).valid()) << json;
    EXPECT_NE(json.find("\"needle_db\": [null, "), std::string::npos);
    EXPECT_EQ(json.find("inf"), std::string::npos);
    EXPECT_EQ(json.find("nan"), std::string::npos);
    EXPECT_EQ(json.find("\"rms\": [") != std::string::npos, rms);
    EXPECT_NE(json.find("\\\"quoted\\\""), std::string::npos);
  }
  // No refresh at all still makes a document.
  FILE* f = std::tmpfile();
  auto writer = ReportWriter::create(OutputFormat::Json, f, header(false));
  SummaryCollector none;
  writer->begin();
  writer->end(none);
  const std::string empty = metertool_test::readAll(f);
  std::fclose(f);
  EXPECT_TRUE(JsonChecker(empty).valid()) << empty;
}

TEST(Report, TableRowsLineUpUnderTheirTitles) {
  SummaryCollector s;
  const std::string table = write(OutputFormat::Table, true, s);
  const auto lines = split(table, '\n');
  std::size_t title = 0;
  while (title < lines.size() && lines[title].find("time s") == std::string::npos) ++title;
  ASSERT_LT(title, lines.size());
  for (std::size_t i = title + 1; i <= title + 7; ++i) {
    EXPECT_EQ(lines[i].size(), lines[title].size()) << lines[i];
    // Every column separator sits where the title's does.
    EXPECT_EQ(lines[i].find('|'), lines[title].find('|'));
    EXPECT_EQ(lines[i].rfind('|'), lines[title].rfind('|'));
  }
  EXPECT_NE(lines[title + 4].find("OVER"), std::string::npos);
  EXPECT_NE(lines[title + 6].find("latch"), std::string::npos);
  EXPECT_NE(table.find("2 (lit on 3 refreshes)"), std::string::npos) << table;
}
