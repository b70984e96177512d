#include "tools/orvane-meter/OutputFile.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {
namespace metertool {

namespace {

// The temporary files of this process, for the interrupt handler: plain
// arrays, because a signal handler may only look at memory, unlink and
// raise.
constexpr int kSlots = 8;
constexpr int kPathBytes = 4096;
char gTempPaths[kSlots][kPathBytes];
volatile std::sig_atomic_t gTempUsed[kSlots];
bool gHandlersInstalled = false;

extern "C" void removeTempFilesAndDie(int sig) {
  for (int i = 0; i < kSlots; ++i)
    if (gTempUsed[i]) unlink(gTempPaths[i]);
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

void installHandlers() {
  if (gHandlersInstalled) return;
  gHandlersInstalled = true;
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    action.sa_handler = removeTempFilesAndDie;
    sigemptyset(&action.sa_mask);
    sigaction(sig, &action, nullptr);
  }
}

int claimSlot(const std::string& path) {
  if (path.size() >= static_cast<std::size_t>(kPathBytes)) return -1;
  for (int i = 0; i < kSlots; ++i) {
    if (gTempUsed[i]) continue;
    std::memcpy(gTempPaths[i], path.c_str(), path.size() + 1);
    gTempUsed[i] = 1;
    return i;
  }
  return -1;
}

void releaseSlot(int slot) {
  if (slot >= 0 && slot < kSlots) gTempUsed[slot] = 0;
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

OutputFile::~OutputFile() { discard(); }

bool OutputFile::open(const std::string& path, std::string& error) {
  discard();
  installHandlers();
  if (path.empty() || path.back() == '/') {
    error = "'" + path + "' is not a file name";
    return false;
  }
  path_ = path;
  struct stat st;
  if (stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      error = "cannot write '" + path + "': it is a folder";
      return false;
    }
    if (!S_ISREG(st.st_mode)) {
      // A device, a pipe or a socket (/dev/null, a FIFO, a terminal) is
      // written in place: renaming a file over it would replace it.
      const int fd = ::open(path.c_str(), O_WRONLY);
      if (fd < 0) {
        error = "cannot write '" + path + "': " + std::strerror(errno);
        return false;
      }
      fd_ = fd;
      inPlace_ = true;
      descriptorReleased_ = false;
      closed_ = false;
      return true;
    }
    // A symbolic link to a file: the new file replaces the file, not the
    // link.
    struct stat lst;
    if (lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
      char* real = realpath(path.c_str(), nullptr);
      if (real) {
        path_ = real;
        std::free(real);
      }
    }
  }
  std::string pattern = folderOf(path_) + "/." + baseOf(path_) + ".tmp-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back(0);
  const int fd = mkstemp(name.data());
  if (fd < 0) {
    error = "cannot write '" + path + "': " + std::strerror(errno);
    return false;
  }
  // mkstemp makes the file private; the finished file gets the usual
  // permissions of a new file.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  temp_ = name.data();
  fd_ = fd;
  inPlace_ = false;
  descriptorReleased_ = false;
  closed_ = false;
  slot_ = claimSlot(temp_);
  return true;
}

FILE* OutputFile::stream() {
  if (!stream_ && fd_ >= 0 && !descriptorReleased_) {
    stream_ = fdopen(fd_, "wb");
    // Large writes: the table of an hour at 30 refreshes a second is a few
    // megabytes and should cost no more than its formatting.
    if (stream_) std::setvbuf(stream_, nullptr, _IOFBF, 1 << 16);
  }
  return stream_;
}

bool OutputFile::close(std::string& error) {
  if (closed_) return true;
  if (fd_ < 0) {
    error = "nothing to write to '" + path_ + "'";
    return false;
  }
  bool ok = true;
  int savedErrno = 0;
  if (stream_) {
    if (std::fflush(stream_) != 0 || std::ferror(stream_)) {
      ok = false;
      savedErrno = errno;
    }
    if (std::fclose(stream_) != 0 && ok) {
      ok = false;
      savedErrno = errno;
    }
    stream_ = nullptr;
  } else if (!descriptorReleased_) {
    if (::close(fd_) != 0) {
      ok = false;
      savedErrno = errno;
    }
  }
  fd_ = -1;
  closed_ = true;
  if (!ok) {
    error = "cannot write '" + path_ + "': " + std::strerror(savedErrno ? savedErrno : EIO);
    discard();
  }
  return ok;
}

bool OutputFile::commit(std::string& error) {
  if (!closed_ && !close(error)) return false;
  if (inPlace_) {
    closed_ = false;
    inPlace_ = false;
    return true;
  }
  if (temp_.empty()) {
    error = "nothing to write to '" + path_ + "'";
    return false;
  }
  if (std::rename(temp_.c_str(), path_.c_str()) != 0) {
    error = "cannot write '" + path_ + "': " + std::strerror(errno);
    discard();
    return false;
  }
  temp_.clear();
  releaseSlot(slot_);
  slot_ = -1;
  closed_ = false;
  return true;
}

void OutputFile::discard() {
  if (stream_) {
    std::fclose(stream_);
    stream_ = nullptr;
  } else if (fd_ >= 0 && !descriptorReleased_) {
    ::close(fd_);
  }
  fd_ = -1;
  closed_ = false;
  inPlace_ = false;
  if (!temp_.empty()) unlink(temp_.c_str());
  temp_.clear();
  releaseSlot(slot_);
  slot_ = -1;
}

namespace {
// A name with its folder resolved, so "./a.csv" and "a.csv" compare equal
// even before the file exists.
std::string resolvedName(const std::string& path) {
  char* folder = realpath(folderOf(path).c_str(), nullptr);
  if (!folder) return path;
  std::string out = std::string(folder) + "/" + baseOf(path);
  std::free(folder);
  return out;
}
}  // namespace

bool sameFile(const std::string& a, const std::string& b) {
  if (a == b) return true;
  struct stat sa, sb;
  if (stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  return resolvedName(a) == resolvedName(b);
}

}  // namespace metertool
}  // namespace orvane
