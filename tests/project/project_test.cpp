// SPDX-License-Identifier: MIT
#include "estimation/estimates.hpp"
#include "estimation/numeric_text.hpp"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

#include "cli/cli.hpp"
#include "project/project_reports.hpp"
#include "tests/case_name.hpp"

namespace lenstally {
namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome run(const std::vector<std::string>& args, const std::string& input = {}) {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const CliOutcome o = RunCommandLine(args, in, out, err);
    return {o.status, out.str(), err.str()};
}

// The project `text` from standard input, with `output` ("--json", "--csv" or nothing).
Outcome runProject(const std::string& text, const std::string& output = "--json") {
    std::vector<std::string> args{"--project", "-"};
    if (!output.empty()) {
        args.push_back(output);
    }
    return run(args, text);
}

std::string example(const char* name) {
    return std::string(LENSTALLY_SOURCE_DIR) + "/examples/" + name;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The rows of CSV output, split on commas; only for rows without quoted cells.
std::vector<std::vector<std::string>> plainCsv(const std::string& csv) {
    std::vector<std::vector<std::string>> rows;
    std::size_t start = 0;
    for (std::size_t end; (end = csv.find("\r\n", start)) != std::string::npos; start = end + 2) {
        std::vector<std::string> cells;
        std::stringstream line(csv.substr(start, end - start));
        for (std::string cell; std::getline(line, cell, ',');) {
            cells.push_back(cell);
        }
        if (!csv.empty() && csv[end - 1] == ',') {
            cells.emplace_back();
        }
        rows.push_back(cells);
    }
    EXPECT_EQ(start, csv.size()) << "every line ends in CRLF";
    return rows;
}

// The figures of one group must be what the single-scenario command line shows for the same
// actions, and its raw numbers must be the ones behind its captions.
void expectSameAsCommandLine(const nlohmann::json& group, std::vector<std::string> args,
                             const std::string& context) {
    args.push_back("--json");
    const Outcome single = run(args);
    ASSERT_NE(single.status, 2) << context << ": " << single.err;
    const nlohmann::json alone = nlohmann::json::parse(single.out);
    for (const char* key :
         {"txtFrameSize", "lbPerBandwidth", "lbTotalBandwidth", "lbStorageSize"}) {
        EXPECT_EQ(group[key], alone[key]) << context << ": " << key;
    }
    if (group["totalKbps"].is_null()) {
        EXPECT_EQ(group["lbTotalBandwidth"], "Out of range") << context;
    } else {
        EXPECT_EQ(TotalBandwidthCaption(group["totalKbps"].get<double>()),
                  group["lbTotalBandwidth"])
            << context;
    }
    if (group["storageKB"].is_null()) {
        EXPECT_EQ(group["lbStorageSize"], "Out of range") << context;
    } else {
        EXPECT_EQ(StorageCaption(group["storageKB"].get<double>()), group["lbStorageSize"])
            << context;
    }
}

struct GroupCase {
    const char* name;
    const char* group;             // the group's keys, without "name"
    std::vector<std::string> args; // the same actions for the command line, in the fixed order
    friend void PrintTo(const GroupCase& c, std::ostream* os) { *os << c.name; }
};

class ProjectGroupFigures : public testing::TestWithParam<GroupCase> {};

TEST_P(ProjectGroupFigures, equal_the_single_scenario_command_line) {
    const GroupCase& c = GetParam();
    const Outcome r = runProject(std::string(R"({"groups":[{"name":"g",)") + c.group + "}]}");
    ASSERT_NE(r.status, 2) << r.err;
    const Outcome single = run([&] {
        std::vector<std::string> args = c.args;
        args.push_back("--json");
        return args;
    }());
    EXPECT_EQ(r.status, single.status);
    expectSameAsCommandLine(nlohmann::json::parse(r.out)["groups"][0], c.args, c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProjectGroupFigures,
    testing::Values(
        GroupCase{"start_up", R"("cameras":"1")", {"--cameras", "1"}},
        GroupCase{
            "h264_cbr",
            R"("days":"30","cameras":16,"bitrate":"2048","bitrate-mode":"CBR","stream":"h264")",
            {"--stream", "h264", "--bitrate-mode", "cbr", "--cameras", "16", "--bitrate", "2048",
             "--days", "30"}},
        GroupCase{"mpeg4_vbr_every_list",
                  R"("hours":12,"gop":"015","fps":10,"quality":"low","resolution":"2cif",
                     "bitrate-mode":"vbr","stream":"MPEG4")",
                  {"--stream", "mpeg4", "--bitrate-mode", "vbr", "--resolution", "2cif",
                   "--quality", "low", "--fps", "10", "--gop", "015", "--hours", "12"}},
        GroupCase{"typed_frame_size_survives_a_later_resolution_key",
                  R"("frame-size":"10","resolution":"cif")",
                  {"--resolution", "cif", "--frame-size", "10"}},
        GroupCase{"numbers_as_shortest_text",
                  R"("cameras":1e3,"days":0.5,"frame-size":2.50)",
                  {"--frame-size", "2.5", "--cameras", "1000", "--days", "0.5"}},
        GroupCase{"text_beyond_a_double_is_typed", R"("cameras":"1e400")", {"--cameras", "1e400"}},
        GroupCase{"negative_days", R"("days":-1)", {"--days", "-1"}},
        GroupCase{"mjpeg_after_h264_keys",
                  R"("gop":5,"stream":"mjpeg","quality":"highest")",
                  {"--stream", "mjpeg", "--quality", "highest", "--gop", "5"}}),
    testing_support::CaseName{});

// Each group of the example projects against the command line, the way a user would check it.
TEST(ProjectExamples, every_group_matches_the_single_scenario_command_line) {
    for (const char* file : {"shop.json", "warehouse.json"}) {
        const Outcome r = run({"--project", example(file), "--json"});
        ASSERT_EQ(r.status, 0) << file << ": " << r.err;
        const nlohmann::json report = nlohmann::json::parse(r.out);
        const nlohmann::ordered_json project =
            nlohmann::ordered_json::parse(readFile(example(file)));
        ASSERT_EQ(report["groups"].size(), project["groups"].size());
        for (std::size_t i = 0; i < project["groups"].size(); ++i) {
            std::vector<std::string> args;
            for (const ActionDescription& a : Actions()) {
                const auto value = project["groups"][i].find(std::string(a.option));
                if (value != project["groups"][i].end()) {
                    args.push_back("--" + std::string(a.option));
                    args.push_back(value->is_string() ? value->get<std::string>() : value->dump());
                }
            }
            EXPECT_EQ(report["groups"][i]["name"].get<std::string>(),
                      project["groups"][i]["name"].get<std::string>());
            expectSameAsCommandLine(report["groups"][i], args,
                                    std::string(file) + " group " + std::to_string(i + 1));
        }
    }
}

struct TotalCase {
    const char* name;
    const char* groups;
    const char* bandwidth;
    const char* storage;
    std::optional<double> totalKbps;
    std::optional<double> storageKB;
    int status;
    friend void PrintTo(const TotalCase& c, std::ostream* os) { *os << c.name; }
};

class ProjectTotals : public testing::TestWithParam<TotalCase> {};

TEST_P(ProjectTotals, sum_each_figure_on_its_own) {
    const TotalCase& c = GetParam();
    const Outcome r = runProject(std::string(R"({"groups":[)") + c.groups + "]}");
    ASSERT_EQ(r.status, c.status) << r.err;
    const nlohmann::json total = nlohmann::json::parse(r.out)["total"];
    EXPECT_EQ(total["bandwidth"], c.bandwidth);
    EXPECT_EQ(total["storage"], c.storage);
    if (c.totalKbps) {
        EXPECT_EQ(total["totalKbps"], *c.totalKbps);
    } else {
        EXPECT_TRUE(total["totalKbps"].is_null()) << total;
    }
    if (c.storageKB) {
        EXPECT_EQ(total["storageKB"], *c.storageKB);
    } else {
        EXPECT_TRUE(total["storageKB"].is_null()) << total;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProjectTotals,
    testing::Values(TotalCase{"no_groups", "", " 0Kbps", " 0KB", 0.0, 0.0, 0},
                    TotalCase{"two_groups", R"({"name":"a"},{"name":"b","cameras":"2"})",
                              " 6.75Mbps", " 449.064GB", 6750.0, 449064000.0, 0},
                    // 2250 + 4500 + 16 * 2048 Kbps; the storage caption rounds only the sum.
                    TotalCase{"three_groups_mixed_streams",
                              R"({"name":"a"},{"name":"b","cameras":"2"},
                     {"name":"c","stream":"h264","bitrate-mode":"cbr","bitrate":"2048",
                      "cameras":"16","days":"30"})",
                              " 39.518Mbps", " 12.128TB", 39518.0, 12127579200.0, 0},
                    TotalCase{"out_of_range_group_spoils_both_totals",
                              R"({"name":"a"},{"name":"b","cameras":"1e308"},{"name":"c"})",
                              "Out of range", "Out of range", std::nullopt, std::nullopt, 1},
                    TotalCase{"storage_out_of_range_leaves_bandwidth",
                              R"({"name":"a"},{"name":"b","days":"1e308"})", " 4.5Mbps",
                              "Out of range", 4500.0, std::nullopt, 1},
                    // Each group's storage is finite; their sum is not.
                    TotalCase{"storage_sum_beyond_a_double",
                              R"({"name":"a","days":"5e300"},{"name":"b","days":"5e300"})",
                              " 4.5Mbps", "Out of range", 4500.0, std::nullopt, 1},
                    TotalCase{"bandwidth_sum_beyond_a_double",
                              R"({"name":"a","cameras":"5e304","days":"0"},
                     {"name":"b","cameras":"5e304","days":"0"})",
                              "Out of range", "Out of range", std::nullopt, std::nullopt, 1},
                    // 449064000.00000006 for three cameras, less 149688000 for minus one.
                    TotalCase{"negative_group_subtracts",
                              R"({"name":"a","cameras":"3"},{"name":"b","cameras":"-1"})",
                              " 4.5Mbps", " 299.376GB", 4500.0, 299376000.00000006, 0}),
    testing_support::CaseName{});

TEST(Project, key_order_does_not_matter) {
    const std::vector<std::string> orders{
        R"("stream":"h264","resolution":"cif","fps":12,"frame-size":"10","cameras":"3")",
        R"("frame-size":"10","cameras":"3","fps":12,"resolution":"cif","stream":"h264")",
        R"("cameras":"3","fps":12,"stream":"h264","frame-size":"10","resolution":"cif")",
    };
    std::vector<std::string> outputs;
    for (const std::string& keys : orders) {
        const Outcome r = runProject(R"({"groups":[{)" + keys + R"(,"name":"g"}]})", "--csv");
        ASSERT_EQ(r.status, 0) << r.err;
        outputs.push_back(r.out);
    }
    EXPECT_EQ(outputs[1], outputs[0]);
    EXPECT_EQ(outputs[2], outputs[0]);
    EXPECT_EQ(plainCsv(outputs[0]).at(1).at(8), "10") << "the typed frame size is kept";
}

TEST(Project, numbers_for_text_keys_are_typed_as_their_shortest_text) {
    const Outcome r = runProject(R"({"groups":[
        {"name":"a","cameras":16}, {"name":"b","cameras":1e3}, {"name":"c","cameras":0.1},
        {"name":"d","cameras":2.50}, {"name":"e","cameras":-0.0}, {"name":"f","cameras":1E-7},
        {"name":"g","cameras":9007199254740993}, {"name":"h","cameras":"1e400"},
        {"name":"i","cameras":123456789012345678901234567890}]})",
                                 "--csv");
    ASSERT_EQ(r.status, 1) << r.err; // "1e400" cameras read out of range
    const std::vector<std::string> expected{"16",    "1000",
                                            "0.1",   "2.5",
                                            "'-0", // a text cell, so never a formula
                                            "1e-07", "9007199254740992",
                                            "1e400", "1.2345678901234568e+29"};
    const auto rows = plainCsv(r.out);
    ASSERT_EQ(rows.size(), expected.size() + 2);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(rows[i + 1].at(9), expected[i]) << rows[i + 1].at(0);
    }
}

TEST(Project, csv_quotes_only_the_cells_that_need_it) {
    const Outcome r = runProject(R"({"name":"x","groups":[
        {"name":"Dock, north \"B\"","cameras":"2"},
        {"name":"Gate","days":"7,5"},
        {"name":"two\nlines","cameras":"1e308"}]})",
                                 "--csv");
    ASSERT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out,
              "name,stream,bitrate-mode,resolution,quality,fps,gop,hours,frame-size,cameras,"
              "bitrate,days,activity,per-camera,total-bandwidth,storage,total-kbps,storage-kb,"
              "camera,pixels,ppm,level\r\n"
              "\"Dock, north \"\"B\"\"\",mjpeg,vbr,qcif,highest,30,1,24,7.5,2,256,7,100, 2.25Mbps,"
              " 4.5Mbps, 299.376GB,4500,299376000,,,,\r\n"
              "Gate,mjpeg,vbr,qcif,highest,30,1,24,7.5,1,256,\"7,5\",100, 2.25Mbps, 2.25Mbps,"
              " 149.688GB,2250,149688000,,,,\r\n"
              "\"two\nlines\",mjpeg,vbr,qcif,highest,30,1,24,7.5,1e308,256,7,100, 2.25Mbps,"
              "Out of range,Out of range,,,,,,\r\n"
              "TOTAL,,,,,,,,,,,,,,Out of range,Out of range,,,,,,\r\n");
}

// A text cell a spreadsheet would run as a formula gets a leading apostrophe: the name, every
// typed input and the captions, even one that reads as a number. Raw numbers stay as they are,
// and so does the JSON report.
TEST(Project, csv_text_cells_never_run_as_formulas) {
    const std::string project = R"j({"groups":[
        {"name":"=HYPERLINK(\"http://x\",\"y\")","cameras":"-3","bitrate":"=1+2","days":"@1"},
        {"name":"\tTab","frame-size":"+5","camera":"-cam"}]})j";
    const Outcome r = runProject(project, "--csv");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(r.out.find("\r\n") + 2),
              "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\",mjpeg,vbr,qcif,highest,30,1,24,7.5,'-3,"
              "'=1+2,'@1,100, 2.25Mbps,'-6750Kbps, 0KB,-6750,-0,,,,\r\n"
              "'\tTab,mjpeg,vbr,qcif,highest,30,1,24,'+5,1,256,7,100, 1.5Mbps, 1.5Mbps, 99.792GB,"
              "1500,99792000.00000001,'-cam,,,\r\n"
              "TOTAL,,,,,,,,,,,,,,'-5250Kbps, 99.792GB,-5250,99792000.00000001,,,,\r\n");
    EXPECT_EQ(nlohmann::json::parse(runProject(project).out)["groups"][0]["name"],
              "=HYPERLINK(\"http://x\",\"y\")");
}

// The largest drive a message names is allowed, and the next number up is not.
TEST(Project, the_largest_drive_named_is_allowed) {
    auto withDrive = [](const std::string& drive) {
        return runProject(R"({"groups":[],"storage":{"drive":")" + drive + "\"}}");
    };
    for (const std::string unit : {"TB", "GB", "TiB", "GiB"}) {
        const std::string err = withDrive("1e310 " + unit).err;
        const std::string::size_type at = err.find("allowed is ");
        ASSERT_NE(at, std::string::npos) << err;
        const std::string largest = err.substr(at + 11, err.find(' ', at + 11) - at - 11);
        EXPECT_EQ(withDrive(largest + " " + unit).status, 0) << err;
        const double next = std::nextafter(std::stod(largest), HUGE_VAL);
        EXPECT_EQ(withDrive(ShortestText(next) + " " + unit).status, 2) << ShortestText(next);
    }
}

TEST(Project, table_lists_groups_and_totals) {
    const Outcome r = runProject(
        R"({"name":"Shop","groups":[{"name":"Door","cameras":"2"},{"name":"Till"}]})", "");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Project: Shop\n\n"
                     "Group  Cameras  Frame size (KB)  Per camera  Total bandwidth  Storage\n"
                     "Door   2        7.5               2.25Mbps    4.5Mbps          299.376GB\n"
                     "Till   1        7.5               2.25Mbps    2.25Mbps         149.688GB\n"
                     "TOTAL                                         6.75Mbps         449.064GB\n");
}

TEST(Project, json_report_has_every_field) {
    const Outcome r = runProject(R"({"groups":[{"name":"Door"}]})");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, R"({"name":null,"groups":[{"name":"Door","activity":100,"txtFrameSize":"7.5",)"
                     R"("lbPerBandwidth":" 2.25Mbps","lbTotalBandwidth":" 2.25Mbps",)"
                     R"("lbStorageSize":" 149.688GB","totalKbps":2250,"storageKB":149688000}],)"
                     R"("total":{"bandwidth":" 2.25Mbps","storage":" 149.688GB",)"
                     R"("totalKbps":2250,"storageKB":149688000}})"
                     "\n");
}

// Groups that make the same selections start from a kept state; more kinds than are kept, in
// an order that returns to earlier kinds, must still each match the command line.
TEST(Project, groups_sharing_selections_match_the_command_line) {
    const char* const streams[] = {"mjpeg", "mpeg4", "h264"};
    std::string text = R"({"groups":[)";
    std::vector<std::vector<std::string>> args;
    for (int i = 0; i < 90; ++i) {
        const int kind = i < 75 ? i : i % 7;
        const std::string stream = streams[kind % 3];
        const std::string fps = std::to_string(1 + kind % 30);
        const std::string cameras = std::to_string(1 + i);
        text += i > 0 ? "," : "";
        text += R"({"name":"g","cameras":)" + cameras + R"(,"fps":)" + fps + R"(,"stream":")" +
                stream + R"(")";
        text += i % 4 == 0 ? R"(,"frame-size":"3.5"})" : "}";
        args.push_back({"--stream", stream, "--fps", fps});
        if (i % 4 == 0) {
            args.back().insert(args.back().end(), {"--frame-size", "3.5"});
        }
        args.back().insert(args.back().end(), {"--cameras", cameras});
    }
    const Outcome r = runProject(text + "]}");
    ASSERT_EQ(r.status, 0) << r.err;
    const nlohmann::json groups = nlohmann::json::parse(r.out)["groups"];
    ASSERT_EQ(groups.size(), args.size());
    for (std::size_t i = 0; i < args.size(); ++i) {
        expectSameAsCommandLine(groups[i], args[i], "group " + std::to_string(i + 1));
    }
}

struct BadCase {
    const char* name;
    const char* input;
    const char* message; // the whole line after "lenstally: standard input: "
    friend void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }
};

class ProjectBadInput : public testing::TestWithParam<BadCase> {};

TEST_P(ProjectBadInput, exits_2_with_one_line_and_no_output) {
    for (const char* output : {"", "--json", "--csv"}) {
        const Outcome r = runProject(GetParam().input, output);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, std::string("lenstally: standard input: ") + GetParam().message + "\n");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProjectBadInput,
    testing::Values(
        BadCase{"empty", "",
                "invalid JSON at line 1, column 1: syntax error while parsing value - unexpected "
                "end of input; expected '[', '{', or a literal"},
        BadCase{"syntax_error_on_line_3", "{\n  \"groups\": [\n    {\"name\": \"a\",, }\n  ]\n}",
                "invalid JSON at line 3, column 18: syntax error while parsing object key - "
                "unexpected ','; expected string literal"},
        BadCase{"trailing_text", "{\"groups\":[]} x",
                "invalid JSON at line 1, column 15: syntax error while parsing value - invalid "
                "literal; last read: '\"groups\":[]} x'; expected end of input"},
        // Bytes that are not UTF-8 are quoted as escapes, so the message is valid UTF-8.
        BadCase{"group_name_not_utf8", "{\"groups\":[{\"name\":\"\xC3(\"}]}",
                "invalid JSON at line 1, column 22: syntax error while parsing value - invalid "
                "string: ill-formed UTF-8 byte; last read: '\"\\xc3('"},
        BadCase{"group_key_not_utf8", "{\"groups\":[{\"name\":\"a\",\"\xC3(\":1}]}",
                "invalid JSON at line 1, column 26: syntax error while parsing object key - "
                "invalid string: ill-formed UTF-8 byte; last read: '\"\\xc3('; expected string "
                "literal"},
        BadCase{"number_beyond_a_double", "{\"groups\":[{\"name\":\"a\",\n \"cameras\": 1e400}]}",
                "line 2, column 13: the number 1e400 is beyond the range of a double; write it "
                "as a string to type it as text"},
        BadCase{"not_an_object", "[]",
                "a project is a JSON object with \"groups\" (and \"name\", \"storage\", "
                "\"recorder\", \"site\")"},
        BadCase{"no_groups", R"({"name":"x"})", "the project has no \"groups\""},
        BadCase{"groups_not_an_array", R"({"groups":{}})", "\"groups\" must be an array"},
        BadCase{"groups_twice", R"({"groups":[],"groups":[]})", "\"groups\" is given twice"},
        BadCase{"unknown_top_level_key", R"({"groups":[],"plan":"x"})",
                "unknown key \"plan\" in the project; allowed keys are name, groups, storage, "
                "recorder, site"},
        BadCase{"project_name_not_text", R"({"name":7,"groups":[]})",
                "the project's \"name\" must be a string"},
        BadCase{"group_not_an_object", R"({"groups":[{"name":"a"},"b"]})",
                "group 2 is not an object"},
        BadCase{"group_without_a_name", R"({"groups":[{"name":"a"},{"cameras":"3"}]})",
                "group 2 has no \"name\""},
        BadCase{"group_name_not_text", R"({"groups":[{"name":null}]})",
                "group 1: \"name\" must be a string"},
        BadCase{"unknown_group_key", R"({"groups":[{"name":"Dock","colour":"red"}]})",
                "group 1 \"Dock\": unknown key \"colour\"; allowed keys are name, stream, "
                "bitrate-mode, resolution, quality, fps, gop, hours, frame-size, cameras, "
                "bitrate, days, activity, camera, pixels, view, placements"},
        BadCase{"stream_outside_its_list", R"({"groups":[{"name":"Dock","stream":"xvid"}]})",
                "group 1 \"Dock\": \"stream\" is \"xvid\"; allowed values are mjpeg, mpeg4, h264"},
        BadCase{"bitrate_mode_outside_its_list",
                R"({"groups":[{"name":"a"},{"name":"B","bitrate-mode":"abr"}]})",
                "group 2 \"B\": \"bitrate-mode\" is \"abr\"; allowed values are vbr, cbr"},
        BadCase{"fps_too_high", R"({"groups":[{"name":"a","fps":31}]})",
                "group 1 \"a\": \"fps\" is 31; allowed values are whole numbers from 1 to 30"},
        BadCase{"hours_not_whole", R"({"groups":[{"name":"a","hours":7.0}]})",
                "group 1 \"a\": \"hours\" is 7.0; allowed values are whole numbers from 1 to 24"},
        BadCase{"gop_text_not_digits", R"({"groups":[{"name":"a","gop":" 5"}]})",
                "group 1 \"a\": \"gop\" is \" 5\"; allowed values are whole numbers from 1 to 30"},
        BadCase{"quality_not_text", R"({"groups":[{"name":"a","quality":1}]})",
                "group 1 \"a\": \"quality\" must be a string"},
        BadCase{"days_not_text_or_number", R"({"groups":[{"name":"a","days":[7]}]})",
                "group 1 \"a\": \"days\" must be a string or a number"},
        BadCase{"fps_boolean", R"({"groups":[{"name":"a","fps":true}]})",
                "group 1 \"a\": \"fps\" must be a whole number or a string of digits"},
        BadCase{"group_key_twice", R"({"groups":[{"name":"a","days":"7","days":"8"}]})",
                "group 1 \"a\": \"days\" is given twice"},
        BadCase{"project_name_twice", R"({"name":"a","groups":[],"name":"b"})",
                "\"name\" is given twice"},
        BadCase{"activity_above_100", R"({"groups":[{"name":"a","activity":100.5}]})",
                "group 1 \"a\": \"activity\" is 100.5; allowed values are numbers from 0 to 100"},
        BadCase{"activity_with_a_percent_sign", R"({"groups":[{"name":"a","activity":"35%"}]})",
                "group 1 \"a\": \"activity\" is \"35%\"; allowed values are numbers from 0 to 100"},
        BadCase{"storage_not_an_object", R"({"groups":[],"storage":"8 TB"})",
                "\"storage\" must be an object"},
        BadCase{"storage_without_drive", R"({"groups":[],"storage":{"raid":5}})",
                "storage has no \"drive\" (the size of one drive)"},
        BadCase{
            "drive_unit_unknown", R"({"groups":[],"storage":{"drive":"8 PB"}})",
            "storage: \"drive\" is \"8 PB\"; allowed values are a number of TB above 0, or a "
            "text NUMBER UNIT with the unit TB, GB, TiB or GiB, such as \"8 TB\" or \"960 GB\""},
        BadCase{
            "drive_without_unit", R"({"groups":[],"storage":{"drive":"8"}})",
            "storage: \"drive\" is \"8\"; allowed values are a number of TB above 0, or a "
            "text NUMBER UNIT with the unit TB, GB, TiB or GiB, such as \"8 TB\" or \"960 GB\""},
        BadCase{"drive_too_large", R"({"groups":[],"storage":{"drive":"1e300 TB"}})",
                "storage: \"drive\" is \"1e300 TB\", which is too large; the largest value "
                "allowed is 1.7976931348623156e+299 TB"},
        BadCase{"drive_number_too_large", R"({"groups":[],"storage":{"drive":1e303}})",
                "storage: \"drive\" is 1e303, which is too large; the largest value allowed is "
                "1.7976931348623156e+299 TB"},
        BadCase{"drive_in_gib_too_large", R"({"groups":[],"storage":{"drive":"1e303 GiB"}})",
                "storage: \"drive\" is \"1e303 GiB\", which is too large; the largest value "
                "allowed is 1.6742321987285425e+302 GiB"},
        BadCase{"drive_below_the_smallest_double",
                R"({"groups":[],"storage":{"drive":"-1e400 TB"}})",
                "storage: \"drive\" is \"-1e400 TB\"; allowed values are a number of TB above 0, "
                "or a text NUMBER UNIT with the unit TB, GB, TiB or GiB, such as \"8 TB\" or "
                "\"960 GB\""},
        BadCase{"raid_level_unknown", R"({"groups":[],"storage":{"drive":8,"raid":"4"}})",
                "storage: \"raid\" is \"4\"; allowed values are 0, 1, 5, 6, 10"},
        BadCase{"array_width_for_raid10",
                R"({"groups":[],"storage":{"drive":8,"array-width":4,"raid":10}})",
                "storage: \"array-width\" is given for RAID 10; it applies to RAID 5 and 6 only"},
        BadCase{"array_width_too_small_for_raid6",
                R"({"groups":[],"storage":{"drive":8,"raid":6,"array-width":3}})",
                "storage: \"array-width\" is 3; allowed values are whole numbers from 4 to "
                "1000000000 for RAID 6"},
        BadCase{"overhead_100", R"({"groups":[],"storage":{"drive":8,"overhead":100}})",
                "storage: \"overhead\" is 100; allowed values are numbers from 0 to under 100 "
                "(percent)"},
        BadCase{"fill_0", R"({"groups":[],"storage":{"drive":8,"fill":"0"}})",
                "storage: \"fill\" is \"0\"; allowed values are numbers above 0 up to 100 "
                "(percent)"},
        BadCase{"drives_below_the_minimum",
                R"({"groups":[],"storage":{"drive":8,"raid":6,"spares":1,"drives":4}})",
                "storage: \"drives\" is 4; RAID 6 with 1 spare needs at least 5 drives"},
        BadCase{"drives_that_do_not_split",
                R"({"groups":[],"storage":{"drive":8,"raid":5,"array-width":3,"drives":7}})",
                "storage: \"drives\" is 7; 7 active drives do not split into RAID 5 arrays of at "
                "most 3 drives with at least 3 in each; RAID 5 with 0 spares needs at least 3 "
                "drives, and the next valid count is 9"},
        BadCase{"unknown_storage_key", R"({"groups":[],"storage":{"drive":8,"disks":4}})",
                "storage: unknown key \"disks\"; allowed keys are drive, raid, array-width, "
                "spares, overhead, fill, drives"},
        BadCase{"storage_key_twice", R"({"groups":[],"storage":{"drive":8,"raid":1,"raid":5}})",
                "storage: \"raid\" is given twice"},
        BadCase{"channels_not_whole", R"({"groups":[],"recorder":{"channels":16.5}})",
                "recorder: \"channels\" is 16.5; allowed values are whole numbers from 1 to "
                "1000000000"},
        BadCase{"mbps_too_large", R"({"groups":[],"recorder":{"mbps":"1e400"}})",
                "recorder: \"mbps\" is \"1e400\", which is too large; the largest value allowed "
                "is 1.7976931348623157e+308"},
        BadCase{"spares_too_large", R"({"groups":[],"storage":{"drive":8,"spares":"10000000000"}})",
                "storage: \"spares\" is \"10000000000\", which is too large; the largest value "
                "allowed is 1000000000"},
        BadCase{"mbps_zero", R"({"groups":[],"recorder":{"mbps":0}})",
                "recorder: \"mbps\" is 0; allowed values are numbers above 0"},
        BadCase{"bays_without_storage", R"({"groups":[],"recorder":{"bays":8}})",
                "recorder: \"bays\" needs a \"storage\" section (the drives to place)"},
        BadCase{"camera_not_text", R"({"groups":[{"name":"Gate","camera":7}]})",
                "group 1 \"Gate\": \"camera\" must be a string"},
        BadCase{
            "pixels_zero", R"({"groups":[{"name":"Gate","pixels":0}]})",
            "group 1 \"Gate\": \"pixels\" is 0; allowed values are whole numbers from 1 to 100000"},
        BadCase{"pixels_above_100000", R"({"groups":[{"name":"Gate","pixels":"100001"}]})",
                "group 1 \"Gate\": \"pixels\" is \"100001\"; allowed values are whole numbers from "
                "1 to 100000"},
        BadCase{"pixels_not_whole", R"({"groups":[{"name":"Gate","pixels":1920.0}]})",
                "group 1 \"Gate\": \"pixels\" is 1920.0; allowed values are whole numbers from 1 "
                "to 100000"},
        BadCase{"view_not_an_object", R"({"groups":[{"name":"Gate","view":[10,90]}]})",
                "group 1 \"Gate\": \"view\" must be an object"},
        BadCase{"view_unknown_key",
                R"({"groups":[{"name":"Gate","view":{"distance":10,"zoom":2}}]})",
                "group 1 \"Gate\": view: unknown key \"zoom\"; allowed keys are distance, hfov, "
                "focal, sensor"},
        BadCase{"view_key_twice",
                R"({"groups":[{"name":"Gate","view":{"distance":10,"hfov":90,"hfov":60}}]})",
                "group 1 \"Gate\": view: \"hfov\" is given twice"},
        BadCase{"view_without_distance", R"({"groups":[{"name":"Gate","view":{"hfov":90}}]})",
                "group 1 \"Gate\": view has no \"distance\" (metres to the target)"},
        BadCase{"view_without_lens", R"({"groups":[{"name":"Gate","view":{"distance":10}}]})",
                "group 1 \"Gate\": view has no lens; give \"hfov\", or \"focal\" and \"sensor\""},
        BadCase{"view_with_two_lenses",
                R"({"groups":[{"name":"Gate","view":{"distance":10,"hfov":90,"focal":4}}]})",
                "group 1 \"Gate\": view has two lenses; give \"hfov\", or \"focal\" and "
                "\"sensor\", not both"},
        BadCase{"view_focal_without_sensor",
                R"({"groups":[{"name":"Gate","view":{"distance":10,"focal":4}}]})",
                "group 1 \"Gate\": view has \"focal\" but no \"sensor\"; give \"hfov\", or "
                "\"focal\" and \"sensor\""},
        BadCase{"view_sensor_without_focal",
                R"({"groups":[{"name":"Gate","view":{"distance":10,"sensor":4}}]})",
                "group 1 \"Gate\": view has \"sensor\" but no \"focal\"; give \"hfov\", or "
                "\"focal\" and \"sensor\""},
        BadCase{"view_distance_too_near",
                R"({"groups":[{"name":"Gate","view":{"distance":0.0099,"hfov":90}}]})",
                "group 1 \"Gate\": view: \"distance\" is 0.0099; allowed values are numbers from "
                "0.01 to 100000 (metres)"},
        BadCase{"view_distance_too_far",
                R"({"groups":[{"name":"Gate","view":{"distance":"100000.5","hfov":90}}]})",
                "group 1 \"Gate\": view: \"distance\" is \"100000.5\"; allowed values are numbers "
                "from 0.01 to 100000 (metres)"},
        BadCase{"view_hfov_180",
                R"({"groups":[{"name":"Gate","view":{"distance":10,"hfov":180}}]})",
                "group 1 \"Gate\": view: \"hfov\" is 180; allowed values are numbers from 0.01 to "
                "under 180 (degrees)"},
        BadCase{"view_hfov_too_narrow",
                R"({"groups":[{"name":"Gate","view":{"distance":10,"hfov":0.0099}}]})",
                "group 1 \"Gate\": view: \"hfov\" is 0.0099; allowed values are numbers from 0.01 "
                "to under 180 (degrees)"},
        BadCase{"view_hfov_not_a_number",
                R"({"groups":[{"name":"Gate","view":{"distance":10,"hfov":true}}]})",
                "group 1 \"Gate\": view: \"hfov\" must be a number or a string holding one"},
        BadCase{"view_focal_zero",
                R"({"groups":[{"name":"Gate","view":{"distance":10,"focal":0,"sensor":5}}]})",
                "group 1 \"Gate\": view: \"focal\" is 0; allowed values are numbers from 0.01 to "
                "1000 (mm)"},
        BadCase{"view_sensor_above_1000",
                R"({"groups":[{"name":"Gate","view":{"distance":10,"focal":4,"sensor":"1e4"}}]})",
                "group 1 \"Gate\": view: \"sensor\" is \"1e4\"; allowed values are numbers from "
                "0.01 to 1000 (mm)"}),
    testing_support::CaseName{});

// Only white space may follow a project's JSON value: a NUL byte, where JSON parsers often stop
// reading, is refused like any other byte.
TEST(Project, nothing_but_white_space_follows_the_json_value) {
    const std::string project = "{\"groups\":[]}\n";
    EXPECT_EQ(runProject(project + " \t\r\n").status, 0);
    for (const std::string& tail :
         {std::string(1, '\0'), std::string("\0{\"groups\":[]}", 14), std::string(" \0x", 3)}) {
        const Outcome r = runProject(project + tail);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "lenstally: standard input: invalid JSON at line 2, column " +
                             std::to_string(tail.find('\0') + 1) +
                             ": a NUL byte after the JSON value; only white space may follow it\n");
    }
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    const char* message;
    friend void PrintTo(const UsageCase& c, std::ostream* os) { *os << c.name; }
};

class ProjectUsage : public testing::TestWithParam<UsageCase> {};

TEST_P(ProjectUsage, exits_2_with_one_line_and_no_output) {
    const Outcome r = run(GetParam().args, R"({"groups":[]})");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, std::string("lenstally: ") + GetParam().message + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProjectUsage,
    testing::Values(
        UsageCase{"with_an_action",
                  {"--project", "-", "--cameras", "3"},
                  "--project cannot be combined with actions or --state; give each group's "
                  "actions in the project file"},
        UsageCase{"with_state",
                  {"--state", "--project", "-"},
                  "--project cannot be combined with actions or --state; give each group's "
                  "actions in the project file"},
        UsageCase{"csv_without_project",
                  {"--csv"},
                  "--csv writes a project report and needs --project FILE"},
        UsageCase{"csv_with_actions",
                  {"--cameras", "2", "--csv"},
                  "--csv writes a project report and needs --project FILE"},
        UsageCase{"json_and_csv",
                  {"--project", "-", "--json", "--csv"},
                  "--json and --csv cannot be used together; choose one output"},
        UsageCase{"svg_without_a_site",
                  {"--project", "-", "--svg"},
                  "standard input: --svg draws the site plan, and the project has no \"site\""},
        UsageCase{"svg_and_json",
                  {"--project", "-", "--svg", "--json"},
                  "--svg cannot be used with --json or --csv; choose one output"},
        UsageCase{"svg_without_project",
                  {"--svg", "plan.svg"},
                  "--svg draws a project's site plan and needs --project FILE"},
        UsageCase{"missing_file",
                  {"--project", "/nonexistent/site.json"},
                  "/nonexistent/site.json: cannot read the project: No such file or directory"},
        UsageCase{"directory", {"--project", "/"}, "/: cannot read the project: Is a directory"}),
    testing_support::CaseName{});

// Every figure of the example's plan, worked out by hand from the assumptions it prints.
TEST(ProjectPlan, example_figures_follow_from_the_printed_assumptions) {
    const Outcome r = run({"--project", example("distribution-centre.json"), "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const nlohmann::json report = nlohmann::json::parse(r.out);
    const nlohmann::json& plan = report["storagePlan"];
    // 8 TB x 98 % x 95 % = 7.448 TB per data drive; 45.039 TB need 7 data drives, 9 active in
    // RAID 6, 10 with the spare. 12 installed: 11 active, 9 data drives, 67.032 TB.
    EXPECT_EQ(plan["drivesNeeded"], 10);
    EXPECT_EQ(plan["usableKB"], 67032000000.0);
    EXPECT_EQ(plan["usable"], " 67.032TB");
    EXPECT_EQ(plan["fits"], true);
    EXPECT_EQ(plan["daysThatFit"], std::floor(67032000000.0 / plan["dailyKB"].get<double>()));
    EXPECT_EQ(plan["daysThatFit"], 44);
    // 78 cameras at 32 per recorder need 3; 265.851 Mbps at 320 need 1; 10 drives at 8 need 2.
    EXPECT_EQ(report["recorders"]["needed"], 3);
    EXPECT_EQ(report["recorders"]["decidedBy"], "channels");

    const Outcome table = run({"--project", example("distribution-centre.json")});
    for (const char* line : {"  Drive size:          8 TB (7.276 TiB)\n",
                             "  Net per data drive:  drive size x (100 - overhead) % x fill % = "
                             "7.448TB\n",
                             "  Days that fit:       44 (", "  Recorders needed:      3 ("}) {
        EXPECT_NE(table.out.find(line), std::string::npos) << line << "\n" << table.out;
    }
}

TEST(ProjectPlan, activity_scales_the_storage_and_one_day_comes_from_the_days_box_holding_1) {
    // One camera for 7 days records 149688000 KB, one day 21384000 KB.
    const Outcome r = runProject(R"({"groups":[
        {"name":"a","activity":7}, {"name":"b","activity":"33.3"}, {"name":"c","activity":0},
        {"name":"d","activity":"100"}, {"name":"e","days":"0"}],
        "storage":{"drive":"1 TB","drives":1}})");
    ASSERT_EQ(r.status, 0) << r.err;
    const nlohmann::json report = nlohmann::json::parse(r.out);
    const nlohmann::json& groups = report["groups"];
    EXPECT_EQ(groups[0]["storageKB"], 10478160.000000002); // 149688000 * (7 / 100.0)
    EXPECT_EQ(groups[1]["storageKB"], 49846103.99999999);
    EXPECT_EQ(groups[2]["lbStorageSize"], " 0KB");
    EXPECT_EQ(groups[3]["storageKB"], 149688000);
    EXPECT_EQ(groups[3]["lbTotalBandwidth"], groups[2]["lbTotalBandwidth"]);
    // 21384000 * 0.07 + 21384000 * 0.333 + 0 + 21384000 + 21384000 (the group kept 0 days still
    // records a day); 1 TB holds 19 such days.
    EXPECT_EQ(report["storagePlan"]["dailyKB"], 51385752.0);
    EXPECT_EQ(report["storagePlan"]["daysThatFit"], 19);
}

struct PlanStatusCase {
    const char* name;
    const char* project;
    int status;
    const char* figure; // a storagePlan or recorders key, or "fits"
    nlohmann::json value;
    friend void PrintTo(const PlanStatusCase& c, std::ostream* os) { *os << c.name; }
};

class ProjectPlanStatus : public testing::TestWithParam<PlanStatusCase> {};

TEST_P(ProjectPlanStatus, is_1_only_where_a_plan_figure_is_out_of_range) {
    const PlanStatusCase& c = GetParam();
    const Outcome r = runProject(c.project);
    ASSERT_EQ(r.status, c.status) << r.err;
    const nlohmann::json report = nlohmann::json::parse(r.out);
    const nlohmann::json& section =
        report.contains("recorders") ? report["recorders"] : report["storagePlan"];
    EXPECT_EQ(section[c.figure], c.value) << r.out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProjectPlanStatus,
    testing::Values(PlanStatusCase{"does_not_fit",
                                   R"({"groups":[{"name":"a","days":"1000"}],
                           "storage":{"drive":"0.1 TB","raid":1,"drives":2}})",
                                   0, "fits", false},
                    PlanStatusCase{"needs_more_than_a_million_drives",
                                   R"({"groups":[{"name":"a","cameras":"1e9","days":"1000"}],
                           "storage":{"drive":"1 GB"}})",
                                   1, "drivesNeeded", nullptr},
                    PlanStatusCase{"nothing_recorded_fits_unlimited_days",
                                   R"({"groups":[{"name":"a","activity":0}],
                           "storage":{"drive":1,"drives":1}})",
                                   0, "daysThatFitText", "unlimited"},
                    PlanStatusCase{"negative_storage_days_out_of_range",
                                   R"({"groups":[{"name":"a","cameras":"-1"}],
                           "storage":{"drive":1,"drives":1}})",
                                   1, "daysThatFitText", "Out of range"},
                    PlanStatusCase{
                        "negative_cameras_per_recorder",
                        R"({"groups":[{"name":"a","cameras":"-1"}],"recorder":{"channels":8}})", 1,
                        "needed", nullptr}),
    testing_support::CaseName{});

TEST(Project, reads_a_file_and_standard_input_alike) {
    const std::string path = example("warehouse.json");
    const Outcome fromFile = run({"--project", path, "--csv"});
    const Outcome fromInput = run({"--project", "-", "--csv"}, readFile(path));
    EXPECT_EQ(fromFile.status, 0) << fromFile.err;
    EXPECT_EQ(fromFile.out, fromInput.out);
    EXPECT_FALSE(fromFile.out.empty());
}

// A view with its own pixel width and a camera name, one with the resolution's width that meets
// no level, and a group without either: every report says the same, to the last bit.
TEST(ProjectView, json_csv_and_table_show_the_same_figures) {
    const std::string project =
        R"({"groups":[{"name":"Gate","camera":"Bullet 4K","pixels":1920,
                       "view":{"distance":10,"hfov":90}},
                      {"name":"Yard","resolution":"cif",
                       "view":{"distance":"20","focal":2.8,"sensor":5.37}},
                      {"name":"Door"}]})";
    const Outcome json = runProject(project);
    ASSERT_EQ(json.status, 0) << json.err;
    const std::string gate = R"("storageKB":149688000,"camera":"Bullet 4K","pixels":1920,)"
                             R"("view":{"distance":10,"pixels":1920,"hfov":90,)"
                             R"("sceneWidth":19.999999999999996,"ppm":96.00000000000001,)"
                             R"("level":"Observe","levels":[)"
                             R"({"name":"Monitor","ppm":12.5,"distance":76.80000000000001,)"
                             R"("hfov":165.16269987977307},)";
    const std::string yard = R"(,"view":{"distance":20,"pixels":352,)"
                             R"("hfov":87.59779419426411,"sceneWidth":38.35714285714286,)"
                             R"("ppm":9.176908752327746,"level":null,"levels":[)"
                             R"({"name":"Monitor","ppm":12.5,"distance":14.683054003724394,)"
                             R"("focal":3.8139204545454546},)";
    EXPECT_NE(json.out.find(gate), std::string::npos) << json.out;
    EXPECT_NE(json.out.find(yard), std::string::npos) << json.out;
    const nlohmann::json groups = nlohmann::json::parse(json.out)["groups"];
    EXPECT_EQ(groups[0]["view"]["levels"].size(), 6);
    EXPECT_EQ(
        groups[1]["view"]["levels"][5],
        nlohmann::json::parse(R"({"name":"Inspect","ppm":1000,)"
                              R"("distance":0.18353817504655492,"focal":305.1136363636364})"));
    EXPECT_FALSE(groups[2].contains("view") || groups[2].contains("camera") ||
                 groups[2].contains("pixels"));

    const Outcome csv = runProject(project, "--csv");
    const auto rows = plainCsv(csv.out);
    ASSERT_EQ(rows.size(), 5);
    const std::vector<std::vector<std::string>> lastFour{
        {"camera", "pixels", "ppm", "level"},
        {"Bullet 4K", "1920", "96.00000000000001", "Observe"},
        {"", "", "9.176908752327746", ""},
        {"", "", "", ""},
        {"", "", "", ""}};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(std::vector<std::string>(rows[i].end() - 4, rows[i].end()), lastFour[i]) << i;
    }

    const Outcome table = runProject(project, "");
    EXPECT_NE(table.out.find("\nCamera view of Yard\n"
                             "  Target:         20.00 m from the camera\n"
                             "  Lens:           2.8 mm on a 5.37 mm wide sensor, 87.6° across\n"
                             "  Picture width:  352 pixels (the resolution's width)\n"
                             "  Scene width:    38.36 m at the target\n"
                             "  Pixel density:  9.2 px/m at the target\n"
                             "  Level met:      none (Monitor needs 12.5 px/m)\n"
                             "  Monitor:        12.5 px/m up to 14.68 m away; at 20.00 m, a focal "
                             "length of 3.8 mm or longer\n"),
              std::string::npos)
        << table.out;
    EXPECT_NE(table.out.find("  Camera:         Bullet 4K\n"
                             "  Target:         10.00 m from the camera\n"
                             "  Lens:           90.0° across\n"),
              std::string::npos)
        << table.out;
}

// The limits of every camera key are allowed values; a name is counted in characters.
TEST(ProjectView, accepts_each_limit) {
    std::string accented;
    for (int i = 0; i < 200; ++i) {
        accented += "é";
    }
    const Outcome r =
        runProject(R"({"groups":[{"name":"a","pixels":1,"view":{"distance":0.01,"hfov":0.01}},)"
                   R"({"name":"b","pixels":"100000","view":{"distance":100000,"hfov":179.999}},)"
                   R"({"name":"c","camera":")" +
                   accented +
                   R"(","view":{"distance":1,"focal":0.01,"sensor":1000}},)"
                   R"({"name":"d","view":{"distance":1,"focal":"1000","sensor":"0.01"}}]})");
    EXPECT_EQ(r.status, 0) << r.err;
    const Outcome tooLong =
        runProject(R"({"groups":[{"name":"a","camera":")" + std::string(201, 'x') + "\"}]}");
    EXPECT_EQ(tooLong.err, "lenstally: standard input: group 1 \"a\": \"camera\" is 201 characters "
                           "long; allowed values are texts of at most 200 characters\n");
}

} // namespace
} // namespace lenstally
