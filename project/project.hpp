// SPDX-License-Identifier: MIT
#pragma once
// Planning projects: several groups of cameras in one JSON file, and optionally the drives and
// recorders that store them. A project is read and checked here (project_reader.cpp), computed
// on the window's own model (project_compute.hpp) and written as a table, JSON or CSV
// (project_reports.hpp).

#include "estimation/camera_view.hpp"
#include "estimation/storage_plan.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "form/actions.hpp"
#include "site/plan_geometry.hpp"

namespace lenstally {

/// The target a group's camera is planned for, and the lens that sees it.
struct GroupView {
    double distance = 0; // metres from the camera to the target, 0.01 to 100,000
    Lens lens;           // an angle 0.01 to under 180, or focal length and sensor 0.01 to 1000 mm

    friend bool operator==(const GroupView&, const GroupView&) = default;
};

/// What a group says about its camera beyond the calculator's inputs; each part is optional.
struct CameraDetails {
    std::optional<std::string> description; // "camera": its name, at most 200 characters
    std::optional<std::int64_t> pixels;     // the picture's width, 1 to 100,000
    std::optional<GroupView> view;

    friend bool operator==(const CameraDetails&, const CameraDetails&) = default;
};

/// A point of the site plan in metres: x from the plan's left edge to the right, y from its top
/// edge down, as on a drawing. Never negative zero in a project.
using SitePoint = site::Point;

/// Where one of a group's cameras stands on the site plan and which way it looks.
struct Placement {
    double x = 0;       // metres, inside the plan, edges included
    double y = 0;       // metres, inside the plan, edges included
    double heading = 0; // degrees clockwise from the top of the plan (0 up, 90 right), 0 to < 360
    std::optional<std::string> label; // at most 50 characters; without one, see PlacementLabel

    friend bool operator==(const Placement&, const Placement&) = default;
};

struct ProjectGroup {
    std::string name;
    std::vector<ResolvedAction> actions; // in the order of Actions(), whatever the file's order
    double activity = 100; // percent of the recording hours the group really records, 0 to 100
    CameraDetails camera;
    // Where its cameras stand, at most one a camera; only with a camera view and a site.
    std::vector<Placement> placements;
};

/// The label of the group's placement `index` (from 0): its own, or else the group's name, a blank
/// and its position counted from 1. Example: the second placement of "Gates", unlabelled, is
/// "Gates 2".
std::string PlacementLabel(const ProjectGroup& group, std::size_t index);

/// An area of the site the design must cover at a level.
struct SiteZone {
    std::string name; // at most 200 characters
    ViewLevel level = ViewLevel::Monitor;
    // A simple polygon, either winding, as the file gives it (a point repeated at once is kept,
    // and counts once).
    std::vector<SitePoint> points;
    double required = 100; // percent of its area that must be covered, above 0 up to 100

    friend bool operator==(const SiteZone&, const SiteZone&) = default;
};

/// The site plan: its size, its drawing, the walls that block the cameras' view and the zones
/// they must cover.
struct SiteSection {
    double width = 0;  // metres, 1 to 100,000
    double height = 0; // metres, 1 to 100,000
    // The drawing stretched over the plan: a data URL of a PNG, JPEG or SVG image, as the file
    // gives it.
    std::optional<std::string> image;
    std::vector<std::vector<SitePoint>> walls; // polylines of 2 or more points
    std::vector<SiteZone> zones;

    friend bool operator==(const SiteSection&, const SiteSection&) = default;
};

/// The largest whole number a project file's counts take (drives, spares, recorder limits), and
/// so the largest the planners' inputs offer.
inline constexpr std::int64_t kLargestCount = 1'000'000'000;

/// The size of one drive as the file gives it: 8 TB, 3.84 TB, 1 TiB...
struct DriveSize {
    double number = 0;
    SizeUnit unit = SizeUnit::TB;

    friend bool operator==(const DriveSize&, const DriveSize&) = default;
};

struct StorageSection {
    DriveSize drive;
    DriveLayout layout;                 // layout.driveKB is the drive's size in KB
    std::optional<std::int64_t> drives; // drives installed, spares included; a valid count

    friend bool operator==(const StorageSection&, const StorageSection&) = default;
};

struct Project {
    std::optional<std::string> name;
    std::vector<ProjectGroup> groups;
    std::optional<StorageSection> storage;
    std::optional<RecorderLimits> recorder; // bays only together with a storage section
    std::optional<SiteSection> site;
};

/// A project read from its JSON text, or the one-line reason it cannot be read.
struct ProjectParse {
    std::optional<Project> project;
    std::string error; // set when `project` is empty; no "lenstally:" prefix, no file name
};

/// Reads a project file: {"name": TEXT, "groups": [{"name": TEXT, "stream": "h264", ...}, ...],
/// "storage": {"drive": "8 TB", "raid": 6, ...}, "recorder": {"channels": 32, ...}, "site":
/// {"width": 80, "height": 50, "walls": [...], "zones": [...]}}. Every value
/// is checked here, so a project that parses always computes.
/// Example: ParseProject(R"({"groups":[{"name":"Dock","cameras":4}]})") gives one group with
/// the single action cameras "4".
ProjectParse ParseProject(std::string_view text);

/// Reads and parses the project file at `path`. The error is the line the command line prints
/// after the file's name: "cannot read the project: No such file or directory", or why the text
/// is not a project.
ProjectParse ReadProjectFile(const std::string& path);

/// A drive size written as text: a plain decimal number and a unit (TB, GB, TiB or GiB, any
/// case), blanks allowed around the number: "8 TB", "3.84TB", " 1e1 tib ". Its size in KB must
/// be finite and above 0.
std::optional<DriveSize> ParseDriveSize(std::string_view text);

} // namespace lenstally
