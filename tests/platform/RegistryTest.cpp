// The per-user registry: the Windows registry on Windows (under Wine, in a
// throwaway prefix, on a throwaway key), the per-user file natively (always in
// a temporary folder, never the user's own).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/Registry.h"
#include "platform/RegistryFileFormat.h"
#include "platform/RegistryRules.h"

#ifdef _WIN32
#include "platform/RegistryWindows.h"
#else
#include <dirent.h>
#include <ftw.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/RegistryFile.h"
#endif

namespace orvane {
namespace {

const char* const kMeterSettingNames[27] = {
    "Armsreference",   "Armsintegration", "ARMSRmsIntegration", "Armsholdtime",
    "Armsreturn",      "ARMSMSType",      "ARMSOversTag",       "Armsoverreference",
    "Armsprecise",     "Armsledref",      "Avureference",       "Avuintegration",
    "Avuholdtime",     "Avutype",         "Avumstype",          "Avubacklit",
    "Avuoverled",      "Avuledref",       "Avuprecise",         "Appmreference",
    "Appmintegration", "Appmholdtime",    "Appmreturn",         "Appmmstype",
    "Appmovertag",     "Appmoverreference", "Appmprecise"};

using Bytes = std::vector<unsigned char>;
Bytes bytesOf(const unsigned char b[4]) { return {b, b + 4}; }
const Bytes kUntouched = {0xAA, 0xBB, 0xCC, 0xDD};

// Every read of these names must fail and leave the caller's default alone.
void expectRefusedAsBinary(RegistryService& registry, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    unsigned char bytes[4] = {0xAA, 0xBB, 0xCC, 0xDD};
    EXPECT_FALSE(registry.readBinary4(name, bytes)) << name;
    EXPECT_EQ(kUntouched, bytesOf(bytes)) << name;
  }
}
void expectRefusedAsText(RegistryService& registry, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    std::string text = "kept";
    EXPECT_FALSE(registry.readText(name, text)) << name;
    EXPECT_EQ("kept", text) << name;
  }
}

// A scratch store per test, with raw access that bypasses the code under test.
#ifdef _WIN32

class ScratchStore {
 public:
  ScratchStore() {
    static int counter = 0;
    path_ = L"Software\\ZelcraftTests\\Registry-" + std::to_wstring(::GetCurrentProcessId()) +
            L"-" + std::to_wstring(++counter);
  }
  ~ScratchStore() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, path_.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\ZelcraftTests");  // only when empty
  }
  std::unique_ptr<RegistryService> open() const {
    return std::make_unique<WindowsRegistry>(HKEY_CURRENT_USER, path_);
  }
  bool exists(const std::wstring& path) const {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key)) return false;
    ::RegCloseKey(key);
    return true;
  }
  bool exists() const { return exists(path_); }
  void putRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) const {
    HKEY key = nullptr;
    ASSERT_EQ(0, ::RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_WRITE,
                                   nullptr, &key, nullptr));
    ASSERT_EQ(0, ::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size));
    ::RegCloseKey(key);
  }
  Bytes getRaw(const wchar_t* name, DWORD& type) const {
    HKEY key = nullptr;
    Bytes data(4096);
    DWORD size = 4096;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_QUERY_VALUE, &key)) return {};
    if (::RegQueryValueExW(key, name, nullptr, &type, data.data(), &size)) size = 0;
    ::RegCloseKey(key);
    data.resize(size);
    return data;
  }
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

#else

std::string readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void writeWholeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::vector<std::string> folderEntries(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (dirent* entry = ::readdir(dir)) {
      if (std::strcmp(entry->d_name, ".") && std::strcmp(entry->d_name, "..")) {
        names.push_back(entry->d_name);
      }
    }
    ::closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

class ScratchStore {
 public:
  ScratchStore() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/orvane-registry-XXXXXX";
    if (::mkdtemp(&pattern[0])) root = pattern;
    folder = root + "/config/Zelcraft";  // not there yet: the first write makes it
    path = folder + "/ZELMETERS300.reg";
  }
  ~ScratchStore() {
    if (root.empty()) return;
    auto remove = [](const char* p, const struct stat*, int, FTW*) { return ::remove(p); };
    ::nftw(root.c_str(), remove, 16, FTW_DEPTH | FTW_PHYS);
  }
  std::unique_ptr<RegistryService> open() const { return std::make_unique<FileRegistry>(path); }
  bool exists() const { return ::access(path.c_str(), F_OK) == 0; }
  void putRawFile(const std::string& text) const {
    ::mkdir((root + "/config").c_str(), 0700);
    ::mkdir(folder.c_str(), 0700);
    writeWholeFile(path, text);
  }
  std::string root, folder, path;
};

#endif

class Registry : public ::testing::Test {
 protected:
  ScratchStore store;
};

// ---------------------------------------------------------------------------
// What both implementations promise.

TEST_F(Registry, RoundTripsTwentySevenDistinctFourByteValuesAndTexts) {
  auto writer = store.open();
  unsigned char written[27][4];
  for (int i = 0; i < 27; ++i) {
    const std::uint32_t pattern = i == 0 ? 0u : i == 1 ? 0xFFFFFFFFu : 0x3C23D70Au * (i + 1);
    for (int b = 0; b < 4; ++b) written[i][b] = static_cast<unsigned char>(pattern >> (8 * b));
    ASSERT_TRUE(writer->writeBinary4(kMeterSettingNames[i], written[i])) << kMeterSettingNames[i];
  }
  const std::string texts[] = {
      "",
      "C:\\Users\\Me\\Documents\\Presets",
      "quote \" backslash \\ semicolon ; equals = [brackets]",
      "line\nbreak\r\ttab",
      "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8E\x9A",  // accent, CJK, beyond the BMP
      std::string(2049, 'x'),
  };
  for (const std::string& text : texts) {
    ASSERT_TRUE(writer->writeText("CurrDir", text));
    std::string read = "stale";
    ASSERT_TRUE(store.open()->readText("CurrDir", read));
    EXPECT_EQ(text, read);
  }
  // Overwriting one value keeps every other; names ignore case as the
  // registry's do.
  const unsigned char changed[4] = {9, 8, 7, 6};
  ASSERT_TRUE(writer->writeBinary4("AVUREFERENCE", changed));
  std::memcpy(written[10], changed, 4);

  auto reader = store.open();  // a fresh instance, as the host's next run has
  for (int i = 0; i < 27; ++i) {
    unsigned char read[4] = {};
    ASSERT_TRUE(reader->readBinary4(kMeterSettingNames[i], read)) << kMeterSettingNames[i];
    EXPECT_EQ(bytesOf(written[i]), bytesOf(read)) << kMeterSettingNames[i];
  }
}

TEST_F(Registry, WritesABatchOfValuesInOneSaveAndKeepsTheOthers) {
  auto writer = store.open();
  ASSERT_TRUE(writer->writeText("CurrDir", "kept"));
  Binary4Value batch[27];
  for (int i = 0; i < 27; ++i) {
    batch[i].name = kMeterSettingNames[i];
    const std::uint32_t pattern = 0x01020304u * (i + 1);
    std::memcpy(batch[i].bytes, &pattern, 4);
  }
  ASSERT_TRUE(writer->writeBinary4Values(batch, 27));
  EXPECT_TRUE(writer->writeBinary4Values(batch, 0));
  auto reader = store.open();
  for (int i = 0; i < 27; ++i) {
    unsigned char read[4] = {};
    ASSERT_TRUE(reader->readBinary4(kMeterSettingNames[i], read)) << kMeterSettingNames[i];
    EXPECT_EQ(bytesOf(batch[i].bytes), bytesOf(read)) << kMeterSettingNames[i];
  }
  std::string text;
  EXPECT_TRUE(reader->readText("CurrDir", text));
  EXPECT_EQ("kept", text);
}

TEST_F(Registry, MissingKeyOrValueLeavesTheCallersDefaultAndCreatesNothing) {
  auto registry = store.open();
  expectRefusedAsBinary(*registry, {"Avureference"});
  expectRefusedAsText(*registry, {"ManualPath"});
  EXPECT_FALSE(store.exists()) << "a read must never create the key";

  const unsigned char value[4] = {1, 2, 3, 4};
  ASSERT_TRUE(registry->writeBinary4("Appmreference", value));
  expectRefusedAsBinary(*registry, {"Avureference"});
  expectRefusedAsText(*registry, {"ManualPath"});
}

TEST_F(Registry, RefusesBadNamesAndTextsAndWritesNothing) {
  auto registry = store.open();
  const unsigned char value[4] = {1, 2, 3, 4};
  const std::string tooLongName(registry::kMaxValueNameBytes + 1, 'n');
  for (const char* name :
       {static_cast<const char*>(nullptr), "", "tab\tin name", "\xC3(", tooLongName.c_str()}) {
    EXPECT_FALSE(registry->writeBinary4(name, value));
    EXPECT_FALSE(registry->writeText(name, "text"));
    unsigned char bytes[4];
    std::string text;
    EXPECT_FALSE(registry->readBinary4(name, bytes));
    EXPECT_FALSE(registry->readText(name, text));
  }
  EXPECT_FALSE(registry->writeBinary4("Avureference", nullptr));
  for (const std::string& text : {std::string("zero\0inside", 11), std::string("\xC0\xAF"),
                                  std::string(registry::kMaxTextBytes + 1, 'a')}) {
    EXPECT_FALSE(registry->writeText("CurrDir", text));
  }
  EXPECT_FALSE(store.exists());

  // Right at the limits, both are taken.
  const std::string longestName(registry::kMaxValueNameBytes, 'n');
  const std::string longestText(registry::kMaxTextBytes, 'a');
  ASSERT_TRUE(registry->writeText(longestName.c_str(), longestText));
  std::string read;
  ASSERT_TRUE(registry->readText(longestName.c_str(), read));
  EXPECT_TRUE(read == longestText);
}

TEST_F(Registry, RefusesValuesOfAnotherTypeOrSize) {
  const unsigned char eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
#ifdef _WIN32
  const DWORD dword = 0x3E800000;
  store.putRaw(L"TwoBytes", REG_BINARY, eight, 2);
  store.putRaw(L"EightBytes", REG_BINARY, eight, 8);
  store.putRaw(L"NoBytes", REG_BINARY, eight, 0);
  store.putRaw(L"Dword", REG_DWORD, &dword, 4);
  store.putRaw(L"Text", REG_SZ, L"a", 4);  // four bytes, but a string
  store.putRaw(L"Multi", REG_MULTI_SZ, L"a\0b\0", 10);
  store.putRaw(L"BadText", REG_BINARY, eight, 4);
#else
  (void)eight;
  store.putRawFile(std::string(registryfile::kFileHeader) +
                   "\n[HKEY_CURRENT_USER\\SOFTWARE\\Zelcraft\\ZELMETERS300]\n"
                   "\"TwoBytes\"=hex:01,02\n\"EightBytes\"=hex:01,02,03,04,05,06,07,08\n"
                   "\"NoBytes\"=hex:\n\"Dword\"=hex(4):00,00,80,3e\n\"Text\"=\"abc\"\n"
                   "\"Multi\"=hex(7):61,00,62,00\n\"BadText\"=hex(1):ff,fe\n");
#endif
  auto registry = store.open();
  expectRefusedAsBinary(*registry, {"TwoBytes", "EightBytes", "NoBytes", "Dword", "Text"});
  expectRefusedAsText(*registry, {"Multi", "BadText", "EightBytes"});
  // Our own writes of one kind do not read as the other.
  const unsigned char value[4] = {'a', 'b', 'c', 0};
  ASSERT_TRUE(registry->writeBinary4("CurrDir", value));
  ASSERT_TRUE(registry->writeText("Avureference", "abc"));
  expectRefusedAsText(*registry, {"CurrDir"});
  expectRefusedAsBinary(*registry, {"Avureference"});
}

// ---------------------------------------------------------------------------
// The Windows registry.

#ifdef _WIN32

TEST_F(Registry, StoresRegBinaryOfFourBytesAndRegSzWithItsNull) {
  auto registry = store.open();
  const unsigned char value[4] = {0x00, 0x00, 0x80, 0x3E};  // 0.25f, little-endian
  ASSERT_TRUE(registry->writeBinary4("Avureference", value));
  ASSERT_TRUE(registry->writeText("CurrDir", "C:\\x"));
  DWORD type = 0;
  EXPECT_EQ(bytesOf(value), store.getRaw(L"Avureference", type));
  EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
  const wchar_t expected[] = L"C:\\x";
  const auto* raw = reinterpret_cast<const unsigned char*>(expected);
  EXPECT_EQ(Bytes(raw, raw + sizeof expected), store.getRaw(L"CurrDir", type)) << "with its null";
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
}

TEST_F(Registry, ReadsTextsThatOthersWroteSafely) {
  store.putRaw(L"NoNull", REG_SZ, L"abc", 6);
  store.putRaw(L"OddSize", REG_SZ, L"abcd", 7);
  store.putRaw(L"NullInside", REG_SZ, L"ab\0cd", 12);
  const wchar_t loneSurrogate[] = {L'a', static_cast<wchar_t>(0xD800), L'b', 0};
  store.putRaw(L"LoneSurrogate", REG_SZ, loneSurrogate, sizeof loneSurrogate);
  ::SetEnvironmentVariableW(L"ORVANE_TEST_MANUALS", L"C:\\Manuals");
  const wchar_t expandable[] = L"%ORVANE_TEST_MANUALS%\\Orvane.pdf";
  store.putRaw(L"Expandable", REG_EXPAND_SZ, expandable, sizeof expandable);
  const std::vector<wchar_t> huge(registry::kMaxTextBytes + 2, L'h');
  store.putRaw(L"Huge", REG_SZ, huge.data(), static_cast<DWORD>(huge.size() * sizeof(wchar_t)));

  auto registry = store.open();
  const std::pair<const char*, std::string> readable[] = {
      {"NoNull", "abc"},
      {"OddSize", "abc"},
      {"NullInside", "ab"},
      {"LoneSurrogate", "a\xEF\xBF\xBD" "b"},
      {"Expandable", "C:\\Manuals\\Orvane.pdf"},
  };
  for (const auto& [name, expected] : readable) {
    std::string text;
    EXPECT_TRUE(registry->readText(name, text)) << name;
    EXPECT_EQ(expected, text) << name;
  }
  expectRefusedAsText(*registry, {"Huge"});
}

TEST_F(Registry, UnwritableKeyWritesNothingAndAnswersFalse) {
  const unsigned char value[4] = {1, 2, 3, 4};
  auto tryEverything = [&](WindowsRegistry registry) {
    EXPECT_FALSE(registry.writeBinary4("Avureference", value));
    EXPECT_FALSE(registry.writeText("CurrDir", "C:\\"));
    expectRefusedAsBinary(registry, {"Avureference"});
    expectRefusedAsText(registry, {"CurrDir"});
  };
  // Roots that are no open key at all.
  tryEverything(WindowsRegistry(nullptr, store.path()));
  tryEverything(WindowsRegistry(reinterpret_cast<HKEY>(std::uintptr_t{0x7654320}), store.path()));
  EXPECT_FALSE(store.exists());

  // A key that cannot be created: ours is non-volatile, and the registry
  // refuses a non-volatile key below a volatile one.
  HKEY volatileParent = nullptr;
  ASSERT_EQ(0, ::RegCreateKeyExW(HKEY_CURRENT_USER, store.path().c_str(), 0, nullptr,
                                 REG_OPTION_VOLATILE, KEY_WRITE, nullptr, &volatileParent,
                                 nullptr));
  ::RegCloseKey(volatileParent);
  const std::wstring child = store.path() + L"\\ZELMETERS300";
  tryEverything(WindowsRegistry(HKEY_CURRENT_USER, child));
  EXPECT_FALSE(store.exists(child));

  EXPECT_FALSE(WindowsRegistry(HKEY_CURRENT_USER, L"").writeText("CurrDir", "x"))
      << "an empty key path would write into the root itself";
}

TEST(UserRegistry, IsTheProductKeyOfTheCurrentUser) {
  auto* registry = dynamic_cast<WindowsRegistry*>(&userRegistry());
  ASSERT_NE(nullptr, registry);
  EXPECT_EQ(&userRegistry(), registry);
  EXPECT_EQ(HKEY_CURRENT_USER, registry->root());
  EXPECT_EQ(std::wstring(L"SOFTWARE\\Zelcraft\\ZELMETERS300"), registry->keyPath());
}

#else

// ---------------------------------------------------------------------------
// The native per-user file.

TEST(UserRegistry, LivesUnderTheXdgConfigFolderOfTheCurrentUser) {
  EXPECT_EQ("/x/cfg/Zelcraft/ZELMETERS300.reg", userRegistryFilePath("/x/cfg/", "/home/me"));
  // An unset, empty or relative XDG_CONFIG_HOME falls back to ~/.config.
  for (const char* xdg : {static_cast<const char*>(nullptr), "", "relative/cfg"}) {
    EXPECT_EQ("/home/me/.config/Zelcraft/ZELMETERS300.reg", userRegistryFilePath(xdg, "/home/me"));
  }
  EXPECT_EQ("", userRegistryFilePath("", "relative/home"));

  auto* registry = dynamic_cast<FileRegistry*>(&userRegistry());
  ASSERT_NE(nullptr, registry);
  EXPECT_EQ(&userRegistry(), registry);
  const std::string suffix = "/Zelcraft/ZELMETERS300.reg";
  const std::string& path = registry->filePath();
  ASSERT_GT(path.size(), suffix.size());
  EXPECT_EQ(suffix, path.substr(path.size() - suffix.size()));
}

TEST_F(Registry, WritesAPrivateFileInItsDocumentedFormatAndNoTemporaryOne) {
  auto registry = store.open();
  const unsigned char value[4] = {0x00, 0x00, 0x80, 0x3E};
  ASSERT_TRUE(registry->writeBinary4("Avureference", value));
  ASSERT_TRUE(registry->writeText("CurrDir", "/home/me/\"q\"\n"));
  EXPECT_EQ(
      "ORVANE-REGISTRY 1\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\Zelcraft\\ZELMETERS300]\n"
      "\"Avureference\"=hex:00,00,80,3e\n"
      "\"CurrDir\"=\"/home/me/\\\"q\\\"\\n\"\n",
      readWholeFile(store.path));
  EXPECT_EQ(std::vector<std::string>{"ZELMETERS300.reg"}, folderEntries(store.folder));
  struct stat st {};
  ASSERT_EQ(0, ::stat(store.path.c_str(), &st));
  EXPECT_EQ(0600u, st.st_mode & 0777u);
  ASSERT_EQ(0, ::stat(store.folder.c_str(), &st));
  EXPECT_EQ(0700u, st.st_mode & 0777u);
}

TEST_F(Registry, ReadsWhatSurvivesOfADamagedFileAndRewritesItClean) {
  store.putRawFile(
      "ORVANE-REGISTRY 1\r\n"
      "[hkey_current_user\\software\\zelcraft\\zelmeters300]\r\n"
      "\"Avureference\"=hex:01,02,03,04\r\n"
      "\"Avutype\"=hex:01,02,03,0\r\n"  // cut short
      "garbage \x01\x02\xFF\r\n"
      "\"CurrDir\"=\"/ok\"\r\n"
      "\"CurrBank\"=\"unterminated\r\n");
  auto registry = store.open();
  unsigned char bytes[4] = {};
  std::string text;
  ASSERT_TRUE(registry->readBinary4("Avureference", bytes));
  EXPECT_EQ(Bytes({1, 2, 3, 4}), bytesOf(bytes));
  ASSERT_TRUE(registry->readText("CurrDir", text));
  EXPECT_EQ("/ok", text);
  expectRefusedAsBinary(*registry, {"Avutype"});
  expectRefusedAsText(*registry, {"CurrBank"});

  ASSERT_TRUE(registry->writeText("CurrPreset", "p"));
  EXPECT_EQ(
      "ORVANE-REGISTRY 1\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\Zelcraft\\ZELMETERS300]\n"
      "\"Avureference\"=hex:01,02,03,04\n"
      "\"CurrDir\"=\"/ok\"\n"
      "\"CurrPreset\"=\"p\"\n",
      readWholeFile(store.path));
}

TEST_F(Registry, AFileTooLargeToBeOursIsNeitherReadNorReplaced) {
  // Replacing it would be the one way to lose whatever it holds.
  std::string huge = "ORVANE-REGISTRY 1\n[HKEY_CURRENT_USER\\SOFTWARE\\Zelcraft\\ZELMETERS300]\n"
                     "\"Avureference\"=hex:01,02,03,04\n";
  huge.resize(registryfile::kMaxFileBytes + 1, '\n');
  store.putRawFile(huge);
  auto registry = store.open();
  expectRefusedAsBinary(*registry, {"Avureference"});
  const unsigned char value[4] = {};
  EXPECT_FALSE(registry->writeBinary4("Avureference", value));
  EXPECT_EQ(huge.size(), readWholeFile(store.path).size());
}

TEST_F(Registry, AWriteThatFailsHalfwayKeepsTheOldFileIntact) {
  auto registry = store.open();
  const unsigned char value[4] = {1, 2, 3, 4};
  ASSERT_TRUE(registry->writeBinary4("Avureference", value));
  const std::string before = readWholeFile(store.path);

  // In a child process, cap the size of any file written so that the new
  // file cannot be written whole: the disk-full case.
  const pid_t child = ::fork();
  ASSERT_NE(-1, child);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{before.size() + 8, before.size() + 8};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::_exit(registry->writeText("CurrDir", std::string(500, 'd')) ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(child, ::waitpid(child, &status, 0));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(0, WEXITSTATUS(status)) << "the failed write must answer false";
  EXPECT_EQ(before, readWholeFile(store.path));
  EXPECT_EQ(std::vector<std::string>{"ZELMETERS300.reg"}, folderEntries(store.folder));
}

TEST_F(Registry, UnwritableLocationsWriteNothingAndAnswerFalse) {
  const unsigned char value[4] = {1, 2, 3, 4};
  const std::string plainFile = store.root + "/plain";
  writeWholeFile(plainFile, "keep me");
  const std::string folder = store.root + "/folder.reg";
  ASSERT_EQ(0, ::mkdir(folder.c_str(), 0700));
  const std::string fifo = store.root + "/fifo.reg";  // reading it must not block
  ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));

  for (const std::string& path : {plainFile + "/Zelcraft/ZELMETERS300.reg", folder, fifo,
                                  std::string()}) {
    FileRegistry registry(path);
    EXPECT_FALSE(registry.writeBinary4("Avureference", value)) << path;
    EXPECT_FALSE(registry.writeText("CurrDir", "/")) << path;
    expectRefusedAsBinary(registry, {"Avureference"});
    expectRefusedAsText(registry, {"CurrDir"});
  }
  EXPECT_EQ("keep me", readWholeFile(plainFile));
  EXPECT_EQ(std::vector<std::string>({"fifo.reg", "folder.reg", "plain"}),
            folderEntries(store.root));
  EXPECT_TRUE(folderEntries(folder).empty());
}

TEST_F(Registry, ABatchWithOneRefusedNameWritesNothing) {
  auto registry = store.open();
  Binary4Value batch[3] = {{"Avureference", {1, 1, 1, 1}}, {"bad\x01name", {2, 2, 2, 2}},
                           {"Appmreference", {3, 3, 3, 3}}};
  EXPECT_FALSE(registry->writeBinary4Values(batch, 3));
  EXPECT_FALSE(store.exists());
}

// The values of one batch, all the same number: what a file must hold if it
// holds anything.
std::uint32_t batchNumberIn(const std::string& path) {
  FileRegistry registry(path);
  std::uint32_t number = 0;
  for (int i = 0; i < 27; ++i) {
    unsigned char bytes[4];
    if (!registry.readBinary4(kMeterSettingNames[i], bytes)) return 0;
    std::uint32_t value;
    std::memcpy(&value, bytes, 4);
    if (i == 0) number = value;
    if (value != number) return 0;
  }
  return number;
}

TEST_F(Registry, AWriterKilledAtAnyMomentLeavesOnlyWholeFiles) {
  // A host process killed while it saves the Global settings: whenever the
  // kill lands, every file in the folder is whole and holds one complete
  // batch, the one before the kill or a later one.
  // Until one save is in place the kill waits for the writer to report
  // its first: on a loaded machine a fixed delay may end every writer
  // before it ever finished one.
  std::uint32_t next = 1, lastSeen = 0;
  std::mt19937 random(20);
  for (int round = 0; round < 25; ++round) {
    int saved[2];
    ASSERT_EQ(0, ::pipe(saved));
    const pid_t child = ::fork();
    ASSERT_NE(-1, child);
    if (child == 0) {
      ::close(saved[0]);
      ::signal(SIGPIPE, SIG_IGN);
      auto registry = store.open();
      for (std::uint32_t n = next;; ++n) {
        Binary4Value batch[27];
        for (int i = 0; i < 27; ++i) {
          batch[i].name = kMeterSettingNames[i];
          std::memcpy(batch[i].bytes, &n, 4);
        }
        if (!registry->writeBinary4Values(batch, 27)) ::_exit(3);
        // Nobody may be reading any more: the writer carries on regardless.
        if (n == next && ::write(saved[1], "s", 1) < 0) {
        }
      }
    }
    ::close(saved[1]);
    if (lastSeen == 0) {
      char byte;
      ASSERT_EQ(1, ::read(saved[0], &byte, 1)) << "the writer ended before its first save";
    }
    ::close(saved[0]);
    ::usleep(2000 + random() % 20000);
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(child, ::waitpid(child, &status, 0));
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped on its own, status " << status;
    if (!store.exists()) continue;  // killed before its first save was in place
    for (const std::string& name : folderEntries(store.folder)) {
      EXPECT_NE(0u, batchNumberIn(store.folder + "/" + name)) << name << " is not a whole save";
    }
    const std::uint32_t now = batchNumberIn(store.path);
    EXPECT_GE(now, lastSeen);
    lastSeen = now;
    next = now + 100000;
  }
  EXPECT_GT(lastSeen, 0u) << "no save ever completed";
}

TEST_F(Registry, ConcurrentWritersInOneProcessLoseNoValue) {
  // Two plug-in instances saving at once, each through its own object.
  auto writeHalf = [this](int from) {
    auto registry = store.open();
    for (int i = from; i < 27; i += 2) {
      const unsigned char value[4] = {static_cast<unsigned char>(i), 1, 2, 3};
      registry->writeBinary4(kMeterSettingNames[i], value);
    }
  };
  std::thread a(writeHalf, 0), b(writeHalf, 1);
  a.join();
  b.join();
  auto reader = store.open();
  for (int i = 0; i < 27; ++i) {
    unsigned char bytes[4] = {};
    EXPECT_TRUE(reader->readBinary4(kMeterSettingNames[i], bytes)) << kMeterSettingNames[i];
    EXPECT_EQ(i, bytes[0]);
  }
}

#endif

// ---------------------------------------------------------------------------
// The shared input rules and the file format, on every build.

TEST(RegistryRules, AcceptOnlyStrictUtf8) {
  for (const std::string s : {"", "plain", "\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xED\x9F\xBF",
                              "\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF"}) {
    EXPECT_TRUE(registry::isValidUtf8(s.data(), s.size())) << s;
  }
  for (const std::string s :
       {"\x80", "\xC0\x80", "\xC1\xBF", "\xC2", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xE1\x80",
        "\xF0\x8F\xBF\xBF", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF", "a\xC2z"}) {
    EXPECT_FALSE(registry::isValidUtf8(s.data(), s.size())) << s;
  }
}

const std::string kKey = "HKEY_CURRENT_USER\\SOFTWARE\\Zelcraft\\ZELMETERS300";
const std::string kHeader = std::string(registryfile::kFileHeader) + "\n[" + kKey + "]\n";

void expectSameValues(const registryfile::Contents& a, const registryfile::Contents& b) {
  ASSERT_EQ(a.values().size(), b.values().size());
  for (std::size_t i = 0; i < a.values().size(); ++i) {
    ASSERT_EQ(a.values()[i].name, b.values()[i].name);
    ASSERT_EQ(a.values()[i].type, b.values()[i].type);
    ASSERT_EQ(a.values()[i].data, b.values()[i].data);
  }
}

TEST(RegistryFileFormat, SkipsDamagedLinesAndForeignFilesAndKeepsTheRest) {
  for (const std::string line :
       {"\"A\"=hex:01,02,0", "\"A\"=hex:01,02,", "\"A\"=hex:0g", "\"A\"=hex:01 02",
        "\"A\"=hex(:01", "\"A\"=hex(123456789):01", "\"A\"=hex(4)01", "\"A\"=\"open",
        "\"A\"=\"bad \\q escape\"", "\"A\"=\"short \\x4\"", "\"A\"=\"zero \\x00\"",
        "\"A\"=\"raw\ttab\"", "\"A\"=\"x\" trailing", "\"A\"=\"\xC3(\"", "\"A\"=dword:00000001",
        "\"A\"", "\"A\"hex:01", "\"\"=hex:01", "\"A\\x01\"=hex:01", "A=hex:01", "\"A"}) {
    const registryfile::Contents contents =
        registryfile::parse(kHeader + line + "\n\"B\"=hex:05\n", kKey);
    EXPECT_EQ(nullptr, contents.find("A")) << line;
    ASSERT_NE(nullptr, contents.find("B")) << line;
    EXPECT_EQ(Bytes{5}, contents.find("B")->data) << line;
  }
  const std::string value = "\"A\"=hex:01\n";
  for (const std::string& file :
       {"[" + kKey + "]\n" + value, "REGEDIT4\n[" + kKey + "]\n" + value,
        "ORVANE-REGISTRY 2\n[" + kKey + "]\n" + value,
        "ORVANE-REGISTRY 1\n[HKEY_CURRENT_USER\\SOFTWARE\\Other]\n" + value,
        "ORVANE-REGISTRY 1\n" + value, std::string("\0\0\0\0", 4)}) {
    EXPECT_TRUE(registryfile::parse(file, kKey).values().empty()) << file;
  }
  // A name given twice: the later line wins, once.
  const registryfile::Contents twice = registryfile::parse(kHeader + value + "\"a\"=hex:02\n", kKey);
  ASSERT_EQ(1u, twice.values().size());
  EXPECT_EQ(Bytes{2}, twice.find("A")->data);
}

TEST(RegistryFileFormat, RoundTripsAnythingAndSurvivesRandomDamage) {
  registryfile::Contents original;
  for (int i = 0; i < 27; ++i) {
    const unsigned char value[4] = {static_cast<unsigned char>(i), 0x5C, 0x22, 0x0A};
    original.set(kMeterSettingNames[i], registryfile::kTypeBinary, value, 4);
  }
  std::string everyCharacter;
  for (int c = 1; c < 128; ++c) everyCharacter.push_back(static_cast<char>(c));
  everyCharacter += "\xC3\xA9\xF0\x9F\x8E\x9A";
  Bytes everyByte;
  for (int b = 0; b < 256; ++b) everyByte.push_back(static_cast<unsigned char>(b));
  original.set("Text \"q\" \\ [x] = ;", registryfile::kTypeText,
               reinterpret_cast<const unsigned char*>(everyCharacter.data()), everyCharacter.size());
  original.set("Binary", registryfile::kTypeBinary, everyByte.data(), everyByte.size());
  original.set("Empty", registryfile::kTypeBinary, nullptr, 0);
  original.set("HighestType", 0xFFFFFFFFu, everyByte.data(), 8);
  original.set("TextThatIsNot", registryfile::kTypeText, everyByte.data(), 4);  // has a zero
  const std::string clean = registryfile::serialise(original, kKey);
  expectSameValues(original, registryfile::parse(clean, kKey));

  std::mt19937 random(20261207);  // fixed seed: every run checks the same damage
  for (int round = 0; round < 3000; ++round) {
    std::string file = clean;
    for (int e = 1 + static_cast<int>(random() % 8); e > 0 && !file.empty(); --e) {
      const std::size_t at = random() % file.size();
      switch (random() % 4) {
        case 0: file[at] = static_cast<char>(random()); break;
        case 1: file.erase(at, 1 + random() % 16); break;
        case 2: file.insert(at, 1 + random() % 4, static_cast<char>(random())); break;
        case 3: file.resize(at); break;
      }
    }
    const registryfile::Contents read = registryfile::parse(file, kKey);
    for (const registryfile::Value& v : read.values()) {
      ASSERT_TRUE(registry::isAcceptableValueName(v.name.c_str()));
      ASSERT_EQ(std::strlen(v.name.c_str()), v.name.size());
    }
    // Whatever was read writes back to a file that reads the same.
    expectSameValues(read, registryfile::parse(registryfile::serialise(read, kKey), kKey));
  }
}

}  // namespace
}  // namespace orvane
