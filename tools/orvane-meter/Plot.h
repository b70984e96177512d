// The picture of a run: needle and hold traces of both channels over time on
// the meter's own dB scale, with the over LED's events marked, drawn with
// cairo into a PNG. Memory stays bounded whatever the length of the file:
// long runs are gathered into one minimum/maximum band per half pixel.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/orvane-meter/MeteringSession.h"

namespace orvane {
namespace metertool {

struct PlotSetup {
  int meterType = 0;  // 0 VU, 1 RMS, 2 PPM
  std::string title;
  std::string subtitle;
  std::string channelNames[2] = {"L", "R"};
  bool showHold = true;  // the meter hides its hold mark with Hold off
  double referenceDbfs = 0.0;
  double seconds = 0.0;  // length of the audio
  double rateHz = 30.0;
  int width = 1400;
  int height = 780;
};

// The meter's scale: the marks printed on its face, in dB relative to the
// reference level.
struct PlotScale {
  std::vector<double> marks;
  bool dbfsAxis;  // peak readings: a second axis in dBFS is exact
};
PlotScale plotScaleFor(int meterType);

// Where a meter's needle stands for a reading (linear, relative to the
// reference): 0 at its left stop, 1 at its right stop, from the needle
// angle its view draws, limits included. The traces use it as their height,
// so the picture reads like the meter's own face.
double needleFraction(int meterType, double reading);

class PlotCollector : public TickSink {
 public:
  explicit PlotCollector(const PlotSetup& setup);
  void tick(const DisplayTick& tick) override;

  // Draws the picture and writes it as PNG to `out`.
  bool render(FILE* out, std::string& error) const;

  // For tests: the columns gathered so far.
  enum Trace { kNeedle = 0, kHold = 1, kRms = 2 };
  struct Column {
    double time = 0.0;  // start of the column (its refresh in point mode)
    float low[3][2] = {}, high[3][2] = {};
    bool over[2] = {false, false};       // lit at some refresh in the column
    bool overStart[2] = {false, false};  // lit after a refresh that was not
    bool used = false;
  };
  const std::vector<Column>& columns() const { return columns_; }
  bool pointMode() const { return pointMode_; }
  int64_t overs(int channel) const { return overs_[channel == 1 ? 1 : 0]; }

 private:
  PlotSetup setup_;
  bool pointMode_ = true;
  double columnSeconds_ = 0.0;
  std::vector<Column> columns_;
  int lastOver_[2] = {-1, -1};
  int64_t overs_[2] = {0, 0};
};

}  // namespace metertool
}  // namespace orvane
