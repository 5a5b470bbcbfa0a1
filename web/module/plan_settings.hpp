// SPDX-License-Identifier: MIT
#pragma once
// The storage plan and recorder settings the planner edits, read from the page's inputs and made
// valid the way the desktop planner makes them valid: an array narrower than its RAID level
// allows is widened, and an installed drive count that makes no valid set becomes the next valid
// one (or none), with a sentence saying what changed.

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "project/project.hpp"

namespace lenstally::web {

struct PlanSettings {
    std::optional<StorageSection> storage;
    std::optional<RecorderLimits> recorder;
};

/// The settings as the page's inputs show them: {"storage": {"on", "driveSize", "driveUnit",
/// "raid", "arrayWidth", "spares", "overhead", "fill", "drives"}, "recorder": {"on", "channels",
/// "mbps", "bays"}}; a count or limit of 0 means none.
nlohmann::ordered_json planInputs(const PlanSettings& settings);

/// The result of reading the page's inputs: valid settings and a note of any adjustment, or an
/// error naming the input whose value is out of its range.
struct PlanEdit {
    PlanSettings settings;
    std::string note;
    std::string error;
};

/// Reads `inputs` (as planInputs writes them) over `current`. Values outside the inputs' ranges
/// (drive size above 0, RAID 0, 1, 5, 6 or 10, counts 0 to 1,000,000,000, overhead 0 to under
/// 100, fill above 0 to 100, Mbps 0 to 1e15) give an error and leave nothing changed.
PlanEdit readPlanInputs(const nlohmann::json& inputs, const PlanSettings& current);

} // namespace lenstally::web
