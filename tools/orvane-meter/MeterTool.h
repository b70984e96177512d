// orvane-meter as a function: the whole program short of main(), so tests
// can run it in-process with their own streams.
#pragma once

#include <cstdio>

namespace orvane {
namespace metertool {

// Runs the tool. `out` takes the report when no --output is given (and
// --help); `err` takes messages and the progress bar, which is drawn only
// when `errIsTerminal`. Answers the exit status: 0 done, 1 a file could not
// be read or written, 2 bad options.
int runMeterTool(int argc, const char* const* argv, FILE* out, FILE* err, bool errIsTerminal);

}  // namespace metertool
}  // namespace orvane
