// The plug-in's window. One editor exists per instance, made inside the
// effect's constructor and owned by it to the end; the host opens and
// closes the window any number of times in between. The editor builds the
// frame with its background, the three full meter panels (one shown, by
// the "Meter" parameter) and the two channel strips under the meter area;
// it sizes the window to the strips, routes parameter changes to the views
// and control changes to the effect, and drives the meters from the host's
// idle calls.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/CPresetSystemEditor.h"
#include "seam/EditorParts.h"
#include "editor/ParameterMailbox.h"
#include "editor/TempleteSeam.h"
#include "toolkit/cbitmap.h"

class Templete;
class MyFrame;

class TemepleteEditor : public CPresetSystemEditor {
 public:
  static constexpr int kWidth = 586;
  // The meter area alone; the window's height before its first opening.
  static constexpr int kMeterAreaHeight = 169;
  static constexpr int kInitialHeight = 195;
  static constexpr int32_t kBackgroundBitmap = 10000;

  explicit TemepleteEditor(Templete* effect, orvane::DesktopServices& desktop = orvane::systemDesktop());
  ~TemepleteEditor() override;

  bool open(void* parentWindow) override;
  void close() override;
  void idle() override;
  // Any thread. On the window's own thread the views follow at once; from
  // any other thread (a host automating from its audio thread) the change
  // is recorded and the views follow on the next idle.
  void setParameter(VstInt32 index, float value) override;
  void valueChanged(VSTGUI::CControl* control) override;

  // Shows the panel of the meter type that a "Meter" value selects.
  void selectMeter(float value);
  // Ends the typing in an open text field as a click elsewhere would, so
  // what was typed is kept: before the window closes or the field's view
  // makes way for another, while its part still knows the field.
  void commitTyping();
  // Stacks the strips under the meter area for the current "Strips",
  // "ShowFlt" and "ShowLbl" values; with resize, the window follows.
  void layoutStrips(bool resize);
  // Gives the frame, the host's window and the host's idea of the editor
  // this height in units; the width stays 586 units.
  void resizeHeight(int height);

  // Zoom lives in one place, the frame's scale factor: the system's scale
  // (the host's scale request, else the DPI of the host's window) times the
  // user's zoom, at most 4. The views keep their 586-unit layout; getRect
  // reports the window in pixels, and the host is asked to resize whenever
  // that changes, open or not.
  static constexpr double kMaxScale = 4.0;
  // One of kEditorZoomLevels (1 … 2); false, changing nothing, otherwise.
  bool setZoom(double userZoom);
  double getZoom() const { return userZoom; }
  // The screen's scale (1 at 96 DPI). Zero, negative, NaN or above 4 is
  // refused. Once the host has sent one, the window's own DPI no longer
  // counts.
  bool setSystemScale(double scale) override;
  double getSystemScale() const { return systemScale; }
  double getScaleFactor() const;
  // The user's choice: the zoom, remembered for every later window with
  // the Global settings.
  bool chooseZoom(double userZoom);
  // The menu of the zoom levels, the current one checked, at a point of
  // the window (units); what the user picks is chosen.
  void showZoomMenu(const VSTGUI::CPoint& where);

  // The window height for a strip layout: the meter area, then the filters
  // strip (53 expanded, 13 collapsed) and the label strip (39 or 13) while
  // the strips are shown.
  static int stripLayoutHeight(bool strips, bool showFlt, bool showLbl);

  Templete* getTemplete() const { return templete; }
  VSTGUI::CBitmap* getBackground() const { return background; }
  MyFrame* getMyFrame() const;
  void* getParentWindow() const { return systemWindow; }
  int getCurrentMeter() const { return currentMeter; }
  orvane::MeterPanel* getPanel(int meterType) const;
  orvane::StripManager* getFiltersStrip() const { return filtersStrip; }
  orvane::StripManager* getLabelStrip() const { return labelStrip; }
  // What the window's parts reach the effect through.
  orvane::EffectSeam& getEffectSeam() { return seam; }

 protected:
  // The window's parts, made at every opening. A part that is not there
  // (yet) is skipped wherever the editor would talk to it.
  virtual orvane::MeterPanel* createPanel(int meterType);
  // The settings panel behind a meter; the meter panel owns it.
  virtual orvane::BackPanelPart* createBackPanel(int meterType);
  virtual orvane::StripManager* createFiltersStrip();
  virtual orvane::StripManager* createLabelStrip();
  // Shows the menu of labels with `checked` marked and answers the index
  // picked, or -1: the system's popup menu (none natively); tests answer
  // for the user.
  virtual int popUpZoomMenu(const VSTGUI::CPoint& where, const std::vector<std::string>& labels, int checked);

 private:
  bool onWindowThread() const;
  // What setParameter does to the views, on the window's thread.
  void applyParameter(VstInt32 index, float value);
  void applyPendingParameters();
  void destroyParts();
  // Sets the frame's scale factor and the window's size in pixels from the
  // zoom, the system's scale and the layout's height.
  void applyScale();
  void applyWindowSize();

  Templete* templete;
  TempleteSeam seam;
  VSTGUI::CBitmap* background = nullptr;
  orvane::MeterPanel* panels[3] = {nullptr, nullptr, nullptr};
  orvane::StripManager* filtersStrip = nullptr;
  orvane::StripManager* labelStrip = nullptr;
  int currentMeter = -1;
  int unitHeight = kInitialHeight;
  double userZoom = 1.0;
  double systemScale = 1.0;
  bool hostSetScale = false;
  int lastStrips = -1;
  int lastShowFlt = -1;
  int lastShowLbl = -1;
  orvane::ParameterMailbox mailbox;
  std::atomic<uint64_t> windowThread{0};
};

// The factory the plug-in binary installs in the effect.
AEffEditor* makeTemepleteEditor(Templete* effect);
