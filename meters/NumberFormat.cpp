#include "meters/NumberFormat.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace orvane {
namespace {

int copyText(const char* source, char* text, std::size_t size) {
  if (!text || size == 0) return 0;
  std::size_t n = std::strlen(source);
  if (n >= size) n = size - 1;
  std::memcpy(text, source, n);
  text[n] = '\0';
  return static_cast<int>(n);
}

}  // namespace

int formatNumber(double value, int decimals, char* text, std::size_t size) {
  if (decimals < 0) decimals = 0;
  if (decimals > 6) decimals = 6;
  if (std::isnan(value)) return copyText("", text, size);
  if (std::isinf(value)) return copyText(value < 0 ? "-oo" : "oo", text, size);

  static const double kScale[] = {1.0, 10.0, 100.0, 1000.0, 1e4, 1e5, 1e6};
  // std::round takes halves away from zero. Scaling first makes 2.25 with
  // one decimal "2.3", as a user reading the knob expects.
  const double scaled = std::round(value * kScale[decimals]);
  char full[64];
  if (!(std::fabs(scaled) < 1e18)) {
    // Too large for the digits we can show: print the magnitude plainly;
    // the eight-character cut below keeps the text short.
    std::snprintf(full, sizeof full, "%.0f", value);
  } else {
    long long units = static_cast<long long>(scaled);
    const bool negative = units < 0;
    if (negative) units = -units;
    const long long whole = units / static_cast<long long>(kScale[decimals]);
    const long long frac = units % static_cast<long long>(kScale[decimals]);
    if (decimals == 0) {
      std::snprintf(full, sizeof full, "%s%lld", negative ? "-" : "", whole);
    } else {
      std::snprintf(full, sizeof full, "%s%lld.%0*lld", negative ? "-" : "", whole, decimals, frac);
    }
  }
  // At most eight characters; a point left dangling by the cut goes too.
  char shown[9];
  std::size_t n = std::strlen(full);
  if (n > 8) n = 8;
  std::memcpy(shown, full, n);
  shown[n] = '\0';
  if (n > 0 && shown[n - 1] == '.') shown[n - 1] = '\0';
  return copyText(shown, text, size);
}

int formatNumberWithUnit(double value, int decimals, const char* suffix, char* text, std::size_t size) {
  char number[16];
  formatNumber(value, decimals, number, sizeof number);
  char joined[64];
  std::snprintf(joined, sizeof joined, "%s%s", number, suffix ? suffix : "");
  return copyText(joined, text, size);
}

}  // namespace orvane
