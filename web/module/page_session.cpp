// SPDX-License-Identifier: MIT
#include "web/module/page_session.hpp"

namespace lenstally::web {

std::string PageSession::answer(std::string_view text) {
    const nlohmann::json request = requestOf(text);
    Json answer;
    if (!request.is_object()) {
        answer = errorAnswer("the request is not a JSON object");
    } else if (request.contains("calculator")) {
        answer = m_calculator.answer(request);
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
    return answerText(answer);
}

} // namespace lenstally::web
