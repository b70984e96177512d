#include "controls/CZELTapeLabel.h"

#include <initializer_list>

#include "controls/CZELCustomFont.h"

using namespace VSTGUI;

namespace {

// The pen's path over one round of 95 steps: it writes a few loops
// rightwards along the tape, glides back and rests, then jumps home.
struct PenMoves {
  int8_t dx[CZELTapeLabel::kPenSteps] = {};
  int8_t dy[CZELTapeLabel::kPenSteps] = {};
  PenMoves() {
    struct Group {
      int8_t dx, dy;
      std::initializer_list<int32_t> steps;
    };
    const Group groups[] = {
        {0, +1, {4, 6, 8, 10, 25, 26, 28, 29, 31, 35, 42, 45, 46, 48}},
        {+1, +1, {5, 7, 9, 11, 27, 30, 32, 34, 41, 43}},
        {+1, 0, {12, 33}},
        {+1, -1, {13, 15, 18, 36, 38, 50}},
        {0, -1, {14, 16, 17, 19, 20, 21, 37, 39, 40}},
        {+1, -2, {44, 47}},
        {0, +2, {49}},
        {-1, 0, {51, 52, 53, 54, 55, 56, 57, 58, 59, 61, 62, 63, 64, 65, 66}},
        {-1, -1, {60, 67, 68, 70, 71}},
        {-1, -2, {69}},
    };
    for (const Group& g : groups)
      for (int32_t n : g.steps) {
        dx[n] = g.dx;
        dy[n] = g.dy;
      }
  }
};

const PenMoves& penMoves() {
  static const PenMoves moves;
  return moves;
}

}  // namespace

CPoint CZELTapeLabel::penMove(int32_t n) {
  if (n <= 0 || n >= kPenSteps) return CPoint(0, 0);
  return CPoint(penMoves().dx[n], penMoves().dy[n]);
}

CZELTapeLabel::CZELTapeLabel(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background)
    : CMyTextEdit(size, listener, tag, "www.zelcraft.com", background, 0, true), penBitmap(new CBitmap(kPenBitmap)) {
  setFontColor(CColor(4, 45, 85, 205));
  CZELCustomFont* font = CZELCustomFont::acquire();
  setFont(font);
  font->forget();
  setHoriAlign(kCenterText);
  placePenHome();
}

CZELTapeLabel::~CZELTapeLabel() { penBitmap->forget(); }

void CZELTapeLabel::placePenHome() {
  // The strip's background lies under the label: draw the part it covers.
  setBackOffset(CPoint(size.left, size.top));
  CCoord right = size.right - 20;
  penHome = CRect(right - penBitmap->getWidth(), size.top, right, size.top + penBitmap->getHeight());
  penRect = penHome;
}

void CZELTapeLabel::setViewSize(const CRect& newSize, bool doInvalid) {
  CMyTextEdit::setViewSize(newSize, doInvalid);
  placePenHome();
}

void CZELTapeLabel::takeFocus() {
  // Each edit starts with the pen at home.
  penCounter = 0;
  penRect = penHome;
  if (CFrame* frame = getFrame()) lastPenStep = frame->getTicks();
  CMyTextEdit::takeFocus();
}

void CZELTapeLabel::draw(CDrawContext* context) {
  if (background) drawBack(context);
  CRect textRect(size);
  textRect.offset(0, 4);
  if (editing) {
    penBitmap->draw(context, penRect);
  } else if (!text.empty()) {
    context->setFont(fontID);
    context->setFontColor(fontColor);
    context->drawString(text.c_str(), textRect, horiTxtAlign, antialias);
  }
  setDirty(false);
}

void CZELTapeLabel::animate() {
  if (!editing) return;
  CFrame* frame = getFrame();
  if (!frame) return;
  uint32_t now = frame->getTicks();
  if (now - lastPenStep < kPenStepMs) return;  // unsigned: right across the clock's wrap
  lastPenStep = now;
  penCounter = (penCounter + 1) % kPenSteps;
  if (penCounter == 0) {
    penRect = penHome;
  } else {
    CPoint d = penMove(penCounter);
    penRect.offset(d.x, d.y);
  }
  setDirty(true);
}
