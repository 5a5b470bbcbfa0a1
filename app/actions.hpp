// SPDX-License-Identifier: MIT
#pragma once
// The user actions the command line (and project files) perform on a Form1, by option name.

#include "window/form1.hpp"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lenstally {

enum class ActionKind { Select, Pick, Number, Type };

/// One kind of action: which option names it, what it acts on and which values it takes.
struct ActionSpec {
    std::string_view option;                 // "stream", without the leading dashes
    ActionKind kind;                         // Select: an option button; Pick: a named list item;
                                             // Number: a numbered list item; Type: a text box
    std::span<const std::string_view> names; // Select and Pick: the allowed names, by index
    std::span<const ControlId> options;      // Select: the buttons, by index
    ControlId control;                       // Pick, Number, Type: the control acted on
    int maxNumber;                           // Number: the highest item (the lowest is 1)
    std::string_view help;
};

/// Every action, in the order project files apply them.
std::span<const ActionSpec> Actions();

/// The action for `option` ("stream", "fps", ...), or nullptr.
const ActionSpec* FindAction(std::string_view option);

/// Checks `value` for `action` and returns the index it selects or picks (Select, Pick, Number),
/// or -1 for a text action, or nullopt with `error` saying what is allowed.
std::optional<int> ResolveValue(const ActionSpec& action, std::string_view value,
                                std::string& error);

/// An action with its value checked and resolved by ResolveValue, ready for ApplyAction.
struct ResolvedAction {
    const ActionSpec* action;
    int index;         // what ResolveValue returned: -1 for a typing action
    std::string value; // the text typed, for typing actions
};

/// Performs an action resolved by ResolveValue, as the user's click, pick or typing would.
void ApplyAction(Form1& form, const ResolvedAction& resolved);

/// The name of the item an action shows now ("h264", "cbr", "2mp"), or the number/text it holds.
std::string CurrentValue(const Form1& form, const ActionSpec& action);

} // namespace lenstally
