// A progress bar on standard error for long files, drawn only when a person
// is watching (standard error is a terminal) and redrawn only when what it
// shows changes, so it costs nothing measurable.
#pragma once

#include <cstdio>
#include <string>

namespace orvane {
namespace metertool {

class ProgressBar {
 public:
  // Files shorter than this finish before a bar would be worth reading.
  static constexpr double kMinimumSeconds = 5.0;

  // `enabled`: the caller's decision (a terminal, and not switched off).
  ProgressBar(FILE* out, bool enabled, double totalSeconds);
  ~ProgressBar();

  bool active() const { return active_; }
  void update(double doneSeconds);
  // Clears the bar's line, leaving the terminal as it was.
  void finish();

  // The bar's text for a fraction 0..1, without the carriage return.
  static std::string render(double fraction, double doneSeconds, double totalSeconds);

 private:
  FILE* out_;
  bool active_;
  double total_;
  int shown_ = -1;  // per mille last drawn
};

// True when standard error is a terminal.
bool standardErrorIsTerminal();

}  // namespace metertool
}  // namespace orvane
