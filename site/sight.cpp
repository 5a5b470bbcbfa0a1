// SPDX-License-Identifier: MIT
#include "site/sight.hpp"

#include "estimation/portable_math.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace lenstally::site {
namespace {

constexpr double kPi = std::numbers::pi;
// A wall passing closer than this to the camera (metres) counts as passing through it.
constexpr double kThrough = 1e-6;
// Angles closer than this (radians) are one angle: no piece of a view is narrower.
constexpr double kSameAngle = 1e-12;
// Points of a ring closer than this (metres) are one point.
constexpr double kSamePoint = 1e-9;
// How far an arc's chords stray from the arc at most (metres), and the widest chord (radians):
// fine enough that a zone's covered area, computed from the rings, stays within 0.01 % or
// 0.001 m^2 of the true area.
constexpr double kArcDeviation = 0.5e-3;
constexpr double kWidestChord = kPi / 180;
// No single arc is cut into more chords than this, whatever its reach.
constexpr double kMostChords = 4096;
constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

// A vector in the camera's own frame: u along its heading, w to its right. The frame turns the
// plan without mirroring it, so a ring's winding is the same in both.
struct Vec {
    double u = 0;
    double w = 0;
};

Vec operator-(Vec a, Vec b) {
    return {a.u - b.u, a.w - b.w};
}
Vec operator+(Vec a, Vec b) {
    return {a.u + b.u, a.w + b.w};
}
Vec operator*(Vec a, double s) {
    return {a.u * s, a.w * s};
}
double cross(Vec a, Vec b) {
    return a.u * b.w - a.w * b.u;
}
double dot(Vec a, Vec b) {
    return a.u * b.u + a.w * b.w;
}
double length(Vec a) {
    return std::sqrt(dot(a, a));
}
Vec direction(double angle) {
    return {math::Cos(angle), math::Sin(angle)};
}
double angleOf(Vec a) {
    return math::Atan2(a.w, a.u);
}

struct Frame {
    Point at;
    Point forward;
    Point right;

    Vec local(Point p) const {
        const double dx = p.x - at.x;
        const double dy = p.y - at.y;
        return {dx * forward.x + dy * forward.y, dx * right.x + dy * right.y};
    }
    Point plan(Vec v) const {
        return {at.x + v.u * forward.x + v.w * right.x, at.y + v.u * forward.y + v.w * right.y};
    }
};

// A wall segment in front of the camera (u >= 0), and the angles it spans inside the view.
struct Blocker {
    Vec a;
    Vec b;
    double lo = 0;
    double hi = 0;
    std::size_t number = 0;
};

// An angular piece of the view in which one blocker (or none) is the nearest along every ray.
struct Piece {
    double from = 0;
    double to = 0;
    std::size_t blocker = kNone;
};

// The distance along the ray at `angle` to the line through the blocker.
double distanceAlong(const Blocker& b, double angle) {
    const Vec e = b.b - b.a;
    return cross(b.a, e) / cross(direction(angle), e);
}

// The part of a segment with u >= 0; false when none of it is.
bool clipForward(Vec& a, Vec& b) {
    if (a.u < 0 && b.u < 0) {
        return false;
    }
    if (a.u < 0) {
        a = {0, a.w + (b.w - a.w) * (a.u / (a.u - b.u))};
    } else if (b.u < 0) {
        b = {0, b.w + (a.w - b.w) * (b.u / (b.u - a.u))};
    }
    return true;
}

double distanceFromOrigin(Vec a, Vec b) {
    const Vec e = b - a;
    const double s = std::clamp(-dot(a, e) / dot(e, e), 0.0, 1.0);
    return length(a + e * s);
}

// The angle at which two blockers cross inside both, if they do.
bool crossingAngle(const Blocker& p, const Blocker& q, double& angle) {
    const Vec e = p.b - p.a;
    const Vec f = q.b - q.a;
    const double den = cross(e, f);
    if (den == 0) {
        return false;
    }
    const double s = cross(q.a - p.a, f) / den;
    const double t = cross(q.a - p.a, e) / den;
    if (!(s > 0 && s < 1 && t > 0 && t < 1)) {
        return false;
    }
    angle = angleOf(p.a + e * s);
    return angle > std::max(p.lo, q.lo) && angle < std::min(p.hi, q.hi);
}

// The walls in the view within `reach`, as blockers sorted by their first angle.
std::vector<Blocker> blockersOf(const Frame& frame, double half, double reach, const Walls& walls) {
    const Box box{{frame.at.x - reach, frame.at.y - reach},
                  {frame.at.x + reach, frame.at.y + reach}};
    std::vector<Blocker> blockers;
    for (const std::size_t n : walls.near(box)) {
        const Segment& s = walls.segments()[n];
        Vec a = frame.local(s.a);
        Vec b = frame.local(s.b);
        const double gap = distanceFromOrigin(a, b);
        if (gap <= kThrough || gap > reach || !clipForward(a, b)) {
            continue;
        }
        double lo = angleOf(a);
        double hi = angleOf(b);
        if (lo > hi) {
            std::swap(lo, hi);
        }
        lo = std::max(lo, -half);
        hi = std::min(hi, half);
        if (hi - lo > kSameAngle) {
            blockers.push_back({a, b, lo, hi, n});
        }
    }
    std::sort(blockers.begin(), blockers.end(), [](const Blocker& p, const Blocker& q) {
        return p.lo != q.lo ? p.lo < q.lo : p.number < q.number;
    });
    return blockers;
}

// Every angle at which the nearest wall may change: the view's edges, the ends of each blocker,
// and where two blockers cross; sorted, with angles closer than kSameAngle made one.
std::vector<double> turningAngles(const std::vector<Blocker>& blockers, double half) {
    std::vector<double> angles{-half, half};
    for (std::size_t i = 0; i < blockers.size(); ++i) {
        angles.push_back(blockers[i].lo);
        angles.push_back(blockers[i].hi);
        for (std::size_t j = i + 1; j < blockers.size() && blockers[j].lo < blockers[i].hi; ++j) {
            double angle = 0;
            if (crossingAngle(blockers[i], blockers[j], angle)) {
                angles.push_back(angle);
            }
        }
    }
    std::sort(angles.begin(), angles.end());
    std::vector<double> kept;
    for (const double a : angles) {
        if (kept.empty() || a - kept.back() > kSameAngle) {
            kept.push_back(a);
        }
    }
    // The view's edges stay exact: the largest angle is `half`, and whatever was kept in its
    // place lies within kSameAngle of it.
    kept.back() = half;
    if (kept.size() < 2) {
        kept.push_back(half);
        kept.front() = -half;
    }
    return kept;
}

// The view cut into pieces, each with its nearest blocker, found at the piece's middle among the
// blockers spanning it; neighbours with the same nearest blocker are one piece.
std::vector<Piece> piecesOf(const std::vector<Blocker>& blockers, double half) {
    const std::vector<double> angles = turningAngles(blockers, half);
    std::vector<Piece> pieces;
    std::vector<std::size_t> active;
    std::size_t next = 0;
    for (std::size_t k = 0; k + 1 < angles.size(); ++k) {
        const double middle = (angles[k] + angles[k + 1]) / 2;
        while (next < blockers.size() && blockers[next].lo < middle) {
            active.push_back(next++);
        }
        std::erase_if(active, [&](std::size_t i) { return blockers[i].hi <= middle; });
        std::size_t nearest = kNone;
        double best = std::numeric_limits<double>::infinity();
        for (const std::size_t i : active) {
            // The nearest; of two at the same distance, the one numbered first.
            const double d = distanceAlong(blockers[i], middle);
            const bool nearer = d > 0 && d < best;
            const bool tie =
                d == best && nearest != kNone && blockers[i].number < blockers[nearest].number;
            if (nearer || tie) {
                best = d;
                nearest = i;
            }
        }
        if (!pieces.empty() && pieces.back().blocker == nearest) {
            pieces.back().to = angles[k + 1];
        } else {
            pieces.push_back({angles[k], angles[k + 1], nearest});
        }
    }
    return pieces;
}

// Builds one level's ring in plan coordinates, and its exact area, piece by piece.
class RingBuilder {
public:
    RingBuilder(const Frame& frame, double reach) : m_frame(frame), m_reach(reach) { add({0, 0}); }

    // The circle's arc from one angle to the next.
    void arc(double from, double to) {
        const double span = to - from;
        m_area += 0.5 * m_reach * m_reach * span;
        double chords = 1;
        if (span * m_reach > kSamePoint) {
            const double widest = std::min(kWidestChord, std::sqrt(12 * kArcDeviation / m_reach));
            chords = std::clamp(std::ceil(span / widest), 2.0, kMostChords);
        }
        // The inner points lie at `outer` rather than the reach, chosen so that the chords close
        // exactly the arc's area: (chords - 2) * s * R^2 + 2 * r * s * R = r^2 * chords * step,
        // with s = sin(step).
        const double step = span / chords;
        const double s = math::Sin(step);
        const double outer =
            m_reach * chords * step / (s + std::sqrt(s * s + (chords - 2) * chords * step * s));
        add(direction(from) * m_reach);
        const auto count = static_cast<int>(chords);
        for (int i = 1; i < count; ++i) {
            add(direction(from + span * i / chords) * outer);
        }
        add(direction(to) * m_reach);
    }

    // The blocker's line from one angle to the next (each end no farther than the reach).
    void wall(const Blocker& b, double from, double to) {
        const Vec p = direction(from) * along(b, from);
        const Vec q = direction(to) * along(b, to);
        m_area += 0.5 * cross(p, q);
        add(p);
        add(q);
    }

    // A piece whose nearest wall is `b`: the wall where it lies within the reach, the arc
    // elsewhere. The line's distance along the rays is least at its foot, so the angles where it
    // lies within the reach are one stretch, either side of the foot.
    void blocked(const Blocker& b, double from, double to) {
        if (distanceAlong(b, from) <= m_reach && distanceAlong(b, to) <= m_reach) {
            wall(b, from, to);
            return;
        }
        const Vec e = b.b - b.a;
        const Vec foot = b.a - e * (dot(b.a, e) / dot(e, e));
        const double gap = length(foot);
        if (gap >= m_reach) {
            arc(from, to);
            return;
        }
        // The foot's angle, taken within a half turn of the piece (Atan2 may give it a full turn
        // away next to the back of the camera).
        const double middle = (from + to) / 2;
        double footAngle = angleOf(foot);
        if (footAngle - middle > kPi) {
            footAngle -= 2 * kPi;
        } else if (middle - footAngle > kPi) {
            footAngle += 2 * kPi;
        }
        const double halfChord = math::Atan2(std::sqrt((m_reach - gap) * (m_reach + gap)), gap);
        const double near0 = std::max(from, footAngle - halfChord);
        const double near1 = std::min(to, footAngle + halfChord);
        if (near1 - near0 <= kSameAngle) {
            arc(from, to);
            return;
        }
        if (near0 > from) {
            arc(from, near0);
        }
        wall(b, near0, near1);
        if (near1 < to) {
            arc(near1, to);
        }
    }

    Ring take() { return std::move(m_ring); }
    double area() const { return m_area; }

private:
    // The distance to the blocker's line along a ray that meets it within the reach. Every point
    // of a blocker lies at least kThrough from the camera, which bounds what rounding gives near
    // a blocker seen almost end on.
    double along(const Blocker& b, double angle) const {
        const double d = distanceAlong(b, angle);
        if (!(d < m_reach)) {
            return m_reach;
        }
        return std::max(d, kThrough);
    }

    void add(Vec v) {
        if (!m_ring.empty() && length(v - m_last) <= kSamePoint) {
            return;
        }
        m_last = v;
        m_ring.push_back(m_frame.plan(v));
    }

    Frame m_frame;
    double m_reach;
    Ring m_ring;
    Vec m_last;
    double m_area = 0;
};

bool usableReach(double reach) {
    return reach > 0 && std::isfinite(reach);
}

} // namespace

Sight SightOf(const Camera& camera, const Walls& walls) {
    Sight sight;
    if (!(camera.hfov > 0 && camera.hfov < 180) || !std::isfinite(camera.heading) ||
        !std::isfinite(camera.at.x) || !std::isfinite(camera.at.y)) {
        return sight;
    }
    double farthest = 0;
    for (const double r : camera.reach) {
        if (usableReach(r)) {
            farthest = std::max(farthest, r);
        }
    }
    if (farthest == 0) {
        return sight;
    }
    const double half = camera.hfov * kPi / 360;
    const Frame frame{camera.at,
                      {math::SinDegrees(camera.heading), -math::CosDegrees(camera.heading)},
                      {math::CosDegrees(camera.heading), math::SinDegrees(camera.heading)}};
    const std::vector<Blocker> blockers = blockersOf(frame, half, farthest, walls);
    const std::vector<Piece> pieces = piecesOf(blockers, half);
    for (std::size_t level = 0; level < kViewLevelCount; ++level) {
        const double reach = camera.reach[level];
        if (!usableReach(reach)) {
            continue;
        }
        RingBuilder ring(frame, reach);
        for (const Piece& piece : pieces) {
            if (piece.blocker == kNone) {
                ring.arc(piece.from, piece.to);
            } else {
                ring.blocked(blockers[piece.blocker], piece.from, piece.to);
            }
        }
        sight.area[level] = ring.area();
        sight.regions[level] = ring.take();
        sight.bounds[level] = BoundsOf(sight.regions[level]);
    }
    return sight;
}

} // namespace lenstally::site
