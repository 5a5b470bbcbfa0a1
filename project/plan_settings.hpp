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

} // namespace lenstally
