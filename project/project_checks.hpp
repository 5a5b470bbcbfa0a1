// SPDX-License-Identifier: MIT
#pragma once
// The checks of a project file's flat objects (a group, "storage", "recorder"): each turns the
// object's keys and values, as the file wrote them, into checked settings or one line saying
// what is wrong, in the words every message shares (site_checks.hpp uses them too). Used by the
// project reader.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "project/project.hpp"

namespace lenstally::detail {

struct FileEntry;

/// A value of an object's key as the file wrote it, before any check.
struct FileValue {
    enum class Kind { String, Integer, Float, Other };
    Kind kind = Kind::Other; // Other: true, false, null, an array or an object
    std::string text;        // String: the string; Integer and Float: the number as written
    double number = 0;       // Integer and Float: the nearest double
    // An object or an array that is the value of a group's key (a camera view, the
    // placements): its own keys and values or its elements, and those of the objects and arrays
    // directly inside it; deeper ones are Other and empty. Empty for anything else.
    std::optional<std::vector<FileEntry>> members;
    std::optional<std::vector<FileValue>> elements;
};

struct FileEntry {
    std::string key;
    FileValue value;
};

/// Where a message's key stands: About("storage", "raid") is "storage: \"raid\"".
std::string About(const std::string& label, std::string_view key);

/// How messages name group `position` (from 1): "group 2 \"Gates\"".
std::string GroupLabel(std::size_t position, const std::string& name);

/// The value of `key` among `entries`, or nullptr.
const FileValue* Find(const std::vector<FileEntry>& entries, std::string_view key);

/// The first key of an object, in the file's order, that is not one of `allowed` or is given
/// twice, as a message: "storage: unknown key \"disks\"; allowed keys are drive, raid, ...".
std::optional<std::string> KeyProblem(const std::vector<FileEntry>& entries,
                                      std::span<const std::string_view> allowed,
                                      const std::string& label);

/// The characters (code points) of a UTF-8 text.
std::size_t Characters(std::string_view text);

/// A number as written, or a string holding a plain decimal number, that `allowed` takes; or the
/// message: "storage: \"fill\" is \"0\"; allowed values are " and `allowedText`.
Checked<double> NumberValue(const std::string& label, std::string_view key, const FileValue& value,
                            bool (*allowed)(double), const std::string& allowedText);

/// Group `position` (from 1): its name, actions (selections first), activity and camera details.
Checked<ProjectGroup> CheckGroup(const std::vector<FileEntry>& entries, std::size_t position);

/// The "storage" object: the drive, RAID level, array width, spares, overhead, fill and drives.
Checked<StorageSection> CheckStorage(const std::vector<FileEntry>& entries);

/// The "recorder" object: channels, mbps and bays.
Checked<RecorderLimits> CheckRecorder(const std::vector<FileEntry>& entries);

} // namespace lenstally::detail
