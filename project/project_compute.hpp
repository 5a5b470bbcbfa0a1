// SPDX-License-Identifier: MIT
#pragma once
// Computing a project: each group on the window's own model, exactly as the command line would
// compute it alone, then the site's totals and, when the project has them, the storage plan and
// the recorders.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "form/form1.hpp"
#include "project/project.hpp"
#include "project/site_result.hpp"

namespace lenstally {

/// One line of the plan or of a camera view in words, as every report and window shows it: "Drives
/// needed:" and "10 (9 active in 1 array, 7 data drives, net 52.136TB)". Built once, with the
/// figures.
struct PlanLine {
    enum class Kind {
        Assumption, // what the plan rests on: the drive, the RAID level, spares, limits
        Figure,     // what the plan works out from them and from the groups
    };
    Kind kind = Kind::Figure;
    std::string label;
    std::string text;
    std::optional<double> value; // the raw number the text shows, where it shows one
    bool warning = false;        // out of range, or the project does not fit
};

/// What one group shows once its actions have run.
struct GroupResult {
    std::string name;
    double activity = 100;
    std::vector<std::string> inputs; // CurrentValue of each action, in the order of Actions()
    std::string frameSize;           // txtFrameSize
    std::string perCamera;           // lbPerBandwidth
    std::string totalBandwidth;      // lbTotalBandwidth
    std::string storage;             // the recorded storage, as lbStorageSize shows a storage
    Figures figures{};               // unrounded; storageKB is the recorded storage
    double cameras = 0;              // the camera box, read as the window reads it
    double dailyKB = 0;              // recorded storage of one day (the days box holding "1")
    CameraDetails camera;            // as the project gives them
    std::int64_t pixels = 0;         // the picture's width: camera.pixels, or else the resolution's
    std::optional<ViewFigures> view; // with a camera view: what the camera sees at the target
    std::vector<PlanLine> viewLines; // with a camera view: the view in words
};

/// The figures of a group whose form is in the state its actions leave. The recorded storage is
/// the form's storage times activity / 100.0, so an activity of 100 leaves it exactly as shown.
/// With a camera view, its figures at the camera's pixel width: `camera.pixels`, or else the
/// default width of the resolution the form has selected.
GroupResult ResultOfGroup(const Form1& form, std::string name, double activity,
                          const CameraDetails& camera = {});

/// How a count of drives is used: the drives needed and the drives installed are each shown so.
struct DriveUse {
    std::int64_t drives = 0;     // spares included
    std::int64_t active = 0;     // drives - spares
    std::int64_t arrays = 1;     // RAID 5 and 6: the arrays the active drives make; otherwise 1
    std::int64_t dataDrives = 0; // the drives that hold recordings
    double netKB = 0;            // what recordings may fill on them
};

/// The storage plan's figures; see estimation/storage_plan.hpp for how each is computed.
struct StoragePlanResult {
    double netPerDriveKB = 0;                 // the net capacity of one data drive
    std::optional<std::int64_t> drivesNeeded; // nullopt: "Out of range"
    std::optional<DriveUse> needed;           // how the drives needed are used, when in range
    // With drives installed only:
    std::optional<DriveUse> installed;
    std::optional<double> usableKB; // their net capacity
    std::optional<bool> fits;       // nullopt also when the total storage is out of range
    std::optional<DaysThatFit> daysThatFit;
};

/// The site's totals, summed over the groups in group order from 0, and the plan.
struct ProjectTotals {
    double totalKbps = 0;
    double storageKB = 0; // recorded storage, each group kept for its own days
    double cameras = 0;
    double dailyKB = 0;
    std::string totalBandwidth;               // as lbTotalBandwidth shows a bandwidth
    std::string totalStorage;                 // as lbStorageSize shows a storage
    std::optional<StoragePlanResult> plan;    // with a storage section
    std::optional<RecordersNeeded> recorders; // with a recorder section
    std::vector<PlanLine> storageLines;       // the plan's assumptions, then its figures
    std::vector<PlanLine> recorderLines;      // each recorder limit, then the recorders needed
};

/// The totals of `groups`, the plan's figures and its lines in words.
ProjectTotals TotalsOf(std::span<const GroupResult> groups,
                       const std::optional<StorageSection>& storage,
                       const std::optional<RecorderLimits>& recorder);

struct ProjectResult {
    std::optional<std::string> name;
    std::vector<GroupResult> groups;
    std::optional<StorageSection> storage;
    std::optional<RecorderLimits> recorder;
    ProjectTotals totals;
    std::optional<SiteResult> site; // with a site plan

    /// True when any figure of any group, any total or any plan figure is out of range (not a
    /// finite number, or beyond what the plan considers).
    bool anyOutOfRange() const;
};

/// Runs each group's actions on a form in the state start-up leaves and hands the form, in group
/// order, to `visit` (with the group's position).
void ForEachGroupForm(const Project& project,
                      const std::function<void(std::size_t, const Form1&)>& visit);

/// Computes every group on a form in the state start-up leaves, then the totals and the plan.
ProjectResult ComputeProject(const Project& project);

} // namespace lenstally
