// The native build's registry: one file per user under the XDG configuration
// folder. Every write replaces the whole file atomically (a new file in
// the same folder, flushed to disk, then renamed over the old one), so a crash
// or a full disk mid-write leaves the previous file intact, never half a file.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/RegistryFile.h"
#include "platform/RegistryFileFormat.h"
#include "platform/RegistryRules.h"

namespace orvane {

namespace {

// Writes are read-modify-write of the whole file. One lock for the process
// keeps two threads (or two instances of the plug-in) from each writing back
// a copy that lacks the other's value. Between processes the last rename wins.
std::mutex& writeMutex() {
  static std::mutex mutex;
  return mutex;
}

enum class LoadResult { Loaded, Absent, Unreadable };

// Reads the file without ever blocking or trusting it: a FIFO or device at
// the path, a directory, or an oversized file is refused, not read.
LoadResult loadFile(const std::string& path, std::string& text) {
  text.clear();
  if (path.empty()) return LoadResult::Absent;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    return (errno == ENOENT || errno == ENOTDIR) ? LoadResult::Absent : LoadResult::Unreadable;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      static_cast<unsigned long long>(st.st_size) > registryfile::kMaxFileBytes) {
    ::close(fd);
    return LoadResult::Unreadable;
  }
  text.reserve(static_cast<std::size_t>(st.st_size));
  // Read to the end rather than trusting the size seen: the file may change
  // under us, and must never be read past the cap.
  char chunk[16384];
  bool ok = true;
  while (true) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) break;
    if (n < 0 || text.size() + static_cast<std::size_t>(n) > registryfile::kMaxFileBytes) {
      ok = false;
      break;
    }
    text.append(chunk, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return ok ? LoadResult::Loaded : LoadResult::Unreadable;
}

registryfile::Contents loadContents(const std::string& path, LoadResult& result) {
  std::string text;
  result = loadFile(path, text);
  if (result != LoadResult::Loaded) return {};
  return registryfile::parse(text, "HKEY_CURRENT_USER\\" + registry::keyPathUtf8());
}

// mkdir -p for the folders above the file; new folders are private to the
// user, as the XDG rules ask.
bool makeParentFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    const std::string folder = path.substr(0, slash);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

bool writeAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// A complete copy of `text` under a fresh name beside `path`, or "" when none
// could be made. Where the file system allows it the data is written to an
// unnamed file first and only given a name once it is whole and on disk, so
// a writer killed at any moment leaves no partial file behind, not even a
// temporary one.
std::string writeCompleteCopy(const std::string& path, const std::string& text) {
  static std::atomic<unsigned> serial{0};
  const int anonymous = ::open(folderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (anonymous >= 0) {
    bool ok = writeAll(anonymous, text) && ::fsync(anonymous) == 0;
    char procPath[64];
    std::snprintf(procPath, sizeof procPath, "/proc/self/fd/%d", anonymous);
    for (int attempt = 0; ok && attempt < 100; ++attempt) {
      const std::string name = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
      if (::linkat(AT_FDCWD, procPath, AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        ::close(anonymous);
        return name;
      }
      if (errno != EEXIST) break;  // no /proc, say: fall back to a named file
    }
    ::close(anonymous);
    if (!ok) return {};
  }
  // A named temporary file (mode 0600): only a writer killed before the
  // rename leaves it, and it is never the file that is read.
  std::vector<char> tempPath(path.begin(), path.end());
  static const char kSuffix[] = ".tmp-XXXXXX";
  tempPath.insert(tempPath.end(), kSuffix, kSuffix + sizeof kSuffix);
  const int fd = ::mkostemp(tempPath.data(), O_CLOEXEC);
  if (fd < 0) return {};
  bool ok = writeAll(fd, text) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (!ok) {
    ::unlink(tempPath.data());
    return {};
  }
  return tempPath.data();
}

// Puts `text` in place of the file at `path`, or leaves the old file as it
// was and removes every trace of the attempt.
bool replaceFile(const std::string& path, const std::string& text) {
  if (!makeParentFolders(path)) return false;
  const std::string copy = writeCompleteCopy(path, text);
  if (copy.empty()) return false;
  if (::rename(copy.c_str(), path.c_str()) != 0) {
    ::unlink(copy.c_str());
    return false;
  }
  // Make the rename itself durable. The new file is in place whatever this
  // answers, so a failure here does not turn the write into a failure.
  const int dirFd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}

std::string passwordFileHome() {
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  struct passwd entry {};
  struct passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
      !found->pw_dir) {
    return {};
  }
  return found->pw_dir;
}

}  // namespace

std::string userRegistryFilePath(const char* xdgConfigHome, const char* home) {
  std::string base;
  if (xdgConfigHome && xdgConfigHome[0] == '/') {
    base = xdgConfigHome;
  } else if (home && home[0] == '/') {
    base = home;
    if (base.back() != '/') base += '/';
    base += ".config";
  } else {
    return {};
  }
  if (base.back() != '/') base += '/';
  return base + "Zelcraft/ZELMETERS300.reg";
}

FileRegistry::FileRegistry(std::string filePath) : path_(std::move(filePath)) {}

// Every public call answers false rather than throw: the callers are the
// host's threads, library load and destructors, where an exception (memory
// running out while the file is parsed) could only end the host.
bool FileRegistry::readBinary4(const char* valueName, unsigned char bytes[4]) {
  try {
    return readBinary4Unguarded(valueName, bytes);
  } catch (...) {
    return false;
  }
}

bool FileRegistry::readText(const char* valueName, std::string& text) {
  try {
    return readTextUnguarded(valueName, text);
  } catch (...) {
    return false;
  }
}

bool FileRegistry::readBinary4Unguarded(const char* valueName, unsigned char bytes[4]) {
  if (!registry::isAcceptableValueName(valueName) || !bytes) return false;
  LoadResult result;
  const registryfile::Contents contents = loadContents(path_, result);
  const registryfile::Value* value = contents.find(valueName);
  if (!value || value->type != registryfile::kTypeBinary || value->data.size() != 4) return false;
  std::memcpy(bytes, value->data.data(), 4);
  return true;
}

bool FileRegistry::readTextUnguarded(const char* valueName, std::string& text) {
  if (!registry::isAcceptableValueName(valueName)) return false;
  LoadResult result;
  const registryfile::Contents contents = loadContents(path_, result);
  const registryfile::Value* value = contents.find(valueName);
  if (!value || value->type != registryfile::kTypeText) return false;
  std::string stored(value->data.begin(), value->data.end());
  if (!registry::isAcceptableText(stored)) return false;
  text = std::move(stored);
  return true;
}

bool FileRegistry::writeBinary4(const char* valueName, const unsigned char bytes[4]) {
  if (!bytes) return false;
  const PendingValue value{valueName, registryfile::kTypeBinary, bytes, 4};
  return writeValues(&value, 1);
}

bool FileRegistry::writeBinary4Values(const Binary4Value* values, std::size_t count) {
  if (!values && count != 0) return false;
  try {
    std::vector<PendingValue> pending;
    pending.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
      pending.push_back({values[i].name, registryfile::kTypeBinary, values[i].bytes, 4});
    return writeValues(pending.data(), pending.size());
  } catch (...) {
    return false;
  }
}

bool FileRegistry::writeText(const char* valueName, const std::string& text) {
  if (!registry::isAcceptableText(text)) return false;
  const PendingValue value{valueName, registryfile::kTypeText,
                           reinterpret_cast<const unsigned char*>(text.data()), text.size()};
  return writeValues(&value, 1);
}

bool FileRegistry::writeValues(const PendingValue* values, std::size_t count) {
  try {
    return writeValuesUnguarded(values, count);
  } catch (...) {
    return false;
  }
}

// All the values go into the file in one replacement, or none does: one
// refused name refuses the whole batch, and a writer killed at any moment
// leaves the file as it was before or as it is after, never in between.
bool FileRegistry::writeValuesUnguarded(const PendingValue* values, std::size_t count) {
  if (path_.empty()) return false;
  for (std::size_t i = 0; i < count; ++i) {
    if (!registry::isAcceptableValueName(values[i].name) || (!values[i].data && values[i].size != 0))
      return false;
  }
  if (count == 0) return true;
  std::lock_guard<std::mutex> lock(writeMutex());
  LoadResult result;
  registryfile::Contents contents = loadContents(path_, result);
  // A file we cannot read is not replaced: that would throw away every value
  // it holds. A missing one is simply created.
  if (result == LoadResult::Unreadable) return false;
  for (std::size_t i = 0; i < count; ++i)
    contents.set(values[i].name, values[i].type, values[i].data, values[i].size);
  const std::string text =
      registryfile::serialise(contents, "HKEY_CURRENT_USER\\" + registry::keyPathUtf8());
  if (text.size() > registryfile::kMaxFileBytes) return false;
  return replaceFile(path_, text);
}

RegistryService& userRegistry() {
  // Made while the library loads: if even the path cannot be built, the
  // registry holds nothing and refuses writes.
  static FileRegistry registry([]() -> std::string {
    try {
      std::string path = userRegistryFilePath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
      if (path.empty()) path = userRegistryFilePath(nullptr, passwordFileHome().c_str());
      return path;
    } catch (...) {
      return std::string();
    }
  }());
  return registry;
}

}  // namespace orvane
