// SPDX-License-Identifier: MIT
#include "web/module/page_session.hpp"

namespace lenstally::web {
namespace {} // namespace

PageSession::PageSession() {
    m_calculator.load();
}

std::string PageSession::answer(std::string_view text) {
    // Without exceptions, a text that is not JSON parses to a discarded value instead of throwing.
    const nlohmann::json request = nlohmann::json::parse(text, nullptr, false);
    Json answer;
    if (!request.is_object()) {
        answer = errorAnswer("the request is not a JSON object");
    } else if (request.contains("calculator")) {
        answer = calculator(request);
    } else if (request.contains("planner")) {
        const nlohmann::json& what = request["planner"];
        if (request.value("plain", false) && what.is_string()) {
            if (std::optional<std::string> plain = m_planner.output(what.get<std::string>())) {
                return std::move(*plain);
            }
        }
        answer = m_planner.answer(request);
    } else {
        answer = errorAnswer("the request names nothing this module does");
    }
    // Texts may hold any bytes the user typed; invalid UTF-8 becomes U+FFFD rather than an error.
    return answer.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

Json PageSession::calculator(const nlohmann::json& request) {
    const nlohmann::json& what = request["calculator"];
    if (what == "open") {
        return describeForm(m_calculator);
    }
    if (what == "actions") {
        return describeActions();
    }
    if (what == "act") {
        return performOnForm(m_calculator, request);
    }
    return errorAnswer("the calculator does not know that request");
}

} // namespace lenstally::web
