// A stand-in for the plug-in library in the lifetime tests: it carries the
// font as resource 111 and, through its exports, opens a window with the
// tape label, draws it, types into its box and closes it again, exactly the
// path an editor takes. The test loads and unloads it over and over.
#include <windows.h>

#include <string>

#include "controls/CZELCustomFont.h"
#include "controls/ResourceFontLoaders.h"
#include "controls/ZELSystemBoxWin32.h"
#include "toolkit/platformsupport.h"
#include "toolkit/vstgui.h"

using namespace VSTGUI;

namespace {

struct Editor : VSTGUIEditorInterface {
  int32_t getKnobMode() const override { return -1; }
};

class Label : public CTextEdit, public IZELSystemBoxControl {
 public:
  Label(const CRect& r, CFontRef font) : CTextEdit(r, nullptr, 69, "Master Track") {
    setFont(font);
    setHoriAlign(kCenterText);
    setBackColor(CColor(236, 226, 196));
  }
  void takeFocus() override {
    if (platformControl) return;
    beginEdit();
    platformControl = createZELSystemBox(getFrame(), this);
    if (!platformControl) endEdit();
    invalid();
  }
  void drawForSystemBox(CDrawContext* c) override {
    c->setFillColor(getBackColor());
    c->drawRect(size, kDrawFilled);
  }
  bool useEmbeddedFontInEdit() const override { return true; }
};

void pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace

// One open, draw, type, close cycle of a label window in host. Returns a
// bit set of what went wrong: 1 the window, 2 the font's width, 4 the box,
// 8 the typed text. 0 is a good cycle.
extern "C" __declspec(dllexport) int probeCycle(HWND host) {
  static HMODULE self = nullptr;
  if (!self)
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&probeCycle), &self);
  setResourceModule(self);
  int faults = 0;
  Editor editor;
  CZELCustomFont* font = CZELCustomFont::acquire();
  auto* frame = new CFrame(CRect(0, 0, 300, 60), host, &editor);
  auto* label = new Label(CRect(10, 8, 290, 52), font);
  frame->addView(label);
  HWND child = static_cast<HWND>(frame->getSystemWindow());
  if (!child) faults |= 1;
  if (!(font->getCoreTextFont()->getStringWidth(nullptr, "Master Track") > 0)) faults |= 2;
  frame->invalid();
  frame->idle();
  if (child) UpdateWindow(child);
  frame->setFocusView(label);
  HWND edit = child ? FindWindowExW(child, nullptr, L"EDIT", nullptr) : nullptr;
  if (!edit) faults |= 4;
  if (edit) {
    for (const wchar_t* p = L"Vox"; *p; ++p) SendMessageW(edit, WM_CHAR, *p, 1);
    UpdateWindow(edit);
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
  }
  pump();
  if (std::string(label->getText()) != "Vox") faults |= 8;
  frame->close();
  font->forget();
  return faults;
}

// The DirectWrite loader objects still alive in this library.
extern "C" __declspec(dllexport) int probeLiveLoaderObjects() { return liveResourceFontObjects(); }

// What the plug-in does when its last instance closes, before the host may
// unload it: the toolkit lets go of its shared fonts' platform objects and
// its factories.
extern "C" __declspec(dllexport) void probeShutdown() { releasePlatformResources(); }
