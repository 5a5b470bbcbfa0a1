// SPDX-License-Identifier: MIT
#pragma once
// A camera view in words: the target, the lens, the picture's width, the scene width and pixel
// density at the target, the level met and how far each level reaches, as lines with their raw
// numbers. Built once with the group's figures; the table, the planner and its report lay them
// out.

#include "estimation/camera_view.hpp"

#include <vector>

#include "project/project_compute.hpp"

namespace lenstally {

/// The lines of `figures`, worked out for `view`. `defaultPixels` says the picture's width is the
/// resolution's rather than the camera's own.
std::vector<PlanLine> ViewLines(const GroupView& view, const ViewFigures& figures,
                                bool defaultPixels);

/// "Observe", or "none" below Monitor.
std::string LevelText(const std::optional<ViewLevel>& level);

} // namespace lenstally
