// SPDX-License-Identifier: MIT
#include "web/module/plan_settings.hpp"

#include "estimation/storage_plan.hpp"

#include <array>
#include <cmath>
#include <string_view>

namespace lenstally::web {
namespace {

using Json = nlohmann::ordered_json;

constexpr double kLargestCount = 1'000'000'000; // as in project files
constexpr std::array<std::pair<SizeUnit, std::string_view>, 4> kUnits{
    {{SizeUnit::TB, "TB"}, {SizeUnit::GB, "GB"}, {SizeUnit::TiB, "TiB"}, {SizeUnit::GiB, "GiB"}}};

std::string_view unitName(SizeUnit unit) {
    for (const auto& [u, name] : kUnits) {
        if (u == unit) {
            return name;
        }
    }
    return "TB";
}

std::string raidName(RaidLevel raid) {
    return "RAID " + std::to_string(RaidNumber(raid));
}

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
    const auto value = number(object, key, 0, false, kLargestCount, false);
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
    const StorageSection s = settings.storage.value_or(
        StorageSection{{8, SizeUnit::TB},
                       DriveLayout{SizeInKilobytes(8, SizeUnit::TB), RaidLevel::Raid0},
                       std::nullopt});
    storage["driveSize"] = s.drive.number;
    storage["driveUnit"] = unitName(s.drive.unit);
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

PlanEdit readPlanInputs(const nlohmann::json& inputs, const PlanSettings& current) {
    PlanEdit edit{current, {}, {}};
    const auto fail = [&edit, &current](std::string what) {
        edit.settings = current;
        edit.error = std::move(what);
        return edit;
    };
    const auto storageIt = inputs.find("storage");
    const auto recorderIt = inputs.find("recorder");
    if (storageIt == inputs.end() || !storageIt->is_object() || recorderIt == inputs.end() ||
        !recorderIt->is_object()) {
        return fail("the plan inputs are incomplete");
    }
    const nlohmann::json& in = *storageIt;
    PlanSettings& next = edit.settings;
    next.storage.reset();
    if (isOn(in)) {
        StorageSection s;
        const auto size = number(in, "driveSize", 0, true, 1e15, false);
        if (!size) {
            return fail("Drive size must be above 0");
        }
        const auto unitIt = in.find("driveUnit");
        std::optional<SizeUnit> unit;
        for (const auto& [u, name] : kUnits) {
            if (unitIt != in.end() && unitIt->is_string() && unitIt->get<std::string>() == name) {
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
        s.layout.driveKB = SizeInKilobytes(*size, *unit);
        s.layout.raid = *raid;
        const bool arrays = *raid == RaidLevel::Raid5 || *raid == RaidLevel::Raid6;
        s.layout.arrayWidth = arrays ? *width : 0;
        s.layout.spares = *spares;
        s.layout.overheadPercent = *overhead;
        s.layout.fillPercent = *fill;
        if (*drives > 0) {
            s.drives = *drives;
        }
        const std::int64_t fewest = MinimumActiveDrives(s.layout.raid);
        if (s.layout.arrayWidth > 0 && s.layout.arrayWidth < fewest) {
            edit.note = raidName(s.layout.raid) + " needs at least " + std::to_string(fewest) +
                        " drives per array; the arrays hold up to " + std::to_string(fewest) +
                        " now. ";
            s.layout.arrayWidth = fewest;
        }
        // Installed drives must make a valid set; the next valid count stands in for one that
        // does not, as a project file could not hold it.
        if (s.drives && !InstalledCapacityKB(s.layout, *s.drives)) {
            const std::optional<std::int64_t> valid = NextValidDrives(s.layout, *s.drives);
            edit.note += std::to_string(*s.drives) + " drives are not a valid " +
                         raidName(s.layout.raid) + " set with " + std::to_string(s.layout.spares) +
                         " spare(s); ";
            edit.note += valid ? "drives installed is now " + std::to_string(*valid) + "."
                               : std::string("drives installed is cleared.");
            s.drives = valid;
        }
        next.storage = s;
    }
    const nlohmann::json& rec = *recorderIt;
    next.recorder.reset();
    if (isOn(rec)) {
        const auto channels = count(rec, "channels");
        const auto mbps = number(rec, "mbps", 0, false, 1e15, false);
        const auto bays = count(rec, "bays");
        if (!channels || !mbps || !bays) {
            return fail("Cameras per recorder and Drives per recorder are whole numbers from 0 to "
                        "1000000000, Mbps per recorder from 0 to 1e15");
        }
        const auto limit = [](double value) {
            return value > 0 ? std::optional<double>(value) : std::nullopt;
        };
        // Drives per recorder count the drives of the storage plan.
        next.recorder =
            RecorderLimits{limit(static_cast<double>(*channels)), limit(*mbps),
                           next.storage ? limit(static_cast<double>(*bays)) : std::nullopt};
    }
    while (!edit.note.empty() && edit.note.back() == ' ') {
        edit.note.pop_back();
    }
    return edit;
}

} // namespace lenstally::web
