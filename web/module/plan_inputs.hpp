// SPDX-License-Identifier: MIT
#pragma once
// The storage plan and recorder settings as the planner page's inputs show them, and read back
// from them; the core's SettlePlan then makes them valid as the desktop planner does.

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "project/plan_settings.hpp"

namespace lenstally::web {

/// The settings as the page's inputs show them: {"storage": {"on", "driveSize", "driveUnit",
/// "raid", "arrayWidth", "spares", "overhead", "fill", "drives"}, "recorder": {"on", "channels",
/// "mbps", "bays"}}; a count or limit of 0 means none.
nlohmann::ordered_json planInputs(const PlanSettings& settings);

/// The result of reading the page's inputs: settings made valid by SettlePlan and its note of
/// what it changed, or an error naming the inputs whose value is out of range.
struct PlanEdit {
    SettledPlan settled;
    std::string error;
};

/// Reads `inputs` (as planInputs writes them). Values outside the inputs' ranges (drive size
/// above 0 to 1e15, RAID 0, 1, 5, 6 or 10, counts 0 to 1,000,000,000, overhead 0 to under 100,
/// fill above 0 to 100, Mbps 0 to 1e15) give an error.
PlanEdit readPlanInputs(const nlohmann::json& inputs);

} // namespace lenstally::web
