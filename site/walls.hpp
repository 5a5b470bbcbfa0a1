// SPDX-License-Identifier: MIT
#pragma once
// The walls of a site, prepared once for every camera that looks past them: each polyline cut
// into its straight segments, with a spatial index that finds the segments near a place without
// looking at the others.

#include <cstddef>
#include <memory>
#include <vector>

#include "site/plan_geometry.hpp"

namespace lenstally::site {

/// One straight piece of a wall, from `a` to `b` (never of zero length).
struct Segment {
    Point a;
    Point b;
};

/// An immutable set of wall segments; copies share it.
class Walls {
public:
    /// No walls at all.
    Walls();
    /// Every polyline cut into its segments, in order; a point repeated at once adds no segment,
    /// and a polyline of fewer than two distinct points adds none.
    explicit Walls(const std::vector<Polyline>& polylines);

    /// The segments, numbered in the order of the polylines and their points.
    const std::vector<Segment>& segments() const;

    /// The numbers of the segments whose bounding boxes meet `box`, in increasing order.
    std::vector<std::size_t> near(const Box& box) const;

private:
    struct Index;
    std::shared_ptr<const Index> m_index;
};

} // namespace lenstally::site
