// A rectangle: left and top inside, right and bottom just outside, as every
// size and hit test of the toolkit counts them.
#pragma once

#include <algorithm>

#include "toolkit/cpoint.h"

namespace VSTGUI {

struct CRect {
  CRect(CCoord left = 0, CCoord top = 0, CCoord right = 0, CCoord bottom = 0)
      : left(left), top(top), right(right), bottom(bottom) {}
  CRect(const CPoint& origin, const CPoint& size)
      : left(origin.x), top(origin.y), right(origin.x + size.x), bottom(origin.y + size.y) {}

  CCoord getWidth() const { return right - left; }
  CCoord getHeight() const { return bottom - top; }
  CRect& setWidth(CCoord w) { right = left + w; return *this; }
  CRect& setHeight(CCoord h) { bottom = top + h; return *this; }
  CPoint getTopLeft() const { return CPoint(left, top); }
  CPoint getSize() const { return CPoint(getWidth(), getHeight()); }
  CPoint getCenter() const { return CPoint(left + getWidth() / 2, top + getHeight() / 2); }

  CRect& offset(CCoord dx, CCoord dy) {
    left += dx; right += dx; top += dy; bottom += dy;
    return *this;
  }
  CRect& offset(const CPoint& p) { return offset(p.x, p.y); }
  CRect& moveTo(CCoord x, CCoord y) { return offset(x - left, y - top); }
  CRect& inset(CCoord dx, CCoord dy) {
    left += dx; right -= dx; top += dy; bottom -= dy;
    return *this;
  }
  // Cuts this rectangle to the part that lies inside r (empty when apart).
  CRect& bound(const CRect& r) {
    left = std::max(left, r.left);
    top = std::max(top, r.top);
    right = std::min(right, r.right);
    bottom = std::min(bottom, r.bottom);
    if (right < left) right = left;
    if (bottom < top) bottom = top;
    return *this;
  }
  // Grows this rectangle to cover r as well; an empty rectangle adds nothing.
  CRect& unite(const CRect& r) {
    if (r.isEmpty()) return *this;
    if (isEmpty()) return *this = r;
    left = std::min(left, r.left);
    top = std::min(top, r.top);
    right = std::max(right, r.right);
    bottom = std::max(bottom, r.bottom);
    return *this;
  }
  bool isEmpty() const { return right <= left || bottom <= top; }
  bool pointInside(const CPoint& p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  bool rectOverlap(const CRect& r) const {
    return !isEmpty() && !r.isEmpty() && r.right > left && r.left < right && r.bottom > top && r.top < bottom;
  }
  bool operator==(const CRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  bool operator!=(const CRect& o) const { return !(*this == o); }

  CCoord left, top, right, bottom;
};

}  // namespace VSTGUI
