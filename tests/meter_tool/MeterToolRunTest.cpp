#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <sndfile.h>

#include "tests/meter_tool/MeterToolTestSupport.h"
#include "tools/orvane-meter/SoundFile.h"

using namespace orvane::metertool;
using metertool_test::lineCount;
using metertool_test::runTool;
using metertool_test::TempDir;

namespace {

// A short programme file in `dir`.
std::string programme(const TempDir& dir, const char* name, int rate = 48000, int channels = 2, double seconds = 2.0) {
  const auto r = runTool({"--make-test-signal", dir.file(name), "--signal-seconds", std::to_string(seconds),
                          "--signal-rate", std::to_string(rate), "--signal-channels", std::to_string(channels)});
  EXPECT_EQ(r.status, 0) << r.err;
  return dir.file(name);
}

int dataLines(const std::string& csv) {
  int n = 0;
  std::size_t at = 0;
  while (at < csv.size()) {
    const std::size_t end = csv.find('\n', at);
    if (csv[at] != '#') ++n;
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return n;
}

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t bigEndian32(const std::string& s, std::size_t at) {
  return (uint32_t)(unsigned char)s[at] << 24 | (uint32_t)(unsigned char)s[at + 1] << 16 |
         (uint32_t)(unsigned char)s[at + 2] << 8 | (uint32_t)(unsigned char)s[at + 3];
}

}  // namespace

TEST(MeterToolRun, WritesTheReportAndThePictureItWasAskedFor) {
  TempDir dir;
  const std::string in = programme(dir, "in.flac");
  const auto r = runTool({in, "--meter", "rms", "--hold", "on", "--format", "csv", "-o", dir.file("out.csv"), "--plot",
                          dir.file("out.png")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  const std::string csv = slurp(dir.file("out.csv"));
  EXPECT_NE(csv.find("time_s,L_needle,L_needle_db,L_hold,L_hold_db,L_rms,L_rms_db,L_over"), std::string::npos);
  EXPECT_EQ(dataLines(csv), 61);  // a header and 60 refreshes
  const std::string png = slurp(dir.file("out.png"));
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.compare(0, 8, "\x89PNG\r\n\x1a\n"), 0);
  EXPECT_EQ(bigEndian32(png, 16), 1400u);  // IHDR width and height
  EXPECT_EQ(bigEndian32(png, 20), 780u);
  // "-o -" is standard output, not a file called "-".
  const auto toStdout = runTool({in, "--format", "json", "-o", "-"});
  EXPECT_EQ(toStdout.status, 0);
  EXPECT_EQ(toStdout.out.rfind("{", 0), 0u);
  std::vector<std::string> names = dir.names();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"in.flac", "out.csv", "out.png"}));
}

TEST(MeterToolRun, BadInputFailsWithOneLineAndLeavesNoOutputBehind) {
  TempDir dir;
  const std::string good = programme(dir, "good.wav");
  std::ofstream(dir.file("text.wav")) << "RIFF? not really\n";
  std::ofstream(dir.file("empty.flac")).close();
  const struct {
    std::vector<std::string> args;
    int status;
    const char* says;
  } cases[] = {
      {{dir.file("missing.wav")}, 1, "cannot open"},
      {{dir.file("text.wav")}, 1, "is not a sound file"},
      {{dir.file("empty.flac")}, 1, "is empty"},
      {{dir.path()}, 1, "it is a folder"},
      {{good, "--trim", "30"}, 2, "out of range"},
      {{good, "--meter", "vu", "--return", "300"}, 2, "applies to the RMS and PPM meters only"},
      {{good, "--what"}, 2, "unknown option"},
      {{good, "-o", good}, 2, "is the input file"},
      {{good, "--plot", good}, 2, "is the input file"},
      {{good, "-o", dir.file("same.out"), "--plot", dir.path() + "/./same.out"}, 2, "name the same file"},
      {{good, "-o", dir.file("no/folder/out.csv")}, 1, "No such file or directory"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    const bool hasOutput = std::find(args.begin(), args.end(), "-o") != args.end();
    if (!hasOutput) {
      args.push_back("-o");
      args.push_back(dir.file("out.txt"));
    }
    const auto r = runTool(args);
    EXPECT_EQ(r.status, c.status) << c.says << ": " << r.err;
    EXPECT_EQ(lineCount(r.err), 1) << r.err;
    EXPECT_EQ(r.err.rfind("orvane-meter: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    std::vector<std::string> names = dir.names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"empty.flac", "good.wav", "text.wav"})) << c.says;
  }
}

// Files the plug-in would meter oddly are metered all the same, with a
// note on standard error and in the report.
TEST(MeterToolRun, OddFilesAreMeteredWithANote) {
  TempDir dir;
  const std::string slow = programme(dir, "slow.wav", 8000, 1);
  auto r = runTool({slow, "--format", "csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(lineCount(r.err), 1);
  EXPECT_NE(r.err.find("runs at 8000 Hz, outside 20 kHz to 200 kHz: the meters run as at 44.1 kHz"), std::string::npos)
      << r.err;
  EXPECT_NE(r.out.find("# note: the file runs at 8000 Hz"), std::string::npos);

  std::vector<float> frames;
  for (int i = 0; i < 4800; ++i)
    for (int c = 0; c < 6; ++c) frames.push_back(c == 0 ? 0.5f : 0.0f);
  SF_INFO info;
  std::memset(&info, 0, sizeof(info));
  info.samplerate = 48000;
  info.channels = 6;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* f = sf_open(dir.file("surround.wav").c_str(), SFM_WRITE, &info);
  ASSERT_NE(f, nullptr);
  sf_writef_float(f, frames.data(), 4800);
  sf_close(f);
  r = runTool({dir.file("surround.wav"), "--meter", "ppm", "--format", "json"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("the file has 6 channels; the first two are metered"), std::string::npos) << r.err;
  EXPECT_NE(r.out.find("\"file_channels\": 6"), std::string::npos);

  r = runTool({programme(dir, "short.wav", 48000, 2, 1.0), "--trim", "-6"});
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("the trim and the filters act only with --process"), std::string::npos) << r.err;
}

TEST(MeterToolRun, HelpAndVersionGoToStandardOutput) {
  auto r = runTool({"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("usage: orvane-meter"), std::string::npos);
  r = runTool({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("orvane-meter ", 0), 0u);
}
