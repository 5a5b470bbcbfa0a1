// SPDX-License-Identifier: MIT
// The module's C interface. The host asks lenstally_input for a buffer, writes a request's UTF-8
// text into it, calls one function with the text's size, and reads the answer from
// lenstally_output and lenstally_output_size (and, after a run, what the command line would
// have written to standard error from lenstally_errors and lenstally_errors_size). Answers stay
// valid until the next call.

#include <cstddef>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/display.hpp"
#include "form/run.hpp"
#include "project/project_run.hpp"
#include "web/module/page_session.hpp"

namespace {

// The one place the module keeps state between calls: a reactor's exports share it.
struct ModuleState {
    std::string input;
    std::string output;
    std::string errors;
    lenstally::web::PageSession page;
};

ModuleState& state() {
    static ModuleState s;
    return s;
}

// The actions of a request: a JSON array of [option, value] pairs of strings, in order.
std::optional<std::vector<lenstally::ActionArgument>> actionPairs(std::string_view text) {
    // Without exceptions, a text that is not JSON parses to a discarded value instead of throwing.
    const nlohmann::json pairs = nlohmann::json::parse(text, nullptr, false);
    if (!pairs.is_array()) {
        return std::nullopt;
    }
    std::vector<lenstally::ActionArgument> actions;
    for (const nlohmann::json& pair : pairs) {
        if (!pair.is_array() || pair.size() != 2 || !pair[0].is_string() || !pair[1].is_string()) {
            return std::nullopt;
        }
        actions.push_back({pair[0].get<std::string>(), pair[1].get<std::string>()});
    }
    return actions;
}

// The run's outputs become the module's answer.
int finish(std::string& out, std::string& err, int status) {
    state().output = std::move(out);
    state().errors = std::move(err);
    return status;
}

} // namespace

extern "C" {

__attribute__((export_name("lenstally_input"))) char* lenstally_input(std::size_t size) {
    state().input.resize(size);
    return state().input.data();
}

__attribute__((export_name("lenstally_output"))) const char* lenstally_output() {
    return state().output.data();
}

__attribute__((export_name("lenstally_output_size"))) std::size_t lenstally_output_size() {
    return state().output.size();
}

__attribute__((export_name("lenstally_errors"))) const char* lenstally_errors() {
    return state().errors.data();
}

__attribute__((export_name("lenstally_errors_size"))) std::size_t lenstally_errors_size() {
    return state().errors.size();
}

/// Runs the actions the input holds (a JSON array of [option, value] pairs, as the command line's
/// "--option value" in order) as `lenstally` does, writing `format` (0 text, 1 --json, 2
/// --state). The output and the errors are what it writes to standard output and error; the
/// result is its exit status. No action and plain text is the command line opening its window:
/// here, where there is none, status 3 and its one line.
__attribute__((export_name("lenstally_run_actions"))) int lenstally_run_actions(std::size_t size,
                                                                                int format) {
    std::string out;
    std::string err;
    const auto actions = actionPairs(std::string_view(state().input.data(), size));
    if (!actions) {
        err = "lenstally: the actions must be a list of [option, value] pairs of texts\n";
        return finish(out, err, lenstally::kUsageError);
    }
    if (actions->empty() && format == 0) {
        err = lenstally::kNoDisplayMessage;
        return finish(out, err, lenstally::kNoWindowStatus);
    }
    const lenstally::RunOutput output = format == 2   ? lenstally::RunOutput::State
                                        : format == 1 ? lenstally::RunOutput::Json
                                                      : lenstally::RunOutput::Text;
    return finish(out, err, lenstally::RunActions(*actions, output, out, err));
}

/// Reports on the project file text the input holds as `lenstally --project -` does with it on
/// standard input, writing `format` (0 the table, 1 --json, 2 --csv, 3 --svg to standard output).
__attribute__((export_name("lenstally_run_project"))) int lenstally_run_project(std::size_t size,
                                                                                int format) {
    std::string out;
    std::string err;
    const lenstally::ProjectOutput output = format == 3   ? lenstally::ProjectOutput::Svg
                                            : format == 2 ? lenstally::ProjectOutput::Csv
                                            : format == 1 ? lenstally::ProjectOutput::Json
                                                          : lenstally::ProjectOutput::Table;
    const lenstally::ProjectParse parsed =
        lenstally::ParseProject(std::string_view(state().input.data(), size));
    return finish(out, err, lenstally::RunProject(parsed, "standard input", output, out, err));
}

/// Answers the page's request (see PageSession::answer); the answer is the output.
__attribute__((export_name("lenstally_page"))) void lenstally_page(std::size_t size) {
    ModuleState& s = state();
    s.errors.clear();
    s.output = s.page.answer(std::string_view(s.input.data(), size));
}

} // extern "C"
