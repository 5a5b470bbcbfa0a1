// SPDX-License-Identifier: MIT
// lenstally-window: the calculator window. `lenstally` starts it when no headless option is given.

#include "cli/version.hpp"
#include "gui/calculator/form1_view.hpp"
#include "gui/calculator/window_program.hpp"

int main(int argc, char** argv) {
    return lenstally::RunWindowProgram(argc, argv, lenstally::kAppId, [](const QStringList&) {
        return std::make_unique<lenstally::Form1View>();
    });
}
