// SPDX-License-Identifier: MIT
// Random sites against a slow computation of their own: every placement's area at every level
// and every zone's covered area within 0.01 % or 0.001 m^2 (whichever is larger) of the true
// area. The slow computation shares nothing with the library: it cuts the plan into thin
// vertical slices and, on the middle line of each, works out exactly which stretches each camera
// sees (the disc, the two edges of its view, and the shadow of each wall are each a stretch of
// the line), then adds up the lengths. The seen length is continuous across the slices, so the
// sum converges quickly as they thin.
#include <algorithm>
#include <boost/geometry/algorithms/is_valid.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>
#include <utility>

#include "site/site_figures.hpp"
#include "tests/site/random_site.hpp"

namespace lenstally::site {
namespace {

using testing_support::randomSite;
using testing_support::RandomSite;

constexpr double kInf = std::numeric_limits<double>::infinity();

// Disjoint stretches of a line, in increasing order.
using Stretches = std::vector<std::pair<double, double>>;

Stretches unite(Stretches s) {
    std::sort(s.begin(), s.end());
    Stretches out;
    for (const auto& [lo, hi] : s) {
        if (hi <= lo) {
            continue;
        }
        if (!out.empty() && lo <= out.back().second) {
            out.back().second = std::max(out.back().second, hi);
        } else {
            out.emplace_back(lo, hi);
        }
    }
    return out;
}

Stretches intersect(const Stretches& a, const Stretches& b) {
    Stretches out;
    for (const auto& [alo, ahi] : a) {
        for (const auto& [blo, bhi] : b) {
            if (std::max(alo, blo) < std::min(ahi, bhi)) {
                out.emplace_back(std::max(alo, blo), std::min(ahi, bhi));
            }
        }
    }
    return unite(out);
}

// `a` less one stretch.
Stretches remove(const Stretches& a, double lo, double hi) {
    Stretches out;
    for (const auto& [alo, ahi] : a) {
        if (hi <= alo || ahi <= lo) {
            out.emplace_back(alo, ahi);
            continue;
        }
        if (alo < lo) {
            out.emplace_back(alo, lo);
        }
        if (hi < ahi) {
            out.emplace_back(hi, ahi);
        }
    }
    return out;
}

double length(const Stretches& s) {
    double sum = 0;
    for (const auto& [lo, hi] : s) {
        sum += hi - lo;
    }
    return sum;
}

// Where a * y + b >= 0 on the line, narrowing [lo, hi].
void keepWhere(double a, double b, double& lo, double& hi) {
    if (a > 0) {
        lo = std::max(lo, -b / a);
    } else if (a < 0) {
        hi = std::min(hi, -b / a);
    } else if (b < 0) {
        hi = lo;
    }
}

// On the line x = c, the y where cross(d, (x, y) - o) >= 0.
void keepLeftOf(Point o, Point d, double c, double& lo, double& hi) {
    // cross(d, v) = d.x * (y - o.y) - d.y * (c - o.x)
    keepWhere(d.x, -d.x * o.y - d.y * (c - o.x), lo, hi);
}

double cross(Point a, Point b) {
    return a.x * b.y - a.y * b.x;
}
Point minus(Point a, Point b) {
    return {a.x - b.x, a.y - b.y};
}

Point direction(double degrees) {
    const double a = degrees * std::numbers::pi / 180;
    return {std::sin(a), -std::cos(a)};
}

// What `camera` sees at `reach` on the line x = c.
Stretches seenOnLine(const Camera& camera, double reach, const std::vector<Segment>& walls,
                     double c) {
    const Point p = camera.at;
    const double dx = c - p.x;
    if (std::fabs(dx) >= reach) {
        return {};
    }
    const double h = std::sqrt(reach * reach - dx * dx);
    double lo = p.y - h;
    double hi = p.y + h;
    // Turning from the left edge of the view to the right edge is clockwise on the plan, which
    // with y down is a positive cross product.
    keepLeftOf(p, direction(camera.heading - camera.hfov / 2), c, lo, hi);
    Point right = direction(camera.heading + camera.hfov / 2);
    right = {-right.x, -right.y};
    keepLeftOf(p, right, c, lo, hi);
    if (hi <= lo) {
        return {};
    }
    Stretches seen{{lo, hi}};
    for (const Segment& w : walls) {
        Point a = w.a;
        Point b = w.b;
        const Point pa = minus(a, p);
        const Point pb = minus(b, p);
        if (cross(pa, pb) < 0) {
            std::swap(a, b);
        }
        // The shadow: between the rays through a and b, beyond the line through them.
        double slo = -kInf;
        double shi = kInf;
        keepLeftOf(p, minus(a, p), c, slo, shi);
        keepLeftOf(p, minus(p, b), c, slo, shi);
        keepLeftOf(b, minus(a, b), c, slo, shi);
        if (slo < shi) {
            seen = remove(seen, slo, shi);
        }
    }
    return seen;
}

// Where a simple polygon meets the line x = c.
Stretches zoneOnLine(const Ring& zone, double c) {
    std::vector<double> ys;
    for (std::size_t i = 0; i < zone.size(); ++i) {
        const Point a = zone[i];
        const Point b = zone[(i + 1) % zone.size()];
        if ((a.x <= c) != (b.x <= c)) {
            ys.push_back(a.y + (b.y - a.y) * (c - a.x) / (b.x - a.x));
        }
    }
    std::sort(ys.begin(), ys.end());
    Stretches s;
    for (std::size_t i = 0; i + 1 < ys.size(); i += 2) {
        s.emplace_back(ys[i], ys[i + 1]);
    }
    return s;
}

// The area of `zone` that at least one of `cameras` sees at `level`, slice by slice. Where an
// edge of the shapes is nearly vertical the seen length jumps across one slice; so the slices
// are laid out between the x of every corner (of the zone, of each view's sector and of each
// wall's shadow), at least four between two such x, and elsewhere the seen length only bends.
double slowCoveredArea(const Ring& zone, const std::vector<Camera>& cameras, std::size_t level,
                       const std::vector<Segment>& walls, int slices) {
    const Box box = BoundsOf(zone);
    std::vector<double> xs{box.min.x, box.max.x};
    for (const Point& p : zone) {
        xs.push_back(p.x);
    }
    for (const Camera& c : cameras) {
        const double r = c.reach[level];
        const Point& p = c.at;
        for (const double x : {p.x, p.x - r, p.x + r}) {
            xs.push_back(x);
        }
        for (const double edge : {c.heading - c.hfov / 2, c.heading + c.hfov / 2}) {
            xs.push_back(p.x + r * direction(edge).x);
        }
        for (const Segment& w : walls) {
            for (const Point& end : {w.a, w.b}) {
                const Point v = minus(end, p);
                xs.push_back(end.x);
                xs.push_back(p.x + r * v.x / std::hypot(v.x, v.y));
            }
        }
    }
    std::erase_if(xs, [&](double x) { return x < box.min.x || x > box.max.x; });
    std::sort(xs.begin(), xs.end());
    double area = 0;
    for (std::size_t k = 0; k + 1 < xs.size(); ++k) {
        const double span = xs[k + 1] - xs[k];
        const int n = std::max(4, static_cast<int>(slices * span / (box.max.x - box.min.x)));
        const double width = span / n;
        for (int i = 0; i < n; ++i) {
            const double c = xs[k] + (i + 0.5) * width;
            Stretches seen;
            for (const Camera& camera : cameras) {
                for (const auto& s : seenOnLine(camera, camera.reach[level], walls, c)) {
                    seen.push_back(s);
                }
            }
            area += length(intersect(unite(seen), zoneOnLine(zone, c))) * width;
        }
    }
    return area;
}

void expectWithinTolerance(double computed, double slow, const std::string& what) {
    EXPECT_NEAR(computed, slow, std::max(1e-4 * slow, 1e-3)) << what;
}

bool isSimplePolygon(const Ring& ring) {
    namespace bg = boost::geometry;
    bg::model::polygon<bg::model::d2::point_xy<double>, false, true> polygon;
    for (const Point& p : ring) {
        polygon.outer().emplace_back(p.x, p.y);
    }
    polygon.outer().emplace_back(ring.front().x, ring.front().y);
    return bg::is_valid(polygon);
}

TEST(SiteAccuracy, random_sites_agree_with_a_slow_computation_of_every_area) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        const RandomSite site = randomSite(seed);
        SiteFigures figures;
        figures.setWalls(site.walls);
        figures.setZones(site.zones);
        figures.setCameras(site.cameras);
        const Walls walls(site.walls);
        for (std::size_t i = 0; i < site.cameras.size(); ++i) {
            const Camera& c = site.cameras[i];
            const Sight& sight = figures.sights()[i];
            const double r = c.reach[0];
            const Ring around{{c.at.x - r, c.at.y - r},
                              {c.at.x + r, c.at.y - r},
                              {c.at.x + r, c.at.y + r},
                              {c.at.x - r, c.at.y + r}};
            for (std::size_t level = 0; level < kViewLevelCount; ++level) {
                const std::string what = "seed " + std::to_string(seed) + " camera " +
                                         std::to_string(i) + " level " + std::to_string(level);
                const double slow = slowCoveredArea(around, {c}, level, walls.segments(), 40000);
                expectWithinTolerance(sight.area[level], slow, what);
                EXPECT_TRUE(isSimplePolygon(sight.regions[level])) << what;
            }
        }
        for (std::size_t j = 0; j < site.zones.size(); ++j) {
            const Zone& zone = site.zones[j];
            const ZoneCoverage& z = figures.zones()[j];
            const std::string what = "seed " + std::to_string(seed) + " zone " + std::to_string(j);
            ASSERT_TRUE(z.valid) << what;
            const double slow =
                slowCoveredArea(zone.points, site.cameras, zone.level, walls.segments(), 40000);
            expectWithinTolerance(z.covered, slow, what);
        }
    }
}

} // namespace
} // namespace lenstally::site
