// The full meter panels: the meter section of the window for one meter
// type. A panel is not a view but owns one, a 586 x 169 container with the
// panel's background, the controls every panel carries (meter selector,
// trim, Process, scope, Strips, manual, hint line), the meter-specific ones
// (LR/MS, channel labels, Hold, reference knob) and two needle views. It
// keeps the controls in step with the effect's parameters, pushes the
// engine's read-outs into the views on every refresh, and flips to the
// meter's settings back panel and back.
//
// The panel reaches the effect only through the EffectSeam, and the editor
// is only the listener of its controls, so a panel builds and tests with a
// fake effect.
#pragma once

#include <cstdint>

#include "seam/EditorParts.h"
#include "seam/EffectSeam.h"
#include "toolkit/ccontrol.h"
#include "toolkit/ctextlabel.h"
#include "toolkit/cviewcontainer.h"

namespace orvane {

class CZELMeter2;

class CZELMeterFULLPANEL : public MeterPanel {
 public:
  static constexpr VSTGUI::CCoord kWidth = 586;
  static constexpr VSTGUI::CCoord kHeight = 169;

  // Internal tags.
  static constexpr int32_t kTagBackPanel = 65;
  static constexpr int32_t kTagChannelLabel = 66;
  static constexpr int32_t kTagResetOvers = 67;
  static constexpr int32_t kTagTrimText = 68;
  static constexpr int32_t kTagManual = 121;

  // The common controls' bitmaps.
  static constexpr int32_t kTrimHandleBitmap = 10001;
  static constexpr int32_t kProcessBitmap = 10002;
  static constexpr int32_t kScopeBitmap = 10010;
  static constexpr int32_t kReferenceBitmap = 10013;
  static constexpr int32_t kSelectorBitmap = 10015;
  static constexpr int32_t kStripsBitmap = 10025;
  static constexpr int32_t kManualBitmap = 989;

  ~CZELMeterFULLPANEL() override;
  CZELMeterFULLPANEL(const CZELMeterFULLPANEL&) = delete;
  CZELMeterFULLPANEL& operator=(const CZELMeterFULLPANEL&) = delete;

  bool build(VSTGUI::CFrame* frame) override;
  void teardown() override;
  void show() override;
  void hide() override;
  void parameterChanged(int32_t index, float value) override;
  void controlChanged(VSTGUI::CControl* control) override;
  void refresh(float position) override;
  CHelpHintLabel* hintLabel() const override;

  int meterType() const { return type; }
  bool isBuilt() const { return built; }
  bool isShown() const;
  // The back panel is up: the meter is covered and its views paint nothing.
  bool isCovered() const;
  VSTGUI::CViewContainer* getContainer() const { return container; }
  CZELMeter2* getView(int channel) const { return channel == 0 ? viewA : channel == 1 ? viewB : nullptr; }
  // A control of the panel by tag (the channel labels: the left one).
  VSTGUI::CControl* getControl(int32_t tag) const;
  VSTGUI::CTextLabel* getHintLine() const { return hintLine; }
  BackPanelPart* getBackPanel() const { return backPanel; }
  // The meter setting the front knob shows (VU 83, RMS 72, PPM 93).
  int32_t referenceIndex() const { return look.reference; }

  // dB typed into the trim field to the trim's value: (dB + 20) / 40,
  // within 0..1; what atof reads of the text ("abc" is 0 dB). False for a
  // text that reads as no number at all.
  static bool trimFromText(const char* text, float& value);

 protected:
  // What differs between the three meters' panels.
  struct Look {
    int32_t background;
    int32_t lrmsButton;
    int32_t labelA, labelB;
    int32_t holdSwitch;
    int32_t reference;  // the reference setting's index
    float dragScale, dragFineFactor, wheelStep, wheelFineFactor;
  };
  // `editor` listens to every control; `backPanel` (owned, may be null) is
  // the meter's settings panel.
  CZELMeterFULLPANEL(int meterType, const Look& look, VSTGUI::CControlListener* editor, EffectSeam& effect,
                     BackPanelPart* backPanel);

  virtual CZELMeter2* makeView(const VSTGUI::CPoint& origin) = 0;
  // What a view takes of the engine besides needle and hold (RMS: the mean
  // square's needle).
  virtual void pushExtra(CZELMeter2*, MeterReadout&, float, int) {}
  // The reference knob shows the engine's text of its setting.
  void updateReferenceText();
  // The container's view that the meter-specific controls go into.
  void add(VSTGUI::CView* view);

  const int type;
  const Look look;
  VSTGUI::CControlListener* const editor;
  EffectSeam& effect;
  VSTGUI::CFrame* frame = nullptr;
  VSTGUI::CViewContainer* container = nullptr;
  bool built = false;
  CZELMeter2* viewA = nullptr;
  CZELMeter2* viewB = nullptr;
  BackPanelPart* backPanel = nullptr;

  VSTGUI::CControl* selector = nullptr;
  VSTGUI::CControl* trimSlider = nullptr;
  VSTGUI::CControl* trimText = nullptr;
  VSTGUI::CControl* process = nullptr;
  VSTGUI::CControl* scope = nullptr;
  VSTGUI::CControl* strips = nullptr;
  VSTGUI::CControl* manual = nullptr;
  VSTGUI::CTextLabel* hintLine = nullptr;
  VSTGUI::CControl* lrms = nullptr;
  VSTGUI::CControl* labelA = nullptr;
  VSTGUI::CControl* labelB = nullptr;
  VSTGUI::CControl* holdSwitch = nullptr;
  VSTGUI::CControl* reference = nullptr;

 private:
  void buildCommon(VSTGUI::CBitmap* background);
  void loadCommon();
  void setProcessState(float value);
  void setTrimText();
  void clearPointers();
};

class CZELVUMeterFULLPANEL : public CZELMeterFULLPANEL {
 public:
  static constexpr int32_t kBacklitIndex = 88;
  CZELVUMeterFULLPANEL(VSTGUI::CControlListener* editor, EffectSeam& effect, BackPanelPart* backPanel = nullptr);
  bool build(VSTGUI::CFrame* frame) override;
  void parameterChanged(int32_t index, float value) override;

 protected:
  CZELMeter2* makeView(const VSTGUI::CPoint& origin) override;

 private:
  void updateIllumination();
};

class CZELPPMMeterFULLPANEL : public CZELMeterFULLPANEL {
 public:
  CZELPPMMeterFULLPANEL(VSTGUI::CControlListener* editor, EffectSeam& effect, BackPanelPart* backPanel = nullptr);

 protected:
  CZELMeter2* makeView(const VSTGUI::CPoint& origin) override;
};

class CZELRMSMeterFULLPANEL : public CZELMeterFULLPANEL {
 public:
  CZELRMSMeterFULLPANEL(VSTGUI::CControlListener* editor, EffectSeam& effect, BackPanelPart* backPanel = nullptr);

 protected:
  CZELMeter2* makeView(const VSTGUI::CPoint& origin) override;
  void pushExtra(CZELMeter2* view, MeterReadout& readout, float x, int channel) override;
};

// The panel of a meter type (0 VU, 1 RMS, 2 PPM); null for any other.
MeterPanel* makeMeterPanel(int meterType, VSTGUI::CControlListener* editor, EffectSeam& effect,
                           BackPanelPart* backPanel = nullptr);

}  // namespace orvane
