// SPDX-License-Identifier: MIT
#pragma once
// Whether the environment names a display for the window at all. Kept free of Qt so that the
// command line can answer without loading it.

#include <algorithm>
#include <array>
#include <cstdlib>

namespace lenstally {

/// Exit status of both programs when the window cannot be opened.
inline constexpr int kNoWindowStatus = 3;

/// The one line either program prints when no display is named.
inline constexpr const char* kNoDisplayMessage =
    "lenstally: no display to open the window on; set DISPLAY or WAYLAND_DISPLAY, or get the "
    "results without a window with an action or --json / --state (see lenstally --help)\n";

/// True when DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM is set to something.
inline bool HasDisplayVariable() {
    constexpr std::array<const char*, 3> kNames{"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    return std::any_of(kNames.begin(), kNames.end(), [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    });
}

} // namespace lenstally
