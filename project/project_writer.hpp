// SPDX-License-Identifier: MIT
#pragma once
// A project written as the file the command line and the planner read.

#include <string>

#include "project/project.hpp"

namespace lenstally {

/// The project file for `project`: its name, each group's name, inputs, activity, camera and
/// placements, and the storage, recorder and site sections it has, one group to a line (and the
/// site's walls and zones one to a line). ParseProject reads it back into the same project.
std::string ProjectFileText(const Project& project);

} // namespace lenstally
