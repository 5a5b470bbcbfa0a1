// SPDX-License-Identifier: MIT
#pragma once
// A project being edited: each group held as a live calculator model (the form the planner's
// calculator panel edits), with its figures kept up to date, and the project's totals and plan.
// It links no toolkit: the planner window mirrors it, and what it saves is the project file the
// command line reads, so both always show the same figures.

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "form/form1.hpp"
#include "form/listener_slot.hpp"
#include "project/project.hpp"
#include "project/project_compute.hpp"
#include "project/site_compute.hpp"

namespace lenstally {

class ProjectDocument {
public:
    struct Group {
        std::string name;
        double activity = 100;             // percent, 0 to 100
        Form1 form;                        // in the state the group's inputs leave
        CameraDetails camera;              // the camera's name, pixel width and view, where given
        std::vector<Placement> placements; // where its cameras stand on the site plan
    };

    /// A change of the list of groups, or of one group's whole form.
    struct GroupChange {
        // Reset: the whole project is replaced by another (announced by its planner session).
        enum class Kind { Insert, Remove, Move, Replace, Reset };
        Kind kind;
        std::size_t at;     // the position inserted, removed, replaced, or moved from
        std::size_t to = 0; // Move only: the position the group ends at
    };

    /// Told of each GroupChange before the document makes it, so that a view can let go of a
    /// group that is about to go away, and again once it is made and the figures are up to date.
    class Listener {
    public:
        virtual void beforeGroupChange(const GroupChange& change) = 0;
        virtual void afterGroupChange(const GroupChange& change) = 0;

    protected:
        ~Listener() = default;
    };

    /// A new project: no name, no groups, no plan.
    ProjectDocument();
    /// The project a file describes, each group computed as the command line computes it.
    explicit ProjectDocument(const Project& project);

    /// The one listener, or nullptr. It belongs to this document: a copy starts without it, and
    /// assigning another document keeps it.
    void setListener(Listener* listener) { m_listener.set(listener); }

    const std::optional<std::string>& name() const { return m_name; }
    void setName(std::optional<std::string> name) { m_name = std::move(name); }

    std::size_t groupCount() const { return m_groups.size(); }
    const Group& group(std::size_t i) const { return *m_groups.at(i); }
    /// Group i's figures, as the table and the reports show them.
    const GroupResult& result(std::size_t i) const { return m_results.at(i); }
    /// The group's form, for the calculator panel to edit; call refresh(i) after each edit. Its
    /// address stays the same while the group exists, wherever it moves.
    Form1& form(std::size_t i) { return m_groups.at(i)->form; }

    /// A group as a new one starts: the calculator as it opens, recording all the time.
    Group newGroup(std::string name) const;
    void insertGroup(std::size_t at, Group group);
    Group takeGroup(std::size_t at);
    void moveGroup(std::size_t from, std::size_t to);
    void setGroupName(std::size_t i, std::string name);
    void setActivity(std::size_t i, double activity);
    /// Gives group i the camera details `camera` (checked as a project file's are).
    void setCamera(std::size_t i, CameraDetails camera);
    /// Gives group i the placements `placements` (checked as a project file's are: at most one
    /// a camera, with a view, inside the site's plan).
    void setPlacements(std::size_t i, std::vector<Placement> placements);
    /// Puts group i's form in the state `state` holds (an earlier copy of it). The form stays the
    /// same object, with its own change listener.
    void replaceForm(std::size_t i, const Form1& state);
    /// Recomputes group i's figures, then the totals and the plan.
    void refresh(std::size_t i);

    const std::optional<StorageSection>& storage() const { return m_storage; }
    const std::optional<RecorderLimits>& recorder() const { return m_recorder; }
    void setStorage(const std::optional<StorageSection>& storage);
    void setRecorder(std::optional<RecorderLimits> recorder);

    /// The site plan, as the file gave it or as last set.
    const std::optional<SiteSection>& site() const { return m_site; }
    /// Gives the project the site plan `site` (checked as a project file's is).
    void setSite(std::optional<SiteSection> site);
    /// Changes the site plan in place (the project has one; the result is checked as a project
    /// file's is) and computes its figures again.
    void editSite(const std::function<void(SiteSection&)>& edit);

    const ProjectTotals& totals() const { return m_totals; }
    /// The site plan's figures, kept up to date; nullopt without a site.
    const std::optional<SiteResult>& siteResult() const { return m_siteModel.result(); }
    /// Every figure, as ComputeProject gives it for the project this document saves.
    ProjectResult result() const;
    /// The project as a file holds it: each group with its effective inputs, as its form held
    /// them when its figures were last refreshed.
    Project toProject() const;

private:
    void refreshTotals();
    void resetSite();
    std::vector<std::vector<Placement>> allPlacements() const;
    void before(const GroupChange& change);
    void after(const GroupChange& change);

    Form1 m_startUp;
    std::optional<std::string> m_name;
    std::vector<std::unique_ptr<Group>> m_groups;
    std::vector<GroupResult> m_results; // one per group, in the same order
    std::optional<StorageSection> m_storage;
    std::optional<RecorderLimits> m_recorder;
    std::optional<SiteSection> m_site;
    ProjectTotals m_totals;
    SiteModel m_siteModel;
    ListenerSlot<Listener*> m_listener;
};

} // namespace lenstally
