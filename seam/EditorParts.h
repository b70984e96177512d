// The pieces the editor window is made of besides its frame: the three full
// meter panels (one per meter type, one shown at a time), the settings back
// panel behind each meter, and the two channel strip managers (filters,
// label) stacked under the meter area. The editor owns them while its
// window is open and talks to them only through these interfaces, so each
// can be built, tested and replaced on its own.
#pragma once

#include <cstdint>

class CHelpHintLabel;

namespace VSTGUI {
class CControl;
class CFrame;
struct CPoint;
}  // namespace VSTGUI

namespace orvane {

// One meter type's section of the window: a 586 x 169 container with the
// meter views and the common controls, built once per opening.
class MeterPanel {
 public:
  virtual ~MeterPanel() = default;
  // Builds the panel's views; the container is not yet in the frame.
  virtual bool build(VSTGUI::CFrame* frame) = 0;
  // Releases every view; nothing of the panel stays in the frame.
  virtual void teardown() = 0;
  virtual void show() = 0;
  virtual void hide() = 0;
  // Every parameter change, from the host, a chunk or the editor itself.
  virtual void parameterChanged(int32_t index, float value) = 0;
  // Every control event of the window, after the editor has sent host
  // parameters to the effect.
  virtual void controlChanged(VSTGUI::CControl* control) = 0;
  // Pushes the engine's read-outs into the views; position is how far the
  // current moment lies into the last processed block, in blocks.
  virtual void refresh(float position) = 0;
  // The panel's hint line, which the strips' views of the same meter type
  // write to while the panel is built; null before build and after teardown.
  virtual CHelpHintLabel* hintLabel() const { return nullptr; }
};

// The settings of one meter type, shown in place of its meter. The meter
// panel owns it, builds it with itself and flips to it and back.
class BackPanelPart {
 public:
  virtual ~BackPanelPart() = default;
  virtual bool build(VSTGUI::CFrame* frame) = 0;
  // Lets go of the frame and of every view; the object itself stays.
  virtual void detach() = 0;
  virtual void show() = 0;
  virtual void hide() = 0;
  virtual bool isShown() const = 0;
  // Parameter changes and control events while it is shown.
  virtual void settingChanged(int32_t index, float value) = 0;
  virtual void controlChanged(VSTGUI::CControl* control) = 0;
};

// A channel strip under the meter: six views (expanded and collapsed, one
// colouring per meter type) of which one is shown.
class StripManager {
 public:
  virtual ~StripManager() = default;
  virtual bool open(VSTGUI::CFrame* frame) = 0;
  virtual void close() = 0;
  virtual void expand(const VSTGUI::CPoint& where, int meterType) = 0;
  virtual void collapse(const VSTGUI::CPoint& where, int meterType) = 0;
  virtual void parameterChanged(int32_t index, float value) = 0;
  virtual void controlChanged(VSTGUI::CControl* control) = 0;
  // The panels whose hint lines the strip's views write to, by meter type.
  virtual void setPanels(MeterPanel* /*vu*/, MeterPanel* /*rms*/, MeterPanel* /*ppm*/) {}
  // The filters strip follows "Process" (its controls are active only
  // while the audio is processed); the label strip animates on idle.
  virtual void setActive(float /*processValue*/) {}
  virtual void idle() {}
};

}  // namespace orvane
