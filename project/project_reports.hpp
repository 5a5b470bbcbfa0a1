// SPDX-License-Identifier: MIT
#pragma once
// A computed project written for people (a table), for programs (JSON) and for spreadsheets
// (CSV). Raw numbers are the shortest decimal that reads back exactly, and null (JSON) or empty
// (CSV) where their text reads "Out of range". Each appends its text to `out`.

#include <string>
#include <vector>

#include "project/project_compute.hpp"

namespace lenstally {

/// A table for people: one row per group and a TOTAL row, then, when the project has them, the
/// storage plan and the recorders in words, every assumption and figure listed, and the site
/// plan: its size, the cameras placed and each zone on one line.
void WriteProjectTable(const ProjectResult& result, std::string& out);
/// One JSON object: the project's name, each group's texts and raw numbers, the totals, and the
/// "storagePlan", "recorders" and "site" objects when the project has those sections. "site"
/// holds the plan's size, each counted placement (its group's name, label, position, heading and,
/// Monitor to Inspect, each level's reach in metres and area seen in m^2) and each zone (name,
/// level, required, area, covered, percent, met and the labels of the placements covering it).
void WriteProjectJson(const ProjectResult& result, std::string& out);
/// CSV with CRLF line ends: a header, one row per group, then the TOTAL row.
void WriteProjectCsv(const ProjectResult& result, std::string& out);

} // namespace lenstally
