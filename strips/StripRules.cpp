#include "strips/StripRules.h"

#include <cmath>
#include <cstring>

namespace orvane {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// The leading decimal number of a text: blanks, a sign, digits with at most
// one point, an exponent. Written out rather than strtod, whose decimal
// point follows the host's locale and which would also take "nan", "inf"
// and hexadecimal. `kPoint` is the one position (or -1) that reads as a
// point whatever it holds: where the user typed the k of "2k5". A text
// without digits reads 0.
double leadingNumber(const char* s, long kPoint) {
  long i = 0;
  while (isBlank(s[i])) ++i;
  bool negative = false;
  if (s[i] == '+' || s[i] == '-') negative = s[i++] == '-';
  double mantissa = 0;
  int scale = 0;  // decimal exponent of the mantissa
  int significant = 0;
  bool point = false;
  bool digits = false;
  for (;; ++i) {
    const char c = s[i];
    if (isDigit(c)) {
      digits = true;
      // Past 17 significant digits a double holds no more; later digits
      // before the point only scale the number.
      if (significant < 17) {
        mantissa = mantissa * 10 + (c - '0');
        if (mantissa > 0) ++significant;
        if (point) --scale;
      } else if (!point) {
        ++scale;
      }
    } else if (!point && (c == '.' || i == kPoint)) {
      point = true;
    } else {
      break;
    }
  }
  if (!digits) return 0;
  if ((s[i] == 'e' || s[i] == 'E') && i != kPoint) {
    long j = i + 1;
    bool expNegative = false;
    if (s[j] == '+' || s[j] == '-') expNegative = s[j++] == '-';
    if (isDigit(s[j])) {
      int e = 0;
      for (; isDigit(s[j]); ++j)
        if (e < 10000) e = e * 10 + (s[j] - '0');
      scale += expNegative ? -e : e;
    }
  }
  if (scale < -400) return 0;
  if (scale > 400) scale = 400;  // infinity, which the range clamps
  const double x = mantissa * std::pow(10.0, (double)scale);
  return negative ? -x : x;
}

}  // namespace

float filterValueOf(StripFilter filter, double hz) {
  const double bottom = filter == StripFilter::HighPass ? 20.0 : 300.0;
  if (!(hz > bottom)) return 0.f;  // also 0, negatives and NaN
  const double v = std::log(hz / bottom) / std::log(100.0);
  if (v >= 1.0) return 1.f;
  // The parameter is a float: of the two floats around v, the one that
  // maps back to at least hz, so that a typed 2500 reads "2k5" and not
  // "2k49" in the effect's text, which cuts its digits.
  float value = (float)v;
  if (bottom * std::pow(100.0, (double)value) < hz) value = std::nextafter(value, 2.f);
  return value > 1.f ? 1.f : value;
}

bool filterValueFromText(StripFilter filter, const char* text, float& value) {
  if (!text) return false;
  // An entry confirmed empty is taken as no change: clearing the box must
  // not throw the filter to the end of its range.
  const char* p = text;
  while (isBlank(*p)) ++p;
  if (!*p) return false;

  // The first k marks kHz. Only the leading number is read, so a k beyond
  // it changes nothing but the factor: "2k5" is 2.5 kHz, "1.5k" 1.5 kHz.
  const char* k = std::strpbrk(text, "kK");
  double hz = leadingNumber(text, k ? (long)(k - text) : -1);
  if (k) {
    hz *= 1000.0;
  } else if (filter == StripFilter::LowPass && hz >= 0.3 && hz <= 30.0) {
    hz *= 1000.0;  // "3" on the low-pass is 3 kHz
  }
  if (hz < 0) hz = 0;
  value = filterValueOf(filter, hz);
  return true;
}

int frequencyEntryLeft(StripFilter filter, float value) {
  if (!(value >= 0.f)) value = 0.f;
  if (value > 1.f) value = 1.f;
  const int origin = filter == StripFilter::HighPass ? 45 : 310;
  return origin + (int)std::lround(144.0 * value);
}

size_t cutLabelText(const char* text, char* out) {
  if (!out) return 0;
  if (!text) text = "";
  size_t n = 0;
  while (n < (size_t)kLabelKeptBytes && text[n]) ++n;
  if (text[n] && n > 0) {
    // The byte after the cut continues a character: the cut moves back to
    // that character's first byte. A UTF-8 character has at most three
    // continuation bytes; more in a row is no UTF-8, cut where it falls.
    size_t back = n;
    while (back > 0 && n - back < 3 && ((unsigned char)text[back] & 0xC0) == 0x80) --back;
    if (((unsigned char)text[back] & 0xC0) != 0x80) n = back;
  }
  std::memcpy(out, text, n);
  out[n] = 0;
  return n;
}

float lagValueOfLatency(double latencySeconds) {
  const double v = latencySeconds * 1.001001;  // 1000 ms / 999 ms
  if (!(v > 0)) return 0.f;
  return v >= 1.0 ? 1.f : (float)v;
}

}  // namespace orvane
