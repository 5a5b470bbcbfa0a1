// SPDX-License-Identifier: MIT
#include "site/site_figures.hpp"

#include <string>
#include <utility>

#include "form/contract.hpp"

namespace lenstally::site {

void SiteFigures::setWalls(const std::vector<Polyline>& walls) {
    m_walls = Walls(walls);
    for (std::size_t i = 0; i < m_cameras.size(); ++i) {
        m_sights[i] = SightOf(m_cameras[i], m_walls);
    }
    coverEveryZone();
}

void SiteFigures::setZones(const std::vector<Zone>& zones) {
    m_zones.clear();
    m_zones.reserve(zones.size());
    for (const Zone& zone : zones) {
        m_zones.push_back(PrepareZone(zone));
    }
    coverEveryZone();
}

void SiteFigures::setCameras(const std::vector<Camera>& cameras) {
    m_cameras = cameras;
    m_sights.clear();
    m_sights.reserve(cameras.size());
    for (const Camera& camera : cameras) {
        m_sights.push_back(SightOf(camera, m_walls));
    }
    coverEveryZone();
}

void SiteFigures::setCamera(std::size_t i, const Camera& camera) {
    checkCamera(i, m_cameras.size());
    m_cameras[i] = camera;
    const Sight before = std::exchange(m_sights[i], SightOf(camera, m_walls));
    coverZonesTouching(before, m_sights[i]);
}

void SiteFigures::insertCamera(std::size_t i, const Camera& camera) {
    checkCamera(i, m_cameras.size() + 1);
    for (ZoneCoverage& coverage : m_coverage) {
        for (std::size_t& n : coverage.covering) {
            n += n >= i ? 1 : 0;
        }
    }
    m_cameras.insert(m_cameras.begin() + static_cast<std::ptrdiff_t>(i), camera);
    m_sights.insert(m_sights.begin() + static_cast<std::ptrdiff_t>(i), SightOf(camera, m_walls));
    coverZonesTouching({}, m_sights[i]);
}

void SiteFigures::removeCamera(std::size_t i) {
    checkCamera(i, m_cameras.size());
    const Sight before = std::move(m_sights[i]);
    m_cameras.erase(m_cameras.begin() + static_cast<std::ptrdiff_t>(i));
    m_sights.erase(m_sights.begin() + static_cast<std::ptrdiff_t>(i));
    // A zone the removed camera covered is covered again below; in the others, it is not listed.
    for (ZoneCoverage& coverage : m_coverage) {
        for (std::size_t& n : coverage.covering) {
            n -= n > i ? 1 : 0;
        }
    }
    coverZonesTouching(before, {});
}

void SiteFigures::coverEveryZone() {
    m_coverage.assign(m_zones.size(), {});
    for (std::size_t j = 0; j < m_zones.size(); ++j) {
        coverZone(j);
    }
}

void SiteFigures::coverZone(std::size_t j) {
    const PreparedZone& zone = m_zones[j];
    std::vector<std::size_t> candidates;
    for (std::size_t i = 0; i < m_sights.size(); ++i) {
        if (Overlaps(m_sights[i].bounds[zone.zone.level], zone.bounds)) {
            candidates.push_back(i);
        }
    }
    m_coverage[j] = CoverageOf(zone, m_sights, candidates);
}

void SiteFigures::coverZonesTouching(const Sight& before, const Sight& after) {
    for (std::size_t j = 0; j < m_zones.size(); ++j) {
        const std::size_t level = m_zones[j].zone.level;
        if (Overlaps(before.bounds[level], m_zones[j].bounds) ||
            Overlaps(after.bounds[level], m_zones[j].bounds)) {
            coverZone(j);
        }
    }
}

void SiteFigures::checkCamera(std::size_t i, std::size_t count) const {
    if (i >= count) {
        ContractFailure(ContractBreach::NoSuchItem,
                        "camera " + std::to_string(i) + " of " + std::to_string(m_cameras.size()));
    }
}

} // namespace lenstally::site
