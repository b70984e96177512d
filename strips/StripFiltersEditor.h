// The filters strip: the high-pass and low-pass with their in/out, slope
// and frequency controls, the typed frequencies above the slider handles
// and the lamp that puts the filters in. Collapsed, a 13-pixel bar with the
// lamp, the caption and the show button. Its controls work only while
// "Process" is on.
#pragma once

#include "strips/StripEditor.h"

namespace orvane {

class StripFiltersEditor : public StripEditor {
 public:
  static constexpr int kExpandedHeight = 53;
  // The typed frequency entries' tags.
  static constexpr int32_t kHPEntry = 70;
  static constexpr int32_t kLPEntry = 71;
  static constexpr int32_t kCaption = 102;

  using StripEditor::StripEditor;

  void setHintLabel(CHelpHintLabel* label) override;
  void detach() override;
  void show(const VSTGUI::CPoint& where) override;
  void settingChanged(int32_t index, float value) override;
  void controlChanged(VSTGUI::CControl* control) override;
  bool build(VSTGUI::CViewContainer* parent, VSTGUI::CBitmap* background, bool expanded) override;
  // The "Process" value: the controls are active while it is on.
  virtual void setActive(float processValue);

  VSTGUI::CTextEdit* getEntry(int32_t tag) const {
    return tag == kHPEntry ? hpEntry : tag == kLPEntry ? lpEntry : nullptr;
  }

 private:
  // Puts an entry above its slider's handle with the effect's text for
  // the frequency.
  void followHandle(int32_t index, float value);

  VSTGUI::CTextEdit* hpEntry = nullptr;
  VSTGUI::CTextEdit* lpEntry = nullptr;
};

class StripFiltersSafeEditor : public StripSafeEditor {
 public:
  using StripSafeEditor::StripSafeEditor;

  // "Process" to all six views.
  void setActive(float processValue) override;

 protected:
  StripEditor* makeView() override;
  int32_t backgroundId(bool expandedForm, int type) const override;
};

}  // namespace orvane
