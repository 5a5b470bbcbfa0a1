// SPDX-License-Identifier: MIT
#include "project/project_checks.hpp"

#include "estimation/numeric_text.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include "project/json_text.hpp"
#include "project/plan_lines.hpp"
#include "project/site_checks.hpp"

namespace lenstally::detail {

std::string About(const std::string& label, std::string_view key) {
    return label + ": " + JsonString(std::string(key));
}

std::string GroupLabel(std::size_t position, const std::string& name) {
    return "group " + std::to_string(position) + " " + JsonString(name);
}

const FileValue* Find(const std::vector<FileEntry>& entries, std::string_view key) {
    const auto it = std::find_if(entries.begin(), entries.end(),
                                 [key](const FileEntry& e) { return e.key == key; });
    return it == entries.end() ? nullptr : &it->value;
}

std::optional<std::string> KeyProblem(const std::vector<FileEntry>& entries,
                                      std::span<const std::string_view> allowed,
                                      const std::string& label) {
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (std::find(allowed.begin(), allowed.end(), it->key) == allowed.end()) {
            return label + ": unknown key " + JsonString(it->key) + "; allowed keys are " +
                   JoinedNames(allowed);
        }
        if (std::any_of(entries.begin(), it,
                        [&it](const FileEntry& e) { return e.key == it->key; })) {
            return About(label, it->key) + " is given twice";
        }
    }
    return std::nullopt;
}

std::size_t Characters(std::string_view text) {
    // Every byte but the continuation bytes.
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

namespace {

// Counts (drives, spares, widths, channels, bays) above this are refused: no site comes near it,
// and every count stays exact in a double.

using Kind = FileValue::Kind;

template <typename T> Checked<T> failed(std::string message) {
    return {std::nullopt, std::move(message)};
}

std::string shown(const FileValue& value) {
    return value.kind == Kind::String ? JsonString(value.text) : value.text;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(std::string_view text, std::size_t i) {
    while (i < text.size() && isDigit(text[i])) {
        ++i;
    }
    return i;
}

// A plain decimal number and nothing else: an optional minus, digits with at most one full stop,
// an optional exponent ("8", "3.84", "1e1", ".5"); no blanks, no "inf", no hexadecimal.
std::optional<double> plainDecimal(std::string_view text) {
    std::size_t i = text.starts_with('-') ? 1 : 0;
    const std::size_t whole = skipDigits(text, i);
    std::size_t end = whole;
    std::size_t digits = whole - i;
    if (end < text.size() && text[end] == '.') {
        const std::size_t fraction = skipDigits(text, end + 1);
        digits += fraction - end - 1;
        end = fraction;
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) {
            ++exponent;
        }
        end = skipDigits(text, exponent);
        if (end == exponent) {
            return std::nullopt;
        }
    }
    if (end != text.size()) {
        return std::nullopt;
    }
    // The text is a plain number, which ParseNumber reads exactly (beyond a double: infinity).
    return ParseNumber(text);
}

// A number as written, or a string holding a plain decimal number.
std::optional<double> decimalValue(const FileValue& value) {
    switch (value.kind) {
    case Kind::Integer:
    case Kind::Float:
        return value.number;
    case Kind::String:
        return plainDecimal(value.text);
    case Kind::Other:
        break;
    }
    return std::nullopt;
}

// A whole number as written or a string of digits; kLargestCount + 1 stands for anything larger.
std::optional<std::int64_t> wholeValue(const FileValue& value) {
    if (value.kind != Kind::Integer && value.kind != Kind::String) {
        return std::nullopt;
    }
    return ReadDigits(value.text, kLargestCount + 1);
}

// A value too large to compute with, and the largest one allowed.
template <typename T>
Checked<T> tooLarge(const std::string& label, std::string_view key, const FileValue& value,
                    const std::string& largest) {
    return failed<T>(About(label, key) + " is " + shown(value) +
                     ", which is too large; the largest value allowed is " + largest);
}

// Nothing is too large for a check that does not say otherwise.
template <typename T> std::optional<std::string> noLimit(const T& /*value*/) {
    return std::nullopt;
}

// Reads one key's value with `read`, checks it with `allowed`, and says what is allowed; or,
// when `largest` gives the largest value allowed for one too large to compute with, says that.
template <typename T, typename Read, typename Allowed, typename Largest = decltype(&noLimit<T>)>
Checked<T> readValue(const std::string& label, std::string_view key, const FileValue& value,
                     Read read, Allowed allowed, const std::string& wrongKind,
                     const std::string& allowedText, Largest largest = &noLimit<T>) {
    if (value.kind == Kind::Other) {
        return failed<T>(About(label, key) + " must be " + wrongKind);
    }
    const std::optional<T> v = read(value);
    if (v) {
        if (const std::optional<std::string> limit = largest(*v)) {
            return tooLarge<T>(label, key, value, *limit);
        }
    }
    if (!v || !allowed(*v)) {
        return failed<T>(About(label, key) + " is " + shown(value) + "; allowed values are " +
                         allowedText);
    }
    return {v, {}};
}

Checked<std::int64_t> countValue(const std::string& label, std::string_view key,
                                 const FileValue& value, std::int64_t lowest) {
    return readValue<std::int64_t>(
        label, key, value, wholeValue,
        [lowest](std::int64_t n) { return n >= lowest && n <= kLargestCount; },
        "a whole number or a string of digits",
        "whole numbers from " + std::to_string(lowest) + " to " + std::to_string(kLargestCount),
        [](std::int64_t n) {
            return n > kLargestCount ? std::optional(std::to_string(kLargestCount)) : std::nullopt;
        });
}

template <typename Allowed>
Checked<double> numberValue(const std::string& label, std::string_view key, const FileValue& value,
                            Allowed allowed, const std::string& allowedText) {
    return readValue<double>(label, key, value, decimalValue, allowed,
                             "a number or a string holding one", allowedText, [](double n) {
                                 // A string may hold a number beyond a double, read as infinity.
                                 return n == std::numeric_limits<double>::infinity()
                                            ? std::optional(
                                                  ShortestText(std::numeric_limits<double>::max()))
                                            : std::nullopt;
                             });
}

std::string spares(std::int64_t n) {
    return std::to_string(n) + (n == 1 ? " spare" : " spares");
}

// Why `drives` installed drives are not a valid set, naming the counts that are.
std::string invalidDrives(const DriveLayout& layout, std::int64_t drives) {
    const std::string level = RaidName(layout.raid);
    const std::string minimum = level + " with " + spares(layout.spares) + " needs at least " +
                                std::to_string(MinimumDrives(layout)) + " drives";
    if (drives < MinimumDrives(layout)) {
        return "storage: \"drives\" is " + std::to_string(drives) + "; " + minimum;
    }
    std::string text = "storage: \"drives\" is " + std::to_string(drives) + "; " +
                       std::to_string(drives - layout.spares) +
                       " active drives do not split into " + level + " arrays of at most " +
                       std::to_string(layout.arrayWidth) + " drives with at least " +
                       std::to_string(MinimumActiveDrives(layout.raid)) + " in each; " + minimum;
    if (const std::optional<std::int64_t> next = NextValidDrives(layout, drives)) {
        text += ", and the next valid count is " + std::to_string(*next);
    }
    return text;
}

// The largest number of `unit` whose size in KB is finite.
double largestDrive(SizeUnit unit) {
    double n = std::numeric_limits<double>::max() / SizeInKilobytes(1, unit);
    while (std::isfinite(SizeInKilobytes(std::nextafter(n, HUGE_VAL), unit))) {
        n = std::nextafter(n, HUGE_VAL);
    }
    while (!std::isfinite(SizeInKilobytes(n, unit))) {
        n = std::nextafter(n, 0.0);
    }
    return n;
}

// A drive size too large to compute with: the largest one allowed in its unit, as text.
std::optional<std::string> driveTooLarge(const DriveSize& size) {
    if (SizeInKilobytes(size.number, size.unit) != HUGE_VAL) {
        return std::nullopt;
    }
    return ShortestText(largestDrive(size.unit)) + " " + std::string(UnitName(size.unit));
}

// The number and unit of a drive size written as text, whatever its size.
std::optional<DriveSize> driveSizeWords(std::string_view text) {
    auto blank = [](char c) {
        return c == ' ' || c == '\t';
    };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    static constexpr std::pair<std::string_view, SizeUnit> kUnits[] = {
        {"tib", SizeUnit::TiB}, {"gib", SizeUnit::GiB}, {"tb", SizeUnit::TB}, {"gb", SizeUnit::GB}};
    for (const auto& [name, unit] : kUnits) {
        if (text.size() < name.size()) {
            continue;
        }
        const std::string_view tail = text.substr(text.size() - name.size());
        if (!EqualsIgnoringCase(tail, name)) {
            continue;
        }
        std::string_view number = text.substr(0, text.size() - name.size());
        while (!number.empty() && blank(number.back())) {
            number.remove_suffix(1);
        }
        const std::optional<double> n = plainDecimal(number);
        if (!n) {
            return std::nullopt;
        }
        return DriveSize{*n, unit};
    }
    return std::nullopt;
}

// A drive size written as text; see ParseDriveSize.
std::optional<DriveSize> driveSizeText(std::string_view text) {
    const std::optional<DriveSize> size = driveSizeWords(text);
    if (!size) {
        return std::nullopt;
    }
    const double kilobytes = SizeInKilobytes(size->number, size->unit);
    if (!std::isfinite(kilobytes) || !(kilobytes > 0)) {
        return std::nullopt;
    }
    return size;
}

// The limits of a group's camera details.
constexpr std::size_t kLongestCamera = 200; // characters (code points) of "camera"
constexpr std::int64_t kMostPixels = 100'000;
constexpr std::string_view kViewKeys[] = {"distance", "hfov", "focal", "sensor"};

// The "view" object of a group labelled `label`: a distance and exactly one lens.
Checked<GroupView> checkView(const FileValue& value, const std::string& label) {
    if (!value.members) {
        return failed<GroupView>(label + ": \"view\" must be an object");
    }
    const std::vector<FileEntry>& entries = *value.members;
    const std::string where = label + ": view";
    if (std::optional<std::string> problem = KeyProblem(entries, kViewKeys, where)) {
        return failed<GroupView>(std::move(*problem));
    }
    const FileValue* distance = Find(entries, "distance");
    const FileValue* hfov = Find(entries, "hfov");
    const FileValue* focal = Find(entries, "focal");
    const FileValue* sensor = Find(entries, "sensor");
    constexpr const char* kLenses = R"(give "hfov", or "focal" and "sensor")";
    if (distance == nullptr) {
        return failed<GroupView>(where + " has no \"distance\" (metres to the target)");
    }
    if (hfov == nullptr && focal == nullptr && sensor == nullptr) {
        return failed<GroupView>(where + " has no lens; " + kLenses);
    }
    if (hfov != nullptr && (focal != nullptr || sensor != nullptr)) {
        return failed<GroupView>(where + " has two lenses; " + kLenses + ", not both");
    }
    if (hfov == nullptr && (focal == nullptr || sensor == nullptr)) {
        return failed<GroupView>(
            where + " has " +
            (focal != nullptr ? R"("focal" but no "sensor")" : R"("sensor" but no "focal")") +
            "; " + kLenses);
    }
    auto between = [](double low, double high) {
        return [low, high](double v) {
            return v >= low && v <= high;
        };
    };
    GroupView view;
    const Checked<double> d = numberValue(where, "distance", *distance, between(0.01, 100'000),
                                          "numbers from 0.01 to 100000 (metres)");
    if (!d.value) {
        return failed<GroupView>(d.error);
    }
    view.distance = *d.value;
    if (hfov != nullptr) {
        const Checked<double> h = numberValue(
            where, "hfov", *hfov, [](double v) { return v >= 0.01 && v < 180; },
            "numbers from 0.01 to under 180 (degrees)");
        if (!h.value) {
            return failed<GroupView>(h.error);
        }
        view.lens = {LensForm::Angle, *h.value, 0, 0};
        return {view, {}};
    }
    const Checked<double> f =
        numberValue(where, "focal", *focal, between(0.01, 1000), "numbers from 0.01 to 1000 (mm)");
    if (!f.value) {
        return failed<GroupView>(f.error);
    }
    const Checked<double> w = numberValue(where, "sensor", *sensor, between(0.01, 1000),
                                          "numbers from 0.01 to 1000 (mm)");
    if (!w.value) {
        return failed<GroupView>(w.error);
    }
    view.lens = {LensForm::Focal, 0, *f.value, *w.value};
    return {view, {}};
}

// The group's "camera", "pixels" or "view" (`entry.key`), checked into `details`.
std::optional<std::string> checkCameraDetail(const FileEntry& entry, const std::string& label,
                                             CameraDetails& details) {
    if (entry.key == "camera") {
        if (entry.value.kind != Kind::String) {
            return About(label, entry.key) + " must be a string";
        }
        const std::size_t length = Characters(entry.value.text);
        if (length > kLongestCamera) {
            return About(label, entry.key) + " is " + std::to_string(length) +
                   " characters long; allowed values are texts of at most " +
                   std::to_string(kLongestCamera) + " characters";
        }
        details.description = entry.value.text;
        return std::nullopt;
    }
    if (entry.key == "pixels") {
        const Checked<std::int64_t> n = readValue<std::int64_t>(
            label, entry.key, entry.value, wholeValue,
            [](std::int64_t p) { return p >= 1 && p <= kMostPixels; },
            "a whole number or a string of digits",
            "whole numbers from 1 to " + std::to_string(kMostPixels));
        if (!n.value) {
            return n.error;
        }
        details.pixels = *n.value;
        return std::nullopt;
    }
    Checked<GroupView> view = checkView(entry.value, label);
    if (!view.value) {
        return std::move(view.error);
    }
    details.view = *view.value;
    return std::nullopt;
}

constexpr std::string_view kStorageKeys[] = {"drive",    "raid", "array-width", "spares",
                                             "overhead", "fill", "drives"};
constexpr std::string_view kRecorderKeys[] = {"channels", "mbps", "bays"};

} // namespace

Checked<double> NumberValue(const std::string& label, std::string_view key, const FileValue& value,
                            bool (*allowed)(double), const std::string& allowedText) {
    return numberValue(label, key, value, allowed, allowedText);
}

Checked<ProjectGroup> CheckGroup(const std::vector<FileEntry>& entries, std::size_t position) {
    const std::string where = "group " + std::to_string(position);
    const FileValue* name = Find(entries, "name");
    if (name == nullptr) {
        return failed<ProjectGroup>(where + " has no \"name\"");
    }
    if (name->kind != Kind::String) {
        return failed<ProjectGroup>(where + ": \"name\" must be a string");
    }
    ProjectGroup result;
    result.name = name->text;
    const std::string label = GroupLabel(position, result.name);

    const std::span<const ActionDescription> actions = Actions();
    std::vector<std::string_view> allowed{"name"};
    for (const ActionDescription& a : actions) {
        allowed.push_back(a.option);
    }
    allowed.insert(allowed.end(), {"activity", "camera", "pixels", "view", "placements"});
    if (std::optional<std::string> problem = KeyProblem(entries, allowed, label)) {
        return failed<ProjectGroup>(std::move(*problem));
    }

    std::vector<std::optional<ResolvedAction>> slots(actions.size());
    const FileValue* placements = nullptr;
    for (const FileEntry& entry : entries) {
        if (entry.key == "name") {
            continue;
        }
        if (entry.key == "placements") {
            placements = &entry.value; // checked once the view and the cameras are known
            continue;
        }
        if (entry.key == "camera" || entry.key == "pixels" || entry.key == "view") {
            if (std::optional<std::string> problem =
                    checkCameraDetail(entry, label, result.camera)) {
                return failed<ProjectGroup>(std::move(*problem));
            }
            continue;
        }
        if (entry.key == "activity") {
            const Checked<double> activity = numberValue(
                label, entry.key, entry.value, [](double a) { return a >= 0 && a <= 100; },
                "numbers from 0 to 100");
            if (!activity.value) {
                return failed<ProjectGroup>(activity.error);
            }
            result.activity = *activity.value;
            continue;
        }
        const ActionDescription* action = FindAction(entry.key);
        const FileValue& value = entry.value;
        std::optional<std::string> text;
        std::string problem;
        switch (action->kind) {
        case ActionKind::Select:
        case ActionKind::Pick:
            if (value.kind == Kind::String) {
                text = value.text;
            } else {
                problem = "must be a string";
            }
            break;
        case ActionKind::Number:
            // A whole number as written or a string of digits; 30.0 is refused by ResolveValue.
            if (value.kind != Kind::Other) {
                text = value.text;
            } else {
                problem = "must be a whole number or a string of digits";
            }
            break;
        case ActionKind::Type:
            // A number types the shortest text that reads back as the same double: 16 -> "16",
            // 1e3 -> "1000". The reader has already refused numbers beyond a double.
            if (value.kind == Kind::String) {
                text = value.text;
            } else if (value.kind != Kind::Other) {
                text = ShortestText(value.number);
            } else {
                problem = "must be a string or a number";
            }
            break;
        }
        if (!text) {
            return failed<ProjectGroup>(About(label, entry.key) + " " + problem);
        }
        Checked<ResolvedAction> resolved = ResolveValue(*action, std::move(*text));
        if (!resolved.value) {
            return failed<ProjectGroup>(About(label, entry.key) + " is " + shown(value) + "; " +
                                        resolved.error);
        }
        slots[static_cast<std::size_t>(action - actions.data())] = std::move(resolved.value);
    }
    // Selections first, then typing, whatever the file's order: a typed frame size stays typed.
    for (std::optional<ResolvedAction>& slot : slots) {
        if (slot) {
            result.actions.push_back(std::move(*slot));
        }
    }
    if (placements != nullptr) {
        Checked<std::vector<Placement>> placed = CheckPlacements(*placements, label, result);
        if (!placed.value) {
            return failed<ProjectGroup>(std::move(placed.error));
        }
        result.placements = std::move(*placed.value);
    }
    return {std::move(result), {}};
}

Checked<StorageSection> CheckStorage(const std::vector<FileEntry>& entries) {
    const std::string label = "storage";
    if (std::optional<std::string> problem = KeyProblem(entries, kStorageKeys, label)) {
        return failed<StorageSection>(std::move(*problem));
    }
    StorageSection s;
    const FileValue* drive = Find(entries, "drive");
    if (drive == nullptr) {
        return failed<StorageSection>("storage has no \"drive\" (the size of one drive)");
    }
    const Checked<DriveSize> size = readValue<DriveSize>(
        label, "drive", *drive,
        [](const FileValue& v) -> std::optional<DriveSize> {
            if (v.kind == Kind::String) {
                return driveSizeWords(v.text);
            }
            return DriveSize{v.number, SizeUnit::TB};
        },
        [](const DriveSize& d) { return SizeInKilobytes(d.number, d.unit) > 0; },
        "a number of TB or a text such as \"8 TB\"",
        "a number of TB above 0, or a text NUMBER UNIT with the unit TB, GB, TiB or GiB, such "
        "as \"8 TB\" or \"960 GB\"",
        driveTooLarge);
    if (!size.value) {
        return failed<StorageSection>(size.error);
    }
    s.drive = *size.value;
    s.layout.driveKB = SizeInKilobytes(s.drive.number, s.drive.unit);

    if (const FileValue* raid = Find(entries, "raid")) {
        const Checked<std::int64_t> level = readValue<std::int64_t>(
            label, "raid", *raid, wholeValue,
            [](std::int64_t n) { return RaidLevelOf(n).has_value(); },
            "a whole number or a string of digits", "0, 1, 5, 6, 10");
        if (!level.value) {
            return failed<StorageSection>(level.error);
        }
        s.layout.raid = *RaidLevelOf(*level.value);
    }
    if (const FileValue* width = Find(entries, "array-width")) {
        const bool raid5 = s.layout.raid == RaidLevel::Raid5;
        if (!raid5 && s.layout.raid != RaidLevel::Raid6) {
            return failed<StorageSection>("storage: \"array-width\" is given for " +
                                          RaidName(s.layout.raid) +
                                          "; it applies to RAID 5 and 6 only");
        }
        const Checked<std::int64_t> w =
            countValue(label, "array-width", *width, MinimumActiveDrives(s.layout.raid));
        if (!w.value) {
            return failed<StorageSection>(w.error + " for " + RaidName(s.layout.raid));
        }
        s.layout.arrayWidth = *w.value;
    }
    if (const FileValue* spare = Find(entries, "spares")) {
        const Checked<std::int64_t> n = countValue(label, "spares", *spare, 0);
        if (!n.value) {
            return failed<StorageSection>(n.error);
        }
        s.layout.spares = *n.value;
    }
    if (const FileValue* overhead = Find(entries, "overhead")) {
        const Checked<double> o = numberValue(
            label, "overhead", *overhead, [](double p) { return p >= 0 && p < 100; },
            "numbers from 0 to under 100 (percent)");
        if (!o.value) {
            return failed<StorageSection>(o.error);
        }
        s.layout.overheadPercent = *o.value;
    }
    if (const FileValue* fill = Find(entries, "fill")) {
        const Checked<double> f = numberValue(
            label, "fill", *fill, [](double p) { return p > 0 && p <= 100; },
            "numbers above 0 up to 100 (percent)");
        if (!f.value) {
            return failed<StorageSection>(f.error);
        }
        s.layout.fillPercent = *f.value;
    }
    if (const FileValue* drives = Find(entries, "drives")) {
        const Checked<std::int64_t> n = countValue(label, "drives", *drives, 1);
        if (!n.value) {
            return failed<StorageSection>(n.error);
        }
        if (!InstalledCapacityKB(s.layout, *n.value)) {
            return failed<StorageSection>(invalidDrives(s.layout, *n.value));
        }
        s.drives = *n.value;
    }
    return {s, {}};
}

Checked<RecorderLimits> CheckRecorder(const std::vector<FileEntry>& entries) {
    const std::string label = "recorder";
    if (std::optional<std::string> problem = KeyProblem(entries, kRecorderKeys, label)) {
        return failed<RecorderLimits>(std::move(*problem));
    }
    RecorderLimits limits;
    for (const FileEntry& entry : entries) {
        if (entry.key == "mbps") {
            const Checked<double> mbps = numberValue(
                label, entry.key, entry.value, [](double m) { return m > 0 && std::isfinite(m); },
                "numbers above 0");
            if (!mbps.value) {
                return failed<RecorderLimits>(mbps.error);
            }
            limits.mbps = *mbps.value;
            continue;
        }
        const Checked<std::int64_t> n = countValue(label, entry.key, entry.value, 1);
        if (!n.value) {
            return failed<RecorderLimits>(n.error);
        }
        (entry.key == "channels" ? limits.channels : limits.bays) = static_cast<double>(*n.value);
    }
    return {limits, {}};
}

} // namespace lenstally::detail

namespace lenstally {
std::optional<DriveSize> ParseDriveSize(std::string_view text) {
    return detail::driveSizeText(text);
}
} // namespace lenstally
