#include "toolkit/cairo/drawntextedit.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "toolkit/cdrawcontext.h"
#include "toolkit/cfont.h"

namespace VSTGUI {

namespace {

// The selection as the Windows box shows it by default: white on blue.
const CColor kSelectionBack(0, 120, 215, 255);
const CColor kSelectionText(255, 255, 255, 255);

// Above this many characters the text's width is summed character by
// character rather than measured prefix by prefix (which costs the square of
// the length); only a text set from outside can be that long.
constexpr size_t kPrefixMeasureLimit = 512;

struct CodePoint {
  size_t length;   // bytes; a malformed byte stands alone (and shows as U+FFFD)
  uint32_t value;  // U+FFFD for a malformed byte
};

// The character at s[i]: a well-formed UTF-8 sequence (no overlong form,
// surrogate or value beyond U+10FFFF), or one malformed byte.
CodePoint codePointAt(const std::string& s, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = byte(i);
  if (c < 0x80) return {1, c};
  size_t n;
  uint32_t v;
  unsigned char lo = 0x80, hi = 0xBF;
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
    v = c & 0x1f;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    v = c & 0x0f;
    if (c == 0xE0) lo = 0xA0;
    if (c == 0xED) hi = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    v = c & 0x07;
    if (c == 0xF0) lo = 0x90;
    if (c == 0xF4) hi = 0x8F;
  } else {
    return {1, 0xFFFD};
  }
  if (i + n > s.size() || byte(i + 1) < lo || byte(i + 1) > hi) return {1, 0xFFFD};
  for (size_t k = 1; k < n; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return {1, 0xFFFD};
    v = (v << 6) | (byte(i + k) & 0x3f);
  }
  return {n, v};
}

// UTF-16 units of a character: two beyond the basic plane.
int32_t unitsOf(uint32_t cp) { return cp >= 0x10000 ? 2 : 1; }

int32_t unitsOf(const std::string& s) {
  int32_t n = 0;
  for (size_t i = 0; i < s.size();) {
    const CodePoint cp = codePointAt(s, i);
    n += unitsOf(cp.value);
    i += cp.length;
  }
  return n;
}

bool isControl(uint32_t cp) { return cp < 0x20 || (cp >= 0x7f && cp < 0xa0); }

}  // namespace

DrawnTextEdit::DrawnTextEdit(IPlatformTextEditCallback* callback, Host* host)
    : IPlatformTextEdit(callback), host(host) {
  UTF8StringPtr initial = callback ? callback->platformGetText() : nullptr;
  typed = initial ? initial : "";
  layout();
  measure();
  // Opens with everything selected, the caret at the end, as the user
  // finds the Windows box.
  anchor = 0;
  caretPos = typed.size();
  scrollToCaret();
  changed();
}

DrawnTextEdit::~DrawnTextEdit() {
  if (measureContext) measureContext->forget();
  if (host) {
    host->drawnTextEditInvalid(rect);
    host->drawnTextEditEnded(this);
  }
}

bool DrawnTextEdit::getText(char* text, int32_t maxSize) {
  if (!text || maxSize <= 0) return false;
  // Cut to fit, never inside a character.
  size_t len = 0;
  for (const Stop& s : stops)
    if (s.byte <= static_cast<size_t>(maxSize - 1)) len = s.byte;
  std::memcpy(text, typed.data(), len);
  text[len] = 0;
  return true;
}

bool DrawnTextEdit::setText(UTF8StringPtr text) {
  typed = text ? text : "";
  // As the Windows box after a new text: the caret at the start.
  anchor = caretPos = 0;
  measure();
  scrollToCaret();
  changed();
  return true;
}

bool DrawnTextEdit::updateSize() {
  if (host) host->drawnTextEditInvalid(rect);
  layout();
  measure();
  scrollToCaret();
  changed();
  return true;
}

void DrawnTextEdit::layout() {
  const CRect control = textEdit ? textEdit->platformGetSize() : CRect();
  CFontRef font = textEdit ? textEdit->platformGetFont() : nullptr;
  IPlatformFont* pf = font ? font->getPlatformFont() : nullptr;
  const CCoord size = font && font->getSize() > 0 ? font->getSize() : 12;
  ascent = pf ? pf->getAscent() : size * 0.8;
  descent = pf ? pf->getDescent() : size * 0.2;
  // Where the Windows box sits: as wide as the control, as high as the text
  // with one unit above its em box and two below, around the control's
  // middle row, on whole units; its text line starts at its top.
  const CCoord middle = std::floor((control.top + control.bottom) / 2);
  const CCoord top = std::floor(middle - size / 2 - 1);
  rect = CRect(control.left, top, control.right, top + std::floor(size + 3));
  textArea = control;
  lineTop = top;
  lineBottom = std::min(rect.bottom, std::ceil(top + ascent + descent));
  baseline = top + ascent;
}

void DrawnTextEdit::measure(size_t from) {
  CFontRef font = textEdit ? textEdit->platformGetFont() : nullptr;
  IPlatformFont* pf = font ? font->getPlatformFont() : nullptr;
  IFontPainter* painter = pf ? pf->getPainter() : nullptr;
  if (painter && !measureContext) measureContext = COffscreenContext::create(nullptr, 1, 1);
  size_t count = 0;
  for (size_t i = 0; i < typed.size(); i += codePointAt(typed, i).length) ++count;
  const bool byPrefix = count <= kPrefixMeasureLimit;
  if (byPrefix != measuredByPrefix) from = 0;
  measuredByPrefix = byPrefix;
  // The text before `from` is as it was, and so are its stops: typing at
  // the end measures once, not once per character.
  while (!stops.empty() && stops.back().byte > from) stops.pop_back();
  if (stops.empty()) stops.push_back({0, 0});
  std::string part;
  for (size_t i = stops.back().byte; i < typed.size();) {
    const size_t next = i + codePointAt(typed, i).length;
    CCoord x = 0;
    if (painter) {
      if (byPrefix) {
        part.assign(typed, 0, next);
        x = painter->getStringWidth(measureContext, part.c_str(), true);
      } else {
        part.assign(typed, i, next - i);
        x = stops.back().x + painter->getStringWidth(measureContext, part.c_str(), true);
      }
    }
    // Widths never run backwards, whatever a font's rounding does.
    stops.push_back({next, std::max(x, stops.back().x)});
    i = next;
  }
}

void DrawnTextEdit::scrollToCaret() {
  const CCoord width = textArea.getWidth();
  const CCoord total = stops.back().x;
  // One unit at the right stays free for the caret after the last letter.
  if (total <= width - 1) {
    scroll = 0;
    const CHoriTxtAlign align = textEdit ? textEdit->platformGetHoriTxtAlign() : kLeftText;
    if (align == kCenterText)
      textLeft = textArea.left + (width - total) / 2;
    else if (align == kRightText)
      textLeft = textArea.right - total;
    else
      textLeft = textArea.left;
    return;
  }
  // Wider than the field: scrolled just enough to show the caret.
  const CCoord at = xOf(caretPos) - textLeft;
  if (at - scroll < 0) scroll = at;
  if (at - scroll > width - 1) scroll = at - (width - 1);
  scroll = std::clamp(scroll, CCoord(0), total - (width - 1));
  textLeft = textArea.left - scroll;
}

void DrawnTextEdit::changed() {
  if (host) host->drawnTextEditInvalid(rect);
}

CCoord DrawnTextEdit::xOf(size_t byteOffset) const {
  for (const Stop& s : stops)
    if (s.byte >= byteOffset) return textLeft + s.x;
  return textLeft + stops.back().x;
}

size_t DrawnTextEdit::boundaryAt(CCoord x) const {
  size_t best = 0;
  CCoord bestDistance = -1;
  for (const Stop& s : stops) {
    const CCoord d = std::fabs(textLeft + s.x - x);
    if (bestDistance < 0 || d < bestDistance) {
      best = s.byte;
      bestDistance = d;
    }
  }
  return best;
}

size_t DrawnTextEdit::previousBoundary(size_t from) const {
  size_t prev = 0;
  for (const Stop& s : stops) {
    if (s.byte >= from) break;
    prev = s.byte;
  }
  return prev;
}

size_t DrawnTextEdit::nextBoundary(size_t from) const {
  for (const Stop& s : stops)
    if (s.byte > from) return s.byte;
  return typed.size();
}

// Words as the Windows box steps over them with Control: back to the start
// of the word before the caret, forward past the word and the blanks after.
size_t DrawnTextEdit::previousWord(size_t from) const {
  size_t i = from;
  while (i > 0 && typed[previousBoundary(i)] == ' ') i = previousBoundary(i);
  while (i > 0 && typed[previousBoundary(i)] != ' ') i = previousBoundary(i);
  return i;
}

size_t DrawnTextEdit::nextWord(size_t from) const {
  size_t i = from;
  while (i < typed.size() && typed[i] != ' ') i = nextBoundary(i);
  while (i < typed.size() && typed[i] == ' ') i = nextBoundary(i);
  return i;
}

void DrawnTextEdit::moveCaret(size_t to, bool extend) {
  caretPos = to;
  if (!extend) anchor = to;
  scrollToCaret();
  changed();
}

void DrawnTextEdit::eraseRange(size_t from, size_t to) {
  typed.erase(from, to - from);
  anchor = caretPos = from;
  measure(from);
  scrollToCaret();
  changed();
}

void DrawnTextEdit::replaceSelection(const char* utf8) {
  const std::string in = utf8 ? utf8 : "";
  const size_t from = selectionStart(), to = selectionEnd();
  // What fits beside the rest of the text, whole characters only; what the
  // user cannot see typed (control characters) is left out.
  int32_t room = kTextLimit - (unitsOf(typed) - unitsOf(typed.substr(from, to - from)));
  std::string insert;
  for (size_t i = 0; i < in.size();) {
    const CodePoint cp = codePointAt(in, i);
    if (cp.value == 0xFFFD && cp.length == 1 && static_cast<unsigned char>(in[i]) >= 0x80) {
      ++i;  // a malformed byte is not typed
      continue;
    }
    if (!isControl(cp.value)) {
      if (unitsOf(cp.value) > room) break;
      room -= unitsOf(cp.value);
      insert.append(in, i, cp.length);
    }
    i += cp.length;
  }
  // Nothing fits: the selection stays, as in the Windows box.
  if (insert.empty()) return;
  typed.replace(from, to - from, insert);
  anchor = caretPos = from + insert.size();
  measure(from);
  scrollToCaret();
  changed();
}

bool DrawnTextEdit::keyDown(Key key, uint32_t modifiers, const char* utf8) {
  if (ending) return false;
  const bool shift = (modifiers & kShift) != 0;
  const bool control = (modifiers & kControl) != 0;
  const bool alt = (modifiers & kAlt) != 0;
  const bool hasSelection = selectionStart() != selectionEnd();
  switch (key) {
    case Key::Character:
      // Control+A as the key's letter or as the control character it makes.
      if (control && !alt && utf8 &&
          (!std::strcmp(utf8, "a") || !std::strcmp(utf8, "A") || !std::strcmp(utf8, "\x01"))) {
        anchor = 0;
        moveCaret(typed.size(), true);
        return true;
      }
      // With Control or Alt alone a key is a shortcut, not typing; both
      // together are AltGr, which types.
      if (control != alt) return false;
      if (!utf8 || !*utf8) return false;
      replaceSelection(utf8);
      return true;
    // A single-line box: up and down step as left and right do.
    case Key::Left:
    case Key::Up:
      if (hasSelection && !shift && !control)
        moveCaret(selectionStart(), false);
      else
        moveCaret(control ? previousWord(caretPos) : previousBoundary(caretPos), shift);
      return true;
    case Key::Right:
    case Key::Down:
      if (hasSelection && !shift && !control)
        moveCaret(selectionEnd(), false);
      else
        moveCaret(control ? nextWord(caretPos) : nextBoundary(caretPos), shift);
      return true;
    case Key::Home:
      moveCaret(0, shift);
      return true;
    case Key::End:
      moveCaret(typed.size(), shift);
      return true;
    case Key::Backspace:
      if (hasSelection)
        eraseRange(selectionStart(), selectionEnd());
      else if (caretPos > 0)
        eraseRange(previousBoundary(caretPos), caretPos);
      return true;
    case Key::Delete:
      if (hasSelection)
        eraseRange(selectionStart(), selectionEnd());
      else if (caretPos < typed.size())
        eraseRange(caretPos, nextBoundary(caretPos));
      return true;
    case Key::Return:
    case Key::Enter:
      endEdit(true);
      return true;
    case Key::Escape:
      return offerKey(VKEY_ESCAPE, false);
    case Key::Tab:
      return offerKey(VKEY_TAB, shift);
    case Key::Other:
      break;
  }
  return false;
}

void DrawnTextEdit::mouseDown(const CPoint& where, bool shift) {
  if (ending) return;
  dragging = true;
  moveCaret(boundaryAt(where.x), shift);
}

void DrawnTextEdit::mouseMoved(const CPoint& where) {
  if (!dragging || ending) return;
  const size_t to = boundaryAt(where.x);
  if (to != caretPos) moveCaret(to, true);
}

void DrawnTextEdit::mouseUp() { dragging = false; }

void DrawnTextEdit::loseFocus() {
  dragging = false;
  if (!ending) endEdit(false);
}

// The control usually ends the edit from these calls and lets the field go:
// the guard keeps it alive until the call is over, and nothing touches it
// after.
bool DrawnTextEdit::offerKey(unsigned char virt, bool shift) {
  if (!textEdit) return false;
  CBaseObjectGuard guard(this);
  VstKeyCode key;
  key.virt = virt;
  if (shift) key.modifier = MODIFIER_SHIFT;
  ending = true;
  const bool used = textEdit->platformOnKeyDown(key);
  ending = false;
  return used;
}

void DrawnTextEdit::endEdit(bool returnPressed) {
  if (!textEdit) return;
  CBaseObjectGuard guard(this);
  ending = true;
  textEdit->platformLooseFocus(returnPressed);
  ending = false;
}

CRect DrawnTextEdit::getCaretRect() const {
  CCoord x = std::floor(xOf(caretPos));
  x = std::clamp(x, textArea.left, textArea.right - 1);
  return CRect(x, lineTop, x + 1, lineBottom);
}

void DrawnTextEdit::draw(CDrawContext* context) {
  CFontRef font = textEdit ? textEdit->platformGetFont() : nullptr;
  if (!context || !font) return;
  context->saveGlobalState();
  CRect clip;
  context->getClipRect(clip);
  clip.bound(rect);
  if (!clip.isEmpty()) {
    context->setClipRect(clip);
    context->setFont(font);
    context->setDrawMode(kAliasing);
    const CRect caretRect = getCaretRect();
    const CPoint origin(textLeft, baseline);
    if (selectionStart() != selectionEnd()) {
      CRect selection(std::round(xOf(selectionStart())), caretRect.top, std::round(xOf(selectionEnd())),
                      caretRect.bottom);
      selection.bound(rect);
      context->setFillColor(kSelectionBack);
      context->drawRect(selection, kDrawFilled);
      context->setFontColor(textEdit->platformGetFontColor());
      context->drawString(typed.c_str(), origin);
      // The selected letters again, in the selection's text colour.
      selection.bound(clip);
      if (!selection.isEmpty()) {
        context->setClipRect(selection);
        context->setFontColor(kSelectionText);
        context->drawString(typed.c_str(), origin);
      }
    } else {
      context->setFontColor(textEdit->platformGetFontColor());
      context->drawString(typed.c_str(), origin);
      context->setFillColor(textEdit->platformGetFontColor());
      context->drawRect(caretRect, kDrawFilled);
    }
  }
  context->restoreGlobalState();
}

}  // namespace VSTGUI
