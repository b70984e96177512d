// The base of everything on screen: a rectangle in its parent's coordinates,
// a mouse-sensitive area, visibility, a dirty flag, and the mouse handlers.
#pragma once

#include "toolkit/cbitmap.h"
#include "toolkit/cbuttonstate.h"
#include "toolkit/crect.h"

namespace VSTGUI {

class CDrawContext;
class CFrame;
class CViewContainer;

class CView : public CBaseObject {
 public:
  explicit CView(const CRect& size);
  CView(const CView& view);
  ~CView() override;

  virtual void draw(CDrawContext* context);
  // Draws the part of the view inside updateRect (in the view's
  // coordinates); the default draws the whole view.
  virtual void drawRect(CDrawContext* context, const CRect& updateRect);
  virtual bool checkUpdate(const CRect& updateRect) const { return updateRect.rectOverlap(size); }

  virtual CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons);
  // distance: notches, positive away from the user. Answers whether the view
  // used the wheel.
  virtual bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons);
  virtual bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                       const CButtonState& buttons);
  // -1 not handled, 1 handled.
  virtual int32_t onKeyDown(VstKeyCode& keyCode);
  virtual int32_t onKeyUp(VstKeyCode& keyCode);

  // Dirty: needs drawing on the next update of the frame.
  virtual void setDirty(const bool val = true) { dirty = val; }
  virtual bool isDirty() const { return dirty; }
  // Asks the frame to redraw the whole view (and cleans the flag).
  virtual void invalid();
  virtual void invalidRect(const CRect& rect);

  virtual void setVisible(bool state);
  bool isVisible() const { return visible; }
  virtual void setMouseEnabled(bool enable = true) { mouseEnabled = enable; }
  bool getMouseEnabled() const { return mouseEnabled; }
  virtual void setTransparency(bool val) { transparencyEnabled = val; }
  bool getTransparency() const { return transparencyEnabled; }
  // A transparent view lets a click it does not handle go on to the views
  // below it.
  bool isTransparent() const { return transparencyEnabled; }
  virtual void setWantsFocus(bool state) { wantsFocus = state; }
  bool getWantsFocus() const { return wantsFocus; }

  const CRect& getViewSize() const { return size; }
  CRect& getViewSize(CRect& rect) const { return rect = size; }
  virtual void setViewSize(const CRect& rect, bool invalid = true);
  CCoord getWidth() const { return size.getWidth(); }
  CCoord getHeight() const { return size.getHeight(); }
  virtual void setMouseableArea(const CRect& rect) { mouseableArea = rect; }
  const CRect& getMouseableArea() const { return mouseableArea; }
  CRect& getMouseableArea(CRect& rect) const { return rect = mouseableArea; }
  // Whether a click at where (parent coordinates) is for this view.
  virtual bool hitTest(const CPoint& where, const CButtonState& buttons = -1);

  virtual void setBackground(CBitmap* background);
  CBitmap* getBackground() const { return background; }
  // Opacity of the view and all it holds, 0 … 1 (NaN counts as 1), on top
  // of its container's: an inactive control is drawn at 0.5, say.
  virtual void setAlphaValue(float alpha);
  float getAlphaValue() const { return alphaValue; }

  // The stacking layer within the container (0 by default): a view is
  // always above every view of a lower layer, whatever the order they were
  // added in, so an overlay on layer 1 stays on top while views below it are
  // removed and added again. Changing it moves the view to the top of its
  // new layer.
  void setZLayer(int32_t layer);
  int32_t getZLayer() const { return zLayer; }

  // Called by the container that takes the view in and lets it go.
  virtual bool attached(CView* parent);
  virtual bool removed(CView* parent);
  bool isAttached() const { return isAttachedFlag; }
  CView* getParentView() const { return parentView; }
  // The container that holds the view, attached to a frame or not.
  CViewContainer* getContainer() const { return container; }
  CFrame* getFrame() const { return parentFrame; }

  // Converts a point of this view's parent to frame coordinates and back.
  virtual CPoint& localToFrame(CPoint& point) const;
  virtual CPoint& frameToLocal(CPoint& point) const;

  virtual void takeFocus() {}
  virtual void looseFocus() {}

  virtual bool isTypeOf(IdStringPtr s) const { return std::strcmp(s, "CView") == 0; }
  virtual CView* newCopy() const { return new CView(*this); }

 protected:
  CRect size;
  CRect mouseableArea;
  CFrame* parentFrame = nullptr;
  CView* parentView = nullptr;
  CViewContainer* container = nullptr;
  CBitmap* background = nullptr;
  float alphaValue = 1.f;
  int32_t zLayer = 0;
  bool dirty = false;
  bool mouseEnabled = true;
  bool transparencyEnabled = false;
  bool wantsFocus = false;
  bool isAttachedFlag = false;
  bool visible = true;

  friend class CViewContainer;
};

}  // namespace VSTGUI
