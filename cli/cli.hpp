// SPDX-License-Identifier: MIT
#pragma once
// The headless command line: applies actions to a fresh Form1 in command-line order and prints
// the results. It links no toolkit, so a headless run costs a few milliseconds.

#include <iosfwd>
#include <string>
#include <vector>

namespace lenstally {

/// What a command line asks for once parsed and run.
struct CliOutcome {
    int status = 0;               // 0 all computed, 1 some caption "Out of range", 2 usage error
    bool openWindow = false;      // no headless option given: the caller opens the window
    bool openPlanner = false;     // --planner: the caller opens the planner instead
    std::string plannerFile = {}; // the project the planner opens, if any
};

/// Runs the command line `args` (without the program name), writing results to `out` and a
/// usage error as one line to `err`. `--project -` reads the project from `in`.
CliOutcome RunCommandLine(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                          std::ostream& err);

/// As above, with `--project -` reading std::cin.
CliOutcome RunCommandLine(const std::vector<std::string>& args, std::ostream& out,
                          std::ostream& err);

} // namespace lenstally
