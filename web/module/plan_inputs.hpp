// SPDX-License-Identifier: MIT
#pragma once
// The storage plan and recorder settings as the planner page's inputs show them, and what those
// inputs hold read back into the core's PlanInputs.

#include <nlohmann/json.hpp>
#include <optional>
#include <string_view>

#include "project/plan_settings.hpp"

namespace lenstally::web {

/// The settings as the page's inputs show them: {"storage": {"on", "driveSize", "driveUnit",
/// "raid", "arrayWidth", "spares", "overhead", "fill", "drives"}, "recorder": {"on", "channels",
/// "mbps", "bays"}}; a count or limit of 0 means none.
nlohmann::ordered_json planInputs(const PlanSettings& settings);

/// What the page's inputs hold (as planInputs writes them; a number that is missing or not a
/// number reads as NaN, which PlanInputsProblem refuses), or nullopt where the sections are
/// missing or a unit or RAID level is not one the plan knows.
std::optional<PlanInputs> readPlanInputs(const nlohmann::json& inputs);

/// The input a page's field name stands for: "storage.driveSize", "recorder.on"...
std::optional<PlanField> planFieldNamed(std::string_view name);

} // namespace lenstally::web
