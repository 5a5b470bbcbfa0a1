// SPDX-License-Identifier: MIT
#include "estimation/camera_view.hpp"

#include <gtest/gtest.h>
#include <limits>

#include "tests/case_name.hpp"

namespace lenstally {
namespace {

Lens angle(double hfov) {
    return {LensForm::Angle, hfov, 0, 0};
}
Lens focal(double focalMm, double sensorMm) {
    return {LensForm::Focal, 0, focalMm, sensorMm};
}

TEST(CameraView, a_1920_pixel_camera_with_a_90_degree_lens_at_10_m_observes) {
    const ViewFigures view = ComputeView(10, 1920, angle(90));
    EXPECT_EQ(MetresText(view.sceneWidth), "20.00 m");
    EXPECT_EQ(DensityText(view.ppm), "96.0 px/m");
    EXPECT_EQ(view.level, ViewLevel::Observe);
    EXPECT_EQ(AngleText(view.hfov), "90.0\u00B0");
    const char* reaches[] = {"76.80 m", "38.40 m", "15.36 m", "7.68 m", "3.84 m", "0.96 m"};
    for (std::size_t i = 0; i < kViewLevelCount; ++i) {
        EXPECT_EQ(MetresText(view.levels[i].distance), reaches[i]) << kViewLevels[i].name;
    }
}

// Each figure to the last bit, at points where another order of the same operations gives
// another double (12.7 m, 1920 pixels).
struct Reach {
    double distance;
    double lens;
};

void expectReaches(const ViewFigures& view, const Reach (&expected)[kViewLevelCount]) {
    for (std::size_t i = 0; i < kViewLevelCount; ++i) {
        EXPECT_EQ(view.levels[i].level, kViewLevels[i].level);
        EXPECT_EQ(view.levels[i].ppm, kViewLevels[i].ppm);
        EXPECT_EQ(view.levels[i].distance, expected[i].distance) << kViewLevels[i].name;
        EXPECT_EQ(view.levels[i].lens, expected[i].lens) << kViewLevels[i].name;
    }
}

TEST(CameraView, a_2_8_mm_lens_on_a_5_37_mm_sensor_to_the_last_bit) {
    EXPECT_EQ(AngleText(AngleOfView(focal(2.8, 5.37))), "87.6\u00B0");
    const ViewFigures view = ComputeView(12.7, 1920, focal(2.8, 5.37));
    EXPECT_EQ(view.hfov, 87.59779419426411);
    EXPECT_EQ(view.sceneWidth, 24.356785714285714);
    EXPECT_EQ(view.ppm, 78.82813530990191);
    EXPECT_EQ(view.level, ViewLevel::Observe);
    expectReaches(view, {{80.08938547486032, 0.44400390625},
                         {40.04469273743016, 0.8880078125},
                         {16.017877094972068, 2.22001953125},
                         {8.008938547486034, 4.4400390625},
                         {4.004469273743017, 8.880078125},
                         {1.0011173184357542, 35.5203125}});
    EXPECT_EQ(MillimetresText(view.levels[0].lens), "0.4 mm");
}

TEST(CameraView, an_87_5_degree_lens_to_the_last_bit) {
    const ViewFigures view = ComputeView(12.7, 1920, angle(87.5));
    EXPECT_EQ(view.widthPerMetre, 1.9145834845096155);
    EXPECT_EQ(view.ppm, 78.96291991724085);
    expectReaches(view, {{80.2263266359167, 161.2205612832433},
                         {40.11316331795835, 143.39888581516118},
                         {16.04526532718334, 100.83055507171908},
                         {8.02263266359167, 62.32475514873393},
                         {4.011316331795835, 33.646665005375546},
                         {1.0028290829489588, 8.645597339904699}});
}

// A lens as wide as the sensor sees 1 m across per metre, so L * 4 pixels at 4 m give exactly L.
struct BoundaryCase {
    const char* name;
    double pixels;
    std::optional<ViewLevel> level;
    friend void PrintTo(const BoundaryCase& c, std::ostream* os) { *os << c.name; }
};

class LevelBoundary : public testing::TestWithParam<BoundaryCase> {};

TEST_P(LevelBoundary, is_met_exactly_at_its_density) {
    const BoundaryCase& c = GetParam();
    const ViewFigures view = ComputeView(4, c.pixels, focal(3.6, 3.6));
    EXPECT_EQ(view.level, c.level);
}

using V = ViewLevel;
INSTANTIATE_TEST_SUITE_P(Cases, LevelBoundary,
                         testing::Values(BoundaryCase{"below_monitor", 49, std::nullopt},
                                         BoundaryCase{"monitor", 50, V::Monitor},
                                         BoundaryCase{"detect", 100, V::Detect},
                                         BoundaryCase{"below_detect", 99, V::Monitor},
                                         BoundaryCase{"observe", 250, V::Observe},
                                         BoundaryCase{"below_observe", 249, V::Detect},
                                         BoundaryCase{"recognise", 500, V::Recognise},
                                         BoundaryCase{"below_recognise", 499, V::Observe},
                                         BoundaryCase{"identify", 1000, V::Identify},
                                         BoundaryCase{"below_identify", 999, V::Recognise},
                                         BoundaryCase{"inspect", 4000, V::Inspect},
                                         BoundaryCase{"below_inspect", 3999, V::Identify}),
                         testing_support::CaseName{});

TEST(CameraView, names_default_widths_and_texts) {
    const char* names[] = {"Monitor", "Detect", "Observe", "Recognise", "Identify", "Inspect"};
    for (std::size_t i = 0; i < kViewLevelCount; ++i) {
        EXPECT_EQ(ViewLevelOf(kViewLevels[i].level).name, names[i]);
    }
    EXPECT_EQ(LevelMet(std::numeric_limits<double>::quiet_NaN()), std::nullopt);

    const int widths[] = {176, 352, 704, 704, 1280, 1600, 2048};
    for (int r = 0; r < 7; ++r) {
        EXPECT_EQ(DefaultPixelWidth(r), widths[r]) << r;
    }
    EXPECT_EQ(DefaultPixelWidth(std::nullopt), 176);

    // Rounded from the exact binary value, as printf rounds: 0.125 and 2.25 are exact ties.
    EXPECT_EQ(MetresText(0.125), "0.12 m");
    EXPECT_EQ(MetresText(0.005), "0.01 m"); // the double nearest 0.005 lies above it
    EXPECT_EQ(DensityText(2.25), "2.2 px/m");
    EXPECT_EQ(DensityText(1e6), "1000000.0 px/m");
}

} // namespace
} // namespace lenstally
