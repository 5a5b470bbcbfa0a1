// SPDX-License-Identifier: MIT
#pragma once
// The storage plan and recorder limits as someone edits them, one input at a time, kept to
// settings a project file can hold.

#include <array>
#include <optional>
#include <string>

#include "project/project.hpp"

namespace lenstally {

/// The drive size units the plan's inputs offer, in the order they list them.
inline constexpr std::array kDriveUnits{SizeUnit::TB, SizeUnit::GB, SizeUnit::TiB, SizeUnit::GiB};
/// The largest drive size and Mbps per recorder the plan's inputs take.
inline constexpr double kLargestPlanNumber = 1e15;

/// The storage a plan starts with when it is switched on: 8 TB drives in RAID 0, filled to the
/// end, no spares, no overhead.
StorageSection StartingStorage();

/// Everything a project says about its drives and recorders.
struct PlanSettings {
    std::optional<StorageSection> storage;
    std::optional<RecorderLimits> recorder;

    friend bool operator==(const PlanSettings&, const PlanSettings&) = default;
};

/// Settings made valid, and what had to change to make them so.
struct SettledPlan {
    PlanSettings settings;
    std::string note; // a sentence or two for the user; empty when nothing changed
};

/// Makes `settings` valid after an edit: the drive's size in KB follows its number and unit, an
/// array width below what the RAID level needs is raised to it, an installed drive count the
/// layout cannot use moves to the next valid count (or is cleared when there is none), and
/// without a storage section the recorders have no drives-per-recorder limit.
SettledPlan SettlePlan(PlanSettings settings);

/// Which input of the plan an edit came from; consecutive edits of one input make one undo step.
enum class PlanField {
    Storage,
    DriveSize,
    DriveUnit,
    Raid,
    ArrayWidth,
    Spares,
    Overhead,
    Fill,
    Drives,
    Recorder,
    Channels,
    Mbps,
    Bays
};

/// What the plan's inputs hold. Counts and limits are numbers as typed (NaN for an empty box);
/// 0 means none: no array width, no drives given, no limit.
struct PlanInputs {
    bool storage = false; // the storage plan is switched on
    double driveSize = 8;
    SizeUnit driveUnit = SizeUnit::TB;
    RaidLevel raid = RaidLevel::Raid0;
    double arrayWidth = 0;
    double spares = 0;
    double overhead = 0; // percent
    double fill = 100;   // percent
    double drives = 0;
    bool recorder = false; // the recorders are switched on
    double channels = 0;
    double mbps = 0;
    double bays = 0;
};

/// What the plan's inputs show for `settings`: each section given, with its values; a section
/// not given switched off, its inputs keeping what `kept` holds (by default, what a plan starts
/// with: StartingStorage and no recorder limits).
PlanInputs ShownPlanInputs(const PlanSettings& settings, PlanInputs kept = {});

/// Why the inputs of a section switched on cannot be a plan, in the inputs' own words ("Drive
/// size must be above 0"); empty when they can. The ranges are a project file's.
std::string PlanInputsProblem(const PlanInputs& inputs);

/// The settings of a plan that had `shown` once the user changed `field` to what `inputs` hold
/// (which PlanInputsProblem accepts), made valid by SettlePlan.
SettledPlan EditedPlan(const PlanSettings& shown, PlanField field, const PlanInputs& inputs);

} // namespace lenstally
