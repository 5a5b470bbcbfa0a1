// SPDX-License-Identifier: MIT
#pragma once
// The checks of a project file's flat objects (a group, "storage", "recorder"): each turns the
// object's keys and values, as the file wrote them, into checked settings or one line saying
// what is wrong. Used by the project reader.

#include <optional>
#include <string>
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
    // An object that is the value of a group's key (a camera view): its own keys and values,
    // one level deep. Empty for anything else.
    std::optional<std::vector<FileEntry>> members;
};

struct FileEntry {
    std::string key;
    FileValue value;
};

/// Group `position` (from 1): its name, actions (selections first), activity and camera details.
Checked<ProjectGroup> CheckGroup(const std::vector<FileEntry>& entries, std::size_t position);

/// The "storage" object: the drive, RAID level, array width, spares, overhead, fill and drives.
Checked<StorageSection> CheckStorage(const std::vector<FileEntry>& entries);

/// The "recorder" object: channels, mbps and bays.
Checked<RecorderLimits> CheckRecorder(const std::vector<FileEntry>& entries);

} // namespace lenstally::detail
