// SPDX-License-Identifier: MIT
#pragma once
// The planning report a customer is handed, as HTML: the project's name and the date, each
// group's inputs and results, the totals, what each camera with a view sees (its figures and
// picture), the storage plan and recorders with every assumption they rest on, and the site plan
// with its drawing, its zones and its placements, in the same words as the command line's table.
// The desktop prints it as PDF through a QTextDocument and the page through the browser's print
// style sheet; each puts its own picture of a camera view in.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "project/project_compute.hpp"

namespace lenstally {

/// The HTML a face shows as the picture of group `group`'s camera view.
using ReportPicture = std::function<std::string(std::size_t group)>;
/// The HTML a face shows as the drawing of the site plan (see site_svg.hpp).
using ReportSitePicture = std::function<std::string()>;

/// The report as the inside of an HTML body (no <html>, <head> or <body> element), dated `date`
/// ("2026-12-09"). Tables of figures have the class "grid", tables of lines the class "lines";
/// numbers are aligned right. Each group with a camera view starts a page of its own headed
/// "Camera view of NAME", with `picture(i)` and then the view's lines. A project with a site
/// plan has a page "Site plan" after the recorders: `sitePicture()`, the plan's lines, a table of
/// the zones (name, level, required, covered, met, cameras) and one of the placements (label,
/// group, x, y, heading).
std::string ReportBodyHtml(const ProjectResult& result, std::string_view date,
                           const ReportPicture& picture, const ReportSitePicture& sitePicture);

/// `text` with &, <, > and " written as HTML's character references.
std::string HtmlEscaped(std::string_view text);

} // namespace lenstally
