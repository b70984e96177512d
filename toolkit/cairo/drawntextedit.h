// The edit field the toolkit draws itself where the platform has no system
// edit box to open over a control (an X11 window). It behaves as the box on
// Windows does for the user: it opens with all of its text selected, Return
// or Enter keeps the typing, a click elsewhere keeps it too, Escape and Tab
// go to the control first (a text edit's Escape puts the old text back),
// and at most 255 UTF-16 units can be typed.
//
// It has no background: the views under it draw the control (which leaves
// its own text out while it is edited) and the field draws the typed text,
// the selection and the caret on top, in the control's font, font colour and
// horizontal alignment, where the Windows box shows them (as high as the
// text, centred on the control's middle row). Text wider than the field
// scrolls so that the caret stays in view.
//
// The platform frame makes one for a control's takeFocus and hands it to the
// control, which owns it (it starts with one reference and goes when the
// control forgets it). The frame feeds it keys and mouse events, draws it
// after the views, and learns through Host what to repaint and when the field
// has gone. All coordinates are the frame's units (before its zoom).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/iplatformtextedit.h"

namespace VSTGUI {

class COffscreenContext;

class DrawnTextEdit : public IPlatformTextEdit {
 public:
  // The platform frame that shows the field.
  class Host {
   public:
    virtual ~Host() = default;
    // This part of the frame shows something new.
    virtual void drawnTextEditInvalid(const CRect& rectInFrameUnits) = 0;
    // Called once, as the field is destroyed (the control let it go): drop
    // the pointer and give the keyboard focus back. Nothing of the field may
    // be called any more.
    virtual void drawnTextEditEnded(DrawnTextEdit* edit) = 0;
  };

  enum class Key { Character, Left, Right, Up, Down, Home, End, Backspace, Delete, Return, Enter, Escape, Tab, Other };
  enum Modifiers : uint32_t { kShift = 1, kControl = 2, kAlt = 4 };

  // The longest text that can be typed, in UTF-16 units, as the Windows box
  // takes (a character beyond U+FFFF counts two).
  static constexpr int32_t kTextLimit = 255;

  DrawnTextEdit(IPlatformTextEditCallback* callback, Host* host);
  ~DrawnTextEdit() override;
  DrawnTextEdit(const DrawnTextEdit&) = delete;
  DrawnTextEdit& operator=(const DrawnTextEdit&) = delete;

  // IPlatformTextEdit. setText is not held to the limit (nor is the text the
  // field opens with): only typing is.
  bool getText(char* text, int32_t maxSize) override;
  bool setText(UTF8StringPtr text) override;
  // Follows the control to its new place.
  bool updateSize() override;

  // A key press; true when the field (or, for Escape and Tab, the control)
  // used it. utf8 is the typed text for Key::Character (several characters
  // when an input method commits them); control characters in it are
  // dropped. Control+A selects all. With Control or Alt alone a character is
  // a shortcut and types nothing; Control with Alt (AltGr) types.
  // Return, Enter, Escape and Tab may end with the field destroyed: the
  // caller must not touch it after those unless it holds a reference.
  bool keyDown(Key key, uint32_t modifiers, const char* utf8);
  // A press places the caret at the nearest character boundary (with Shift
  // it extends the selection there); moves while the button is down drag
  // the selection.
  void mouseDown(const CPoint& whereInFrameUnits, bool shift);
  void mouseMoved(const CPoint& whereInFrameUnits);
  void mouseUp();
  // The keyboard focus went elsewhere (a click outside the field, another
  // window): keeps the typing. May end with the field destroyed.
  void loseFocus();
  // Draws text, selection and caret, clipped to getRect(); call after the
  // views, on a context whose offset is the frame's origin.
  void draw(CDrawContext* context);

  // The part of the frame the field draws in.
  CRect getRect() const { return rect; }
  // The caret as drawn (one unit wide); for an input method's window too.
  CRect getCaretRect() const;
  // Caret and selection as byte offsets into the UTF-8 text, always on
  // character boundaries.
  size_t selectionStart() const { return anchor < caretPos ? anchor : caretPos; }
  size_t selectionEnd() const { return anchor < caretPos ? caretPos : anchor; }
  size_t caret() const { return caretPos; }
  const std::string& text() const { return typed; }

  // The frame goes before the field (its window was destroyed with the
  // control still holding the field): no more calls to it.
  void detachHost() { host = nullptr; }

 private:
  struct Stop {
    size_t byte;  // where a character starts (or the text ends)
    CCoord x;     // the width of the text before it
  };

  // Places the field from the control's rectangle and font.
  void layout();
  // The stops of the text as it is now, from the byte offset on (a
  // character boundary before which nothing changed).
  void measure(size_t from = 0);
  void scrollToCaret();
  // Asks the frame to repaint the field.
  void changed();
  void moveCaret(size_t to, bool extend);
  void eraseRange(size_t from, size_t to);
  void replaceSelection(const char* utf8);
  size_t previousBoundary(size_t from) const;
  size_t nextBoundary(size_t from) const;
  size_t previousWord(size_t from) const;
  size_t nextWord(size_t from) const;
  // The character boundary nearest to x.
  size_t boundaryAt(CCoord x) const;
  CCoord xOf(size_t byteOffset) const;
  bool offerKey(unsigned char virt, bool shift);
  void endEdit(bool returnPressed);

  Host* host;
  std::string typed;
  size_t anchor = 0;    // the selection's fixed end
  size_t caretPos = 0;  // its moving end, where the caret is
  bool dragging = false;
  bool ending = false;  // while the control is told the edit ends

  CRect rect;            // where the field draws
  CRect textArea;        // the control's rectangle: where text lines up
  CCoord baseline = 0;   // of the text, in frame units
  CCoord lineTop = 0, lineBottom = 0;  // of the caret and the selection
  CCoord ascent = 0, descent = 0;
  CCoord textLeft = 0;   // x of the text's start, scrolled
  CCoord scroll = 0;     // how far the text is scrolled left
  // One per character and one at the end, found when the text changes.
  std::vector<Stop> stops;
  bool measuredByPrefix = true;
  COffscreenContext* measureContext = nullptr;
};

}  // namespace VSTGUI
