#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/Shell.h"

extern char** environ;

namespace orvane {

// The desktop's own opener decides which application shows the document.
// Its exit codes map onto the shell's: 3 (no tool for the type) means no
// association; any other failure, a missing file included, is a plain
// failure.
long openDocument(const std::string& path, void*) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0) return 2;  // file not found
  const char* argv[] = {"xdg-open", path.c_str(), nullptr};
  pid_t pid;
  if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
    return kShellNoAssociation;
  int status = 0;
  if (waitpid(pid, &status, 0) < 0 || !WIFEXITED(status)) return kShellLastError;
  switch (WEXITSTATUS(status)) {
    case 0: return 33;
    case 3: return kShellNoAssociation;
    default: return kShellLastError;
  }
}

void showMessage(const std::string& text, const std::string& caption, void*) {
  if (caption.empty())
    std::fprintf(stderr, "%s\n", text.c_str());
  else
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

void oleInitialize() {}

void oleUninitialize() {}

std::string currentDirectory(size_t maxChars) {
  char buffer[4096];
  if (!getcwd(buffer, sizeof(buffer))) return std::string();
  std::string dir(buffer);
  if (dir.size() > maxChars) dir.resize(maxChars);
  return dir;
}

}  // namespace orvane
