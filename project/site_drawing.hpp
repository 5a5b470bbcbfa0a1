// SPDX-License-Identifier: MIT
#pragma once
// What the drawing of a site plan shows, worked out once for every face that draws it (the
// command line's SVG, the report, the planners): the plan's size, its image or a grid, the walls,
// each zone coloured by whether it is met, each placed camera with what it sees at each level cut
// by the walls, a scale bar and a key. Everything is in metres on the plan, x to the right and y
// down; a face only scales metres to its own units and paints.

#include "estimation/camera_view.hpp"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "project/site_result.hpp"
#include "site/plan_geometry.hpp"

namespace lenstally {

struct SiteDrawing {
    /// What a camera sees at one level.
    struct Band {
        ViewLevel level = ViewLevel::Monitor;
        // The region seen, cut to the plan; empty where the level sees nothing on it. The next
        // level's ring lies inside it, so a face that fills each ring in order, Monitor first,
        // shows every level as a band, and one that fills a ring with the next as a hole shows the
        // band alone.
        site::Ring ring;
        std::uint32_t colour{}; // 0xRRGGBB, the camera view picture's colour for the level
    };
    struct Camera {
        site::Point at;
        site::Point aim; // the unit vector of its heading on the plan (0 degrees: {0, -1})
        std::string label;
        std::array<Band, kViewLevelCount> bands{}; // Monitor first
    };
    struct Zone {
        std::vector<site::Point> points; // as the file gives them
        bool met = false;
        std::uint32_t fill{};    // 0xRRGGBB, drawn at `zoneOpacity` over the plan
        std::uint32_t outline{}; // 0xRRGGBB
        std::string label;       // its name and coverage: "Main gate 38.5 %"
        site::Point labelAt;     // a point inside the zone to centre the label on
    };
    struct KeyEntry {
        std::uint32_t colour{};
        std::string text;   // "Identify (250 px/m)", "Zone met"
        double opacity = 1; // as the drawing fills what the entry names
    };

    double width = 0;                 // metres
    double height = 0;                // metres
    std::optional<std::string> image; // a data URL, stretched over the plan; shown as an image
    double grid = 0; // metres between the grid's lines; 0 where the plan has an image instead
    std::vector<std::vector<site::Point>> walls;
    std::vector<Zone> zones;
    std::vector<Camera> cameras;
    double scaleLength = 0;    // the scale bar's length in metres, a 1, 2 or 5 times a power of ten
    std::string scaleText;     // "10 m"
    std::vector<KeyEntry> key; // the levels, Monitor first, then a zone met and one not met
    double zoneOpacity = 0;    // how opaque a zone's fill is over the plan
    double viewOpacity = 0;    // how opaque a camera's bands are over the plan and the zones
    std::uint32_t ink{};       // walls, cameras, outlines and texts
    std::uint32_t gridColour{};
    std::string description; // what the drawing shows, for a screen reader
};

/// How opaque a camera's bands are over the plan and the zones.
inline constexpr double kViewOpacity = 0.6;

/// What placement `p` of `site` is drawn as: the camera of DrawingOf's `cameras`.
SiteDrawing::Camera CameraDrawingOf(const PlacementResult& p, const SiteSection& site);

/// The drawing of `result`'s site. Example: a plan 80 m wide has a 10 m scale bar and, without an
/// image, a grid every 5 m; a zone "Main gate" covered 38.45 % is labelled "Main gate 38.5 %".
SiteDrawing DrawingOf(const SiteResult& result);

/// The largest of 1, 2 and 5 times a power of ten that is at most `limit` (above 0): 10 for 16,
/// 0.5 for 0.7.
double RoundStep(double limit);

} // namespace lenstally
