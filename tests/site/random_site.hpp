// SPDX-License-Identifier: MIT
#pragma once
// Random sites for the tests: seeded, so each seed is the same site on every run.

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "site/zone_coverage.hpp"

namespace lenstally::site::testing_support {

// A site of random walls (some crossing, one a polyline), random cameras and random zones
// (polygons star-shaped around a centre) on a plan of 40 m by 30 m.
struct RandomSite {
    std::vector<Polyline> walls;
    std::vector<Camera> cameras;
    std::vector<Zone> zones;
};

inline double uniform(std::mt19937_64& random, double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(random);
}

// A camera anywhere on the plan, looking anywhere, each level reaching as far as its pixels per
// metre allow.
inline Camera randomCamera(std::mt19937_64& random) {
    Camera c{{uniform(random, 0, 40), uniform(random, 0, 30)},
             uniform(random, 0, 360),
             uniform(random, 20, 160),
             {}};
    const double monitor = uniform(random, 8, 30);
    for (std::size_t level = 0; level < kViewLevelCount; ++level) {
        c.reach[level] = monitor * kViewLevels[0].ppm / kViewLevels[level].ppm;
    }
    return c;
}

inline RandomSite randomSite(unsigned seed) {
    std::mt19937_64 random(seed);
    auto uniform = [&](double lo, double hi) {
        return testing_support::uniform(random, lo, hi);
    };
    RandomSite site;
    for (int i = 0; i < 6; ++i) {
        site.walls.push_back({{uniform(0, 40), uniform(0, 30)}, {uniform(0, 40), uniform(0, 30)}});
    }
    site.walls.push_back({{uniform(0, 40), uniform(0, 30)},
                          {uniform(0, 40), uniform(0, 30)},
                          {uniform(0, 40), uniform(0, 30)}});
    for (int i = 0; i < 4; ++i) {
        site.cameras.push_back(randomCamera(random));
    }
    for (int i = 0; i < 3; ++i) {
        const Point centre{uniform(5, 35), uniform(5, 25)};
        Ring ring;
        // Each corner in its own share of the turn, so that no gap reaches half a turn: the
        // centre sees every edge and the polygon is simple.
        const int corners = 4 + static_cast<int>(random() % 5);
        std::vector<double> angles;
        for (int k = 0; k < corners; ++k) {
            angles.push_back(2 * std::numbers::pi * (k + uniform(0.2, 0.8)) / corners);
        }
        for (const double a : angles) {
            const double r = uniform(2, 9);
            ring.push_back({centre.x + r * std::cos(a), centre.y + r * std::sin(a)});
        }
        site.zones.push_back({ring, static_cast<std::size_t>(random() % 3), 90});
    }
    return site;
}

} // namespace lenstally::site::testing_support
