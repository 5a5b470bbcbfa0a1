// SPDX-License-Identifier: MIT
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "cli/cli.hpp"
#include "cli/display.hpp"

namespace {

using lenstally::kNoWindowStatus;

// Beside this executable (the build tree) first, then in the installed prefix's libexec folder,
// wherever that prefix was moved.
std::filesystem::path findProgram(const char* name) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    const std::filesystem::path dir = self.parent_path();
    for (const std::filesystem::path& candidate :
         {dir / name, dir / ".." / "libexec" / "lenstally" / name}) {
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

// Runs one of the window programs in place of this process: the calculator as `lenstally` (the
// name its desktop entry expects), the planner under its own name with the project to open.
int openWindow(const char* program, std::string name, std::optional<std::string> file) {
    if (!lenstally::HasDisplayVariable()) {
        std::cerr << lenstally::kNoDisplayMessage;
        return kNoWindowStatus;
    }
    const std::filesystem::path path = findProgram(program);
    if (path.empty()) {
        std::cerr << "lenstally: the window program " << program
                  << " is not installed; get the results without a window with an action or "
                     "--json / --state (see lenstally --help)\n";
        return kNoWindowStatus;
    }
    std::vector<char*> args{name.data()};
    if (file) {
        args.push_back(file->data());
    }
    args.push_back(nullptr);
    ::execv(path.c_str(), args.data());
    std::cerr << "lenstally: cannot start " << path.string() << "\n";
    return kNoWindowStatus;
}

} // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    const lenstally::CliOutcome outcome = lenstally::RunCommandLine(args, std::cout, std::cerr);
    std::cout.flush();
    if (outcome.openWindow) {
        return openWindow("lenstally-window", argc > 0 ? argv[0] : "lenstally", std::nullopt);
    }
    if (outcome.openPlanner) {
        return openWindow("lenstally-planner", "lenstally-planner",
                          outcome.plannerFile.empty() ? std::nullopt
                                                      : std::optional(outcome.plannerFile));
    }
    return outcome.status;
}
