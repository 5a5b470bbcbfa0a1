// SPDX-License-Identifier: MIT
#pragma once
// The site plan in words, as the command line's table, the printed report and the drawing put it:
// the plan's size, how many cameras stand on it, and each zone's coverage. Built once here, so
// every face says it the same way.

#include <string>
#include <vector>

#include "project/project_compute.hpp"
#include "project/site_result.hpp"

namespace lenstally {

/// "80 x 50 m": the plan's size, each side as its shortest text.
std::string SiteSizeText(const SiteSection& site);

/// A zone's coverage as printf("%.1f") writes it, then " %": "38.5 %". Whether the zone is met is
/// decided on this very figure.
std::string CoverageText(double percent);

/// The plan's size, how many cameras stand on it and how many zones are met: "Plan size:" with
/// "80 x 50 m", "Cameras:" with "3 of 7 cameras placed", "Zones met:" with "1 of 2". The cameras
/// that can be placed are those of the groups with a camera view (a group without one has no
/// lens to place), each counted as its camera box reads. `result.site` must be set.
std::vector<PlanLine> SitePlanLines(const ProjectResult& result);

/// One zone in words.
struct ZoneLine {
    std::string name;
    std::string level;    // "Identify"
    std::string required; // "100 %"
    std::string covered;  // "38.5 %"
    std::string met;      // "met" or "NOT MET"
    std::string cameras;  // the labels of the placements covering it, "Gates 1, Gate east", or
                          // "none"
};

/// Each zone of `site` in words, in the file's order.
std::vector<ZoneLine> ZoneLines(const SiteResult& site);

} // namespace lenstally
