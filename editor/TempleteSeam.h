// The editor seam over the effect: what the panels, back panels and strips
// ask of the effect, answered by Templete. The editor owns one and hands it
// to every part it makes.
#pragma once

#include "seam/EffectSeam.h"

class Templete;

class TempleteSeam : public orvane::EffectSeam {
 public:
  explicit TempleteSeam(Templete& effect) : effect(effect) {}

  float getParameter(int32_t index) override;
  void setParameter(int32_t index, float value) override;
  void setParameterAutomated(int32_t index, float value) override;
  void getParameterDisplay(int32_t index, char* text) override;
  float defaultValue(int32_t index) override;
  orvane::MeterReadout* readout(int meterType) override;
  void syncSharedSettings(int meterType) override;
  double frameTickSeconds() override;
  double blockSeconds() override;
  int32_t vendorVersion() override;

 private:
  Templete& effect;
};
