// SPDX-License-Identifier: MIT
#pragma once
// A group's inputs in the words the calculator window shows them, for people to read (the report):
// "H.264", "VBR", "2 Megapixel (1600x1200)" under "Stream", "Bitrate mode", "Resolution". The
// table, CSV and JSON outputs keep the option names programs read ("h264", "bitrate-mode").

#include <string>
#include <string_view>

#include "form/actions.hpp"

namespace lenstally {

/// The heading of an action's column: "Stream", "Bitrate mode", "Frame size (KB)".
std::string_view InputHeading(const ActionDescription& action);

/// `value` (as CurrentValue names it) as the window shows it: the caption beside the option
/// button ("H.264", "2 Megapixel (1600x1200)"), the list item ("VBR", "Highest"), or the number
/// or text itself. A value the action does not name is given back as it is.
std::string InputWords(const ActionDescription& action, std::string_view value);

} // namespace lenstally
