// The label strip: the tape label that names the channel, the lag time
// that delays the meter's display, and the show button. Collapsed, a
// 13-pixel bar with the caption and the show button.
#pragma once

#include <memory>

#include "strips/StripEditor.h"
#include "strips/StripSeam.h"

namespace orvane {

class StripLabelEditor : public StripEditor {
 public:
  static constexpr int kExpandedHeight = 39;
  static constexpr int32_t kLabelTag = 69;  // also the effect's "label changed" notification
  static constexpr int32_t kCaption = 102;

  StripLabelEditor(VSTGUI::CControlListener* editor, EffectSeam& effect, LabelSeam& label);

  void setHintLabel(CHelpHintLabel* label) override;
  void detach() override;
  void settingChanged(int32_t index, float value) override;
  void controlChanged(VSTGUI::CControl* control) override;
  bool build(VSTGUI::CViewContainer* parent, VSTGUI::CBitmap* background, bool expanded) override;
  void animate() override;

  VSTGUI::CTextEdit* getTapeLabel() const { return tapeLabel; }

 private:
  void loadLabel();

  LabelSeam& label;
  VSTGUI::CControl* showButton = nullptr;
  VSTGUI::CControl* lagControl = nullptr;
  VSTGUI::CTextEdit* tapeLabel = nullptr;
};

class StripLabelSafeEditor : public StripSafeEditor {
 public:
  StripLabelSafeEditor(VSTGUI::CControlListener* editor, EffectSeam& effect, LabelSeam& label);
  // Owning the label's seam, which then lives as long as the strip.
  StripLabelSafeEditor(VSTGUI::CControlListener* editor, EffectSeam& effect, std::unique_ptr<LabelSeam> label);
  ~StripLabelSafeEditor() override;

  // The tape label's pen moves while the label is being written.
  void idle() override;

 protected:
  StripEditor* makeView() override;
  int32_t backgroundId(bool expandedForm, int type) const override;

  std::unique_ptr<LabelSeam> ownedLabel;
  LabelSeam& label;
};

}  // namespace orvane
