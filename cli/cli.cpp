// SPDX-License-Identifier: MIT
#include "cli/cli.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>
#include <unistd.h>

#include "cli/version.hpp"
#include "form/actions.hpp"
#include "form/run.hpp"
#include "project/project_run.hpp"

namespace lenstally {
namespace {

constexpr const char* kProjectHelp =
    "compute every camera group of the project file FILE (- reads standard input) and print "
    "a table with the totals, or a report with --json or --csv, or draw its site plan with --svg";
constexpr const char* kCsvHelp = "with --project: print the report as CSV";
constexpr const char* kSvgHelp =
    "with --project: draw the project's site plan as an SVG drawing into FILE, or print it "
    "without FILE (or with -)";
constexpr const char* kPlannerHelp =
    "open the planner window, which edits, saves and prints whole projects, with the project "
    "file FILE if given";

// One line, whatever CLI11 wrote.
std::string firstLine(std::string text) {
    const auto nl = text.find('\n');
    if (nl != std::string::npos) {
        text.resize(nl);
    }
    return text;
}

// A run's texts written to the streams; its status.
int written(int status, const std::string& text, const std::string& errors, std::ostream& out,
            std::ostream& err) {
    out << text;
    err << errors;
    return status;
}

int runProject(const std::string& path, ProjectOutput output, std::istream& in, std::ostream& out,
               std::ostream& err) {
    std::string report;
    std::string errors;
    if (path != "-") {
        const int status = RunProject(ReadProjectFile(path), path, output, report, errors);
        return written(status, report, errors, out, err);
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const ProjectParse parsed =
        in.bad() ? ProjectParse{std::nullopt, "cannot read the project: cannot read standard input"}
                 : ParseProject(text);
    const int status = RunProject(parsed, "standard input", output, report, errors);
    return written(status, report, errors, out, err);
}

// Writes `text` to the file `path` whole or not at all: into a new file beside it, then renamed
// over it, so a reader never sees half a drawing and a failed write leaves the old file as it was.
// The one-line reason, or nothing.
std::optional<std::string> writeWhole(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".lenstally-" + std::to_string(::getpid()) + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return std::string(std::strerror(errno));
    }
    std::size_t written = 0;
    while (written < text.size()) {
        const ::ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const int error = errno;
            ::close(fd);
            ::unlink(temporary.c_str());
            return std::string(std::strerror(error));
        }
        written += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0 || std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return std::string(std::strerror(error));
    }
    return std::nullopt;
}

} // namespace

CliOutcome RunCommandLine(const std::vector<std::string>& args, std::ostream& out,
                          std::ostream& err) {
    return RunCommandLine(args, std::cin, out, err);
}

CliOutcome RunCommandLine(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                          std::ostream& err) {
    // --help and --version win wherever they stand, even beside a bad option. So does -h leading
    // a cluster of short options ("-hx", "-h-days"): the parser would read it as -h and the rest,
    // and "-h-days" as -h and --days, which would then take the next word as its value.
    CLI::App app{"Lenstally: estimates the network bandwidth and disk storage a group of "
                 "identical surveillance cameras needs.\nWith no option it opens the calculator "
                 "window; with any action or output option it works headless.",
                 "lenstally"};
    app.footer("Copyright (c) " + std::string(kCopyright) +
               ".\nLenstally is free software under the MIT licence: anyone may use, copy, change "
               "and pass it\non, and it comes with no warranty. The full terms are in the LICENSE "
               "file of the sources\nand, once installed, in share/doc/lenstally/copyright.");
    app.set_help_flag(); // handled below so that it wins wherever it stands
    app.add_flag("-h,--help")->description(std::string("print this help and exit"));
    app.add_flag("--version")->description(std::string("print the version and exit"));
    std::map<const CLI::Option*, const ActionDescription*> actionOf;
    for (const ActionDescription& a : Actions()) {
        CLI::Option* opt = app.add_option("--" + std::string(a.option));
        opt->description(std::string(a.help));
        opt->expected(1)->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
        opt->type_name(a.kind == ActionKind::Number ? "N"
                       : a.kind == ActionKind::Type ? "TEXT"
                                                    : "NAME");
        actionOf[opt] = &a;
    }
    app.add_flag("--json")->description(
        std::string("print the frame size and the three results as one JSON object (with "
                    "--project: the project report)"));
    app.add_flag("--state")->description(
        std::string("print every control of the window and its state as JSON"));
    std::string projectPath;
    app.add_option("--project", projectPath)
        ->description(std::string(kProjectHelp))
        ->type_name("FILE");
    app.add_flag("--csv")->description(std::string(kCsvHelp));
    std::string svgPath;
    CLI::Option* svg = app.add_option("--svg", svgPath)
                           ->expected(0, 1)
                           ->description(std::string(kSvgHelp))
                           ->type_name("[FILE]");
    std::string plannerFile;
    CLI::Option* planner = app.add_option("--planner", plannerFile)
                               ->expected(0, 1)
                               ->description(std::string(kPlannerHelp))
                               ->type_name("[FILE]");

    for (const std::string& a : args) {
        if (a == "--help" || a.starts_with("-h")) {
            out << app.help();
            return {0, false};
        }
        if (a == "--version") {
            out << kInternalName << ' ' << kVersionText << '\n';
            return {0, false};
        }
    }

    // An option given "=" and nothing ("--cameras=") gets the empty text, as typing nothing into
    // its box does: it is passed on as the option and an empty word, because CLI11 would take
    // the next word ("--json") as its value instead. Flags and words after "--" stay as they are.
    std::vector<std::string> words;
    bool optionsEnd = false;
    for (const std::string& a : args) {
        optionsEnd = optionsEnd || a == "--";
        const std::string name = a.substr(0, a.size() - 1);
        const CLI::Option* option = !optionsEnd && a.starts_with("--") && a.ends_with('=') &&
                                            name.find('=') == std::string::npos
                                        ? app.get_option_no_throw(name)
                                        : nullptr;
        if (option != nullptr && (actionOf.contains(option) || option == planner || option == svg ||
                                  option == app.get_option_no_throw("--project"))) {
            words.push_back(name);
            words.emplace_back();
        } else {
            words.push_back(a);
        }
    }
    // CLI11's parse(vector) takes the arguments last first: it pops each next one off the back.
    std::vector<std::string> reversed(words.rbegin(), words.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        // CLI11 quotes the words it refuses as they were given.
        err << "lenstally: " << PrintableText(firstLine(e.what())) << " (see lenstally --help)\n";
        return {2, false};
    }
    if (planner->count() > 0) {
        const auto options = app.get_options();
        if (std::any_of(options.begin(), options.end(), [planner](const CLI::Option* o) {
                return o != planner && o->count() > 0;
            })) {
            err << "lenstally: --planner opens the planner window and takes no other option\n";
            return {2, false};
        }
        return {0, false, true, plannerFile};
    }
    const bool json = app.count("--json") > 0;
    const bool state = app.count("--state") > 0;
    if (json && state) {
        err << "lenstally: --json and --state cannot be used together; choose one output\n";
        return {2, false};
    }
    const bool project = app.count("--project") > 0;
    const bool csv = app.count("--csv") > 0;
    if (json && csv) {
        err << "lenstally: --json and --csv cannot be used together; choose one output\n";
        return {2, false};
    }
    if (csv && !project) {
        err << "lenstally: --csv writes a project report and needs --project FILE\n";
        return {2, false};
    }
    const bool drawing = svg->count() > 0;
    if (drawing && (json || csv)) {
        err << "lenstally: --svg cannot be used with --json or --csv; choose one output\n";
        return {2, false};
    }
    if (drawing && !project) {
        err << "lenstally: --svg draws a project's site plan and needs --project FILE\n";
        return {2, false};
    }
    if (project) {
        const bool anyAction = std::any_of(actionOf.begin(), actionOf.end(),
                                           [](const auto& a) { return a.first->count() > 0; });
        if (anyAction || state) {
            err << "lenstally: --project cannot be combined with actions or --state; give each "
                   "group's actions in the project file\n";
            return {2, false};
        }
        if (drawing && !svgPath.empty() && svgPath != "-") {
            // Into the file, and only once the project has been read and drawn.
            std::ostringstream text;
            const int status = runProject(projectPath, ProjectOutput::Svg, in, text, err);
            if (status == kUsageError) {
                return {status, false};
            }
            if (const std::optional<std::string> why = writeWhole(svgPath, text.str())) {
                err << "lenstally: " << PrintableText(svgPath)
                    << ": cannot write the drawing: " << *why << '\n';
                return {kUsageError, false};
            }
            return {status, false};
        }
        return {runProject(projectPath,
                           drawing ? ProjectOutput::Svg
                           : json  ? ProjectOutput::Json
                           : csv   ? ProjectOutput::Csv
                                   : ProjectOutput::Table,
                           in, out, err),
                false};
    }

    // The actions in the order given, each value as typed; RunActions checks them all first.
    std::vector<ActionArgument> actions;
    std::map<const CLI::Option*, std::size_t> seen;
    for (const CLI::Option* opt : app.parse_order()) {
        const auto it = actionOf.find(opt);
        if (it != actionOf.end()) {
            actions.push_back({std::string(it->second->option), opt->results().at(seen[opt]++)});
        }
    }
    if (actions.empty() && !json && !state) {
        return {0, true};
    }
    std::string text;
    std::string errors;
    const int status = RunActions(actions,
                                  state  ? RunOutput::State
                                  : json ? RunOutput::Json
                                         : RunOutput::Text,
                                  text, errors);
    return {written(status, text, errors, out, err), false};
}

} // namespace lenstally
