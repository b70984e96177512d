// The three meters' back panels. Each is one table (what control edits
// which setting, on which bitmap, where, with which reset value and mouse
// tuning, and where its value is printed), and one builder makes, loads and
// routes the controls of any table; the panel classes only choose theirs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "backpanels/BackPanel.h"
#include "toolkit/ccolor.h"
#include "toolkit/ctextlabel.h"

namespace orvane {

enum class BackControl {
  kKnob,  // continuous: CAnimKnob4
  kVuBackLitKnob,
  kVuLedRefKnob,
  kVuOverLedKnob,
  kPpmLedRefKnob,
  kPpmOverLedKnob,
  kRmsLedRefKnob,
  kRmsOverLedKnob,
  kSwitch3,  // three positions side by side: CZELHorizontalSwitch
  kOnOff,    // two states: CZELOnOffButton, the wheel turns it on up, off down
};

// How a knob follows the mouse (CAnimKnob4): dragScale × 1000 pixels of
// drag for the whole range, dragFineFactor times more with Shift; a wheel
// notch moves wheelStep, times wheelFineFactor with Shift.
struct KnobTuning {
  float dragScale, dragFineFactor, wheelFineFactor;
};
// 200 pixels for the whole range, ten times finer with Shift, a tenth of a
// step per notch with Shift: one notch of a reference knob is 1 dB, with
// Shift 0.1 dB.
constexpr KnobTuning kContinuousTuning = {0.2f, 10.f, 0.1f};
// A stepped knob moves one whole position per notch, Shift or not.
constexpr KnobTuning kSteppedTuning = {0.1f, 1.f, 1.f};

struct BackControlRow {
  int32_t tag;  // the meter setting it edits
  BackControl kind;
  int32_t bitmap;
  VSTGUI::CCoord left, top;
  // Knobs only: the value a reset click (Control-click, double-click) puts
  // back, the setting's default; the wheel's step; the mouse tuning.
  float resetValue;
  float wheelStep;
  const KnobTuning* tuning;
};

struct BackLabelRow {
  int32_t tag;  // the setting whose engine text it prints
  VSTGUI::CRect rect;
  const char* placeholder;
};

struct BackPanelTable {
  const char* name;
  int meterType;  // 0 VU, 1 RMS, 2 PPM
  int32_t background;
  int32_t knobStrip;
  const BackControlRow* controls;
  size_t controlCount;
  const BackLabelRow* labels;
  size_t labelCount;
  VSTGUI::CRect versionRect;
  VSTGUI::CColor labelColour;
};

const BackPanelTable& vuBackPanelTable();
const BackPanelTable& ppmBackPanelTable();
const BackPanelTable& rmsBackPanelTable();
// By meter type; null for any other.
const BackPanelTable* backPanelTable(int meterType);

// The product's version as the version label prints it, from the vendor
// version the host reads (3050 is "v.3.0.5"); empty for none.
void versionText(int32_t vendorVersion, char* text, size_t size);

// A back panel built from its table.
class TableBackPanel : public BackPanel {
 public:
  TableBackPanel(const BackPanelTable& table, EffectSeam& effect, VSTGUI::CControlListener* editor);
  ~TableBackPanel() override;

  bool build(VSTGUI::CFrame* parent) override;
  void detach() override;
  void show() override;
  void settingChanged(int32_t index, float value) override;
  void controlChanged(VSTGUI::CControl* control) override;

  const BackPanelTable& getTable() const { return table; }
  // The control of a row's tag (null before build or after detach), the
  // value label of a setting (null for a setting without one) and the
  // version label.
  VSTGUI::CControl* getControl(int32_t tag) const;
  VSTGUI::CTextLabel* getValueLabel(int32_t tag) const;
  VSTGUI::CTextLabel* getVersionLabel() const { return versionLabel; }

 protected:
  int rowOf(int32_t tag) const;
  int labelOf(int32_t tag) const;
  VSTGUI::CControl* makeControl(const BackControlRow& row, VSTGUI::CBitmap* knobStrip);
  void loadControl(size_t row, float value);
  void loadLabel(size_t label);

  const BackPanelTable& table;
  // One borrowed pointer per row and per value label, in table order.
  static constexpr size_t kMaxRows = 12;
  VSTGUI::CControl* controls[kMaxRows] = {};
  VSTGUI::CTextLabel* labels[kMaxRows] = {};
  VSTGUI::CTextLabel* versionLabel = nullptr;
};

class VUBackPanel : public TableBackPanel {
 public:
  VUBackPanel(EffectSeam& effect, VSTGUI::CControlListener* editor);
};

class PPMBackPanel : public TableBackPanel {
 public:
  PPMBackPanel(EffectSeam& effect, VSTGUI::CControlListener* editor);
};

class RMSBackPanel : public TableBackPanel {
 public:
  RMSBackPanel(EffectSeam& effect, VSTGUI::CControlListener* editor);
};

// The back panel of a meter type (0 VU, 1 RMS, 2 PPM); null for any other.
BackPanelPart* makeBackPanel(int meterType, EffectSeam& effect, VSTGUI::CControlListener* editor);

}  // namespace orvane
