// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "project/view_drawing.hpp"

namespace lenstally {
namespace {

// The picture shows past the target (1.25 times its distance at least), and as far as Monitor
// reaches (with 5 % to spare) where that is not beyond three times the target's distance.
TEST(ViewDrawing, shows_past_the_target_and_as_far_as_the_levels_reach_nearby) {
    struct Case {
        double pixels;
        double range;
        const char* targetLabel;
    };
    // A 90 degree lens, 2 m across per metre, at 10 m: Monitor reaches pixels / 25 metres.
    const Case cases[] = {{176, 12.5, "Target 10.00 m: no level"},
                          {640, 25.6 * 1.05, "Target 10.00 m: Detect"},
                          {1920, 30, "Target 10.00 m: Observe"}};
    for (const Case& c : cases) {
        const ViewDrawing d = DrawingOf(ComputeView(10, c.pixels, {LensForm::Angle, 90, 0, 0}));
        EXPECT_DOUBLE_EQ(d.range, c.range) << c.pixels;
        EXPECT_EQ(d.targetLabel, c.targetLabel);
        EXPECT_DOUBLE_EQ(d.spread, 1);
        // Bands reach no farther than the picture; the key gives each level's whole reach.
        EXPECT_DOUBLE_EQ(d.bands.front().reach, std::min(c.pixels / 25, c.range));
        EXPECT_EQ(d.bands.back().key, "Inspect to " + MetresText(c.pixels / 2000));
    }
}

} // namespace
} // namespace lenstally
