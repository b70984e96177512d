// Drives the editor through the effect, as the plug-in does: an effect with
// its own settings over an in-memory registry, a host callback that
// records, desktop services that record instead of opening documents or
// showing message boxes, and stand-in panels and strips that log what the
// editor asks of them.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/Templete.h"
#include "editor/EditorPlatform.h"
#include "editor/MyFrame.h"
#include "editor/TemepleteEditor.h"
#include "platform/MemoryRegistry.h"
#include "settings/SharedSettings.h"
#include "toolkit/vstgui.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace editor_test {

using namespace VSTGUI;

struct Log {
  std::vector<std::string> lines;
  void add(const std::string& s) { lines.push_back(s); }
  void clear() { lines.clear(); }
  // The lines that start with prefix, in order.
  std::vector<std::string> with(const std::string& prefix) const {
    std::vector<std::string> out;
    for (auto& l : lines)
      if (l.compare(0, prefix.size(), prefix) == 0) out.push_back(l);
    return out;
  }
  int count(const std::string& line) const {
    int n = 0;
    for (auto& l : lines) n += l == line;
    return n;
  }
};

inline std::string num(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%g", v);
  return b;
}

struct FakeDesktop : orvane::DesktopServices {
  struct Message {
    std::string text, caption;
    void* owner;
  };
  int oleInits = 0, oleUninits = 0;
  std::string directory = "C:\\Projects\\Mix";
  long openResult = 42;
  std::vector<std::string> opened;
  std::vector<Message> messages;

  void oleInitialize() override { ++oleInits; }
  void oleUninitialize() override { ++oleUninits; }
  std::string currentDirectory(size_t maxChars) override { return directory.substr(0, maxChars); }
  long openDocument(const std::string& path, void*) override {
    opened.push_back(path);
    return openResult;
  }
  void showMessage(const std::string& text, const std::string& caption, void* owner) override {
    messages.push_back({text, caption, owner});
  }
};

// A meter panel that logs, keeps one control of its own in the frame while
// shown, and sets that control's value from parameterChanged: a view
// touched off the window's thread would show up as a data race.
class FakePanel : public orvane::MeterPanel {
 public:
  FakePanel(const std::string& name, Log& log) : name(name), log(log) {}
  ~FakePanel() override { log.add(name + ".delete"); }
  bool build(CFrame* f) override {
    frame = f;
    container = new CViewContainer(CRect(0, 0, 586, 169));
    probe = new CControl(CRect(10, 10, 20, 20), nullptr, 9000);
    container->addView(probe);
    log.add(name + ".build");
    return true;
  }
  void teardown() override {
    log.add(name + ".teardown");
    if (frame && frame->isChild(container)) frame->removeView(container, false);
    if (container) container->forget();
    container = nullptr;
    probe = nullptr;
  }
  void show() override {
    log.add(name + ".show");
    if (frame && container && !frame->isChild(container)) frame->addView(container);
  }
  void hide() override {
    log.add(name + ".hide");
    if (frame && container && frame->isChild(container)) frame->removeView(container, false);
  }
  void parameterChanged(VstInt32 index, float value) override {
    if (probe) probe->setValue(value);
    log.add(name + ".param " + std::to_string(index) + " " + num(value));
    threads.push_back(orvane::currentThreadKey());
  }
  void controlChanged(CControl* c) override { log.add(name + ".control " + std::to_string(c->getTag())); }
  void refresh(float position) override {
    lastPosition = position;
    ++refreshes;
  }
  bool isShown() const { return frame && container && frame->isChild(container); }

  std::string name;
  Log& log;
  CFrame* frame = nullptr;
  CViewContainer* container = nullptr;
  CControl* probe = nullptr;
  float lastPosition = -1;
  int refreshes = 0;
  std::vector<uint64_t> threads;
};

class FakeStrip : public orvane::StripManager {
 public:
  FakeStrip(const std::string& name, Log& log) : name(name), log(log) {}
  ~FakeStrip() override { log.add(name + ".delete"); }
  bool open(CFrame*) override {
    log.add(name + ".open");
    return true;
  }
  void close() override { log.add(name + ".close"); }
  void expand(const CPoint& p, int meterType) override { place("expand", p, meterType); }
  void collapse(const CPoint& p, int meterType) override { place("collapse", p, meterType); }
  void parameterChanged(VstInt32 index, float value) override {
    log.add(name + ".param " + std::to_string(index) + " " + num(value));
  }
  void controlChanged(CControl* c) override { log.add(name + ".control " + std::to_string(c->getTag())); }
  void setPanels(orvane::MeterPanel* vu, orvane::MeterPanel* rms, orvane::MeterPanel* ppm) override {
    log.add(name + ".panels");
    panels[0] = vu;
    panels[1] = rms;
    panels[2] = ppm;
  }
  void setActive(float v) override { log.add(name + ".active " + num(v)); }
  void idle() override { log.add(name + ".idle"); }

  std::string name;
  Log& log;
  orvane::MeterPanel* panels[3] = {nullptr, nullptr, nullptr};

 private:
  void place(const char* how, const CPoint& p, int meterType) {
    log.add(name + "." + how + " " + num(p.x) + "," + num(p.y) + " m" + std::to_string(meterType));
  }
};

// The editor with stand-in parts; it keeps pointers to them for the tests.
class PartsEditor : public TemepleteEditor {
 public:
  PartsEditor(Templete* effect, orvane::DesktopServices& desktop, Log& log)
      : TemepleteEditor(effect, desktop), log(log) {}
  FakePanel* fakePanel(int type) const { return static_cast<FakePanel*>(getPanel(type)); }
  FakeStrip* fakeFilters() const { return static_cast<FakeStrip*>(getFiltersStrip()); }
  FakeStrip* fakeLabel() const { return static_cast<FakeStrip*>(getLabelStrip()); }
  // A clock the test sets; 0 leaves the system's.
  uint32_t getTicks() const override {
    const uint32_t t = clock.load(std::memory_order_relaxed);
    return t ? t : TemepleteEditor::getTicks();
  }
  std::atomic<uint32_t> clock{0};
  // The zoom menu: what it offered, and the item the user picks (-1: none).
  int menuAnswer = -1;
  int menuShown = 0;
  std::vector<std::string> menuLabels;
  int menuChecked = -2;

 protected:
  int popUpZoomMenu(const CPoint&, const std::vector<std::string>& labels, int checked) override {
    ++menuShown;
    menuLabels = labels;
    menuChecked = checked;
    return menuAnswer;
  }
  orvane::MeterPanel* createPanel(int type) override {
    static const char* names[3] = {"vu", "rms", "ppm"};
    return new FakePanel(names[type], log);
  }
  orvane::StripManager* createFiltersStrip() override { return new FakeStrip("filters", log); }
  orvane::StripManager* createLabelStrip() override { return new FakeStrip("label", log); }

 private:
  Log& log;
};

// The editor with its real panels, on a clock the test sets (0 leaves the
// system's).
class ClockedEditor : public TemepleteEditor {
 public:
  ClockedEditor(Templete* effect, orvane::DesktopServices& desktop) : TemepleteEditor(effect, desktop) {}
  uint32_t getTicks() const override {
    const uint32_t t = clock.load(std::memory_order_relaxed);
    return t ? t : TemepleteEditor::getTicks();
  }
  // Counts the effect's echoes of each parameter: one edit, one echo.
  void setParameter(VstInt32 index, float value) override {
    if (index >= 0 && index < 128) echoes[index].fetch_add(1, std::memory_order_relaxed);
    TemepleteEditor::setParameter(index, value);
  }
  std::atomic<uint32_t> clock{0};
  std::atomic<int> echoes[128] = {};
};

struct HostRecord {
  std::vector<std::pair<VstInt32, VstIntPtr>> sizeWindow;  // width, height
  std::vector<VstInt32> automated;
  int beginEdits = 0, endEdits = 0, idles = 0;
};

// A window of the host for the editor to open into: a real one on
// Windows, none natively (the frame is windowless there).
struct HostWindow {
#if defined(_WIN32)
  HostWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"EditorTestHost";
    RegisterClassW(&wc);
    hwnd = CreateWindowExW(0, L"EditorTestHost", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 700, 400, nullptr, nullptr,
                           wc.hInstance, nullptr);
  }
  ~HostWindow() {
    if (hwnd) DestroyWindow(hwnd);
  }
  void* handle() const { return hwnd; }
  HWND hwnd = nullptr;
#else
  void* handle() const { return nullptr; }
#endif
};

// One effect whose editor the factory makes with this fixture's services.
struct EditorFixture {
  orvane::MemoryRegistry registry;
  orvane::SharedSettings shared{registry};
  FakeDesktop desktop;
  Log log;
  HostRecord host;
  HostWindow window;
  bool withParts;
  std::unique_ptr<Templete> effect;

  explicit EditorFixture(bool parts = true) : withParts(parts) {
    orvane::locatePluginResources();
    current() = this;
    Templete::setEditorFactory(&make);
    effect.reset(new Templete(&callback, shared));
  }
  ~EditorFixture() {
    effect.reset();
    Templete::setEditorFactory(nullptr);
    current() = nullptr;
  }

  TemepleteEditor* editor() const { return static_cast<TemepleteEditor*>(effect->getEditor()); }
  // Without stand-in parts the editor is a ClockedEditor.
  ClockedEditor* clocked() const { return static_cast<ClockedEditor*>(effect->getEditor()); }
  PartsEditor* parts() const { return static_cast<PartsEditor*>(effect->getEditor()); }
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0) {
    AEffect* e = effect->getAeffect();
    return e->dispatcher(e, opcode, index, value, ptr, opt);
  }
  bool open() { return dispatch(effEditOpen, 0, 0, window.handle()) == 1; }
  void close() { dispatch(effEditClose); }
  void idle() { dispatch(effEditIdle); }
  ERect rect() {
    ERect* r = nullptr;
    dispatch(effEditGetRect, 0, 0, &r);
    return r ? *r : ERect{-1, -1, -1, -1};
  }
  int frameHeight() const {
    CRect r;
    if (!editor()->getFrame()) return -1;
    editor()->getFrame()->getSize(r);
    return (int)r.getHeight();
  }
  void setParameter(VstInt32 index, float value) { effect->setParameter(index, value); }

  static EditorFixture*& current() {
    static EditorFixture* f = nullptr;
    return f;
  }
  static AEffEditor* make(Templete* t) {
    EditorFixture* f = current();
    if (f->withParts) return new PartsEditor(t, f->desktop, f->log);
    return new ClockedEditor(t, f->desktop);
  }
  static VstIntPtr VSTCALLBACK callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*, float) {
    EditorFixture* f = current();
    if (!f) return 0;
    switch (opcode) {
      case audioMasterVersion: return 2400;
      case audioMasterSizeWindow: f->host.sizeWindow.emplace_back(index, value); return 1;
      case audioMasterAutomate: f->host.automated.push_back(index); return 0;
      case audioMasterBeginEdit: ++f->host.beginEdits; return 1;
      case audioMasterEndEdit: ++f->host.endEdits; return 1;
      case audioMasterIdle: ++f->host.idles; return 1;
      default: return 0;
    }
  }
};

}  // namespace editor_test
