// SPDX-License-Identifier: MIT
#pragma once
// The site plan's figures for a project: what each placed camera sees at each level past the
// walls, and how much of each zone is covered at the level it needs. A placement stands for a
// camera of its group: the group's camera view gives its angle of view and how far each level
// reaches (the view's own per-level distances).
//
// A group's placements count only while the file could hold them: with a site and a camera view,
// and at most as many as the group's cameras where that count is a whole number. Placements
// beyond that are kept by the planner's document but take no part in the figures and are not
// saved, so the figures are always those of the file it saves.

#include <cstddef>
#include <optional>
#include <vector>

#include "project/project.hpp"
#include "project/project_compute.hpp"
#include "project/site_result.hpp"
#include "site/site_figures.hpp"

namespace lenstally {

/// How many of a group's placements count (see above): none without a site or a camera view.
std::size_t PlacementsCounted(const GroupResult& group, std::size_t placements, bool site);

/// The site's figures: `groups[i]` computed, `placements[i]` its placements.
SiteResult ComputeSite(const SiteSection& site, const std::vector<GroupResult>& groups,
                       const std::vector<std::vector<Placement>>& placements);

/// The site's figures kept up to date while a project is edited: an edit of one group's
/// placements or lens recomputes only its cameras and the zones they touch.
class SiteModel {
public:
    /// Every figure again.
    void reset(const std::optional<SiteSection>& site, const std::vector<GroupResult>& groups,
               const std::vector<std::vector<Placement>>& placements);
    /// Group `group`'s figures or placements changed; the groups and their number did not.
    void groupChanged(std::size_t group, const GroupResult& result,
                      const std::vector<Placement>& placements);

    /// The figures, or nullopt without a site.
    const std::optional<SiteResult>& result() const { return m_result; }

private:
    void fillZones();

    std::optional<SiteResult> m_result;
    site::SiteFigures m_figures;
    std::vector<std::size_t> m_first; // per group: the position of its first placement
};

} // namespace lenstally
