#include "toolkit/cairo/nativeframe.h"

#include <cstring>

#include "toolkit/cairo/cairodrawcontext.h"
#include "toolkit/platformsupport.h"

namespace VSTGUI {

NativePlatformFrame::NativePlatformFrame(IPlatformFrameCallback* frame, const CRect& inSize)
    : frame(frame), size(0, 0, inSize.getWidth(), inSize.getHeight()) {
  makeImage();
}

void NativePlatformFrame::makeImage() {
  if (image) image->forget();
  image = nullptr;
  if (IPlatformBitmap* pb = IPlatformBitmap::create(CPoint(size.getWidth() * scale, size.getHeight() * scale))) {
    image = new CBitmap(pb);
    if (cairo_surface_t* s = cairoSurfaceOf(image)) cairo_surface_set_device_scale(s, scale, scale);
  }
  invalid = size;
}

bool NativePlatformFrame::setScaleFactor(double factor) {
  if (!(factor > 0)) return false;
  if (factor == scale) return true;
  scale = factor;
  makeImage();
  return true;
}

NativePlatformFrame::~NativePlatformFrame() {
  if (textEdit) textEdit->owner = nullptr;
  if (image) image->forget();
}

bool NativePlatformFrame::getSize(CRect& s) const {
  s = size;
  return true;
}

bool NativePlatformFrame::setSize(const CRect& newSize) {
  CRect s(0, 0, newSize.getWidth(), newSize.getHeight());
  if (s.isEmpty()) return false;
  size = s;
  makeImage();
  return true;
}

bool NativePlatformFrame::invalidRect(const CRect& rect) {
  CRect r(rect);
  r.bound(size);
  invalid.unite(r);
  return true;
}

bool NativePlatformFrame::update() {
  if (invalid.isEmpty() || !image) return false;
  CRect area = invalid;
  invalid = CRect();
  CairoDrawContext context(image);
  context.beginDraw();
  // The part to repaint starts clear, as a window's background would.
  if (cairo_t* cr = context.getCairo()) {
    cairo_save(cr);
    cairo_rectangle(cr, area.left, area.top, area.getWidth(), area.getHeight());
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_fill(cr);
    cairo_restore(cr);
  }
  frame->platformDrawRect(&context, area);
  context.endDraw();
  lastPaint = area;
  ++paintCount;
  return true;
}

bool NativePlatformFrame::getGlobalPosition(CPoint& pos) const {
  pos = CPoint(0, 0);
  return true;
}

uint32_t NativePlatformFrame::getTicks() const { return getPlatformTicks(); }

IPlatformTextEdit* NativePlatformFrame::createPlatformTextEdit(IPlatformTextEditCallback* callback) {
  if (!callback) return nullptr;
  return new NativeTextEdit(this, callback);
}

bool NativePlatformFrame::saveToPNG(UTF8StringPtr path) {
  update();
  return image && image->writePNG(path);
}

NativeTextEdit::NativeTextEdit(NativePlatformFrame* owner, IPlatformTextEditCallback* callback)
    : IPlatformTextEdit(callback), owner(owner) {
  UTF8StringPtr t = callback->platformGetText();
  typed = t ? t : "";
  rect = callback->platformGetSize();
  if (owner) owner->textEdit = this;
}

NativeTextEdit::~NativeTextEdit() {
  if (owner && owner->textEdit == this) owner->textEdit = nullptr;
}

bool NativeTextEdit::getText(char* text, int32_t maxSize) {
  if (!text || maxSize <= 0) return false;
  size_t n = std::min(typed.size(), static_cast<size_t>(maxSize - 1));
  std::memcpy(text, typed.data(), n);
  text[n] = 0;
  return true;
}

bool NativeTextEdit::setText(UTF8StringPtr text) {
  typed = text ? text : "";
  return true;
}

bool NativeTextEdit::updateSize() {
  rect = textEdit->platformGetSize();
  return true;
}

}  // namespace VSTGUI
