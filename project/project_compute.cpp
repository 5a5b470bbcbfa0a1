// SPDX-License-Identifier: MIT
#include "project/project_compute.hpp"

#include "estimation/estimates.hpp"
#include "estimation/numeric_text.hpp"

#include <algorithm>
#include <cmath>
#include <map>

#include "project/plan_lines.hpp"
#include "project/site_compute.hpp"
#include "project/view_lines.hpp"

namespace lenstally {
namespace {

DriveUse UseOf(const DriveLayout& layout, std::int64_t drives) {
    DriveUse use;
    use.drives = drives;
    use.active = drives - layout.spares;
    use.arrays = ArrayCount(layout, use.active);
    use.dataDrives = DataDrives(layout, use.active).value_or(0);
    use.netKB = InstalledCapacityKB(layout, drives).value_or(NAN);
    return use;
}

} // namespace

GroupResult ResultOfGroup(const Form1& form, std::string name, double activity,
                          const CameraDetails& camera) {
    GroupResult g;
    g.name = std::move(name);
    g.activity = activity;
    g.inputs.reserve(Actions().size());
    for (const ActionDescription& a : Actions()) {
        g.inputs.push_back(CurrentValue(form, a));
    }
    g.frameSize = form.control(ControlId::txtFrameSize).text;
    g.perCamera = form.control(ControlId::lbPerBandwidth).text;
    g.totalBandwidth = form.control(ControlId::lbTotalBandwidth).text;
    const double share = activity / 100.0;
    g.figures = form.figures();
    g.figures.storageKB = g.figures.storageKB * share;
    g.storage = StorageCaption(g.figures.storageKB);
    g.cameras = ParseNumber(form.control(ControlId::txtCameraCount).text);
    g.dailyKB = form.dailyStorageKB() * share;
    g.camera = camera;
    g.pixels = camera.pixels.value_or(DefaultPixelWidth(form.selectedResolution()));
    if (camera.view) {
        g.view =
            ComputeView(camera.view->distance, static_cast<double>(g.pixels), camera.view->lens);
        g.viewLines = ViewLines(*camera.view, *g.view, !camera.pixels);
    }
    return g;
}

ProjectTotals TotalsOf(std::span<const GroupResult> groups,
                       const std::optional<StorageSection>& storage,
                       const std::optional<RecorderLimits>& recorder) {
    // In group order from 0, so the last bit never depends on anything else. A group out of
    // range makes its sum out of range too: infinity and NaN survive every addition.
    ProjectTotals t;
    for (const GroupResult& g : groups) {
        t.totalKbps += g.figures.totalKbps;
        t.storageKB += g.figures.storageKB;
        t.cameras += g.cameras;
        t.dailyKB += g.dailyKB;
    }
    t.totalBandwidth = TotalBandwidthCaption(t.totalKbps);
    t.totalStorage = StorageCaption(t.storageKB);

    std::optional<std::int64_t> drivesNeeded;
    if (storage) {
        StoragePlanResult plan;
        plan.netPerDriveKB = NetCapacityKB(storage->layout, 1);
        plan.drivesNeeded = DrivesNeeded(storage->layout, t.storageKB);
        if (plan.drivesNeeded) {
            plan.needed = UseOf(storage->layout, *plan.drivesNeeded);
        }
        if (storage->drives) {
            plan.installed = UseOf(storage->layout, *storage->drives);
            plan.usableKB = InstalledCapacityKB(storage->layout, *storage->drives);
            if (plan.usableKB && std::isfinite(t.storageKB)) {
                plan.fits = *plan.usableKB >= t.storageKB;
            }
            plan.daysThatFit = DaysThatFit::Of(plan.usableKB.value_or(NAN), t.dailyKB);
        }
        drivesNeeded = plan.drivesNeeded;
        t.plan = plan;
    }
    if (recorder) {
        t.recorders = RecordersNeeded::For(*recorder, t.cameras, t.totalKbps, drivesNeeded);
    }
    if (storage) {
        t.storageLines = StoragePlanLines(*storage, t);
    }
    if (recorder) {
        t.recorderLines = RecorderPlanLines(*recorder, t);
    }
    return t;
}

bool ProjectResult::anyOutOfRange() const {
    const bool group = std::any_of(groups.begin(), groups.end(), [](const GroupResult& g) {
        return !std::isfinite(g.figures.perCameraKbps) || !std::isfinite(g.figures.totalKbps) ||
               !std::isfinite(g.figures.storageKB);
    });
    if (group || !std::isfinite(totals.totalKbps) || !std::isfinite(totals.storageKB)) {
        return true;
    }
    if (const std::optional<StoragePlanResult>& plan = totals.plan) {
        if (!plan->drivesNeeded || (plan->usableKB && !std::isfinite(*plan->usableKB)) ||
            (plan->daysThatFit && plan->daysThatFit->kind == DaysThatFit::Kind::OutOfRange)) {
            return true;
        }
    }
    return totals.recorders && !totals.recorders->count;
}

namespace {

// The form after start-up and a group's selections, kept for later groups that make the same
// selections. A group's selections all come before its typing, and the same operations on the
// same state always leave the same state, so a copy of the kept form stands for running them
// again; only the typing is left to run. Sites mix few kinds of camera, so few states are kept.
class SelectionStates {
public:
    explicit SelectionStates(const Form1& startUp) : m_startUp(startUp) {}

    /// Puts `form` in the state after start-up and the group's selections; returns how many of
    /// the group's actions that covers.
    std::size_t prepare(Form1& form, const ProjectGroup& group) {
        const std::span<const ActionDescription> actions = Actions();
        std::vector<int> key(actions.size(), -1); // the index each selection picked; -1 none
        std::size_t selections = 0;
        for (; selections < group.actions.size(); ++selections) {
            const ResolvedAction& a = group.actions[selections];
            if (a.action->kind == ActionKind::Type) {
                break;
            }
            key[static_cast<std::size_t>(a.action - actions.data())] = *a.index;
        }
        const auto kept = m_states.find(key);
        if (kept != m_states.end()) {
            form = kept->second;
            return selections;
        }
        form = m_startUp;
        for (std::size_t i = 0; i < selections; ++i) {
            ApplyAction(form, group.actions[i]);
        }
        if (m_states.size() < kMaxStates) {
            m_states.emplace(std::move(key), form);
        }
        return selections;
    }

private:
    static constexpr std::size_t kMaxStates = 64;
    const Form1& m_startUp;
    std::map<std::vector<int>, Form1> m_states;
};

} // namespace

void ForEachGroupForm(const Project& project,
                      const std::function<void(std::size_t, const Form1&)>& visit) {
    // Every group starts from the state start-up leaves. Start-up is most of a run's cost and
    // always ends in the same state, so it runs once; each group starts from a copy of it, or of
    // the kept state after the same selections.
    Form1 startUp;
    startUp.load();
    SelectionStates states(startUp);
    Form1 form = startUp;
    for (std::size_t i = 0; i < project.groups.size(); ++i) {
        const ProjectGroup& group = project.groups[i];
        const std::size_t done = states.prepare(form, group);
        for (std::size_t a = done; a < group.actions.size(); ++a) {
            ApplyAction(form, group.actions[a]);
        }
        visit(i, form);
    }
}

ProjectResult ComputeProject(const Project& project) {
    ProjectResult result;
    result.name = project.name;
    result.storage = project.storage;
    result.recorder = project.recorder;
    result.groups.reserve(project.groups.size());
    ForEachGroupForm(project, [&](std::size_t i, const Form1& form) {
        result.groups.push_back(ResultOfGroup(
            form, project.groups[i].name, project.groups[i].activity, project.groups[i].camera));
    });
    result.totals = TotalsOf(result.groups, result.storage, result.recorder);
    if (project.site) {
        std::vector<std::vector<Placement>> placements;
        placements.reserve(project.groups.size());
        for (const ProjectGroup& group : project.groups) {
            placements.push_back(group.placements);
        }
        result.site = ComputeSite(*project.site, result.groups, placements);
    }
    return result;
}

} // namespace lenstally
