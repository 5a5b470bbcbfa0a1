// SPDX-License-Identifier: MIT
#include "web/module/planner_answers.hpp"

#include "estimation/numeric_text.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "project/camera_inputs.hpp"
#include "project/group_rows.hpp"
#include "project/project_reports.hpp"
#include "project/project_writer.hpp"
#include "project/report_html.hpp"
#include "project/site_lines.hpp"
#include "project/site_points_text.hpp"
#include "project/site_svg.hpp"
#include "project/view_drawing.hpp"
#include "web/module/form_json.hpp"
#include "web/module/plan_inputs.hpp"

namespace lenstally::web {
namespace {

std::optional<std::int64_t> integerField(const nlohmann::json& request, const char* key) {
    const auto it = request.find(key);
    return it != request.end() && it->is_number_integer() ? std::optional(it->get<std::int64_t>())
                                                          : std::nullopt;
}

std::optional<std::string> stringField(const nlohmann::json& request, const char* key) {
    const auto it = request.find(key);
    return it != request.end() && it->is_string() ? std::optional(it->get<std::string>())
                                                  : std::nullopt;
}

// The lines of the plan the planner shows beside its inputs: its figures (the assumptions are
// the inputs themselves).
Json linesJson(const std::vector<PlanLine>& lines, bool figuresOnly) {
    Json list = Json::array();
    for (const PlanLine& line : lines) {
        if (figuresOnly && line.kind != PlanLine::Kind::Figure) {
            continue;
        }
        Json j;
        j["label"] = line.label;
        j["value"] = line.text;
        j["warning"] = line.warning;
        list.push_back(std::move(j));
    }
    return list;
}

// The table's columns: the header, whether it holds words, and the request that edits it.
Json columnsJson() {
    Json columns = Json::array();
    for (std::size_t c = 0; c < kGroupColumnCount; ++c) {
        const auto column = static_cast<GroupColumn>(c);
        Json j;
        j["header"] = kGroupColumnHeaders[c];
        j["words"] = IsWordColumn(column);
        j["narrow"] = IsNarrowColumn(column);
        j["edit"] = column == GroupColumn::Name       ? Json("rename")
                    : column == GroupColumn::Cameras  ? Json("cameras")
                    : column == GroupColumn::Activity ? Json("activity")
                                                      : Json(nullptr);
        columns.push_back(std::move(j));
    }
    return columns;
}

// "#8fcdf0"
std::string colourText(std::uint32_t rgb) {
    std::string text = "#";
    for (int shift = 20; shift >= 0; shift -= 4) {
        text += "0123456789abcdef"[(rgb >> shift) & 0xfU];
    }
    return text;
}

// What the page draws for a camera view: every distance, colour and text as the core works it
// out (see ViewDrawing); the page only scales metres to its picture's width.
Json pictureJson(const ViewFigures& view) {
    const ViewDrawing d = DrawingOf(view);
    Json j;
    j["range"] = d.range;
    j["spread"] = d.spread;
    j["target"] = d.target;
    // The bands in drawing order, Monitor first; the key lists them the other way round.
    Json bands = Json::array();
    Json key = Json::array();
    for (const ViewDrawing::Band& band : d.bands) {
        Json b;
        b["level"] = ViewLevelOf(band.level).name;
        b["reach"] = band.reach;
        b["colour"] = colourText(band.colour);
        bands.push_back(std::move(b));
        Json k;
        k["colour"] = colourText(band.colour);
        k["text"] = band.key;
        key.insert(key.begin(), std::move(k));
    }
    j["bands"] = std::move(bands);
    j["key"] = std::move(key);
    j["ground"] = colourText(d.ground);
    j["ink"] = colourText(d.ink);
    j["targetLabel"] = d.targetLabel;
    j["rangeLabel"] = d.rangeLabel;
    j["description"] = d.description;
    return j;
}

Json viewInputsJson(const ViewInputs& v) {
    Json j;
    j["distance"] = v.distance;
    j["lensForm"] = v.form == LensForm::Angle ? "angle" : "focal";
    j["hfov"] = v.hfov;
    j["focal"] = v.focal;
    j["sensor"] = v.sensor;
    return j;
}

// The selected group's camera section: what its inputs show (the view's only with a view; the
// page keeps its own while the view is off), the view's figures in words and its picture.
Json cameraJson(const GroupResult& result) {
    const CameraInputs shown = ShownCameraInputs(result, ViewInputs{});
    Json inputs;
    inputs["camera"] = shown.camera;
    inputs["pixels"] = result.pixels;
    inputs["resolutionWidth"] = shown.resolutionWidth;
    inputs["view"] = shown.view;
    inputs.update(shown.view ? viewInputsJson(shown.target)
                             : Json::object({{"distance", nullptr},
                                             {"lensForm", nullptr},
                                             {"hfov", nullptr},
                                             {"focal", nullptr},
                                             {"sensor", nullptr}}));
    Json j;
    j["inputs"] = std::move(inputs);
    Json figures = Json::array();
    for (const PlanLine& line : result.viewLines) {
        if (line.kind == PlanLine::Kind::Figure) {
            Json f;
            f["label"] = line.label;
            f["value"] = line.text;
            f["warning"] = line.warning;
            figures.push_back(std::move(f));
        }
    }
    j["figures"] = std::move(figures);
    j["picture"] = result.view ? pictureJson(*result.view) : Json(nullptr);
    return j;
}

constexpr std::pair<std::string_view, CameraField> kCameraFields[] = {
    {"camera", CameraField::Camera},
    {"pixels", CameraField::Pixels},
    {"resolutionWidth", CameraField::ResolutionWidth},
    {"view", CameraField::View},
    {"distance", CameraField::Distance},
    {"lensForm", CameraField::LensForm},
    {"hfov", CameraField::Hfov},
    {"focal", CameraField::Focal},
    {"sensor", CameraField::Sensor}};

bool boolField(const nlohmann::json& request, const char* key, bool otherwise) {
    const auto it = request.find(key);
    return it != request.end() && it->is_boolean() ? it->get<bool>() : otherwise;
}

// A number input's value; NaN where the page sent none (an empty box).
double numberField(const nlohmann::json& inputs, const char* key) {
    const auto it = inputs.find(key);
    return it != inputs.end() && it->is_number() ? it->get<double>() : std::nan("");
}

// One row of the groups table, or the TOTAL row, in words.
Json rowJson(const ProjectDocument& document, std::size_t i) {
    Json row = Json::array();
    for (std::size_t c = 0; c < kGroupColumnCount; ++c) {
        row.push_back(GroupCellText(document, i, static_cast<GroupColumn>(c)));
    }
    return row;
}

Json totalJson(const ProjectTotals& totals) {
    Json row = Json::array();
    for (std::size_t c = 0; c < kGroupColumnCount; ++c) {
        row.push_back(TotalCellText(totals, static_cast<GroupColumn>(c)));
    }
    return row;
}

// The rows `rows` names, each as [position, [texts...]].
Json rowsJson(const ProjectDocument& document, const std::vector<std::size_t>& rows) {
    Json list = Json::array();
    for (const std::size_t i : rows) {
        if (i < document.groupCount()) {
            list.push_back(Json::array({i, rowJson(document, i)}));
        }
    }
    return list;
}

// Groups inserted, removed and moved, in the order made: {"insert": at}, {"remove": at} or
// {"move": from, "to": to}.
Json shiftsJson(const std::vector<ProjectDocument::GroupChange>& shifts) {
    using Kind = ProjectDocument::GroupChange::Kind;
    Json list = Json::array();
    for (const ProjectDocument::GroupChange& c : shifts) {
        Json j;
        if (c.kind == Kind::Insert) {
            j["insert"] = c.at;
        } else if (c.kind == Kind::Remove) {
            j["remove"] = c.at;
        } else if (c.kind == Kind::Move) {
            j["move"] = c.at;
            j["to"] = c.to;
        } else {
            continue; // Replace is told as an edited row, Reset as a new list
        }
        list.push_back(std::move(j));
    }
    return list;
}

// The selected group's own inputs and figures beside the table.
Json groupJson(const ProjectDocument& document, std::size_t i) {
    Json group;
    group["name"] = document.group(i).name;
    group["activity"] = document.group(i).activity;
    group["recorded"] = document.result(i).storage;
    group["camera"] = cameraJson(document.result(i));
    return group;
}

CameraInputs cameraInputsOf(const nlohmann::json& in) {
    CameraInputs inputs;
    inputs.camera = stringField(in, "camera").value_or("");
    inputs.pixels = numberField(in, "pixels");
    inputs.resolutionWidth = boolField(in, "resolutionWidth", true);
    inputs.view = boolField(in, "view", false);
    inputs.target = {numberField(in, "distance"),
                     stringField(in, "lensForm") == "focal" ? LensForm::Focal : LensForm::Angle,
                     numberField(in, "hfov"), numberField(in, "focal"), numberField(in, "sensor")};
    return inputs;
}

// A point as [x, y] in metres; nullopt for anything else.
std::optional<SitePoint> pointOf(const nlohmann::json& j) {
    if (!j.is_array() || j.size() != 2 || !j[0].is_number() || !j[1].is_number()) {
        return std::nullopt;
    }
    return SitePoint{j[0].get<double>(), j[1].get<double>()};
}

std::optional<std::vector<SitePoint>> pointsOf(const nlohmann::json& request, const char* key) {
    const auto it = request.find(key);
    if (it == request.end() || !it->is_array()) {
        return std::nullopt;
    }
    std::vector<SitePoint> points;
    for (const nlohmann::json& j : *it) {
        const std::optional<SitePoint> p = pointOf(j);
        if (!p) {
            return std::nullopt;
        }
        points.push_back(*p);
    }
    return points;
}

// The site plan as the page shows it: the command line's drawing (SVG text, whose plan's image is
// an <image> of its data URL), where it puts the plan (so the page lays its handles over it), and
// the list: each placement, zone and wall. Without `drawing`, the list alone: drawing a large plan
// takes longer than a frame, so a drag leaves it until the camera is let go.
Json siteJson(const std::optional<SiteResult>& result, bool drawing) {
    if (!result) {
        return nullptr;
    }
    const SiteResult& site = *result;
    const SiteSvgFrame frame = SiteSvgFrameOf(site.site);
    Json j;
    j["width"] = site.site.width;
    if (drawing) {
        j["svg"] = SiteSvg(site);
    }
    j["margin"] = frame.margin;
    j["scale"] = frame.scale;
    Json placements = Json::array();
    for (const PlacementResult& p : site.placements) {
        placements.push_back({{"group", p.group},
                              {"index", p.index},
                              {"label", p.label},
                              {"x", p.placement.x},
                              {"y", p.placement.y},
                              {"heading", p.placement.heading}});
    }
    j["placements"] = std::move(placements);
    const std::vector<ZoneLine> lines = ZoneLines(site);
    Json zones = Json::array();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        zones.push_back({{"name", site.site.zones[i].name},
                         {"level", lines[i].level},
                         {"required", site.site.zones[i].required},
                         {"percent", FixedText(site.zones[i].percent, 1)},
                         {"met", site.zones[i].met}});
    }
    j["zones"] = std::move(zones);
    Json walls = Json::array();
    for (const std::vector<SitePoint>& wall : site.site.walls) {
        walls.push_back(wall.size());
    }
    j["walls"] = std::move(walls);
    return j;
}

std::optional<ViewLevel> levelNamed(const std::optional<std::string>& name) {
    for (std::size_t i = 0; i < kViewLevelCount; ++i) {
        if (name == kViewLevels[i].name) {
            return kViewLevels[i].level;
        }
    }
    return std::nullopt;
}

} // namespace

Json PlannerAnswers::show(const SessionChange& change, bool everything) const {
    const ProjectDocument& document = m_session.document();
    const std::optional<std::size_t> selected = m_session.selected();
    Json j;
    j["name"] = document.name() ? Json(*document.name()) : Json(nullptr);
    j["count"] = document.groupCount();
    j["selected"] = selected ? Json(*selected) : Json(nullptr);
    // A whole new list of groups: the page forgets every row it holds.
    const bool reset =
        everything || std::any_of(change.shifts.begin(), change.shifts.end(),
                                  [](const ProjectDocument::GroupChange& c) {
                                      return c.kind == ProjectDocument::GroupChange::Kind::Reset;
                                  });
    if (reset) {
        j["reset"] = true;
        j["columns"] = columnsJson();
        j["firstView"] = viewInputsJson(ViewInputs{});
    } else if (!change.shifts.empty()) {
        j["shifts"] = shiftsJson(change.shifts);
    }
    if (!reset && !change.rows.empty()) {
        j["rows"] = rowsJson(document, change.rows);
    }
    if (everything || change.totals) {
        j["total"] = totalJson(document.totals());
    }
    if (everything || change.totals || change.plan) {
        j["storageLines"] = linesJson(document.totals().storageLines, true);
        j["recorderLines"] = linesJson(document.totals().recorderLines, false);
    }
    if (everything || change.plan) {
        j["plan"] = planInputs({document.storage(), document.recorder()});
    }
    if (everything || change.selection || change.group || change.form) {
        j["group"] = selected ? groupJson(document, *selected) : Json(nullptr);
    }
    if (selected) {
        const Form1& form = document.group(*selected).form;
        if (everything || change.form) {
            Json controls = Json::array();
            for (const ControlDescription& d : ControlDescriptions()) {
                controls.push_back(controlState(form, d.id));
            }
            j["form"] = std::move(controls);
        } else if (!change.controls.empty()) {
            j["changed"] = changedControls(form, change.controls);
        }
    }
    // A placed camera is named after its group and found by its group's place in the list, so
    // the list is shown anew as groups are renamed, inserted, removed or moved too.
    if (everything || change.site || !change.shifts.empty() || !change.rows.empty()) {
        j["site"] = siteJson(document.siteResult(), m_drawing);
        if (!m_drawing && m_moved && document.siteResult() &&
            *m_moved < document.siteResult()->placements.size()) {
            j["site"]["view"] = {{"placement", *m_moved},
                                 {"svg", SiteViewSvg(*document.siteResult(), *m_moved)}};
        }
    }
    j["undo"] = m_session.undoText() ? Json(*m_session.undoText()) : Json(nullptr);
    j["redo"] = m_session.redoText() ? Json(*m_session.redoText()) : Json(nullptr);
    j["modified"] = m_session.isModified();
    // Whether the project itself changed: an edit, or its undo or redo (not a selection, nor an
    // edit that changed nothing).
    j["edited"] = !everything && change.history;
    j["note"] = change.note;
    if (!change.error.empty()) {
        j["error"] = change.error;
    }
    return j;
}

Json PlannerAnswers::answer(const nlohmann::json& request) {
    const auto what = stringField(request, "planner");
    if (!what) {
        return errorAnswer("the planner does not know that request");
    }
    const ProjectDocument& document = m_session.document();
    m_drawing = boolField(request, "drawing", true);
    m_moved.reset();
    if (*what == "open") {
        const ProjectParse parsed = ParseProject(stringField(request, "text").value_or(""));
        if (!parsed.project) {
            return errorAnswer(parsed.error); // the project on screen stays as it is
        }
        return show(m_session.open(*parsed.project), true);
    }
    if (*what == "new") {
        return show(m_session.startNew(), true);
    }
    if (*what == "show") {
        return show({}, true);
    }
    if (*what == "site") {
        Json j;
        j["site"] = siteJson(document.siteResult(), true);
        return j;
    }
    if (*what == "closeStep") {
        m_session.closeStep();
        return Json::object();
    }
    if (*what == "sitePoints") {
        // The points of one wall or zone ({"wall": i} or {"zone": i}), and as a line of text.
        const std::optional<SiteSection>& site = document.site();
        const bool wall = request.contains("wall");
        const std::int64_t item = integerField(request, wall ? "wall" : "zone").value_or(-1);
        const std::size_t count = !site ? 0 : wall ? site->walls.size() : site->zones.size();
        if (item < 0 || static_cast<std::size_t>(item) >= count) {
            return errorAnswer(wall ? "no such wall" : "no such zone");
        }
        const auto i = static_cast<std::size_t>(item);
        const std::vector<SitePoint>& points = wall ? site->walls[i] : site->zones[i].points;
        Json list = Json::array();
        for (const SitePoint& p : points) {
            list.push_back({p.x, p.y});
        }
        Json j;
        j["points"] = std::move(list);
        j["text"] = PointsText(points);
        return j;
    }
    if (*what == "rows") {
        const std::size_t count = document.groupCount();
        const auto from = static_cast<std::size_t>(std::clamp<std::int64_t>(
            integerField(request, "from").value_or(0), 0, static_cast<std::int64_t>(count)));
        const auto to = static_cast<std::size_t>(std::clamp<std::int64_t>(
            integerField(request, "to").value_or(0), 0, static_cast<std::int64_t>(count)));
        std::vector<std::size_t> rows;
        for (std::size_t i = from; i < to; ++i) {
            rows.push_back(i);
        }
        Json j;
        j["count"] = count;
        j["rows"] = rowsJson(document, rows);
        return j;
    }
    if (*what == "changed" || *what == "saved" || *what == "unsaved") {
        if (*what == "saved") {
            m_session.markSaved();
        } else if (*what == "unsaved") {
            m_session.markUnsaved();
        }
        Json j;
        j["changed"] = m_session.isModified();
        return j;
    }
    if (*what == "report") {
        Json j;
        // Each camera view's picture is a place the page draws it in, with the figures it needs.
        const ProjectResult result = document.result();
        Json pictures = Json::array();
        // The site plan's drawing is the SVG the command line writes; the page shows it as an
        // image where the report leaves its place.
        j["html"] = ReportBodyHtml(
            result, stringField(request, "date").value_or(""),
            [&result, &pictures](std::size_t group) {
                pictures.push_back(pictureJson(*result.groups[group].view));
                return R"(<div class="view-picture" data-picture=")" +
                       std::to_string(pictures.size() - 1) + "\"></div>";
            },
            [] { return std::string(R"(<div class="site-picture" data-site-picture></div>)"); });
        j["pictures"] = std::move(pictures);
        j["site"] = result.site ? Json(SiteSvg(*result.site)) : Json(nullptr);
        return j;
    }
    if (std::optional<std::string> text = output(*what)) {
        Json j;
        j["text"] = std::move(*text);
        return j;
    }
    return edit(*what, request);
}

std::optional<std::string> PlannerAnswers::output(std::string_view what) const {
    const ProjectDocument& document = m_session.document();
    if (what == "save") {
        return ProjectFileText(document.toProject());
    }
    std::string out;
    if (what == "json") {
        WriteProjectJson(document.result(), out);
    } else if (what == "csv") {
        WriteProjectCsv(document.result(), out);
    } else if (what == "table") {
        WriteProjectTable(document.result(), out);
    } else {
        return std::nullopt;
    }
    return out;
}

Json PlannerAnswers::edit(const std::string& what, const nlohmann::json& request) {
    const auto groupField = integerField(request, "group");
    const std::size_t group = groupField && *groupField >= 0
                                  ? static_cast<std::size_t>(*groupField)
                                  : m_session.document().groupCount(); // no such group
    if (what == "select") {
        if (group >= m_session.document().groupCount()) {
            return errorAnswer("no such group");
        }
        return show(m_session.select(group));
    }
    if (what == "undo" || what == "redo") {
        return show(what == "undo" ? m_session.undo() : m_session.redo());
    }
    if (what == "add" || what == "duplicate") {
        return show(what == "add" ? m_session.addGroup() : m_session.duplicateGroup());
    }
    if (what == "remove") {
        return show(m_session.removeGroup());
    }
    if (what == "up" || what == "down") {
        return show(what == "up" ? m_session.moveGroupUp() : m_session.moveGroupDown());
    }
    if (what == "project-name") {
        return show(m_session.renameProject(stringField(request, "name").value_or("")));
    }
    if (what == "plan") {
        const auto inputs = request.find("inputs");
        const std::optional<PlanInputs> read =
            inputs != request.end() && inputs->is_object() ? readPlanInputs(*inputs) : std::nullopt;
        const std::optional<PlanField> field =
            planFieldNamed(stringField(request, "field").value_or(""));
        if (!read || !field) {
            return errorAnswer("the plan inputs are incomplete");
        }
        return show(m_session.editPlan(*field, *read));
    }
    if (std::optional<Json> site = siteEdit(what, request)) {
        return *site;
    }
    if (group >= m_session.document().groupCount()) {
        return errorAnswer("no such group");
    }
    if (what == "rename") {
        return show(m_session.renameGroup(group, stringField(request, "name").value_or("")));
    }
    if (what == "activity") {
        const auto it = request.find("value");
        if (it == request.end() || !it->is_number()) {
            return errorAnswer("the activity is a number from 0 to 100");
        }
        return show(m_session.setActivity(group, it->get<double>()));
    }
    if (what == "cameras") {
        return show(m_session.editForm(group, {FormAction::Kind::Type, ControlId::txtCameraCount,
                                               -1, stringField(request, "text").value_or("")}));
    }
    if (what == "form") {
        const auto action = request.find("action");
        const std::optional<FormAction> read =
            action != request.end() && action->is_object() ? formActionOf(*action) : std::nullopt;
        if (!read) {
            return errorAnswer("no calculator action");
        }
        const SessionChange& change = m_session.editForm(group, *read);
        return change.error.empty() ? show(change) : errorAnswer(change.error);
    }
    if (what == "camera") {
        const auto* const field = std::find_if(
            std::begin(kCameraFields), std::end(kCameraFields),
            [name = stringField(request, "field")](const auto& f) { return f.first == name; });
        const auto inputs = request.find("inputs");
        if (field == std::end(kCameraFields) || inputs == request.end() || !inputs->is_object()) {
            return errorAnswer("no camera input");
        }
        return show(m_session.editCamera(group, field->second, cameraInputsOf(*inputs)));
    }
    return errorAnswer("the planner does not know that request");
}

std::optional<Json> PlannerAnswers::siteEdit(const std::string& what,
                                             const nlohmann::json& request) {
    const auto number = [&request](const char* key) {
        return numberField(request, key);
    };
    const auto index = [&request](const char* key) {
        const auto i = integerField(request, key);
        return i && *i >= 0 ? static_cast<std::size_t>(*i) : SIZE_MAX;
    };
    const std::optional<SiteSection>& site = m_session.document().site();
    if (what == "startSite") {
        return show(m_session.startSite(number("width"), number("height")));
    }
    if (what == "removeSite") {
        return show(m_session.removeSite());
    }
    if (what == "siteImage") {
        const auto aspect = request.find("aspect");
        return show(m_session.setSiteImage(stringField(request, "url"),
                                           aspect != request.end() && aspect->is_number()
                                               ? std::optional(aspect->get<double>())
                                               : std::nullopt));
    }
    if (what == "siteWidth") {
        return show(m_session.scaleSiteToWidth(number("width")));
    }
    if (what == "scaleSite") {
        const auto a = request.find("a");
        const auto b = request.find("b");
        const std::optional<SitePoint> from = a != request.end() ? pointOf(*a) : std::nullopt;
        const std::optional<SitePoint> to = b != request.end() ? pointOf(*b) : std::nullopt;
        if (!from || !to) {
            return errorAnswer("two points of the drawing are needed");
        }
        return show(m_session.scaleSite(*from, *to, number("metres")));
    }
    if (what == "addWall" || what == "editWall" || what == "addZone") {
        std::optional<std::vector<SitePoint>> points = pointsOf(request, "points");
        if (!points) {
            return errorAnswer("no points");
        }
        if (what == "addWall") {
            return show(m_session.addWall(std::move(*points)));
        }
        if (what == "editWall") {
            return show(m_session.editWall(index("wall"), std::move(*points)));
        }
        SiteZone zone;
        zone.name = stringField(request, "name").value_or("");
        zone.level = levelNamed(stringField(request, "level")).value_or(ViewLevel::Monitor);
        zone.points = std::move(*points);
        if (const auto required = request.find("required");
            required != request.end() && required->is_number()) {
            zone.required = required->get<double>();
        }
        return show(m_session.addZone(std::move(zone)));
    }
    if (what == "removeWall") {
        return show(m_session.removeWall(index("wall")));
    }
    // The points of one wall or zone, one by one or as text: {"wall": i} or {"zone": i}.
    const SiteOutline outline = request.contains("wall") ? SiteOutline::Wall : SiteOutline::Zone;
    const std::size_t item = index(outline == SiteOutline::Wall ? "wall" : "zone");
    if (what == "movePoint") {
        return show(m_session.movePoint(outline, item, index("point"), {number("x"), number("y")}));
    }
    if (what == "removePoint") {
        return show(m_session.removePoint(outline, item, index("point")));
    }
    if (what == "pointsText") {
        return show(
            m_session.setPointsText(outline, item, stringField(request, "text").value_or("")));
    }
    if (what == "removeZone") {
        return show(m_session.removeZone(index("zone")));
    }
    if (what == "editZone") {
        // The zone as it stands, with the one input the request names changed.
        const std::size_t zone = index("zone");
        if (!site || zone >= site->zones.size()) {
            return errorAnswer("no such zone");
        }
        SiteZone value = site->zones[zone];
        const std::string field = stringField(request, "field").value_or("");
        if (field == "name") {
            value.name = stringField(request, "name").value_or("");
            return show(m_session.editZone(zone, ZoneField::Name, std::move(value)));
        }
        if (field == "level") {
            const std::optional<ViewLevel> level = levelNamed(stringField(request, "level"));
            if (!level) {
                return errorAnswer("no such level");
            }
            value.level = *level;
            return show(m_session.editZone(zone, ZoneField::Level, std::move(value)));
        }
        if (field == "required") {
            value.required = number("required");
            return show(m_session.editZone(zone, ZoneField::Required, std::move(value)));
        }
        std::optional<std::vector<SitePoint>> points = pointsOf(request, "points");
        if (field != "points" || !points) {
            return errorAnswer("no zone input");
        }
        value.points = std::move(*points);
        return show(m_session.editZone(zone, ZoneField::Points, std::move(value)));
    }
    if (what == "placeCamera") {
        return show(
            m_session.placeCamera(index("group"), {number("x"), number("y")}, number("heading")));
    }
    if (what != "editPlacement" && what != "removePlacement") {
        return std::nullopt;
    }
    const std::size_t group = index("group");
    const std::size_t placement = index("index");
    if (group >= m_session.document().groupCount() ||
        placement >= m_session.document().group(group).placements.size()) {
        return errorAnswer("no such placed camera");
    }
    if (what == "removePlacement") {
        return show(m_session.removePlacement(group, placement));
    }
    // The placement as it stands, with the input the request names changed.
    Placement value = m_session.document().group(group).placements[placement];
    const std::string field = stringField(request, "field").value_or("");
    PlacementField changed = PlacementField::Position;
    if (field == "position") {
        value.x = number("x");
        value.y = number("y");
    } else if (field == "x" || field == "y") {
        (field == "x" ? value.x : value.y) = number(field.c_str());
        changed = field == "x" ? PlacementField::X : PlacementField::Y;
    } else if (field == "heading") {
        value.heading = number("heading");
        changed = PlacementField::Heading;
    } else if (field == "label") {
        const std::string label = stringField(request, "label").value_or("");
        value.label = label.empty() ? std::nullopt : std::optional(label);
        changed = PlacementField::Label;
    } else {
        return errorAnswer("no placement input");
    }
    const SessionChange& change =
        m_session.editPlacement(group, placement, changed, std::move(value));
    // The camera's place among all placed: each group's in turn.
    const std::optional<SiteResult>& figures = m_session.document().siteResult();
    for (std::size_t i = 0; figures && i < figures->placements.size(); ++i) {
        if (figures->placements[i].group == group && figures->placements[i].index == placement) {
            m_moved = i;
        }
    }
    return show(change);
}

} // namespace lenstally::web
