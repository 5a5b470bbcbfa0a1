// SPDX-License-Identifier: MIT
#pragma once
// The printed report of a project as the body of an HTML document: the same headings, tables and
// paragraphs as the desktop planner's PDF report, for the page's print style sheet to lay out.

#include <string>
#include <string_view>

#include "project/project_compute.hpp"

namespace lenstally::web {

/// The report's HTML (no <html> or <body> element), dated `date` ("2026-12-09").
std::string ReportHtml(const ProjectResult& result, std::string_view date);

} // namespace lenstally::web
