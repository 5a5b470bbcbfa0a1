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

private:
    // The keys are the file's own names, plain ASCII with nothing to escape.
    void next(std::string_view key) {
        m_out += m_first ? "" : ", ";
        m_first = false;
        m_out += '"';
        m_out += key;
        m_out += "\": ";
    }

    std::string& m_out;
    bool m_first = true;
};

// {"distance": 20, "focal": 2.8, "sensor": 5.37}: a camera view as its group's "view" key.
std::string viewText(const GroupView& view) {
    std::string out = "{";
    Members members(out);
    members.number("distance", ShortestText(view.distance));
    if (view.lens.form == LensForm::Angle) {
        members.number("hfov", ShortestText(view.lens.hfov));
    } else {
        members.number("focal", ShortestText(view.lens.focal));
        members.number("sensor", ShortestText(view.lens.sensor));
    }
    return out + "}";
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
        members.number("activity", ShortestText(group.activity));
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
        members.number("overhead", ShortestText(s.layout.overheadPercent));
        members.number("fill", ShortestText(s.layout.fillPercent));
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
                members.number(key, ShortestText(*value));
            }
        }
        out += '}';
    }
    out += "\n}\n";
    return out;
}

} // namespace lenstally
