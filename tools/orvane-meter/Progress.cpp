#include "tools/orvane-meter/Progress.h"

#include <unistd.h>

namespace orvane {
namespace metertool {

namespace {
constexpr int kBarWidth = 32;
}

ProgressBar::ProgressBar(FILE* out, bool enabled, double totalSeconds)
    : out_(out), active_(enabled && out && totalSeconds > kMinimumSeconds), total_(totalSeconds) {}

ProgressBar::~ProgressBar() { finish(); }

std::string ProgressBar::render(double fraction, double doneSeconds, double totalSeconds) {
  if (!(fraction >= 0.0)) fraction = 0.0;
  if (fraction > 1.0) fraction = 1.0;
  const int filled = static_cast<int>(fraction * kBarWidth + 1e-9);
  std::string bar = "metering [";
  bar.append(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(kBarWidth - filled), '.');
  char tail[96];
  std::snprintf(tail, sizeof(tail), "] %3d%%  %.1f of %.1f s", static_cast<int>(fraction * 100.0 + 1e-9), doneSeconds,
                totalSeconds);
  return bar + tail;
}

void ProgressBar::update(double doneSeconds) {
  if (!active_) return;
  const double fraction = total_ > 0.0 ? doneSeconds / total_ : 1.0;
  const int perMille = static_cast<int>(fraction * 1000.0);
  if (perMille == shown_) return;
  shown_ = perMille;
  std::fprintf(out_, "\r%s", render(fraction, doneSeconds, total_).c_str());
  std::fflush(out_);
}

void ProgressBar::finish() {
  if (!active_) return;
  active_ = false;
  if (shown_ < 0) return;
  // Blank the line and return to its start.
  std::fprintf(out_, "\r%*s\r", static_cast<int>(render(1.0, total_, total_).size()) + 2, "");
  std::fflush(out_);
}

bool standardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

}  // namespace metertool
}  // namespace orvane
