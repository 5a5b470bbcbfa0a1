// SPDX-License-Identifier: MIT
// lenstally-window: the calculator window. `lenstally` starts it when no headless option is given.

#include "app/version.hpp"
#include "app/window/form1_view.hpp"
#include "app/window/window_program.hpp"

int main(int argc, char** argv) {
    return lenstally::RunWindowProgram(argc, argv, lenstally::kAppId, [](const QStringList&) {
        return std::make_unique<lenstally::Form1View>();
    });
}
