// SPDX-License-Identifier: MIT
#include "web/module/plan_inputs.hpp"

#include "estimation/storage_plan.hpp"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

#include "project/plan_lines.hpp"

namespace lenstally::web {
namespace {

using Json = nlohmann::ordered_json;

double number(const nlohmann::json& object, const char* key) {
    const auto it = object.find(key);
    return it != object.end() && it->is_number() ? it->get<double>() : std::nan("");
}

bool isOn(const nlohmann::json& object) {
    const auto it = object.find("on");
    return it != object.end() && it->is_boolean() && it->get<bool>();
}

constexpr std::pair<std::string_view, PlanField> kFields[] = {
    {"storage.on", PlanField::Storage},
    {"storage.driveSize", PlanField::DriveSize},
    {"storage.driveUnit", PlanField::DriveUnit},
    {"storage.raid", PlanField::Raid},
    {"storage.arrayWidth", PlanField::ArrayWidth},
    {"storage.spares", PlanField::Spares},
    {"storage.overhead", PlanField::Overhead},
    {"storage.fill", PlanField::Fill},
    {"storage.drives", PlanField::Drives},
    {"recorder.on", PlanField::Recorder},
    {"recorder.channels", PlanField::Channels},
    {"recorder.mbps", PlanField::Mbps},
    {"recorder.bays", PlanField::Bays}};

} // namespace

nlohmann::ordered_json planInputs(const PlanSettings& settings) {
    const PlanInputs in = ShownPlanInputs(settings);
    Json j;
    j["storage"] = {{"on", in.storage},
                    {"driveSize", in.driveSize},
                    {"driveUnit", UnitName(in.driveUnit)},
                    {"raid", RaidNumber(in.raid)},
                    {"arrayWidth", in.arrayWidth},
                    {"spares", in.spares},
                    {"overhead", in.overhead},
                    {"fill", in.fill},
                    {"drives", in.drives}};
    j["recorder"] = {
        {"on", in.recorder}, {"channels", in.channels}, {"mbps", in.mbps}, {"bays", in.bays}};
    return j;
}

std::optional<PlanField> planFieldNamed(std::string_view name) {
    const auto* const found = std::find_if(std::begin(kFields), std::end(kFields),
                                           [name](const auto& f) { return f.first == name; });
    return found == std::end(kFields) ? std::nullopt : std::optional(found->second);
}

std::optional<PlanInputs> readPlanInputs(const nlohmann::json& inputs) {
    const auto storageIt = inputs.find("storage");
    const auto recorderIt = inputs.find("recorder");
    if (storageIt == inputs.end() || !storageIt->is_object() || recorderIt == inputs.end() ||
        !recorderIt->is_object()) {
        return std::nullopt;
    }
    const nlohmann::json& in = *storageIt;
    const nlohmann::json& rec = *recorderIt;
    PlanInputs read;
    read.storage = isOn(in);
    if (read.storage) {
        const auto unitIt = in.find("driveUnit");
        const auto* const unit =
            std::find_if(kDriveUnits.begin(), kDriveUnits.end(), [&unitIt, &in](SizeUnit u) {
                return unitIt != in.end() && unitIt->is_string() &&
                       unitIt->get<std::string>() == UnitName(u);
            });
        const double raid = number(in, "raid");
        const auto level = raid >= 0 && raid <= 10 && raid == std::floor(raid)
                               ? RaidLevelOf(static_cast<std::int64_t>(raid))
                               : std::nullopt;
        if (unit == kDriveUnits.end() || !level) {
            return std::nullopt;
        }
        read.driveSize = number(in, "driveSize");
        read.driveUnit = *unit;
        read.raid = *level;
        read.arrayWidth = number(in, "arrayWidth");
        read.spares = number(in, "spares");
        read.overhead = number(in, "overhead");
        read.fill = number(in, "fill");
        read.drives = number(in, "drives");
    }
    read.recorder = isOn(rec);
    if (read.recorder) {
        read.channels = number(rec, "channels");
        read.mbps = number(rec, "mbps");
        read.bays = number(rec, "bays");
    }
    return read;
}

} // namespace lenstally::web
