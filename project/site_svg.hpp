// SPDX-License-Identifier: MIT
#pragma once
// The site plan as a standalone SVG 1.1 document, drawn from its SiteDrawing: what
// `lenstally --project FILE --svg` writes, what the desktop's report renders and what the page
// prints. It opens in a browser and in the vector drawing and CAD tools that import SVG.

#include <cstddef>
#include <string>

#include "project/site_result.hpp"

namespace lenstally {

/// The drawing of `site` as an SVG document, y down, its longer side 960 pixels wide and the scale
/// bar and key below it: the plan's image as an <image> element holding its data URL (never the
/// image's own markup) or a grid, the zones filled by whether they are met, each camera's view
/// banded by level and cut by the walls, the walls, the cameras with their labels, each zone's
/// name and coverage, a scale bar and a key. Groups "zones", "views", "walls", "placements" and
/// "labels" hold each kind. Every text is escaped (and any byte that is not valid UTF-8, or a
/// character XML does not allow, written as U+FFFD), and every number is written in a fixed
/// format, so the same figures give the same bytes on every build.
std::string SiteSvg(const SiteResult& site);

/// The element SiteSvg draws placement `placement`'s view with in its "views" group, the same
/// bytes, alone: a planner redraws one camera while it is dragged. `placement` must be one of
/// `site.placements`.
std::string SiteViewSvg(const SiteResult& site, std::size_t placement);

/// Where SiteSvg draws the plan: a point `x` metres across lies `margin + x * scale` pixels from
/// the drawing's left edge, and likewise down, so a face can lay its own marks over the drawing.
struct SiteSvgFrame {
    double margin = 0; // pixels
    double scale = 0;  // pixels per metre
};
SiteSvgFrame SiteSvgFrameOf(const SiteSection& site);

} // namespace lenstally
