// SPDX-License-Identifier: MIT
#pragma once
// The storage plan as pure functions of plain numbers: drive sizes, RAID levels, the drives a
// total needs, the days installed drives hold and the recorders a site needs. Like the estimates,
// every figure is computed in doubles one operation at a time in a fixed order, so it is the same
// to the last bit wherever it is computed. KB, GB and TB are powers of 1000, TiB and GiB of 1024.

#include <cstdint>
#include <optional>

namespace lenstally {

enum class SizeUnit { TB, GB, TiB, GiB };

/// KB in one TiB: 2^40 bytes over 1000.
inline constexpr double kKilobytesPerTiB = 1099511627.776;

/// The size in KB of `number` units, one multiplication: 8 TB is 8 * 1e9 KB, 1 GiB 1073741.824 KB.
double SizeInKilobytes(double number, SizeUnit unit);

enum class RaidLevel { Raid0, Raid1, Raid5, Raid6, Raid10 };

/// The level's number as people write it: 0, 1, 5, 6 or 10.
int RaidNumber(RaidLevel raid);
/// The level written `number`, if there is one.
std::optional<RaidLevel> RaidLevelOf(std::int64_t number);

/// How the drives are arranged: every figure below needs only these numbers.
struct DriveLayout {
    double driveKB = 0; // the size of one drive, finite and above 0
    RaidLevel raid = RaidLevel::Raid0;
    std::int64_t arrayWidth = 0; // RAID 5 and 6: the most drives in one array; 0 means no limit
    std::int64_t spares = 0;     // hot spares, never counted among the active drives
    double overheadPercent = 0;  // lost to formatting and the file system, 0 to under 100
    double fillPercent = 100;    // share of the usable capacity recordings may fill, above 0

    friend bool operator==(const DriveLayout&, const DriveLayout&) = default;
};

/// The most drives (spares included) a plan considers.
inline constexpr std::int64_t kMaxDrives = 1'000'000;

/// The fewest active drives `raid` works with: 1 (RAID 0), 2 (RAID 1), 3 (RAID 5), 4 (RAID 6
/// and RAID 10). That many always form a valid set, whatever the array width.
std::int64_t MinimumActiveDrives(RaidLevel raid);

/// The arrays `active` drives are split into: ceil(active / width) for RAID 5 and 6 with a
/// width, otherwise 1.
std::int64_t ArrayCount(const DriveLayout& layout, std::int64_t active);

/// The drives that hold recordings when `active` drives are arranged as `layout` says, or nullopt
/// when that many is not a valid set: RAID 0 all of them (at least 1); RAID 1 and 10 half of
/// them, rounded down (at least 2 and 4); RAID 5 and 6 all but one and two per array, every array
/// holding at least 3 and 4 drives. Example: 13 drives in RAID 6 arrays of at most 12 make two
/// arrays (of 7 and 6) with 9 data drives; 5 drives in arrays of at most 4 are not valid.
std::optional<std::int64_t> DataDrives(const DriveLayout& layout, std::int64_t active);

/// The KB recordings may fill on `dataDrives` drives:
/// dataDrives * driveKB * ((100 - overhead) / 100.0) * (fill / 100.0), left to right.
double NetCapacityKB(const DriveLayout& layout, std::int64_t dataDrives);

/// The net capacity of `drives` installed drives (spares included), or nullopt when that many is
/// not a valid set for the layout.
std::optional<double> InstalledCapacityKB(const DriveLayout& layout, std::int64_t drives);

/// The smallest valid drive count, spares included (the minimum the layout accepts).
std::int64_t MinimumDrives(const DriveLayout& layout);

/// The smallest valid drive count of at least `drives`, spares included, if one is at most
/// kMaxDrives.
std::optional<std::int64_t> NextValidDrives(const DriveLayout& layout, std::int64_t drives);

/// The smallest valid drive count, spares included and at most kMaxDrives, whose net capacity is
/// at least `totalKB`; nullopt ("Out of range") when there is none or `totalKB` is not finite.
/// A total of zero or less needs MinimumDrives.
std::optional<std::int64_t> DrivesNeeded(const DriveLayout& layout, double totalKB);

/// How many whole days `netKB` holds at `dailyKB` a day: floor(netKB / dailyKB).
struct DaysThatFit {
    enum class Kind { Days, Unlimited, OutOfRange };
    Kind kind = Kind::OutOfRange;
    double days = 0; // Days only

    /// Unlimited when nothing is recorded (dailyKB 0); Out of range when dailyKB is negative or
    /// either figure, or the quotient, is not finite.
    static DaysThatFit Of(double netKB, double dailyKB);
};

/// The limits of one recorder; each is optional.
struct RecorderLimits {
    std::optional<double> channels; // cameras per recorder, at least 1
    std::optional<double> mbps;     // incoming bandwidth per recorder in Mbps, above 0
    std::optional<double> bays;     // drives per recorder, at least 1

    friend bool operator==(const RecorderLimits&, const RecorderLimits&) = default;
};

enum class RecorderLimit { Minimum, Channels, Bandwidth, Bays };

struct RecordersNeeded {
    std::optional<double> count; // nullopt: "Out of range"
    RecorderLimit decidedBy = RecorderLimit::Minimum;
    // Each limit's own term, where that limit is given (not finite where it is out of range).
    std::optional<double> byChannels;
    std::optional<double> byBandwidth;
    std::optional<double> byBays;

    /// The largest of ceil(cameras / channels), ceil(totalKbps / 1000 / mbps) and
    /// ceil(drivesNeeded / bays) for the limits given, and at least 1, in doubles. Out of range
    /// when a term it uses is not finite, when bays are given and `drivesNeeded` is out of range,
    /// or when channels are given and `cameras` is negative. `decidedBy` names the limit whose
    /// term gave the count (the first of tied ones); Minimum when every term is below 1.
    static RecordersNeeded For(const RecorderLimits& limits, double cameras, double totalKbps,
                               std::optional<std::int64_t> drivesNeeded);
};

} // namespace lenstally
