// SPDX-License-Identifier: MIT
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

#include "site/sight.hpp"

namespace lenstally::site {
namespace {

constexpr double kPi = std::numbers::pi;

// Six distinct reaches, so that a level given another level's reach shows.
constexpr std::array<double, kViewLevelCount> kReach{40, 25, 14, 9, 5, 2};

Camera camera(Point at, double heading, double hfov) {
    return {at, heading, hfov, kReach};
}

double sector(double reach, double hfov) {
    return reach * reach * hfov * kPi / 360;
}

// The shoelace area of a ring: what the ring itself encloses.
double ringArea(const Ring& ring) {
    double twice = 0;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const Point& p = ring[i];
        const Point& q = ring[(i + 1) % ring.size()];
        twice += p.x * q.y - q.x * p.y;
    }
    return twice / 2;
}

// A point `distance` from `from` in the direction `degrees` clockwise from the top of the plan.
Point toward(Point from, double degrees, double distance) {
    const double a = degrees * kPi / 180;
    return {from.x + distance * std::sin(a), from.y - distance * std::cos(a)};
}

TEST(Sight, with_no_walls_each_level_sees_its_whole_sector_at_any_heading) {
    for (const double heading : {0.0, 90.0, 359.9, 217.5}) {
        const Sight s = SightOf(camera({3, -7}, heading, 70), Walls{});
        for (std::size_t level = 0; level < kViewLevelCount; ++level) {
            const double expected = sector(kReach[level], 70);
            EXPECT_NEAR(s.area[level], expected, expected * 1e-12) << heading << " " << level;
            // The ring encloses the same area, arcs included (counter-clockwise with y up).
            EXPECT_NEAR(ringArea(s.regions[level]), expected, expected * 1e-9) << heading;
        }
    }
}

TEST(Sight, heading_0_looks_towards_minus_y_and_90_towards_plus_x) {
    const Point at{10, 10};
    const Ring up = SightOf(camera(at, 0, 60), Walls{}).regions[0];
    const Ring right = SightOf(camera(at, 90, 60), Walls{}).regions[0];
    const Box upBox = BoundsOf(up);
    const Box rightBox = BoundsOf(right);
    EXPECT_NEAR(upBox.min.y, at.y - kReach[0], 0.01);
    EXPECT_NEAR(upBox.max.y, at.y, 1e-9);
    EXPECT_NEAR(rightBox.max.x, at.x + kReach[0], 0.01);
    EXPECT_NEAR(rightBox.min.x, at.x, 1e-9);
    // 30 degrees either side: the sector reaches reach * sin(30) = half the reach sideways.
    EXPECT_NEAR(upBox.max.x - at.x, kReach[0] / 2, 1e-9);
    EXPECT_NEAR(rightBox.max.y - at.y, kReach[0] / 2, 1e-9);
}

// A straight wall square to the heading at distance d, longer than the view is wide there.
// Levels reaching past the wall's ends in the view see the triangle d^2 * tan(H/2); levels
// short of the wall see their whole sector; those between see the triangle's middle and two
// arcs: d^2 * tan(b) + r^2 * (H/2 - b), with cos(b) = d / r.
TEST(Sight, a_wall_across_the_view_leaves_the_triangle_before_it) {
    const double d = 10;
    for (const double heading : {0.0, 33.0, 270.0}) {
        for (const double hfov : {40.0, 90.0, 150.0}) {
            const Point at{-4, 6};
            const Point foot = toward(at, heading, d);
            const double across = d * std::tan(hfov * kPi / 360) + 5;
            const Walls walls(
                {{toward(foot, heading - 90, across), toward(foot, heading + 90, across)}});
            const Sight s = SightOf(camera(at, heading, hfov), walls);
            const double half = hfov * kPi / 360;
            for (std::size_t level = 0; level < kViewLevelCount; ++level) {
                const double r = kReach[level];
                double expected = sector(r, hfov);
                if (r >= d / std::cos(half)) {
                    expected = d * d * std::tan(half);
                } else if (r > d) {
                    const double b = std::acos(d / r);
                    expected = d * d * std::tan(b) + r * r * (half - b);
                }
                EXPECT_NEAR(s.area[level], expected, expected * 1e-9)
                    << "heading " << heading << " lens " << hfov << " level " << level;
                EXPECT_NEAR(ringArea(s.regions[level]), expected, expected * 1e-9);
            }
        }
    }
}

TEST(Sight, a_wall_through_the_camera_blocks_nothing) {
    const Point at{5, 5};
    const Walls through({// across the view, through the camera
                         {toward(at, 60, -8), toward(at, 60, 8)},
                         // one ending at the camera, reaching into the view
                         {at, toward(at, 10, 30)},
                         // a corner at the camera
                         {toward(at, -20, 12), at, toward(at, 35, 12)}});
    const Sight s = SightOf(camera(at, 0, 90), through);
    for (std::size_t level = 0; level < kViewLevelCount; ++level) {
        EXPECT_NEAR(s.area[level], sector(kReach[level], 90), 1e-9) << level;
    }
}

// A wall behind another, and a wall crossing the view's edge: only the nearest wall along each
// ray counts, and what lies outside the view does not.
TEST(Sight, only_the_nearest_wall_along_each_ray_counts) {
    const Point at{0, 0};
    // Looking right (+x), 90 degrees: the view is |y| <= x.
    const Walls walls({{{6, -20}, {6, 20}}, // across the view at 6 m
                       {{3, -1}, {3, 1}},   // a short wall before it, 2 m wide
                       {{1, 50}, {1, 2}}}); // outside the view, to the right
    const Sight s = SightOf(camera(at, 90, 90), walls);
    // The view's triangle up to x = 6 (36 m^2), less what the short wall hides: the wedge
    // |y| <= x / 3 from x = 3 to x = 6, which is the wedge to 6 m (12 m^2) less the wedge to 3 m
    // (3 m^2).
    const double beforeWall = 6.0 * 6.0;
    const double hidden = 12.0 - 3.0;
    EXPECT_NEAR(s.area[0], beforeWall - hidden, 1e-9);
    EXPECT_NEAR(ringArea(s.regions[0]), beforeWall - hidden, 1e-9);
}

TEST(Sight, a_lens_or_reach_outside_its_range_sees_nothing) {
    for (const double hfov : {0.0, 180.0, -5.0, std::nan("")}) {
        const Sight s = SightOf(camera({0, 0}, 0, hfov), Walls{});
        EXPECT_EQ(s.area[0], 0) << hfov;
        EXPECT_TRUE(s.regions[0].empty()) << hfov;
        EXPECT_TRUE(s.bounds[0].empty()) << hfov;
    }
    Camera c = camera({0, 0}, 0, 90);
    c.reach[2] = 0;
    const Sight s = SightOf(c, Walls{});
    EXPECT_TRUE(s.regions[2].empty());
    EXPECT_EQ(s.area[2], 0);
    EXPECT_GT(s.area[3], 0);
}

} // namespace
} // namespace lenstally::site
