// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <random>
#include <stdexcept>

#include "site/site_figures.hpp"
#include "tests/site/random_site.hpp"

namespace lenstally::site {
namespace {

using testing_support::randomCamera;
using testing_support::randomSite;
using testing_support::RandomSite;

// Every figure of `edited` as a site built from scratch with the same walls, zones and cameras
// computes it, to the last bit.
void expectSameAsFromScratch(const SiteFigures& edited, const RandomSite& site,
                             const std::string& step) {
    SiteFigures fresh;
    fresh.setWalls(site.walls);
    fresh.setZones(site.zones);
    fresh.setCameras(edited.cameras());
    ASSERT_EQ(edited.sights().size(), fresh.sights().size()) << step;
    for (std::size_t i = 0; i < fresh.sights().size(); ++i) {
        EXPECT_EQ(edited.sights()[i].area, fresh.sights()[i].area) << step << " camera " << i;
    }
    for (std::size_t j = 0; j < fresh.zones().size(); ++j) {
        const ZoneCoverage& a = edited.zones()[j];
        const ZoneCoverage& b = fresh.zones()[j];
        EXPECT_EQ(a.covered, b.covered) << step << " zone " << j;
        EXPECT_EQ(a.met, b.met) << step << " zone " << j;
        EXPECT_EQ(a.covering, b.covering) << step << " zone " << j;
    }
}

// Cameras moved, turned, added and removed at random, one edit at a time: what the figures
// recompute (the edited camera, the zones its old or new sight touches) leaves them exactly as a
// computation from scratch, numbering of the covering cameras included.
TEST(SiteFigures, edits_one_camera_at_a_time_agree_with_a_computation_from_scratch) {
    RandomSite site = randomSite(7);
    std::mt19937_64 random(99);
    SiteFigures figures;
    figures.setZones(site.zones);
    figures.setCameras(site.cameras);
    figures.setWalls(site.walls);
    expectSameAsFromScratch(figures, site, "start");
    for (int step = 0; step < 60; ++step) {
        const std::size_t count = figures.cameras().size();
        const std::size_t i = count == 0 ? 0 : random() % count;
        const int kind = count == 0 ? 1 : static_cast<int>(random() % 3);
        std::string what;
        if (kind == 0) {
            // Moved a little, so that the old and the new sight touch different zones.
            Camera moved = figures.cameras()[i];
            moved.at.x += testing_support::uniform(random, -6, 6);
            moved.heading += testing_support::uniform(random, -90, 90);
            figures.setCamera(i, moved);
            what = "moved " + std::to_string(i);
        } else if (kind == 1 || count < 3) {
            const std::size_t before = random() % (count + 1);
            figures.insertCamera(before, randomCamera(random));
            what = "inserted before " + std::to_string(before);
        } else {
            figures.removeCamera(i);
            what = "removed " + std::to_string(i);
        }
        expectSameAsFromScratch(figures, site, "step " + std::to_string(step) + ": " + what);
    }
}

TEST(SiteFigures, a_camera_it_does_not_have_breaks_the_contract) {
    SiteFigures figures;
    figures.setCameras({Camera{}});
    EXPECT_THROW(figures.setCamera(1, Camera{}), std::out_of_range);
    EXPECT_THROW(figures.removeCamera(1), std::out_of_range);
    EXPECT_THROW(figures.insertCamera(2, Camera{}), std::out_of_range);
}

} // namespace
} // namespace lenstally::site
