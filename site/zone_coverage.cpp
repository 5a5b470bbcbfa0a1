// SPDX-License-Identifier: MIT
#include "site/zone_coverage.hpp"

// g++ 12 warns, inside Boost's envelope of a multi-polygon inlined here, that a box it fills in
// before reading may be read uninitialised; it is not.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include <algorithm>
#include <array>
#include <boost/geometry/algorithms/area.hpp>
#include <boost/geometry/algorithms/correct.hpp>
#include <boost/geometry/algorithms/intersection.hpp>
#include <boost/geometry/algorithms/is_valid.hpp>
#include <boost/geometry/algorithms/union.hpp>
#include <boost/geometry/geometries/multi_polygon.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#include <charconv>
#include <fast_float/fast_float.h>
#include <numeric>
#include <string>

#include "form/contract.hpp"

namespace lenstally::site {
namespace {

namespace bg = boost::geometry;

using PlanPoint = bg::model::d2::point_xy<double>;
// Counter-clockwise with y pointing up (positive area), closed: the winding of a sight's ring.
using Polygon = bg::model::polygon<PlanPoint, false, true>;
using Polygons = bg::model::multi_polygon<Polygon>;

Polygon polygonOf(const Ring& ring) {
    Polygon polygon;
    auto& outer = polygon.outer();
    outer.reserve(ring.size() + 1);
    for (const Point& p : ring) {
        outer.emplace_back(p.x, p.y);
    }
    outer.emplace_back(ring.front().x, ring.front().y);
    return polygon;
}

// The union of every piece, merged in pairs so that each merge joins pieces of like size.
Polygons unionOf(std::vector<Polygons> pieces) {
    while (pieces.size() > 1) {
        std::vector<Polygons> merged;
        merged.reserve((pieces.size() + 1) / 2);
        for (std::size_t i = 0; i + 1 < pieces.size(); i += 2) {
            Polygons both;
            bg::union_(pieces[i], pieces[i + 1], both);
            merged.push_back(std::move(both));
        }
        if (pieces.size() % 2 == 1) {
            merged.push_back(std::move(pieces.back()));
        }
        pieces = std::move(merged);
    }
    return pieces.empty() ? Polygons{} : std::move(pieces.front());
}

// `percent` as printf("%.1f") writes it, read back: the figure the requirement is held against.
double roundedToTenth(double percent) {
    std::array<char, 340> text{};
    const auto written =
        std::to_chars(text.data(), text.data() + text.size(), percent, std::chars_format::fixed, 1);
    double rounded = 0;
    fast_float::from_chars(text.data(), written.ptr, rounded);
    return rounded;
}

} // namespace

PreparedZone PrepareZone(const Zone& zone) {
    if (zone.level >= kViewLevelCount) {
        ContractFailure(ContractBreach::NoSuchItem,
                        "a zone's level " + std::to_string(zone.level) + " is not a view level");
    }
    PreparedZone prepared;
    prepared.zone = zone;
    for (const Point& p : zone.points) {
        if (prepared.outline.empty() || !(prepared.outline.back() == p)) {
            prepared.outline.push_back(p);
        }
    }
    while (prepared.outline.size() > 1 && prepared.outline.back() == prepared.outline.front()) {
        prepared.outline.pop_back();
    }
    if (prepared.outline.size() < 3) {
        return prepared;
    }
    Polygon polygon = polygonOf(prepared.outline);
    bg::correct(polygon);
    if (!bg::is_valid(polygon)) {
        return prepared;
    }
    prepared.area = bg::area(polygon);
    prepared.valid = prepared.area > 0;
    prepared.outline.clear();
    for (std::size_t i = 0; i + 1 < polygon.outer().size(); ++i) {
        prepared.outline.push_back({polygon.outer()[i].x(), polygon.outer()[i].y()});
    }
    prepared.bounds = BoundsOf(prepared.outline);
    return prepared;
}

ZoneCoverage CoverageOf(const PreparedZone& zone, const std::vector<Sight>& sights,
                        const std::vector<std::size_t>& candidates) {
    ZoneCoverage coverage;
    if (!zone.valid) {
        return coverage;
    }
    coverage.valid = true;
    coverage.area = zone.area;
    const Polygon outline = polygonOf(zone.outline);
    const std::size_t level = zone.zone.level;
    std::vector<Polygons> pieces;
    for (const std::size_t i : candidates) {
        const Sight& sight = sights[i];
        if (sight.regions[level].size() < 3 || !Overlaps(sight.bounds[level], zone.bounds)) {
            continue;
        }
        Polygons seen;
        bg::intersection(outline, polygonOf(sight.regions[level]), seen);
        const double area = bg::area(seen);
        if (area <= 0) {
            continue;
        }
        if (area >= zone.area / 1000) {
            coverage.covering.push_back(i);
        }
        pieces.push_back(std::move(seen));
    }
    if (pieces.size() == 1) {
        coverage.covered = bg::area(pieces.front());
    } else if (!pieces.empty()) {
        coverage.covered = bg::area(unionOf(std::move(pieces)));
    }
    coverage.covered = std::min(coverage.covered, coverage.area);
    coverage.percent = 100 * coverage.covered / coverage.area;
    coverage.met = roundedToTenth(coverage.percent) >= zone.zone.required;
    return coverage;
}

ZoneCoverage CoverageOf(const Zone& zone, const std::vector<Sight>& sights) {
    std::vector<std::size_t> every(sights.size());
    std::iota(every.begin(), every.end(), std::size_t{0});
    return CoverageOf(PrepareZone(zone), sights, every);
}

} // namespace lenstally::site
