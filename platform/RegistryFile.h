// The native build's registry: the product key's values kept in one per-user
// file (format in RegistryFileFormat.h). Built only for the native build.
#pragma once

#include <string>

#include "platform/Registry.h"

namespace orvane {

class FileRegistry : public RegistryService {
 public:
  // `filePath` is the file that holds the key; its folders are created on the
  // first write. An empty path makes a registry that holds nothing and
  // refuses every write.
  explicit FileRegistry(std::string filePath);

  const std::string& filePath() const { return path_; }

  bool readBinary4(const char* valueName, unsigned char bytes[4]) override;
  bool writeBinary4(const char* valueName, const unsigned char bytes[4]) override;
  // One replacement of the file for the whole batch.
  bool writeBinary4Values(const Binary4Value* values, std::size_t count) override;
  bool readText(const char* valueName, std::string& text) override;
  bool writeText(const char* valueName, const std::string& text) override;

 private:
  struct PendingValue {
    const char* name;
    unsigned type;
    const unsigned char* data;
    std::size_t size;
  };
  bool writeValues(const PendingValue* values, std::size_t count);
  bool readBinary4Unguarded(const char* valueName, unsigned char bytes[4]);
  bool readTextUnguarded(const char* valueName, std::string& text);
  bool writeValuesUnguarded(const PendingValue* values, std::size_t count);

  std::string path_;
};

// Where the current user's file lives: $XDG_CONFIG_HOME/Zelcraft/ZELMETERS300.reg,
// or $HOME/.config/... when XDG_CONFIG_HOME is unset, empty or relative (a
// relative one is invalid and ignored). Empty when neither gives an absolute
// folder.
std::string userRegistryFilePath(const char* xdgConfigHome, const char* home);

}  // namespace orvane
