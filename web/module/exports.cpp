// SPDX-License-Identifier: MIT
// The module's C interface: the command line's runs and the page's requests, each a text in and
// texts out through the buffers of module_buffers.

#include <cstddef>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/display.hpp"
#include "form/run.hpp"
#include "project/project_run.hpp"
#include "web/module/module_buffers.hpp"
#include "web/module/page_session.hpp"

namespace {

// What the page keeps between two of its requests.
lenstally::web::PageSession& page() {
    static lenstally::web::PageSession session;
    return session;
}

// The actions of a request: a JSON array of [option, value] pairs of strings, in order.
std::optional<std::vector<lenstally::ActionArgument>> actionPairs(std::string_view text) {
    const nlohmann::json pairs = lenstally::web::requestOf(text);
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
    lenstally::web::setAnswer(std::move(out), std::move(err));
    return status;
}

} // namespace

extern "C" {

/// Runs the actions the input holds (a JSON array of [option, value] pairs, as the command line's
/// "--option value" in order) as `lenstally` does, writing `format` (0 text, 1 --json, 2
/// --state). The output and the errors are what it writes to standard output and error; the
/// result is its exit status. No action and plain text is the command line opening its window:
/// here, where there is none, status 3 and its one line.
__attribute__((export_name("lenstally_run_actions"))) int lenstally_run_actions(std::size_t size,
                                                                                int format) {
    std::string out;
    std::string err;
    const auto actions = actionPairs(lenstally::web::requestText(size));
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
        lenstally::ParseProject(lenstally::web::requestText(size));
    return finish(out, err, lenstally::RunProject(parsed, "standard input", output, out, err));
}

/// Answers the page's request (see PageSession::answer); the answer is the output.
__attribute__((export_name("lenstally_page"))) void lenstally_page(std::size_t size) {
    lenstally::web::setAnswer(page().answer(lenstally::web::requestText(size)), {});
}

} // extern "C"
