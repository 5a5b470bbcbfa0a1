// SPDX-License-Identifier: MIT
#include "site/plan_geometry.hpp"

#include <algorithm>

namespace lenstally::site {

Box BoundsOf(const std::vector<Point>& points) {
    if (points.empty()) {
        return {};
    }
    Box box{points.front(), points.front()};
    for (const Point& p : points) {
        box.min.x = std::min(box.min.x, p.x);
        box.min.y = std::min(box.min.y, p.y);
        box.max.x = std::max(box.max.x, p.x);
        box.max.y = std::max(box.max.y, p.y);
    }
    return box;
}

bool Overlaps(const Box& a, const Box& b) {
    return !a.empty() && !b.empty() && a.min.x <= b.max.x && b.min.x <= a.max.x &&
           a.min.y <= b.max.y && b.min.y <= a.max.y;
}

} // namespace lenstally::site
