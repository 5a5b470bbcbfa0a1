// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/cli.hpp"
#include "tests/case_name.hpp"

namespace lenstally {
namespace {

struct Outcome {
    int status;
    bool openWindow;
    std::string out;
    std::string err;
};

Outcome run(std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    const CliOutcome o = RunCommandLine(args, out, err);
    return {o.status, o.openWindow, out.str(), err.str()};
}

nlohmann::json jsonOf(const Outcome& r) {
    return nlohmann::json::parse(r.out);
}

TEST(CommandLine, json_after_start_up_shows_the_default_results) {
    const Outcome r = run({"--json"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(jsonOf(r), nlohmann::json::parse(R"({"txtFrameSize":"7.5",
        "lbPerBandwidth":" 2.25Mbps","lbTotalBandwidth":" 2.25Mbps",
        "lbStorageSize":" 149.688GB"})"));
}

TEST(CommandLine, no_option_asks_for_the_window) {
    const Outcome r = run({});
    EXPECT_TRUE(r.openWindow);
    EXPECT_EQ(r.out, "");
}

struct ScenarioCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    const char* frameSize;
    const char* perCamera;
    const char* total;
    const char* storage;
    friend void PrintTo(const ScenarioCase& c, std::ostream* os) { *os << c.name; }
};

class CommandLineScenario : public testing::TestWithParam<ScenarioCase> {};

TEST_P(CommandLineScenario, prints_what_the_window_shows) {
    const ScenarioCase& c = GetParam();
    std::vector<std::string> args = c.args;
    args.push_back("--json");
    const Outcome r = run(args);
    ASSERT_EQ(r.status, c.status) << r.err;
    const nlohmann::json j = jsonOf(r);
    EXPECT_EQ(j["txtFrameSize"], c.frameSize);
    EXPECT_EQ(j["lbPerBandwidth"], c.perCamera);
    EXPECT_EQ(j["lbTotalBandwidth"], c.total);
    EXPECT_EQ(j["lbStorageSize"], c.storage);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineScenario,
    testing::Values(
        ScenarioCase{"h264_cbr_16_cameras_30_days",
                     {"--stream", "h264", "--bitrate-mode", "cbr", "--bitrate", "2048",
                      "--cameras", "16", "--days", "30"},
                     0, "0.53571", " 2.048Mbps", " 32.768Mbps", " 11.679TB"},
        // Order matters: a typed frame size is overwritten by a later resolution click.
        ScenarioCase{"typed_then_clicked",
                     {"--frame-size", "10", "--resolution", "cif"},
                     0, "19.5", " 5.85Mbps", " 5.85Mbps", " 389.189GB"},
        ScenarioCase{"clicked_then_typed",
                     {"--resolution", "cif", "--frame-size", "10"},
                     0, "10", " 3Mbps", " 3Mbps", " 199.584GB"},
        ScenarioCase{"repeated_options_apply_in_turn",
                     {"--fps", "1", "--cameras", "3", "--fps", "030", "--cameras=2"},
                     0, "7.5", " 2.25Mbps", " 4.5Mbps", " 299.376GB"},
        ScenarioCase{"names_ignore_case",
                     {"--stream", "MPEG4", "--quality", "Low", "--resolution", "2CIF"},
                     0, "1.666668", "500.0004Kbps", " 500Kbps", " 33.264GB"},
        ScenarioCase{"negative_value_after_option", {"--days", "-1"},
                     0, "7.5", " 2.25Mbps", " 2.25Mbps", "-21384000KB"},
        ScenarioCase{"out_of_range_total", {"--cameras", "1e308"},
                     1, "7.5", " 2.25Mbps", "Out of range", "Out of range"},
        ScenarioCase{"empty_text", {"--cameras", ""},
                     0, "7.5", " 2.25Mbps", " 0Kbps", " 0KB"},
        // "=" and nothing is the empty text too; the next word stays an option of its own.
        ScenarioCase{"empty_text_after_equals", {"--cameras="},
                     0, "7.5", " 2.25Mbps", " 0Kbps", " 0KB"},
        ScenarioCase{"empty_days_then_an_action", {"--days=", "--stream", "h264"},
                     0, "0.53571", "160.713Kbps", " 160.713Kbps", " 0KB"}),
    testing_support::CaseName{});
// clang-format on

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    const char* mentions;
    friend void PrintTo(const UsageCase& c, std::ostream* os) { *os << c.name; }
};

class CommandLineUsage : public testing::TestWithParam<UsageCase> {};

TEST_P(CommandLineUsage, exits_2_with_one_line_and_no_output) {
    const Outcome r = run(GetParam().args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    EXPECT_NE(r.err.find(GetParam().mentions), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineUsage,
    testing::Values(UsageCase{"fps_too_high", {"--fps", "31"}, "--fps"},
                    UsageCase{"fps_zero", {"--fps", "0"}, "1 to 30"},
                    UsageCase{"hours_too_high", {"--hours", "25", "--json"}, "1 to 24"},
                    UsageCase{"gop_not_digits", {"--gop", "+5"}, "--gop"},
                    UsageCase{"gop_huge", {"--gop", "99999999999999999999999"}, "--gop"},
                    UsageCase{"unknown_stream", {"--stream", "mpeg2"}, "mjpeg, mpeg4, h264"},
                    UsageCase{"unknown_option", {"--colour", "red"}, "--colour"},
                    UsageCase{"missing_value", {"--days"}, "--days"},
                    UsageCase{"json_and_state", {"--json", "--state"}, "--state"},
                    // Bytes that are not UTF-8 are quoted as escapes, by CLI11's refusals too.
                    UsageCase{"word_not_utf8", {"\xff(", "--json"}, "expected: \\xff( (see"},
                    UsageCase{"stream_not_utf8", {"--stream", "\xc3("}, ": '\\xc3(' is not"}),
    testing_support::CaseName{});

TEST(CommandLine, help_and_version_win_wherever_they_stand) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--fps", "99", "--version"},
          std::vector<std::string>{"--bogus", "--version"}}) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, "Lenstally 1.00\n");
    }
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--json", "--help"},
                                                 std::vector<std::string>{"-h-days", "--json"}}) {
        const Outcome help = run(args);
        EXPECT_EQ(help.status, 0);
        EXPECT_NE(help.out.find("--bitrate-mode"), std::string::npos);
        EXPECT_NE(help.out.find("under the MIT licence"), std::string::npos);
    }
}

TEST(CommandLine, json_replaces_invalid_utf8) {
    const Outcome r = run({"--frame-size", "7\xff", "--json"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(jsonOf(r)["txtFrameSize"], "7\xEF\xBF\xBD");
}

TEST(CommandLine, state_lists_every_control_with_its_properties) {
    const Outcome r = run({"--state"});
    ASSERT_EQ(r.status, 0);
    const nlohmann::json j = jsonOf(r);
    EXPECT_EQ(j.size(), 52u);
    EXPECT_EQ(j["Form1"], nlohmann::json::parse(R"({"kind":"form","container":null,
        "visible":true,"left":0,"top":0,"width":9360,"height":8175,"caption":"Calculator "})"));
    EXPECT_EQ(j["optStream(0)"]["value"], true);
    EXPECT_EQ(j["optStream(0)"]["caption"], "Option1");
    EXPECT_EQ(j["optStream(0)"]["container"], "Frame1");
    EXPECT_EQ(j["cmbFPS"]["listIndex"], 29);
    EXPECT_EQ(j["cmbFPS"]["items"].size(), 30u);
    EXPECT_EQ(j["cmbFPS"]["items"][29], " 30");
    EXPECT_EQ(j["cmbQuality"]["items"], nlohmann::json::parse(R"(["Highest","Normal","Low"])"));
    EXPECT_EQ(j["txtDays"]["text"], "7");
    EXPECT_EQ(j["Label11"]["caption"], "Desired Storage (Number of Days) per Camera:\t");
    EXPECT_EQ(j["lbStorageSize"]["caption"], " 149.688GB");
    // The MJPEG layout after start-up.
    EXPECT_EQ(j["cmbFPS"]["left"], 2160);
    EXPECT_EQ(j["cmbBitrateMode"]["visible"], false);
    EXPECT_EQ(j["txtCameraCount"]["top"], 3720);
}

TEST(CommandLine, state_after_cbr_shows_the_cbr_layout) {
    const Outcome r = run({"--stream", "h264", "--bitrate-mode", "cbr", "--state"});
    ASSERT_EQ(r.status, 0);
    const nlohmann::json j = jsonOf(r);
    EXPECT_EQ(j["txtBPS"]["top"], 3240);
    EXPECT_EQ(j["txtBPS"]["visible"], true);
    EXPECT_EQ(j["txtFrameSize"]["visible"], false);
    EXPECT_EQ(j["txtCameraCount"]["top"], 3720);
    EXPECT_EQ(j["optStream(2)"]["value"], true);
    EXPECT_EQ(j["optStream(0)"]["value"], false);
}

} // namespace
} // namespace lenstally
