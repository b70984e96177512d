#include "strips/StripEditor.h"

#include <algorithm>

#include "strips/StripControls.h"

using namespace VSTGUI;

namespace orvane {

StripEditor::StripEditor(CControlListener* editor, EffectSeam& effect) : effect(effect), editor(editor) {}

StripEditor::~StripEditor() { detach(); }

void StripEditor::setHintLabel(CHelpHintLabel* label) { CZELHintControl::setHintLabel(label); }

bool StripEditor::attach(CViewContainer* newParent, CBitmap* background, int newHeight) {
  if (!newParent || !background) return false;
  detach();
  parent = newParent;
  height = newHeight;
  container = new CViewContainer(CRect(0, kTop, kWidth, kTop + height), newParent->getFrame(), background);
  return true;
}

void StripEditor::detach() {
  controls.clear();
  visible = false;
  if (!container) return;
  if (parent && parent->isChild(container)) parent->removeView(container, true);
  container->forget();
  container = nullptr;
}

void StripEditor::show(const CPoint& where) {
  if (!container || !parent) return;
  container->setViewSize(CRect(where.x, where.y, where.x + kWidth, where.y + height), true);
  container->setMouseableArea(container->getViewSize());
  if (!parent->isChild(container)) {
    container->remember();  // the parent's reference; ours stays with us
    parent->addView(container);
  }
  visible = true;
  container->invalid();
}

void StripEditor::hide() {
  if (container && parent && parent->isChild(container)) {
    container->invalid();
    parent->removeView(container, true);
  }
  visible = false;
}

CControl* StripEditor::findControl(int32_t tag) const {
  for (CControl* c : controls)
    if (c->getTag() == tag) return c;
  return nullptr;
}

bool StripEditor::ownsControl(CControl* control) const {
  return control && std::find(controls.begin(), controls.end(), control) != controls.end();
}

void StripEditor::redraw() {
  if (container && visible) container->invalid();
}

// ---------------------------------------------------------------- manager

namespace {
int slotOf(bool expandedForm, int type) { return (expandedForm ? 0 : 3) + type; }
bool isMeterType(int type) { return type >= 0 && type < 3; }
}  // namespace

StripSafeEditor::StripSafeEditor(CControlListener* editor, EffectSeam& effect) : editor(editor), effect(effect) {}

StripSafeEditor::~StripSafeEditor() { close(); }

StripEditor* StripSafeEditor::getView(bool expandedForm, int type) const {
  return isMeterType(type) ? views[slotOf(expandedForm, type)] : nullptr;
}

StripEditor* StripSafeEditor::shownView() const { return getView(!collapsed, meterType); }

bool StripSafeEditor::open(CFrame* frame) {
  close();
  if (!frame) return false;
  // Collapsed before expanded, VU, RMS, PPM: the order the views are made
  // in. A view whose background or controls could not be made stays out;
  // the others carry on.
  for (int type = 0; type < 3; ++type) {
    for (bool expandedForm : {false, true}) {
      StripEditor* view = makeView();
      if (!view) continue;
      CBitmap* background = new CBitmap(CResourceDescription(backgroundId(expandedForm, type)));
      if (view->build(frame, background, expandedForm))
        views[slotOf(expandedForm, type)] = view;
      else
        delete view;
      background->forget();
    }
  }
  collapsed = true;
  meterType = -1;
  return true;
}

void StripSafeEditor::close() {
  for (StripEditor* view : views)
    if (view) view->detach();
  for (StripEditor*& view : views) {
    delete view;
    view = nullptr;
  }
  meterType = -1;
}

void StripSafeEditor::showOnly(StripEditor* view, const CPoint& where) {
  for (StripEditor* v : views)
    if (v && v != view) v->hide();
  if (view) view->show(where);
}

void StripSafeEditor::expand(const CPoint& where, int type) {
  collapsed = false;
  meterType = type;
  showOnly(getView(true, type), where);
}

void StripSafeEditor::collapse(const CPoint& where, int type) {
  collapsed = true;
  meterType = type;
  showOnly(getView(false, type), where);
}

void StripSafeEditor::parameterChanged(int32_t index, float value) {
  for (StripEditor* v : views)
    if (v) v->settingChanged(index, value);
}

void StripSafeEditor::controlChanged(CControl* control) {
  if (StripEditor* v = shownView()) v->controlChanged(control);
}

void StripSafeEditor::setPanels(MeterPanel* vu, MeterPanel* rms, MeterPanel* ppm) {
  setHintLabels(vu ? vu->hintLabel() : nullptr, rms ? rms->hintLabel() : nullptr, ppm ? ppm->hintLabel() : nullptr);
}

void StripSafeEditor::setHintLabels(CHelpHintLabel* vu, CHelpHintLabel* rms, CHelpHintLabel* ppm) {
  CHelpHintLabel* lines[3] = {vu, rms, ppm};
  for (int type = 0; type < 3; ++type)
    for (bool expandedForm : {true, false})
      if (StripEditor* v = getView(expandedForm, type)) v->setHintLabel(lines[type]);
}

}  // namespace orvane
