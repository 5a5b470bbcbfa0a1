// SPDX-License-Identifier: MIT
#include "app/cli.hpp"
#include "app/display.hpp"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kWindowProgram = "lenstally-window";

using lenstally::kNoWindowStatus;

// Beside this executable (the build tree) first, then in the installed prefix's libexec folder,
// wherever that prefix was moved.
std::filesystem::path findWindowProgram() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    const std::filesystem::path dir = self.parent_path();
    for (const std::filesystem::path& candidate :
         {dir / kWindowProgram, dir / ".." / "libexec" / "lenstally" / kWindowProgram}) {
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

int openWindow(const char* argv0) {
    if (!lenstally::HasDisplayVariable()) {
        std::cerr << lenstally::kNoDisplayMessage;
        return kNoWindowStatus;
    }
    const std::filesystem::path program = findWindowProgram();
    if (program.empty()) {
        std::cerr << "lenstally: the window program " << kWindowProgram
                  << " is not installed; get the results without a window with an action or "
                     "--json / --state (see lenstally --help)\n";
        return kNoWindowStatus;
    }
    std::string name = argv0;
    char* const args[] = {name.data(), nullptr};
    ::execv(program.c_str(), args);
    std::cerr << "lenstally: cannot start " << program.string() << "\n";
    return kNoWindowStatus;
}

} // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    const lenstally::CliOutcome outcome = lenstally::RunCommandLine(args, std::cout, std::cerr);
    if (outcome.openWindow) {
        std::cout.flush();
        return openWindow(argc > 0 ? argv[0] : "lenstally");
    }
    std::cout.flush();
    return outcome.status;
}
