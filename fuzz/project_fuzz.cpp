// SPDX-License-Identifier: MIT
// Fuzzes project files. The bytes are read as a project; checked for every input:
//   - reading never crashes, and a project that cannot be read gives one line saying why;
//   - a project that reads is one JSON value and white space: it holds no NUL byte, and any
//     other byte after it makes it unreadable;
//   - a project that reads computes, and all three reports are written: the JSON report is valid
//     JSON with one entry per group and the plan sections exactly where the project has them,
//     the CSV has its header, one row per group and the TOTAL row, each ending in CRLF;
//   - a group has a view in the JSON report exactly when its file gives one, and every figure of
//     it is a number: the limits of a view's values keep its figures finite;
//   - a project with a site has "site" in its JSON, with one entry per counted placement and per
//     zone, and its SVG drawing is one <svg> element after the XML declaration, every element
//     opened is closed in order, and no text holds a raw '<' or '&' that starts no markup;
//   - the project as the planner saves it reads back, and is then saved to the same bytes: every
//     value (a site's points, the placements, each number) is written as it reads back.

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.hpp"
#include "project/project_reports.hpp"
#include "project/project_writer.hpp"
#include "project/site_compute.hpp"
#include "project/site_svg.hpp"

namespace {

using lenstally::fuzzing::require;

// CSV records, counting line breaks inside quoted cells as part of their cell.
std::size_t csvRecords(std::string_view csv) {
    std::size_t records = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < csv.size(); ++i) {
        if (csv[i] == '"') {
            quoted = !quoted;
        } else if (!quoted && csv[i] == '\r') {
            require(i + 1 < csv.size() && csv[i + 1] == '\n', "a record ends in CRLF");
            ++records;
        }
    }
    require(!quoted, "every quoted cell is closed");
    return records;
}

// The placements the site's figures count, group by group.
std::size_t countedPlacements(const lenstally::Project& project,
                              const lenstally::ProjectResult& result) {
    std::size_t counted = 0;
    for (std::size_t i = 0; i < project.groups.size(); ++i) {
        counted += lenstally::PlacementsCounted(result.groups[i],
                                                project.groups[i].placements.size(), true);
    }
    return counted;
}

// Well-formed enough for a drawing tool: the declaration, then one <svg> element whose elements
// open and close in order; an '&' starts an entity and a '<' a tag, so no text carries raw markup.
void requireWellFormed(const std::string& svg) {
    constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ";
    require(svg.starts_with(kDeclaration), "the SVG starts with its declaration and <svg", svg);
    std::vector<std::string> open;
    for (std::size_t i = svg.find('\n') + 1; i < svg.size(); ++i) {
        if (svg[i] == '&') {
            const std::size_t end = svg.find(';', i);
            const std::string_view entity(svg.data() + i,
                                          end == std::string::npos ? 0 : end - i + 1);
            require(entity == "&amp;" || entity == "&lt;" || entity == "&gt;" ||
                        entity == "&quot;" || entity == "&apos;",
                    "every & starts an entity", svg.substr(i, 20));
        } else if (svg[i] == '<') {
            const std::size_t end = svg.find('>', i);
            require(end != std::string::npos, "every tag is closed", svg.substr(i, 20));
            const std::string_view tag(svg.data() + i + 1, end - i - 1);
            const std::string name(
                tag.substr(tag.starts_with('/') ? 1 : 0,
                           tag.find_first_of(" />", 1) - (tag.starts_with('/') ? 1 : 0)));
            require(!name.empty() && name.find_first_of("<&\"") == std::string::npos,
                    "a tag has a name", std::string(tag));
            if (tag.starts_with('/')) {
                require(!open.empty() && open.back() == name, "elements close in order", name);
                open.pop_back();
                require(!open.empty() || i + tag.size() + 3 == svg.size(),
                        "nothing follows the <svg> element but a line end", svg.substr(i));
            } else if (!tag.ends_with('/')) {
                open.push_back(name);
            }
            i = end;
        }
    }
    require(open.empty(), "every element is closed", svg.substr(svg.size() - 40));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const lenstally::ProjectParse parsed = lenstally::ParseProject(text);
    if (!parsed.project) {
        require(!parsed.error.empty(), "a project that cannot be read says why");
        return 0;
    }
    require(text.find('\0') == std::string_view::npos, "a project that reads holds no NUL byte");
    require(!lenstally::ParseProject(std::string(text) + "x").project,
            "a project followed by a byte other than white space cannot be read");
    const lenstally::ProjectResult result = lenstally::ComputeProject(*parsed.project);
    const std::size_t groups = parsed.project->groups.size();

    std::string table;
    lenstally::WriteProjectTable(result, table);
    require(!table.empty(), "the table is written");

    std::string json;
    lenstally::WriteProjectJson(result, json);
    const nlohmann::json report = nlohmann::json::parse(json, nullptr, false);
    require(!report.is_discarded(), "the JSON report is valid JSON", json);
    require(report["groups"].size() == groups, "one JSON entry per group", json);
    require(report.contains("storagePlan") == parsed.project->storage.has_value(),
            "the storage plan is written exactly with a storage section", json);
    require(report.contains("recorders") == parsed.project->recorder.has_value(),
            "the recorders are written exactly with a recorder section", json);

    for (std::size_t i = 0; i < groups; ++i) {
        const nlohmann::json& group = report["groups"][i];
        require(group.contains("view") == parsed.project->groups[i].camera.view.has_value(),
                "a view is written exactly for a group with one", json);
        if (!group.contains("view")) {
            continue;
        }
        const nlohmann::json& view = group["view"];
        bool finite = view["sceneWidth"].is_number() && view["ppm"].is_number();
        for (const nlohmann::json& level : view["levels"]) {
            finite = finite && level["distance"].is_number() &&
                     (level.contains("focal") ? level["focal"] : level["hfov"]).is_number();
        }
        require(finite && view["levels"].size() == 6, "every figure of a view is finite", json);
    }

    const std::optional<lenstally::SiteSection>& site = parsed.project->site;
    require(report.contains("site") == site.has_value(),
            "the site is written exactly with a site section", json);
    if (site) {
        const nlohmann::json& drawn = report["site"];
        require(drawn["placements"].size() == countedPlacements(*parsed.project, result) &&
                    drawn["zones"].size() == site->zones.size(),
                "one JSON entry per counted placement and per zone", json);
        requireWellFormed(lenstally::SiteSvg(*result.site));
    }

    std::string csv;
    lenstally::WriteProjectCsv(result, csv);
    require(csvRecords(csv) == groups + 2, "a header, one row per group and TOTAL", csv);

    const std::string saved = lenstally::ProjectFileText(*parsed.project);
    const lenstally::ProjectParse reread = lenstally::ParseProject(saved);
    require(reread.project.has_value(), "the project as saved reads back", reread.error);
    require(lenstally::ProjectFileText(*reread.project) == saved,
            "the project as saved is saved the same again", saved);
    return 0;
}
