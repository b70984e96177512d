// One view of a channel strip: a 586-pixel-wide container with the strip's
// background and controls, built once when the window opens and then only
// shown and hidden. The strip managers own six of these (expanded and
// collapsed, one colouring per meter type) and show exactly one.
#pragma once

#include <cstdint>
#include <vector>

#include "controls/CZELHintControl.h"
#include "seam/EditorParts.h"
#include "seam/EffectSeam.h"
#include "toolkit/vstgui.h"

namespace orvane {

// A strip view is a hinted part of the window: the hint line it holds is
// the one its controls report to.
class StripEditor : public CZELHintControl {
 public:
  static constexpr int kWidth = 586;
  // Where a strip's container starts before it is first shown: under the
  // meter area.
  static constexpr int kTop = 169;
  static constexpr int kCollapsedHeight = 13;

  StripEditor(VSTGUI::CControlListener* editor, EffectSeam& effect);
  ~StripEditor() override;
  StripEditor(const StripEditor&) = delete;
  StripEditor& operator=(const StripEditor&) = delete;

  // The hint line of the meter panel of this view's colouring, handed to
  // every control of the view that shows hints.
  void setHintLabel(CHelpHintLabel* label) override;

  // Makes the view's container (with its own reference to the background)
  // for the given parent; nothing is shown yet.
  virtual bool attach(VSTGUI::CViewContainer* parent, VSTGUI::CBitmap* background, int height);
  // Takes the container out of the parent and lets go of it and of every
  // control pointer.
  virtual void detach();
  // Puts the container into the parent with its top-left corner at `where`.
  virtual void show(const VSTGUI::CPoint& where);
  // Takes it out again without destroying it.
  virtual void hide();

  // A parameter change, whether or not the view is shown.
  virtual void settingChanged(int32_t index, float value) = 0;
  // A control event of the window; a view acts on its own tags only.
  virtual void controlChanged(VSTGUI::CControl* control) = 0;
  // attach, then the controls.
  virtual bool build(VSTGUI::CViewContainer* parent, VSTGUI::CBitmap* background, bool expanded) = 0;
  // A step of the view's animation, from the editor's idle.
  virtual void animate() {}

  bool isVisible() const { return visible; }
  bool isExpanded() const { return expanded; }
  int getHeight() const { return height; }
  VSTGUI::CViewContainer* getContainer() const { return container; }
  // The control of the view with this tag, or none.
  VSTGUI::CControl* findControl(int32_t tag) const;

 protected:
  // Adds a control to the container; answers it, or none when there was
  // none to add. The container owns it.
  template <class T>
  T* add(T* control) {
    if (!control || !container) return nullptr;
    container->addView(control);
    controls.push_back(control);
    return control;
  }
  // Redraws the whole view when it is shown.
  void redraw();
  bool ownsControl(VSTGUI::CControl* control) const;

  bool visible = false;
  bool expanded = false;
  EffectSeam& effect;
  VSTGUI::CControlListener* editor;
  VSTGUI::CViewContainer* parent = nullptr;
  int height = 0;
  VSTGUI::CViewContainer* container = nullptr;
  std::vector<VSTGUI::CControl*> controls;
};

// The machinery both strips share: six views, one shown; which one the
// collapsed flag and the meter type decide, and only that one hears the
// window's control events. Every view hears every parameter change, so a
// hidden view is current when it is shown.
class StripSafeEditor : public StripManager {
 public:
  // Views by form and meter type: expanded VU, RMS, PPM, collapsed VU,
  // RMS, PPM.
  static constexpr int kViews = 6;

  StripSafeEditor(VSTGUI::CControlListener* editor, EffectSeam& effect);
  ~StripSafeEditor() override;

  bool open(VSTGUI::CFrame* frame) override;
  void close() override;
  void expand(const VSTGUI::CPoint& where, int meterType) override;
  void collapse(const VSTGUI::CPoint& where, int meterType) override;
  void parameterChanged(int32_t index, float value) override;
  void controlChanged(VSTGUI::CControl* control) override;

  // Each view writes its hints to the hint line of the panel of its meter
  // type.
  void setPanels(MeterPanel* vu, MeterPanel* rms, MeterPanel* ppm) override;
  void setHintLabels(CHelpHintLabel* vu, CHelpHintLabel* rms, CHelpHintLabel* ppm);

  bool isCollapsed() const { return collapsed; }
  int getMeterType() const { return meterType; }
  StripEditor* getView(bool expandedForm, int type) const;
  // The view on show, or none.
  StripEditor* shownView() const;

 protected:
  // A new, unbuilt view of this strip.
  virtual StripEditor* makeView() = 0;
  // The background of a view.
  virtual int32_t backgroundId(bool expandedForm, int type) const = 0;
  void showOnly(StripEditor* view, const VSTGUI::CPoint& where);

  StripEditor* views[kViews] = {};
  bool collapsed = true;
  int meterType = -1;
  VSTGUI::CControlListener* editor;
  EffectSeam& effect;
};

}  // namespace orvane
