// The effect's three metering engines behind one small front, so that the
// effect addresses "the engine that the Meter parameter selects" without a
// switch at every call site. The engines themselves share no base class.
#pragma once

#include <cstdint>
#include <memory>

namespace orvane {

class SharedSettings;
class MeterSettingsOwner;
class VUmeter;
class RMSMeter;
class PPMmeter;
class MeterReadout;

class MeterEngines {
 public:
  // Creates the engines in the order RMS, VU, PPM, each in the process-wide
  // current scope.
  MeterEngines(MeterSettingsOwner* owner, SharedSettings& shared);
  ~MeterEngines();

  // To all three engines.
  void setScope(float v);
  void setMsMode(float v);
  void setHoldMode(float v);
  void setLagTime(float v);
  // Every engine takes what its shared store holds now (Global, Session).
  void syncSharedSettings();
  void saveGlobalSettings();
  void resetOvers();
  void prepare(float sampleRate);  // sample rate, then reset
  void clearReadings();

  // A meter setting (72..81, 83..91, 93..100) to the engine that owns it.
  void setSetting(int32_t index, float v);
  float getSetting(int32_t index) const;
  void settingDisplay(int32_t index, char* text) const;  // text: 32 bytes or more

  // The audio thread's feed of the engine of one meter type.
  void processStereo(int meterType, float** channels, int32_t frames);
  void processMono(int meterType, float** channels, int32_t frames);

  int lagMs(int meterType) const;

  VUmeter& vu() { return *vu_; }
  RMSMeter& rms() { return *rms_; }
  PPMmeter& ppm() { return *ppm_; }
  // The display's view of an engine, by meter type (0 VU, 1 RMS, 2 PPM).
  MeterReadout& readout(int meterType);

 private:
  SharedSettings& shared_;
  std::unique_ptr<RMSMeter> rms_;
  std::unique_ptr<VUmeter> vu_;
  std::unique_ptr<PPMmeter> ppm_;
};

}  // namespace orvane
