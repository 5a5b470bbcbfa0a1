// SPDX-License-Identifier: MIT
#include "project/planner_session.hpp"

#include "estimation/numeric_text.hpp"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

#include "form/actions.hpp"
#include "project/site_checks.hpp"
#include "project/site_points_text.hpp"
#include "site/simple_polygon.hpp"

namespace lenstally {
namespace {

bool sameInputs(const Form1& a, const Form1& b) {
    return std::all_of(Actions().begin(), Actions().end(),
                       [&a, &b](const ActionDescription& action) {
                           return CurrentValue(a, action) == CurrentValue(b, action);
                       });
}

template <typename T> void addOnce(std::vector<T>& list, T value) {
    if (std::find(list.begin(), list.end(), value) == list.end()) {
        list.push_back(value);
    }
}

// A key that makes consecutive edits of one field of one group a single step.
std::string fieldKey(const char* field, std::size_t group, int which = 0) {
    return std::string(field) + ':' + std::to_string(group) + ':' + std::to_string(which);
}

// Characters, not bytes: a UTF-8 text's code points.
std::size_t characters(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

bool onPlan(const SiteSection& site, SitePoint p) {
    return p.x >= 0 && p.x <= site.width && p.y >= 0 && p.y <= site.height;
}

bool allOnPlan(const SiteSection& site, const std::vector<SitePoint>& points) {
    return std::all_of(points.begin(), points.end(),
                       [&site](SitePoint p) { return onPlan(site, p); });
}

std::string outsideMessage(const SiteSection& site) {
    return "points must lie on the plan: x from 0 to " + ShortestText(site.width) +
           " m, y from 0 to " + ShortestText(site.height) + " m";
}

std::size_t segmentsOf(const std::vector<std::vector<SitePoint>>& walls) {
    std::size_t segments = 0;
    for (const std::vector<SitePoint>& wall : walls) {
        segments += wall.empty() ? 0 : wall.size() - 1;
    }
    return segments;
}

std::size_t zonePointsOf(const std::vector<SiteZone>& zones) {
    std::size_t points = 0;
    for (const SiteZone& zone : zones) {
        points += zone.points.size();
    }
    return points;
}

// Why a site could not have a wall through `points` in place of `replaced` (none to add one).
std::string wallProblem(const SiteSection& site, const std::vector<SitePoint>& points,
                        std::optional<std::size_t> replaced) {
    if (points.size() < 2) {
        return "a wall needs 2 or more points";
    }
    if (!allOnPlan(site, points)) {
        return outsideMessage(site);
    }
    const std::size_t others =
        segmentsOf(site.walls) -
        (replaced ? std::max<std::size_t>(site.walls[*replaced].size(), 1) - 1 : 0);
    if (others + points.size() - 1 > detail::kMostWallSegments) {
        return "the walls hold at most 10000 segments in all";
    }
    return {};
}

std::string zoneProblem(const SiteSection& site, const SiteZone& zone,
                        std::optional<std::size_t> replaced) {
    if (characters(zone.name) > detail::kLongestZoneName) {
        return "a zone's name is at most 200 characters";
    }
    if (!(zone.required > 0 && zone.required <= 100)) {
        return "the percent required is above 0 up to 100";
    }
    if (!allOnPlan(site, zone.points)) {
        return outsideMessage(site);
    }
    const std::size_t others =
        zonePointsOf(site.zones) - (replaced ? site.zones[*replaced].points.size() : 0);
    if (others + zone.points.size() > detail::kMostZonePoints) {
        return "the zones hold at most 100000 points in all";
    }
    if (!site::IsSimplePolygon(zone.points)) {
        return "a zone needs 3 or more corners, and no edge of it may cross another";
    }
    return {};
}

bool validSize(double width, double height) {
    return width >= 1 && width <= detail::kLargestPlan && height >= 1 &&
           height <= detail::kLargestPlan;
}

// Degrees from 0 to under 360.
double headingOf(double degrees) {
    double heading = std::fmod(degrees, 360.0);
    heading += heading < 0 ? 360.0 : 0.0;
    return heading >= 360.0 ? 0.0 : heading + 0.0; // + 0.0: never -0
}

} // namespace

std::optional<std::size_t> SessionChange::firstShifted() const {
    std::optional<std::size_t> first;
    for (const ProjectDocument::GroupChange& change : shifts) {
        const std::size_t at = change.kind == ProjectDocument::GroupChange::Kind::Move
                                   ? std::min(change.at, change.to)
                                   : change.at;
        first = first ? std::min(*first, at) : at;
    }
    return first;
}

bool SessionChange::any() const {
    return !shifts.empty() || !rows.empty() || totals || plan || name || selection || group ||
           form || site || !controls.empty() || history || !note.empty() || !error.empty();
}

// The session hears the document's announcements of inserted, removed, moved and replaced
// groups, notes them in the change under way and passes them on.
class PlannerSession::DocumentListener final : public ProjectDocument::Listener {
public:
    explicit DocumentListener(PlannerSession& session) : m_session(session) {}

    void beforeGroupChange(const ProjectDocument::GroupChange& change) override {
        if (m_session.m_listener != nullptr) {
            m_session.m_listener->beforeGroupChange(change);
        }
    }

    void afterGroupChange(const ProjectDocument::GroupChange& change) override {
        SessionChange& c = m_session.m_change;
        c.totals = true;
        if (change.kind == ProjectDocument::GroupChange::Kind::Replace) {
            addOnce(c.rows, change.at);
        } else {
            c.shifts.push_back(change);
        }
        if (m_session.m_listener != nullptr) {
            m_session.m_listener->afterGroupChange(change);
        }
    }

private:
    PlannerSession& m_session;
};

PlannerSession::PlannerSession() : m_documentListener(std::make_unique<DocumentListener>(*this)) {
    m_document.setListener(m_documentListener.get());
}

PlannerSession::~PlannerSession() {
    m_document.setListener(nullptr);
}

SessionChange& PlannerSession::begin() {
    m_change = SessionChange{};
    return m_change;
}

const SessionChange& PlannerSession::finish() {
    if (m_listener != nullptr && m_change.any()) {
        m_listener->sessionChanged(m_change);
    }
    return m_change;
}

const SessionChange& PlannerSession::refused(std::string why) {
    m_change.error = std::move(why);
    return finish();
}

void PlannerSession::reset(ProjectDocument document) {
    SessionChange& c = begin();
    const ProjectDocument::GroupChange change{ProjectDocument::GroupChange::Kind::Reset, 0};
    m_documentListener->beforeGroupChange(change);
    m_document = std::move(document); // keeps the document's listener
    m_selected.reset();
    m_documentListener->afterGroupChange(change);
    m_steps.clear();
    m_done = 0;
    m_clean = 0;
    c.plan = c.name = c.history = true;
    selectAfter(m_document.groupCount() > 0 ? std::optional<std::size_t>(0) : std::nullopt);
}

const SessionChange& PlannerSession::startNew() {
    reset(ProjectDocument());
    return finish();
}

const SessionChange& PlannerSession::open(const Project& project) {
    reset(ProjectDocument(project));
    return finish();
}

void PlannerSession::selectAfter(std::optional<std::size_t> group) {
    if (group && *group >= m_document.groupCount()) {
        group = m_document.groupCount() == 0 ? std::nullopt
                                             : std::optional(m_document.groupCount() - 1);
    }
    // After groups moved, the same position may hold another group: shown again either way.
    if (group != m_selected || !m_change.shifts.empty()) {
        m_selected = group;
        m_change.selection = m_change.group = m_change.form = true;
    }
}

const SessionChange& PlannerSession::select(std::optional<std::size_t> group) {
    begin();
    if (!group || *group < m_document.groupCount()) {
        selectAfter(group);
    }
    return finish();
}

void PlannerSession::groupEdited(std::size_t group) {
    addOnce(m_change.rows, group);
    m_change.totals = true;
    if (m_selected == group) {
        m_change.group = true;
    }
}

void PlannerSession::record(Step step) {
    if (m_clean && *m_clean > m_done) {
        m_clean.reset(); // the saved state was undone and is now replaced
    }
    m_steps.resize(m_done);
    m_change.history = true;
    // No step merges into the one that leads to the saved state, so that state stays reachable.
    const bool closed = std::exchange(m_stepClosed, false);
    if (!closed && !step.mergeKey.empty() && m_done > 0 && m_clean != m_done &&
        m_steps.back().mergeKey == step.mergeKey) {
        m_steps.back().redo = std::move(step.redo);
        m_steps.back().afterRedo = step.afterRedo;
        return;
    }
    m_steps.push_back(std::move(step));
    ++m_done;
    if (m_steps.size() > kUndoLimit) {
        m_steps.pop_front();
        --m_done;
        m_clean = m_clean && *m_clean > 0 ? std::optional(*m_clean - 1) : std::nullopt;
    }
}

void PlannerSession::insertGroup(std::size_t at, ProjectDocument::Group group, std::string label) {
    group.form.setChangeListener({});
    const auto kept = std::make_shared<const ProjectDocument::Group>(std::move(group));
    Step step{std::move(label),
              {},
              [at](ProjectDocument& d) { d.takeGroup(at); },
              [at, kept](ProjectDocument& d) { d.insertGroup(at, *kept); },
              m_selected,
              at,
              true};
    step.redo(m_document);
    selectAfter(at);
    record(std::move(step));
}

const SessionChange& PlannerSession::addGroup() {
    begin();
    const std::size_t count = m_document.groupCount();
    const std::size_t at = m_selected ? *m_selected + 1 : count;
    insertGroup(at, m_document.newGroup("Group " + std::to_string(count + 1)), "Add group");
    return finish();
}

const SessionChange& PlannerSession::duplicateGroup() {
    begin();
    if (m_selected) {
        ProjectDocument::Group copy = m_document.group(*m_selected);
        copy.name += " (copy)";
        copy.placements.clear(); // its cameras are yet to be placed
        insertGroup(*m_selected + 1, std::move(copy), "Duplicate group");
    }
    return finish();
}

const SessionChange& PlannerSession::removeGroup() {
    begin();
    if (!m_selected) {
        return finish();
    }
    const std::size_t at = *m_selected;
    const auto kept = std::make_shared<const ProjectDocument::Group>(m_document.takeGroup(at));
    const std::size_t left = m_document.groupCount();
    Step step{"Remove group",
              {},
              [at, kept](ProjectDocument& d) { d.insertGroup(at, *kept); },
              [at](ProjectDocument& d) { d.takeGroup(at); },
              at,
              left == 0 ? std::nullopt : std::optional(std::min(at, left - 1)),
              true};
    selectAfter(step.afterRedo);
    record(std::move(step));
    return finish();
}

const SessionChange& PlannerSession::move(bool up) {
    begin();
    if (!m_selected || (up ? *m_selected == 0 : *m_selected + 1 >= m_document.groupCount())) {
        return finish();
    }
    const std::size_t from = *m_selected;
    const std::size_t to = up ? from - 1 : from + 1;
    Step step{up ? "Move group up" : "Move group down",
              {},
              [from, to](ProjectDocument& d) { d.moveGroup(to, from); },
              [from, to](ProjectDocument& d) { d.moveGroup(from, to); },
              from,
              to,
              true};
    step.redo(m_document);
    selectAfter(to);
    record(std::move(step));
    return finish();
}

const SessionChange& PlannerSession::moveGroupUp() {
    return move(true);
}

const SessionChange& PlannerSession::moveGroupDown() {
    return move(false);
}

const SessionChange& PlannerSession::renameGroup(std::size_t group, const std::string& name) {
    begin();
    if (group >= m_document.groupCount()) {
        return refused("no such group");
    }
    selectAfter(group);
    const std::string before = m_document.group(group).name;
    if (name != before) {
        const auto apply = [this, group](const std::string& text) {
            return [this, group, text](ProjectDocument& d) {
                d.setGroupName(group, text);
                groupEdited(group);
            };
        };
        Step step{"Rename group", fieldKey("rename", group), apply(before), apply(name), group,
                  group};
        step.redo(m_document);
        record(std::move(step));
    }
    return finish();
}

const SessionChange& PlannerSession::setActivity(std::size_t group, double activity) {
    begin();
    if (group >= m_document.groupCount()) {
        return refused("no such group");
    }
    selectAfter(group);
    const double before = m_document.group(group).activity;
    if (std::isfinite(activity) && std::clamp(activity, 0.0, 100.0) != before) {
        const auto apply = [this, group](double value) {
            return [this, group, value](ProjectDocument& d) {
                d.setActivity(group, value);
                groupEdited(group);
            };
        };
        Step step{"Change activity",
                  fieldKey("activity", group),
                  apply(before),
                  apply(std::clamp(activity, 0.0, 100.0)),
                  group,
                  group};
        step.redo(m_document);
        record(std::move(step));
    }
    return finish();
}

const SessionChange& PlannerSession::editForm(std::size_t group, const FormAction& action) {
    begin();
    if (group >= m_document.groupCount()) {
        return refused("no such group");
    }
    if (std::string problem = FormActionProblem(m_document.group(group).form, action);
        !problem.empty()) {
        return refused(std::move(problem));
    }
    selectAfter(group);
    Form1& form = m_document.form(group);
    auto before = std::make_shared<const Form1>(form); // a copy keeps no listener
    form.setChangeListener(
        [this](ControlId control, Property /*property*/) { addOnce(m_change.controls, control); });
    Perform(form, action);
    form.setChangeListener({});
    m_document.refresh(group);
    groupEdited(group);
    auto after = std::make_shared<const Form1>(form);
    if (!sameInputs(*before, *after)) {
        const auto apply = [this, group](const std::shared_ptr<const Form1>& state) {
            return [this, group, state](ProjectDocument& d) {
                d.replaceForm(group, *state);
                groupEdited(group);
                if (m_selected == group) {
                    m_change.form = true;
                }
            };
        };
        // Consecutive typing in one box of one group makes one step.
        const bool typing = action.kind == FormAction::Kind::Type;
        record({FormActionLabel(action.control),
                typing ? fieldKey("type", group, static_cast<int>(action.control)) : std::string(),
                apply(before), apply(after), group, group});
    }
    return finish();
}

const SessionChange& PlannerSession::editCamera(std::size_t group, CameraField field,
                                                const CameraInputs& inputs) {
    begin();
    if (group >= m_document.groupCount()) {
        return refused("no such group");
    }
    const CameraDetails before = m_document.group(group).camera;
    if (std::string problem = CameraInputsProblem(before, field, inputs); !problem.empty()) {
        // The group keeps its details; the face shows them again, and why.
        m_change.group = m_selected == group;
        return refused(std::move(problem));
    }
    selectAfter(group);
    const CameraDetails next = EditedCamera(before, field, inputs);
    if (next != before) {
        const auto apply = [this, group](const CameraDetails& details) {
            return [this, group, details](ProjectDocument& d) {
                d.setCamera(group, details);
                groupEdited(group);
            };
        };
        Step step{"Edit camera view",
                  fieldKey("camera", group, static_cast<int>(field)),
                  apply(before),
                  apply(next),
                  group,
                  group};
        step.redo(m_document);
        record(std::move(step));
    }
    return finish();
}

const SessionChange& PlannerSession::editPlan(PlanField field, const PlanInputs& inputs) {
    begin();
    if (std::string problem = PlanInputsProblem(inputs); !problem.empty()) {
        m_change.plan = true; // the inputs show the plan's settings again
        return refused(std::move(problem));
    }
    const PlanSettings before{m_document.storage(), m_document.recorder()};
    SettledPlan settled = EditedPlan(before, field, inputs);
    m_change.note = std::move(settled.note);
    m_change.plan = true; // an adjusted input shows its new value
    if (settled.settings != before) {
        const auto apply = [this](const PlanSettings& settings) {
            return [this, settings](ProjectDocument& d) {
                d.setStorage(settings.storage);
                d.setRecorder(settings.recorder);
                m_change.plan = m_change.totals = true;
            };
        };
        Step step{"Edit storage plan", fieldKey("plan", 0, static_cast<int>(field)),
                  apply(before),       apply(settled.settings),
                  std::nullopt,        std::nullopt};
        step.redo(m_document);
        record(std::move(step));
    }
    return finish();
}

const SessionChange& PlannerSession::renameProject(std::string name) {
    begin();
    const std::optional<std::string> next =
        name.empty() ? std::nullopt : std::optional(std::move(name));
    const std::optional<std::string> before = m_document.name();
    if (next != before) {
        const auto apply = [this](const std::optional<std::string>& text) {
            return [this, text](ProjectDocument& d) {
                d.setName(text);
                m_change.name = true;
            };
        };
        Step step{"Rename project", "project-name", apply(before),
                  apply(next),      std::nullopt,   std::nullopt};
        step.redo(m_document);
        record(std::move(step));
    }
    return finish();
}

template <typename T>
void PlannerSession::recordSite(std::string label, std::string mergeKey,
                                std::function<void(ProjectDocument&, const T&)> apply, T before,
                                T after, std::optional<std::size_t> group) {
    const auto with = [this, apply](std::shared_ptr<const T> value) {
        return [this, apply, value](ProjectDocument& d) {
            apply(d, *value);
            m_change.site = m_change.totals = true;
        };
    };
    Step step{std::move(label),
              std::move(mergeKey),
              with(std::make_shared<const T>(std::move(before))),
              with(std::make_shared<const T>(std::move(after))),
              group,
              group};
    step.redo(m_document);
    if (group) {
        selectAfter(group);
    }
    record(std::move(step));
}

std::string PlannerSession::siteProblem() const {
    return m_document.site() ? std::string() : "start a site plan first";
}

const SessionChange& PlannerSession::startSite(double width, double height) {
    begin();
    if (!validSize(width, height)) {
        return refused("the plan is 1 to 100000 m across and down");
    }
    SiteSection site;
    site.width = width;
    site.height = height;
    recordSite<std::optional<SiteSection>>(
        "Start site plan", {},
        [](ProjectDocument& d, const std::optional<SiteSection>& s) { d.setSite(s); },
        m_document.site(), site);
    return finish();
}

const SessionChange& PlannerSession::removeSite() {
    begin();
    if (m_document.site()) {
        recordSite<std::optional<SiteSection>>(
            "Remove site plan", {},
            [](ProjectDocument& d, const std::optional<SiteSection>& s) { d.setSite(s); },
            m_document.site(), std::nullopt);
    }
    return finish();
}

const SessionChange& PlannerSession::setSiteImage(std::optional<std::string> image,
                                                  std::optional<double> aspect) {
    begin();
    if (std::string problem = siteProblem(); !problem.empty()) {
        return refused(std::move(problem));
    }
    if (image && (image->size() > detail::kLongestImage || !detail::IsImageDataUrl(*image))) {
        return refused("the drawing must be a PNG, JPEG or SVG image of at most 20 MB");
    }
    // The picture is stretched over the plan: its height follows the picture's proportions.
    const SiteSection& site = *m_document.site();
    double height = site.height;
    if (aspect && std::isfinite(*aspect) && *aspect > 0) {
        height = std::clamp(site.width / *aspect, 1.0, detail::kLargestPlan);
    }
    using Drawing = std::pair<std::shared_ptr<const std::optional<std::string>>, double>;
    recordSite<Drawing>(
        "Set drawing", {},
        [](ProjectDocument& d, const Drawing& drawing) {
            d.editSite([&drawing](SiteSection& s) {
                s.image = *drawing.first;
                s.height = drawing.second;
            });
        },
        Drawing{std::make_shared<const std::optional<std::string>>(site.image), site.height},
        Drawing{std::make_shared<const std::optional<std::string>>(std::move(image)), height});
    return finish();
}

const SessionChange& PlannerSession::scaleSite(SitePoint a, SitePoint b, double metres) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double apart = std::sqrt(dx * dx + dy * dy);
    if (!(apart > 0) || !std::isfinite(metres) || !(metres > 0)) {
        begin();
        return refused("give two different points and the metres between them");
    }
    return scaleSiteToWidth(m_document.site() ? m_document.site()->width * (metres / apart) : 0);
}

const SessionChange& PlannerSession::scaleSiteToWidth(double width) {
    begin();
    if (std::string problem = siteProblem(); !problem.empty()) {
        return refused(std::move(problem));
    }
    const SiteSection& site = *m_document.site();
    const double factor = width / site.width;
    if (!validSize(width, site.height * factor)) {
        return refused("the plan is 1 to 100000 m across and down");
    }
    // The plan and everything on it, the drawing excepted, which keeps its place under them.
    struct Scaled {
        double width = 0;
        double height = 0;
        std::vector<std::vector<SitePoint>> walls;
        std::vector<SiteZone> zones;
        std::vector<std::vector<Placement>> placements;
    };
    Scaled before{site.width, site.height, site.walls, site.zones, {}};
    for (std::size_t g = 0; g < m_document.groupCount(); ++g) {
        before.placements.push_back(m_document.group(g).placements);
    }
    Scaled after = before;
    after.width = width;
    after.height = site.height * factor;
    // Each point scaled, kept on the plan where rounding would put it a hair beyond an edge.
    const auto scale = [factor, &after](SitePoint& p) {
        p = {std::min(p.x * factor, after.width), std::min(p.y * factor, after.height)};
    };
    for (auto& wall : after.walls) {
        std::for_each(wall.begin(), wall.end(), scale);
    }
    for (std::size_t z = 0; z < after.zones.size(); ++z) {
        std::vector<SitePoint>& points = after.zones[z].points;
        std::for_each(points.begin(), points.end(), scale);
        // Rounding can fold a zone whose corners nearly meet: then the plan keeps its scale.
        if (!site::IsSimplePolygon(points)) {
            return refused("at that scale zone " + std::to_string(z + 1) + " (" +
                           after.zones[z].name + ") would cross itself: choose another scale");
        }
    }
    for (auto& placements : after.placements) {
        for (Placement& p : placements) {
            SitePoint at{p.x, p.y};
            scale(at);
            p.x = at.x;
            p.y = at.y;
        }
    }
    recordSite<Scaled>(
        "Scale site plan", "site-scale",
        [](ProjectDocument& d, const Scaled& s) {
            for (std::size_t g = 0; g < s.placements.size(); ++g) {
                if (d.group(g).placements != s.placements[g]) {
                    d.setPlacements(g, s.placements[g]);
                }
            }
            d.editSite([&s](SiteSection& plan) {
                plan.width = s.width;
                plan.height = s.height;
                plan.walls = s.walls;
                plan.zones = s.zones;
            });
        },
        std::move(before), std::move(after));
    return finish();
}

namespace {

using Walls = std::vector<std::vector<SitePoint>>;

void setWalls(ProjectDocument& d, const Walls& walls) {
    d.editSite([&walls](SiteSection& s) { s.walls = walls; });
}

void setZones(ProjectDocument& d, const std::vector<SiteZone>& zones) {
    d.editSite([&zones](SiteSection& s) { s.zones = zones; });
}

// Gives group `group` the placements an edit hands it.
std::function<void(ProjectDocument&, const std::vector<Placement>&)>
placementsOf(std::size_t group) {
    return [group](ProjectDocument& d, const std::vector<Placement>& placements) {
        d.setPlacements(group, placements);
    };
}

} // namespace

const SessionChange& PlannerSession::addWall(std::vector<SitePoint> points) {
    begin();
    if (std::string problem = siteProblem(); !problem.empty()) {
        return refused(std::move(problem));
    }
    const SiteSection& site = *m_document.site();
    if (std::string problem = wallProblem(site, points, std::nullopt); !problem.empty()) {
        return refused(std::move(problem));
    }
    Walls after = site.walls;
    after.push_back(std::move(points));
    recordSite<Walls>("Add wall", {}, setWalls, site.walls, std::move(after));
    return finish();
}

const SessionChange& PlannerSession::editWall(std::size_t wall, std::vector<SitePoint> points) {
    begin();
    if (!m_document.site() || wall >= m_document.site()->walls.size()) {
        return refused("no such wall");
    }
    const SiteSection& site = *m_document.site();
    if (std::string problem = wallProblem(site, points, wall); !problem.empty()) {
        return refused(std::move(problem));
    }
    if (points != site.walls[wall]) {
        Walls after = site.walls;
        after[wall] = std::move(points);
        recordSite<Walls>("Edit wall", fieldKey("wall", wall), setWalls, site.walls,
                          std::move(after));
    }
    return finish();
}

const SessionChange& PlannerSession::removeWall(std::size_t wall) {
    begin();
    if (!m_document.site() || wall >= m_document.site()->walls.size()) {
        return refused("no such wall");
    }
    Walls after = m_document.site()->walls;
    after.erase(after.begin() + static_cast<std::ptrdiff_t>(wall));
    recordSite<Walls>("Remove wall", {}, setWalls, m_document.site()->walls, std::move(after));
    return finish();
}

const SessionChange& PlannerSession::addZone(SiteZone zone) {
    begin();
    if (std::string problem = siteProblem(); !problem.empty()) {
        return refused(std::move(problem));
    }
    const SiteSection& site = *m_document.site();
    if (site.zones.size() >= detail::kMostZones) {
        return refused("a site holds at most 1000 zones");
    }
    if (std::string problem = zoneProblem(site, zone, std::nullopt); !problem.empty()) {
        return refused(std::move(problem));
    }
    std::vector<SiteZone> after = site.zones;
    after.push_back(std::move(zone));
    recordSite<std::vector<SiteZone>>("Add zone", {}, setZones, site.zones, std::move(after));
    return finish();
}

const SessionChange& PlannerSession::editZone(std::size_t zone, ZoneField field, SiteZone value) {
    begin();
    if (!m_document.site() || zone >= m_document.site()->zones.size()) {
        return refused("no such zone");
    }
    const SiteSection& site = *m_document.site();
    if (std::string problem = zoneProblem(site, value, zone); !problem.empty()) {
        return refused(std::move(problem));
    }
    if (!(value == site.zones[zone])) {
        std::vector<SiteZone> after = site.zones;
        after[zone] = std::move(value);
        recordSite<std::vector<SiteZone>>("Edit zone",
                                          fieldKey("zone", zone, static_cast<int>(field)), setZones,
                                          site.zones, std::move(after));
    }
    return finish();
}

const SessionChange& PlannerSession::removeZone(std::size_t zone) {
    begin();
    if (!m_document.site() || zone >= m_document.site()->zones.size()) {
        return refused("no such zone");
    }
    std::vector<SiteZone> after = m_document.site()->zones;
    after.erase(after.begin() + static_cast<std::ptrdiff_t>(zone));
    recordSite<std::vector<SiteZone>>("Remove zone", {}, setZones, m_document.site()->zones,
                                      std::move(after));
    return finish();
}

const SessionChange& PlannerSession::movePoint(SiteOutline kind, std::size_t item,
                                               std::size_t point, SitePoint at) {
    const std::optional<SiteSection>& site = m_document.site();
    if (site) {
        at = {std::clamp(at.x, 0.0, site->width), std::clamp(at.y, 0.0, site->height)};
    }
    return editPoints(kind, item, [point, at](std::vector<SitePoint>& points) {
        if (point >= points.size()) {
            return false;
        }
        points[point] = at;
        return true;
    });
}

const SessionChange& PlannerSession::removePoint(SiteOutline kind, std::size_t item,
                                                 std::size_t point) {
    const std::size_t fewest = kind == SiteOutline::Wall ? 2 : 3;
    return editPoints(
        kind, item,
        [point](std::vector<SitePoint>& points) {
            if (point >= points.size()) {
                return false;
            }
            points.erase(points.begin() + static_cast<std::ptrdiff_t>(point));
            return true;
        },
        fewest);
}

const SessionChange& PlannerSession::setPointsText(SiteOutline kind, std::size_t item,
                                                   std::string_view text) {
    std::optional<std::vector<SitePoint>> read = ReadPointsText(text);
    if (!read) {
        begin();
        return refused("give the points as x and y in metres, a point after each semicolon: "
                       "\"0 20; 30 20\"");
    }
    return editPoints(kind, item, [&read](std::vector<SitePoint>& points) {
        points = std::move(*read);
        return true;
    });
}

const SessionChange&
PlannerSession::editPoints(SiteOutline kind, std::size_t item,
                           const std::function<bool(std::vector<SitePoint>&)>& edit,
                           std::size_t fewest) {
    const std::optional<SiteSection>& site = m_document.site();
    const bool wall = kind == SiteOutline::Wall;
    if (!site || item >= (wall ? site->walls.size() : site->zones.size())) {
        begin();
        return refused(wall ? "no such wall" : "no such zone");
    }
    std::vector<SitePoint> points = wall ? site->walls[item] : site->zones[item].points;
    if (!edit(points)) {
        begin();
        return refused("no such point");
    }
    if (points.size() < fewest) {
        begin();
        return refused(wall ? "a wall keeps at least 2 points: remove the wall instead"
                            : "a zone keeps at least 3 points: remove the zone instead");
    }
    if (wall) {
        return editWall(item, std::move(points));
    }
    SiteZone zone = site->zones[item];
    zone.points = std::move(points);
    return editZone(item, ZoneField::Points, std::move(zone));
}

const SessionChange& PlannerSession::placeCamera(std::size_t group, SitePoint at, double heading) {
    begin();
    if (group >= m_document.groupCount()) {
        return refused("no such group");
    }
    if (std::string problem = siteProblem(); !problem.empty()) {
        return refused(std::move(problem));
    }
    if (!m_document.group(group).camera.view) {
        return refused("give the group a camera view first: its lens says what each camera sees");
    }
    if (!std::isfinite(heading) || !onPlan(*m_document.site(), at)) {
        return refused(outsideMessage(*m_document.site()));
    }
    // A camera more than the group counts raises its count by one, in the same step.
    struct Placed {
        std::vector<Placement> placements;
        std::shared_ptr<const Form1> form;
    };
    const ProjectDocument::Group& g = m_document.group(group);
    Placed before{g.placements, std::make_shared<const Form1>(g.form)};
    Placed after = before;
    after.placements.push_back({at.x, at.y, headingOf(heading), std::nullopt});
    const double cameras = m_document.result(group).cameras;
    if (std::isfinite(cameras) && cameras == std::floor(cameras) && cameras >= 0 &&
        static_cast<double>(g.placements.size()) >= cameras) {
        Form1 form = g.form;
        form.setChangeListener({});
        Perform(form, {FormAction::Kind::Type, ControlId::txtCameraCount, -1,
                       ShortestText(static_cast<double>(g.placements.size() + 1))});
        after.form = std::make_shared<const Form1>(std::move(form));
    }
    recordSite<Placed>(
        "Place camera", {},
        [this, group](ProjectDocument& d, const Placed& placed) {
            if (placed.form != nullptr && !sameInputs(d.group(group).form, *placed.form)) {
                d.replaceForm(group, *placed.form);
                groupEdited(group);
                m_change.form = m_change.form || m_selected == group;
            }
            d.setPlacements(group, placed.placements);
        },
        std::move(before), std::move(after), group);
    return finish();
}

const SessionChange& PlannerSession::editPlacement(std::size_t group, std::size_t index,
                                                   PlacementField field, Placement value) {
    begin();
    if (group >= m_document.groupCount() || index >= m_document.group(group).placements.size()) {
        return refused("no such placed camera");
    }
    if (std::string problem = siteProblem(); !problem.empty()) {
        return refused(std::move(problem));
    }
    if (!std::isfinite(value.heading) || !onPlan(*m_document.site(), {value.x, value.y})) {
        return refused(outsideMessage(*m_document.site()));
    }
    if (value.label && characters(*value.label) > detail::kLongestPlacementLabel) {
        return refused("a camera's label is at most 50 characters");
    }
    value.heading = headingOf(value.heading);
    const std::vector<Placement>& before = m_document.group(group).placements;
    if (value != before[index]) {
        std::vector<Placement> after = before;
        after[index] = std::move(value);
        recordSite<std::vector<Placement>>(field == PlacementField::Heading ? "Turn camera"
                                           : field == PlacementField::Label ? "Label camera"
                                                                            : "Move camera",
                                           "placement:" + std::to_string(group) + ':' +
                                               std::to_string(index) + ':' +
                                               std::to_string(static_cast<int>(field)),
                                           placementsOf(group), before, std::move(after), group);
    }
    return finish();
}

const SessionChange& PlannerSession::removePlacement(std::size_t group, std::size_t index) {
    begin();
    if (group >= m_document.groupCount() || index >= m_document.group(group).placements.size()) {
        return refused("no such placed camera");
    }
    std::vector<Placement> after = m_document.group(group).placements;
    after.erase(after.begin() + static_cast<std::ptrdiff_t>(index));
    recordSite<std::vector<Placement>>("Remove camera", {}, placementsOf(group),
                                       m_document.group(group).placements, std::move(after), group);
    return finish();
}

const SessionChange& PlannerSession::undo() {
    begin();
    if (m_done > 0) {
        const Step& step = m_steps[m_done - 1];
        --m_done;
        m_change.history = true;
        step.undo(m_document);
        if (step.afterUndo || step.structural) {
            selectAfter(step.afterUndo);
        }
    }
    return finish();
}

const SessionChange& PlannerSession::redo() {
    begin();
    if (m_done < m_steps.size()) {
        const Step& step = m_steps[m_done];
        ++m_done;
        m_change.history = true;
        step.redo(m_document);
        if (step.afterRedo || step.structural) {
            selectAfter(step.afterRedo);
        }
    }
    return finish();
}

std::optional<std::string> PlannerSession::undoText() const {
    return m_done > 0 ? std::optional(m_steps[m_done - 1].label) : std::nullopt;
}

std::optional<std::string> PlannerSession::redoText() const {
    return m_done < m_steps.size() ? std::optional(m_steps[m_done].label) : std::nullopt;
}

const SessionChange& PlannerSession::markSaved() {
    begin().history = true;
    m_clean = m_done;
    return finish();
}

const SessionChange& PlannerSession::markUnsaved() {
    begin().history = true;
    m_clean.reset();
    return finish();
}

} // namespace lenstally
