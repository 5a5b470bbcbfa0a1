// SPDX-License-Identifier: MIT
#pragma once
// A calculator form as the page sees it: every control described once (kind, container, place and
// size in pixels, tab index, font, accessible name and description, state), then after each user
// action only the controls whose state changed. The page lays the controls out and mirrors these
// answers; it computes nothing itself.

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "form/form1.hpp"
#include "form/form_action.hpp"

namespace lenstally::web {

using Json = nlohmann::ordered_json;

/// A request the page sent that cannot be answered: {"error": text}.
Json errorAnswer(std::string text);

/// The window and every control: {"title", "width", "height", "controls": [...]}, each control
/// with its fixed description ("kind", "container", "tabIndex", "points", "bold", and for an
/// input the "label" that names it and its "accessibleName"; for a result its "description")
/// and its current state (see controlState).
Json describeForm(const Form1& form);

/// The command line's actions and what each acts on, as the page's tests drive the controls:
/// [{"option", "kind" ("select", "pick", "number" or "type"), "names" (select and pick, by
/// index), "controls" (select: the option buttons, by index) or "control"}].
Json describeActions();

/// A control's current state: {"name", "visible", "left", "top", "width", "height"} and, by
/// kind, "text" (text box), "items" and "listIndex" (combo box), "value" (option button, whose
/// caption the page shows as a label of its own) or "caption" (form, frame, label).
Json controlState(const Form1& form, ControlId id);

/// One user action on the form, as the request names it: {"do": "select", "control":
/// "optStream(2)"}, {"do": "pick", "control": "cmbFPS", "index": 3} or {"do": "type", "control":
/// "txtCameraCount", "text": "12"}. Answers {"changed": [controlState...]} for every control whose
/// state the action (and the events it raised) changed, or {"error": "..."} for a request that
/// names no such control, the wrong kind of control or a list position the list does not have.
Json performOnForm(Form1& form, const nlohmann::json& request);

/// The action a request such as performOnForm takes names, or nullopt for a request that names
/// no action or no control.
std::optional<FormAction> formActionOf(const nlohmann::json& request);

/// The states of `controls`, as an answer's "changed" lists them.
Json changedControls(const Form1& form, const std::vector<ControlId>& controls);

/// The control named `name` as the state JSON names it ("optStream(0)", "txtDays"), if any.
std::optional<ControlId> controlNamed(std::string_view name);

} // namespace lenstally::web
