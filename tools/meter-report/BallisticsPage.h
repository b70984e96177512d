// docs/ballistics.md and its pictures, written from the measured figures.
#pragma once

#include <string>

#include "tools/meter-report/Ballistics.h"

namespace orvane {
namespace ballistics {

// The page's Markdown: a function of the figures alone, so that the test can
// write it again from the published figures and find any hand edit.
std::string renderPage(const Figures& f);

// The pictures the page shows, as PNG files in `dir` (cairo).
bool drawPlots(const Traces& traces, const std::string& dir, std::string& error);

}  // namespace ballistics
}  // namespace orvane
