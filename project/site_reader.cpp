// SPDX-License-Identifier: MIT
#include "project/site_reader.hpp"

#include "project/site_checks.hpp"

namespace lenstally::detail {

std::optional<std::string> SiteReader::enter(Frame frame) {
    m_frames.push_back(frame);
    return std::nullopt;
}

// A value of the wrong kind where the parser stands: an object or array where a number or text
// belongs, or the other way round.
std::string SiteReader::wrongKind() const {
    switch (m_frames.back()) {
    case Frame::Site: {
        const std::string& key = m_entries.back().key;
        if (key == "walls") {
            return R"(site: "walls" must be an array of walls, each an array of points [x, y])";
        }
        if (key == "zones") {
            return R"(site: "zones" must be an array of zones)";
        }
        return About("site", key) +
               (key == "image" ? " must be a string" : " must be a number or a string holding one");
    }
    case Frame::Zone: {
        const std::string label = ZoneLabel(m_zones.size() + 1);
        const std::string& key = m_zoneEntries.back().key;
        if (key == "points") {
            return About(label, key) + " must be an array of points [x, y]";
        }
        return About(label, key) + (key == "required" ? " must be a number or a string holding one"
                                                      : " must be a string");
    }
    case Frame::Walls:
        return "site: walls: " + std::to_string(m_walls.size() + 1) +
               " must be an array of points [x, y]";
    case Frame::Zones:
        return ZoneLabel(m_zones.size() + 1) + " is not an object";
    case Frame::Wall:
    case Frame::WallPoint:
    case Frame::ZonePoints:
    case Frame::ZonePoint:
        break;
    }
    return pointProblem();
}

// The point being read (or the value standing where a point belongs) is not two numbers.
std::string SiteReader::pointProblem() const {
    const bool wall = m_frames.back() == Frame::Wall || m_frames.back() == Frame::WallPoint;
    const std::string label =
        wall ? "site: walls: " + std::to_string(m_walls.size()) : ZoneLabel(m_zones.size() + 1);
    const std::size_t point = (wall ? m_walls.back().size() : m_zonePoints.size()) + 1;
    return label + ": point " + std::to_string(point) + " must be [x, y], two numbers";
}

std::optional<std::string> SiteReader::startObject() {
    if (m_frames.empty()) {
        return enter(Frame::Site);
    }
    if (m_frames.back() != Frame::Zones) {
        return wrongKind();
    }
    if (m_zones.size() == kMostZones) {
        return R"(site: "zones" hold more than 1000 zones; allowed values are at most 1000 zones)";
    }
    m_zoneEntries.clear();
    m_zonePoints.clear();
    return enter(Frame::Zone);
}

std::optional<std::string> SiteReader::startArray() {
    switch (m_frames.back()) {
    case Frame::Site:
        if (m_entries.back().key == "walls") {
            return enter(Frame::Walls);
        }
        if (m_entries.back().key == "zones") {
            return enter(Frame::Zones);
        }
        break;
    case Frame::Walls:
        m_walls.emplace_back();
        return enter(Frame::Wall);
    case Frame::Wall:
        m_coordinates = 0;
        return enter(Frame::WallPoint);
    case Frame::Zone:
        if (m_zoneEntries.back().key == "points") {
            return enter(Frame::ZonePoints);
        }
        break;
    case Frame::ZonePoints:
        m_coordinates = 0;
        return enter(Frame::ZonePoint);
    case Frame::WallPoint:
    case Frame::Zones:
    case Frame::ZonePoint:
        break;
    }
    return wrongKind();
}

std::optional<std::string> SiteReader::key(std::string key) {
    // Keys open only the site and its zones; each is checked as it comes, so a second "walls"
    // never adds to the first.
    if (m_frames.back() == Frame::Site) {
        m_entries.push_back({std::move(key), {}});
        return KeyProblem(m_entries, kSiteKeys, "site");
    }
    m_zoneEntries.push_back({std::move(key), {}});
    return KeyProblem(m_zoneEntries, kZoneKeys, ZoneLabel(m_zones.size() + 1));
}

std::optional<std::string> SiteReader::value(FileValue value) {
    switch (m_frames.back()) {
    case Frame::Site:
        if (m_entries.back().key == "walls" || m_entries.back().key == "zones") {
            return wrongKind();
        }
        m_entries.back().value = std::move(value);
        return std::nullopt;
    case Frame::Zone:
        if (m_zoneEntries.back().key == "points") {
            return wrongKind();
        }
        m_zoneEntries.back().value = std::move(value);
        return std::nullopt;
    case Frame::WallPoint:
    case Frame::ZonePoint:
        if ((value.kind == FileValue::Kind::Integer || value.kind == FileValue::Kind::Float) &&
            m_coordinates < 2) {
            m_point.at(m_coordinates++) = value.number + 0.0; // never negative zero
            return std::nullopt;
        }
        break;
    case Frame::Walls:
    case Frame::Wall:
    case Frame::Zones:
    case Frame::ZonePoints:
        break;
    }
    return wrongKind();
}

std::optional<std::string> SiteReader::endPoint(Frame frame) {
    if (m_coordinates != 2) {
        return pointProblem();
    }
    const SitePoint point{m_point[0], m_point[1]};
    m_frames.pop_back();
    if (frame == Frame::WallPoint) {
        m_walls.back().push_back(point);
        if (m_walls.back().size() > 1 && ++m_wallSegments > kMostWallSegments) {
            return R"(site: "walls" hold more than 10000 segments in all; allowed values are )"
                   "walls of at most 10000 segments in all";
        }
        return std::nullopt;
    }
    m_zonePoints.push_back(point);
    if (++m_zonePointCount > kMostZonePoints) {
        return R"(site: "zones" hold more than 100000 points in all; allowed values are zones )"
               "of at most 100000 points in all";
    }
    return std::nullopt;
}

std::optional<std::string> SiteReader::end() {
    const Frame frame = m_frames.back();
    switch (frame) {
    case Frame::WallPoint:
    case Frame::ZonePoint:
        return endPoint(frame);
    case Frame::Wall:
        if (m_walls.back().size() < 2) {
            return "site: walls: " + std::to_string(m_walls.size()) + " has " +
                   std::to_string(m_walls.back().size()) +
                   (m_walls.back().size() == 1 ? " point" : " points") +
                   "; allowed values are walls of 2 or more points";
        }
        break;
    case Frame::Zone: {
        Checked<SiteZone> zone =
            CheckZone(m_zoneEntries, std::move(m_zonePoints), m_zones.size() + 1);
        if (!zone.value) {
            return std::move(zone.error);
        }
        m_zones.push_back(std::move(*zone.value));
        break;
    }
    case Frame::Site: {
        Checked<SiteSection> site = CheckSite(m_entries, std::move(m_walls), std::move(m_zones));
        if (!site.value) {
            return std::move(site.error);
        }
        m_site = std::move(*site.value);
        m_done = true;
        break;
    }
    case Frame::Walls:
    case Frame::Zones:
    case Frame::ZonePoints:
        break;
    }
    m_frames.pop_back();
    return std::nullopt;
}

} // namespace lenstally::detail
