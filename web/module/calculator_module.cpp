// SPDX-License-Identifier: MIT
// The page's first module: the calculator alone, small enough to show its figures while the page
// is still reading the planner's module. Same buffers, same requests and answers as the full
// module's lenstally_page, for the calculator's requests.

#include <cstddef>

#include "web/module/calculator_answers.hpp"
#include "web/module/module_buffers.hpp"

extern "C" {

/// Answers the page's {"calculator": ...} request (see CalculatorAnswers::answer); the answer is
/// the output.
__attribute__((export_name("lenstally_page"))) void lenstally_page(std::size_t size) {
    using namespace lenstally::web;
    static CalculatorAnswers calculator;
    const nlohmann::json request = requestOf(requestText(size));
    const Json answer = !request.is_object() ? errorAnswer("the request is not a JSON object")
                        : request.contains("calculator")
                            ? calculator.answer(request)
                            : errorAnswer("this module holds the calculator only");
    setAnswer(answerText(answer), {});
}

} // extern "C"
