// SPDX-License-Identifier: MIT
#pragma once
// The planner's edits as undo commands. Each changes the document through the editor and tells
// the editor what to show again; undoing one puts back exactly the state before it.

#include <optional>
#include <string>

#include <QUndoCommand>

#include "gui/planner/plan_panel.hpp"
#include "project/project_document.hpp"

namespace lenstally {

/// What the commands change, and what they tell when they have changed it.
class PlannerEditor {
public:
    virtual ProjectDocument& document() = 0;
    /// Group i's figures (and maybe its name or activity) changed.
    virtual void groupChanged(std::size_t i) = 0;
    /// Group i's form was replaced by an earlier state: show it again.
    virtual void formReplaced(std::size_t i) = 0;
    /// Groups were added, removed or moved; `select` is the group to show.
    virtual void groupsChanged(std::optional<std::size_t> select) = 0;
    /// The plan settings or the project's name changed.
    virtual void projectChanged() = 0;

protected:
    ~PlannerEditor() = default;
};

/// A user action in the calculator panel (or a camera count typed in the table), already
/// performed on the group's form: `before` and `after` are the form's states around it.
/// Consecutive typing in one text box of one group makes one command.
QUndoCommand* FormEdit(PlannerEditor& editor, std::size_t group, ControlId control,
                       const QString& what, Form1 before, Form1 after);

QUndoCommand* RenameGroup(PlannerEditor& editor, std::size_t group, std::string name);
/// Consecutive changes of one group's activity make one command.
QUndoCommand* SetActivity(PlannerEditor& editor, std::size_t group, double activity);
QUndoCommand* InsertGroup(PlannerEditor& editor, std::size_t at, ProjectDocument::Group group,
                          const QString& what);
QUndoCommand* RemoveGroup(PlannerEditor& editor, std::size_t at);
QUndoCommand* MoveGroup(PlannerEditor& editor, std::size_t from, std::size_t to);
/// Consecutive edits of one plan input make one command.
QUndoCommand* EditPlan(PlannerEditor& editor, PlanField field, const PlanSettings& settings);
QUndoCommand* RenameProject(PlannerEditor& editor, std::optional<std::string> name);

} // namespace lenstally
