// The native frame in a Linux host: a child window of the host's X11
// window, on a display connection of the frame's own. The views draw with
// cairo into an image the size of the window (the back buffer); what they
// repainted, and what the server asks for with Expose, is copied from it to
// the window. The host's idle (the user-interface thread) drains the
// connection: no thread of our own, nothing X11 on the audio thread.
#include "toolkit/x11/x11frame.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo-xlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "toolkit/cairo/cairodrawcontext.h"
#include "toolkit/cairo/drawntextedit.h"
#include "toolkit/cairo/nativeframe.h"
#include "toolkit/iplatformframe.h"
#include "toolkit/platformsupport.h"
#include "toolkit/x11/x11input.h"

namespace VSTGUI {

namespace {

// X errors go to one handler for the whole process, whose default ends the
// process. A host may destroy its window (and so ours with it) before it
// closes the editor: the errors that then come back on our connection must
// not end the host. While one of our calls runs, errors of our connections
// are noted and dropped; errors of any other connection go to the handler
// the host had. The handler is put back when the call ends.
thread_local int (*tPreviousHandler)(Display*, XErrorEvent*) = nullptr;
thread_local Display* tTrappedDisplay = nullptr;
thread_local int tTrappedErrors = 0;

int trapError(Display* display, XErrorEvent* error) {
  if (display == tTrappedDisplay) {
    ++tTrappedErrors;
    return 0;
  }
  return tPreviousHandler ? tPreviousHandler(display, error) : 0;
}

class ErrorTrap {
 public:
  explicit ErrorTrap(Display* display) : savedDisplay(tTrappedDisplay), savedErrors(tTrappedErrors) {
    tTrappedDisplay = display;
    tTrappedErrors = 0;
    auto previous = XSetErrorHandler(trapError);
    // Inside another frame's trap the host's handler is already kept.
    installed = previous != trapError;
    if (installed) tPreviousHandler = previous;
  }
  ~ErrorTrap() {
    if (installed) {
      XSetErrorHandler(tPreviousHandler);
      tPreviousHandler = nullptr;
    }
    tTrappedDisplay = savedDisplay;
    tTrappedErrors = savedErrors;
  }
  int errors() const { return tTrappedErrors; }
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;

 private:
  Display* savedDisplay;
  int savedErrors;
  bool installed = false;
};

// No keys: X gives a key to the deepest window under the pointer that asks
// for keys, so a window that always asked would take the host's shortcuts
// (the space bar, the transport keys) whenever the mouse is over it. Hosts
// pass keys on with effEditKeyDown; the window asks for them only while an
// edit field has the keyboard.
constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                            LeaveWindowMask | FocusChangeMask | StructureNotifyMask;
constexpr long kTypingMask = kEventMask | KeyPressMask | KeyReleaseMask;

int pixels(CCoord units, double scale) { return std::max(1, static_cast<int>(std::lround(units * scale))); }

DrawnTextEdit::Key drawnKeyOf(x11::TextKey key) {
  using K = DrawnTextEdit::Key;
  switch (key) {
    case x11::TextKey::Character:
      return K::Character;
    case x11::TextKey::Left:
      return K::Left;
    case x11::TextKey::Right:
      return K::Right;
    case x11::TextKey::Home:
      return K::Home;
    case x11::TextKey::End:
      return K::End;
    case x11::TextKey::Backspace:
      return K::Backspace;
    case x11::TextKey::Delete:
      return K::Delete;
    case x11::TextKey::Return:
      return K::Return;
    case x11::TextKey::Escape:
      return K::Escape;
    case x11::TextKey::Tab:
      return K::Tab;
    case x11::TextKey::Other:
      break;
  }
  return K::Other;
}

uint32_t drawnModifiersOf(uint32_t modifiers) {
  uint32_t m = 0;
  if (modifiers & MODIFIER_SHIFT) m |= DrawnTextEdit::kShift;
  if (modifiers & MODIFIER_CONTROL) m |= DrawnTextEdit::kControl;
  if (modifiers & MODIFIER_ALTERNATE) m |= DrawnTextEdit::kAlt;
  return m;
}

// The window's side of the drawn field a control has open. The control owns
// the field and may let it go inside any call made here (Return, Escape, the
// focus going): the field then tells the frame, which clears `edit` before
// the field is gone, so nothing here touches it after such a call.
class FieldInput : public X11TextInput {
 public:
  DrawnTextEdit* edit = nullptr;

  CRect textInputRect() const override { return edit ? edit->getRect() : CRect(); }
  bool keyDown(x11::TextKey key, uint32_t modifiers, const char* utf8) override {
    return edit && edit->keyDown(drawnKeyOf(key), drawnModifiersOf(modifiers), utf8);
  }
  void mouseDown(const CPoint& where, bool shift) override {
    if (edit) edit->mouseDown(where, shift);
  }
  void mouseMoved(const CPoint& where) override {
    if (edit) edit->mouseMoved(where);
  }
  void mouseUp() override {
    if (edit) edit->mouseUp();
  }
  void loseFocus() override {
    if (edit) edit->loseFocus();
  }
  void draw(CDrawContext* context) override {
    if (edit) edit->draw(context);
  }
};

class X11Frame : public X11PlatformFrame, private DrawnTextEdit::Host {
 public:
  X11Frame(IPlatformFrameCallback* frame, const CRect& inSize, Window parent)
      : frame(frame), size(0, 0, inSize.getWidth(), inSize.getHeight()) {
    display = XOpenDisplay(nullptr);
    if (!display) {
      const char* name = XDisplayName(nullptr);
      std::fprintf(stderr, "ZEL Orvane: cannot open the X display \"%s\"; the editor stays closed\n", name ? name : "");
      return;
    }
    ErrorTrap trap(display);
    XSetWindowAttributes attributes = {};
    attributes.event_mask = kEventMask;
    attributes.background_pixmap = None;  // the back buffer paints everything: no flash of a background
    attributes.bit_gravity = NorthWestGravity;
    window = XCreateWindow(display, parent, 0, 0, pixels(size.getWidth(), scale), pixels(size.getHeight(), scale), 0,
                           CopyFromParent, InputOutput, CopyFromParent, CWEventMask | CWBackPixmap | CWBitGravity,
                           &attributes);
    XWindowAttributes wa = {};
    if (!window || !XGetWindowAttributes(display, window, &wa) || trap.errors()) {
      std::fprintf(stderr, "ZEL Orvane: cannot open a window in the host's window 0x%lx; the editor stays closed\n",
                   static_cast<unsigned long>(parent));
      window = 0;
      return;
    }
    surface = cairo_xlib_surface_create(display, window, wa.visual, wa.width, wa.height);
    makeImage();
    XMapWindow(display, window);
    XFlush(display);
  }

  ~X11Frame() override {
    // A control still holding its field outlives the window: the field
    // must not call back into it.
    if (field.edit) {
      field.edit->detachHost();
      field.edit = nullptr;
    }
    textInput = nullptr;
    if (!display) return;
    {
      ErrorTrap trap(display);
      if (inputContext) XDestroyIC(inputContext);
      if (inputMethod) XCloseIM(inputMethod);
      if (surface) cairo_surface_destroy(surface);
      if (pixelView) cairo_surface_destroy(pixelView);
      if (window && !windowGone) XDestroyWindow(display, window);
      XSync(display, False);
    }
    if (image) image->forget();
    // Closing runs cairo's own clean-up of the connection; errors it meets
    // on a window the host destroyed are ours to drop.
    ErrorTrap trap(display);
    XCloseDisplay(display);
  }

  bool isValid() const { return window != 0 && surface != nullptr; }

  bool getSize(CRect& s) const override {
    s = size;
    return true;
  }

  bool setSize(const CRect& newSize) override {
    CRect s(0, 0, newSize.getWidth(), newSize.getHeight());
    if (s.isEmpty()) return false;
    size = s;
    resizeWindow();
    return true;
  }

  bool invalidRect(const CRect& rect) override {
    CRect r(rect);
    r.bound(size);
    if (r.isEmpty()) return true;
    // A few separate rectangles (two needles far apart stay two small
    // paints); past that they merge into one.
    for (CRect& d : dirty)
      if (rectsTouch(d, r)) {
        d.unite(r);
        return true;
      }
    if (dirty.size() < kMaxDirty) {
      dirty.push_back(r);
    } else {
      dirty.front().unite(r);
    }
    return true;
  }

  // Hands the connection's events to the frame, then paints what is
  // invalid and copies it, and what the server asked for, to the window.
  bool update() override {
    if (!isValid()) return false;
    // An event may close the frame, which lets this object go: it stays
    // alive to the end of this call and stops as soon as it is the only
    // one holding itself.
    CBaseObjectGuard guard(this);
    ErrorTrap trap(display);
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      // The input method sees every event first (composing, pre-editing).
      if (inputContext && XFilterEvent(&event, None)) continue;
      handle(event);
      if (getNbReference() == 1) return false;
    }
    if (windowGone) return false;
    bool painted = paintDirty();
    if (!exposed.isEmpty()) {
      copyToWindow(exposed);
      exposed = CRect();
      painted = true;
    }
    if (painted) XFlush(display);
    return painted;
  }

  bool getGlobalPosition(CPoint& pos) const override {
    if (!isValid()) return false;
    ErrorTrap trap(display);
    int x = 0, y = 0;
    Window child;
    if (!XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child)) return false;
    pos = CPoint(x / scale, y / scale);
    return true;
  }

  uint32_t getTicks() const override { return getPlatformTicks(); }
  void* getPlatformRepresentation() const override { return reinterpret_cast<void*>(window); }

  // Linux has no system edit box: a field drawn by the toolkit takes its
  // place. The control owns it; the window feeds it and takes the keyboard
  // for it until it ends.
  IPlatformTextEdit* createPlatformTextEdit(IPlatformTextEditCallback* callback) override {
    if (!callback || !isValid()) return nullptr;
    endOpenField();
    auto* edit = new DrawnTextEdit(callback, this);
    field.edit = edit;
    beginTextInput(&field);
    return edit;
  }

  // What the window shows: the back buffer, with all that was invalid
  // painted.
  bool saveToPNG(UTF8StringPtr path) override {
    update();
    return image && image->writePNG(path);
  }

  bool setScaleFactor(double factor) override {
    if (!(factor > 0)) return false;
    if (factor == scale) return true;
    scale = factor;
    resizeWindow();
    return true;
  }
  double getScaleFactor() const override { return scale; }

  int32_t getPaintCount() const override { return paintCount; }
  unsigned long getWindow() const override { return window; }

  void beginTextInput(X11TextInput* input) override {
    if (!input || !isValid()) return;
    ErrorTrap trap(display);
    if (!textInput) {
      // The keyboard is the host's: it comes back when the field ends.
      int revert = 0;
      XGetInputFocus(display, &previousFocus, &revert);
    }
    textInput = input;
    draggingInInput = false;
    openInputContext();
    XSelectInput(display, window, kTypingMask);
    // A focus change queued before this one (the keyboard handed back as
    // the previous field ended) must not end the new field.
    focusSerial = NextRequest(display);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    if (inputContext) XSetICFocus(inputContext);
    invalidRect(input->textInputRect());
    XFlush(display);
  }

  void endTextInput(X11TextInput* input) override {
    if (!input || input != textInput) return;
    textInput = nullptr;
    draggingInInput = false;
    invalidRect(input->textInputRect());
    if (!isValid()) return;
    ErrorTrap trap(display);
    if (inputContext) XUnsetICFocus(inputContext);
    XSelectInput(display, window, kEventMask);
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    if (focus == window)
      XSetInputFocus(display, previousFocus != None ? previousFocus : PointerRoot, RevertToParent, CurrentTime);
    XFlush(display);
  }

 private:
  static constexpr size_t kMaxDirty = 8;

  static bool rectsTouch(const CRect& a, const CRect& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
  }

  int pixelWidth() const { return pixels(size.getWidth(), scale); }
  int pixelHeight() const { return pixels(size.getHeight(), scale); }

  // The back buffer: drawn in units through cairo's device scale, copied to
  // the window in pixels through a second surface on the same memory.
  void makeImage() {
    if (pixelView) cairo_surface_destroy(pixelView);
    pixelView = nullptr;
    if (image) image->forget();
    image = nullptr;
    if (IPlatformBitmap* pb = IPlatformBitmap::create(CPoint(pixelWidth(), pixelHeight()))) {
      image = new CBitmap(pb);
      if (cairo_surface_t* s = cairoSurfaceOf(image)) {
        cairo_surface_flush(s);
        pixelView = cairo_image_surface_create_for_data(
            cairo_image_surface_get_data(s), cairo_image_surface_get_format(s), cairo_image_surface_get_width(s),
            cairo_image_surface_get_height(s), cairo_image_surface_get_stride(s));
        cairo_surface_set_device_scale(s, scale, scale);
      }
    }
    dirty.assign(1, size);
    exposed = CRect();
  }

  void resizeWindow() {
    if (!isValid()) return;
    ErrorTrap trap(display);
    XResizeWindow(display, window, pixelWidth(), pixelHeight());
    cairo_xlib_surface_set_size(surface, pixelWidth(), pixelHeight());
    makeImage();
    XFlush(display);
  }

  bool paintDirty() {
    if (dirty.empty() || !image) return false;
    std::vector<CRect> areas;
    areas.swap(dirty);
    for (const CRect& area : areas) {
      {
        CairoDrawContext context(image);
        context.beginDraw();
        // The part to repaint starts white, as the Windows frame clears it.
        if (cairo_t* cr = context.getCairo()) {
          cairo_save(cr);
          cairo_rectangle(cr, area.left, area.top, area.getWidth(), area.getHeight());
          cairo_set_source_rgb(cr, 1, 1, 1);
          cairo_fill(cr);
          cairo_restore(cr);
        }
        frame->platformDrawRect(&context, area);
        if (textInput) {
          CRect r = textInput->textInputRect();
          if (rectsTouch(r, area)) {
            context.saveGlobalState();
            context.setClipRect(area);
            textInput->draw(&context);
            context.restoreGlobalState();
          }
        }
        context.endDraw();
      }
      ++paintCount;
      copyToWindow(CRect(std::floor(area.left * scale), std::floor(area.top * scale), std::ceil(area.right * scale),
                         std::ceil(area.bottom * scale)));
    }
    // The vector's memory is kept for the next rectangles.
    areas.clear();
    if (dirty.empty()) dirty.swap(areas);
    return true;
  }

  void drawnTextEditInvalid(const CRect& r) override { invalidRect(r); }

  void drawnTextEditEnded(DrawnTextEdit* edit) override {
    if (edit != field.edit) return;
    // The field is being destroyed: its rectangle is still good, nothing else.
    endTextInput(&field);
    field.edit = nullptr;
  }

  // A second field opening while one is open: the first keeps its typing,
  // as when the keyboard goes elsewhere, and is no longer this window's.
  void endOpenField() {
    DrawnTextEdit* open = field.edit;
    if (!open) return;
    CBaseObjectGuard guard(open);
    open->loseFocus();
    if (field.edit == open) {
      endTextInput(&field);
      field.edit = nullptr;
      open->detachHost();
    }
  }

  // r in pixels.
  void copyToWindow(const CRect& r) {
    if (!pixelView || !surface) return;
    if (cairo_surface_t* s = cairoSurfaceOf(image)) cairo_surface_flush(s);
    cairo_surface_mark_dirty(pixelView);
    cairo_t* cr = cairo_create(surface);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, pixelView, 0, 0);
    cairo_rectangle(cr, r.left, r.top, r.getWidth(), r.getHeight());
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
  }

  // Typed text goes through an input method where one is running (XIM),
  // so composed and non-Latin characters arrive as UTF-8; made on the first
  // edit, as most windows never see one.
  void openInputContext() {
    if (inputContext || triedInputMethod) return;
    triedInputMethod = true;
    inputMethod = XOpenIM(display, nullptr, nullptr, nullptr);
    if (!inputMethod) return;
    inputContext = XCreateIC(inputMethod, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, window,
                             XNFocusWindow, window, nullptr);
    if (!inputContext) {
      XCloseIM(inputMethod);
      inputMethod = nullptr;
    }
  }

  // The key and its text for the edit field.
  void typeInto(X11TextInput* input, XKeyEvent& key) {
    char text[64] = {0};
    KeySym sym = NoSymbol;
    int n = 0;
    if (inputContext) {
      Status status = 0;
      n = Xutf8LookupString(inputContext, &key, text, sizeof text - 1, &sym, &status);
      if (status == XBufferOverflow || status == XLookupNone) n = 0;
      if (status == XLookupChars) sym = NoSymbol;
    } else {
      // No input method: Latin-1 from the keymap, as UTF-8.
      char latin[8];
      const int m = XLookupString(&key, latin, sizeof latin, &sym, nullptr);
      for (int i = 0; i < m; ++i) {
        const unsigned char c = static_cast<unsigned char>(latin[i]);
        if (c < 0x80) {
          text[n++] = static_cast<char>(c);
        } else {
          text[n++] = static_cast<char>(0xC0 | (c >> 6));
          text[n++] = static_cast<char>(0x80 | (c & 0x3F));
        }
      }
    }
    text[n] = 0;
    // Control and Alt turn letters into control characters: the field gets
    // the letter with its modifiers (Control+A selects all).
    if (n == 1 && (static_cast<unsigned char>(text[0]) < 0x20 || text[0] == 0x7f)) {
      if (sym >= 0x20 && sym < 0x7f) {
        text[0] = static_cast<char>(sym);
      } else {
        n = 0;
        text[0] = 0;
      }
    }
    const x11::TextKey k = x11::textKeyOf(sym, n > 0);
    if (k == x11::TextKey::Other) return;
    input->keyDown(k, x11::textModifiers(key.state), text);
  }

  CPoint unitsAt(int x, int y) const { return CPoint(x / scale, y / scale); }

  bool insideWindow(int x, int y) const { return x >= 0 && y >= 0 && x < pixelWidth() && y < pixelHeight(); }

  // Each case returns straight after calling out: the callback may have
  // closed the frame.
  void handle(XEvent& e) {
    IPlatformFrameCallback* cb = frame;
    switch (e.type) {
      case Expose: {
        CRect r(e.xexpose.x, e.xexpose.y, e.xexpose.x + e.xexpose.width, e.xexpose.y + e.xexpose.height);
        if (exposed.isEmpty())
          exposed = r;
        else
          exposed.unite(r);
        return;
      }
      case DestroyNotify:
        if (e.xdestroywindow.window == window) windowGone = true;
        return;
      case ButtonPress: {
        const XButtonEvent& b = e.xbutton;
        CMouseWheelAxis axis;
        float distance;
        if (x11::wheelStep(b.button, axis, distance)) {
          cb->platformOnMouseWheel(unitsAt(b.x, b.y), axis, distance, x11::buttonFlags(b.state));
          return;
        }
        if (b.button < Button1 || b.button > Button3) return;
        if (textInput && b.button == Button1 && textInput->textInputRect().pointInside(unitsAt(b.x, b.y))) {
          draggingInInput = true;
          textInput->mouseDown(unitsAt(b.x, b.y), (b.state & ShiftMask) != 0);
          return;
        }
        int32_t flags = x11::buttonFlags(b.state, b.button);
        if (clicks.press(b.button, b.time, b.x, b.y)) flags |= kDoubleClick;
        CPoint p = unitsAt(b.x, b.y);
        cb->platformOnMouseDown(p, flags);
        return;
      }
      case ButtonRelease: {
        const XButtonEvent& b = e.xbutton;
        if (b.button < Button1 || b.button > Button3) return;
        if (draggingInInput) {
          draggingInInput = false;
          if (textInput) textInput->mouseUp();
          return;
        }
        CPoint p = unitsAt(b.x, b.y);
        // The state still holds the button that went up, as the Windows
        // frame adds it.
        const int32_t flags = x11::buttonFlags(b.state, b.button);
        const bool leftWhileHeld = pointerLeftWhileHeld && !insideWindow(b.x, b.y);
        cb->platformOnMouseUp(p, flags);
        if (leftWhileHeld && getNbReference() > 1) {
          pointerLeftWhileHeld = false;
          CPoint out(-1, -1);
          cb->platformOnMouseExited(out, x11::modifierFlags(b.state));
        }
        return;
      }
      case MotionNotify: {
        // Only the latest of a run of moves matters.
        while (XCheckTypedWindowEvent(display, window, MotionNotify, &e)) {
        }
        CPoint p = unitsAt(e.xmotion.x, e.xmotion.y);
        if (draggingInInput && textInput) {
          textInput->mouseMoved(p);
          return;
        }
        cb->platformOnMouseMoved(p, x11::buttonFlags(e.xmotion.state));
        return;
      }
      case EnterNotify: {
        pointerLeftWhileHeld = false;
        if (e.xcrossing.mode != NotifyNormal) return;
        CPoint p = unitsAt(e.xcrossing.x, e.xcrossing.y);
        cb->platformOnMouseMoved(p, x11::buttonFlags(e.xcrossing.state));
        return;
      }
      case LeaveNotify: {
        if (e.xcrossing.mode != NotifyNormal || e.xcrossing.detail == NotifyInferior) return;
        // While a button is held the window keeps the mouse (as a captured
        // Windows window does); it has left when the button goes up.
        if (e.xcrossing.state & (Button1Mask | Button2Mask | Button3Mask)) {
          pointerLeftWhileHeld = true;
          return;
        }
        CPoint p(-1, -1);
        cb->platformOnMouseExited(p, x11::modifierFlags(e.xcrossing.state));
        return;
      }
      case FocusOut:
        // The host (or another window) took the keyboard: the field ends.
        if (textInput && e.xfocus.mode == NotifyNormal && e.xfocus.detail != NotifyInferior &&
            e.xfocus.detail != NotifyPointer && e.xfocus.serial >= focusSerial)
          textInput->loseFocus();
        return;
      case KeyPress: {
        if (textInput) {
          typeInto(textInput, e.xkey);
          return;
        }
        // A key that was on its way when the field ended: the frame's, as
        // the Windows frame passes keys on.
        KeySym sym = NoSymbol;
        char text[16];
        XLookupString(&e.xkey, text, sizeof text, &sym, nullptr);
        VstKeyCode key;
        if (x11::keyCodeOf(sym, e.xkey.state, key)) cb->platformOnKeyDown(key);
        return;
      }
      default:
        return;
    }
  }

  IPlatformFrameCallback* frame;
  Display* display = nullptr;
  Window window = 0;
  cairo_surface_t* surface = nullptr;
  cairo_surface_t* pixelView = nullptr;
  CBitmap* image = nullptr;
  CRect size;
  double scale = 1.0;
  std::vector<CRect> dirty;
  CRect exposed;  // pixels
  x11::DoubleClickDetector clicks;
  bool pointerLeftWhileHeld = false;
  bool windowGone = false;
  int32_t paintCount = 0;
  X11TextInput* textInput = nullptr;
  FieldInput field;
  bool draggingInInput = false;
  Window previousFocus = None;
  unsigned long focusSerial = 0;  // of the request that took the keyboard
  XIM inputMethod = nullptr;
  XIC inputContext = nullptr;
  bool triedInputMethod = false;
};

}  // namespace

// Without a host's window the frame is windowless (tests, off-screen
// pictures); with one it is an X11 child window of it.
IPlatformFrame* IPlatformFrame::create(IPlatformFrameCallback* frame, const CRect& size, void* parent) {
  if (!frame) return nullptr;
  if (!parent) return new NativePlatformFrame(frame, size);
  auto* f = new X11Frame(frame, size, static_cast<Window>(reinterpret_cast<uintptr_t>(parent)));
  if (!f->isValid()) {
    f->forget();
    return nullptr;
  }
  return f;
}

}  // namespace VSTGUI
