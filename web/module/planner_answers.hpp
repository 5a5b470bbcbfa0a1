// SPDX-License-Identifier: MIT
#pragma once
// The planner page's side of the module: the core's planner session behind a JSON face. Each
// request names one operation of the session (or an output of the project); each answer lays out
// what the session says has changed: the rows, the totals, the selected group with its
// calculator and camera, the plan's inputs and figures, what Undo and Redo would do.

#include <optional>
#include <string>
#include <string_view>

#include "project/planner_session.hpp"
#include "web/module/form_json.hpp"

namespace lenstally::web {

class PlannerAnswers {
public:
    /// Answers {"planner": WHAT, ...}: "open" (with "text", a project file's text), "new",
    /// "show", "select" ("group"), the edits "add", "duplicate", "remove", "up", "down",
    /// "rename" ("group", "name"), "activity" ("group", "value"), "cameras" ("group", "text"),
    /// "form" ("group", "action", a calculator action as performOnForm reads it), "camera"
    /// ("group", "field" and "inputs", what the camera section's inputs hold), "plan" ("inputs",
    /// "field"), "project-name" ("name", or null for none), "undo" and "redo"; "rows" ("from",
    /// "to"), the table's rows from..to-1 as {"count", "rows"}; the outputs "save" (the project
    /// file), "json", "csv" and "table" (the command line's reports), each answered as
    /// {"text"}; "changed", "saved" (which first marks the project as saved) and "unsaved"
    /// (which first marks it unsaved until it is saved, as a recovered copy is), each answered
    /// as {"changed"}: whether the project differs from the one last opened, started or saved;
    /// "site", the site plan as {"site"}; the site plan's edits "startSite" ("width", "height"),
    /// "siteImage" ("url", a data URL or null, and "aspect"), "scaleSite" ("a", "b" as [x, y],
    /// "metres"), "siteWidth" ("width"), "addWall" ("points", a list of [x, y]), "editWall"
    /// ("wall", "points"), "removeWall" ("wall"), "addZone" ("name", "level", "required",
    /// "points"), "editZone" ("zone", "field" and that input: "name", "level", "required" or
    /// "points"), "removeZone" ("zone"), "placeCamera" ("group", "x", "y", "heading"),
    /// "editPlacement" ("group", "index", "field" and that input: "position" with "x" and "y",
    /// "x", "y", "heading" or "label") and "removePlacement" ("group", "index"); and "report"
    /// ("date"), the printed report, as {"html", "pictures"}: each camera view's
    /// picture is a <div data-picture=N> for pictures[N].
    ///
    /// Every other answer holds "name", "count", "selected", "undo", "redo", "modified" (as
    /// "changed" answers), "edited" (whether the project changed) and "note", and only what
    /// changed: after "open", "new" and "show", "reset" with "columns", every part below and no
    /// rows (the page asks for the rows it shows); otherwise "shifts" (groups inserted, removed
    /// and moved, in order: {"insert": at}, {"remove": at}, {"move": from, "to"}), "rows" (the
    /// rows that show other texts, as [position, texts] after the shifts), "total" and the
    /// plan's lines, "plan" (its inputs), "group" (the selected one, or null), "form" (every
    /// control of the selected group's form) when it is shown anew or "changed" (the controls an
    /// action changed); "site" (null without a plan: "svg", the command line's drawing, with
    /// "margin" and "scale" saying where it puts the plan, left out where the request says
    /// "drawing": false; "width", "placements" with "group", "index", "label", "x", "y" and
    /// "heading", "zones" with "name", "level", "required", "percent" as the table writes it and
    /// "met", and "walls", each wall's count of points);
    /// and "error" where the session refused the edit.
    Json answer(const nlohmann::json& request);

    /// The text of the output `what` ("save", "json", "csv" or "table") as answer() gives it in
    /// {"text"}; nullopt for any other request.
    std::optional<std::string> output(std::string_view what) const;

private:
    Json edit(const std::string& what, const nlohmann::json& request);
    // An edit of the site plan; nullopt where `what` names none.
    std::optional<Json> siteEdit(const std::string& what, const nlohmann::json& request);
    // What the page shows after `change`; every row and the whole form with `everything`.
    Json show(const SessionChange& change, bool everything = false) const;

    PlannerSession m_session;
    bool m_drawing = true; // whether the answer to this request draws the site plan anew
    // Without the drawing: the camera (its place in the site's placements) this request moved or
    // turned, whose view the answer draws alone.
    std::optional<std::size_t> m_moved;
};

} // namespace lenstally::web
