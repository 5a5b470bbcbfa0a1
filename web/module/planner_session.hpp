// SPDX-License-Identifier: MIT
#pragma once
// The planner page's side of the module: the open project as a ProjectDocument, the selected
// group, and the undo history of every edit. Each request is one user action; each answer tells
// the page what to show now (the rows that changed, the totals, the selected group's calculator,
// the plan's inputs and figures, what Undo and Redo would do).

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "project/project_document.hpp"
#include "project/project_writer.hpp"
#include "web/module/form_json.hpp"
#include "web/module/plan_inputs.hpp"

namespace lenstally::web {

class PlannerSession {
public:
    /// Answers {"planner": WHAT, ...}: "open" (with "text", a project file's text), "new",
    /// "show", "select" ("group"), the edits "add", "duplicate", "remove", "up", "down",
    /// "rename" ("group", "name"), "activity" ("group", "value"), "cameras" ("group", "text"),
    /// "form" (a calculator action on the selected group, see performOnForm), "camera" ("group",
    /// "field" and "inputs", what the camera section's inputs hold; see EditedCamera), "plan"
    /// ("inputs", "field"), "project-name" ("name", or null for none), "undo" and "redo", and the
    /// outputs "save" (the project file), "json", "csv" and "table" (the command line's reports),
    /// each answered as {"text"}, "changed" and "saved" (which first marks the project as saved),
    /// each answered as {"changed"}: whether the project differs from the one last opened,
    /// started or saved, and "report" ("date"), the printed report, as {"html",
    /// "pictures"}: each camera view's picture is a <div data-picture=N> for pictures[N].
    Json answer(const nlohmann::json& request);

private:
    // One undoable edit: the document before and after it is reached by these two.
    struct Step {
        std::string label;
        std::string mergeKey; // consecutive steps with the same non-empty key make one
        std::function<void(ProjectDocument&)> undo;
        std::function<void(ProjectDocument&)> redo;
        std::optional<std::size_t> afterUndo; // the group to show after undoing it
        std::optional<std::size_t> afterRedo; // and after doing it again
        bool structural = false;              // groups added, removed or moved
    };

    Json edit(const std::string& what, const nlohmann::json& request);
    Json formEdit(std::size_t group, const nlohmann::json& action);
    Json cameraEdit(std::size_t group, const nlohmann::json& request);
    void push(Step step);
    // The answer after a change: rows from `firstRow` on (all rows when nullopt means none).
    Json show(std::optional<std::size_t> firstRow, bool withForm = true) const;
    Json row(std::size_t i) const;
    Json totalRow() const;
    PlanSettings plan() const { return {m_document.storage(), m_document.recorder()}; }

    ProjectDocument m_document;
    std::optional<std::size_t> m_selected;
    std::vector<Step> m_steps;
    std::size_t m_done = 0; // steps m_steps[0, m_done) are in effect
    std::string m_note;     // what an edit adjusted, shown once
    // The project file as last opened, started or saved.
    std::string m_savedText = ProjectFileText(m_document.toProject());
};

} // namespace lenstally::web
