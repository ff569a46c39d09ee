#pragma once
// What quintrel-gif does with its parsed command line: loads the pictures, finds the output size by
// the program's rules, exports through the program's own export engine and writes a project file.

#include "cli/cli_options.h"

#include <ostream>
#include <vector>

namespace cli {

struct Console {
    std::ostream& out;
    std::ostream& err;
    bool showProgress;  // only when the error stream is a terminal
};

enum ExitStatus { kDone = 0, kFailed = 1, kBadArguments = 2 };

// Parses and runs; returns the exit status.
int Main(const std::vector<wxString>& arguments, const Console& console);

int Run(const Options& options, const Console& console);

}  // namespace cli
