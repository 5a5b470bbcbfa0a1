// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <random>

#include "site/simple_polygon.hpp"
#include "tests/case_name.hpp"

namespace lenstally::site {
namespace {

// A point 2^-53 to the right of 0.5 lies just off the line through (12, 12) and (24, 24), to its
// right; the determinant in doubles loses that and reads 0, whichever point it is taken from.
TEST(Orientation, is_exact_where_the_determinant_in_doubles_is_zero) {
    const Point p{0.5 + 0x1p-53, 0.5};
    const Point q{12, 12};
    const Point r{24, 24};
    EXPECT_EQ(Orientation(p, q, r), -1);
    EXPECT_EQ(Orientation(q, r, p), -1);
    EXPECT_EQ(Orientation(r, p, q), -1);
    EXPECT_EQ(Orientation(q, p, r), 1);
    EXPECT_EQ(Orientation({0.5, 0.5}, q, r), 0);
    EXPECT_EQ(Orientation({0, 0}, {1, 0}, {0, 1}), 1);
}

struct PolygonCase {
    const char* name;
    std::vector<Point> points;
    bool simple;
    friend void PrintTo(const PolygonCase& c, std::ostream* os) { *os << c.name; }
};

class SimplePolygon : public testing::TestWithParam<PolygonCase> {};

TEST_P(SimplePolygon, follows_the_rules_of_a_zone) {
    EXPECT_EQ(IsSimplePolygon(GetParam().points), GetParam().simple);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SimplePolygon,
    testing::Values(
        PolygonCase{"square", {{0, 0}, {4, 0}, {4, 4}, {0, 4}}, true},
        PolygonCase{"bow_tie", {{0, 0}, {4, 4}, {4, 0}, {0, 4}}, false},
        PolygonCase{"concave", {{0, 0}, {4, 0}, {4, 4}, {2, 1}, {0, 4}}, true},
        PolygonCase{"point_repeated_at_once", {{0, 0}, {4, 0}, {4, 0}, {4, 4}, {0, 4}}, true},
        PolygonCase{"first_point_repeated_at_the_end", {{0, 0}, {4, 0}, {4, 4}, {0, 0}}, true},
        PolygonCase{"corner_on_a_straight_edge", {{0, 0}, {2, 0}, {4, 0}, {4, 4}}, true},
        PolygonCase{"corner_touching_an_edge", {{0, 0}, {4, 0}, {4, 4}, {2, 0}, {0, 4}}, false},
        PolygonCase{
            "corner_touching_a_corner", {{0, 0}, {4, 0}, {2, 2}, {4, 4}, {0, 4}, {2, 2}}, false},
        PolygonCase{"edge_running_back_along_the_last", {{0, 0}, {4, 0}, {2, 0}, {2, 4}}, false},
        PolygonCase{"edges_overlapping_along_a_line",
                    {{0, 0}, {4, 0}, {4, 2}, {1, 2}, {1, 0}, {3, 0}, {3, -2}, {0, -2}},
                    false},
        PolygonCase{"no_area", {{0, 0}, {1, 1}, {2, 2}}, false},
        PolygonCase{"two_corners", {{0, 0}, {4, 0}, {4, 0}, {0, 0}}, false},
        PolygonCase{
            "vertical_edge_crossed", {{0, 0}, {0, 4}, {2, 4}, {2, 2}, {-1, 2}, {-1, 0}}, false},
        PolygonCase{
            "corner_touching_a_vertical_edge", {{0, 0}, {0, 4}, {2, 4}, {0, 2}, {2, 0}}, false}),
    testing_support::CaseName{});

// What a simple polygon is, checked pair by pair: each edge meets the next only at their corner,
// and no other two edges meet. On a grid of small whole numbers the determinant in doubles is
// exact, so this answer is exact without the sweep's arithmetic.
bool simpleByEveryPair(const std::vector<Point>& points) {
    const std::vector<Point> c = PolygonCorners(points);
    const std::size_t n = c.size();
    if (n < 3) {
        return false;
    }
    auto turn = [](Point a, Point b, Point p) {
        const double d = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
        return (d > 0) - (d < 0);
    };
    auto within = [](Point a, Point b, Point p) {
        return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) &&
               std::min(a.y, b.y) <= p.y && p.y <= std::max(a.y, b.y);
    };
    auto on = [&](Point a, Point b, Point p) {
        return turn(a, b, p) == 0 && within(a, b, p);
    };
    for (std::size_t i = 0; i < n; ++i) {
        const Point a = c[i];
        const Point b = c[(i + 1) % n];
        for (std::size_t j = i + 1; j < n; ++j) {
            const Point p = c[j];
            const Point q = c[(j + 1) % n];
            if (j == i + 1) { // b == p: neither far end may lie on the other edge
                if (on(a, b, q) || on(p, q, a)) {
                    return false;
                }
            } else if ((j + 1) % n == i) { // q == a
                if (on(a, b, p) || on(p, q, b)) {
                    return false;
                }
            } else if ((turn(a, b, p) * turn(a, b, q) < 0 && turn(p, q, a) * turn(p, q, b) < 0) ||
                       on(a, b, p) || on(a, b, q) || on(p, q, a) || on(p, q, b)) {
                return false;
            }
        }
    }
    return true;
}

// Random polygons on small grids, where corners often repeat, touch edges and line up: the sweep
// must answer as the pair-by-pair check does for every one.
TEST(SimplePolygon, agrees_with_checking_every_pair_of_edges) {
    std::mt19937 random(20240611);
    int simple = 0;
    int refused = 0;
    for (int round = 0; round < 40'000; ++round) {
        const int grid = round % 2 == 0 ? 4 : 12;
        std::uniform_int_distribution<int> coordinate(0, grid);
        std::uniform_int_distribution<std::size_t> size(3, 10);
        std::vector<Point> points(size(random));
        for (Point& p : points) {
            p = {static_cast<double>(coordinate(random)), static_cast<double>(coordinate(random))};
        }
        if (round % 3 == 0) {
            // Round the centre by angle: mostly simple, and still full of points in line.
            const Point centre{grid / 2.0 + 0.25, grid / 2.0 + 0.125};
            std::sort(points.begin(), points.end(), [centre](Point a, Point b) {
                return std::atan2(a.y - centre.y, a.x - centre.x) <
                       std::atan2(b.y - centre.y, b.x - centre.x);
            });
        }
        const bool expected = simpleByEveryPair(points);
        ASSERT_EQ(IsSimplePolygon(points), expected) << "round " << round;
        (expected ? simple : refused) += 1;
    }
    EXPECT_GT(simple, 5'000);
    EXPECT_GT(refused, 5'000);
}

// A comb of 99,998 points whose 25,000 teeth all cross the sweep at once, and the same comb with
// one tooth deep inside bent onto the next: the sweep finds that one touch.
TEST(SimplePolygon, checks_a_comb_of_100000_points) {
    constexpr int kTeeth = 24'999;
    std::vector<Point> comb{{0, 0}};
    for (int i = 0; i < kTeeth; ++i) {
        const double y = 2.0 * i;
        comb.insert(comb.end(), {{100, y}, {100, y + 1}, {1, y + 1}, {1, y + 2}});
    }
    comb.push_back({0, 2.0 * kTeeth});
    ASSERT_EQ(comb.size(), 99'998U);
    EXPECT_TRUE(IsSimplePolygon(comb));
    std::vector<Point> bent = comb;
    Point& tip = bent[1 + 4 * 12'345 + 1]; // the upper corner of a tooth's tip
    tip = {50, tip.y + 1};                 // onto the middle of the next tooth's lower edge
    EXPECT_FALSE(IsSimplePolygon(bent));
}

} // namespace
} // namespace lenstally::site
