// SPDX-License-Identifier: MIT
#include "site/walls.hpp"

#include <algorithm>
#include <boost/geometry/geometries/box.hpp>
#include <boost/geometry/geometries/point.hpp>
#include <boost/geometry/index/rtree.hpp>
#include <iterator>
#include <utility>

namespace lenstally::site {
namespace {

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;

using IndexPoint = bg::model::point<double, 2, bg::cs::cartesian>;
using IndexBox = bg::model::box<IndexPoint>;
using Entry = std::pair<IndexBox, std::size_t>;

IndexBox indexBox(const Box& box) {
    return {{box.min.x, box.min.y}, {box.max.x, box.max.y}};
}

} // namespace

struct Walls::Index {
    std::vector<Segment> segments;
    bgi::rtree<Entry, bgi::quadratic<16>> tree;
};

Walls::Walls() : m_index(std::make_shared<const Index>()) {}

Walls::Walls(const std::vector<Polyline>& polylines) {
    auto index = std::make_shared<Index>();
    for (const Polyline& line : polylines) {
        for (std::size_t i = 1; i < line.size(); ++i) {
            if (!(line[i - 1] == line[i])) {
                index->segments.push_back({line[i - 1], line[i]});
            }
        }
    }
    std::vector<Entry> entries;
    entries.reserve(index->segments.size());
    for (std::size_t i = 0; i < index->segments.size(); ++i) {
        const Segment& s = index->segments[i];
        entries.emplace_back(indexBox(BoundsOf({s.a, s.b})), i);
    }
    // Built from the whole range at once: the packing algorithm, a better tree than inserting.
    index->tree = decltype(index->tree)(entries);
    m_index = std::move(index);
}

const std::vector<Segment>& Walls::segments() const {
    return m_index->segments;
}

std::vector<std::size_t> Walls::near(const Box& box) const {
    std::vector<std::size_t> found;
    if (box.empty()) {
        return found;
    }
    std::vector<Entry> hits;
    m_index->tree.query(bgi::intersects(indexBox(box)), std::back_inserter(hits));
    found.reserve(hits.size());
    for (const Entry& e : hits) {
        found.push_back(e.second);
    }
    // The tree's order depends on how its packing sorted ties; the numbers' order does not.
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace lenstally::site
