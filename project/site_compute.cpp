// SPDX-License-Identifier: MIT
#include "project/site_compute.hpp"

#include <algorithm>
#include <cmath>

namespace lenstally {
namespace {

site::Camera cameraOf(const GroupResult& group, const Placement& placement) {
    site::Camera camera;
    camera.at = {placement.x, placement.y};
    camera.heading = placement.heading;
    camera.hfov = group.view->hfov;
    for (std::size_t level = 0; level < kViewLevelCount; ++level) {
        camera.reach[level] = group.view->levels[level].distance;
    }
    return camera;
}

site::Camera cameraOf(const PlacementResult& p) {
    return {{p.placement.x, p.placement.y}, p.placement.heading, p.hfov, p.reach};
}

bool sameCamera(const site::Camera& a, const site::Camera& b) {
    return a.at == b.at && a.heading == b.heading && a.hfov == b.hfov && a.reach == b.reach;
}

std::string labelOf(const GroupResult& group, const Placement& placement, std::size_t index) {
    return placement.label ? *placement.label : group.name + " " + std::to_string(index + 1);
}

PlacementResult placementOf(std::size_t groupIndex, const GroupResult& group, std::size_t index,
                            const Placement& placement) {
    const site::Camera camera = cameraOf(group, placement);
    PlacementResult p;
    p.group = groupIndex;
    p.index = index;
    p.label = labelOf(group, placement, index);
    p.placement = placement;
    p.hfov = camera.hfov;
    p.reach = camera.reach;
    return p;
}

void takeSight(PlacementResult& p, const site::Sight& sight) {
    p.area = sight.area;
    p.region = sight.regions;
}

std::vector<site::Polyline> wallsOf(const SiteSection& s) {
    std::vector<site::Polyline> walls;
    walls.reserve(s.walls.size());
    for (const std::vector<SitePoint>& wall : s.walls) {
        site::Polyline line;
        line.reserve(wall.size());
        for (const SitePoint& point : wall) {
            line.push_back({point.x, point.y});
        }
        walls.push_back(std::move(line));
    }
    return walls;
}

std::vector<site::Zone> zonesOf(const SiteSection& s) {
    std::vector<site::Zone> zones;
    zones.reserve(s.zones.size());
    for (const SiteZone& zone : s.zones) {
        site::Zone z;
        z.level = static_cast<std::size_t>(zone.level);
        z.required = zone.required;
        for (const SitePoint& point : zone.points) {
            z.points.push_back({point.x, point.y});
        }
        zones.push_back(std::move(z));
    }
    return zones;
}

} // namespace

std::size_t PlacementsCounted(const GroupResult& group, std::size_t placements, bool site) {
    if (!site || !group.view) {
        return 0;
    }
    // Where the cameras are a whole number, at most that many, as the file reader allows (none
    // for a count of 0 or below).
    const double cameras = group.cameras;
    if (!std::isfinite(cameras) || cameras != std::floor(cameras) ||
        cameras >= static_cast<double>(placements)) {
        return placements;
    }
    return cameras > 0 ? static_cast<std::size_t>(cameras) : 0;
}

SiteResult ComputeSite(const SiteSection& site, const std::vector<GroupResult>& groups,
                       const std::vector<std::vector<Placement>>& placements) {
    SiteModel model;
    model.reset(site, groups, placements);
    return *model.result();
}

void SiteModel::reset(const std::optional<SiteSection>& site,
                      const std::vector<GroupResult>& groups,
                      const std::vector<std::vector<Placement>>& placements) {
    m_first.clear();
    if (!site) {
        m_result.reset();
        m_figures = site::SiteFigures();
        return;
    }
    SiteResult result;
    result.site = *site;
    std::vector<site::Camera> cameras;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        m_first.push_back(result.placements.size());
        const std::size_t counted = PlacementsCounted(groups[g], placements[g].size(), true);
        for (std::size_t i = 0; i < counted; ++i) {
            result.placements.push_back(placementOf(g, groups[g], i, placements[g][i]));
            cameras.push_back(cameraOf(result.placements.back()));
        }
    }
    m_first.push_back(result.placements.size());
    m_figures = site::SiteFigures();
    m_figures.setWalls(wallsOf(*site));
    m_figures.setZones(zonesOf(*site));
    m_figures.setCameras(cameras);
    for (std::size_t i = 0; i < result.placements.size(); ++i) {
        takeSight(result.placements[i], m_figures.sights()[i]);
    }
    m_result = std::move(result);
    fillZones();
}

void SiteModel::groupChanged(std::size_t group, const GroupResult& result,
                             const std::vector<Placement>& placements) {
    if (!m_result) {
        return;
    }
    std::vector<PlacementResult>& all = m_result->placements;
    const std::size_t first = m_first.at(group);
    const std::size_t before = m_first.at(group + 1) - first;
    const std::size_t counted = PlacementsCounted(result, placements.size(), true);
    // Cameras added or taken away at the group's end, the others recomputed only if they moved.
    for (std::size_t i = before; i > counted; --i) {
        m_figures.removeCamera(first + i - 1);
        all.erase(all.begin() + static_cast<std::ptrdiff_t>(first + i - 1));
    }
    for (std::size_t i = 0; i < counted; ++i) {
        PlacementResult next = placementOf(group, result, i, placements[i]);
        const site::Camera camera = cameraOf(next);
        if (i >= before) {
            m_figures.insertCamera(first + i, camera);
            all.insert(all.begin() + static_cast<std::ptrdiff_t>(first + i), std::move(next));
        } else if (!sameCamera(camera, cameraOf(all[first + i]))) {
            m_figures.setCamera(first + i, camera);
            all[first + i] = std::move(next);
        } else {
            all[first + i].label = std::move(next.label);
            all[first + i].placement.label = placements[i].label;
            continue;
        }
        takeSight(all[first + i], m_figures.sights()[first + i]);
    }
    if (counted != before) {
        for (std::size_t g = group + 1; g < m_first.size(); ++g) {
            m_first[g] = m_first[g] + counted - before;
        }
    }
    fillZones();
}

void SiteModel::fillZones() {
    m_result->zones.clear();
    for (const site::ZoneCoverage& coverage : m_figures.zones()) {
        m_result->zones.push_back(
            {coverage.area, coverage.covered, coverage.percent, coverage.met, coverage.covering});
    }
}

} // namespace lenstally
