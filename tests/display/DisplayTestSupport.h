// A fake effect behind the editor seam: real metering engines fed by the
// test, parameters kept in a table, and a record of what the panel asked.
// A listener stands in for the editor, and a back panel that only records.
#pragma once

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "core/MeterEngines.h"
#include "platform/MemoryRegistry.h"
#include "seam/EditorParts.h"
#include "seam/EffectSeam.h"
#include "settings/SharedSettings.h"
#include "toolkit/platformsupport.h"
#include "toolkit/vstgui.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace display_test {

using namespace VSTGUI;

inline void locateBitmaps() {
#if defined(_WIN32)
  setResourceModule(GetModuleHandleW(nullptr));
#else
  setResourceFolder(ORVANE_RESOURCE_DIR);
#endif
}

inline bool bitmapExists(int32_t id) {
  CBitmap* b = new CBitmap(CResourceDescription(id));
  const bool ok = b->isLoaded();
  b->forget();
  return ok;
}

struct Call {
  std::string what;  // "set", "automate", "sync"
  int32_t index;
  float value;
};

class FakeSeam : public orvane::EffectSeam {
 public:
  FakeSeam() : engines(nullptr, shared) {
    for (float& v : values) v = 0.0f;
    values[1] = 0.5f;  // Trim 0 dB
    values[6] = 1.0f;  // Strips on
    for (int32_t i = 72; i <= 100; ++i) values[i] = engines.getSetting(i);
    engines.prepare(48000.0f);
  }

  float getParameter(int32_t index) override { return index >= 0 && index < 128 ? values[index] : 0.0f; }
  void setParameter(int32_t index, float value) override {
    calls.push_back({"set", index, value});
    apply(index, value);
  }
  void setParameterAutomated(int32_t index, float value) override {
    calls.push_back({"automate", index, value});
    apply(index, value);
  }
  void getParameterDisplay(int32_t index, char* text) override {
    auto own = displayTexts.find(index);
    if (own != displayTexts.end()) {
      std::snprintf(text, kDisplayTextBytes, "%s", own->second.c_str());
    } else if (index == 1) {
      std::snprintf(text, kDisplayTextBytes, "%.1fdB", values[1] * 40.0 - 20.0);
    } else if (orvane::meterSettingSlot(index) >= 0) {
      engines.settingDisplay(index, text);
    } else {
      text[0] = 0;
    }
  }
  float defaultValue(int32_t index) override {
    const int slot = orvane::meterSettingSlot(index);
    return slot >= 0 ? orvane::meterSettingBySlot(slot).defaultValue : 0.0f;
  }
  orvane::MeterReadout* readout(int type) override { return type >= 0 && type < 3 ? &engines.readout(type) : nullptr; }
  void syncSharedSettings(int type) override { calls.push_back({"sync", type, 0}); }
  double frameTickSeconds() override { return 0; }
  double blockSeconds() override { return 256.0 / 48000.0; }

  // A block of a sine of `amplitude` (1 kHz) or silence into an engine.
  void feed(int type, float amplitude, int frames = 256) {
    std::vector<float> l(frames), r(frames);
    for (int i = 0; i < frames; ++i)
      l[i] = r[i] = amplitude * (float)std::sin(2 * 3.14159265358979323846 * 1000.0 * (phase + i) / 48000.0);
    phase += frames;
    float* ch[2] = {l.data(), r.data()};
    engines.processStereo(type, ch, frames);
  }

  int count(const std::string& what, int32_t index) const {
    int n = 0;
    for (auto& c : calls) n += c.what == what && c.index == index;
    return n;
  }
  const Call* last(const std::string& what) const {
    for (auto it = calls.rbegin(); it != calls.rend(); ++it)
      if (it->what == what) return &*it;
    return nullptr;
  }

  orvane::MemoryRegistry registry;
  orvane::SharedSettings shared{registry};
  orvane::MeterEngines engines;
  float values[128];
  std::map<int32_t, std::string> displayTexts;  // texts a test puts in the engine's place
  std::vector<Call> calls;
  long phase = 0;

 private:
  void apply(int32_t index, float v) {
    if (index >= 0 && index < 128) values[index] = v;
    if (index == 4) engines.setMsMode(v);
    if (index == 5) engines.setHoldMode(v);
    if (index == 65) engines.saveGlobalSettings();
    if (index == 67) engines.resetOvers();
    if (orvane::meterSettingSlot(index) >= 0) engines.setSetting(index, v);
  }
};

struct Listener : CControlListener {
  void valueChanged(CControl* c) override { tags.push_back(c->getTag()); }
  std::vector<int32_t> tags;
};

class FakeBackPanel : public orvane::BackPanelPart {
 public:
  explicit FakeBackPanel(std::vector<std::string>& log) : log(log) {}
  bool build(CFrame*) override {
    log.push_back("build");
    return true;
  }
  void detach() override { log.push_back("detach"); }
  void show() override {
    shown = true;
    log.push_back("show");
  }
  void hide() override {
    shown = false;
    log.push_back("hide");
  }
  bool isShown() const override { return shown; }
  void settingChanged(int32_t index, float) override { log.push_back("setting " + std::to_string(index)); }
  void controlChanged(CControl* c) override { log.push_back("control " + std::to_string(c->getTag())); }
  std::vector<std::string>& log;
  bool shown = false;
};

}  // namespace display_test
