// SPDX-License-Identifier: MIT
#include "estimation/estimates.hpp"

#include <cmath>
#include <gtest/gtest.h>
#include <iomanip>
#include <limits>

#include "tests/case_name.hpp"

namespace lenstally {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::nan("");

struct CaptionCase {
    const char* name;
    double value;
    const char* perCamera;
    const char* total;
    const char* storage;
    friend void PrintTo(const CaptionCase& c, std::ostream* os) { *os << c.name; }
};

class CaptionTest : public testing::TestWithParam<CaptionCase> {};

TEST_P(CaptionTest, chooses_the_unit_before_rounding) {
    const CaptionCase& c = GetParam();
    EXPECT_EQ(PerCameraBandwidthCaption(c.value), c.perCamera);
    EXPECT_EQ(TotalBandwidthCaption(c.value), c.total);
    EXPECT_EQ(StorageCaption(c.value), c.storage);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CaptionTest,
    testing::Values(
        CaptionCase{"defaults", 2250, " 2.25Mbps", " 2.25Mbps", " 2.25MB"},
        CaptionCase{"cbr_256", 256, "256Kbps", " 256Kbps", " 256KB"},
        CaptionCase{"not_rounded_per_camera", 3703.68, " 3.70368Mbps", " 3.704Mbps", " 3.704MB"},
        CaptionCase{"exactly_1000", 1000, "1000Kbps", " 1000Kbps", " 1000KB"},
        CaptionCase{"just_above_1000", 1000.0001, " 1.0000001Mbps", " 1Mbps", " 1MB"},
        CaptionCase{"just_below_1000", 999.9999, "999.9999Kbps", " 1000Kbps", " 1000KB"},
        CaptionCase{"exactly_a_million", 1e6, " 1000Mbps", " 1000Mbps", " 1000MB"},
        CaptionCase{"just_above_a_million", 1000000.0001, " 1.0000000001Gbps", " 1Gbps", " 1GB"},
        CaptionCase{"one_and_a_half_million", 1.5e6, " 1.5Gbps", " 1.5Gbps", " 1.5GB"},
        CaptionCase{"exactly_a_billion", 1e9, " 1000Gbps", " 1000Gbps", " 1000GB"},
        CaptionCase{"above_a_billion", 10264320000, " 10264.32Gbps", " 10264.32Gbps", " 10.264TB"},
        CaptionCase{"zero", 0, "0Kbps", " 0Kbps", " 0KB"},
        CaptionCase{"negative", -4500, "-4500Kbps", "-4500Kbps", "-4500KB"},
        CaptionCase{"small_fraction", 2.97, "2.97Kbps", " 2.97Kbps", " 2.97KB"},
        CaptionCase{"fraction_below_one", 0.25, "0.25Kbps", " .25Kbps", " .25KB"},
        CaptionCase{"infinity", kInf, "Out of range", "Out of range", "Out of range"},
        CaptionCase{"minus_infinity", -kInf, "Out of range", "Out of range", "Out of range"},
        CaptionCase{"nan", kNaN, "Out of range", "Out of range", "Out of range"},
        CaptionCase{"largest_double", std::numeric_limits<double>::max(),
                    " 1.79769313486232E+302Gbps", " 1.79769313486232E+302Gbps",
                    " 1.79769313486232E+299TB"}),
    testing_support::CaseName{});

TEST(Caption, storage_tie_at_the_third_place_goes_to_even) {
    // 1.0625 GB and 1.1875 GB are exact in binary: ties go to the even third decimal.
    EXPECT_EQ(StorageCaption(1062500), " 1.062GB");
    EXPECT_EQ(StorageCaption(1187500), " 1.188GB");
    EXPECT_EQ(TotalBandwidthCaption(2062.5), " 2.062Mbps");
}

TEST(FrameBasedBandwidth, multiplies_by_five_then_divides_by_four) {
    EXPECT_EQ(FrameBasedBandwidth(7.5, 29), 2250);
    EXPECT_EQ(FrameBasedBandwidth(12.3456, 29), 3703.68);
    EXPECT_EQ(FrameBasedBandwidth(5000, 29), 1.5e6);
    EXPECT_EQ(FrameBasedBandwidth(7.5, -1), 0);
    // Five fourths as one factor of 1.25 would overflow here; times 5 overflows as well, so the
    // result is not finite either way, and the caption says so.
    EXPECT_EQ(FrameBasedBandwidth(1e307, 29), kInf);
}

struct StorageCase {
    const char* name;
    double value;
    double expected;
    const char* caption;
    friend void PrintTo(const StorageCase& c, std::ostream* os) { *os << c.name; }
};

class StorageTest : public testing::TestWithParam<StorageCase> {};

// Exact to the last bit: one operation at a time in a fixed order, whatever the inputs.
TEST_P(StorageTest, computes_and_captions) {
    const StorageCase& c = GetParam();
    EXPECT_EQ(c.value, c.expected) << std::setprecision(17) << c.value << " != " << c.expected;
    EXPECT_EQ(StorageCaption(c.value), c.caption);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StorageTest,
    testing::Values(
        StorageCase{"frame_defaults", FrameStorage(7.5, 29, 1, 23, 7), 149688000, " 149.688GB"},
        // 60 * 60 folded into 3600 gives 2969976.2399999998; (h + 1) * D first, 2969976.2400000007.
        StorageCase{"frame_order_matters", FrameStorage(0.35714, 24, 1, 11, 7), 2969976.24,
                    " 2.97GB"},
        StorageCase{"cbr_256", CbrStorage(256, 1, 23, 7), 21288960, " 21.289GB"},
        StorageCase{"vbr_gop_30", VbrStorage(10, 29, 29, 1, 23, 7), 6652800.000000001, " 6.653GB"},
        // Dividing by the GOP length before multiplying by the frame rate gives 890992.872.
        StorageCase{"vbr_order_matters", VbrStorage(0.53571, 24, 9, 1, 23, 7), 890992.8720000002,
                    " 890.993MB"},
        StorageCase{"vbr_gop_1_is_frame_storage", VbrStorage(7.5, 29, 0, 1, 23, 7), 149688000,
                    " 149.688GB"},
        StorageCase{"tiny_day_count", FrameStorage(7.5, 0, 1, 0, 0.0001), 2.9700000000000006,
                    " 2.97KB"},
        StorageCase{"negative_days", FrameStorage(7.5, 29, 1, 23, -1), -21384000, "-21384000KB"},
        StorageCase{"no_hours_picked", FrameStorage(7.5, 29, 1, -1, 7), 0, " 0KB"}),
    testing_support::CaseName{});

TEST(VbrStorage, no_gop_picked_is_out_of_range) {
    EXPECT_EQ(StorageCaption(VbrStorage(10, 29, -1, 1, 23, 7)), "Out of range");
    EXPECT_EQ(StorageCaption(VbrStorage(0, 29, -1, 1, 23, 7)), "Out of range");
    EXPECT_EQ(StorageCaption(FrameStorage(7.5, 29, 1, 23, 1e308)), "Out of range");
}

} // namespace
} // namespace lenstally
