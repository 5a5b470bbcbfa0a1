// SPDX-License-Identifier: MIT
#pragma once
// A control's state as the JSON outputs write it: the command line's --state and the page's
// answers share these fields, so both faces read a control the same way.

#include <nlohmann/json_fwd.hpp>

#include "form/form1.hpp"

namespace lenstally {

/// Adds to `j` whether control `id` is visible, where it stands ("left", "top", "width" and
/// "height", each converted by `units` from twips) and what it shows, by kind: "text" (text box),
/// "items" and "listIndex" (combo box), "caption" and "value" (option button) or "caption"
/// (form, frame, label).
void AddControlState(nlohmann::ordered_json& j, const Form1& form, ControlId id,
                     int (*units)(int twips));

} // namespace lenstally
