// A Linux host's side of the editor, for the native window tests: a
// top-level X window of the editor's size that the plug-in opens into, the
// host's idle timer, screenshots with XGetImage, and the user's mouse and
// keyboard sent as real input through the XTest extension. The host has a
// connection of its own, as a host application has; the editor has its own.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <cairo.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "tools/vsthost/VstHost.h"

namespace x11_test {

// Pixels as 8-bit BGRA, top row first (cairo's ARGB32 on this machine).
using vsthost::Image;

inline bool writePNG(const std::string& path, const Image& image) {
  if (image.width <= 0) return false;
  cairo_surface_t* s = cairo_image_surface_create_for_data(const_cast<uint8_t*>(image.bgra.data()), CAIRO_FORMAT_ARGB32,
                                                           image.width, image.height, image.width * 4);
  const bool ok = cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(s);
  return ok;
}

inline bool readPNG(const std::string& path, Image& image) {
  cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(png) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(png);
    return false;
  }
  // Whatever the file's format, as opaque ARGB32 rows without padding.
  image.width = cairo_image_surface_get_width(png);
  image.height = cairo_image_surface_get_height(png);
  image.bgra.assign(size_t(image.width) * image.height * 4, 0);
  cairo_surface_t* s = cairo_image_surface_create_for_data(image.bgra.data(), CAIRO_FORMAT_ARGB32, image.width,
                                                           image.height, image.width * 4);
  cairo_t* cr = cairo_create(s);
  cairo_set_source_surface(cr, png, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_destroy(s);
  cairo_surface_destroy(png);
  return true;
}

// A window's size in pixels; false when the window is gone.
inline bool windowSize(Display* display, Window w, int& width, int& height) {
  XWindowAttributes a;
  if (!w || !XGetWindowAttributes(display, w, &a)) return false;
  width = a.width;
  height = a.height;
  return true;
}

// What a window shows, as the screen has it.
inline bool captureWindow(Display* display, Window window, vsthost::Image& image) {
  XSync(display, False);
  int w = 0, h = 0;
  if (!windowSize(display, window, w, h)) return false;
  XImage* x = XGetImage(display, window, 0, 0, w, h, AllPlanes, ZPixmap);
  if (!x) return false;
  image.width = w;
  image.height = h;
  image.bgra.resize(size_t(w) * h * 4);
  for (int y = 0; y < h; ++y)
    for (int c = 0; c < w; ++c) {
      const unsigned long p = XGetPixel(x, c, y);
      uint8_t* o = &image.bgra[(size_t(y) * w + c) * 4];
      o[0] = p & 0xff;
      o[1] = (p >> 8) & 0xff;
      o[2] = (p >> 16) & 0xff;
      o[3] = 255;
    }
  XDestroyImage(x);
  return true;
}

class HostWindow {
 public:
  explicit HostWindow(vsthost::Plugin& plugin, int left = 40, int top = 40) : plugin_(plugin) {
    display_ = XOpenDisplay(nullptr);
    if (!display_) return;
    ERect* r = nullptr;
    plugin_.dispatch(effEditGetRect, 0, 0, &r);
    if (!r) return;
    width_ = r->right - r->left;
    height_ = r->bottom - r->top;
    XSetWindowAttributes a = {};
    a.background_pixel = BlackPixel(display_, DefaultScreen(display_));
    a.event_mask = StructureNotifyMask | SubstructureNotifyMask;
    window_ = XCreateWindow(display_, DefaultRootWindow(display_), left, top, width_, height_, 0, CopyFromParent,
                            InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &a);
    XMapWindow(display_, window_);
    XSync(display_, False);
  }
  ~HostWindow() {
    close();
    if (display_) {
      if (window_) XDestroyWindow(display_, window_);
      XCloseDisplay(display_);
    }
  }
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  Display* display() const { return display_; }
  // The host destroys its window, the editor's still open inside it.
  void destroyWindow() {
    if (window_) XDestroyWindow(display_, window_);
    window_ = 0;
    XSync(display_, False);
  }
  Window window() const { return window_; }
  bool isOpen() const { return open_; }

  bool open() {
    if (!window_ || open_) return false;
    open_ = plugin_.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(window_))) != 0;
    sizeCalls_ = plugin_.host().sizeWindowCalls.size();
    follow();
    return open_;
  }
  void close() {
    if (open_) plugin_.dispatch(effEditClose);
    open_ = false;
    if (display_) XSync(display_, False);
  }

  // The host's timer: effEditIdle every `intervalMs` for `ms`, the host's
  // own connection drained in between.
  void idle(int ms, int intervalMs = 15) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
      idleOnce();
      std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
    } while (std::chrono::steady_clock::now() < end);
    idleOnce();
  }
  void idleOnce() {
    if (open_) plugin_.dispatch(effEditIdle);
    follow();
    while (display_ && XPending(display_)) {
      XEvent e;
      XNextEvent(display_, &e);
    }
  }

  // The editor's child window (the plug-in's), or 0.
  Window editorWindow() const {
    Window root, parent, *children = nullptr;
    unsigned int n = 0;
    Window found = 0;
    if (XQueryTree(display_, window_, &root, &parent, &children, &n) && n > 0) found = children[n - 1];
    if (children) XFree(children);
    return found;
  }
  int childCount() const {
    Window root, parent, *children = nullptr;
    unsigned int n = 0;
    XQueryTree(display_, window_, &root, &parent, &children, &n);
    if (children) XFree(children);
    return static_cast<int>(n);
  }
  bool sizeOf(Window w, int& width, int& height) const { return windowSize(display_, w, width, height); }

  // What the host's window shows, as the screen has it.
  bool capture(Image& image) { return captureWindow(display_, window_, image); }

  // Real input through the server, at points of the host's window.
  void moveTo(int x, int y) {
    int rx = 0, ry = 0;
    Window child;
    XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), x, y, &rx, &ry, &child);
    XTestFakeMotionEvent(display_, DefaultScreen(display_), rx, ry, CurrentTime);
    XFlush(display_);
    idle(20, 10);
  }
  void button(unsigned int b, bool down) {
    XTestFakeButtonEvent(display_, b, down, CurrentTime);
    XFlush(display_);
    idle(20, 10);
  }
  void click(int x, int y, unsigned int b = 1) {
    moveTo(x, y);
    button(b, true);
    button(b, false);
  }
  void wheel(int x, int y, int notches) {
    moveTo(x, y);
    for (int n = 0; n < std::abs(notches); ++n) {
      button(notches > 0 ? 4 : 5, true);
      button(notches > 0 ? 4 : 5, false);
    }
  }
  void key(KeySym sym, bool down) {
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, sym), down, CurrentTime);
    XFlush(display_);
    idle(20, 10);
  }

 private:
  // The size the plug-in asked for with audioMasterSizeWindow: the host
  // makes its window that size, as hosts do.
  void follow() {
    const auto& calls = plugin_.host().sizeWindowCalls;
    if (calls.size() == sizeCalls_ || !display_) return;
    sizeCalls_ = calls.size();
    width_ = calls.back().first;
    height_ = static_cast<int>(calls.back().second);
    XResizeWindow(display_, window_, width_, height_);
    XSync(display_, False);
  }

  vsthost::Plugin& plugin_;
  Display* display_ = nullptr;
  Window window_ = 0;
  int width_ = 0, height_ = 0;
  bool open_ = false;
  size_t sizeCalls_ = 0;
};

}  // namespace x11_test
