// Pixels of a bitmap as the platform keeps them.
#pragma once

#include <vector>

#include "toolkit/cpoint.h"

namespace VSTGUI {

class IPlatformBitmap : public CBaseObject {
 public:
  // A bitmap decoded from the PNG resource with this identifier; nullptr
  // when there is no such resource or it cannot be decoded.
  static IPlatformBitmap* createFromResource(int32_t resourceID);
  // The same bitmap drawn at twice the size (the 2x artwork set: on Windows
  // the PNG2X resources, natively the folder's 2x/N.png); nullptr where the
  // set has none.
  static IPlatformBitmap* createFromResource2x(int32_t resourceID);
  // A bitmap decoded from a PNG file; nullptr when it cannot be read.
  static IPlatformBitmap* createFromPath(UTF8StringPtr path);
  // An empty (transparent) bitmap to draw into; nullptr for a zero size.
  static IPlatformBitmap* create(const CPoint& size);

  virtual const CPoint& getSize() const = 0;
  // Copies the pixels out, top row first, as 8-bit premultiplied BGRA (four
  // bytes per pixel, blue first), width × height × 4 bytes.
  virtual bool copyPixels(std::vector<uint8_t>& bgra) = 0;
  virtual bool writePNG(UTF8StringPtr path) = 0;
};

}  // namespace VSTGUI
