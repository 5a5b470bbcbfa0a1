// SPDX-License-Identifier: MIT
#pragma once
// A project report from start to end, as `lenstally --project FILE` gives it: the project read,
// computed and written, or the one line that says why it cannot be read.

#include <string>
#include <string_view>

#include "project/project.hpp"

namespace lenstally {

enum class ProjectOutput {
    Table,
    Json,
    Csv,
    Svg, // the site plan's drawing; a usage error for a project without a site
};

/// Writes the report of `parsed` to `out` and returns 0, or 1 when a figure is out of range; a
/// project that could not be read writes "lenstally: SOURCE: REASON" to `err` instead and returns
/// 2. `source` names where the text came from: a file's path, or "standard input". The SVG of a
/// project without a site is a usage error too: "lenstally: SOURCE: --svg draws the site plan,
/// and the project has no \"site\"".
int RunProject(const ProjectParse& parsed, std::string_view source, ProjectOutput output,
               std::string& out, std::string& err);

} // namespace lenstally
