#include "controls/ZELSystemBoxWin32.h"

namespace VSTGUI {

CRect systemBoxRect(const CRect& control, double fontSize, double scale) {
  if (!(scale > 0)) scale = 1.0;
  CRect r(control.left * scale, control.top * scale, control.right * scale, control.bottom * scale);
  double s = fontSize > 0 ? fontSize * scale : 0;
  // One pixel above the text's em box and two below it, around the
  // control's middle row, so descenders stay inside.
  double c = static_cast<double>(static_cast<long long>((r.top + r.bottom) / 2));
  r.top = c - s / 2 - 1;
  r.bottom = c + s / 2 + 2;
  return r;
}

}  // namespace VSTGUI
