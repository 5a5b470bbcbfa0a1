// SPDX-License-Identifier: MIT
// Fuzzes the command line in-process. The bytes become an argument vector (a 0 byte ends each
// argument) with "--json" put among them at a position the first byte chooses, so every run is
// headless. Checked for every vector:
//   - the status is 0, 1 or 2 and no window is asked for;
//   - status 2 writes nothing on stdout and exactly one line on stderr;
//   - status 0 and 1 write something on stdout and nothing on stderr; when that output is the
//     results object, status 1 means one of the captions reads "Out of range" and 0 that none
//     does;
//   - an option given "=" and nothing takes the empty text, never the next word: "--cameras=
//     --json" prints the JSON object. A run that succeeds prints one unless it was asked for the
//     help or the version, a word sets the flag itself ("--json=..."), or "--json" follows an
//     option named without "=", which takes the next word whatever it is (as documented).

#include "estimation/estimates.hpp"

#include <algorithm>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.hpp"
#include "fuzz/fuzz_check.hpp"

namespace {

using lenstally::fuzzing::require;

std::vector<std::string> decodeArguments(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args;
    if (size == 0) {
        return {"--json"};
    }
    const std::uint8_t where = data[0];
    std::string current;
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    if (!current.empty()) {
        args.push_back(std::move(current));
    }
    // A project is always read from the in-memory standard input below, never from a file the
    // bytes happen to name (/dev/zero would never end).
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i].starts_with("--project=")) {
            args[i] = "--project=-";
        } else if (args[i] == "--project" && i + 1 < args.size()) {
            args[i + 1] = "-";
        }
    }
    const auto at = static_cast<std::ptrdiff_t>(where % (args.size() + 1));
    args.insert(args.begin() + at, "--json");
    return args;
}

std::string joined(const std::vector<std::string>& args) {
    std::string text;
    for (const std::string& a : args) {
        text += "[" + a + "] ";
    }
    return text;
}

void checkResultsObject(const std::string& out, int status, const std::string& args) {
    if (out.empty() || out.front() != '{' || out.starts_with(R"({"name")")) {
        return; // --help or --version printed its text, or a project report (tested apart)
    }
    require(std::count(out.begin(), out.end(), '\n') == 1 && out.back() == '\n',
            "the results object is one line", args);
    const nlohmann::json j = nlohmann::json::parse(out, nullptr, false);
    require(!j.is_discarded() && j.is_object(), "the results object is valid JSON", out);
    bool outOfRange = false;
    for (const char* key : {"lbPerBandwidth", "lbTotalBandwidth", "lbStorageSize"}) {
        require(j.contains(key) && j[key].is_string(), "the results object holds every caption",
                out);
        outOfRange = outOfRange || j[key] == lenstally::kOutOfRange;
    }
    require(status == (outOfRange ? 1 : 0), "the status says whether a result is out of range",
            args + "-> " + out);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> args = decodeArguments(data, size);
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in(
        R"({"name":"site","groups":[{"name":"dock","stream":"h264","cameras":4}]})");
    const lenstally::CliOutcome outcome = lenstally::RunCommandLine(args, in, out, err);
    const std::string o = out.str();
    const std::string e = err.str();
    const std::string shown = joined(args);
    require(outcome.status >= 0 && outcome.status <= 2, "the status is 0, 1 or 2", shown);
    require(!outcome.openWindow, "a command line with --json stays headless", shown);
    if (outcome.status == 2) {
        require(o.empty(), "a usage error prints nothing on stdout", shown);
        require(!e.empty() && e.back() == '\n' && std::count(e.begin(), e.end(), '\n') == 1,
                "a usage error prints exactly one line on stderr", shown + "-> " + e);
        return 0;
    }
    require(!o.empty(), "a headless run prints its output", shown);
    const bool text = std::any_of(args.begin(), args.end(), [](const std::string& a) {
        return a == "--help" || a.starts_with("-h") || a == "--version" || a.starts_with("--json=");
    });
    const bool takenAsValue =
        std::adjacent_find(
            args.begin(), args.end(), [](const std::string& a, const std::string& b) {
                const bool flag = a == "--json" || a == "--state" || a == "--csv" || a == "--";
                return b == "--json" && a.starts_with("--") && a.find('=') == std::string::npos &&
                       !flag;
            }) != args.end();
    require(text || takenAsValue || o.front() == '{',
            "an option given \"=\" and nothing leaves the next word alone", shown + "-> " + o);
    require(e.empty(), "a run without a usage error prints nothing on stderr", shown + "-> " + e);
    checkResultsObject(o, outcome.status, shown);
    return 0;
}
