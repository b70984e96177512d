// Shows a value as text (through a value-to-string function when one is
// set) over a background colour or bitmap, in a font, colour and alignment.
#pragma once

#include "toolkit/ccolor.h"
#include "toolkit/ccontrol.h"
#include "toolkit/cdrawcontext.h"
#include "toolkit/cfont.h"

namespace VSTGUI {

enum CParamDisplayStyle {
  k3DIn = 1 << 0,
  k3DOut = 1 << 1,
  kNoTextStyle = 1 << 11,
  kShadowText = 1 << 12,
  kNoDrawStyle = 1 << 13,
  kNoFrame = 1 << 14,
  kDoubleClickStyle = 1 << 16,
};

// Writes the text for a value into a buffer of 256 bytes; false: no text.
typedef bool (*CParamDisplayValueToStringProc)(float value, char utf8String[256], void* userData);

class CParamDisplay : public CControl {
 public:
  CParamDisplay(const CRect& size, CBitmap* background = nullptr, const int32_t style = 0);
  CParamDisplay(const CParamDisplay& other);
  ~CParamDisplay() override;

  void draw(CDrawContext* context) override;

  virtual void setFont(CFontRef font);
  CFontRef getFont() const { return fontID; }
  virtual void setFontColor(const CColor& color);
  const CColor& getFontColor() const { return fontColor; }
  virtual void setBackColor(const CColor& color);
  const CColor& getBackColor() const { return backColor; }
  virtual void setFrameColor(const CColor& color);
  const CColor& getFrameColor() const { return frameColor; }
  virtual void setShadowColor(const CColor& color);
  const CColor& getShadowColor() const { return shadowColor; }
  virtual void setHoriAlign(CHoriTxtAlign align);
  CHoriTxtAlign getHoriAlign() const { return horiTxtAlign; }
  virtual void setTextInset(const CPoint& p) { textInset = p; }
  const CPoint& getTextInset() const { return textInset; }
  // The point of the background bitmap drawn at the display's top-left:
  // a display that moves over a bitmap (with a slider's handle, say) sets
  // its position on that bitmap here, to look transparent.
  virtual void setBackOffset(const CPoint& offset);
  const CPoint& getBackOffset() const { return backOffset; }
  virtual void setStyle(int32_t val);
  int32_t getStyle() const { return style; }
  virtual void setTextTransparency(bool val) { textTransparencyEnabled = val; }
  bool getTextTransparency() const { return textTransparencyEnabled; }
  void setAntialias(bool val) { antialias = val; }
  bool getAntialias() const { return antialias; }
  void setValueToStringProc(CParamDisplayValueToStringProc proc, void* userData = nullptr);
  CParamDisplayValueToStringProc getValueToStringProc() const { return valueToString; }

  CLASS_METHODS(CParamDisplay, CControl)

 protected:
  virtual void drawBack(CDrawContext* context, CBitmap* newBack = nullptr);
  virtual void drawText(CDrawContext* context, UTF8StringPtr string);

  CParamDisplayValueToStringProc valueToString = nullptr;
  void* valueToStringUserData = nullptr;
  CHoriTxtAlign horiTxtAlign = kCenterText;
  int32_t style;
  CFontRef fontID;
  CColor fontColor = kWhiteCColor;
  CColor backColor = kBlackCColor;
  CColor frameColor = kBlackCColor;
  CColor shadowColor = kRedCColor;
  CPoint textInset;
  CPoint backOffset;
  bool textTransparencyEnabled = true;
  bool antialias = true;
};

}  // namespace VSTGUI
