// SPDX-License-Identifier: MIT
#include <cmath>
#include <gtest/gtest.h>
#include <sstream>

#include "cli/cli.hpp"
#include "project/project_document.hpp"
#include "project/project_reports.hpp"
#include "project/project_writer.hpp"
#include "project/site_checks.hpp"
#include "tests/case_name.hpp"

namespace lenstally {
namespace {

// A project whose one group, "Gates", has three cameras and a view, and whose site is 80 x 50 m:
// `group` adds to the group's keys, `site` to the site's.
std::string project(const std::string& group, const std::string& site) {
    return R"({"groups":[{"name":"Gates","cameras":3,"view":{"distance":12,"hfov":45})" + group +
           R"(}],"site":{"width":80,"height":50)" + site + "}}";
}

std::string repeated(const std::string& item, std::size_t times) {
    std::string out;
    for (std::size_t i = 0; i < times; ++i) {
        out += (i == 0 ? "" : ",") + item;
    }
    return out;
}

struct BadSite {
    const char* name;
    std::string input;
    const char* message; // the whole line after "lenstally: standard input: "
    friend void PrintTo(const BadSite& c, std::ostream* os) { *os << c.name; }
};

class SiteBadInput : public testing::TestWithParam<BadSite> {};

TEST_P(SiteBadInput, exits_2_with_one_line_naming_the_key_and_no_output) {
    std::istringstream in(GetParam().input);
    std::ostringstream out;
    std::ostringstream err;
    const CliOutcome o = RunCommandLine({"--project", "-", "--json"}, in, out, err);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), std::string("lenstally: standard input: ") + GetParam().message + "\n");
}

const std::string kTriangle = R"({"name":"Z","level":"Detect","points":[[0,0],[1,0],[0,1]]})";

INSTANTIATE_TEST_SUITE_P(
    Cases, SiteBadInput,
    testing::Values(
        BadSite{"site_not_an_object", R"({"groups":[],"site":[80,50]})",
                "\"site\" must be an object"},
        BadSite{"site_unknown_key", project("", R"(,"scale":100)"),
                "site: unknown key \"scale\"; allowed keys are width, height, image, walls, zones"},
        BadSite{"site_key_twice", project("", R"(,"walls":[],"walls":[])"),
                "site: \"walls\" is given twice"},
        BadSite{"site_without_height", R"({"groups":[],"site":{"width":80}})",
                "site has no \"height\" (the plan's size in metres)"},
        BadSite{"width_below_1", R"({"groups":[],"site":{"width":0.5,"height":50}})",
                "site: \"width\" is 0.5; allowed values are numbers from 1 to 100000 (metres)"},
        BadSite{"image_of_another_type",
                project("", R"(,"image":"data:image/webp;base64,UklGRg==")"),
                "site: \"image\" is not a data URL of a PNG, JPEG or SVG image; allowed values "
                "are data:image/png;base64, or data:image/jpeg;base64, and the file in base64, "
                "data:image/svg+xml;base64, and the file in base64, or data:image/svg+xml, and "
                "the file URL-encoded"},
        BadSite{"image_png_that_is_not_base64",
                project("", R"(,"image":"data:image/png;base64,iVBORw0KGgo AAAA")"),
                "site: \"image\" is not a data URL of a PNG, JPEG or SVG image; allowed values "
                "are data:image/png;base64, or data:image/jpeg;base64, and the file in base64, "
                "data:image/svg+xml;base64, and the file in base64, or data:image/svg+xml, and "
                "the file URL-encoded"},
        BadSite{"image_above_20_mb",
                project("", R"(,"image":"data:image/png;base64,iVBORw0KGgo)" +
                                std::string(20'000'000 - 33, 'A') + "=\""),
                "site: \"image\" is 20000001 bytes long; allowed values are data URLs of at most "
                "20000000 bytes (20 MB)"},
        BadSite{"walls_not_an_array", project("", R"(,"walls":{})"),
                "site: \"walls\" must be an array of walls, each an array of points [x, y]"},
        BadSite{"wall_point_of_three_numbers", project("", R"(,"walls":[[[0,0],[1,2,3]]])"),
                "site: walls: 1: point 2 must be [x, y], two numbers"},
        BadSite{"wall_of_one_point", project("", R"(,"walls":[[[0,0],[1,1]],[[2,2]]])"),
                "site: walls: 2 has 1 point; allowed values are walls of 2 or more points"},
        BadSite{"wall_outside_the_plan", project("", R"(,"walls":[[[0,20],[80.5,20]]])"),
                "site: walls: 1: point 2 is [80.5, 20]; allowed values are points [x, y] with x "
                "from 0 to 80 and y from 0 to 50 (metres, inside the plan)"},
        BadSite{"walls_of_10001_segments",
                project("", R"(,"walls":[[)" + repeated("[1,1]", 10'002) + "]]"),
                "site: \"walls\" hold more than 10000 segments in all; allowed values are walls "
                "of at most 10000 segments in all"},
        BadSite{"zone_not_an_object", project("", R"(,"zones":[[[0,0],[1,0],[0,1]]])"),
                "site: zones: 1 is not an object"},
        BadSite{"zone_unknown_key",
                project("", R"(,"zones":[)" + kTriangle + R"(,{"name":"Y","colour":"red"}])"),
                "site: zones: 2: unknown key \"colour\"; allowed keys are name, level, points, "
                "required"},
        BadSite{"zone_without_level",
                project("", R"(,"zones":[{"name":"Y","points":[[0,0],[1,0],[0,1]]}])"),
                "site: zones: 1 has no \"level\""},
        BadSite{"zone_name_of_201_characters",
                project("", R"(,"zones":[{"name":")" + std::string(201, 'n') +
                                R"(","level":"Detect","points":[[0,0],[1,0],[0,1]]}])"),
                "site: zones: 1: \"name\" is 201 characters long; allowed values are texts of at "
                "most 200 characters"},
        BadSite{
            "zone_level_in_small_letters",
            project("",
                    R"(,"zones":[{"name":"Y","level":"identify","points":[[0,0],[1,0],[0,1]]}])"),
            "site: zones: 1: \"level\" is \"identify\"; allowed values are Monitor, Detect, "
            "Observe, Recognise, Identify, Inspect"},
        BadSite{
            "zone_required_0",
            project(
                "",
                R"(,"zones":[{"name":"Y","level":"Detect","required":0,"points":[[0,0],[1,0],[0,1]]}])"),
            "site: zones: 1: \"required\" is 0; allowed values are numbers above 0 up to 100 "
            "(percent)"},
        BadSite{
            "zone_of_two_points_and_a_repeat",
            project("", R"(,"zones":[{"name":"Y","level":"Detect","points":[[0,0],[1,0],[1,0]]}])"),
            "site: zones: 1: \"points\" has 2 points (a point repeated at once counts once); "
            "allowed values are polygons of 3 or more points"},
        BadSite{"zone_point_not_two_numbers",
                project("", R"(,"zones":[{"name":"Y","level":"Detect","points":[[0,0],["1",0]]}])"),
                "site: zones: 1: point 2 must be [x, y], two numbers"},
        BadSite{
            "zone_outside_the_plan",
            project("",
                    R"(,"zones":[{"name":"Y","level":"Detect","points":[[0,0],[1,0],[0,51]]}])"),
            "site: zones: 1: point 3 is [0, 51]; allowed values are points [x, y] with x from "
            "0 to 80 and y from 0 to 50 (metres, inside the plan)"},
        BadSite{
            "zone_bow_tie",
            project(
                "",
                R"(,"zones":[)" + kTriangle +
                    R"(,{"name":"Y","level":"Detect","points":[[2,6],[10,12],[10,6],[2,12]]}])"),
            "site: zones: 2: \"points\" cross each other"},
        BadSite{"zones_1001", project("", R"(,"zones":[)" + repeated(kTriangle, 1'001) + "]"),
                "site: \"zones\" hold more than 1000 zones; allowed values are at most 1000 "
                "zones"},
        BadSite{"zone_points_100001",
                project("", R"(,"zones":[{"name":"Y","level":"Detect","points":[)" +
                                repeated("[1,1]", 100'001) + "]}]"),
                "site: \"zones\" hold more than 100000 points in all; allowed values are zones "
                "of at most 100000 points in all"},
        BadSite{"placements_not_an_array", project(R"(,"placements":{"x":1})", ""),
                "group 1 \"Gates\": \"placements\" must be an array"},
        BadSite{"placement_not_an_object", project(R"(,"placements":[[4,2.5]])", ""),
                "group 1 \"Gates\": placements: 1 is not an object"},
        BadSite{"placement_unknown_key",
                project(R"(,"placements":[{"x":4,"y":2.5,"heading":0,"z":3}])", ""),
                "group 1 \"Gates\": placements: 1: unknown key \"z\"; allowed keys are x, y, "
                "heading, label"},
        BadSite{"placement_without_heading", project(R"(,"placements":[{"x":4,"y":2.5}])", ""),
                "group 1 \"Gates\": placements: 1 has no \"heading\""},
        BadSite{
            "placement_heading_360",
            project(
                R"(,"placements":[{"x":4,"y":2.5,"heading":135},{"x":38,"y":2.5,"heading":360}])",
                ""),
            "group 1 \"Gates\": placements: 2: \"heading\" is 360; allowed values are numbers "
            "from 0 to under 360 (degrees)"},
        BadSite{"placement_label_of_51_characters",
                project(R"(,"placements":[{"x":4,"y":2.5,"heading":0,"label":")" +
                            std::string(51, 'l') + "\"}]",
                        ""),
                "group 1 \"Gates\": placements: 1: \"label\" is 51 characters long; allowed values "
                "are texts of at most 50 characters"},
        BadSite{"placement_outside_the_plan",
                project(R"(,"placements":[{"x":"80.25","y":2.5,"heading":0}])", ""),
                "group 1 \"Gates\": placements: 1: \"x\" is 80.25; allowed values are numbers from "
                "0 to 80 (the plan's width in metres)"},
        BadSite{
            "placements_without_a_view",
            R"({"groups":[{"name":"Gates","placements":[{"x":4,"y":2.5,"heading":0}]}],"site":{"width":80,"height":50}})",
            "group 1 \"Gates\": \"placements\" needs a \"view\" (the target and lens of the "
            "group's cameras)"},
        BadSite{
            "placements_without_a_site",
            R"({"groups":[{"name":"a"},{"name":"Gates","view":{"distance":12,"hfov":45},"placements":[{"x":4,"y":2.5,"heading":0}]}]})",
            "group 2 \"Gates\": \"placements\" needs the project's \"site\" (the plan the "
            "cameras stand on)"},
        BadSite{
            "more_placements_than_cameras",
            project(R"(,"placements":[)" + repeated(R"({"x":4,"y":2.5,"heading":0})", 4) + "]", ""),
            "group 1 \"Gates\": \"placements\" holds 4 placements; allowed values are at most "
            "one for each of the group's \"cameras\" (3)"}),
    testing_support::CaseName{});

// A site with everything it can hold, and placements with and without labels: read, written
// and read again, it is the same project, written the same to the byte; and every figure the
// command line reports is the one it reports without the site.
TEST(SiteFile, round_trips_exactly_and_leaves_the_figures_as_they_were) {
    const std::string groups =
        R"({"name":"Gates","resolution":"2mp","cameras":"3","view":{"distance":12,"hfov":45},
            "placements":[{"x":4,"y":2.5,"heading":135},{"x":38,"y":-0.0,"heading":225.5,"label":"Gate \"east\""},
                          {"x":80,"y":50,"heading":0}]},
           {"name":"Yard","cameras":2.5,"activity":-0.0,"view":{"distance":30,"focal":4,"sensor":6.17},
            "placements":[{"x":0.1,"y":0.2,"heading":359.99},{"x":1e-3,"y":7,"heading":"90"},{"x":1,"y":1,"heading":0}]})";
    const std::string site =
        R"({"width":80.5,"height":50,"image":"data:image/svg+xml,%3Csvg%20xmlns='http://www.w3.org/2000/svg'/%3E",
            "walls":[[[0,20],[30,20],[30,35]],[[0,0],[0.1,0.3]]],
            "zones":[{"name":"Main gate","level":"Identify","points":[[2,6],[10,6],[10,6],[10,12],[2,12],[2,6]],"required":92.5},
                     {"required":"100","points":[[40,40],[50,40],[45,45]],"level":"Monitor","name":"Yard"}]})";
    const std::string text = R"({"name":"Distribution centre","groups":[)" + groups +
                             R"(],"storage":{"drive":8},"site":)" + site + "}";
    const ProjectParse parsed = ParseProject(text);
    ASSERT_TRUE(parsed.project) << parsed.error;
    const Project& p = *parsed.project;
    ASSERT_TRUE(p.site);
    EXPECT_EQ(p.site->zones.at(0).points.size(), 6U); // kept as given
    EXPECT_EQ(p.site->zones.at(1).required, 100);
    EXPECT_EQ(p.groups.at(0).placements.at(1).label, "Gate \"east\"");
    EXPECT_FALSE(std::signbit(p.groups.at(0).placements.at(1).y)); // -0.0 is read as 0
    EXPECT_EQ(PlacementLabel(p.groups.at(0), 0), "Gates 1");
    EXPECT_EQ(PlacementLabel(p.groups.at(0), 2), "Gates 3");

    const std::string written = ProjectFileText(p);
    const ProjectParse reread = ParseProject(written);
    ASSERT_TRUE(reread.project) << reread.error << "\n" << written;
    EXPECT_EQ(reread.project->site, p.site);
    for (std::size_t g = 0; g < p.groups.size(); ++g) {
        EXPECT_EQ(reread.project->groups.at(g).placements, p.groups.at(g).placements);
    }
    EXPECT_EQ(ProjectFileText(*reread.project), written);

    // The planner's document gives back what it was given, and what it is told.
    ProjectDocument document(p);
    const Project kept = document.toProject();
    EXPECT_EQ(kept.site, p.site);
    EXPECT_EQ(kept.groups.at(0).placements, p.groups.at(0).placements);
    EXPECT_EQ(kept.groups.at(1).placements, p.groups.at(1).placements);
    document.setPlacements(1, {});
    document.setSite(std::nullopt);
    const Project edited = document.toProject();
    EXPECT_EQ(edited.site, std::nullopt);
    // Without a site no placement can be saved; the document keeps them for a site to come.
    EXPECT_EQ(edited.groups.at(0).placements, std::vector<Placement>{});
    EXPECT_EQ(document.group(0).placements, p.groups.at(0).placements);
    EXPECT_EQ(edited.groups.at(1).placements, std::vector<Placement>{});

    Project plain = p;
    plain.site.reset();
    plain.groups.at(1).placements.clear();
    plain.groups.at(0).placements.clear();
    std::string withSite;
    std::string without;
    WriteProjectJson(ComputeProject(p), withSite);
    WriteProjectJson(ComputeProject(plain), without);
    // The site adds its "site" object at the end and changes nothing before it.
    const std::string before = without.substr(0, without.size() - 2); // less "}\n"
    EXPECT_EQ(withSite.substr(0, before.size() + 8), before + R"(,"site":)");
}

} // namespace
} // namespace lenstally
