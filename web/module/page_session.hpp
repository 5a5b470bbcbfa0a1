// SPDX-License-Identifier: MIT
#pragma once
// What the page keeps in the module between two of its requests: the calculator's form (and, in
// the planner, the open project). Each request is one JSON object naming what to do; each answer
// is one JSON object.

#include <string>
#include <string_view>

#include "web/module/form_json.hpp"
#include "web/module/planner_answers.hpp"

namespace lenstally::web {

class PageSession {
public:
    PageSession();

    /// Answers one request: {"calculator": "open"} describes the calculator's form whole;
    /// {"calculator": "act", ...} performs a user action on it (see performOnForm);
    /// {"calculator": "actions"} lists the command line's actions (see describeActions);
    /// {"planner": ...} goes to the planner (see PlannerAnswers::answer), and with "plain": true
    /// an output of the planner ("save", "json", "csv", "table") is answered as its text alone,
    /// not wrapped in JSON (a large project's file is megabytes). A request that is not a JSON
    /// object, or names nothing known, answers {"error": "..."}.
    std::string answer(std::string_view text);

private:
    Json calculator(const nlohmann::json& request);

    Form1 m_calculator;
    PlannerAnswers m_planner;
};

} // namespace lenstally::web
