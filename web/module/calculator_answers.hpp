// SPDX-License-Identifier: MIT
#pragma once
// The calculator's form as the page keeps it between two requests, and its answers: the page's
// first module holds this alone, so the calculator's figures come before the planner's code is
// read.

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "form/form1.hpp"
#include "web/module/form_json.hpp"

namespace lenstally::web {

class CalculatorAnswers {
public:
    CalculatorAnswers();

    /// Answers {"calculator": "open"} (the form described whole), {"calculator": "act", ...} (a
    /// user action on it, see performOnForm) and {"calculator": "actions"} (the command line's
    /// actions, see describeActions); anything else answers {"error": "..."}.
    Json answer(const nlohmann::json& request);

private:
    Form1 m_form;
};

/// A request's text as JSON: a text that is not JSON reads as a discarded value.
nlohmann::json requestOf(std::string_view text);

/// An answer's text. Texts may hold any bytes the user typed; invalid UTF-8 becomes U+FFFD rather
/// than an error.
std::string answerText(const Json& answer);

} // namespace lenstally::web
