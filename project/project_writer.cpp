// SPDX-License-Identifier: MIT
#include "project/project_writer.hpp"

#include "estimation/numeric_text.hpp"

#include "project/json_text.hpp"
#include "project/plan_lines.hpp"

namespace lenstally {
namespace {

// Appends `"key": value` members to one JSON object.
class Members {
public:
    explicit Members(std::string& out) : m_out(out) {}

    void text(std::string_view key, const std::string& value) {
        next(key);
        AppendJsonString(m_out, value);
    }
    void number(std::string_view key, const std::string& value) {
        next(key);
        m_out += value;
    }
    // The next member starts a line of its own, as the site's walls and zones do.
    void breakLine() { m_breakLine = true; }

private:
    // The keys are the file's own names, plain ASCII with nothing to escape.
    void next(std::string_view key) {
        m_out += m_first ? "" : (m_breakLine ? ",\n    " : ", ");
        m_first = false;
        m_breakLine = false;
        m_out += '"';
        m_out += key;
        m_out += "\": ";
    }

    std::string& m_out;
    bool m_first = true;
    bool m_breakLine = false;
};

// A number as it reads back: the shortest text of its value, and 0 for negative zero, which a
// file's "-0" would not read back as (a whole number has no sign of zero), so that what is
// written once is written the same again.
std::string numberText(double value) {
    return ShortestText(value + 0.0);
}

// {"distance": 20, "focal": 2.8, "sensor": 5.37}: a camera view as its group's "view" key.
std::string viewText(const GroupView& view) {
    std::string out = "{";
    Members members(out);
    members.number("distance", numberText(view.distance));
    if (view.lens.form == LensForm::Angle) {
        members.number("hfov", numberText(view.lens.hfov));
    } else {
        members.number("focal", numberText(view.lens.focal));
        members.number("sensor", numberText(view.lens.sensor));
    }
    return out + "}";
}

// [[x, y], [x, y], ...]
std::string pointsText(const std::vector<SitePoint>& points) {
    std::string out = "[";
    for (std::size_t i = 0; i < points.size(); ++i) {
        out += i == 0 ? "[" : ", [";
        out += numberText(points[i].x);
        out += ", ";
        out += numberText(points[i].y);
        out += ']';
    }
    return out + "]";
}

// [{"x": 4, "y": 2.5, "heading": 135}, ...]: a group's "placements", each label where it has one.
std::string placementsText(const std::vector<Placement>& placements) {
    std::string out = "[";
    for (std::size_t i = 0; i < placements.size(); ++i) {
        const Placement& p = placements[i];
        out += i == 0 ? "{" : ", {";
        Members members(out);
        members.number("x", numberText(p.x));
        members.number("y", numberText(p.y));
        members.number("heading", numberText(p.heading));
        if (p.label) {
            members.text("label", *p.label);
        }
        out += '}';
    }
    return out + "]";
}

// The "site" object, its walls and zones one to a line.
void appendSite(std::string& out, const SiteSection& site) {
    out += ",\n  \"site\": {";
    Members members(out);
    members.number("width", numberText(site.width));
    members.number("height", numberText(site.height));
    if (site.image) {
        members.text("image", *site.image);
    }
    if (!site.walls.empty()) {
        std::string walls = "[";
        for (std::size_t i = 0; i < site.walls.size(); ++i) {
            walls += i == 0 ? "\n      " : ",\n      ";
            walls += pointsText(site.walls[i]);
        }
        members.breakLine();
        members.number("walls", walls + "\n    ]");
    }
    if (!site.zones.empty()) {
        std::string zones = "[";
        for (std::size_t i = 0; i < site.zones.size(); ++i) {
            const SiteZone& zone = site.zones[i];
            zones += i == 0 ? "\n      {" : ",\n      {";
            Members zoneMembers(zones);
            zoneMembers.text("name", zone.name);
            zoneMembers.text("level", std::string(ViewLevelOf(zone.level).name));
            zoneMembers.number("points", pointsText(zone.points));
            zoneMembers.number("required", numberText(zone.required));
            zones += '}';
        }
        members.breakLine();
        members.number("zones", zones + "\n    ]");
    }
    out += '}';
}

} // namespace

std::string ProjectFileText(const Project& project) {
    // A group takes about 250 bytes; one allocation holds a project of groups like that.
    constexpr std::size_t kGroupBytes = 256;
    std::string out;
    out.reserve(kGroupBytes * (project.groups.size() + 1));
    out += "{\n";
    if (project.name) {
        out += "  \"name\": ";
        AppendJsonString(out, *project.name);
        out += ",\n";
    }
    out += "  \"groups\": [";
    for (std::size_t i = 0; i < project.groups.size(); ++i) {
        const ProjectGroup& group = project.groups[i];
        out += i == 0 ? "\n    {" : ",\n    {";
        Members members(out);
        members.text("name", group.name);
        for (const ResolvedAction& a : group.actions) {
            if (a.action->kind == ActionKind::Number) {
                members.number(a.action->option, std::to_string(*a.index + 1));
            } else {
                members.text(a.action->option, a.value);
            }
        }
        members.number("activity", numberText(group.activity));
        const CameraDetails& camera = group.camera;
        if (camera.description) {
            members.text("camera", *camera.description);
        }
        if (camera.pixels) {
            members.number("pixels", std::to_string(*camera.pixels));
        }
        if (camera.view) {
            members.number("view", viewText(*camera.view));
        }
        if (!group.placements.empty()) {
            members.number("placements", placementsText(group.placements));
        }
        out += '}';
    }
    out += project.groups.empty() ? "]" : "\n  ]";
    if (project.storage) {
        const StorageSection& s = *project.storage;
        out += ",\n  \"storage\": {";
        Members members(out);
        members.text("drive", DriveSizeText(s.drive));
        members.number("raid", std::to_string(RaidNumber(s.layout.raid)));
        if (s.layout.arrayWidth > 0) {
            members.number("array-width", std::to_string(s.layout.arrayWidth));
        }
        members.number("spares", std::to_string(s.layout.spares));
        members.number("overhead", numberText(s.layout.overheadPercent));
        members.number("fill", numberText(s.layout.fillPercent));
        if (s.drives) {
            members.number("drives", std::to_string(*s.drives));
        }
        out += '}';
    }
    if (project.recorder) {
        const RecorderLimits& r = *project.recorder;
        out += ",\n  \"recorder\": {";
        Members members(out);
        for (const auto& [key, value] :
             {std::pair{"channels", r.channels}, {"mbps", r.mbps}, {"bays", r.bays}}) {
            if (value) {
                members.number(key, numberText(*value));
            }
        }
        out += '}';
    }
    if (project.site) {
        appendSite(out, *project.site);
    }
    out += "\n}\n";
    return out;
}

} // namespace lenstally
