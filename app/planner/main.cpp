// SPDX-License-Identifier: MIT
// lenstally-planner: whole projects on screen. `lenstally --planner [FILE]` starts it.

#include "app/planner/planner_window.hpp"
#include "app/version.hpp"
#include "app/window/window_program.hpp"

#include <string>

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication::setOrganizationName(QStringLiteral("Lenstally"));
    QCoreApplication::setApplicationName(QStringLiteral("Lenstally Planner"));
    return lenstally::RunWindowProgram(
        argc, argv, std::string(lenstally::kAppId) + ".Planner", [](const QStringList& arguments) {
            auto window = std::make_unique<lenstally::PlannerWindow>();
            if (!arguments.isEmpty()) {
                window->openFile(arguments.front());
            }
            return window;
        });
}
