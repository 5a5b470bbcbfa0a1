#include "app/cli.hpp"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    const lenstally::CliOutcome outcome = lenstally::RunCommandLine(args, std::cout, std::cerr);
    if (outcome.openWindow) {
        // Until the window program exists, show the start-up results headlessly.
        return lenstally::RunCommandLine({"--json"}, std::cout, std::cerr).status;
    }
    std::cout.flush();
    return outcome.status;
}
