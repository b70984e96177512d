#include "editor/AEffGUIEditor.h"

#include "core/AudioEffect.h"
#include "toolkit/cframe.h"

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect) : AEffEditor(effect) {
  rect.top = rect.left = rect.bottom = rect.right = 0;
  lLastTicks = getTicks();
  if (effect) effect->setEditor(this);
}

AEffGUIEditor::~AEffGUIEditor() {
  // Whoever deletes an editor that is still the effect's leaves the effect
  // with none rather than with a dangling one.
  if (effect && effect->getEditor() == this) effect->setEditor(nullptr);
}

bool AEffGUIEditor::getRect(ERect** r) {
  if (!r) return false;
  *r = &rect;
  return true;
}

namespace {

VSTGUI::VstKeyCode toToolkit(const VstKeyCode& key) {
  VSTGUI::VstKeyCode k;
  k.character = key.character;
  k.virt = key.virt;
  k.modifier = key.modifier;
  return k;
}

}  // namespace

bool AEffGUIEditor::onKeyDown(VstKeyCode& key) {
  if (!frame) return false;
  VSTGUI::VstKeyCode k = toToolkit(key);
  return frame->onKeyDown(k) == 1;
}

bool AEffGUIEditor::onKeyUp(VstKeyCode& key) {
  if (!frame) return false;
  VSTGUI::VstKeyCode k = toToolkit(key);
  return frame->onKeyUp(k) == 1;
}

bool AEffGUIEditor::setKnobMode(int mode) {
  if (mode < VSTGUI::kCircularMode || mode > VSTGUI::kLinearMode) return false;
  knobMode = mode;
  return true;
}

// Only the parameters the host knows: a gesture on a control of the
// window's own (the manual button, a back-panel flip) is none of its
// business.
bool AEffGUIEditor::isHostParameter(int32_t index) const {
  return effect && index >= 0 && index < effect->getAeffect()->numParams;
}

bool AEffGUIEditor::beginEdit(int32_t index) {
  return isHostParameter(index) && effect->callHost(audioMasterBeginEdit, index) != 0;
}

bool AEffGUIEditor::endEdit(int32_t index) {
  return isHostParameter(index) && effect->callHost(audioMasterEndEdit, index) != 0;
}

void AEffGUIEditor::doIdleStuff() {
  if (inIdleStuff) return;
  lLastTicks = getTicks();
  inIdleStuff = true;
  if (effect) effect->callHost(audioMasterIdle);
  inIdleStuff = false;
}

uint32_t AEffGUIEditor::frameTickCount() const {
  // The editor's clock is the frame's (getTicks: the system tick count).
  return windowLive.load(std::memory_order_acquire) ? getTicks() : 4294967295u;
}

void AEffGUIEditor::frameCreated() {
  windowLive.store(frame && frame->isOpen(), std::memory_order_release);
  frameLive.store(frame != nullptr, std::memory_order_release);
}

void AEffGUIEditor::frameClosing() {
  frameLive.store(false, std::memory_order_release);
  windowLive.store(false, std::memory_order_release);
}
