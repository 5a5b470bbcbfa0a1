// SPDX-License-Identifier: MIT
#include "project/site_lines.hpp"

#include "estimation/numeric_text.hpp"

#include <algorithm>
#include <cmath>

#include "project/plan_lines.hpp"

namespace lenstally {

std::string SiteSizeText(const SiteSection& site) {
    return ShortestText(site.width) + " x " + ShortestText(site.height) + " m";
}

std::string CoverageText(double percent) {
    return FixedText(percent, 1) + " %";
}

std::vector<PlanLine> SitePlanLines(const ProjectResult& result) {
    const SiteResult& site = *result.site;
    double placeable = 0;
    for (const GroupResult& g : result.groups) {
        if (g.view) {
            placeable += g.cameras;
        }
    }
    const auto placed = static_cast<double>(site.placements.size());
    const auto met = static_cast<double>(std::count_if(site.zones.begin(), site.zones.end(),
                                                       [](const ZoneResult& z) { return z.met; }));
    using Kind = PlanLine::Kind;
    std::vector<PlanLine> lines;
    lines.push_back({Kind::Assumption, "Plan size:", SiteSizeText(site.site), std::nullopt});
    lines.push_back({Kind::Figure, "Cameras:",
                     std::isfinite(placeable)
                         ? FormatNumber(placed) + " of " + FormatNumber(placeable) +
                               (placeable == 1 ? " camera placed" : " cameras placed")
                         : FormatNumber(placed) + " cameras placed",
                     placed});
    lines.push_back(
        {Kind::Figure, "Zones met:",
         FormatNumber(met) + " of " + FormatNumber(static_cast<double>(site.zones.size())), met,
         met < static_cast<double>(site.zones.size())});
    return lines;
}

std::vector<ZoneLine> ZoneLines(const SiteResult& site) {
    std::vector<ZoneLine> lines;
    lines.reserve(site.zones.size());
    for (std::size_t i = 0; i < site.zones.size(); ++i) {
        const SiteZone& zone = site.site.zones[i];
        const ZoneResult& z = site.zones[i];
        std::string cameras;
        for (const std::size_t p : z.covering) {
            cameras += (cameras.empty() ? "" : ", ") + site.placements[p].label;
        }
        lines.push_back({zone.name, std::string(ViewLevelOf(zone.level).name),
                         PercentText(zone.required), CoverageText(z.percent),
                         z.met ? "met" : "NOT MET", cameras.empty() ? "none" : cameras});
    }
    return lines;
}

} // namespace lenstally
