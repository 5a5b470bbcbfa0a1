// SPDX-License-Identifier: MIT
#include "web/module/calculator_answers.hpp"

namespace lenstally::web {

CalculatorAnswers::CalculatorAnswers() {
    m_form.load();
}

Json CalculatorAnswers::answer(const nlohmann::json& request) {
    const nlohmann::json& what = request["calculator"];
    if (what == "open") {
        return describeForm(m_form);
    }
    if (what == "actions") {
        return describeActions();
    }
    if (what == "act") {
        return performOnForm(m_form, request);
    }
    return errorAnswer("the calculator does not know that request");
}

nlohmann::json requestOf(std::string_view text) {
    // Without exceptions, a text that is not JSON parses to a discarded value instead of throwing.
    return nlohmann::json::parse(text, nullptr, false);
}

std::string answerText(const Json& answer) {
    return answer.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace lenstally::web
