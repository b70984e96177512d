#include "editor/TempleteSeam.h"

#include <cstring>

#include "core/Parameters.h"
#include "core/Templete.h"
#include "meters/PPMmeter.h"
#include "meters/RMSMeter.h"
#include "meters/VUmeter.h"
#include "settings/SharedSettings.h"

float TempleteSeam::getParameter(int32_t index) { return effect.getParameter(index); }

void TempleteSeam::setParameter(int32_t index, float value) { effect.setParameter(index, value); }

void TempleteSeam::setParameterAutomated(int32_t index, float value) { effect.setParameterAutomated(index, value); }

void TempleteSeam::getParameterDisplay(int32_t index, char* text) {
  if (!text) return;
  text[0] = 0;
  if (orvane::isHostParameter(index)) {
    effect.getParameterDisplay(index, text);
  } else if (orvane::meterSettingSlot(index) >= 0) {
    effect.engines().settingDisplay(index, text);
  }
  text[kDisplayTextBytes - 1] = 0;
}

float TempleteSeam::defaultValue(int32_t index) {
  if (orvane::isHostParameter(index)) return orvane::parameterInfo(index).defaultValue;
  const int slot = orvane::meterSettingSlot(index);
  return slot >= 0 ? orvane::meterSettingBySlot(slot).defaultValue : 0.0f;
}

orvane::MeterReadout* TempleteSeam::readout(int meterType) {
  if (meterType < 0 || meterType > 2) return nullptr;
  return &effect.engines().readout(meterType);
}

void TempleteSeam::syncSharedSettings(int meterType) {
  switch (meterType) {
    case 0:
      effect.engines().vu().syncSharedSettings();
      break;
    case 1:
      effect.engines().rms().syncSharedSettings();
      break;
    case 2:
      effect.engines().ppm().syncSharedSettings();
      break;
    default:
      break;
  }
}

double TempleteSeam::frameTickSeconds() { return effect.frameTickSeconds(); }

double TempleteSeam::blockSeconds() { return effect.blockSeconds(); }

int32_t TempleteSeam::vendorVersion() { return effect.getVendorVersion(); }
