// SPDX-License-Identifier: MIT
#pragma once
// The user actions the command line (and project files) perform on a Form1, by option name.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "form/form1.hpp"

namespace lenstally {

enum class ActionKind { Select, Pick, Number, Type };

/// One kind of action: which option names it, what it acts on and which values it takes.
struct ActionDescription {
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
std::span<const ActionDescription> Actions();

/// The action for `option` ("stream", "fps", ...), or nullptr.
const ActionDescription* FindAction(std::string_view option);

/// A value checked and ready to use, or the one-line reason it cannot be used.
template <typename T> struct Checked {
    std::optional<T> value;
    std::string error; // set when `value` is empty
};

/// An action with its value checked by ResolveValue, ready for ApplyAction.
struct ResolvedAction {
    const ActionDescription* action;
    std::optional<int> index; // Select, Pick, Number: the button or item, from 0; empty for Type
    std::string value;        // the value as given; for Type, the text typed
};

/// The whole number `text` writes in ASCII digits, base 10 ("030" is 30), with anything above
/// `ceiling` read as `ceiling`; nullopt for an empty text or any other character.
std::optional<std::int64_t> ReadDigits(std::string_view text, std::int64_t ceiling);

/// Checks `value` for `action`: one of its names in any case (Select, Pick), a whole number from
/// 1 to its highest item (Number), any text (Type). The error says what is allowed, as in
/// "allowed values are mjpeg, mpeg4, h264".
Checked<ResolvedAction> ResolveValue(const ActionDescription& action, std::string value);

/// Performs an action resolved by ResolveValue, as the user's click, pick or typing would.
void ApplyAction(Form1& form, const ResolvedAction& resolved);

/// The name of the item an action shows now ("h264", "cbr", "2mp"), or the number/text it holds.
std::string CurrentValue(const Form1& form, const ActionDescription& action);

/// True when `a` and `b` are the same text but for the case of the ASCII letters A to Z.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

/// The names joined for a message: "mjpeg, mpeg4, h264".
std::string JoinedNames(std::span<const std::string_view> names);

} // namespace lenstally
