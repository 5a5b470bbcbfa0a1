// SPDX-License-Identifier: MIT
#pragma once
// Planning projects: several groups of cameras in one JSON file. Each group is computed on the
// window's own model, exactly as the command line would compute it alone; the project adds the
// site's totals and writes them as a table, JSON or CSV.

#include "app/actions.hpp"
#include "window/form1.hpp"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lenstally {

struct ProjectGroup {
    std::string name;
    std::vector<ResolvedAction> actions; // in the order of Actions(), whatever the file's order
};

struct Project {
    std::optional<std::string> name;
    std::vector<ProjectGroup> groups;
};

/// A project read from its JSON text, or the one-line reason it cannot be read.
struct ProjectParse {
    std::optional<Project> project;
    std::string error; // set when `project` is empty; no "lenstally:" prefix, no file name
};

/// Reads a project file: {"name": TEXT, "groups": [{"name": TEXT, "stream": "h264", ...}, ...]}.
/// Every value is checked here, so a project that parses always computes.
/// Example: ParseProject(R"({"groups":[{"name":"Dock","cameras":4}]})") gives one group with
/// the single action cameras "4".
ProjectParse ParseProject(std::string_view text);

/// What one group shows once its actions have run.
struct GroupResult {
    std::string name;
    std::vector<std::string> inputs; // CurrentValue of each action, in the order of Actions()
    std::string frameSize;           // txtFrameSize
    std::string perCamera;           // lbPerBandwidth
    std::string totalBandwidth;      // lbTotalBandwidth
    std::string storage;             // lbStorageSize
    std::optional<double> totalKbps; // unrounded; empty where totalBandwidth reads "Out of range"
    std::optional<double> storageKB; // unrounded; empty where storage reads "Out of range"
};

struct ProjectResult {
    std::optional<std::string> name;
    std::vector<GroupResult> groups;
    std::string totalBandwidth;      // the sum of the groups' totals, as lbTotalBandwidth shows
    std::string totalStorage;        // the sum of the groups' storage, as lbStorageSize shows
    std::optional<double> totalKbps; // empty where totalBandwidth reads "Out of range"
    std::optional<double> storageKB; // empty where totalStorage reads "Out of range"

    /// True when any caption of any group, or either total, reads "Out of range".
    bool anyOutOfRange() const;
};

/// Computes every group on a form in the state start-up leaves, then the project's totals.
ProjectResult ComputeProject(const Project& project);

/// A table for people: one row per group and a TOTAL row.
void WriteProjectTable(const ProjectResult& result, std::ostream& out);
/// One JSON object: the project's name, each group's texts and raw numbers, and the totals.
void WriteProjectJson(const ProjectResult& result, std::ostream& out);
/// CSV with CRLF line ends: a header, one row per group, then the TOTAL row.
void WriteProjectCsv(const ProjectResult& result, std::ostream& out);

/// The shortest decimal text that reads back as `value`: "16", "1000", "0.1", "1e+300".
std::string ShortestText(double value);

} // namespace lenstally
