// SPDX-License-Identifier: MIT
#include "project/json_text.hpp"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace lenstally {

void AppendJsonString(std::string& out, const std::string& text) {
    // Texts with nothing to escape, nearly all of them, are quoted here; the rest go through the
    // library.
    const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x20 && u < 0x80 && c != '"' && c != '\\';
    });
    if (plain) {
        out += '"';
        out += text;
        out += '"';
        return;
    }
    out += nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string JsonString(const std::string& text) {
    std::string out;
    AppendJsonString(out, text);
    return out;
}

} // namespace lenstally
