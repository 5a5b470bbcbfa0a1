// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "project/site_compute.hpp"
#include "project/site_drawing.hpp"
#include "project/site_svg.hpp"
#include "project/view_drawing.hpp"

namespace lenstally {
namespace {

// Twice the signed area of a ring (shoelace), either winding.
double areaOf(const site::Ring& ring) {
    double twice = 0;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const site::Point& a = ring[i];
        const site::Point& b = ring[(i + 1) % ring.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return std::abs(twice) / 2;
}

// One camera of 1000 pixels through a 90 degree lens (Monitor 40 m ... Inspect 0.5 m) at
// (`x`, 50) with heading `heading`, on a 200 x 100 m plan; a U-shaped zone far beyond its reach,
// whose centre of area lies outside it.
SiteResult siteWith(double x, double heading) {
    SiteSection site{200, 100, std::nullopt, {}, {}};
    site.zones.push_back(
        {"Main gate",
         ViewLevel::Monitor,
         {{160, 10}, {170, 10}, {170, 30}, {168, 30}, {168, 12}, {162, 12}, {162, 30}, {160, 30}},
         100});
    GroupResult group;
    group.name = "Gates";
    group.cameras = 1;
    group.view = ComputeView(10, 1000, {LensForm::Angle, 90, 0, 0});
    return ComputeSite(site, {group}, {{{x, 50, heading, std::nullopt}}});
}

// A planner redraws a dragged camera's view alone: the same bytes as in the whole drawing.
TEST(SiteDrawing, one_cameras_view_alone_is_what_the_whole_drawing_holds_in_its_place) {
    GroupResult group;
    group.name = "Gates";
    group.cameras = 2;
    group.view = ComputeView(10, 1000, {LensForm::Angle, 90, 0, 0});
    const SiteResult site =
        ComputeSite({200, 100, std::nullopt, {{{20, 0}, {20, 100}}}, {}}, {group},
                    {{{30, 50, 90, std::nullopt}, {10, 50, 270, std::nullopt}}});
    const std::string whole = SiteSvg(site);
    const std::string views = whole.substr(whole.find("<g id=\"views\">\n"));
    const std::string first = SiteViewSvg(site, 0);
    const std::string second = SiteViewSvg(site, 1);
    EXPECT_NE(first, second);
    EXPECT_EQ(views.substr(15, first.size() + second.size()), first + second);
}

TEST(SiteDrawing, bands_are_each_levels_region_in_its_colour_cut_to_the_plan) {
    // Looking right from the middle: nothing reaches the plan's edge, so each band is the
    // level's own region.
    const SiteResult middle = siteWith(50, 90);
    const SiteDrawing d = DrawingOf(middle);
    ASSERT_EQ(d.cameras.size(), 1U);
    const SiteDrawing::Camera& camera = d.cameras.front();
    for (std::size_t i = 0; i < kViewLevelCount; ++i) {
        EXPECT_EQ(camera.bands[i].level, kViewLevels[i].level);
        EXPECT_EQ(camera.bands[i].colour, LevelColour(kViewLevels[i].level));
        EXPECT_EQ(camera.bands[i].ring, middle.placements[0].region[i]) << i;
    }
    EXPECT_NEAR(camera.aim.x, 1, 1e-15);
    EXPECT_NEAR(camera.aim.y, 0, 1e-15);

    // Looking left from 10 m inside the left edge: Monitor's 40 m are cut at x = 0, leaving the
    // two right triangles of the 90 degree cone between the camera and the edge, 100 m^2.
    const SiteDrawing edge = DrawingOf(siteWith(10, 270));
    const site::Ring& monitor = edge.cameras.front().bands.front().ring;
    EXPECT_NEAR(areaOf(monitor), 100, 1e-9);
    for (const site::Point& p : monitor) {
        EXPECT_TRUE(p.x >= 0 && p.x <= 200 && p.y >= 0 && p.y <= 100) << p.x << ", " << p.y;
    }
}

TEST(SiteDrawing, zone_grid_scale_and_key) {
    const SiteDrawing d = DrawingOf(siteWith(50, 90));
    ASSERT_EQ(d.zones.size(), 1U);
    EXPECT_FALSE(d.zones[0].met);
    EXPECT_EQ(d.zones[0].label, "Main gate 0.0 %");
    // The label sits in one of the U's arms, not in the gap between them.
    const site::Point at = d.zones[0].labelAt;
    EXPECT_TRUE((at.x > 160 && at.x < 162) || (at.x > 168 && at.x < 170)) << at.x;
    EXPECT_TRUE(at.y > 12 && at.y < 30) << at.y;
    EXPECT_EQ(d.grid, 10);        // at most 20 spaces along 200 m
    EXPECT_EQ(d.scaleLength, 20); // about a fifth of 200 m
    EXPECT_EQ(d.scaleText, "20 m");
    ASSERT_EQ(d.key.size(), kViewLevelCount + 2);
    EXPECT_EQ(d.key[4].text, "Identify (250 px/m)");

    // With the plan's drawing: the image, and no grid over it.
    SiteResult drawn = siteWith(50, 90);
    drawn.site.image = "data:image/svg+xml,%3Csvg%20xmlns='http://www.w3.org/2000/svg'/%3E";
    EXPECT_EQ(DrawingOf(drawn).image, drawn.site.image);
    EXPECT_EQ(DrawingOf(drawn).grid, 0);

    EXPECT_EQ(RoundStep(16), 10);
    EXPECT_EQ(RoundStep(0.7), 0.5);
    EXPECT_EQ(RoundStep(0.2), 0.2);
    EXPECT_EQ(RoundStep(20000), 20000);
}

} // namespace
} // namespace lenstally
