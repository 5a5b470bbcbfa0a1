// SPDX-License-Identifier: MIT
// lenstally-planner: whole projects on screen. `lenstally --planner [FILE]` starts it.
//
// Beside the variables every window program takes (window_program.hpp), one serves the script
// that draws the README's pictures:
//   LENSTALLY_EXPORT=FILE.pdf   exports the report of the project opened to FILE.pdf and ends.

#include <cstdlib>
#include <string>

#include <QCoreApplication>

#include "cli/version.hpp"
#include "gui/calculator/window_program.hpp"
#include "gui/planner/planner_window.hpp"

int main(int argc, char** argv) {
    QCoreApplication::setOrganizationName(QStringLiteral("Lenstally"));
    QCoreApplication::setApplicationName(QStringLiteral("Lenstally Planner"));
    return lenstally::RunWindowProgram(
        argc, argv, std::string(lenstally::kAppId) + ".Planner", [](const QStringList& arguments) {
            auto window = std::make_unique<lenstally::PlannerWindow>();
            if (!arguments.isEmpty()) {
                window->openFile(arguments.front());
            }
            const QString report = qEnvironmentVariable("LENSTALLY_EXPORT");
            if (!report.isEmpty()) {
                std::exit(window->exportReport(report) ? 0 : 1);
            }
            return window;
        });
}
