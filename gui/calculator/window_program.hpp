// SPDX-License-Identifier: MIT
#pragma once
// What the calculator and the planner programs share when they start: a display or one clear
// line and status 3, the window's font and icon, and the two environment variables the
// screenshot script and the start-up benchmark use:
//   LENSTALLY_GRAB=FILE.png      saves the window's first frame to FILE.png and ends;
//   LENSTALLY_QUIT_AFTER_PAINT=1 ends as soon as the window has first been painted.

#include <functional>
#include <memory>
#include <string_view>

#include <QWidget>

namespace lenstally {

/// Starts the application (named for the desktop by `desktopFileName`, the menu entry's id),
/// makes the main window with `makeWindow` (given the program's
/// arguments after its name), shows it centred and runs until it closes. Returns the exit
/// status; without a display prints one line and returns kNoWindowStatus.
int RunWindowProgram(int argc, char** argv, std::string_view desktopFileName,
                     const std::function<std::unique_ptr<QWidget>(const QStringList&)>& makeWindow);

} // namespace lenstally
