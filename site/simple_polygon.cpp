// SPDX-License-Identifier: MIT
#include "site/simple_polygon.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <set>

// The exact products below rely on each rounding being the one written: a fused multiply-add
// would round differently.
#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#endif

namespace lenstally::site {
namespace {

// A sum of two doubles held exactly: hi is the rounded sum, lo what rounding left out.
struct Exact {
    double hi;
    double lo;
};

Exact twoSum(double a, double b) {
    const double sum = a + b;
    const double bPart = sum - a;
    const double aPart = sum - bPart;
    const double bError = b - bPart;
    const double aError = a - aPart;
    return {sum, aError + bError};
}

// a as two halves of 26 bits each, whose products with another such half are exact.
Exact splitHalves(double a) {
    constexpr double kSplitter = 134217729.0; // 2^27 + 1
    const double c = kSplitter * a;
    const double big = c - a;
    const double hi = c - big;
    return {hi, a - hi};
}

// a * b exactly, without a fused multiply-add: the product and its rounding error.
Exact twoProduct(double a, double b) {
    const double product = a * b;
    const Exact as = splitHalves(a);
    const Exact bs = splitHalves(b);
    const double hiHi = as.hi * bs.hi;
    const double loHi = as.lo * bs.hi;
    const double hiLo = as.hi * bs.lo;
    const double loLo = as.lo * bs.lo;
    const double error1 = product - hiHi;
    const double error2 = error1 - loHi;
    const double error3 = error2 - hiLo;
    return {product, loLo - error3};
}

int signOf(double v) {
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

// The exact sign of ax*by - ax*cy + bx*cy - bx*ay + cx*ay - cx*by, the determinant written as
// products of the coordinates themselves (its ax*ay terms cancel), each product exact as two
// doubles and their sum kept exact as an expansion: doubles that do not overlap, smallest first,
// so the sign of the sum is the sign of its last part that is not 0.
int exactOrientation(Point a, Point b, Point c) {
    const std::array<Exact, 6> products{twoProduct(a.x, b.y), twoProduct(-a.x, c.y),
                                        twoProduct(b.x, c.y), twoProduct(-b.x, a.y),
                                        twoProduct(c.x, a.y), twoProduct(-c.x, b.y)};
    std::array<double, 13> expansion{};
    std::size_t length = 0;
    auto grow = [&expansion, &length](double part) {
        double q = part;
        for (std::size_t i = 0; i < length; ++i) {
            const Exact s = twoSum(q, expansion[i]);
            expansion[i] = s.lo;
            q = s.hi;
        }
        expansion[length++] = q;
    };
    for (const Exact& p : products) {
        grow(p.lo);
        grow(p.hi);
    }
    for (std::size_t i = length; i > 0; --i) {
        if (expansion[i - 1] != 0) {
            return signOf(expansion[i - 1]);
        }
    }
    return 0;
}

bool lexicallyBefore(Point a, Point b) {
    return a.x < b.x || (a.x == b.x && a.y < b.y);
}

// Whether p, on the line through a and b, lies on the segment between them, ends included.
bool withinSegment(Point a, Point b, Point p) {
    return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
           p.y <= std::max(a.y, b.y);
}

// Whether the closed segments ab and cd have a point in common.
bool segmentsMeet(Point a, Point b, Point c, Point d) {
    const int abc = Orientation(a, b, c);
    const int abd = Orientation(a, b, d);
    const int cda = Orientation(c, d, a);
    const int cdb = Orientation(c, d, b);
    if (abc * abd < 0 && cda * cdb < 0) {
        return true;
    }
    return (abc == 0 && withinSegment(a, b, c)) || (abd == 0 && withinSegment(a, b, d)) ||
           (cda == 0 && withinSegment(c, d, a)) || (cdb == 0 && withinSegment(c, d, b));
}

// An edge of the polygon with its ends in sweep order.
struct Edge {
    Point left;  // the end the sweep meets first: the smaller x, then the smaller y
    Point right; // the other end
};

// The sweep across the plan (Shamos and Hoey): a line moving right meets the edges' ends in
// order; the edges it crosses are kept in their order along it, and only edges that become
// neighbours in that order are tested against each other. Before the first place where two
// edges meet wrongly, the order is the true one, and two of the edges meeting there are
// neighbours when the line reaches it; so the first such place is found, if there is one.
// Corners are distinct and an edge meets the next only at their corner (both checked before),
// so any other point two edges share is a wrong meeting.
class Sweep {
public:
    explicit Sweep(std::span<const Point> corners) : m_count(corners.size()) {
        m_edges.reserve(m_count);
        for (std::size_t i = 0; i < m_count; ++i) {
            const Point a = corners[i];
            const Point b = corners[(i + 1) % m_count];
            m_edges.push_back(lexicallyBefore(a, b) ? Edge{a, b} : Edge{b, a});
        }
    }

    // True when no two edges but neighbours along the polygon meet.
    bool run() {
        struct Event {
            std::size_t edge;
            bool leaves; // the right end: the edge leaves the line
        };
        std::vector<Event> events;
        events.reserve(2 * m_count);
        for (std::size_t i = 0; i < m_count; ++i) {
            events.push_back({i, false});
            events.push_back({i, true});
        }
        auto at = [this](const Event& e) {
            return e.leaves ? m_edges[e.edge].right : m_edges[e.edge].left;
        };
        // At one point, the edges ending there leave before those starting there arrive.
        std::sort(events.begin(), events.end(), [&at](const Event& a, const Event& b) {
            const Point pa = at(a);
            const Point pb = at(b);
            if (pa != pb) {
                return lexicallyBefore(pa, pb);
            }
            if (a.leaves != b.leaves) {
                return a.leaves;
            }
            return a.edge < b.edge;
        });
        Order order(Below{this});
        std::vector<Order::iterator> where(m_count);
        for (const Event& e : events) {
            if (e.leaves) {
                const auto it = where[e.edge];
                if (it != order.begin() && std::next(it) != order.end() &&
                    meetWrongly(*std::prev(it), *std::next(it))) {
                    return false;
                }
                order.erase(it);
                continue;
            }
            const auto [it, inserted] = order.insert(e.edge);
            if (!inserted) {
                return false; // two edges lie along each other from one point
            }
            where[e.edge] = it;
            if ((it != order.begin() && meetWrongly(*std::prev(it), e.edge)) ||
                (std::next(it) != order.end() && meetWrongly(e.edge, *std::next(it)))) {
                return false;
            }
        }
        return true;
    }

private:
    // Orders the edges the line crosses from bottom to top, one of them having just arrived.
    struct Below {
        const Sweep* sweep;
        bool operator()(std::size_t a, std::size_t b) const { return sweep->below(a, b); }
    };
    using Order = std::set<std::size_t, Below>;

    bool below(std::size_t a, std::size_t b) const {
        const Edge& ea = m_edges[a];
        const Edge& eb = m_edges[b];
        if (ea.left == eb.left) {
            // Neighbours starting at their corner: by where each goes.
            return Orientation(ea.left, ea.right, eb.right) > 0;
        }
        if (lexicallyBefore(eb.left, ea.left)) {
            return !below(b, a);
        }
        // b arrived later, where a already runs: which side of a it starts on. Starting on a, it
        // touches a, and lands beside a or beside another edge through that point, whichever
        // side its other end takes it to; the test of new neighbours finds the touch.
        const int side = Orientation(ea.left, ea.right, eb.left);
        return side != 0 ? side > 0 : Orientation(ea.left, ea.right, eb.right) > 0;
    }

    bool meetWrongly(std::size_t a, std::size_t b) const {
        if ((a + 1) % m_count == b || (b + 1) % m_count == a) {
            return false; // neighbours along the polygon, checked before
        }
        const Edge& ea = m_edges[a];
        const Edge& eb = m_edges[b];
        return segmentsMeet(ea.left, ea.right, eb.left, eb.right);
    }

    std::size_t m_count;
    std::vector<Edge> m_edges;
};

} // namespace

int Orientation(Point a, Point b, Point c) {
    // The determinant in doubles, with a bound on its rounding error; only when it is too close
    // to 0 is it worked out exactly.
    constexpr double kEpsilon = 0x1p-53;
    constexpr double kErrorBound = (3.0 + 16.0 * kEpsilon) * kEpsilon;
    const double left = (a.x - c.x) * (b.y - c.y);
    const double right = (a.y - c.y) * (b.x - c.x);
    const double determinant = left - right;
    double magnitude = 0;
    if (left > 0) {
        if (right <= 0) {
            return signOf(determinant);
        }
        magnitude = left + right;
    } else if (left < 0) {
        if (right >= 0) {
            return signOf(determinant);
        }
        magnitude = -left - right;
    } else {
        return signOf(determinant);
    }
    if (std::fabs(determinant) >= kErrorBound * magnitude) {
        return signOf(determinant);
    }
    return exactOrientation(a, b, c);
}

std::vector<Point> PolygonCorners(std::span<const Point> points) {
    std::vector<Point> corners;
    corners.reserve(points.size());
    for (const Point& p : points) {
        if (corners.empty() || corners.back() != p) {
            corners.push_back(p);
        }
    }
    while (corners.size() > 1 && corners.back() == corners.front()) {
        corners.pop_back();
    }
    return corners;
}

bool IsSimplePolygon(std::span<const Point> points) {
    const std::vector<Point> corners = PolygonCorners(points);
    const std::size_t n = corners.size();
    if (n < 3) {
        return false;
    }
    // A corner met twice: the outline touches itself there.
    std::vector<Point> sorted = corners;
    std::sort(sorted.begin(), sorted.end(), lexicallyBefore);
    if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) {
        return false;
    }
    // An edge running back along the one before it: the corner between them is a spike.
    for (std::size_t i = 0; i < n; ++i) {
        const Point before = corners[(i + n - 1) % n];
        const Point corner = corners[i];
        const Point after = corners[(i + 1) % n];
        if (Orientation(before, corner, after) == 0 &&
            (withinSegment(before, corner, after) || withinSegment(corner, after, before))) {
            return false;
        }
    }
    return Sweep(corners).run();
}

} // namespace lenstally::site
