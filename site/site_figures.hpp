// SPDX-License-Identifier: MIT
#pragma once
// Every figure of a site plan, kept up to date as it is edited: what each camera sees and how
// much of each zone is covered. An edit of one camera (moved, turned, added, removed) recomputes
// that camera's sight and only the zones its old or its new sight may touch, found by their
// bounding boxes; the others keep their figures.

#include <cstddef>
#include <vector>

#include "site/plan_geometry.hpp"
#include "site/sight.hpp"
#include "site/walls.hpp"
#include "site/zone_coverage.hpp"

namespace lenstally::site {

class SiteFigures {
public:
    /// New walls: every sight and every zone again.
    void setWalls(const std::vector<Polyline>& walls);
    /// New zones: every zone again. A zone's level outside kViewLevels breaks the contract.
    void setZones(const std::vector<Zone>& zones);
    /// New cameras: every sight and every zone again.
    void setCameras(const std::vector<Camera>& cameras);

    /// Camera `i` changed (moved, turned, another lens or reach).
    void setCamera(std::size_t i, const Camera& camera);
    /// A camera inserted before camera `i` (at the end when `i` is the count); the cameras from
    /// `i` on are numbered one higher.
    void insertCamera(std::size_t i, const Camera& camera);
    /// Camera `i` removed; the cameras after it are numbered one lower.
    void removeCamera(std::size_t i);

    const std::vector<Camera>& cameras() const { return m_cameras; }
    /// sights()[i] is what cameras()[i] sees.
    const std::vector<Sight>& sights() const { return m_sights; }
    /// zones()[j] is the coverage of the j-th zone given to setZones.
    const std::vector<ZoneCoverage>& zones() const { return m_coverage; }

private:
    void coverEveryZone();
    void coverZone(std::size_t j);
    // Covers again each zone that a camera's sight before or after an edit may touch at the
    // zone's level.
    void coverZonesTouching(const Sight& before, const Sight& after);
    void checkCamera(std::size_t i, std::size_t count) const;

    Walls m_walls;
    std::vector<Camera> m_cameras;
    std::vector<Sight> m_sights;
    std::vector<PreparedZone> m_zones;
    std::vector<ZoneCoverage> m_coverage;
};

} // namespace lenstally::site
