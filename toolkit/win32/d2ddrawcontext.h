// The Windows backend's draw context and shared factories: Direct2D for
// drawing, DirectWrite for text, WIC for bitmaps. Only for Windows builds.
#pragma once

#ifdef _WIN32

#include <windows.h>
#include <d2d1.h>
#include <dwrite.h>
#include <wincodec.h>

#include <string>

#include "toolkit/cdrawcontext.h"

namespace VSTGUI {

// Process-wide factories, created on first use; nullptr when unavailable.
ID2D1Factory* getD2DFactory();
IDWriteFactory* getDWriteFactory();
IWICImagingFactory* getWICFactory();

std::wstring utf8ToWide(UTF8StringPtr text);
// A bitmap holding a copy of w × h premultiplied BGRA pixels, top row first.
IPlatformBitmap* createBitmapFromPixels(const uint8_t* bgra, int w, int h);
std::string wideToUtf8(const wchar_t* text);
// Bitmaps keep a Direct2D copy of their pixels per render target; whoever
// releases a target calls this first, so the copies, and the target they
// hold, go with it (a closed window's target is freed with the window).
void forgetRenderTarget(ID2D1RenderTarget* rt);
// How many such copies exist now, for tests.
size_t bitmapCopiesOnRenderTargets();

class D2DDrawContext : public COffscreenContext {
 public:
  // Draws on rt (one reference is taken). surfaceRect is the drawable area
  // in the coordinates the views use; bitmap is the bitmap rt draws into,
  // if any.
  D2DDrawContext(ID2D1RenderTarget* rt, const CRect& surfaceRect, CBitmap* bitmap = nullptr);
  ~D2DDrawContext() override;

  void beginDraw() override;
  void endDraw() override;
  void drawLine(const CPoint& start, const CPoint& end) override;
  void drawRect(const CRect& rect, const CDrawStyle drawStyle = kDrawStroked) override;
  void drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset = CPoint(0, 0), float alpha = 1.f) override;

  // Where the surface's (0, 0) lies on the render target: a window's paint
  // binds only the part to repaint, starting at that part's corner.
  void setDeviceOrigin(const CPoint& origin) { deviceOrigin = origin; }
  // Pixels per unit (the frame's scale factor); the origin is in pixels.
  void setDeviceScale(double scale) { deviceScale = scale > 0 ? scale : 1; }
  // A new offscreen bitmap starts transparent: the first draw clears it.
  void setClearOnFirstDraw(bool val) { clearOnFirstDraw = val; }
  // The target lives only as long as the context (an offscreen one): the
  // context then forgets it on destruction.
  void setOwnsTarget(bool val) { ownsTarget = val; }

  // For font painters. Valid only between beginDraw and endDraw.
  ID2D1RenderTarget* getRenderTarget() const { return renderTarget; }
  bool isDrawing() const { return drawing; }
  // The shared brush, set to the colour with the global alpha applied.
  ID2D1SolidColorBrush* getBrush(const CColor& color);
  // Draws a text layout in the font colour with its first line's baseline
  // on the point (fallbackBaseline when the layout cannot say where that
  // is). For font painters; does nothing outside beginDraw/endDraw.
  void drawTextLayout(IDWriteTextLayout* layout, const CPoint& point, float fallbackBaseline, bool antialias);
  HRESULT getLastResult() const { return lastResult; }

 protected:
  void applyClip() override;

  ID2D1RenderTarget* renderTarget;
  ID2D1SolidColorBrush* brush = nullptr;
  CPoint deviceOrigin;
  double deviceScale = 1;
  bool drawing = false;
  bool clipPushed = false;
  bool clearOnFirstDraw = false;
  bool ownsTarget = false;
  HRESULT lastResult = S_OK;
};

}  // namespace VSTGUI

#endif
