// SPDX-License-Identifier: MIT
#include "estimation/storage_plan.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace lenstally {
namespace {

// Drives each RAID 5 or 6 array gives up to parity.
std::int64_t parityDrives(RaidLevel raid) {
    switch (raid) {
    case RaidLevel::Raid5:
        return 1;
    case RaidLevel::Raid6:
        return 2;
    default:
        return 0;
    }
}

bool splitsIntoArrays(const DriveLayout& layout) {
    return parityDrives(layout.raid) > 0 && layout.arrayWidth > 0;
}

// The fewest active drives that can hold `data` data drives in a valid set: every array gives up
// its parity drives and, with a width, holds at most width - parity data drives; mirrors hold one
// data drive per pair.
std::int64_t fewestActiveFor(const DriveLayout& layout, std::int64_t data) {
    const std::int64_t parity = parityDrives(layout.raid);
    switch (layout.raid) {
    case RaidLevel::Raid0:
        return data;
    case RaidLevel::Raid1:
    case RaidLevel::Raid10:
        return 2 * data;
    case RaidLevel::Raid5:
    case RaidLevel::Raid6:
        if (splitsIntoArrays(layout)) {
            const std::int64_t perArray = layout.arrayWidth - parity;
            return data + parity * ((data + perArray - 1) / perArray);
        }
        return data + parity;
    }
    return data;
}

constexpr std::pair<RaidLevel, int> kRaidNumbers[] = {{RaidLevel::Raid0, 0},
                                                      {RaidLevel::Raid1, 1},
                                                      {RaidLevel::Raid5, 5},
                                                      {RaidLevel::Raid6, 6},
                                                      {RaidLevel::Raid10, 10}};

} // namespace

int RaidNumber(RaidLevel raid) {
    for (const auto& [level, number] : kRaidNumbers) {
        if (level == raid) {
            return number;
        }
    }
    return 0;
}

std::optional<RaidLevel> RaidLevelOf(std::int64_t number) {
    for (const auto& [level, n] : kRaidNumbers) {
        if (n == number) {
            return level;
        }
    }
    return std::nullopt;
}

double SizeInKilobytes(double number, SizeUnit unit) {
    switch (unit) {
    case SizeUnit::TB:
        return number * 1e9;
    case SizeUnit::GB:
        return number * 1e6;
    case SizeUnit::TiB:
        return number * kKilobytesPerTiB;
    case SizeUnit::GiB:
        return number * 1073741.824;
    }
    return number;
}

std::int64_t MinimumActiveDrives(RaidLevel raid) {
    switch (raid) {
    case RaidLevel::Raid0:
        return 1;
    case RaidLevel::Raid1:
        return 2;
    case RaidLevel::Raid5:
        return 3;
    case RaidLevel::Raid6:
    case RaidLevel::Raid10:
        return 4;
    }
    return 1;
}

std::int64_t ArrayCount(const DriveLayout& layout, std::int64_t active) {
    if (!splitsIntoArrays(layout) || active <= 0) {
        return 1;
    }
    return (active + layout.arrayWidth - 1) / layout.arrayWidth;
}

std::optional<std::int64_t> DataDrives(const DriveLayout& layout, std::int64_t active) {
    if (active < MinimumActiveDrives(layout.raid)) {
        return std::nullopt;
    }
    switch (layout.raid) {
    case RaidLevel::Raid0:
        return active;
    case RaidLevel::Raid1:
    case RaidLevel::Raid10:
        return active / 2; // an odd drive out holds nothing
    case RaidLevel::Raid5:
    case RaidLevel::Raid6: {
        // Split as evenly as possible, the smallest array holds floor(active / arrays) drives.
        const std::int64_t parity = parityDrives(layout.raid);
        const std::int64_t arrays = ArrayCount(layout, active);
        if (active / arrays < parity + 2) {
            return std::nullopt;
        }
        return active - parity * arrays;
    }
    }
    return std::nullopt;
}

double NetCapacityKB(const DriveLayout& layout, std::int64_t dataDrives) {
    return static_cast<double>(dataDrives) * layout.driveKB *
           ((100 - layout.overheadPercent) / 100.0) * (layout.fillPercent / 100.0);
}

std::optional<double> InstalledCapacityKB(const DriveLayout& layout, std::int64_t drives) {
    const std::optional<std::int64_t> data = DataDrives(layout, drives - layout.spares);
    if (!data) {
        return std::nullopt;
    }
    return NetCapacityKB(layout, *data);
}

std::int64_t MinimumDrives(const DriveLayout& layout) {
    return MinimumActiveDrives(layout.raid) + layout.spares;
}

std::optional<std::int64_t> NextValidDrives(const DriveLayout& layout, std::int64_t drives) {
    for (std::int64_t active = std::max(drives - layout.spares, MinimumActiveDrives(layout.raid));
         active + layout.spares <= kMaxDrives; ++active) {
        if (DataDrives(layout, active)) {
            return active + layout.spares;
        }
    }
    return std::nullopt;
}

std::optional<std::int64_t> DrivesNeeded(const DriveLayout& layout, double totalKB) {
    const std::int64_t maxActive = kMaxDrives - layout.spares;
    if (!std::isfinite(totalKB) || maxActive < MinimumActiveDrives(layout.raid)) {
        return std::nullopt;
    }
    // The fewest data drives whose capacity reaches the total. Capacity never falls as data
    // drives are added (every factor is positive and rounding keeps order), so halving finds it.
    std::int64_t low = 0;
    std::int64_t high = maxActive;
    if (NetCapacityKB(layout, high) < totalKB) {
        return std::nullopt;
    }
    while (low < high) {
        const std::int64_t middle = low + (high - low) / 2;
        if (NetCapacityKB(layout, middle) >= totalKB) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    // No valid set below fewestActiveFor holds that many data drives. Above it the data drives
    // can fall again where a new array starts, so each count is checked in turn; a valid count
    // with enough data drives comes within an array's width.
    for (std::int64_t active =
             std::max(fewestActiveFor(layout, low), MinimumActiveDrives(layout.raid));
         active <= maxActive; ++active) {
        const std::optional<std::int64_t> data = DataDrives(layout, active);
        if (data && NetCapacityKB(layout, *data) >= totalKB) {
            return active + layout.spares;
        }
    }
    return std::nullopt;
}

DaysThatFit DaysThatFit::Of(double netKB, double dailyKB) {
    if (!std::isfinite(dailyKB) || dailyKB < 0) {
        return {Kind::OutOfRange, 0};
    }
    if (dailyKB == 0) {
        return {Kind::Unlimited, 0};
    }
    const double days = std::floor(netKB / dailyKB);
    if (!std::isfinite(days)) {
        return {Kind::OutOfRange, 0};
    }
    return {Kind::Days, days};
}

RecordersNeeded RecordersNeeded::For(const RecorderLimits& limits, double cameras, double totalKbps,
                                     std::optional<std::int64_t> drivesNeeded) {
    RecordersNeeded result;
    if (limits.channels) {
        result.byChannels = std::ceil(cameras / *limits.channels);
    }
    if (limits.mbps) {
        result.byBandwidth = std::ceil(totalKbps / 1000 / *limits.mbps);
    }
    if (limits.bays) {
        result.byBays = drivesNeeded ? std::ceil(static_cast<double>(*drivesNeeded) / *limits.bays)
                                     : std::numeric_limits<double>::quiet_NaN();
    }
    bool outOfRange = limits.channels && cameras < 0;
    double count = 1;
    for (const auto& [term, limit] : {std::pair{result.byChannels, RecorderLimit::Channels},
                                      std::pair{result.byBandwidth, RecorderLimit::Bandwidth},
                                      std::pair{result.byBays, RecorderLimit::Bays}}) {
        if (!term) {
            continue;
        }
        if (!std::isfinite(*term)) {
            outOfRange = true;
        } else if (*term > count ||
                   (*term == count && result.decidedBy == RecorderLimit::Minimum)) {
            count = *term;
            result.decidedBy = limit;
        }
    }
    if (!outOfRange) {
        result.count = count;
    }
    return result;
}

} // namespace lenstally
