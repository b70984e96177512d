// The one way this product prints a number beside a control: rounded to a
// fixed count of decimals, halves away from zero, at most eight characters.
#pragma once

#include <cstddef>

namespace orvane {

// Writes `value` with `decimals` decimals (0..6) into `text` (a
// zero-terminated text of at most `size` bytes) and answers its length.
// The nearest value with that many decimals is taken (halves away from
// zero); at most eight characters of sign, digits and point are printed,
// cut after the last decimal; with no decimals there is no point. Negative
// zero prints without a sign. Infinities print "oo"/"-oo", NaN an empty text.
int formatNumber(double value, int decimals, char* text, std::size_t size);

// Appends `suffix` to the number: formatNumber(value, decimals) + suffix.
int formatNumberWithUnit(double value, int decimals, const char* suffix, char* text, std::size_t size);

}  // namespace orvane
