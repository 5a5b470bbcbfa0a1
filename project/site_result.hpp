// SPDX-License-Identifier: MIT
#pragma once
// The site plan's figures as the reports and the planners show them (see site_compute.hpp for how
// they are computed).

#include "estimation/camera_view.hpp"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "project/project.hpp"
#include "site/plan_geometry.hpp"

namespace lenstally {

/// One placed camera and what it sees.
struct PlacementResult {
    std::size_t group = 0; // the group's position in the project
    std::size_t index = 0; // its position among the group's placements
    std::string label;     // its own, or the group's name and its position from 1
    Placement placement;
    double hfov = 0;                                // degrees
    std::array<double, kViewLevelCount> reach{};    // metres, Monitor to Inspect
    std::array<double, kViewLevelCount> area{};     // square metres seen at each level
    std::array<site::Ring, kViewLevelCount> region; // what it sees at each level, to draw
};

/// How much of a zone is seen at the zone's level.
struct ZoneResult {
    double area = 0;                   // m^2
    double covered = 0;                // m^2 of it seen by at least one placement
    double percent = 0;                // 0 to 100
    bool met = false;                  // percent, to one decimal, at least the percent required
    std::vector<std::size_t> covering; // placements covering it, by position in SiteResult
};

struct SiteResult {
    SiteSection site;
    std::vector<PlacementResult> placements; // group by group, each group's in its order
    std::vector<ZoneResult> zones;           // in the order of site.zones
};

} // namespace lenstally
