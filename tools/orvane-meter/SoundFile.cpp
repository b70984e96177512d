#include "tools/orvane-meter/SoundFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tools/orvane-meter/OutputFile.h"

namespace orvane {
namespace metertool {

namespace {

std::string describeFormat(int format) {
  SF_FORMAT_INFO major{}, sub{};
  major.format = format & SF_FORMAT_TYPEMASK;
  sub.format = format & SF_FORMAT_SUBMASK;
  std::string text;
  if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &major, sizeof(major)) == 0 && major.name) text = major.name;
  if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &sub, sizeof(sub)) == 0 && sub.name) {
    if (!text.empty()) text += ", ";
    text += sub.name;
  }
  return text.empty() ? "unknown" : text;
}

std::string lowerExtension(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  const std::size_t slash = path.rfind('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

}  // namespace

SoundReader::~SoundReader() {
  if (file_) sf_close(file_);
}

bool SoundReader::open(const std::string& path, std::string& error) {
  if (file_) {
    sf_close(file_);
    file_ = nullptr;
  }
  error_.clear();
  // The operating system's own words for a missing or forbidden file are
  // clearer than a decoder's.
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    error = "cannot open '" + path + "': " + std::strerror(errno);
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    error = "cannot read '" + path + "': it is a folder";
    return false;
  }
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) {
    error = "cannot open '" + path + "': " + std::strerror(errno);
    return false;
  }
  if (S_ISREG(st.st_mode) && st.st_size == 0) {
    ::close(fd);
    error = "'" + path + "' is empty";
    return false;
  }
  SF_INFO sfinfo;
  std::memset(&sfinfo, 0, sizeof(sfinfo));
  file_ = sf_open_fd(fd, SFM_READ, &sfinfo, SF_TRUE);
  if (!file_) {
    error = "'" + path + "' is not a sound file this tool can read (WAV, AIFF, FLAC, Ogg): " +
            sf_strerror(nullptr);
    return false;
  }
  if (sfinfo.channels < 1 || sfinfo.samplerate <= 0) {
    sf_close(file_);
    file_ = nullptr;
    error = "'" + path + "' announces no channels or no sample rate";
    return false;
  }
  if (sfinfo.frames <= 0) {
    sf_close(file_);
    file_ = nullptr;
    error = "'" + path + "' holds no audio";
    return false;
  }
  info_.sampleRate = sfinfo.samplerate;
  info_.fileChannels = sfinfo.channels;
  info_.channels = sfinfo.channels >= 2 ? 2 : 1;
  info_.frames = sfinfo.frames;
  info_.formatName = describeFormat(sfinfo.format);
  // Integer files read as floats scaled so that full scale is 1.0, the way
  // a host hands them to a plug-in.
  sf_command(file_, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
  return true;
}

std::size_t SoundReader::read(float* left, float* right, std::size_t frames) {
  if (!file_ || frames == 0) return 0;
  const std::size_t channels = static_cast<std::size_t>(info_.fileChannels);
  if (interleaved_.size() < frames * channels) interleaved_.resize(frames * channels);
  const sf_count_t got = sf_readf_float(file_, interleaved_.data(), static_cast<sf_count_t>(frames));
  if (got <= 0) {
    if (sf_error(file_) != SF_ERR_NO_ERROR && error_.empty()) error_ = sf_strerror(file_);
    return 0;
  }
  const std::size_t n = static_cast<std::size_t>(got);
  const float* in = interleaved_.data();
  if (channels == 1) {
    std::memcpy(left, in, n * sizeof(float));
  } else {
    for (std::size_t i = 0; i < n; ++i) {
      left[i] = in[i * channels];
      if (right) right[i] = in[i * channels + 1];
    }
  }
  return n;
}

bool writeSoundFile(const std::string& path, int sampleRate, const std::vector<std::vector<float>>& channels,
                    std::string& error) {
  if (channels.empty() || channels.size() > 2 || sampleRate <= 0) {
    error = "nothing to write";
    return false;
  }
  const std::size_t frames = channels[0].size();
  const std::string ext = lowerExtension(path);
  int format;
  if (ext == "wav") format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  else if (ext == "aif" || ext == "aiff") format = SF_FORMAT_AIFF | SF_FORMAT_PCM_24;
  else if (ext == "flac") format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
  else if (ext == "ogg" || ext == "oga") format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
  else {
    error = "'" + path + "': the name must end in .wav, .aif, .aiff, .flac or .ogg";
    return false;
  }
  SF_INFO sfinfo;
  std::memset(&sfinfo, 0, sizeof(sfinfo));
  sfinfo.samplerate = sampleRate;
  sfinfo.channels = static_cast<int>(channels.size());
  sfinfo.format = format;
  if (!sf_format_check(&sfinfo)) {
    error = "'" + path + "': this sound format cannot hold " + std::to_string(sampleRate) + " Hz";
    return false;
  }

  OutputFile out;
  if (!out.open(path, error)) return false;
  // libsndfile owns the descriptor from here on, and closes it even when
  // it fails to open.
  out.releaseDescriptor();
  SNDFILE* file = sf_open_fd(out.fd(), SFM_WRITE, &sfinfo, SF_TRUE);
  if (!file) {
    error = "cannot write '" + path + "': " + sf_strerror(nullptr);
    return false;
  }
  // Integer formats clip at full scale rather than wrapping round.
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  const std::size_t chunk = 4096;
  std::vector<float> interleaved(chunk * channels.size());
  bool ok = true;
  for (std::size_t start = 0; start < frames && ok; start += chunk) {
    const std::size_t n = std::min(chunk, frames - start);
    for (std::size_t i = 0; i < n; ++i)
      for (std::size_t c = 0; c < channels.size(); ++c) interleaved[i * channels.size() + c] = channels[c][start + i];
    ok = sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(n)) == static_cast<sf_count_t>(n);
  }
  if (!ok) error = "cannot write '" + path + "': " + sf_strerror(file);
  if (sf_close(file) != 0 && ok) {
    ok = false;
    error = "cannot write '" + path + "'";
  }
  if (!ok) return false;  // the temporary file goes with `out`
  return out.commit(error);
}

}  // namespace metertool
}  // namespace orvane
