// SPDX-License-Identifier: MIT
#include "project/project_run.hpp"

#include "form/run.hpp"
#include "project/project_compute.hpp"
#include "project/project_reports.hpp"
#include "project/site_svg.hpp"

namespace lenstally {

int RunProject(const ProjectParse& parsed, std::string_view source, ProjectOutput output,
               std::string& out, std::string& err) {
    if (!parsed.project) {
        err += "lenstally: " + PrintableText(source) + ": " + PrintableText(parsed.error) + '\n';
        return kUsageError;
    }
    if (output == ProjectOutput::Svg && !parsed.project->site) {
        err += "lenstally: " + PrintableText(source) +
               ": --svg draws the site plan, and the project has no \"site\"\n";
        return kUsageError;
    }
    const ProjectResult result = ComputeProject(*parsed.project);
    switch (output) {
    case ProjectOutput::Table:
        WriteProjectTable(result, out);
        break;
    case ProjectOutput::Json:
        WriteProjectJson(result, out);
        break;
    case ProjectOutput::Csv:
        WriteProjectCsv(result, out);
        break;
    case ProjectOutput::Svg:
        out += SiteSvg(*result.site);
        break;
    }
    return result.anyOutOfRange() ? kRunOutOfRange : kRunComputed;
}

} // namespace lenstally
