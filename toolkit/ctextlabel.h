// A display of a fixed text.
#pragma once

#include <string>

#include "toolkit/cparamdisplay.h"

namespace VSTGUI {

class CTextLabel : public CParamDisplay {
 public:
  CTextLabel(const CRect& size, UTF8StringPtr txt = nullptr, CBitmap* background = nullptr, const int32_t style = 0);

  virtual void setText(UTF8StringPtr txt);
  virtual UTF8StringPtr getText() const { return text.c_str(); }

  void draw(CDrawContext* context) override;

  CLASS_METHODS(CTextLabel, CParamDisplay)

 protected:
  std::string text;
};

}  // namespace VSTGUI
