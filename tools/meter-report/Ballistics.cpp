#include "tools/meter-report/Ballistics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>

#include "meters/MeterReadout.h"
#include "meters/PPMmeter.h"
#include "meters/RMSMeter.h"
#include "meters/VUmeter.h"
#include "platform/MemoryRegistry.h"
#include "settings/SharedSettings.h"

namespace orvane {
namespace ballistics {

const double kBurstMs[] = {0.4, 0.5, 1.5, 3.0, 5.0, 10.0, 100.0};
const int kBurstCount = sizeof kBurstMs / sizeof kBurstMs[0];

// The two types' tables as IEC 60268-10 publishes them.
const PpmType kPpmTypes[2] = {
    {"I", {{0.4, -15.0, 4.0}, {3.0, -4.0, 1.0}, {5.0, -2.0, 0.5}, {10.0, -1.0, 0.5}}, 20.0, 1500.0, 150.0},
    {"II", {{0.5, -17.0, 2.0}, {1.5, -9.0, 1.0}, {5.0, -4.0, 0.5}, {10.0, -2.5, 0.5}}, 24.0, 2800.0, 300.0},
};

void Figures::set(const std::string& key, double value, double tolerance) {
  for (Figure& f : figures_)
    if (f.key == key) {
      f.value = value;
      f.tolerance = tolerance;
      return;
    }
  figures_.push_back({key, value, tolerance});
}

bool Figures::has(const std::string& key) const {
  for (const Figure& f : figures_)
    if (f.key == key) return true;
  return false;
}

double Figures::get(const std::string& key) const {
  for (const Figure& f : figures_)
    if (f.key == key) return f.value;
  return 0.0;
}

std::string Figures::serialise() const {
  std::string out;
  char line[160];
  for (const Figure& f : figures_) {
    std::snprintf(line, sizeof line, "%s %.9g\n", f.key.c_str(), f.value);
    out += line;
  }
  return out;
}

bool Figures::parse(const std::string& text, Figures& out, std::string& error) {
  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string key, value;
    if (!(fields >> key >> value)) {
      error = "line " + std::to_string(number) + ": expected a name and a value";
      return false;
    }
    char* end = nullptr;
    const double v = std::strtod(value.c_str(), &end);
    if (end == value.c_str() || *end != '\0') {
      error = "line " + std::to_string(number) + ": not a number: " + value;
      return false;
    }
    out.set(key, v, 0.0);
  }
  return true;
}

std::string compare(const Figures& published, const Figures& measured) {
  std::string out;
  char line[256];
  for (const Figure& m : measured.all()) {
    if (m.tolerance < 0.0) continue;
    if (!published.has(m.key)) {
      out += m.key + ": measured but not published\n";
      continue;
    }
    const double p = published.get(m.key);
    if (!(std::fabs(m.value - p) <= m.tolerance)) {
      std::snprintf(line, sizeof line, "%s: published %.9g, measured now %.9g (tolerance %g)\n", m.key.c_str(), p,
                    m.value, m.tolerance);
      out += line;
    }
  }
  for (const Figure& p : published.all())
    if (!measured.has(p.key)) out += p.key + ": published but no longer measured\n";
  return out;
}

namespace {

constexpr double kPi = 3.14159265358979323846;

// Tolerances: half the page's last digit at most, and far more than a
// reordered floating-point sum can move a figure (a change of 1e-6 in a
// flat approach to 99 % moves the crossing by about 0.01 ms).
constexpr double kMsTolerance = 0.05;
constexpr double kRatioTolerance = 1e-5;
constexpr double kPercentTolerance = 0.001;
constexpr double kDbTolerance = 0.001;
// The precise mode's figures are a single detector output each: 5e-5 dB is
// a change of 6e-6 in the reading, so a retuned tap shows.
constexpr double kPreciseDbTolerance = 5e-5;

// Every measurement starts from first-run settings of its own: a setting
// changed for one measurement lands in the store of the current scope and
// must not reach the next engine.
struct FirstRun {
  MemoryRegistry registry;
  SharedSettings shared{registry};
};

std::vector<float> tone(double hz, double peak, double rate, double onSeconds, double offSeconds) {
  const std::size_t on = static_cast<std::size_t>(std::lround(onSeconds * rate));
  const std::size_t total = on + static_cast<std::size_t>(std::lround(offSeconds * rate));
  std::vector<float> s(total, 0.0f);
  for (std::size_t i = 0; i < on; ++i) s[i] = static_cast<float>(peak * std::sin(2.0 * kPi * hz * i / rate));
  return s;
}

// One sample at a time, both channels alike; the channel-A readings of each
// kind after each sample (the sample's instant is its index over the rate).
template <class Engine>
std::vector<std::vector<double>> run(Engine& engine, const std::vector<float>& signal, std::vector<int> kinds) {
  std::vector<std::vector<double>> out(kinds.size(), std::vector<double>(signal.size()));
  for (std::size_t i = 0; i < signal.size(); ++i) {
    float a = signal[i], b = signal[i];
    float* channels[2] = {&a, &b};
    engine.processStereo(channels, 1);
    for (std::size_t k = 0; k < kinds.size(); ++k) out[k][i] = engine.readout().reading(kinds[k], 0);
  }
  return out;
}

// The moment in ms (from sample `from`) at which `y` first reaches `level`
// going up (or down), found between the two samples around it: the figure
// then moves smoothly with the engine instead of in whole samples.
double crossingMs(const std::vector<double>& y, std::size_t from, double level, bool rising, double rate) {
  for (std::size_t i = from; i < y.size(); ++i) {
    const bool reached = rising ? y[i] >= level : y[i] <= level;
    if (!reached) continue;
    if (i == from) return 0.0;
    const double f = (level - y[i - 1]) / (y[i] - y[i - 1]);
    return (static_cast<double>(i - 1 - from) + f) * 1000.0 / rate;
  }
  return -1.0;  // never: shows as an impossible figure
}

double maxOver(const std::vector<double>& y, std::size_t from, std::size_t to) {
  double m = -1e300;
  for (std::size_t i = from; i < to && i < y.size(); ++i) m = std::max(m, y[i]);
  return m;
}

double dB(double x) { return 20.0 * std::log10(x); }

}  // namespace

std::string burstKey(double ms) {
  char key[48];
  std::snprintf(key, sizeof key, "burst.%g_db", ms);
  return key;
}

namespace {

// Every `step`-th point of y[from, to) as a curve, x in ms from `from`,
// y mapped by `f`.
template <class F>
Curve curve(const std::string& label, const std::vector<double>& y, std::size_t from, std::size_t to, std::size_t step,
            double rate, F f) {
  Curve c;
  c.label = label;
  for (std::size_t i = from; i < to && i < y.size(); i += step) {
    c.x.push_back((i - from) * 1000.0 / rate);
    c.y.push_back(f(y[i]));
  }
  return c;
}

// The VU: a 1 kHz sine at the reference level switched on from rest for 4 s,
// then silence. 99 % and 1 % are of the steady reading (the mean over the
// tone's last second).
void measureVu(Figures& fig, Traces* traces) {
  for (int type = 0; type < 2; ++type) {
    FirstRun first;
    VUmeter vu(nullptr, first.shared);
    vu.setParameter(VUmeter::kType, static_cast<float>(type));
    vu.setSampleRate(static_cast<float>(kRate));
    vu.reset();
    vu.clearReadings();
    const double onSeconds = 4.0;
    const auto needle = run(vu, tone(1000.0, vu.referenceAmplitude(), kRate, onSeconds, 3.0), {kMainReading})[0];
    const std::size_t on = static_cast<std::size_t>(onSeconds * kRate);
    double steady = 0.0;
    for (std::size_t i = on - static_cast<std::size_t>(kRate); i < on; ++i) steady += needle[i];
    steady /= kRate;
    const std::string k = type == 0 ? "vu.a." : "vu.b.";
    fig.set(k + "reference_dbfs", dB(vu.referenceAmplitude()), kDbTolerance);
    fig.set(k + "integration_ms", vu.modelIntegrationMs() / 1.167, kMsTolerance);
    fig.set(k + "steady", steady, kRatioTolerance);
    fig.set(k + "rise99_ms", crossingMs(needle, 0, 0.99 * steady, true, kRate), kMsTolerance);
    fig.set(k + "overshoot_pct", (maxOver(needle, 0, on) / steady - 1.0) * 100.0, kPercentTolerance);
    fig.set(k + "fall1_ms", crossingMs(needle, on, 0.01 * steady, false, kRate), kMsTolerance);
    fig.set(k + "undershoot_pct", -std::min(0.0, *std::min_element(needle.begin() + on, needle.end())) / steady * 100.0,
            kPercentTolerance);
    if (traces)
      traces->vuStep.push_back(curve(type == 0 ? "Type A" : "Type B", needle, 0, static_cast<std::size_t>(kRate), 48,
                                     kRate, [&](double v) { return v / steady * 100.0; }));
  }
}

// A 5 kHz tone at the PPM's reference level: its steady reading (the
// highest over the last 100 ms of half a second), and the highest reading
// of a burst of it from rest, against the steady one in dB.
double ppmSteady(PPMmeter& ppm) {
  ppm.reset();
  ppm.clearReadings();
  const auto t = run(ppm, tone(5000.0, ppm.referenceAmplitude(), kRate, 0.5, 0.0), {kMainReading})[0];
  return maxOver(t, t.size() - 4800, t.size());
}

std::vector<double> ppmBurst(PPMmeter& ppm, double ms) {
  ppm.reset();
  ppm.clearReadings();
  return run(ppm, tone(5000.0, ppm.referenceAmplitude(), kRate, ms * 0.001, 0.05), {kMainReading})[0];
}

// The time the reading takes to fall `fallDb` after a steady tone stops.
double ppmFallMs(PPMmeter& ppm, double fallDb, std::vector<double>* trace) {
  ppm.reset();
  ppm.clearReadings();
  const auto t = run(ppm, tone(5000.0, ppm.referenceAmplitude(), kRate, 0.5, 4.0), {kMainReading})[0];
  const std::size_t off = static_cast<std::size_t>(0.5 * kRate);
  if (trace) *trace = std::vector<double>(t.begin() + (off - 1), t.end());
  return crossingMs(t, off - 1, t[off - 1] * std::pow(10.0, -fallDb / 20.0), false, kRate);
}

// A time setting's raw value for step q of 80 (the engine truncates).
float timeStep(int q) { return static_cast<float>((q + 0.5) / 80.0); }

// The back-panel settings that bring the PPM nearest each type: the
// integration step whose burst readings stand least far outside the type's
// tolerances (measured against each tolerance), and the return step whose
// fall time is nearest the type's.
void ppmTypeSettings(Figures& fig, Traces* traces) {
  for (const PpmType& type : kPpmTypes) {
    FirstRun first;
    PPMmeter ppm(nullptr, first.shared);
    ppm.setSampleRate(static_cast<float>(kRate));
    int best = 0;
    double bestScore = 1e300;
    for (int q = 0; q <= 80; ++q) {
      ppm.setParameter(PPMmeter::kIntegration, timeStep(q));
      const double steady = ppmSteady(ppm);
      double score = 0.0;
      for (const PpmBurst& b : type.bursts) {
        const auto t = ppmBurst(ppm, b.ms);
        score = std::max(score, std::fabs(dB(maxOver(t, 0, t.size()) / steady) - b.dB) / b.tolerance);
      }
      if (score < bestScore) {
        bestScore = score;
        best = q;
      }
    }
    ppm.setParameter(PPMmeter::kIntegration, timeStep(best));
    int bestReturn = 0;
    double bestGap = 1e300;
    for (int q = 0; q <= 80; ++q) {
      ppm.setParameter(PPMmeter::kReturn, timeStep(q));
      const double gap = std::fabs(ppm.returnMs() * type.fallDb / 24.0 - type.fallMs);
      if (gap < bestGap) {
        bestGap = gap;
        bestReturn = q;
      }
    }
    ppm.setParameter(PPMmeter::kReturn, timeStep(bestReturn));
    const std::string k = std::string("ppm.type") + (type.name[1] ? "2" : "1") + ".";
    fig.set(k + "integration_ms", ppm.integrationMs(), kMsTolerance);
    fig.set(k + "return_ms", ppm.returnMs(), kMsTolerance);
    const double steady = ppmSteady(ppm);
    for (const PpmBurst& b : type.bursts) {
      const auto t = ppmBurst(ppm, b.ms);
      fig.set(k + burstKey(b.ms), dB(maxOver(t, 0, t.size()) / steady), kDbTolerance);
    }
    std::vector<double> fall;
    fig.set(k + "fall_ms", ppmFallMs(ppm, type.fallDb, &fall), kMsTolerance);
    if (traces)
      traces->ppmFall.push_back(curve(std::string("type ") + type.name + " settings", fall, 0, fall.size(), 240, kRate,
                                      [&](double v) { return dB(v / fall[0]); }));
  }
}

// The PPM: 5 kHz tone bursts at the reference level, each from rest, read
// as the highest reading against the steady tone's; then the fall after a
// steady tone stops.
void measurePpm(Figures& fig, Traces* traces) {
  FirstRun first;
  PPMmeter ppm(nullptr, first.shared);
  ppm.setSampleRate(static_cast<float>(kRate));
  ppm.reset();
  const double amplitude = ppm.referenceAmplitude();
  fig.set("ppm.integration_ms", ppm.integrationMs(), kMsTolerance);
  fig.set("ppm.return_ms", ppm.returnMs(), kMsTolerance);
  fig.set("ppm.hold_ms", ppm.holdMs(), kMsTolerance);
  fig.set("ppm.reference_dbfs", dB(amplitude), kDbTolerance);

  const double steady = ppmSteady(ppm);
  fig.set("ppm.steady_db", dB(steady), kDbTolerance);

  for (int b = 0; b < kBurstCount; ++b) {
    const double ms = kBurstMs[b];
    const auto t = ppmBurst(ppm, ms);
    fig.set("ppm." + burstKey(ms), dB(maxOver(t, 0, t.size()) / steady), kDbTolerance);
    if (traces && ms < 50.0) {
      char label[32];
      std::snprintf(label, sizeof label, "%g ms", ms);
      traces->ppmBursts.push_back(curve(label, t, 0, static_cast<std::size_t>(0.03 * kRate), 1, kRate,
                                        [&](double v) { return v > 0.0 ? dB(v / steady) : -200.0; }));
    }
  }

  fig.set("ppm.fall20_ms", ppmFallMs(ppm, 20.0, nullptr), kMsTolerance);
  std::vector<double> fall;
  fig.set("ppm.fall24_ms", ppmFallMs(ppm, 24.0, &fall), kMsTolerance);
  if (traces)
    traces->ppmFall.push_back(
        curve("defaults", fall, 0, fall.size(), 240, kRate, [&](double v) { return dB(v / fall[0]); }));
  ppmTypeSettings(fig, traces);
}

// The RMS meter: a 1 kHz sine at the reference level for 6 s, then 6 s of
// silence. The RMS needle shows sqrt(mean square) x 1.4142, so that a sine
// reads its peak; the peak needle is the envelope, the hold its mark.
void measureRms(Figures& fig, Traces* traces) {
  FirstRun first;
  RMSMeter rms(nullptr, first.shared);
  rms.setSampleRate(static_cast<float>(kRate));
  rms.reset();
  rms.clearReadings();
  fig.set("rms.averaging_ms", rms.averagingMs(), kMsTolerance);
  fig.set("rms.peak.integration_ms", rms.integrationMs(), kMsTolerance);
  fig.set("rms.peak.return_ms", rms.returnMs(), kMsTolerance);
  fig.set("rms.peak.hold_ms", rms.holdMs(), kMsTolerance);

  const double seconds = 6.0;
  const auto r = run(rms, tone(1000.0, rms.referenceAmplitude(), kRate, seconds, seconds),
                     {kMainReading, kHoldReading, kMeanSquareReading});
  const std::size_t off = static_cast<std::size_t>(seconds * kRate);
  std::vector<double> shown(r[2].size());
  for (std::size_t i = 0; i < shown.size(); ++i) shown[i] = std::sqrt(r[2][i]) * 1.4142;
  const double steady = shown[off - 1];
  fig.set("rms.steady", steady, kRatioTolerance);
  fig.set("rms.rise63_ms", crossingMs(r[2], 0, (1.0 - std::exp(-1.0)) * r[2][off - 1], true, kRate), kMsTolerance);
  fig.set("rms.rise99_ms", crossingMs(shown, 0, 0.99 * steady, true, kRate), kMsTolerance);
  fig.set("rms.fall20_ms", crossingMs(shown, off - 1, steady / 10.0, false, kRate), kMsTolerance);

  const std::vector<double>& peak = r[0];
  const double peakSteady = maxOver(peak, off - static_cast<std::size_t>(0.1 * kRate), off);
  fig.set("rms.peak.steady_db", dB(peakSteady), kDbTolerance);
  fig.set("rms.peak.rise99_ms", crossingMs(peak, 0, 0.99 * peakSteady, true, kRate), kMsTolerance);
  fig.set("rms.peak.fall24_ms", crossingMs(peak, off - 1, peak[off - 1] / 16.0, false, kRate), kMsTolerance);
  // The hold mark stays up for the hold time after its last rise (the last
  // crest of the tone), then falls as the peak needle does.
  const std::vector<double>& hold = r[1];
  std::size_t lastRise = 0;
  for (std::size_t i = 1; i < off; ++i)
    if (hold[i] > hold[i - 1]) lastRise = i;
  std::size_t leaves = lastRise;
  while (leaves < hold.size() && hold[leaves] >= hold[lastRise]) ++leaves;
  fig.set("rms.peak.hold_stays_ms", (leaves - lastRise) * 1000.0 / kRate, kMsTolerance);

  if (traces) {
    const std::size_t step = 240;
    const auto same = [](double v) { return v; };
    traces->rms.push_back(curve("RMS needle", shown, 0, shown.size(), step, kRate, same));
    traces->rms.push_back(curve("Peak needle", peak, 0, peak.size(), step, kRate, same));
    traces->rms.push_back(curve("Hold mark", hold, 0, hold.size(), step, kRate, same));
  }
}

// The precise mode's detector through the PPM, made to show it bare: a
// 0 dBFS reference (gain 1), instant integration and a 10 s hold, so the
// hold reading after a run is the largest magnitude the detector gave.
class PreciseProbe {
 public:
  explicit PreciseProbe(double rate) : ppm_(nullptr, first_.shared), rate_(rate) {
    ppm_.setSampleRate(static_cast<float>(rate));
    ppm_.setParameter(PPMmeter::kReference, 1.0f);
    ppm_.setParameter(PPMmeter::kIntegration, 0.0f);
    ppm_.setParameter(PPMmeter::kHoldTime, 1.0f);
    ppm_.setParameter(PPMmeter::kPrecise, 1.0f);
  }

  // The reading of a full-scale sine against its true peak, in dB: below 0
  // is an under-read. The detector's 64-sample window is filled with the
  // sine first (the readings are cleared after it), so a switch-on's
  // ringing cannot hide an under-read. The read span is 32 samples more
  // than two cycles, and at least 10 ms.
  double read(double hz, double phase) {
    const int outputs = static_cast<int>(std::ceil(32.0 + std::fmax(2.0 * rate_ / hz, 0.01 * rate_)));
    const double w = 2.0 * kPi * hz / rate_;
    left_.resize(static_cast<std::size_t>(64 + outputs));
    for (std::size_t n = 0; n < left_.size(); ++n) left_[n] = static_cast<float>(std::sin(w * n + phase));
    right_ = left_;
    ppm_.reset();
    float* fill[2] = {left_.data(), right_.data()};
    ppm_.processStereo(fill, 64);
    ppm_.clearReadings();
    float* span[2] = {left_.data() + 64, right_.data() + 64};
    ppm_.processStereo(span, outputs);
    return dB(ppm_.readout().reading(kHoldReading, 0));
  }

 private:
  FirstRun first_;
  PPMmeter ppm_;
  double rate_;
  std::vector<float> left_, right_;
};

struct Found {
  double dB = 1e9, hz = 0.0, deg = 0.0;
};

void consider(Found& worst, Found& over, double dBread, double hz, double deg) {
  if (dBread < worst.dB) worst = {dBread, hz, deg};
  if (-dBread < over.dB) over = {-dBread, hz, deg};
}

// Searches 20 Hz .. 20 kHz, 36 phases a cycle (1/12 octave below 1 kHz,
// 1/48 octave to 10 kHz, 5 Hz steps above, where the worst cases are), then
// refines each worst case in 0.25 Hz and 288 phases around it.
void surveyPrecise(double rate, Found& worst, Found& quarter, Found& over, Curve* perFrequency) {
  PreciseProbe probe(rate);
  std::vector<double> freqs;
  for (double f = 20.0; f < 1000.0; f *= std::pow(2.0, 1.0 / 12.0)) freqs.push_back(f);
  for (double f = 1000.0; f < 10000.0; f *= std::pow(2.0, 1.0 / 48.0)) freqs.push_back(f);
  for (double f = 10000.0; f <= 20000.0; f += 5.0) freqs.push_back(f);
  Found none;
  Found overAsWorst;
  const int phases = 36;
  for (double f : freqs) {
    double fWorst = 1e9;
    for (int p = 0; p < phases; ++p) {
      const double deg = 360.0 * p / phases;
      const double r = probe.read(f, deg * kPi / 180.0);
      fWorst = std::min(fWorst, r);
      consider(worst, overAsWorst, r, f, deg);
      if (f <= rate / 4.0) consider(quarter, none, r, f, deg);
    }
    if (perFrequency) {
      perFrequency->x.push_back(f);
      perFrequency->y.push_back(-fWorst);
    }
  }
  const auto refine = [&](Found& found, double limit, bool lowest) {
    const double centre = found.hz;
    for (double f = centre - 5.0; f <= centre + 5.0; f += 0.25) {
      if (f > limit) break;
      for (int p = 0; p < 8 * phases; ++p) {
        const double deg = 360.0 * p / (8 * phases);
        const double r = probe.read(f, deg * kPi / 180.0);
        if (lowest ? r < found.dB : -r < found.dB) found = {lowest ? r : -r, f, deg};
      }
    }
  };
  refine(worst, 20000.0, true);
  refine(quarter, rate / 4.0, true);
  refine(overAsWorst, 20000.0, false);
  over = {-overAsWorst.dB, overAsWorst.hz, overAsWorst.deg};
}

void measurePrecise(Figures& fig, const Figures* where, Traces* traces) {
  for (double rate : {44100.0, 48000.0}) {
    const std::string k = rate == 48000.0 ? "precise.48k." : "precise.44k1.";
    Found worst, quarter, over;
    if (where) {
      PreciseProbe probe(rate);
      const auto again = [&](const std::string& name) {
        const double hz = where->get(k + name + "_hz"), deg = where->get(k + name + "_deg");
        return Found{probe.read(hz, deg * kPi / 180.0), hz, deg};
      };
      worst = again("worst");
      quarter = again("quarter");
      over = again("over");
    } else {
      Curve c;
      c.label = rate == 48000.0 ? "48 kHz" : "44.1 kHz";
      surveyPrecise(rate, worst, quarter, over, traces ? &c : nullptr);
      if (traces) traces->underRead.push_back(c);
    }
    // The mean under-read of sines from 1 kHz to 20 kHz every 250 Hz, 16
    // phases each: where a single worst case may hang on one candidate of
    // the detector, this mean depends on every phase of its interpolator.
    {
      PreciseProbe probe(rate);
      double sum = 0.0;
      int n = 0;
      for (double hz = 1000.0; hz <= 20000.0; hz += 250.0)
        for (int p = 0; p < 16; ++p, ++n) sum += probe.read(hz, 2.0 * kPi * p / 16.0);
      fig.set(k + "mean_db", -sum / n, kPreciseDbTolerance);
    }
    // Under-reads are published as positive dB below the true peak.
    const auto publish = [&](const std::string& name, const Found& f, double sign) {
      fig.set(k + name + "_db", sign * f.dB, kPreciseDbTolerance);
      fig.set(k + name + "_hz", f.hz, -1.0);
      fig.set(k + name + "_deg", f.deg, -1.0);
    };
    publish("worst", worst, -1.0);
    publish("quarter", quarter, -1.0);
    publish("over", over, 1.0);
  }
}

}  // namespace

Figures measure(const Figures* where, Traces* traces) {
  Figures fig;
  measureVu(fig, traces);
  measurePpm(fig, traces);
  measureRms(fig, traces);
  measurePrecise(fig, where, traces);
  return fig;
}

}  // namespace ballistics
}  // namespace orvane
