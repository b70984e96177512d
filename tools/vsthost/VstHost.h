// A small VST 2.4 host: loads a plug-in binary only through its exported
// entry point and drives it as a host does. The plug-in-binary tests and the
// command-line host use it.
#pragma once

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "core/vst2abi.h"

namespace vsthost {

class EditorWindow;

// What the host answers and what it has been asked; tests change the
// answers and read the records.
struct HostState {
  VstIntPtr versionAnswer = 2400;
  VstIntPtr pinConnectedAnswer = 0;  // 0 = connected
  VstIntPtr outputLatency = 0;
  struct Automation {
    VstInt32 index;
    float value;
  };
  std::vector<Automation> automations;
  std::vector<std::pair<VstInt32, VstIntPtr>> sizeWindowCalls;  // width, height
  int versionQueries = 0;
  int pinQueries = 0;
  // Every audioMaster call, with the thread it came from (recorded under a
  // lock: the audio thread and the window thread call at once).
  struct Call {
    VstInt32 opcode;
    VstInt32 index;
    std::thread::id thread;
  };
  std::vector<Call> calls;
  bool logCalls = true;  // off where a host measures and must not grow
  // The host's user-interface thread: the one that created the instance.
  std::thread::id uiThread;
  // The editor window that a size request resizes, while one is open.
  EditorWindow* editorWindow = nullptr;
};

class PluginLibrary {
 public:
  PluginLibrary() = default;
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  // Loads the binary; false with error() set when it cannot be loaded or
  // exports no entry point.
  bool load(const std::string& path);
  const std::string& error() const { return error_; }
  // The entry points the binary exports (either may be null).
  void* vstPluginMain() const { return vstPluginMain_; }
  void* mainEntry() const { return main_; }

 private:
  void* handle_ = nullptr;
  void* vstPluginMain_ = nullptr;
  void* main_ = nullptr;
  std::string error_;
};

// One instance of a plug-in.
class Plugin {
 public:
  // Creates an instance through `entry` (VSTPluginMain or main). With
  // `withCallback` false the plug-in gets a null host callback.
  Plugin(void* entry, HostState& host, bool withCallback = true);
  ~Plugin();  // closes the instance unless close() ran
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  bool valid() const { return effect_ != nullptr; }
  AEffect* effect() const { return effect_; }

  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0);
  void setParameter(VstInt32 index, float value) { effect_->setParameter(effect_, index, value); }
  float getParameter(VstInt32 index) { return effect_->getParameter(effect_, index); }
  std::string text(VstInt32 opcode, VstInt32 index = 0);  // a dispatcher text query
  void process(float** inputs, float** outputs, VstInt32 frames) {
    effect_->processReplacing(effect_, inputs, outputs, frames);
  }
  // Sample rate, block size, then resume.
  void start(float sampleRate, VstInt32 blockSize);
  std::vector<unsigned char> chunk();
  void setChunk(const void* data, VstInt32 size);
  VstIntPtr close();
  HostState& host() { return host_; }

 private:
  AEffect* effect_ = nullptr;
  HostState& host_;
};

// Pixels as 8-bit BGRA, top row first (what Windows' device-independent
// bitmaps hold).
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bgra;
};

// PNG files through the system's imaging component. Windows only: natively
// there is no window to capture and both answer false.
bool readPNG(const std::string& path, Image& image);
bool writePNG(const std::string& path, const Image& image);

// The calls of a log that came from a thread VST 2.4 hosts do not take them
// from: window sizing, automation and begin/end of an edit belong to the
// user-interface thread. Empty when every call came where it should.
std::vector<HostState::Call> callsFromWrongThreads(const HostState& host);
// What a host opcode is called in the log.
const char* hostOpcodeName(VstInt32 opcode);

// The plug-in's editor as a host shows it. On Windows: a top-level window
// with a child window of the editor's size for the plug-in to open into,
// resized whenever the plug-in asks (audioMasterSizeWindow). Natively the
// editor is opened with no parent: its frame is windowless.
class EditorWindow {
 public:
  explicit EditorWindow(Plugin& plugin);
  ~EditorWindow();  // closes the editor and the window
  EditorWindow(const EditorWindow&) = delete;
  EditorWindow& operator=(const EditorWindow&) = delete;

  // Asks effEditGetRect, makes the window that size at this place of the
  // screen and opens the editor into it. False (window gone again) when
  // the plug-in refuses.
  bool open(int left = 40, int top = 40);
  // effEditClose, then the window goes.
  void close();
  bool isOpen() const { return open_; }
  // Pumps the window's messages for `milliseconds`, calling effEditIdle
  // every `intervalMs` as a host's timer does.
  void idle(int milliseconds, int intervalMs = 30);
  // The editor's area as it shows now (Windows).
  bool capture(Image& image);
  // The mouse as the system delivers it to the window under a point of the
  // editor's area (Windows; natively there is no window and both answer
  // false): a move there, or a move, a left press and a release.
  bool mouseMove(int x, int y);
  bool click(int x, int y);
  // Wheel notches over a point (positive: away from the user), as the
  // system sends them to the window under it, with screen coordinates.
  bool wheel(int x, int y, int notches);
  // Keys typed into the window that has the keyboard focus: for each
  // character a key-down, the character and a key-up, as the system
  // delivers them after translating; key() presses one virtual key (its
  // character, if it has one, included: Return, Escape, Back).
  bool type(const std::string& text);
  bool key(int virtualKey);
  bool savePNG(const std::string& path);

  // What the window cost the thread since open() or resetCost(): the
  // effEditIdle calls and the time spent in them, and the paint messages
  // the editor's windows handled (sent from inside an idle or dispatched
  // from the queue) and the time spent painting.
  struct Cost {
    long idles = 0;
    double idleSeconds = 0;
    long paints = 0;
    double paintSeconds = 0;
  };
  const Cost& cost() const { return cost_; }
  void resetCost() { cost_ = Cost(); }
  // One idle call now, without pumping or waiting; pump() handles what
  // the thread's queue holds now, without waiting.
  void idleOnce();
  void pump();
  // For the window thread's message hooks: a paint of one of this editor's
  // windows took `seconds`.
  bool owns(void* window) const;
  void addPaint(double seconds) {
    ++cost_.paints;
    cost_.paintSeconds += seconds;
  }

  // The rectangle the plug-in reported before opening, and the size of the
  // editor's area now.
  const ERect& openingRect() const { return openingRect_; }
  int width() const;
  int height() const;
  int idleCalls() const { return idleCalls_; }
  void* parentWindow() const { return container_; }

  // From the host callback: the plug-in wants this size.
  void resize(int width, int height);

 private:
  Plugin& plugin_;
  ERect openingRect_ = {0, 0, 0, 0};
  bool open_ = false;
  int idleCalls_ = 0;
  int width_ = 0;
  int height_ = 0;
  Cost cost_;
  void* topLevel_ = nullptr;
  void* container_ = nullptr;
};

}  // namespace vsthost
