// SPDX-License-Identifier: MIT
#include "app/cli.hpp"

#include "app/actions.hpp"
#include "app/project.hpp"
#include "app/project_reports.hpp"
#include "app/version.hpp"
#include "estimation/estimates.hpp"
#include "window/form1.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

namespace lenstally {
namespace {

constexpr const char* kProjectHelp =
    "compute every camera group of the project file FILE (- reads standard input) and print "
    "a table with the totals, or a report with --json or --csv";
constexpr const char* kCsvHelp = "with --project: print the report as CSV";
constexpr const char* kPlannerHelp =
    "open the planner window, which edits, saves and prints whole projects, with the project "
    "file FILE if given";

// The result captions, in the order the outputs list them.
constexpr ControlId kResults[] = {ControlId::lbPerBandwidth, ControlId::lbTotalBandwidth,
                                  ControlId::lbStorageSize};

std::string_view kindName(ControlKind kind) {
    switch (kind) {
    case ControlKind::Form:
        return "form";
    case ControlKind::Frame:
        return "frame";
    case ControlKind::Label:
        return "label";
    case ControlKind::TextBox:
        return "textbox";
    case ControlKind::ComboBox:
        return "combobox";
    case ControlKind::Option:
        return "option";
    }
    return "";
}

// Texts may hold any bytes the user typed; invalid UTF-8 becomes U+FFFD rather than an error.
std::string dumpJson(const nlohmann::ordered_json& j) {
    return j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

nlohmann::ordered_json resultsJson(const Form1& form) {
    nlohmann::ordered_json j;
    j["txtFrameSize"] = form.control(ControlId::txtFrameSize).text;
    for (ControlId id : kResults) {
        j[std::string(Describe(id).name)] = form.control(id).text;
    }
    return j;
}

nlohmann::ordered_json stateJson(const Form1& form) {
    nlohmann::ordered_json all = nlohmann::ordered_json::object();
    for (const ControlDescription& d : ControlDescriptions()) {
        const Control& c = form.control(d.id);
        nlohmann::ordered_json j;
        j["kind"] = kindName(d.kind);
        j["container"] = d.kind == ControlKind::Form
                             ? nlohmann::ordered_json(nullptr)
                             : nlohmann::ordered_json(Describe(d.container).name);
        j["visible"] = c.visible;
        j["left"] = c.left;
        j["top"] = c.top;
        j["width"] = c.width;
        j["height"] = c.height;
        switch (d.kind) {
        case ControlKind::TextBox:
            j["text"] = c.text;
            break;
        case ControlKind::ComboBox:
            j["items"] = c.items;
            j["listIndex"] = c.listIndex;
            break;
        case ControlKind::Option:
            j["caption"] = c.text;
            j["value"] = c.value;
            break;
        default:
            j["caption"] = c.text;
            break;
        }
        all[std::string(d.name)] = std::move(j);
    }
    return all;
}

void printHuman(const Form1& form, std::ostream& out) {
    out << "Average Frame Size: " << form.control(ControlId::txtFrameSize).text << " KB\n"
        << "Total Bandwidth Required: " << form.control(ControlId::lbTotalBandwidth).text << '\n'
        << "Per Camera: " << form.control(ControlId::lbPerBandwidth).text << '\n'
        << "Estimated Storage: " << form.control(ControlId::lbStorageSize).text << '\n';
}

bool anyOutOfRange(const Form1& form) {
    return std::ranges::any_of(
        kResults, [&form](ControlId id) { return form.control(id).text == kOutOfRange; });
}

// One line, whatever CLI11 wrote.
std::string firstLine(std::string text) {
    const auto nl = text.find('\n');
    if (nl != std::string::npos) {
        text.resize(nl);
    }
    return text;
}

// A value quoted in a usage error, with control characters written as \n, \t or \xNN so that
// the message stays one line whatever the user passed.
std::string printable(std::string_view value) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            text += "\\n";
        } else if (c == '\t') {
            text += "\\t";
        } else if (byte < 0x20 || byte == 0x7f) {
            text += "\\x";
            text.push_back(kHex[byte >> 4]);
            text.push_back(kHex[byte & 0xf]);
        } else {
            text.push_back(c);
        }
    }
    return text;
}

enum class ProjectOutput { Table, Json, Csv };

CliOutcome runProject(const std::string& path, ProjectOutput output, std::istream& in,
                      std::ostream& out, std::ostream& err) {
    const std::string source = path == "-" ? std::string("standard input") : path;
    ProjectParse parsed;
    if (path == "-") {
        const std::string text{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
        parsed = in.bad() ? ProjectParse{std::nullopt,
                                         "cannot read the project: cannot read standard input"}
                          : ParseProject(text);
    } else {
        parsed = ReadProjectFile(path);
    }
    if (!parsed.project) {
        err << "lenstally: " << printable(source) << ": " << printable(parsed.error) << '\n';
        return {2, false};
    }
    const ProjectResult result = ComputeProject(*parsed.project);
    switch (output) {
    case ProjectOutput::Table:
        WriteProjectTable(result, out);
        break;
    case ProjectOutput::Json:
        WriteProjectJson(result, out);
        break;
    case ProjectOutput::Csv:
        WriteProjectCsv(result, out);
        break;
    }
    return {result.anyOutOfRange() ? 1 : 0, false};
}

} // namespace

CliOutcome RunCommandLine(const std::vector<std::string>& args, std::ostream& out,
                          std::ostream& err) {
    return RunCommandLine(args, std::cin, out, err);
}

CliOutcome RunCommandLine(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                          std::ostream& err) {
    // --help and --version win wherever they stand, even beside a bad option.
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
    std::map<const CLI::Option*, const ActionSpec*> actionOf;
    for (const ActionSpec& a : Actions()) {
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
    std::string plannerFile;
    CLI::Option* planner = app.add_option("--planner", plannerFile)
                               ->expected(0, 1)
                               ->description(std::string(kPlannerHelp))
                               ->type_name("[FILE]");

    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            out << app.help();
            return {0, false};
        }
        if (a == "--version") {
            out << kInternalName << ' ' << kVersionText << '\n';
            return {0, false};
        }
    }

    // CLI11's parse(vector) takes the arguments last first: it pops each next one off the back.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        err << "lenstally: " << firstLine(e.what()) << " (see lenstally --help)\n";
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
    if (project) {
        const bool anyAction = std::any_of(actionOf.begin(), actionOf.end(),
                                           [](const auto& a) { return a.first->count() > 0; });
        if (anyAction || state) {
            err << "lenstally: --project cannot be combined with actions or --state; give each "
                   "group's actions in the project file\n";
            return {2, false};
        }
        return runProject(projectPath,
                          json  ? ProjectOutput::Json
                          : csv ? ProjectOutput::Csv
                                : ProjectOutput::Table,
                          in, out, err);
    }

    // Check every value before acting, so a usage error prints nothing on stdout.
    std::vector<ResolvedAction> steps;
    std::map<const CLI::Option*, std::size_t> seen;
    for (const CLI::Option* opt : app.parse_order()) {
        const auto it = actionOf.find(opt);
        if (it == actionOf.end()) {
            continue;
        }
        const std::string& value = opt->results().at(seen[opt]++);
        Checked<ResolvedAction> step = ResolveValue(*it->second, value);
        if (!step.value) {
            err << "lenstally: --" << it->second->option << ": '" << printable(value)
                << "' is not allowed; " << step.error << '\n';
            return {2, false};
        }
        steps.push_back(std::move(*step.value));
    }
    if (steps.empty() && !json && !state) {
        return {0, true};
    }

    Form1 form;
    form.load();
    for (const ResolvedAction& s : steps) {
        ApplyAction(form, s);
    }
    if (state) {
        out << dumpJson(stateJson(form)) << '\n';
    } else if (json) {
        out << dumpJson(resultsJson(form)) << '\n';
    } else {
        printHuman(form, out);
    }
    return {anyOutOfRange(form) ? 1 : 0, false};
}

} // namespace lenstally
