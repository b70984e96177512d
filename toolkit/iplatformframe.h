// The native side of a frame: a child window of the host's window (Win32
// or X11), or natively a windowless surface for tests. It reports mouse and
// paint events to the frame through IPlatformFrameCallback.
#pragma once

#include <string>
#include <vector>

#include "toolkit/cbuttonstate.h"
#include "toolkit/crect.h"

namespace VSTGUI {

class CDrawContext;
class IPlatformTextEdit;
class IPlatformTextEditCallback;

class IPlatformFrameCallback {
 public:
  virtual ~IPlatformFrameCallback() = default;
  // Draw the part rect (frame coordinates) into the context.
  virtual bool platformDrawRect(CDrawContext* context, const CRect& rect) = 0;
  virtual CMouseEventResult platformOnMouseDown(CPoint& where, const CButtonState& buttons) = 0;
  virtual CMouseEventResult platformOnMouseMoved(CPoint& where, const CButtonState& buttons) = 0;
  virtual CMouseEventResult platformOnMouseUp(CPoint& where, const CButtonState& buttons) = 0;
  virtual CMouseEventResult platformOnMouseExited(CPoint& where, const CButtonState& buttons) = 0;
  virtual bool platformOnMouseWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                                    const CButtonState& buttons) = 0;
  virtual int32_t platformOnKeyDown(VstKeyCode& keyCode) = 0;
  virtual void platformOnActivate(bool state) = 0;
  // The system's scale for the screen the window is on changed (it moved
  // to another monitor): 1 at 96 DPI.
  virtual void platformOnSystemScaleChanged(double) {}
};

class IPlatformFrame : public CBaseObject {
 public:
  // Windows: a child window of parent (an HWND). Natively: an X11 child
  // window of parent (a Window id), or a windowless frame when parent is
  // null. nullptr when the window cannot be made.
  static IPlatformFrame* create(IPlatformFrameCallback* frame, const CRect& size, void* parent);

  virtual bool getSize(CRect& size) const = 0;
  virtual bool setSize(const CRect& newSize) = 0;
  // rect in frame coordinates.
  virtual bool invalidRect(const CRect& rect) = 0;
  // Paints what is invalid now rather than on the next paint message.
  virtual bool update() = 0;
  virtual bool getGlobalPosition(CPoint& pos) const = 0;
  virtual uint32_t getTicks() const = 0;
  // The native window (HWND), or nullptr.
  virtual void* getPlatformRepresentation() const = 0;
  // The system's own text edit over the control, or nullptr.
  virtual IPlatformTextEdit* createPlatformTextEdit(IPlatformTextEditCallback* textEdit) = 0;
  // Writes what the frame shows now to a PNG file (in pixels).
  virtual bool saveToPNG(UTF8StringPtr path) = 0;
  // Pixels per unit. Every size, rectangle and point that crosses this
  // interface is in units; the platform converts to and from pixels. The
  // window grows or shrinks to keep its size in units. false when refused.
  virtual bool setScaleFactor(double factor) = 0;
  virtual double getScaleFactor() const = 0;
  // The system's scale for the screen the window is on (1 at 96 DPI), as
  // far as the system tells: 0 when it cannot say (natively, or a system
  // without per-window DPI). A window the system stretches reports 1.
  virtual double getSystemScale() const { return 0; }
  // A popup menu of items at a point (units) of the window, the item
  // `checked` marked (-1: none); the chosen item's index, -1 when the user
  // chose nothing or there is no menu on this platform.
  virtual int popUpMenu(const CPoint&, const std::vector<std::string>&, int) { return -1; }
};

}  // namespace VSTGUI
