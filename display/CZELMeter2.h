// The needle views: one channel of one meter each, drawn as an analogue
// instrument. A full meter panel owns two views of its type and pushes the
// engine's read-outs into them on every refresh; a view only turns the
// values it was given into needle angles and bitmaps.
//
// A view repaints only when its picture changes, and only where: updateDirty()
// compares the pixels the needles, hold mark, LED frame and face would land
// on now with those of the picture on screen, and the frame then repaints
// the strokes' old and new places (the LED, or the whole face for a change
// of illumination). A needle at rest, or moving by less than a pixel, costs
// no painting at all.
#pragma once

#include <cstdint>

#include "display/MeterFaces.h"
#include "toolkit/ccolor.h"
#include "toolkit/ccontrol.h"

namespace orvane {

class CZELMeter2 : public VSTGUI::CControl {
 public:
  // A click on a view resets the over indicators.
  static constexpr int32_t kTag = 67;
  // The over LED: three 20 x 20 frames stacked, off, latched, over now.
  static constexpr int32_t kLedBitmap = 40008;
  static constexpr VSTGUI::CCoord kLedFrameHeight = kLedSize;
  static constexpr VSTGUI::CCoord kStrokeWidth = 2.4;

  CZELMeter2(const CZELMeter2& other);

  // Each only stores (limited to the view's range; a value that is not a
  // number goes to rest). updateDirty() then tells whether to repaint.
  virtual void setReading(float v);
  virtual void setHoldReading(float v);
  // -1 no over since the last reset, 0 latched, 1 over now.
  void setOverState(int state);
  void setHoldVisible(bool visible);

  float getReading() const { return reading; }
  float getHoldReading() const { return hold; }
  int getOverState() const { return overState; }
  bool getHoldVisible() const { return holdVisible; }
  const VSTGUI::CPoint& getPivot() const { return pivot; }
  const VSTGUI::CRect& getLedRect() const { return ledRect; }
  float getNeedleInner() const { return r1; }
  float getNeedleOuter() const { return r2; }
  float getHoldInner() const { return r3; }
  float getHoldOuter() const { return r4; }

  // The needle angle of a value, in degrees anticlockwise from the positive
  // x axis, by the meter's printed scale.
  virtual double angleOf(double value) const = 0;
  // The lowest and highest value the view shows, and where it rests.
  virtual float lowest() const = 0;
  virtual float highest() const = 0;
  virtual float restValue() const { return lowest(); }
  float limit(float v) const;

  // Marks the view dirty when its picture would differ from the one on
  // screen; answers whether it did.
  bool updateDirty();
  // The part of the view that the next paint must cover (empty: all of it,
  // when the view is dirty at all).
  const VSTGUI::CRect& getChangedArea() const { return changedArea; }

  void draw(VSTGUI::CDrawContext* context) override;
  void drawRect(VSTGUI::CDrawContext* context, const VSTGUI::CRect& updateRect) override;
  // Asks the frame to repaint what changed (the whole view when it is not
  // known what did).
  void invalid() override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  bool isTypeOf(VSTGUI::IdStringPtr s) const override;

 protected:
  // A view with its top-left corner at `origin` in its container.
  CZELMeter2(const VSTGUI::CPoint& origin, const MeterFace& face, VSTGUI::CControlListener* listener, float rest);
  ~CZELMeter2() override;

  // What a drawing puts on screen, to the pixel: the end points of each
  // stroke, the LED frame and the face's illumination.
  struct Picture {
    int strokes[3][4] = {};
    int ledFrame = -1;
    int level = -1;
    bool hold = false;
    bool operator==(const Picture& o) const;
  };
  virtual Picture picture() const;
  // Where two pictures differ, within the view.
  VSTGUI::CRect difference(const Picture& a, const Picture& b) const;
  virtual bool hasBitmaps() const;
  // The parts each meter draws its own way: under the LED, and over it.
  virtual void drawFace(VSTGUI::CDrawContext*) {}
  virtual void drawNeedles(VSTGUI::CDrawContext* context) = 0;

  // A stroke from radius `from` to radius `to` along the angle of `value`.
  void stroke(VSTGUI::CDrawContext* context, double value, float from, float to, const VSTGUI::CColor& colour,
              VSTGUI::CCoord width = kStrokeWidth) const;
  void strokePixels(double value, float from, float to, int out[4]) const;

  float r1, r2, r3, r4;
  VSTGUI::CPoint pivot;
  int overState = -1;
  bool holdVisible = false;
  VSTGUI::CBitmap* ledBitmap = nullptr;
  VSTGUI::CRect ledRect;
  float reading;
  float hold;

 private:
  // The picture on screen once the pending paint is done.
  Picture shown;
  bool everDrawn = false;
  bool drawingWhole = true;
  VSTGUI::CRect changedArea;
};

class CZELVUMeter2 : public CZELMeter2 {
 public:
  static constexpr int32_t kFaceBitmap = 40007;
  static constexpr VSTGUI::CCoord kWidth = kVuFace.width, kHeight = kVuFace.height;
  static constexpr int kLevels = 5;
  static constexpr float kRest = -0.05f;

  // The view's top-left corner in its container.
  CZELVUMeter2(const VSTGUI::CPoint& origin, VSTGUI::CControlListener* listener);
  CZELVUMeter2(const CZELVUMeter2& other);

  // The face's illumination, 0 (dark) .. 4.
  void setIllumination(int level);
  int getIllumination() const { return illumination; }
  const VSTGUI::CRect& getBottomStrip() const { return bottomStrip; }

  double angleOf(double value) const override;
  float lowest() const override { return -0.05f; }
  float highest() const override { return 1.5f; }
  float restValue() const override { return kRest; }

  CLASS_METHODS(CZELVUMeter2, CZELMeter2)

 protected:
  ~CZELVUMeter2() override;
  Picture picture() const override;
  bool hasBitmaps() const override;
  void drawFace(VSTGUI::CDrawContext* context) override;
  void drawNeedles(VSTGUI::CDrawContext* context) override;

 private:
  VSTGUI::CBitmap* faceBitmap = nullptr;
  int illumination = 0;
  VSTGUI::CRect bottomStrip;
};

class CZELPPMMeter2 : public CZELMeter2 {
 public:
  static constexpr VSTGUI::CCoord kWidth = kPpmFace.width, kHeight = kPpmFace.height;

  CZELPPMMeter2(const VSTGUI::CPoint& origin, VSTGUI::CControlListener* listener);

  double angleOf(double value) const override;
  float lowest() const override { return 0.0001f; }
  float highest() const override { return 32.0f; }

  CLASS_METHODS(CZELPPMMeter2, CZELMeter2)

 protected:
  void drawNeedles(VSTGUI::CDrawContext* context) override;
};

class CZELRMSMeter2 : public CZELMeter2 {
 public:
  static constexpr VSTGUI::CCoord kWidth = kRmsFace.width, kHeight = kRmsFace.height;

  CZELRMSMeter2(const VSTGUI::CPoint& origin, VSTGUI::CControlListener* listener);

  // The RMS needle beside the peak needle (the main reading).
  void setRmsReading(float v);
  float getRmsReading() const { return rms; }

  double angleOf(double value) const override;
  float lowest() const override { return 0.0001f; }
  float highest() const override { return 32.0f; }

  CLASS_METHODS(CZELRMSMeter2, CZELMeter2)

 protected:
  Picture picture() const override;
  void drawNeedles(VSTGUI::CDrawContext* context) override;

 private:
  float rms;
};

}  // namespace orvane
