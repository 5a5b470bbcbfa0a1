// SPDX-License-Identifier: MIT
#include "estimation/frame_size.hpp"
#include "estimation/numeric_text.hpp"

#include <gtest/gtest.h>

#include "tests/case_name.hpp"

namespace lenstally {
namespace {

struct FrameCase {
    const char* name;
    Stream stream;
    std::optional<int> resolution;
    std::optional<Quality> quality; // nullopt: no quality picked
    const char* written;            // as FormatNumber writes it into the frame-size box
    friend void PrintTo(const FrameCase& c, std::ostream* os) { *os << c.name; }
};

class EstimateFrameSizeTest : public testing::TestWithParam<FrameCase> {};

TEST_P(EstimateFrameSizeTest, writes_the_table_entry_times_the_quality_factor) {
    const FrameCase& c = GetParam();
    EXPECT_EQ(FormatNumber(EstimateFrameSize(c.stream, c.resolution, c.quality)), c.written);
}

using Q = Quality;
INSTANTIATE_TEST_SUITE_P(
    Cases, EstimateFrameSizeTest,
    testing::Values(
        FrameCase{"mjpeg_qcif_highest", Stream::Mjpeg, 0, Q::Highest, "7.5"},
        FrameCase{"mjpeg_cif_low", Stream::Mjpeg, 1, Q::Low, "7.8"},
        FrameCase{"mjpeg_2mp_low_hides_noise", Stream::Mjpeg, 5, Q::Low, "115.2"},
        FrameCase{"mjpeg_3mp_highest", Stream::Mjpeg, 6, Q::Highest, "472.5"},
        FrameCase{"mjpeg_4cif_normal", Stream::Mjpeg, 3, Q::Normal, "40"},
        FrameCase{"mpeg4_qcif_highest", Stream::Mpeg4, 0, Q::Highest, "0.83334"},
        FrameCase{"mpeg4_2cif_low", Stream::Mpeg4, 2, Q::Low, "1.666668"},
        FrameCase{"mpeg4_2mp_highest", Stream::Mpeg4, 5, Q::Highest, "31.999995"},
        FrameCase{"mpeg4_3mp_normal", Stream::Mpeg4, 6, Q::Normal, "35"},
        FrameCase{"h264_1mp_highest", Stream::H264, 4, Q::Highest, "13.928565"},
        FrameCase{"h264_2mp_normal_keeps_written_constant", Stream::H264, 5, Q::Normal, "13.71428"},
        FrameCase{"h264_cif_normal", Stream::H264, 1, Q::Normal, "0.92857"},
        FrameCase{"no_quality_picked_is_normal", Stream::Mjpeg, 4, std::nullopt, "130"},
        FrameCase{"no_resolution_is_zero", Stream::Mjpeg, std::nullopt, Q::Highest, "0"}),
    testing_support::CaseName{});

TEST(FrameSizeEntry, the_low_factor_is_the_nearest_double_product) {
    EXPECT_EQ(EstimateFrameSize(Stream::Mjpeg, 5, Quality::Low), 115.19999999999999);
    EXPECT_EQ(FrameSizeEntry(Stream::Mjpeg, 7), 0);
    EXPECT_EQ(FrameSizeEntry(Stream::Mjpeg, -1), 0);
}

} // namespace
} // namespace lenstally
