// What the tool prints: a header that names the file and the settings in
// force, one line (or record) per display refresh, and a summary. Three
// shapes of the same content: an aligned table for people, CSV and JSON for
// programs.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tools/orvane-meter/MeteringSession.h"
#include "tools/orvane-meter/ToolOptions.h"

namespace orvane {
namespace metertool {

struct ReportHeader {
  std::string file;
  std::string formatName;
  int sampleRate = 0;
  int fileChannels = 0;
  int channels = 0;  // metered: 1 or 2
  int64_t frames = 0;
  std::string meterName;  // "VU", "RMS", "PPM"
  std::string channelNames[2] = {"L", "R"};
  bool hasRms = false;
  double referenceDbfs = 0.0;
  double rateHz = 30.0;
  int block = 512;
  std::vector<std::pair<std::string, std::string>> settings;
  std::vector<std::string> notes;  // what the tool had to say about the file
};

struct ChannelSummary {
  double maxNeedle = 0.0, maxNeedleTime = 0.0;
  double maxHold = 0.0, maxHoldTime = 0.0;
  double maxRms = 0.0, maxRmsTime = 0.0;
  int64_t overs = 0;          // times the over LED lit up
  int64_t overRefreshes = 0;  // refreshes that showed it lit
};

// The running summary of the refreshes it has seen.
class SummaryCollector : public TickSink {
 public:
  void tick(const DisplayTick& tick) override;
  const ChannelSummary& channel(int c) const { return channels_[c == 1 ? 1 : 0]; }
  int64_t refreshes() const { return refreshes_; }
  double lastTime() const { return lastTime_; }

 private:
  ChannelSummary channels_[2];
  int lastOver_[2] = {-1, -1};
  int64_t refreshes_ = 0;
  double lastTime_ = 0.0;
};

class ReportWriter : public TickSink {
 public:
  static std::unique_ptr<ReportWriter> create(OutputFormat format, FILE* out, const ReportHeader& header);
  ~ReportWriter() override = default;
  virtual void begin() = 0;
  virtual void end(const SummaryCollector& summary) = 0;
};

// Decibels of a linear value relative to the reference; false below
// -200 dB, where a meter shows nothing (and at or below zero).
bool toDecibels(double linear, double& dB);

}  // namespace metertool
}  // namespace orvane
