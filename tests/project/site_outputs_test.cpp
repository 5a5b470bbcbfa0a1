// SPDX-License-Identifier: MIT
#include <cmath>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <numbers>
#include <sstream>

#include "cli/cli.hpp"
#include "project/project_compute.hpp"
#include "project/report_html.hpp"

namespace lenstally {
namespace {

// Two cameras of 1000 pixels through a 90 degree lens (2 m across per metre), so each level
// reaches 1000 / (2 x its px/m) metres: Monitor 40 m, Identify 2 m. They face each other across
// an empty 100 x 100 m plan, 80 m apart on the line y = 50; the second has no label of its own.
// "Near" lies inside the first's Identify region, "Far" out of every camera's reach, and "Middle"
// (10 x 2 m, centred between them) is seen by both at Monitor but for two slivers beyond 40 m.
constexpr std::string_view kProject = R"({"groups":[
  {"name":"Gates","cameras":2,"pixels":1000,"view":{"distance":10,"hfov":90},
   "placements":[{"x":10,"y":50,"heading":90,"label":"Gate west"},{"x":90,"y":50,"heading":270}]},
  {"name":"Office","cameras":3}],
 "site":{"width":100,"height":100,"zones":[
  {"name":"Near","level":"Identify","points":[[10.5,49.9],[11,49.9],[11,50.1],[10.5,50.1]]},
  {"name":"Far","level":"Monitor","points":[[45,0],[55,0],[55,5],[45,5]]},
  {"name":"Middle","level":"Monitor","points":[[45,49],[55,49],[55,51],[45,51]],"required":99}]}})";

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome run(const std::vector<std::string>& args, std::string_view input) {
    std::istringstream in{std::string(input)};
    std::ostringstream out;
    std::ostringstream err;
    const CliOutcome o = RunCommandLine(args, in, out, err);
    return {o.status, out.str(), err.str()};
}

// An area is right within 0.01 % of it or 0.001 m^2, whichever is larger.
void expectArea(double got, double exact, const std::string& what) {
    EXPECT_NEAR(got, exact, std::max(exact * 1e-4, 1e-3)) << what;
}

TEST(SiteOutputs, json_gives_each_cameras_levels_and_each_zones_coverage) {
    const Outcome r = run({"--project", "-", "--json"}, kProject);
    ASSERT_EQ(r.status, 0) << r.err;
    const nlohmann::json site = nlohmann::json::parse(r.out).at("site");
    EXPECT_EQ(site["width"], 100);
    EXPECT_EQ(site["height"], 100);

    ASSERT_EQ(site["placements"].size(), 2U);
    const nlohmann::json& second = site["placements"][1];
    EXPECT_EQ(second["group"], "Gates");
    EXPECT_EQ(second["label"], "Gates 2");
    EXPECT_EQ((std::vector<double>{second["x"], second["y"], second["heading"]}),
              (std::vector<double>{90, 50, 270}));
    const char* names[] = {"Monitor", "Detect", "Observe", "Recognise", "Identify", "Inspect"};
    const double ppm[] = {12.5, 25, 62.5, 125, 250, 1000};
    ASSERT_EQ(second["levels"].size(), 6U);
    for (std::size_t i = 0; i < 6; ++i) {
        const nlohmann::json& level = second["levels"][i];
        EXPECT_EQ(level["name"], names[i]);
        const double reach = level["reach"];
        EXPECT_NEAR(reach, 1000 / (ppm[i] * 2), 1e-12) << names[i];
        // No wall: the whole sector of 90 degrees, r^2 x 90 x pi / 360.
        expectArea(level["area"], reach * reach * std::numbers::pi / 4, names[i]);
    }

    const nlohmann::json& zones = site["zones"];
    ASSERT_EQ(zones.size(), 3U);
    EXPECT_EQ(zones[0]["name"], "Near");
    EXPECT_EQ(zones[0]["level"], "Identify");
    expectArea(zones[0]["area"], 0.1, "Near");
    EXPECT_NEAR(zones[0]["percent"].get<double>(), 100, 1e-6);
    EXPECT_EQ(zones[0]["met"], true);
    EXPECT_EQ(zones[0]["cameras"], nlohmann::json::array({"Gate west"}));

    EXPECT_EQ(zones[1]["covered"], 0);
    EXPECT_EQ(zones[1]["percent"], 0);
    EXPECT_EQ(zones[1]["met"], false);
    EXPECT_EQ(zones[1]["cameras"], nlohmann::json::array());

    // Each camera misses the part of its half beyond 40 m: the integral over |t| <= 1 of
    // 40 - sqrt(1600 - t^2), which is 80 - sqrt(1599) - 1600 asin(1 / 40).
    const double missed = 80 - std::sqrt(1599.0) - 1600 * std::asin(1 / 40.0);
    expectArea(zones[2]["covered"], 20 - 2 * missed, "Middle");
    EXPECT_NEAR(zones[2]["percent"].get<double>(), 5 * (20 - 2 * missed), 1e-3);
    EXPECT_EQ(zones[2]["required"], 99);
    EXPECT_EQ(zones[2]["met"], true);
    EXPECT_EQ(zones[2]["cameras"], nlohmann::json::array({"Gate west", "Gates 2"}));
}

TEST(SiteOutputs, table_ends_with_the_site_plan_block_and_a_missed_zone_still_exits_0) {
    const Outcome r = run({"--project", "-"}, kProject);
    EXPECT_EQ(r.status, 0) << r.err;
    const std::size_t block = r.out.find("\nSite plan\n");
    ASSERT_NE(block, std::string::npos) << r.out;
    EXPECT_EQ(r.out.substr(block), R"(
Site plan
  Plan size:  100 x 100 m
  Cameras:    2 of 2 cameras placed
  Zones met:  2 of 3
  Zone    Level     Required  Covered  Met      Cameras
  Near    Identify  100 %     100.0 %  met      Gate west
  Far     Monitor   100 %     0.0 %    NOT MET  none
  Middle  Monitor   99 %      99.9 %   met      Gate west, Gates 2
)");
}

TEST(SiteOutputs, report_has_a_site_plan_page_with_its_drawing_zones_and_cameras) {
    const ProjectParse parsed = ParseProject(kProject);
    ASSERT_TRUE(parsed.project) << parsed.error;
    const std::string html = ReportBodyHtml(
        ComputeProject(*parsed.project), "2026-12-09", [](std::size_t) { return std::string(); },
        [] { return std::string("[drawing]"); });
    for (const char* expected :
         {R"(<h2 style="page-break-before: always">Site plan</h2>[drawing])",
          R"(<tr><td>Far</td><td>Monitor</td><td align="right">100 %</td>)"
          R"(<td align="right">0.0 %</td><td><b>NOT MET</b></td><td>none</td></tr>)",
          R"(<tr><td>Gates 2</td><td>Gates</td><td align="right">90</td>)"
          R"(<td align="right">50</td><td align="right">270</td></tr>)"}) {
        EXPECT_NE(html.find(expected), std::string::npos) << expected;
    }
}

} // namespace
} // namespace lenstally
