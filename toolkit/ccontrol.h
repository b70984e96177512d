// A view with a value: minimum, maximum, default, a tag that tells the
// listener which control spoke, and the begin/end of a user gesture. The
// value is clamped to min … max after every change, and the control is
// dirty whenever its value differs from the one last drawn.
#pragma once

#include "toolkit/cview.h"

namespace VSTGUI {

class CControl;

class CControlListener {
 public:
  virtual ~CControlListener() = default;
  virtual void valueChanged(CControl* control) = 0;
  // A click with a modifier or the right button, offered before the control
  // sees it; non-zero when the listener took it.
  virtual int32_t controlModifierClicked(CControl* /*control*/, CButtonState /*button*/) { return 0; }
  virtual void controlBeginEdit(CControl* /*control*/) {}
  virtual void controlEndEdit(CControl* /*control*/) {}
};

class CControl : public CView {
 public:
  CControl(const CRect& size, CControlListener* listener = nullptr, int32_t tag = 0,
           CBitmap* background = nullptr);
  CControl(const CControl& c);

  virtual void setValue(float val);
  virtual float getValue() const { return value; }
  virtual void setMin(float val) { vmin = val; }
  virtual float getMin() const { return vmin; }
  virtual void setMax(float val) { vmax = val; }
  virtual float getMax() const { return vmax; }
  float getRange() const { return vmax - vmin; }
  // The value between min and max as 0 … 1.
  float getValueNormalized() const;
  void setValueNormalized(float val);
  virtual void setDefaultValue(float val) { defaultValue = val; }
  virtual float getDefaultValue() const { return defaultValue; }
  virtual void setOldValue(float val) { oldValue = val; }
  virtual float getOldValue() const { return oldValue; }
  virtual void setTag(int32_t val) { tag = val; }
  virtual int32_t getTag() const { return tag; }
  virtual void setListener(CControlListener* l) { listener = l; }
  CControlListener* getListener() const { return listener; }
  void setWheelInc(float val) { wheelInc = val; }
  float getWheelInc() const { return wheelInc; }

  // A user gesture on the control: the listener and the editor (through the
  // frame) hear of its start and end. Nested calls count; only the outermost
  // pair is reported.
  virtual void beginEdit();
  virtual void endEdit();
  bool isEditing() const { return editing > 0; }

  // Tells the listener the value changed (the control keeps its dirty state).
  virtual void valueChanged();
  // Clamps the value to min … max.
  virtual void bounceValue();
  // Control-click with the left button: back to the default value, tells the
  // listener, answers true.
  virtual bool checkDefaultValue(CButtonState button);

  bool isDirty() const override;
  void setDirty(const bool val = true) override;

  CLASS_METHODS(CControl, CView)

 protected:
  CControlListener* listener;
  int32_t tag;
  float oldValue = 1.f;
  float defaultValue = 0.5f;
  float value = 0.f;
  float vmin = 0.f;
  float vmax = 1.f;
  float wheelInc = 0.1f;
  int32_t editing = 0;
};

}  // namespace VSTGUI
