// SPDX-License-Identifier: MIT
#include "project/project_document.hpp"

#include <algorithm>
#include <span>

#include "form/contract.hpp"

namespace lenstally {

ProjectDocument::ProjectDocument() {
    m_startUp.load();
    refreshTotals();
}

ProjectDocument::ProjectDocument(const Project& project)
    : m_name(project.name), m_storage(project.storage), m_recorder(project.recorder),
      m_site(project.site) {
    m_startUp.load();
    m_groups.reserve(project.groups.size());
    m_results.reserve(project.groups.size());
    ForEachGroupForm(project, [this, &project](std::size_t i, const Form1& form) {
        const ProjectGroup& g = project.groups[i];
        m_groups.push_back(
            std::make_unique<Group>(Group{g.name, g.activity, form, g.camera, g.placements}));
        m_results.push_back(ResultOfGroup(form, g.name, g.activity, g.camera));
    });
    refreshTotals();
    resetSite();
}

ProjectDocument::Group ProjectDocument::newGroup(std::string name) const {
    return {std::move(name), 100, m_startUp, {}, {}};
}

void ProjectDocument::before(const GroupChange& change) {
    if (Listener* listener = m_listener.get()) {
        listener->beforeGroupChange(change);
    }
}

void ProjectDocument::after(const GroupChange& change) {
    if (Listener* listener = m_listener.get()) {
        listener->afterGroupChange(change);
    }
}

void ProjectDocument::insertGroup(std::size_t at, Group group) {
    const GroupChange change{GroupChange::Kind::Insert, std::min(at, m_groups.size())};
    const auto offset = static_cast<std::ptrdiff_t>(change.at);
    before(change);
    m_results.insert(m_results.begin() + offset,
                     ResultOfGroup(group.form, group.name, group.activity, group.camera));
    m_groups.insert(m_groups.begin() + offset, std::make_unique<Group>(std::move(group)));
    refreshTotals();
    resetSite(); // the placements are numbered group by group
    after(change);
}

ProjectDocument::Group ProjectDocument::takeGroup(std::size_t at) {
    Group& taken = *m_groups.at(at);
    const GroupChange change{GroupChange::Kind::Remove, at};
    before(change);
    Group group = std::move(taken);
    m_groups.erase(m_groups.begin() + static_cast<std::ptrdiff_t>(at));
    m_results.erase(m_results.begin() + static_cast<std::ptrdiff_t>(at));
    refreshTotals();
    resetSite(); // the placements are numbered group by group
    after(change);
    return group;
}

void ProjectDocument::moveGroup(std::size_t from, std::size_t to) {
    std::unique_ptr<Group>& moved = m_groups.at(from);
    if (from == to) {
        return;
    }
    const GroupChange change{GroupChange::Kind::Move, from, to};
    before(change);
    auto group = std::move(moved);
    GroupResult result = std::move(m_results.at(from));
    m_groups.erase(m_groups.begin() + static_cast<std::ptrdiff_t>(from));
    m_results.erase(m_results.begin() + static_cast<std::ptrdiff_t>(from));
    m_groups.insert(m_groups.begin() + static_cast<std::ptrdiff_t>(to), std::move(group));
    m_results.insert(m_results.begin() + static_cast<std::ptrdiff_t>(to), std::move(result));
    refreshTotals(); // the sums run in group order, so their last bit may change
    resetSite();     // the placements are numbered group by group
    after(change);
}

void ProjectDocument::setGroupName(std::size_t i, std::string name) {
    m_groups.at(i)->name = std::move(name);
    refresh(i);
}

void ProjectDocument::setActivity(std::size_t i, double activity) {
    m_groups.at(i)->activity = activity;
    refresh(i);
}

void ProjectDocument::setCamera(std::size_t i, CameraDetails camera) {
    m_groups.at(i)->camera = std::move(camera);
    refresh(i);
}

void ProjectDocument::setPlacements(std::size_t i, std::vector<Placement> placements) {
    m_groups.at(i)->placements = std::move(placements);
    m_siteModel.groupChanged(i, m_results.at(i), m_groups[i]->placements);
}

void ProjectDocument::replaceForm(std::size_t i, const Form1& state) {
    Form1& form = m_groups.at(i)->form;
    const GroupChange change{GroupChange::Kind::Replace, i};
    before(change);
    form = state;
    refresh(i);
    after(change);
}

void ProjectDocument::refresh(std::size_t i) {
    const Group& g = *m_groups.at(i);
    m_results.at(i) = ResultOfGroup(g.form, g.name, g.activity, g.camera);
    refreshTotals();
    m_siteModel.groupChanged(i, m_results[i], g.placements);
}

void ProjectDocument::setStorage(const std::optional<StorageSection>& storage) {
    m_storage = storage;
    refreshTotals();
}

void ProjectDocument::setRecorder(std::optional<RecorderLimits> recorder) {
    m_recorder = recorder;
    refreshTotals();
}

void ProjectDocument::setSite(std::optional<SiteSection> site) {
    m_site = std::move(site);
    resetSite();
}

void ProjectDocument::editSite(const std::function<void(SiteSection&)>& edit) {
    if (!m_site) {
        ContractFailure(ContractBreach::NoSuchItem, "the project has no site plan to edit");
    }
    edit(*m_site);
    resetSite();
}

std::vector<std::vector<Placement>> ProjectDocument::allPlacements() const {
    std::vector<std::vector<Placement>> placements;
    placements.reserve(m_groups.size());
    for (const auto& g : m_groups) {
        placements.push_back(g->placements);
    }
    return placements;
}

void ProjectDocument::resetSite() {
    m_siteModel.reset(m_site, m_results, allPlacements());
}

void ProjectDocument::refreshTotals() {
    m_totals = TotalsOf(m_results, m_storage, m_recorder);
}

ProjectResult ProjectDocument::result() const {
    ProjectResult r;
    r.name = m_name;
    r.groups = m_results;
    r.storage = m_storage;
    r.recorder = m_recorder;
    r.totals = m_totals;
    r.site = m_siteModel.result();
    return r;
}

Project ProjectDocument::toProject() const {
    Project project;
    project.name = m_name;
    project.storage = m_storage;
    project.recorder = m_recorder;
    project.site = m_site;
    project.groups.reserve(m_groups.size());
    const std::span<const ActionDescription> actions = Actions();
    for (std::size_t i = 0; i < m_groups.size(); ++i) {
        const Group& g = *m_groups[i];
        // Only the placements the file can hold (see PlacementsCounted); the others wait here.
        const std::size_t counted =
            PlacementsCounted(m_results[i], g.placements.size(), m_site.has_value());
        ProjectGroup group{
            g.name,
            {},
            g.activity,
            g.camera,
            {g.placements.begin(), g.placements.begin() + static_cast<std::ptrdiff_t>(counted)}};
        group.actions.reserve(actions.size());
        // Each group's result holds its form's current value of every action (refreshed with
        // every edit), so the forms themselves, the bulk of the document, are not read again.
        const std::vector<std::string>& values = m_results[i].inputs;
        for (std::size_t a = 0; a < actions.size(); ++a) {
            // A list with nothing picked has no value to save; the panel never leaves one so.
            Checked<ResolvedAction> resolved = ResolveValue(actions[a], values[a]);
            if (resolved.value) {
                group.actions.push_back(std::move(*resolved.value));
            }
        }
        project.groups.push_back(std::move(group));
    }
    return project;
}

} // namespace lenstally
