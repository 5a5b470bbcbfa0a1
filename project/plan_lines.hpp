// SPDX-License-Identifier: MIT
#pragma once
// The storage plan and the recorders in words: every assumption and figure as a line with its
// label, its text and its raw number, built once when a project's totals are computed. The
// command line's table, the planner and its report lay these lines out; none works a figure out
// again.

#include <string>
#include <string_view>
#include <vector>

#include "project/project_compute.hpp"

namespace lenstally {

/// "RAID 6": a level as every message and line names it.
std::string RaidName(RaidLevel raid);
/// "TB", "GB", "TiB", "GiB".
std::string_view UnitName(SizeUnit unit);
/// "8 TB", "960 GB", "1.5 TiB": a drive size as the project file writes it.
std::string DriveSizeText(const DriveSize& size);
/// "35 %": a percentage (activity, overhead, fill) as the reports show it.
std::string PercentText(double percent);

/// The storage plan's assumptions (drive size in TB and TiB, RAID level and arrays, spares,
/// overhead, fill, the net capacity of one data drive), then its figures (total storage, drives
/// needed and, with drives installed, their usable capacity, whether the project fits, one day's
/// recording and the days that fit). `totals.plan` must be set.
std::vector<PlanLine> StoragePlanLines(const StorageSection& storage, const ProjectTotals& totals);

/// Each recorder limit with the recorders it takes, then the recorders needed.
/// `totals.recorders` must be set.
std::vector<PlanLine> RecorderPlanLines(const RecorderLimits& limits, const ProjectTotals& totals);

} // namespace lenstally
