// SPDX-License-Identifier: MIT
#pragma once
// One user action on one control of the calculator, as every face names it: a click on an
// option button, a pick in a list, text typed into a box. The planners hand these to their
// session, which performs them on a group's form and records them for undo.

#include <cstdint>
#include <string>

#include "form/form1.hpp"

namespace lenstally {

struct FormAction {
    enum class Kind { Select, Pick, Type };
    Kind kind = Kind::Type;
    ControlId control = ControlId::Form1;
    std::int16_t index = -1; // Pick: the item, or -1 for none
    std::string text;        // Type: the whole text the box holds now

    friend bool operator==(const FormAction&, const FormAction&) = default;
};

/// Why `form` cannot take `action`, naming the control as the state output does ("cmbFPS has no
/// such item"), or empty when it can.
std::string FormActionProblem(const Form1& form, const FormAction& action);

/// Performs `action` on `form` (one FormActionProblem accepts) exactly as the user's click, pick
/// or typing in the window does, events included.
void Perform(Form1& form, const FormAction& action);

/// What an undo step of `action` is called: "Edit Number of Cameras", "Edit H.264".
std::string FormActionLabel(ControlId control);

} // namespace lenstally
