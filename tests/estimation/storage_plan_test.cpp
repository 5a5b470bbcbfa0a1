// SPDX-License-Identifier: MIT
#include "estimation/storage_plan.hpp"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

#include "tests/case_name.hpp"

namespace lenstally {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kTB = 1e9;

DriveLayout layoutOf(RaidLevel raid, std::int64_t width = 0, std::int64_t spares = 0) {
    DriveLayout layout;
    layout.driveKB = 8 * kTB;
    layout.raid = raid;
    layout.arrayWidth = width;
    layout.spares = spares;
    return layout;
}

struct RaidCase {
    const char* name;
    RaidLevel raid;
    std::int64_t width;
    std::int64_t active;
    std::optional<std::int64_t> data; // nullopt: not a valid set
    friend void PrintTo(const RaidCase& c, std::ostream* os) { *os << c.name; }
};

class RaidTable : public testing::TestWithParam<RaidCase> {};

TEST_P(RaidTable, gives_the_data_drives_of_each_valid_set) {
    const RaidCase& c = GetParam();
    EXPECT_EQ(DataDrives(layoutOf(c.raid, c.width), c.active), c.data);
}

using R = RaidLevel;
INSTANTIATE_TEST_SUITE_P(
    Cases, RaidTable,
    testing::Values(RaidCase{"raid0_none", R::Raid0, 0, 0, std::nullopt},
                    RaidCase{"raid0_one", R::Raid0, 0, 1, 1},
                    RaidCase{"raid1_one", R::Raid1, 0, 1, std::nullopt},
                    RaidCase{"raid1_two", R::Raid1, 0, 2, 1},
                    RaidCase{"raid1_odd_drive_holds_nothing", R::Raid1, 0, 3, 1},
                    RaidCase{"raid10_three", R::Raid10, 0, 3, std::nullopt},
                    RaidCase{"raid10_four", R::Raid10, 0, 4, 2},
                    RaidCase{"raid10_five", R::Raid10, 0, 5, 2},
                    RaidCase{"raid5_two", R::Raid5, 0, 2, std::nullopt},
                    RaidCase{"raid5_three", R::Raid5, 0, 3, 2},
                    RaidCase{"raid5_one_wide_array", R::Raid5, 0, 40, 39},
                    RaidCase{"raid5_width3_four_splits_two_and_two", R::Raid5, 3, 4, std::nullopt},
                    RaidCase{"raid5_width3_six", R::Raid5, 3, 6, 4},
                    RaidCase{"raid6_three", R::Raid6, 0, 3, std::nullopt},
                    RaidCase{"raid6_four", R::Raid6, 0, 4, 2},
                    RaidCase{"raid6_width12_twelve", R::Raid6, 12, 12, 10},
                    RaidCase{"raid6_width12_thirteen_makes_seven_and_six", R::Raid6, 12, 13, 9},
                    RaidCase{"raid6_width4_five", R::Raid6, 4, 5, std::nullopt},
                    RaidCase{"raid6_width10_ten", R::Raid6, 10, 10, 8},
                    RaidCase{"raid6_width10_eleven_holds_less", R::Raid6, 10, 11, 7}),
    testing_support::CaseName{});

TEST(StoragePlan, sizes_are_one_multiplication_of_powers_of_1000_or_1024) {
    EXPECT_EQ(SizeInKilobytes(8, SizeUnit::TB), 8e9);
    EXPECT_EQ(SizeInKilobytes(960, SizeUnit::GB), 9.6e8);
    EXPECT_EQ(SizeInKilobytes(1, SizeUnit::TiB), 1099511627.776);
    EXPECT_EQ(SizeInKilobytes(1.5, SizeUnit::GiB), 1610612.736);
}

TEST(StoragePlan, net_capacity_multiplies_left_to_right) {
    // 11 data drives of 12 TiB, 1.5 % overhead, 85 % fill: another order of the same factors
    // gives 121514726566.9202 or 121514726566.92021.
    DriveLayout layout = layoutOf(R::Raid0);
    layout.driveKB = SizeInKilobytes(12, SizeUnit::TiB);
    layout.overheadPercent = 1.5;
    layout.fillPercent = 85;
    EXPECT_EQ(NetCapacityKB(layout, 11), 121514726566.92018);
}

struct NeededCase {
    const char* name;
    DriveLayout layout;
    double totalKB;
    std::optional<std::int64_t> drives;
    friend void PrintTo(const NeededCase& c, std::ostream* os) { *os << c.name; }
};

class DrivesNeededTest : public testing::TestWithParam<NeededCase> {};

TEST_P(DrivesNeededTest, is_the_smallest_valid_count_that_holds_the_total) {
    const NeededCase& c = GetParam();
    EXPECT_EQ(DrivesNeeded(c.layout, c.totalKB), c.drives);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DrivesNeededTest,
    testing::Values(
        NeededCase{"exact_fit", layoutOf(R::Raid0), 24 * kTB, 3},
        NeededCase{"one_kilobyte_more", layoutOf(R::Raid0), 24 * kTB + 1, 4},
        NeededCase{"zero_needs_the_minimum_and_the_spares", layoutOf(R::Raid6, 0, 1), 0, 5},
        NeededCase{"negative_needs_the_minimum", layoutOf(R::Raid10), -1, 4},
        NeededCase{"raid1_pairs", layoutOf(R::Raid1), 16 * kTB + 1, 6},
        NeededCase{"raid6_spare_exact", layoutOf(R::Raid6, 0, 1), 80 * kTB, 13},
        // Nine data drives: 10 drives hold 8, 11 make two arrays with only 7, 13 hold 9.
        NeededCase{"raid6_width10_nine_data_drives", layoutOf(R::Raid6, 10), 72 * kTB, 13},
        NeededCase{"raid5_width3_only_whole_arrays", layoutOf(R::Raid5, 3), 40 * kTB, 9},
        NeededCase{"a_million_drives", layoutOf(R::Raid0), 1e6 * 8 * kTB, 1'000'000},
        NeededCase{"beyond_a_million_drives", layoutOf(R::Raid0), 1e6 * 8 * kTB + 1e6,
                   std::nullopt},
        NeededCase{"spares_count_toward_the_million", layoutOf(R::Raid0, 0, 1), 1e6 * 8 * kTB,
                   std::nullopt},
        NeededCase{"total_out_of_range", layoutOf(R::Raid0), kInf, std::nullopt},
        NeededCase{"total_not_a_number", layoutOf(R::Raid0), std::nan(""), std::nullopt}),
    testing_support::CaseName{});

TEST(StoragePlan, days_that_fit_are_whole_days_of_the_installed_capacity) {
    using K = DaysThatFit::Kind;
    const double daily = 21384000;
    EXPECT_EQ(DaysThatFit::Of(daily * 30, daily).days, 30);
    EXPECT_EQ(DaysThatFit::Of(std::nextafter(daily * 30, 0.0), daily).days, 29);
    EXPECT_EQ(DaysThatFit::Of(1e9, 0).kind, K::Unlimited);
    EXPECT_EQ(DaysThatFit::Of(1e9, -0.0).kind, K::Unlimited);
    EXPECT_EQ(DaysThatFit::Of(1e9, -1).kind, K::OutOfRange);
    EXPECT_EQ(DaysThatFit::Of(1e9, kInf).kind, K::OutOfRange);
    EXPECT_EQ(DaysThatFit::Of(1e300, 1e-300).kind, K::OutOfRange);
}

struct RecorderCase {
    const char* name;
    RecorderLimits limits;
    double cameras;
    double totalKbps;
    std::optional<std::int64_t> drivesNeeded;
    std::optional<double> count;
    RecorderLimit decidedBy;
    friend void PrintTo(const RecorderCase& c, std::ostream* os) { *os << c.name; }
};

class RecordersTest : public testing::TestWithParam<RecorderCase> {};

TEST_P(RecordersTest, take_the_largest_limit) {
    const RecorderCase& c = GetParam();
    const RecordersNeeded r =
        RecordersNeeded::For(c.limits, c.cameras, c.totalKbps, c.drivesNeeded);
    EXPECT_EQ(r.count, c.count);
    if (r.count) {
        EXPECT_EQ(r.decidedBy, c.decidedBy);
    }
}

using L = RecorderLimit;
INSTANTIATE_TEST_SUITE_P(
    Cases, RecordersTest,
    testing::Values(
        RecorderCase{"no_limits", {}, 78, 265851, 10, 1.0, L::Minimum},
        RecorderCase{"cameras_decide", {32, 320, 8}, 78, 265851, 10, 3.0, L::Channels},
        RecorderCase{"bandwidth_decides", {32, 80, 8}, 78, 265851, 10, 4.0, L::Bandwidth},
        RecorderCase{"bays_decide", {32, 320, 2}, 78, 265851, 10, 5.0, L::Bays},
        RecorderCase{"tie_names_the_first", {39, 100, {}}, 78, 200000, {}, 2.0, L::Channels},
        RecorderCase{"one_recorder_is_enough", {32, {}, {}}, 20, 0, {}, 1.0, L::Channels},
        RecorderCase{"nothing_to_record", {32, 100, {}}, 0, -5, {}, 1.0, L::Minimum},
        RecorderCase{"negative_cameras", {32, {}, {}}, -1, 0, {}, std::nullopt, L::Minimum},
        RecorderCase{
            "negative_cameras_without_channels", {{}, 100, {}}, -1, 0, {}, 1.0, L::Minimum},
        RecorderCase{
            "bandwidth_out_of_range", {{}, 100, {}}, 1, kInf, {}, std::nullopt, L::Minimum},
        RecorderCase{"drives_needed_out_of_range",
                     {{}, {}, 8},
                     1,
                     0,
                     std::nullopt,
                     std::nullopt,
                     L::Minimum}),
    testing_support::CaseName{});

} // namespace
} // namespace lenstally
