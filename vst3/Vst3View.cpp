#include "vst3/Vst3View.h"

#include <cstring>
#include <utility>
#include <vector>

#include "core/vst2abi.h"

#if defined(_WIN32)
#include <windows.h>
#endif

using namespace v3;

namespace orvane {

namespace {

// The refresh rate of the needles: what a VST 2.4 host's idle calls give.
constexpr unsigned kRefreshMs = 30;

#if defined(_WIN32)
// Timers made without a window report only their id: which view each is
// for. The user-interface thread alone makes, kills and runs them.
std::vector<std::pair<UINT_PTR, Vst3View*>>& timers() {
  static std::vector<std::pair<UINT_PTR, Vst3View*>> t;
  return t;
}

void CALLBACK onRefreshTimer(HWND, UINT, UINT_PTR id, DWORD) {
  for (auto& t : timers())
    if (t.first == id) {
      t.second->idle();
      return;
    }
}
#endif

}  // namespace

Vst3View::Vst3View(FUnknown* owner, AEffect* record, Vst3View** slot)
    : owner_(owner), record_(record), slot_(slot) {
  if (owner_) owner_->addRef();
  if (slot_) *slot_ = this;
}

Vst3View::~Vst3View() {
  if (open_) removed();
  if (slot_ && *slot_ == this) *slot_ = nullptr;
  if (frame_) frame_->release();
  if (owner_) owner_->release();
}

tresult V3CALL Vst3View::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (kFUnknownIid.is(iid) || kIPlugViewIid.is(iid))
    *obj = static_cast<IPlugView*>(this);
  else if (kIPlugViewContentScaleSupportIid.is(iid))
    *obj = static_cast<IPlugViewContentScaleSupport*>(this);
  else if (kITimerHandlerIid.is(iid))
    *obj = static_cast<ITimerHandler*>(this);
  else
    *obj = nullptr;
  if (*obj) {
    addRef();
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

uint32 V3CALL Vst3View::addRef() { return ++refs_; }

uint32 V3CALL Vst3View::release() {
  const uint32 left = --refs_;
  if (left == 0) delete this;
  return left;
}

tresult V3CALL Vst3View::isPlatformTypeSupported(FIDString type) {
#if defined(_WIN32)
  return type && std::strcmp(type, kPlatformTypeHWND) == 0 ? kResultTrue : kResultFalse;
#else
  return type && std::strcmp(type, kPlatformTypeX11EmbedWindowID) == 0 ? kResultTrue : kResultFalse;
#endif
}

tresult V3CALL Vst3View::attached(void* parent, FIDString type) {
  if (open_ || !parent || isPlatformTypeSupported(type) != kResultTrue) return kResultFalse;
  if (!record_->dispatcher(record_, effEditOpen, 0, 0, parent, 0.0f)) return kResultFalse;
  open_ = true;
#if defined(_WIN32)
  timer_ = SetTimer(nullptr, 0, kRefreshMs, onRefreshTimer);
  if (timer_) timers().emplace_back(timer_, this);
#else
  joinRunLoop();
#endif
  return kResultOk;
}

tresult V3CALL Vst3View::removed() {
  if (!open_) return kResultFalse;
#if defined(_WIN32)
  if (timer_) {
    KillTimer(nullptr, timer_);
    auto& t = timers();
    for (size_t i = 0; i < t.size(); ++i)
      if (t[i].first == timer_) {
        t.erase(t.begin() + (long)i);
        break;
      }
    timer_ = 0;
  }
#endif
  if (runLoop_) {
    runLoop_->unregisterTimer(this);
    runLoop_->release();
    runLoop_ = nullptr;
  }
  open_ = false;
  record_->dispatcher(record_, effEditClose, 0, 0, nullptr, 0.0f);
  return kResultOk;
}

void Vst3View::idle() {
  if (open_) record_->dispatcher(record_, effEditIdle, 0, 0, nullptr, 0.0f);
}

bool Vst3View::editorRect(ViewRect& r) const {
  ERect* rect = nullptr;
  if (!record_->dispatcher(record_, effEditGetRect, 0, 0, &rect, 0.0f) || !rect) return false;
  r = ViewRect{rect->left, rect->top, rect->right, rect->bottom};
  return true;
}

tresult V3CALL Vst3View::getSize(ViewRect* size) {
  if (!size) return kInvalidArgument;
  ViewRect r;
  if (!editorRect(r)) return kResultFalse;
  *size = ViewRect{0, 0, r.right - r.left, r.bottom - r.top};
  return kResultOk;
}

tresult V3CALL Vst3View::onSize(ViewRect* newSize) { return newSize ? kResultOk : kInvalidArgument; }

tresult V3CALL Vst3View::checkSizeConstraint(ViewRect* rect) {
  // The window's size is the editor's: whatever is asked, it is that.
  if (!rect) return kInvalidArgument;
  ViewRect r;
  if (getSize(&r) == kResultOk) {
    rect->right = rect->left + r.right;
    rect->bottom = rect->top + r.bottom;
  }
  return kResultTrue;
}

tresult V3CALL Vst3View::setFrame(IPlugFrame* frame) {
  if (frame) frame->addRef();
  if (frame_) frame_->release();
  frame_ = frame;
#if !defined(_WIN32)
  // A host that gives its frame after opening the window.
  if (open_) joinRunLoop();
#endif
  return kResultOk;
}

void Vst3View::joinRunLoop() {
  // The host's run loop, where it offers one, drives the refresh. Without
  // one the needles stand still and the window is not repainted.
  void* loop = nullptr;
  if (runLoop_ || !frame_ || frame_->queryInterface(kIRunLoopIid.bytes, &loop) != kResultOk || !loop) return;
  runLoop_ = static_cast<IRunLoop*>(loop);
  if (runLoop_->registerTimer(this, kRefreshMs) != kResultOk) {
    runLoop_->release();
    runLoop_ = nullptr;
  }
}

tresult V3CALL Vst3View::setContentScaleFactor(float factor) {
  // The request the VST 2.4 side takes from its hosts: the editor refuses
  // what no screen has (zero, negative, NaN, above 4) and changes nothing.
  constexpr VstInt32 kScaleRequest = 0x50726553;  // 'PreS'
  constexpr VstIntPtr kScaleFactor = 0x41654373;  // 'AeCs'
  return record_->dispatcher(record_, effVendorSpecific, kScaleRequest, kScaleFactor, nullptr, factor) ? kResultOk
                                                                                                        : kResultFalse;
}

bool Vst3View::resizeTo(int width, int height) {
  if (!frame_ || width <= 0 || height <= 0) return false;
  ViewRect r{0, 0, width, height};
  return frame_->resizeView(this, &r) == kResultOk;
}

}  // namespace orvane
