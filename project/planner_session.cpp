// SPDX-License-Identifier: MIT
#include "project/planner_session.hpp"

#include <algorithm>
#include <cmath>
#include <memory>

#include "form/actions.hpp"

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
           form || !controls.empty() || history || !note.empty() || !error.empty();
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
    if (!step.mergeKey.empty() && m_done > 0 && m_clean != m_done &&
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

const SessionChange& PlannerSession::renameGroup(std::size_t group, std::string name) {
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
        const auto apply = [this, group](std::shared_ptr<const Form1> state) {
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
