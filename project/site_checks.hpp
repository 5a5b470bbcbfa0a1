// SPDX-License-Identifier: MIT
#pragma once
// The checks of a project's site plan and of the groups' placements on it, in the words of the
// other checks (project_checks.hpp). The site's structure (which values are lists, objects and
// points) is checked as the file is read (site_reader.hpp); these check its values.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "project/project.hpp"
#include "project/project_checks.hpp"

namespace lenstally::detail {

// The limits of a site.
inline constexpr double kLargestPlan = 100'000;          // metres across or down
inline constexpr std::size_t kLongestImage = 20'000'000; // bytes of the image's data URL (20 MB)
inline constexpr std::size_t kMostWallSegments = 10'000; // of all walls together
inline constexpr std::size_t kMostZonePoints = 100'000;  // of all zones together
inline constexpr std::size_t kMostZones = 1'000;
inline constexpr std::size_t kLongestZoneName = 200;      // characters
inline constexpr std::size_t kLongestPlacementLabel = 50; // characters

inline constexpr std::string_view kSiteKeys[] = {"width", "height", "image", "walls", "zones"};
inline constexpr std::string_view kZoneKeys[] = {"name", "level", "points", "required"};

/// How messages name zone `position` (from 1): "site: zones: 2".
std::string ZoneLabel(std::size_t position);

/// Zone `position` of the site: `entries` are its keys, with the values of "name", "level" and
/// "required" ("points" among them once given), `points` its points as read.
Checked<SiteZone> CheckZone(const std::vector<FileEntry>& entries, std::vector<SitePoint> points,
                            std::size_t position);

/// The site once read: `entries` are its keys, with the values of "width", "height" and "image";
/// the walls and zones as read, each zone checked on its own. Checks the size, the image, that
/// every point lies inside the plan, and that every zone is a simple polygon.
Checked<SiteSection> CheckSite(const std::vector<FileEntry>& entries,
                               std::vector<std::vector<SitePoint>> walls,
                               std::vector<SiteZone> zones);

/// The "placements" of `group` (labelled `label`, its other keys checked): an array of
/// {"x", "y", "heading", "label"} objects, which needs the group's view and holds at most one
/// placement for each of its cameras where the camera box holds a whole number. Whether they lie
/// inside the plan is for PlacementsOnSiteProblem, once the site is known.
Checked<std::vector<Placement>> CheckPlacements(const FileValue& value, const std::string& label,
                                                const ProjectGroup& group);

/// The first group whose placements do not stand on the project's site (there is none, or one of
/// them lies outside the plan), as a message.
std::optional<std::string> PlacementsOnSiteProblem(const Project& project);

/// True for a data URL of a PNG, JPEG or SVG image: "data:image/png;base64," or
/// "data:image/jpeg;base64," and base64 text that begins as such a file does,
/// "data:image/svg+xml;base64," and base64 text, or "data:image/svg+xml," and URL-encoded text.
bool IsImageDataUrl(std::string_view text);

} // namespace lenstally::detail
