// SPDX-License-Identifier: MIT
#pragma once
// A change of a group's camera details (its name, pixel width or view) as an undo command, made
// through the editor like the planner's other edits.

#include <QUndoCommand>

#include "gui/planner/camera_panel.hpp"
#include "gui/planner/planner_commands.hpp"

namespace lenstally {

/// Gives group `group` the details `camera`; consecutive edits of one input of one group make
/// one command. Undoing it puts back the details the group had before.
QUndoCommand* EditCamera(PlannerEditor& editor, std::size_t group, CameraField field,
                         CameraDetails camera);

} // namespace lenstally
