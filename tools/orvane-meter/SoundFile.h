// Sound files in and out, through libsndfile: the tool reads whatever
// libsndfile decodes (WAV, AIFF, FLAC, Ogg and more) and hands out at most
// two channels as separate float arrays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

typedef struct sf_private_tag SNDFILE;

namespace orvane {
namespace metertool {

struct SoundInfo {
  int sampleRate = 0;
  int fileChannels = 0;  // as stored in the file
  int channels = 0;      // handed out: 1 or 2
  int64_t frames = 0;    // as the file's header announces them
  std::string formatName;
  double seconds() const { return sampleRate > 0 ? static_cast<double>(frames) / sampleRate : 0.0; }
};

class SoundReader {
 public:
  SoundReader() = default;
  ~SoundReader();
  SoundReader(const SoundReader&) = delete;
  SoundReader& operator=(const SoundReader&) = delete;

  // Opens a file for reading. On failure answers false with a one-line
  // reason (a missing or unreadable file, not a sound file, no audio).
  bool open(const std::string& path, std::string& error);
  const SoundInfo& info() const { return info_; }

  // Reads up to `frames` frames into left (and right for two channels).
  // Answers the frames read; 0 at the end. A decoding error ends the file
  // early and leaves its text in error().
  std::size_t read(float* left, float* right, std::size_t frames);
  const std::string& error() const { return error_; }

 private:
  SNDFILE* file_ = nullptr;
  SoundInfo info_;
  std::vector<float> interleaved_;
  std::string error_;
};

// Writes float audio to a new file, the format chosen by the extension:
// .wav 32-bit float, .aif/.aiff 24-bit, .flac 16-bit, .ogg Vorbis.
// `channels` holds one array per channel, all of the same length. The file
// appears whole or not at all.
bool writeSoundFile(const std::string& path, int sampleRate, const std::vector<std::vector<float>>& channels,
                    std::string& error);

}  // namespace metertool
}  // namespace orvane
