// The published ballistics: what the three engines do with the standards'
// test signals, measured on the real engines with their first-run settings,
// as named figures. docs/ballistics.md is written from these figures, and
// its test measures them again, so the page cannot drift from the engines.
#pragma once

#include <string>
#include <vector>

namespace orvane {
namespace ballistics {

struct Figure {
  std::string key;
  double value = 0.0;
  // How far a new measurement may stand from the published one: well inside
  // the page's rounding, far outside what reordering a sum can move. A
  // negative tolerance marks where a measurement was taken (a frequency,
  // a phase): it is read back, not measured again.
  double tolerance = 0.0;
};

class Figures {
 public:
  void set(const std::string& key, double value, double tolerance);
  bool has(const std::string& key) const;
  double get(const std::string& key) const;  // 0 when missing
  const std::vector<Figure>& all() const { return figures_; }

  // One "key value" line each, with enough digits to survive the round trip.
  std::string serialise() const;
  static bool parse(const std::string& text, Figures& out, std::string& error);

 private:
  std::vector<Figure> figures_;
};

// A curve for the plots: x in milliseconds (or Hz), y as the engine reads.
struct Curve {
  std::string label;
  std::vector<double> x, y;
};

struct Traces {
  std::vector<Curve> vuStep;     // needle, both types, 0..1 s after the tone starts
  std::vector<Curve> ppmBursts;  // envelope in dB against the steady reading, per burst
  std::vector<Curve> ppmFall;    // envelope in dB after the tone stops
  std::vector<Curve> rms;        // shown RMS, peak and hold needles while a tone runs and stops
  std::vector<Curve> underRead;  // worst under-read per frequency, dB, per rate
};

// Sample rate of every measurement but the precise survey (which also runs
// at 44.1 kHz).
constexpr double kRate = 48000.0;

// The PPM's burst lengths in ms: the union of the two types' tables, and a
// long one that must read as the steady tone.
extern const double kBurstMs[];
extern const int kBurstCount;

// IEC 60268-10's two types of peak programme meter: 5 kHz tone bursts read
// against the steady tone (nominal reading and tolerance in dB) and the
// return time for a fall of `fallDb`.
struct PpmBurst {
  double ms, dB, tolerance;
};
struct PpmType {
  const char* name;
  PpmBurst bursts[4];
  double fallDb, fallMs, fallToleranceMs;
};
extern const PpmType kPpmTypes[2];

// The name of a burst's reading among the figures ("burst.10_db").
std::string burstKey(double ms);

// Measures every figure. With `where` (the published figures), the precise
// mode's worst cases are measured again where the page says they are
// instead of searching for them (a search takes seconds; the test must be
// quick). `traces` may be null.
Figures measure(const Figures* where, Traces* traces);

// The new figures against the published ones: one line per figure outside
// its tolerance or missing; empty when they agree.
std::string compare(const Figures& published, const Figures& measured);

}  // namespace ballistics
}  // namespace orvane
