// Stubs that stand in for the editor and a control's listener, and a view
// that records the mouse events it gets, for driving the toolkit as a user
// would.
#pragma once

#include <string>
#include <vector>

#include "toolkit/vstgui.h"

namespace toolkit_test {

using namespace VSTGUI;

struct RecordingListener : CControlListener {
  struct Call {
    std::string what;  // "changed", "begin", "end"
    int32_t tag;
    float value;
  };
  void valueChanged(CControl* c) override { calls.push_back({"changed", c->getTag(), c->getValue()}); }
  void controlBeginEdit(CControl* c) override { calls.push_back({"begin", c->getTag(), c->getValue()}); }
  void controlEndEdit(CControl* c) override { calls.push_back({"end", c->getTag(), c->getValue()}); }
  int count(const std::string& what) const {
    int n = 0;
    for (auto& c : calls) n += c.what == what;
    return n;
  }
  float lastValue() const { return calls.empty() ? -1.f : calls.back().value; }
  std::vector<float> changedValues() const {
    std::vector<float> v;
    for (auto& c : calls)
      if (c.what == "changed") v.push_back(c.value);
    return v;
  }
  // The order of the calls as one string, e.g. "begin changed end".
  std::string sequence() const {
    std::string s;
    for (auto& c : calls) s += (s.empty() ? "" : " ") + c.what;
    return s;
  }
  std::vector<Call> calls;
};

struct StubEditor : VSTGUIEditorInterface {
  int32_t getKnobMode() const override { return knobMode; }
  bool beginEdit(int32_t index) override {
    begins.push_back(index);
    return true;
  }
  bool endEdit(int32_t index) override {
    ends.push_back(index);
    return true;
  }
  uint32_t getTicks() const override { return ticks; }
  int32_t knobMode = -1;
  uint32_t ticks = 1000;
  std::vector<int32_t> begins, ends;
};

// Counts its own deletion, and records what the mouse did to it.
class ProbeView : public CView {
 public:
  ProbeView(const CRect& r, std::vector<std::string>* log, const std::string& name, int* deletions = nullptr)
      : CView(r), log(log), name(name), deletions(deletions) {}
  ~ProbeView() override {
    if (deletions) ++*deletions;
  }
  CMouseEventResult onMouseDown(CPoint& w, const CButtonState&) override {
    add("down", w);
    return downResult;
  }
  CMouseEventResult onMouseUp(CPoint& w, const CButtonState&) override {
    add("up", w);
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseMoved(CPoint& w, const CButtonState&) override {
    add("moved", w);
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseEntered(CPoint& w, const CButtonState&) override {
    add("entered", w);
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseExited(CPoint& w, const CButtonState&) override {
    add("exited", w);
    return kMouseEventHandled;
  }
  bool onWheel(const CPoint& w, const float& d, const CButtonState& b) override {
    add(std::string("wheel") + ((b & kShift) ? "+shift" : "") + (d > 0 ? " up" : " down"), w);
    return true;
  }
  void draw(CDrawContext*) override {
    ++draws;
    setDirty(false);
  }
  CMouseEventResult downResult = kMouseEventHandled;
  int draws = 0;

 private:
  void add(const std::string& what, const CPoint& w) {
    if (log) log->push_back(name + " " + what + " " + std::to_string(int(w.x)) + "," + std::to_string(int(w.y)));
  }
  std::vector<std::string>* log;
  std::string name;
  int* deletions;
};

}  // namespace toolkit_test
