// SPDX-License-Identifier: MIT
#pragma once
// What one placed camera sees, level by level, past the walls of a site.
//
// A camera at P with heading h (degrees clockwise from the top of the plan: 0 looks up, towards
// -y; 90 looks right, towards +x) and a lens of horizontal angle H sees at a level the points
// within that level's reach of P, within H/2 either side of its heading, whose straight line from
// P (P itself left out) meets no wall. A wall through P therefore blocks nothing for it. Zones do
// not block, and the plan's edge cuts nothing.

#include "estimation/camera_view.hpp"

#include <array>

#include "site/plan_geometry.hpp"
#include "site/walls.hpp"

namespace lenstally::site {

struct Camera {
    Point at;
    double heading = 0; // degrees clockwise from the top of the plan; any value, taken modulo 360
    double hfov = 0;    // the horizontal angle of view in degrees, above 0 and below 180
    std::array<double, kViewLevelCount> reach{}; // metres, in the order of kViewLevels
};

/// What a camera sees at each level, in the order of kViewLevels.
struct Sight {
    /// The region seen, as one ring in metres: the camera's position first, then the outline in
    /// order of angle, clockwise on the plan (counter-clockwise with y pointing up). Arcs are
    /// chords whose inner points lie a little outside the circle, so that the ring's area is the
    /// region's own. Empty where the level sees nothing (no reach, or no valid lens).
    std::array<Ring, kViewLevelCount> regions;
    /// The exact area of each region in square metres (the arcs as arcs).
    std::array<double, kViewLevelCount> area{};
    /// The bounding box of each ring; empty where the ring is.
    std::array<Box, kViewLevelCount> bounds;
};

/// What `camera` sees past `walls`. A lens angle outside (0, 180) sees nothing; a level whose
/// reach is not a positive finite number sees nothing. Example: with no walls, a 90 degree lens
/// reaching 10 m sees 100 * 90 * pi / 360 = 78.54 m^2.
Sight SightOf(const Camera& camera, const Walls& walls);

} // namespace lenstally::site
