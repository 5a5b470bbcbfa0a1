// SPDX-License-Identifier: MIT
#include "web/module/planner_session.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>
#include <utility>

#include "form/actions.hpp"
#include "form/control_names.hpp"
#include "project/camera_inputs.hpp"
#include "project/group_rows.hpp"
#include "project/project_reports.hpp"
#include "project/project_writer.hpp"
#include "project/report_html.hpp"
#include "project/view_drawing.hpp"
#include "web/module/form_json.hpp"

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

// A control's name as the window reads it out, without the caption's colon: "Number of
// Cameras", "H.264".
std::string spokenName(const Form1& form, ControlId id) {
    const auto label = NamingLabel(id);
    std::string name = SpokenName(label ? form.control(*label).text : Describe(id).name);
    std::erase(name, ':');
    return name;
}

Form1 copyOf(const Form1& form) {
    Form1 copy = form;
    copy.setChangeListener({});
    return copy;
}

bool sameInputs(const Form1& a, const Form1& b) {
    return std::all_of(Actions().begin(), Actions().end(),
                       [&a, &b](const ActionDescription& action) {
                           return CurrentValue(a, action) == CurrentValue(b, action);
                       });
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
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "#%06x", static_cast<unsigned>(rgb & 0xffffffU));
    return text.data();
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
    const CameraDetails& camera = result.camera;
    Json inputs;
    inputs["camera"] = camera.description.value_or("");
    inputs["pixels"] = result.pixels;
    inputs["resolutionWidth"] = !camera.pixels;
    inputs["view"] = camera.view.has_value();
    if (camera.view) {
        const Lens& lens = camera.view->lens;
        ViewInputs shown;
        shown.distance = camera.view->distance;
        shown.form = lens.form;
        if (lens.form == LensForm::Angle) {
            shown.hfov = lens.hfov;
        } else {
            shown.focal = lens.focal;
            shown.sensor = lens.sensor;
        }
        Json target = viewInputsJson(shown);
        // Only the lens of the view's form is the group's; the page keeps the other's values.
        target[lens.form == LensForm::Angle ? "focal" : "hfov"] = nullptr;
        if (lens.form == LensForm::Angle) {
            target["sensor"] = nullptr;
        }
        inputs.update(target);
    }
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

} // namespace

Json PlannerSession::row(std::size_t i) const {
    Json row = Json::array();
    for (std::size_t c = 0; c < kGroupColumnCount; ++c) {
        row.push_back(GroupCellText(m_document, i, static_cast<GroupColumn>(c)));
    }
    return row;
}

Json PlannerSession::totalRow() const {
    Json row = Json::array();
    for (std::size_t c = 0; c < kGroupColumnCount; ++c) {
        row.push_back(TotalCellText(m_document.totals(), static_cast<GroupColumn>(c)));
    }
    return row;
}

Json PlannerSession::show(std::optional<std::size_t> firstRow, bool withForm) const {
    Json j;
    j["name"] = m_document.name() ? Json(*m_document.name()) : Json(nullptr);
    j["count"] = m_document.groupCount();
    if (firstRow) {
        if (*firstRow == 0) {
            j["columns"] = columnsJson();
        }
        j["rowsFrom"] = *firstRow;
        Json rows = Json::array();
        for (std::size_t i = *firstRow; i < m_document.groupCount(); ++i) {
            rows.push_back(row(i));
        }
        j["rows"] = std::move(rows);
    }
    j["total"] = totalRow();
    j["selected"] = m_selected ? Json(*m_selected) : Json(nullptr);
    if (m_selected) {
        const std::size_t i = *m_selected;
        Json group;
        group["name"] = m_document.group(i).name;
        group["activity"] = m_document.group(i).activity;
        group["recorded"] = m_document.result(i).storage;
        group["camera"] = cameraJson(m_document.result(i));
        j["group"] = std::move(group);
        if (withForm) {
            Json form = Json::array();
            for (const ControlDescription& d : ControlDescriptions()) {
                form.push_back(controlState(m_document.group(i).form, d.id));
            }
            j["form"] = std::move(form);
        }
    } else {
        j["group"] = nullptr;
    }
    j["plan"] = planInputs(plan());
    j["storageLines"] = linesJson(m_document.totals().storageLines, true);
    j["recorderLines"] = linesJson(m_document.totals().recorderLines, false);
    j["undo"] = m_done > 0 ? Json(m_steps[m_done - 1].label) : Json(nullptr);
    j["redo"] = m_done < m_steps.size() ? Json(m_steps[m_done].label) : Json(nullptr);
    j["note"] = m_note;
    j["firstView"] = viewInputsJson(ViewInputs{});
    return j;
}

void PlannerSession::push(Step step) {
    m_steps.resize(m_done);
    if (!m_steps.empty() && !step.mergeKey.empty() && m_steps.back().mergeKey == step.mergeKey) {
        m_steps.back().redo = std::move(step.redo);
        return;
    }
    m_steps.push_back(std::move(step));
    m_done = m_steps.size();
}

Json PlannerSession::answer(const nlohmann::json& request) {
    const auto what = stringField(request, "planner");
    if (!what) {
        return errorAnswer("the planner does not know that request");
    }
    m_note.clear();
    if (*what == "open" || *what == "new") {
        ProjectDocument document;
        if (*what == "open") {
            const auto text = stringField(request, "text");
            ProjectParse parsed = ParseProject(text.value_or(""));
            if (!parsed.project) {
                // The project on screen stays as it is.
                return errorAnswer(parsed.error);
            }
            document = ProjectDocument(*parsed.project);
        }
        m_document = std::move(document);
        m_savedText = ProjectFileText(m_document.toProject());
        m_steps.clear();
        m_done = 0;
        m_selected = m_document.groupCount() > 0 ? std::optional<std::size_t>(0) : std::nullopt;
        return show(0);
    }
    if (*what == "show") {
        return show(0);
    }
    // Whether the project differs from the one last opened, started or saved; "saved" marks the
    // project as it is now as saved.
    if (*what == "changed" || *what == "saved") {
        const std::string text = ProjectFileText(m_document.toProject());
        if (*what == "saved") {
            m_savedText = text;
        }
        Json j;
        j["changed"] = text != m_savedText;
        return j;
    }
    if (*what == "report") {
        Json j;
        // Each camera view's picture is a place the page draws it in, with the figures it needs.
        const ProjectResult result = m_document.result();
        Json pictures = Json::array();
        j["html"] = ReportBodyHtml(result, stringField(request, "date").value_or(""),
                                   [&result, &pictures](std::size_t group) {
                                       pictures.push_back(pictureJson(*result.groups[group].view));
                                       return R"(<div class="view-picture" data-picture=")" +
                                              std::to_string(pictures.size() - 1) + "\"></div>";
                                   });
        j["pictures"] = std::move(pictures);
        return j;
    }
    if (*what == "save" || *what == "json" || *what == "csv" || *what == "table") {
        std::ostringstream out;
        if (*what == "save") {
            out << ProjectFileText(m_document.toProject());
        } else if (*what == "json") {
            WriteProjectJson(m_document.result(), out);
        } else if (*what == "csv") {
            WriteProjectCsv(m_document.result(), out);
        } else {
            WriteProjectTable(m_document.result(), out);
        }
        Json j;
        j["text"] = out.str();
        return j;
    }
    if (*what == "select") {
        const auto group = integerField(request, "group");
        if (!group || *group < 0 || static_cast<std::size_t>(*group) >= m_document.groupCount()) {
            return errorAnswer("no such group");
        }
        m_selected = static_cast<std::size_t>(*group);
        return show(std::nullopt);
    }
    if (*what == "undo" || *what == "redo") {
        const bool undo = *what == "undo";
        if (undo ? m_done == 0 : m_done == m_steps.size()) {
            return show(std::nullopt);
        }
        const Step& step = undo ? m_steps[m_done - 1] : m_steps[m_done];
        (undo ? step.undo : step.redo)(m_document);
        const std::optional<std::size_t> select = undo ? step.afterUndo : step.afterRedo;
        const bool structural = step.structural;
        m_done = undo ? m_done - 1 : m_done + 1;
        if (select) {
            m_selected = select;
        }
        if (m_selected && *m_selected >= m_document.groupCount()) {
            m_selected = m_document.groupCount() == 0 ? std::nullopt
                                                      : std::optional(m_document.groupCount() - 1);
        }
        return show(structural ? std::optional<std::size_t>(0) : select);
    }
    return edit(*what, request);
}

Json PlannerSession::edit(const std::string& what, const nlohmann::json& request) {
    const std::size_t count = m_document.groupCount();
    const auto groupField = integerField(request, "group");
    const bool groupGiven =
        groupField && *groupField >= 0 && static_cast<std::size_t>(*groupField) < count;
    const std::size_t group = groupGiven ? static_cast<std::size_t>(*groupField) : 0;

    if (what == "add" || what == "duplicate") {
        const bool duplicate = what == "duplicate";
        if (duplicate && !m_selected) {
            return show(std::nullopt);
        }
        const std::size_t at = m_selected ? *m_selected + 1 : count;
        ProjectDocument::Group made =
            duplicate ? ProjectDocument::Group(m_document.group(*m_selected))
                      : m_document.newGroup("Group " + std::to_string(count + 1));
        if (duplicate) {
            made.name += " (copy)";
        }
        made.form.setChangeListener({});
        const auto shared = std::make_shared<ProjectDocument::Group>(std::move(made));
        Step step{duplicate ? "Duplicate group" : "Add group",
                  {},
                  [at](ProjectDocument& d) { d.takeGroup(at); },
                  [at, shared](ProjectDocument& d) { d.insertGroup(at, *shared); },
                  m_selected,
                  at,
                  true};
        step.redo(m_document);
        m_selected = at;
        push(std::move(step));
        return show(at);
    }
    if (what == "remove" || what == "up" || what == "down") {
        if (!m_selected) {
            return show(std::nullopt);
        }
        const std::size_t at = *m_selected;
        if (what == "remove") {
            const auto kept = std::make_shared<ProjectDocument::Group>(m_document.takeGroup(at));
            Step step{"Remove group",
                      {},
                      [at, kept](ProjectDocument& d) { d.insertGroup(at, *kept); },
                      [at](ProjectDocument& d) { d.takeGroup(at); },
                      at,
                      at,
                      true};
            push(std::move(step));
            m_selected = m_document.groupCount() == 0
                             ? std::nullopt
                             : std::optional(std::min(at, m_document.groupCount() - 1));
            return show(at);
        }
        const bool up = what == "up";
        if (up ? at == 0 : at + 1 >= count) {
            return show(std::nullopt);
        }
        const std::size_t to = up ? at - 1 : at + 1;
        Step step{up ? "Move up" : "Move down",
                  {},
                  [at, to](ProjectDocument& d) { d.moveGroup(to, at); },
                  [at, to](ProjectDocument& d) { d.moveGroup(at, to); },
                  at,
                  to,
                  true};
        step.redo(m_document);
        push(std::move(step));
        m_selected = to;
        return show(std::min(at, to));
    }
    if (what == "project-name") {
        const auto it = request.find("name");
        std::optional<std::string> name;
        if (it != request.end() && it->is_string() && !it->get<std::string>().empty()) {
            name = it->get<std::string>();
        }
        const std::optional<std::string> before = m_document.name();
        if (before == name) {
            return show(std::nullopt, false);
        }
        m_document.setName(name);
        push({"Rename project", "project-name", [before](ProjectDocument& d) { d.setName(before); },
              [name](ProjectDocument& d) { d.setName(name); }, std::nullopt, std::nullopt, false});
        return show(std::nullopt, false);
    }
    if (what == "plan") {
        const auto inputs = request.find("inputs");
        if (inputs == request.end() || !inputs->is_object()) {
            return errorAnswer("no plan inputs");
        }
        const PlanSettings before = plan();
        const PlanEdit next = readPlanInputs(*inputs);
        if (!next.error.empty()) {
            Json answer = show(std::nullopt, false);
            answer["error"] = next.error;
            return answer;
        }
        const auto apply = [](const PlanSettings& settings) {
            return [settings](ProjectDocument& d) {
                d.setStorage(settings.storage);
                d.setRecorder(settings.recorder);
            };
        };
        apply(next.settled.settings)(m_document);
        push({"Edit plan", "plan:" + stringField(request, "field").value_or(""), apply(before),
              apply(next.settled.settings), std::nullopt, std::nullopt, false});
        m_note = next.settled.note;
        return show(std::nullopt, false);
    }
    if (!groupGiven) {
        return errorAnswer("no such group");
    }
    m_selected = group;
    if (what == "rename") {
        const std::string name = stringField(request, "name").value_or("");
        const std::string before = m_document.group(group).name;
        if (name == before) {
            return show(std::nullopt, false);
        }
        m_document.setGroupName(group, name);
        push({"Rename group", "rename:" + std::to_string(group),
              [group, before](ProjectDocument& d) { d.setGroupName(group, before); },
              [group, name](ProjectDocument& d) { d.setGroupName(group, name); }, group, group,
              false});
        return show(group, false);
    }
    if (what == "activity") {
        const auto it = request.find("value");
        if (it == request.end() || !it->is_number()) {
            return errorAnswer("the activity is a number from 0 to 100");
        }
        const double activity = std::clamp(it->get<double>(), 0.0, 100.0);
        const double before = m_document.group(group).activity;
        if (activity == before) {
            return show(std::nullopt, false);
        }
        m_document.setActivity(group, activity);
        push({"Edit activity", "activity:" + std::to_string(group),
              [group, before](ProjectDocument& d) { d.setActivity(group, before); },
              [group, activity](ProjectDocument& d) { d.setActivity(group, activity); }, group,
              group, false});
        return show(group, false);
    }
    if (what == "cameras") {
        nlohmann::json action;
        action["do"] = "type";
        action["control"] = "txtCameraCount";
        action["text"] = stringField(request, "text").value_or("");
        return formEdit(group, action);
    }
    if (what == "camera") {
        return cameraEdit(group, request);
    }
    if (what == "form") {
        const auto action = request.find("action");
        if (action == request.end() || !action->is_object()) {
            return errorAnswer("no calculator action");
        }
        return formEdit(group, *action);
    }
    return errorAnswer("the planner does not know that request");
}

Json PlannerSession::formEdit(std::size_t group, const nlohmann::json& action) {
    Form1& form = m_document.form(group);
    const Form1 before = copyOf(form);
    Json done = performOnForm(form, action);
    if (done.contains("error")) {
        return done;
    }
    m_document.refresh(group);
    const Form1 after = copyOf(form);
    if (!sameInputs(before, after)) {
        const auto control = controlNamed(action["control"].get<std::string>());
        const std::string what = "Edit " + spokenName(after, *control);
        const auto first = std::make_shared<Form1>(before);
        const auto last = std::make_shared<Form1>(after);
        // Consecutive typing in one box of one group makes one step.
        const bool typing = action["do"] == "type";
        push({what,
              typing ? "type:" + std::to_string(group) + ":" + std::string(Describe(*control).name)
                     : std::string(),
              [group, first](ProjectDocument& d) { d.replaceForm(group, *first); },
              [group, last](ProjectDocument& d) { d.replaceForm(group, *last); }, group, group,
              false});
    }
    Json answer = show(group, false);
    answer["changed"] = std::move(done["changed"]);
    return answer;
}

Json PlannerSession::cameraEdit(std::size_t group, const nlohmann::json& request) {
    const auto fieldName = stringField(request, "field");
    const auto* const field =
        std::find_if(std::begin(kCameraFields), std::end(kCameraFields),
                     [&fieldName](const auto& f) { return f.first == fieldName; });
    const auto inputsField = request.find("inputs");
    if (field == std::end(kCameraFields) || inputsField == request.end() ||
        !inputsField->is_object()) {
        return errorAnswer("no camera input");
    }
    const nlohmann::json& in = *inputsField;
    CameraInputs inputs;
    inputs.camera = stringField(in, "camera").value_or("");
    const double pixels = numberField(in, "pixels");
    const bool wholePixels =
        std::isfinite(pixels) && pixels == std::trunc(pixels) && std::abs(pixels) <= 1e15;
    inputs.pixels = wholePixels ? static_cast<std::int64_t>(pixels) : 0;
    inputs.resolutionWidth = boolField(in, "resolutionWidth", true);
    inputs.view = boolField(in, "view", false);
    inputs.target = {numberField(in, "distance"),
                     stringField(in, "lensForm") == "focal" ? LensForm::Focal : LensForm::Angle,
                     numberField(in, "hfov"), numberField(in, "focal"), numberField(in, "sensor")};

    const CameraDetails before = m_document.group(group).camera;
    const CameraDetails next = EditedCamera(before, field->second, inputs);
    std::string problem;
    if (next.pixels && next.pixels != before.pixels && !wholePixels) {
        problem = "\"pixels\" must be a whole number";
    } else if (next.view &&
               (!std::isfinite(next.view->distance) || !std::isfinite(next.view->lens.hfov) ||
                !std::isfinite(next.view->lens.focal) || !std::isfinite(next.view->lens.sensor))) {
        problem = "view: the distance and the lens must be numbers";
    } else {
        problem = CameraDetailsProblem(next);
    }
    if (!problem.empty()) {
        // The group keeps its details; the page shows them again, and why.
        Json answer = show(std::nullopt, false);
        answer["error"] = std::move(problem);
        return answer;
    }
    if (next != before) {
        m_document.setCamera(group, next);
        push({"Edit camera view",
              "camera:" + std::to_string(group) + ":" + std::string(field->first),
              [group, before](ProjectDocument& d) { d.setCamera(group, before); },
              [group, next](ProjectDocument& d) { d.setCamera(group, next); }, group, group,
              false});
    }
    return show(group, false);
}

} // namespace lenstally::web
