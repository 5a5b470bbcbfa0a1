// SPDX-License-Identifier: MIT
#pragma once
// A computed project written for people (a table), for programs (JSON) and for spreadsheets
// (CSV). Raw numbers are the shortest decimal that reads back exactly, and null (JSON) or empty
// (CSV) where their text reads "Out of range".

#include <iosfwd>
#include <string>
#include <vector>

#include "project/project_compute.hpp"

namespace lenstally {

/// A table for people: one row per group and a TOTAL row, then, when the project has them, the
/// storage plan and the recorders in words, every assumption and figure listed.
void WriteProjectTable(const ProjectResult& result, std::ostream& out);
/// One JSON object: the project's name, each group's texts and raw numbers, the totals, and the
/// "storagePlan" and "recorders" objects when the project has those sections.
void WriteProjectJson(const ProjectResult& result, std::ostream& out);
/// CSV with CRLF line ends: a header, one row per group, then the TOTAL row.
void WriteProjectCsv(const ProjectResult& result, std::ostream& out);

/// One line of the plan in words: "Drives needed:" and "10 (9 active in 1 array, ...)".
struct ReportLine {
    std::string label;
    std::string value;
    bool warning = false; // out of range, or the project does not fit
};

/// The storage plan's assumptions: drive size in TB and TiB, RAID level and arrays, spares,
/// overhead, fill and the net capacity of one data drive.
std::vector<ReportLine> StorageAssumptionLines(const StorageSection& storage);
/// The storage plan's figures: total storage, drives needed and, with drives installed, their
/// usable capacity, whether the project fits, one day's recording and the days that fit.
std::vector<ReportLine> StorageFigureLines(const StorageSection& storage,
                                           const ProjectTotals& totals);
/// Each recorder limit with the recorders it takes, and the recorders needed.
std::vector<ReportLine> RecorderLines(const RecorderLimits& limits, const ProjectTotals& totals);

/// "8 TB", "960 GB", "1.5 TiB": a drive size as the project file would write it.
std::string DriveSizeText(const DriveSize& size);

} // namespace lenstally
