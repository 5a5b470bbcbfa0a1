// SPDX-License-Identifier: MIT
#pragma once
// Whether a zone's outline is a simple polygon, decided exactly: the coordinates a file gives
// are exact binary numbers, and every test here gives the answer exact arithmetic on them gives,
// so a point a hair's breadth off an edge is off it, and the answer is the same in every build.

#include <span>
#include <vector>

#include "site/plan_geometry.hpp"

namespace lenstally::site {

/// The sign of the turn a -> b -> c: 1 when c lies to the left of the line from a to b (with y
/// up; counterclockwise), -1 to its right, 0 on it. Exact for coordinates that are 0 or between
/// 1e-145 and 1e145 in magnitude (a site's are 0 to 100,000 metres): the products are split into
/// exact sums of doubles when the rounded determinant is too close to 0 to be sure of its sign.
/// Example: Orientation({0.5 + 0x1p-53, 0.5}, {12, 12}, {24, 24}) is -1, where the determinant
/// computed in doubles is 0.
int Orientation(Point a, Point b, Point c);

/// The corners of a closed polygon: its points with each point repeated at once counted once,
/// the last against the first too (an outline that repeats its first point at the end).
std::vector<Point> PolygonCorners(std::span<const Point> points);

/// True when `points`, a closed polygon in either winding, has 3 or more corners (see
/// PolygonCorners) and is simple: each edge meets the next only at the corner they share, and no
/// other two edges meet at all. Crossing edges, a corner on another edge or corner, an edge
/// running back along the one before it and a polygon of no area are refused. Takes n log n
/// steps for n points (a sweep across the plan), so 100,000 points take milliseconds.
bool IsSimplePolygon(std::span<const Point> points);

} // namespace lenstally::site
