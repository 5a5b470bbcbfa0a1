// SPDX-License-Identifier: MIT
#include "project/plan_lines.hpp"

#include "estimation/estimates.hpp"
#include "estimation/numeric_text.hpp"

#include <array>
#include <cmath>

namespace lenstally {
namespace {

// A caption in running text: without the blank that holds the sign position.
std::string inText(std::string caption) {
    if (caption.starts_with(' ')) {
        caption.erase(0, 1);
    }
    return caption;
}

std::string tib(double kilobytes) {
    return FormatNumber(RoundTo(kilobytes / kKilobytesPerTiB, 3)) + " TiB";
}

std::string plural(double n, std::string_view one, std::string_view many) {
    return FormatNumber(n) + " " + std::string(n == 1 ? one : many);
}

std::string raidText(const DriveLayout& layout) {
    const std::string level = RaidName(layout.raid);
    switch (layout.raid) {
    case RaidLevel::Raid0:
        return level + " (striped, no redundancy)";
    case RaidLevel::Raid1:
        return level + " (mirrored pairs)";
    case RaidLevel::Raid10:
        return level + " (striped mirrored pairs)";
    case RaidLevel::Raid5:
    case RaidLevel::Raid6:
        break;
    }
    const std::string parity = layout.raid == RaidLevel::Raid5 ? "one" : "two";
    const std::string arrays =
        layout.arrayWidth > 0 ? "arrays of at most " + std::to_string(layout.arrayWidth) + " drives"
                              : "one array of all active drives";
    return level + ", " + arrays + ", each giving " + parity + " drive" +
           (layout.raid == RaidLevel::Raid5 ? "" : "s") + " to parity";
}

// "11 active in 1 array, 9 data drives": how the drives are used.
std::string driveUse(const DriveLayout& layout, const DriveUse& use) {
    std::string text = std::to_string(use.active) + " active";
    if (layout.raid == RaidLevel::Raid5 || layout.raid == RaidLevel::Raid6) {
        text += " in " + std::to_string(use.arrays) + (use.arrays == 1 ? " array" : " arrays");
    }
    return text + ", " + std::to_string(use.dataDrives) +
           (use.dataDrives == 1 ? " data drive" : " data drives");
}

} // namespace

std::string RaidName(RaidLevel raid) {
    return "RAID " + std::to_string(RaidNumber(raid));
}

std::string_view UnitName(SizeUnit unit) {
    switch (unit) {
    case SizeUnit::TB:
        return "TB";
    case SizeUnit::GB:
        return "GB";
    case SizeUnit::TiB:
        return "TiB";
    case SizeUnit::GiB:
        return "GiB";
    }
    return "";
}

std::string DriveSizeText(const DriveSize& size) {
    return ShortestText(size.number) + " " + std::string(UnitName(size.unit));
}

std::string PercentText(double percent) {
    return FormatNumber(percent) + " %";
}

std::vector<PlanLine> StoragePlanLines(const StorageSection& storage, const ProjectTotals& totals) {
    using Kind = PlanLine::Kind;
    const DriveLayout& layout = storage.layout;
    const StoragePlanResult& plan = *totals.plan;
    std::vector<PlanLine> lines;
    auto assume = [&lines](std::string label, std::string text, double value) {
        lines.push_back({Kind::Assumption, std::move(label), std::move(text), value});
    };
    auto figure = [&lines](std::string label, std::string text, std::optional<double> value,
                           bool warning = false) {
        lines.push_back({Kind::Figure, std::move(label), std::move(text), value, warning});
    };

    std::string drive = FormatNumber(layout.driveKB / 1e9) + " TB (" + tib(layout.driveKB) + ")";
    if (storage.drive.unit != SizeUnit::TB) {
        drive += ", given as " + DriveSizeText(storage.drive);
    }
    assume("Drive size:", drive, layout.driveKB);
    assume("RAID level:", raidText(layout), RaidNumber(layout.raid));
    assume("Hot spares:", std::to_string(layout.spares), static_cast<double>(layout.spares));
    assume("Overhead:",
           PercentText(layout.overheadPercent) + " of each drive (formatting, file system)",
           layout.overheadPercent);
    assume("Fill limit:", PercentText(layout.fillPercent) + " of the usable capacity",
           layout.fillPercent);
    assume("Net per data drive:",
           "drive size x (100 - overhead) % x fill % = " +
               inText(StorageCaption(plan.netPerDriveKB)),
           plan.netPerDriveKB);

    figure("Total storage:", inText(totals.totalStorage) + " (each group kept for its own days)",
           totals.storageKB);
    if (plan.needed) {
        figure("Drives needed:",
               std::to_string(plan.needed->drives) + " (" + driveUse(layout, *plan.needed) +
                   ", net " + inText(StorageCaption(plan.needed->netKB)) + ")",
               static_cast<double>(plan.needed->drives));
    } else {
        figure("Drives needed:",
               std::string(kOutOfRange) + " (more than " + std::to_string(kMaxDrives) + " drives)",
               std::nullopt, true);
    }
    if (!plan.installed) {
        return lines;
    }
    figure("Drives installed:",
           std::to_string(plan.installed->drives) + " (" + driveUse(layout, *plan.installed) + ")",
           static_cast<double>(plan.installed->drives));
    const double usable = plan.installed->netKB;
    figure("Usable capacity:",
           inText(StorageCaption(usable)) + " (" + tib(usable) + ") for recordings", usable);
    // The raw figure of "Fits" is the shortfall: 0 when the project fits.
    if (plan.fits) {
        const double short_ = *plan.fits ? 0.0 : totals.storageKB - usable;
        figure("Fits:", *plan.fits ? "yes" : "NO, short by " + inText(StorageCaption(short_)),
               short_, !*plan.fits);
    } else {
        figure("Fits:", "unknown (the total storage is out of range)", std::nullopt, true);
    }
    figure("One day records:",
           inText(StorageCaption(totals.dailyKB)) + " (all groups, activity applied)",
           totals.dailyKB);
    switch (plan.daysThatFit->kind) {
    case DaysThatFit::Kind::Unlimited:
        figure("Days that fit:", "unlimited (nothing is recorded)", std::nullopt);
        break;
    case DaysThatFit::Kind::Days:
        figure("Days that fit:",
               FormatNumber(plan.daysThatFit->days) +
                   " (whole days, every group kept the same number of days)",
               plan.daysThatFit->days);
        break;
    case DaysThatFit::Kind::OutOfRange:
        figure("Days that fit:", std::string(kOutOfRange), std::nullopt, true);
        break;
    }
    return lines;
}

std::vector<PlanLine> RecorderPlanLines(const RecorderLimits& limits, const ProjectTotals& totals) {
    const RecordersNeeded& r = *totals.recorders;
    std::vector<PlanLine> lines;
    // "32 (78 cameras: 3 recorders)": the limit, what the site has, and the recorders it takes.
    auto line = [&lines](std::string label, double limit, const std::string& site,
                         const std::optional<double>& term) {
        const bool inRange = std::isfinite(*term);
        lines.push_back(
            {PlanLine::Kind::Figure, std::move(label),
             FormatNumber(limit) + " (" + site + ": " +
                 (inRange ? plural(*term, "recorder", "recorders") : std::string(kOutOfRange)) +
                 ")",
             inRange ? term : std::nullopt});
    };
    if (limits.channels) {
        line("Cameras per recorder:", *limits.channels, plural(totals.cameras, "camera", "cameras"),
             r.byChannels);
    }
    if (limits.mbps) {
        line("Mbps per recorder:", *limits.mbps, inText(totals.totalBandwidth), r.byBandwidth);
    }
    if (limits.bays) {
        const std::optional<std::int64_t> drives = totals.plan->drivesNeeded;
        line("Drives per recorder:", *limits.bays,
             drives ? plural(static_cast<double>(*drives), "drive needed", "drives needed")
                    : "drives needed " + std::string(kOutOfRange),
             r.byBays);
    }
    std::string needed = kOutOfRange;
    if (r.count) {
        static constexpr std::array<std::string_view, 4> kBy{
            "at least one", "set by the cameras per recorder", "set by the Mbps per recorder",
            "set by the drives per recorder"};
        needed = FormatNumber(*r.count) + " (" +
                 std::string(kBy[static_cast<std::size_t>(r.decidedBy)]) + ")";
    }
    lines.push_back({PlanLine::Kind::Figure, "Recorders needed:", needed, r.count, !r.count});
    return lines;
}

} // namespace lenstally
