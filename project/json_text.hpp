// SPDX-License-Identifier: MIT
#pragma once
// JSON string literals for the reports and for messages that quote a file's text.

#include <string>

namespace lenstally {

/// Appends `text` as a JSON string literal. Invalid UTF-8 becomes U+FFFD, so a stray byte never
/// aborts a report.
void AppendJsonString(std::string& out, const std::string& text);

/// `text` as a JSON string literal: "Dock \"B\"".
std::string JsonString(const std::string& text);

} // namespace lenstally
