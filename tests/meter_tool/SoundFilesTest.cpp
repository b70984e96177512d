#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/meter_tool/MeterToolTestSupport.h"
#include "tools/orvane-meter/OutputFile.h"
#include "tools/orvane-meter/SoundFile.h"
#include "tools/orvane-meter/TestSignal.h"

using namespace orvane::metertool;
using metertool_test::TempDir;

namespace {

std::vector<std::vector<float>> readAllChannels(const std::string& path, SoundInfo& info) {
  SoundReader reader;
  std::string error;
  EXPECT_TRUE(reader.open(path, error)) << error;
  info = reader.info();
  std::vector<std::vector<float>> out(static_cast<std::size_t>(info.channels));
  std::vector<float> l(1000), r(1000);
  std::size_t n;
  while ((n = reader.read(l.data(), r.data(), 1000)) > 0) {
    out[0].insert(out[0].end(), l.begin(), l.begin() + static_cast<long>(n));
    if (info.channels == 2) out[1].insert(out[1].end(), r.begin(), r.begin() + static_cast<long>(n));
  }
  return out;
}

// Writes raw interleaved float frames with libsndfile, for shapes the
// tool's own writer does not make.
void writeRaw(const std::string& path, int format, int rate, int channels, const std::vector<float>& interleaved) {
  SF_INFO info;
  std::memset(&info, 0, sizeof(info));
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
  sf_writef_float(f, interleaved.data(), static_cast<sf_count_t>(interleaved.size() / channels));
  sf_close(f);
}

double peakOf(const std::vector<float>& s, std::size_t from, std::size_t to) {
  double p = 0.0;
  for (std::size_t i = from; i < to && i < s.size(); ++i) p = std::max(p, std::fabs(static_cast<double>(s[i])));
  return p;
}

}  // namespace

// Every format the generator writes reads back with the programme's length
// and shape; float WAV bit for bit, 16-bit FLAC to its step size, Vorbis
// to its level.
TEST(SoundFiles, TheTestProgrammeRoundTripsThroughEveryFormat) {
  TempDir dir;
  TestSignalSpec spec;
  spec.seconds = 2.0;
  spec.sampleRate = 44100;
  const auto programme = makeTestProgramme(spec);
  ASSERT_EQ(programme.size(), 2u);
  ASSERT_EQ(programme[0].size(), 88200u);
  for (const char* name : {"p.wav", "p.flac", "p.aiff", "p.ogg"}) {
    std::string error;
    ASSERT_TRUE(writeSoundFile(dir.file(name), spec.sampleRate, programme, error)) << name << ": " << error;
    SoundInfo info;
    const auto back = readAllChannels(dir.file(name), info);
    EXPECT_EQ(info.sampleRate, 44100) << name;
    ASSERT_EQ(info.channels, 2) << name;
    ASSERT_EQ(back[0].size(), programme[0].size()) << name;
    double worst = 0.0, sumIn = 0.0, sumOut = 0.0;
    for (std::size_t i = 0; i < back[0].size(); ++i) {
      worst = std::max(worst, std::fabs(static_cast<double>(back[0][i]) - programme[0][i]));
      sumIn += static_cast<double>(programme[1][i]) * programme[1][i];
      sumOut += static_cast<double>(back[1][i]) * back[1][i];
    }
    const std::string n(name);
    if (n == "p.wav") EXPECT_EQ(worst, 0.0);
    else if (n == "p.flac") EXPECT_LE(worst, 1.0 / 32768 + 1e-9);
    else if (n == "p.aiff") EXPECT_LE(worst, 1.0 / 8388608 + 1e-9);
    else EXPECT_NEAR(10.0 * std::log10(sumOut / sumIn), 0.0, 0.5);
  }
  // Nothing but the four files is left in the folder.
  EXPECT_EQ(dir.names().size(), 4u);
}

TEST(SoundFiles, TheTestProgrammeHoldsWhatItsSectionsPromise) {
  TestSignalSpec spec;
  spec.seconds = 12.0;
  spec.sampleRate = 48000;
  const auto p = makeTestProgramme(spec);
  EXPECT_EQ(makeTestProgramme(spec), p);  // the same samples every time
  const auto at = [](double s) { return static_cast<std::size_t>(s * 48000); };
  EXPECT_EQ(peakOf(p[0], 0, at(0.5)), 0.0);
  EXPECT_NEAR(20 * std::log10(peakOf(p[0], at(1.0), at(3.0))), -18.0, 0.01);
  EXPECT_NEAR(20 * std::log10(peakOf(p[0], at(5.8), at(6.0))), -12.0, 0.01);
  EXPECT_NEAR(20 * std::log10(peakOf(p[1], at(5.8), at(6.0))), -18.02, 0.01);
  EXPECT_NEAR(20 * std::log10(peakOf(p[0], at(10.0), at(10.9))), kTruePeakDbtp - 3.0103, 0.01);
  // Clipping: long runs at full scale on the left only.
  int run = 0, longest = 0;
  for (std::size_t i = at(11.25); i < at(11.5); ++i) {
    run = std::fabs(p[0][i]) >= 1.0f ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  EXPECT_GE(longest, 10);
  EXPECT_LT(peakOf(p[1], at(11.25), at(11.5)), 0.6);
  // The noise has the wanted RMS.
  double sum = 0.0;
  for (std::size_t i = at(6.5); i < at(9.5); ++i) sum += static_cast<double>(p[0][i]) * p[0][i];
  EXPECT_NEAR(10 * std::log10(sum / (at(9.5) - at(6.5))), kNoiseRmsDbfs, 0.05);
  // A shorter programme keeps the sections in proportion.
  spec.seconds = 3.0;
  EXPECT_NEAR(programmeSections(spec)[0].start, 0.125, 1e-12);
  EXPECT_EQ(makeTestProgramme(spec)[0].size(), 144000u);
}

TEST(SoundFiles, TheReaderRefusesWhatIsNotAudioInOneLine) {
  TempDir dir;
  std::ofstream(dir.file("empty.wav")).close();
  std::ofstream(dir.file("notes.wav")) << "these are not samples\n";
  writeRaw(dir.file("none.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, {});
  const struct {
    std::string path;
    const char* says;
  } cases[] = {
      {dir.file("missing.wav"), "No such file or directory"},
      {dir.path(), "it is a folder"},
      {dir.file("empty.wav"), "is empty"},
      {dir.file("notes.wav"), "is not a sound file this tool can read"},
      {dir.file("none.wav"), "holds no audio"},
  };
  for (const auto& c : cases) {
    SoundReader reader;
    std::string error;
    EXPECT_FALSE(reader.open(c.path, error)) << c.path;
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
}

// A four-channel file: the first two channels, each in its own array.
TEST(SoundFiles, TheReaderHandsOutTheFirstTwoOfManyChannels) {
  TempDir dir;
  std::vector<float> frames;
  for (int i = 0; i < 100; ++i)
    for (int c = 0; c < 4; ++c) frames.push_back(0.1f * (c + 1));
  writeRaw(dir.file("quad.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 4, frames);
  SoundInfo info;
  const auto back = readAllChannels(dir.file("quad.wav"), info);
  EXPECT_EQ(info.fileChannels, 4);
  ASSERT_EQ(info.channels, 2);
  ASSERT_EQ(back[0].size(), 100u);
  EXPECT_EQ(back[0][50], 0.1f);
  EXPECT_EQ(back[1][50], 0.2f);
}

TEST(OutputFile, AppearsWholeOnCommitAndNotAtAllOtherwise) {
  TempDir dir;
  std::string error;
  {
    OutputFile f;
    ASSERT_TRUE(f.open(dir.file("kept.txt"), error)) << error;
    std::fputs("whole\n", f.stream());
    EXPECT_EQ(dir.names().size(), 1u);  // only the hidden temporary file
    EXPECT_NE(dir.names()[0], "kept.txt");
    ASSERT_TRUE(f.commit(error)) << error;
  }
  {
    OutputFile f;
    ASSERT_TRUE(f.open(dir.file("dropped.txt"), error));
    std::fputs("half", f.stream());
  }  // never committed
  std::ifstream kept(dir.file("kept.txt"));
  std::string line;
  std::getline(kept, line);
  EXPECT_EQ(line, "whole");
  EXPECT_EQ(dir.names(), std::vector<std::string>{"kept.txt"});
  // Replacing an existing file leaves its old content until the commit.
  OutputFile again;
  ASSERT_TRUE(again.open(dir.file("kept.txt"), error));
  std::fputs("new\n", again.stream());
  std::ifstream before(dir.file("kept.txt"));
  std::getline(before, line);
  EXPECT_EQ(line, "whole");
  ASSERT_TRUE(again.commit(error));
  std::ifstream after(dir.file("kept.txt"));
  std::getline(after, line);
  EXPECT_EQ(line, "new");
}

// A pipe or a device is written through, never replaced by a file; a link
// keeps pointing where it pointed.
TEST(OutputFile, WritesPipesInPlaceAndFollowsLinks) {
  TempDir dir;
  std::string error;
  const std::string fifo = dir.file("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  {
    OutputFile f;
    ASSERT_TRUE(f.open(fifo, error)) << error;
    std::fputs("through\n", f.stream());
    ASSERT_TRUE(f.commit(error)) << error;
  }
  char buffer[16] = {0};
  EXPECT_EQ(::read(reader, buffer, sizeof(buffer) - 1), 8);
  EXPECT_STREQ(buffer, "through\n");
  ::close(reader);
  struct stat st;
  ASSERT_EQ(lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));

  std::ofstream(dir.file("target.txt")) << "old\n";
  ASSERT_EQ(symlink(dir.file("target.txt").c_str(), dir.file("link.txt").c_str()), 0);
  OutputFile f;
  ASSERT_TRUE(f.open(dir.file("link.txt"), error));
  std::fputs("new\n", f.stream());
  ASSERT_TRUE(f.commit(error));
  ASSERT_EQ(lstat(dir.file("link.txt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  std::ifstream target(dir.file("target.txt"));
  std::string line;
  std::getline(target, line);
  EXPECT_EQ(line, "new");
}

TEST(OutputFile, RefusesFoldersAndMissingFolders) {
  TempDir dir;
  std::string error;
  OutputFile f;
  EXPECT_FALSE(f.open(dir.path(), error));
  EXPECT_NE(error.find("it is a folder"), std::string::npos) << error;
  EXPECT_FALSE(f.open(dir.file("no/such/folder/out.csv"), error));
  EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
}
