// The plug-in without a host: one effect instance with a private copy of the
// process-wide settings, fed a file in host-sized blocks, and read at a
// steady display rate exactly as the meter panel reads it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tools/orvane-meter/ToolOptions.h"

class Templete;

namespace orvane {

class MemoryRegistry;
class SharedSettings;

namespace metertool {

// What one display refresh shows. Channel 0 is left (or mid), 1 right (or
// side). Values are linear, relative to the meter's reference level.
struct DisplayTick {
  int64_t index = 0;  // 1, 2, ... at index / rate seconds
  double time = 0.0;  // seconds from the start of the file
  float x = 0.0f;     // the block position handed to the read-outs
  double needle[2] = {0.0, 0.0};
  double hold[2] = {0.0, 0.0};
  double rms[2] = {0.0, 0.0};  // RMS meter only
  int over[2] = {-1, -1};      // -1 none since the start, 0 latched, 1 over now
};

class TickSink {
 public:
  virtual ~TickSink() = default;
  virtual void tick(const DisplayTick& tick) = 0;
};

struct SessionSetup {
  std::vector<ParameterSetting> parameters;
  float sampleRate = 44100.0f;  // the file's rate, handed over as the host's
  int blockSize = 512;
  double displayRateHz = 30.0;
  bool mono = false;  // mono files reach the effect with no right input
};

class MeteringSession {
 public:
  explicit MeteringSession(const SessionSetup& setup);
  ~MeteringSession();
  MeteringSession(const MeteringSession&) = delete;
  MeteringSession& operator=(const MeteringSession&) = delete;

  // Appends audio (right is ignored for a mono session). Every full block
  // is processed; each display refresh that falls before a block's end is
  // read just before that block runs.
  void feed(const float* left, const float* right, std::size_t frames, TickSink& sink);
  // Processes what is left as one shorter block and reads the refreshes up
  // to the end of the audio.
  void finish(TickSink& sink);

  Templete& effect() { return *effect_; }
  int meterType() const;
  bool hasRms() const { return meterType() == 1; }
  bool midSide() const;
  double referenceDbfs() const;  // the meter's reference level
  uint64_t framesProcessed() const { return framesDone_; }
  int64_t ticksRead() const { return nextTick_ - 1; }
  const SessionSetup& setup() const { return setup_; }

  // The settings now in force, as label and text, for report headers.
  std::vector<std::pair<std::string, std::string>> describeSettings();

 private:
  void runBlock(std::size_t frames, TickSink& sink);
  void readTicksBefore(uint64_t endFrame, bool inclusive, TickSink& sink);
  void readTick(TickSink& sink);

  SessionSetup setup_;
  std::unique_ptr<MemoryRegistry> registry_;
  std::unique_ptr<SharedSettings> shared_;
  std::unique_ptr<Templete> effect_;
  std::vector<float> in_[2], out_[2];
  std::size_t fill_ = 0;
  uint64_t framesDone_ = 0;
  // The moment (in frames of audio) the last block was handed to the
  // effect: the audio clock stands in for the editor's tick count.
  uint64_t lastBlockEnd_ = 0;
  int64_t nextTick_ = 1;
};

}  // namespace metertool
}  // namespace orvane
