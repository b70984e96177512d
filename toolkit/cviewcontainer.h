// A view that holds other views. It owns what is added to it (the reference
// the creator had passes to the container), draws its background and then
// its children in the order they were added, and routes the mouse: a press
// goes to the topmost child under it, and the child that took the press gets
// the moves and the release; entering and leaving children are reported in
// pairs. Children's rectangles are relative to the container's top-left.
#pragma once

#include <vector>

#include "toolkit/ccolor.h"
#include "toolkit/cview.h"

namespace VSTGUI {

class CViewContainer : public CView {
 public:
  CViewContainer(const CRect& size, CFrame* frame = nullptr, CBitmap* background = nullptr);
  CViewContainer(const CViewContainer& other);
  ~CViewContainer() override;

  // Adds a view on top of the others of its layer (CView::setZLayer), or
  // below `before` when that is a child of the same layer; the container
  // takes over the caller's reference. False for null, self or a view that
  // already has a parent (the caller keeps its reference then).
  virtual bool addView(CView* view);
  virtual bool addView(CView* view, CView* before);
  // Takes the view out; with forget the container's reference is dropped
  // (which deletes a view nobody else holds), else it passes to the caller.
  virtual bool removeView(CView* view, const bool& withForget = true);
  virtual bool removeAll(const bool& withForget = true);
  bool isChild(CView* view) const;
  int32_t getNbViews() const { return static_cast<int32_t>(children.size()); }
  CView* getView(int32_t index) const;
  // The topmost visible child under where (container's own coordinates, i.e.
  // its parent's); with deep, the innermost view in nested containers.
  virtual CView* getViewAt(const CPoint& where, bool deep = false) const;

  void setBackgroundColor(const CColor& color);
  const CColor& getBackgroundColor() const { return backgroundColor; }
  void setBackgroundOffset(const CPoint& p) { backgroundOffset = p; }

  void draw(CDrawContext* context) override;
  void drawRect(CDrawContext* context, const CRect& updateRect) override;
  virtual void drawBackgroundRect(CDrawContext* context, const CRect& rect);

  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
               const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;
  int32_t onKeyDown(VstKeyCode& keyCode) override;

  bool isDirty() const override;
  void invalid() override;
  // rect is in the children's coordinates.
  void invalidRect(const CRect& rect) override;
  // Asks the frame to redraw every dirty child (or all when the container
  // itself is dirty).
  virtual void invalidateDirtyViews();

  bool attached(CView* parent) override;
  bool removed(CView* parent) override;
  bool hitTest(const CPoint& where, const CButtonState& buttons = -1) override;

  // The child that took the last press and still gets moves and the release.
  CView* getMouseDownView() const { return mouseDownView; }
  // The child the mouse is over, as last reported by entered/exited.
  CView* getMouseOverView() const { return mouseOverView; }

  CLASS_METHODS(CViewContainer, CView)

 protected:
  // Forgets mouse tracking of a view that is going away; one the mouse was
  // over is told that the mouse left it.
  void clearMouseTracking(CView* view);
  // Where a view of that layer goes: below `before` or on top of its layer.
  std::vector<CView*>::iterator insertionPoint(int32_t layer, CView* before);
  // Puts a child whose layer changed on top of its new layer.
  void restack(CView* view);
  friend class CView;
  void updateMouseOver(const CPoint& where, const CButtonState& buttons);

  std::vector<CView*> children;
  CColor backgroundColor = kTransparentCColor;
  CPoint backgroundOffset;
  CView* mouseDownView = nullptr;
  CView* mouseOverView = nullptr;
};

}  // namespace VSTGUI
