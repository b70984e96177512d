// The command line of orvane-meter: every host parameter and every meter
// setting by a readable name in its physical unit, turned into the
// normalised 0..1 values a host would send, through the same mappings the
// effect and the engines apply.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvane {
namespace metertool {

enum class OutputFormat { Table, Csv, Json };

// One setParameter call as a host would make it.
struct ParameterSetting {
  int32_t index;
  float value;
  std::string option;  // the option that asked for it, for messages
};

// What --make-test-signal writes.
struct TestSignalSpec {
  double seconds = 12.0;  // the whole programme is scaled to this length
  int sampleRate = 48000;
  int channels = 2;
};

struct ToolOptions {
  std::string input;
  std::string output;  // empty: standard output
  std::string plot;    // empty: no picture
  OutputFormat format = OutputFormat::Table;
  double rateHz = 30.0;  // display refresh rate
  int block = 512;       // host block size in frames
  int meterType = 0;     // 0 VU, 1 RMS, 2 PPM
  bool progress = true;  // a progress bar when standard error is a terminal
  // In the order they go to the effect: scope, meter type, meter settings,
  // the other host parameters, then raw --set values.
  std::vector<ParameterSetting> parameters;

  std::string makeTestSignal;  // non-empty: write the test programme here
  TestSignalSpec signal;

  bool help = false;
  bool version = false;
};

struct ParseOutcome {
  bool ok = true;
  std::string message;  // one line, for standard error, when !ok
};

ParseOutcome parseOptions(int argc, const char* const* argv, ToolOptions& options);

// The text of --help.
std::string helpText();

// Normalised values of physical settings, the inverses of the effect's and
// the engines' own mappings. Each answers a value that the forward mapping
// turns back into the nearest setting the knob can reach.
namespace mapping {
float trim(double dB);                        // -20..+20 dB, 0.1 dB steps
float hpFrequency(double hz);                 // 20..2000 Hz
float lpFrequency(double hz);                 // 300..30000 Hz
float lagTime(int ms);                        // 0..999 ms
float reference24(double dBFS);               // VU and PPM: -24..0 dBFS
float rmsReference(double dB);                // RMS: -20..+10 dB, 0.1 dB steps
float vuIntegration(double ms);               // 53..1697 ms, 201 positions
float shortTime(double ms);                   // 0..100 ms, 81 positions, truncating knob
float longTime(double ms, bool roundingKnob); // 100..10000 ms, 81 positions
float msType(int midAttenuationDb);           // 0, 3 or 6 dB
float overCount(int samples);                 // 1..10
}  // namespace mapping

}  // namespace metertool
}  // namespace orvane
