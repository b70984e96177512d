#include "tools/orvane-meter/ToolOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/Parameters.h"
#include "meters/MeterMath.h"
#include "settings/SharedSettings.h"

namespace orvane {
namespace metertool {

// ---------------------------------------------------------------- mappings

namespace mapping {

namespace {
float clamp01(double v) { return v < 0.0 ? 0.0f : (v > 1.0 ? 1.0f : static_cast<float>(v)); }

// The knob value of a time position: the position in 1/80 steps, the form
// the knob itself stores, which both the truncating and the rounding knobs
// read back as the same position.
float positionValue(int position) { return static_cast<float>(position) * 0.0125f; }

// The reachable position whose time lies nearest to `ms`.
float nearestTime(double ms, TimeMap map, bool rounding) {
  int best = 0;
  double bestError = 1e300;
  for (int p = 0; p <= 80; ++p) {
    const double error = std::fabs(timeMs(positionValue(p), map, rounding) - ms);
    if (error < bestError) {
      bestError = error;
      best = p;
    }
  }
  return positionValue(best);
}

// A frequency knob, f = low * 100^v. The strip prints frequencies by
// truncating digits, so a value a hair below the one asked for would read
// "11k9" for 12 kHz: take the nearest float that does not fall short.
float frequencyValue(double hz, double low) {
  float v = clamp01(std::log(hz / low) / std::log(100.0));
  while (v < 1.0f && low * std::pow(100.0, static_cast<double>(v)) < hz) v = std::nextafter(v, 2.0f);
  return v > 1.0f ? 1.0f : v;
}
}  // namespace

float trim(double dB) { return clamp01((dB + 20.0) / 40.0); }
float hpFrequency(double hz) { return frequencyValue(hz, 20.0); }
float lpFrequency(double hz) { return frequencyValue(hz, 300.0); }
float lagTime(int ms) { return clamp01(ms / 999.0); }
float reference24(double dBFS) { return clamp01((dBFS + 24.0) / 24.0); }
float rmsReference(double dB) { return clamp01((dB + 20.0) / 30.0); }

float vuIntegration(double ms) {
  // The integration knob has 201 positions, 32^(position/200) times 53 ms.
  double position = std::round(200.0 * std::log(ms / 53.0330086) / std::log(32.0));
  if (!(position > 0.0)) position = 0.0;
  if (position > 200.0) position = 200.0;
  return clamp01(position / 200.0);
}

float shortTime(double ms) { return nearestTime(ms, TimeMap::Short, false); }
float longTime(double ms, bool roundingKnob) { return nearestTime(ms, TimeMap::Long, roundingKnob); }
float msType(int midAttenuationDb) { return midAttenuationDb <= 0 ? 0.0f : (midAttenuationDb <= 3 ? 0.5f : 1.0f); }
float overCount(int samples) { return clamp01((samples - 1) / 9.0); }

}  // namespace mapping

// ---------------------------------------------------------------- parsing

namespace {

const char* const kMeterNames[3] = {"VU", "RMS", "PPM"};

enum class Group { Tool, Host, Meter, Signal };

struct Parsed;
using Handler = bool (*)(Parsed& p, const std::string& value);

struct OptionDef {
  const char* name;      // without the leading "--"
  const char* argument;  // null for a flag
  Group group;
  Handler handler;
  const char* help;
};

// Collects what the options ask for, in the buckets whose order the effect
// sees.
struct Parsed {
  ToolOptions& options;
  const OptionDef* current = nullptr;
  std::string error;
  int meterType = 0;
  std::vector<ParameterSetting> scope, meter, settings, hostParameters, raw;

  explicit Parsed(ToolOptions& o) : options(o) {}

  std::string optionName() const { return std::string("--") + (current ? current->name : "?"); }

  bool fail(const std::string& message) {
    error = optionName() + ": " + message;
    return false;
  }
  void add(std::vector<ParameterSetting>& bucket, int32_t index, float value) {
    bucket.push_back({index, value, optionName()});
  }
  void host(int32_t index, float value) { add(hostParameters, index, value); }
  void setting(int32_t index, float value) { add(settings, index, value); }
  // The setting index of the selected meter: VU, RMS, PPM; -1 where the
  // meter has no such setting.
  bool meterSetting(int32_t vu, int32_t rms, int32_t ppm, int32_t& index) {
    const int32_t byType[3] = {vu, rms, ppm};
    index = byType[meterType];
    if (index >= 0) return true;
    std::string meters;
    for (int t = 0; t < 3; ++t) {
      if (byType[t] < 0) continue;
      if (!meters.empty()) meters += " and ";
      meters += kMeterNames[t];
    }
    return fail(std::string("applies to the ") + meters + " meter" + (meters.find(" and ") != std::string::npos ? "s" : "") +
                " only (the meter is " + kMeterNames[meterType] + ")");
  }
};

std::string quoted(const std::string& s) { return "'" + s + "'"; }

bool parseNumber(const std::string& text, double& out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || *end != 0 || errno == ERANGE || !std::isfinite(v)) return false;
  out = v;
  return true;
}

bool parseInteger(const std::string& text, long& out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str() || *end != 0 || errno == ERANGE) return false;
  out = v;
  return true;
}

// A number within [lo, hi]; `what` names the unit and range for messages.
bool number(Parsed& p, const std::string& value, double lo, double hi, const char* what, double& out) {
  if (!parseNumber(value, out)) return p.fail(quoted(value) + " is not a number (" + what + ")");
  // A hair of slack so that a printed end of the range is accepted.
  const double slack = (hi - lo) * 1e-9;
  if (out < lo - slack || out > hi + slack) return p.fail(value + " is out of range (" + what + ")");
  if (out < lo) out = lo;
  if (out > hi) out = hi;
  return true;
}

bool integer(Parsed& p, const std::string& value, long lo, long hi, const char* what, long& out) {
  if (!parseInteger(value, out)) return p.fail(quoted(value) + " is not a whole number (" + what + ")");
  if (out < lo || out > hi) return p.fail(value + " is out of range (" + what + ")");
  return true;
}

// One of a few words; answers its position or -1 after reporting.
int choice(Parsed& p, const std::string& value, std::initializer_list<const char*> words) {
  int i = 0;
  std::string list;
  for (const char* w : words) {
    if (value == w) return i;
    if (i) list += "|";
    list += w;
    ++i;
  }
  p.fail(quoted(value) + " is not one of " + list);
  return -1;
}

// ---- tool options

bool onHelp(Parsed& p, const std::string&) { return p.options.help = true; }
bool onVersion(Parsed& p, const std::string&) { return p.options.version = true; }
bool onOutput(Parsed& p, const std::string& v) {
  if (v.empty()) return p.fail("needs a file name");
  p.options.output = v;
  return true;
}
bool onPlot(Parsed& p, const std::string& v) {
  if (v.empty()) return p.fail("needs a file name");
  p.options.plot = v;
  return true;
}
bool onFormat(Parsed& p, const std::string& v) {
  const int c = choice(p, v, {"table", "csv", "json"});
  if (c < 0) return false;
  p.options.format = c == 0 ? OutputFormat::Table : (c == 1 ? OutputFormat::Csv : OutputFormat::Json);
  return true;
}
bool onRate(Parsed& p, const std::string& v) {
  double hz;
  if (!number(p, v, 0.0, 1000.0, "display refreshes per second, above 0 and up to 1000", hz)) return false;
  if (!(hz > 0.0)) return p.fail(v + " is out of range (display refreshes per second, above 0 and up to 1000)");
  p.options.rateHz = hz;
  return true;
}
bool onBlock(Parsed& p, const std::string& v) {
  long n;
  if (!integer(p, v, 1, 65536, "frames per host block, 1 to 65536", n)) return false;
  p.options.block = static_cast<int>(n);
  return true;
}
bool onNoProgress(Parsed& p, const std::string&) {
  p.options.progress = false;
  return true;
}
bool onMakeSignal(Parsed& p, const std::string& v) {
  if (v.empty()) return p.fail("needs a file name");
  p.options.makeTestSignal = v;
  return true;
}
bool onSignalSeconds(Parsed& p, const std::string& v) {
  double s;
  if (!number(p, v, 1.0, 3600.0, "seconds, 1 to 3600", s)) return false;
  p.options.signal.seconds = s;
  return true;
}
bool onSignalRate(Parsed& p, const std::string& v) {
  long hz;
  if (!integer(p, v, 8000, 384000, "Hz, 8000 to 384000", hz)) return false;
  p.options.signal.sampleRate = static_cast<int>(hz);
  return true;
}
bool onSignalChannels(Parsed& p, const std::string& v) {
  long n;
  if (!integer(p, v, 1, 2, "1 or 2", n)) return false;
  p.options.signal.channels = static_cast<int>(n);
  return true;
}

// ---- host parameters

bool onProcess(Parsed& p, const std::string&) {
  p.host(kProcess, 1.0f);
  return true;
}
bool onTrim(Parsed& p, const std::string& v) {
  double dB;
  if (!number(p, v, -20.0, 20.0, "dB, -20 to +20", dB)) return false;
  p.host(kTrim, mapping::trim(dB));
  return true;
}
bool onScope(Parsed& p, const std::string& v) {
  const int c = choice(p, v, {"global", "session", "instance"});
  if (c < 0) return false;
  p.add(p.scope, kGSIcal, c * 0.5f);
  return true;
}
bool onMeter(Parsed& p, const std::string& v) {
  const int c = choice(p, v, {"vu", "rms", "ppm"});
  if (c < 0) return false;
  p.meterType = c;
  p.options.meterType = c;
  return true;
}
bool onMs(Parsed& p, const std::string&) {
  p.host(kLRMS, 1.0f);
  return true;
}
bool onLr(Parsed& p, const std::string&) {
  p.host(kLRMS, 0.0f);
  return true;
}
bool onHold(Parsed& p, const std::string& v) {
  int c = v == "oo" ? 1 : choice(p, v, {"off", "infinite", "on"});
  if (c < 0) return false;
  p.host(kHold, c * 0.5f);
  return true;
}
bool showHide(Parsed& p, const std::string& v, int32_t index) {
  const int c = choice(p, v, {"hide", "show"});
  if (c < 0) return false;
  p.host(index, static_cast<float>(c));
  return true;
}
bool onStrips(Parsed& p, const std::string& v) { return showHide(p, v, kStrips); }
bool onShowFilters(Parsed& p, const std::string& v) { return showHide(p, v, kShowFlt); }
bool onShowLabel(Parsed& p, const std::string& v) { return showHide(p, v, kShowLbl); }
bool onFilters(Parsed& p, const std::string&) {
  p.host(kProcFlt, 1.0f);
  return true;
}
bool onHp(Parsed& p, const std::string& v) {
  if (v == "off") {
    p.host(kHPStat, 0.0f);
    return true;
  }
  double hz;
  if (!number(p, v, 20.0, 2000.0, "Hz, 20 to 2000, or off", hz)) return false;
  p.host(kHPStat, 1.0f);
  p.host(kHPFreq, mapping::hpFrequency(hz));
  return true;
}
bool onHpSlope(Parsed& p, const std::string& v) {
  const int c = choice(p, v, {"12", "24"});
  if (c < 0) return false;
  p.host(kHPSlope, static_cast<float>(c));
  return true;
}
bool onLp(Parsed& p, const std::string& v) {
  if (v == "off") {
    p.host(kLPStat, 0.0f);
    return true;
  }
  double hz;
  if (!number(p, v, 300.0, 30000.0, "Hz, 300 to 30000, or off", hz)) return false;
  p.host(kLPStat, 1.0f);
  p.host(kLPFreq, mapping::lpFrequency(hz));
  return true;
}
bool onLpSlope(Parsed& p, const std::string& v) {
  const int c = choice(p, v, {"6", "18"});
  if (c < 0) return false;
  p.host(kLPSlope, static_cast<float>(c));
  return true;
}
bool onLag(Parsed& p, const std::string& v) {
  long ms;
  if (!integer(p, v, 0, 999, "ms, 0 to 999", ms)) return false;
  p.host(kLagTime, mapping::lagTime(static_cast<int>(ms)));
  return true;
}

// ---- meter settings of the selected meter

bool onReference(Parsed& p, const std::string& v) {
  int32_t index;
  if (!p.meterSetting(83, 72, 93, index)) return false;
  double dB;
  if (p.meterType == kMeterRMS) {
    if (!number(p, v, -20.0, 10.0, "dB, -20 to +10 for the RMS meter", dB)) return false;
    p.setting(index, mapping::rmsReference(dB));
  } else {
    if (!number(p, v, -24.0, 0.0, "dBFS, -24 to 0", dB)) return false;
    p.setting(index, mapping::reference24(dB));
  }
  return true;
}
bool onIntegration(Parsed& p, const std::string& v) {
  int32_t index;
  if (!p.meterSetting(84, 73, 94, index)) return false;
  double ms;
  if (p.meterType == kMeterVU) {
    if (!number(p, v, 53.0, 1698.0, "ms, 53 to 1697 for the VU meter", ms)) return false;
    p.setting(index, mapping::vuIntegration(ms));
  } else {
    if (!number(p, v, 0.0, 100.0, "ms, 0 to 100", ms)) return false;
    p.setting(index, mapping::shortTime(ms));
  }
  return true;
}
bool onRmsIntegration(Parsed& p, const std::string& v) {
  int32_t index;
  if (!p.meterSetting(-1, 74, -1, index)) return false;
  double ms;
  if (!number(p, v, 100.0, 10000.0, "ms, 100 to 10000", ms)) return false;
  p.setting(index, mapping::longTime(ms, false));
  return true;
}
bool onHoldTime(Parsed& p, const std::string& v) {
  int32_t index;
  if (!p.meterSetting(85, 75, 95, index)) return false;
  double ms;
  if (!number(p, v, 100.0, 10000.0, "ms, 100 to 10000", ms)) return false;
  // The VU hold knob rounds to its positions, the others truncate.
  p.setting(index, mapping::longTime(ms, p.meterType == kMeterVU));
  return true;
}
bool onReturn(Parsed& p, const std::string& v) {
  int32_t index;
  if (!p.meterSetting(-1, 76, 96, index)) return false;
  double ms;
  if (!number(p, v, 100.0, 10000.0, "ms for a 24 dB fall, 100 to 10000", ms)) return false;
  p.setting(index, mapping::longTime(ms, false));
  return true;
}
bool onMsType(Parsed& p, const std::string& v) {
  int32_t index;
  if (!p.meterSetting(87, 77, 97, index)) return false;
  const int c = choice(p, v, {"0", "3", "6"});
  if (c < 0) return false;
  p.setting(index, mapping::msType(c * 3));
  return true;
}
bool onOverCount(Parsed& p, const std::string& v) {
  int32_t index;
  if (!p.meterSetting(89, 78, 98, index)) return false;
  long n;
  if (!integer(p, v, 1, 10, "consecutive samples, 1 to 10", n)) return false;
  p.setting(index, mapping::overCount(static_cast<int>(n)));
  return true;
}
bool onOverRef(Parsed& p, const std::string& v) {
  int32_t index;
  if (!p.meterSetting(90, 79, 99, index)) return false;
  double level;
  if (p.meterType == kMeterRMS) {
    long dB;
    if (!integer(p, v, -6, 0, "dB, -6 to 0", dB)) return false;
    p.setting(index, static_cast<float>((dB + 6) / 6.0));
    return true;
  }
  // VU and PPM: 8 dB above the reference level (8.15 on the PPM), or the
  // sample level -3, -1 or 0 dBFS.
  const double above = p.meterType == kMeterVU ? 8.0 : 8.15;
  const char* what = p.meterType == kMeterVU ? "+8 (dB above the reference), -3, -1 or 0 (dBFS)"
                                             : "+8.15 (dB above the reference), -3, -1 or 0 (dBFS)";
  if (!parseNumber(v, level)) return p.fail(quoted(v) + " is not a number (" + what + ")");
  int position;
  if (std::fabs(level - above) < 0.2) position = 0;
  else if (level == -3.0) position = 1;
  else if (level == -1.0) position = 2;
  else if (level == 0.0) position = 3;
  else return p.fail(v + " is not an over level of this meter (" + what + ")");
  p.setting(index, static_cast<float>(position / 3.0));
  return true;
}
bool onLedRef(Parsed& p, const std::string& v) {
  int32_t index;
  if (!p.meterSetting(-1, 81, -1, index)) return false;
  const int c = choice(p, v, {"reference", "full-scale"});
  if (c < 0) return false;
  p.setting(index, static_cast<float>(c));
  return true;
}
bool onPrecise(Parsed& p, const std::string&) {
  int32_t index;
  if (!p.meterSetting(91, 80, 100, index)) return false;
  p.setting(index, 1.0f);
  return true;
}
bool onCpuSafe(Parsed& p, const std::string&) {
  int32_t index;
  if (!p.meterSetting(91, 80, 100, index)) return false;
  p.setting(index, 0.0f);
  return true;
}
bool onVuType(Parsed& p, const std::string& v) {
  int32_t index;
  if (!p.meterSetting(86, -1, -1, index)) return false;
  const int c = choice(p, v, {"a", "b"});
  if (c < 0) return false;
  p.setting(index, static_cast<float>(c));
  return true;
}
bool onBacklit(Parsed& p, const std::string& v) {
  int32_t index;
  if (!p.meterSetting(88, -1, -1, index)) return false;
  long level;
  if (!integer(p, v, 0, 4, "level 0 to 4", level)) return false;
  p.setting(index, level / 4.0f);
  return true;
}
bool onSet(Parsed& p, const std::string& v) {
  const std::size_t eq = v.find('=');
  long index;
  double value;
  if (eq == std::string::npos || !parseInteger(v.substr(0, eq), index) || !parseNumber(v.substr(eq + 1), value))
    return p.fail(quoted(v) + " is not INDEX=VALUE");
  if (!(isHostParameter(static_cast<int32_t>(index)) || meterSettingSlot(static_cast<int32_t>(index)) >= 0))
    return p.fail(std::to_string(index) + " is not a parameter (0 to 16) or a meter setting (72 to 81, 83 to 91, 93 to 100)");
  if (value < 0.0 || value > 1.0) return p.fail(v.substr(eq + 1) + " is out of range (a normalised value, 0 to 1)");
  p.add(p.raw, static_cast<int32_t>(index), static_cast<float>(value));
  return true;
}

const OptionDef kOptions[] = {
    {"help", nullptr, Group::Tool, onHelp, "this text"},
    {"version", nullptr, Group::Tool, onVersion, "the tool's version"},
    {"format", "table|csv|json", Group::Tool, onFormat, "output format (default table)"},
    {"output", "FILE", Group::Tool, onOutput, "write the output to FILE instead of standard output (- is standard output)"},
    {"plot", "FILE.png", Group::Tool, onPlot, "draw the needle and hold traces into a PNG picture"},
    {"rate-hz", "HZ", Group::Tool, onRate, "display refreshes per second (default 30)"},
    {"block", "FRAMES", Group::Tool, onBlock, "host block size (default 512)"},
    {"no-progress", nullptr, Group::Tool, onNoProgress, "no progress bar on standard error"},

    {"meter", "vu|rms|ppm", Group::Host, onMeter, "the meter (\"Meter\"; default vu)"},
    {"ms", nullptr, Group::Host, onMs, "mid/side instead of left/right (\"LR/MS\")"},
    {"lr", nullptr, Group::Host, onLr, "left/right (the default)"},
    {"hold", "off|infinite|on", Group::Host, onHold, "peak hold (\"Hold\"; default off)"},
    {"lag", "MS", Group::Host, onLag, "display delay, 0 to 999 ms (\"LagTime\")"},
    {"process", nullptr, Group::Host, onProcess, "switch the channel strip on: trim and filters act (\"Process\")"},
    {"trim", "DB", Group::Host, onTrim, "trim, -20 to +20 dB in 0.1 dB steps (\"Trim\")"},
    {"filters", nullptr, Group::Host, onFilters, "put the filter pair in (\"ProcFlt\")"},
    {"hp", "HZ|off", Group::Host, onHp, "high-pass frequency 20 to 2000 Hz, or off (\"HPFreq\", \"HPStat\")"},
    {"hp-slope", "12|24", Group::Host, onHpSlope, "high-pass slope in dB/oct (\"HPSlope\")"},
    {"lp", "HZ|off", Group::Host, onLp, "low-pass frequency 300 to 30000 Hz, or off (\"LPFreq\", \"LPStat\")"},
    {"lp-slope", "6|18", Group::Host, onLpSlope, "low-pass slope in dB/oct (\"LPSlope\")"},
    {"scope", "global|session|instance", Group::Host, onScope, "settings scope (\"GSIcal\"); the tool never touches your saved settings"},
    {"strips", "show|hide", Group::Host, onStrips, "editor layout only (\"Strips\")"},
    {"show-filters", "show|hide", Group::Host, onShowFilters, "editor layout only (\"ShowFlt\")"},
    {"show-label", "show|hide", Group::Host, onShowLabel, "editor layout only (\"ShowLbl\")"},

    {"reference", "DB", Group::Meter, onReference, "reference level: VU and PPM -24 to 0 dBFS, RMS -20 to +10 dB (first-run defaults: VU -18, PPM -12, RMS 0)"},
    {"integration", "MS", Group::Meter, onIntegration, "integration: VU 53 to 1697 ms; PPM and RMS peak rise 0 to 100 ms"},
    {"rms-integration", "MS", Group::Meter, onRmsIntegration, "RMS averaging time, 100 to 10000 ms (RMS)"},
    {"hold-time", "MS", Group::Meter, onHoldTime, "peak hold time, 100 to 10000 ms"},
    {"return", "MS", Group::Meter, onReturn, "time of a 24 dB fall, 100 to 10000 ms (PPM, RMS)"},
    {"ms-type", "0|3|6", Group::Meter, onMsType, "mid attenuation in dB in mid/side mode (M0, M3, M6)"},
    {"over-count", "N", Group::Meter, onOverCount, "consecutive samples that make an over, 1 to 10"},
    {"over-ref", "LEVEL", Group::Meter, onOverRef,
     "over level: VU +8 (above the reference), -3, -1 or 0 dBFS; PPM +8.15, -3, -1 or 0; RMS -6 to 0 dB"},
    {"led-ref", "full-scale|reference", Group::Meter, onLedRef, "RMS over level counted from full scale or from the reference"},
    {"precise", nullptr, Group::Meter, onPrecise, "precise mode: find the peaks between samples"},
    {"cpu-safe", nullptr, Group::Meter, onCpuSafe, "precise mode off (the default)"},
    {"vu-type", "a|b", Group::Meter, onVuType, "VU needle model (VU)"},
    {"backlit", "0..4", Group::Meter, onBacklit, "VU face illumination; does not change the readings (VU)"},
    {"set", "INDEX=VALUE", Group::Meter, onSet, "any parameter (0 to 16) or meter setting (72 to 100) as a normalised 0..1 value"},

    {"make-test-signal", "FILE", Group::Signal, onMakeSignal,
     "write a test programme (tone step, bursts, pink noise, inter-sample peaks, clipping) and exit; "
     "the format follows the extension: .wav (float), .aif/.aiff (24 bit), .flac (16 bit), .ogg"},
    {"signal-seconds", "S", Group::Signal, onSignalSeconds, "length of the test programme, 1 to 3600 s (default 12)"},
    {"signal-rate", "HZ", Group::Signal, onSignalRate, "sample rate of the test programme (default 48000)"},
    {"signal-channels", "1|2", Group::Signal, onSignalChannels, "channels of the test programme (default 2)"},
};

const OptionDef* findOption(const std::string& name) {
  for (const OptionDef& d : kOptions)
    if (name == d.name) return &d;
  return nullptr;
}

}  // namespace

ParseOutcome parseOptions(int argc, const char* const* argv, ToolOptions& options) {
  ParseOutcome outcome;
  options = ToolOptions();
  Parsed parsed(options);
  std::vector<std::pair<const OptionDef*, std::string>> given;
  std::vector<std::string> positional;

  auto failWith = [&](const std::string& message) {
    outcome.ok = false;
    outcome.message = message;
    return outcome;
  };

  bool onlyPositional = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i] ? argv[i] : "";
    if (onlyPositional || arg.size() < 2 || arg[0] != '-') {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      onlyPositional = true;
      continue;
    }
    std::string name, value;
    bool hasValue = false;
    if (arg == "-h") {
      name = "help";
    } else if (arg == "-o") {
      name = "output";
    } else if (arg.compare(0, 2, "--") == 0) {
      name = arg.substr(2);
      const std::size_t eq = name.find('=');
      if (eq != std::string::npos) {
        value = name.substr(eq + 1);
        name.resize(eq);
        hasValue = true;
      }
    } else {
      return failWith("unknown option " + quoted(arg) + " (see --help)");
    }
    const OptionDef* def = findOption(name);
    if (!def) return failWith("unknown option " + quoted("--" + name) + " (see --help)");
    if (def->argument && !hasValue) {
      // The value is the next word, whatever it looks like: "--trim -3.5".
      if (i + 1 >= argc) return failWith("--" + name + " needs a value (" + def->argument + ")");
      value = argv[++i] ? argv[i] : "";
    } else if (!def->argument && hasValue) {
      return failWith("--" + name + " takes no value");
    }
    given.emplace_back(def, value);
  }

  // The meter comes first: the meter settings are read in its units.
  for (auto& g : given) {
    if (g.first->handler != onMeter) continue;
    parsed.current = g.first;
    if (!g.first->handler(parsed, g.second)) return failWith(parsed.error);
  }
  for (auto& g : given) {
    if (g.first->handler == onMeter) continue;
    parsed.current = g.first;
    if (!g.first->handler(parsed, g.second)) return failWith(parsed.error);
  }
  if (options.help || options.version) return outcome;

  if (!options.makeTestSignal.empty()) {
    if (!positional.empty()) return failWith("--make-test-signal writes a file and meters none: give no input file");
    return outcome;
  }
  if (positional.empty()) return failWith("no input file (see --help)");
  if (positional.size() > 1) return failWith("one input file at a time: " + quoted(positional[1]) + " is one too many");
  options.input = positional[0];

  // The scope first (it re-applies the stores), then the meter, the meter
  // settings into that scope, the rest of the host parameters, raw values.
  parsed.current = findOption("meter");
  parsed.add(parsed.meter, kMeter, parsed.meterType * 0.5f);
  for (auto* bucket : {&parsed.scope, &parsed.meter, &parsed.settings, &parsed.hostParameters, &parsed.raw})
    options.parameters.insert(options.parameters.end(), bucket->begin(), bucket->end());
  return outcome;
}

std::string helpText() {
  std::string text =
      "usage: orvane-meter [OPTIONS] FILE\n"
      "       orvane-meter --make-test-signal FILE [--signal-seconds S] [--signal-rate HZ] [--signal-channels N]\n"
      "\n"
      "Runs a sound file (WAV, AIFF, FLAC, Ogg; mono or stereo) through the ZEL Orvane effect\n"
      "and its meter, and prints what the meter shows at each display refresh: the needle (on the\n"
      "RMS meter its peak needle) and the hold of each channel, and the RMS needle of the RMS\n"
      "meter, linear relative to the reference level and in dB, and the over LED (- none,\n"
      "latch, OVER). A summary follows.\n"
      "Every option may also be written --name=value.\n";
  const struct {
    Group group;
    const char* title;
  } sections[] = {{Group::Tool, "Output"},
                  {Group::Host, "Effect parameters"},
                  {Group::Meter, "Settings of the selected meter"},
                  {Group::Signal, "Test programme"}};
  for (const auto& s : sections) {
    text += "\n";
    text += s.title;
    text += ":\n";
    for (const OptionDef& d : kOptions) {
      if (d.group != s.group) continue;
      std::string left = std::string("  --") + d.name + (d.argument ? std::string(" ") + d.argument : "");
      if (left.size() < 30) left.resize(30, ' ');
      else left += "\n" + std::string(30, ' ');
      // The description wrapped at word boundaries within 100 columns.
      std::string line, word;
      std::string help = std::string(d.help) + " ";
      for (char c : help) {
        if (c != ' ') {
          word += c;
          continue;
        }
        if (!line.empty() && line.size() + 1 + word.size() > 70) {
          left += line + "\n" + std::string(30, ' ');
          line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        word.clear();
      }
      text += left + line + "\n";
    }
  }
  text +=
      "\n"
      "Meter settings not given keep their first-run defaults; the tool works on a private copy\n"
      "of the settings and never reads or writes the ones the plug-in saves for you.\n"
      "CSV output has one header line; lines starting with '#' carry the file, settings and summary.\n"
      "Exit status: 0 done, 1 the file could not be read or an output not written, 2 bad options.\n";
  return text;
}

}  // namespace metertool
}  // namespace orvane
