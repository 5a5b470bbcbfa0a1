// SPDX-License-Identifier: MIT
#include "project/site_checks.hpp"

#include "estimation/numeric_text.hpp"

#include <algorithm>
#include <cmath>

#include "form/actions.hpp"
#include "form/controls.hpp"
#include "project/json_text.hpp"
#include "site/simple_polygon.hpp"

namespace lenstally::detail {
namespace {

template <typename T> Checked<T> failed(std::string message) {
    return {std::nullopt, std::move(message)};
}

constexpr std::string_view kPlacementKeys[] = {"x", "y", "heading", "label"};

// A text no longer than `longest` characters, or why not.
std::optional<std::string> textProblem(const FileValue& value, const std::string& label,
                                       std::string_view key, std::size_t longest) {
    if (value.kind != FileValue::Kind::String) {
        return About(label, key) + " must be a string";
    }
    const std::size_t length = Characters(value.text);
    if (length > longest) {
        return About(label, key) + " is " + std::to_string(length) +
               " characters long; allowed values are texts of at most " + std::to_string(longest) +
               " characters";
    }
    return std::nullopt;
}

// The point's place in the plan's message: "[90, 10]".
std::string pointText(SitePoint p) {
    return "[" + ShortestText(p.x) + ", " + ShortestText(p.y) + "]";
}

// The first point of `points` outside a plan `width` by `height` metres, as a message.
std::optional<std::string> outsideProblem(std::span<const SitePoint> points, double width,
                                          double height, const std::string& label) {
    for (std::size_t i = 0; i < points.size(); ++i) {
        const SitePoint p = points[i];
        if (!(p.x >= 0 && p.x <= width && p.y >= 0 && p.y <= height)) {
            return label + ": point " + std::to_string(i + 1) + " is " + pointText(p) +
                   "; allowed values are points [x, y] with x from 0 to " + ShortestText(width) +
                   " and y from 0 to " + ShortestText(height) + " (metres, inside the plan)";
        }
    }
    return std::nullopt;
}

bool isBase64Letter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '/';
}

// Base64 text: its letters, then at most two "=" that pad it to a multiple of four; unpadded, a
// length that leaves whole bytes.
bool isBase64(std::string_view text) {
    const auto letters = static_cast<std::size_t>(
        std::find_if_not(text.begin(), text.end(), isBase64Letter) - text.begin());
    const std::size_t padding = text.size() - letters;
    if (letters == 0 || padding > 2 ||
        text.find_first_not_of('=', letters) != std::string_view::npos) {
        return false;
    }
    return padding == 0 ? letters % 4 != 1 : text.size() % 4 == 0;
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// URL-encoded text: printable ASCII other than the blank, each "%" starting a byte in hex.
bool isUrlEncoded(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c <= ' ' || c > '~') {
            return false;
        }
        if (c == '%') {
            if (i + 2 >= text.size() || !isHexDigit(text[i + 1]) || !isHexDigit(text[i + 2])) {
                return false;
            }
            i += 2;
        }
    }
    return true;
}

// The number the group's camera box holds, read as the window reads it: its typed text, or the
// text the box starts with.
double cameraCount(const ProjectGroup& group) {
    const ActionDescription* cameras = FindAction("cameras");
    const auto typed =
        std::find_if(group.actions.begin(), group.actions.end(),
                     [cameras](const ResolvedAction& a) { return a.action == cameras; });
    return ParseNumber(typed != group.actions.end() ? std::string_view(typed->value)
                                                    : Describe(cameras->control).text);
}

// Placement `position` (from 1) of a group, as the file gives it.
Checked<Placement> checkPlacement(const FileValue& value, const std::string& where) {
    if (!value.members) {
        return failed<Placement>(where + " is not an object");
    }
    const std::vector<FileEntry>& entries = *value.members;
    if (std::optional<std::string> problem = KeyProblem(entries, kPlacementKeys, where)) {
        return failed<Placement>(std::move(*problem));
    }
    Placement placement;
    for (const auto& [key, field] : {std::pair{"x", &Placement::x}, std::pair{"y", &Placement::y},
                                     std::pair{"heading", &Placement::heading}}) {
        const FileValue* given = Find(entries, key);
        if (given == nullptr) {
            return failed<Placement>(where + " has no " + JsonString(key));
        }
        const bool heading = field == &Placement::heading;
        const Checked<double> n =
            heading ? NumberValue(
                          where, key, *given, [](double h) { return h >= 0 && h < 360; },
                          "numbers from 0 to under 360 (degrees)")
                    : NumberValue(
                          where, key, *given, [](double v) { return std::isfinite(v); },
                          "numbers of metres from the plan's " +
                              std::string(key[0] == 'x' ? "left" : "top") + " edge");
        if (!n.value) {
            return failed<Placement>(n.error);
        }
        placement.*field = *n.value + 0.0; // never negative zero, which would not read back
    }
    if (const FileValue* label = Find(entries, "label")) {
        if (std::optional<std::string> problem =
                textProblem(*label, where, "label", kLongestPlacementLabel)) {
            return failed<Placement>(std::move(*problem));
        }
        placement.label = label->text;
    }
    return {placement, {}};
}

} // namespace

std::string ZoneLabel(std::size_t position) {
    return "site: zones: " + std::to_string(position);
}

Checked<SiteZone> CheckZone(const std::vector<FileEntry>& entries, std::vector<SitePoint> points,
                            std::size_t position) {
    const std::string label = ZoneLabel(position);
    for (const std::string_view key : {"name", "level", "points"}) {
        if (Find(entries, key) == nullptr) {
            return failed<SiteZone>(label + " has no " + JsonString(std::string(key)));
        }
    }
    SiteZone zone;
    const FileValue& name = *Find(entries, "name");
    if (std::optional<std::string> problem = textProblem(name, label, "name", kLongestZoneName)) {
        return failed<SiteZone>(std::move(*problem));
    }
    zone.name = name.text;

    const FileValue& level = *Find(entries, "level");
    if (level.kind != FileValue::Kind::String) {
        return failed<SiteZone>(About(label, "level") + " must be a string");
    }
    const auto* const known =
        std::find_if(kViewLevels.begin(), kViewLevels.end(),
                     [&level](const ViewLevelInfo& l) { return l.name == level.text; });
    if (known == kViewLevels.end()) {
        std::vector<std::string_view> names;
        names.reserve(kViewLevels.size());
        for (const ViewLevelInfo& l : kViewLevels) {
            names.push_back(l.name);
        }
        return failed<SiteZone>(About(label, "level") + " is " + JsonString(level.text) +
                                "; allowed values are " + JoinedNames(names));
    }
    zone.level = known->level;

    if (const std::size_t corners = site::PolygonCorners(points).size(); corners < 3) {
        return failed<SiteZone>(About(label, "points") + " has " + std::to_string(corners) +
                                (corners == 1 ? " point" : " points") +
                                " (a point repeated at once counts once); allowed values are "
                                "polygons of 3 or more points");
    }
    zone.points = std::move(points);

    if (const FileValue* required = Find(entries, "required")) {
        const Checked<double> percent = NumberValue(
            label, "required", *required, [](double p) { return p > 0 && p <= 100; },
            "numbers above 0 up to 100 (percent)");
        if (!percent.value) {
            return failed<SiteZone>(percent.error);
        }
        zone.required = *percent.value;
    }
    return {std::move(zone), {}};
}

Checked<SiteSection> CheckSite(const std::vector<FileEntry>& entries,
                               std::vector<std::vector<SitePoint>> walls,
                               std::vector<SiteZone> zones) {
    const std::string label = "site";
    SiteSection site;
    for (const auto& [key, size] :
         {std::pair{"width", &SiteSection::width}, std::pair{"height", &SiteSection::height}}) {
        const FileValue* given = Find(entries, key);
        if (given == nullptr) {
            return failed<SiteSection>("site has no " + JsonString(key) +
                                       " (the plan's size in metres)");
        }
        const Checked<double> n = NumberValue(
            label, key, *given, [](double v) { return v >= 1 && v <= kLargestPlan; },
            "numbers from 1 to 100000 (metres)");
        if (!n.value) {
            return failed<SiteSection>(n.error);
        }
        site.*size = *n.value;
    }
    if (const FileValue* image = Find(entries, "image")) {
        if (image->kind != FileValue::Kind::String) {
            return failed<SiteSection>(About(label, "image") + " must be a string");
        }
        if (image->text.size() > kLongestImage) {
            return failed<SiteSection>(About(label, "image") + " is " +
                                       std::to_string(image->text.size()) +
                                       " bytes long; allowed values are data URLs of at most " +
                                       std::to_string(kLongestImage) + " bytes (20 MB)");
        }
        if (!IsImageDataUrl(image->text)) {
            return failed<SiteSection>(
                About(label, "image") +
                " is not a data URL of a PNG, JPEG or SVG image; allowed values are "
                "data:image/png;base64, or data:image/jpeg;base64, and the file in base64, "
                "data:image/svg+xml;base64, and the file in base64, or data:image/svg+xml, and "
                "the file URL-encoded");
        }
        site.image = image->text;
    }
    for (std::size_t i = 0; i < walls.size(); ++i) {
        if (std::optional<std::string> problem = outsideProblem(
                walls[i], site.width, site.height, "site: walls: " + std::to_string(i + 1))) {
            return failed<SiteSection>(std::move(*problem));
        }
    }
    for (std::size_t i = 0; i < zones.size(); ++i) {
        if (std::optional<std::string> problem =
                outsideProblem(zones[i].points, site.width, site.height, ZoneLabel(i + 1))) {
            return failed<SiteSection>(std::move(*problem));
        }
        if (!site::IsSimplePolygon(zones[i].points)) {
            return failed<SiteSection>(About(ZoneLabel(i + 1), "points") + " cross each other");
        }
    }
    site.walls = std::move(walls);
    site.zones = std::move(zones);
    return {std::move(site), {}};
}

Checked<std::vector<Placement>> CheckPlacements(const FileValue& value, const std::string& label,
                                                const ProjectGroup& group) {
    if (!value.elements) {
        return failed<std::vector<Placement>>(About(label, "placements") + " must be an array");
    }
    const std::vector<FileValue>& elements = *value.elements;
    if (!elements.empty() && !group.camera.view) {
        return failed<std::vector<Placement>>(
            About(label, "placements") +
            " needs a \"view\" (the target and lens of the group's cameras)");
    }
    std::vector<Placement> placements;
    placements.reserve(elements.size());
    for (const FileValue& element : elements) {
        Checked<Placement> placement = checkPlacement(
            element, label + ": placements: " + std::to_string(placements.size() + 1));
        if (!placement.value) {
            return failed<std::vector<Placement>>(std::move(placement.error));
        }
        placements.push_back(std::move(*placement.value));
    }
    const double cameras = cameraCount(group);
    if (std::isfinite(cameras) && cameras == std::floor(cameras) &&
        static_cast<double>(placements.size()) > cameras) {
        return failed<std::vector<Placement>>(
            About(label, "placements") + " holds " + std::to_string(placements.size()) +
            " placements; allowed values are at most one for each of the group's \"cameras\" (" +
            ShortestText(cameras) + ")");
    }
    return {std::move(placements), {}};
}

std::optional<std::string> PlacementsOnSiteProblem(const Project& project) {
    for (std::size_t g = 0; g < project.groups.size(); ++g) {
        const ProjectGroup& group = project.groups[g];
        if (group.placements.empty()) {
            continue;
        }
        const std::string label = GroupLabel(g + 1, group.name);
        if (!project.site) {
            return About(label, "placements") +
                   " needs the project's \"site\" (the plan the cameras stand on)";
        }
        for (std::size_t i = 0; i < group.placements.size(); ++i) {
            const Placement& p = group.placements[i];
            for (const auto& [key, v, edge, side] :
                 {std::tuple{"x", p.x, project.site->width, "width"},
                  std::tuple{"y", p.y, project.site->height, "height"}}) {
                if (!(v >= 0 && v <= edge)) {
                    return About(label + ": placements: " + std::to_string(i + 1), key) + " is " +
                           ShortestText(v) + "; allowed values are numbers from 0 to " +
                           ShortestText(edge) + " (the plan's " + side + " in metres)";
                }
            }
        }
    }
    return std::nullopt;
}

bool IsImageDataUrl(std::string_view text) {
    struct Form {
        std::string_view prefix;
        std::string_view start; // how the base64 text of such a file begins
        bool base64;
    };
    static constexpr Form kForms[] = {
        {"data:image/png;base64,", "iVBORw0KGgo", true}, // the PNG signature
        {"data:image/jpeg;base64,", "/9j/", true},       // the JPEG start-of-image marker
        {"data:image/svg+xml;base64,", "", true},
        {"data:image/svg+xml,", "", false},
    };
    for (const Form& form : kForms) {
        if (text.starts_with(form.prefix)) {
            const std::string_view payload = text.substr(form.prefix.size());
            return form.base64 ? payload.starts_with(form.start) && isBase64(payload)
                               : isUrlEncoded(payload);
        }
    }
    return false;
}

} // namespace lenstally::detail

namespace lenstally {

std::string PlacementLabel(const ProjectGroup& group, std::size_t index) {
    const std::optional<std::string>& label = group.placements.at(index).label;
    return label ? *label : group.name + " " + std::to_string(index + 1);
}

} // namespace lenstally
