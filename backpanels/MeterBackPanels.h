// The three meters' back panels. Each is one table (what control edits
// which setting, on which bitmap, where, with which reset value and mouse
// tuning, and where its value is printed), and one builder makes, loads and
// routes the controls of any table; the panel classes only choose theirs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "backpanels/BackPanel.h"
#include "backpanels/BackPanelLayout.h"
#include "toolkit/ctextlabel.h"

namespace orvane {

// The rows themselves (positions, bitmaps, reset values, wheel steps) are
// in BackPanelLayout.h, which the artwork generator reads too.
const BackPanelTable& vuBackPanelTable();
const BackPanelTable& ppmBackPanelTable();
const BackPanelTable& rmsBackPanelTable();

// A row's rectangle as the toolkit takes it.
inline VSTGUI::CRect rectOf(const BackBox& b) { return VSTGUI::CRect(b.left, b.top, b.right, b.bottom); }

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
