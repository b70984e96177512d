// Base types of the view toolkit: the reference-counted object every view,
// bitmap and font derives from, the coordinate type and a few shared names.
#pragma once

#include <cstdint>
#include <cstring>

namespace VSTGUI {

typedef double CCoord;
typedef const char* UTF8StringPtr;
typedef char* UTF8StringBuffer;
typedef const char* IdStringPtr;

// Reference counting as the whole toolkit does it: an object starts with one
// reference owned by whoever created it; remember() adds one, forget() drops
// one and deletes the object when none is left.
class CBaseObject {
 public:
  CBaseObject() = default;
  virtual ~CBaseObject() = default;
  CBaseObject(const CBaseObject&) : nbReference(1) {}
  CBaseObject& operator=(const CBaseObject&) { return *this; }

  virtual void remember() { ++nbReference; }
  virtual void forget() {
    if (--nbReference == 0) delete this;
  }
  int32_t getNbReference() const { return nbReference; }

 private:
  int32_t nbReference = 1;
};

// Keeps an object alive for a scope, for calls that may end with the object
// removing itself from its parent.
class CBaseObjectGuard {
 public:
  explicit CBaseObjectGuard(CBaseObject* obj) : obj(obj) {
    if (obj) obj->remember();
  }
  ~CBaseObjectGuard() {
    if (obj) obj->forget();
  }
  CBaseObjectGuard(const CBaseObjectGuard&) = delete;
  CBaseObjectGuard& operator=(const CBaseObjectGuard&) = delete;

 private:
  CBaseObject* obj;
};

// A key as the host reports it; same layout as the VST 2.4 key record.
struct VstKeyCode {
  int32_t character = 0;
  unsigned char virt = 0;
  unsigned char modifier = 0;
};

enum VirtualKeyCodes {
  VKEY_BACK = 1, VKEY_TAB, VKEY_CLEAR, VKEY_RETURN, VKEY_PAUSE, VKEY_ESCAPE,
  VKEY_SPACE, VKEY_NEXT, VKEY_END, VKEY_HOME, VKEY_LEFT, VKEY_UP, VKEY_RIGHT,
  VKEY_DOWN, VKEY_PAGEUP, VKEY_PAGEDOWN, VKEY_ENTER = 19
};
enum KeyModifier { MODIFIER_SHIFT = 1 << 0, MODIFIER_ALTERNATE = 1 << 1, MODIFIER_COMMAND = 1 << 2, MODIFIER_CONTROL = 1 << 3 };

// Class identity for isTypeOf() and copies for newCopy(), in every view.
#define CLASS_METHODS(name, parent)                                  \
  bool isTypeOf(VSTGUI::IdStringPtr s) const override {              \
    return std::strcmp(s, #name) == 0 ? true : parent::isTypeOf(s);  \
  }                                                                  \
  VSTGUI::CView* newCopy() const override { return new name(*this); }

#define CLASS_METHODS_NOCOPY(name, parent)                           \
  bool isTypeOf(VSTGUI::IdStringPtr s) const override {              \
    return std::strcmp(s, #name) == 0 ? true : parent::isTypeOf(s);  \
  }                                                                  \
  VSTGUI::CView* newCopy() const override { return nullptr; }

}  // namespace VSTGUI
