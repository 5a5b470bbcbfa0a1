// SPDX-License-Identifier: MIT
#include "project/plan_settings.hpp"

#include <cmath>

#include "project/plan_lines.hpp"

namespace lenstally {
namespace {

bool within(double value, double low, bool lowOpen, double high, bool highOpen) {
    return std::isfinite(value) && (lowOpen ? value > low : value >= low) &&
           (highOpen ? value < high : value <= high);
}

bool isCount(double value) {
    return within(value, 0, false, static_cast<double>(kLargestCount), false) &&
           value == std::floor(value);
}

std::int64_t countOf(double value) {
    return static_cast<std::int64_t>(value);
}

// A limit of 0 is no limit.
std::optional<double> limitOf(double value) {
    return value > 0 ? std::optional<double>(value) : std::nullopt;
}

bool usesArrays(RaidLevel raid) {
    return raid == RaidLevel::Raid5 || raid == RaidLevel::Raid6;
}

StorageSection storageOf(const PlanInputs& in) {
    StorageSection s;
    s.drive = {in.driveSize, in.driveUnit};
    s.layout.raid = in.raid;
    s.layout.arrayWidth = usesArrays(in.raid) ? countOf(in.arrayWidth) : 0;
    s.layout.spares = countOf(in.spares);
    s.layout.overheadPercent = in.overhead;
    s.layout.fillPercent = in.fill;
    if (in.drives > 0) {
        s.drives = countOf(in.drives);
    }
    return s;
}

RecorderLimits recorderOf(const PlanInputs& in) {
    return {limitOf(in.channels), limitOf(in.mbps), limitOf(in.bays)};
}

} // namespace

StorageSection StartingStorage() {
    StorageSection s;
    s.drive = {8, SizeUnit::TB};
    s.layout.driveKB = SizeInKilobytes(s.drive.number, s.drive.unit);
    return s;
}

SettledPlan SettlePlan(PlanSettings settings) {
    std::string note;
    if (settings.storage) {
        StorageSection& s = *settings.storage;
        s.layout.driveKB = SizeInKilobytes(s.drive.number, s.drive.unit);
        const std::int64_t fewest = MinimumActiveDrives(s.layout.raid);
        if (s.layout.arrayWidth > 0 && s.layout.arrayWidth < fewest) {
            note = RaidName(s.layout.raid) + " needs at least " + std::to_string(fewest) +
                   " drives per array; the arrays hold up to " + std::to_string(fewest) + " now. ";
            s.layout.arrayWidth = fewest;
        }
        // Installed drives must make a valid set; the next valid count stands in for one that
        // does not, as a project file could not hold it.
        if (s.drives && !InstalledCapacityKB(s.layout, *s.drives)) {
            const std::optional<std::int64_t> valid = NextValidDrives(s.layout, *s.drives);
            note += std::to_string(*s.drives) + " drives are not a valid " +
                    RaidName(s.layout.raid) + " set with " + std::to_string(s.layout.spares) +
                    " spare(s); ";
            note += valid ? "drives installed is now " + std::to_string(*valid) + "."
                          : std::string("drives installed is cleared.");
            s.drives = valid;
        }
    } else if (settings.recorder) {
        settings.recorder->bays.reset();
    }
    if (!note.empty() && note.back() == ' ') {
        note.pop_back();
    }
    return {settings, std::move(note)};
}

PlanInputs ShownPlanInputs(const PlanSettings& settings, PlanInputs kept) {
    kept.storage = settings.storage.has_value();
    if (const std::optional<StorageSection>& s = settings.storage) {
        kept.driveSize = s->drive.number;
        kept.driveUnit = s->drive.unit;
        kept.raid = s->layout.raid;
        kept.arrayWidth = static_cast<double>(s->layout.arrayWidth);
        kept.spares = static_cast<double>(s->layout.spares);
        kept.overhead = s->layout.overheadPercent;
        kept.fill = s->layout.fillPercent;
        kept.drives = static_cast<double>(s->drives.value_or(0));
    }
    kept.recorder = settings.recorder.has_value();
    if (const std::optional<RecorderLimits>& r = settings.recorder) {
        kept.channels = r->channels.value_or(0);
        kept.mbps = r->mbps.value_or(0);
        kept.bays = r->bays.value_or(0);
    }
    return kept;
}

std::string PlanInputsProblem(const PlanInputs& in) {
    if (in.storage) {
        if (!within(in.driveSize, 0, true, kLargestPlanNumber, false)) {
            return "Drive size must be above 0";
        }
        if (!isCount(in.arrayWidth) || !isCount(in.spares) || !isCount(in.drives)) {
            return "Most drives per array, Hot spares and Drives installed are whole numbers from "
                   "0 to 1000000000";
        }
        if (!within(in.overhead, 0, false, 100, true) || !within(in.fill, 0, true, 100, false)) {
            return "File-system overhead is from 0 to below 100 %, Fill limit above 0 to 100 %";
        }
    }
    if (in.recorder && (!isCount(in.channels) || !isCount(in.bays) ||
                        !within(in.mbps, 0, false, kLargestPlanNumber, false))) {
        return "Cameras per recorder and Drives per recorder are whole numbers from 0 to "
               "1000000000, Mbps per recorder from 0 to 1e15";
    }
    return {};
}

SettledPlan EditedPlan(const PlanSettings& shown, PlanField field, const PlanInputs& inputs) {
    PlanSettings next = shown;
    switch (field) {
    case PlanField::Storage:
        next.storage = inputs.storage ? std::optional(storageOf(inputs)) : std::nullopt;
        break;
    case PlanField::Recorder:
        next.recorder = inputs.recorder ? std::optional(recorderOf(inputs)) : std::nullopt;
        break;
    case PlanField::Channels:
    case PlanField::Mbps:
    case PlanField::Bays:
        if (next.recorder) {
            next.recorder = recorderOf(inputs);
        }
        break;
    default:
        if (next.storage) {
            // Only the input edited takes the inputs' value; the rest stay the document's.
            StorageSection& s = *next.storage;
            const StorageSection in = storageOf(inputs);
            switch (field) {
            case PlanField::DriveSize:
            case PlanField::DriveUnit:
                s.drive = in.drive;
                break;
            case PlanField::Raid:
                s.layout.raid = in.layout.raid;
                s.layout.arrayWidth = in.layout.arrayWidth;
                break;
            case PlanField::ArrayWidth:
                s.layout.arrayWidth = in.layout.arrayWidth;
                break;
            case PlanField::Spares:
                s.layout.spares = in.layout.spares;
                break;
            case PlanField::Overhead:
                s.layout.overheadPercent = in.layout.overheadPercent;
                break;
            case PlanField::Fill:
                s.layout.fillPercent = in.layout.fillPercent;
                break;
            case PlanField::Drives:
                s.drives = in.drives;
                break;
            default:
                break;
            }
        }
        break;
    }
    return SettlePlan(next);
}

} // namespace lenstally
