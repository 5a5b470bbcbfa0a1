// SPDX-License-Identifier: MIT
#pragma once
// A project being edited in a planner: the open ProjectDocument, the selected group, the undo
// history and whether the project differs from the one last opened, started or saved. Every edit
// either planner offers is an operation here, written once: the desktop window and the page only
// turn a user's gesture into a call and lay out what the session says has changed.
//
// Each operation tells the listener, and returns, what it changed (SessionChange): the rows of
// the groups table, the totals, the plan, the selected group's form or camera. Groups inserted,
// removed or moved are announced before and after, as the document announces them, so a table
// keeps its rows in step and a panel lets go of a group before it goes.

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "form/form_action.hpp"
#include "project/camera_inputs.hpp"
#include "project/plan_settings.hpp"
#include "project/project_document.hpp"

namespace lenstally {

/// Which input of a placed camera an edit came from: a drag moves its position, the list's boxes
/// give x, y, heading or label one by one.
enum class PlacementField { Position, X, Y, Heading, Label };
/// Which input of a zone an edit came from.
enum class ZoneField { Name, Level, Required, Points };
/// The outlines whose points an edit may move, remove or retype one by one.
enum class SiteOutline { Wall, Zone };

/// What one operation of a session changed.
struct SessionChange {
    /// Groups inserted, removed, moved or all replaced (Reset), in the order made: the rows from
    /// the first one on may show other groups now.
    std::vector<ProjectDocument::GroupChange> shifts;
    /// Groups whose row shows other texts, by position after the operation (rows shifted or not).
    std::vector<std::size_t> rows;
    bool totals = false;    // the TOTAL row and the plan's figures
    bool plan = false;      // the plan's inputs
    bool name = false;      // the project's name
    bool selection = false; // another group, or none, is selected
    bool group = false;     // the selected group's name, activity, camera or figures
    bool form = false;      // the selected group's form as a whole (selected, or put back)
    bool site = false;      // the site plan: its size, drawing, walls, zones or placements
    /// With a calculator action: the selected group's controls it changed, in the order first
    /// written.
    std::vector<ControlId> controls;
    bool history = false; // what Undo and Redo would do, or whether the project is modified
    std::string note;     // a value the edit adjusted, told once
    std::string error;    // why the edit was refused; nothing changed then

    bool any() const;
    /// The first row whose group may have changed place, if groups were shifted.
    std::optional<std::size_t> firstShifted() const;
};

class PlannerSession {
public:
    /// Told of each change of the list of groups before and after it is made (see
    /// ProjectDocument::Listener; a Reset announces a whole new project), and of what every
    /// operation changed once it is done.
    class Listener {
    public:
        virtual void beforeGroupChange(const ProjectDocument::GroupChange& change) = 0;
        virtual void afterGroupChange(const ProjectDocument::GroupChange& change) = 0;
        virtual void sessionChanged(const SessionChange& change) = 0;

    protected:
        ~Listener() = default;
    };

    /// The most steps undo keeps; the oldest go first.
    static constexpr std::size_t kUndoLimit = 1000;

    /// A new project, unmodified.
    PlannerSession();
    ~PlannerSession();
    PlannerSession(const PlannerSession&) = delete;
    PlannerSession& operator=(const PlannerSession&) = delete;

    /// The one listener, or nullptr; it must outlive the session or be unset first.
    void setListener(Listener* listener) { m_listener = listener; }

    const ProjectDocument& document() const { return m_document; }
    /// The group the planner shows, if any.
    std::optional<std::size_t> selected() const { return m_selected; }

    // Opening. Each clears the history and counts the project as unmodified.

    /// A new project: no name, no groups, no plan.
    const SessionChange& startNew();
    /// The project a file describes; its first group selected.
    const SessionChange& open(const Project& project);

    /// Selects group `group` (none with nullopt; a position beyond the last group is ignored).
    const SessionChange& select(std::optional<std::size_t> group);

    // Edits. Each is one undo step; consecutive edits of one field of one group (typing in one
    // box, one plan input, one camera input) make one step. An edit that changes nothing makes
    // none. Edits of a group select it.

    /// A new group after the selected one (or at the end), "Group N", selected.
    const SessionChange& addGroup();
    /// A copy of the selected group after it, named "... (copy)", selected.
    const SessionChange& duplicateGroup();
    /// Removes the selected group; the one after it (or the new last) is selected.
    const SessionChange& removeGroup();
    const SessionChange& moveGroupUp();
    const SessionChange& moveGroupDown();
    const SessionChange& renameGroup(std::size_t group, const std::string& name);
    /// Percent of the recording hours, clamped to 0..100; a value that is not a number changes
    /// nothing.
    const SessionChange& setActivity(std::size_t group, double activity);
    /// A calculator action on group `group`'s form; refused (error) where FormActionProblem says
    /// so.
    const SessionChange& editForm(std::size_t group, const FormAction& action);
    /// The camera section's input `field` changed to what `inputs` hold; refused (error) where
    /// CameraInputsProblem says so.
    const SessionChange& editCamera(std::size_t group, CameraField field,
                                    const CameraInputs& inputs);
    /// The plan's input `field` changed to what `inputs` hold; refused (error) where
    /// PlanInputsProblem says so. An input adjusted to keep the plan valid is told in the note.
    const SessionChange& editPlan(PlanField field, const PlanInputs& inputs);
    /// The project's name; empty for none.
    const SessionChange& renameProject(std::string name);

    // The site plan. Each edit is one step; consecutive edits of one input of one item (a drag, the
    // typing in one box) make one. Each is refused (error) where a project file could not hold
    // what it makes.

    /// A site plan `width` by `height` metres, with no drawing, wall or zone.
    const SessionChange& startSite(double width, double height);
    /// No site plan; placements wait in their groups until there is one again.
    const SessionChange& removeSite();
    /// The drawing stretched over the plan: a data URL of a PNG, JPEG or SVG image, or nullopt
    /// for none. With `aspect` (the picture's width over its height) the plan's height follows it.
    const SessionChange& setSiteImage(std::optional<std::string> image,
                                      std::optional<double> aspect = std::nullopt);
    /// Scales the plan and everything on it so that the points `a` and `b` (in metres as the
    /// plan stands) lie `metres` apart: the scale taken from two points of the drawing.
    const SessionChange& scaleSite(SitePoint a, SitePoint b, double metres);
    /// Scales the plan and everything on it to `width` metres across.
    const SessionChange& scaleSiteToWidth(double width);
    const SessionChange& addWall(std::vector<SitePoint> points);
    /// Wall `wall` through `points` now (moved, added or removed points).
    const SessionChange& editWall(std::size_t wall, std::vector<SitePoint> points);
    const SessionChange& removeWall(std::size_t wall);
    const SessionChange& addZone(SiteZone zone);
    /// Zone `zone` is `value` now, its input `field` having changed.
    const SessionChange& editZone(std::size_t zone, ZoneField field, SiteZone value);
    const SessionChange& removeZone(std::size_t zone);
    /// Point `point` of wall or zone `item` moved to `at`, kept on the plan (a drag past an edge
    /// stops at it); refused where a zone would cross itself.
    const SessionChange& movePoint(SiteOutline kind, std::size_t item, std::size_t point,
                                   SitePoint at);
    /// Point `point` of wall or zone `item` taken out; refused where a wall would keep fewer than
    /// 2 points or a zone fewer than 3.
    const SessionChange& removePoint(SiteOutline kind, std::size_t item, std::size_t point);
    /// Wall or zone `item` through the points `text` lists (see ReadPointsText: "x y; x y").
    const SessionChange& setPointsText(SiteOutline kind, std::size_t item, std::string_view text);
    /// A camera of group `group` placed at `at`, looking `heading` degrees clockwise from the top
    /// of the plan. Where every camera the group counts is placed already, its camera count
    /// rises by one in the same step.
    const SessionChange& placeCamera(std::size_t group, SitePoint at, double heading);
    /// Placement `index` of group `group` is `value` now, its input `field` having changed; a
    /// heading is taken modulo 360.
    const SessionChange& editPlacement(std::size_t group, std::size_t index, PlacementField field,
                                       Placement value);
    const SessionChange& removePlacement(std::size_t group, std::size_t index);

    /// The edit under way is over (a drag let go, a box left): the next edit is a step of its
    /// own even where it continues the same input.
    void closeStep() { m_stepClosed = true; }

    // History.

    const SessionChange& undo();
    const SessionChange& redo();
    /// What Undo and Redo would do, as their menu items say after "Undo " or "Redo ": "Rename
    /// group"; nullopt when there is nothing to undo or redo.
    std::optional<std::string> undoText() const;
    std::optional<std::string> redoText() const;
    /// The steps in the history, done and undone.
    std::size_t stepCount() const { return m_steps.size(); }

    /// Whether the project differs from the one last opened, started or saved.
    bool isModified() const { return m_clean != m_done; }
    /// The project as it is now counts as saved.
    const SessionChange& markSaved();
    /// The project counts as unsaved until it is saved, whatever undo does (a recovered copy).
    const SessionChange& markUnsaved();

private:
    struct Step {
        std::string label;
        std::string mergeKey; // consecutive steps with the same non-empty key make one
        std::function<void(ProjectDocument&)> undo;
        std::function<void(ProjectDocument&)> redo;
        std::optional<std::size_t> afterUndo; // the group to select after undoing it
        std::optional<std::size_t> afterRedo; // and after doing it again
        bool structural = false;              // groups are added, removed or moved
    };
    class DocumentListener;

    SessionChange& begin();
    const SessionChange& finish();
    const SessionChange& refused(std::string why);
    void reset(ProjectDocument document);
    void record(Step step);
    void selectAfter(std::optional<std::size_t> group);
    void groupEdited(std::size_t group);
    void insertGroup(std::size_t at, ProjectDocument::Group group, std::string label);
    const SessionChange& move(bool up);
    // Records a change of the site plan: `edit` with its values before and after.
    template <typename T>
    void recordSite(std::string label, std::string mergeKey,
                    std::function<void(ProjectDocument&, const T&)> apply, T before, T after,
                    std::optional<std::size_t> group = std::nullopt);
    std::string siteProblem() const;
    // Edits the points of wall or zone `item` through `edit`, which says false where it has no
    // such point; refused where fewer than `fewest` would be left.
    const SessionChange& editPoints(SiteOutline kind, std::size_t item,
                                    const std::function<bool(std::vector<SitePoint>&)>& edit,
                                    std::size_t fewest = 0);

    ProjectDocument m_document;
    std::optional<std::size_t> m_selected;
    std::deque<Step> m_steps;
    std::size_t m_done = 0; // steps m_steps[0, m_done) are in effect
    // The m_done at which the project is as last opened, started or saved; nullopt when no undo
    // or redo can reach that state again.
    std::optional<std::size_t> m_clean = 0;
    bool m_stepClosed = false; // the last step takes no more edits into it
    SessionChange m_change;
    Listener* m_listener = nullptr;
    std::unique_ptr<DocumentListener> m_documentListener;
};

} // namespace lenstally
