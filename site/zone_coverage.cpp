// SPDX-License-Identifier: MIT
#include "site/zone_coverage.hpp"

#include "estimation/numeric_text.hpp"

#include <algorithm>
#include <array>
#include <boost/geometry/algorithms/area.hpp>
#include <boost/geometry/algorithms/correct.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#include <numeric>
#include <string>
#include <utility>

#include "form/contract.hpp"
#include "site/simple_polygon.hpp"

// The covered area is not taken from a polygon union. Boost.Geometry's overlays (1.74, and 1.81
// alike) return wrong unions, sometimes empty ones, for pieces of a zone that share the zone's
// edges or a wall's, which every site has: edges that are collinear but for the last bit. The
// area alone is needed, and it has an exact computation that makes no such decisions: cut the
// zone into vertical slabs at every x where a corner lies or two edges cross; inside a slab the
// seen length along a vertical line changes linearly, so its value on the slab's middle line
// times the slab's width is the slab's area exactly. Near-collinear edges then cost rounding
// error only.

namespace lenstally::site {
namespace {

namespace bg = boost::geometry;

using PlanPoint = bg::model::d2::point_xy<double>;
using Polygon = bg::model::polygon<PlanPoint, false, true>;

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

// An edge of the zone (owner 0) or of a camera's region (owner 1 + its place among the
// candidates), from left to right.
struct Edge {
    double x0 = 0;
    double y0 = 0;
    double x1 = 0;
    double y1 = 0;
    std::size_t owner = 0;
    bool exact = true; // false: laid flat outside the zone's box

    double yAt(double x) const { return y0 + (y1 - y0) * ((x - x0) / (x1 - x0)); }
};

// Stretches of a vertical line, [first, second].
using Stretches = std::vector<std::pair<double, double>>;

double overlap(const Stretches& a, const Stretches& b) {
    double sum = 0;
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const double lo = std::max(a[i].first, b[j].first);
        const double hi = std::min(a[i].second, b[j].second);
        sum += std::max(0.0, hi - lo);
        if (a[i].second < b[j].second) {
            ++i;
        } else {
            ++j;
        }
    }
    return sum;
}

// The edges of `ring` that a vertical line through `box` may cross, except vertical ones (no
// vertical line crosses them between two corners). An edge wholly above or below the box still
// counts for the pairing of the crossings on the line, but not where it lies: it is laid flat
// just outside the box, where its corners make no difference (`exact` false).
void addEdges(const Ring& ring, std::size_t owner, const Box& box, std::vector<Edge>& edges) {
    for (std::size_t i = 0; i < ring.size(); ++i) {
        Point a = ring[i];
        Point b = ring[(i + 1) % ring.size()];
        if (a.x == b.x || std::max(a.x, b.x) <= box.min.x || std::min(a.x, b.x) >= box.max.x) {
            continue;
        }
        if (b.x < a.x) {
            std::swap(a, b);
        }
        Edge e{a.x, a.y, b.x, b.y, owner, true};
        if (std::max(a.y, b.y) < box.min.y) {
            e.y0 = e.y1 = box.min.y - 1;
            e.exact = false;
        } else if (std::min(a.y, b.y) > box.max.y) {
            e.y0 = e.y1 = box.max.y + 1;
            e.exact = false;
        }
        edges.push_back(e);
    }
}

// The seen lengths on the vertical line at x, from the edges crossing it: the zone's stretches
// with the union of every region's (added to `covered`), and with each region's own (added to
// `own`), each times `width`.
class SlabSum {
public:
    explicit SlabSum(std::size_t regions) : m_own(regions, 0.0) {}

    void add(const std::vector<const Edge*>& crossing, double x, double width) {
        m_ys.clear();
        for (const Edge* e : crossing) {
            m_ys.emplace_back(e->owner, e->yAt(x));
        }
        std::sort(m_ys.begin(), m_ys.end());
        // Each polygon meets the line in stretches between its crossings taken in pairs; the
        // zone's come first (owner 0), then each region's, and each region alone is held against
        // the zone too.
        m_zone.clear();
        m_all.clear();
        for (std::size_t i = 0; i < m_ys.size();) {
            const std::size_t owner = m_ys[i].first;
            std::size_t end = i;
            while (end < m_ys.size() && m_ys[end].first == owner) {
                ++end;
            }
            m_one.clear();
            for (std::size_t k = i; k + 1 < end; k += 2) {
                m_one.emplace_back(m_ys[k].second, m_ys[k + 1].second);
            }
            if (owner == 0) {
                m_zone = m_one;
            } else if (!m_zone.empty()) {
                m_own[owner - 1] += overlap(m_zone, m_one) * width;
                m_all.insert(m_all.end(), m_one.begin(), m_one.end());
            }
            i = end;
        }
        if (m_all.empty()) {
            return;
        }
        std::sort(m_all.begin(), m_all.end());
        m_union.clear();
        for (const auto& s : m_all) {
            if (!m_union.empty() && s.first <= m_union.back().second) {
                m_union.back().second = std::max(m_union.back().second, s.second);
            } else {
                m_union.push_back(s);
            }
        }
        m_covered += overlap(m_zone, m_union) * width;
    }

    double covered() const { return m_covered; }
    const std::vector<double>& own() const { return m_own; }

private:
    std::vector<std::pair<std::size_t, double>> m_ys;
    Stretches m_zone;
    Stretches m_all;
    Stretches m_one;
    Stretches m_union;
    std::vector<double> m_own;
    double m_covered = 0;
};

} // namespace

PreparedZone PrepareZone(const Zone& zone) {
    if (zone.level >= kViewLevelCount) {
        ContractFailure(ContractBreach::NoSuchItem,
                        "a zone's level " + std::to_string(zone.level) + " is not a view level");
    }
    PreparedZone prepared;
    prepared.zone = zone;
    prepared.outline = PolygonCorners(zone.points);
    if (!IsSimplePolygon(prepared.outline)) {
        return prepared;
    }
    Polygon polygon = polygonOf(prepared.outline);
    bg::correct(polygon);
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
    const std::size_t level = zone.zone.level;
    std::vector<std::size_t> seeing;
    std::vector<Edge> edges;
    addEdges(zone.outline, 0, zone.bounds, edges);
    for (const std::size_t i : candidates) {
        const Sight& sight = sights[i];
        if (sight.regions[level].size() >= 3 && Overlaps(sight.bounds[level], zone.bounds)) {
            seeing.push_back(i);
            addEdges(sight.regions[level], seeing.size(), zone.bounds, edges);
        }
    }
    // Every corner's x within the zone's width: no edge starts or ends inside a slab but those
    // laid flat outside the box. Where one of those ends inside a slab, the next one of its ring
    // starts at the same height (or both end there, turning back, as a pair of equal heights),
    // so the pairing on the line is the same on both sides.
    std::vector<double> xs{zone.bounds.min.x, zone.bounds.max.x};
    for (const Edge& e : edges) {
        if (!e.exact) {
            continue;
        }
        for (const double x : {e.x0, e.x1}) {
            if (x > zone.bounds.min.x && x < zone.bounds.max.x) {
                xs.push_back(x);
            }
        }
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.x0 < b.x0; });

    SlabSum sum(seeing.size());
    std::vector<const Edge*> active;
    std::vector<double> cuts;
    std::size_t next = 0;
    for (std::size_t k = 0; k + 1 < xs.size(); ++k) {
        const double left = xs[k];
        const double right = xs[k + 1];
        while (next < edges.size() && edges[next].x0 <= left) {
            active.push_back(&edges[next++]);
        }
        std::erase_if(active, [&](const Edge* e) { return e->x1 <= left; });
        // Where two edges of different polygons cross inside the slab, the seen length bends.
        cuts.assign({left, right});
        for (std::size_t i = 0; i < active.size(); ++i) {
            for (std::size_t j = i + 1; j < active.size(); ++j) {
                if (active[i]->owner == active[j]->owner || !active[i]->exact ||
                    !active[j]->exact) {
                    continue;
                }
                const double dl = active[i]->yAt(left) - active[j]->yAt(left);
                const double dr = active[i]->yAt(right) - active[j]->yAt(right);
                if ((dl < 0 && dr > 0) || (dl > 0 && dr < 0)) {
                    cuts.push_back(left + (right - left) * (dl / (dl - dr)));
                }
            }
        }
        std::sort(cuts.begin(), cuts.end());
        for (std::size_t c = 0; c + 1 < cuts.size(); ++c) {
            if (cuts[c + 1] > cuts[c]) {
                sum.add(active, (cuts[c] + cuts[c + 1]) / 2, cuts[c + 1] - cuts[c]);
            }
        }
    }
    for (std::size_t s = 0; s < seeing.size(); ++s) {
        if (sum.own()[s] >= zone.area / 1000) {
            coverage.covering.push_back(seeing[s]);
        }
    }
    coverage.covered = std::min(sum.covered(), coverage.area);
    coverage.percent = 100 * coverage.covered / coverage.area;
    // Held against the percent as the reports write it, with one decimal.
    coverage.met = RoundTo(coverage.percent, 1) >= zone.zone.required;
    return coverage;
}

ZoneCoverage CoverageOf(const Zone& zone, const std::vector<Sight>& sights) {
    std::vector<std::size_t> every(sights.size());
    std::iota(every.begin(), every.end(), std::size_t{0});
    return CoverageOf(PrepareZone(zone), sights, every);
}

} // namespace lenstally::site
