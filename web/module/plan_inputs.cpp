// SPDX-License-Identifier: MIT
#include "web/module/plan_inputs.hpp"

#include "estimation/storage_plan.hpp"

#include <array>
#include <cmath>
#include <string_view>

#include "project/plan_lines.hpp"

namespace lenstally::web {
namespace {

using Json = nlohmann::ordered_json;

// A number field of the inputs within [low, high] (each end open or closed), else nullopt.
std::optional<double> number(const nlohmann::json& object, const char* key, double low,
                             bool lowOpen, double high, bool highOpen) {
    const auto it = object.find(key);
    if (it == object.end() || !it->is_number()) {
        return std::nullopt;
    }
    const double value = it->get<double>();
    const bool aboveLow = lowOpen ? value > low : value >= low;
    const bool belowHigh = highOpen ? value < high : value <= high;
    return std::isfinite(value) && aboveLow && belowHigh ? std::optional(value) : std::nullopt;
}

std::optional<std::int64_t> count(const nlohmann::json& object, const char* key) {
    const auto value = number(object, key, 0, false, static_cast<double>(kLargestCount), false);
    if (!value || *value != std::floor(*value)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(*value);
}

bool isOn(const nlohmann::json& object) {
    const auto it = object.find("on");
    return it != object.end() && it->is_boolean() && it->get<bool>();
}

} // namespace

nlohmann::ordered_json planInputs(const PlanSettings& settings) {
    Json j;
    Json storage;
    storage["on"] = settings.storage.has_value();
    // Without a storage section the inputs show the plan a new one starts with.
    const StorageSection s = settings.storage.value_or(StartingStorage());
    storage["driveSize"] = s.drive.number;
    storage["driveUnit"] = UnitName(s.drive.unit);
    storage["raid"] = RaidNumber(s.layout.raid);
    storage["arrayWidth"] = s.layout.arrayWidth;
    storage["spares"] = s.layout.spares;
    storage["overhead"] = s.layout.overheadPercent;
    storage["fill"] = s.layout.fillPercent;
    storage["drives"] = s.drives.value_or(0);
    j["storage"] = std::move(storage);
    Json recorder;
    const RecorderLimits r = settings.recorder.value_or(RecorderLimits{});
    recorder["on"] = settings.recorder.has_value();
    recorder["channels"] = r.channels.value_or(0);
    recorder["mbps"] = r.mbps.value_or(0);
    recorder["bays"] = r.bays.value_or(0);
    j["recorder"] = std::move(recorder);
    return j;
}

PlanEdit readPlanInputs(const nlohmann::json& inputs) {
    PlanEdit edit;
    const auto fail = [&edit](std::string what) {
        edit.error = std::move(what);
        return edit;
    };
    const auto storageIt = inputs.find("storage");
    const auto recorderIt = inputs.find("recorder");
    if (storageIt == inputs.end() || !storageIt->is_object() || recorderIt == inputs.end() ||
        !recorderIt->is_object()) {
        return fail("the plan inputs are incomplete");
    }
    PlanSettings next;
    const nlohmann::json& in = *storageIt;
    if (isOn(in)) {
        StorageSection s;
        const auto size = number(in, "driveSize", 0, true, kLargestPlanNumber, false);
        if (!size) {
            return fail("Drive size must be above 0");
        }
        const auto unitIt = in.find("driveUnit");
        std::optional<SizeUnit> unit;
        for (const SizeUnit u : kDriveUnits) {
            if (unitIt != in.end() && unitIt->is_string() &&
                unitIt->get<std::string>() == UnitName(u)) {
                unit = u;
            }
        }
        const auto raidNumber = count(in, "raid");
        const auto raid = raidNumber ? RaidLevelOf(*raidNumber) : std::nullopt;
        const auto width = count(in, "arrayWidth");
        const auto spares = count(in, "spares");
        const auto overhead = number(in, "overhead", 0, false, 100, true);
        const auto fill = number(in, "fill", 0, true, 100, false);
        const auto drives = count(in, "drives");
        if (!unit || !raid) {
            return fail("Drive size unit or RAID level is not one the plan knows");
        }
        if (!width || !spares || !drives) {
            return fail("Most drives per array, Hot spares and Drives installed are whole "
                        "numbers from 0 to 1000000000");
        }
        if (!overhead || !fill) {
            return fail("File-system overhead is from 0 to below 100 %, Fill limit above 0 to "
                        "100 %");
        }
        s.drive = {*size, *unit};
        s.layout.raid = *raid;
        const bool arrays = *raid == RaidLevel::Raid5 || *raid == RaidLevel::Raid6;
        s.layout.arrayWidth = arrays ? *width : 0;
        s.layout.spares = *spares;
        s.layout.overheadPercent = *overhead;
        s.layout.fillPercent = *fill;
        if (*drives > 0) {
            s.drives = *drives;
        }
        next.storage = s;
    }
    const nlohmann::json& rec = *recorderIt;
    if (isOn(rec)) {
        const auto channels = count(rec, "channels");
        const auto mbps = number(rec, "mbps", 0, false, kLargestPlanNumber, false);
        const auto bays = count(rec, "bays");
        if (!channels || !mbps || !bays) {
            return fail("Cameras per recorder and Drives per recorder are whole numbers from 0 to "
                        "1000000000, Mbps per recorder from 0 to 1e15");
        }
        const auto limit = [](double value) {
            return value > 0 ? std::optional<double>(value) : std::nullopt;
        };
        next.recorder = RecorderLimits{limit(static_cast<double>(*channels)), limit(*mbps),
                                       limit(static_cast<double>(*bays))};
    }
    edit.settled = SettlePlan(next);
    return edit;
}

} // namespace lenstally::web
