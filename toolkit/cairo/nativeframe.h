// The native build's platform pieces that tests drive directly: the
// windowless frame, which paints into an image the size of the frame, and
// the text box that stands in for the system's edit control.
#pragma once

#ifndef _WIN32

#include <string>

#include "toolkit/cbitmap.h"
#include "toolkit/iplatformframe.h"
#include "toolkit/iplatformtextedit.h"

namespace VSTGUI {

class NativeTextEdit;

class NativePlatformFrame : public IPlatformFrame {
 public:
  NativePlatformFrame(IPlatformFrameCallback* frame, const CRect& size);
  ~NativePlatformFrame() override;

  bool getSize(CRect& size) const override;
  bool setSize(const CRect& newSize) override;
  bool invalidRect(const CRect& rect) override;
  // Paints the invalid part into the image, as a paint message would.
  bool update() override;
  bool getGlobalPosition(CPoint& pos) const override;
  uint32_t getTicks() const override;
  void* getPlatformRepresentation() const override { return nullptr; }
  IPlatformTextEdit* createPlatformTextEdit(IPlatformTextEditCallback* textEdit) override;
  bool saveToPNG(UTF8StringPtr path) override;
  // The image has the frame's size times the factor in pixels, and cairo
  // draws units through the surface's device scale.
  bool setScaleFactor(double factor) override;
  double getScaleFactor() const override { return scale; }

  // What the frame shows (after update()).
  CBitmap* getImage() const { return image; }
  // The part still waiting to be painted, and what the last paint covered.
  const CRect& getInvalidRect() const { return invalid; }
  const CRect& getLastPaintRect() const { return lastPaint; }
  int32_t getPaintCount() const { return paintCount; }
  // The text box open now, or nullptr.
  NativeTextEdit* getTextEdit() const { return textEdit; }

 private:
  friend class NativeTextEdit;
  IPlatformFrameCallback* frame;
  void makeImage();
  CRect size;
  double scale = 1.0;
  CBitmap* image = nullptr;
  CRect invalid;
  CRect lastPaint;
  int32_t paintCount = 0;
  NativeTextEdit* textEdit = nullptr;
};

// Holds the typed text; a test types with setText and ends the edit with
// pressReturn() or loseFocus(), as a user would with the keyboard or mouse.
class NativeTextEdit : public IPlatformTextEdit {
 public:
  NativeTextEdit(NativePlatformFrame* owner, IPlatformTextEditCallback* callback);
  ~NativeTextEdit() override;

  bool getText(char* text, int32_t maxSize) override;
  bool setText(UTF8StringPtr text) override;
  bool updateSize() override;

  void pressReturn() { textEdit->platformLooseFocus(true); }
  void loseFocus() { textEdit->platformLooseFocus(false); }
  bool pressKey(const VstKeyCode& key) { return textEdit->platformOnKeyDown(key); }
  const std::string& text() const { return typed; }
  const CRect& getRect() const { return rect; }

 private:
  friend class NativePlatformFrame;
  NativePlatformFrame* owner;
  std::string typed;
  CRect rect;
};

}  // namespace VSTGUI

#endif
