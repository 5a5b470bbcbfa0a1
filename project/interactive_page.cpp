// SPDX-License-Identifier: MIT
#include "project/interactive_page.hpp"

#include <string>

namespace lenstally {
namespace {

constexpr std::string_view kPageScript = R"(<script id="lenstally-script">)";
// The element's start up to its attributes' end: a group to open on may follow.
constexpr std::string_view kProjectOpen =
    R"(<script type="application/json" id="lenstally-project")";
constexpr std::string_view kScriptClose = "</script>";

} // namespace

std::optional<std::string> PageWithProject(std::string_view page, std::string_view projectFile,
                                           std::optional<std::size_t> group) {
    std::string text(page);
    // A project built in before is replaced, with the line break written after it.
    if (const std::size_t old = text.find(kProjectOpen); old != std::string::npos) {
        const std::size_t close = text.find(kScriptClose, old);
        if (close == std::string::npos) {
            return std::nullopt;
        }
        std::size_t end = close + kScriptClose.size();
        if (end < text.size() && text[end] == '\n') {
            ++end;
        }
        text.erase(old, end - old);
    }
    const std::size_t script = text.find(kPageScript);
    if (script == std::string::npos) {
        return std::nullopt;
    }
    std::string element(kProjectOpen);
    if (group) {
        element += " data-group=\"" + std::to_string(*group) + "\"";
    }
    element += '>';
    for (const char c : projectFile) {
        if (c == '<') {
            element += "\\u003c";
        } else {
            element.push_back(c);
        }
    }
    element += kScriptClose;
    element.push_back('\n');
    text.insert(script, element);
    return text;
}

} // namespace lenstally
