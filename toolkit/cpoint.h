// A point in view coordinates (y grows downwards).
#pragma once

#include "toolkit/vstguibase.h"

namespace VSTGUI {

struct CPoint {
  CPoint(CCoord x = 0, CCoord y = 0) : x(x), y(y) {}

  CPoint& offset(CCoord dx, CCoord dy) {
    x += dx;
    y += dy;
    return *this;
  }
  CPoint& offset(const CPoint& p) { return offset(p.x, p.y); }
  bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
  bool operator!=(const CPoint& o) const { return !(*this == o); }
  CPoint operator+(const CPoint& o) const { return CPoint(x + o.x, y + o.y); }
  CPoint operator-(const CPoint& o) const { return CPoint(x - o.x, y - o.y); }

  CCoord x, y;
};

}  // namespace VSTGUI
