// SPDX-License-Identifier: MIT
#pragma once
// Reads a project's "site" object as the parser walks it, keeping only what the site is: its
// walls and zones go straight into points, and a list that grows past its limit is refused at
// once, so a site of any size costs no more memory than the points it may hold.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "project/project.hpp"
#include "project/project_checks.hpp"

namespace lenstally::detail {

class SiteReader {
public:
    // The parser's events from the site object's start to its end. Each returns the message of
    // the first problem found, after which nothing more is read.
    std::optional<std::string> startObject();
    std::optional<std::string> startArray();
    std::optional<std::string> end(); // of an object or an array
    std::optional<std::string> key(std::string key);
    std::optional<std::string> value(FileValue value);

    /// True once the site object has ended and its checks have passed.
    bool done() const { return m_done; }
    /// The site, once done.
    SiteSection take() { return std::move(m_site); }

private:
    // What the parser is inside: the site, its walls, one wall, one of its points; its zones,
    // one zone, its points, one of them.
    enum class Frame { Site, Walls, Wall, WallPoint, Zones, Zone, ZonePoints, ZonePoint };

    std::optional<std::string> enter(Frame frame);
    std::optional<std::string> endPoint(Frame frame);
    std::string wrongKind() const;
    std::string pointProblem() const;

    std::vector<Frame> m_frames;
    std::vector<FileEntry> m_entries;     // the site's keys; width, height, image with values
    std::vector<FileEntry> m_zoneEntries; // the keys of the zone being read
    std::vector<SitePoint> m_zonePoints;  // the points of the zone being read
    std::vector<std::vector<SitePoint>> m_walls;
    std::vector<SiteZone> m_zones;
    std::array<double, 2> m_point{}; // the point being read
    std::size_t m_coordinates = 0;   // its numbers so far
    std::size_t m_wallSegments = 0;
    std::size_t m_zonePointCount = 0;
    SiteSection m_site;
    bool m_done = false;
};

} // namespace lenstally::detail
