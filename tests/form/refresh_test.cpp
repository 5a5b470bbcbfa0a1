// SPDX-License-Identifier: MIT
#include <functional>
#include <gtest/gtest.h>

#include "form/form1.hpp"
#include "tests/case_name.hpp"

namespace lenstally {
namespace {

using C = ControlId;

struct Scenario {
    const char* name;
    std::function<void(Form1&)> act;
    const char* frameSize;
    const char* perCamera;
    const char* total;
    const char* storage;
    friend void PrintTo(const Scenario& c, std::ostream* os) { *os << c.name; }
};

class RefreshTest : public testing::TestWithParam<Scenario> {};

TEST_P(RefreshTest, shows_the_captions_for_the_inputs) {
    const Scenario& s = GetParam();
    Form1 form;
    form.load();
    s.act(form);
    EXPECT_EQ(form.control(C::txtFrameSize).text, s.frameSize);
    EXPECT_EQ(form.control(C::lbPerBandwidth).text, s.perCamera);
    EXPECT_EQ(form.control(C::lbTotalBandwidth).text, s.total);
    EXPECT_EQ(form.control(C::lbStorageSize).text, s.storage);
}

void cbr(Form1& f, C stream) {
    f.selectOption(stream);
    f.setListIndex(C::cmbBitrateMode, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, RefreshTest,
    testing::Values(
        Scenario{"defaults", [](Form1&) {}, "7.5", " 2.25Mbps", " 2.25Mbps", " 149.688GB"},
        Scenario{"sixteen_cameras_thirty_days",
                 [](Form1& f) {
                     f.setText(C::txtCameraCount, "16");
                     f.setText(C::txtDays, "30");
                 },
                 "7.5", " 2.25Mbps", " 36Mbps", " 10.264TB"},
        Scenario{"mpeg4_cbr_256", [](Form1& f) { cbr(f, C::optStream1); }, "0.83334", "256Kbps",
                 " 256Kbps", " 21.289GB"},
        Scenario{"h264_cbr_1000_cameras",
                 [](Form1& f) {
                     cbr(f, C::optStream2);
                     f.setText(C::txtCameraCount, "1000");
                 },
                 "0.53571", "256Kbps", " 256Mbps", " 21.289TB"},
        Scenario{"mjpeg_ignores_cbr",
                 [](Form1& f) {
                     f.setListIndex(C::cmbBitrateMode, 1);
                     f.setText(C::txtBPS, "999");
                 },
                 "7.5", " 2.25Mbps", " 2.25Mbps", " 149.688GB"},
        Scenario{"typed_frame_size_not_rounded_per_camera",
                 [](Form1& f) { f.setText(C::txtFrameSize, "12.3456"); }, "12.3456", " 3.70368Mbps",
                 " 3.704Mbps", " 246.398GB"},
        Scenario{"frame_size_5000", [](Form1& f) { f.setText(C::txtFrameSize, "5000"); }, "5000",
                 " 1.5Gbps", " 1.5Gbps", " 99.792TB"},
        Scenario{"exactly_a_million_kbps",
                 [](Form1& f) {
                     cbr(f, C::optStream1);
                     f.setText(C::txtBPS, "1000000");
                 },
                 "0.83334", " 1000Mbps", " 1000Mbps", " 83.16TB"},
        Scenario{"exactly_1000_kbps",
                 [](Form1& f) {
                     cbr(f, C::optStream1);
                     f.setText(C::txtBPS, "1000");
                 },
                 "0.83334", "1000Kbps", " 1000Kbps", " 83.16GB"},
        Scenario{"just_below_1000_kbps",
                 [](Form1& f) {
                     cbr(f, C::optStream2);
                     f.setText(C::txtBPS, "999.9999");
                 },
                 "0.53571", "999.9999Kbps", " 1000Kbps", " 83.16GB"},
        Scenario{"just_above_a_million_kbps",
                 [](Form1& f) {
                     cbr(f, C::optStream2);
                     f.setText(C::txtBPS, "1000000.0001");
                 },
                 "0.53571", " 1.0000000001Gbps", " 1Gbps", " 83.16TB"},
        Scenario{"empty_camera_count", [](Form1& f) { f.setText(C::txtCameraCount, ""); }, "7.5",
                 " 2.25Mbps", " 0Kbps", " 0KB"},
        Scenario{"camera_count_starting_with_a_letter",
                 [](Form1& f) { f.setText(C::txtCameraCount, "x12"); }, "7.5", " 2.25Mbps",
                 " 0Kbps", " 0KB"},
        Scenario{"negative_cameras", [](Form1& f) { f.setText(C::txtCameraCount, "-2"); }, "7.5",
                 " 2.25Mbps", "-4500Kbps", "-299376000KB"},
        Scenario{"negative_days", [](Form1& f) { f.setText(C::txtDays, "-1"); }, "7.5", " 2.25Mbps",
                 " 2.25Mbps", "-21384000KB"},
        Scenario{"zero_days", [](Form1& f) { f.setText(C::txtDays, "0"); }, "7.5", " 2.25Mbps",
                 " 2.25Mbps", " 0KB"},
        Scenario{"tiny_days_one_fps_one_hour",
                 [](Form1& f) {
                     f.setListIndex(C::cmbFPS, 0);
                     f.setListIndex(C::cmbHours, 0);
                     f.setText(C::txtDays, "0.0001");
                 },
                 "7.5", "75Kbps", " 75Kbps", " 2.97KB"},
        Scenario{"mpeg4_vbr_gop_30",
                 [](Form1& f) {
                     f.selectOption(C::optStream1);
                     f.setText(C::txtFrameSize, "10");
                     f.setListIndex(C::cmbGOP, 29);
                 },
                 "10", " 3Mbps", " 3Mbps", " 6.653GB"},
        Scenario{"vbr_gop_1_equals_mjpeg_storage",
                 [](Form1& f) {
                     f.selectOption(C::optStream2);
                     f.setText(C::txtFrameSize, "7.5");
                 },
                 "7.5", " 2.25Mbps", " 2.25Mbps", " 149.688GB"},
        Scenario{"h264_1mp_highest",
                 [](Form1& f) {
                     f.selectOption(C::optStream2);
                     f.selectOption(C::optResolution4);
                 },
                 "13.928565", " 4.1785695Mbps", " 4.179Mbps", " 277.992GB"},
        Scenario{"cbr_keeps_typed_frame_size_on_resolution_click",
                 [](Form1& f) {
                     f.setText(C::txtFrameSize, "3");
                     cbr(f, C::optStream2);
                     f.selectOption(C::optResolution6);
                 },
                 "0.53571", "256Kbps", " 256Kbps", " 21.289GB"},
        // Floating-point faults read "Out of range"; the other captions are computed as usual.
        Scenario{"cameras_1e308", [](Form1& f) { f.setText(C::txtCameraCount, "1e308"); }, "7.5",
                 " 2.25Mbps", "Out of range", "Out of range"},
        Scenario{"days_1e308", [](Form1& f) { f.setText(C::txtDays, "1e308"); }, "7.5", " 2.25Mbps",
                 " 2.25Mbps", "Out of range"},
        Scenario{"frame_size_beyond_a_double",
                 [](Form1& f) { f.setText(C::txtFrameSize, "1e400"); }, "1e400", "Out of range",
                 "Out of range", "Out of range"},
        Scenario{"infinite_frame_size_times_zero_cameras",
                 [](Form1& f) {
                     f.setText(C::txtFrameSize, "1e400");
                     f.setText(C::txtCameraCount, "0");
                 },
                 "1e400", "Out of range", "Out of range", "Out of range"},
        Scenario{"cbr_bitrate_beyond_a_double",
                 [](Form1& f) {
                     cbr(f, C::optStream1);
                     f.setText(C::txtBPS, "-1e999");
                 },
                 "0.83334", "Out of range", "Out of range", "Out of range"},
        Scenario{"large_but_finite_total", [](Form1& f) { f.setText(C::txtCameraCount, "1e300"); },
                 "7.5", " 2.25Mbps", " 2.25E+297Gbps", " 1.49688E+299TB"}),
    testing_support::CaseName{});

TEST(RefreshStorage, vbr_without_gop_reads_out_of_range_and_recovers) {
    Form1 form;
    form.addItem(C::cmbBitrateMode, "VBR");
    form.setListIndex(C::cmbBitrateMode, 0);
    form.selectOption(C::optStream1); // no GOP picked: the GOP length divides by zero
    EXPECT_EQ(form.control(C::lbStorageSize).text, "Out of range");
    EXPECT_EQ(form.control(C::lbPerBandwidth).text, "0Kbps"); // no frame rate picked either
    form.addItem(C::cmbGOP, " 1");
    form.setListIndex(C::cmbGOP, 0);
    EXPECT_EQ(form.control(C::lbStorageSize).text, " 0KB"); // no hours picked
}

TEST(RefreshFrameSize, a_second_run_with_the_same_inputs_changes_nothing) {
    Form1 form;
    form.load();
    form.selectOption(C::optResolution5);
    form.setListIndex(C::cmbQuality, 2);
    EXPECT_EQ(form.control(C::txtFrameSize).text, "115.2");
    int changes = 0;
    form.setChangeListener([&](ControlId, Property) { ++changes; });
    form.RefreshFrameSize();
    EXPECT_EQ(changes, 0);
}

TEST(Figures, match_the_captions) {
    Form1 form;
    form.load();
    const Figures f = form.figures();
    EXPECT_EQ(f.perCameraKbps, 2250);
    EXPECT_EQ(f.totalKbps, 2250);
    EXPECT_EQ(f.storageKB, 149688000);
}

} // namespace
} // namespace lenstally
