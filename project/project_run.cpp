// SPDX-License-Identifier: MIT
#include "project/project_run.hpp"

#include <ostream>

#include "form/run.hpp"
#include "project/project_compute.hpp"
#include "project/project_reports.hpp"

namespace lenstally {

int RunProject(const ProjectParse& parsed, std::string_view source, ProjectOutput output,
               std::ostream& out, std::ostream& err) {
    if (!parsed.project) {
        err << "lenstally: " << PrintableText(source) << ": " << PrintableText(parsed.error)
            << '\n';
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
    }
    return result.anyOutOfRange() ? kRunOutOfRange : kRunComputed;
}

} // namespace lenstally
