// SPDX-License-Identifier: MIT
#pragma once
// The planner's table of camera groups in words: its columns, each group's texts and the TOTAL
// row's, the same in the desktop planner and in the page.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "project/project_document.hpp"

namespace lenstally {

enum class GroupColumn {
    Name,
    Cameras,
    Stream,
    Resolution,
    Fps,
    Activity,
    PerCamera,
    Bandwidth,
    Storage,
    Camera, // the camera's own name, where the group gives one
    Level   // the level its camera view meets at the target
};

inline constexpr std::size_t kGroupColumnCount = 11;

/// The headers, in the order of GroupColumn.
inline constexpr std::array<std::string_view, kGroupColumnCount> kGroupColumnHeaders{
    "Name",       "Cameras",         "Stream",  "Resolution", "FPS",  "Activity",
    "Per camera", "Total bandwidth", "Storage", "Camera",     "Level"};

/// True for the columns of words (aligned left); the others hold numbers (aligned right).
bool IsWordColumn(GroupColumn column);

/// True for the columns a narrow screen (a phone) shows: the name, the cameras, the total
/// bandwidth and the storage, the figures a site's totals sum.
bool IsNarrowColumn(GroupColumn column);

/// True for the columns a group's row can be edited in: the name, the cameras and the activity.
bool IsEditableColumn(GroupColumn column);

/// Group i's text in `column`: "Gate", "12", "H.264", "2 Megapixel" (without the pixel count
/// the calculator shows beside it), "25", "35 %", the figures as the calculator shows them, the
/// camera's name and the level met ("Observe", "none"); empty where the group has none.
std::string GroupCellText(const ProjectDocument& document, std::size_t i, GroupColumn column);

/// The TOTAL row's text in `column`: "TOTAL", the cameras, the total bandwidth and storage;
/// empty in the other columns.
std::string TotalCellText(const ProjectTotals& totals, GroupColumn column);

} // namespace lenstally
