#include "core/MeterEngines.h"

#include <cstring>

#include "meters/PPMmeter.h"
#include "meters/RMSMeter.h"
#include "meters/VUmeter.h"
#include "settings/SharedSettings.h"

namespace orvane {

MeterEngines::MeterEngines(MeterSettingsOwner* owner, SharedSettings& shared)
    : shared_(shared), rms_(new RMSMeter(owner, shared)), vu_(new VUmeter(owner, shared)), ppm_(new PPMmeter(owner, shared)) {}

MeterEngines::~MeterEngines() = default;

namespace {

// The same call on every engine, in the order RMS, VU, PPM.
template <typename F>
void each(RMSMeter& rms, VUmeter& vu, PPMmeter& ppm, F f) {
  f(rms);
  f(vu);
  f(ppm);
}

}  // namespace

void MeterEngines::setScope(float v) {
  each(*rms_, *vu_, *ppm_, [v](auto& e) { e.setScope(v); });
}
void MeterEngines::setMsMode(float v) {
  each(*rms_, *vu_, *ppm_, [v](auto& e) { e.setLRMS(v); });
}
void MeterEngines::setHoldMode(float v) {
  each(*rms_, *vu_, *ppm_, [v](auto& e) { e.setHold(v); });
}
void MeterEngines::setLagTime(float v) {
  each(*rms_, *vu_, *ppm_, [v](auto& e) { e.setLagTime(v); });
}
void MeterEngines::syncSharedSettings() {
  vu_->syncSharedSettings();
  rms_->syncSharedSettings();
  ppm_->syncSharedSettings();
}

void MeterEngines::saveGlobalSettings() {
  // All three engines exist; their settings go out RMS, VU, PPM as one save.
  static const int kTypes[] = {kMeterRMS, kMeterVU, kMeterPPM};
  shared_.saveGlobalSettings(kTypes, 3);
}
void MeterEngines::resetOvers() {
  each(*rms_, *vu_, *ppm_, [](auto& e) { e.resetOvers(); });
}
void MeterEngines::prepare(float sampleRate) {
  each(*rms_, *vu_, *ppm_, [sampleRate](auto& e) {
    e.setSampleRate(sampleRate);
    e.reset();
  });
}
void MeterEngines::clearReadings() {
  each(*rms_, *vu_, *ppm_, [](auto& e) { e.clearReadings(); });
}

void MeterEngines::setSetting(int32_t index, float v) {
  const int slot = meterSettingSlot(index);
  if (slot < 0) return;
  switch (meterSettingBySlot(slot).meterType) {
    case kMeterRMS: rms_->setParameter(index, v); break;
    case kMeterVU: vu_->setParameter(index, v); break;
    default: ppm_->setParameter(index, v); break;
  }
}

float MeterEngines::getSetting(int32_t index) const {
  const int slot = meterSettingSlot(index);
  if (slot < 0) return 0.0f;
  switch (meterSettingBySlot(slot).meterType) {
    case kMeterRMS: return rms_->getParameter(index);
    case kMeterVU: return vu_->getParameter(index);
    default: return ppm_->getParameter(index);
  }
}

void MeterEngines::settingDisplay(int32_t index, char* text) const {
  if (!text) return;
  text[0] = 0;
  const int slot = meterSettingSlot(index);
  if (slot < 0) return;
  switch (meterSettingBySlot(slot).meterType) {
    case kMeterRMS: rms_->getParameterDisplay(index, text); break;
    case kMeterVU: vu_->getParameterDisplay(index, text); break;
    default: ppm_->getParameterDisplay(index, text); break;
  }
}

void MeterEngines::processStereo(int meterType, float** channels, int32_t frames) {
  switch (meterType) {
    case kMeterVU: vu_->processStereo(channels, frames); break;
    case kMeterRMS: rms_->processStereo(channels, frames); break;
    case kMeterPPM: ppm_->processStereo(channels, frames); break;
    default: break;
  }
}

void MeterEngines::processMono(int meterType, float** channels, int32_t frames) {
  switch (meterType) {
    case kMeterVU: vu_->processMono(channels, frames); break;
    case kMeterRMS: rms_->processMono(channels, frames); break;
    case kMeterPPM: ppm_->processMono(channels, frames); break;
    default: break;
  }
}

int MeterEngines::lagMs(int meterType) const {
  switch (meterType) {
    case kMeterRMS: return rms_->lagMs();
    case kMeterPPM: return ppm_->lagMs();
    default: return vu_->lagMs();
  }
}

MeterReadout& MeterEngines::readout(int meterType) {
  switch (meterType) {
    case kMeterRMS: return rms_->readout();
    case kMeterPPM: return ppm_->readout();
    default: return vu_->readout();
  }
}

}  // namespace orvane
