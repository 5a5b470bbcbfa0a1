// SPDX-License-Identifier: MIT
#include "project/project_reports.hpp"

#include "estimation/estimates.hpp"
#include "estimation/numeric_text.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "project/json_text.hpp"
#include "project/plan_lines.hpp"
#include "project/site_lines.hpp"

namespace lenstally {
namespace {

// What a CSV column holds: text (a name, a typed input, a caption with its unit) or a raw number.
enum class CsvCell { Text, Number };

// The CSV columns after the group's name and its actions (named as the project file names them).
constexpr std::pair<std::string_view, CsvCell> kCsvResultColumns[] = {
    {"activity", CsvCell::Number},      {"per-camera", CsvCell::Text},
    {"total-bandwidth", CsvCell::Text}, {"storage", CsvCell::Text},
    {"total-kbps", CsvCell::Number},    {"storage-kb", CsvCell::Number},
    {"camera", CsvCell::Text},          {"pixels", CsvCell::Number},
    {"ppm", CsvCell::Number},           {"level", CsvCell::Text}};

// A raw figure: the shortest text that reads back as it, or `missing` where it is out of range.
std::string raw(double value, std::string_view missing) {
    return std::isfinite(value) ? ShortestText(value) : std::string(missing);
}

std::string rawCount(const std::optional<std::int64_t>& value) {
    return value ? std::to_string(*value) : std::string("null");
}

std::string rawOptional(const std::optional<double>& value) {
    return value ? raw(*value, "null") : std::string("null");
}

std::string_view limitName(RecorderLimit limit) {
    switch (limit) {
    case RecorderLimit::Minimum:
        return "minimum";
    case RecorderLimit::Channels:
        return "channels";
    case RecorderLimit::Bandwidth:
        return "mbps";
    case RecorderLimit::Bays:
        return "bays";
    }
    return "";
}

// One cell of CSV: quoted only when it holds a comma, a double quote or a line break. A text
// cell that begins as a formula would (=, +, -, @, a tab or a carriage return) gets a leading
// apostrophe, so that a spreadsheet shows it as text instead of running it: a name such as
// =HYPERLINK(...) is never a link, and a typed "-3" reads '-3. Raw numbers are never changed.
void writeCsvField(std::string& out, std::string_view cell, CsvCell kind) {
    std::string text;
    if (kind == CsvCell::Text && !cell.empty() &&
        std::string_view("=+-@\t\r").find(cell.front()) != std::string_view::npos) {
        text = "'";
    }
    text += cell;
    const std::string_view field = text;
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

// Display width of a UTF-8 text: one column per code point.
std::size_t columns(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// Rows of cells, each column as wide as its widest cell plus two blanks, trailing blanks cut.
void writeColumns(const std::vector<std::vector<std::string>>& rows, std::string& out) {
    std::vector<std::size_t> width(rows.front().size());
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            width[i] = std::max(width[i], columns(row[i]));
        }
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size()) {
                line.append(width[i] - columns(row[i]) + 2, ' ');
            }
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out += line;
        out += '\n';
    }
}

using Lines = std::vector<std::vector<std::string>>;

} // namespace

void WriteProjectTable(const ProjectResult& result, std::string& out) {
    // The activity column appears only where some group records less than all the time, so a
    // project without it reads as it always has.
    const bool activity = std::any_of(result.groups.begin(), result.groups.end(),
                                      [](const GroupResult& g) { return g.activity != 100; });
    const std::size_t cameras = static_cast<std::size_t>(FindAction("cameras") - Actions().data());
    Lines rows;
    rows.reserve(result.groups.size() + 2);
    rows.push_back(
        {"Group", "Cameras", "Frame size (KB)", "Per camera", "Total bandwidth", "Storage"});
    for (const GroupResult& g : result.groups) {
        rows.push_back(
            {g.name, g.inputs[cameras], g.frameSize, g.perCamera, g.totalBandwidth, g.storage});
    }
    rows.push_back({"TOTAL", "", "", "", result.totals.totalBandwidth, result.totals.totalStorage});
    if (activity) {
        rows[0].insert(rows[0].end() - 1, "Activity");
        for (std::size_t i = 0; i < result.groups.size(); ++i) {
            rows[i + 1].insert(rows[i + 1].end() - 1, PercentText(result.groups[i].activity));
        }
        rows.back().insert(rows.back().end() - 1, "");
    }
    // Likewise the camera column, last, only where some group names its camera.
    if (std::any_of(result.groups.begin(), result.groups.end(),
                    [](const GroupResult& g) { return g.camera.description.has_value(); })) {
        rows[0].emplace_back("Camera");
        for (std::size_t i = 0; i < result.groups.size(); ++i) {
            rows[i + 1].push_back(result.groups[i].camera.description.value_or(""));
        }
    }
    if (result.name) {
        out += "Project: " + *result.name + "\n\n";
    }
    writeColumns(rows, out);

    // The plan in words, indented under its heading.
    auto writeBlock = [&out](std::string_view heading, const std::vector<PlanLine>& lines) {
        Lines indented;
        for (const PlanLine& line : lines) {
            indented.push_back({"", line.label, line.text});
        }
        out += '\n';
        out += heading;
        out += '\n';
        writeColumns(indented, out);
    };
    for (const GroupResult& g : result.groups) {
        if (g.view) {
            std::vector<PlanLine> lines = g.viewLines;
            if (g.camera.description) {
                lines.insert(lines.begin(), {PlanLine::Kind::Assumption,
                                             "Camera:", *g.camera.description, std::nullopt});
            }
            writeBlock("Camera view of " + g.name, lines);
        }
    }
    if (result.storage) {
        writeBlock("Storage plan", result.totals.storageLines);
    }
    if (result.recorder) {
        writeBlock("Recorders", result.totals.recorderLines);
    }
    if (result.site) {
        writeBlock("Site plan", SitePlanLines(result));
        const std::vector<ZoneLine> zones = ZoneLines(*result.site);
        if (!zones.empty()) {
            Lines table{{"", "Zone", "Level", "Required", "Covered", "Met", "Cameras"}};
            for (const ZoneLine& z : zones) {
                table.push_back({"", z.name, z.level, z.required, z.covered, z.met, z.cameras});
            }
            writeColumns(table, out);
        }
    }
}

void WriteProjectJson(const ProjectResult& result, std::string& out) {
    // Written by hand so every raw number is exactly the shortest text that reads back as it.
    std::string text;
    auto field = [&text](std::string_view key, const std::string& value) {
        text += key;
        AppendJsonString(text, value);
    };
    auto number = [&text](std::string_view key, const std::string& value) {
        text += key;
        text += value;
    };
    text += "{\"name\":";
    if (result.name) {
        AppendJsonString(text, *result.name);
    } else {
        text += "null";
    }
    text += ",\"groups\":[";
    for (std::size_t i = 0; i < result.groups.size(); ++i) {
        const GroupResult& g = result.groups[i];
        text += i == 0 ? "{" : ",{";
        field("\"name\":", g.name);
        number(",\"activity\":", ShortestText(g.activity));
        field(",\"txtFrameSize\":", g.frameSize);
        field(",\"lbPerBandwidth\":", g.perCamera);
        field(",\"lbTotalBandwidth\":", g.totalBandwidth);
        field(",\"lbStorageSize\":", g.storage);
        number(",\"totalKbps\":", raw(g.figures.totalKbps, "null"));
        number(",\"storageKB\":", raw(g.figures.storageKB, "null"));
        if (g.camera.description) {
            field(",\"camera\":", *g.camera.description);
        }
        if (g.camera.pixels) {
            number(",\"pixels\":", std::to_string(*g.camera.pixels));
        }
        if (g.view) {
            const ViewFigures& v = *g.view;
            number(R"(,"view":{"distance":)", raw(v.distance, "null"));
            number(",\"pixels\":", raw(v.pixels, "null"));
            number(",\"hfov\":", raw(v.hfov, "null"));
            number(",\"sceneWidth\":", raw(v.sceneWidth, "null"));
            number(",\"ppm\":", raw(v.ppm, "null"));
            if (v.level) {
                field(",\"level\":", std::string(ViewLevelOf(*v.level).name));
            } else {
                text += ",\"level\":null";
            }
            text += ",\"levels\":[";
            for (const LevelReach& reach : v.levels) {
                field(&reach == v.levels.data() ? "{\"name\":" : ",{\"name\":",
                      std::string(ViewLevelOf(reach.level).name));
                number(",\"ppm\":", raw(reach.ppm, "null"));
                number(",\"distance\":", raw(reach.distance, "null"));
                number(v.form == LensForm::Focal ? ",\"focal\":" : ",\"hfov\":",
                       raw(reach.lens, "null"));
                text += '}';
            }
            text += "]}";
        }
        text += '}';
    }
    const ProjectTotals& t = result.totals;
    field(R"(],"total":{"bandwidth":)", t.totalBandwidth);
    field(",\"storage\":", t.totalStorage);
    number(",\"totalKbps\":", raw(t.totalKbps, "null"));
    number(",\"storageKB\":", raw(t.storageKB, "null"));
    text += '}';
    if (result.storage) {
        const StorageSection& s = *result.storage;
        const DriveLayout& layout = s.layout;
        const StoragePlanResult& plan = *t.plan;
        field(R"(,"storagePlan":{"drive":)", DriveSizeText(s.drive));
        number(",\"driveKB\":", raw(layout.driveKB, "null"));
        number(",\"driveTB\":", raw(layout.driveKB / 1e9, "null"));
        number(",\"driveTiB\":", raw(layout.driveKB / kKilobytesPerTiB, "null"));
        number(",\"raid\":", std::to_string(RaidNumber(layout.raid)));
        number(",\"arrayWidth\":",
               layout.arrayWidth > 0 ? std::to_string(layout.arrayWidth) : "null");
        number(",\"spares\":", std::to_string(layout.spares));
        number(",\"overhead\":", ShortestText(layout.overheadPercent));
        number(",\"fill\":", ShortestText(layout.fillPercent));
        number(",\"storageKB\":", raw(t.storageKB, "null"));
        number(",\"drivesNeeded\":", rawCount(plan.drivesNeeded));
        number(",\"drivesInstalled\":", rawCount(s.drives));
        number(",\"usableKB\":", rawOptional(plan.usableKB));
        if (plan.usableKB) {
            field(",\"usable\":", StorageCaption(*plan.usableKB));
        } else {
            text += ",\"usable\":null";
        }
        number(",\"usableTiB\":",
               rawOptional(plan.usableKB ? std::optional<double>(*plan.usableKB / kKilobytesPerTiB)
                                         : std::nullopt));
        number(",\"fits\":", plan.fits ? (*plan.fits ? "true" : "false") : "null");
        number(",\"dailyKB\":", raw(t.dailyKB, "null"));
        const std::optional<DaysThatFit>& days = plan.daysThatFit;
        const bool counted = days && days->kind == DaysThatFit::Kind::Days;
        number(",\"daysThatFit\":", counted ? ShortestText(days->days) : "null");
        if (!days) {
            text += ",\"daysThatFitText\":null";
        } else {
            field(",\"daysThatFitText\":", counted ? FormatNumber(days->days)
                                           : days->kind == DaysThatFit::Kind::Unlimited
                                               ? std::string("unlimited")
                                               : std::string(kOutOfRange));
        }
        text += '}';
    }
    if (result.recorder) {
        const RecorderLimits& limits = *result.recorder;
        const RecordersNeeded& r = *t.recorders;
        number(R"(,"recorders":{"channels":)", rawOptional(limits.channels));
        number(",\"mbps\":", rawOptional(limits.mbps));
        number(",\"bays\":", rawOptional(limits.bays));
        number(",\"cameras\":", raw(t.cameras, "null"));
        number(",\"byChannels\":", rawOptional(r.byChannels));
        number(",\"byMbps\":", rawOptional(r.byBandwidth));
        number(",\"byBays\":", rawOptional(r.byBays));
        number(",\"needed\":", rawOptional(r.count));
        if (r.count) {
            field(",\"decidedBy\":", std::string(limitName(r.decidedBy)));
        } else {
            text += ",\"decidedBy\":null";
        }
        text += '}';
    }
    if (result.site) {
        const SiteResult& site = *result.site;
        number(R"(,"site":{"width":)", ShortestText(site.site.width));
        number(",\"height\":", ShortestText(site.site.height));
        text += ",\"placements\":[";
        for (const PlacementResult& p : site.placements) {
            field(&p == site.placements.data() ? "{\"group\":" : ",{\"group\":",
                  result.groups[p.group].name);
            field(",\"label\":", p.label);
            number(",\"x\":", ShortestText(p.placement.x));
            number(",\"y\":", ShortestText(p.placement.y));
            number(",\"heading\":", ShortestText(p.placement.heading));
            text += ",\"levels\":[";
            for (std::size_t level = 0; level < kViewLevelCount; ++level) {
                field(level == 0 ? "{\"name\":" : ",{\"name\":",
                      std::string(kViewLevels[level].name));
                number(",\"reach\":", raw(p.reach[level], "null"));
                number(",\"area\":", raw(p.area[level], "null"));
                text += '}';
            }
            text += "]}";
        }
        text += "],\"zones\":[";
        for (std::size_t i = 0; i < site.zones.size(); ++i) {
            const SiteZone& zone = site.site.zones[i];
            const ZoneResult& z = site.zones[i];
            field(i == 0 ? "{\"name\":" : ",{\"name\":", zone.name);
            field(",\"level\":", std::string(ViewLevelOf(zone.level).name));
            number(",\"required\":", ShortestText(zone.required));
            number(",\"area\":", raw(z.area, "null"));
            number(",\"covered\":", raw(z.covered, "null"));
            number(",\"percent\":", raw(z.percent, "null"));
            number(",\"met\":", z.met ? "true" : "false");
            text += ",\"cameras\":[";
            for (std::size_t k = 0; k < z.covering.size(); ++k) {
                text += k == 0 ? "" : ",";
                AppendJsonString(text, site.placements[z.covering[k]].label);
            }
            text += "]}";
        }
        text += "]}";
    }
    text += "}\n";
    out += text;
}

void WriteProjectCsv(const ProjectResult& result, std::string& out) {
    constexpr std::string_view kEnd = "\r\n";
    // The name and every input are text, as typed.
    std::vector<CsvCell> kinds(1 + Actions().size(), CsvCell::Text);
    out += "name";
    for (const ActionDescription& a : Actions()) {
        out += ',';
        out += a.option;
    }
    for (const auto& [column, kind] : kCsvResultColumns) {
        out += ',';
        out += column;
        kinds.push_back(kind);
    }
    out += kEnd;
    auto writeRow = [&out, &kinds, kEnd](std::span<const std::string> cells) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) {
                out += ',';
            }
            writeCsvField(out, cells[i], kinds[i]);
        }
        out += kEnd;
    };
    std::vector<std::string> cells;
    for (const GroupResult& g : result.groups) {
        cells.clear();
        cells.push_back(g.name);
        cells.insert(cells.end(), g.inputs.begin(), g.inputs.end());
        cells.insert(cells.end(),
                     {ShortestText(g.activity), g.perCamera, g.totalBandwidth, g.storage,
                      raw(g.figures.totalKbps, ""), raw(g.figures.storageKB, ""),
                      g.camera.description.value_or(""),
                      g.camera.pixels ? std::to_string(*g.camera.pixels) : std::string(),
                      g.view ? raw(g.view->ppm, "") : std::string(),
                      g.view && g.view->level ? std::string(ViewLevelOf(*g.view->level).name)
                                              : std::string()});
        writeRow(cells);
    }
    const ProjectTotals& t = result.totals;
    cells.assign(1 + Actions().size() + 2, std::string());
    cells.front() = "TOTAL";
    cells.insert(cells.end(), {t.totalBandwidth, t.totalStorage, raw(t.totalKbps, ""),
                               raw(t.storageKB, ""), "", "", "", ""});
    writeRow(cells);
}

} // namespace lenstally
