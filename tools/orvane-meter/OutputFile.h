// An output file that appears whole or not at all: everything is written to
// a hidden temporary file beside the target and renamed over it only when
// the writing succeeded. An interrupted run (an error, Ctrl-C, a kill)
// leaves neither a partial file nor the temporary one behind. A target that
// is not a plain file (a device such as /dev/null, a pipe) is written in
// place and never replaced.
#pragma once

#include <cstdio>
#include <string>

namespace orvane {
namespace metertool {

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();  // discards what was not committed
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Creates the temporary file in the target's folder. False, with a
  // one-line reason, when the folder cannot take it.
  bool open(const std::string& path, std::string& error);
  bool isOpen() const { return fd_ >= 0; }
  // A buffered stream over the temporary file (made on first use), or its
  // descriptor for libraries that write on their own; use one or the other.
  FILE* stream();
  int fd() const { return fd_; }
  // Hands the descriptor to a library that closes it itself.
  void releaseDescriptor() { descriptorReleased_ = true; }
  const std::string& path() const { return path_; }
  const std::string& temporaryPath() const { return temp_; }

  // Flushes and closes the temporary file. False, with a reason, when any
  // write failed; the temporary file is then gone.
  bool close(std::string& error);
  // Closes (if not yet done) and renames the temporary file to the target.
  bool commit(std::string& error);
  void discard();

 private:
  std::string path_;
  std::string temp_;
  int fd_ = -1;
  FILE* stream_ = nullptr;
  bool descriptorReleased_ = false;
  bool closed_ = false;
  bool inPlace_ = false;
  int slot_ = -1;  // in the list the interrupt handler cleans up
};

// True when both names reach the same file: the same existing file (hard
// and symbolic links included), or the same name in the same folder.
bool sameFile(const std::string& a, const std::string& b);

}  // namespace metertool
}  // namespace orvane
