// What the strips compute without any view: the typed filter frequency, the
// positions of the frequency entries, the label as the effect stores it and
// the display delay taken from the host's latency. Pure functions, so they
// are tested apart from the window.
#pragma once

#include <cstddef>

namespace orvane {

// The two filters of the strip: their frequency ranges are 20 Hz .. 2 kHz
// and 300 Hz .. 30 kHz, each a factor of 100 spread over the parameter.
enum class StripFilter { HighPass, LowPass };

// The parameter value (0..1) of a frequency in Hz, the inverse of the
// effect's own mapping (20 * 100^v, 300 * 100^v). Below the range (and for
// anything that is not a positive number) 0, above it 1.
float filterValueOf(StripFilter filter, double hz);

// What the user typed into a frequency entry, as the parameter value to
// send. The leading number counts, the rest is ignored: "500", " 500 ",
// "500 Hz". A k (either case) stands for the decimal point of kHz: "2k5"
// and "2.5k" are 2500 Hz, "2k" 2000 Hz. On the low-pass a plain number
// from 0.3 to 30 means kHz ("3" is 3 kHz): nobody sets a low-pass to 3 Hz.
// Outside the range the nearest end is taken; a text without a number
// (letters only, "k") gives the bottom of the range. The number is read the
// same way whatever the process's locale. Answers false, and leaves
// `value` alone, when nothing was typed (empty or blanks only).
bool filterValueFromText(StripFilter filter, const char* text, float& value);

// Where a frequency entry sits for a slider value: its left edge, above the
// slider's handle (the entry is 42 pixels wide).
int frequencyEntryLeft(StripFilter filter, float value);
constexpr int kFrequencyEntryWidth = 42;
constexpr int kFrequencyEntryHeight = 15;

// The label as the effect keeps it: at most 38 bytes of the text, cut
// before a multi-byte UTF-8 character that would not fit whole, then
// terminated. `out` holds at least 39 bytes. Answers the bytes kept.
constexpr int kLabelKeptBytes = 38;
size_t cutLabelText(const char* text, char* out);

// The "LagTime" value that delays the display by the host's output
// latency: the latency in ms on the 0..999 ms scale, limited to it.
float lagValueOfLatency(double latencySeconds);

}  // namespace orvane
