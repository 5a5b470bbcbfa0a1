// SPDX-License-Identifier: MIT
#pragma once
// What the page keeps in the module between two of its requests: the calculator's form (and, in
// the planner, the open project). Each request is one JSON object naming what to do; each answer
// is one JSON object.

#include <string>
#include <string_view>

#include "web/module/calculator_answers.hpp"
#include "web/module/planner_answers.hpp"

namespace lenstally::web {

class PageSession {
public:
    /// Answers one request: {"calculator": ...} goes to the calculator (see
    /// CalculatorAnswers::answer); {"planner": ...} goes to the planner (see
    /// PlannerAnswers::answer), and with "plain": true an output of the planner ("save", "json",
    /// "csv", "table") is answered as its text alone, not wrapped in JSON (a large project's file
    /// is megabytes). A request that is not a JSON object, or names nothing known, answers
    /// {"error": "..."}.
    std::string answer(std::string_view text);

private:
    CalculatorAnswers m_calculator;
    PlannerAnswers m_planner;
};

} // namespace lenstally::web
