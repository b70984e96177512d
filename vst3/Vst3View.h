// The effect's editor inside a VST 3 host's window. VST 3 hosts send no
// idle calls, so the view runs a timer for the refresh: its own on Windows,
// the host's run loop's on Linux. The editor's own size requests (the
// strips, the zoom, the host's content scale) go to the host's frame.
#pragma once

#include <atomic>

#include "vst3/vst3abi.h"

struct AEffect;

namespace orvane {

class Vst3View final : public v3::IPlugView, public v3::IPlugViewContentScaleSupport, public v3::ITimerHandler {
 public:
  // `owner` (kept alive while the view lives) and the effect's record;
  // `slot` points at this view while it lives.
  Vst3View(v3::FUnknown* owner, AEffect* record, Vst3View** slot);

  v3::tresult V3CALL queryInterface(const v3::TUID iid, void** obj) override;
  v3::uint32 V3CALL addRef() override;
  v3::uint32 V3CALL release() override;
  v3::tresult V3CALL isPlatformTypeSupported(v3::FIDString type) override;
  v3::tresult V3CALL attached(void* parent, v3::FIDString type) override;
  v3::tresult V3CALL removed() override;
  v3::tresult V3CALL onWheel(float) override { return v3::kResultFalse; }
  v3::tresult V3CALL onKeyDown(v3::char16, v3::int16, v3::int16) override { return v3::kResultFalse; }
  v3::tresult V3CALL onKeyUp(v3::char16, v3::int16, v3::int16) override { return v3::kResultFalse; }
  v3::tresult V3CALL getSize(v3::ViewRect* size) override;
  v3::tresult V3CALL onSize(v3::ViewRect* newSize) override;
  v3::tresult V3CALL onFocus(v3::TBool) override { return v3::kResultOk; }
  v3::tresult V3CALL setFrame(v3::IPlugFrame* frame) override;
  v3::tresult V3CALL canResize() override { return v3::kResultFalse; }
  v3::tresult V3CALL checkSizeConstraint(v3::ViewRect* rect) override;

  // The editor's system scale: refused as the VST 2.4 side refuses it,
  // and the frame asked for the new size while the window is open.
  v3::tresult V3CALL setContentScaleFactor(float factor) override;
  // The host's run loop calls this every refresh period.
  void V3CALL onTimer() override { idle(); }

  // The editor asks for a new size: the host's frame resizes the view.
  bool resizeTo(int width, int height);
  // One refresh, as a VST 2.4 host's idle call gives.
  void idle();

 private:
  ~Vst3View();
  bool editorRect(v3::ViewRect& r) const;
  // Linux: a refresh timer in the frame's run loop, once.
  void joinRunLoop();

  std::atomic<v3::uint32> refs_{1};
  v3::FUnknown* owner_;
  AEffect* record_;
  Vst3View** slot_;
  v3::IPlugFrame* frame_ = nullptr;
  bool open_ = false;
  uintptr_t timer_ = 0;
  v3::IRunLoop* runLoop_ = nullptr;  // holds our timer while open
};

}  // namespace orvane
