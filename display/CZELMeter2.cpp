#include "display/CZELMeter2.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "display/NeedleAngles.h"
#include "toolkit/cdrawcontext.h"

using namespace VSTGUI;

namespace orvane {

namespace {

// The colours of the strokes. The VU needle is dark on a light face; the
// PPM and RMS needles are light on a dark scale.
constexpr CColor kVuNeedle(50, 45, 30, 255);
constexpr CColor kVuHold(220, 0, 0, 255);
constexpr CColor kPpmNeedle(229, 218, 202, 255);
constexpr CColor kPpmHold(220, 0, 0, 255);
constexpr CColor kRmsNeedle(140, 118, 108, 255);
constexpr CColor kRmsNeedleCentre(0, 0, 0, 255);
constexpr CColor kRmsPeak(237, 230, 201, 255);
constexpr CColor kRmsPeakTip(160, 0, 0, 220);
constexpr CColor kRmsHold(255, 0, 0, 130);
constexpr CCoord kCentreLineWidth = 0.6;

// Values a construction leaves the PPM and RMS needles at: below the scale,
// on the stop.
constexpr float kBelowScale = 0.000001f;

CBitmap* loadBitmap(int32_t id) { return new CBitmap(CResourceDescription(id)); }

int pixel(double v) { return (int)std::floor(v + 0.5); }

// A stroke along the needle at `degrees`, from `from` to `to` away from the
// pivot: what is drawn and what the repaint bookkeeping measures alike.
struct StrokeEnds {
  NeedlePoint a, b;
};

StrokeEnds strokeEnds(const CPoint& pivot, double degrees, float from, float to) {
  return {needlePoint(pivot.x, pivot.y, degrees, from), needlePoint(pivot.x, pivot.y, degrees, to)};
}

}  // namespace

// ---------------------------------------------------------------- base

CZELMeter2::CZELMeter2(const CPoint& o, const MeterFace& face, CControlListener* listener, float rest)
    : CControl(CRect(o.x, o.y, o.x + face.width, o.y + face.height), listener, kTag),
      r1(face.needleInner),
      r2(face.needleOuter),
      r3(face.holdInner),
      r4(face.holdOuter),
      pivot(o.x + face.pivotX, o.y + face.pivotY),
      ledBitmap(loadBitmap(kLedBitmap)),
      ledRect(o.x + face.ledX, o.y + face.ledY, o.x + face.ledX + kLedSize, o.y + face.ledY + kLedSize),
      reading(rest),
      hold(rest) {}

CZELMeter2::CZELMeter2(const CZELMeter2& o)
    : CControl(o),
      r1(o.r1),
      r2(o.r2),
      r3(o.r3),
      r4(o.r4),
      pivot(o.pivot),
      overState(o.overState),
      holdVisible(o.holdVisible),
      ledBitmap(o.ledBitmap),
      ledRect(o.ledRect),
      reading(o.reading),
      hold(o.hold) {
  if (ledBitmap) ledBitmap->remember();
}

CZELMeter2::~CZELMeter2() {
  if (ledBitmap) ledBitmap->forget();
}

bool CZELMeter2::isTypeOf(IdStringPtr s) const { return std::strcmp(s, "CZELMeter2") == 0 || CControl::isTypeOf(s); }

float CZELMeter2::limit(float v) const {
  if (std::isnan(v)) return restValue();
  if (v < lowest()) return lowest();
  if (v > highest()) return highest();
  return v;
}

void CZELMeter2::setReading(float v) { reading = limit(v); }
void CZELMeter2::setHoldReading(float v) { hold = limit(v); }

void CZELMeter2::setOverState(int state) { overState = state < 0 ? -1 : state > 0 ? 1 : 0; }

void CZELMeter2::setHoldVisible(bool visible) { holdVisible = visible; }

bool CZELMeter2::Picture::operator==(const Picture& o) const {
  return std::memcmp(strokes, o.strokes, sizeof strokes) == 0 && ledFrame == o.ledFrame && level == o.level &&
         hold == o.hold;
}

void CZELMeter2::strokePixels(double value, float from, float to, int out[4]) const {
  const StrokeEnds s = strokeEnds(pivot, angleOf(value), from, to);
  out[0] = pixel(s.a.x);
  out[1] = pixel(s.a.y);
  out[2] = pixel(s.b.x);
  out[3] = pixel(s.b.y);
}

CZELMeter2::Picture CZELMeter2::picture() const {
  Picture p;
  strokePixels(reading, r1, r2, p.strokes[0]);
  // A hidden hold mark draws nothing wherever it would stand.
  if (holdVisible) strokePixels(hold, r3, r4, p.strokes[1]);
  p.hold = holdVisible;
  p.ledFrame = overState + 1;
  p.level = 0;
  return p;
}

bool CZELMeter2::hasBitmaps() const { return ledBitmap && ledBitmap->isLoaded(); }

// A stroke's box, grown by its width and a pixel of anti-aliasing on each
// side; a stroke that is not drawn (all zeros) covers nothing.
static CRect strokeBox(const int s[4]) {
  if (!s[0] && !s[1] && !s[2] && !s[3]) return CRect();
  const CCoord grow = 3;
  return CRect(std::min(s[0], s[2]) - grow, std::min(s[1], s[3]) - grow, std::max(s[0], s[2]) + grow,
               std::max(s[1], s[3]) + grow);
}

CRect CZELMeter2::difference(const Picture& a, const Picture& b) const {
  if (a.level != b.level) return getViewSize();
  CRect area;
  for (int i = 0; i < 3; ++i) {
    if (std::memcmp(a.strokes[i], b.strokes[i], sizeof a.strokes[i]) == 0) continue;
    area.unite(strokeBox(a.strokes[i]));
    area.unite(strokeBox(b.strokes[i]));
  }
  if (a.ledFrame != b.ledFrame) area.unite(ledRect);
  area.bound(getViewSize());
  return area;
}

bool CZELMeter2::updateDirty() {
  if (!everDrawn) {
    setDirty(true);
    return true;
  }
  const Picture now = picture();
  if (now == shown) return false;
  changedArea.unite(difference(shown, now));
  // The paint to come draws the values as they are then, over at least
  // this area: from now on that is the picture on screen.
  shown = now;
  setDirty(true);
  return true;
}

void CZELMeter2::invalid() {
  if (everDrawn && !changedArea.isEmpty()) {
    const CRect area = changedArea;
    changedArea = CRect();
    setDirty(false);
    invalidRect(area);
    return;
  }
  changedArea = CRect();
  CControl::invalid();
}

void CZELMeter2::drawRect(CDrawContext* context, const CRect& updateRect) {
  CRect whole(updateRect);
  whole.unite(getViewSize());
  drawingWhole = whole == updateRect;
  draw(context);
  drawingWhole = true;
}

void CZELMeter2::stroke(CDrawContext* context, double value, float from, float to, const CColor& colour,
                        CCoord width) const {
  const StrokeEnds s = strokeEnds(pivot, angleOf(value), from, to);
  context->setLineWidth(width);
  context->setFrameColor(colour);
  context->drawLine(CPoint(s.a.x, s.a.y), CPoint(s.b.x, s.b.y));
}

void CZELMeter2::draw(CDrawContext* context) {
  // Only a drawing of the whole view tells what the screen shows; a part
  // drawn for some other reason leaves a pending repaint pending.
  if (drawingWhole) {
    shown = picture();
    everDrawn = true;
    changedArea = CRect();
  }
  if (hasBitmaps()) {
    context->setDrawMode(kAntiAliasing);
    context->setLineWidth(kStrokeWidth);
    drawFace(context);
    // off (y 0), latched (y 20), over now (y 40)
    ledBitmap->draw(context, ledRect, CPoint(0, (overState + 1) * kLedFrameHeight));
    drawNeedles(context);
  }
  setDirty(!everDrawn || !changedArea.isEmpty());
}

CMouseEventResult CZELMeter2::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  valueChanged();
  return kMouseEventHandled;
}

// ---------------------------------------------------------------- VU

CZELVUMeter2::CZELVUMeter2(const CPoint& o, CControlListener* listener)
    : CZELMeter2(o, kVuFace, listener, kRest),
      faceBitmap(loadBitmap(kFaceBitmap)),
      // The face's lowest 6 rows cover the needles' feet.
      bottomStrip(o.x, o.y + kHeight - 6, o.x + kWidth, o.y + kHeight) {}

CZELVUMeter2::CZELVUMeter2(const CZELVUMeter2& o)
    : CZELMeter2(o), faceBitmap(o.faceBitmap), illumination(o.illumination), bottomStrip(o.bottomStrip) {
  if (faceBitmap) faceBitmap->remember();
}

CZELVUMeter2::~CZELVUMeter2() {
  if (faceBitmap) faceBitmap->forget();
}

double CZELVUMeter2::angleOf(double value) const { return vuNeedleAngle(value); }

void CZELVUMeter2::setIllumination(int level) { illumination = level < 0 ? 0 : level >= kLevels ? kLevels - 1 : level; }

CZELMeter2::Picture CZELVUMeter2::picture() const {
  Picture p = CZELMeter2::picture();
  p.level = illumination;
  return p;
}

bool CZELVUMeter2::hasBitmaps() const { return CZELMeter2::hasBitmaps() && faceBitmap && faceBitmap->isLoaded(); }

void CZELVUMeter2::drawFace(CDrawContext* context) {
  faceBitmap->draw(context, getViewSize(), CPoint(0, illumination * kHeight));
}

void CZELVUMeter2::drawNeedles(CDrawContext* context) {
  stroke(context, reading, r1, r2, kVuNeedle);
  if (holdVisible) stroke(context, hold, r3, r4, kVuHold);
  faceBitmap->draw(context, bottomStrip, CPoint(0, illumination * kHeight + (kHeight - 6)));
}

// ---------------------------------------------------------------- PPM

CZELPPMMeter2::CZELPPMMeter2(const CPoint& o, CControlListener* listener)
    : CZELMeter2(o, kPpmFace, listener, kBelowScale) {}

double CZELPPMMeter2::angleOf(double value) const { return ppmNeedleAngle(value); }

void CZELPPMMeter2::drawNeedles(CDrawContext* context) {
  stroke(context, reading, r1, r2, kPpmNeedle);
  if (holdVisible) stroke(context, hold, r3, r4, kPpmHold);
}

// ---------------------------------------------------------------- RMS

CZELRMSMeter2::CZELRMSMeter2(const CPoint& o, CControlListener* listener)
    : CZELMeter2(o, kRmsFace, listener, kBelowScale), rms(kBelowScale) {}

double CZELRMSMeter2::angleOf(double value) const { return rmsNeedleAngle(value); }

void CZELRMSMeter2::setRmsReading(float v) { rms = limit(v); }

CZELMeter2::Picture CZELRMSMeter2::picture() const {
  Picture p = CZELMeter2::picture();
  strokePixels(rms, r1, r2, p.strokes[2]);
  return p;
}

void CZELRMSMeter2::drawNeedles(CDrawContext* context) {
  stroke(context, rms, r1, r2, kRmsNeedle);
  stroke(context, rms, r2, r1, kRmsNeedleCentre, kCentreLineWidth);
  stroke(context, reading, r1, r2, kRmsPeak);
  stroke(context, reading, r2, r3, kRmsPeakTip);
  if (holdVisible) stroke(context, hold, r3, r4, kRmsHold);
}

}  // namespace orvane
