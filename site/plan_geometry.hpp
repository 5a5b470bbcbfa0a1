// SPDX-License-Identifier: MIT
#pragma once
// The plain shapes of a site plan, in metres: x runs right from the plan's left edge, y down from
// its top edge, as on a drawing.

#include <vector>

namespace lenstally::site {

struct Point {
    double x = 0;
    double y = 0;

    friend bool operator==(const Point&, const Point&) = default;
};

/// A wall: a line through the points in order, without thickness.
using Polyline = std::vector<Point>;

/// A simple polygon through the points in order, closed back to the first; either winding. The
/// first point is not repeated at the end (a repeat is ignored where a ring is read).
using Ring = std::vector<Point>;

/// An axis-aligned box; empty when min exceeds max (the default).
struct Box {
    Point min{1, 1};
    Point max{0, 0};

    bool empty() const { return min.x > max.x || min.y > max.y; }
};

/// The smallest box holding every point; an empty box for no points.
Box BoundsOf(const std::vector<Point>& points);

/// Whether two boxes share a point (edges touching count); never for an empty box.
bool Overlaps(const Box& a, const Box& b);

} // namespace lenstally::site
