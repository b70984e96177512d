// The system box on Windows: the toolkit's Win32EditBox, placed and dressed
// like the control it edits.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <memory>
#include <vector>

#include "controls/ZELCoreTextFont.h"
#include "controls/ZELSystemBoxWin32.h"
#include "toolkit/win32/d2ddrawcontext.h"
#include "toolkit/win32/win32editbox.h"

namespace VSTGUI {

namespace {

COLORREF colorRef(const CColor& c) { return RGB(c.red, c.green, c.blue); }

// The UTF-8 text cut to fit maxSize bytes with its terminating zero, never
// inside a character.
void copyUtf8(const std::string& s, char* out, int32_t maxSize) {
  size_t len = std::min(s.size(), static_cast<size_t>(maxSize - 1));
  while (len > 0 && len < s.size() && (static_cast<unsigned char>(s[len]) & 0xc0) == 0x80) --len;
  std::memcpy(out, s.data(), len);
  out[len] = 0;
}

}  // namespace

class ZELSystemBoxWin32 : public IPlatformTextEdit, public IWin32EditBoxListener {
 public:
  ZELSystemBoxWin32(HWND parent, IPlatformTextEditCallback* callback, double scale)
      : IPlatformTextEdit(callback), parent(parent), scale(scale) {
    CFontRef font = callback->platformGetFont();
    double fontSize = font ? font->getSize() : 12;
    rect = systemBoxRect(callback->platformGetSize(), fontSize, scale);
    auto* owner = dynamic_cast<IZELSystemBoxControl*>(callback);

    Win32EditBoxStyle style;
    style.font = font;
    style.fontColor = callback->platformGetFontColor();
    style.backColor = callback->platformGetBackColor();
    style.align = callback->platformGetHoriTxtAlign();
    if (owner && owner->useEmbeddedFontInEdit()) {
      // The control's embedded font, as GDI has it; the font object keeps it.
      auto* core = font ? dynamic_cast<ZELCoreTextFont*>(font->getPlatformFont()) : nullptr;
      style.nativeFont = core ? core->getGdiFont(scale) : nullptr;
    } else {
      LOGFONTW lf = {};
      lf.lfHeight = -static_cast<LONG>(fontSize * scale);
      lf.lfWeight = FW_NORMAL;
      lf.lfCharSet = ANSI_CHARSET;
      lf.lfOutPrecision = OUT_STRING_PRECIS;
      lf.lfClipPrecision = CLIP_STROKE_PRECIS;
      lf.lfQuality = DEFAULT_QUALITY;
      lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
      lstrcpynW(lf.lfFaceName, utf8ToWide(font ? font->getName() : "Arial").c_str(), LF_FACESIZE);
      style.nativeFont = ownFont = CreateFontIndirectW(&lf);
    }
    box = Win32EditBox::create(parent, rect, style, callback->platformGetText(), this);
    if (!box) return;
    edit = static_cast<HWND>(box->getWindow());
    // Redrawn in its font now, not on the next paint. A new font brings the
    // font's default margins back, so the margins follow it.
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(style.nativeFont), TRUE);
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    box->selectAll();
    box->setTextLimit(kZELSystemBoxTextLimit);
    if (owner) backBrush = makeBackground(owner, callback);
    // Answered before the toolkit box's own (solid) answer: the latest
    // subclass of a window runs first. One per box and parent, so two
    // editors of one host never answer for each other's box.
    if (backBrush) SetWindowSubclass(parent, &ZELSystemBoxWin32::parentProc, reinterpret_cast<UINT_PTR>(this),
                                     reinterpret_cast<DWORD_PTR>(this));
    box->takeFocus();
  }

  ~ZELSystemBoxWin32() override {
    if (backBrush) RemoveWindowSubclass(parent, &ZELSystemBoxWin32::parentProc, reinterpret_cast<UINT_PTR>(this));
    box.reset();  // destroys the window before its font and brush go
    if (ownFont) DeleteObject(ownFont);
    if (backBrush) DeleteObject(backBrush);
  }

  bool isValid() const { return box != nullptr; }

  bool getText(char* text, int32_t maxSize) override {
    if (!box || !text || maxSize <= 0) return false;
    copyUtf8(box->getText(), text, maxSize);
    return true;
  }

  bool setText(UTF8StringPtr text) override { return box && box->setText(text ? text : ""); }

  // The box keeps the place it opened at: the control does not move while
  // it is edited.
  bool updateSize() override { return false; }

  // IWin32EditBoxListener: each call may end with this box deleted.
  void onEditBoxReturn(Win32EditBox*) override { textEdit->platformLooseFocus(true); }
  void onEditBoxLostFocus(Win32EditBox*) override { textEdit->platformLooseFocus(false); }
  bool onEditBoxTab(Win32EditBox*, bool backwards) override { return offerKey(VKEY_TAB, backwards); }
  bool onEditBoxEscape(Win32EditBox*) override { return offerKey(VKEY_ESCAPE, false); }

 private:
  bool offerKey(unsigned char virt, bool shift) {
    VstKeyCode key;
    key.virt = virt;
    if (shift) key.modifier = MODIFIER_SHIFT;
    return textEdit->platformOnKeyDown(key);
  }

  // What the window shows at the box, the control drawn as it looks while
  // edited: a pattern brush whose origin is the box's top-left corner.
  // The window's own drawing of that spot comes first, the control left
  // out, so that a field with no background of its own (the frequency
  // entries, the trim value) shows the strip or panel around it rather
  // than a box of its back colour; the control's editing look goes on top.
  HBRUSH makeBackground(IZELSystemBoxControl* owner, IPlatformTextEditCallback* callback) {
    auto* view = dynamic_cast<CView*>(callback);
    RECT client;
    if (!view || !GetClientRect(edit, &client)) return nullptr;
    int w = client.right - client.left, h = client.bottom - client.top;
    if (w <= 0 || h <= 0) return nullptr;
    COffscreenContext* ctx = COffscreenContext::create(nullptr, w, h);
    if (!ctx) return nullptr;
    // The box's corner in window pixels, and so in frame coordinates: the
    // bitmap's origin. The offset moves everything drawn there by it (the
    // clip works in the bitmap's own coordinates).
    POINT corner = {0, 0};
    MapWindowPoints(edit, parent, &corner, 1);
    if (auto* d2d = dynamic_cast<D2DDrawContext*>(ctx)) d2d->setDeviceScale(scale);
    const CPoint origin(corner.x / scale, corner.y / scale);
    const CRect area(origin.x, origin.y, origin.x + w / scale, origin.y + h / scale);
    const CRect frameRect = callback->platformGetSize();
    const CRect& local = view->getViewSize();
    ctx->beginDraw();
    ctx->setOffset(CPoint(-origin.x, -origin.y));
    ctx->setFillColor(callback->platformGetBackColor());
    ctx->drawRect(area, kDrawFilled);
    if (CFrame* frame = view->getFrame()) {
      const float alpha = view->getAlphaValue();
      view->setAlphaValue(0.f);  // a view of no opacity is not drawn
      frame->platformDrawRect(ctx, area);
      view->setAlphaValue(alpha);
    }
    // The control's own coordinates are its container's.
    ctx->setOffset(CPoint(frameRect.left - local.left - origin.x, frameRect.top - local.top - origin.y));
    owner->drawForSystemBox(ctx);
    ctx->endDraw();
    std::vector<uint8_t> px;
    bool ok = ctx->getBitmap()->copyPixels(px);
    ctx->forget();
    if (!ok) return nullptr;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top row first, as the pixels come
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib) return nullptr;
    std::memcpy(bits, px.data(), px.size());
    GdiFlush();
    HBRUSH brush = CreatePatternBrush(dib);
    DeleteObject(dib);  // the brush keeps its own copy
    return brush;
  }

  static LRESULT CALLBACK parentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
    auto* self = reinterpret_cast<ZELSystemBoxWin32*>(data);
    if (msg == WM_CTLCOLOREDIT && self->edit && reinterpret_cast<HWND>(lParam) == self->edit) {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, colorRef(self->textEdit->platformGetFontColor()));
      SetBkColor(dc, colorRef(self->textEdit->platformGetBackColor()));
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(self->backBrush);
    }
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &ZELSystemBoxWin32::parentProc, id);
    return DefSubclassProc(hwnd, msg, wParam, lParam);
  }

  HWND parent;
  HWND edit = nullptr;
  std::unique_ptr<Win32EditBox> box;
  HFONT ownFont = nullptr;
  HBRUSH backBrush = nullptr;
  double scale;
  CRect rect;
};

IPlatformTextEdit* createZELSystemBox(CFrame* frame, IPlatformTextEditCallback* control, double scale) {
  HWND parent = frame ? static_cast<HWND>(frame->getSystemWindow()) : nullptr;
  if (!parent || !control) return nullptr;
  auto* box = new ZELSystemBoxWin32(parent, control, scale > 0 ? scale : 1.0);
  if (!box->isValid()) {
    box->forget();
    return nullptr;
  }
  return box;
}

}  // namespace VSTGUI
