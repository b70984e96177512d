// Where views draw: lines, rectangles, bitmaps and text, with colours, line
// width, anti-aliasing, a global opacity, a clip and an offset. Coordinates
// given to the drawing calls are local: the context adds its offset. Each
// platform implements the primitives (Direct2D on Windows, cairo natively).
#pragma once

#include <utility>
#include <vector>

#include "toolkit/cbitmap.h"
#include "toolkit/ccolor.h"
#include "toolkit/cfont.h"
#include "toolkit/crect.h"

namespace VSTGUI {

class CFrame;

enum CDrawMode { kAliasing = 0, kAntiAliasing = 1 };
enum CDrawStyle { kDrawStroked = 0, kDrawFilled, kDrawFilledAndStroked };
enum CHoriTxtAlign { kLeftText = 0, kCenterText, kRightText };

typedef std::pair<CPoint, CPoint> LinePair;

class CDrawContext : public CBaseObject {
 public:
  ~CDrawContext() override;

  // Drawing happens between beginDraw and endDraw.
  virtual void beginDraw() {}
  virtual void endDraw() {}

  void setLineWidth(CCoord width) { state.lineWidth = width; }
  CCoord getLineWidth() const { return state.lineWidth; }
  void setDrawMode(CDrawMode mode) { state.drawMode = mode; }
  CDrawMode getDrawMode() const { return state.drawMode; }
  void setFillColor(const CColor& color) { state.fillColor = color; }
  const CColor& getFillColor() const { return state.fillColor; }
  void setFrameColor(const CColor& color) { state.frameColor = color; }
  const CColor& getFrameColor() const { return state.frameColor; }
  void setFontColor(const CColor& color) { state.fontColor = color; }
  const CColor& getFontColor() const { return state.fontColor; }
  // A size above 0 or a style of 0 or more draws with a copy of the font
  // changed that way.
  void setFont(const CFontRef font, const CCoord& size = 0, const int32_t& style = -1);
  CFontRef getFont() const { return state.font; }
  // Opacity of everything drawn from now on, 0 … 1, times each call's own.
  void setGlobalAlpha(float alpha);
  float getGlobalAlpha() const { return state.globalAlpha; }

  // The clip is given in local coordinates and stays where it is on the
  // surface when the offset changes afterwards; it never exceeds the surface.
  void setClipRect(const CRect& clip);
  CRect& getClipRect(CRect& clip) const;
  void resetClipRect();
  void setOffset(const CPoint& offset) { state.offset = offset; }
  const CPoint& getOffset() const { return state.offset; }

  // A stack of all the settings above.
  void saveGlobalState();
  void restoreGlobalState();

  void moveTo(const CPoint& point) { penPosition = point; }
  void lineTo(const CPoint& point);
  virtual void drawLine(const CPoint& start, const CPoint& end) = 0;
  void drawLine(const LinePair& line) { drawLine(line.first, line.second); }
  // Stroked rectangles are framed inside their edges.
  virtual void drawRect(const CRect& rect, const CDrawStyle drawStyle = kDrawStroked) = 0;
  virtual void drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset = CPoint(0, 0), float alpha = 1.f) = 0;
  // Text in the current font and font colour, centred vertically on its cap
  // height, clipped to the rectangle.
  void drawString(UTF8StringPtr string, const CRect& rect, const CHoriTxtAlign hAlign = kCenterText, bool antialias = true);
  // Text whose baseline starts at the point.
  void drawString(UTF8StringPtr string, const CPoint& point, bool antialias = true);
  CCoord getStringWidth(UTF8StringPtr string);

  const CRect& getSurfaceRect() const { return surfaceRect; }
  // The opacity actually used for a colour: its own alpha times the global.
  float effectiveAlpha(const CColor& color) const { return color.alpha / 255.f * state.globalAlpha; }

 protected:
  explicit CDrawContext(const CRect& surfaceRect);
  // The platform puts the current clip (getClipRect in surface coordinates:
  // state.clipRect) into effect.
  virtual void applyClip() = 0;
  void init();

  struct State {
    CFontRef font = nullptr;
    CColor fillColor = kWhiteCColor;
    CColor frameColor = kBlackCColor;
    CColor fontColor = kBlackCColor;
    CCoord lineWidth = 1;
    CDrawMode drawMode = kAliasing;
    float globalAlpha = 1.f;
    CRect clipRect;  // in surface coordinates
    CPoint offset;
  };
  State state;
  std::vector<State> stateStack;
  CRect surfaceRect;
  CPoint penPosition;
};

// A context that draws into a bitmap, to be shown or measured later.
class COffscreenContext : public CDrawContext {
 public:
  // An offscreen context on a new transparent bitmap of that size; the frame
  // may be null. nullptr when the platform cannot draw offscreen.
  static COffscreenContext* create(CFrame* frame, CCoord width, CCoord height);

  // The bitmap drawn into (null for a context that draws into a window).
  CBitmap* getBitmap() const { return bitmap; }
  ~COffscreenContext() override;

 protected:
  COffscreenContext(const CRect& surfaceRect, CBitmap* bitmap);
  CBitmap* bitmap;
};

}  // namespace VSTGUI
