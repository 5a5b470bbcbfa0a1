// SPDX-License-Identifier: MIT
#include "project/site_drawing.hpp"

#include "estimation/numeric_text.hpp"
#include "estimation/portable_math.hpp"

#include <algorithm>
#include <cmath>

#include "project/site_lines.hpp"
#include "project/view_drawing.hpp"

namespace lenstally {
namespace {

constexpr std::uint32_t kMetFill = 0x3fae5a;
constexpr std::uint32_t kMetOutline = 0x1a7f37;
constexpr std::uint32_t kMissedFill = 0xe0533f;
constexpr std::uint32_t kMissedOutline = 0xb3261e;
constexpr std::uint32_t kGrid = 0xd8d8d8;
// The grid has at most this many spaces along the plan's longer side.
constexpr double kMostGridSpaces = 20;

// 10 to the power `exponent`, correctly rounded: the powers up to 10^22 are exact doubles, and one
// division by such a power rounds once.
double powerOfTen(int exponent) {
    double p = 1;
    for (int i = 0; i < std::abs(exponent); ++i) {
        p *= 10;
    }
    return exponent < 0 ? 1 / p : p;
}

// The smallest of 1, 2 and 5 times a power of ten that is at least `limit`.
double stepAtLeast(double limit) {
    const double step = RoundStep(limit);
    // The next step up from 1, 2 or 5 is 2, 5 or 10: the largest at most 2.5 times it.
    return step >= limit ? step : RoundStep(step * 2.5);
}

// Which side of the line x = at (or y = at) a point is on, for cutting a ring to the plan.
struct Edge {
    double at;
    bool vertical;  // the line x = at, else y = at
    bool keepBelow; // keep the points whose coordinate is at most `at`
};

bool inside(const site::Point& p, const Edge& e) {
    const double v = e.vertical ? p.x : p.y;
    return e.keepBelow ? v <= e.at : v >= e.at;
}

site::Point crossing(const site::Point& a, const site::Point& b, const Edge& e) {
    if (e.vertical) {
        const double t = (e.at - a.x) / (b.x - a.x);
        return {e.at, a.y + t * (b.y - a.y)};
    }
    const double t = (e.at - a.y) / (b.y - a.y);
    return {a.x + t * (b.x - a.x), e.at};
}

// The ring cut to the plan's rectangle, one side after the other. A ring that leaves the plan and
// comes back keeps a stretch along the edge between, which encloses nothing, so a fill is exact.
site::Ring cutToPlan(site::Ring ring, double width, double height) {
    const Edge edges[] = {
        {0, true, false}, {width, true, true}, {0, false, false}, {height, false, true}};
    for (const Edge& e : edges) {
        site::Ring cut;
        for (std::size_t i = 0; i < ring.size(); ++i) {
            const site::Point& a = ring[i == 0 ? ring.size() - 1 : i - 1];
            const site::Point& b = ring[i];
            if (inside(b, e)) {
                if (!inside(a, e)) {
                    cut.push_back(crossing(a, b, e));
                }
                cut.push_back(b);
            } else if (inside(a, e)) {
                cut.push_back(crossing(a, b, e));
            }
        }
        ring = std::move(cut);
    }
    return ring.size() < 3 ? site::Ring() : ring;
}

// A point inside the zone for its label: the middle of the widest stretch of the zone along the
// line across its centre of area (the centre itself may lie outside a concave zone).
site::Point labelPoint(const std::vector<site::Point>& points) {
    double area = 0;
    double cx = 0;
    double cy = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const site::Point& a = points[i];
        const site::Point& b = points[(i + 1) % points.size()];
        const double cross = a.x * b.y - b.x * a.y;
        area += cross;
        cx += (a.x + b.x) * cross;
        cy += (a.y + b.y) * cross;
    }
    if (area == 0) {
        return points.front();
    }
    cx /= 3 * area;
    cy /= 3 * area;
    std::vector<double> xs;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const site::Point& a = points[i];
        const site::Point& b = points[(i + 1) % points.size()];
        if ((a.y <= cy) != (b.y <= cy)) {
            xs.push_back(a.x + (cy - a.y) / (b.y - a.y) * (b.x - a.x));
        }
    }
    std::sort(xs.begin(), xs.end());
    site::Point best{cx, cy};
    double widest = -1;
    for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
        if (xs[i + 1] - xs[i] > widest) {
            widest = xs[i + 1] - xs[i];
            best = {(xs[i] + xs[i + 1]) / 2, cy};
        }
    }
    return best;
}

std::vector<site::Point> pointsOf(const std::vector<SitePoint>& points) {
    std::vector<site::Point> out;
    out.reserve(points.size());
    for (const SitePoint& p : points) {
        out.push_back({p.x, p.y});
    }
    return out;
}

std::string describe(const SiteResult& result) {
    std::string text = "Site plan of " + SiteSizeText(result.site) + " seen from above, " +
                       std::to_string(result.placements.size()) +
                       (result.placements.size() == 1 ? " camera" : " cameras") + " placed";
    if (result.zones.empty()) {
        return text + ", no zones.";
    }
    text += ". Zones:";
    const std::vector<ZoneLine> zones = ZoneLines(result);
    for (std::size_t i = 0; i < zones.size(); ++i) {
        const ZoneLine& z = zones[i];
        text += std::string(i == 0 ? " " : "; ") + z.name + ", " + z.level + ", " + z.covered +
                " covered of " + z.required + " required, " + z.met;
    }
    return text + ".";
}

} // namespace

double RoundStep(double limit) {
    int exponent = 0;
    while (powerOfTen(exponent + 1) <= limit) {
        ++exponent;
    }
    while (powerOfTen(exponent) > limit) {
        --exponent;
    }
    double best = powerOfTen(exponent);
    for (const double m : {2.0, 5.0}) {
        const double step = exponent < 0 ? m / powerOfTen(-exponent) : m * powerOfTen(exponent);
        if (step <= limit) {
            best = step;
        }
    }
    return best;
}

SiteDrawing::Camera CameraDrawingOf(const PlacementResult& p, const SiteSection& site) {
    SiteDrawing::Camera camera;
    camera.at = {p.placement.x, p.placement.y};
    camera.aim = {math::SinDegrees(p.placement.heading), -math::CosDegrees(p.placement.heading)};
    camera.label = p.label;
    for (std::size_t level = 0; level < kViewLevelCount; ++level) {
        const ViewLevel l = kViewLevels[level].level;
        camera.bands[level] = {l, cutToPlan(p.region[level], site.width, site.height),
                               LevelColour(l)};
    }
    return camera;
}

SiteDrawing DrawingOf(const SiteResult& result) {
    const SiteSection& site = result.site;
    SiteDrawing d;
    d.width = site.width;
    d.height = site.height;
    d.image = site.image;
    d.grid = site.image ? 0 : stepAtLeast(std::max(site.width, site.height) / kMostGridSpaces);
    for (const std::vector<SitePoint>& wall : site.walls) {
        d.walls.push_back(pointsOf(wall));
    }
    for (std::size_t i = 0; i < site.zones.size(); ++i) {
        const SiteZone& zone = site.zones[i];
        const ZoneResult& z = result.zones[i];
        SiteDrawing::Zone drawn;
        drawn.points = pointsOf(zone.points);
        drawn.met = z.met;
        drawn.fill = z.met ? kMetFill : kMissedFill;
        drawn.outline = z.met ? kMetOutline : kMissedOutline;
        drawn.label = zone.name + " " + CoverageText(z.percent);
        drawn.labelAt = labelPoint(drawn.points);
        d.zones.push_back(std::move(drawn));
    }
    for (const PlacementResult& p : result.placements) {
        d.cameras.push_back(CameraDrawingOf(p, site));
    }
    d.scaleLength = RoundStep(site.width / 5);
    d.scaleText = FormatNumber(d.scaleLength) + " m";
    d.zoneOpacity = 0.3;
    d.viewOpacity = kViewOpacity;
    for (const ViewLevelInfo& info : kViewLevels) {
        d.key.push_back({LevelColour(info.level),
                         std::string(info.name) + " (" + FormatNumber(info.ppm) + " px/m)",
                         d.viewOpacity});
    }
    d.key.push_back({kMetFill, "Zone met", d.zoneOpacity});
    d.key.push_back({kMissedFill, "Zone not met", d.zoneOpacity});
    d.ink = kPictureInk;
    d.gridColour = kGrid;
    d.description = describe(result);
    return d;
}

} // namespace lenstally
