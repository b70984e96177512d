// The settings side of a meter. Flipping the meter round brings up its back
// panel, a 261-pixel-high plate over the meter (and over the strips, which
// it covers whatever they do) on which the meter's settings and the
// settings scope are edited; a click on an empty spot of the plate turns
// the meter back and stores the Global settings.
//
// A back panel reaches the effect only through the EffectSeam; the editor
// is only the listener of its controls. Every edit goes the long way round:
// control → editor → full panel → controlChanged → the effect's
// setParameter (engine, store of the scope) → the effect tells the editor →
// full panel → settingChanged → control and value label. So what a control
// shows is always what the effect holds, wherever the change came from.
#pragma once

#include <cstdint>

#include "backpanels/BackPanelLayout.h"
#include "controls/CZELOnOffButton.h"
#include "controls/CZELSelectors.h"
#include "seam/EditorParts.h"
#include "seam/EffectSeam.h"
#include "toolkit/cmoviebitmap.h"
#include "toolkit/cviewcontainer.h"

namespace orvane {

// The plate that holds a back panel's controls. A click that no control
// takes is a click on an empty spot: the container reports its close
// button (tag 65) to the listener, which turns the meter back.
class CZELBackPanelContainer : public VSTGUI::CViewContainer {
 public:
  CZELBackPanelContainer(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener);
  ~CZELBackPanelContainer() override;
  CZELBackPanelContainer(const CZELBackPanelContainer&) = delete;
  CZELBackPanelContainer& operator=(const CZELBackPanelContainer&) = delete;

  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  // A wheel turned over an empty spot stops here: the meter under the
  // plate must not take it.
  bool onWheel(const VSTGUI::CPoint& where, const VSTGUI::CMouseWheelAxis& axis, const float& distance,
               const VSTGUI::CButtonState& buttons) override;
  using VSTGUI::CViewContainer::onWheel;

  CZELOnOffButton* getCloseButton() const { return closeButton; }

  CLASS_METHODS_NOCOPY(CZELBackPanelContainer, VSTGUI::CViewContainer)

 private:
  CZELOnOffButton* closeButton;
  VSTGUI::CControlListener* listener;
};

class BackPanel : public BackPanelPart {
 public:
  static constexpr int32_t kScopeIndex = 2;
  static constexpr int32_t kStripsIndex = 6;
  static constexpr int32_t kCloseTag = 65;
  static constexpr int32_t kScopeSelectorBitmap = 10014;
  static constexpr int32_t kScopeStripBitmap = 10016;
  // The selector shows the three choices in its left 86 pixels; with the
  // strips hidden the window ends at 169, the strip at 180 is out of
  // sight, and the selector widens to show its own explanation.
  static constexpr VSTGUI::CCoord kSelectorNarrow = 86;
  static constexpr VSTGUI::CCoord kSelectorWide = 581;
  static constexpr VSTGUI::CCoord kStripTop = kBackScopeStripTop;
  // Above the front panel and the strips, whichever of them come and go.
  static constexpr int32_t kZLayer = 1;

  BackPanel(EffectSeam& effect, VSTGUI::CControlListener* editor);
  ~BackPanel() override;
  BackPanel(const BackPanel&) = delete;
  BackPanel& operator=(const BackPanel&) = delete;

  bool build(VSTGUI::CFrame* parent) override = 0;
  // Makes the container on the background, with the scope selector and the
  // scope strip; false without a parent or a background.
  virtual bool attach(VSTGUI::CViewContainer* parent, VSTGUI::CBitmap* background);
  void detach() override;
  void show() override;
  void hide() override;
  bool isShown() const override { return visible; }
  void settingChanged(int32_t index, float value) override;
  void controlChanged(VSTGUI::CControl* control) override;

  CZELBackPanelContainer* getContainer() const { return container; }
  VSTGUI::CControl* getScopeSelector() const { return selector; }
  VSTGUI::CControl* getScopeStrip() const { return strip; }

 protected:
  // The selector's width for the strips' state now.
  VSTGUI::CCoord selectorWidth();
  void loadScope();

  bool visible = false;
  EffectSeam& effect;
  VSTGUI::CControlListener* const editor;
  VSTGUI::CViewContainer* parent = nullptr;
  CZELBackPanelContainer* container = nullptr;
  CZELCalibrationControl* selector = nullptr;
  VSTGUI::CMovieBitmap* strip = nullptr;
};

// The value shown for a setting: within 0..1, and `fallback` for NaN.
float clampedSetting(float value, float fallback);

}  // namespace orvane
