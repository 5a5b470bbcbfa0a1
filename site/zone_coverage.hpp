// SPDX-License-Identifier: MIT
#pragma once
// How much of a zone the cameras cover at the zone's level.
//
// percent = 100 * area(zone ∩ union of every camera's region at the zone's level) / area(zone).
// The zone's requirement is met when that percent, rounded to one decimal as printf("%.1f")
// rounds it, is at least the percent required. A camera covers a zone when its own region sees
// at least 0.1 % of the zone's area.

#include <cstddef>
#include <vector>

#include "site/plan_geometry.hpp"
#include "site/sight.hpp"

namespace lenstally::site {

struct Zone {
    Ring points;           // a simple polygon, either winding; a point repeated at once counts once
    std::size_t level = 0; // the level it must be seen at: an index into kViewLevels
    double required = 100; // the percent of its area that must be seen
};

struct ZoneCoverage {
    bool valid = false; // false when the points make no simple polygon of positive area; every
                        // figure is then 0 and the requirement is not met
    double area = 0;    // the zone's area in m^2
    double covered = 0; // the part of it seen by at least one camera, in m^2
    double percent = 0; // 100 * covered / area
    bool met = false;   // percent, rounded to one decimal, is at least the percent required
    std::vector<std::size_t> covering; // the cameras covering it, by number, in increasing order
};

/// A zone checked and made ready to be covered: its outline without repeated points, wound one
/// way, its box and area.
struct PreparedZone {
    Zone zone;
    Ring outline;
    Box bounds;
    double area = 0;
    bool valid = false;
};

/// Checks and prepares `zone`. A level outside kViewLevels breaks the caller's contract.
PreparedZone PrepareZone(const Zone& zone);

/// The coverage of a zone by the sights numbered in `candidates` (increasing): every sight whose
/// region at the zone's level meets the zone must be among them, and others may be.
ZoneCoverage CoverageOf(const PreparedZone& zone, const std::vector<Sight>& sights,
                        const std::vector<std::size_t>& candidates);

/// The coverage of a zone by every sight; camera i is sights[i].
ZoneCoverage CoverageOf(const Zone& zone, const std::vector<Sight>& sights);

} // namespace lenstally::site
